#include "audio/formats/OptimFrog.h"

#include "audio/Rational.h"

#include <cstring>

namespace cantorix {

bool TOptimFrog::ReadFromSource(TInSource& in)
{
    ResetData();
    if (!m_tags.Read(in)) return false;
    uint8_t h[23];
    if (!in.readAt(m_tags.Start(), h, sizeof h) || std::memcmp(h, "OFR ", 4) != 0) return false;
    m_fileSize = in.size();
    m_valid = true;
    // The length counts the sample values of all channels, in 48 bits.
    const uint64_t values = uint64_t(getLE32(h + 8)) | (uint64_t(getLE16(h + 12)) << 32);
    m_channelMode = h[15];
    m_sampleRate = getLE32(h + 16);
    if (m_channelMode <= 1) m_samples = values >> m_channelMode;
    return true;
}

std::string TOptimFrog::ChannelModeText() const
{
    if (m_channelMode == 0) return "Mono";
    if (m_channelMode == 1) return "Stereo";
    return {};
}

double TOptimFrog::Duration() const
{
    if (m_sampleRate == 0) return 0;
    return double(m_samples) / double(m_sampleRate);
}

int64_t TOptimFrog::BitRate() const
{
    // FileSize * 8 / (Samples / SampleRate * 1000), exactly.
    if (m_sampleRate == 0 || m_samples == 0) return 0;
    return RoundRatioHalfEven(__int128(m_fileSize) * 8 * m_sampleRate, __int128(m_samples) * 1000);
}

TPlayingTime OptimFrogPlayingTime(TInSource& in) { return PlayingTimeOf<TOptimFrog, &TOptimFrog::Samples>(in); }

void ReadOptimFrogInfo(TInSource& in, TFileInfoValues& v)
{
    TOptimFrog ofr;
    ofr.ReadFromSource(in);
    ofr.Tags().FillInfo(v);
    v.Duration = FormatLongDuration(ofr.Duration());
    v.SampleRate = RateKHz(ofr.SampleRate());
    v.Bitrate = std::to_string(ofr.BitRate());
    v.Channels = ofr.ChannelModeText();
}

} // namespace cantorix
