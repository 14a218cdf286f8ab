// A listed file's playing time as the album model keeps it: integers only, from the reader to the
// disc ID, and formatted only where it is shown.
#pragma once

#include <QtGlobal>

namespace cantorix {

struct TTrackLength {
    int Seconds = 0;          // whole seconds, rounded half to even: what the freedb disc ID counts
    qint64 Milliseconds = 0;  // the same time to the millisecond
    // The exact length where the file's format stores it: samples per channel at SampleRate Hz.
    // Both 0 when only a time is known.
    qint64 Samples = 0;
    quint32 SampleRate = 0;
    bool Known = false;       // false: no playing time could be read (every other field is 0)

    bool exact() const { return Samples > 0 && SampleRate > 0; }
    bool operator==(const TTrackLength&) const = default;
};

} // namespace cantorix
