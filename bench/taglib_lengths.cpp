// The yardstick of bench/scan_taglib.sh: lists the files of one folder with TagLib's playing time of each
// (fast audio properties), one "name<TAB>seconds" line per file, sorted by name.
//   taglib_lengths DIR
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: taglib_lengths DIR\n");
        return 2;
    }
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], ec))
        if (!entry.is_directory(ec)) names.push_back(entry.path().filename().string());
    if (ec) {
        std::fprintf(stderr, "taglib_lengths: %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    std::sort(names.begin(), names.end());
    const std::string folder = std::string(argv[1]) + "/";
    for (const std::string& name : names) {
        TagLib::FileRef file((folder + name).c_str(), true, TagLib::AudioProperties::Fast);
        int seconds = file.isNull() || !file.audioProperties() ? 0 : file.audioProperties()->length();
        std::printf("%s\t%d\n", name.c_str(), seconds);
    }
    return 0;
}
