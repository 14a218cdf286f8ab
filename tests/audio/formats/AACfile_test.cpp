// AAC streams written by hand from the format's description: ADTS frames (7-byte headers with the
// frame length at bit 30) and an ADIF header; real streams are read in RealStreams_test.cpp.
#include "audio/formats/AACfile.h"

#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// One ADTS frame of `length` bytes (header included): MPEG-2 when `mpeg2`, rate index 4 (44100 Hz),
// 2 channels, buffer fullness 0x7FF (VBR) or 0x100 (CBR).
Bytes adts(uint32_t length, bool mpeg2 = false, bool vbr = true, uint32_t rateIndex = 4)
{
    const uint32_t fullness = vbr ? 0x7FF : 0x100;
    Bytes h(7, 0);
    h[0] = 0xFF;
    h[1] = uint8_t(0xF1 | (mpeg2 ? 0x08 : 0)); // sync, version bit, layer 0, no CRC
    h[2] = uint8_t((1 << 6) | (rateIndex << 2) | 0);
    h[3] = uint8_t((2 << 6) | ((length >> 11) & 3));
    h[4] = uint8_t(length >> 3);
    h[5] = uint8_t(((length & 7) << 5) | (fullness >> 6));
    h[6] = uint8_t((fullness & 0x3F) << 2);
    if (length > 7) h.resize(length, 0x77);
    return h;
}

Bytes frames(int n, uint32_t length, bool mpeg2 = false, bool vbr = true)
{
    Bytes b;
    for (int i = 0; i < n; ++i) {
        const Bytes f = adts(length, mpeg2, vbr);
        b.insert(b.end(), f.begin(), f.end());
    }
    return b;
}

Bytes join(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(AACfile, StreamTable)
{
    struct Case {
        const char* what;
        Bytes file;
        TAACfile::HeaderType type;
        uint64_t frames;
        int mpegVersion;
        const char* rateType;
        int64_t bitRate;
    } cases[] = {
        // 418-byte frames at 44100 Hz: 44100 * 418 * 8 / 1024 = 144014 bit/s.
        {"CBR, MPEG-4", frames(50, 418, false, false), TAACfile::kADTS, 50, 2, "CBR", 144014},
        {"CBR, MPEG-2", frames(50, 418, true, false), TAACfile::kADTS, 50, 1, "CBR", 144014},
        // 8000 bytes over 20 frames: 137812.5 bit/s, the half to the even neighbour.
        {"VBR", join(frames(10, 300), frames(10, 500)), TAACfile::kADTS, 20, 2, "VBR", 137812},
        // A frame length of 0 once made the walk loop forever; below 7 it stops the walk.
        {"length 0", join(frames(3, 300), adts(0)), TAACfile::kADTS, 3, 2, "VBR", 103359},
        {"length 6", join(frames(3, 300), adts(6)), TAACfile::kADTS, 3, 2, "VBR", 103359},
        {"frame past the end", slice(frames(4, 300), 0, 1000), TAACfile::kADTS, 3, 2, "VBR", 103359},
        {"trailing bytes", join(frames(3, 300), Bytes(50, 0x20)), TAACfile::kADTS, 3, 2, "VBR", 103359},
        {"no header", Bytes(100, 0x20), TAACfile::kUnknown, 0, 0, "Unknown", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TAACfile a;
        EXPECT_TRUE(a.ReadFromSource(in));
        EXPECT_EQ(a.Header(), c.type);
        EXPECT_EQ(a.Frames(), c.frames);
        EXPECT_EQ(a.MPEGVersion(), c.mpegVersion);
        EXPECT_EQ(a.BitRateTypeText(), c.rateType);
        EXPECT_EQ(a.BitRate(), c.bitRate);
        EXPECT_DOUBLE_EQ(a.Duration(), double(c.frames) * 1024 / 44100);
        if (c.frames) {
            EXPECT_EQ(a.SampleRate(), 44100u);
            EXPECT_EQ(a.Channels(), 2);
        }
    }
}

TEST(AACfile, AdifHeader)
{
    // "ADIF", no copyright identifier (bit 32), VBR flag at bit 35, 23-bit bit rate 128000 at 36;
    // after the VBR header fields (32 bits on from 35) the rate index at 69 and the channel counts.
    Bytes h = {'A', 'D', 'I', 'F'};
    h.resize(4000, 0);
    auto setBits = [&h](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            if ((v >> (n - 1 - i)) & 1) h[(at + i) / 8] |= uint8_t(0x80 >> ((at + i) % 8));
    };
    setBits(35, 1, 1);
    setBits(36, 128000, 23);
    setBits(67 + 2, 3, 4);  // 48000 Hz
    setBits(67 + 6, 1, 4);  // front channel elements
    setBits(67 + 10, 1, 4); // side
    TMemorySource in(h);
    TAACfile a;
    ASSERT_TRUE(a.ReadFromSource(in));
    EXPECT_EQ(a.Header(), TAACfile::kADIF);
    EXPECT_EQ(a.BitRateTypeText(), "VBR");
    EXPECT_EQ(a.BitRate(), 128000);
    EXPECT_EQ(a.SampleRate(), 48000u);
    EXPECT_EQ(a.Channels(), 2);
    EXPECT_DOUBLE_EQ(a.Duration(), 4000.0 * 8 / 128000);
}
