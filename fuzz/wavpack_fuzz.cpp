// Arbitrary bytes as a WavPack file: blocks, sub-blocks and the RIFF layout must neither crash nor
// read outside what the file holds.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/WavPackFile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TWAVPackFile f;
    bool ok = f.ReadFromSource(in);
    fuzzfile::check(!ok || f.Valid(), "a file read is valid");
    const double d = f.Duration();
    fuzzfile::check(std::isfinite(d) && d >= 0 && (ok || d == 0), "a finite duration, 0 when not read");
    fuzzfile::check(std::isfinite(f.BitRate()), "a finite bit rate");
    fuzzfile::check(f.TagSize() >= 0 && f.TagSize() <= int64_t(size), "the tag lies inside the file");
    (void)f.ChannelMode();
    fuzzfile::check(cantorix::WavPackPlayingTime(in).Seconds == d, "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadWavPackInfo(in, values);
    return 0;
}
