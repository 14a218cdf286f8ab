#include "core/lookup/musicbrainz/ReleaseMatch.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>

namespace cantorix {

namespace {

// Closest first, unknown differences last; stable, so equals keep the service's order.
void sortByDifference(QList<TMbCandidate>& candidates)
{
    std::stable_sort(candidates.begin(), candidates.end(), [](const TMbCandidate& a, const TMbCandidate& b) {
        if ((a.DeltaMs < 0) != (b.DeltaMs < 0)) return b.DeltaMs < 0;
        return a.DeltaMs < b.DeltaMs;
    });
}

// Adds the difference of each track whose length both the file and the medium know; the medium has
// as many tracks as `files`.
void addDeltas(const TMbMedium& medium, const QList<TTrackLength>& files, qint64& sum, qint64& compared)
{
    for (qsizetype k = 0; k < files.size(); ++k) {
        if (!files[k].Known || medium.Tracks[k].LengthMs < 0) continue;
        sum += std::llabs(files[k].Milliseconds - medium.Tracks[k].LengthMs);
        ++compared;
    }
}

// The mean of `compared` differences, rounded; -1 when there were none.
qint64 meanDelta(qint64 sum, qint64 compared) { return compared == 0 ? -1 : (sum + compared / 2) / compared; }

} // namespace

qint64 MediumDeltaMs(const TMbMedium& medium, const QList<TTrackLength>& files)
{
    if (medium.Tracks.size() != files.size()) return -1;
    qint64 sum = 0, compared = 0;
    addDeltas(medium, files, sum, compared);
    return meanDelta(sum, compared);
}

int ChooseMedium(const TMbRelease& release, const QList<TTrackLength>& files, const QString& discId, qint64* deltaMs)
{
    int best = -1;
    qint64 bestDelta = -1;
    bool bestHasId = false;
    for (int i = 0; i < release.Media.size(); ++i) {
        const TMbMedium& m = release.Media[i];
        if (m.TrackCount != files.size()) continue;
        const bool hasId = !discId.isEmpty() && m.DiscIds.contains(discId);
        const qint64 delta = MediumDeltaMs(m, files);
        bool better = best < 0;
        if (!better && hasId != bestHasId) better = hasId;
        else if (!better && delta >= 0 && (bestDelta < 0 || delta < bestDelta)) better = true;
        if (better) {
            best = i;
            bestDelta = delta;
            bestHasId = hasId;
        }
    }
    if (deltaMs) *deltaMs = bestDelta;
    return best;
}

int NearestMedium(const TMbRelease& release, int fileCount)
{
    int best = -1;
    for (int i = 0; i < release.Media.size(); ++i)
        if (best < 0 || std::abs(release.Media[i].TrackCount - fileCount) < std::abs(release.Media[best].TrackCount - fileCount))
            best = i;
    return best;
}

QList<TMbCandidate> RankDiscCandidates(const QList<TMbRelease>& releases, const QList<TTrackLength>& files,
                                       const QString& discId)
{
    QList<TMbCandidate> candidates;
    for (const TMbRelease& release : releases) {
        TMbCandidate c;
        c.Medium = ChooseMedium(release, files, discId, &c.DeltaMs);
        if (c.Medium < 0) continue;
        c.Release = release;
        c.DiscIdMatch = !discId.isEmpty() && release.Media[c.Medium].DiscIds.contains(discId);
        candidates << c;
    }
    sortByDifference(candidates);
    return candidates;
}

QList<TMbCandidate> RankSearchCandidates(const QList<TMbRelease>& releases, int fileCount)
{
    QList<TMbCandidate> candidates;
    for (const TMbRelease& release : releases) {
        TMbCandidate c;
        c.Release = release;
        c.Medium = NearestMedium(release, fileCount);
        candidates << c;
    }
    auto misfit = [fileCount](const TMbCandidate& c) {
        return c.Medium < 0 ? MaxMediumTracks + 1 : std::abs(c.Release.Media[c.Medium].TrackCount - fileCount);
    };
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const TMbCandidate& a, const TMbCandidate& b) { return misfit(a) < misfit(b); });
    return candidates;
}

QList<int> MediaInPositionOrder(const TMbRelease& release)
{
    QList<int> order;
    for (int i = 0; i < release.Media.size(); ++i) order << i;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return release.Media[a].Position < release.Media[b].Position; });
    return order;
}

bool FitsDiscSet(const TMbRelease& release, const QList<QList<TTrackLength>>& discs, qint64* deltaMs)
{
    if (deltaMs) *deltaMs = -1;
    const QList<int> order = MediaInPositionOrder(release);
    if (discs.isEmpty() || order.size() < discs.size()) return false;
    qint64 sum = 0, compared = 0;
    for (qsizetype k = 0; k < discs.size(); ++k) {
        const TMbMedium& m = release.Media[order[k]];
        if (m.TrackCount != discs[k].size()) return false;
        if (m.Tracks.size() != discs[k].size()) continue; // a reply without this medium's tracks
        addDeltas(m, discs[k], sum, compared);
    }
    if (deltaMs) *deltaMs = meanDelta(sum, compared);
    return true;
}

QList<TMbCandidate> RankDiscSetCandidates(const QList<TMbRelease>& releases, const QList<QList<TTrackLength>>& discs,
                                          const QString& discId)
{
    QList<TMbCandidate> candidates;
    for (const TMbRelease& release : releases) {
        TMbCandidate c;
        if (!FitsDiscSet(release, discs, &c.DeltaMs)) continue;
        c.Release = release;
        c.Medium = MediaInPositionOrder(release).first();
        c.SetMedia = int(discs.size());
        c.DiscIdMatch = !discId.isEmpty() && release.Media[c.Medium].DiscIds.contains(discId);
        candidates << c;
    }
    sortByDifference(candidates);
    return candidates;
}

QString CandidateLine(const TMbCandidate& candidate)
{
    const TMbRelease& r = candidate.Release;
    QStringList details;
    if (!r.Date.isEmpty()) details << r.Date;
    if (!r.Country.isEmpty()) details << r.Country;
    const TMbMedium* medium = candidate.Medium >= 0 && candidate.Medium < r.Media.size() ? &r.Media[candidate.Medium] : nullptr;
    if (medium && !medium->Format.isEmpty()) details << medium->Format;
    if (medium && candidate.SetMedia > 1)
        details << QCoreApplication::translate("MusicBrainz", "media %1 to %2 of %3")
                       .arg(medium->Position)
                       .arg(medium->Position + candidate.SetMedia - 1)
                       .arg(r.MediumCount);
    else if (medium && r.MediumCount > 1)
        details << QCoreApplication::translate("MusicBrainz", "medium %1 of %2").arg(medium->Position).arg(r.MediumCount);
    QString line = r.Artist.isEmpty() ? r.Title : r.Artist + QString::fromUtf8(" \u2014 ") + r.Title;
    if (!r.Disambiguation.isEmpty()) line += " [" + r.Disambiguation + "]";
    if (!details.isEmpty()) line += " (" + details.join(", ") + ")";
    if (candidate.DeltaMs >= 0)
        line += QString::fromUtf8(" \u00b7 ") +
                QCoreApplication::translate("MusicBrainz", "\u0394 %1 s").arg(QString::number(candidate.DeltaMs / 1000.0, 'f', 1));
    // A reply's text is shown on one line.
    line.replace('\n', ' ').replace('\r', ' ');
    return line;
}

namespace {

AlbumRecord releaseFields(const TMbRelease& release)
{
    AlbumRecord record;
    record.Artist = release.Artist;
    record.Album = release.Title;
    const QString year = release.Date.left(4);
    if (year.size() == 4 && std::all_of(year.begin(), year.end(), [](QChar c) { return c >= '0' && c <= '9'; }))
        record.Year = year;
    record.Genre = release.Genre;
    record.MbReleaseId = release.Id;
    record.MbArtistIds = release.ArtistIds;
    record.MbReleaseGroupId = release.ReleaseGroupId;
    return record;
}

// The titles of `media` (indexes into release.Media), each medium's numbered from "01"; `disc` of the
// first is `firstDisc` (0: no disc numbers). Each title credited, with its track's artist when any
// track's credit differs from the release's.
void addTitles(AlbumRecord& record, const TMbRelease& release, const QList<int>& media, int firstDisc)
{
    bool various = false;
    for (int m : media)
        for (const TMbTrack& t : release.Media[m].Tracks)
            various = various || (!t.Artist.isEmpty() && t.Artist != release.Artist);
    record.TrackArtists = various;
    for (qsizetype d = 0; d < media.size(); ++d) {
        const QList<TMbTrack>& tracks = release.Media[media[d]].Tracks;
        for (qsizetype k = 0; k < tracks.size(); ++k) {
            const TMbTrack& t = tracks[k];
            TrackTitle title;
            title.No = QString("%1").arg(k + 1, 2, 10, QChar('0'));
            title.Title = t.Title;
            title.Artist = various ? (t.Artist.isEmpty() ? release.Artist : t.Artist) : QString();
            title.Credited = true;
            title.MbRecordingId = t.RecordingId;
            title.Disc = firstDisc == 0 ? 0 : firstDisc + int(d);
            record.Titles << title;
        }
    }
}

} // namespace

AlbumRecord RecordFromRelease(const TMbRelease& release, int medium)
{
    AlbumRecord record = releaseFields(release);
    if (medium < 0 || medium >= release.Media.size()) return record;
    if (std::max<qsizetype>(release.MediumCount, release.Media.size()) > 1 && release.Media[medium].Position > 0)
        record.Disc = QString::number(release.Media[medium].Position);
    addTitles(record, release, {medium}, 0);
    return record;
}

AlbumRecord RecordFromReleaseSet(const TMbRelease& release, int discs)
{
    AlbumRecord record = releaseFields(release);
    const QList<int> order = MediaInPositionOrder(release);
    if (discs <= 0 || order.size() < discs) return record;
    record.DiscCount = discs;
    addTitles(record, release, order.mid(0, discs), 1);
    return record;
}

} // namespace cantorix
