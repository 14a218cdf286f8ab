// Arbitrary bytes as a FLAC file: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/FLACfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TFLACfile f;
    bool valid = f.ReadFromSource(in);
    fuzzfile::check(valid == f.Valid(), "ReadFromSource returns Valid");
    fuzzfile::check(!valid || (f.AudioOffset() <= int64_t(size) && f.Duration() > 0), "audio offset and duration");
    for (const char* name : cantorix::TFLACfile::KnownNames) (void)f.TagValue(name);
    (void)f.ExtraFields();
    fuzzfile::check(cantorix::FLACPlayingTime(in).Seconds == f.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadFLACInfo(in, values);
    return 0;
}
