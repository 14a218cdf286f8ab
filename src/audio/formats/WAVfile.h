// RIFF WAVE (and its 64-bit forms RF64 and BW64): the format chunk and the size of the data chunk,
// wherever they stand among the other chunks. WAV files carry no tags this program reads.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TWAVfile {
public:
    // Format tags of the format chunk (the extensible form names the real one in its sub-format).
    static constexpr uint16_t FormatPCM = 0x0001;
    static constexpr uint16_t FormatFloat = 0x0003;
    static constexpr uint16_t FormatExtensible = 0xFFFE;

    // Reads the header; returns Valid() (false too when the file cannot be opened).
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source; returns Valid().
    bool ReadFromSource(TInSource& in);

    // "RIFF"/"RF64"/"BW64" and "WAVE", a format chunk with channels and a block align above 0.
    bool Valid() const { return m_valid; }
    // Seconds; 0 when not valid or nothing tells the length.
    double Duration() const;

    int64_t FileSize() const { return m_fileSize; } // the real size of the file
    uint32_t FormatSize() const { return m_formatSize; }
    // As stored; for the extensible form see SubFormat.
    uint16_t FormatTag() const { return m_formatTag; }
    // The real format of an extensible file (its sub-format's first two bytes); else FormatTag.
    uint16_t SubFormat() const { return m_subFormat; }
    int Channels() const { return m_channels; }
    uint32_t SampleRate() const { return m_sampleRate; }
    uint32_t BytesPerSecond() const { return m_bytesPerSecond; }
    uint16_t BlockAlign() const { return m_blockAlign; }
    uint16_t BitsPerSample() const { return m_bitsPerSample; }
    bool HasData() const { return m_hasData; }
    int64_t DataOffset() const { return m_dataOffset; }
    // The data chunk's size, clamped to what the file holds.
    int64_t DataSize() const { return m_dataSize; }
    // Sample frames: data size ÷ block align for PCM and float, the "fact" count for other formats
    // (-1 when such a file has none).
    int64_t SampleCount() const { return m_sampleCount; }
    // kbit/s from the bytes per second.
    double BitRate() const { return double(m_bytesPerSecond) * 8.0 / 1000.0; }
    // "Unknown", "Mono", "Stereo" or "Multichannel".
    std::string ChannelMode() const;

private:
    bool readStructure(TInSource& in);

    bool m_valid = false;
    int64_t m_fileSize = 0;
    uint32_t m_formatSize = 0;
    uint16_t m_formatTag = 0;
    uint16_t m_subFormat = 0;
    int m_channels = 0;
    uint32_t m_sampleRate = 0;
    uint32_t m_bytesPerSecond = 0;
    uint16_t m_blockAlign = 0;
    uint16_t m_bitsPerSample = 0;
    bool m_hasData = false;
    int64_t m_dataOffset = 0;
    int64_t m_dataSize = 0;
    int64_t m_factSamples = -1;
    int64_t m_sampleCount = -1;
};

// The file information window's values of a WAV file (everything but Size; no tags).
void ReadWAVInfo(TInSource& in, TFileInfoValues& values);

// The playing time the folder scan takes for ".WAV", exact by SampleCount.
TPlayingTime WAVPlayingTime(TInSource& in);

} // namespace cantorix
