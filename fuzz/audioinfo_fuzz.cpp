// The scan's MPEG playing time on arbitrary bytes.
#include "FuzzFile.h"
#include "audio/formats/AudioInfo.h"

using namespace cantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemorySource in(data, size);
    TAudioInfo info;
    bool ok = info.ReadFromStream(in, in.size());
    fuzz::check(ok || info.DurationMs() == -1, "a failed read reports no time");
    fuzz::check(info.DurationMs() >= -1, "the time is never below -1");
    fuzz::check(info.FirstFrame() >= -1 && info.FirstFrame() < int64_t(size) + 1, "the first frame lies in the file");
    // A smaller scan limit exercises the limit's edge.
    info.MaxScan = int64_t(size % 512);
    fuzz::check(in.seek(0), "the source rewinds");
    info.ReadFromStream(in, in.size());
    const TPlayingTime t = MpegPlayingTime(in);
    fuzz::check(t.Samples >= 0 && (t.Samples > 0) == (t.SampleRate > 0), "an exact length has a count and a rate");
    fuzz::check(info.EncoderDelay() >= -1 && info.EncoderDelay() < 4096 && info.EncoderPadding() < 4096,
                "the LAME tag's fields are 12 bits");
    return 0;
}
