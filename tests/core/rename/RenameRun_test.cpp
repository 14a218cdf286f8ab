#include "core/rename/RenameRun.h"

#include "core/rename/RenameJob.h"

#include "core/rename/RenameLines.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {
namespace {

namespace fs = std::filesystem;
using test::listFiles;
using test::readText;
using test::TempDir;
using test::writeText;
using Lines = std::vector<std::string>;

// An album folder "Old" inside a temporary folder, holding one small file per row, each with its own
// name as content so that a move can be followed.
struct Album {
    TempDir tmp;
    std::string parent = tmp.str() + "/";
    std::string folder = parent + "Old/";
    std::vector<TRenameRow> rows;

    explicit Album(const std::vector<TRenameRow>& r) : rows(r)
    {
        fs::create_directory(folder);
        for (const TRenameRow& row : rows)
            if (!row.FileName.empty()) writeText(folder + row.FileName, row.FileName);
    }
};

TRenameRow row(const char* name, const char* no, const char* title) { return {name, no, title}; }

const TAlbumData kAlbum{"A", "B", "1999", "Rock"};

// What a run on a worker reported: its lines and rows done, as the signals brought them to this thread,
// then "Renaming finished" as the workflow adds it.
struct JobResult {
    Lines lines;
    std::vector<int> rowsDone;
    std::string folder;
    TRenameReport report;
};

JobResult runAsJob(std::unique_ptr<TRenameRun> run)
{
    JobResult r;
    TRenameJob job(std::move(run));
    QEventLoop loop;
    QObject::connect(&job, &TRenameJob::logLine, [&](const QString& line) { r.lines.push_back(line.toStdString()); });
    QObject::connect(&job, &TRenameJob::progress, [&](int done, int rows) {
        EXPECT_EQ(rows, job.run().fileCount());
        r.rowsDone.push_back(done);
    });
    QObject::connect(&job, &TRenameJob::finished, [&] {
        r.lines.push_back(RenamingFinishedLine);
        loop.quit();
    });
    job.start();
    loop.exec();
    job.wait();
    r.folder = job.run().folderToSelect();
    r.report = job.run().report();
    return r;
}

Lines runHere(TRenameRun& run)
{
    run.run();
    EXPECT_TRUE(run.isDone());
    return run.logLines();
}

// A tag writer that records its calls and fails for titles starting with "bad".
struct TagRecorder {
    std::mutex mutex;
    std::vector<std::pair<std::string, TTagValues>> calls;
    TRenameRun::TagWriterFn fn()
    {
        return [this](const std::string& file, const TTagValues& v) {
            std::lock_guard<std::mutex> lock(mutex);
            calls.emplace_back(file, v);
            if (v.Title.rfind("throw", 0) == 0) throw std::runtime_error("writer threw");
            return v.Title.rfind("bad", 0) == 0 ? IoResult::failure("Input/output error") : IoResult::success();
        };
    }
};

TEST(RenameRun, RenamesOnAWorkerAndSignalsTheLinesInOrder)
{
    Album a({row("track1.mp3", "01", "One"), row("track2.mp3", "02", "Two"), row("b.mp3", "03", "Three"),
             row("c.mp3", "03", "Three")});
    fs::create_directory(a.parent + "A - B"); // the folder format's target exists already
    TRenameOptions o;
    o.RenameFolder = true;
    o.FolderFormat = 1;
    o.CreatePlaylist = true;
    const JobResult r = runAsJob(std::make_unique<TRenameRun>(a.folder, a.rows, kAlbum, o));
    const Lines& lines = r.lines;

    EXPECT_EQ(lines, (Lines{RenameErrorLine("c.mp3", "File exists"), FolderExistsLine(a.parent + "A - B/"),
                            PlaylistCreatedLine, RenamingFinishedLine}));
    EXPECT_EQ(listFiles(a.folder), (Lines{"A - B - 01 - One.mp3", "A - B - 02 - Two.mp3", "A - B - 03 - Three.mp3",
                                          "A - B.m3u", "c.mp3"}));
    EXPECT_EQ(readText(a.folder + "A - B - 03 - Three.mp3"), "b.mp3"); // the first of the two kept the name
    // Each file is listed by the name it bears after the run: the one that could not move by its old name.
    EXPECT_EQ(readText(a.folder + "A - B.m3u"),
              "A - B - 01 - One.mp3\r\nA - B - 02 - Two.mp3\r\nA - B - 03 - Three.mp3\r\nc.mp3\r\n");
    EXPECT_EQ(r.folder, a.folder);
    EXPECT_EQ(r.rowsDone, (std::vector<int>{1, 2, 3, 4}));
}

TEST(RenameRun, NeverReplacesAFileOutsideTheList)
{
    Album a({row("1.mp3", "01", "T")});
    writeText(a.folder + "A - B - 01 - T.mp3", "keep me");
    TRenameRun run(a.folder, a.rows, kAlbum, {});
    EXPECT_EQ(runHere(run), (Lines{RenameErrorLine("1.mp3", "File exists")}));
    EXPECT_EQ(readText(a.folder + "A - B - 01 - T.mp3"), "keep me");
    EXPECT_EQ(readText(a.folder + "1.mp3"), "1.mp3");
}

TEST(RenameRun, RowsAndNamesAtTheEdges)
{
    // Stops at the first empty name; a row without a database track (beyond the entry's titles) keeps
    // its name and stays in the playlist; a file that already bears its name stays without an error; a
    // NUL in a title is cleaned like every control character (a space).
    std::vector<TRenameRow> rows = {row("x.mp3", "", ""), row("A - B - 02 - Two.flac", "02", "Two"),
                                    {"n.mp3", "03", std::string("a\0b", 3)}, row("", "", ""),
                                    row("after.mp3", "09", "Never")};
    Album a(rows);
    TRenameOptions o;
    o.CreatePlaylist = true;
    o.WriteTags = true;
    TRenameRun run(a.folder, rows, kAlbum, o);
    TagRecorder rec;
    run.setTagWriter(rec.fn());
    EXPECT_EQ(run.fileCount(), 3);
    EXPECT_EQ(runHere(run), (Lines{UntitledKeptLine(1), PlaylistCreatedLine}));
    ASSERT_EQ(rec.calls.size(), 2u); // the file without a title keeps its tags too
    EXPECT_EQ(rec.calls[0].first, a.folder + "A - B - 02 - Two.flac");
    EXPECT_EQ(rec.calls[0].second.AlbumArtist, ""); // one artist: no album artist of its own
    EXPECT_EQ(listFiles(a.folder),
              (Lines{"A - B - 02 - Two.flac", "A - B - 03 - a b.mp3", "A - B.m3u", "after.mp3", "x.mp3"}));
    EXPECT_EQ(readText(a.folder + "A - B.m3u"), "x.mp3\r\nA - B - 02 - Two.flac\r\nA - B - 03 - a b.mp3\r\n");
    EXPECT_EQ(run.report().Rows.size(), 3u);
    EXPECT_TRUE(run.report().Rows[0].KeptName);
    EXPECT_FALSE(run.report().anyFailure());
}

// Nothing is written through a link: a track that is a symbolic link to another album's file is
// renamed as the link, its tags are not written and the target is untouched. A file with a second name
// (a hard link) gets its tags, with a warning naming the count.
TEST(RenameRun, TagsAreNeverWrittenThroughALink)
{
    Album a({row("1.mp3", "01", "One"), row("2.mp3", "02", "Two")});
    const std::string outside = a.parent + "Other/";
    fs::create_directory(outside);
    writeText(outside + "theirs.mp3", "another album's file");
    fs::remove(a.folder + "1.mp3");
    fs::create_symlink(outside + "theirs.mp3", a.folder + "1.mp3");
    ASSERT_EQ(::link((a.folder + "2.mp3").c_str(), (outside + "second name.mp3").c_str()), 0);
    TRenameOptions o;
    o.WriteTags = true;
    TRenameRun run(a.folder, a.rows, kAlbum, o);
    TagRecorder rec;
    run.setTagWriter(rec.fn());
    const Lines lines = runHere(run);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].first, a.folder + "A - B - 02 - Two.mp3");
    EXPECT_EQ(lines, (Lines{TagErrorLine("A - B - 01 - One.mp3", "not written: the file is a link"),
                            "\"A - B - 02 - Two.mp3\" has 2 names (hard links): the tags change under all of them"}));
    EXPECT_TRUE(fs::is_symlink(a.folder + "A - B - 01 - One.mp3"));
    EXPECT_EQ(readText(outside + "theirs.mp3"), "another album's file");
    EXPECT_EQ(run.report().Rows[0].Tags, TRenameRowReport::TTags::Failed);
}

TEST(RenameRun, WritesTagsAfterSuccessfulMovesForTheTwelveExtensions)
{
    Album a({row("1.mp3", "01", "One"), row("2.MP3", "02", "Two"), row("3.wma", "03", "Three"),
             row("4.flac", "04", "bad"), row("5.ogg", "05", "throw"), row("6.wav", "06", "Six"),
             row("7.mpc", "07", "Seven"), row("8.ape", "", "Eight")});
    writeText(a.folder + "A - B - 07 - Seven.mpc", "in the way");
    TRenameOptions o;
    o.WriteTags = true;
    TRenameRun run(a.folder, a.rows, {"A", "B", "1999", "Rock"}, o);
    TagRecorder rec;
    run.setTagWriter(rec.fn());
    Lines lines = runHere(run);

    EXPECT_EQ(lines, (Lines{TagErrorLine("A - B - 04 - bad.flac", "Input/output error"),
                            TagErrorLine("A - B - 05 - throw.ogg", "writer threw"),
                            RenameErrorLine("7.mpc", "File exists")}));
    std::vector<std::string> files;
    for (const auto& [file, v] : rec.calls) files.push_back(file);
    EXPECT_EQ(files, (Lines{a.folder + "A - B - 01 - One.mp3", a.folder + "A - B - 02 - Two.MP3",
                            a.folder + "A - B - 04 - bad.flac", a.folder + "A - B - 05 - throw.ogg",
                            a.folder + "A - B - - Eight.ape"}));
    const TTagValues& v = rec.calls[1].second;
    EXPECT_EQ(v.Title, "Two");
    EXPECT_EQ(v.Artist, "A");
    EXPECT_EQ(v.Album, "B");
    EXPECT_EQ(v.Year, "1999");
    EXPECT_EQ(v.Track, "02");
    EXPECT_EQ(v.Genre, "Rock");
    EXPECT_EQ(rec.calls[4].second.Track, "");

    // The report says the same per row, so callers need not read the log.
    const TRenameReport& report = run.report();
    ASSERT_EQ(report.Rows.size(), 8u);
    using T = TRenameRowReport::TTags;
    const struct { bool moved; T tags; } expected[] = {{true, T::Written}, {true, T::Written}, {true, T::NotAsked},
                                                     {true, T::Failed},  {true, T::Failed},  {true, T::NotAsked},
                                                     {false, T::NotAsked}, {true, T::Written}};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(report.Rows[i].Moved, expected[i].moved) << i;
        EXPECT_EQ(report.Rows[i].Tags, expected[i].tags) << i;
    }
    EXPECT_EQ(report.Rows[6].OldName, "7.mpc");
    EXPECT_EQ(report.Rows[6].NewName, "A - B - 07 - Seven.mpc");
    EXPECT_EQ(report.Rows[6].MoveError, "File exists");
    EXPECT_EQ(report.Rows[4].TagError, "writer threw");
    EXPECT_EQ(report.movedCount(), 7);
    EXPECT_EQ(report.failedCount(), 3);
    EXPECT_TRUE(report.anyFailure());
}

TEST(RenameRun, AVanishedFileIsReportedAndLeftOutOfThePlaylist)
{
    Album a({row("1.mp3", "01", "One"), row("2.mp3", "02", "Two"), row("A - B - 03 - Three.mp3", "03", "Three")});
    fs::remove(a.folder + "2.mp3");                  // deleted after the scan
    fs::remove(a.folder + "A - B - 03 - Three.mp3"); // already named right, but gone too
    TRenameOptions o;
    o.CreatePlaylist = true;
    TRenameRun run(a.folder, a.rows, kAlbum, o);
    EXPECT_EQ(runHere(run), (Lines{RenameErrorLine("2.mp3", "No such file or directory"),
                                   RenameErrorLine("A - B - 03 - Three.mp3", "No such file or directory"),
                                   PlaylistCreatedLine}));
    EXPECT_EQ(readText(a.folder + "A - B.m3u"), "A - B - 01 - One.mp3\r\n");
    EXPECT_EQ(run.report().movedCount(), 1);
    EXPECT_EQ(run.report().failedCount(), 2);
}

TEST(RenameRun, ALongTitleIsCutToTheNameLimitKeepingTheExtension)
{
    // 300 bytes of title, with two-byte characters so the cut must fall between characters.
    std::string title;
    while (title.size() < 300) title += "\xc3\xa9t";
    Album a({row("1.flac", "01", title.c_str())});
    TRenameRun run(a.folder, a.rows, kAlbum, {});
    Lines lines = runHere(run);
    const std::string name = run.report().Rows.at(0).NewName;
    EXPECT_LE(name.size(), 255u);
    EXPECT_GE(name.size(), 250u);
    EXPECT_EQ(name.substr(name.size() - 5), ".flac");
    EXPECT_EQ(lines, (Lines{NameShortenedLine(name)}));
    EXPECT_EQ(listFiles(a.folder), (Lines{name}));
    // What the file system took is what the preview shows.
    EXPECT_EQ(run.plan().at(0).NewName, name);
}

TEST(RenameRun, NoTagsWhenTheOptionIsOff)
{
    Album a({row("1.mp3", "01", "One")});
    TRenameRun run(a.folder, a.rows, kAlbum, {});
    TagRecorder rec;
    run.setTagWriter(rec.fn());
    EXPECT_TRUE(runHere(run).empty());
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_FALSE(run.report().anyFailure());
    EXPECT_EQ(run.report().Folder, TRenameReport::TStep::NotAsked);
}

struct FolderCase {
    const char* what;
    TAlbumData album;
    int format;
    const char* existing;  // a sibling folder made before the run, or null
    const char* nameFormat;
    const char* expectedFolder; // under the parent, with "/"
    const char* expectedLine;   // "exists" and "too long" stand for the lines with the path or reason
};

TEST(RenameRun, FolderStepOutcomes)
{
    const std::string longName(300, 'x');
    const std::string fittedFolder = std::string(255, 'x') + "/";
    const FolderCase cases[] = {
        {"renamed", {"A", "B", "1999", ""}, 0, nullptr, "artist - album - # - track", "A [1999] - B/",
         FolderRenamedLine},
        {"empty year", {"A", "B", "", ""}, 0, nullptr, "artist - album - # - track", "A - B/", FolderRenamedLine},
        {"target exists", {"A", "B", "1999", ""}, 0, "A [1999] - B", "artist - album - # - track", "Old/",
         "exists"},
        {"already named so", {"", "Old", "1999", ""}, 4, nullptr, "# - track", "Old/", "exists"},
        {"index out of range gives the parent", {"A", "B", "1999", ""}, 9, nullptr, "# - track", "Old/", "exists"},
        {"letter case differs", {"", "old", "1999", ""}, 4, nullptr, "# - track", "old/", FolderRenamedLine},
        // Cut to the file system's limit instead of failing with "File name too long".
        {"name too long", {"A", "B", longName, ""}, 2, nullptr, "# - track", fittedFolder.c_str(), FolderRenamedLine},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        Album a({row("1.mp3", "01", "One")});
        if (c.existing) fs::create_directory(a.parent + c.existing);
        TRenameOptions o;
        o.NameFormat = c.nameFormat;
        o.RenameFolder = true;
        o.FolderFormat = c.format;
        o.CreatePlaylist = true;
        TRenameRun run(a.folder, a.rows, c.album, o);
        Lines lines = runHere(run);

        const std::string result = a.parent + c.expectedFolder;
        ASSERT_EQ(lines.size(), 2u);
        std::string expected = c.expectedLine;
        if (expected == "exists")
            expected = FolderExistsLine(run.plannedFolderPath());
        else if (expected == "too long")
            expected = FolderRenameFailedLine("File name too long");
        EXPECT_EQ(lines[0], expected);
        EXPECT_EQ(lines[1], PlaylistCreatedLine);
        EXPECT_EQ(run.folderToSelect(), result);
        const bool renamed = expected == FolderRenamedLine;
        EXPECT_EQ(run.report().Folder, renamed ? TRenameReport::TStep::Done : TRenameReport::TStep::Failed);
        EXPECT_EQ(run.report().anyFailure(), !renamed);
        EXPECT_EQ(run.report().Playlist, TRenameReport::TStep::Done);
        // The files and the playlist are in the folder that resulted.
        std::string playlist = BuildPlaylistName(c.album.Artist, c.album.Album) + ".m3u";
        EXPECT_TRUE(fs::exists(result + playlist)) << result + playlist;
        EXPECT_EQ(listFiles(result).size(), 2u);
    }
}

TEST(RenameRun, AFailingPlaylistStillEndsTheRun)
{
    Album a({row("1.mp3", "01", "One")});
    fs::create_directory(a.folder + "A - B.m3u"); // the playlist's name is taken by a folder
    TRenameOptions o;
    o.CreatePlaylist = true;
    const JobResult r = runAsJob(std::make_unique<TRenameRun>(a.folder, a.rows, kAlbum, o));
    EXPECT_EQ(r.lines, (Lines{PlaylistErrorLine("Is a directory"), RenamingFinishedLine}));
    EXPECT_EQ(r.folder, a.folder);
    EXPECT_TRUE(fs::exists(a.folder + "A - B - 01 - One.mp3"));
}

TEST(RenameRun, AnOldPlaylistMovesAsideBeforeTheNewOneIsWritten)
{
    Album a({row("1.mp3", "01", "One")});
    writeText(a.folder + "A - B.m3u", "old playlist\r\n");
    TRenameOptions o;
    o.CreatePlaylist = true;
    TRenameRun run(a.folder, a.rows, kAlbum, o);
    EXPECT_EQ(runHere(run), (Lines{PlaylistCreatedLine, "The playlist that was there is now \"A - B.previous.m3u\""}));
    EXPECT_EQ(readText(a.folder + "A - B.m3u"), "A - B - 01 - One.mp3\r\n");
    EXPECT_EQ(readText(a.folder + "A - B.previous.m3u"), "old playlist\r\n");
    EXPECT_EQ(listFiles(a.folder).size(), 3u); // no temporary file left
}

TEST(RenameRun, AReadOnlyFolderStillEndsTheRun)
{
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    Album a({row("1.mp3", "01", "One")});
    ASSERT_EQ(chmod(a.folder.c_str(), 0555), 0);
    TRenameOptions o;
    o.CreatePlaylist = true;
    const JobResult r = runAsJob(std::make_unique<TRenameRun>(a.folder, a.rows, kAlbum, o));
    EXPECT_EQ(r.lines, (Lines{RenameErrorLine("1.mp3", "Permission denied"), PlaylistErrorLine("Permission denied"),
                              RenamingFinishedLine}));
    EXPECT_EQ(r.folder, a.folder);
}

TEST(RenameRun, UnicodeNamesAndPlaylist)
{
    Album a({row("01.flac", "01", "J\xc3\xb3ga")});
    TRenameOptions o;
    o.CreatePlaylist = true;
    TRenameRun run(a.folder, a.rows, {"Bj\xc3\xb6rk", "Homog\xc3\xa9nic", "", ""}, o);
    EXPECT_EQ(runHere(run), (Lines{PlaylistCreatedLine}));
    const std::string name = "Bj\xc3\xb6rk - Homog\xc3\xa9nic - 01 - J\xc3\xb3ga.flac";
    EXPECT_TRUE(fs::exists(a.folder + name));
    EXPECT_EQ(readText(a.folder + "Bj\xc3\xb6rk - Homog\xc3\xa9nic.m3u"), name + "\r\n");
}

TEST(RenameRun, PlanMatchesTheRunAndTouchesNothing)
{
    Album a({row("1.mp3", "01", "One"), row("2.ogg", "02", "Two")});
    TRenameOptions o;
    o.RenameFolder = true;
    o.CreatePlaylist = true;
    TRenameRun run(a.folder, a.rows, kAlbum, o);
    std::vector<TRenamePlanItem> plan = run.plan();
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].OldName, "1.mp3");
    EXPECT_EQ(plan[0].NewName, "A - B - 01 - One.mp3");
    EXPECT_EQ(plan[1].NewName, "A - B - 02 - Two.ogg");
    EXPECT_EQ(run.plannedFolderPath(), a.parent + "A [1999] - B/");
    EXPECT_EQ(run.playlistFileName(), "A - B.m3u");
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.ogg"}));
    EXPECT_FALSE(run.isDone());
    EXPECT_EQ(run.folderToSelect(), "");
}

// A listed file that vanished after the scan: a file an earlier row moved under its name is not its
// file, and is not moved on.
TEST(RenameRun, AFileAnEarlierRowMovedIsNotMovedAgain)
{
    Album a({row("1.mp3", "01", "One"), row("A - B - 01 - One.mp3", "02", "Two")});
    fs::remove(a.folder + "A - B - 01 - One.mp3");
    TRenameRun run(a.folder, a.rows, kAlbum, {});
    EXPECT_EQ(runHere(run), (Lines{RenameErrorLine("A - B - 01 - One.mp3", "No such file or directory")}));
    EXPECT_EQ(listFiles(a.folder), (Lines{"A - B - 01 - One.mp3"}));
    EXPECT_EQ(readText(a.folder + "A - B - 01 - One.mp3"), "1.mp3");
}

// A very long artist or album never costs a file its number or title: fifteen files get fifteen
// names, each with its number and whole title; the folder is renamed only once they are.
TEST(RenameRun, LongValuesNeverCostTheNumberOrTheTitle)
{
    std::vector<TRenameRow> rows;
    for (int i = 1; i <= 15; ++i) {
        const std::string no = (i < 10 ? "0" : "") + std::to_string(i);
        rows.push_back({no + (i % 2 ? ".mp3" : ".flac"), no, "Title " + no});
    }
    // Two rows whose titles differ only past the cut, without numbers.
    const std::string longTitle(300, 't');
    rows.push_back({"x.mp3", "", longTitle + " one"});
    rows.push_back({"y.mp3", "", longTitle + " two"});
    Album a(rows);
    TRenameOptions o;
    o.RenameFolder = true;
    o.FolderFormat = 1;
    TRenameRun run(a.folder, a.rows, {"Artist", std::string(230, 'B'), "", ""}, o);
    run.run();
    EXPECT_FALSE(run.report().anyFailure()) << RenameSummaryText(run.report());
    EXPECT_EQ(run.report().movedCount(), 17);
    const std::string folder = run.folderToSelect();
    EXPECT_NE(folder, a.folder);
    const Lines names = listFiles(folder);
    ASSERT_EQ(names.size(), 17u);
    for (int i = 1; i <= 15; ++i) {
        const std::string no = (i < 10 ? "0" : "") + std::to_string(i);
        const std::string tail = " - " + no + " - Title " + no + (i % 2 ? ".mp3" : ".flac");
        EXPECT_EQ(std::count_if(names.begin(), names.end(),
                                [&](const std::string& n) {
                                    return n.size() <= 255 && n.size() > tail.size() &&
                                           n.compare(n.size() - tail.size(), tail.size(), tail) == 0;
                                }),
                  1)
            << tail;
    }
    const Lines shortened = {run.report().Rows[15].NewName, run.report().Rows[16].NewName};
    EXPECT_NE(shortened[0], shortened[1]);
    EXPECT_EQ(shortened[1].substr(shortened[1].size() - 9), " (17).mp3");
}

// An album of various artists, one disc of a set, renamed for a device: the track's own artist goes
// into the name and the ARTIST tag, the disc into the name and the folder, and every name is one a
// FAT device takes.
TEST(RenameRun, VariousArtistsDiscAndDeviceNames)
{
    Album a({{"1.mp3", "01", "Intro", "X"}, {"2.mp3", "02", "Aux", ""}, {"3.mp3", "03", "Third", "Y: Z"}});
    TRenameOptions o;
    o.NameFormat = "disc-# - trackartist - track";
    o.WriteTags = true;
    o.RenameFolder = true;
    o.FolderFormat = FolderFormatCount - 1;
    o.CreatePlaylist = true;
    const TAlbumData album{"Various", "Hits...", "", "Pop", "2"};
    for (const bool portable : {false, true}) {
        SCOPED_TRACE(portable);
        o.PortableNames = portable;
        TRenameRun run(a.folder, a.rows, album, o);
        // A dot before " (CD 2)" is no trailing dot.
        EXPECT_EQ(run.plannedFolderPath(), a.parent + "Various - Hits... (CD 2)/");
        const std::vector<TRenamePlanItem> plan = run.plan();
        EXPECT_EQ(plan[0].NewName, "2-01 - X - Intro.mp3");
        EXPECT_EQ(plan[1].NewName, "2-02 - Various - Aux.mp3");
        EXPECT_EQ(plan[2].NewName, "2-03 - Y- Z - Third.mp3");
    }
    // The device rules act where the clean-up of names leaves something: a folder ending in dots, a
    // reserved name.
    TRenameOptions device;
    device.NameFormat = "track";
    device.RenameFolder = true;
    device.FolderFormat = 4;
    device.PortableNames = true;
    TRenameRun portable(a.folder, a.rows, album, device);
    EXPECT_EQ(portable.plannedFolderPath(), a.parent + "Various - Hits/");
    EXPECT_EQ(portable.plan()[1].NewName, "Aux_.mp3");
    device.PortableNames = false;
    EXPECT_EQ(TRenameRun(a.folder, a.rows, album, device).plannedFolderPath(), a.parent + "Various - Hits.../");

    TRenameRun run(a.folder, a.rows, album, o);
    TagRecorder rec;
    run.setTagWriter(rec.fn());
    runHere(run);
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[0].second.Artist, "X");
    EXPECT_EQ(rec.calls[0].second.Title, "Intro");
    EXPECT_EQ(rec.calls[1].second.Artist, "Various"); // no artist of its own: the album's
    EXPECT_EQ(rec.calls[2].second.Artist, "Y: Z");
    for (const auto& call : rec.calls) EXPECT_EQ(call.second.AlbumArtist, "Various"); // every track, one album
    EXPECT_EQ(listFiles(a.parent + "Various - Hits... (CD 2)"),
              (Lines{"2-01 - X - Intro.mp3", "2-02 - Various - Aux.mp3", "2-03 - Y- Z - Third.mp3", "Various - Hits....m3u"}));
}

} // namespace
} // namespace cantorix
