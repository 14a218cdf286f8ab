// Arbitrary bytes as a TTA file: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds, and give finite numbers.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/TTA.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TTTA r;
    r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(std::isfinite(r.BitRate()), "the bit rate is a number");
    fuzzfile::check(cantorix::TTAPlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadTTAInfo(in, values);
    return 0;
}
