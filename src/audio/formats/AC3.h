// AC-3 and E-AC-3 (".AC3"): the first sync frame's values, and the playing time from the count of
// frames: from the file size when every frame has the first one's size, else by a walk over them.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"

#include <cstdint>

namespace cantorix {

class TAC3 {
public:
    // Resets and reads; true when the file starts with a frame this reader understands (Valid).
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TAC3(); }

    bool Valid() const { return m_valid; }
    // The first frame's bit stream identification: up to 10 AC-3, 11 to 16 E-AC-3.
    int StreamId() const { return m_bsid; }
    int64_t FileSize() const { return m_fileSize; }
    int Channels() const { return m_channels; }
    int BitsPerSample() const { return m_bitsPerSample; }
    uint32_t SampleRate() const { return m_sampleRate; }
    // kbit/s of the first frame.
    int BitRate() const { return m_bitRate; }
    // Samples per channel of the frames counted, as a decoder gives them.
    uint64_t Samples() const { return m_samples; }
    double Duration() const;

private:
    struct Frame {
        uint32_t bytes = 0;
        uint32_t kbps = 0;    // AC-3: the table's bit rate; E-AC-3: 0, computed from the size
        uint32_t rate = 0;
        uint32_t samples = 0; // 0 for a dependent E-AC-3 frame, which adds no time of its own
        int bsid = 0;
        int acmod = 0;
    };
    static constexpr size_t kHeaderBytes = 7; // what decode() reads of a frame
    static bool decode(const uint8_t* h, Frame& f);
    bool countConstantFrames(TInSource& in, const Frame& first);
    void walk(TInSource& in);

    bool m_valid = false;
    int m_bsid = 0;
    int64_t m_fileSize = 0;
    int m_channels = 0;
    int m_bitsPerSample = 0;
    uint32_t m_sampleRate = 0;
    int m_bitRate = 0;
    uint64_t m_samples = 0;
};

// The frames counted give the time and the exact count of samples a decoder gives.
TPlayingTime AC3PlayingTime(TInSource& in);
void ReadAC3Info(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
