// ID3v2: read arbitrary tags from memory, set six values in a copy, and check the values, the audio
// and the frames that were not set.
#include "FuzzFile.h"
#include "audio/ID3v2.h"

#include <algorithm>

using namespace cantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemorySource input(data, size);
    TID3v2 tag;
    if (!tag.ReadFromSource(input)) return 0;
    fuzz::check(tag.Size() >= 0 && tag.Size() <= int64_t(size), "the tag lies in the file");
    const int64_t oldSize = tag.Size();
    const std::vector<TID3v2Frame> oldFrames = tag.Frames();
    const int oldVersion = tag.Version();

    std::string copy = fuzz::writeInput(data, size, "copy");
    tag.SetTitle("Fuzzed Ωmega");
    tag.SetArtist("Björk");
    tag.SetAlbum(size % 2 ? "Album" : "");
    tag.SetYear("2024");
    tag.SetTrackText(size % 3 ? "07/12" : "x");
    tag.SetGenre("Jazz");
    // Every fifth input also gets user texts and a unique file identifier.
    const bool ids = size % 5 == 0;
    if (ids) {
        tag.SetUserText("MusicBrainz Artist Id", {"a", "b"});
        tag.SetUniqueFileId("http://musicbrainz.org", "rec");
    }
    if (!tag.SaveToFile(copy)) return 0;

    TID3v2 again;
    fuzz::check(again.ReadFromFile(copy), "the copy reads");
    fuzz::check(again.Present() && again.Size() > 0, "the copy has a tag");
    fuzz::check(again.Title() == "Fuzzed Ωmega", "title");
    fuzz::check(again.Artist() == "Björk", "artist");
    fuzz::check(again.Year() == "2024", "year");
    fuzz::check(again.Genre() == "Jazz", "genre");
    fuzz::check(again.TrackText() == (size % 3 ? "07/12" : ""), "track");
    if (size % 2) fuzz::check(again.Album() == "Album", "album");
    if (ids) {
        const std::vector<std::string> artists = again.UserText("MusicBrainz Artist Id");
        fuzz::check(artists == (again.Version() == 4 ? std::vector<std::string>{"a", "b"}
                                                     : std::vector<std::string>{"a/b"}),
                    "user text");
        fuzz::check(again.UniqueFileId("http://musicbrainz.org") == "rec", "unique file identifier");
    }

    std::string after = fuzz::readAll(copy);
    std::string audio(reinterpret_cast<const char*>(data) + oldSize, size - size_t(oldSize));
    fuzz::check(after.size() >= size_t(again.Size()) && after.substr(size_t(again.Size())) == audio,
                "the audio follows the new tag unchanged");

    // Frames of a 2.3 or 2.4 tag that were not set come back byte for byte.
    if (oldVersion == 3 || oldVersion == 4) {
        static const char* const set[] = {"TIT2", "TPE1", "TALB", "TYER", "TDRC", "TRCK", "TCON"};
        for (const TID3v2Frame& f : oldFrames) {
            if (std::find_if(std::begin(set), std::end(set), [&](const char* id) { return f.id == id; }) != std::end(set))
                continue;
            if (ids && (f.id == "TXXX" || f.id == "UFID")) continue; // may be the ones that were set
            bool kept = std::any_of(again.Frames().begin(), again.Frames().end(), [&](const TID3v2Frame& g) {
                return g.id == f.id && g.data == f.data && g.flags[0] == f.flags[0] && g.flags[1] == f.flags[1];
            });
            fuzz::check(kept, "a frame that was not set is kept");
        }
    }
    return 0;
}
