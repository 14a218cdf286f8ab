// The small steps every writer of the file layer takes the same way: a path's folder and name, a write
// that finishes or says why, a folder synced, and a fresh locked temporary file in the form the folder
// scans recognise. Internal to the file layer.
#pragma once

#include "audio/SafeWrite.h"

#include <string>
#include <sys/stat.h>

namespace cantorix::filesteps {

// Whether two stat results are one file (device and inode).
bool sameFile(const struct stat& a, const struct stat& b);

// The folder of `path` ("." without one, "/" at the root) and its last part.
std::string folderOf(const std::string& path);
std::string baseName(const std::string& path);

// Writes all n bytes, retrying interrupted calls (a bounded number of times); 0 or the errno.
int writeAll(TFileSystem& files, int fd, const void* data, size_t n);

// Syncs the folder of `path` so that a rename or a new name in it lasts; a folder that cannot be
// opened is left as it is.
void syncFolder(const std::string& path, TFileSystem& files);

// Creates and locks (flock, exclusive) ".<name>.cantorix-XXXXXX" beside `target`, the name cut at a
// character boundary to fit; the descriptor with its path in `tmp`, or -1 with errno set.
int createTemporary(const std::string& target, std::string& tmp);

} // namespace cantorix::filesteps
