// Raw AAC (".AAC"): an ADIF header or a stream of ADTS frames after a leading ID3v2 tag, and the
// ID3 and APE tags around it. An ".aac" file that is really an MP4 container is left to the
// media-information library.
#pragma once

#include "audio/FileInfo.h"
#include "audio/formats/StreamTags.h"
#include "audio/PlayingTime.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TAACfile {
public:
    enum HeaderType { kUnknown = 0, kADIF = 1, kADTS = 2 };

    // Resets, reads the tags and the stream header (for ADTS: every frame). False when a read failed;
    // an unrecognised stream reads as true with HeaderType kUnknown.
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TAACfile(); }

    int64_t FileSize() const { return m_fileSize; }
    HeaderType Header() const { return m_headerType; }
    // 1 MPEG-2, 2 MPEG-4; 0 unknown.
    int MPEGVersion() const { return m_mpegVersion; }
    int Channels() const { return m_channels; }
    uint32_t SampleRate() const { return m_sampleRate; }
    // bit/s.
    int64_t BitRate() const { return m_bitRate; }
    // 0 unknown, 1 CBR, 2 VBR.
    int BitRateType() const { return m_bitRateType; }
    std::string BitRateTypeText() const;
    // ADTS frames walked.
    uint64_t Frames() const { return m_frames; }
    double Duration() const;

    const TStreamTags& Tags() const { return m_tags; }

private:
    bool readADIF(TInSource& in, int64_t start);
    void walkADTS(TInSource& in, int64_t start);

    TStreamTags m_tags;
    int64_t m_fileSize = 0;
    HeaderType m_headerType = kUnknown;
    int m_mpegVersion = 0;
    int m_channels = 0;
    uint32_t m_sampleRate = 0;
    int64_t m_bitRate = 0;
    int m_bitRateType = 0;
    uint64_t m_frames = 0;
    int64_t m_start = 0;
};

// True for an MP4 container ("ftyp" at offset 4), whatever its extension says.
bool IsMP4Container(TInSource& in);

// ADTS states no length, ADIF only a bit rate: the playing time is never exact.
TPlayingTime AACPlayingTime(TInSource& in);
void ReadAACInfo(TInSource& in, TFileInfoValues& values);
// Rename by tag's values: the ID3v2 tag when present, else the ID3v1 tag (the information window
// shows the ID3v1 tag only).
void ReadAACNameTags(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
