// Monkey's Audio headers written by hand from the format's description: the descriptor and header of
// version 3.98 and later, and the older header whose blocks per frame follow from version and level.
#include "audio/formats/Monkey.h"

#include "audio/AudioUtil.h"
#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

struct NewHeader {
    uint32_t descriptor = 52, header = 24;
    uint16_t level = 2000, bits = 16, channels = 2;
    uint32_t blocksPerFrame = 73728, finalBlocks = 2000, frames = 100, rate = 44100;
};

// "MAC ", version, the descriptor (its length counted from "MAC "), the header, 100 bytes of audio.
Bytes newFile(const NewHeader& h, uint16_t version = 3990)
{
    Bytes b;
    putText(b, "MAC ");
    putLE(b, version, 2);
    putLE(b, 0, 2);
    putLE(b, h.descriptor, 4);
    putLE(b, h.header, 4);
    b.resize(h.descriptor >= 20 ? h.descriptor : 20, 0); // seek table, data and checksum sizes, MD5
    putLE(b, h.level, 2);
    putLE(b, 0, 2);
    putLE(b, h.blocksPerFrame, 4);
    putLE(b, h.finalBlocks, 4);
    putLE(b, h.frames, 4);
    putLE(b, h.bits, 2);
    putLE(b, h.channels, 2);
    putLE(b, h.rate, 4);
    b.resize(b.size() + 100, 0x55);
    return b;
}

// The header of versions before 3.98.
Bytes oldFile(uint16_t version, uint16_t level, uint16_t flags, uint32_t frames, uint32_t finalBlocks)
{
    Bytes b;
    putText(b, "MAC ");
    putLE(b, version, 2);
    putLE(b, level, 2);
    putLE(b, flags, 2);
    putLE(b, 2, 2);      // channels
    putLE(b, 44100, 4);  // rate
    putLE(b, 0, 4);      // header bytes
    putLE(b, 0, 4);      // terminating bytes
    putLE(b, frames, 4);
    putLE(b, finalBlocks, 4);
    putLE(b, 0, 4);      // peak level
    b.resize(b.size() + 100, 0x55);
    return b;
}

TMonkey read(const Bytes& bytes)
{
    TMemorySource in(bytes);
    TMonkey m;
    m.ReadFromSource(in);
    return m;
}

} // namespace

TEST(Monkey, HeadersByVersionTable)
{
    NewHeader longDescriptor;
    longDescriptor.descriptor = 60; // later fields this reader steps over
    NewHeader shortDescriptor;
    shortDescriptor.descriptor = 40;
    NewHeader shortHeader;
    shortHeader.header = 16;
    NewHeader huge; // 64-bit sample count: 4294967295 * 4294967294 + 1
    huge.blocksPerFrame = 0xFFFFFFFF;
    huge.frames = 0xFFFFFFFF;
    huge.finalBlocks = 1;
    NewHeader noRate;
    noRate.rate = 0;
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        uint64_t samples;
        int bits;
    } cases[] = {
        // 73728 * 99 + 2000 = 7301072 samples, 165.56 s at 44100 Hz.
        {"3.99", newFile(NewHeader()), true, 7301072, 16},
        {"3.99, longer descriptor", newFile(longDescriptor), true, 7301072, 16},
        {"descriptor below 52", newFile(shortDescriptor), false, 0, 0},
        {"header below 24", newFile(shortHeader), false, 0, 0},
        {"64-bit samples", newFile(huge), true, 0xFFFFFFFFull * 0xFFFFFFFEull + 1, 16},
        {"no rate", newFile(noRate), false, 7301072, 16},
        // Old headers: 9216 blocks per frame, 73728 from 3.90 or from 3.80 at level 4000, 294912 from 3.95.
        {"3.90 level 2000", oldFile(3900, 2000, 0, 10, 5), true, 73728 * 9 + 5, 16},
        {"3.80 level 4000, 8 bits", oldFile(3800, 4000, 1, 10, 5), true, 73728 * 9 + 5, 8},
        {"3.80 level 2000, 24 bits", oldFile(3800, 2000, 8, 10, 5), true, 9216 * 9 + 5, 24},
        {"3.97 level 4000", oldFile(3970, 4000, 0, 10, 5), true, 294912 * 9 + 5, 16},
        {"no frames", oldFile(3950, 2000, 0, 0, 5), false, 0, 16},
        {"cut header", slice(oldFile(3950, 2000, 0, 10, 5), 0, 30), false, 0, 0},
        {"no signature", Bytes(200, 'x'), false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TMonkey m = read(c.file);
        EXPECT_EQ(m.Valid(), c.valid);
        EXPECT_EQ(m.TotalSamples(), c.samples);
        EXPECT_EQ(m.BitsPerSample(), c.bits);
        if (c.valid) {
            EXPECT_DOUBLE_EQ(m.Duration(), double(c.samples) / 44100.0);
            EXPECT_DOUBLE_EQ(m.BitRate(), double(c.file.size()) * 8 / m.Duration() / 1000);
        } else if (m.SampleRate() == 0) {
            EXPECT_EQ(m.Duration(), 0.0);
        }
    }
}

TEST(Monkey, TextsRegistryAndTags)
{
    NewHeader normal;
    normal.level = 2000;
    EXPECT_EQ(read(newFile(normal)).CompressionModeText(), "Normal");
    EXPECT_EQ(read(newFile(normal)).VersionText(), "3.99");
    EXPECT_EQ(read(oldFile(3800, 2500, 0, 10, 5)).CompressionModeText(), "2500");
    EXPECT_EQ(read(oldFile(3800, 2500, 0, 10, 5)).VersionText(), "3.80");

    // Behind an ID3v2 tag, through the registry: 165.56 s rounds to 166.
    TempDir dir;
    Bytes file = id3v2Tag(200);
    const Bytes body = newFile(NewHeader());
    file.insert(file.end(), body.begin(), body.end());
    for (const char* name : {"a.ape", "a.MAC"}) {
        writeFile(dir.file(name), file);
        EXPECT_EQ(GetAudioDuration(dir.file(name)), 166) << name;
    }
    const TFileInfoValues v = ReadFileInfo(dir.file("a.ape"));
    EXPECT_EQ(v.Duration, "00:02:46");
    EXPECT_EQ(v.SampleRate, "44.1");
    EXPECT_EQ(v.Channels, "S");
    EXPECT_EQ(v.Other, "Version: 3.99 Compression mode: Normal");
    // The tags are no audio: (100 + header bytes) over 165.56 s.
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f", double(body.size()) * 8 / (7301072 / 44100.0) / 1000);
    EXPECT_EQ(v.Bitrate, rate);
}
