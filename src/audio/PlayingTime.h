// What a format reader tells of a file's length: the playing time in seconds as the reader computes
// it, which the whole seconds of the disc ID are rounded from, and beside it the exact count of
// samples per channel with their rate where the format stores one. The readers in formats/ provide
// their playing time through this header alone; the format registry collects them.
#pragma once

#include "audio/ByteSource.h"

#include <cstdint>
#include <type_traits>
#include <utility>

namespace cantorix {

struct TPlayingTime {
    double Seconds = 0;      // the reader's own time; 0 (or less) when it found none
    int64_t Samples = 0;     // samples per channel; 0 when the format or this file states no exact count
    uint32_t SampleRate = 0; // Hz of Samples; 0 exactly when Samples is 0
};

// A reader's playing time of the whole source.
using PlayingTimeReader = TPlayingTime (*)(TInSource& in);

// The playing time `seconds` with an exact length, kept only when it is one: a count above 0 at a
// rate above 0 that both fit their fields, and a time above 0 to go with them.
template <typename Count, typename Rate>
TPlayingTime PlayingTimeWith(double seconds, Count samples, Rate rate)
{
    TPlayingTime t;
    t.Seconds = seconds;
    if (seconds > 0 && std::cmp_greater(samples, 0) && std::in_range<int64_t>(samples) &&
        std::cmp_greater(rate, 0) && std::in_range<uint32_t>(rate)) {
        t.Samples = int64_t(samples);
        t.SampleRate = uint32_t(rate);
    }
    return t;
}

// The playing time of a format class that reads itself from a source (ReadFromSource) and tells its
// Duration in seconds. `ExactSamples`, where given, is the member that tells the samples per channel
// the file states (0 when it states none); the rate is the reader's SampleRate.
template <typename Reader, auto ExactSamples = nullptr>
TPlayingTime PlayingTimeOf(TInSource& in)
{
    Reader reader;
    reader.ReadFromSource(in);
    if constexpr (std::is_null_pointer_v<decltype(ExactSamples)>)
        return PlayingTimeWith(reader.Duration(), 0, 0);
    else
        return PlayingTimeWith(reader.Duration(), (reader.*ExactSamples)(), reader.SampleRate());
}

} // namespace cantorix
