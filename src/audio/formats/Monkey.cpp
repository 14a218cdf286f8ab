#include "audio/formats/Monkey.h"

#include <cstdio>
#include <cstring>

namespace cantorix {

namespace {

// The smallest descriptor and header of version 3.98 and later; anything shorter is no such file.
constexpr uint32_t kMinDescriptor = 52;
constexpr uint32_t kMinHeader = 24;
// A descriptor larger than this is no Monkey's Audio file; it also bounds the bytes skipped.
constexpr uint32_t kMaxDescriptor = 1 << 20;

} // namespace

void TMonkey::ResetData()
{
    *this = TMonkey();
}

bool TMonkey::ReadFromSource(TInSource& in)
{
    ResetData();
    if (!m_tags.Read(in)) return false;
    m_tagSize = (m_tags.V1.Present() ? 128 : 0) + (m_tags.V2.Present() ? m_tags.V2.Size() : 0) +
                (m_tags.Ape.Present() ? m_tags.Ape.Size() : 0);
    m_fileSize = in.size();
    if (!readHeader(in, m_tags.Start())) return false;

    if (m_sampleRate > 0) m_duration = double(m_totalSamples) / double(m_sampleRate);
    if (m_duration > 0) m_bitRate = double(m_fileSize - m_tagSize) * 8.0 / m_duration / 1000.0;
    m_valid = m_bitsPerSample > 0 && m_sampleRate > 0 && m_totalSamples > 0 && m_channels > 0;
    return m_valid;
}

bool TMonkey::readHeader(TInSource& in, int64_t at)
{
    uint8_t id[6];
    if (!in.readAt(at, id, 6) || std::memcmp(id, "MAC ", 4) != 0) return false;
    m_version = getLE16(id + 4);

    if (m_version < 3980) {
        uint8_t h[30];
        if (!in.readAt(at + 6, h, sizeof h)) return false;
        m_compression = getLE16(h);
        const uint16_t flags = getLE16(h + 2);
        m_channels = getLE16(h + 4);
        m_sampleRate = getLE32(h + 6);
        const uint32_t totalFrames = getLE32(h + 18);
        const uint32_t finalBlocks = getLE32(h + 22);
        m_bitsPerSample = (flags & 1) ? 8 : (flags & 8) ? 24 : 16;
        uint32_t blocksPerFrame = 9216;
        if (m_version >= 3950)
            blocksPerFrame = 294912;
        else if (m_version >= 3900 || (m_version >= 3800 && m_compression == 4000))
            blocksPerFrame = 73728;
        if (totalFrames != 0) m_totalSamples = uint64_t(totalFrames - 1) * blocksPerFrame + finalBlocks;
        return true;
    }

    uint8_t d[46];
    if (!in.readAt(at + 6, d, sizeof d)) return false;
    const uint32_t descriptorBytes = getLE32(d + 2);
    const uint32_t headerBytes = getLE32(d + 6);
    if (descriptorBytes < kMinDescriptor || descriptorBytes > kMaxDescriptor || headerBytes < kMinHeader)
        return false;
    // The descriptor counts from the "MAC " signature; a longer one has fields this reader skips.
    uint8_t h[kMinHeader];
    if (!in.readAt(at + int64_t(descriptorBytes), h, sizeof h)) return false;
    m_compression = getLE16(h);
    const uint32_t blocksPerFrame = getLE32(h + 4);
    const uint32_t finalBlocks = getLE32(h + 8);
    const uint32_t totalFrames = getLE32(h + 12);
    m_bitsPerSample = getLE16(h + 16);
    m_channels = getLE16(h + 18);
    m_sampleRate = getLE32(h + 20);
    if (totalFrames != 0) m_totalSamples = uint64_t(blocksPerFrame) * (totalFrames - 1) + finalBlocks;
    return true;
}

std::string TMonkey::VersionText() const
{
    // Versions are 4 digits (3990 is 3.99), so two decimals are never padded to the width of 4.
    return FixedDecimal(m_version / 1000.0, 2);
}

std::string TMonkey::CompressionModeText() const
{
    static const char* const kNames[] = {"Unknown", "Fast", "Normal", "High", "Extra High", "Insane", "BrainDead"};
    if (m_compression % 1000 == 0 && m_compression <= 6000) return kNames[m_compression / 1000];
    return std::to_string(m_compression);
}

TPlayingTime MonkeyPlayingTime(TInSource& in) { return PlayingTimeOf<TMonkey, &TMonkey::TotalSamples>(in); }

void ReadMonkeyInfo(TInSource& in, TFileInfoValues& v)
{
    TMonkey ape;
    ape.ReadFromSource(in);
    ape.Tags().FillInfo(v);
    v.Duration = FormatLongDuration(ape.Duration());
    v.SampleRate = RateKHz(ape.SampleRate());
    v.Bitrate = FixedDecimal(ape.BitRate(), 1);
    v.Channels = ChannelCode(ape.Channels());
    v.Other = "Version: " + ape.VersionText() + " Compression mode: " + ape.CompressionModeText();
}

} // namespace cantorix
