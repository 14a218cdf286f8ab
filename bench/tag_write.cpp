// Cantorix's side of bench/tag_rewrite.sh: writes the tags a rename run writes into every file of a
// folder, through the program's own tag writers (the library the programs use), sorted by name:
// title TITLE, artist, album, year, track and genre fixed. Exits 1 when a write failed.
//   tag_write TITLE DIR
#include "audio/WriteTags.h"

#include "folder_files.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tag_write TITLE DIR\n");
        return 2;
    }
    const std::vector<std::string> paths = regularFilesByName(argv[2]);
    const cantorix::TTagValues values{argv[1], "Artist", "Album", "2024", "07", "Rock"};
    int failed = 0;
    for (const std::string& path : paths) {
        const cantorix::IoResult r = cantorix::WriteAudioTags(path, values);
        if (!r) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), r.error.c_str());
            failed = 1;
        }
    }
    return failed;
}
