// Paths: a move that never replaces, and an open that refuses what is not a regular file.
#include "audio/ByteSource.h"
#include "audio/Paths.h"
#include "audio/SafeWrite.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace cantorix;
using cantorix::test::TempDir;

TEST(MoveNoReplace, NeverReplacesAnExistingTarget)
{
    TempDir dir;
    cantorix::test::writeText(dir.file("a.mp3"), "A");
    cantorix::test::writeText(dir.file("b.mp3"), "B");
    IoResult r = moveNoReplace(dir.file("a.mp3"), dir.file("b.mp3"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "File exists");
    EXPECT_EQ(cantorix::test::readText(dir.file("b.mp3")), "B");
    EXPECT_EQ(cantorix::test::readText(dir.file("a.mp3")), "A");

    EXPECT_TRUE(moveNoReplace(dir.file("a.mp3"), dir.file("A.MP3")).ok); // case differs: a real rename
    EXPECT_EQ(cantorix::test::listFiles(dir.str()), (std::vector<std::string>{"A.MP3", "b.mp3"}));
    EXPECT_EQ(moveNoReplace(dir.file("gone"), dir.file("x")).error, "No such file or directory");
}

TEST(OpenRegularFile, FifosAndDevicesAreRefusedWithoutBlocking)
{
    ::alarm(20); // a blocking open would hang the run: end it instead
    TempDir dir;
    const std::string fifo = dir.file("x.mp3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {fifo, std::string("/dev/null")}) {
        TFileReader reader;
        EXPECT_EQ(reader.open(path).code, EINVAL) << path;
        EXPECT_EQ(rewriteFile(path, [](TOutSink& o) { return o.write("x", 1); }).code, EINVAL) << path;
        EXPECT_FALSE(writeInPlace(path, 0, "x", 1).ok) << path;
        EXPECT_FALSE(truncateFile(path, 0).ok) << path;
    }
    EXPECT_EQ(TFileReader().open(dir.str()).code, EISDIR);
    ::alarm(0);
}
