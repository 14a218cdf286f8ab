#include "core/FolderScan.h"
#include "support/TestFiles.h"

#include <QDir>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace cantorix;
using cantorix::test::TempDir;

TEST(FolderScan, SplitsCommaTextLikeTheSettingsList)
{
    struct Case {
        const char* text;
        QStringList items;
    } cases[] = {
        {"", {}},
        {".mka", {".mka"}},
        {".mka,.opus", {".mka", ".opus"}},
        {".mka, .opus", {".mka", ".opus"}},
        {".mka .opus\t.spx", {".mka", ".opus", ".spx"}},
        {".mka,", {".mka", ""}},
        {".mka,,.opus", {".mka", "", ".opus"}},
        {",.mka", {"", ".mka"}},
        {"\".a b\",.c", {".a b", ".c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"  .x  ", {".x"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
}

TEST(FolderScan, SupportedExtensionsAddToTheBuiltinListSortedWithoutDuplicates)
{
    QStringList plain = BuildSupportedExtensions("");
    EXPECT_EQ(plain.size(), 22);
    EXPECT_TRUE(std::is_sorted(plain.begin(), plain.end()));

    QStringList more = BuildSupportedExtensions(".mka,.mp3, .Opus,");
    EXPECT_EQ(more.size(), 25); // .MKA, .OPUS and the empty item; .MP3 is already there
    EXPECT_TRUE(more.contains(".MKA"));
    EXPECT_TRUE(more.contains(".OPUS"));
    EXPECT_TRUE(more.contains(""));
}

TEST(FolderScan, ListsSupportedFilesSortedWithoutRegardToCase)
{
    TempDir dir;
    for (const char* name : {"b.mp3", "A.MP3", "Song.Mp3", ".hidden.flac", "song.mp3.txt", "cover.jpg", "noext"})
        cantorix::test::writeText(dir.file(name), "");
    std::filesystem::create_directory(dir.path() / "sub.mp3");
    std::filesystem::create_symlink(dir.path() / "sub.mp3", dir.path() / "link.mp3");

    TScanResult r = ScanFolder(QString::fromStdString(dir.str()), BuildSupportedExtensions(""));
    ASSERT_TRUE(r.scanned);
    EXPECT_EQ(r.names, (QStringList{".hidden.flac", "A.MP3", "b.mp3", "Song.Mp3"}));
    EXPECT_EQ(r.lengths, QList<TTrackLength>(4)); // empty files have no playing time
    EXPECT_EQ(r.folder, QString::fromStdString(dir.str()) + "/");
    EXPECT_EQ(r.logLine, QString("4 audio files found in \"%1\"").arg(r.folder));
    
    // A trailing comma in AdditionalTypes lists files without an extension too.
    TScanResult withEmpty = ScanFolder(QString::fromStdString(dir.str()), BuildSupportedExtensions(".jpg,"));
    EXPECT_TRUE(withEmpty.names.contains("noext"));
    EXPECT_TRUE(withEmpty.names.contains("cover.jpg"));
    EXPECT_FALSE(withEmpty.names.contains("song.mp3.txt"));
}

TEST(FolderScan, EmptyFolderAndMissingFolder)
{
    TempDir dir;
    TScanResult empty = ScanFolder(QString::fromStdString(dir.str()), BuildSupportedExtensions(""));
    EXPECT_TRUE(empty.scanned);
    EXPECT_TRUE(empty.names.isEmpty());
    EXPECT_EQ(empty.logLine, QString("No audio files found in \"%1/\"").arg(QString::fromStdString(dir.str())));

    // One file is one file.
    cantorix::test::writeText(dir.file("only.mp3"), "");
    EXPECT_EQ(ScanFolder(QString::fromStdString(dir.str()), BuildSupportedExtensions("")).logLine,
              QString("1 audio file found in \"%1/\"").arg(QString::fromStdString(dir.str())));

    EXPECT_FALSE(ScanFolder(QString::fromStdString(dir.file("missing")), BuildSupportedExtensions("")).scanned);
    EXPECT_FALSE(ScanFolder("", BuildSupportedExtensions("")).scanned);
}

TEST(FolderScan, ListsEveryFileOfALargeFolder)
{
    TempDir dir;
    for (int i = 0; i < 150; ++i) cantorix::test::writeText(dir.file("t" + std::to_string(1000 + i) + ".wav"), "");
    TScanResult r = ScanFolder(QString::fromStdString(dir.str()), BuildSupportedExtensions(""));
    EXPECT_EQ(r.names.size(), 150);
    EXPECT_EQ(r.names.front(), "t1000.wav");
    EXPECT_EQ(r.names.back(), "t1149.wav");
}

TEST(FolderScan, ListsOnlyRegularFilesAndRemovesTheLeftoversOfDeadWriters)
{
    ::alarm(20); // a blocking open would hang the run: end it instead
    TempDir dir;
    cantorix::test::writeText(dir.file("a.mp3"), "");
    ASSERT_EQ(::mkfifo(dir.file("fifo.mp3").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/null", dir.path() / "device.mp3");
    int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = dir.file("socket.mp3");
    ASSERT_LT(sockPath.size(), sizeof(addr.sun_path));
    std::memcpy(addr.sun_path, sockPath.c_str(), sockPath.size() + 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);

    // A writer that died left its copy unlocked; a live one (this process) holds its lock.
    cantorix::test::writeText(dir.file(".a.mp3.cantorix-Ab12Cd"), "half a file");
    const std::string live = dir.file(".b.mp3.cantorix-Zz9Yy8");
    int fd = ::open(live.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    TScanResult r = ScanFolder(QString::fromStdString(dir.str()), BuildSupportedExtensions(""));
    EXPECT_EQ(r.names, QStringList{"a.mp3"});
    EXPECT_EQ(r.removedLines,
              QStringList{"Removed the temporary file \".a.mp3.cantorix-Ab12Cd\" of an interrupted write"});
    EXPECT_FALSE(std::filesystem::exists(dir.path() / ".a.mp3.cantorix-Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(live));

    ::close(fd);
    ::close(sock);
    r = ScanFolder(QString::fromStdString(dir.str()), BuildSupportedExtensions(""));
    EXPECT_EQ(r.removedLines,
              QStringList{"Removed the temporary file \".b.mp3.cantorix-Zz9Yy8\" of an interrupted write"});
    EXPECT_EQ(ScanFolder(QString::fromStdString(dir.str()), {}).removedLines, QStringList{});
    ::alarm(0);
}
