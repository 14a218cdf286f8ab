// Monkey's Audio (".APE", ".MAC"): the header after a leading ID3v2 tag, old style (before version
// 3.98) or with the descriptor of later versions, and the ID3 and APE tags around the stream.
#pragma once

#include "audio/FileInfo.h"
#include "audio/formats/StreamTags.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TMonkey {
public:
    // Resets, reads the tags and the header. True when the header is complete and gives a
    // playing time (Valid).
    bool ReadFromSource(TInSource& in);
    void ResetData();

    bool Valid() const { return m_valid; }
    int Version() const { return m_version; }
    // 3990 gives "3.99", 3800 gives "3.80".
    std::string VersionText() const;
    int Channels() const { return m_channels; }
    uint32_t SampleRate() const { return m_sampleRate; }
    int BitsPerSample() const { return m_bitsPerSample; }
    uint64_t TotalSamples() const { return m_totalSamples; }
    double Duration() const { return m_duration; }
    // kbit/s over the bytes that are not tags.
    double BitRate() const { return m_bitRate; }
    int CompressionMode() const { return m_compression; }
    // "Fast" to "BrainDead" for the levels 1000 to 5000 in steps of 1000; any other level as its number.
    std::string CompressionModeText() const;
    int64_t FileSize() const { return m_fileSize; }
    int64_t TagSize() const { return m_tagSize; }

    const TStreamTags& Tags() const { return m_tags; }

private:
    bool readHeader(TInSource& in, int64_t at);

    TStreamTags m_tags;
    bool m_valid = false;
    int m_version = 0;
    int m_channels = 0;
    uint32_t m_sampleRate = 0;
    int m_bitsPerSample = 0;
    uint64_t m_totalSamples = 0;
    double m_duration = 0;
    double m_bitRate = 0;
    int m_compression = 0;
    int64_t m_fileSize = 0;
    int64_t m_tagSize = 0;
};

// Exact by the header's frames and final-frame blocks (TotalSamples).
TPlayingTime MonkeyPlayingTime(TInSource& in);
void ReadMonkeyInfo(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
