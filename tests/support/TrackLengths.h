// Playing times of listed files, as the lookups' tests hand them in.
#pragma once

#include "core/TrackLength.h"

namespace cantorix::test {

// A file of `samples` at `rate` Hz, its times derived as the readers derive them.
inline TTrackLength fileOf(qint64 samples, quint32 rate = 44100)
{
    TTrackLength l;
    l.Samples = samples;
    l.SampleRate = rate;
    l.Milliseconds = (samples * 1000 + rate / 2) / rate;
    l.Seconds = int((l.Milliseconds + 500) / 1000);
    l.Known = true;
    return l;
}

// A file whose format gives only a time.
inline TTrackLength timeOnly(qint64 ms)
{
    TTrackLength l;
    l.Milliseconds = ms;
    l.Seconds = int((ms + 500) / 1000);
    l.Known = true;
    return l;
}

} // namespace cantorix::test
