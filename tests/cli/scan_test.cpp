#include "support/CliRunner.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

using cantorix::test::runCli;
using cantorix::test::TempDir;

TEST(CliScan, PrintsOneLinePerListedFileInGridOrder)
{
    TempDir album;
    for (const char* name : {"b.ogg", "A.mp3", "x.mka", "readme.txt"}) cantorix::test::writeText(album.file(name), "");
    TempDir conf;
    cantorix::test::writeText(conf.file("c.ini"), "[Main]\nAdditionalTypes=.mka\n");

    auto plain = runCli({"scan", QString::fromStdString(album.str()), "--settings", QString::fromStdString(conf.file("none.ini"))});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.outLines(), (QStringList{"A.mp3\t00:00\t0", "b.ogg\t00:00\t0"}));
    EXPECT_EQ(plain.errLines(), QStringList{QString("2 audio files found in \"%1/\"").arg(QString::fromStdString(album.str()))});

    auto more = runCli({"scan", "--settings", QString::fromStdString(conf.file("c.ini")), QString::fromStdString(album.str())});
    EXPECT_EQ(more.outLines(), (QStringList{"A.mp3\t00:00\t0", "b.ogg\t00:00\t0", "x.mka\t00:00\t0"}));
}

TEST(CliScan, ReportsBadArgumentsAndMissingFolders)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* errStart;
    } cases[] = {
        {{}, 2, "usage:"},
        {{"scan"}, 2, "cantorix-cli: wrong number of arguments"},
        {{"scan", "a", "b"}, 2, "cantorix-cli: wrong number of arguments"},
        {{"scan", "/tmp", "--bogus"}, 2, "cantorix-cli: unknown option --bogus"},
        {{"scan", "/tmp", "--settings"}, 2, "cantorix-cli: --settings needs a value"},
        {{"frobnicate"}, 2, "cantorix-cli: unknown command frobnicate"},
        {{"scan", "/no/such/folder"}, 1, "cantorix-cli: no such folder: \"/no/such/folder\""},
    };
    for (const Case& c : cases) {
        auto r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(c.errStart)) << r.err.toStdString();
    }
}

TEST(CliScan, AMissingMediaInformationLibraryCostsOnlyThoseFilesTheirPlayingTime)
{
    TempDir album;
    // MP4 files are timed from their own boxes; only one whose boxes hold no time (a fragmented file,
    // as ffmpeg writes for streaming) goes to the library. ffmpeg makes four-second ones.
    const std::string m4a = album.file("a.m4a");
    const std::string fragmented = album.file("f.m4a");
    const std::string tone = "ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=4 -c:a aac ";
    if (std::system((tone + "'" + m4a + "'").c_str()) != 0 ||
        std::system((tone + "-movflags frag_keyframe+empty_moov '" + fragmented + "'").c_str()) != 0)
        GTEST_SKIP() << "ffmpeg is missing";
    cantorix::test::writeText(album.file("b.mp3"), "");
    const QString folder = QString::fromStdString(album.str());
    const QString settings = QString::fromStdString(album.file("none.ini"));
    const QString found = QString("3 audio files found in \"%1/\"").arg(folder);

    auto withLibrary = runCli({"scan", folder, "--settings", settings});
    EXPECT_EQ(withLibrary.exitCode, 0);
    EXPECT_EQ(withLibrary.outLines(), (QStringList{"a.m4a\t00:04\t4", "b.mp3\t00:00\t0", "f.m4a\t00:04\t4"}));
    EXPECT_EQ(withLibrary.errLines(), QStringList{found});

    auto without = runCli({"scan", folder, "--settings", settings}, 30000,
                          {"CANTORIX_MEDIAINFO_LIBRARY=/nonexistent/libmediainfo.so.0"});
    EXPECT_EQ(without.exitCode, 0);
    EXPECT_EQ(without.outLines(), (QStringList{"a.m4a\t00:04\t4", "b.mp3\t00:00\t0", "f.m4a\t00:00\t0"}));
    EXPECT_EQ(without.errLines(),
              (QStringList{found, "Media information library not available: /nonexistent/libmediainfo.so.0: "
                                  "cannot open shared object file: No such file or directory"}));
}
