// Fuzz inputs become real files, because every parser here reads files. One file per process (and
// per role), on a memory file system when there is one, so that the writers' syncs stay cheap.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace cantorix::fuzz {

inline std::string scratchPath(const char* role)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                               : std::filesystem::temp_directory_path();
    return (dir / ("cantorix-mpegfuzz-" + std::to_string(::getpid()) + "-" + role + ".mp3")).string();
}

// Removes the scratch files when the process ends normally.
struct ScratchCleanup {
    ~ScratchCleanup()
    {
        for (const char* role : {"in", "copy"}) {
            std::string path = scratchPath(role);
            std::remove(path.c_str());
            std::remove((path + "~").c_str());
        }
    }
};

// Writes the bytes to the process's file for `role` and returns its path.
inline std::string writeInput(const uint8_t* data, size_t size, const char* role = "in")
{
    static ScratchCleanup cleanup;
    std::string path = scratchPath(role);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) __builtin_trap();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) __builtin_trap();
    std::fclose(f);
    return path;
}

inline std::string readAll(const std::string& path)
{
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

// A crash that libFuzzer reports, with a reason for whoever reads the log.
inline void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
        __builtin_trap();
    }
}

} // namespace cantorix::fuzz
