// Faults for the file layer: a file system whose writes, syncs or renames fail, and a source whose
// reads fail in a range of offsets. Writers and readers take these in place of the real ones. Also
// the byte pattern the file layer's tests write.
#pragma once

#include "audio/ByteSource.h"
#include "audio/SafeWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>

namespace cantorix::test {

// The machine's file system with faults: writes fail with `writeErrno` once `failWriteAfter` bytes
// went out in total (-1: never); a sync or a rename fails with its errno when that is not 0;
// `beforeSync`, when set, runs before each sync (another program writing to a file meanwhile).
class TFaultyFiles : public TFileSystem {
public:
    int64_t failWriteAfter = -1;
    int writeErrno = ENOSPC;
    int syncErrno = 0;
    int renameErrno = 0;
    std::function<void()> beforeSync;

    static TFaultyFiles diskFullAfter(int64_t bytes, int err = ENOSPC)
    {
        TFaultyFiles f;
        f.failWriteAfter = bytes;
        f.writeErrno = err;
        return f;
    }
    static TFaultyFiles renameFails(int err)
    {
        TFaultyFiles f;
        f.renameErrno = err;
        return f;
    }

    int write(int fd, const void* data, size_t n, size_t& written) override
    {
        written = 0;
        if (failWriteAfter >= 0) {
            if (m_written >= failWriteAfter) return writeErrno;
            n = size_t(std::min<int64_t>(int64_t(n), failWriteAfter - m_written));
        }
        int err = TFileSystem::write(fd, data, n, written);
        m_written += int64_t(written);
        return err;
    }
    int sync(int fd) override
    {
        if (beforeSync) beforeSync();
        return syncErrno ? syncErrno : TFileSystem::sync(fd);
    }
    int rename(const std::string& from, const std::string& to) override
    {
        return renameErrno ? renameErrno : TFileSystem::rename(from, to);
    }

private:
    int64_t m_written = 0;
};

// n bytes in which neighbouring offsets (and blocks of 256) differ, so that a misplaced copy shows.
inline ByteVector pattern(size_t n)
{
    ByteVector b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + (i >> 8));
    return b;
}

// Bytes in memory whose reads fail with `err` when they touch [failFrom, failTo).
class TFailingSource : public TMemorySource {
public:
    TFailingSource(const ByteVector& bytes, int64_t failFrom, int64_t failTo = INT64_MAX, int err = EIO)
        : TMemorySource(bytes), m_failFrom(failFrom), m_failTo(failTo), m_err(err)
    {
    }
    TFailingSource(ByteVector&&, int64_t, int64_t = 0, int = 0) = delete; // would outlive its bytes

protected:
    bool fetch(int64_t offset, void* dst, size_t n) override
    {
        if (offset < m_failTo && offset + int64_t(n) > m_failFrom) return fail(m_err);
        return TMemorySource::fetch(offset, dst, n);
    }

private:
    int64_t m_failFrom;
    int64_t m_failTo;
    int m_err;
};

} // namespace cantorix::test
