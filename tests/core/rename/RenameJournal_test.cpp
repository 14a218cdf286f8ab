#include "core/rename/RenameJournal.h"

#include "core/rename/RenameRun.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(RenameJournal, AHostileJournalIsNotFollowed)
{
    TempDir tmp;
    const std::string dir = tmp.str() + "/state/";
    fs::create_directories(dir);
    // A move out of the folder, a relative folder and junk are all passed over.
    writeText(dir + "rename-1.json",
              R"({"version":1,"folder":"/tmp/x/","moves":[{"from":"..%2Fescape","to":"a","done":true}]})");
    writeText(dir + "rename-2.json", R"({"version":1,"folder":"relative/","moves":[]})");
    writeText(dir + "rename-3.json", "not json at all");
    TRenameJournalData data;
    std::string path;
    EXPECT_FALSE(TRenameJournal::findFor(dir, "/tmp/x/", data, path));
    EXPECT_FALSE(TRenameJournal::findFor(dir, "relative/", data, path));
}

} // namespace
} // namespace cantorix
