// Arbitrary bytes as an Ogg Vorbis file, then the six tag values written: a refused write leaves the
// file byte for byte as it was; a successful one changes the second page only, gives it a valid
// checksum, and keeps every other comment entry.
#include "FuzzFile.h"
#include "VorbisFuzz.h"

#include "audio/formats/OggVorbis.h"

#include <cstring>

using namespace cantorix;

namespace {

bool secondPage(const std::vector<uint8_t>& bytes, int64_t offset, TOggPage& page)
{
    TMemorySource in(bytes);
    return ReadOggPage(in, offset, page);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> original(data, data + size);
    TMemorySource input(original);
    TOggVorbis before;
    bool valid = before.ReadFromSource(input);
    TOggPage oldPage;
    bool hadPage = valid && secondPage(original, before.SecondPagePos(), oldPage);
    std::string path = fuzzfile::write("in.ogg", data, size);

    TTagValues values{std::string(size ? (data[0] * 5u) % 600u : 5u, 't'), "Artist \xC3\xA9", "", "1999", "07", "Rock"};
    IoResult r = WriteOggTags(path, values);
    std::vector<uint8_t> written = fuzzfile::read(path);
    if (!r.ok) {
        fuzzfile::check(written == original, "a refused write leaves the file unchanged");
        return 0;
    }
    // A packet over several pages is only ever laid into them in place.
    fuzzfile::check(valid && hadPage && (before.CommentOnSecondPage() || written.size() == original.size()),
                    "only a comment on the second page is rewritten");
    TMemorySource output(written);
    TOggVorbis after;
    TOggPage newPage;
    fuzzfile::check(after.ReadFromSource(output) && after.SecondPagePos() == before.SecondPagePos() &&
                        secondPage(written, after.SecondPagePos(), newPage),
                    "the written file reads");
    fuzzfile::check(after.CommentOnSecondPage() == before.CommentOnSecondPage(), "the comment ends where it ended");
    fuzzfile::check(after.Title() == values.Title && after.Artist() == values.Artist && after.Album().empty() &&
                        after.Year() == "1999" && after.Track() == 7 && after.Genre() == "Rock",
                    "the new values are read back");
    fuzzfile::check(fuzzfile::otherEntries(after) == fuzzfile::otherEntries(before), "other comment entries kept");
    const auto pos = size_t(before.SecondPagePos());
    fuzzfile::check(std::equal(written.begin(), written.begin() + long(pos), original.begin()), "pages before kept");
    if (!before.CommentOnSecondPage()) return 0;
    fuzzfile::check(std::vector<uint8_t>(written.begin() + newPage.end(), written.end()) ==
                        std::vector<uint8_t>(original.begin() + oldPage.end(), original.end()),
                    "pages after kept");
    std::vector<uint8_t> page(written.begin() + long(pos), written.begin() + newPage.end());
    std::memset(page.data() + 22, 0, 4);
    fuzzfile::check(OggCrc(page.data(), page.size()) == newPage.crc(), "the rebuilt page's checksum");
    fuzzfile::check(std::memcmp(page.data() + 4, original.data() + pos + 4, 18) == 0, "flags, granule, serial, sequence kept");
    return 0;
}
