// The album vote: which release medium the files' fingerprints agree on, and which track each file
// is. Every medium that holds a recording some file matched is a candidate. On a candidate each file
// goes to the track whose recording its fingerprint matched, best score first and one file per track,
// never by its place in the folder. Candidates rank by the files they place, then the sum of those
// files' scores, then an album before a compilation or single, then a medium with as many tracks as
// there are files. A medium with more tracks than files (a partial album) is a candidate like any
// other: its files keep their own track numbers.
#pragma once

#include "core/lookup/acoustid/AcoustidReply.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

// Where one file goes on a candidate.
struct TAidPlacement {
    int Track = 0;        // the track's position on the medium (from 1); 0: the file is not placed
    double Score = 0;     // the fingerprint's score for it
    QString AcoustId;     // the AcoustID that matched
    QString RecordingId;  // the recording that put the file there
    QString TrackTitle;   // as the AcoustID reply names it
};

struct TAidCandidate {
    QString ReleaseId;
    QString ReleaseGroupId;
    QString Title;
    QString Artist;
    QString Date;
    QString Country;
    QString Type;               // the release group's primary type
    QStringList SecondaryTypes;
    int Medium = 0;             // position of the medium in the release (from 1)
    int MediumCount = 0;        // media in the release
    int MediumTracks = 0;       // tracks on the medium (0: unknown)
    QString Format;
    QList<TAidPlacement> Files; // one per file, in file order
    int Placed = 0;             // files placed
    double ScoreSum = 0;        // their scores
};

// At most this many candidates are offered.
inline constexpr int MaxAidCandidates = 50;

// The candidates for files whose lookups gave `files` (one list of results per file, in file order;
// an empty list for a file that matched nothing or was not looked up), best first. Empty when no
// file's fingerprint leads to any medium's track.
QList<TAidCandidate> VoteAlbum(const QList<QList<TAidResult>>& files);

// How a release group's type ranks in the vote: 2 an album, 0 a compilation or single, 1 the rest.
int AidTypeRank(const QString& type, const QStringList& secondaryTypes);

// "Artist — Title (date, type, medium M of K) · 5 of 5 files": the parts that are known, the medium only
// for a release of several.
QString AidCandidateLine(const TAidCandidate& candidate);

} // namespace cantorix
