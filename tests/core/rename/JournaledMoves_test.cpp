// Rename by tag, the track-number fix and the manual rename keep the folder's undo journal: undo
// reverses the last of them, and none of them replaces the record of a run that did not finish.
#include "core/rename/JournalUndo.h"
#include "core/rename/JournaledMoves.h"

#include "core/rename/RenameByTag.h"
#include "core/rename/RenameLines.h"
#include "core/rename/TrackNumberFix.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string_view>

namespace cantorix {
namespace {

namespace fs = std::filesystem;
using test::listFiles;
using test::readText;
using test::TempDir;
using test::writeText;
using Lines = std::vector<std::string>;

struct Folder {
    TempDir tmp;
    std::string dir = tmp.str() + "/album/";
    std::string journals = tmp.str() + "/state";
    Lines log;
    explicit Folder(const Lines& names)
    {
        fs::create_directory(dir);
        for (const std::string& n : names) writeText(dir + n, n);
    }
    std::function<void(const std::string&)> logger()
    {
        return [this](const std::string& l) { log.push_back(l); };
    }
    TUndoReport undo(bool* found = nullptr)
    {
        bool any = false;
        TUndoReport r = UndoLastRun(journals, dir, false, any);
        if (found) *found = any;
        return r;
    }
};

TEST(JournaledMoves, UndoReversesEachKindOfMove)
{
    struct Case {
        const char* what;
        std::function<void(Folder&)> act;
        Lines after;
    } cases[] = {
        {"track-number fix",
         [](Folder& f) { RunTrackNumberFix(f.dir, {"1 - a.mp3", "2 - b.mp3", "10 - c.mp3"}, f.logger(), f.journals); },
         {"01 - a.mp3", "02 - b.mp3", "10 - c.mp3"}},
        {"rename by tag",
         [](Folder& f) {
             RunRenameByTag(f.dir, {{"1 - a.mp3", "A - 01.mp3"}, {"2 - b.mp3", "../x"}, {"10 - c.mp3", "C.mp3"}},
                            f.logger(), f.journals);
         },
         {"2 - b.mp3", "A - 01.mp3", "C.mp3"}},
        {"manual rename",
         [](Folder& f) { ASSERT_TRUE(RenameFileJournaled(f.dir + "2 - b.mp3", "Mine.mp3", f.journals)); },
         {"1 - a.mp3", "10 - c.mp3", "Mine.mp3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f({"1 - a.mp3", "2 - b.mp3", "10 - c.mp3"});
        c.act(f);
        EXPECT_EQ(listFiles(f.dir), c.after);
        bool found = false;
        const TUndoReport r = f.undo(&found);
        EXPECT_TRUE(found);
        EXPECT_EQ(r.LeftAlone, 0);
        EXPECT_EQ(listFiles(f.dir), (Lines{"1 - a.mp3", "10 - c.mp3", "2 - b.mp3"}));
        EXPECT_EQ(readText(f.dir + "2 - b.mp3"), "2 - b.mp3");
    }
}

TEST(JournaledMoves, UndoReversesOnlyTheLastAndNothingReplacesAnUnfinishedRecord)
{
    Folder f({"1 - a.mp3", "2 - b.mp3"});
    RunTrackNumberFix(f.dir, {"1 - a.mp3", "2 - b.mp3"}, f.logger(), f.journals);
    ASSERT_TRUE(RenameFileJournaled(f.dir + "01 - a.mp3", "First.mp3", f.journals));
    EXPECT_EQ(f.undo().Lines, (Lines{"\"First.mp3\" -> \"01 - a.mp3\""}));
    EXPECT_EQ(listFiles(f.dir), (Lines{"01 - a.mp3", "02 - b.mp3"}));
    bool found = true;
    EXPECT_EQ(f.undo(&found).Lines, Lines{NothingToUndoLine});
    EXPECT_FALSE(found);

    // A record of a run that did not finish: nothing moves, and the refusal is the one line.
    TRenameJournal unfinished(f.journals);
    unfinished.data().Folder = f.dir;
    unfinished.data().Moves = {{"x.mp3", "y.mp3"}};
    ASSERT_TRUE(unfinished.save());
    f.log.clear();
    EXPECT_EQ(RunTrackNumberFix(f.dir, {"02 - b.mp3"}, f.logger(), f.journals), 0); // nothing to fix, nothing refused
    const IoResult manual = RenameFileJournaled(f.dir + "01 - a.mp3", "Other.mp3", f.journals);
    EXPECT_FALSE(manual);
    EXPECT_EQ(manual.error, UnfinishedRunText);
    writeText(f.dir + "Track 3.mp3", "t");
    EXPECT_EQ(RunTrackNumberFix(f.dir, {"Track 3.mp3"}, f.logger(), f.journals), 1);
    EXPECT_EQ(f.log, (Lines{FixStartLine, FixEndLine, FixStartLine, UnfinishedRunText, FixEndLine}));
    EXPECT_EQ(listFiles(f.dir), (Lines{"01 - a.mp3", "02 - b.mp3", "Track 3.mp3"}));
}

// A journal that fails after the first move stops the moves: every move not tried counts as failed,
// the one that would have been refused as invalid too, and undo puts back the one that was made.
TEST(JournaledMoves, AJournalThatFailsStopsTheMovesAndCountsTheRest)
{
    // Fails the write of the first "move" line with ENOSPC.
    struct TFailMoveLine : TFileSystem {
        int write(int fd, const void* data, size_t n, size_t& written) override
        {
            written = 0;
            if (std::string_view(static_cast<const char*>(data), n).find(" move 0\n") != std::string_view::npos)
                return ENOSPC;
            return TFileSystem::write(fd, data, n, written);
        }
    } failing;
    Folder f({"a.mp3", "b.mp3", "c.mp3"});
    const TMovesOutcome done = MoveFilesJournaled(
        f.dir, TJournalKind::RenameByTag, {{"a.mp3", "A.mp3"}, {"b.mp3", "B.mp3"}, {"c.mp3", "", false}}, f.logger(),
        f.journals, failing);
    EXPECT_EQ(done.Moved, 1);
    EXPECT_EQ(done.Failed, 2);
    ASSERT_EQ(f.log.size(), 1u) << ::testing::PrintToString(f.log);
    EXPECT_EQ(f.log[0], JournalStoppedLine(done.LastFailure.error));
    EXPECT_EQ(listFiles(f.dir), (Lines{"A.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(f.undo().MovedBack, 1);
    EXPECT_EQ(listFiles(f.dir), (Lines{"a.mp3", "b.mp3", "c.mp3"}));
}

} // namespace
} // namespace cantorix
