// The JSON replies of the MusicBrainz web service (ws/2, fmt=json) that the lookups read, as plain
// records: a disc ID lookup (releases of an attached disc ID, or the fuzzy list that a TOC finds), a
// release search and a release lookup. Every reply is treated as hostile: a wrong type is a missing
// value, counts and texts are capped, and an identifier that is no MBID leaves its object out.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

// Caps on what one reply may hold; whatever lies beyond is ignored.
inline constexpr int MaxReplyReleases = 100;
inline constexpr int MaxReleaseMedia = 100;
inline constexpr int MaxMediumTracks = 999;
inline constexpr int MaxCredits = 50;

struct TMbTrack {
    QString Title;
    QString Artist;        // the track's artist credit with its join phrases; empty when none came
    QStringList ArtistIds;
    QString RecordingId;
    qint64 LengthMs = -1;  // -1: the service knows no length
};

struct TMbMedium {
    int Position = 0;       // 1-based place in the release
    QString Format;         // "CD", "Vinyl" ...; empty when unknown
    QString Title;
    int TrackCount = 0;     // as announced; Tracks may be empty (a search reply has none)
    QStringList DiscIds;    // disc IDs attached to this medium
    QList<TMbTrack> Tracks; // in medium order
};

struct TMbRelease {
    QString Id;
    QString Title;
    QString Artist;         // the artist credit with its join phrases ("Orchester & Chor")
    QStringList ArtistIds;  // in credit order
    QString Date;           // "1998", "1998-05", "1998-05-12" or empty
    QString Country;
    QString Disambiguation;
    QString ReleaseGroupId;
    QString Genre;          // the most-voted genre, capitalised ("Alternative Rock"); empty when none
    int Score = -1;         // a search's relevance (0 to 100); -1 elsewhere
    int MediumCount = 0;    // media in the release (at least Media.size())
    QList<TMbMedium> Media;
};

// A /ws/2/discid reply in either form: {"id", "offsets", "releases": [...]} for an attached disc ID,
// or {"release-count", "releases": [...]} for the fuzzy TOC list. False with *error when the body is
// no JSON object or has no release list.
bool ParseDiscIdReply(const QByteArray& body, QList<TMbRelease>* releases, QString* error);
// A /ws/2/release?query= reply: {"count", "releases": [...]}, each with media but no tracks.
bool ParseSearchReply(const QByteArray& body, QList<TMbRelease>* releases, QString* error);
// A /ws/2/release/<mbid> reply: one release object. False also when its ID is no MBID.
bool ParseReleaseReply(const QByteArray& body, TMbRelease* release, QString* error);

// The service's words in an error reply ({"error": "..."}), as one line of at most 200 characters;
// empty when the body holds none.
QString ServiceErrorText(const QByteArray& body);

// True for a MusicBrainz identifier: 36 characters, lower-case hexadecimal in groups of 8-4-4-4-12.
bool IsMbid(const QString& text);

// A genre name as the service gives it ("alternative rock", "hip-hop") written as freedb genres are:
// each word capitalised ("Alternative Rock", "Hip-Hop"), "and", "of" and "the" inside left small.
QString CapitaliseGenre(const QString& genre);

} // namespace cantorix
