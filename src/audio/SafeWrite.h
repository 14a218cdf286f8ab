// Changing files without ever losing one: a rewrite streams the new content into a temporary copy
// beside the original and renames it over the original once it is complete and synced; tag bytes
// that fit their old place are overwritten in place. Every system call goes through TFileSystem, so
// that a test can make any of them fail.
#pragma once

#include "audio/ByteSource.h"
#include "audio/IoResult.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cantorix {

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

// rewriteFile for a new content made from `source`, the file itself opened for reading: when the
// file was written to since `source` opened it (bytes appended, say, while the copy was made), the
// copy would lose that write, so it is refused before the final rename ("The file changed while it
// was being rewritten"): the temporary file is removed and the file keeps what it holds.
IoResult rewriteFrom(const TFileReader& source, const std::string& path,
                     const std::function<bool(TOutSink&)>& produce, TFileSystem& files = systemFiles());

// The reason rewriteFrom gives when the file changed under it.
inline constexpr const char* kChangedWhileRewritten = "The file changed while it was being rewritten";

// Creates or replaces `path` with `bytes` by the same safe route (used for playlists, logs, settings).
IoResult writeWholeFile(const std::string& path, const void* data, size_t n, TFileSystem& files = systemFiles(),
                        unsigned keepModeBits = 07777);

// Creates `path` with `bytes` by the same route, but only while no entry has that name: the finished
// copy takes the name without replacing anything (EEXIST when it is taken, also meanwhile).
IoResult writeNewFile(const std::string& path, const void* data, size_t n, TFileSystem& files = systemFiles());

// Overwrites `n` bytes at `offset` of an existing file, without changing its size unless the write
// extends past the end (only tags at the end of a file may do that). The file is synced.
IoResult writeInPlace(const std::string& path, int64_t offset, const void* data, size_t n,
                      TFileSystem& files = systemFiles());

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

} // namespace cantorix
