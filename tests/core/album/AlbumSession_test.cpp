#include "core/album/AlbumSession.h"

#include "core/lookup/musicbrainz/ReleaseMatch.h"
#include "core/lookup/musicbrainz/ReleaseReply.h"
#include "support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace cantorix {
namespace {

TScanResult scanOf(const QStringList& names, const QList<int>& seconds)
{
    TScanResult scan;
    scan.scanned = true;
    scan.folder = "/music/Album/";
    scan.names = names;
    for (int second : seconds) scan.lengths << TTrackLength{second, second * 1000LL, 0, 0, true};
    return scan;
}

AlbumRecord record(const QString& album, const QString& genre, int titles)
{
    AlbumRecord r{"Artist", album, "1999", genre, {}};
    for (int k = 0; k < titles; ++k) r.Titles.append({QString("%1").arg(k + 1, 2, 10, QChar('0')), QString("T%1").arg(k + 1)});
    return r;
}

TEST(AlbumSession, AScanListsFilesAndClearsWhatTheLastAlbumHeld)
{
    TAlbumSession s;
    s.loadScan(scanOf({"a.mp3", "b.mp3"}, {200, 185}));
    s.applyEntry(record("Record", "rock", 2));
    ASSERT_TRUE(s.canRename());

    QSignalSpy resets(&s, &TAlbumSession::reset);
    QSignalSpy can(&s, &TAlbumSession::canRenameChanged);
    s.loadScan(scanOf({"x.flac", "y.flac", "z.flac"}, {1, 2, 3}));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(can.count(), 1);
    EXPECT_FALSE(s.canRename());
    EXPECT_EQ(s.folder(), "/music/Album/");
    EXPECT_EQ(s.fileNames(), (QStringList{"x.flac", "y.flac", "z.flac"}));
    ASSERT_EQ(s.lengths().size(), 3);
    EXPECT_EQ(s.lengths()[2].Seconds, 3);
    EXPECT_EQ(s.lengths()[2].Milliseconds, 3000);
    EXPECT_EQ(s.row(0).Title, "");
    EXPECT_EQ(s.fields(), TAlbumFields{});

    s.clear();
    EXPECT_EQ(s.rowCount(), 0);
    EXPECT_EQ(s.folder(), "");
    EXPECT_EQ(s.row(5).FileName, ""); // outside: an empty row, never a crash
}

TEST(AlbumSession, AnEntryFillsFieldsAndTitlesAndDecidesRenaming)
{
    const struct {
        const char* what;
        const char* album;
        const char* genre;
        int titles;
        bool canRename;
        const char* shownGenre;
        int rows;
    } cases[] = {
        // The genre is free text, shown and written as the database has it.
        {"titles for every file", "Record", "rock", 3, true, "rock", 3},
        {"more titles than files make title rows", "Record", "Rock", 5, true, "Rock", 5},
        {"fewer titles", "Record", "Rock", 1, true, "Rock", 3},
        {"no album name: nothing to rename by", "", "Rock", 3, false, "Rock", 3},
        {"a genre the list does not hold", "Record", "Misc", 3, true, "Misc", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TAlbumSession s;
        s.loadScan(scanOf({"1.mp3", "2.mp3", "3.mp3"}, {10, 20, 30}));
        s.applyEntry(record(c.album, c.genre, c.titles));
        EXPECT_EQ(s.canRename(), c.canRename);
        EXPECT_EQ(s.fields().Genre, c.shownGenre);
        EXPECT_EQ(s.rowCount(), c.rows);
        EXPECT_EQ(s.fileCount(), 3);
        EXPECT_EQ(s.row(0).Title, "T1");
        // The rename run gets the listed files only, each with its own title.
        std::vector<TRenameRow> rows = s.renameRows();
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[0].FileName, "1.mp3");
        EXPECT_EQ(rows[0].TrackNo, "01");
        EXPECT_EQ(rows[2].Track, c.titles >= 3 ? "T3" : "");
        EXPECT_EQ(s.albumData().Genre, c.shownGenre);
    }
}

TEST(AlbumSession, EditsReachTheSnapshotAndStayBounded)
{
    TAlbumSession s;
    s.loadScan(scanOf({"Ä.ogg"}, {61}));
    QSignalSpy changed(&s, &TAlbumSession::rowsChanged);
    s.setTitle(0, "Über");
    s.setTrackNo(0, "07");
    s.setTitle(0, "Über"); // unchanged: no signal
    EXPECT_EQ(changed.count(), 2);
    s.setFields({"Band", "Record", "2001", "Rock"});
    std::vector<TRenameRow> rows = s.renameRows();
    EXPECT_EQ(rows[0].FileName, "\xc3\x84.ogg");
    EXPECT_EQ(rows[0].Track, "\xc3\x9c" "ber");
    EXPECT_EQ(rows[0].TrackNo, "07");
    EXPECT_EQ(s.albumData().Album, "Record");

    // Typing into an empty grid row beyond the files adds a title row; far beyond, nothing is stored.
    s.setTitle(4, "extra");
    EXPECT_EQ(s.rowCount(), 5);
    EXPECT_EQ(s.renameRows().size(), 1u);
    s.setTitle(TAlbumSession::MaxRows, "too far");
    s.setTitle(-1, "negative");
    EXPECT_EQ(s.rowCount(), 5);
}

// Titles "Track Artist / Title" give the run each track's artist and the title alone, when the album
// is one of various artists (by its artist, or because the lookup composed the titles so); the disc
// of a set goes with the album's data; a new scan forgets both.
TEST(AlbumSession, VariousArtistsTitlesAndTheDiscReachTheRun)
{
    const struct {
        const char* what;
        QString artist;
        bool trackArtists;
        bool split;
    } cases[] = {
        {"freedb's Various", "Various", false, true},
        {"VA in any case", "va", false, true},
        {"the lookup composed them", "Duo & Friends", true, true},
        {"one artist keeps its slashes", "Artist", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TAlbumSession s;
        s.loadScan(scanOf({"a.mp3", "b.mp3"}, {200, 185}));
        AlbumRecord r = record("Hits", "pop", 0);
        r.Artist = c.artist;
        r.TrackArtists = c.trackArtists;
        r.Disc = "2";
        r.Titles = {{"01", "X / Intro"}, {"02", "Outro"}};
        s.applyEntry(r);
        EXPECT_EQ(s.variousArtists(), c.split);
        const std::vector<TRenameRow> rows = s.renameRows();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].Track, c.split ? "Intro" : "X / Intro");
        EXPECT_EQ(rows[0].TrackArtist, c.split ? "X" : "");
        EXPECT_EQ(rows[1].TrackArtist, "");
        EXPECT_EQ(s.albumData().Disc, "2");
        s.loadScan(scanOf({"a.mp3"}, {200}));
        EXPECT_EQ(s.albumData().Disc, "");
        EXPECT_FALSE(s.variousArtists());
    }
}

// The track's artist travels as a field from the reply to the names and the tags; the one text
// "Artist / Title" exists only where a person reads it (the grid cell) or where it came from (freedb).
TEST(AlbumSession, TheTrackArtistTravelsApartFromTheTitleToNamesAndTags)
{
    const struct {
        const char* what;
        QString credit, title;  // the reply's track; a null credit: a freedb title instead
        QString cell;           // the grid's text
        std::string artist, track; // what the tags take
        std::string name;          // "trackartist - track"
    } cases[] = {
        {"a credit with a slash", "A / B", "Split Song", "A / B / Split Song", "A / B", "Split Song",
         "A - B - Split Song.mp3"},
        {"a title with a slash", "Solo", "Prelude / Fugue", "Solo / Prelude / Fugue", "Solo", "Prelude / Fugue",
         "Solo - Prelude - Fugue.mp3"},
        {"an empty credit: the release's", "", "Quiet", "Various Artists / Quiet", "Various Artists", "Quiet",
         "Various Artists - Quiet.mp3"},
        {"a freedb title is one text", QString(), "X / Intro", "X / Intro", "X", "Intro", "X - Intro.mp3"},
    };
    QJsonArray tracks;
    for (const auto& c : cases) {
        if (c.credit.isNull()) continue;
        QJsonObject track{{"title", c.title}, {"length", 200000}, {"recording", QJsonObject{{"id", "r"}}}};
        if (!c.credit.isEmpty()) track["artist-credit"] = QJsonArray{QJsonObject{{"name", c.credit}}};
        tracks.append(track);
    }
    // A track credited to the release's artist keeps the album a release of various artists.
    const QJsonObject reply{{"id", "a1b2c3d4-0000-4000-8000-000000000001"},
                            {"title", "Hits"},
                            {"artist-credit", QJsonArray{QJsonObject{{"name", "Various Artists"}}}},
                            {"media", QJsonArray{QJsonObject{{"position", 1}, {"track-count", tracks.size()},
                                                             {"tracks", tracks}}}}};
    TMbRelease release;
    QString why;
    ASSERT_TRUE(ParseReleaseReply(QJsonDocument(reply).toJson(), &release, &why)) << why.toStdString();
    const AlbumRecord fromMb = RecordFromRelease(release, 0);
    const AlbumRecord fromFreedb{"Various", "Hits", "", "", {{"01", cases[3].title}}};

    for (const auto& [record, first] : {std::pair{fromMb, 0}, std::pair{fromFreedb, 3}}) {
        const int count = int(record.Titles.size());
        SCOPED_TRACE(first);
        test::TempDir tmp;
        const std::string folder = tmp.str() + "/";
        TScanResult scan;
        scan.scanned = true;
        scan.folder = QString::fromStdString(folder);
        for (int k = 0; k < count; ++k) {
            scan.names << QString("%1.mp3").arg(k);
            scan.lengths << TTrackLength{200, 200000, 0, 0, true};
            test::writeText(folder + std::to_string(k) + ".mp3", "x");
        }
        TAlbumSession s;
        s.loadScan(scan);
        s.applyEntry(record);
        TRenameOptions options;
        options.NameFormat = "trackartist - track";
        options.WriteTags = true;
        TRenameRun run(folder, s.renameRows(), s.albumData(), options);
        std::vector<TTagValues> tags;
        run.setTagWriter([&](const std::string&, const TTagValues& v) {
            tags.push_back(v);
            return IoResult::success();
        });
        const std::vector<TRenamePlanItem> plan = run.plan();
        run.run();
        ASSERT_EQ(tags.size(), size_t(count));
        for (int k = 0; k < count; ++k) {
            const auto& c = cases[first + k];
            SCOPED_TRACE(c.what);
            EXPECT_EQ(TitleCell(s.row(k)), c.cell);
            EXPECT_EQ(plan[size_t(k)].NewName, c.name);
            EXPECT_EQ(tags[size_t(k)].Artist, c.artist);
            EXPECT_EQ(tags[size_t(k)].Title, c.track);
        }
    }

    // A cell the user edits is one text again: split on an album of various artists.
    TAlbumSession s;
    s.loadScan(scanOf({"a.mp3"}, {200}));
    s.applyEntry(fromMb);
    s.setTitle(0, "A / B / Split Song");
    EXPECT_EQ(s.renameRows()[0].TrackArtist, "A / B"); // unchanged text: the credit stays
    s.setTitle(0, "C / Other");
    EXPECT_EQ(s.renameRows()[0].TrackArtist, "C");
    EXPECT_EQ(s.renameRows()[0].Track, "Other");
}

} // namespace
} // namespace cantorix
