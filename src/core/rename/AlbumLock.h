// One operation at a time per album: a flock() on a lock file in the state folder, beside the album's
// undo record. The file is named by the album folder's device and inode, not its path, so that two
// runs reach the same lock whichever name (or link, or overlapping batch root) led them to the folder,
// and a folder a run renamed keeps its lock. The kernel releases the lock when the process ends, killed
// or not: a lock file left behind never blocks anyone (and old ones are pruned).
#pragma once

#include <QtGlobal>

#include <cstdint>
#include <string>

namespace cantorix {

class TAlbumLock {
public:
    TAlbumLock() = default;
    ~TAlbumLock() { release(); }
    TAlbumLock(const TAlbumLock&) = delete;
    TAlbumLock& operator=(const TAlbumLock&) = delete;

    enum class TResult { Taken, Busy, Failed };
    // Takes the lock of the album folder `folder` in `directory` without waiting: Busy when another
    // process (or another lock in this one) holds it; Failed, with the reason in `error`, when the
    // folder or the lock file cannot be reached.
    TResult take(const std::string& directory, const std::string& folder, std::string* error = nullptr);
    void release();
    // The lock file's name for the folder of this device and inode.
    static std::string fileNameFor(uint64_t device, uint64_t inode);
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::string m_path;
};

// Marked for lupdate (context "Rename"); shown through TrLine.
inline constexpr const char* AlbumBusyText =
    QT_TRANSLATE_NOOP("Rename", "Another Cantorix run is renaming this album");

} // namespace cantorix
