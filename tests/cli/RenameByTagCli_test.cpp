// cantorix-cli rename-by-tag on real tagged files: the printed proposals, a dry run that moves nothing,
// the run's lines and exit codes; and cantorix-cli info's File line.
#include "support/CliRunner.h"
#include "support/TaggedAudio.h"
#include "support/TestFiles.h"

#include <QString>

#include <gtest/gtest.h>

using namespace cantorix::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TEST(RenameByTagCli, DryRunThenRename)
{
    TempDir work, album;
    TTestTags first{"One_Song", "Band", "Record", "1999", "1"};
    TTestTags second{"Two", "Band", "Record", "1999", "2"};
    if (!makeTaggedFile(work, album.file("x1.mp3"), "mp3", first) ||
        !makeTaggedFile(work, album.file("x2.flac"), "flac", second) ||
        !makeTaggedFile(work, album.file("notags.ogg"), "ogg", {}))
        GTEST_SKIP() << "lame, flac or oggenc is not installed";
    // A file already bearing the second proposal's name: that move fails and is listed.
    writeText(album.file("Band - Record - 02 - Two.flac"), "in the way");
    const QString settings = q(work.file("Cantorix.ini"));

    CliResult dry = runCli({"rename-by-tag", q(album.str()), "--dry-run", "--settings", settings});
    EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    const QStringList proposals = {
        "\"Band - Record - 02 - Two.flac\" -> \"Band - Record - 02 - Two.flac\" (unchanged)",
        "\"notags.ogg\" -> \"notags.ogg\" (unchanged)",
        "\"x1.mp3\" -> \"Band - Record - 01 - One Song.mp3\"",
        "\"x2.flac\" -> \"Band - Record - 02 - Two.flac\" (would collide with \"Band - Record - 02 - Two.flac\")",
    };
    EXPECT_EQ(dry.outLines(), proposals);
    EXPECT_EQ(listFiles(album.str()).size(), 4u);

    CliResult kept = runCli({"rename-by-tag", q(album.str()), "--dry-run", "--keep-underscores", "--format",
                             "# track", "--settings", settings});
    EXPECT_TRUE(kept.outLines().contains("\"x1.mp3\" -> \"01 One_Song.mp3\"")) << kept.out.toStdString();

    CliResult real = runCli({"rename-by-tag", q(album.str()), "--settings", settings});
    EXPECT_EQ(real.exitCode, 1);
    const QStringList runLines = proposals + QStringList{"Rename error: \"x2.flac\" (File exists)",
                                                         "Finished tag-to-filename renaming. Refreshing folder..."};
    EXPECT_EQ(real.outLines(), runLines);
    EXPECT_TRUE(real.err.contains("1 files renamed, 1 failed")) << real.err.toStdString();
    EXPECT_EQ(listFiles(album.str()), (std::vector<std::string>{"Band - Record - 01 - One Song.mp3",
                                                                "Band - Record - 02 - Two.flac", "notags.ogg", "x2.flac"}));
    EXPECT_EQ(readText(album.file("Band - Record - 02 - Two.flac")), "in the way");

    EXPECT_EQ(runCli({"rename-by-tag", "--settings", settings}).exitCode, 2);
    EXPECT_EQ(runCli({"rename-by-tag", q(album.file("none")), "--settings", settings}).exitCode, 1);
}

// A track text "3/12" gives "03"; a file without a number is listed with a mark before anything moves.
TEST(RenameByTagCli, DryRunMarksProposalsWithoutANumber)
{
    TempDir work, album;
    if (!makeTaggedFile(work, album.file("a.mp3"), "mp3", {"One", "Band", "Record", "1999", "3/12"}) ||
        !makeTaggedFile(work, album.file("b.mp3"), "mp3", {"Two", "Band", "Record", "1999", ""}))
        GTEST_SKIP() << "lame is not installed";
    CliResult dry = runCli({"rename-by-tag", q(album.str()), "--dry-run", "--settings", q(work.file("Cantorix.ini"))});
    EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    ASSERT_EQ(dry.outLines().size(), 2) << dry.out.toStdString();
    EXPECT_EQ(dry.outLines()[0], "\"a.mp3\" -> \"Band - Record - 03 - One.mp3\"");
    EXPECT_TRUE(dry.outLines()[1].endsWith(" (no track number)")) << dry.out.toStdString();
}

TEST(RenameByTagCli, InfoNamesTheFile)
{
    TempDir work;
    writeText(work.file("notes.txt"), "hello");
    CliResult r = runCli({"info", q(work.file("notes.txt"))});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("File: notes.txt\nSize: 5.0B\n")) << r.out.toStdString();
}
