// The JSON reply of the AcoustID web service's lookup (/v2/lookup with
// meta=recordings+releasegroups+releases+tracks+compress) as plain records. The reply is hostile like
// every other: a wrong type is a missing value, texts and counts are capped, a result whose score is
// no number within 0 to 1 is left out, and an identifier that is no MBID (or no AcoustID) leaves its
// object out. With "compress" the service nests recordings, release groups, releases, media and the
// tracks on them that hold the recording (usually one).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

// Caps on what one reply may hold; whatever lies beyond is ignored. The total bounds the work of a
// reply that lists every release of every recording it knows.
inline constexpr int MaxAidResults = 20;
inline constexpr int MaxAidRecordings = 50;
inline constexpr int MaxAidReleaseGroups = 50;
inline constexpr int MaxAidReleases = 100;
inline constexpr int MaxAidMedia = 50;
inline constexpr int MaxAidTracks = 999;       // on one medium, and a track position
inline constexpr int MaxAidPlacements = 20000; // tracks in the whole reply

struct TAidTrack {
    int Position = 0;  // on its medium, from 1
    QString Id;        // the MusicBrainz track MBID; may be empty
    QString Title;
    QString Artist;    // the credit with its join phrases; empty when none came
};

struct TAidMedium {
    int Position = 0;   // in its release, from 1
    QString Format;     // "CD", "Digital Media" ...; empty when unknown
    int TrackCount = 0; // the medium's tracks, as announced (0: unknown)
    QList<TAidTrack> Tracks; // the tracks that hold the recording
};

struct TAidRelease {
    QString Id;         // MBID
    QString Title;
    QString Artist;     // empty when none came (the release group's or recording's then applies)
    QString Country;
    QString Date;       // "1998", "1998-05", "1998-05-12" or empty
    int TrackCount = 0; // of the whole release
    int MediumCount = 0;
    QList<TAidMedium> Media;
};

struct TAidReleaseGroup {
    QString Id;
    QString Title;
    QString Artist;
    QString Type;             // the primary type: "Album", "Single", "EP" ...; empty when unknown
    QStringList SecondaryTypes; // "Compilation", "Live" ...
    QList<TAidRelease> Releases;
};

struct TAidRecording {
    QString Id;         // MBID
    QString Title;
    QString Artist;
    int DurationS = -1; // -1: unknown
    QList<TAidReleaseGroup> Groups;
};

struct TAidResult {
    QString Id;          // the AcoustID (a UUID)
    double Score = 0;    // 0 to 1
    QList<TAidRecording> Recordings;
};

// A lookup reply: {"status": "ok", "results": [...]}, the results best first. False with *error when
// the body is no JSON object, the status is not "ok" or the results are missing; an error reply
// ({"status": "error", "error": {"code", "message"}}) gives the service's message as *error and its
// code as *code (0 when none) and sets *serviceError.
bool ParseAcoustidReply(const QByteArray& body, QList<TAidResult>* results, QString* error, int* code = nullptr,
                        bool* serviceError = nullptr);

// The service's error code for an invalid API key, and for too many requests.
inline constexpr int AidErrorInvalidKey = 4;
inline constexpr int AidErrorTooManyRequests = 14;

// True for an identifier in the 8-4-4-4-12 form of lower-case hexadecimal digits (an MBID, an AcoustID).
bool IsAidUuid(const QString& text);

} // namespace cantorix
