// cantorix-cli info: the file information lines of an MPEG file, in UTF-8, and the exit codes.
#include "audio/MpegFixtures.h"
#include "audio/TextCodec.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace cantorix;
using namespace cantorix::test;

namespace {

struct CliRun {
    int code;
    QString out, err;
};

// $CANTORIX_CLI, or the program at the top of the build folder (the test runs from build/tests/).
QString cliPath()
{
    const char* env = std::getenv("CANTORIX_CLI");
    if (env && *env) return QString::fromLocal8Bit(env);
    return QCoreApplication::applicationDirPath() + "/../cantorix-cli";
}

CliRun runCli(const QStringList& args)
{
    QProcess p;
    p.start(cliPath(), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

Bytes utf16Text(const std::string& utf8)
{
    Bytes b{1, 0xFF, 0xFE};
    append(b, utf8ToUtf16(utf8, Utf16Order::LittleEndian));
    return b;
}

} // namespace

TEST(CmdInfo, ShowsTheValuesOfAnMpegFile)
{
    TempDir dir;
    Bytes f = id3Tag(3, {id3Frame(3, "TIT2", utf16Text("Ωmega – Café")), id3Frame(3, "TPE1", latin1Body("Bj\xF6rk")),
                         id3Frame(3, "TALB", utf16Text("日本")), id3Frame(3, "TYER", latin1Body("1997")),
                         id3Frame(3, "TCON", latin1Body("(52)")), id3Frame(3, "TRCK", latin1Body("02/10"))});
    append(f, frameRun(mpegHeader(Mpeg::V1, 3, 9, 0, false, 1), 417, 1000)); // 417000 bytes at 128 kbit/s
    append(f, id3v1Tag("ignored", "", "", "", "", 0, 0));
    std::string path = dir.file("Motörhead – song.mp3");
    writeFile(path, f);

    CliRun r = runCli({"info", QString::fromStdString(path)});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
              "File: Motörhead – song.mp3\n"
              "Size: 407.5KB\n" // 126 + 417000 + 128 bytes
              "Duration: 00:00:26\n"
              "SampleRate: 44.1\n"
              "Bitrate: 128\n"
              "Channels: Joint Stereo\n"
              "Artist: Björk\n"
              "Album: 日本\n"
              "Title: Ωmega – Café\n"
              "Year: 1997\n"
              "Genre: Electronic\n"
              "Track: 02/10\n"
              "Other: \n");
}

TEST(CmdInfo, Id3v1ValuesWithoutAnId3v2Tag)
{
    TempDir dir;
    Bytes f = frameRun(mpegHeader(Mpeg::V2, 3, 8, 0, false, 3), 208, 100);
    append(f, id3v1Tag("Caf\xE9", "Artist", "Album", "2001", "", 9, 17));
    writeFile(dir.file("a.MP2"), f);
    CliRun r = runCli({"info", QString::fromStdString(dir.file("a.MP2"))});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("Title: Café\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Track: 9\n"));
    EXPECT_TRUE(r.out.contains("Genre: Rock\n"));
    EXPECT_TRUE(r.out.contains("Channels: Mono\n"));
}

TEST(CmdInfo, ErrorsAndExitCodes)
{
    TempDir dir;
    CliRun missing = runCli({"info", QString::fromStdString(dir.file("none.mp3"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains("no such file")) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(runCli({"info", QString::fromStdString(dir.str())}).code, 1);
    EXPECT_EQ(runCli({"info"}).code, 2);
    EXPECT_EQ(runCli({"info", "a", "b"}).code, 2);
    EXPECT_EQ(runCli({"info", "--bogus", "a"}).code, 2);

    // A file that is not audio shows its size and nothing else.
    writeText(dir.file("notes.txt"), "hello");
    CliRun text = runCli({"info", QString::fromStdString(dir.file("notes.txt"))});
    EXPECT_EQ(text.code, 0);
    EXPECT_TRUE(text.out.startsWith("File: notes.txt\nSize: 5.0B\nDuration: \n")) << text.out.toStdString();
}
