// Safe writing: rewrites through a temporary copy and in-place patches, under injected faults and
// signals; the original is never lost.
#include "audio/SafeWrite.h"
#include "audio/FaultyIO.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cantorix;
using cantorix::test::Bytes;
using cantorix::test::TempDir;
using cantorix::test::pattern;
using cantorix::test::TFailingSource;
using cantorix::test::TFaultyFiles;

namespace {
// The temporary files of rewrites in `dir`, hidden ones included, sorted.
std::vector<std::string> temporaryFiles(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (isTemporaryFileName(e.path().filename().string())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The machine's file system, except that the first write puts out half its bytes and then raises
// `sig` on this process, as kill -9, a SIGTERM or Ctrl-C in the middle of a rewrite would.
class DyingFiles : public TFileSystem {
public:
    explicit DyingFiles(int sig) : m_sig(sig) {}
    int write(int fd, const void* data, size_t n, size_t& written) override
    {
        int err = TFileSystem::write(fd, data, n / 2, written);
        ::raise(m_sig);
        return err;
    }

private:
    int m_sig;
};

// What the command line does on SIGINT and SIGTERM.
extern "C" void removeTemporaryAndDie(int sig)
{
    removeActiveTemporaryFile();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Rewrites `path` in a child process that gets `sig` half-way through; returns the child's status.
int rewriteInDyingChild(const std::string& path, int sig, bool handleSignal)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (handleSignal) ::signal(sig, removeTemporaryAndDie);
        DyingFiles files(sig);
        Bytes fresh = pattern(8000);
        rewriteFile(path, [&](TOutSink& out) { return out.write(fresh); }, files);
        ::_exit(0); // the signal did not end the writer
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}
} // namespace

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

// A new file never replaces an entry of its name: a file, or a link that points nowhere.
TEST(SafeRewrite, ANewFileTakesOnlyAFreeName)
{
    TempDir dir;
    const Bytes image = pattern(300);
    const std::string fresh = dir.file("folder.jpg");
    ASSERT_TRUE(writeNewFile(fresh, image.data(), image.size()).ok);
    EXPECT_EQ(cantorix::test::readFile(fresh), image);

    const Bytes other = pattern(20);
    IoResult again = writeNewFile(fresh, other.data(), other.size());
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.code, EEXIST);
    EXPECT_EQ(cantorix::test::readFile(fresh), image);

    const std::string link = dir.file("cover.jpg");
    ASSERT_EQ(::symlink("nowhere.jpg", link.c_str()), 0);
    EXPECT_EQ(writeNewFile(link, other.data(), other.size()).code, EEXIST);
    EXPECT_FALSE(std::filesystem::exists(dir.file("nowhere.jpg")));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(cantorix::test::listFiles(dir.str()), std::vector<std::string>{"folder.jpg"}); // no temporary file
}

TEST(SafeRewrite, AnyFailureLeavesTheOriginalUntouchedAndNoTemporaryFile)
{
    TempDir dir;
    std::string path = dir.file("song.mp3");
    Bytes original = pattern(5000);
    cantorix::test::writeFile(path, original);
    cantorix::test::writeText(dir.file("song.mp3~"), "somebody else's file");

    TFaultyFiles syncFails;
    syncFails.syncErrno = EIO;
    struct Case {
        const char* what;
        TFaultyFiles files;
        int64_t readFailsAt; // the original's bytes fail to read from here on
        std::string reason;
    } cases[] = {
        {"disk full half-way", TFaultyFiles::diskFullAfter(1000), -1, "No space left on device"},
        {"disk full at once", TFaultyFiles::diskFullAfter(0), -1, "No space left on device"},
        {"interrupted I/O", TFaultyFiles::diskFullAfter(2500, EIO), -1, "Input/output error"},
        {"sync refused", syncFails, -1, "Input/output error"},
        {"rename refused", TFaultyFiles::renameFails(EACCES), -1, "Permission denied"},
        {"original unreadable", TFaultyFiles(), 3000, "Input/output error"},
    };
    for (Case& c : cases) {
        auto produce = [&](TOutSink& out) {
            Bytes bytes = cantorix::test::readFile(path);
            TFailingSource in(bytes, c.readFailsAt < 0 ? int64_t(bytes.size()) : c.readFailsAt);
            return out.copyFrom(in, 0, in.size()) && out.write(pattern(4000));
        };
        IoResult r = rewriteFile(path, produce, c.files);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.error, c.reason) << c.what;
        EXPECT_EQ(cantorix::test::readFile(path), original) << c.what;
        EXPECT_EQ(cantorix::test::listFiles(dir.str()), (std::vector<std::string>{"song.mp3", "song.mp3~"})) << c.what;
    }
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

    // A full disk or a failed sync comes back with its reason.
    TFaultyFiles full = TFaultyFiles::diskFullAfter(1);
    EXPECT_EQ(writeInPlace(path, 0, "xyz", 3, full).error, "No space left on device");
    TFaultyFiles syncFails;
    syncFails.syncErrno = EIO;
    EXPECT_EQ(truncateFile(path, 2, syncFails).error, "Input/output error");
}

TEST(SafeRewrite, TheTemporaryFileIsHiddenLockedAndBesideALinksTarget)
{
    TempDir album, outside;
    const std::string target = outside.file("target.mp3");
    cantorix::test::writeFile(target, pattern(1000));
    ::chmod(target.c_str(), 0640);
    const std::string link = album.file("link.mp3");
    std::filesystem::create_symlink(target, link);

    Bytes fresh = pattern(3000);
    bool checked = false;
    auto produce = [&](TOutSink& out) {
        std::vector<std::string> tmp = temporaryFiles(outside.str());
        EXPECT_EQ(tmp.size(), 1u);
        EXPECT_TRUE(temporaryFiles(album.str()).empty());
        if (tmp.size() == 1) {
            EXPECT_EQ(tmp[0].rfind(".target.mp3.cantorix-", 0), 0u) << tmp[0];
            // The writer's lock keeps a scan's hands off the file.
            int fd = ::open(outside.file(tmp[0]).c_str(), O_RDONLY);
            EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
            ::close(fd);
            EXPECT_TRUE(removeAbandonedTemporaryFiles(outside.str()).empty());
            checked = true;
        }
        return out.write(fresh);
    };
    ASSERT_TRUE(rewriteFile(link, produce).ok);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(cantorix::test::readFile(target), fresh);
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(cantorix::test::listFiles(outside.str()), std::vector<std::string>{"target.mp3"});
    EXPECT_TRUE(temporaryFiles(album.str()).empty());

    // An overwrite in place goes to the target too.
    ASSERT_TRUE(writeInPlace(link, 0, "abc", 3).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(cantorix::test::readText(target).substr(0, 3), "abc");
}

TEST(SafeRewrite, AKilledWriterLeavesATemporaryFileThatIsRemovedOnceNobodyHoldsIt)
{
    TempDir dir;
    const std::string path = dir.file("song.mp3");
    const Bytes original = pattern(1000);
    cantorix::test::writeFile(path, original);
    // Names that only look alike are somebody else's.
    for (const char* other : {"song.mp3~", ".song.mp3.cantorix-notes", "song.mp3.cantorix-Ab12Cd"})
        cantorix::test::writeText(dir.file(other), "keep");

    int status = rewriteInDyingChild(path, SIGKILL, false);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(cantorix::test::readFile(path), original);
    std::vector<std::string> dead = temporaryFiles(dir.str());
    ASSERT_EQ(dead.size(), 1u);
    EXPECT_EQ(dead[0].rfind(".song.mp3.cantorix-", 0), 0u) << dead[0];

    // A writer that is still at work: this process holds the lock.
    const std::string live = ".other.mp3.cantorix-Zz9Yy8";
    int fd = ::open(dir.file(live).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    EXPECT_EQ(removeAbandonedTemporaryFiles(dir.str()), dead);
    EXPECT_EQ(temporaryFiles(dir.str()), std::vector<std::string>{live});
    ::close(fd);
    EXPECT_EQ(removeAbandonedTemporaryFiles(dir.str() + "/"), std::vector<std::string>{live});
    EXPECT_EQ(cantorix::test::listFiles(dir.str()),
              (std::vector<std::string>{".song.mp3.cantorix-notes", "song.mp3", "song.mp3.cantorix-Ab12Cd",
                                        "song.mp3~"}));
}

TEST(SafeRewrite, InterruptedBySignalsTheHandlerRemovesTheTemporaryFile)
{
    for (int sig : {SIGINT, SIGTERM}) {
        TempDir dir;
        const std::string path = dir.file("song.mp3");
        cantorix::test::writeFile(path, pattern(1000));
        int status = rewriteInDyingChild(path, sig, true);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << " " << status;
        EXPECT_EQ(cantorix::test::readFile(path), pattern(1000)) << sig;
        EXPECT_EQ(cantorix::test::listFiles(dir.str()), std::vector<std::string>{"song.mp3"}) << sig;
        EXPECT_TRUE(temporaryFiles(dir.str()).empty()) << sig;
    }
    // Outside a rewrite the handler's removal does nothing.
    removeActiveTemporaryFile();
}
