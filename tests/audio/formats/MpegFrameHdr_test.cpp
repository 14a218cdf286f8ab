// Frame header decoding for the scan's playing time: rates, frame lengths and the validity rules.
#include "audio/formats/MpegFrameHdr.h"
#include "audio/MpegFixtures.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

TEST(MpegFrameHdr, DecodesRatesAndFrameLengths)
{
    struct Case {
        const char* what;
        Bytes header;
        bool valid;
        int version, bitRate, sampleRate, length;
    } cases[] = {
        {"MPEG-1 L3 128k 44.1k", mpegHeader(Mpeg::V1, 3, 9, 0), true, 1, 128, 44100, 417},
        {"with padding", mpegHeader(Mpeg::V1, 3, 9, 0, true), true, 1, 128, 44100, 418},
        {"MPEG-1 L3 320k 48k", mpegHeader(Mpeg::V1, 3, 14, 1), true, 1, 320, 48000, 960},
        {"MPEG-1 L2 384k 32k", mpegHeader(Mpeg::V1, 2, 14, 2, true), true, 1, 384, 32000, 1729},
        {"MPEG-1 L1 448k 32k padded", mpegHeader(Mpeg::V1, 1, 14, 2, true), true, 1, 448, 32000, 676},
        {"MPEG-1 L1 32k 44.1k", mpegHeader(Mpeg::V1, 1, 1, 0), true, 1, 32, 44100, 34},
        {"MPEG-2 L3 64k 22.05k", mpegHeader(Mpeg::V2, 3, 8, 0), true, 2, 64, 22050, 208},
        {"MPEG-2 L2 160k 16k", mpegHeader(Mpeg::V2, 2, 14, 2), true, 2, 160, 16000, 1440},
        {"MPEG-2 L1 256k 16k", mpegHeader(Mpeg::V2, 1, 14, 2), true, 2, 256, 16000, 768},
        {"MPEG-2.5 L3 8k 8k", mpegHeader(Mpeg::V25, 3, 1, 2), true, 3, 8, 8000, 72},
        {"MPEG-2.5 L3 12k", mpegHeader(Mpeg::V25, 3, 5, 1), true, 3, 40, 12000, 240},
        {"free format", mpegHeader(Mpeg::V1, 3, 0, 0), true, 1, 0, 44100, 4},
        {"forbidden bit rate", mpegHeader(Mpeg::V1, 3, 15, 0), false, 1, -1, 44100, 4},
        {"reserved sample rate", mpegHeader(Mpeg::V1, 3, 9, 3), false, 1, 128, -1, 4},
        {"reserved version", Bytes{0xFF, 0xEB, 0x90, 0x00}, false, 0, -1, -1, 4},
        {"reserved layer", Bytes{0xFF, 0xF9, 0x90, 0x00}, false, 1, -1, 44100, 4},
        {"no sync", Bytes{0xFE, 0xFB, 0x90, 0x00}, false, 1, 128, 44100, 417},
        {"L2 32k stereo", mpegHeader(Mpeg::V1, 2, 1, 0, false, 0), false, 1, 32, 44100, 104},
        {"L2 32k mono", mpegHeader(Mpeg::V1, 2, 1, 0, false, 3), true, 1, 32, 44100, 104},
        {"L2 384k mono", mpegHeader(Mpeg::V1, 2, 14, 0, false, 3), false, 1, 384, 44100, 1253},
        {"L2 384k joint", mpegHeader(Mpeg::V1, 2, 14, 0, false, 1), true, 1, 384, 44100, 1253},
        {"MPEG-2 L2 32k stereo", mpegHeader(Mpeg::V2, 2, 4, 0), false, 2, 32, 22050, 208},
    };
    for (const Case& c : cases) {
        TMpegFrameHdr h;
        EXPECT_EQ(h.DecodeHeader(c.header.data(), 4), c.valid) << c.what;
        EXPECT_EQ(h.versionCode(), c.version) << c.what;
        EXPECT_EQ(h.bitRate(), c.bitRate) << c.what;
        EXPECT_EQ(h.sampleRate(), c.sampleRate) << c.what;
        EXPECT_EQ(h.frameLength(), c.length) << c.what;
    }
}

TEST(MpegFrameHdr, SamplesPerFrameAndChannelMode)
{
    TMpegFrameHdr h;
    Bytes b = mpegHeader(Mpeg::V2, 3, 8, 0, false, 3);
    ASSERT_TRUE(h.DecodeHeader(b.data(), 4));
    EXPECT_EQ(h.samplesPerFrame(), 576);
    EXPECT_EQ(h.channelMode(), 3);
    EXPECT_EQ(h.layer(), 3);
    b = mpegHeader(Mpeg::V1, 2, 9, 0);
    ASSERT_TRUE(h.DecodeHeader(b.data(), 4));
    EXPECT_EQ(h.samplesPerFrame(), 1152);
    b = mpegHeader(Mpeg::V2, 1, 9, 0);
    ASSERT_TRUE(h.DecodeHeader(b.data(), 4));
    EXPECT_EQ(h.samplesPerFrame(), 384);
}

TEST(MpegFrameHdr, ShortInputLeavesTheFieldsAlone)
{
    TMpegFrameHdr h;
    Bytes b = mpegHeader(Mpeg::V1, 3, 9, 0);
    ASSERT_TRUE(h.DecodeHeader(b.data(), 4));
    const uint8_t junk[3] = {0xFF, 0xEB, 0x00};
    EXPECT_FALSE(h.DecodeHeader(junk, 3));
    EXPECT_TRUE(h.Valid());
    EXPECT_EQ(h.frameLength(), 417);
}

TEST(MpegFrameHdr, FindHeaderTakesTheFirstValidOne)
{
    Bytes buf(40, 0);
    // An invalid candidate (reserved version) at 3, a valid header at 20, another at 30.
    buf[3] = 0xFF; buf[4] = 0xEB; buf[5] = 0x90;
    Bytes h1 = mpegHeader(Mpeg::V1, 3, 9, 0), h2 = mpegHeader(Mpeg::V2, 3, 8, 0);
    std::copy(h1.begin(), h1.end(), buf.begin() + 20);
    std::copy(h2.begin(), h2.end(), buf.begin() + 30);
    TMpegFrameHdr h;
    EXPECT_EQ(h.FindHeader(buf.data(), buf.size()), 20);
    EXPECT_EQ(h.versionCode(), 1);
    // The header may end exactly at the end of the buffer; a cut one is not tried.
    EXPECT_EQ(h.FindHeader(buf.data() + 21, 13), 9);
    EXPECT_EQ(h.FindHeader(buf.data() + 21, 12), -1);
    EXPECT_EQ(h.FindHeader(buf.data(), 3), -1);
}
