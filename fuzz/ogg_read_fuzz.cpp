// Arbitrary bytes as an Ogg Vorbis file: the reader, the duration and the file information row must
// neither crash nor read outside what the file holds.
#include "FuzzFile.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/formats/OggVorbis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzzfile::write("in.ogg", data, size);
    cantorix::TOggVorbis f;
    bool valid = f.ReadFromFile(path);
    fuzzfile::check(valid == f.Valid(), "ReadFromFile returns Valid");
    fuzzfile::check(!f.CommentOnSecondPage() || f.CommentFound(), "comment bookkeeping");
    for (const char* name : cantorix::TOggVorbis::KnownNames) (void)f.Text(name);
    (void)f.Artist();
    (void)f.Comment();
    (void)f.Track();
    (void)f.BitRate();
    (void)f.ChannelMode();
    (void)cantorix::GetAudioDuration(path);
    (void)cantorix::ReadFileInfo(path);
    return 0;
}
