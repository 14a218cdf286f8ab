// Arbitrary bytes as an Ogg Vorbis file: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/OggVorbis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TOggVorbis f;
    bool valid = f.ReadFromSource(in);
    fuzzfile::check(valid == f.Valid(), "ReadFromSource returns Valid");
    fuzzfile::check(!f.CommentOnSecondPage() || f.CommentFound(), "comment bookkeeping");
    for (const char* name : cantorix::TOggVorbis::KnownNames) (void)f.Text(name);
    (void)f.Artist();
    (void)f.Comment();
    (void)f.Track();
    (void)f.BitRate();
    (void)f.ChannelMode();
    fuzzfile::check(cantorix::OggPlayingTime(in).Seconds == f.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadOggInfo(in, values);
    return 0;
}
