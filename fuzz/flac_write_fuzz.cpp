// Arbitrary bytes as a FLAC file, then the six tag values written: a refused write leaves the file
// byte for byte as it was; a successful one leaves a valid file with the new values, every other
// comment entry and metadata block, and the audio frames unchanged.
#include "FuzzFile.h"
#include "VorbisFuzz.h"

#include "audio/formats/FLACfile.h"

using namespace cantorix;

namespace {

std::vector<std::vector<uint8_t>> otherBlocks(const TFLACfile& f, const std::vector<uint8_t>& bytes)
{
    std::vector<std::vector<uint8_t>> out;
    for (const TFLACfile::Block& b : f.OtherBlocks())
        if (b.type() != 1)
            out.emplace_back(bytes.begin() + b.bodyOffset, bytes.begin() + b.bodyOffset + b.length);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> original(data, data + size);
    TMemorySource input(original);
    TFLACfile before;
    bool valid = before.ReadFromSource(input);
    std::string path = fuzzfile::write("in.flac", data, size);

    // The first byte picks the title's length, so the comment block shrinks, grows within the padding
    // or outgrows it.
    TTagValues values{std::string(size ? (data[0] * 7u) % 700u : 5u, 't'), "Artist \xC3\xA9", "", "1999", "07", "Rock"};
    IoResult r = WriteFLACTags(path, values);
    std::vector<uint8_t> written = fuzzfile::read(path);
    if (!r.ok) {
        fuzzfile::check(written == original, "a refused write leaves the file unchanged");
        return 0;
    }
    fuzzfile::check(valid, "only valid files are written");
    TMemorySource output(written);
    TFLACfile after;
    fuzzfile::check(after.ReadFromSource(output), "the written file is valid");
    fuzzfile::check(after.Title() == values.Title && after.Artist() == values.Artist && after.Album().empty() &&
                        after.Date() == "1999" && after.TrackNumber() == "7" && after.Genre() == "Rock",
                    "the new values are read back");
    fuzzfile::check(after.Samples() == before.Samples() && after.SampleRate() == before.SampleRate(), "STREAMINFO kept");
    fuzzfile::check(fuzzfile::otherEntries(after) == fuzzfile::otherEntries(before), "other comment entries kept");
    fuzzfile::check(otherBlocks(after, written) == otherBlocks(before, original), "other blocks kept");
    fuzzfile::check(std::vector<uint8_t>(written.begin() + after.AudioOffset(), written.end()) ==
                        std::vector<uint8_t>(original.begin() + before.AudioOffset(), original.end()),
                    "audio frames unchanged");
    fuzzfile::check(std::vector<uint8_t>(written.begin(), written.begin() + after.ID3v2Size()) ==
                        std::vector<uint8_t>(original.begin(), original.begin() + before.ID3v2Size()),
                    "leading ID3v2 tag kept");
    return 0;
}
