// Arbitrary bytes as a Musepack file: the reader, the playing time and the file information row must
// neither crash nor read outside what the file holds, and give finite numbers.
#include "FuzzFile.h"

#include "audio/FileInfo.h"
#include "audio/formats/MPEGplus.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cantorix::TMemorySource in(data, size);
    cantorix::TMPEGplus r;
    r.ReadFromSource(in);
    fuzzfile::check(std::isfinite(r.Duration()) && r.Duration() >= 0, "the duration is a number, not negative");
    fuzzfile::check(r.Valid() == (r.StreamVersion() != 0), "valid exactly for a known version");
    (void)r.BitRate();
    (void)r.Corrupted();
    (void)r.ProfileText();
    (void)r.ChannelModeText();
    fuzzfile::check(cantorix::MPEGplusPlayingTime(in).Seconds == r.Duration(), "the playing time is the reader's duration");
    cantorix::TFileInfoValues values;
    cantorix::ReadMPEGplusInfo(in, values);
    return 0;
}
