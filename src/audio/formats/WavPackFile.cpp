#include "audio/formats/WavPackFile.h"

#include "audio/APETag.h"

#include <cstring>

namespace cantorix {

namespace {

constexpr size_t kBlockHeader = 32;
constexpr uint32_t kMonoFlag = 1u << 2;
constexpr uint32_t kInitialBlock = 1u << 11;
constexpr uint32_t kFinalBlock = 1u << 12;
constexpr int kRateShift = 23;
constexpr uint32_t kRateMask = 0xFu << kRateShift;
constexpr uint32_t kUnknownSamples = 0xFFFFFFFF;
// The format limits a block to 1 MiB; a larger size is not a block.
constexpr uint32_t kMaxBlockSize = 1u << 20;
// Metadata sub-block IDs: the low 6 bits name it; 0x40 says the last byte is padding, 0x80 that
// the size takes three bytes.
constexpr uint8_t kIdMask = 0x3F;
constexpr uint8_t kIdOddSize = 0x40;
constexpr uint8_t kIdLarge = 0x80;
constexpr uint8_t kIdChannelInfo = 0x0D;
constexpr uint8_t kIdSampleRate = 0x27 & kIdMask; // an optional sub-block: 0x20 | 7
// A block layout file has this many blocks in its first frame at most (one per channel pair).
constexpr int kMaxFrameBlocks = 4096;
// How far back from the end the last block is looked for when the total is unknown.
constexpr int64_t kTailSearch = int64_t(kMaxBlockSize) + 64 * 1024;

constexpr int kRates[15] = {6000,  8000,  9600,  11025, 12000, 16000, 22050, 24000,
                            32000, 44100, 48000, 64000, 88200, 96000, 192000};

struct BlockHeader {
    uint32_t size = 0; // bytes after the first 8
    uint16_t version = 0;
    int64_t totalSamples = -1; // -1: unknown
    int64_t blockIndex = 0;
    uint32_t blockSamples = 0;
    uint32_t flags = 0;
};

bool parseHeader(const uint8_t* h, BlockHeader& out)
{
    if (std::memcmp(h, "wvpk", 4) != 0) return false;
    out.size = getLE32(h + 4);
    out.version = getLE16(h + 8);
    // Byte 10 holds the top 8 bits of the 40-bit block index, byte 11 those of the total; the low
    // 32 bits of the total all set mean "unknown", so each step of the top byte counts 2^32 - 1.
    const uint32_t total = getLE32(h + 12);
    out.totalSamples = total == kUnknownSamples ? -1 : int64_t(total) + (int64_t(h[11]) << 32) - int64_t(h[11]);
    out.blockIndex = int64_t(getLE32(h + 16)) + (int64_t(h[10]) << 32);
    out.blockSamples = getLE32(h + 20);
    out.flags = getLE32(h + 24);
    return out.size >= kBlockHeader - 8 && out.size <= kMaxBlockSize;
}

// What the metadata sub-blocks of one block say about the rate and the channels (0: not stated).
struct BlockMeta {
    int rate = 0;
    int channels = 0;
};

BlockMeta readSubBlocks(TInSource& in, int64_t blockStart, const BlockHeader& h)
{
    BlockMeta meta;
    ByteVector body;
    const int64_t length = int64_t(h.size) + 8 - int64_t(kBlockHeader);
    if (length <= 0 || length > in.size() - blockStart - int64_t(kBlockHeader)) return meta;
    body.resize(size_t(length));
    if (!in.readAt(blockStart + int64_t(kBlockHeader), body.data(), body.size())) return meta;
    size_t at = 0;
    while (at + 2 <= body.size()) {
        const uint8_t id = body[at];
        size_t words = body[at + 1];
        size_t head = 2;
        if (id & kIdLarge) {
            if (at + 4 > body.size()) break;
            words |= size_t(body[at + 2]) << 8 | size_t(body[at + 3]) << 16;
            head = 4;
        }
        const size_t stored = words * 2;
        if (stored > body.size() - at - head) break;
        const size_t n = (id & kIdOddSize) && stored > 0 ? stored - 1 : stored;
        const uint8_t* data = body.data() + at + head;
        if ((id & kIdMask) == kIdSampleRate && n >= 3) {
            uint32_t rate = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16;
            if (n >= 4) rate |= uint32_t(data[3] & 0x7F) << 24;
            meta.rate = int(rate);
        } else if ((id & kIdMask) == kIdChannelInfo && n >= 1) {
            // The count is the first byte; the 6-byte form of WavPack 5 stores the count - 1 in 12
            // bits (byte 0 and the low half of byte 2) for files of more than 255 channels.
            int channels = data[0];
            if (n >= 6) channels = (int(data[0]) | (int(data[2] & 0x0F) << 8)) + 1;
            meta.channels = channels;
        }
        at += head + stored;
    }
    return meta;
}

} // namespace

bool TWAVPackFile::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TWAVPackFile::ReadFromSource(TInSource& in)
{
    *this = TWAVPackFile();
    TAPETag ape;
    ape.ReadFromSource(in);
    m_tagSize = ape.Present() ? ape.TotalSize() : 0;
    m_fileSize = in.size();
    uint8_t magic[4];
    bool ok = false;
    if (in.readAt(0, magic, sizeof magic)) {
        if (std::memcmp(magic, "wvpk", 4) == 0)
            ok = readBlocks(in);
        else if (std::memcmp(magic, "RIFF", 4) == 0)
            ok = readRiff(in);
    }
    if (!ok) {
        const int64_t size = m_fileSize;
        *this = TWAVPackFile();
        m_fileSize = size;
    }
    return ok;
}

// WavPack 4 and 5: a row of blocks, each with a 32-byte header. The first frame (the blocks from the
// initial to the final one) holds one or two channels per block.
bool TWAVPackFile::readBlocks(TInSource& in)
{
    uint8_t raw[kBlockHeader];
    BlockHeader first;
    if (!in.readAt(0, raw, sizeof raw) || !parseHeader(raw, first)) return false;
    m_version = 4;
    m_valid = true;

    const uint32_t rateIndex = (first.flags & kRateMask) >> kRateShift;
    m_sampleRate = rateIndex < 15 ? kRates[rateIndex] : 0;
    int counted = 0;
    int stated = 0;
    int64_t pos = 0;
    BlockHeader h = first;
    for (int n = 0; n < kMaxFrameBlocks; ++n) {
        BlockMeta meta = readSubBlocks(in, pos, h);
        if (rateIndex == 15 && m_sampleRate == 0 && meta.rate > 0) m_sampleRate = meta.rate;
        if (stated == 0) stated = meta.channels;
        counted += (h.flags & kMonoFlag) ? 1 : 2;
        if ((h.flags & kFinalBlock) || (n == 0 && !(h.flags & kInitialBlock))) break;
        pos += int64_t(h.size) + 8;
        if (!in.readAt(pos, raw, sizeof raw) || !parseHeader(raw, h) || (h.flags & kInitialBlock)) break;
    }
    m_channels = stated > 0 ? stated : counted;

    m_samples = first.totalSamples;
    if (m_samples < 0) m_samples = lastBlockEnd(in);
    if (m_sampleRate > 0) m_duration = double(m_samples) / double(m_sampleRate);
    if (m_duration > 0) m_bitRate = double(m_fileSize - m_tagSize) * 8.0 / m_duration / 1000.0;
    return true;
}

// The sample index after the last block of the file: its index plus its samples (0 when no block is
// found near the end). Piped encodes never go back to write the total into the first block.
int64_t TWAVPackFile::lastBlockEnd(TInSource& in) const
{
    const int64_t end = m_fileSize - m_tagSize;
    if (end < int64_t(kBlockHeader)) return 0;
    const int64_t start = end > kTailSearch ? end - kTailSearch : 0;
    ByteVector tail(size_t(end - start));
    if (!in.readAt(start, tail.data(), tail.size())) return 0;
    for (size_t at = tail.size() - kBlockHeader + 1; at-- > 0;) {
        BlockHeader h;
        if (tail[at] != 'w' || !parseHeader(tail.data() + at, h)) continue;
        // A real block ends inside the file and carries samples.
        if (h.blockSamples == 0 || int64_t(h.size) + 8 > end - (start + int64_t(at))) continue;
        return h.blockIndex + h.blockSamples;
    }
    return 0;
}

// WavPack 3: a RIFF file whose "data" chunk starts with a 36-byte WavPack header.
bool TWAVPackFile::readRiff(TInSource& in)
{
    uint8_t head[12];
    if (!in.readAt(0, head, sizeof head) || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
    m_version = 3;
    bool haveFormat = false;
    bool result = false;
    int64_t pos = 12;
    for (int n = 0; n < 4096 && m_fileSize - pos >= 8; ++n) {
        uint8_t chunk[8];
        if (!in.readAt(pos, chunk, sizeof chunk)) break;
        const int64_t size = getLE32(chunk + 4);
        const int64_t body = pos + 8;
        if (size == 0) break;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            uint8_t fmt[16];
            if (size < 16 || !in.readAt(body, fmt, sizeof fmt)) break;
            result = m_valid = true;
            haveFormat = true;
            m_channels = getLE16(fmt + 2);
            m_sampleRate = int(getLE32(fmt + 4) & 0x7FFFFFFF);
            m_bitRate = double(getLE32(fmt + 8)) / 125.0;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            uint8_t wv[36];
            if (!in.readAt(body, wv, sizeof wv) || std::memcmp(wv, "wvpk", 4) != 0) break;
            m_channels = (getLE16(wv + 12) & 1) ? 1 : 2;
            m_samples = getLE32(wv + 16);
            if (m_sampleRate <= 0) m_sampleRate = 44100;
            m_duration = double(m_samples) / double(m_sampleRate);
            const int64_t blockSize = getLE32(wv + 4);
            if (m_duration > 0) m_bitRate = double(m_fileSize - m_tagSize - blockSize) * 8.0 / (m_duration * 1000.0);
            break;
        }
        // Any other chunk (a "LIST" or "JUNK" before the data) is stepped over.
        pos = body + size + (size & 1);
    }
    return result;
}

std::string TWAVPackFile::ChannelMode() const
{
    if (m_channels == 1) return "Mono";
    if (m_channels == 2) return "Stereo";
    return "Surround";
}

void ReadWavPackInfo(TInSource& in, TFileInfoValues& values)
{
    TWAVPackFile file;
    file.ReadFromSource(in);
    FillStreamValues(file, values);
}

TPlayingTime WavPackPlayingTime(TInSource& in) { return PlayingTimeOf<TWAVPackFile, &TWAVPackFile::Samples>(in); }

} // namespace cantorix
