// Musepack (".MPC"): the stream header after a leading ID3v2 tag, stream versions 4 to 7 ("MP+")
// and 8 ("MPCK", packets), and the ID3 and APE tags around it.
#pragma once

#include "audio/FileInfo.h"
#include "audio/formats/StreamTags.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TMPEGplus {
public:
    // Resets, reads the tags and the header; true when the stream version is known (Valid).
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TMPEGplus(); }

    bool Valid() const { return m_valid; }
    // 4 to 7, 71 for 7.1, 8; 0 when the header is not Musepack.
    int StreamVersion() const { return m_streamVersion; }
    uint32_t SampleRate() const { return m_sampleRate; }
    // 0 unknown, 1 stereo, 2 joint stereo, 3 mono (version 8 only).
    int ChannelMode() const { return m_channelMode; }
    std::string ChannelModeText() const;
    int64_t FileSize() const { return m_fileSize; }
    // Frames of 1152 samples (versions 4 to 7).
    uint32_t FrameCount() const { return m_frameCount; }
    // Samples of the stream less the encoder's leading silence (version 8).
    uint64_t Samples() const { return m_samples; }
    // 0 unknown, else an index into the profile names.
    int Profile() const { return m_profile; }
    std::string ProfileText() const;
    double Duration() const;
    // kbit/s: as stored (versions 4 and 5) or over the bytes that are not tags.
    int BitRate() const;
    bool Corrupted() const;

    const TStreamTags& Tags() const { return m_tags; }

private:
    bool readVersion8(TInSource& in, int64_t at);

    TStreamTags m_tags;
    bool m_valid = false;
    int m_streamVersion = 0;
    uint32_t m_sampleRate = 0;
    int m_channelMode = 0;
    int64_t m_fileSize = 0;
    uint32_t m_frameCount = 0;
    uint64_t m_samples = 0;
    int m_storedBitRate = 0;
    int m_profile = 0;
};

// Exact by Samples for version 8 streams.
TPlayingTime MPEGplusPlayingTime(TInSource& in);
void ReadMPEGplusInfo(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
