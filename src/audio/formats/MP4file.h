// MP4 audio (".M4A", ".M4B", ".M4P", and ".aac" files that hold an MP4 container): the playing time
// from the boxes of the file itself, so that a folder scan never loads the media-information library
// (which still reads these files' values for the information window and rename by tag).
#pragma once

#include "audio/ByteSource.h"
#include "audio/PlayingTime.h"

#include <cstdint>

namespace cantorix {

class TMP4file {
public:
    // Resets, then reads the movie header (moov/mvhd) and the first audio track (a trak whose
    // mdia/hdlr says "soun"): its tkhd, mdhd, edit list and sample description. Boxes of 32 and 64
    // bits, moov before or after mdat. True when a movie header and an audio track with a duration
    // were found (Valid).
    bool ReadFromSource(TInSource& in);

    bool Valid() const { return m_valid; }
    // The audio track's length in milliseconds as the media-information library states it (the
    // track header's duration in the movie's time scale, rounded to the millisecond); 0 when not
    // valid.
    int64_t Milliseconds() const { return m_milliseconds; }
    double Duration() const { return double(m_milliseconds) / 1000.0; }
    // Samples per channel the track plays: its media duration less the samples the edit list skips
    // at the start (an encoder's delay), and no more than the edit plays; 0 when the media time
    // scale is not the sample rate, or the edit list is other than one plain edit.
    int64_t Samples() const { return m_samples; }
    uint32_t SampleRate() const { return m_sampleRate; }

private:
    bool m_valid = false;
    int64_t m_milliseconds = 0;
    int64_t m_samples = 0;
    uint32_t m_sampleRate = 0;
};

// The playing time the folder scan takes for MP4 audio: Duration, whose whole seconds the registry
// cuts toward zero as the library's were; exact by Samples where known.
TPlayingTime MP4PlayingTime(TInSource& in);

} // namespace cantorix
