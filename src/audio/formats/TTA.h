// TTA (".TTA"): the "TTA1" header after a leading ID3v2 tag, and the ID3 and APE tags around it.
#pragma once

#include "audio/FileInfo.h"
#include "audio/formats/StreamTags.h"
#include "audio/PlayingTime.h"

#include <cstdint>

namespace cantorix {

class TTTA {
public:
    // Resets, reads the tags and the header; true when the header was found (Valid).
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TTTA(); }

    bool Valid() const { return m_valid; }
    int64_t FileSize() const { return m_fileSize; }
    int Channels() const { return m_channels; }
    uint32_t SampleRate() const { return m_sampleRate; }
    // Samples per channel.
    uint32_t DataLength() const { return m_dataLength; }
    // Seconds; 0 when the rate or the length is 0.
    double Duration() const;
    // kbit/s over the whole file, tags included; 0 when there is no duration.
    double BitRate() const;

    const TStreamTags& Tags() const { return m_tags; }

private:
    TStreamTags m_tags;
    bool m_valid = false;
    int64_t m_fileSize = 0;
    int m_channels = 0;
    uint32_t m_sampleRate = 0;
    uint32_t m_dataLength = 0;
};

// Exact by the header's data length.
TPlayingTime TTAPlayingTime(TInSource& in);
void ReadTTAInfo(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
