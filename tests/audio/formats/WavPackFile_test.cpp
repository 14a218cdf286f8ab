#include "audio/formats/WavPackFile.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/formats/AudioMaker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace cantorix;
using namespace cantorix::test;

namespace {

struct Reference {
    double seconds = -1;
    int rate = 0;
    int channels = 0;
};

// What `wvunpack -s` reports of a file.
Reference wvunpackSummary(const std::string& path)
{
    Reference r;
    std::string text = capture("wvunpack -s " + shellQuote(path) + " 2>&1");
    for (size_t at = 0; at < text.size();) {
        size_t eol = text.find('\n', at);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(at, eol - at);
        at = eol + 1;
        int h = 0, m = 0;
        double s = 0;
        if (std::sscanf(line.c_str(), "duration: %d:%d:%lf", &h, &m, &s) == 3) r.seconds = h * 3600 + m * 60 + s;
        std::sscanf(line.c_str(), "channels: %d", &r.channels);
        std::sscanf(line.c_str(), "source: %*d-bit %*s at %d Hz", &r.rate);
    }
    return r;
}

} // namespace

// Files as the wavpack encoder writes them; `wvunpack -s` gives the reference.
TEST(WavPackFile, ReadsWhatTheEncoderWrites)
{
    if (!haveTool("ffmpeg") || !haveTool("wavpack") || !haveTool("wvunpack")) GTEST_SKIP() << "wavpack is not installed";
    struct Case {
        const char* name;
        const char* source; // lavfi source and output options of ffmpeg
        const char* encode; // the wavpack command; the source file and the output follow
        const char* mode;
    } cases[] = {
        {"stereo.wv", "sine=sample_rate=44100:duration=3.5 -ac 2", "wavpack -q -y", "Stereo"},
        // 176400 Hz is no entry of the rate table: the rate stands in a metadata sub-block.
        {"custom.wv", "sine=sample_rate=176400:duration=3.5 -ac 1", "wavpack -q -y", "Mono"},
        {"six.wv", "sine=sample_rate=48000:duration=3.5 -ac 6", "wavpack -q -y", "Surround"},
        {"tagged.wv", "sine=sample_rate=44100:duration=3.5 -ac 2", "wavpack -q -y -w Artist=A -w Title=T", "Stereo"},
        // Raw samples from a pipe to a pipe: the first block never learns the total.
        {"piped.wv", "sine=sample_rate=44100:duration=3.5 -ac 2", "cat | wavpack -q -y --raw-pcm - -o - >", "Stereo"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool raw = std::string(c.encode).find("raw") != std::string::npos;
        const std::string src = makeWithFfmpeg(dir, std::string(c.name) + ".src", c.source, raw ? "-f s16le" : "-f wav");
        ASSERT_FALSE(src.empty());
        const std::string path = dir.file(c.name);
        const std::string command = raw ? std::string(c.encode) + " " + shellQuote(path) + " < " + shellQuote(src)
                                        : std::string(c.encode) + " " + shellQuote(src) + " -o " + shellQuote(path);
        ASSERT_TRUE(runQuiet("{ " + command + "; }"));
        const Reference ref = wvunpackSummary(path);
        TWAVPackFile f;
        ASSERT_TRUE(f.ReadFromFile(path));
        EXPECT_EQ(f.Version(), 4);
        EXPECT_EQ(f.SampleRate(), ref.rate);
        EXPECT_EQ(f.Channels(), ref.channels);
        EXPECT_NEAR(f.Duration(), ref.seconds, 0.01);
        EXPECT_EQ(GetAudioDuration(path), 4);
        const int64_t size = int64_t(std::filesystem::file_size(path));
        EXPECT_DOUBLE_EQ(f.BitRate(), double(size - f.TagSize()) * 8.0 / f.Duration() / 1000.0);
        TFileInfoValues v = ReadFileInfo(path);
        EXPECT_EQ(v.SampleRate, RateKHz(ref.rate));
        EXPECT_EQ(v.Channels, c.mode);
        EXPECT_EQ(v.Duration, "00:00:04");
    }
}

// What no encoder of today writes: a version 3 file and a total beyond 32 bits.
TEST(WavPackFile, OlderAndLargerLayouts)
{
    // Version 3: RIFF, "fmt ", an unknown chunk, then "data" opening with the 36-byte header
    // ("wvpk", block size, version, bits, flags with bit 0 = mono, shift, total samples, 16 more).
    Bytes v3 = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    putLE(v3, 16, 4);
    for (auto [v, n] : {std::pair{1u, 2}, {1u, 2}, {22050u, 4}, {44100u, 4}, {2u, 2}, {16u, 2}}) putLE(v3, v, n);
    for (char c : std::string("JUNK")) v3.push_back(uint8_t(c));
    putLE(v3, 3, 4);
    v3.insert(v3.end(), {1, 2, 3, 0}); // odd size, padded
    for (char c : std::string("data")) v3.push_back(uint8_t(c));
    putLE(v3, 36 + 1000, 4);
    for (char c : std::string("wvpk")) v3.push_back(uint8_t(c));
    for (auto [v, n] : {std::pair{1000u, 4}, {3u, 2}, {16u, 2}, {1u, 2}, {0u, 2}, {22050u * 5, 4}}) putLE(v3, v, n);
    v3.resize(v3.size() + 16 + 1000, 0);

    // Version 4 with the top byte of a 40-bit total set: 2^32 - 1 more samples per step.
    Bytes v4 = {'w', 'v', 'p', 'k'};
    putLE(v4, 24, 4);
    putLE(v4, 0x410, 2);
    v4.push_back(0);
    v4.push_back(1);                // top 8 bits of the total
    putLE(v4, 1000, 4);             // low 32 bits
    putLE(v4, 0, 4);                // block index
    putLE(v4, 0, 4);                // samples in the block
    putLE(v4, (10u << 23) | (3u << 11) | 1u, 4); // 48000 Hz, initial and final block, stereo
    putLE(v4, 0, 4);
    Bytes unknown = v4;
    for (int i = 0; i < 4; ++i) unknown[12 + i] = 0xFF; // total unknown, no block with samples follows

    struct Case {
        const char* what;
        Bytes file;
        int version, channels, rate;
        int64_t samples;
    } cases[] = {
        {"version 3 past an unknown chunk", v3, 3, 1, 22050, 22050 * 5},
        {"a 40-bit total", v4, 4, 2, 48000, 1000 + 0xFFFFFFFFll},
        {"an unknown total without blocks", unknown, 4, 2, 48000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TWAVPackFile f;
        EXPECT_TRUE(f.ReadFromSource(in));
        EXPECT_EQ(f.Version(), c.version);
        EXPECT_EQ(f.Channels(), c.channels);
        EXPECT_EQ(f.SampleRate(), c.rate);
        EXPECT_EQ(f.Samples(), c.samples);
        EXPECT_DOUBLE_EQ(f.Duration(), double(c.samples) / c.rate);
    }
    const Bytes junk = {'w', 'v', 'p', 'x', 0, 0, 0, 0};
    TMemorySource in(junk);
    TWAVPackFile f;
    EXPECT_FALSE(f.ReadFromSource(in));
    EXPECT_EQ(f.Duration(), 0.0);
}
