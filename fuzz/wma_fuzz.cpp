// Arbitrary bytes as a WMA file: the ASF object walk must neither crash, loop, nor read outside an
// object or the file.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/WMAfile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TWMAfile f;
    f.ReadFromSource(in);
    const double d = f.Duration();
    fuzzfile::check(std::isfinite(d) && d >= 0 && (f.Valid() || d == 0), "a finite duration, 0 when not valid");
    fuzzfile::check(f.Valid() || (f.Channels() == 0 && f.Title().empty() && f.Track() == 0),
                    "an invalid file keeps its values cleared");
    (void)f.ChannelMode();
    fuzzfile::check(cantorix::WMAPlayingTime(in).Seconds == d, "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadWMAInfo(in, values);
    return 0;
}
