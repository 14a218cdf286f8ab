// Arbitrary bytes as a Monkey's Audio file: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds, and give finite numbers.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/Monkey.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TMonkey r;
    r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(!r.Valid() || (r.SampleRate() > 0 && r.Duration() > 0), "a valid file has a duration");
    (void)r.VersionText();
    (void)r.CompressionModeText();
    (void)r.Tags().Values();
    fuzzfile::check(cantorix::MonkeyPlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadMonkeyInfo(in, values);
    return 0;
}
