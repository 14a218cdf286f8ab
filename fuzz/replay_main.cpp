// Replays every file of the given folders (or files) through the fuzz entry point once. Used by the
// test run so that saved crash inputs and the corpus stay regression cases without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
int runFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(arg, ec))
                if (e.is_regular_file()) count += runFile(e.path());
        } else if (std::filesystem::is_regular_file(arg, ec)) {
            count += runFile(arg);
        }
    }
    // An empty run is still a pass: the entry point itself is exercised with no input.
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::printf("replayed %d inputs\n", count);
    return 0;
}
