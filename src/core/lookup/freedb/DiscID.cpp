#include "core/lookup/freedb/DiscID.h"

#include <algorithm>
#include <cmath>

namespace cantorix {

namespace {

int32_t durationSeconds(const QString& text)
{
    bool ok = false;
    qlonglong v = text.toLongLong(&ok, 10);
    if (!ok || v < 0) return 0;
    return v > TCDDBDiscID::MaxTrackSeconds ? TCDDBDiscID::MaxTrackSeconds : int32_t(v);
}

} // namespace

void TCDDBDiscID::BuildTrackTable(const QStringList& trackDurations)
{
    Tracks = {};
    // Two seconds of lead-in before the first track.
    int32_t m = 0, s = 2, f = 0;
    Tracks[0] = {m, s, f};
    int i = 1;
    for (const QString& text : trackDurations) {
        if (i > MaxTracks) break;
        TrackTime d = SecondsToMSF(durationSeconds(text));
        m += d.Minutes;
        s += d.Seconds;
        m += s / 60;
        s %= 60;
        f += d.Frames;
        if (f >= 75) {
            f -= 75;
            s += 1;
        }
        Tracks[size_t(i)] = {m, s, f};
        ++i;
    }
    TrackCount = uint16_t(i - 1);
    DiscLength = LeadOutSeconds();
}

void TCDDBDiscID::CalcDiscID()
{
    auto secs = [this](int k) { return Tracks[size_t(k)].Minutes * 60 + Tracks[size_t(k)].Seconds; };
    const int n = TrackCount <= MaxTracks ? TrackCount : MaxTracks;
    uint32_t checksum = 0;
    for (int k = 0; k < n; ++k) checksum += DigitSum(uint32_t(secs(k)));
    uint32_t length = uint32_t(secs(n) - secs(0));
    DiscID = ((checksum % 255u) << 24) | (length << 8) | uint32_t(n);
    DiscIDText = QString::asprintf("%08x", unsigned(DiscID));
}

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
    const int n = TrackCount <= MaxTracks ? TrackCount : MaxTracks;
    for (int k = 0; k < n; ++k) offsets << MSFToFrames(Tracks[size_t(k)]);
    return offsets;
}

int32_t TCDDBDiscID::LeadOutSeconds() const
{
    const int n = TrackCount <= MaxTracks ? TrackCount : MaxTracks;
    return int32_t(std::min<int64_t>(MSFToFrames(Tracks[size_t(n)]) / 75, INT32_MAX));
}

QString TCDDBDiscID::QueryCommand() const
{
    QString cmd = QString("cddb query %1 %2").arg(DiscIDText.toLower()).arg(TrackCount);
    for (int64_t offset : TrackOffsets()) cmd += ' ' + QString::number(offset);
    cmd += ' ' + QString::number(LeadOutSeconds());
    return cmd;
}

} // namespace cantorix
