// Arbitrary bytes as a TwinVQ file: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds, and give finite numbers.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/TwinVQ.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TTwinVQ r;
    r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(r.Title().size() <= 2 * 250 && r.Album().size() <= 2 * 250, "texts stay within their chunks");
    (void)r.Corrupted();
    fuzzfile::check(cantorix::TwinVQPlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadTwinVQInfo(in, values);
    return 0;
}
