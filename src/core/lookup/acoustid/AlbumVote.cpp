#include "core/lookup/acoustid/AlbumVote.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace cantorix {

namespace {

// One way a file could be placed on a candidate.
struct TOption {
    int File = 0;
    int Track = 0;
    double Score = 0;
    QString AcoustId;
    QString RecordingId;
    QString TrackTitle;
};

struct TBuild {
    TAidCandidate candidate;
    QList<TOption> options;
    int order = 0; // first seen: the reply's own order among equals
};

// Places files on tracks, best score first, one file per track and one track per file.
void place(TBuild& build, int fileCount)
{
    std::stable_sort(build.options.begin(), build.options.end(),
                     [](const TOption& a, const TOption& b) { return a.Score > b.Score; });
    TAidCandidate& c = build.candidate;
    c.Files = QList<TAidPlacement>(fileCount);
    QList<bool> trackTaken;
    for (const TOption& o : std::as_const(build.options)) {
        if (c.Files[o.File].Track != 0) continue;
        if (trackTaken.size() <= o.Track) trackTaken.resize(o.Track + 1, false);
        if (trackTaken[o.Track]) continue;
        trackTaken[o.Track] = true;
        c.Files[o.File] = {o.Track, o.Score, o.AcoustId, o.RecordingId, o.TrackTitle};
        ++c.Placed;
        c.ScoreSum += o.Score;
    }
}

} // namespace

int AidTypeRank(const QString& type, const QStringList& secondaryTypes)
{
    if (secondaryTypes.contains("Compilation", Qt::CaseInsensitive) || type.compare("Single", Qt::CaseInsensitive) == 0 ||
        type.compare("Compilation", Qt::CaseInsensitive) == 0)
        return 0;
    if (type.compare("Album", Qt::CaseInsensitive) == 0) return 2;
    return 1;
}

QList<TAidCandidate> VoteAlbum(const QList<QList<TAidResult>>& files)
{
    const int fileCount = int(files.size());
    QHash<QString, int> index; // "<release>/<medium>" -> builds
    QList<TBuild> builds;
    for (int f = 0; f < fileCount; ++f) {
        for (const TAidResult& result : files[f]) {
            for (const TAidRecording& recording : result.Recordings) {
                for (const TAidReleaseGroup& group : recording.Groups) {
                    for (const TAidRelease& release : group.Releases) {
                        for (const TAidMedium& medium : release.Media) {
                            // A medium without tracks names no place for the file.
                            if (medium.Tracks.isEmpty()) continue;
                            const QString key = release.Id + '/' + QString::number(medium.Position);
                            auto it = index.constFind(key);
                            int at;
                            if (it == index.constEnd()) {
                                at = int(builds.size());
                                index.insert(key, at);
                                TBuild build;
                                build.order = at;
                                TAidCandidate& c = build.candidate;
                                c.ReleaseId = release.Id;
                                c.ReleaseGroupId = group.Id;
                                c.Title = release.Title.isEmpty() ? group.Title : release.Title;
                                c.Artist = !release.Artist.isEmpty() ? release.Artist
                                    : !group.Artist.isEmpty()        ? group.Artist
                                                                     : recording.Artist;
                                c.Date = release.Date;
                                c.Country = release.Country;
                                c.Type = group.Type;
                                c.SecondaryTypes = group.SecondaryTypes;
                                c.Medium = medium.Position;
                                c.MediumCount = std::max(release.MediumCount, 1);
                                c.MediumTracks = medium.TrackCount;
                                c.Format = medium.Format;
                                builds << build;
                            } else {
                                at = *it;
                            }
                            TBuild& build = builds[at];
                            for (const TAidTrack& track : medium.Tracks) {
                                build.options << TOption{f, track.Position, result.Score, result.Id, recording.Id,
                                                         track.Title.isEmpty() ? recording.Title : track.Title};
                                build.candidate.MediumTracks = std::max(build.candidate.MediumTracks, track.Position);
                            }
                        }
                    }
                }
            }
        }
    }
    for (TBuild& build : builds) place(build, fileCount);
    std::stable_sort(builds.begin(), builds.end(), [fileCount](const TBuild& x, const TBuild& y) {
        const TAidCandidate& a = x.candidate;
        const TAidCandidate& b = y.candidate;
        if (a.Placed != b.Placed) return a.Placed > b.Placed;
        if (a.ScoreSum != b.ScoreSum) return a.ScoreSum > b.ScoreSum;
        const int ra = AidTypeRank(a.Type, a.SecondaryTypes), rb = AidTypeRank(b.Type, b.SecondaryTypes);
        if (ra != rb) return ra > rb;
        const bool fa = a.MediumTracks == fileCount, fb = b.MediumTracks == fileCount;
        if (fa != fb) return fa;
        return x.order < y.order;
    });
    QList<TAidCandidate> out;
    for (const TBuild& build : std::as_const(builds)) {
        if (out.size() >= MaxAidCandidates) break;
        out << build.candidate;
    }
    return out;
}

QString AidCandidateLine(const TAidCandidate& c)
{
    QStringList details;
    if (!c.Date.isEmpty()) details << c.Date;
    QString type = c.Type;
    for (const QString& t : c.SecondaryTypes) type += (type.isEmpty() ? QString() : QString(" + ")) + t;
    if (!type.isEmpty()) details << type;
    if (c.MediumCount > 1)
        details << QCoreApplication::translate("AlbumVote", "medium %1 of %2")
                       .arg(QLocale().toString(c.Medium), QLocale().toString(c.MediumCount));
    QString line = (c.Artist.isEmpty() ? QString() : c.Artist + QString::fromUtf8(" \u2014 ")) + c.Title;
    if (!details.isEmpty()) line += " (" + details.join(", ") + ")";
    line += QString::fromUtf8(" \u00b7 ") +
        QCoreApplication::translate("AlbumVote", "%1 of %2 files")
            .arg(QLocale().toString(c.Placed), QLocale().toString(qsizetype(c.Files.size())));
    return line;
}

} // namespace cantorix
