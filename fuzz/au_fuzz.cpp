// Arbitrary bytes as an AU file: the header and its annotation must neither crash nor read outside
// what the file holds, and the data it finds lies inside the file.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/AUfile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TAUfile f;
    bool valid = f.ReadFromSource(in);
    fuzzfile::check(valid == f.Valid(), "ReadFromSource returns Valid");
    fuzzfile::check(f.DataOffset() >= 0 && f.DataSize() >= 0 && f.DataOffset() + f.DataSize() <= int64_t(size),
                    "the data lies inside the file");
    const double d = f.Duration();
    fuzzfile::check(std::isfinite(d) && d >= 0 && (valid || d == 0), "a finite duration, 0 when not valid");
    const cantorix::TPlayingTime t = cantorix::AUPlayingTime(in);
    fuzzfile::check(t.Seconds == d, "the playing time is the reader's duration");
    fuzzfile::check(t.Samples >= 0 && (t.Samples > 0) == (t.SampleRate > 0), "an exact length has a count and a rate");
    fuzzfile::check(t.Samples * int64_t(f.Channels() ? f.Channels() : 1) <= int64_t(size), "no more samples than bytes");
    cantorix::TFileInfoValues values;
    cantorix::ReadAUInfo(in, values);
    return 0;
}
