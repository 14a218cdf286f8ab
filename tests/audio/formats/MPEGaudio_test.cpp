// The MPEG reader behind the information window: the block search, VBR headers, derived values and
// the tags it reads.
#include "audio/FileInfo.h"
#include "audio/formats/AudioInfo.h"
#include "audio/formats/MPEGaudio.h"
#include "audio/FaultyIO.h"
#include "audio/MpegFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace cantorix;
using namespace cantorix::test;

namespace {

const Bytes kHdr = mpegHeader(Mpeg::V1, 3, 9, 0, false, 1); // 128 kbit/s, 44.1 kHz, joint stereo

struct Read {
    bool ok;
    TMPEGaudio mpeg;
};

Read readMpeg(const Bytes& file)
{
    TempDir dir;
    writeFile(dir.file("a.mp3"), file);
    Read r;
    r.ok = r.mpeg.ReadFromFile(dir.file("a.mp3"));
    return r;
}

} // namespace

TEST(MPEGaudio, ConstantBitRateFile)
{
    Bytes f = frameRun(kHdr, 417, 4000000 / 417 + 1);
    f.resize(4000000);
    append(f, id3v1Tag("Title", "Artist", "", "", "", 0, 12));
    ASSERT_EQ(f.size(), 4000128u);
    Read r = readMpeg(f);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.mpeg.Valid());
    EXPECT_FALSE(r.mpeg.IsVBR());
    EXPECT_DOUBLE_EQ(r.mpeg.Duration(), 250.0);
    EXPECT_EQ(r.mpeg.BitRate(), 128);
    EXPECT_EQ(r.mpeg.SampleRate(), 44100);
    EXPECT_EQ(r.mpeg.ChannelMode(), "Joint Stereo");
    EXPECT_EQ(r.mpeg.frame().Size, 417);
    EXPECT_EQ(r.mpeg.AudioEnd(), 4000000);
    EXPECT_EQ(r.mpeg.V1Tag().Title(), "Title");
    EXPECT_EQ(r.mpeg.FileSize(), 4000128);
}

TEST(MPEGaudio, VbrHeaders)
{
    struct Case {
        const char* what;
        Bytes header;
        size_t length, at;
        const char* magic;
        bool vbr;
        double duration;
        int bitRate;
    } cases[] = {
        {"Xing", kHdr, 417, 36, "Xing", true, 144.0 * 10000 * 8 / 44100, 128},
        {"VBRI at the Xing offset", kHdr, 417, 36, "VBRI", true, 144.0 * 10000 * 8 / 44100, 128},
        // In a single-channel MPEG-1 frame the VBR header is looked for at 21, so one at 36 is missed.
        {"VBRI at 36 in mono", mpegHeader(Mpeg::V1, 3, 9, 0, false, 3), 417, 36, "VBRI", false, 0, 128},
        {"Info", kHdr, 417, 36, "Info", false, 0, 128},
    };
    for (const Case& c : cases) {
        Bytes f = frameRun(c.header, c.length, 6);
        const char* m = c.magic;
        for (int k = 0; k < 4; ++k) f[c.at + size_t(k)] = uint8_t(m[k]);
        if (std::string(m) == "VBRI") {
            putBE(f, c.at + 10, 4180000);
            putBE(f, c.at + 14, 10000);
        } else {
            putBE(f, c.at + 8, 10000);
            putBE(f, c.at + 12, 4180000);
        }
        Read r = readMpeg(f);
        EXPECT_EQ(r.mpeg.IsVBR(), c.vbr) << c.what;
        if (c.vbr) EXPECT_NEAR(r.mpeg.Duration(), c.duration, 1e-9) << c.what;
        else EXPECT_NEAR(r.mpeg.Duration(), 6 * 417 * 8 / 128000.0, 1e-9) << c.what;
        EXPECT_EQ(r.mpeg.BitRate(), c.bitRate) << c.what;
    }
}

TEST(MPEGaudio, BlockSearch)
{
    // After a 2048-byte ID3v2 tag.
    Bytes tagged = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Song"))}, 2048 - 25);
    append(tagged, frameRun(kHdr, 417, 10));
    Read a = readMpeg(tagged);
    EXPECT_EQ(a.mpeg.AudioStart(), 2048);
    EXPECT_EQ(a.mpeg.V2Tag().Title(), "Song");

    // A frame at 1800 of the first block is past the positions tried; the pair found instead starts in
    // the second block.
    Bytes late(1800, 0);
    append(late, frameRun(kHdr, 417, 12));
    Read b = readMpeg(late);
    ASSERT_TRUE(b.mpeg.Valid());
    EXPECT_EQ(b.mpeg.AudioStart(), 1800 + 417 * 4);

    // A header whose follower is missing is passed over.
    Bytes lone(100, 0);
    std::copy(kHdr.begin(), kHdr.end(), lone.begin() + 10);
    append(lone, frameRun(kHdr, 417, 10));
    EXPECT_EQ(readMpeg(lone).mpeg.AudioStart(), 100);

    // Free format, emphasis 2 and short files are not MPEG audio here.
    EXPECT_FALSE(readMpeg(frameRun(mpegHeader(Mpeg::V1, 3, 0, 0), 417, 10)).mpeg.Valid());
    EXPECT_FALSE(readMpeg(frameRun(mpegHeader(Mpeg::V1, 3, 9, 0, false, 0, 2), 417, 10)).mpeg.Valid());
    EXPECT_FALSE(readMpeg(frameRun(kHdr, 417, 4)).mpeg.Valid()); // 1668 bytes: no position to try
}

TEST(MPEGaudio, WithoutAFrameTheTagsAreDropped)
{
    Bytes f = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Song"))});
    append(f, Bytes(5000, 0x20));
    append(f, id3v1Tag("T", "", "", "", "", 0, 0));
    Read r = readMpeg(f);
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.mpeg.Valid());
    EXPECT_FALSE(r.mpeg.V2Tag().Present());
    EXPECT_FALSE(r.mpeg.V1Tag().Present());
    EXPECT_EQ(r.mpeg.Duration(), 0.0);
    EXPECT_EQ(r.mpeg.ChannelMode(), "Unknown");
    EXPECT_EQ(r.mpeg.SampleRate(), 0);

    EXPECT_TRUE(readMpeg(Bytes{1, 2, 3}).ok);
    TMPEGaudio m;
    EXPECT_FALSE(m.ReadFromFile("/nonexistent.mp3"));
}

// Every reader of an MPEG file parses from a source: bytes in memory read like the file, and a read
// the system refuses ends the reader with false and leaves the reason in the source.
TEST(MPEGaudio, ReadersStopAtARefusedRead)
{
    Bytes f = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Song"))});
    const int64_t audioAt = int64_t(f.size());
    append(f, frameRun(kHdr, 417, 40));
    append(f, id3v1Tag("T", "A", "", "", "", 0, 0));
    const int64_t end = int64_t(f.size());

    using Reader = bool (*)(TInSource&);
    struct Case {
        const char* what;
        Reader read;
        int64_t failFrom, failTo;
    } cases[] = {
        {"ID3v2 header", [](TInSource& in) { TID3v2 t; return t.ReadFromSource(in); }, 0, 1},
        {"ID3v1 tail", [](TInSource& in) { TID3v1 t; return t.ReadFromSource(in); }, end - 1, end},
        {"APE footer", [](TInSource& in) { TAPETag t; return t.ReadFromSource(in); }, end - 150, end - 149},
        {"frame search", [](TInSource& in) { TMPEGaudio m; return m.ReadFromSource(in); }, audioAt + 100, audioAt + 101},
        {"scan time", [](TInSource& in) {
             TAudioInfo a;
             bool ok = a.ReadFromStream(in, in.size());
             return ok || a.DurationMs() != -1;
         }, audioAt + 10, audioAt + 11},
    };
    for (const Case& c : cases) {
        TMemorySource whole(f);
        EXPECT_TRUE(c.read(whole)) << c.what;
        TFailingSource failing(f, c.failFrom, c.failTo);
        EXPECT_FALSE(c.read(failing)) << c.what;
        EXPECT_EQ(failing.error().error, "Input/output error") << c.what;
    }
    TMemorySource whole(f);
    TMPEGaudio m;
    ASSERT_TRUE(m.ReadFromSource(whole));
    EXPECT_TRUE(m.Valid());
    EXPECT_EQ(m.AudioStart(), audioAt);
    EXPECT_EQ(m.V2Tag().Title(), "Song");
    EXPECT_EQ(m.V1Tag().Artist(), "A");
}

TEST(MPEGaudio, InformationValues)
{
    TempDir dir;
    // ID3v2 present: its values win, even empty ones.
    Bytes f = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Caf\xE9")), id3Frame(3, "TRCK", latin1Body("3/9")),
                         id3Frame(3, "TCON", latin1Body("(17)"))});
    append(f, frameRun(mpegHeader(Mpeg::V2, 3, 8, 0, false, 3), 208, 2000));
    append(f, id3v1Tag("V1 title", "V1 artist", "", "", "", 4, 8));
    writeFile(dir.file("a.mp3"), f);
    TFileInfoValues v = ReadFileInfo(dir.file("a.mp3"));
    EXPECT_EQ(v.Title, "Café");
    EXPECT_EQ(v.Artist, "");
    EXPECT_EQ(v.Track, "3/9");
    EXPECT_EQ(v.Genre, "Rock");
    EXPECT_EQ(v.SampleRate, "22.05");
    EXPECT_EQ(v.Bitrate, "64");
    EXPECT_EQ(v.Channels, "Mono");
    EXPECT_EQ(v.Duration, "00:00:52"); // 416000 bytes at 64 kbit/s
    EXPECT_EQ(v.Other, "");

    // Without ID3v2 the ID3v1 values are shown; a Xing header prefixes the bit rate with VBR.
    Bytes g = xingFrame(kHdr, 417, 36, 3, 10000, 4180000);
    append(g, frameRun(kHdr, 417, 5));
    append(g, id3v1Tag("V1 title", "V1 artist", "", "2002", "", 4, 8));
    writeFile(dir.file("b.MPA"), g);
    v = ReadFileInfo(dir.file("b.MPA"));
    EXPECT_EQ(v.Title, "V1 title");
    EXPECT_EQ(v.Artist, "V1 artist");
    EXPECT_EQ(v.Year, "2002");
    EXPECT_EQ(v.Track, "4");
    EXPECT_EQ(v.Genre, "Jazz");
    EXPECT_EQ(v.Bitrate, "VBR128");
    EXPECT_EQ(v.SampleRate, "44.1");
    EXPECT_EQ(v.Duration, "00:04:21");
    EXPECT_EQ(v.Channels, "Joint Stereo");
}

// The later tag-writing step in small: read a real file's tags, set six values, save both tags, and
// find the values, the audio and every other frame as they should be.
TEST(MPEGaudio, LameFileTagRoundTrip)
{
    if (!haveLame()) GTEST_SKIP() << "lame is not installed";
    TempDir dir;
    Bytes cover{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0};
    cover.resize(700, 0xFF); // unsynchronisation would touch these
    append(cover, Bytes{0xFF, 0xD9});
    writeFile(dir.file("cover.jpg"), cover);
    std::string path = dir.file("song.mp3");
    ASSERT_TRUE(makeLameMp3(dir, path,
                            "-b 128 --add-id3v2 --tt Old --ta Old --tl Old --ty 1990 --tn 1 --tg Rock "
                            "--tc 'A comment' --ti '" + dir.file("cover.jpg") + "'"));
    TMPEGaudio before;
    ASSERT_TRUE(before.ReadFromFile(path));
    ASSERT_TRUE(before.Valid());
    ASSERT_TRUE(before.V2Tag().Present());
    ASSERT_TRUE(before.V1Tag().Present());
    const Bytes original = readFile(path);
    const Bytes audio(original.begin() + before.AudioStart(), original.begin() + before.AudioEnd());
    const std::vector<TID3v2Frame> oldFrames = before.V2Tag().Frames();
    ASSERT_TRUE(std::any_of(oldFrames.begin(), oldFrames.end(), [](const TID3v2Frame& f) { return f.id == "APIC"; }));

    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadFromFile(path));
    TID3v1& v1 = mpeg.V1Tag();
    TID3v2& v2 = mpeg.V2Tag();
    v1.SetTitle("Ein schöner Titel, länger als dreißig Zeichen");
    v1.SetArtist("Künstler");
    v1.SetAlbum("Album");
    v1.SetYear("2024");
    v1.SetTrackText("07");
    v1.SetGenre("Jazz");
    v2.SetTitle("Ein schöner Titel, länger als dreißig Zeichen");
    v2.SetArtist("Künstler ♫");
    v2.SetAlbum("Album");
    v2.SetYear("2024");
    v2.SetTrackText("07");
    v2.SetGenre("Jazz");
    ASSERT_TRUE(v1.SaveToFile(path));
    ASSERT_TRUE(v2.SaveToFile(path));

    TMPEGaudio after;
    ASSERT_TRUE(after.ReadFromFile(path));
    ASSERT_TRUE(after.Valid());
    EXPECT_EQ(after.V2Tag().Title(), "Ein schöner Titel, länger als dreißig Zeichen");
    EXPECT_EQ(after.V2Tag().Artist(), "Künstler ♫");
    EXPECT_EQ(after.V2Tag().TrackText(), "07");
    EXPECT_EQ(after.V2Tag().Genre(), "Jazz");
    EXPECT_EQ(after.V2Tag().Comment(), "A comment");
    EXPECT_EQ(after.V1Tag().Title(), "Ein schöner Titel, länger als");
    EXPECT_EQ(after.V1Tag().Artist(), "Künstler");
    EXPECT_EQ(after.V1Tag().Track(), 7);
    EXPECT_EQ(after.V1Tag().Comment(), "A comment");
    EXPECT_EQ(after.V1Tag().GenreCode(), 8);

    Bytes now = readFile(path);
    EXPECT_EQ(Bytes(now.begin() + after.AudioStart(), now.begin() + after.AudioEnd()), audio);
    for (const TID3v2Frame& old : oldFrames) {
        if (old.id == "TIT2" || old.id == "TPE1" || old.id == "TALB" || old.id == "TYER" || old.id == "TRCK" ||
            old.id == "TCON")
            continue;
        bool kept = false;
        for (const TID3v2Frame& f : after.V2Tag().Frames()) kept = kept || (f.id == old.id && f.data == old.data);
        EXPECT_TRUE(kept) << old.id;
    }
    EXPECT_EQ(listFiles(dir.str()), (std::vector<std::string>{"cover.jpg", "noise.wav", "song.mp3"}));
}
