// Arbitrary bytes as MP4 audio: the box walk must neither crash nor read outside what the file holds,
// stay within its bound on boxes, and give finite, non-negative times.
#include "FuzzFile.h"

#include "audio/formats/MP4file.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TMP4file r;
    const bool valid = r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(valid == (r.Milliseconds() > 0), "valid exactly when there is a time");
    fuzzfile::check(r.Samples() >= 0 && (r.Samples() == 0) == (r.SampleRate() == 0), "a count goes with its rate");
    fuzzfile::check(cantorix::MP4PlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    return 0;
}
