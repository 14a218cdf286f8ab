#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "support/SettingsFile.h"
#include "support/TestFiles.h"

#include <QFile>
#include <filesystem>
#include <sys/stat.h>
#include <cerrno>
#include <gtest/gtest.h>

using namespace cantorix;
using cantorix::test::settingsFile;
using cantorix::test::TempDir;


TEST(Settings, IntegerParsing)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"42", true, 42},       {"-7", true, -7},        {"+5", true, 5},          {"0x1F", true, 31},
        {"0X1f", true, 31},     {"$10", true, 16},       {"$FFFFFFFF", true, -1},  {"", false, 0},
        {"12abc", false, 0},    {"0x", false, 0},        {"$", false, 0},          {"1.5", false, 0},
        {"99999999999", false, 0}, {"abc", false, 0},    {" 8 ", true, 8},         {"0xG1", false, 0},
    };
    for (const Case& c : cases) {
        int v = 0;
        EXPECT_EQ(TSettings::parseInteger(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(Settings, ReadsWithCaseInsensitiveNamesAndDefaults)
{
    TempDir dir;
    TSettings s = settingsFile(dir, "[main]\r\nTREEWIDTH=300\r\nHideData=2\r\nDblClickInfo=0\r\nTimeout=abc\r\n"
                            "Startfolder=/music/a=b\r\n[Columns]\n0=$20\n");
    EXPECT_EQ(s.readInteger("Main", "TreeWidth", 210), 300);
    EXPECT_TRUE(s.readBool("MAIN", "hidedata", false)); // any integer other than 0 is on
    EXPECT_FALSE(s.readBool("Main", "DblClickInfo", true));
    EXPECT_EQ(s.readInteger("Main", "Timeout", 30), 30); // invalid counts as missing
    EXPECT_EQ(s.readString("Main", "Startfolder", ""), "/music/a=b");
    EXPECT_EQ(s.readInteger("Columns", "0", 300), 32);
    EXPECT_EQ(s.readInteger("Columns", "1", 80), 80);
    EXPECT_EQ(s.readString("Nowhere", "x", "def"), "def");
    EXPECT_TRUE(s.readBool("Main", "FixUnderScores", true));
}

TEST(Settings, ANumberOutsideItsKeysRangeReadsAsTheNearestEnd)
{
    for (auto [stored, read] : {std::pair{"30", 30}, {"0", 1}, {"-5", 1}, {"99999999", 86400}, {"abc", 30}}) {
        TempDir dir;
        TSettings s = settingsFile(dir, std::string("[Connection]\nTimeout=") + stored + "\n");
        EXPECT_EQ(s.get(setting::Timeout), read) << stored;
    }
}

TEST(Settings, WritesInOrderOfFirstWritingWithOneEmptyLineAfterEachSection)
{
    TempDir dir;
    TSettings s = settingsFile(dir, "[Main]\nB=1\nA=2\n");
    s.writeString("Window", "Left", "5");
    s.writeInteger("main", "a", 3); // keeps its place and its first spelling
    s.writeBool("Main", "C", true);
    s.writeString("NameFormats", "artist - album - # - track", "");
    EXPECT_EQ(s.toText().toStdString(),
              "[Main]\nB=1\nA=3\nC=1\n\n[Window]\nLeft=5\n\n[NameFormats]\nartist - album - # - track=\n\n");
    EXPECT_EQ(s.readSection("nameformats"), QStringList{"artist - album - # - track"});

    s.eraseSection("WINDOW");
    EXPECT_TRUE(s.readSection("Window").isEmpty());
    ASSERT_TRUE(s.updateFile());
    EXPECT_EQ(cantorix::test::readText(dir.file("Cantorix.ini")),
              "[Main]\nB=1\nA=3\nC=1\n\n[NameFormats]\nartist - album - # - track=\n\n");
}

TEST(Settings, MissingCorruptOrBinaryFilesGiveDefaults)
{
    TempDir dir;
    TSettings missing(QString::fromStdString(dir.file("none.ini")));
    EXPECT_EQ(missing.readInteger("Window", "Width", 800), 800);

    const char raw[] = "\x00\xff\n[Main\nTreeWidth=250\n=novalue\nno equals sign\n\xfe\xfe=1\n[]\nx=1\n";
    std::string garbage(raw, sizeof raw - 1);
    TSettings corrupt = settingsFile(dir, garbage);
    EXPECT_EQ(corrupt.readInteger("Main", "TreeWidth", 210), 250); // the section still parses
    EXPECT_EQ(corrupt.readString("Main", "no equals sign", "d"), "d");
}

// A FIFO, a device or a folder in the settings file's place is never waited on and never read; the
// programs refuse it.
TEST(Settings, AFileThatIsNoRegularFileIsNeitherReadNorAccepted)
{
    TempDir dir;
    const QString fifo = QString::fromStdString(dir.file("fifo.ini"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.ini").c_str(), 0644), 0);
    const struct {
        QString path;
        bool accepted;
    } cases[] = {{fifo, false}, {"/dev/zero", false}, {QString::fromStdString(dir.str()), false},
                 {QString::fromStdString(dir.file("none.ini")), true}};
    for (const auto& c : cases) {
        TSettings s(c.path); // returns at once
        EXPECT_EQ(s.readInteger("Window", "Width", 800), 800);
        EXPECT_EQ(bool(TSettings::checkFile(c.path)), c.accepted) << c.path.toStdString();
    }
}

TEST(Settings, ValuesWithLineBreaksCannotSplitTheFile)
{
    TempDir dir;
    TSettings s = settingsFile(dir, "");
    s.writeString("Proxy", "Password", "a\nInjected=1");
    EXPECT_EQ(s.toText().toStdString(), "[Proxy]\nPassword=a Injected=1\n\n");
}

TEST(Settings, UnwritableFileReportsTheReason)
{
    TSettings s("/nonexistent-folder/Cantorix.ini");
    s.writeInteger("Main", "TreeWidth", 1);
    IoResult r = s.updateFile();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "No such file or directory");
    EXPECT_EQ(r.code, ENOENT);
}

TEST(Settings, TypedKeysReadTheirDefaultAndWriteTheirPlace)
{
    TempDir dir;
    TSettings s = settingsFile(dir, "[main]\ntreewidth=abc\nHideData=1\n[Connection]\nServer=freedb.example\n");
    EXPECT_EQ(s.get(setting::TreeWidth), 210); // invalid: the key's default
    EXPECT_TRUE(s.get(setting::HideData));
    EXPECT_TRUE(s.get(setting::FixUnderScores));
    EXPECT_EQ(s.get(setting::Server), "freedb.example");
    EXPECT_EQ(s.get(setting::NameFormat), "artist - album - # - track");
    EXPECT_EQ(s.get(setting::ColumnWidths[3]), 110);
    EXPECT_TRUE(s.has(setting::TreeWidth));
    EXPECT_FALSE(s.has(setting::NameFormat));

    s.set(setting::TreeWidth, 260);
    s.set(setting::Maximized, true);
    s.set(setting::NameFormat, "# - track");
    s.set(setting::ColumnWidths[0], 10);
    EXPECT_EQ(s.toText().toStdString(), "[main]\ntreewidth=260\nHideData=1\nNameFormat=# - track\n\n"
                                        "[Connection]\nServer=freedb.example\n\n"
                                        "[Window]\nMaximized=1\n\n[Columns]\n0=10\n\n");
}

TEST(Settings, AFileHoldingAProxyPasswordIsReadableByItsOwnerOnly)
{
    TempDir dir;
    const std::string path = dir.file("Cantorix.ini");
    auto mode = [&] {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return st.st_mode & 07777;
    };
    TSettings s(QString::fromStdString(path));
    s.set(setting::TreeWidth, 200);
    ASSERT_TRUE(s.updateFile());
    EXPECT_EQ(mode(), 0644u);
    s.set(setting::ProxyPassword, "secret");
    ASSERT_TRUE(s.updateFile());
    EXPECT_EQ(mode(), 0600u);
    // Written through a temporary file: nothing else is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
    // A new file with a password never exists with wider permissions.
    TSettings fresh(QString::fromStdString(dir.file("new.ini")));
    fresh.set(setting::ProxyPassword, "secret");
    ASSERT_TRUE(fresh.updateFile());
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("new.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(Settings, DeleteKey)
{
    TempDir dir;
    TSettings s = settingsFile(dir, "[NameFormats]\na=\nB=\n");
    EXPECT_TRUE(s.deleteKey("nameformats", "b"));
    EXPECT_FALSE(s.deleteKey("NameFormats", "b"));
    EXPECT_FALSE(s.deleteKey("Other", "a"));
    EXPECT_EQ(s.toText().toStdString(), "[NameFormats]\na=\n\n");
}
