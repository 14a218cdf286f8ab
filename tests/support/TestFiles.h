// Small helpers shared by the tests: a temporary folder that removes itself, whole-file reads and
// writes, and the paths of committed fixtures and of the shared reference data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace cantorix::test {

using Bytes = std::vector<uint8_t>;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    // Full path of a name inside the folder.
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

Bytes readFile(const std::string& path);
std::string readText(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);
// A Sun audio file of 8-bit samples at 100 Hz, `seconds` long in a few kilobytes: its playing time is
// exact and known, so a folder of them has a fixed disc ID.
void writeAu(const std::string& path, int seconds);
void writeText(const std::string& path, const std::string& text);
// A Sun/NeXT .au file of 8-bit mu-law mono silence, `samples` long at `rate` Hz: the smallest file
// that only the media-information library gives a playing time.
void writeAu(const std::string& path, uint32_t rate, uint32_t samples);

// tests/data/<name> in the source tree.
std::string fixture(const std::string& name);
// ../shared/<relative> beside the repository (CANTORIX_SHARED_DIR).
std::string shared(const std::string& relative);
// The cantorix-cli program of this build.
std::string cliPath();
// Names of the regular files in a folder, sorted.
std::vector<std::string> listFiles(const std::string& dir);

} // namespace cantorix::test
