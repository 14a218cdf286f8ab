#include "audio/formats/OggVorbis.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/FaultyIO.h"
#include "audio/formats/AudioMaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

#define REQUIRE_OGG()                                                                                       \
    do {                                                                                                    \
        if (!haveTool("oggenc") || !haveTool("oggdec") || !haveTool("vorbiscomment") || !haveTool("ogginfo")) \
            GTEST_SKIP() << "vorbis-tools is not installed";                                                \
    } while (0)

// The pages of an Ogg file, each as its bytes (for well-formed files the tests made).
std::vector<Bytes> splitOgg(const Bytes& file, size_t start = 0)
{
    std::vector<Bytes> pages;
    size_t pos = start;
    while (pos + 27 <= file.size()) {
        size_t n = file[pos + 26];
        size_t body = 0;
        for (size_t i = 0; i < n; ++i) body += file[pos + 27 + i];
        pages.push_back(slice(file, pos, 27 + n + body));
        pos += 27 + n + body;
    }
    return pages;
}

uint32_t storedCrc(const Bytes& page) { return getLE32(page.data() + 22); }
uint32_t computedCrc(Bytes page)
{
    std::memset(page.data() + 22, 0, 4);
    return OggCrc(page.data(), page.size());
}

// Sets the comments with vorbiscomment (raw UTF-8, no conversion).
bool setComments(const std::string& path, const std::vector<std::string>& entries)
{
    std::string list;
    for (const std::string& e : entries) list += e + "\n";
    std::string listFile = path + ".comments";
    writeText(listFile, list);
    bool ok = runQuiet("vorbiscomment -R -w -c " + shellQuote(listFile) + " " + shellQuote(path));
    std::remove(listFile.c_str());
    return ok;
}

// Replaces `from` by `to` (same length) in the second page and fixes its CRC: for entries that no
// well-behaved tool writes, such as invalid UTF-8.
void patchSecondPage(const std::string& path, const std::string& from, const std::string& to)
{
    Bytes file = readFile(path);
    std::vector<Bytes> pages = splitOgg(file);
    size_t start = pages[0].size();
    Bytes& page = pages[1];
    auto it = std::search(page.begin(), page.end(), from.begin(), from.end());
    ASSERT_NE(it, page.end());
    std::copy(to.begin(), to.end(), it);
    putLE32(page.data() + 22, computedCrc(page));
    std::copy(page.begin(), page.end(), file.begin() + long(start));
    writeFile(path, file);
}

// ogginfo finds nothing wrong with the stream (the invalid UTF-8 the tests put in on purpose aside).
bool oggInfoClean(const std::string& path)
{
    return !runQuiet("ogginfo " + shellQuote(path) + " 2>&1 | grep -E 'WARNING|ERROR|Warning|Error' | grep -v 'Illegal UTF-8'");
}

Bytes decode(const std::string& path, const std::string& wav)
{
    if (!runQuiet("oggdec -Q -o " + shellQuote(wav) + " " + shellQuote(path))) return {};
    Bytes pcm = readFile(wav);
    std::remove(wav.c_str());
    return pcm;
}

class OggTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(OggTest, ReadsIdentificationCommentsAndLastPage)
{
    REQUIRE_OGG();
    std::string path = makeOgg(dir, "a.ogg", "-c TITLE=Song -c ARTIST=Someone -c ALBUM=Record -c DATE=2001 "
                                             "-c GENRE=Rock -c TRACKNUMBER=3/12 -c COMMENT=Nice");
    ASSERT_FALSE(path.empty());
    TOggVorbis f;
    ASSERT_TRUE(f.ReadFromFile(path));
    EXPECT_TRUE(f.Valid());
    EXPECT_EQ(f.Channels(), 2);
    EXPECT_EQ(f.ChannelMode(), "Stereo");
    EXPECT_EQ(f.SampleRate(), 44100);
    EXPECT_EQ(f.Samples(), 11025);
    EXPECT_DOUBLE_EQ(f.Duration(), 0.25);
    Bytes file = readFile(path);
    auto nominal = int32_t(getLE32(file.data() + 28 + 20));
    EXPECT_EQ(f.NominalBitRate(), nominal / 1000);
    EXPECT_EQ(f.BitRate(), RoundHalfEven(double(file.size()) / 0.25 / 125.0));
    EXPECT_EQ(f.SecondPagePos(), 58);
    EXPECT_TRUE(f.CommentFound());
    EXPECT_TRUE(f.CommentOnSecondPage());
    EXPECT_EQ(f.Title(), "Song");
    EXPECT_EQ(f.Artist(), "Someone");
    EXPECT_EQ(f.Album(), "Record");
    EXPECT_EQ(f.Year(), "2001");
    EXPECT_EQ(f.Genre(), "Rock");
    EXPECT_EQ(f.Track(), 3);
    EXPECT_EQ(f.Comment(), "Nice");
    EXPECT_EQ(f.VendorInfo().rfind("Xiph.Org libVorbis", 0), 0u);

    // The same bytes in memory read alike; a refused read of the first page ends the reader.
    TMemorySource memory(file);
    TOggVorbis m;
    ASSERT_TRUE(m.ReadFromSource(memory));
    EXPECT_EQ(m.Samples(), 11025);
    EXPECT_EQ(m.Comment(), "Nice");
    TFailingSource failing(file, 30, 31);
    EXPECT_FALSE(m.ReadFromSource(failing));
    EXPECT_EQ(failing.error().code, EIO);
}

TEST_F(OggTest, CrcMatchesEveryPageOggencWrote)
{
    REQUIRE_OGG();
    std::string path = makeOgg(dir, "a.ogg", "-c TITLE=Song", 44100);
    ASSERT_FALSE(path.empty());
    std::vector<Bytes> pages = splitOgg(readFile(path));
    ASSERT_GE(pages.size(), 3u);
    for (const Bytes& page : pages) EXPECT_EQ(computedCrc(page), storedCrc(page));
}

TEST_F(OggTest, KnownNames)
{
    REQUIRE_OGG();
    std::string path = makeOgg(dir, "a.ogg", "");
    ASSERT_FALSE(path.empty());
    struct Case {
        std::vector<std::string> comments;
        std::string (*get)(const TOggVorbis&);
        std::string expected;
    };
    auto track = [](const TOggVorbis& f) { return std::to_string(f.Track()); };
    auto artist = [](const TOggVorbis& f) { return f.Artist(); };
    auto title = [](const TOggVorbis& f) { return f.Title(); };
    auto comment = [](const TOggVorbis& f) { return f.Comment(); };
    std::string longValue(400, 'x');
    const Case cases[] = {
        {{"TRACKNUMBER=3/12"}, track, "3"},
        {{"TRACKNUMBER=7"}, track, "7"},
        {{"TRACKNUMBER=seven"}, track, "0"},
        {{"TRACKNUMBER=300"}, track, "44"},
        {{"ARTIST=Band", "PERFORMER=Player"}, artist, "Band"},
        {{"PERFORMER=Player"}, artist, "Player"},
        {{"TITLE=First", "title=Second"}, title, "Second"},
        {{"DESCRIPTION=About"}, comment, "About"},
        {{"TITLE=  padded \t"}, title, "padded"},
        {{"LONG=" + longValue, "TITLE=After"}, title, "After"},
        {{"TITLE=" + longValue}, title, longValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comments[0].substr(0, 40));
        ASSERT_TRUE(setComments(path, c.comments));
        TOggVorbis f;
        ASSERT_TRUE(f.ReadFromFile(path));
        EXPECT_EQ(c.get(f), c.expected);
    }
}

TEST_F(OggTest, AudioDurationAndFileInformation)
{
    REQUIRE_OGG();
    struct Case {
        int frames;
        const char* name;
        int seconds;
    } cases[] = {{12000, "b.OGG", 2}, {20000, "c.ogg", 2}, {28000, "d.Ogg", 4}};
    for (const Case& c : cases) {
        std::string path = makeOgg(dir, c.name, "", c.frames, 1, 8000);
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(GetAudioDuration(path), c.seconds) << c.frames;
    }

    std::string path = makeOgg(dir, "info.ogg", "-c ARTIST=A -c ALBUM=B -c TITLE=C -c DATE=1999 -c GENRE=Pop",
                               20000, 1, 8000);
    TOggVorbis f;
    ASSERT_TRUE(f.ReadFromFile(path));
    TFileInfoValues v = ReadFileInfo(path);
    EXPECT_EQ(v.Artist, "A");
    EXPECT_EQ(v.Album, "B");
    EXPECT_EQ(v.Title, "C");
    EXPECT_EQ(v.Year, "1999");
    EXPECT_EQ(v.Genre, "Pop");
    EXPECT_EQ(v.Track, "0");
    EXPECT_EQ(v.Duration, "00:00:02");
    EXPECT_EQ(v.SampleRate, "8");
    EXPECT_EQ(v.Channels, "Mono");
    EXPECT_EQ(v.Bitrate, std::to_string(f.BitRate()));
    EXPECT_EQ(v.Other, "");

    // No page within the last 12060 bytes: the duration comes from the nominal bit rate.
    Bytes file = readFile(path);
    file.resize(file.size() + 13000, 0);
    writeFile(path, file);
    ASSERT_TRUE(f.ReadFromFile(path));
    EXPECT_EQ(f.Samples(), 0);
    ASSERT_GT(f.NominalBitRate(), 0);
    EXPECT_DOUBLE_EQ(f.Duration(), double(file.size()) / f.NominalBitRate() / 1 / 125.0 * 2.0);
}

struct WriteCase {
    const char* name;
    bool id3;
    std::vector<std::string> comments;
    std::vector<std::string> expected; // the entries after writing
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class OggWriteTest : public ::testing::TestWithParam<WriteCase> {
protected:
    TempDir dir;
};

TEST_P(OggWriteTest, WritesSixValuesKeepingEverythingElse)
{
    REQUIRE_OGG();
    const WriteCase& c = GetParam();
    std::string path = makeOgg(dir, "song.ogg", "", 22050);
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(setComments(path, c.comments));
    patchSecondPage(path, "COMMENT=XX", "COMMENT=\xff\xfe");
    Bytes original = readFile(path);
    if (c.id3) {
        Bytes tagged = id3v2Tag(200);
        tagged.insert(tagged.end(), original.begin(), original.end());
        original = tagged;
        writeFile(path, original);
    }
    const size_t start = c.id3 ? 200 : 0;
    Bytes pcm = decode(path, dir.file("before.wav"));
    ASSERT_FALSE(pcm.empty());

    TTagValues values{"New title \xE2\x9C\x93", "New artist", "", "1999", "07", "Rock"};
    IoResult r = WriteOggTags(path, values);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"song.ogg"}) << "no temporary file left";

    Bytes written = readFile(path);
    EXPECT_EQ(slice(written, 0, start), slice(original, 0, start));
    std::vector<Bytes> before = splitOgg(original, start), after = splitOgg(written, start);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0], before[0]);
    for (size_t i = 2; i < before.size(); ++i) EXPECT_EQ(after[i], before[i]) << "page " << i;
    // The rebuilt page keeps its place in the stream and carries a valid checksum.
    EXPECT_EQ(slice(after[1], 0, 22), slice(before[1], 0, 22));
    EXPECT_EQ(computedCrc(after[1]), storedCrc(after[1]));
    // ogginfo reports a leading ID3v2 tag as a hole in the data, so it checks the Ogg stream alone.
    std::string stream = dir.file("stream.ogg");
    writeFile(stream, slice(written, start));
    EXPECT_TRUE(oggInfoClean(stream));
    std::remove(stream.c_str());
    EXPECT_EQ(decode(path, dir.file("after.wav")), pcm);

    TOggVorbis f;
    ASSERT_TRUE(f.ReadFromFile(path));
    std::vector<std::string> entries;
    for (const TCommentEntry& e : f.Entries()) entries.push_back(e.raw);
    EXPECT_EQ(entries, c.expected);
    EXPECT_EQ(f.Title(), values.Title);
    EXPECT_EQ(f.Album(), "");
    EXPECT_EQ(f.Year(), "1999");
    EXPECT_EQ(f.Track(), 7);
    EXPECT_EQ(f.Genre(), "Rock");
    EXPECT_EQ(f.Samples(), 22050);

    // The same values again change nothing.
    ASSERT_TRUE(WriteOggTags(path, values).ok);
    EXPECT_EQ(readFile(path), written);
}

const std::string kLong = "DESCRIPTION=" + std::string(388, 'd'); // a 400-byte entry
const std::string kPicture = "METADATA_BLOCK_PICTURE=AAAAAwAAAAlpbWFnZS9wbmcAAAAAAAAAAQAAAAEAAAAYAAAAAAAAAAiJUE5HDQoaCg==";

INSTANTIATE_TEST_SUITE_P(
    Files, OggWriteTest,
    ::testing::Values(
        WriteCase{"ExtraComments", false,
                  {"TITLE=Old", "ARTIST=Old artist", "artist=Second", "PERFORMER=Player", "COMMENT=XX",
                   "REPLAYGAIN_TRACK_GAIN=-1.5 dB", "MUSICBRAINZ_ALBUMID=abc", kPicture, kLong, "ALBUM=Gone",
                   "GENRE=Jazz", "LYRICS=\xF0\x9F\x98\x80", "TRACKNUMBER=1/9"},
                  {"TITLE=New title \xE2\x9C\x93", "ARTIST=New artist", "PERFORMER=Player", "COMMENT=\xff\xfe",
                   "REPLAYGAIN_TRACK_GAIN=-1.5 dB", "MUSICBRAINZ_ALBUMID=abc", kPicture, kLong, "GENRE=Rock",
                   "LYRICS=\xF0\x9F\x98\x80", "TRACKNUMBER=7", "DATE=1999"}},
        WriteCase{"FewComments", false,
                  {"COMMENT=XX"},
                  {"COMMENT=\xff\xfe", "TITLE=New title \xE2\x9C\x93", "ARTIST=New artist", "TRACKNUMBER=7",
                   "DATE=1999", "GENRE=Rock"}},
        WriteCase{"ID3v2InFront", true,
                  {"COMMENT=XX", "TITLE=Old"},
                  {"COMMENT=\xff\xfe", "TITLE=New title \xE2\x9C\x93", "ARTIST=New artist", "TRACKNUMBER=7",
                   "DATE=1999", "GENRE=Rock"}}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST_F(OggTest, RefusesWritesItCannotDoSafely)
{
    REQUIRE_OGG();
    TTagValues values{"Title", "Artist", "Album", "2000", "1", "Genre"};
    struct Case {
        const char* name;
        std::vector<std::string> comments;
        TTagValues values;
        const char* reason;
    };
    TTagValues longTitle = values;
    longTitle.Title = std::string(300, 't');
    const Case cases[] = {
        {"packet over two pages", {"BIG=" + std::string(70000, 'b')}, values,
         "The comment header does not end on the second page"},
        {"second page full", {"BIG=" + std::string(64000, 'b')}, longTitle, "The comments do not fit on the second page"},
        {"damaged entry count", {"TITLE=Old", "COUNT=XXXX"}, values, "The comment header is damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = makeOgg(dir, "a.ogg", "");
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(setComments(path, c.comments));
        if (std::string(c.name) == "damaged entry count") {
            // The entry count (2) becomes 0x10002: entries run past the packet.
            Bytes count = {2, 0, 0, 0, 9, 0, 0, 0, 'T', 'I', 'T', 'L', 'E', '='};
            Bytes damaged = {2, 0, 1, 0, 9, 0, 0, 0, 'T', 'I', 'T', 'L', 'E', '='};
            patchSecondPage(path, std::string(count.begin(), count.end()), std::string(damaged.begin(), damaged.end()));
        }
        Bytes original = readFile(path);
        TOggVorbis f;
        ASSERT_TRUE(f.ReadFromFile(path));
        if (std::string(c.name) == "packet over two pages") {
            EXPECT_FALSE(f.CommentOnSecondPage());
            EXPECT_EQ(f.Text("BIG"), std::string(70000, 'b')); // still read whole
        }
        if (std::string(c.name) == "second page full") {
            EXPECT_TRUE(f.CommentOnSecondPage());
            EXPECT_EQ(splitOgg(original)[1][26], 255);
        }
        IoResult r = WriteOggTags(path, c.values);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.reason);
        EXPECT_EQ(readFile(path), original);
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.ogg"});
    }

    writeText(dir.file("text.ogg"), "not an ogg file");
    EXPECT_EQ(WriteOggTags(dir.file("text.ogg"), values).error, "not a valid Ogg Vorbis file");
    EXPECT_EQ(WriteOggTags(dir.file("missing.ogg"), values).error, "No such file or directory");
}

// A track that is empty or not a number leaves the track out and still writes the other values.
TEST_F(OggTest, TrackThatIsNoNumberIsLeftOut)
{
    REQUIRE_OGG();
    for (const char* track : {"", "x"}) {
        SCOPED_TRACE(track);
        std::string path = makeOgg(dir, "a.ogg", "");
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(setComments(path, {"TITLE=Old", "TRACKNUMBER=5"}));
        ASSERT_TRUE(WriteOggTags(path, TTagValues{"New", "Artist", "Album", "2000", track, "Rock"}).ok);
        TOggVorbis f;
        ASSERT_TRUE(f.ReadFromFile(path));
        EXPECT_EQ(f.Title(), "New");
        EXPECT_EQ(f.Artist(), "Artist");
        EXPECT_EQ(f.Track(), 0);
        EXPECT_EQ(f.Text("TRACKNUMBER"), "");
    }
}

// A packet whose length is a multiple of 255 ends with a lacing value of 0.
TEST_F(OggTest, PacketOfWholeSegments)
{
    REQUIRE_OGG();
    std::string path = makeOgg(dir, "a.ogg", "");
    ASSERT_FALSE(path.empty());
    Bytes pcm = decode(path, dir.file("before.wav"));
    TTagValues values{"Title", "Artist", "Album", "2000", "1", "Genre"};
    size_t pad = 10;
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(setComments(path, {"PAD=" + std::string(pad, 'p')}));
        ASSERT_TRUE(WriteOggTags(path, values).ok);
        Bytes page = splitOgg(readFile(path))[1];
        size_t packet = 0, i = 0;
        for (; page[27 + i] == 255; ++i) packet += 255;
        packet += page[27 + i];
        if (packet % 255 == 0) {
            EXPECT_EQ(page[27 + i], 0);
            EXPECT_EQ(computedCrc(page), storedCrc(page));
            EXPECT_TRUE(oggInfoClean(path));
            EXPECT_EQ(decode(path, dir.file("after.wav")), pcm);
            TOggVorbis f;
            ASSERT_TRUE(f.ReadFromFile(path));
            EXPECT_EQ(f.Text("PAD"), std::string(pad, 'p'));
            EXPECT_EQ(f.Genre(), "Genre");
            return;
        }
        pad += 255 - packet % 255;
    }
    FAIL() << "no packet of whole segments was made";
}

// A comment packet that keeps its length (zero bytes after the framing bit make up a shorter one) is
// laid into its old pages in place; a longer one rewrites the file; equal comments are not written.
TEST_F(OggTest, CommentsThatFitTheirPagesAreWrittenInPlace)
{
    REQUIRE_OGG();
    enum Route { None, InPlace, Rewrite };
    struct Step {
        const char* name;
        std::string title;
        Route route;
    };
    const Step steps[] = {
        {"a shorter title", "Short", InPlace},
        {"the same again", "Short", None},
        {"longer, within the room the shorter one left", std::string(40, 'm'), InPlace},
        {"longer than the packet was", std::string(300, 'x'), Rewrite},
    };
    std::string path = makeOgg(dir, "a.ogg", "", 22050);
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(setComments(path, {"TITLE=" + std::string(60, 'o'), "ARTIST=Old", "KEEP=this"}));
    const Bytes pcm = decode(path, dir.file("before.wav"));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const Bytes before = readFile(path);
        struct stat st {};
        ::stat(path.c_str(), &st);
        ::usleep(20000); // a later write gets a later modification time
        ASSERT_TRUE(WriteOggTags(path, TTagValues{step.title, "Artist", "", "", "3", ""}).ok);
        const Bytes after = readFile(path);
        struct stat now {};
        ::stat(path.c_str(), &now);
        EXPECT_EQ(now.st_ino == st.st_ino, step.route != Rewrite);
        EXPECT_EQ(now.st_mtim.tv_nsec == st.st_mtim.tv_nsec && now.st_mtim.tv_sec == st.st_mtim.tv_sec, step.route == None);
        if (step.route != Rewrite) {
            EXPECT_EQ(after.size(), before.size());
        }
        // Only the second page differs, and it reads as a valid page.
        std::vector<Bytes> pagesBefore = splitOgg(before), pagesAfter = splitOgg(after);
        ASSERT_EQ(pagesAfter.size(), pagesBefore.size());
        for (size_t i = 0; i < pagesBefore.size(); ++i) {
            if (i == 1) continue;
            EXPECT_EQ(pagesAfter[i], pagesBefore[i]) << "page " << i;
        }
        EXPECT_EQ(computedCrc(pagesAfter[1]), storedCrc(pagesAfter[1]));
        EXPECT_TRUE(oggInfoClean(path));
        EXPECT_EQ(decode(path, dir.file("after.wav")), pcm);
        // vorbiscomment, another reader, sees exactly the entries.
        EXPECT_EQ(capture("vorbiscomment -l " + shellQuote(path)),
                  "TITLE=" + step.title + "\nARTIST=Artist\nKEEP=this\nTRACKNUMBER=3\n");
    }
    EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.ogg"}) << "no temporary file left";

    // A packet that runs over several pages is laid into them in place as well.
    ASSERT_TRUE(setComments(path, {"TITLE=" + std::string(100, 't'), "BIG=" + std::string(70000, 'b')}));
    TOggVorbis f;
    ASSERT_TRUE(f.ReadFromFile(path));
    ASSERT_FALSE(f.CommentOnSecondPage());
    const Bytes before = readFile(path);
    ASSERT_TRUE(WriteOggTags(path, TTagValues{"T", "A", "", "", "", ""}).ok);
    const Bytes after = readFile(path);
    EXPECT_EQ(after.size(), before.size());
    std::vector<Bytes> pagesBefore = splitOgg(before), pagesAfter = splitOgg(after);
    ASSERT_EQ(pagesAfter.size(), pagesBefore.size());
    for (size_t i = 0; i < pagesAfter.size(); ++i) EXPECT_EQ(computedCrc(pagesAfter[i]), storedCrc(pagesAfter[i]));
    EXPECT_TRUE(oggInfoClean(path));
    EXPECT_EQ(decode(path, dir.file("after.wav")), pcm);
    ASSERT_TRUE(f.ReadFromFile(path));
    EXPECT_EQ(f.Title(), "T");
    EXPECT_EQ(f.Artist(), "A");
    EXPECT_EQ(f.Text("BIG"), std::string(70000, 'b'));
}

TEST_F(OggTest, FailedRewriteLeavesTheOriginal)
{
    REQUIRE_OGG();
    std::string path = makeOgg(dir, "a.ogg", "-c ARTIST=Old");
    ASSERT_FALSE(path.empty());
    Bytes original = readFile(path);
    for (TFaultyFiles files : {TFaultyFiles::diskFullAfter(100), TFaultyFiles::renameFails(EXDEV)}) {
        IoResult r = WriteOggTags(path, TTagValues{"Title", "Artist", "Album", "2000", "1", "Genre"}, files);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(readFile(path), original);
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.ogg"});
    }
}

} // namespace
