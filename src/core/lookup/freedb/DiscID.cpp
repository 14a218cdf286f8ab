#include "core/lookup/freedb/DiscID.h"

#include <algorithm>
#include <cmath>

namespace cantorix {

namespace {

TrackTime framesToMSF(int64_t frames)
{
    frames = std::clamp<int64_t>(frames, 0, int64_t(TCDDBDiscID::MaxTrackSeconds) * 75 * (TCDDBDiscID::MaxTracks + 1));
    return {int32_t(frames / 4500), int32_t((frames / 75) % 60), int32_t(frames % 75)};
}

} // namespace

TCDDBDiscID::TCDDBDiscID()
{
    m_tracks[0] = {0, 2, 0}; // two seconds of lead-in before the first track
    computeId();
}

TCDDBDiscID TCDDBDiscID::FromSeconds(const QList<int>& seconds)
{
    TCDDBDiscID disc;
    // Minutes, seconds and frames are carried separately, as the tracks' times are added up.
    int32_t m = 0, s = 2, f = 0;
    int i = 1;
    for (int whole : seconds) {
        if (i > MaxTracks) break;
        const TrackTime d = SecondsToMSF(std::clamp(whole, 0, MaxTrackSeconds));
        m += d.Minutes;
        s += d.Seconds;
        m += s / 60;
        s %= 60;
        f += d.Frames;
        if (f >= 75) {
            f -= 75;
            s += 1;
        }
        disc.m_tracks[size_t(i)] = {m, s, f};
        ++i;
    }
    disc.m_trackCount = i - 1;
    disc.computeId();
    return disc;
}

TCDDBDiscID TCDDBDiscID::FromFrames(const QList<int64_t>& trackStarts, int64_t leadOut)
{
    TCDDBDiscID disc;
    const int n = int(std::min<qsizetype>(trackStarts.size(), MaxTracks));
    for (int k = 0; k < n; ++k) disc.m_tracks[size_t(k)] = framesToMSF(trackStarts[k]);
    disc.m_tracks[size_t(n)] = framesToMSF(leadOut);
    disc.m_trackCount = n;
    disc.computeId();
    return disc;
}

const TrackTime& TCDDBDiscID::Track(int k) const
{
    static const TrackTime none{};
    return k >= 0 && k <= m_trackCount ? m_tracks[size_t(k)] : none;
}

void TCDDBDiscID::computeId()
{
    auto secs = [this](int k) { return m_tracks[size_t(k)].Minutes * 60 + m_tracks[size_t(k)].Seconds; };
    uint32_t checksum = 0;
    for (int k = 0; k < m_trackCount; ++k) checksum += DigitSum(uint32_t(secs(k)));
    const auto length = uint32_t(secs(m_trackCount) - secs(0));
    m_discId = ((checksum % 255u) << 24) | (length << 8) | uint32_t(m_trackCount);
}

QString TCDDBDiscID::DiscIDText() const { return QString::asprintf("%08x", unsigned(m_discId)); }

int64_t TCDDBDiscID::MSFToFrames(const TrackTime& t)
{
    return int64_t(t.Minutes) * 4500 + int64_t(t.Seconds) * 75 + t.Frames;
}

uint32_t TCDDBDiscID::DigitSum(uint32_t n)
{
    uint32_t sum = 0;
    for (; n > 0; n /= 10) sum += n % 10;
    return sum;
}

TrackTime TCDDBDiscID::SecondsToMSF(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0) return {};
    if (seconds > MaxTrackSeconds) seconds = MaxTrackSeconds;
    double whole = std::floor(seconds);
    auto w = int32_t(whole);
    auto frames = int32_t(std::floor((seconds - whole) * 75));
    return {w / 60, w % 60, frames > 74 ? 74 : frames};
}

QList<int64_t> TCDDBDiscID::TrackOffsets() const
{
    QList<int64_t> offsets;
    for (int k = 0; k < m_trackCount; ++k) offsets << MSFToFrames(m_tracks[size_t(k)]);
    return offsets;
}

int32_t TCDDBDiscID::LeadOutSeconds() const
{
    return int32_t(std::min<int64_t>(MSFToFrames(m_tracks[size_t(m_trackCount)]) / 75, INT32_MAX));
}

QString TCDDBDiscID::QueryCommand() const
{
    QString cmd = QString("cddb query %1 %2").arg(DiscIDText()).arg(m_trackCount);
    for (int64_t offset : TrackOffsets()) cmd += ' ' + QString::number(offset);
    cmd += ' ' + QString::number(LeadOutSeconds());
    return cmd;
}

} // namespace cantorix
