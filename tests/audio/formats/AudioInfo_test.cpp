// The folder scan's MPEG playing time: the frame search, Xing and constant-bit-rate timing, and the
// whole seconds the façade makes of it. These numbers become disc IDs, so they are checked exactly.
#include "audio/formats/AudioInfo.h"
#include "audio/AudioUtil.h"
#include "audio/formats/MpegFrameHdr.h"
#include "audio/MpegFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace cantorix;
using namespace cantorix::test;

namespace {

const Bytes kHdr128 = mpegHeader(Mpeg::V1, 3, 9, 0); // 128 kbit/s, 44.1 kHz, stereo: 417 bytes

// Frames of 417 bytes cut to exactly `audioBytes`.
Bytes cbrAudio(size_t audioBytes)
{
    Bytes b = frameRun(kHdr128, 417, audioBytes / 417 + 2);
    b.resize(audioBytes);
    return b;
}

struct Measured {
    bool ok;
    TAudioInfo info;
};

Measured measure(const Bytes& content, const char* name = "a.mp3")
{
    TempDir dir;
    writeFile(dir.file(name), content);
    Measured m;
    m.ok = m.info.ReadFromFile(dir.file(name));
    return m;
}

int scanSeconds(const Bytes& content, const std::string& name)
{
    TempDir dir;
    writeFile(dir.file(name), content);
    return GetAudioDuration(dir.file(name));
}

} // namespace

TEST(AudioInfo, ConstantBitRateFileWithId3v1)
{
    Bytes f = cbrAudio(4800000);
    append(f, id3v1Tag("t", "a", "b", "2000", "", 1, 17));
    ASSERT_EQ(f.size(), 4800128u);
    Measured m = measure(f);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.info.FirstFrame(), 0);
    EXPECT_TRUE(m.info.id3v1().Present);
    EXPECT_EQ(m.info.AudioBytes(), 4800000);
    EXPECT_EQ(m.info.DurationMs(), 300000);
    EXPECT_EQ(m.info.FrameCount(), 4800000 / 417);
    EXPECT_EQ(m.info.bitRate(), 128000);
}

TEST(AudioInfo, HalfMillisecondsRoundToEvenExactly)
{
    // 8024 bytes at 128 kbit/s are exactly 501.5 ms; a floating-point quotient would give 501.49999.
    struct Case {
        size_t audioBytes;
        int64_t ms;
    } cases[] = {{8024, 502}, {8008, 500}, {40008, 2500}, {40024, 2502}, {24000, 1500}};
    for (const Case& c : cases) {
        Measured m = measure(cbrAudio(c.audioBytes));
        EXPECT_EQ(m.info.DurationMs(), c.ms) << c.audioBytes;
    }
}

TEST(AudioInfo, XingFramesGiveTheTime)
{
    // MPEG-1 Layer III stereo: the Xing header sits 36 bytes into the frame.
    Bytes f = xingFrame(kHdr128, 417, 36, 1, 11250, 0);
    append(f, frameRun(kHdr128, 417, 5));
    Measured m = measure(f);
    EXPECT_TRUE(m.info.isVBR());
    EXPECT_EQ(m.info.DurationMs(), 293878); // 1152 / 44100 * 11250 * 1000
    EXPECT_EQ(m.info.FrameCount(), 11250);
    EXPECT_EQ(m.info.AudioBytes(), int64_t(f.size())); // no byte count: the rest of the file
}

TEST(AudioInfo, XingVariants)
{
    struct Case {
        const char* what;
        Bytes header;
        size_t frameLength, xingAt;
        uint32_t flags, frames, byteCount;
        const char* magic;
        int64_t ms, frameCount, audioBytes;
    };
    const Bytes mono1 = mpegHeader(Mpeg::V1, 3, 9, 0, false, 3);
    const Bytes v2 = mpegHeader(Mpeg::V2, 3, 8, 0);       // 64 kbit/s, 22.05 kHz: 72*64000/22050 = 208
    const Bytes v2mono = mpegHeader(Mpeg::V2, 3, 8, 0, false, 3);
    const Bytes v25 = mpegHeader(Mpeg::V25, 3, 8, 2);     // 64 kbit/s, 8 kHz: 576 bytes
    const Case cases[] = {
        {"mono MPEG-1 at 21", mono1, 417, 21, 1, 1000, 0, "Xing", 26122, 1000, 2085},
        {"MPEG-2 uses 576 samples", v2, 208, 21, 1, 1000, 0, "Xing", 26122, 1000, 1040},
        {"MPEG-2 mono at 13", v2mono, 208, 13, 1, 1000, 0, "Xing", 26122, 1000, 1040},
        {"MPEG-2.5 at 8 kHz", v25, 576, 21, 1, 100, 0, "Xing", 7200, 100, 2880},
        {"byte count within the file", kHdr128, 417, 36, 3, 2, 800, "Xing", 52, 2, 800},
        {"no frame count: 0 ms", kHdr128, 417, 36, 2, 0, 1000, "Xing", 0, 0, 1000},
        {"Info is not a Xing header", kHdr128, 417, 36, 1, 11250, 0, "Info", 130, 5, 2085},
    };
    for (const Case& c : cases) {
        Bytes f = xingFrame(c.header, c.frameLength, c.xingAt, c.flags, c.frames, c.byteCount, c.magic);
        append(f, frameRun(c.header, c.frameLength, 4));
        Measured m = measure(f);
        EXPECT_EQ(m.info.DurationMs(), c.ms) << c.what;
        EXPECT_EQ(m.info.FrameCount(), c.frameCount) << c.what;
        EXPECT_EQ(m.info.AudioBytes(), c.audioBytes) << c.what;
    }
}

TEST(AudioInfo, XingAnnouncingMoreBytesThanTheFileScales)
{
    // 1000 frames announced in 417000 bytes, but the file holds 2085 from the first frame.
    Bytes f = xingFrame(kHdr128, 417, 36, 3, 1000, 417000);
    append(f, frameRun(kHdr128, 417, 4));
    Measured m = measure(f);
    EXPECT_EQ(m.info.bitRate(), 127708);            // 417000 * 8 * 1000 / 26122
    EXPECT_EQ(m.info.DurationMs(), 131);            // 2085 / 417000 * 26122 = 130.61
    EXPECT_EQ(m.info.FrameCount(), 5);
    EXPECT_EQ(m.info.AudioBytes(), 2085); // not announced, so counted from the file
}

TEST(AudioInfo, SearchStartsAfterAnId3v2TagWithFrames)
{
    Bytes tag = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Title"))}, 5000 - 10 - 16);
    ASSERT_EQ(tag.size(), 5000u);
    Bytes f = tag;
    append(f, cbrAudio(41700));
    Measured m = measure(f);
    EXPECT_TRUE(m.info.id3v2().Present);
    EXPECT_EQ(m.info.id3v2().TotalSize(), 5000);
    EXPECT_EQ(m.info.FirstFrame(), 5000);
    EXPECT_EQ(m.info.AudioBytes(), 41700);
    EXPECT_EQ(m.info.DurationMs(), 2606); // 41700 * 8 / 128 = 2606.25
}

TEST(AudioInfo, PaddingOnlyTagIsNotSkipped)
{
    // The tag lists no frame, so the search starts at 0 and has to cross the tag's bytes.
    Bytes small = id3Tag(3, {}, 1000);
    append(small, cbrAudio(4170));
    Measured m = measure(small);
    EXPECT_FALSE(m.info.id3v2().Present);
    EXPECT_EQ(m.info.FirstFrame(), 1010);
    EXPECT_EQ(m.info.AudioBytes(), 4170);

    // A padding-only tag longer than the scan limit hides the audio.
    Bytes big = id3Tag(3, {}, 12000);
    append(big, cbrAudio(4170));
    EXPECT_EQ(measure(big).info.DurationMs(), -1);
    EXPECT_EQ(scanSeconds(big, "big.mp3"), 0);

    // The same amount of tag with a frame in it is stepped over.
    Bytes listed = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("x"))}, 12000);
    append(listed, cbrAudio(4170));
    EXPECT_EQ(measure(listed).info.AudioBytes(), 4170);
}

TEST(AudioInfo, JunkBeyondTheScanLimit)
{
    Bytes near(10000, 0x11);
    append(near, cbrAudio(4170));
    EXPECT_EQ(measure(near).info.FirstFrame(), 10000);

    Bytes far(10300, 0x11);
    append(far, cbrAudio(4170));
    Measured m = measure(far);
    EXPECT_TRUE(m.ok);
    EXPECT_EQ(m.info.DurationMs(), -1);
    EXPECT_EQ(m.info.FirstFrame(), -1);
}

TEST(AudioInfo, UnconfirmedHeaderMovesTheSearchToTheNextWindow)
{
    // A plausible header at 10 whose follower is not a header: the rest of that window is not tried,
    // so the real frame at 50 is passed over and its successor at 467 becomes the first frame.
    Bytes f(50, 0);
    f[10] = 0xFF;
    f[11] = 0xFB;
    f[12] = 0x90;
    f[13] = 0x00;
    append(f, cbrAudio(4170));
    Measured m = measure(f);
    EXPECT_EQ(m.info.FirstFrame(), 467);

    // With the real frame in the next window it is found.
    Bytes g(200, 0);
    g[10] = 0xFF;
    g[11] = 0xFB;
    g[12] = 0x90;
    append(g, cbrAudio(4170));
    EXPECT_EQ(measure(g).info.FirstFrame(), 200);
}

TEST(AudioInfo, FreeFormatGivesZero)
{
    Bytes f = frameRun(mpegHeader(Mpeg::V1, 3, 0, 0), 4, 100);
    Measured m = measure(f);
    EXPECT_TRUE(m.info.header().Valid());
    EXPECT_EQ(m.info.DurationMs(), 0);
}

TEST(AudioInfo, TrailingApeAndLyricsCountAsAudio)
{
    Bytes f = cbrAudio(4170);
    append(f, apeTag({{"Title", "x"}}));
    append(f, std::string("LYRICSBEGININD0000200000021LYRICS200"));
    append(f, id3v1Tag("t", "", "", "", "", 0, 0));
    Measured m = measure(f);
    EXPECT_EQ(m.info.AudioBytes(), int64_t(f.size()) - 128);
}

TEST(AudioInfo, ShortAndMissingFiles)
{
    EXPECT_EQ(measure(Bytes{}).info.DurationMs(), -1);
    EXPECT_EQ(measure(Bytes{0xFF, 0xFB, 0x90}).info.DurationMs(), -1);
    TAudioInfo info;
    EXPECT_FALSE(info.ReadFromFile("/nonexistent/x.mp3"));
    EXPECT_FALSE(info.ReadFromFile("   "));
    EXPECT_EQ(info.DurationMs(), -1);
    // A tag that claims more than the file holds.
    Bytes t = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("x"))});
    t[9] = 0x7F;
    EXPECT_EQ(measure(t).info.DurationMs(), -1);
}

TEST(AudioInfo, FacadeRoundsMillisecondsToSeconds)
{
    struct Case {
        const char* name;
        size_t audioBytes;
        int seconds;
    } cases[] = {
        {"song.mp3", 24000, 2}, // 1500 ms
        {"song.Mp3", 40000, 2}, // 2500 ms
        {"SONG.MP3", 56000, 4}, // 3500 ms
        {"x.mp2", 24000, 2},
        {"x.MPA", 24000, 2},
        {"song.mp3.txt", 24000, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(scanSeconds(cbrAudio(c.audioBytes), c.name), c.seconds) << c.name;
    EXPECT_EQ(scanSeconds(Bytes(5000, 0), "silence.mp3"), 0);
    EXPECT_EQ(GetAudioDuration("/nonexistent/x.mp3"), 0);
}

// Real encoder output: MPEG-1, -2 and -2.5, constant and variable bit rate, with tags. Constant bit
// rate files from lame carry an "Info" header, which is timed as constant bit rate. Both headers count
// the frames and lame's tag says what it added around the 2 s it was given: the exact length is those
// 2 s at the file's rate.
TEST(AudioInfo, LameFiles)
{
    if (!haveLame()) GTEST_SKIP() << "lame is not installed";
    TempDir dir;
    struct Case {
        const char* name;
        const char* options;
        bool vbr;
        int spf, rate, kbps;
    } cases[] = {
        {"cbr1.mp3", "-b 128 --id3v2-only --tt Title", false, 1152, 44100, 128},
        {"cbr1v1.mp3", "-b 192 --id3v1-only --tt Title", false, 1152, 44100, 192},
        {"cbr2.mp3", "--resample 22.05 -b 64", false, 576, 22050, 64},
        {"cbr25.mp3", "--resample 11.025 -b 32 --add-id3v2 --tt T", false, 576, 11025, 32},
        {"vbr1.mp3", "-V 2 --add-id3v2 --tt Title", true, 1152, 44100, 0},
        {"vbr2.mp3", "--resample 24 -V 4", true, 576, 24000, 0},
        {"vbr25.mp3", "--resample 8 -V 6 -m m", true, 576, 8000, 0},
    };
    for (const Case& c : cases) {
        std::string path = dir.file(c.name);
        ASSERT_TRUE(makeLameMp3(dir, path, c.options)) << c.name;
        Bytes b = readFile(path);
        int64_t tag = 0;
        if (b.size() > 10 && b[0] == 'I' && b[1] == 'D' && b[2] == '3')
            tag = 10 + ((b[6] << 21) | (b[7] << 14) | (b[8] << 7) | b[9]);
        bool v1 = b.size() >= 128 && b[b.size() - 128] == 'T' && b[b.size() - 127] == 'A' && b[b.size() - 126] == 'G';
        TAudioInfo info;
        ASSERT_TRUE(info.ReadFromFile(path));
        EXPECT_EQ(info.FirstFrame(), tag) << c.name;
        EXPECT_EQ(info.isVBR(), c.vbr) << c.name;
        int64_t expected;
        if (c.vbr) {
            bool mono = (b[size_t(tag) + 3] >> 6) == 3;
            size_t at = size_t(tag) + (c.spf == 1152 ? (mono ? 21 : 36) : (mono ? 13 : 21));
            uint32_t frames = (b[at + 8] << 24) | (b[at + 9] << 16) | (b[at + 10] << 8) | b[at + 11];
            double ms = double(c.spf) * frames * 1000 / c.rate;
            expected = int64_t(ms + 0.5); // never an exact half for these rates
        } else {
            int64_t audio = int64_t(b.size()) - tag - (v1 ? 128 : 0);
            int64_t num = audio * 8, den = c.kbps;
            expected = num / den + ((num % den) * 2 > den || ((num % den) * 2 == den && ((num / den) & 1)));
        }
        EXPECT_EQ(info.DurationMs(), expected) << c.name;
        EXPECT_NEAR(double(info.DurationMs()), 2000.0, 200.0) << c.name;
        EXPECT_EQ(GetAudioDuration(path), 2) << c.name;
        EXPECT_EQ(info.Samples(), 2 * c.rate) << c.name;
        EXPECT_EQ(info.EncoderDelay(), 576) << c.name;
    }
}

// The encoder delay and padding count only from a LAME tag whose CRC holds; without them the frames
// still give an exact length. A file cut short of what its header announces has none.
TEST(AudioInfo, ExactLengthNeedsAWholeHeaderAndAnIntactLameTag)
{
    if (!haveLame()) GTEST_SKIP() << "lame is not installed";
    TempDir dir;
    const std::string path = dir.file("v.mp3");
    ASSERT_TRUE(makeLameMp3(dir, path, "-V 4"));
    const Bytes whole = readFile(path);
    const size_t xing = 36;                     // MPEG-1 stereo, no ID3v2 tag
    const size_t lame = xing + 8 + 4 + 4 + 100 + 4;
    ASSERT_EQ(std::string(whole.begin() + xing, whole.begin() + xing + 4), "Xing");
    ASSERT_EQ(std::string(whole.begin() + lame, whole.begin() + lame + 4), "LAME");
    const uint32_t frames = (whole[xing + 8] << 24) | (whole[xing + 9] << 16) | (whole[xing + 10] << 8) | whole[xing + 11];

    auto changed = [&](size_t at, uint8_t value) {
        Bytes b = whole;
        b[at] = value;
        return b;
    };
    struct Case {
        const char* what;
        Bytes file;
        int64_t samples;
        int delay;
    } cases[] = {
        {"as made", whole, 88200, 576},
        {"delay changed, CRC not", changed(lame + 21, uint8_t(whole[lame + 21] ^ 0x10)), int64_t(frames) * 1152, -1},
        {"no Xing header", changed(xing, 'x'), 0, -1},
        {"cut to half", Bytes(whole.begin(), whole.begin() + long(whole.size() / 2)), 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TAudioInfo info;
        ASSERT_TRUE(info.ReadFromSource(in));
        EXPECT_EQ(info.Samples(), c.samples);
        EXPECT_EQ(info.EncoderDelay(), c.delay);
        EXPECT_GT(info.DurationMs(), 0) << "the time does not depend on it";
    }
}
