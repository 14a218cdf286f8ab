#include "audio/AppendFile.h"

#include "audio/FileSteps.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

IoResult TAppendFile::create(const std::string& path, const void* data, size_t n)
{
    close();
    std::string tmp;
    const int fd = filesteps::createTemporary(path, tmp);
    if (fd < 0) return IoResult::fromErrno(errno);
    auto abandon = [&](int err) {
        ::unlink(tmp.c_str());
        ::close(fd);
        return IoResult::fromErrno(err);
    };
    // A record names the user's files: it is for the user's eyes only.
    if (::fchmod(fd, 0600) != 0) return abandon(errno);
    if (int err = filesteps::writeAll(*m_files, fd, data, n)) return abandon(err);
    if (int err = m_files->sync(fd)) return abandon(err);
    if (int err = m_files->rename(tmp, path)) return abandon(err);
    m_fd = fd;
    // The new name must survive a crash before anything relies on the record.
    return syncDirectory(filesteps::folderOf(path), *m_files);
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
    if (int err = filesteps::writeAll(*m_files, m_fd, data, n)) return IoResult::fromErrno(err);
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
