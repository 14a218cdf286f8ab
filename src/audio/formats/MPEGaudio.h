// The MPEG audio reader (MPEG-1, -2 and -2.5, layers I to III) behind the file information window,
// rename by tag and tag writing: the first frame, a Xing or VBRI header in it, and the file's ID3v1
// and ID3v2 tags. The folder scan times files with TAudioInfo instead, which searches differently.
#pragma once

#include "audio/APETag.h"
#include "audio/FileInfo.h"
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"

#include <cstdint>
#include <string>

namespace cantorix {

struct VBRData {
    bool Found = false;
    char ID[4] = {0, 0, 0, 0}; // "Xing" or "VBRI"
    int32_t Frames = 0;
    int32_t Bytes = 0;
};

// The first frame's header; the reset values of the indexes stand for "unknown".
struct FirstFrameHeader {
    bool Found = false;
    int64_t Position = 0;       // file offset of the first frame
    uint16_t Size = 0;          // frame length in bytes
    uint8_t Data[4] = {0, 0, 0, 0};
    uint8_t VersionID = 1;      // 0 = MPEG-2.5, 1 = reserved, 2 = MPEG-2, 3 = MPEG-1
    uint8_t LayerID = 0;        // 1 = Layer III, 2 = Layer II, 3 = Layer I, 0 = reserved
    bool ProtectionBit = false; // a CRC follows the header
    uint8_t BitRateID = 0;
    uint8_t SampleRateID = 3;
    bool PaddingBit = false;
    bool PrivateBit = false;
    uint8_t ModeID = 4;         // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    uint8_t ModeExtensionID = 4;
    bool CopyrightBit = false;
    bool OriginalBit = false;
    uint8_t EmphasisID = 2;
};

class TMPEGaudio {
public:
    // Reads the tags and finds the first confirmed frame. True when the file was opened and read
    // without error, whether or not it holds MPEG audio; false when opening or a read failed. Without
    // a frame every value is reset again, the tag values included.
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source; false when a read failed.
    bool ReadFromSource(TInSource& in);
    void ResetData();

    // The first frame was found.
    bool Valid() const { return m_frame.Found; }
    // Seconds; 0 when not Valid.
    double Duration() const;
    // kbit/s: from the VBR header when it counts frames, else the first frame's.
    int BitRate() const;
    // Hz; 0 when unknown.
    int SampleRate() const;
    // "Stereo", "Joint Stereo", "Dual Channel", "Mono" or "Unknown".
    std::string ChannelMode() const;
    bool IsVBR() const { return m_vbr.Found; }
    int64_t FileSize() const { return m_fileSize; }
    int64_t AudioStart() const { return m_audioStart; }
    int64_t AudioEnd() const { return m_audioEnd; }
    const VBRData& vbr() const { return m_vbr; }
    const FirstFrameHeader& frame() const { return m_frame; }

    TID3v1& V1Tag() { return m_v1; }
    TID3v2& V2Tag() { return m_v2; }
    TAPETag& ApeTag() { return m_ape; }
    const TID3v1& V1Tag() const { return m_v1; }
    const TID3v2& V2Tag() const { return m_v2; }
    const TAPETag& ApeTag() const { return m_ape; }

private:
    bool readAll(TInSource& file);
    int coefficient() const;

    int64_t m_fileSize = 0;
    VBRData m_vbr;
    FirstFrameHeader m_frame;
    int64_t m_audioStart = 0;
    int64_t m_audioEnd = 0;
    TID3v1 m_v1;
    TID3v2 m_v2;
    TAPETag m_ape; // owned for the readers' common shape; MPEG files are not searched for it
};

// The information window's values of an MPEG audio file (everything but Size): tag values from the
// ID3v2 tag when it is present, else from the ID3v1 tag.
void ReadMpegFileInfo(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
