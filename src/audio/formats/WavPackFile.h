// WavPack: the block header of version 4 and 5 files (with the metadata sub-blocks that carry a custom
// sample rate and the channel count) and the RIFF-wrapped header of version 3 files. WavPack files
// get no tags written; an APE tag at the end only counts as not being audio.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TWAVPackFile {
public:
    // Reads the header. False when the file cannot be opened or is not WavPack.
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source.
    bool ReadFromSource(TInSource& in);

    bool Valid() const { return m_valid; }
    int64_t FileSize() const { return m_fileSize; }
    // 3 for the RIFF-wrapped layout, 4 for the block layout (WavPack 4 and 5).
    int Version() const { return m_version; }
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    // Sample frames; 0 when unknown.
    int64_t Samples() const { return m_samples; }
    double Duration() const { return m_duration; }
    // kbit/s over the file without its APE tag.
    double BitRate() const { return m_bitRate; }
    // Bytes of an APE tag at the end of the file (header included), 0 when none.
    int64_t TagSize() const { return m_tagSize; }
    // "Mono", "Stereo" or "Surround" by the real channel count.
    std::string ChannelMode() const;

private:
    bool readBlocks(TInSource& in);
    bool readRiff(TInSource& in);
    int64_t lastBlockEnd(TInSource& in) const;

    bool m_valid = false;
    int64_t m_fileSize = 0;
    int m_version = 0;
    int m_channels = 0;
    int m_sampleRate = 0;
    int64_t m_samples = 0;
    double m_duration = 0.0;
    double m_bitRate = 0.0;
    int64_t m_tagSize = 0;
};

// The file information window's values of a WavPack file (everything but Size; no tags).
void ReadWavPackInfo(TInSource& in, TFileInfoValues& values);

// The playing time the folder scan takes for ".WV", exact by the stated (or last block's) samples.
TPlayingTime WavPackPlayingTime(TInSource& in);

} // namespace cantorix
