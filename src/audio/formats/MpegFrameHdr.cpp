#include "audio/formats/MpegFrameHdr.h"

namespace cantorix {

namespace {

// kbit/s by table and bit-rate index; index 0 is free format, 15 is forbidden.
constexpr int kBitRates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1}, // MPEG-1 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},    // MPEG-1 Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1},     // MPEG-1 Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},    // MPEG-2/2.5 Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},         // MPEG-2/2.5 Layers II, III
};

constexpr int kSampleRates[4][4] = {
    {0, 0, 0, 0},                // reserved version
    {44100, 48000, 32000, -1},   // MPEG-1
    {22050, 24000, 16000, -1},   // MPEG-2
    {11025, 12000, 8000, -1},    // MPEG-2.5
};

int versionFromBits(uint8_t b1)
{
    switch ((b1 >> 3) & 3) {
    case 3: return 1;
    case 2: return 2;
    case 0: return 3;
    default: return 0;
    }
}

} // namespace

int TMpegFrameHdr::layer() const
{
    switch ((m_bytes[1] >> 1) & 3) {
    case 3: return 1;
    case 2: return 2;
    case 1: return 3;
    default: return 0;
    }
}

int TMpegFrameHdr::samplesPerFrame() const
{
    switch (layer()) {
    case 1: return 384;
    case 2: return 1152;
    case 3: return m_version == 1 ? 1152 : 576;
    default: return 0;
    }
}

bool TMpegFrameHdr::DecodeHeader(const uint8_t* bytes, size_t count)
{
    if (bytes == nullptr || count < 4) return false;
    for (int k = 0; k < 4; ++k) m_bytes[k] = bytes[k];

    m_version = versionFromBits(m_bytes[1]);
    const int lay = layer();

    if (m_version == 0 || lay == 0) {
        m_bitRate = -1;
    } else {
        int table = m_version == 1 ? lay - 1 : (lay == 1 ? 3 : 4);
        m_bitRate = kBitRates[table][m_bytes[2] >> 4];
    }

    m_sampleRate = m_version == 0 ? -1 : kSampleRates[m_version][(m_bytes[2] >> 2) & 3];

    if (m_sampleRate <= 0 || m_bitRate <= 0) {
        m_frameLength = 4;
    } else {
        // (samples per frame / 8) * bit rate * 1000 / sample rate, integer part; the quotient is exact
        // in integers because samples per frame is a multiple of 8.
        int64_t len = int64_t(samplesPerFrame() / 8) * m_bitRate * 1000 / m_sampleRate;
        if (padding()) len += lay == 1 ? 4 : 1;
        m_frameLength = int(len);
    }

    bool ok = m_bytes[0] == 0xFF && (m_bytes[1] & 0xE0) == 0xE0 && m_version != 0 && lay != 0 &&
              m_bitRate != -1 && m_sampleRate != -1;
    if (ok && lay == 2) {
        // Layer II allows some bit rates only in single-channel mode and others only in the rest.
        bool mono = channelMode() == 3;
        switch (m_bitRate) {
        case 32: case 48: case 56: case 80:
            ok = mono;
            break;
        case 224: case 256: case 320: case 384:
            ok = !mono;
            break;
        default:
            break;
        }
    }
    m_valid = ok;
    return m_valid;
}

int TMpegFrameHdr::FindHeader(const uint8_t* buffer, size_t count)
{
    if (buffer == nullptr || count < 4) return -1;
    for (size_t i = 0; i + 4 <= count; ++i) {
        if (buffer[i] == 0xFF && (buffer[i + 1] & 0xE0) == 0xE0 && DecodeHeader(buffer + i, count - i))
            return int(i);
    }
    return -1;
}

} // namespace cantorix
