// MP4 audio's playing time from its own boxes, written by hand from the format's description (32-
// and 64-bit boxes and fields, moov before or after mdat, edit lists), and on files ffmpeg makes,
// against the media-information library that used to give it.
#include "audio/formats/MP4file.h"

#include "audio/AudioUtil.h"
#include "audio/MediaInfoLib.h"
#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes box(const std::string& type, const Bytes& body, bool wide = false)
{
    Bytes b;
    if (wide) {
        putBE(b, 1, 4);
        putText(b, type);
        putBE(b, 0, 4);
        putBE(b, uint32_t(body.size() + 16), 4);
    } else {
        putBE(b, uint32_t(body.size() + 8), 4);
        putText(b, type);
    }
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A full box's version and flags, then its fields: 32-bit ones, or 64-bit ones for version 1 where
// the format widens them (`wide` marks which).
Bytes fields(int version, std::initializer_list<std::pair<uint64_t, bool>> values)
{
    Bytes b = {uint8_t(version), 0, 0, 0};
    for (auto [v, wide] : values) {
        if (version == 1 && wide) putBE(b, uint32_t(v >> 32), 4);
        putBE(b, uint32_t(v), 4);
    }
    return b;
}

struct Movie {
    int version = 0;        // of mvhd, tkhd, mdhd and elst
    uint32_t movieScale = 1000;
    uint64_t trackDuration = 0; // tkhd, movie scale
    uint32_t mediaScale = 44100;
    uint64_t mediaDuration = 0;
    uint32_t sampleRate = 44100;
    std::vector<std::pair<uint64_t, int64_t>> edits; // duration (movie scale), media time
    const char* handler = "soun";
};

Bytes trak(const Movie& m)
{
    Bytes tkhd = box("tkhd", fields(m.version, {{0, true}, {0, true}, {1, false}, {0, false}, {m.trackDuration, true}}));
    Bytes edts;
    if (!m.edits.empty()) {
        Bytes list = fields(m.version, {{m.edits.size(), false}});
        for (auto [d, t] : m.edits) {
            if (m.version == 1) putBE(list, uint32_t(d >> 32), 4);
            putBE(list, uint32_t(d), 4);
            if (m.version == 1) putBE(list, uint32_t(uint64_t(t) >> 32), 4);
            putBE(list, uint32_t(t), 4);
            putBE(list, 0x00010000, 4);
        }
        edts = box("edts", box("elst", list));
    }
    Bytes mdhd = box("mdhd", cat({fields(m.version, {{0, true}, {0, true}, {m.mediaScale, false}, {m.mediaDuration, true}}),
                                  Bytes(4, 0)}));
    Bytes hdlr = box("hdlr", cat({Bytes(8, 0), text(m.handler), Bytes(12, 0), Bytes{0}}));
    // The sample entry: reserved, reference, version, revision, vendor, channels, sample size,
    // compression, packet size (all zero here), then the rate in 16.16.
    Bytes rate;
    putBE(rate, m.sampleRate << 16, 4);
    Bytes stsd = box("stsd", cat({Bytes{0, 0, 0, 0, 0, 0, 0, 1}, box("mp4a", cat({Bytes(24, 0), rate}))}));
    Bytes mdia = box("mdia", cat({mdhd, hdlr, box("minf", box("stbl", stsd))}));
    return box("trak", cat({tkhd, edts, mdia}));
}

Bytes moov(const Movie& m, std::initializer_list<Bytes> tracks)
{
    Bytes mvhd = box("mvhd", cat({fields(m.version, {{0, true}, {0, true}, {m.movieScale, false}, {0, true}}), Bytes(80, 0)}));
    Bytes body = mvhd;
    for (const Bytes& t : tracks) body.insert(body.end(), t.begin(), t.end());
    return box("moov", body);
}

const Bytes kFtyp = box("ftyp", Bytes{'M', '4', 'A', ' ', 0, 0, 0, 0, 'M', '4', 'A', ' ', 'i', 's', 'o', 'm'});

} // namespace

TEST(MP4file, MovieBoxes)
{
    Movie aac; // ffmpeg's AAC: 1024 samples of encoder delay skipped by the edit
    aac.trackDuration = 7300;
    aac.mediaDuration = 321930 + 1024;
    aac.edits = {{7300, 1024}};
    Movie wide = aac;
    wide.version = 1;
    wide.movieScale = 44100;
    wide.trackDuration = 321930;
    wide.edits = {{321930, 1024}};
    Movie padded = aac; // iTunes style: the media holds whole frames, the edit ends before the padding
    padded.movieScale = 44100;
    padded.trackDuration = 321930;
    padded.mediaDuration = 315 * 1024 + 2112;
    padded.edits = {{321930, 2112}};
    Movie noEdits = aac;
    noEdits.edits.clear();
    Movie twoEdits = aac;
    twoEdits.edits = {{100, -1}, {7200, 1024}};
    Movie otherScale = aac;
    otherScale.mediaScale = 600;
    otherScale.mediaDuration = 4380;
    Movie video = aac;
    video.handler = "vide";
    Movie roundsUp = aac; // 165.53 ms: the library rounds to the millisecond
    roundsUp.movieScale = 44100;
    roundsUp.trackDuration = 7300;
    Movie unknown = aac;
    unknown.trackDuration = 0xFFFFFFFF;
    const Bytes mdat = box("mdat", Bytes(3000, 0xAA));

    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        int64_t milliseconds;
        int64_t samples;
    };
    std::vector<Case> cases = {
        {"moov after mdat", cat({kFtyp, mdat, moov(aac, {trak(aac)})}), true, 7300, 321930},
        {"moov first, version 1 fields, a 64-bit mdat", cat({kFtyp, moov(wide, {trak(wide)}), box("mdat", Bytes(500, 1), true)}),
         true, 7300, 321930},
        {"the edit ends before the media's padding", cat({kFtyp, moov(padded, {trak(padded)}), mdat}), true, 7300, 321930},
        {"no edit list", cat({kFtyp, moov(noEdits, {trak(noEdits)}), mdat}), true, 7300, 322954},
        {"two edits: no exact count", cat({kFtyp, moov(twoEdits, {trak(twoEdits)}), mdat}), true, 7300, 0},
        {"media scale is not the sample rate", cat({kFtyp, moov(otherScale, {trak(otherScale)}), mdat}), true, 7300, 0},
        {"a video track before the audio track", cat({kFtyp, moov(aac, {trak(video), trak(aac)}), mdat}), true, 7300, 321930},
        {"rounded to the millisecond", cat({kFtyp, moov(roundsUp, {trak(roundsUp)})}), true, 166, 7300},
        {"mdat to the end of the file", cat({kFtyp, moov(aac, {trak(aac)}), Bytes{0, 0, 0, 0, 'm', 'd', 'a', 't', 1, 2}}),
         true, 7300, 321930},
        {"no audio track", cat({kFtyp, moov(video, {trak(video)}), mdat}), false, 0, 0},
        {"no moov", cat({kFtyp, mdat}), false, 0, 0},
        {"an unknown duration", cat({kFtyp, moov(unknown, {trak(unknown)})}), false, 0, 0},
        {"moov cut short", slice(cat({kFtyp, moov(aac, {trak(aac)})}), 0, 200), false, 0, 0},
        {"a box larger than the file before moov", cat({kFtyp, box("free", Bytes(10, 0)), moov(aac, {trak(aac)})}), true,
         7300, 321930},
    };
    // A track header too short for its duration: the bytes after it are the next box's, not a time.
    const Bytes fullTrak = trak(noEdits);
    const Bytes shortTkhd = box("trak", cat({box("tkhd", fields(0, {{0, true}, {0, true}, {1, false}, {0, false}})),
                                             slice(fullTrak, 8 + 8 + 24)}));
    cases.push_back({"a track header cut before its duration", cat({kFtyp, moov(noEdits, {shortTkhd}), mdat}), false, 0, 0});
    // A box whose size claims more than the file has ends the walk: the moov after it is not found.
    Bytes lying = cat({kFtyp, box("free", Bytes(10, 0)), moov(aac, {trak(aac)})});
    lying[kFtyp.size() + 3] = 0xFF;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TMP4file f;
        EXPECT_EQ(f.ReadFromSource(in), c.valid);
        EXPECT_EQ(f.Milliseconds(), c.milliseconds);
        EXPECT_EQ(f.Samples(), c.samples);
        EXPECT_EQ(f.SampleRate(), c.samples ? 44100u : 0u);
    }
    TMemorySource in(lying);
    TMP4file f;
    EXPECT_FALSE(f.ReadFromSource(in));
}

// Files that ffmpeg makes (AAC with the index behind or before the audio, Apple Lossless, an audio
// book): the whole seconds and milliseconds are the media-information library's, the samples exact.
TEST(MP4file, FilesFfmpegMakesAgreeWithTheLibrary)
{
    if (!haveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    struct Made {
        const char* name;
        const char* args;
    } made[] = {{"aac.m4a", "-c:a aac"}, {"fast.m4a", "-c:a aac -movflags +faststart"}, {"alac.m4a", "-c:a alac"},
                {"book.m4b", "-c:a aac -f ipod"}};
    for (const char* tone : {"sine=sample_rate=44100:duration=3.5", "sine=sample_rate=48000:duration=59.99"}) {
        for (const Made& m : made) {
            SCOPED_TRACE(std::string(m.name) + " " + tone);
            const std::string path = makeToneWithFfmpeg(dir, m.name, m.args, tone);
            ASSERT_FALSE(path.empty());
            const TDurationResult d = ReadAudioDuration(path);
            ASSERT_TRUE(d.Known);
            const double seconds = std::string(tone).find("3.5") != std::string::npos ? 3.5 : 59.99;
            EXPECT_EQ(d.Seconds, int(seconds)); // cut, as the library's were
            EXPECT_EQ(d.SampleRate, std::string(tone).find("44100") != std::string::npos ? 44100u : 48000u);
            EXPECT_EQ(d.Samples, std::llround(seconds * d.SampleRate));
            if (TMediaInfoLib::shared().available()) {
                const TMediaInfoSeconds library = TMediaInfoLib::shared().seconds(path);
                ASSERT_TRUE(library.ok);
                EXPECT_EQ(d.Seconds, library.seconds);
                EXPECT_EQ(d.Milliseconds, library.milliseconds);
            }
        }
    }
}
