// What a path names and how it moves: existence tests that a rename decides by, a move that never
// replaces its target, an open that refuses anything but a regular file, and the slash at a folder's
// end.
#pragma once

#include "audio/IoResult.h"

#include <cstdint>
#include <string>

namespace cantorix {

// Which file a name held and in what state: equal stamps taken at two moments mean that nobody wrote
// to the file in between (a write changes the size or the modification time).
struct TFileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = -1;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    bool operator==(const TFileStamp&) const = default;
};

// Opens `path` without blocking on a FIFO or a device and checks on the open descriptor that it is a
// regular file (EISDIR for a folder, EINVAL for anything else that is not a regular file). `flags`
// are open() flags; O_NONBLOCK stays set, which changes nothing for a regular file. -1 and errno set
// on failure. `size` and `stamp`, when given, receive the open file's size and stamp.
int openRegularFile(const std::string& path, int flags, int64_t* size = nullptr, TFileStamp* stamp = nullptr);

// The stamp of the file `path` names now (a symlink followed); false when it cannot be had.
bool fileStamp(const std::string& path, TFileStamp& stamp);

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
