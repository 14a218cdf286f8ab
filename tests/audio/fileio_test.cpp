#include "audio/FileIO.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace cantorix;
using cantorix::test::Bytes;
using cantorix::test::TempDir;

namespace {
Bytes pattern(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + (i >> 8));
    return b;
}

struct FaultGuard {
    ~FaultGuard() { fileio_testing::clearFaults(); }
};
} // namespace

TEST(FileReader, ReadsAcrossTheWindowAndRefusesToReadPastTheEnd)
{
    TempDir dir;
    Bytes data = pattern(200000);
    cantorix::test::writeFile(dir.file("f"), data);
    TFileReader r;
    ASSERT_TRUE(r.open(dir.file("f")));
    EXPECT_EQ(r.size(), 200000);

    uint8_t buf[16];
    for (int64_t at : {int64_t(0), int64_t(65530), int64_t(131070), int64_t(199984)}) {
        ASSERT_TRUE(r.readAt(at, buf, sizeof buf)) << at;
        EXPECT_TRUE(std::equal(buf, buf + 16, data.begin() + at)) << at;
    }
    EXPECT_FALSE(r.readAt(199990, buf, 16));
    EXPECT_FALSE(r.readAt(-1, buf, 1));
    EXPECT_TRUE(r.seek(199999));
    EXPECT_FALSE(r.read(buf, 2));
    EXPECT_EQ(r.tell(), 199999); // a failed read does not move
    EXPECT_FALSE(r.seek(200001));

    Bytes big;
    ASSERT_TRUE(r.seek(1000));
    ASSERT_TRUE(r.read(big, 100000)); // larger than the window
    EXPECT_TRUE(std::equal(big.begin(), big.end(), data.begin() + 1000));
    ASSERT_TRUE(r.seek(0));
    EXPECT_FALSE(r.read(big, size_t(1) << 40)); // never allocates past the file

    TFileReader missing;
    EXPECT_FALSE(missing.open(dir.file("none")));
    EXPECT_FALSE(missing.open(dir.str())); // folders are not files
}

TEST(SafeRewrite, ReplacesAtomicallyAndKeepsPermissions)
{
    TempDir dir;
    std::string path = dir.file("song.mp3");
    cantorix::test::writeFile(path, pattern(1000));
    ::chmod(path.c_str(), 0640);
    Bytes fresh = pattern(3000);
    ASSERT_TRUE(rewriteFile(path, [&](TOutSink& out) { return out.write(fresh); }).ok);
    EXPECT_EQ(cantorix::test::readFile(path), fresh);
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(cantorix::test::listFiles(dir.str()), std::vector<std::string>{"song.mp3"});
}

TEST(SafeRewrite, AnyFailureLeavesTheOriginalUntouchedAndNoTemporaryFile)
{
    TempDir dir;
    std::string path = dir.file("song.mp3");
    Bytes original = pattern(5000);
    cantorix::test::writeFile(path, original);
    cantorix::test::writeText(dir.file("song.mp3~"), "somebody else's file");
    FaultGuard guard;

    struct Case {
        const char* what;
        fileio_testing::Faults faults;
        std::string reason;
    } cases[] = {
        {"disk full half-way", {1000, 28, 0}, "No space left on device"},
        {"disk full at once", {0, 28, 0}, "No space left on device"},
        {"interrupted I/O", {2500, 5, 0}, "Input/output error"},
        {"rename refused", {-1, 28, 13}, "Permission denied"},
    };
    for (const Case& c : cases) {
        fileio_testing::setFaults(c.faults);
        IoResult r = rewriteFile(path, [&](TOutSink& out) {
            TFileReader in;
            return in.open(path) && out.copyFrom(in, 0, in.size()) && out.write(pattern(4000));
        });
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.error, c.reason) << c.what;
        EXPECT_EQ(cantorix::test::readFile(path), original) << c.what;
        EXPECT_EQ(cantorix::test::listFiles(dir.str()), (std::vector<std::string>{"song.mp3", "song.mp3~"})) << c.what;
    }
    fileio_testing::clearFaults();
    EXPECT_EQ(cantorix::test::readText(dir.file("song.mp3~")), "somebody else's file");

    // A producer that gives up is a failure too.
    EXPECT_FALSE(rewriteFile(path, [](TOutSink&) { return false; }).ok);
    EXPECT_EQ(cantorix::test::readFile(path), original);
}

TEST(SafeRewrite, RefusesFilesTheUserMayNotWrite)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    TempDir dir;
    std::string path = dir.file("ro.mp3");
    cantorix::test::writeText(path, "abc");
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(rewriteFile(path, [](TOutSink& o) { return o.write("x", 1); }).ok);
    EXPECT_EQ(cantorix::test::readText(path), "abc");
}

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

TEST(WriteInPlace, OverwritesOnlyTheGivenBytes)
{
    TempDir dir;
    std::string path = dir.file("f");
    cantorix::test::writeText(path, "0123456789");
    ASSERT_TRUE(writeInPlace(path, 3, "abc", 3).ok);
    EXPECT_EQ(cantorix::test::readText(path), "012abc6789");
    ASSERT_TRUE(truncateFile(path, 4).ok);
    EXPECT_EQ(cantorix::test::readText(path), "012a");
    EXPECT_FALSE(writeInPlace(dir.file("missing"), 0, "x", 1).ok);
}
