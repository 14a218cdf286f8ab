// Arbitrary bytes as an AC-3 stream: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds, and give finite numbers.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/AC3.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TAC3 r;
    r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(r.Samples() <= uint64_t(size) / 7 * 1536, "every frame counted lies in the file");
    fuzzfile::check(cantorix::AC3PlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadAC3Info(in, values);
    return 0;
}
