#include "core/lookup/acoustid/AcoustidReply.h"

#include "core/Text.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>

namespace cantorix {

namespace {

// Longer than any real title or name: what lies beyond is cut off.
constexpr qsizetype MaxTextLength = 1000;
constexpr int MaxArtists = 50;

QString tr(const char* text) { return QCoreApplication::translate("AcoustidReply", text); }

// A string member as one line, or empty when it is missing or not a string.
QString text(const QJsonObject& o, const char* key, qsizetype max = MaxTextLength)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isString() ? SingleLine(v.toString().left(max)).trimmed() : QString();
}

// A whole number member in [0, max], or `fallback`.
int number(const QJsonObject& o, const char* key, int max, int fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble()) return fallback;
    const double d = v.toDouble();
    if (!(d >= 0 && d <= double(max))) return fallback;
    return int(d);
}

// An identifier member when it has the UUID form, else empty.
QString uuid(const QJsonObject& o, const char* key)
{
    const QString id = text(o, key, 40);
    return IsAidUuid(id) ? id : QString();
}

// The credited names with their join phrases.
QString artists(const QJsonObject& o)
{
    const QJsonArray list = o.value("artists").toArray();
    QString credit;
    for (qsizetype i = 0; i < list.size() && i < MaxArtists; ++i) {
        const QJsonObject a = list[i].toObject();
        credit += text(a, "name");
        if (i + 1 < list.size()) {
            const QJsonValue join = a.value("joinphrase");
            credit += join.isString() ? SingleLine(join.toString().left(20)) : QString("; ");
        }
    }
    return credit.left(MaxTextLength).trimmed();
}

// The date as {"year", "month", "day"} (the service's form) or as text: "1998", "1998-05" or "1998-05-12".
QString date(const QJsonObject& o)
{
    const QJsonValue v = o.value("date");
    if (v.isString()) {
        const QString d = v.toString().left(10);
        for (QChar c : d)
            if (!(c.isDigit() || c == '-')) return {};
        return d;
    }
    const QJsonObject parts = v.toObject();
    const int year = number(parts, "year", 9999, 0);
    if (year <= 0) return {};
    QString out = QString("%1").arg(year, 4, 10, QChar('0'));
    const int month = number(parts, "month", 12, 0);
    if (month <= 0) return out;
    out += QString("-%1").arg(month, 2, 10, QChar('0'));
    const int day = number(parts, "day", 31, 0);
    if (day > 0) out += QString("-%1").arg(day, 2, 10, QChar('0'));
    return out;
}

// Counts every track read, against MaxAidPlacements.
struct TBudget {
    int tracks = 0;
};

TAidMedium readMedium(const QJsonObject& m, int index, TBudget& budget)
{
    TAidMedium medium;
    medium.Position = number(m, "position", MaxAidMedia * 10, index + 1);
    if (medium.Position < 1) medium.Position = index + 1;
    medium.Format = text(m, "format", 100);
    medium.TrackCount = number(m, "track_count", MaxAidTracks, 0);
    const QJsonArray tracks = m.value("tracks").toArray();
    for (qsizetype i = 0; i < tracks.size() && i < MaxAidTracks && budget.tracks < MaxAidPlacements; ++i) {
        const QJsonObject t = tracks[i].toObject();
        TAidTrack track;
        track.Position = number(t, "position", MaxAidTracks, 0);
        // A track without its place (or beyond the medium's count) cannot place a file.
        if (track.Position < 1 || (medium.TrackCount > 0 && track.Position > medium.TrackCount)) continue;
        track.Id = uuid(t, "id");
        track.Title = text(t, "title");
        track.Artist = artists(t);
        medium.Tracks << track;
        ++budget.tracks;
    }
    return medium;
}

bool readRelease(const QJsonObject& r, TBudget& budget, TAidRelease* out)
{
    TAidRelease release;
    release.Id = uuid(r, "id");
    if (release.Id.isEmpty()) return false;
    release.Title = text(r, "title");
    release.Artist = artists(r);
    release.Country = text(r, "country", 10);
    release.Date = date(r);
    release.TrackCount = number(r, "track_count", MaxAidTracks * MaxAidMedia, 0);
    const QJsonArray media = r.value("mediums").toArray();
    for (qsizetype i = 0; i < media.size() && i < MaxAidMedia; ++i)
        release.Media << readMedium(media[i].toObject(), int(i), budget);
    release.MediumCount = std::max(number(r, "medium_count", MaxAidMedia * 10, 0), int(release.Media.size()));
    *out = release;
    return true;
}

bool readGroup(const QJsonObject& g, TBudget& budget, TAidReleaseGroup* out)
{
    TAidReleaseGroup group;
    group.Id = uuid(g, "id");
    group.Title = text(g, "title");
    group.Artist = artists(g);
    group.Type = text(g, "type", 40);
    const QJsonArray secondary = g.value("secondarytypes").toArray();
    for (qsizetype i = 0; i < secondary.size() && i < 20; ++i) {
        const QString type = secondary[i].isString() ? SingleLine(secondary[i].toString().left(40)).trimmed() : QString();
        if (!type.isEmpty()) group.SecondaryTypes << type;
    }
    const QJsonArray releases = g.value("releases").toArray();
    for (qsizetype i = 0; i < releases.size() && i < MaxAidReleases && budget.tracks < MaxAidPlacements; ++i) {
        TAidRelease release;
        if (readRelease(releases[i].toObject(), budget, &release)) group.Releases << release;
    }
    *out = group;
    return true;
}

bool readRecording(const QJsonObject& r, TBudget& budget, TAidRecording* out)
{
    TAidRecording recording;
    recording.Id = uuid(r, "id");
    if (recording.Id.isEmpty()) return false;
    recording.Title = text(r, "title");
    recording.Artist = artists(r);
    recording.DurationS = number(r, "duration", 86400, -1);
    const QJsonArray groups = r.value("releasegroups").toArray();
    for (qsizetype i = 0; i < groups.size() && i < MaxAidReleaseGroups && budget.tracks < MaxAidPlacements; ++i) {
        TAidReleaseGroup group;
        if (readGroup(groups[i].toObject(), budget, &group)) recording.Groups << group;
    }
    *out = recording;
    return true;
}

} // namespace

bool IsAidUuid(const QString& text)
{
    if (text.size() != 36) return false;
    for (qsizetype i = 0; i < 36; ++i) {
        const QChar c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != '-') return false;
        } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

bool ParseAcoustidReply(const QByteArray& body, QList<TAidResult>* results, QString* error, int* code,
                        bool* serviceError)
{
    results->clear();
    error->clear();
    if (code) *code = 0;
    if (serviceError) *serviceError = false;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        *error = tr("The AcoustID reply is not JSON");
        return false;
    }
    const QJsonObject root = doc.object();
    const QString status = text(root, "status", 20);
    if (status == "error") {
        const QJsonObject e = root.value("error").toObject();
        if (code) *code = number(e, "code", 1000000, 0);
        if (serviceError) *serviceError = true;
        *error = text(e, "message", 300);
        if (error->isEmpty()) *error = tr("The AcoustID service reported an error");
        return false;
    }
    if (status != "ok" || !root.value("results").isArray()) {
        *error = tr("The AcoustID reply holds no results");
        return false;
    }
    const QJsonArray list = root.value("results").toArray();
    TBudget budget;
    for (qsizetype i = 0; i < list.size() && results->size() < MaxAidResults; ++i) {
        const QJsonObject r = list[i].toObject();
        TAidResult result;
        result.Id = uuid(r, "id");
        const QJsonValue score = r.value("score");
        // A score that is no fraction cannot be weighed against others: the result is left out.
        if (result.Id.isEmpty() || !score.isDouble()) continue;
        result.Score = score.toDouble();
        if (!std::isfinite(result.Score) || result.Score < 0 || result.Score > 1) continue;
        const QJsonArray recordings = r.value("recordings").toArray();
        for (qsizetype k = 0; k < recordings.size() && k < MaxAidRecordings && budget.tracks < MaxAidPlacements; ++k) {
            TAidRecording recording;
            if (readRecording(recordings[k].toObject(), budget, &recording)) result.Recordings << recording;
        }
        *results << result;
    }
    return true;
}

} // namespace cantorix
