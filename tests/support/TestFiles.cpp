#include "support/TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace cantorix::test {

namespace fs = std::filesystem;

namespace {
// Tests and the programs they start read these variables; a run outside ctest gets this build's paths.
const bool g_envDefaults = [] {
    ::setenv("CANTORIX_SOURCE_DIR", CANTORIX_SOURCE_DIR_DEFAULT, 0);
    ::setenv("CANTORIX_SHARED_DIR", CANTORIX_SHARED_DIR_DEFAULT, 0);
    ::setenv("CANTORIX_CLI", CANTORIX_CLI_DEFAULT, 0);
    return true;
}();
} // namespace

TempDir::TempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "cantorix-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests may leave read-only files or folders behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string readText(const std::string& path)
{
    Bytes b = readFile(path);
    return std::string(b.begin(), b.end());
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::string& path, const std::string& text)
{
    writeFile(path, Bytes(text.begin(), text.end()));
}

static std::string envOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

void writeAu(const std::string& path, uint32_t rate, uint32_t samples)
{
    Bytes b = {'.', 's', 'n', 'd'};
    auto be32 = [&](uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(v >> s));
    };
    be32(24);      // data offset: the header alone
    be32(samples); // data size
    be32(1);       // 8-bit mu-law
    be32(rate);
    be32(1); // channels
    b.resize(b.size() + samples, 0xFF);
    writeFile(path, b);
}

std::string fixture(const std::string& name)
{
    return envOr("CANTORIX_SOURCE_DIR", CANTORIX_SOURCE_DIR_DEFAULT) + "/tests/data/" + name;
}

std::string shared(const std::string& relative)
{
    return envOr("CANTORIX_SHARED_DIR", CANTORIX_SHARED_DIR_DEFAULT) + "/" + relative;
}

std::string cliPath()
{
    return envOr("CANTORIX_CLI", CANTORIX_CLI_DEFAULT);
}

std::vector<std::string> listFiles(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void writeAu(const std::string& path, int seconds)
{
    const uint32_t rate = 100, size = uint32_t(seconds) * rate;
    Bytes b = {'.', 's', 'n', 'd'};
    for (uint32_t v : {24u, size, 2u, rate, 1u})
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
    b.resize(b.size() + size, 0x80);
    writeFile(path, b);
}

} // namespace cantorix::test
