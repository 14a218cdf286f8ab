#include "audio/formats/AACfile.h"

#include "audio/Rational.h"

#include <cstring>

namespace cantorix {

namespace {

constexpr uint32_t kRates[16] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050,
                                 16000, 12000, 11025, 8000,  0,     0,     0,     0};
constexpr int kHeaderBytes = 7;       // an ADTS header without its CRC
constexpr uint32_t kSamplesPerFrame = 1024;

// `count` (at most 24) bits at bit position `bit` of `bytes`, most significant bit first; 0 for bits
// beyond `n`.
uint32_t bitsOf(const uint8_t* bytes, size_t n, size_t bit, int count)
{
    uint32_t v = 0;
    for (int i = 0; i < count; ++i, ++bit) {
        const size_t byte = bit / 8;
        const uint32_t b = byte < n ? (bytes[byte] >> (7 - bit % 8)) & 1u : 0u;
        v = (v << 1) | b;
    }
    return v;
}

} // namespace

bool IsMP4Container(TInSource& in)
{
    uint8_t b[8];
    return in.readAt(0, b, sizeof b) && std::memcmp(b + 4, "ftyp", 4) == 0;
}

bool TAACfile::ReadFromSource(TInSource& in)
{
    ResetData();
    if (!m_tags.Read(in)) return false;
    m_fileSize = in.size();
    m_start = m_tags.Start();
    uint8_t id[4];
    if (!in.readAt(m_start, id, sizeof id)) return true; // too short for any header
    if (std::memcmp(id, "ADIF", 4) == 0) {
        m_headerType = kADIF;
        return readADIF(in, m_start);
    }
    if (id[0] == 0xFF && (id[1] & 0xF0) == 0xF0) {
        m_headerType = kADTS;
        walkADTS(in, m_start);
    }
    return true;
}

bool TAACfile::readADIF(TInSource& in, int64_t start)
{
    // The header fields sit within its first 24 bytes.
    uint8_t h[24] = {};
    const size_t n = size_t(std::min<int64_t>(sizeof h, m_fileSize - start));
    if (!in.readAt(start, h, n)) return false;
    size_t p = bitsOf(h, n, 32, 1) ? 107 : 35; // a copyright identifier of 72 bits is present
    m_bitRateType = bitsOf(h, n, p, 1) ? 2 : 1;
    m_bitRate = bitsOf(h, n, p + 1, 23);
    p += m_bitRateType == 1 ? 52 : 32;
    m_mpegVersion = 2;
    m_sampleRate = kRates[bitsOf(h, n, p + 2, 4)];
    m_channels = int(bitsOf(h, n, p + 6, 4) + bitsOf(h, n, p + 10, 4) + bitsOf(h, n, p + 14, 4) +
                     bitsOf(h, n, p + 18, 2));
    return true;
}

void TAACfile::walkADTS(TInSource& in, int64_t start)
{
    // Frames vary in size, so each is visited; through large reads. Every frame takes at least its
    // header, so the walk ends within the file.
    TBlockReader blocks(in);
    uint64_t total = 0;
    int64_t pos = start;
    while (const uint8_t* h = blocks.at(pos, kHeaderBytes)) {
        if (bitsOf(h, kHeaderBytes, 0, 12) != 0xFFF) break;
        // The frame length sits at bit 30 for MPEG-2 and MPEG-4 alike.
        const uint32_t length = bitsOf(h, kHeaderBytes, 30, 13);
        if (length < kHeaderBytes || int64_t(length) > m_fileSize - pos) break;
        const uint32_t rate = kRates[bitsOf(h, kHeaderBytes, 18, 4)];
        if (m_frames == 0) {
            m_mpegVersion = bitsOf(h, kHeaderBytes, 12, 1) ? 1 : 2;
            m_sampleRate = rate;
            m_channels = int(bitsOf(h, kHeaderBytes, 23, 3));
        }
        if (bitsOf(h, kHeaderBytes, 43, 11) == 0x7FF) m_bitRateType = 2;
        else if (m_bitRateType == 0) m_bitRateType = 1;
        total += length;
        ++m_frames;
        pos += length;
    }
    if (m_frames > 0)
        m_bitRate = RoundRatioHalfEven(__int128(m_sampleRate) * total * 8, __int128(m_frames) * kSamplesPerFrame);
}

double TAACfile::Duration() const
{
    if (m_headerType == kADTS) {
        if (m_sampleRate == 0) return 0;
        return double(m_frames) * kSamplesPerFrame / double(m_sampleRate);
    }
    if (m_bitRate <= 0) return 0;
    return double(m_fileSize - m_start) * 8.0 / double(m_bitRate);
}

std::string TAACfile::BitRateTypeText() const
{
    static const char* const kNames[] = {"Unknown", "CBR", "VBR"};
    return kNames[m_bitRateType >= 0 && m_bitRateType <= 2 ? m_bitRateType : 0];
}

TPlayingTime AACPlayingTime(TInSource& in) { return PlayingTimeOf<TAACfile>(in); }

void ReadAACInfo(TInSource& in, TFileInfoValues& v)
{
    TAACfile aac;
    aac.ReadFromSource(in);
    FillTagValues(aac.Tags().V1, v);
    v.Duration = FormatLongDuration(aac.Duration());
    v.SampleRate = RateKHz(aac.SampleRate());
    v.Bitrate = aac.BitRateTypeText() + std::to_string(aac.BitRate());
    v.Channels = ChannelCode(aac.Channels());
}

void ReadAACNameTags(TInSource& in, TFileInfoValues& v)
{
    TAACfile aac;
    aac.ReadFromSource(in);
    aac.Tags().FillInfo(v);
}

} // namespace cantorix
