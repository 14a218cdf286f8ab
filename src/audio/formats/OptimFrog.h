// OptimFROG (".OFR", ".OFS"): the "OFR " header after a leading ID3v2 tag, and the ID3 and APE tags
// around it.
#pragma once

#include "audio/FileInfo.h"
#include "audio/formats/StreamTags.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TOptimFrog {
public:
    // Resets, reads the tags and the header; true when the header was found (Valid).
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TOptimFrog(); }

    bool Valid() const { return m_valid; }
    int64_t FileSize() const { return m_fileSize; }
    // 0 mono, 1 stereo.
    int ChannelMode() const { return m_channelMode; }
    // "Mono", "Stereo"; empty for any other mode.
    std::string ChannelModeText() const;
    uint32_t SampleRate() const { return m_sampleRate; }
    // Samples per channel; 0 for a channel mode this reader does not know.
    uint64_t Samples() const { return m_samples; }
    // Seconds; 0 without a rate or samples.
    double Duration() const;
    // Whole kbit/s over the whole file, halves to even; 0 without a duration.
    int64_t BitRate() const;

    const TStreamTags& Tags() const { return m_tags; }

private:
    TStreamTags m_tags;
    bool m_valid = false;
    int64_t m_fileSize = 0;
    int m_channelMode = 0;
    uint32_t m_sampleRate = 0;
    uint64_t m_samples = 0;
};

// Exact by the header's sample count for the mono and stereo modes.
TPlayingTime OptimFrogPlayingTime(TInSource& in);
void ReadOptimFrogInfo(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
