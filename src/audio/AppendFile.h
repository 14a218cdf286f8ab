// An append-only record file: made whole by the safe route (temporary file, sync, rename, folder sync)
// and then extended a line at a time, each append one write() and each sync one fsync(), both through
// the file-system seam so that a test can make them fail. Plain C++ and POSIX; nothing here throws.
#pragma once

#include "audio/IoResult.h"
#include "audio/SafeWrite.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TAppendFile {
public:
    explicit TAppendFile(TFileSystem& files = systemFiles()) : m_files(&files) {}
    ~TAppendFile() { close(); }
    TAppendFile(const TAppendFile&) = delete;
    TAppendFile& operator=(const TAppendFile&) = delete;

    // Creates or replaces `path` with `n` bytes at `data`: they go to a hidden temporary file beside it
    // (".<name>.cantorix-XXXXXX", mode 0600, locked while written), which is synced and renamed over
    // `path`; then the folder is synced. Afterwards the file is open for appends. On failure the
    // temporary file is gone and whatever `path` held before is untouched.
    IoResult create(const std::string& path, const void* data, size_t n);
    // Opens an existing regular file for appends (a link is not followed, a FIFO never waited on);
    // bytes past `keepBytes` (a line torn by a crash) are cut off first. keepBytes < 0 keeps all.
    IoResult open(const std::string& path, int64_t keepBytes = -1);
    // Appends all n bytes with one write() (retried while the system takes part of them).
    IoResult append(const void* data, size_t n);
    IoResult append(const std::string& bytes) { return append(bytes.data(), bytes.size()); }
    // fsync() of the file: what was appended survives a crash of the machine.
    IoResult sync();
    void close();
    bool isOpen() const { return m_fd >= 0; }

private:
    TFileSystem* m_files;
    int m_fd = -1;
};

// fsync() of a folder, so that names made, moved or removed in it survive a crash of the machine.
IoResult syncDirectory(const std::string& folder, TFileSystem& files = systemFiles());

// A second name for an existing file (link()); never replaces an existing `to`.
IoResult addName(const std::string& existing, const std::string& to);

} // namespace cantorix
