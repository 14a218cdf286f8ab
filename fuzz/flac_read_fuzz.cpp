// Arbitrary bytes as a FLAC file: the reader, the duration and the file information row must neither
// crash nor read outside what the file holds.
#include "FuzzFile.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/formats/FLACfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzzfile::write("in.flac", data, size);
    cantorix::TFLACfile f;
    bool valid = f.ReadFromFile(path);
    fuzzfile::check(valid == f.Valid(), "ReadFromFile returns Valid");
    fuzzfile::check(!valid || (f.AudioOffset() <= int64_t(size) && f.Duration() > 0), "audio offset and duration");
    for (const char* name : cantorix::TFLACfile::KnownNames) (void)f.TagValue(name);
    (void)f.ExtraFields();
    (void)cantorix::GetAudioDuration(path);
    (void)cantorix::ReadFileInfo(path);
    return 0;
}
