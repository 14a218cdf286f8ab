#include "audio/FileIO.h"

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

constexpr size_t kWindow = 64 * 1024;
// m_failure of a read that passed the end: no errno describes it.
constexpr int kEndOfData = -1;
// A signal storm must not hold a read or a write forever.
constexpr int kMaxInterruptions = 1000;

std::string folderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Writes all n bytes, retrying interrupted calls; 0 or the errno of the failure.
int writeAll(TFileSystem& files, int fd, const void* data, size_t n)
{
    const auto* p = static_cast<const uint8_t*>(data);
    int interruptions = 0;
    while (n > 0) {
        size_t written = 0;
        int err = files.write(fd, p, n, written);
        if (err == EINTR && ++interruptions < kMaxInterruptions) continue;
        if (err) return err;
        if (written == 0 || written > n) return EIO; // no progress: the loop would never end
        p += written;
        n -= written;
    }
    return 0;
}

void syncFolder(const std::string& path, TFileSystem& files)
{
    int dfd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    // The rename is done; a folder that cannot be synced does not undo it.
    files.sync(dfd);
    ::close(dfd);
}

std::string baseName(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

// The temporary name for a file called `name` in `folder`: ".<name>.cantorix-XXXXXX", the name cut
// (at a character boundary) so that the whole stays within NAME_MAX.
std::string temporaryTemplate(const std::string& folder, std::string name)
{
    const size_t room = NAME_MAX - 1 - std::strlen(kTemporaryMarker) - 6;
    if (name.size() > room) {
        size_t cut = room;
        while (cut > 0 && (uint8_t(name[cut]) & 0xC0) == 0x80) --cut; // not inside a UTF-8 sequence
        name.resize(cut);
    }
    return withSlash(folder) + "." + name + kTemporaryMarker + "XXXXXX";
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Creates and locks a fresh temporary file for `target`; the descriptor, or -1 with errno set.
int createTemporary(const std::string& target, std::string& tmp)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryTemplate(folderOf(target), baseName(target));
        int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // A scan may have locked and removed the new file before we locked it: then it is no longer
        // under its name, and we start again.
        struct stat own {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &own) == 0 &&
            ::lstat(name.c_str(), &named) == 0 && sameFile(own, named)) {
            tmp = std::move(name);
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
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

std::string errnoText(int err)
{
    std::string s = std::strerror(err);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\r' || s.back() == '.'))
        s.pop_back();
    return s;
}

// ---------------------------------------------------------------------------------------------
// TInSource

void TInSource::reset(int64_t size)
{
    m_size = size;
    m_pos = 0;
    m_failure = 0;
}

bool TInSource::fail(int err)
{
    m_failure = err ? err : kEndOfData;
    return false;
}

IoResult TInSource::error() const
{
    if (m_failure == 0) return IoResult::success();
    if (m_failure == kEndOfData) return IoResult::failure("Unexpected end of file");
    return IoResult::fromErrno(m_failure);
}

bool TInSource::seek(int64_t pos)
{
    if (pos < 0 || pos > m_size) return false;
    m_pos = pos;
    return true;
}

bool TInSource::readAt(int64_t offset, void* dst, size_t n)
{
    if (offset < 0 || offset > m_size || uint64_t(n) > uint64_t(m_size - offset)) return fail(kEndOfData);
    m_failure = 0;
    return n == 0 || fetch(offset, dst, n);
}

bool TInSource::read(void* dst, size_t n)
{
    if (!readAt(m_pos, dst, n)) return false;
    m_pos += int64_t(n);
    return true;
}

bool TInSource::read(ByteVector& dst, size_t n)
{
    if (uint64_t(n) > uint64_t(remaining())) return fail(kEndOfData); // never allocate beyond the source
    dst.resize(n);
    return read(dst.data(), n);
}

size_t TInSource::readSome(void* dst, size_t n)
{
    size_t take = size_t(std::min<uint64_t>(n, uint64_t(remaining())));
    return read(dst, take) ? take : 0;
}

bool TInSource::readLE16(uint16_t& v)
{
    uint8_t b[2];
    if (!read(b, 2)) return false;
    v = getLE16(b);
    return true;
}
bool TInSource::readLE32(uint32_t& v)
{
    uint8_t b[4];
    if (!read(b, 4)) return false;
    v = getLE32(b);
    return true;
}
bool TInSource::readLE64(uint64_t& v)
{
    uint8_t b[8];
    if (!read(b, 8)) return false;
    v = uint64_t(getLE32(b)) | (uint64_t(getLE32(b + 4)) << 32);
    return true;
}
bool TInSource::readBE16(uint16_t& v)
{
    uint8_t b[2];
    if (!read(b, 2)) return false;
    v = getBE16(b);
    return true;
}
bool TInSource::readBE24(uint32_t& v)
{
    uint8_t b[3];
    if (!read(b, 3)) return false;
    v = getBE24(b);
    return true;
}
bool TInSource::readBE32(uint32_t& v)
{
    uint8_t b[4];
    if (!read(b, 4)) return false;
    v = getBE32(b);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TMemorySource

TMemorySource::TMemorySource(const void* data, size_t n) : m_data(static_cast<const uint8_t*>(data))
{
    reset(int64_t(n));
}

bool TMemorySource::fetch(int64_t offset, void* dst, size_t n)
{
    std::memcpy(dst, m_data + offset, n);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TFileReader

TFileReader::~TFileReader() { close(); }

IoResult TFileReader::open(const std::string& path)
{
    close();
    int64_t size = 0;
    int fd = openRegularFile(path, O_RDONLY, &size);
    if (fd < 0) return IoResult::fromErrno(errno);
    m_fd = fd;
    reset(size);
    return IoResult::success();
}

void TFileReader::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    reset(0);
    m_bufStart = 0;
    m_bufLen = 0;
    m_buf.clear();
    m_buf.shrink_to_fit();
}

// Reads until n bytes arrived or the file ended; false (the failure recorded) when a call failed.
bool TFileReader::readFully(uint8_t* dst, size_t n, int64_t offset, size_t& got)
{
    got = 0;
    int interruptions = 0;
    while (got < n) {
        ssize_t r = ::pread(m_fd, dst + got, n - got, offset + int64_t(got));
        if (r < 0) {
            int err = errno;
            if (err == EINTR && ++interruptions < kMaxInterruptions) continue;
            return fail(err);
        }
        if (r == 0) break; // the file shrank under us
        got += size_t(r);
    }
    return true;
}

// Loads the window so that it covers [offset, offset + want). The window is placed so that a read
// near the end also takes in everything before it up to the window size.
bool TFileReader::fill(int64_t offset, size_t want)
{
    int64_t start = offset;
    if (size() - offset < int64_t(kWindow)) start = std::max<int64_t>(0, size() - int64_t(kWindow));
    if (start > offset) start = offset;
    size_t len = size_t(std::min<int64_t>(int64_t(kWindow), size() - start));
    if (m_buf.size() < kWindow) m_buf.resize(kWindow);
    size_t got = 0;
    if (!readFully(m_buf.data(), len, start, got)) {
        m_bufLen = 0;
        return false;
    }
    m_bufStart = start;
    m_bufLen = got;
    return got >= want + size_t(offset - start) || fail(kEndOfData);
}

bool TFileReader::fetch(int64_t offset, void* dst, size_t n)
{
    if (m_fd < 0) return fail(EBADF);
    bool inWindow = offset >= m_bufStart && offset + int64_t(n) <= m_bufStart + int64_t(m_bufLen);
    if (!inWindow) {
        if (n > kWindow / 2) {
            // Large blocks (pictures, audio copies) bypass the window.
            size_t got = 0;
            if (!readFully(static_cast<uint8_t*>(dst), n, offset, got)) return false;
            return got == n || fail(kEndOfData);
        }
        if (!fill(offset, n)) return false;
    }
    std::memcpy(dst, m_buf.data() + (offset - m_bufStart), n);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Writers

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

IoResult rewriteFile(const std::string& path, const std::function<bool(TOutSink&)>& produce, TFileSystem& files,
                     unsigned keepModeBits)
{
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
    // Renamed while still locked, so that no scan takes the finished copy for a leftover.
    if (int err = files.rename(tmp, target)) return abandon(IoResult::fromErrno(err));
    disarmActive(armed);
    // The content is synced and in place; a failing close cannot undo that.
    ::close(fd);
    syncFolder(target, files);
    return IoResult::success();
}

IoResult writeWholeFile(const std::string& path, const void* data, size_t n, TFileSystem& files,
                        unsigned keepModeBits)
{
    return rewriteFile(path, [&](TOutSink& out) { return out.write(data, n); }, files, keepModeBits);
}

IoResult writeInPlace(const std::string& path, int64_t offset, const void* data, size_t n, TFileSystem& files)
{
    const TPatch patch{offset, data, n};
    return writeInPlace(path, std::span<const TPatch>(&patch, 1), files);
}

IoResult writeInPlace(const std::string& path, std::span<const TPatch> patches, TFileSystem& files)
{
    for (const TPatch& p : patches)
        if (p.offset < 0) return IoResult::fromErrno(EINVAL);
    int fd = openRegularFile(path, O_WRONLY);
    if (fd < 0) return IoResult::fromErrno(errno);
    int err = 0;
    for (const TPatch& p : patches) {
        const off_t at = ::lseek(fd, p.offset, SEEK_SET);
        err = at == p.offset ? 0 : at < 0 ? errno : EIO;
        if (!err) err = writeAll(files, fd, p.data, p.n);
        if (err) break;
    }
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

int openRegularFile(const std::string& path, int flags, int64_t* size)
{
    int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : !S_ISREG(st.st_mode) ? EINVAL : 0;
    if (err) {
        ::close(fd);
        errno = err;
        return -1;
    }
    if (size) *size = st.st_size;
    return fd;
}

IoResult moveNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return IoResult::success();
    int err = errno;
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return IoResult::fromErrno(err);
    // The file system refuses the flag: link + unlink cannot replace either (files only).
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) return IoResult::fromErrno(errno);
    if (S_ISDIR(st.st_mode)) return IoResult::fromErrno(err);
    if (::link(from.c_str(), to.c_str()) != 0) return IoResult::fromErrno(errno);
    if (::unlink(from.c_str()) != 0) {
        int uerr = errno;
        ::unlink(to.c_str());
        return IoResult::fromErrno(uerr);
    }
    return IoResult::success();
}

bool fileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string withoutSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool entryExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

} // namespace cantorix
