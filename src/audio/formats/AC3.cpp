#include "audio/formats/AC3.h"

#include "audio/ByteSource.h"
#include "audio/formats/ConstantFrames.h"

namespace cantorix {

namespace {

// kbit/s by frame size code / 2.
constexpr uint32_t kBitRates[19] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                    192, 224, 256, 320, 384, 448, 512, 576, 640};
constexpr uint32_t kRates[3] = {48000, 44100, 32000};
constexpr uint32_t kReducedRates[3] = {24000, 22050, 16000}; // E-AC-3 fscod2
constexpr int kBlocks[4] = {1, 2, 3, 6};                     // E-AC-3 numblkscod
constexpr int kChannels[8] = {2, 1, 2, 3, 3, 4, 4, 5};       // by the channel arrangement
constexpr uint32_t kSamplesPerBlock = 256;

} // namespace

bool TAC3::decode(const uint8_t* h, Frame& f)
{
    if (h[0] != 0x0B || h[1] != 0x77) return false;
    f.bsid = h[5] >> 3;
    if (f.bsid <= 10) {
        const int fscod = h[4] >> 6;
        const int frmsizecod = h[4] & 0x3F;
        if (fscod == 3 || frmsizecod >= 38) return false;
        f.kbps = kBitRates[frmsizecod >> 1];
        f.rate = kRates[fscod];
        // 16-bit words per frame: 1536 samples at the bit rate; 44.1 kHz frames add a word for odd codes.
        uint32_t words = f.kbps * 96000 / f.rate;
        if (fscod == 1) words += frmsizecod & 1;
        f.bytes = words * 2;
        f.samples = 6 * kSamplesPerBlock;
        f.acmod = h[6] >> 5;
        return true;
    }
    if (f.bsid > 16) return false;
    // E-AC-3: stream type, substream, frame size in words - 1, then rate and blocks, channel mode.
    const int strmtyp = h[2] >> 6;
    const int substream = (h[2] >> 3) & 7;
    if (strmtyp == 3) return false;
    f.bytes = ((uint32_t(h[2] & 7) << 8 | h[3]) + 1) * 2;
    const int fscod = h[4] >> 6;
    const int code2 = (h[4] >> 4) & 3;
    int blocks = 6;
    if (fscod == 3) {
        if (code2 == 3) return false;
        f.rate = kReducedRates[code2];
    } else {
        f.rate = kRates[fscod];
        blocks = kBlocks[code2];
    }
    // Dependent substreams and further independent substreams carry channels of the same time span.
    f.samples = (strmtyp == 1 || substream != 0) ? 0 : uint32_t(blocks) * kSamplesPerBlock;
    f.acmod = (h[4] >> 1) & 7;
    return true;
}

bool TAC3::ReadFromSource(TInSource& in)
{
    ResetData();
    m_fileSize = in.size();
    uint8_t h[kHeaderBytes];
    Frame first;
    if (!in.readAt(0, h, sizeof h) || !decode(h, first)) return false;
    m_valid = true;
    m_bsid = first.bsid;
    m_sampleRate = first.rate;
    m_channels = kChannels[first.acmod];
    m_bitsPerSample = 16;
    const uint32_t firstSamples = first.samples ? first.samples : 6 * kSamplesPerBlock;
    m_bitRate = first.kbps ? int(first.kbps) : int(uint64_t(first.bytes) * 8 * first.rate / firstSamples / 1000);

    if (!countConstantFrames(in, first)) walk(in);
    return true;
}

// A stream whose frames all have the first one's size holds size / that many of them
// (ConstantFrameCount), and not a frame between is read. Otherwise false, and the frames are walked.
bool TAC3::countConstantFrames(TInSource& in, const Frame& first)
{
    if (first.samples == 0 || first.bytes < kHeaderBytes) return false;
    auto frameAt = [&](int64_t offset, Frame& f) {
        uint8_t h[kHeaderBytes];
        return in.readAt(offset, h, sizeof h) && decode(h, f);
    };
    auto sameAt = [&](int64_t offset) {
        Frame f;
        return frameAt(offset, f) && f.bytes == first.bytes && f.rate == first.rate && f.samples == first.samples &&
               f.bsid == first.bsid;
    };
    auto wholeFrameIn = [&](int64_t offset, int64_t rest) {
        Frame f;
        return rest >= int64_t(kHeaderBytes) && frameAt(offset, f) && f.bytes >= kHeaderBytes &&
               int64_t(f.bytes) <= rest;
    };
    const int64_t count = ConstantFrameCount(m_fileSize, first.bytes, sameAt, wholeFrameIn);
    if (count == 0) return false;
    m_samples = uint64_t(count) * first.samples;
    return true;
}

void TAC3::walk(TInSource& in)
{
    // Every frame is at least 7 bytes long (a smaller one ends the walk), so the walk ends.
    TBlockReader blocks(in);
    int64_t pos = 0;
    Frame f;
    while (const uint8_t* h = blocks.at(pos, kHeaderBytes)) {
        if (!decode(h, f) || f.bytes < kHeaderBytes || int64_t(f.bytes) > m_fileSize - pos) break;
        // A frame at another rate belongs to no stream of this file.
        if (f.rate == m_sampleRate) m_samples += f.samples;
        pos += f.bytes;
    }
}

double TAC3::Duration() const
{
    if (m_sampleRate == 0) return 0;
    return double(m_samples) / double(m_sampleRate);
}

TPlayingTime AC3PlayingTime(TInSource& in) { return PlayingTimeOf<TAC3, &TAC3::Samples>(in); }

void ReadAC3Info(TInSource& in, TFileInfoValues& v)
{
    TAC3 ac3;
    ac3.ReadFromSource(in);
    v.Duration = FormatLongDuration(ac3.Duration());
    v.SampleRate = RateKHz(ac3.SampleRate());
    v.Bitrate = std::to_string(ac3.BitRate());
    v.Channels = ChannelCode(ac3.Channels());
}

} // namespace cantorix
