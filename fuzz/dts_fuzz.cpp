// Arbitrary bytes as a DTS stream: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds, and give finite numbers.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/DTS.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TDTS r;
    r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(r.Frames() <= uint64_t(size) / 96, "every core frame counted lies in the file");
    fuzzfile::check(cantorix::DTSPlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadDTSInfo(in, values);
    return 0;
}
