#include "core/rename/JournalUndo.h"

#include "audio/FaultyIO.h"
#include "core/rename/RenameLines.h"
#include "core/rename/RenameRun.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cantorix {
namespace {

namespace fs = std::filesystem;
using test::listFiles;
using test::readText;
using test::TempDir;
using test::writeText;
using Lines = std::vector<std::string>;

// An album folder "Old" with one file per name (its content is its name) and a journal folder.
struct Album {
    TempDir tmp;
    std::string parent = tmp.str() + "/";
    std::string folder = parent + "Old/";
    std::string journals = parent + "state";
    std::vector<TRenameRow> rows;

    explicit Album(std::vector<TRenameRow> r) : rows(std::move(r))
    {
        fs::create_directory(folder);
        for (const TRenameRow& row : rows) writeText(folder + row.FileName, row.FileName);
    }
    TRenameJournalData journalFor(const std::string& dir) const
    {
        TRenameJournalData data;
        std::string path;
        EXPECT_TRUE(TRenameJournal::findFor(journals, dir, data, path)) << dir;
        return data;
    }
};

const TAlbumData kAlbum{"A", "B", "1999", "Rock"};

TEST(RenameJournal, UndoAfterAFullRunPutsEverythingBack)
{
    Album a({{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}, {"A - B - 03 - Three.mp3", "03", "Three"}});
    TRenameOptions o;
    o.RenameFolder = true;
    o.CreatePlaylist = true;
    o.WriteTags = true;
    TRenameRun run(a.folder, a.rows, kAlbum, o);
    run.setTagWriter(nullptr);
    run.setJournalDirectory(a.journals);
    run.run();
    const std::string renamed = a.parent + "A [1999] - B/";
    ASSERT_EQ(run.folderToSelect(), renamed);

    TRenameJournalData j = a.journalFor(renamed);
    EXPECT_TRUE(j.Finished);
    EXPECT_EQ(j.Folder, a.folder);
    EXPECT_EQ(j.FolderAfter, renamed);
    EXPECT_EQ(j.Playlist, "A - B.m3u");

    // A dry run says what it would do and touches nothing.
    TUndoReport dry = UndoRenameRun(j, renamed, true);
    EXPECT_EQ(dry.MovedBack, 2);
    EXPECT_TRUE(fs::exists(renamed + "A - B.m3u"));

    TUndoReport r = UndoRenameRun(j, renamed, false);
    EXPECT_EQ(r.Lines, dry.Lines);
    EXPECT_EQ(r.Lines, (Lines{"Folder renamed back to \"" + a.parent + "Old\"", "Playlist \"A - B.m3u\" removed",
                              "\"A - B - 02 - Two.mp3\" -> \"2.mp3\"", "\"A - B - 01 - One.mp3\" -> \"1.mp3\"",
                              "The run wrote tags; their values are not undone"}));
    EXPECT_EQ(r.Folder, a.folder);
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "A - B - 03 - Three.mp3"}));
    EXPECT_EQ(readText(a.folder + "1.mp3"), "1.mp3");
}

TEST(RenameJournal, AnInterruptedRunLeavesAJournalThatUndoes)
{
    // What a run killed after its second move leaves: the journal lists all moves, two done.
    Album a({{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}, {"3.mp3", "03", "Three"}});
    TRenameJournal journal(a.journals);
    TRenameJournalData& d = journal.data();
    d.Folder = a.folder;
    d.Moves = {{"1.mp3", "A - B - 01 - One.mp3", true}, {"2.mp3", "A - B - 02 - Two.mp3", false},
               {"3.mp3", "A - B - 03 - Three.mp3", false}};
    ASSERT_TRUE(journal.save());
    // The second move happened, but the run died before the journal said so.
    fs::rename(a.folder + "1.mp3", a.folder + "A - B - 01 - One.mp3");
    fs::rename(a.folder + "2.mp3", a.folder + "A - B - 02 - Two.mp3");

    TRenameJournalData j = a.journalFor(a.folder);
    EXPECT_FALSE(j.Finished);
    TUndoReport r = UndoRenameRun(j, a.folder, false);
    EXPECT_EQ(r.MovedBack, 2);
    EXPECT_EQ(r.LeftAlone, 0);
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.mp3"}));
}

TEST(RenameJournal, UndoLeavesFilesWhoseNamesChangedOrWereTaken)
{
    Album a({{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}, {"3.mp3", "03", "Three"}});
    TRenameOptions o;
    o.CreatePlaylist = true;
    TRenameRun run(a.folder, a.rows, kAlbum, o);
    run.setJournalDirectory(a.journals);
    run.run();
    writeText(a.folder + "1.mp3", "someone else's");                                  // old name taken since
    fs::rename(a.folder + "A - B - 02 - Two.mp3", a.folder + "renamed by hand.mp3"); // new name changed since
    writeText(a.folder + "A - B.m3u", "edited\r\n");                                  // playlist changed

    TUndoReport r = UndoRenameRun(a.journalFor(a.folder), a.folder, false);
    EXPECT_EQ(r.MovedBack, 1);
    EXPECT_EQ(r.LeftAlone, 3);
    EXPECT_EQ(r.Lines, (Lines{"Undo left the playlist \"A - B.m3u\": it was changed since",
                              "\"A - B - 03 - Three.mp3\" -> \"3.mp3\"",
                              "Undo left \"A - B - 02 - Two.mp3\": it is no longer there",
                              "Undo left \"A - B - 01 - One.mp3\": \"1.mp3\" is taken now"}));
    EXPECT_EQ(readText(a.folder + "1.mp3"), "someone else's");
    EXPECT_EQ(readText(a.folder + "A - B - 01 - One.mp3"), "1.mp3");
}

TEST(RenameJournal, NamesThatAreNotUtf8SurviveTheRecord)
{
    Album a({{"caf\xe9.mp3", "01", "One"}});
    TRenameRun run(a.folder, a.rows, kAlbum, {});
    run.setJournalDirectory(a.journals);
    run.run();
    TRenameJournalData j = a.journalFor(a.folder);
    ASSERT_EQ(j.Moves.size(), 1u);
    EXPECT_EQ(j.Moves[0].From, "caf\xe9.mp3");
    UndoRenameRun(j, a.folder, false);
    EXPECT_EQ(listFiles(a.folder), (Lines{"caf\xe9.mp3"}));
}

// What undo would do with a record planted under the folder's own key: the record is data from disk,
// so it may act only on bare names inside the album folder, rename the folder only to a sibling, and
// remove only a playlist (".m3u") whose bytes are the ones written.
TEST(RenameJournal, AHostileJournalIsNotFollowed)
{
    struct Case {
        const char* what;
        std::vector<std::string> lines; // after the header; "{folder}" stands for the album folder
    } cases[] = {
        {"a move out of the folder", {"folder {folder} 0 0", "plan 0 ../escape a.mp3 0", "planned 1", "move 0", "end"}},
        {"a name with a NUL", {"folder {folder} 0 0", "plan 0 a.mp3 ..%00 0", "planned 1", "move 0", "end"}},
        {"a name that is the parent", {"folder {folder} 0 0", "plan 0 a.mp3 .. 0", "planned 1", "move 0", "end"}},
        {"the folder moved elsewhere", {"folder {folder} 0 0", "planned 0", "folder-to ../elsewhere", "folder-moved", "end"}},
        {"a playlist that is not one", {"folder {folder} 0 0", "planned 0", "playlist song.flac {sha}", "end"}},
        {"a relative folder", {"folder relative/ 0 0", "planned 0", "end"}},
        {"a plan that does not end", {"folder {folder} 0 0", "plan 0 a.mp3 b.mp3 0"}},
        {"a plan out of order", {"folder {folder} 0 0", "plan 1 a.mp3 b.mp3 0", "planned 1"}},
        {"a cover of another name", {"folder {folder} 0 0", "planned 0", "cover song.flac {sha}", "end"}},
        {"a cover whose old one goes elsewhere", {"folder {folder} 0 0", "planned 0", "cover folder.jpg {sha} ../a.mp3", "end"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir tmp;
        const std::string folder = tmp.str() + "/alb/", state = tmp.str() + "/state/";
        fs::create_directories(folder);
        fs::create_directories(tmp.str() + "/elsewhere");
        fs::create_directories(state);
        writeText(folder + "a.mp3", "a");
        writeText(folder + "song.flac", "audio");
        const std::string sha = "3a7bd3e2360a3d29eea436fcfb7e44c735d117c42d1c1835420b6b9942dd4f1b"; // of "audio"
        std::string text = JournalLine("journal 2 rename 1");
        for (std::string l : c.lines) {
            if (size_t at = l.find("{folder}"); at != std::string::npos) l.replace(at, 8, folder);
            if (size_t at = l.find("{sha}"); at != std::string::npos) l.replace(at, 5, sha);
            text += JournalLine(l);
        }
        writeText(state + TRenameJournal::fileNameFor(folder), text);

        // A record whose plan is not sound is no record; one whose later lines are not is read up to
        // them, and undoing it touches nothing.
        bool found = true;
        const TUndoReport r = UndoLastRun(state, folder, false, found);
        EXPECT_EQ(r.MovedBack + r.LeftAlone, 0);
        EXPECT_EQ(listFiles(folder), (Lines{"a.mp3", "song.flac"}));
        EXPECT_TRUE(fs::is_directory(folder));
        EXPECT_TRUE(listFiles(tmp.str() + "/elsewhere").empty());
        EXPECT_FALSE(UnfinishedRunIn(state, folder)); // and, undone, it blocks nothing
    }
}

// A record of the first version (one JSON document) is still undone, found from the renamed folder
// too; one that would move the folder out of its parent is not followed.
TEST(RenameJournal, ARecordOfTheFirstVersionIsStillUndone)
{
    TempDir tmp;
    const std::string parent = tmp.str() + "/", state = parent + "state/";
    fs::create_directories(parent + "New");
    fs::create_directories(state);
    writeText(parent + "New/A - 01.mp3", "1");
    const std::string legacyName = [&](std::string n) { return n.replace(n.size() - 8, 8, ".json"); }(
        TRenameJournal::fileNameFor(parent + "Old/"));
    writeText(state + legacyName,
              R"({"version":1,"folder":")" + parent + R"(Old/","folderAfter":")" + parent +
                  R"(New/","moves":[{"from":"1.mp3","to":"A - 01.mp3","done":true}],"finished":true,"started":5})");
    bool found = false;
    const TUndoReport r = UndoLastRun(state, parent + "New/", false, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(r.Lines, (Lines{"Folder renamed back to \"" + parent + "Old\"", "\"A - 01.mp3\" -> \"1.mp3\""}));
    EXPECT_EQ(listFiles(parent + "Old"), Lines{"1.mp3"});
    EXPECT_TRUE(listFiles(state).empty());

    // A start time no int64_t holds is read as unknown.
    for (const char* started : {"1e300", "-1e300"}) {
        writeText(state + legacyName, R"({"version":1,"folder":")" + parent + R"(Old/","moves":[],"finished":true,"started":)" +
                                          started + "}");
        TRenameJournalData d;
        std::string path;
        ASSERT_TRUE(TRenameJournal::findFor(state, parent + "Old/", d, path)) << started;
        EXPECT_EQ(d.Started, 0) << started;
        ASSERT_TRUE(TRenameJournal::remove(path, d));
    }

    // Out of the parent: passed over, and the album stays where it is.
    fs::create_directories(parent + "elsewhere");
    writeText(state + legacyName, R"({"version":1,"folder":")" + parent + R"(Old/","folderAfter":")" + parent +
                                      R"(Old/../elsewhere/moved/","moves":[],"finished":true})");
    EXPECT_FALSE(UndoLastRun(state, parent + "Old/", false, found).MovedBack);
    EXPECT_FALSE(found);
    EXPECT_TRUE(fs::is_directory(parent + "Old"));
}

// The record: a header and the plan once, then one line per move, each line with its checksum; a torn
// or altered line ends what is read, and undo cuts it off before it adds its own lines.
TEST(RenameJournal, OneLinePerMoveAfterThePlanAndATornLineEndsTheRecord)
{
    std::vector<TRenameRow> rows;
    for (int i = 1; i <= 300; ++i) rows.push_back({std::to_string(i) + ".mp3", std::to_string(i), "T"});
    Album a(rows);
    TRenameRun run(a.folder, a.rows, kAlbum, {});
    run.setJournalDirectory(a.journals);
    run.run();
    const std::string path = a.journals + "/" + TRenameJournal::fileNameFor(a.folder);
    const std::string text = readText(path);
    std::map<std::string, int> kinds;
    size_t lines = 0;
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1, ++lines) {
        const std::string payload = text.substr(at + 9, text.find('\n', at) - at - 9);
        ++kinds[payload.substr(0, payload.find(' '))];
    }
    EXPECT_EQ(kinds, (std::map<std::string, int>{{"journal", 1}, {"folder", 1}, {"plan", 300}, {"planned", 1},
                                                 {"move", 300}, {"end", 1}}));

    struct Case {
        const char* what;
        std::string bytes;
        bool readable;
        bool finished;
    } cases[] = {
        {"whole", text, true, true},
        {"the last line torn", text.substr(0, text.size() - 2), true, false},
        {"a move line altered", [&] { std::string t = text; t[t.rfind("move 29")+5] = '8'; return t; }(), true, false},
        {"the plan cut short", text.substr(0, text.find("plan 100")), false, false},
        {"not a record", "hello\n", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRenameJournalData d;
        size_t valid = 0;
        EXPECT_EQ(ParseJournal(c.bytes, d, &valid), c.readable);
        EXPECT_EQ(d.Finished, c.finished);
        if (c.readable) {
            EXPECT_EQ(c.bytes.substr(0, valid), JournalText(d).substr(0, valid));
            EXPECT_EQ(d.Moves.size(), 300u);
        }
    }

    // A crash tore the "end" line: the run looks unfinished, and undo completes over the torn tail.
    writeText(path, text.substr(0, text.size() - 3));
    EXPECT_TRUE(UnfinishedRunIn(a.journals, a.folder));
    bool found = false;
    EXPECT_EQ(UndoLastRun(a.journals, a.folder, false, found).MovedBack, 300);
    EXPECT_EQ(listFiles(a.folder).front(), "1.mp3");
    EXPECT_FALSE(fs::exists(path));
}

// A file system that fails the `skip`+1-th write holding `marker` before it happens: with `err`, or
// by ending the process with no clean-up (SIGKILL) when `err` is 0.
class TFaultOnWrite : public TFileSystem {
public:
    TFaultOnWrite(std::string marker, int skip = 0, int err = 0) : m_marker(std::move(marker)), m_skip(skip), m_err(err) {}
    int write(int fd, const void* data, size_t n, size_t& written) override
    {
        written = 0;
        if (std::string_view(static_cast<const char*>(data), n).find(m_marker) != std::string_view::npos &&
            m_skip-- <= 0) {
            if (m_err) return m_err;
            ::raise(SIGKILL);
        }
        return TFileSystem::write(fd, data, n, written);
    }

private:
    std::string m_marker;
    int m_skip;
    int m_err;
};

// Runs `work` in a child process; true when SIGKILL ended it.
bool killedInChild(const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// A run with a folder rename killed around the folder's move: the run is refused and undone from the
// folder's name as the kill left it, old or new.
TEST(RenameJournal, AKillAroundTheFolderMoveLeavesARunThatUndoFinds)
{
    struct Case {
        const char* killAt; // the journal line being written when the kill comes
        bool folderMoved;
    } cases[] = {{"folder-to", false}, {"folder-moved", true}, {" end", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.killAt);
        Album a({{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}});
        const std::string renamed = a.parent + "A [1999] - B/";
        ASSERT_TRUE(killedInChild([&] {
            TRenameOptions o;
            o.RenameFolder = true;
            TFaultOnWrite killer(c.killAt);
            TRenameRun run(a.folder, a.rows, kAlbum, o);
            run.setJournalDirectory(a.journals);
            run.setFileSystem(killer);
            run.run();
        }));
        const std::string now = c.folderMoved ? renamed : a.folder;
        ASSERT_TRUE(fs::is_directory(now));
        EXPECT_EQ(listFiles(now), (Lines{"A - B - 01 - One.mp3", "A - B - 02 - Two.mp3"}));
        EXPECT_TRUE(UnfinishedRunIn(a.journals, now));

        bool found = false;
        const TUndoReport r = UndoLastRun(a.journals, now, false, found);
        EXPECT_TRUE(found);
        EXPECT_EQ(r.MovedBack, 2);
        EXPECT_EQ(r.LeftAlone, 0);
        EXPECT_EQ(r.Folder, a.folder);
        EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3"}));
        EXPECT_FALSE(fs::exists(renamed));
        EXPECT_TRUE(listFiles(a.journals).empty()); // both names of the record are gone
    }
}

// An undo killed half-way: the record says so, a new run is refused, and a second undo completes it.
TEST(RenameJournal, AKilledUndoIsCompletedByTheNext)
{
    Album a({{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}, {"3.mp3", "03", "Three"}});
    TRenameOptions o;
    o.RenameFolder = true;
    o.CreatePlaylist = true;
    TRenameRun run(a.folder, a.rows, kAlbum, o);
    run.setJournalDirectory(a.journals);
    run.run();
    const std::string renamed = a.parent + "A [1999] - B/";
    ASSERT_EQ(run.folderToSelect(), renamed);

    // Killed before it records its second step back: the folder and two files are back by then.
    ASSERT_TRUE(killedInChild([&] {
        TFaultOnWrite killer("undone", 1);
        bool found = false;
        UndoLastRun(a.journals, renamed, false, found, killer);
    }));
    EXPECT_EQ(listFiles(a.folder), (Lines{"2.mp3", "3.mp3", "A - B - 01 - One.mp3"}));
    EXPECT_TRUE(UnfinishedRunIn(a.journals, a.folder));
    TRenameRun again(a.folder, {{"1.mp3", "01", "One"}}, kAlbum, {});
    again.setJournalDirectory(a.journals);
    again.run();
    EXPECT_EQ(again.report().Refused, UnfinishedRunText);
    EXPECT_EQ(listFiles(a.folder).size(), 3u);

    bool found = false;
    const TUndoReport r = UndoLastRun(a.journals, a.folder, false, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(r.Lines, (Lines{"\"A - B - 01 - One.mp3\" -> \"1.mp3\""}));
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.mp3"}));
    EXPECT_FALSE(UnfinishedRunIn(a.journals, a.folder));
}

// Undo moves back what the run moved and nothing else: a row that failed because its new name was
// taken by an entry of the folder neither moves nor mentions that entry, at any size.
TEST(RenameJournal, UndoMovesBackOnlyWhatTheRunMoved)
{
    for (const int rows : {3, 300}) {
        SCOPED_TRACE(rows);
        std::vector<TRenameRow> list;
        for (int i = 1; i <= rows; ++i) list.push_back({std::to_string(i) + ".mp3", std::to_string(i), "T"});
        Album a(list);
        // Every new name but those of the first, the middle and the last row is taken already.
        std::vector<std::string> blockers;
        for (int i = 2; i < rows; ++i)
            if (i != rows / 2 + 1) blockers.push_back("A - B - " + std::to_string(i) + " - T.mp3");
        for (const std::string& b : blockers) writeText(a.folder + b, "not the run's");
        TRenameRun run(a.folder, a.rows, kAlbum, {});
        run.setJournalDirectory(a.journals);
        run.run();
        ASSERT_EQ(run.report().movedCount(), 3);

        bool found = false;
        const TUndoReport r = UndoLastRun(a.journals, a.folder, false, found);
        EXPECT_EQ(r.MovedBack, 3);
        EXPECT_EQ(r.LeftAlone, 0);
        EXPECT_EQ(r.Lines.size(), 3u);
        for (const std::string& b : blockers) EXPECT_EQ(readText(a.folder + b), "not the run's");
        EXPECT_EQ(listFiles(a.folder).size(), size_t(rows) + blockers.size());
        EXPECT_TRUE(fs::exists(a.folder + "1.mp3"));
    }
}

// No journal, no run: a state folder that cannot be made, or a full disk, refuse the run before any
// move; a journal that fails later stops the run, and undo puts back what it moved.
TEST(RenameJournal, NoJournalNoRun)
{
    struct Case {
        const char* what;
        int64_t diskFullAfter; // bytes the journal may write; -1: no limit
        bool stateIsAFile;
        const char* failAt;    // the journal line whose write fails, or null
    } cases[] = {{"state folder not creatable", -1, true, nullptr},
                 {"disk full", 0, false, nullptr},
                 {"disk full during the run", -1, false, "move 1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Album a({{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}, {"3.mp3", "03", "Three"}});
        if (c.stateIsAFile) writeText(a.parent + "blocker", "a file where the folder would be");
        const std::string journals = c.stateIsAFile ? a.parent + "blocker/state" : a.journals;
        test::TFaultyFiles full = test::TFaultyFiles::diskFullAfter(c.diskFullAfter);
        TFaultOnWrite failing(c.failAt ? c.failAt : "", 0, ENOSPC);
        TFileSystem& files = c.failAt ? static_cast<TFileSystem&>(failing) : full;
        TRenameOptions o;
        o.RenameFolder = true;
        TRenameRun run(a.folder, a.rows, kAlbum, o);
        run.setJournalDirectory(journals);
        run.setFileSystem(files);
        const Lines lines = (run.run(), run.logLines());
        ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
        EXPECT_TRUE(run.report().anyFailure());
        if (!c.failAt) {
            EXPECT_EQ(lines[0], run.report().Refused);
            EXPECT_EQ(lines[0].rfind("Undo journal error: \"", 0), 0u);
            EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.mp3"}));
            continue;
        }
        EXPECT_EQ(lines[0], JournalStoppedLine(run.report().Stopped));
        EXPECT_EQ(run.folderToSelect(), a.folder); // the folder is not renamed after a stop
        bool found = false;
        UndoLastRun(a.journals, a.folder, false, found);
        EXPECT_TRUE(found);
        EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.mp3"}));
    }
}

// A run removes the temporary files of journal writers that died (never one still being written) and
// the old records beyond the last 50 runs and 30 days, keeping those of unfinished runs.
TEST(RenameJournal, StaleTemporaryFilesAndOldRecordsGo)
{
    Album a({{"1.mp3", "01", "One"}});
    fs::create_directories(a.journals);
    const std::string dir = a.journals + "/";
    writeText(dir + ".rename-1.json.cantorix-Ab12Cd", "left by a writer that was killed");
    writeText(dir + ".rename-2.journal.cantorix-Ef34Gh", "being written");
    const int held = ::open((dir + ".rename-2.journal.cantorix-Ef34Gh").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    const time_t now = ::time(nullptr);
    auto record = [&](int k, bool finished, time_t modified) {
        TRenameJournalData d;
        d.Folder = "/nowhere/album-" + std::to_string(k) + "/";
        d.Finished = finished;
        const std::string path = dir + TRenameJournal::fileNameFor(d.Folder);
        writeText(path, JournalText(d));
        const struct timespec times[2] = {{modified, 0}, {modified, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    };
    const time_t old = now - 40 * 86400;
    for (int k = 0; k < 60; ++k) record(k, true, old - k);       // finished, 40 days old
    for (int k = 60; k < 62; ++k) record(k, false, old - 1000);  // unfinished, the oldest
    for (int k = 62; k < 65; ++k) record(k, true, now - 86400);  // a day old

    TRenameRun run(a.folder, a.rows, kAlbum, {});
    run.setJournalDirectory(a.journals);
    run.run();
    ::close(held);
    const Lines left = listFiles(a.journals);
    EXPECT_EQ(std::count(left.begin(), left.end(), ".rename-1.json.cantorix-Ab12Cd"), 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), ".rename-2.journal.cantorix-Ef34Gh"), 1);
    // The run's own, the 3 recent ones and the 46 newest of the old ones make 50; the 14 older
    // finished ones go, the 2 unfinished ones stay.
    EXPECT_EQ(left.size(), 1u + 50u + 2u);
    for (int k = 46; k < 60; ++k)
        EXPECT_EQ(std::count(left.begin(), left.end(), TRenameJournal::fileNameFor("/nowhere/album-" + std::to_string(k) + "/")), 0) << k;
    for (int k = 60; k < 62; ++k)
        EXPECT_EQ(std::count(left.begin(), left.end(), TRenameJournal::fileNameFor("/nowhere/album-" + std::to_string(k) + "/")), 1) << k;
}

// The cover a run saves is recorded with its digest before it is written; undo removes it only while
// it is unchanged, and gives a folder.jpg that the user let it replace its name back.
TEST(RenameJournal, TheCoverIsSavedRecordedAndUndone)
{
    const QByteArray image = QByteArray("\xFF\xD8\xFF\xE0" "cover", 9);
    struct Case {
        const char* what;
        const char* there;   // the folder.jpg there before the run; nullptr: none
        bool replace;
        bool changeAfter;    // the user changes the saved cover before undo
        TRenameReport::TStep step;
        Lines afterRun;      // the folder's files after the run (the album's renamed file first)
        Lines afterUndo;
    } cases[] = {
        {"a new cover", nullptr, false, false, TRenameReport::TStep::Done, {"A - B - 01 - One.mp3", "folder.jpg"}, {"1.mp3"}},
        {"the user's cover stays", "mine", false, false, TRenameReport::TStep::Kept,
         {"A - B - 01 - One.mp3", "folder.jpg"}, {"1.mp3", "folder.jpg"}},
        {"replaced with the user's yes", "mine", true, false, TRenameReport::TStep::Done,
         {"A - B - 01 - One.mp3", "folder.jpg", "folder.previous.jpg"}, {"1.mp3", "folder.jpg"}},
        {"changed since: undo leaves both", "mine", true, true, TRenameReport::TStep::Done,
         {"A - B - 01 - One.mp3", "folder.jpg", "folder.previous.jpg"}, {"1.mp3", "folder.jpg", "folder.previous.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Album a({{"1.mp3", "01", "One"}});
        if (c.there) writeText(a.folder + "folder.jpg", c.there);
        TRenameOptions o;
        o.RenameFolder = true;
        o.ReplaceCover = c.replace;
        TRenameRun run(a.folder, a.rows, kAlbum, o);
        run.setJournalDirectory(a.journals);
        run.setCover(image);
        run.run();
        const std::string renamed = a.parent + "A [1999] - B/";
        EXPECT_EQ(run.report().Cover, c.step);
        EXPECT_FALSE(run.report().anyFailure());
        EXPECT_EQ(listFiles(renamed), c.afterRun);
        if (c.step == TRenameReport::TStep::Done) {
            EXPECT_EQ(readText(renamed + "folder.jpg"), image.toStdString());
        }
        if (c.changeAfter) writeText(renamed + "folder.jpg", "edited");

        bool found = false;
        const TUndoReport r = UndoLastRun(a.journals, renamed, false, found);
        EXPECT_TRUE(found);
        EXPECT_EQ(listFiles(a.folder), c.afterUndo);
        if (c.there && !c.changeAfter) {
            EXPECT_EQ(readText(a.folder + "folder.jpg"), c.there);
        }
        EXPECT_EQ(r.LeftAlone, c.changeAfter ? 2 : 0);
    }
}

// A file that already bears the playlist's name (a ripper's own playlist) is never lost: it moves aside
// and undo gives it its name back; when the aside name is taken as well, both stay as they are.
TEST(RenameJournal, APlaylistInTheWayMovesAsideAndComesBack)
{
    struct Case {
        const char* what;
        bool asideTaken;
        TRenameReport::TStep step;
        Lines afterRun;
    } cases[] = {
        {"moved aside", false, TRenameReport::TStep::Done, {"A - B - 01 - One.mp3", "A - B.m3u", "A - B.previous.m3u"}},
        {"nowhere to go: kept", true, TRenameReport::TStep::Kept,
         {"A - B - 01 - One.mp3", "A - B.m3u", "A - B.previous.m3u"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Album a({{"1.mp3", "01", "One"}});
        writeText(a.folder + "A - B.m3u", "01 - Track.mp3\r\n");
        if (c.asideTaken) writeText(a.folder + "A - B.previous.m3u", "older");
        TRenameOptions o;
        o.CreatePlaylist = true;
        TRenameRun run(a.folder, a.rows, kAlbum, o);
        run.setJournalDirectory(a.journals);
        run.run();
        EXPECT_EQ(run.report().Playlist, c.step);
        EXPECT_FALSE(run.report().anyFailure());
        EXPECT_EQ(listFiles(a.folder), c.afterRun);
        if (c.step == TRenameReport::TStep::Done) {
            EXPECT_EQ(readText(a.folder + "A - B.m3u"), "A - B - 01 - One.mp3\r\n");
            EXPECT_EQ(readText(a.folder + "A - B.previous.m3u"), "01 - Track.mp3\r\n");
        }

        bool found = false;
        const TUndoReport r = UndoLastRun(a.journals, a.folder, false, found);
        EXPECT_TRUE(found);
        EXPECT_EQ(r.LeftAlone, 0);
        EXPECT_EQ(readText(a.folder + "A - B.m3u"), "01 - Track.mp3\r\n");
        EXPECT_EQ(listFiles(a.folder), c.asideTaken ? (Lines{"1.mp3", "A - B.m3u", "A - B.previous.m3u"})
                                                    : (Lines{"1.mp3", "A - B.m3u"}));
    }
}

// A batch run again skips an album whose last run finished and whose files bear their new names.
TEST(RenameJournal, AFinishedRunStandsUntilItsNamesChange)
{
    Album a({{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}, {"x.mp3", "", ""}});
    EXPECT_FALSE(FinishedRunStands(a.journals, a.folder));
    TRenameRun run(a.folder, a.rows, kAlbum, {});
    run.setJournalDirectory(a.journals);
    run.run();
    EXPECT_TRUE(FinishedRunStands(a.journals, a.folder));
    // A file renamed again by hand: the album is no longer as the run left it.
    fs::rename(a.folder + "A - B - 02 - Two.mp3", a.folder + "2.mp3");
    EXPECT_FALSE(FinishedRunStands(a.journals, a.folder));
    fs::rename(a.folder + "2.mp3", a.folder + "A - B - 02 - Two.mp3");
    // An undo that began, and a run that did not finish, never stand.
    TRenameJournalData data = a.journalFor(a.folder);
    data.UndoStarted = true;
    TRenameJournal rewritten(a.journals);
    rewritten.data() = data;
    ASSERT_TRUE(rewritten.save());
    EXPECT_FALSE(FinishedRunStands(a.journals, a.folder));
    data.UndoStarted = false;
    data.Finished = false;
    rewritten.data() = data;
    ASSERT_TRUE(rewritten.save());
    EXPECT_FALSE(FinishedRunStands(a.journals, a.folder));
}

} // namespace
} // namespace cantorix
