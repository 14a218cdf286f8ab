#include "audio/AppendFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace {

// A signal storm must not hold a write forever.
constexpr int kMaxInterruptions = 1000;

std::string folderPart(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string namePart(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int writeAll(TFileSystem& files, int fd, const void* data, size_t n)
{
    const auto* p = static_cast<const char*>(data);
    int interruptions = 0;
    while (n > 0) {
        size_t written = 0;
        const int err = files.write(fd, p, n, written);
        if (err == EINTR && ++interruptions < kMaxInterruptions) continue;
        if (err) return err;
        if (written == 0 || written > n) return EIO; // no progress: the loop would never end
        p += written;
        n -= written;
    }
    return 0;
}

// A fresh, locked temporary file beside `path` in the form the scans know; -1 with errno set.
int createTemporaryFor(const std::string& path, std::string& tmp)
{
    std::string name = namePart(path);
    const size_t room = NAME_MAX - 1 - std::strlen(kTemporaryMarker) - 6;
    if (name.size() > room) name.resize(room); // record names are ASCII: no character is split
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = withSlash(folderPart(path)) + "." + name + kTemporaryMarker + "XXXXXX";
        const int fd = ::mkostemp(candidate.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // A scan may have taken the new file for a leftover before it was locked: then start again.
        struct stat own {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &own) == 0 &&
            ::lstat(candidate.c_str(), &named) == 0 && own.st_dev == named.st_dev && own.st_ino == named.st_ino) {
            tmp = std::move(candidate);
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

} // namespace

IoResult TAppendFile::create(const std::string& path, const void* data, size_t n)
{
    close();
    std::string tmp;
    const int fd = createTemporaryFor(path, tmp);
    if (fd < 0) return IoResult::fromErrno(errno);
    auto abandon = [&](int err) {
        ::unlink(tmp.c_str());
        ::close(fd);
        return IoResult::fromErrno(err);
    };
    // A record names the user's files: it is for the user's eyes only.
    if (::fchmod(fd, 0600) != 0) return abandon(errno);
    if (int err = writeAll(*m_files, fd, data, n)) return abandon(err);
    if (int err = m_files->sync(fd)) return abandon(err);
    if (int err = m_files->rename(tmp, path)) return abandon(err);
    m_fd = fd;
    // The new name must survive a crash before anything relies on the record.
    return syncDirectory(folderPart(path), *m_files);
}

IoResult TAppendFile::open(const std::string& path, int64_t keepBytes)
{
    close();
    int64_t size = 0;
    const int fd = openRegularFile(path, O_WRONLY | O_APPEND | O_NOFOLLOW, &size);
    if (fd < 0) return IoResult::fromErrno(errno);
    if (keepBytes >= 0 && keepBytes < size && ::ftruncate(fd, keepBytes) != 0) {
        const int err = errno;
        ::close(fd);
        return IoResult::fromErrno(err);
    }
    m_fd = fd;
    return IoResult::success();
}

IoResult TAppendFile::append(const void* data, size_t n)
{
    if (m_fd < 0) return IoResult::fromErrno(EBADF);
    if (int err = writeAll(*m_files, m_fd, data, n)) return IoResult::fromErrno(err);
    return IoResult::success();
}

IoResult TAppendFile::sync()
{
    if (m_fd < 0) return IoResult::fromErrno(EBADF);
    if (int err = m_files->sync(m_fd)) return IoResult::fromErrno(err);
    return IoResult::success();
}

void TAppendFile::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

IoResult syncDirectory(const std::string& folder, TFileSystem& files)
{
    const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return IoResult::fromErrno(errno);
    const int err = files.sync(dfd);
    ::close(dfd);
    return err ? IoResult::fromErrno(err) : IoResult::success();
}

IoResult addName(const std::string& existing, const std::string& to)
{
    if (::link(existing.c_str(), to.c_str()) != 0) return IoResult::fromErrno(errno);
    return IoResult::success();
}

} // namespace cantorix
