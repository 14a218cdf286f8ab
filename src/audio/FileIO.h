// The file layer under every reader and writer: the byte sources the readers parse (a buffered file
// or memory), safe rewriting through a temporary copy, in-place overwrites of tag bytes, and moves that
// never replace an existing target. Plain C++ and POSIX; nothing here throws. Offsets and sizes are
// 64-bit throughout. Every failure comes back as an IoResult whose reason was taken where it happened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace cantorix {

using ByteVector = std::vector<uint8_t>;

// The system's text for an error code without trailing spaces, line breaks and full stops
// ("File exists").
std::string errnoText(int err);

// The outcome of an operation at the I/O edge: ok, or the reason text for the log.
struct IoResult {
    bool ok = true;
    std::string error;
    int code = 0; // the errno behind the failure; 0 for a failure no system call reported
    static IoResult success() { return {}; }
    static IoResult failure(std::string why) { return {false, std::move(why), 0}; }
    static IoResult fromErrno(int err) { return {false, errnoText(err), err}; }
    explicit operator bool() const { return ok; }
};

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

protected:
    bool fetch(int64_t offset, void* dst, size_t n) override;

private:
    bool fill(int64_t offset, size_t want);
    bool readFully(uint8_t* dst, size_t n, int64_t offset, size_t& got);

    int m_fd = -1;
    ByteVector m_buf;
    int64_t m_bufStart = 0;
    size_t m_bufLen = 0;
};

// Opens `fileName` and has `reader` read itself from it (ReadFromSource); a file that cannot be opened
// leaves the reader empty and gives false.
template <typename Reader>
bool ReadFileInto(Reader& reader, const std::string& fileName)
{
    TFileReader file;
    if (!file.open(fileName)) {
        reader = Reader();
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

// The system calls by which the writers below change files. Every writer takes one, the machine's
// own by default, so that a test can hand in one that fails. Each call answers 0 or its errno.
class TFileSystem {
public:
    virtual ~TFileSystem() = default;
    // One write() to fd; `written` receives how many bytes went out.
    virtual int write(int fd, const void* data, size_t n, size_t& written);
    virtual int sync(int fd);
    virtual int rename(const std::string& from, const std::string& to);
};

// The machine's file system (it holds no state).
TFileSystem& systemFiles();

// Where a rewrite streams the new file's bytes. Every write is checked; after the first failure the
// sink refuses further writes, keeps the reason, and the rewrite is abandoned.
class TOutSink {
public:
    virtual ~TOutSink() = default;
    bool write(const void* data, size_t n);
    bool write(const ByteVector& bytes) { return write(bytes.data(), bytes.size()); }
    // Copies `length` bytes of `src` starting at `offset`; a failed read is the sink's failure too.
    bool copyFrom(TInSource& src, int64_t offset, int64_t length);
    // Success until a write or a copy failed; then why.
    const IoResult& failure() const { return m_failure; }

protected:
    // Writes all n bytes; 0 or the errno of the failure.
    virtual int put(const void* data, size_t n) = 0;

private:
    IoResult m_failure;
};

// Rewrites `path` through a hidden temporary file `.<name>.cantorix-XXXXXX`, created exclusively in
// the folder of the file (of a symlink's target: the link stays a link and its target gets the new
// content) and locked with flock() while it is written, so that a scan can tell it from the leftover
// of a writer that died. `produce` streams the complete new content; then the copy gets the
// original's permission bits, is synced and renamed over the original, and the folder is synced. On
// any failure the temporary file is removed and the original is byte-for-byte untouched. A file the
// user may not write, and anything that is not a regular file, is refused. `keepModeBits` masks the
// permission bits the new content gets (0600 for a file holding a password: readable by its owner only).
IoResult rewriteFile(const std::string& path, const std::function<bool(TOutSink&)>& produce,
                     TFileSystem& files = systemFiles(), unsigned keepModeBits = 07777);

// Creates or replaces `path` with `bytes` by the same safe route (used for playlists, logs, settings).
IoResult writeWholeFile(const std::string& path, const void* data, size_t n, TFileSystem& files = systemFiles(),
                        unsigned keepModeBits = 07777);

// Overwrites `n` bytes at `offset` of an existing file, without changing its size unless the write
// extends past the end (only tags at the end of a file may do that). The file is synced.
IoResult writeInPlace(const std::string& path, int64_t offset, const void* data, size_t n,
                      TFileSystem& files = systemFiles());
// Several such overwrites through one open file and one sync.
struct TPatch {
    int64_t offset;
    const void* data;
    size_t n;
};
IoResult writeInPlace(const std::string& path, std::span<const TPatch> patches, TFileSystem& files = systemFiles());

// Cuts an existing file to `size` bytes (removing a trailing tag). Synced.
IoResult truncateFile(const std::string& path, int64_t size, TFileSystem& files = systemFiles());

// The marker in the names of rewriteFile's temporary files.
inline constexpr const char* kTemporaryMarker = ".cantorix-";
// True for a name (no folder) that rewriteFile gives its temporary files: ".<name>.cantorix-XXXXXX".
bool isTemporaryFileName(const std::string& name);
// Removes the temporary files in `folder` whose writer is gone (their lock can be taken) and returns
// their names. A temporary file still locked by a live writer is left alone.
// Bounded by the folder's entries; `folder` may end with "/" or not.
std::vector<std::string> removeAbandonedTemporaryFiles(const std::string& folder);
// Async-signal-safe: removes the temporary file that rewriteFile is writing at this moment, if any.
// A signal handler calls it before the process ends.
void removeActiveTemporaryFile() noexcept;

// Opens `path` without blocking on a FIFO or a device and checks on the open descriptor that it is a
// regular file (EISDIR for a folder, EINVAL for anything else that is not a regular file). `flags`
// are open() flags; O_NONBLOCK stays set, which changes nothing for a regular file. -1 and errno set
// on failure.
int openRegularFile(const std::string& path, int flags, int64_t* size = nullptr);

// Moves a file or folder to `to` without ever replacing an existing target ("File exists").
IoResult moveNoReplace(const std::string& from, const std::string& to);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// `folder` with a "/" at its end, ready for a file name to follow ("" gives "/").
std::string withSlash(std::string folder);
// `path` without the "/" at its end ("/" stays "/"): what a move of the folder itself takes.
std::string withoutSlash(std::string path);
// True when the name exists at all, a dangling link included (lstat): what a move would collide with.
bool entryExists(const std::string& path);

} // namespace cantorix
