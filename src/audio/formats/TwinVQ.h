// TwinVQ (".VQF"): the 40-byte header and the text chunks that follow it (title, author, album, ...).
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TTwinVQ {
public:
    // Resets and reads the header and the text chunks. False when fewer than 40 bytes can be read;
    // true otherwise, Valid only for a "TWIN" file.
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TTwinVQ(); }

    bool Valid() const { return m_valid; }
    // 0 unknown, 1 mono, 2 stereo.
    int ChannelMode() const { return m_channelMode; }
    std::string ChannelModeText() const;
    // kbit/s.
    uint8_t BitRate() const { return m_bitRate; }
    uint16_t SampleRate() const { return m_sampleRate; }
    int64_t FileSize() const { return m_fileSize; }
    // Seconds; 0 when the bit rate is 0.
    double Duration() const { return m_duration; }
    // A Valid header with values no encoder writes.
    bool Corrupted() const;

    // UTF-8, trimmed of spaces and control characters.
    const std::string& Title() const { return m_title; }
    const std::string& Comment() const { return m_comment; }
    const std::string& Author() const { return m_author; }
    const std::string& Copyright() const { return m_copyright; }
    const std::string& OriginalFile() const { return m_originalFile; }
    const std::string& Album() const { return m_album; }

private:
    void readChunks(TInSource& in);

    bool m_valid = false;
    int m_channelMode = 0;
    uint8_t m_bitRate = 0;
    uint16_t m_sampleRate = 0;
    int64_t m_fileSize = 0;
    double m_duration = 0;
    std::string m_title, m_comment, m_author, m_copyright, m_originalFile, m_album;
};

// Never exact: the time follows from the file size and the bit rate.
TPlayingTime TwinVQPlayingTime(TInSource& in);
void ReadTwinVQInfo(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
