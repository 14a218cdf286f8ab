// The command line itself: --help and --version for the program and for a command, "--" before a folder
// that looks like an option, and wrong use told with the command's usage (exit 2).
#include "support/CliRunner.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using cantorix::test::runCli;
using cantorix::test::TempDir;

TEST(CliUsage, HelpVersionAndWrongUse)
{
    TempDir dir;
    // Folders named like options, each with one file.
    for (const char* name : {"-x", "--foo"}) {
        std::filesystem::create_directory(dir.file(name));
        cantorix::test::writeText(dir.file(name) + "/a.mp3", "");
    }
    const QString folder = QString::fromStdString(dir.file("-x"));
    const QString settings = QString::fromStdString(dir.file("none.ini"));
    const QString version = QString("cantorix-cli %1\n").arg(CANTORIX_VERSION);
    struct Case {
        QStringList args;
        int exitCode;
        QString outStart, errStart;
        QString mentioned = {}; // somewhere in what it printed
    } cases[] = {
        {{"--version"}, 0, version, ""},
        {{"-v"}, 0, version, ""},
        {{"rename", "--version"}, 0, version, ""},
        {{"--help"}, 0, "usage: cantorix-cli COMMAND [ARGS] [--settings FILE]\n\ncommands:\n  scan DIR ", "",
            "\n  -v, --version "},
        {{"-h"}, 0, "usage: cantorix-cli COMMAND", "", "\n  undo DIR "},
        {{"rename", "--help"}, 0, "usage:\n  rename DIR (--entry FILE", "", "\n  --jobs N "},
        {{"undo", "-h"}, 0, "usage:\n  undo DIR", "", "\n  --recursive "},
        // "--" ends the options: what follows is a folder whatever it looks like.
        {{"scan", "--", "--settings"}, 1, "", "cantorix-cli: no such folder: \"--settings\""},
        {{"--settings", settings, "scan", "--", "-x"}, 0, "a.mp3\t00:00\t0\n", "1 audio file found in", "/-x/\""},
        {{"scan", "--settings", settings, "--", "--foo"}, 0, "a.mp3\t00:00\t0\n", "1 audio file found in", "/--foo/\""},
        {{"--bogus"}, 2, "", "cantorix-cli: unknown option --bogus\nusage: cantorix-cli COMMAND"},
        {{"scan", "-x"}, 2, "", "cantorix-cli: unknown option -x\nusage:\n  scan DIR "},
        {{"rename", folder, "--entry", "e", "--bogus"}, 2, "",
            "cantorix-cli: unknown option --bogus\nusage:\n  rename DIR"},
        {{"lookup", folder, "--match"}, 2, "", "cantorix-cli: --match needs a value\nusage:\n  lookup DIR"},
        {{"undo", folder, "--dry-run=yes"}, 2, "", "cantorix-cli: --dry-run takes no value\nusage:\n  undo DIR"},
        {{"rename-by-tag", folder, "--format", "a", "--format", "b"}, 2, "",
            "cantorix-cli: --format is given more than once\nusage:\n  rename-by-tag DIR"},
        {{"--settings", settings, "scan", folder, "--settings", settings}, 2, "",
            "cantorix-cli: --settings is given more than once"},
        // A command's own refusal comes with that command's usage too.
        {{"rename", folder, "--entry", "e", "--jobs", "2"}, 2, "",
            "cantorix-cli: --jobs belongs to --recursive\nusage:\n  rename DIR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto r = runCli(c.args, 30000, {}, QString::fromStdString(dir.str()));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(c.outStart.isEmpty() ? r.out.isEmpty() : r.out.startsWith(c.outStart)) << r.out.toStdString();
        EXPECT_TRUE(c.errStart.isEmpty() ? r.err.isEmpty() : r.err.startsWith(c.errStart)) << r.err.toStdString();
        EXPECT_TRUE((r.out + r.err).contains(c.mentioned)) << c.mentioned.toStdString();
        // Wrong use of a command shows that command's usage, not every command's.
        if (c.exitCode == 2 && c.args.value(0) != "--bogus") {
            EXPECT_FALSE(r.err.contains("\n  info FILE "));
        }
    }
}
