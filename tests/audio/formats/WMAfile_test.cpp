#include "audio/formats/WMAfile.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/formats/AudioMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// ASF GUIDs as stored (the published values, first three fields little-endian).
const Bytes kHeader = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const Bytes kFileProps = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const Bytes kStreamProps = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const Bytes kContent = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const Bytes kExtContent = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
const Bytes kAudio = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
const Bytes kVideo = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

void put64(Bytes& b, uint64_t v)
{
    putLE(b, uint32_t(v), 4);
    putLE(b, uint32_t(v >> 32), 4);
}

// An object; `size` (when not -1) replaces the size it should have.
Bytes object(const Bytes& guid, const Bytes& body, int64_t size = -1)
{
    Bytes out = guid;
    put64(out, size >= 0 ? uint64_t(size) : 24 + body.size());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes utf16(const std::string& ascii, bool terminate = true)
{
    Bytes out;
    for (char c : ascii) putLE(out, uint8_t(c), 2);
    if (terminate) putLE(out, 0, 2);
    return out;
}

// File Properties: play duration (100 ns), preroll (ms), flags, maximum bit rate.
Bytes fileProps(uint64_t play, uint64_t preroll, uint32_t flags, uint32_t maxBitRate)
{
    Bytes b(16 + 8 + 8 + 8, 0); // file ID, file size, creation date, packets
    put64(b, play);
    put64(b, play);             // send duration
    put64(b, preroll);
    putLE(b, flags, 4);
    putLE(b, 3200, 4);          // minimum and maximum packet size
    putLE(b, 3200, 4);
    putLE(b, maxBitRate, 4);
    return object(kFileProps, b);
}

// Stream Properties of a stream of `type` whose type-specific data is a WAVEFORMATEX.
Bytes streamProps(const Bytes& type, uint16_t tag, uint16_t channels, uint32_t rate, uint32_t bytesPerSecond)
{
    Bytes b = type;
    b.resize(b.size() + 16 + 8, 0); // error correction type, time offset
    putLE(b, 18, 4);                // type-specific length
    putLE(b, 0, 4);                 // error correction length
    putLE(b, 1, 2);                 // flags: stream 1
    putLE(b, 0, 4);
    putLE(b, tag, 2);
    putLE(b, channels, 2);
    putLE(b, rate, 4);
    putLE(b, bytesPerSecond, 4);
    putLE(b, 4, 2);  // block align
    putLE(b, 16, 2); // bits
    putLE(b, 0, 2);  // extra size
    return object(kStreamProps, b);
}

Bytes content(const std::string& title, const std::string& author, const std::string& description)
{
    Bytes t = utf16(title), a = utf16(author), c = utf16("(c)"), d = utf16(description);
    Bytes b;
    for (const Bytes* x : {&t, &a, &c, &d}) putLE(b, uint32_t(x->size()), 2);
    putLE(b, 0, 2); // rating
    for (const Bytes* x : {&t, &a, &c, &d}) b.insert(b.end(), x->begin(), x->end());
    return object(kContent, b);
}

struct Descriptor {
    std::string name;
    uint16_t type;
    Bytes value;
};

Bytes extContent(const std::vector<Descriptor>& ds)
{
    Bytes b;
    putLE(b, uint32_t(ds.size()), 2);
    for (const Descriptor& d : ds) {
        Bytes n = utf16(d.name);
        putLE(b, uint32_t(n.size()), 2);
        b.insert(b.end(), n.begin(), n.end());
        putLE(b, d.type, 2);
        putLE(b, uint32_t(d.value.size()), 2);
        b.insert(b.end(), d.value.begin(), d.value.end());
    }
    return object(kExtContent, b);
}

Bytes asf(const std::vector<Bytes>& objects, size_t audioBytes = 1000)
{
    Bytes body;
    putLE(body, uint32_t(objects.size()), 4);
    putLE(body, 0x0201, 2);
    for (const Bytes& o : objects) body.insert(body.end(), o.begin(), o.end());
    Bytes out = object(kHeader, body);
    out.resize(out.size() + audioBytes, 0); // stands for the data object
    return out;
}

Bytes dword(uint32_t v)
{
    Bytes b;
    putLE(b, v, 4);
    return b;
}

} // namespace

// Files as ffmpeg's WMA encoder writes them; ffprobe gives the reference time.
TEST(WMAfile, ReadsFfmpegFilesAtEveryBitRate)
{
    if (!haveTool("ffmpeg") || !haveTool("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    struct Case {
        const char* name;
        const char* output;
        int channels, rate, kbits;
        const char* title;
        int track;
    } cases[] = {
        {"128k.wma", "-ac 2 -c:a wmav2 -b:a 128k -metadata title=T\xc3\xaft -metadata artist=A -metadata album=B "
                     "-metadata genre=Rock -metadata WM/Year=2001 -metadata track=7",
         2, 44100, 128, "T\xc3\xaft", 7},
        {"320k.wma", "-ac 2 -c:a wmav2 -b:a 320k", 2, 44100, 320, "", 0},
        {"mono.wma", "-ac 1 -ar 22050 -c:a wmav1 -b:a 32k", 1, 22050, 32, "", 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = makeWithFfmpeg(dir, c.name, "sine=sample_rate=44100:duration=3.5", c.output);
        ASSERT_FALSE(path.empty());
        TWMAfile f;
        ASSERT_TRUE(f.ReadFromFile(path));
        EXPECT_TRUE(f.Valid());
        EXPECT_EQ(f.Channels(), c.channels);
        EXPECT_EQ(f.SampleRate(), c.rate);
        EXPECT_NEAR(f.BitRate(), c.kbits, 1);
        EXPECT_NEAR(f.Duration(), ffprobeDuration(path), 0.05);
        EXPECT_EQ(f.Title(), c.title);
        EXPECT_EQ(f.Track(), c.track);
        EXPECT_EQ(GetAudioDuration(path), 4);
        TFileInfoValues v = ReadFileInfo(path);
        EXPECT_EQ(v.Duration, "00:00:04");
        EXPECT_EQ(v.Channels, c.channels == 1 ? "Mono" : "Stereo");
        EXPECT_EQ(v.Track, std::to_string(c.track));
        if (c.track) {
            EXPECT_EQ(v.Artist, "A");
            EXPECT_EQ(v.Album, "B");
            EXPECT_EQ(v.Genre, "Rock");
            EXPECT_EQ(v.Year, "2001");
        }
    }
}

// Hand-written headers: WMA Lossless and Pro, the duration rules, the tag slots and hostile sizes.
TEST(WMAfile, HeadersWrittenByHand)
{
    const Bytes lossless = streamProps(kAudio, 0x0163, 2, 44100, 110250);
    const Bytes props = fileProps(35290000, 3000, 2, 1000000); // 3.529 s, 3 s preroll
    const std::string longTitle(300, 'x');
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        double seconds;
        int channels = 0;
        std::string title = {}, album = {};
        int track = 0;
    } cases[] = {
        {"lossless: play duration less preroll", asf({props, lossless}), true, 0.529, 2},
        {"Pro with six channels at 96 kHz",
         asf({props, streamProps(kAudio, 0x0162, 6, 96000, 48000)}), true, 0.529, 6},
        {"broadcast: the size at the maximum bit rate",
         asf({fileProps(35290000, 3000, 1, 8000), lossless}, 1000), true, 0.0, 2},
        {"no durations: the estimate", asf({fileProps(0, 0, 2, 8000), lossless}), true, 0.0, 2},
        {"a video stream first is passed over",
         asf({props, streamProps(kVideo, 0, 3, 10, 1), lossless}), true, 0.529, 2},
        {"no audio stream", asf({props, streamProps(kVideo, 0x0161, 2, 44100, 16000)}), false, 0.0},
        {"a rate out of range", asf({props, streamProps(kAudio, 0x0161, 2, 900000, 16000)}), false, 0.0},
        {"a size of 0 ends the walk", asf({object(kContent, {}, 0), props, lossless}), false, 0.0},
        {"a size below 24 ends the walk", asf({object(kContent, {}, 23), props, lossless}), false, 0.0},
        {"a size past the header ends the walk", asf({props, object(kContent, {}, 1 << 30), lossless}), false, 0.0},
        {"tags: later objects win, names without case, numbers skipped, 250 units",
         asf({props, lossless, content(longTitle, "Auth", "D"),
              extContent({{"WM/Year", 3, dword(1999)},
                          {"wm/albumtitle", 0, utf16(" Album ")},
                          {"WM/Track", 0, utf16("4")},
                          {"WM/TrackNumber", 3, dword(5)}})}),
         true, 0.529, 2, std::string(250, 'x'), "Album", 5},
        {"a track of 5/12 is no number", asf({props, lossless, extContent({{"WM/Track", 0, utf16("5/12")}})}), true,
         0.529, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TWMAfile f;
        EXPECT_TRUE(f.ReadFromSource(in));
        EXPECT_EQ(f.Valid(), c.valid);
        double seconds = c.seconds;
        if (c.valid && seconds == 0.0) seconds = double(c.file.size()) * 8.0 / 8000.0;
        EXPECT_NEAR(f.Duration(), seconds, 1e-9);
        EXPECT_EQ(f.Channels(), c.channels);
        EXPECT_EQ(f.Title(), c.title);
        EXPECT_EQ(f.Album(), c.album);
        EXPECT_EQ(f.Track(), c.track);
    }
    EXPECT_EQ(TWMAfile().ChannelMode(), "Unknown");
}
