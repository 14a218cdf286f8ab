// Readers parse each fuzz input from memory; writers change files, so the targets that write put the
// input into a scratch file first. The scratch folder lives on a memory file system where there is one
// (the writers sync every file).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzzfile {

inline const std::string& scratchFolder()
{
    // Never destroyed: the exit handler that removes the folder runs after static destructors.
    static const std::string* folder = [] {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string tmpl = base + "/cantorix-fuzz-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        auto* made = new std::string(tmpl);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return made;
    }();
    return *folder;
}

// Writes the input to `<scratch>/<name>` and returns the path.
inline std::string write(const std::string& name, const uint8_t* data, size_t size)
{
    std::string path = scratchFolder() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

inline std::vector<uint8_t> read(const std::string& path)
{
    std::vector<uint8_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

// Stops the run with a message when a property of the writer does not hold.
inline void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

} // namespace fuzzfile

// The same scratch files under the names the MPEG and tag targets use.
namespace cantorix::fuzz {

// Writes the bytes to this process's scratch file for `role` and returns its path.
inline std::string writeInput(const uint8_t* data, size_t size, const char* role = "in")
{
    return fuzzfile::write(std::string(role) + ".mp3", data, size);
}

inline std::string readAll(const std::string& path)
{
    std::vector<uint8_t> bytes = fuzzfile::read(path);
    return std::string(bytes.begin(), bytes.end());
}

using fuzzfile::check;

} // namespace cantorix::fuzz
