// Arbitrary bytes as an AAC stream: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds, and give finite numbers.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/AACfile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TAACfile r;
    r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(r.Frames() * 7 <= uint64_t(size), "every frame counted lies in the file");
    (void)r.BitRateTypeText();
    (void)cantorix::IsMP4Container(in);
    fuzzfile::check(cantorix::AACPlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadAACInfo(in, values);
    return 0;
}
