// TagLib's side of bench/tag_rewrite.sh: the same six values into every file of a folder, through
// TagLib's generic tag interface and its save, sorted by name.
//   taglib_tag_write TITLE DIR
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include "folder_files.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: taglib_tag_write TITLE DIR\n");
        return 2;
    }
    const std::vector<std::string> paths = regularFilesByName(argv[2]);
    int failed = 0;
    for (const std::string& path : paths) {
        TagLib::FileRef file(path.c_str(), false);
        if (file.isNull() || !file.tag()) {
            failed = 1;
            continue;
        }
        TagLib::Tag* tag = file.tag();
        tag->setTitle(TagLib::String(argv[1], TagLib::String::UTF8));
        tag->setArtist("Artist");
        tag->setAlbum("Album");
        tag->setYear(2024);
        tag->setTrack(7);
        tag->setGenre("Rock");
        if (!file.save()) failed = 1;
    }
    return failed;
}
