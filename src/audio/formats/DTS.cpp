#include "audio/formats/DTS.h"

#include "audio/ByteSource.h"
#include "audio/formats/ConstantFrames.h"

#include <cstring>

namespace cantorix {

namespace {

constexpr uint8_t kCoreSync[4] = {0x7F, 0xFE, 0x80, 0x01};
constexpr uint8_t kSubstreamSync[4] = {0x64, 0x58, 0x20, 0x25};
// Codes 29 (none) and 31 (lossless) are no rate; 30 stands for an open rate.
constexpr int kBitRates[32] = {32,   56,   64,   96,   112,  128,  192,  224,  256,  320,  384,
                               448,  512,  576,  640,  768,  960,  1024, 1152, 1280, 1344, 1408,
                               1411, 1472, 1536, 1920, 2048, 3072, 3840, 0,    65535, 0};
constexpr uint32_t kRates[16] = {0, 8000, 16000, 32000, 0, 0, 11025, 22050, 44100, 0, 0, 12000, 24000, 48000, 0, 0};
constexpr int kChannels[16] = {1, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 6, 7, 8, 8};
constexpr int kBits[8] = {16, 16, 20, 20, 24, 24, 16, 16};
constexpr uint32_t kMinFrame = 96; // the smallest core frame the format allows
constexpr size_t kHeaderBytes = 10;  // what the walk reads of a frame

// `count` bits at bit position `bit` of `p`, most significant first (the caller keeps them inside).
uint32_t bitsAt(const uint8_t* p, size_t bit, int count)
{
    uint32_t v = 0;
    for (int i = 0; i < count; ++i, ++bit) v = (v << 1) | ((p[bit / 8] >> (7 - bit % 8)) & 1u);
    return v;
}

} // namespace

bool TDTS::ReadFromSource(TInSource& in)
{
    ResetData();
    m_fileSize = in.size();
    uint8_t h[15];
    if (!in.readAt(0, h, sizeof h) || std::memcmp(h, kCoreSync, 4) != 0) return false;
    const uint8_t* b = h + 7;
    const int amode = ((b[0] * 256 + b[1]) & 0x0FC0) >> 6;
    const int sfreq = (b[1] & 0x3C) >> 2;
    const int rate = ((b[1] * 256 + b[2]) & 0x03E0) >> 5;
    const int pcmr = ((b[6] * 256 + b[7]) & 0x01C0) >> 6;
    if (kBitRates[rate] == 0 || kRates[sfreq] == 0) return false;
    m_valid = true;
    m_channels = amode < 16 ? kChannels[amode] : 0;
    m_sampleRate = kRates[sfreq];
    m_bitRate = kBitRates[rate];
    m_bitsPerSample = kBits[pcmr];
    walk(in);
    return true;
}

// The core frame at `offset`: its sample blocks and bytes; false when no core frame starts there.
static bool coreFrameAt(TInSource& in, int64_t offset, uint32_t& blocks, uint32_t& bytes)
{
    uint8_t h[kHeaderBytes];
    if (!in.readAt(offset, h, sizeof h) || std::memcmp(h, kCoreSync, 4) != 0) return false;
    blocks = bitsAt(h, 39, 7) + 1;
    bytes = bitsAt(h, 46, 14) + 1;
    return true;
}

// A stream of core frames all of the first one's size (no extension substreams between them) holds
// size / that many (ConstantFrameCount), and not a frame between is read. Otherwise false, and the
// frames are walked.
bool TDTS::countConstantFrames(TInSource& in)
{
    uint32_t blocks = 0, bytes = 0;
    if (!coreFrameAt(in, 0, blocks, bytes) || bytes < kMinFrame) return false;
    auto sameAt = [&](int64_t offset) {
        uint32_t b = 0, n = 0;
        return coreFrameAt(in, offset, b, n) && b == blocks && n == bytes;
    };
    auto wholeFrameIn = [&](int64_t offset, int64_t rest) {
        uint32_t b = 0, n = 0;
        return rest >= int64_t(kHeaderBytes) && coreFrameAt(in, offset, b, n) && n >= kMinFrame && int64_t(n) <= rest;
    };
    const int64_t count = ConstantFrameCount(m_fileSize, bytes, sameAt, wholeFrameIn);
    if (count == 0) return false;
    m_frames = uint64_t(count);
    m_samples = uint64_t(count) * blocks * 32;
    return true;
}

void TDTS::walk(TInSource& in)
{
    if (countConstantFrames(in)) return;
    // Each step moves past at least kMinFrame bytes (a core frame) or a substream's own size, so the
    // walk ends within the file.
    TBlockReader reader(in);
    int64_t pos = 0;
    while (const uint8_t* h = reader.at(pos, kHeaderBytes)) {
        if (std::memcmp(h, kCoreSync, 4) == 0) {
            const uint32_t blocks = bitsAt(h, 39, 7) + 1;
            const uint32_t bytes = bitsAt(h, 46, 14) + 1;
            if (bytes < kMinFrame || int64_t(bytes) > m_fileSize - pos) break;
            ++m_frames;
            m_samples += uint64_t(blocks) * 32;
            pos += bytes;
        } else if (std::memcmp(h, kSubstreamSync, 4) == 0) {
            // Header size type at bit 42: the substream size (minus 1) has 16 or 20 bits.
            const bool wide = bitsAt(h, 42, 1) != 0;
            const uint32_t bytes = (wide ? bitsAt(h, 55, 20) : bitsAt(h, 51, 16)) + 1;
            if (bytes < kHeaderBytes || int64_t(bytes) > m_fileSize - pos) break;
            pos += bytes;
        } else {
            break;
        }
    }
}

double TDTS::Duration() const
{
    if (m_sampleRate == 0) return 0;
    return double(m_samples) / double(m_sampleRate);
}

TPlayingTime DTSPlayingTime(TInSource& in) { return PlayingTimeOf<TDTS, &TDTS::Samples>(in); }

void ReadDTSInfo(TInSource& in, TFileInfoValues& v)
{
    TDTS dts;
    dts.ReadFromSource(in);
    v.Duration = FormatLongDuration(dts.Duration());
    v.SampleRate = RateKHz(dts.SampleRate());
    v.Bitrate = std::to_string(dts.BitRate());
    v.Channels = ChannelCode(dts.Channels());
}

} // namespace cantorix
