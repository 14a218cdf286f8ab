// DTS (".DTS"): the first core frame's values, and the playing time from the count of core frames:
// from the file size when every frame has the first one's size, else by a walk over them that steps
// over the extension substreams of DTS-HD between them.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"

#include <cstdint>

namespace cantorix {

class TDTS {
public:
    // Resets and reads; true when the file starts with a core frame of valid rates (Valid).
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TDTS(); }

    bool Valid() const { return m_valid; }
    int64_t FileSize() const { return m_fileSize; }
    int Channels() const { return m_channels; }
    int BitsPerSample() const { return m_bitsPerSample; }
    uint32_t SampleRate() const { return m_sampleRate; }
    // kbit/s from the table (65535 for the "open" rate code 30).
    int BitRate() const { return m_bitRate; }
    uint64_t Frames() const { return m_frames; }
    // Samples per channel of the core frames counted, as a decoder gives them.
    uint64_t Samples() const { return m_samples; }
    double Duration() const;

private:
    void walk(TInSource& in);
    bool countConstantFrames(TInSource& in);

    bool m_valid = false;
    int64_t m_fileSize = 0;
    int m_channels = 0;
    int m_bitsPerSample = 0;
    uint32_t m_sampleRate = 0;
    int m_bitRate = 0;
    uint64_t m_frames = 0;
    uint64_t m_samples = 0;
};

// The frames counted give the time and the exact count of samples a decoder gives.
TPlayingTime DTSPlayingTime(TInSource& in);
void ReadDTSInfo(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
