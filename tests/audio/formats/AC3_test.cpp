// AC-3 and E-AC-3 frames written by hand from the formats' descriptions; real streams are read in
// RealStreams_test.cpp.
#include "audio/formats/AC3.h"

#include "audio/FaultyIO.h"
#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// `n` AC-3 frames: byte 4 holds the rate code and frame size code, byte 5 the stream id (8), byte 6
// the channel arrangement. A frame of code 30 at 48 kHz (448 kbit/s) is 1792 bytes.
Bytes ac3(int n, uint8_t byte4, uint8_t byte6, uint32_t frameBytes)
{
    Bytes b;
    for (int i = 0; i < n; ++i) {
        Bytes f = {0x0B, 0x77, 0, 0, byte4, 8 << 3, byte6};
        f.resize(frameBytes, 0);
        b.insert(b.end(), f.begin(), f.end());
    }
    return b;
}

// `n` E-AC-3 frames: stream type and substream in byte 2, the size in words - 1, rate code and
// block code in byte 4, stream id 16.
Bytes eac3(int n, uint8_t strmtyp, uint32_t words, uint8_t fscod, uint8_t code2, uint8_t acmod = 2)
{
    Bytes b;
    for (int i = 0; i < n; ++i) {
        Bytes f = {0x0B, 0x77, uint8_t((strmtyp << 6) | ((words - 1) >> 8)), uint8_t(words - 1),
                   uint8_t((fscod << 6) | (code2 << 4) | (acmod << 1)), 16 << 3, 0};
        f.resize(words * 2, 0);
        b.insert(b.end(), f.begin(), f.end());
    }
    return b;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(AC3, FrameTable)
{
    Bytes mixed = eac3(4, 0, 384, 0, 3);                // independent frames, 6 blocks at 48 kHz
    const Bytes dependent = eac3(4, 1, 384, 0, 3);      // its extra channels: no time of its own
    mixed.insert(mixed.end(), dependent.begin(), dependent.end());
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        uint32_t rate;
        int bitRate;
        int channels;
        uint64_t samples;
    } cases[] = {
        {"448 kbit/s at 48 kHz, arrangement 7", ac3(5, 0x1E, 0xE0, 1792), true, 48000, 448, 5, 5 * 1536},
        // 44.1 kHz, code 21 (192 kbit/s, odd: one word more): 417 + 1 words.
        {"44.1 kHz", ac3(3, 0x40 | 21, 0x40, 836), true, 44100, 192, 2, 3 * 1536},
        {"frame size code 38", ac3(1, 38, 0x40, 1792), false, 0, 0, 0, 0},
        {"reserved rate", ac3(1, 0xC0 | 30, 0x40, 1792), false, 0, 0, 0, 0},
        // E-AC-3: 384 words = 768 bytes of 6 blocks at 48 kHz: 768 * 8 * 48000 / 1536 = 192 kbit/s.
        {"E-AC-3", eac3(10, 0, 384, 0, 3), true, 48000, 192, 2, 10 * 1536},
        {"E-AC-3, 1 block", eac3(10, 0, 64, 0, 0), true, 48000, 192, 2, 10 * 256},
        {"E-AC-3, reduced rate", eac3(10, 0, 384, 3, 1), true, 22050, 88, 2, 10 * 1536},
        {"E-AC-3, dependent frames", mixed, true, 48000, 192, 2, 4 * 1536},
        {"E-AC-3, reserved reduced rate", eac3(1, 0, 384, 3, 3), false, 0, 0, 0, 0},
        {"stream id 20", [] { Bytes b = ac3(1, 0x1E, 0, 1792); b[5] = 20 << 3; return b; }(), false, 0, 0, 0, 0},
        {"last frame cut", slice(ac3(3, 0x1E, 0x40, 1792), 0, 1792 * 2 + 100), true, 48000, 448, 2, 2 * 1536},
        {"no sync", Bytes(2000, 0), false, 0, 0, 0, 0},
        // The count comes from the size only when the frames at the end confirm it; these must not
        // be fooled into it.
        {"44.1 kHz frames of two sizes", join({ac3(1, 0x40 | 20, 0x40, 834), ac3(1, 0x40 | 21, 0x40, 836),
                                               ac3(1, 0x40 | 20, 0x40, 834), ac3(1, 0x40 | 21, 0x40, 836),
                                               ac3(1, 0x40 | 20, 0x40, 834)}),
         true, 44100, 192, 2, 5 * 1536},
        {"one larger frame in the middle", join({ac3(3, 0x1E, 0x40, 1792), ac3(1, 0x20, 0x40, 2048),
                                                 ac3(4, 0x1E, 0x40, 1792)}),
         true, 48000, 448, 2, 8 * 1536},
        {"junk longer than a frame after the frames", join({ac3(5, 0x1E, 0x40, 1792), Bytes(2000, 0x55)}), true, 48000,
         448, 2, 5 * 1536},
        {"a whole smaller frame after the last", join({ac3(5, 0x1E, 0x40, 1792), ac3(1, 0x1C, 0x40, 1536)}), true,
         48000, 448, 2, 6 * 1536},
        {"a long stream of equal frames", ac3(2000, 0x1E, 0xE0, 1792), true, 48000, 448, 5, 2000 * 1536},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TAC3 a;
        EXPECT_EQ(a.ReadFromSource(in), c.valid);
        EXPECT_EQ(a.SampleRate(), c.rate);
        EXPECT_EQ(a.BitRate(), c.bitRate);
        EXPECT_EQ(a.Channels(), c.channels);
        EXPECT_EQ(a.Samples(), c.samples);
        EXPECT_DOUBLE_EQ(a.Duration(), c.rate ? double(c.samples) / c.rate : 0.0);
    }
}

// Frames of one size are counted from the file's size: nothing between the second frame and the
// last few is read (reads there would fail).
TEST(AC3, EqualFramesAreCountedWithoutReadingThem)
{
    const Bytes file = ac3(2000, 0x1E, 0xE0, 1792);
    TFailingSource in(file, 1792 * 10, 1792 * 1990);
    TAC3 a;
    ASSERT_TRUE(a.ReadFromSource(in));
    EXPECT_EQ(a.Samples(), 2000u * 1536);
    EXPECT_EQ(AC3PlayingTime(in).Samples, 2000 * 1536);
    EXPECT_EQ(AC3PlayingTime(in).SampleRate, 48000u);
}
