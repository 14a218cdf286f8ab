#include "audio/formats/AudioInfo.h"

#include "audio/Rational.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace cantorix {

namespace {
constexpr int64_t kWindow = 128;
constexpr int64_t kXingBytes = 120;
// The first frame up to the end of a LAME tag: side information (at most 32 bytes) after the 4-byte
// header, "Xing"/"Info" with flags (8), frames, bytes, table and quality (4 + 4 + 100 + 4), then the
// 36-byte LAME tag.
constexpr size_t kVbrFrameHead = 4 + 32 + 8 + 112 + 36;
constexpr size_t kLameTagBytes = 36;

// CRC-16 with the polynomial 0x8005, bits reflected, starting at 0: what a LAME tag keeps over the
// frame's bytes before its own CRC field. A table, since every file of a scan may carry a tag.
constexpr std::array<uint16_t, 256> kLameCrcTable = [] {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = uint16_t(crc);
    }
    return table;
}();

uint16_t lameCrc(const uint8_t* p, size_t n)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < n; ++i) crc = uint16_t((crc >> 8) ^ kLameCrcTable[(crc ^ p[i]) & 0xFF]);
    return crc;
}

// Where "Xing" stands in a Layer III frame: after the header and the side information.
int64_t xingOffset(const TMpegFrameHdr& h)
{
    const bool mono = h.channelMode() == 3;
    return h.versionCode() == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
}
} // namespace

void TAudioInfo::reset()
{
    m_header = TMpegFrameHdr();
    m_id3v1.reset();
    m_id3v2.reset();
    m_firstFrame = -1;
    m_vbr = false;
    m_xingFlags = m_xingFrames = m_xingBytes = m_xingQuality = 0;
    std::memset(m_xingToc, 0, sizeof m_xingToc);
    m_durationMs = -1;
    m_bitRate = 0;
    m_frameCount = -1;
    m_audioBytes = -1;
    m_samples = 0;
    m_encoderDelay = m_encoderPadding = -1;
}

bool TAudioInfo::ReadFromFile(const std::string& fileName)
{
    if (fileName.find_first_not_of(" \t\r\n") == std::string::npos) return false;
    return ReadFileInto(*this, fileName);
}

TPlayingTime MpegPlayingTime(TInSource& in)
{
    TAudioInfo info;
    if (!in.seek(0) || !info.ReadFromSource(in)) return {};
    return PlayingTimeWith(double(info.DurationMs()) / 1000.0, info.Samples(), info.header().sampleRate());
}

bool TAudioInfo::ReadFromStream(TInSource& stream, int64_t size)
{
    if (!measure(stream, size)) {
        m_durationMs = -1;
        return false;
    }
    return true;
}

bool TAudioInfo::measure(TInSource& stream, int64_t size)
{
    reset();
    const int64_t S = stream.tell();
    size = std::min(size, stream.size() - S);
    if (size < 1) return true;

    // 1. A leading ID3v2 tag that lists frames is stepped over.
    int64_t T = 0;
    if (size >= 11) {
        if (!m_id3v2.ReadFromStream(stream, size)) return false;
        T = m_id3v2.TotalSize();
    }

    // 2. The first frame: 128-byte windows, each overlapping the previous one by 4 bytes, at most
    // MaxScan bytes after the tag. Only the first plausible header of a window is tried, and it counts
    // only when a valid header follows one frame length later.
    uint8_t buf[kWindow];
    int64_t consumed = T; // bytes of the range behind us, the tag included
    int64_t carry = 0;
    while (consumed - T < MaxScan && consumed < size) {
        int64_t n = std::min(kWindow - carry, size - consumed);
        if (!stream.readAt(S + consumed, buf + carry, size_t(n))) return false;
        int e = m_header.FindHeader(buf, size_t(carry + n));
        if (e >= 0) {
            m_firstFrame = consumed + e - carry;
            int64_t next = m_firstFrame + m_header.frameLength();
            if (next + 4 < size) {
                uint8_t follower[4];
                if (!stream.readAt(S + next, follower, 4)) return false;
                TMpegFrameHdr check;
                if (check.DecodeHeader(follower, 4)) break;
            }
        } else {
            m_firstFrame = -1;
        }
        std::memmove(buf, buf + kWindow - 4, 4);
        carry = 4;
        consumed += n;
    }

    // 3. A Xing header in the first frame makes the file variable bit rate.
    const int spf = m_header.samplesPerFrame();
    const int rate = m_header.sampleRate();
    if (m_header.Valid()) {
        int64_t offset = m_firstFrame + xingOffset(m_header);
        if (offset + kXingBytes < size) {
            uint8_t x[kXingBytes];
            if (!stream.readAt(S + offset, x, kXingBytes)) return false;
            if (std::memcmp(x, "Xing", 4) == 0) {
                m_vbr = true;
                m_xingFlags = getBE32(x + 4);
                size_t p = 8;
                if (m_xingFlags & 1) { m_xingFrames = getBE32(x + p); p += 4; }
                if (m_xingFlags & 2) { m_xingBytes = getBE32(x + p); p += 4; }
                if (m_xingFlags & 4) { std::memcpy(m_xingToc, x + p, 100); p += 100; }
                if (m_xingFlags & 8) { m_xingQuality = getBE32(x + p); p += 4; }

                // samples per frame / sample rate * frames * 1000, rounded exactly.
                m_durationMs = RoundRatioHalfEven(__int128(spf) * m_xingFrames * 1000, rate);
                m_frameCount = m_xingFrames;
                if (m_xingBytes != 0) {
                    if (m_durationMs != 0)
                        m_bitRate = RoundRatioHalfEven(__int128(m_xingBytes) * 8 * 1000, m_durationMs);
                    int64_t held = size - m_firstFrame;
                    if (held < int64_t(m_xingBytes)) {
                        // The file is shorter than announced: scale the time by what it holds.
                        m_durationMs = RoundRatioHalfEven(__int128(held) * m_durationMs, m_xingBytes);
                        m_frameCount = RoundRatioHalfEven(__int128(held) * m_frameCount, m_xingBytes);
                    } else {
                        m_audioBytes = m_xingBytes;
                    }
                }
            }
        }
    }

    // The exact length, beside the time: whatever happens there never changes the time. Read here,
    // while the first frame is still in the file reader's window, before the end of the file is.
    if (m_header.Valid()) readExactLength(stream, S, size);

    // 4. A trailing ID3v1 tag is not audio.
    int64_t C = m_header.Valid() ? m_firstFrame + m_header.frameLength() : 0;
    if (size - C >= 128) {
        if (!stream.seek(S + C)) return false;
        if (!m_id3v1.ReadFromStream(stream, size - C)) return false;
    }
    if (m_audioBytes < 0) m_audioBytes = size - m_firstFrame - (m_id3v1.Present ? 128 : 0);

    // 5. Constant bit rate: the audio bytes at the first frame's bit rate.
    if (m_header.Valid() && !m_vbr) {
        m_frameCount = m_audioBytes / m_header.frameLength();
        m_bitRate = int64_t(m_header.bitRate()) * 1000;
        m_durationMs = m_bitRate > 0 ? RoundRatioHalfEven(__int128(m_audioBytes) * 8 * 1000, m_bitRate) : 0;
    }

    return true;
}

// A Xing header (variable bit rate) or its "Info" twin (constant bit rate) in the first frame counts
// the frames after it; the frame itself holds no audio. A LAME tag behind it states the samples the
// encoder added in front (delay) and at the end (padding); its CRC must match, since a wrong delay
// would pass for an exact length.
//   LAME tag: version text 9, revision and method 1, low-pass 1, peak 4, gains 2 + 2, flags 1,
//   bit rate 1, delay 12 bits and padding 12 bits, misc 1, gain 1, preset 2, length 4, CRCs 2 + 2.
void TAudioInfo::readExactLength(TInSource& stream, int64_t start, int64_t size)
{
    const int spf = m_header.samplesPerFrame();
    if (spf <= 0 || m_header.sampleRate() <= 0) return;
    uint8_t f[kVbrFrameHead];
    const size_t x = size_t(xingOffset(m_header));
    if (m_firstFrame < 0 || size - m_firstFrame < int64_t(x + 12)) return;
    const size_t n = size_t(std::min<int64_t>(int64_t(sizeof f), size - m_firstFrame));
    if (!stream.readAt(start + m_firstFrame, f, n)) return;
    if (std::memcmp(f + x, "Xing", 4) != 0 && std::memcmp(f + x, "Info", 4) != 0) return;
    const uint32_t flags = getBE32(f + x + 4);
    if (!(flags & 1)) return;
    size_t p = x + 8;
    const uint32_t frames = getBE32(f + p);
    p += 4;
    if (flags & 2) {
        if (p + 4 > n) return;
        // A file cut short holds fewer frames than counted.
        if (int64_t(getBE32(f + p)) > size - m_firstFrame) return;
        p += 4;
    }
    if (flags & 4) p += 100;
    if (flags & 8) p += 4;
    int64_t samples = int64_t(frames) * spf;
    if (p + kLameTagBytes <= n && getBE16(f + p + 34) == lameCrc(f, p + 34)) {
        const uint8_t* d = f + p + 21;
        m_encoderDelay = (d[0] << 4) | (d[1] >> 4);
        m_encoderPadding = ((d[1] & 0x0F) << 8) | d[2];
        samples -= m_encoderDelay + m_encoderPadding;
    }
    m_samples = samples > 0 ? samples : 0;
}

} // namespace cantorix
