#include "audio/ByteSource.h"

#include "audio/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cantorix {

namespace {

constexpr size_t kWindow = 64 * 1024;
// m_failure of a read that passed the end: no errno describes it.
constexpr int kEndOfData = -1;
// A signal storm must not hold a read forever.
constexpr int kMaxInterruptions = 1000;

} // namespace

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
// TBlockReader

const uint8_t* TBlockReader::at(int64_t offset, size_t n)
{
    if (offset < 0 || n > m_block || offset > m_in.size() || int64_t(n) > m_in.size() - offset) return nullptr;
    if (offset >= m_start && offset + int64_t(n) <= m_start + int64_t(m_len)) return m_buf.data() + (offset - m_start);
    const size_t len = size_t(std::min<int64_t>(int64_t(m_block), m_in.size() - offset));
    if (m_buf.size() < len) m_buf.resize(len);
    m_len = 0;
    if (!m_in.readAt(offset, m_buf.data(), len)) return nullptr;
    m_start = offset;
    m_len = len;
    return m_buf.data();
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
    int fd = openRegularFile(path, O_RDONLY, &size, &m_stamp);
    if (fd < 0) return IoResult::fromErrno(errno);
    m_fd = fd;
    reset(size);
    return IoResult::success();
}

void TFileReader::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_stamp = TFileStamp();
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

} // namespace cantorix
