#include "core/rename/AlbumLock.h"

#include "audio/IoResult.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

std::string TAlbumLock::fileNameFor(uint64_t device, uint64_t inode)
{
    return "album-" + std::to_string(device) + "-" + std::to_string(inode) + ".lock";
}

TAlbumLock::TResult TAlbumLock::take(const std::string& directory, const std::string& folder, std::string* error)
{
    release();
    auto fail = [&](int err) {
        if (error) *error = errnoText(err);
        return TResult::Failed;
    };
    struct stat album {};
    if (::stat(folder.c_str(), &album) != 0) return fail(errno);
    if (!QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(directory)))) return fail(EACCES);
    const std::string path = directory + (directory.empty() || directory.back() == '/' ? "" : "/") +
                             fileNameFor(uint64_t(album.st_dev), uint64_t(album.st_ino));
    // The holder removes the file as it lets go, and pruning removes files nobody holds: a lock taken on
    // a file that lost its name meanwhile is no lock, and is taken again on the file now there (a
    // bounded number of times).
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0) return fail(errno);
        // flock() locks belong to the open file: a second open in this process is refused as another
        // process would be.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK) return TResult::Busy;
            return fail(err);
        }
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            m_fd = fd;
            m_path = path;
            return TResult::Taken;
        }
        ::close(fd);
    }
    return fail(EAGAIN);
}

void TAlbumLock::release()
{
    if (m_fd < 0) return;
    // The file goes while it is held: one that waits for it finds, once it has it, that it lost its
    // name, and takes the lock again on a new one.
    struct stat held {}, named {};
    if (::fstat(m_fd, &held) == 0 && ::lstat(m_path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
        ::unlink(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

} // namespace cantorix
