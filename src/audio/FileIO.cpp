#include "audio/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace {

constexpr size_t kWindow = 64 * 1024;

fileio_testing::Faults g_faults;
int64_t g_written = 0;

std::string folderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// write() until done, retrying on EINTR; honours the injected fault.
bool writeAll(int fd, const void* data, size_t n, int& err)
{
    const auto* p = static_cast<const uint8_t*>(data);
    while (n > 0) {
        size_t chunk = n;
        if (g_faults.failWriteAfter >= 0) {
            if (g_written >= g_faults.failWriteAfter) {
                err = g_faults.writeErrno;
                return false;
            }
            chunk = std::min<int64_t>(int64_t(n), g_faults.failWriteAfter - g_written);
        }
        ssize_t w = ::write(fd, p, chunk);
        if (w < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        p += w;
        n -= size_t(w);
        g_written += w;
    }
    return true;
}

bool syncFolder(const std::string& path)
{
    int dfd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return false;
    bool ok = ::fsync(dfd) == 0;
    ::close(dfd);
    return ok;
}

class FdSink : public TOutSink {
public:
    explicit FdSink(int fd) : m_fd(fd) {}
    bool write(const void* data, size_t n) override
    {
        if (m_err) return false;
        return writeAll(m_fd, data, n, m_err);
    }
    int error() const { return m_err; }

private:
    int m_fd;
    int m_err = 0;
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
// TFileReader

TFileReader::~TFileReader() { close(); }

bool TFileReader::open(const std::string& path)
{
    close();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = S_ISDIR(st.st_mode) ? EISDIR : errno ? errno : EINVAL;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = st.st_size;
    m_pos = 0;
    m_bufStart = 0;
    m_bufLen = 0;
    m_error = 0;
    return true;
}

void TFileReader::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_pos = 0;
    m_bufLen = 0;
    m_buf.clear();
    m_buf.shrink_to_fit();
}

bool TFileReader::seek(int64_t pos)
{
    if (m_fd < 0 || pos < 0 || pos > m_size) return false;
    m_pos = pos;
    return true;
}

// Loads the window so that it covers [offset, offset + want). The window is placed so that a read
// near the end also takes in everything before it up to the window size.
bool TFileReader::fill(int64_t offset, size_t want)
{
    int64_t start = offset;
    if (m_size - offset < int64_t(kWindow)) start = std::max<int64_t>(0, m_size - int64_t(kWindow));
    if (start > offset) start = offset;
    size_t len = size_t(std::min<int64_t>(int64_t(kWindow), m_size - start));
    if (len < want + size_t(offset - start)) return false;
    if (m_buf.size() < kWindow) m_buf.resize(kWindow);
    size_t got = 0;
    while (got < len) {
        ssize_t r = ::pread(m_fd, m_buf.data() + got, len - got, start + int64_t(got));
        if (r < 0) {
            if (errno == EINTR) continue;
            m_error = errno;
            m_bufLen = 0;
            return false;
        }
        if (r == 0) break; // the file shrank under us
        got += size_t(r);
    }
    m_bufStart = start;
    m_bufLen = got;
    return got >= want + size_t(offset - start);
}

bool TFileReader::readAt(int64_t offset, void* dst, size_t n)
{
    if (m_fd < 0 || offset < 0 || offset > m_size || int64_t(n) > m_size - offset) return false;
    if (n == 0) return true;
    bool inWindow = offset >= m_bufStart && offset + int64_t(n) <= m_bufStart + int64_t(m_bufLen);
    if (!inWindow) {
        if (n > kWindow / 2) {
            // Large blocks (pictures, audio copies) bypass the window.
            size_t got = 0;
            auto* out = static_cast<uint8_t*>(dst);
            while (got < n) {
                ssize_t r = ::pread(m_fd, out + got, n - got, offset + int64_t(got));
                if (r < 0) {
                    if (errno == EINTR) continue;
                    m_error = errno;
                    return false;
                }
                if (r == 0) return false;
                got += size_t(r);
            }
            return true;
        }
        if (!fill(offset, n)) return false;
    }
    std::memcpy(dst, m_buf.data() + (offset - m_bufStart), n);
    return true;
}

bool TFileReader::read(void* dst, size_t n)
{
    if (!readAt(m_pos, dst, n)) return false;
    m_pos += int64_t(n);
    return true;
}

bool TFileReader::read(ByteVector& dst, size_t n)
{
    if (m_fd < 0 || int64_t(n) > remaining()) return false; // never allocate beyond the file
    dst.resize(n);
    return read(dst.data(), n);
}

size_t TFileReader::readSome(void* dst, size_t n)
{
    size_t take = size_t(std::min<int64_t>(int64_t(n), std::max<int64_t>(0, remaining())));
    return read(dst, take) ? take : 0;
}

bool TFileReader::readLE16(uint16_t& v)
{
    uint8_t b[2];
    if (!read(b, 2)) return false;
    v = getLE16(b);
    return true;
}
bool TFileReader::readLE32(uint32_t& v)
{
    uint8_t b[4];
    if (!read(b, 4)) return false;
    v = getLE32(b);
    return true;
}
bool TFileReader::readLE64(uint64_t& v)
{
    uint8_t b[8];
    if (!read(b, 8)) return false;
    v = uint64_t(getLE32(b)) | (uint64_t(getLE32(b + 4)) << 32);
    return true;
}
bool TFileReader::readBE16(uint16_t& v)
{
    uint8_t b[2];
    if (!read(b, 2)) return false;
    v = getBE16(b);
    return true;
}
bool TFileReader::readBE24(uint32_t& v)
{
    uint8_t b[3];
    if (!read(b, 3)) return false;
    v = getBE24(b);
    return true;
}
bool TFileReader::readBE32(uint32_t& v)
{
    uint8_t b[4];
    if (!read(b, 4)) return false;
    v = getBE32(b);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Writers

bool TOutSink::copyFrom(TFileReader& src, int64_t offset, int64_t length)
{
    if (offset < 0 || length < 0 || offset > src.size() || length > src.size() - offset) return false;
    ByteVector chunk(size_t(std::min<int64_t>(length, 1 << 20)));
    while (length > 0) {
        size_t n = size_t(std::min<int64_t>(length, int64_t(chunk.size())));
        if (!src.readAt(offset, chunk.data(), n) || !write(chunk.data(), n)) return false;
        offset += int64_t(n);
        length -= int64_t(n);
    }
    return true;
}

IoResult rewriteFile(const std::string& path, const std::function<bool(TOutSink&)>& produce)
{
    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return IoResult::fromErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    // rename() would ignore the original's mode, so a file the user may not write is refused.
    if (exists && ::access(path.c_str(), W_OK) != 0) return IoResult::fromErrno(errno);
    mode_t mode = exists ? (st.st_mode & 07777) : 0644;

    std::string tmp;
    int fd = -1;
    for (int i = 0; i < 1000 && fd < 0; ++i) {
        tmp = path + "~" + (i ? std::to_string(i) : std::string());
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return IoResult::fromErrno(errno);
    }
    if (fd < 0) return IoResult::fromErrno(EEXIST);

    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return IoResult::fromErrno(err);
    };
    if (::fchmod(fd, mode) != 0) return abandon(errno);
    FdSink sink(fd);
    if (!produce(sink)) return abandon(sink.error() ? sink.error() : EIO);
    if (sink.error()) return abandon(sink.error());
    if (::fsync(fd) != 0) return abandon(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return IoResult::fromErrno(err);
    }
    if (g_faults.renameErrno) {
        ::unlink(tmp.c_str());
        return IoResult::fromErrno(g_faults.renameErrno);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return IoResult::fromErrno(err);
    }
    syncFolder(path);
    return IoResult::success();
}

IoResult writeWholeFile(const std::string& path, const void* data, size_t n)
{
    return rewriteFile(path, [&](TOutSink& out) { return out.write(data, n); });
}

IoResult writeInPlace(const std::string& path, int64_t offset, const void* data, size_t n)
{
    if (offset < 0) return IoResult::fromErrno(EINVAL);
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return IoResult::fromErrno(errno);
    int err = 0;
    bool ok = ::lseek(fd, offset, SEEK_SET) == offset || ((err = errno), false);
    if (ok) ok = writeAll(fd, data, n, err);
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    return ok ? IoResult::success() : IoResult::fromErrno(err ? err : EIO);
}

IoResult truncateFile(const std::string& path, int64_t size)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return IoResult::fromErrno(errno);
    int err = 0;
    if (::ftruncate(fd, size) != 0 || ::fsync(fd) != 0) err = errno;
    ::close(fd);
    return err ? IoResult::fromErrno(err) : IoResult::success();
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

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

namespace fileio_testing {
void setFaults(const Faults& faults)
{
    g_faults = faults;
    g_written = 0;
}
void clearFaults() { setFaults(Faults{}); }
} // namespace fileio_testing

} // namespace cantorix
