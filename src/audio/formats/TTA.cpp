#include "audio/formats/TTA.h"

#include <cstring>

namespace cantorix {

bool TTTA::ReadFromSource(TInSource& in)
{
    ResetData();
    if (!m_tags.Read(in)) return false;
    uint8_t h[22];
    if (!in.readAt(m_tags.Start(), h, sizeof h) || std::memcmp(h, "TTA1", 4) != 0) return false;
    m_channels = getLE16(h + 6);
    m_sampleRate = getLE32(h + 10);
    m_dataLength = getLE32(h + 14);
    m_fileSize = in.size();
    m_valid = true;
    return true;
}

double TTTA::Duration() const
{
    if (m_sampleRate == 0) return 0;
    return double(m_dataLength) / double(m_sampleRate);
}

double TTTA::BitRate() const
{
    if (m_sampleRate == 0 || m_dataLength == 0) return 0;
    return double(m_fileSize) * 8.0 / Duration() / 1000.0;
}

TPlayingTime TTAPlayingTime(TInSource& in) { return PlayingTimeOf<TTTA, &TTTA::DataLength>(in); }

void ReadTTAInfo(TInSource& in, TFileInfoValues& v)
{
    TTTA tta;
    tta.ReadFromSource(in);
    tta.Tags().FillInfo(v);
    v.Duration = FormatLongDuration(tta.Duration());
    v.SampleRate = RateKHz(tta.SampleRate());
    v.Bitrate = ShortestDecimal(tta.BitRate());
    v.Channels = ChannelCode(tta.Channels());
}

} // namespace cantorix
