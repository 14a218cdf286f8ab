#include "audio/formats/AUfile.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/formats/AudioMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// A header (big-endian: ".snd", data offset, data size, encoding, rate, channels), an annotation
// and `dataBytes` of data.
Bytes au(uint32_t offset, uint32_t size, uint32_t encoding, uint32_t rate, uint32_t channels, size_t dataBytes,
         const std::string& annotation = "")
{
    Bytes b = {'.', 's', 'n', 'd'};
    for (uint32_t v : {offset, size, encoding, rate, channels})
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
    b.insert(b.end(), annotation.begin(), annotation.end());
    b.resize(offset, 0);
    b.resize(b.size() + dataBytes, 0x80);
    return b;
}

} // namespace

TEST(AUfile, ReadsHeadersAndAnnotations)
{
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        double seconds;
        std::string title = {};
    } cases[] = {
        // As the command-line tests write theirs: 8-bit linear, 100 Hz, mono.
        {"8-bit at 100 Hz", au(24, 20000, TAUfile::Linear8, 100, 1, 20000), true, 200.0},
        {"16-bit stereo", au(24, 8000, TAUfile::Linear16, 1000, 2, 8000), true, 2.0},
        {"mu-law", au(24, 8000 * 2 + 7999, TAUfile::MuLaw8, 8000, 1, 8000 * 2 + 7999), true, 2.999875},
        {"unknown size: to the end", au(24, 0xFFFFFFFF, TAUfile::Linear16, 1000, 1, 3000), true, 1.5},
        {"a size past the end: to the end", au(24, 900000, TAUfile::Linear8, 1000, 1, 500), true, 0.5},
        {"annotation", au(48, 1000, TAUfile::Linear8, 1000, 1, 1000, "Title=T\nartist = A\nnone\n"), true, 1.0, "T"},
        {"unknown encoding", au(24, 1000, 99, 1000, 1, 1000), true, 0.0},
        {"no channels", au(24, 1000, TAUfile::Linear8, 1000, 0, 1000), false, 0.0},
        {"an offset inside the header", au(24, 1000, TAUfile::Linear8, 1000, 1, 1000), false, 0.0},
        {"an offset past the end", au(24, 0, TAUfile::Linear8, 1000, 1, 0), false, 0.0},
    };
    cases[8].file[7] = 16;
    cases[9].file[7] = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TAUfile f;
        EXPECT_EQ(f.ReadFromSource(in), c.valid);
        EXPECT_DOUBLE_EQ(f.Duration(), c.seconds);
        EXPECT_LE(f.DataOffset() + f.DataSize(), int64_t(c.file.size()));
        EXPECT_EQ(f.Title(), c.title);
    }
}

// Files as ffmpeg writes them, to a file (sizes and annotations filled in) and to a pipe (size unknown).
TEST(AUfile, ReadsFfmpegFiles)
{
    if (!haveTool("ffmpeg") || !haveTool("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    struct Case {
        const char* name;
        const char* output;
        const char* channels;
        const char* artist;
    } cases[] = {
        {"file.au", "-ac 2 -c:a pcm_s16be -f au -metadata artist=Art -metadata title=Tt", "2", "Art"},
        {"piped.au", "-ac 2 -c:a pcm_s16be -f au - | cat >", "2", ""},
        {"mulaw.au", "-ac 1 -c:a pcm_mulaw -f au", "1", ""},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = makeWithFfmpeg(dir, c.name, "sine=sample_rate=44100:duration=3.5", c.output);
        ASSERT_FALSE(path.empty());
        TAUfile f;
        ASSERT_TRUE(f.ReadFromFile(path));
        EXPECT_NEAR(f.Duration(), ffprobeDuration(path), 0.01);
        EXPECT_EQ(GetAudioDuration(path), 4);
        TFileInfoValues v = ReadFileInfo(path);
        EXPECT_EQ(v.Duration, "00:00:04");
        EXPECT_EQ(v.SampleRate, "44.1");
        EXPECT_EQ(v.Channels, c.channels);
        EXPECT_EQ(v.Artist, c.artist);
    }
}
