// Arbitrary bytes as a WAV file: the chunk walk must neither crash nor read outside what the file
// holds, and the data it finds lies inside the file.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/WAVfile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TWAVfile f;
    bool valid = f.ReadFromSource(in);
    fuzzfile::check(valid == f.Valid(), "ReadFromSource returns Valid");
    fuzzfile::check(f.FileSize() == int64_t(size), "the size is the real size");
    fuzzfile::check(f.DataOffset() >= 0 && f.DataSize() >= 0 && f.DataOffset() + f.DataSize() <= int64_t(size),
                    "the data lies inside the file");
    const double d = f.Duration();
    fuzzfile::check(std::isfinite(d) && d >= 0 && (valid || d == 0), "a finite duration, 0 when not valid");
    (void)f.ChannelMode();
    fuzzfile::check(cantorix::WAVPlayingTime(in).Seconds == d, "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadWAVInfo(in, values);
    return 0;
}
