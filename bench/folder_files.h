// The regular files of a folder as paths sorted by name: the files and the order in which both sides
// of bench/tag_rewrite.sh write their tags (C++17, as the TagLib side is built).
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

inline std::vector<std::string> regularFilesByName(const char* dir)
{
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec)) paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}
