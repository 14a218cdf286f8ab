#include "audio/formats/MPEGaudio.h"

#include "audio/Rational.h"

#include <cstring>

namespace cantorix {

namespace {

constexpr size_t kBlock = 3458;
// Positions 0 to kBlock - kMaxFrame are tried, so that a long frame and its follower fit the block.
constexpr size_t kMaxFrame = 1729;

// kbit/s by version bits (MPEG-1 or the rest), layer bits and index; 0 where not allowed.
constexpr int kBitRate[2][4][16] = {
    { // MPEG-2 and MPEG-2.5
        {0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},     // Layer III
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},     // Layer II
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}, // Layer I
    },
    { // MPEG-1
        {0},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},  // Layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0}, // Layer II
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}, // Layer I
    },
};

// Hz by version bits and index.
constexpr int kSampleRate[4][4] = {
    {11025, 12000, 8000, 0}, // MPEG-2.5
    {0, 0, 0, 0},            // reserved
    {22050, 24000, 16000, 0}, // MPEG-2
    {44100, 48000, 32000, 0}, // MPEG-1
};

const char* const kModes[5] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono", "Unknown"};

bool isFrameHeader(const uint8_t* b)
{
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && ((b[1] >> 3) & 3) != 1 && ((b[1] >> 1) & 3) != 0 &&
           (b[2] >> 4) != 15 && (b[2] >> 4) != 0 && ((b[2] >> 2) & 3) != 3 && (b[3] & 3) != 2;
}

FirstFrameHeader decodeFrameHeader(const uint8_t* b)
{
    FirstFrameHeader h;
    std::memcpy(h.Data, b, 4);
    h.VersionID = (b[1] >> 3) & 3;
    h.LayerID = (b[1] >> 1) & 3;
    h.ProtectionBit = (b[1] & 1) == 0;
    h.BitRateID = b[2] >> 4;
    h.SampleRateID = (b[2] >> 2) & 3;
    h.PaddingBit = (b[2] & 2) != 0;
    h.PrivateBit = (b[2] & 1) != 0;
    h.ModeID = b[3] >> 6;
    h.ModeExtensionID = (b[3] >> 4) & 3;
    h.CopyrightBit = (b[3] & 8) != 0;
    h.OriginalBit = (b[3] & 4) != 0;
    h.EmphasisID = b[3] & 3;
    return h;
}

int tableBitRate(const FirstFrameHeader& h)
{
    if (h.VersionID == 1 || h.VersionID > 3 || h.LayerID > 3 || h.BitRateID > 15) return 0;
    return kBitRate[h.VersionID == 3 ? 1 : 0][h.LayerID][h.BitRateID];
}

int tableSampleRate(const FirstFrameHeader& h)
{
    if (h.VersionID > 3 || h.SampleRateID > 3) return 0;
    return kSampleRate[h.VersionID][h.SampleRateID];
}

// Samples per frame / 8.
int coefficientOf(const FirstFrameHeader& h)
{
    if (h.LayerID == 3) return 48;
    if (h.LayerID == 2) return 144;
    return h.VersionID == 3 ? 144 : 72;
}

int paddingOf(const FirstFrameHeader& h) { return h.PaddingBit ? (h.LayerID == 3 ? 4 : 1) : 0; }

int frameLengthOf(const FirstFrameHeader& h)
{
    int rate = tableSampleRate(h);
    if (rate <= 0) return 0;
    return int(int64_t(coefficientOf(h)) * tableBitRate(h) * 1000 / rate) + paddingOf(h);
}

int xingOffset(const FirstFrameHeader& h)
{
    bool mono = h.ModeID == 3;
    if (h.VersionID == 3) return mono ? 21 : 36;
    return mono ? 13 : 21;
}

// Searches one block for a header whose follower, one frame length on, is a header too.
bool searchBlock(const uint8_t* b, size_t len, FirstFrameHeader& frame, VBRData& vbr)
{
    if (len < kMaxFrame) return false;
    for (size_t i = 0; i <= len - kMaxFrame; ++i) {
        if (!isFrameHeader(b + i)) continue;
        FirstFrameHeader h = decodeFrameHeader(b + i);
        const size_t f = size_t(frameLengthOf(h));
        if (i + f + 4 > len || !isFrameHeader(b + i + f)) continue;
        h.Found = true;
        h.Position = int64_t(i);
        h.Size = uint16_t(f);
        frame = h;
        // The VBR header sits at fixed places, whatever its own flags say.
        const size_t x = i + size_t(xingOffset(h));
        if (x + 18 <= len) {
            if (std::memcmp(b + x, "Xing", 4) == 0) {
                vbr.Found = true;
                std::memcpy(vbr.ID, "Xing", 4);
                vbr.Frames = int32_t(getBE32(b + x + 8));
                vbr.Bytes = int32_t(getBE32(b + x + 12));
            } else if (std::memcmp(b + x, "VBRI", 4) == 0) {
                vbr.Found = true;
                std::memcpy(vbr.ID, "VBRI", 4);
                vbr.Bytes = int32_t(getBE32(b + x + 10));
                vbr.Frames = int32_t(getBE32(b + x + 14));
            }
        }
        return true;
    }
    return false;
}

} // namespace

void TMPEGaudio::ResetData()
{
    m_fileSize = 0;
    m_vbr = VBRData();
    m_frame = FirstFrameHeader();
    m_audioStart = 0;
    m_audioEnd = 0;
    m_v1.ResetData();
    m_v2.ResetData();
    m_ape.ResetData();
}

bool TMPEGaudio::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TMPEGaudio::ReadFromSource(TInSource& in)
{
    ResetData();
    bool ok = readAll(in);
    if (!m_frame.Found) ResetData();
    return ok;
}

bool TMPEGaudio::readAll(TInSource& file)
{
    // A file too short for an ID3v2 header holds no frame either.
    if (!m_v2.ReadFromSource(file) || !m_v1.ReadFromSource(file)) return true;

    m_fileSize = file.size();
    int64_t base = m_v2.Size();
    uint8_t block[kBlock];
    for (;;) {
        size_t n = base < m_fileSize ? size_t(std::min<int64_t>(int64_t(kBlock), m_fileSize - base)) : 0;
        if (n > 0 && !file.readAt(base, block, n)) return false;
        if (searchBlock(block, n, m_frame, m_vbr)) break;
        if (n < kBlock) return true; // the end of the file: no frame
        base += int64_t(n);
    }
    m_frame.Position += base;
    m_audioStart = m_frame.Position;
    m_audioEnd = m_fileSize - m_v1.TotalSize();
    return true;
}

int TMPEGaudio::coefficient() const { return coefficientOf(m_frame); }

int TMPEGaudio::SampleRate() const { return tableSampleRate(m_frame); }

int TMPEGaudio::BitRate() const
{
    if (m_vbr.Found && m_vbr.Frames > 0) {
        // (bytes / frames - padding) * sample rate / coefficient / 1000, rounded exactly.
        __int128 num = (__int128(m_vbr.Bytes) - __int128(paddingOf(m_frame)) * m_vbr.Frames) * SampleRate();
        __int128 den = __int128(m_vbr.Frames) * coefficient() * 1000;
        int64_t v = RoundRatioHalfEven(num, den);
        return v < 0 ? 0 : v > 65535 ? 65535 : int(v);
    }
    return tableBitRate(m_frame);
}

double TMPEGaudio::Duration() const
{
    if (!Valid()) return 0.0;
    if (m_vbr.Found && m_vbr.Frames > 0 && SampleRate() > 0)
        return double(coefficient()) * m_vbr.Frames * 8 / SampleRate();
    int rate = tableBitRate(m_frame);
    if (rate <= 0) return 0.0;
    return double(m_audioEnd - m_audioStart) * 8 / (double(rate) * 1000);
}

std::string TMPEGaudio::ChannelMode() const { return kModes[m_frame.ModeID <= 4 ? m_frame.ModeID : 4]; }

void ReadMpegFileInfo(TInSource& in, TFileInfoValues& v)
{
    TMPEGaudio mpeg;
    mpeg.ReadFromSource(in); // an unrecognised file shows the empty values
    if (mpeg.V2Tag().Present())
        FillTagValues(mpeg.V2Tag(), v);
    else
        FillTagValues(mpeg.V1Tag(), v);
    v.Duration = FormatLongDuration(mpeg.Duration());
    v.SampleRate = RateKHz(mpeg.SampleRate());
    v.Bitrate = (mpeg.IsVBR() ? "VBR" : "") + ShortestDecimal(mpeg.BitRate());
    v.Channels = mpeg.ChannelMode();
}

} // namespace cantorix
