// Windows Media Audio: the stream values and text tags in the top-level objects of an ASF header
// (File Properties, Stream Properties, Content Description, Extended Content Description). WMA
// files get no tags written.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TWMAfile {
public:
    // Reads the header. False when the file cannot be opened or a read failed; otherwise true,
    // Valid telling whether it is an ASF file with an audio stream whose values are in range.
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source.
    bool ReadFromSource(TInSource& in);

    bool Valid() const { return m_valid; }
    int64_t FileSize() const { return m_fileSize; }
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    // Seconds: the play duration less the preroll, or, without those, the size at the maximum bit rate.
    double Duration() const { return m_duration; }
    // kbit/s from the audio stream's average bytes per second.
    int BitRate() const { return m_bitRate; }
    // The audio stream's format tag (0x0161 WMA, 0x0162 WMA Pro, 0x0163 WMA Lossless).
    uint16_t FormatTag() const { return m_formatTag; }

    // Tag values (UTF-8, trimmed).
    const std::string& Title() const { return m_title; }
    const std::string& Artist() const { return m_artist; }
    const std::string& Album() const { return m_album; }
    const std::string& Year() const { return m_year; }
    const std::string& Genre() const { return m_genre; }
    const std::string& Comment() const { return m_comment; }
    // 0 when absent or not a number.
    int Track() const { return m_track; }
    // "Unknown", "Mono", "Stereo" or "Multichannel".
    std::string ChannelMode() const;

private:
    bool m_valid = false;
    int64_t m_fileSize = 0;
    int m_channels = 0;
    int m_sampleRate = 0;
    double m_duration = 0.0;
    int m_bitRate = 0;
    uint16_t m_formatTag = 0;
    std::string m_title, m_artist, m_album, m_year, m_genre, m_comment;
    int m_track = 0;
};

// The file information window's values of a WMA file (everything but Size).
void ReadWMAInfo(TInSource& in, TFileInfoValues& values);

// The playing time the folder scan takes for ".WMA". ASF states a time, not samples: never exact.
TPlayingTime WMAPlayingTime(TInSource& in);

} // namespace cantorix
