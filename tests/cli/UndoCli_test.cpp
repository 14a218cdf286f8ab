// cantorix-cli and the undo journal: no journal, no run; entry and settings files that name nothing or
// would block; the track-number fix and rename by tag undone; undo of a run with collisions.
#include "support/CliRunner.h"
#include "support/TestFiles.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace cantorix::test;

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

QString q(const std::string& s) { return QString::fromStdString(s); }

// An album folder of three files and an entry with a title for the first two.
struct Album {
    TempDir tmp;
    std::string folder = tmp.file("rip") + "/";
    std::string entry = tmp.file("entry.txt");
    QString settings = q(tmp.file("Cantorix.ini"));
    Album()
    {
        fs::create_directory(folder);
        for (const char* n : {"1.mp3", "2.mp3", "3.mp3"}) writeText(folder + n, n);
        writeText(entry, "# xmcd\n#\nDISCID=12345678\nDTITLE=Band / Record\nTTITLE0=One\nTTITLE1=\nEXTD=\n");
    }
    CliResult cli(QStringList args, const QStringList& environment = {}) const
    {
        return runCli(args << "--settings" << settings, 30000, environment);
    }
};

TEST(UndoCli, NoJournalNoRun)
{
    Album a;
    writeText(a.tmp.file("state"), "a file where the state folder would be");
    const CliResult r = a.cli({"rename", q(a.folder), "--entry", q(a.entry)},
                              {"XDG_STATE_HOME=" + q(a.tmp.file("state"))});
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(r.outLines().size(), 1) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("Undo journal error: \"cannot create the folder")) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains("Renamed")) << r.err.toStdString();
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.mp3"}));
}

// An entry or settings file that is empty, endless, a FIFO or a folder is refused at once; nothing
// is renamed and no tag is touched.
TEST(UndoCli, EntriesAndSettingsThatNameNothingOrWouldBlock)
{
    Album a;
    writeText(a.tmp.file("empty.txt"), "");
    ASSERT_EQ(::mkfifo(a.tmp.file("fifo").c_str(), 0644), 0);
    struct Case {
        const char* what;
        QStringList args;
    } cases[] = {
        {"an empty entry", {"rename", q(a.folder), "--entry", q(a.tmp.file("empty.txt")), "--write-tags"}},
        {"an endless entry", {"rename", q(a.folder), "--entry", "/dev/zero", "--write-tags"}},
        {"a FIFO as the entry", {"rename", q(a.folder), "--entry", q(a.tmp.file("fifo"))}},
        {"a folder as the entry", {"rename", q(a.folder), "--entry", q(a.folder)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliResult r = a.cli(c.args);
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.errLines().size(), 2) << r.err.toStdString(); // the scan's line and the refusal
        EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.mp3"}));
    }
    const CliResult settings = runCli({"scan", q(a.folder), "--settings", q(a.tmp.file("fifo"))}, 10000);
    EXPECT_EQ(settings.exitCode, 1);
    EXPECT_TRUE(settings.err.contains("is not a regular file")) << settings.err.toStdString();
}

// A file with a number but an empty title under a format of titles alone would be hidden (".mp3"):
// it keeps its name, and a file beyond the entry's titles keeps its name too.
TEST(UndoCli, AnEmptyValueNeverGivesAHiddenName)
{
    Album a;
    const CliResult dry = a.cli({"rename", q(a.folder), "--entry", q(a.entry), "--format", "track", "--dry-run"});
    EXPECT_EQ(dry.outLines(), (QStringList{"\"1.mp3\" -> \"One.mp3\"",
                                           "\"2.mp3\" -> \"2.mp3\" (the format gives no name: keeps its name)",
                                           "\"3.mp3\" -> \"3.mp3\" (no title: keeps its name)"}));
    const CliResult r = a.cli({"rename", q(a.folder), "--entry", q(a.entry), "--format", "track"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("Rename error: \"2.mp3\" (Invalid argument)")) << r.out.toStdString();
    EXPECT_EQ(listFiles(a.folder), (Lines{"2.mp3", "3.mp3", "One.mp3"}));
}

// Undo reverses the last operation on the folder, whichever it was, and of a run only what it moved:
// a row whose new name was taken is neither moved back nor mentioned.
TEST(UndoCli, TheLastOperationIsUndoneAndOnlyWhatItMoved)
{
    Album a;
    writeText(a.folder + "Band - Record - 01 - One.mp3", "not the run's");
    writeText(a.entry, "# xmcd\n#\nDISCID=12345678\nDTITLE=Band / Record\nTTITLE0=One\nTTITLE1=Two\nTTITLE2=Three\n");
    const CliResult run = a.cli({"rename", q(a.folder), "--entry", q(a.entry)});
    EXPECT_EQ(run.exitCode, 1); // the first row's name is taken
    const CliResult undo = a.cli({"undo", q(a.folder)});
    EXPECT_EQ(undo.exitCode, 0) << undo.err.toStdString();
    EXPECT_EQ(undo.outLines(), (QStringList{"\"Band - Record - 03 - Three.mp3\" -> \"3.mp3\"",
                                            "\"Band - Record - 02 - Two.mp3\" -> \"2.mp3\"", "Undo finished"}));
    EXPECT_EQ(readText(a.folder + "Band - Record - 01 - One.mp3"), "not the run's");

    for (const char* n : {"1.mp3", "2.mp3", "3.mp3", "Band - Record - 01 - One.mp3"}) fs::remove(a.folder + n);
    for (const char* n : {"1 - a.mp3", "2 - b.mp3"}) writeText(a.folder + n, n);
    EXPECT_EQ(a.cli({"fix-numbers", q(a.folder)}).exitCode, 0);
    EXPECT_EQ(listFiles(a.folder), (Lines{"01 - a.mp3", "02 - b.mp3"}));
    EXPECT_EQ(a.cli({"rename-by-tag", q(a.folder)}).exitCode, 0); // untagged: nothing moves, the fix stays last
    const CliResult undoFix = a.cli({"undo", q(a.folder)});
    EXPECT_EQ(undoFix.exitCode, 0) << undoFix.out.toStdString();
    EXPECT_EQ(listFiles(a.folder), (Lines{"1 - a.mp3", "2 - b.mp3"}));
}

} // namespace
