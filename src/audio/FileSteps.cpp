#include "audio/FileSteps.h"

#include "audio/AppendFile.h"
#include "audio/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix::filesteps {

namespace {

// A signal storm must not hold a write forever.
constexpr int kMaxInterruptions = 1000;

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



} // namespace

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::string folderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseName(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
    // The rename is done; a folder that cannot be synced does not undo it.
    (void)syncDirectory(folderOf(path), files);
}

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

} // namespace cantorix::filesteps
