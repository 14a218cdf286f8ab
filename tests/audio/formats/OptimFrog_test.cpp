// OptimFROG headers written by hand from the format's description: "OFR ", the header size, the
// 48-bit count of sample values of all channels, the channel mode and the rate.
#include "audio/formats/OptimFrog.h"

#include "audio/AudioUtil.h"
#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

Bytes ofr(uint64_t values, uint8_t mode, uint32_t rate, size_t audio = 977)
{
    Bytes b;
    putText(b, "OFR ");
    putLE(b, 15, 4);
    putLE(b, uint32_t(values), 4);
    putLE(b, uint32_t(values >> 32), 2);
    b.push_back(0);    // sample type
    b.push_back(mode);
    putLE(b, rate, 4);
    putLE(b, 0, 2);    // encoder
    b.push_back(0);    // compression
    b.resize(b.size() + audio, 0x33);
    return b;
}

} // namespace

TEST(OptimFrog, HeaderTable)
{
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        uint64_t samples;
        double duration;
        int64_t bitRate;
        const char* channels;
    } cases[] = {
        // 2 * 44100 * 60 values of a stereo file: 60 s; 1000 bytes over 60 s is 0.13 kbit/s, rounded 0.
        {"stereo, 60 s", ofr(2 * 44100 * 60, 1, 44100), true, 44100 * 60, 60.0, 0, "Stereo"},
        // 1000 bytes * 8 / (48000 / 48000 s * 1000) = 8 kbit/s.
        {"mono, 1 s", ofr(48000, 0, 48000), true, 48000, 1.0, 8, "Mono"},
        // Above 32 bits: 0x1'0000'0000 values in stereo are 0x8000'0000 samples.
        {"48-bit length", ofr(0x100000000ull, 1, 44100), true, 0x80000000ull, 0x80000000ull / 44100.0, 0, "Stereo"},
        {"no rate", ofr(1000, 1, 0), true, 500, 0, 0, "Stereo"},
        {"no samples", ofr(0, 1, 44100), true, 0, 0, 0, "Stereo"},
        {"unknown channel mode", ofr(1000, 7, 44100), true, 0, 0, 0, ""},
        {"no signature", Bytes(100, 'x'), false, 0, 0, 0, ""},
        {"cut header", slice(ofr(1000, 1, 44100), 0, 20), false, 0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TOptimFrog f;
        EXPECT_EQ(f.ReadFromSource(in), c.valid);
        EXPECT_EQ(f.Samples(), c.samples);
        EXPECT_DOUBLE_EQ(f.Duration(), c.duration);
        EXPECT_EQ(f.BitRate(), c.bitRate);
        if (c.valid) {
            EXPECT_EQ(f.ChannelModeText(), c.channels);
        }
    }

    TempDir dir;
    for (const char* name : {"a.ofr", "a.OFS"}) {
        writeFile(dir.file(name), ofr(2 * 44100 * 60, 1, 44100));
        EXPECT_EQ(GetAudioDuration(dir.file(name)), 60) << name;
    }
    const TFileInfoValues v = ReadFileInfo(dir.file("a.ofr"));
    EXPECT_EQ(v.Duration, "00:01:00");
    EXPECT_EQ(v.Channels, "Stereo");
    EXPECT_EQ(v.Bitrate, "0");
}
