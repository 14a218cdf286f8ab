// The readers of TTA, AAC (ADTS), AC-3, E-AC-3, DTS and Musepack SV8 on streams made by the formats'
// own encoders, against the frame counts and sample counts of the formats' own tools.
#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/formats/AACfile.h"
#include "audio/formats/AC3.h"
#include "audio/formats/DTS.h"
#include "audio/formats/MPEGplus.h"
#include "audio/formats/StreamMaker.h"
#include "audio/formats/TTA.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// Reads a file with a reader and gives its Duration.
template <typename Reader>
double readerDuration(const std::string& path)
{
    TFileReader in;
    if (!in.open(path)) return -1;
    Reader r;
    r.ReadFromSource(in);
    return r.Duration();
}

// An ID3v1 tag with the title "T".
Bytes id3v1Tag()
{
    Bytes tag(128, 0);
    tag[0] = 'T', tag[1] = 'A', tag[2] = 'G', tag[3] = 'T';
    tag[127] = 255;
    return tag;
}

struct Stream {
    const char* name;
    const char* args;         // ffmpeg's codec options; empty for Musepack
    int samplesPerPacket;     // 0: ffprobe's duration is the reference (TTA)
    double (*duration)(const std::string&);
    const char* channels;     // the information window's channel text
};

} // namespace

TEST(RealStreams, PlayingTimeAndValuesMatchTheFormatsOwnTools)
{
    if (!haveTool("ffmpeg") || !haveTool("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    const Stream streams[] = {
        {"a.tta", "-c:a tta", 0, readerDuration<TTTA>, "S"},
        {"a.aac", "-c:a aac -f adts", 1024, readerDuration<TAACfile>, "S"},
        {"a.ac3", "-c:a ac3", 1536, readerDuration<TAC3>, "S"},
        {"e.ac3", "-c:a eac3 -f eac3", 1536, readerDuration<TAC3>, "S"},
        {"a.dts", "-c:a dca -strict -2 -f dts", 512, readerDuration<TDTS>, "S"},
        {"a.mpc", "", 0, readerDuration<TMPEGplus>, "Joint Stereo"},
    };
    TempDir dir;
    for (const Stream& s : streams) {
        SCOPED_TRACE(s.name);
        std::string path;
        double reference = 0;
        if (*s.args) {
            path = makeToneWithFfmpeg(dir, s.name, s.args);
            ASSERT_FALSE(path.empty());
            reference = s.samplesPerPacket ? double(probePackets(path)) * s.samplesPerPacket / 44100.0
                                           : std::stod(probeStream(path, "duration"));
        } else {
            if (!haveTool("mpcenc") || !haveTool("mpcdec")) continue;
            const std::string wav = makeToneWithFfmpeg(dir, "a.wav", "");
            path = dir.file(s.name);
            ASSERT_TRUE(runQuiet("mpcenc --silent " + shellQuote(wav) + " " + shellQuote(path)));
            // "154350 samples decoded in ..."
            const std::string said = commandOutput("mpcdec " + shellQuote(path) + " 2>&1 | grep 'samples decoded'");
            ASSERT_FALSE(said.empty());
            reference = std::stod(said) / 44100.0;
        }
        EXPECT_NEAR(s.duration(path), reference, 1e-9);
        EXPECT_EQ(GetAudioDuration(path), RoundHalfEven(reference));
        const TFileInfoValues v = ReadFileInfo(path);
        EXPECT_EQ(v.SampleRate, "44.1");
        EXPECT_EQ(v.Channels, s.channels);
        EXPECT_EQ(v.Duration, FormatLongDuration(reference));

        // The formats that carry ID3 tags: the stream is found after an ID3v2 tag and ends before ID3v1.
        const std::string ext = ExtractExtension(path);
        if (ext == ".TTA" || ext == ".AAC" || ext == ".MPC") {
            Bytes tagged = id3v2Tag(300);
            const Bytes audio = readFile(path);
            tagged.insert(tagged.end(), audio.begin(), audio.end());
            const Bytes v1 = id3v1Tag();
            tagged.insert(tagged.end(), v1.begin(), v1.end());
            const std::string taggedPath = dir.file(std::string("tagged-") + s.name);
            writeFile(taggedPath, tagged);
            EXPECT_NEAR(s.duration(taggedPath), reference, 1e-9);
            // AAC shows its ID3v1 values; the others prefer the ID3v2 tag, here without a title.
            EXPECT_EQ(ReadFileInfo(taggedPath).Title, ext == ".AAC" ? "T" : "");
        }
    }
}

TEST(RealStreams, AacInMp4IsReadAsMp4)
{
    if (!haveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    const std::string mp4 = makeToneWithFfmpeg(dir, "m.m4a", "-c:a aac");
    ASSERT_FALSE(mp4.empty());
    const std::string aac = dir.file("m.aac");
    writeFile(aac, readFile(mp4));
    TFileReader in;
    ASSERT_TRUE(in.open(aac));
    EXPECT_TRUE(IsMP4Container(in));
    EXPECT_EQ(GetAudioDuration(aac), GetMediaInfoDuration(mp4));
    EXPECT_EQ(GetAudioDuration(aac), 3);
}
