#include "audio/SafeWrite.h"

#include "audio/FileSteps.h"

#include "audio/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace {

using namespace filesteps;

// The temporary file being written now, for a signal handler to remove: a fixed buffer, since a
// handler may not allocate, and a lock-free state word that says whether the buffer is complete.
static_assert(std::atomic<int>::is_always_lock_free);
enum ActiveState { kFree = 0, kFilling = 1, kArmed = 2 };
std::atomic<int> g_activeState{kFree};
char g_activePath[PATH_MAX + 1];

// Claims the slot for `path`; false when another thread holds it (that write then goes unguarded:
// the next scan still removes its leftovers) or the path does not fit.
bool armActive(const std::string& path)
{
    if (path.size() > PATH_MAX) return false;
    int expected = kFree;
    if (!g_activeState.compare_exchange_strong(expected, kFilling)) return false;
    std::memcpy(g_activePath, path.c_str(), path.size() + 1);
    g_activeState.store(kArmed);
    return true;
}

void disarmActive(bool armed)
{
    if (armed) g_activeState.store(kFree);
}

// The file a write to `path` changes: the path itself, or for a symlink its final target.
IoResult writeTarget(const std::string& path, std::string& target)
{
    struct stat lst {};
    if (::lstat(path.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) {
        target = path;
        return IoResult::success();
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return IoResult::fromErrno(errno);
    target = resolved;
    std::free(resolved);
    return IoResult::success();
}

class FdSink : public TOutSink {
public:
    FdSink(int fd, TFileSystem& files) : m_fd(fd), m_files(files) {}

protected:
    int put(const void* data, size_t n) override { return writeAll(m_files, m_fd, data, n); }

private:
    int m_fd;
    TFileSystem& m_files;
};

} // namespace

int TFileSystem::write(int fd, const void* data, size_t n, size_t& written)
{
    written = 0;
    ssize_t w = ::write(fd, data, n);
    if (w < 0) return errno;
    written = size_t(w);
    return 0;
}

int TFileSystem::sync(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

int TFileSystem::rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

TFileSystem& systemFiles()
{
    static TFileSystem files;
    return files;
}

bool TOutSink::write(const void* data, size_t n)
{
    if (!m_failure.ok) return false;
    if (int err = put(data, n)) m_failure = IoResult::fromErrno(err);
    return m_failure.ok;
}

bool TOutSink::copyFrom(TInSource& src, int64_t offset, int64_t length)
{
    if (!m_failure.ok) return false;
    if (offset < 0 || length < 0 || offset > src.size() || length > src.size() - offset) {
        m_failure = IoResult::failure("Unexpected end of file");
        return false;
    }
    ByteVector chunk(size_t(std::min<int64_t>(length, 1 << 20)));
    while (length > 0) {
        size_t n = size_t(std::min<int64_t>(length, int64_t(chunk.size())));
        if (!src.readAt(offset, chunk.data(), n)) {
            m_failure = src.error();
            return false;
        }
        if (!write(chunk.data(), n)) return false;
        offset += int64_t(n);
        length -= int64_t(n);
    }
    return true;
}

namespace {

// With `replace` false the finished copy takes the name only while no entry has it (EEXIST otherwise).
IoResult rewrite(const std::string& path, const std::function<bool(TOutSink&)>& produce, TFileSystem& files,
                 unsigned keepModeBits, const TFileStamp* unchangedSince, bool replace = true)
{
    struct stat entry {};
    if (!replace && ::lstat(path.c_str(), &entry) == 0) return IoResult::fromErrno(EEXIST);
    std::string target;
    if (IoResult resolved = writeTarget(path, target); !resolved) return resolved;
    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return IoResult::fromErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    // rename() would ignore the original's mode, so a file the user may not write is refused.
    if (exists && ::access(target.c_str(), W_OK) != 0) return IoResult::fromErrno(errno);
    const mode_t mode = (exists ? (st.st_mode & 07777) : 0644) & mode_t(keepModeBits);

    std::string tmp;
    int fd = createTemporary(target, tmp);
    if (fd < 0) return IoResult::fromErrno(errno);
    const bool armed = armActive(tmp);

    auto abandon = [&](IoResult why) {
        ::unlink(tmp.c_str());
        disarmActive(armed);
        ::close(fd);
        return why;
    };
    if (::fchmod(fd, mode) != 0) return abandon(IoResult::fromErrno(errno));
    FdSink sink(fd, files);
    const bool produced = produce(sink);
    if (!sink.failure()) return abandon(sink.failure());
    // A producer that gave up without a failed write or read.
    if (!produced) return abandon(IoResult::fromErrno(EIO));
    if (int err = files.sync(fd)) return abandon(IoResult::fromErrno(err));
    // The last moment before the copy replaces the file: a write to the file since its reader opened
    // it would be lost.
    TFileStamp now;
    if (unchangedSince && (!fileStamp(target, now) || !(now == *unchangedSince)))
        return abandon(IoResult::failure(kChangedWhileRewritten));
    // Renamed while still locked, so that no scan takes the finished copy for a leftover.
    if (replace) {
        if (int err = files.rename(tmp, target)) return abandon(IoResult::fromErrno(err));
    } else if (IoResult placed = moveNoReplace(tmp, target); !placed) {
        return abandon(placed);
    }
    disarmActive(armed);
    // The content is synced and in place; a failing close cannot undo that.
    ::close(fd);
    syncFolder(target, files);
    return IoResult::success();
}

} // namespace

IoResult rewriteFile(const std::string& path, const std::function<bool(TOutSink&)>& produce, TFileSystem& files,
                     unsigned keepModeBits)
{
    return rewrite(path, produce, files, keepModeBits, nullptr);
}

IoResult rewriteFrom(const TFileReader& source, const std::string& path,
                     const std::function<bool(TOutSink&)>& produce, TFileSystem& files)
{
    return rewrite(path, produce, files, 07777, &source.stamp());
}

IoResult writeWholeFile(const std::string& path, const void* data, size_t n, TFileSystem& files,
                        unsigned keepModeBits)
{
    return rewriteFile(path, [&](TOutSink& out) { return out.write(data, n); }, files, keepModeBits);
}

IoResult writeNewFile(const std::string& path, const void* data, size_t n, TFileSystem& files)
{
    return rewrite(path, [&](TOutSink& out) { return out.write(data, n); }, files, 07777, nullptr, false);
}

IoResult writeInPlace(const std::string& path, int64_t offset, const void* data, size_t n, TFileSystem& files)
{
    if (offset < 0) return IoResult::fromErrno(EINVAL);
    int fd = openRegularFile(path, O_WRONLY);
    if (fd < 0) return IoResult::fromErrno(errno);
    const off_t at = ::lseek(fd, offset, SEEK_SET);
    int err = at == offset ? 0 : at < 0 ? errno : EIO;
    if (!err) err = writeAll(files, fd, data, n);
    if (!err) err = files.sync(fd);
    if (::close(fd) != 0 && !err) err = errno;
    return err ? IoResult::fromErrno(err) : IoResult::success();
}

IoResult truncateFile(const std::string& path, int64_t size, TFileSystem& files)
{
    int fd = openRegularFile(path, O_WRONLY);
    if (fd < 0) return IoResult::fromErrno(errno);
    int err = ::ftruncate(fd, size) == 0 ? 0 : errno;
    if (!err) err = files.sync(fd);
    ::close(fd);
    return err ? IoResult::fromErrno(err) : IoResult::success();
}

bool isTemporaryFileName(const std::string& name)
{
    const size_t marker = std::strlen(kTemporaryMarker);
    if (name.size() < 2 + marker + 6 || name[0] != '.') return false;
    if (name.compare(name.size() - 6 - marker, marker, kTemporaryMarker) != 0) return false;
    return std::all_of(name.end() - 6, name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

std::vector<std::string> removeAbandonedTemporaryFiles(const std::string& folder)
{
    std::vector<std::string> removed;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return removed;
    const int dfd = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (!isTemporaryFileName(name)) continue;
        int fd = ::openat(dfd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat own {}, named {};
        // Taking the lock means its writer is gone; the name must still be this file when it goes.
        if (::fstat(fd, &own) == 0 && S_ISREG(own.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dfd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(own, named) &&
            ::unlinkat(dfd, name.c_str(), 0) == 0)
            removed.push_back(name);
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

void removeActiveTemporaryFile() noexcept
{
    if (g_activeState.load() == kArmed) ::unlink(g_activePath);
}

} // namespace cantorix
