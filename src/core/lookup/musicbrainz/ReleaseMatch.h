// Which release, and which medium of it, fits the listed files: the per-track difference between the
// files' playing times and a medium's track lengths, the candidates ranked by it (the service's own
// order is coarse), the lines the user chooses from, and the album record of the chosen medium.
#pragma once

#include "core/TrackLength.h"
#include "core/lookup/AlbumRecord.h"
#include "core/lookup/musicbrainz/ReleaseReply.h"

#include <QList>
#include <QString>

namespace cantorix {

struct TMbCandidate {
    TMbRelease Release;
    int Medium = -1;       // index into Release.Media; -1 when none was chosen
    qint64 DeltaMs = -1;   // the medium's per-track difference to the files; -1: not known
    bool DiscIdMatch = false; // the medium carries the files' disc ID
    int SetMedia = 0;      // a set of discs: its first SetMedia media (in position order) are the discs
};

// The mean difference in milliseconds between file k and track k over the tracks whose lengths are
// both known; -1 when the counts differ or no track can be compared.
qint64 MediumDeltaMs(const TMbMedium& medium, const QList<TTrackLength>& files);

// The medium of `release` that fits the files: among those with as many tracks as files, one that
// carries `discId` (when not empty), else the one with the smallest per-track difference, else the
// first. -1 when no medium has that many tracks. *deltaMs receives the chosen one's difference.
int ChooseMedium(const TMbRelease& release, const QList<TTrackLength>& files, const QString& discId, qint64* deltaMs);
// The medium whose track count is nearest to `fileCount` (the first of equals); -1 without media.
int NearestMedium(const TMbRelease& release, int fileCount);

// The candidates of a disc lookup: each release with a medium of the files' track count, the
// smallest per-track difference first (those without one last), the service's order among equals.
QList<TMbCandidate> RankDiscCandidates(const QList<TMbRelease>& releases, const QList<TTrackLength>& files,
                                       const QString& discId);
// The candidates of a search, whose replies have no track lengths: releases with a medium of the
// files' track count first, then the nearest counts, the service's order among equals.
QList<TMbCandidate> RankSearchCandidates(const QList<TMbRelease>& releases, int fileCount);

// A set of discs: the release's media in position order (indexes into Media), the first of which
// must be the discs in order. Whether the first discs.size() of them have each as many tracks as its
// disc; *deltaMs receives the per-track difference over every track whose length is known (-1: none).
QList<int> MediaInPositionOrder(const TMbRelease& release);
bool FitsDiscSet(const TMbRelease& release, const QList<QList<TTrackLength>>& discs, qint64* deltaMs);
// The candidates of a set: each release whose first media fit the discs, ranked as RankDiscCandidates
// ranks; `discId` is the first disc's.
QList<TMbCandidate> RankDiscSetCandidates(const QList<TMbRelease>& releases, const QList<QList<TTrackLength>>& discs,
                                          const QString& discId);

// "Artist — Title (date, country, format, medium M of K) · Δ 2.4 s": the parts that are known; the
// medium only for a release of several (the media of a set), the difference only when known.
QString CandidateLine(const TMbCandidate& candidate);

// The album record of medium `medium` of `release`: its artist credit, title, year (the first four
// digits of the date), genre, identifiers and titles numbered from "01", and the medium's position as
// the disc when the release has several. When a track's artist credit differs from the release's
// (various artists), every title carries its track's artist (TrackArtists).
AlbumRecord RecordFromRelease(const TMbRelease& release, int medium);
// The record of a set of `discs` discs: the titles of the first media in position order, each with its
// disc (from 1) and numbered from "01" on each disc.
AlbumRecord RecordFromReleaseSet(const TMbRelease& release, int discs);

} // namespace cantorix
