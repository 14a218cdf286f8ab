#include "audio/formats/WAVfile.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/formats/AudioMaker.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cantorix;
using namespace cantorix::test;

namespace {

constexpr const char* kTone = "sine=sample_rate=44100:duration=3.5";

Bytes chunk(const char* id, const Bytes& body)
{
    Bytes out(id, id + 4);
    putLE(out, uint32_t(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) out.push_back(0);
    return out;
}

Bytes fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits)
{
    Bytes b;
    putLE(b, tag, 2);
    putLE(b, channels, 2);
    putLE(b, rate, 4);
    putLE(b, rate * align, 4);
    putLE(b, align, 2);
    putLE(b, bits, 2);
    return b;
}

Bytes riff(const std::vector<Bytes>& chunks)
{
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes out = {'R', 'I', 'F', 'F'};
    putLE(out, uint32_t(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

} // namespace

// Files as ffmpeg writes them, in every layout it has; ffprobe gives the reference time.
TEST(WAVfile, ReadsEveryLayoutFfmpegWrites)
{
    if (!haveTool("ffmpeg") || !haveTool("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    struct Case {
        const char* name;
        const char* output;
        int channels;
        uint16_t subFormat;
        const char* mode;
    } cases[] = {
        {"plain.wav", "-ac 2 -fflags +bitexact -map_metadata -1", 2, 1, "Stereo"},
        {"list.wav", "-ac 2 -metadata title=T", 2, 1, "Stereo"},     // a LIST chunk before "data"
        {"junk.wav", "-ac 1 -rf64 auto", 1, 1, "Mono"},               // JUNK before "fmt "
        {"bext.wav", "-ac 2 -write_bext 1", 2, 1, "Stereo"},          // a broadcast WAV "bext" chunk
        {"rf64.wav", "-ac 2 -rf64 always", 2, 1, "Stereo"},           // sizes in "ds64"
        {"six.wav", "-ac 6 -c:a pcm_s24le", 6, 1, "Multichannel"},   // the extensible format
        {"float.wav", "-ac 1 -c:a pcm_f32le", 1, 3, "Mono"},
        {"adpcm.wav", "-ac 2 -c:a adpcm_ima_wav", 2, 0x11, "Stereo"}, // compressed: the "fact" count
        {"piped.wav", "-ac 2 -f wav - | cat >", 2, 1, "Stereo"},      // sizes 0xFFFFFFFF
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = makeWithFfmpeg(dir, c.name, kTone, c.output);
        ASSERT_FALSE(path.empty());
        TWAVfile f;
        ASSERT_TRUE(f.ReadFromFile(path));
        EXPECT_TRUE(f.Valid());
        EXPECT_EQ(f.Channels(), c.channels);
        EXPECT_EQ(f.SampleRate(), 44100u);
        EXPECT_EQ(f.SubFormat(), c.subFormat);
        EXPECT_EQ(f.FileSize(), int64_t(std::filesystem::file_size(path)));
        EXPECT_LE(f.DataOffset() + f.DataSize(), f.FileSize());
        EXPECT_NEAR(f.Duration(), ffprobeDuration(path), 0.03);
        EXPECT_EQ(GetAudioDuration(path), 4); // 3.5 rounds to even
        TFileInfoValues v = ReadFileInfo(path);
        EXPECT_EQ(v.Duration, "00:00:04");
        EXPECT_EQ(v.SampleRate, "44.1");
        EXPECT_EQ(v.Channels, c.mode);
        EXPECT_EQ(v.Bitrate, ShortestDecimal(f.BitRate()));
    }
}

// Hand-made headers for what no tool writes on purpose.
TEST(WAVfile, WalksChunksAndDistrustsSizes)
{
    const Bytes pcm(4000, 0); // 1000 frames of 16-bit stereo
    const Bytes fmt = chunk("fmt ", fmtBody(1, 2, 1000, 4, 16));
    Bytes cut = riff({fmt, chunk("data", pcm)});
    cut.resize(cut.size() - 2000); // data size says 4000, the file holds 2000
    Bytes oddBody(3, 'x');
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        double seconds;
    } cases[] = {
        {"an odd chunk is padded", riff({chunk("abcd", oddBody), fmt, chunk("data", pcm)}), true, 1.0},
        {"data before fmt", riff({chunk("data", pcm), fmt}), true, 1.0},
        {"a cut file holds less than its size", cut, true, 0.5},
        {"no data chunk", riff({fmt}), true, 0.0},
        {"block align 0", riff({chunk("fmt ", fmtBody(1, 2, 1000, 0, 16)), chunk("data", pcm)}), false, 0.0},
        {"no channels", riff({chunk("fmt ", fmtBody(1, 0, 1000, 4, 16)), chunk("data", pcm)}), false, 0.0},
        {"a short format chunk", riff({chunk("fmt ", Bytes(14, 1)), chunk("data", pcm)}), false, 0.0},
        {"not WAVE", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, false, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TWAVfile f;
        EXPECT_EQ(f.ReadFromSource(in), c.valid);
        EXPECT_DOUBLE_EQ(f.Duration(), c.seconds);
        EXPECT_EQ(f.FileSize(), int64_t(c.file.size()));
    }
}
