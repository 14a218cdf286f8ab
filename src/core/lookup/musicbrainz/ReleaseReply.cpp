#include "core/lookup/musicbrainz/ReleaseReply.h"

#include "core/Text.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

namespace cantorix {

namespace {

// Longer than any real title or name: what lies beyond is cut off.
constexpr qsizetype MaxTextLength = 1000;

// A string member, or empty when it is missing or not a string.
QString text(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    // Values become names and tags: control characters (a NUL would cut a tag short, an ESC reach a
    // terminal) become spaces, as in freedb's values.
    return v.isString() ? SingleLine(v.toString().left(MaxTextLength)) : QString();
}

// A whole number member in [0, max], or `fallback`.
qint64 number(const QJsonObject& o, const char* key, qint64 max, qint64 fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble()) return fallback;
    const double d = v.toDouble();
    if (!(d >= 0 && d <= double(max))) return fallback;
    return qint64(d);
}

// Names with their join phrases, in credit order, and the artists' MBIDs.
void readCredit(const QJsonValue& value, QString* name, QStringList* ids)
{
    name->clear();
    ids->clear();
    const QJsonArray credits = value.toArray();
    for (qsizetype i = 0; i < credits.size() && i < MaxCredits; ++i) {
        const QJsonObject credit = credits[i].toObject();
        const QJsonObject artist = credit.value("artist").toObject();
        QString credited = text(credit, "name");
        if (credited.isEmpty()) credited = text(artist, "name");
        *name += credited + text(credit, "joinphrase");
        const QString id = text(artist, "id");
        if (IsMbid(id)) *ids << id;
    }
}

// The genre with the most votes; the first of equals (the service lists them by name).
QString topGenre(const QJsonArray& genres)
{
    QString best;
    qint64 bestCount = -1;
    for (qsizetype i = 0; i < genres.size() && i < 1000; ++i) {
        const QJsonObject g = genres[i].toObject();
        const QString name = text(g, "name").simplified();
        const qint64 count = number(g, "count", 1000000000, 0);
        if (!name.isEmpty() && count > bestCount) {
            best = name;
            bestCount = count;
        }
    }
    return best;
}

TMbTrack readTrack(const QJsonObject& t)
{
    TMbTrack track;
    const QJsonObject recording = t.value("recording").toObject();
    track.Title = text(t, "title");
    if (track.Title.isEmpty()) track.Title = text(recording, "title");
    track.RecordingId = text(recording, "id");
    if (!IsMbid(track.RecordingId)) track.RecordingId.clear();
    // Lengths are milliseconds; a day is more than any track.
    constexpr qint64 day = 86400000;
    track.LengthMs = number(t, "length", day, -1);
    if (track.LengthMs < 0) track.LengthMs = number(recording, "length", day, -1);
    QJsonValue credit = t.value("artist-credit");
    if (!credit.isArray()) credit = recording.value("artist-credit");
    readCredit(credit, &track.Artist, &track.ArtistIds);
    return track;
}

TMbMedium readMedium(const QJsonObject& m, int index)
{
    TMbMedium medium;
    medium.Position = int(number(m, "position", MaxReleaseMedia, index + 1));
    if (medium.Position < 1) medium.Position = index + 1;
    medium.Format = text(m, "format");
    medium.Title = text(m, "title");
    const QJsonArray discs = m.value("discs").toArray();
    for (qsizetype i = 0; i < discs.size() && i < 1000; ++i) {
        const QString id = text(discs[i].toObject(), "id");
        if (!id.isEmpty() && id.size() <= 28) medium.DiscIds << id;
    }
    const QJsonArray tracks = m.value("tracks").toArray();
    for (qsizetype i = 0; i < tracks.size() && i < MaxMediumTracks; ++i) medium.Tracks << readTrack(tracks[i].toObject());
    medium.TrackCount = int(number(m, "track-count", MaxMediumTracks, medium.Tracks.size()));
    // A track list that came is what counts, whatever the count says.
    if (!medium.Tracks.isEmpty()) medium.TrackCount = int(medium.Tracks.size());
    return medium;
}

// False when the object has no usable release ID.
bool readRelease(const QJsonObject& r, TMbRelease* release)
{
    TMbRelease out;
    out.Id = text(r, "id");
    if (!IsMbid(out.Id)) return false;
    out.Title = text(r, "title");
    readCredit(r.value("artist-credit"), &out.Artist, &out.ArtistIds);
    out.Date = text(r, "date").left(10);
    out.Country = text(r, "country").left(10);
    out.Disambiguation = text(r, "disambiguation");
    const QJsonObject group = r.value("release-group").toObject();
    out.ReleaseGroupId = text(group, "id");
    if (!IsMbid(out.ReleaseGroupId)) out.ReleaseGroupId.clear();
    QString genre = topGenre(group.value("genres").toArray());
    if (genre.isEmpty()) genre = topGenre(r.value("genres").toArray());
    out.Genre = CapitaliseGenre(genre);
    out.Score = int(number(r, "score", 100, -1));
    const QJsonArray media = r.value("media").toArray();
    for (qsizetype i = 0; i < media.size() && i < MaxReleaseMedia; ++i) out.Media << readMedium(media[i].toObject(), int(i));
    int highest = 0;
    for (const TMbMedium& m : out.Media) highest = qMax(highest, m.Position);
    out.MediumCount = qMax(int(out.Media.size()), highest);
    *release = out;
    return true;
}

bool parseObject(const QByteArray& body, QJsonObject* object, QString* error)
{
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        if (error) *error = QCoreApplication::translate("MusicBrainz", "The reply is no JSON object");
        return false;
    }
    *object = doc.object();
    return true;
}

bool readReleaseList(const QJsonObject& o, QList<TMbRelease>* releases, QString* error)
{
    const QJsonValue list = o.value("releases");
    if (!list.isArray()) {
        if (error) *error = QCoreApplication::translate("MusicBrainz", "The reply holds no release list");
        return false;
    }
    releases->clear();
    const QJsonArray array = list.toArray();
    for (qsizetype i = 0; i < array.size() && i < MaxReplyReleases; ++i) {
        TMbRelease release;
        if (readRelease(array[i].toObject(), &release)) *releases << release;
    }
    return true;
}

} // namespace

bool ParseDiscIdReply(const QByteArray& body, QList<TMbRelease>* releases, QString* error)
{
    QJsonObject o;
    return parseObject(body, &o, error) && readReleaseList(o, releases, error);
}

bool ParseSearchReply(const QByteArray& body, QList<TMbRelease>* releases, QString* error)
{
    QJsonObject o;
    return parseObject(body, &o, error) && readReleaseList(o, releases, error);
}

bool ParseReleaseReply(const QByteArray& body, TMbRelease* release, QString* error)
{
    QJsonObject o;
    if (!parseObject(body, &o, error)) return false;
    if (!readRelease(o, release)) {
        if (error) *error = QCoreApplication::translate("MusicBrainz", "The reply holds no release");
        return false;
    }
    return true;
}

QString ServiceErrorText(const QByteArray& body)
{
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) return {};
    QString words = text(doc.object(), "error").simplified();
    if (words.size() > 200) words = words.left(199) + QChar(0x2026);
    return words;
}

bool IsMbid(const QString& text)
{
    if (text.size() != 36) return false;
    for (int i = 0; i < 36; ++i) {
        const QChar c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != '-') return false;
        } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

QString CapitaliseGenre(const QString& genre)
{
    QString out = genre.simplified();
    bool wordStart = true;
    int wordIndex = 0;
    for (int i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        if (c == ' ' || c == '-' || c == '/' || c == '&') {
            if (!wordStart) ++wordIndex;
            wordStart = true;
            continue;
        }
        if (wordStart) {
            qsizetype end = i;
            while (end < out.size() && out[end] != ' ' && out[end] != '-' && out[end] != '/' && out[end] != '&') ++end;
            const QString word = out.mid(i, end - i);
            const bool small = wordIndex > 0 && (word == "and" || word == "of" || word == "the");
            if (!small) out[i] = c.toUpper();
            wordStart = false;
        }
    }
    return out;
}

} // namespace cantorix
