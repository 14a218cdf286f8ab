// The bytes every reader parses: a buffered read-only file or a block of memory behind one interface,
// so the same parser runs on either. Nothing here throws; offsets and sizes are 64-bit, and a read
// that would pass the end is refused.
#pragma once

#include "audio/IoResult.h"
#include "audio/Paths.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cantorix {

using ByteVector = std::vector<uint8_t>;

// Where a reader's bytes come from: a file or memory. Every read is checked against size(); a read
// that would pass the end or that the system refuses returns false and leaves the position unchanged.
// Readers parse through this interface only, so the same parser runs on a file or on a buffer.
class TInSource {
public:
    virtual ~TInSource() = default;

    int64_t size() const { return m_size; }
    int64_t tell() const { return m_pos; }
    int64_t remaining() const { return m_size - m_pos; }
    // Moves to an absolute offset in [0, size()]; false (position unchanged) otherwise.
    bool seek(int64_t pos);
    bool skip(int64_t n) { return n >= 0 && n <= remaining() && seek(m_pos + n); }

    // Reads exactly n bytes at the position and advances.
    bool read(void* dst, size_t n);
    // The same into `dst`, resized to n; never allocates beyond what the source holds.
    bool read(ByteVector& dst, size_t n);
    // Reads exactly n bytes at an absolute offset without moving the position.
    bool readAt(int64_t offset, void* dst, size_t n);
    // Reads up to n bytes; returns how many were read.
    size_t readSome(void* dst, size_t n);

    bool readU8(uint8_t& v) { return read(&v, 1); }
    bool readLE16(uint16_t& v);
    bool readLE32(uint32_t& v);
    bool readLE64(uint64_t& v);
    bool readBE16(uint16_t& v);
    bool readBE24(uint32_t& v);
    bool readBE32(uint32_t& v);

    // The outcome of the most recent read: success, the errno of a system call that failed, or
    // "Unexpected end of file" (code 0) for a read past the end.
    IoResult error() const;

protected:
    TInSource() = default;
    void reset(int64_t size);
    // Copies n > 0 bytes at `offset` to dst; the range lies inside [0, size()]. On failure an
    // implementation returns fail() with the errno, or with 0 when the data ended early.
    virtual bool fetch(int64_t offset, void* dst, size_t n) = 0;
    bool fail(int err);

private:
    int64_t m_size = 0;
    int64_t m_pos = 0;
    int m_failure = 0; // errno of the most recent read; kEndOfData for one past the end
};

// Bytes in memory as a source. The bytes are not copied: they must outlive the source.
class TMemorySource : public TInSource {
public:
    TMemorySource(const void* data, size_t n);
    explicit TMemorySource(const ByteVector& bytes) : TMemorySource(bytes.data(), bytes.size()) {}
    explicit TMemorySource(ByteVector&&) = delete; // would outlive its bytes

protected:
    bool fetch(int64_t offset, void* dst, size_t n) override;

private:
    const uint8_t* m_data;
};

// A read-only file with a 64 KiB read-ahead window. Small reads near each other cost one system call;
// a read near the end of the file fetches the whole tail, where ID3v1, Lyrics3 and APE tags live.
// Closed, it is an empty source.
class TFileReader : public TInSource {
public:
    TFileReader() = default;
    ~TFileReader() override;
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // Opens `path` for reading; fails when it cannot be opened or is not a regular file.
    IoResult open(const std::string& path);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // The file as it was opened: a writer that copies from it checks before it replaces the file that
    // nothing has written to it since.
    const TFileStamp& stamp() const { return m_stamp; }

protected:
    bool fetch(int64_t offset, void* dst, size_t n) override;

private:
    bool fill(int64_t offset, size_t want);
    bool readFully(uint8_t* dst, size_t n, int64_t offset, size_t& got);

    int m_fd = -1;
    TFileStamp m_stamp;
    ByteVector m_buf;
    int64_t m_bufStart = 0;
    size_t m_bufLen = 0;
};

// Reads a source front to back in large blocks, for walks over every frame of a stream: a frame
// header costs a system call only when it lies beyond the block in hand (one per MiB of stream,
// where the file reader's window would take one per 64 KiB).
class TBlockReader {
public:
    explicit TBlockReader(TInSource& in, size_t block = size_t(1) << 20) : m_in(in), m_block(block) {}
    // The n bytes at `offset` (n at most the block size), valid until the next call; null when they
    // pass the end of the source or the read failed (the source tells why).
    const uint8_t* at(int64_t offset, size_t n);

private:
    TInSource& m_in;
    size_t m_block;
    ByteVector m_buf;
    int64_t m_start = 0;
    size_t m_len = 0;
};

// Opens `fileName` and has `reader` read itself from it (ReadFromSource), giving what that returns. A
// file that cannot be opened is read as an empty source, which leaves every value of the reader
// reset, and gives false.
template <typename Reader>
bool ReadFileInto(Reader& reader, const std::string& fileName)
{
    TFileReader file;
    if (!file.open(fileName)) {
        TMemorySource nothing(nullptr, 0);
        reader.ReadFromSource(nothing);
        return false;
    }
    return reader.ReadFromSource(file);
}

// Little/big-endian decoding from a checked buffer position.
inline uint16_t getLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t getLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t getBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t getBE24(const uint8_t* p) { return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]; }
inline uint32_t getBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline void putLE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}
inline void putBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v);
}

} // namespace cantorix
