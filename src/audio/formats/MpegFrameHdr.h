// One MPEG audio frame header (ISO/IEC 11172-3 and 13818-3, with the MPEG-2.5 extension), decoded the
// way the folder scan's playing time needs it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cantorix {

class TMpegFrameHdr {
public:
    // Decodes the first 4 of `count` bytes and returns Valid(). With fewer than 4 bytes it returns false
    // and leaves every field as it was.
    bool DecodeHeader(const uint8_t* bytes, size_t count);
    // The first index i (0 <= i <= count - 4) where a valid header starts; the object then holds that
    // header. -1 when there is none; the object then holds the last candidate it decoded, if any.
    int FindHeader(const uint8_t* buffer, size_t count);

    bool Valid() const { return m_valid; }
    // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5, 0 = reserved.
    int versionCode() const { return m_version; }
    // kbit/s; 0 for free format, -1 for a forbidden index or a reserved version or layer.
    int bitRate() const { return m_bitRate; }
    // Hz; -1 for the reserved index or version.
    int sampleRate() const { return m_sampleRate; }
    // Bytes of the whole frame, padding included; 4 when the rates give none.
    int frameLength() const { return m_frameLength; }

    // 1, 2 or 3; 0 for the reserved layer bits.
    int layer() const;
    // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel.
    int channelMode() const { return m_bytes[3] >> 6; }
    bool padding() const { return (m_bytes[2] & 0x02) != 0; }
    // 384, 1152 or 576 (Layer III of MPEG-2 and 2.5); 0 for a reserved layer.
    int samplesPerFrame() const;
    const uint8_t* bytes() const { return m_bytes; }

private:
    uint8_t m_bytes[4] = {0, 0, 0, 0};
    bool m_valid = false;
    int m_version = 0;
    int m_bitRate = 0;
    int m_sampleRate = 0;
    int m_frameLength = 0;
};

} // namespace cantorix
