// The MPEG reader and the information values on arbitrary bytes.
#include "FuzzFile.h"
#include "audio/FileInfo.h"
#include "audio/formats/MPEGaudio.h"

#include <cmath>

using namespace cantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemorySource in(data, size);
    TMPEGaudio mpeg;
    fuzz::check(mpeg.ReadFromSource(in), "bytes in memory always read");
    double d = mpeg.Duration();
    fuzz::check(std::isfinite(d), "the duration is a number");
    if (mpeg.Valid()) {
        fuzz::check(mpeg.AudioStart() >= 0 && mpeg.AudioStart() < int64_t(size), "the first frame lies in the file");
        fuzz::check(mpeg.SampleRate() > 0, "a found frame has a sample rate");
    } else {
        fuzz::check(!mpeg.V2Tag().Present() && !mpeg.V1Tag().Present(), "no frame, no tags");
    }
    (void)mpeg.BitRate();
    (void)mpeg.ChannelMode();
    TFileInfoValues v;
    ReadMpegFileInfo(in, v);
    return 0;
}
