// TwinVQ headers written by hand from the format's description: "TWIN", a version text, the header
// size, the common chunk (channel mode, bit rate, rate code), then text chunks up to "DATA".
#include "audio/formats/TwinVQ.h"

#include "audio/AudioUtil.h"
#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

void chunk(Bytes& b, const char* id, const std::string& body)
{
    putText(b, id);
    putBE(b, uint32_t(body.size()), 4);
    putText(b, body);
}

// The header with a header size of 100, then `chunks`, "DATA" and audio up to `fileSize` bytes.
Bytes vqf(uint32_t mode, uint32_t kbps, uint32_t rateCode, size_t fileSize, const Bytes& chunks = {})
{
    Bytes b;
    putText(b, "TWIN97012000");
    putBE(b, 100, 4);
    putText(b, "COMM");
    putBE(b, 12, 4);
    putBE(b, mode, 4);
    putBE(b, kbps, 4);
    putBE(b, rateCode, 4);
    b.insert(b.end(), chunks.begin(), chunks.end());
    putText(b, "DATA");
    putBE(b, 0, 4);
    b.resize(std::max(fileSize, b.size()), 0x66);
    return b;
}

} // namespace

TEST(TwinVQ, HeaderTable)
{
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        double duration;
        uint16_t rate;
        const char* channels;
        bool corrupted;
    } cases[] = {
        // (1000120 - 100 - 20) / 125 / 20 = 400 s.
        {"20 kbit/s", vqf(1, 20, 22, 1000120), true, 400.0, 22050, "Stereo", false},
        {"48 kHz", vqf(0, 20, 48, 1000120), true, 400.0, 48000, "Mono", true},
        {"11 kHz", vqf(0, 20, 11, 1000120), true, 400.0, 11025, "Mono", false},
        {"no bit rate", vqf(1, 0, 44, 1000120), true, 0, 44100, "Stereo", true},
        {"unknown channel mode", vqf(5, 20, 44, 1000120), true, 400.0, 44100, "Unknown", true},
        {"no signature", Bytes(100, 'x'), false, 0, 0, "Unknown", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TTwinVQ v;
        EXPECT_TRUE(v.ReadFromSource(in));
        EXPECT_EQ(v.Valid(), c.valid);
        EXPECT_DOUBLE_EQ(v.Duration(), c.duration);
        EXPECT_EQ(v.SampleRate(), c.rate);
        EXPECT_EQ(v.ChannelModeText(), c.channels);
        EXPECT_EQ(v.Corrupted(), c.corrupted);
    }
    const Bytes header = vqf(1, 20, 22, 0);
    TMemorySource shortFile(header.data(), 39);
    TTwinVQ v;
    EXPECT_FALSE(v.ReadFromSource(shortFile));
}

TEST(TwinVQ, TextChunks)
{
    Bytes chunks;
    chunk(chunks, "NAME", std::string("  Title\0\0", 9));
    chunk(chunks, "AUTH", "Author");
    chunk(chunks, "XTRA", std::string(600, 'z')); // longer than a text: skipped whole
    chunk(chunks, "ALBM", "Album \xE9");           // 8-bit text
    chunk(chunks, "(c) ", "Someone");
    TempDir dir;
    writeFile(dir.file("a.vqf"), vqf(1, 20, 22, 1000120, chunks));
    TFileReader in;
    ASSERT_TRUE(in.open(dir.file("a.vqf")));
    TTwinVQ v;
    ASSERT_TRUE(v.ReadFromSource(in));
    EXPECT_EQ(v.Title(), "Title");
    EXPECT_EQ(v.Author(), "Author");
    EXPECT_EQ(v.Album(), "Album \xC3\xA9");
    EXPECT_EQ(v.Copyright(), "Someone");

    EXPECT_EQ(GetAudioDuration(dir.file("a.vqf")), 400);
    const TFileInfoValues info = ReadFileInfo(dir.file("a.vqf"));
    EXPECT_EQ(info.Artist, "Author");
    EXPECT_EQ(info.Title, "Title");
    EXPECT_EQ(info.Bitrate, "20");
    EXPECT_EQ(info.SampleRate, "22.05");
    EXPECT_EQ(info.Other, "");

    // A chunk that claims more than the file holds ends the walk.
    Bytes broken;
    chunk(broken, "NAME", "x");
    putText(broken, "AUTH");
    putBE(broken, 0x7FFFFFFF, 4);
    const Bytes file = vqf(1, 20, 22, 0, broken);
    TMemorySource mem(file);
    ASSERT_TRUE(v.ReadFromSource(mem));
    EXPECT_EQ(v.Title(), "x");
    EXPECT_EQ(v.Author(), "");
}
