// Sun/NeXT audio (.au, .snd): the 24-byte big-endian header, and the "key=value" lines ffmpeg and
// others write into the annotation field between the header and the data. AU files get no tags
// written.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TAUfile {
public:
    // Encodings of the header (the ones whose sample size is known).
    static constexpr uint32_t MuLaw8 = 1, Linear8 = 2, Linear16 = 3, Linear24 = 4, Linear32 = 5, Float32 = 6,
                              Float64 = 7, G721 = 23, G723_3 = 25, G723_5 = 26, ALaw8 = 27;

    // Reads the header. False when the file cannot be opened or is not AU.
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source; returns Valid().
    bool ReadFromSource(TInSource& in);

    // ".snd", a data offset of at least 24 inside the file, channels and a rate above 0.
    bool Valid() const { return m_valid; }
    int64_t FileSize() const { return m_fileSize; }
    int64_t DataOffset() const { return m_dataOffset; }
    // The stated size, or what follows the data offset when that is unknown or more than the file holds.
    int64_t DataSize() const { return m_dataSize; }
    uint32_t Encoding() const { return m_encoding; }
    uint32_t SampleRate() const { return m_sampleRate; }
    uint32_t Channels() const { return m_channels; }
    // Bits per sample of the encoding; 0 for an encoding whose size is not known.
    int BitsPerSample() const;
    // Seconds; 0 when not valid or the encoding is not known.
    double Duration() const;
    // Samples per channel when the header states the data size and the file holds it all, for an
    // encoding of whole bytes per sample; 0 otherwise (a piped file's length is only what it holds).
    int64_t StatedSamples() const;
    // bit/s of the encoding at the rate and channels; 0 when not known.
    double BitRate() const;

    // Annotation values ("" when none).
    const std::string& Title() const { return m_title; }
    const std::string& Artist() const { return m_artist; }
    const std::string& Album() const { return m_album; }
    const std::string& Year() const { return m_year; }
    const std::string& Genre() const { return m_genre; }
    const std::string& Track() const { return m_track; }

private:
    void readAnnotation(const uint8_t* p, size_t n);

    bool m_valid = false;
    int64_t m_fileSize = 0;
    int64_t m_dataOffset = 0;
    int64_t m_dataSize = 0;
    bool m_sizeStated = false;
    uint32_t m_encoding = 0;
    uint32_t m_sampleRate = 0;
    uint32_t m_channels = 0;
    std::string m_title, m_artist, m_album, m_year, m_genre, m_track;
};

// The file information window's values of an AU file (everything but Size).
void ReadAUInfo(TInSource& in, TFileInfoValues& values);

// The playing time the folder scan takes for ".AU", exact by StatedSamples.
TPlayingTime AUPlayingTime(TInSource& in);

} // namespace cantorix
