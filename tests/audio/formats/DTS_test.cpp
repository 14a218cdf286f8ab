// DTS core frames (and DTS-HD extension substreams between them) written by hand from the format's
// description; real streams are read in RealStreams_test.cpp.
#include "audio/formats/DTS.h"

#include "audio/FaultyIO.h"
#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

void setBits(Bytes& b, size_t at, uint32_t v, int n)
{
    for (int i = 0; i < n; ++i) {
        const uint8_t mask = uint8_t(0x80 >> ((at + i) % 8));
        if ((v >> (n - 1 - i)) & 1)
            b[(at + i) / 8] |= mask;
        else
            b[(at + i) / 8] &= uint8_t(~mask);
    }
}

// One core frame of `bytes` bytes and `blocks` blocks of 32 samples: channel arrangement, rate code,
// bit-rate code and resolution at their bit positions.
Bytes core(uint32_t bytes, uint32_t blocks, uint32_t amode, uint32_t sfreq, uint32_t rate, uint32_t pcmr = 0)
{
    Bytes f(bytes, 0);
    f[0] = 0x7F, f[1] = 0xFE, f[2] = 0x80, f[3] = 0x01;
    setBits(f, 32, 1, 1);            // normal frame
    setBits(f, 33, 31, 5);           // deficit sample count
    setBits(f, 39, blocks - 1, 7);
    setBits(f, 46, bytes - 1, 14);
    setBits(f, 60, amode, 6);
    setBits(f, 66, sfreq, 4);
    setBits(f, 70, rate, 5);
    setBits(f, 111, pcmr, 3);
    return f;
}

// A DTS-HD extension substream of `bytes` bytes (the short header form: 16-bit size - 1 at bit 51).
Bytes substream(uint32_t bytes)
{
    Bytes s(bytes, 0);
    s[0] = 0x64, s[1] = 0x58, s[2] = 0x20, s[3] = 0x25;
    setBits(s, 51, bytes - 1, 16);
    return s;
}

void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

Bytes repeat(int n, const Bytes& a, const Bytes& b = {})
{
    Bytes out;
    for (int i = 0; i < n; ++i) {
        out.insert(out.end(), a.begin(), a.end());
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

} // namespace

TEST(DTS, FrameTable)
{
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        uint32_t rate;
        int bitRate;
        int channels;
        int bits;
        uint64_t frames;
        uint64_t samples;
    } cases[] = {
        // Rate code 13 and bit-rate code 15: 48000 Hz, 768 kbit/s; 16 blocks: 512 samples a frame.
        {"48 kHz, 768 kbit/s", repeat(10, core(2048, 16, 2, 13, 15)), true, 48000, 768, 2, 16, 10, 5120},
        {"44.1 kHz, 5.1 channels, 24 bits", repeat(3, core(1000, 16, 9, 8, 22, 4)), true, 44100, 1411, 5, 24, 3, 1536},
        // DTS-HD: the extension substreams count no time of their own.
        {"DTS-HD", repeat(10, core(1000, 16, 2, 13, 15), substream(3000)), true, 48000, 768, 2, 16, 10, 5120},
        {"8 blocks", repeat(4, core(500, 8, 2, 13, 15)), true, 48000, 768, 2, 16, 4, 1024},
        {"bit-rate code 29", core(1000, 16, 2, 13, 29), false, 0, 0, 0, 0, 0, 0},
        {"bit-rate code 31", core(1000, 16, 2, 13, 31), false, 0, 0, 0, 0, 0, 0},
        {"rate code 0", core(1000, 16, 2, 0, 15), false, 0, 0, 0, 0, 0, 0},
        {"frame below 96 bytes", core(90, 16, 2, 13, 15), true, 48000, 768, 2, 16, 0, 0},
        {"last frame cut", slice(repeat(3, core(1000, 16, 2, 13, 15)), 0, 2500), true, 48000, 768, 2, 16, 2, 1024},
        {"no sync", Bytes(200, 0), false, 0, 0, 0, 0, 0, 0},
        // The count comes from the size only when the frames at the end confirm it.
        {"one larger frame in the middle",
         [] { Bytes b = repeat(3, core(1000, 16, 2, 13, 15)); append(b, core(1200, 16, 2, 13, 15));
              append(b, repeat(4, core(1000, 16, 2, 13, 15))); return b; }(),
         true, 48000, 768, 2, 16, 8, 8 * 512},
        {"a whole smaller frame after the last",
         [] { Bytes b = repeat(5, core(1000, 16, 2, 13, 15)); append(b, core(500, 8, 2, 13, 15)); return b; }(),
         true, 48000, 768, 2, 16, 6, 5 * 512 + 256},
        {"junk longer than a frame after the frames",
         [] { Bytes b = repeat(5, core(1000, 16, 2, 13, 15)); append(b, Bytes(1500, 0x55)); return b; }(),
         true, 48000, 768, 2, 16, 5, 5 * 512},
        {"a long stream of equal frames", repeat(3000, core(1000, 16, 2, 13, 15)), true, 48000, 768, 2, 16, 3000,
         3000 * 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TDTS d;
        EXPECT_EQ(d.ReadFromSource(in), c.valid);
        EXPECT_EQ(d.SampleRate(), c.rate);
        EXPECT_EQ(d.BitRate(), c.bitRate);
        EXPECT_EQ(d.Channels(), c.channels);
        EXPECT_EQ(d.BitsPerSample(), c.bits);
        EXPECT_EQ(d.Frames(), c.frames);
        EXPECT_EQ(d.Samples(), c.samples);
        EXPECT_DOUBLE_EQ(d.Duration(), c.rate ? double(c.samples) / c.rate : 0.0);
    }
}

// Core frames of one size are counted from the file's size: nothing between the second frame and
// the last few is read (reads there would fail).
TEST(DTS, EqualFramesAreCountedWithoutReadingThem)
{
    const Bytes file = repeat(3000, core(1000, 16, 2, 13, 15));
    TFailingSource in(file, 1000 * 10, 1000 * 2990);
    TDTS d;
    ASSERT_TRUE(d.ReadFromSource(in));
    EXPECT_EQ(d.Frames(), 3000u);
    EXPECT_EQ(DTSPlayingTime(in).Samples, 3000 * 512);
    EXPECT_EQ(DTSPlayingTime(in).SampleRate, 48000u);
}
