#include "audio/Paths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace {

TFileStamp stampOf(const struct stat& st)
{
    return {uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size), int64_t(st.st_mtim.tv_sec),
            int64_t(st.st_mtim.tv_nsec)};
}

} // namespace

bool fileStamp(const std::string& path, TFileStamp& stamp)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    stamp = stampOf(st);
    return true;
}

int openRegularFile(const std::string& path, int flags, int64_t* size, TFileStamp* stamp)
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
    if (stamp) *stamp = stampOf(st);
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
