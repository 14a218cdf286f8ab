// ID3v1 and Lyrics3: read arbitrary bytes, write the values back into a copy of them, read again.
#include "FuzzFile.h"
#include "audio/ID3v1.h"

using namespace cantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemorySource input(data, size);
    TID3v1 tag;
    if (!tag.ReadFromSource(input)) return 0;
    const int64_t tail = tag.TotalSize();
    fuzz::check(tail >= 0 && tail <= int64_t(size), "the tags lie in the file");

    // Save the values read (plus a change) into a copy: the bytes before the old tags must survive.
    std::string copy = fuzz::writeInput(data, size, "copy");
    tag.SetArtist(size % 2 ? "Artist with a name longer than thirty characters" : "Motörhead");
    tag.SetTrackText(size % 3 ? "7" : "");
    if (!tag.SaveToFile(copy)) return 0;
    std::string before(reinterpret_cast<const char*>(data), size - size_t(tail));
    std::string after = fuzz::readAll(copy);
    fuzz::check(after.compare(0, before.size(), before) == 0, "the audio is kept");

    TID3v1 again;
    fuzz::check(again.ReadFromFile(copy), "the copy reads");
    fuzz::check(again.Present(), "the copy has a tag");
    // Bytes kept before the new tag that themselves end like a Lyrics3 block (two blocks stacked in
    // the original) are read as the new tag's block: the format cannot tell them apart.
    const bool stacked = before.size() >= 9 && before.compare(before.size() - 9, 9, "LYRICS200") == 0;
    fuzz::check(stacked || again.Artist().rfind(tag.Artist().substr(0, 8), 0) == 0 || !again.ExtArtist().empty(),
                "the artist was written");
    // Reading again may find more (a second, older Lyrics3 block that was audio before), never less.
    fuzz::check(again.TotalSize() >= int64_t(after.size() - before.size()), "the tail is found again");
    fuzz::check(bool(again.RemoveFromFile(copy)), "the tags can be removed");
    std::string removed = fuzz::readAll(copy);
    fuzz::check(before.compare(0, removed.size(), removed) == 0 && removed.size() <= before.size(),
                "removing cuts only tags");
    return 0;
}
