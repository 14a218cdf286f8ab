#include "core/lookup/acoustid/AlbumVote.h"

#include <gtest/gtest.h>

using namespace cantorix;

namespace {

// A release for the table: its ID, type and the medium's track count.
struct Rel {
    QString id;
    QString type = "Album";
    QStringList secondary = {};
    int tracks = 5;
    int medium = 1;
    int media = 1;
};

// One fingerprint match: the recording sits at `track` on each release given.
TAidResult match(double score, const QString& recording, const QList<QPair<Rel, int>>& places)
{
    TAidRecording rec;
    rec.Id = recording;
    rec.Title = "Title of " + recording;
    for (const auto& [rel, track] : places) {
        TAidReleaseGroup group;
        group.Id = "g" + rel.id;
        group.Type = rel.type;
        group.SecondaryTypes = rel.secondary;
        TAidRelease release;
        release.Id = rel.id;
        release.Title = "Album " + rel.id;
        release.Artist = "Artist";
        release.MediumCount = rel.media;
        TAidMedium medium;
        medium.Position = rel.medium;
        medium.TrackCount = rel.tracks;
        medium.Tracks << TAidTrack{track, {}, "Track " + QString::number(track), {}};
        release.Media << medium;
        group.Releases << release;
        rec.Groups << group;
    }
    TAidResult r;
    r.Id = "aid-" + recording;
    r.Score = score;
    r.Recordings << rec;
    return r;
}

QList<int> tracksOf(const TAidCandidate& c)
{
    QList<int> out;
    for (const TAidPlacement& p : c.Files) out << p.Track;
    return out;
}

} // namespace

TEST(AlbumVote, FilesGoToTheTracksTheirFingerprintsMatched)
{
    const Rel album{"album"};
    const Rel longer{"deluxe", "Album", {}, 12};
    const Rel compilation{"best-of", "Album", {"Compilation"}, 5};
    const Rel single{"single", "Single", {}, 5};
    struct Case {
        const char* name;
        QList<QList<TAidResult>> files;
        QString best;
        QList<int> tracks;
    };
    const QList<Case> cases = {
        {"files in the wrong order keep their own tracks",
         {{match(0.9, "r3", {{album, 3}})}, {match(0.9, "r1", {{album, 1}})}, {match(0.9, "r2", {{album, 2}})}},
         "album", {3, 1, 2}},
        {"a partial album: its files keep their track numbers on the longer medium",
         {{match(0.9, "r4", {{longer, 4}})}, {match(0.9, "r9", {{longer, 9}})}},
         "deluxe", {4, 9}},
        {"a compilation and a single share recordings: the album wins a tie",
         {{match(0.9, "r1", {{compilation, 2}, {single, 1}, {album, 1}})}, {match(0.9, "r2", {{compilation, 4}, {album, 2}})}},
         "album", {1, 2}},
        {"the compilation wins when it places more files",
         {{match(0.9, "r1", {{compilation, 2}, {album, 1}})}, {match(0.9, "r7", {{compilation, 4}})}},
         "best-of", {2, 4}},
        {"unknown music leaves a file unplaced, the others still vote",
         {{match(0.9, "r1", {{album, 1}})}, {}, {match(0.9, "r2", {{album, 2}})}},
         "album", {1, 0, 2}},
        {"two files on one track: the better score takes it",
         {{match(0.6, "r1", {{album, 1}})}, {match(0.95, "r1", {{album, 1}})}},
         "album", {0, 1}},
        {"a medium with as many tracks as files wins among equals",
         {{match(0.9, "r1", {{longer, 1}, {Rel{"exact", "Album", {}, 2}, 1}})}, {match(0.9, "r2", {{longer, 2}, {Rel{"exact", "Album", {}, 2}, 2}})}},
         "exact", {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<TAidCandidate> ranked = VoteAlbum(c.files);
        ASSERT_FALSE(ranked.isEmpty());
        EXPECT_EQ(ranked[0].ReleaseId, c.best);
        EXPECT_EQ(tracksOf(ranked[0]), c.tracks);
    }
}

TEST(AlbumVote, NoCandidateWithoutAPlaceToGo)
{
    // Unknown music, a recording on no release, and a medium without tracks.
    TAidResult noRelease;
    noRelease.Id = "aid";
    noRelease.Score = 0.9;
    noRelease.Recordings << TAidRecording{"rec", "Title", "Artist", 100, {}};
    TAidResult emptyMedium = match(0.9, "r1", {{Rel{"album"}, 1}});
    emptyMedium.Recordings[0].Groups[0].Releases[0].Media[0].Tracks.clear();
    EXPECT_TRUE(VoteAlbum({{}, {}}).isEmpty());
    EXPECT_TRUE(VoteAlbum({{noRelease}, {emptyMedium}}).isEmpty());
}

TEST(AlbumVote, CandidateLineSaysWhatAndHowMany)
{
    QList<QList<TAidResult>> files{{match(0.9, "r1", {{Rel{"set", "Album", {}, 5, 2, 3}, 1}})}, {}};
    const QList<TAidCandidate> ranked = VoteAlbum(files);
    ASSERT_EQ(ranked.size(), 1);
    TAidCandidate c = ranked[0];
    c.Date = "1998";
    EXPECT_EQ(AidCandidateLine(c), QString::fromUtf8("Artist \u2014 Album set (1998, Album, medium 2 of 3) \u00b7 1 of 2 files"));
}
