#include "audio/formats/FLACfile.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/FaultyIO.h"
#include "audio/formats/AudioMaker.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace cantorix;
using namespace cantorix::test;

namespace {

#define REQUIRE_FLAC()                                                                                \
    do {                                                                                              \
        if (!haveTool("flac") || !haveTool("metaflac")) GTEST_SKIP() << "flac is not installed";      \
    } while (0)

constexpr uint8_t kPad = 1, kApp = 2, kSeek = 3, kComment = 4, kPicture = 6;

// The metadata blocks of a file other than padding and comments, in order.
std::vector<std::pair<uint8_t, Bytes>> keptBlocks(const FlacParts& parts)
{
    std::vector<std::pair<uint8_t, Bytes>> out;
    for (const auto& b : parts.blocks)
        if (b.first != kPad && b.first != kComment) out.push_back(b);
    return out;
}

const std::pair<uint8_t, Bytes>* findBlock(const FlacParts& parts, uint8_t type)
{
    for (const auto& b : parts.blocks)
        if (b.first == type) return &b;
    return nullptr;
}

class FlacTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(FlacTest, ReadsStreamInfoCommentsAndChain)
{
    REQUIRE_FLAC();
    std::string path = makeFlac(dir, "a.flac",
                                "-T ARTIST=Someone -T TITLE=Song -T ALBUM=Record -T DATE=2001 -T GENRE=Rock "
                                "-T TRACKNUMBER=3/12 -T ENCODER=XYZ -T artist=Second -T FOO=bar");
    ASSERT_FALSE(path.empty());
    TFLACfile f;
    ASSERT_TRUE(f.ReadFromFile(path));
    EXPECT_EQ(f.Channels(), 2);
    EXPECT_EQ(f.SampleRate(), 44100);
    EXPECT_EQ(f.BitsPerSample(), 16);
    EXPECT_EQ(f.Samples(), 11025);
    EXPECT_DOUBLE_EQ(f.Duration(), 0.25);
    EXPECT_EQ(f.Artist(), "Someone");
    EXPECT_EQ(f.Title(), "Song");
    EXPECT_EQ(f.Album(), "Record");
    EXPECT_EQ(f.Date(), "2001");
    EXPECT_EQ(f.Genre(), "Rock");
    EXPECT_EQ(f.TrackNumber(), "3/12");
    EXPECT_EQ(f.Encoder(), "XYZ");
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(f.ExtraFields(), (Pairs{{"ARTIST", "Second"}, {"FOO", "bar"}}));
    EXPECT_EQ(f.VendorInfo().rfind("reference libFLAC", 0), 0u);
    EXPECT_TRUE(f.TagExists());

    // flac writes STREAMINFO, SEEKTABLE, VORBIS_COMMENT, then 8192 bytes of padding flagged last.
    Bytes file = readFile(path);
    FlacParts parts = splitFlac(file);
    EXPECT_EQ(f.AudioOffset(), parts.audioOffset);
    EXPECT_EQ(file[size_t(f.AudioOffset())], 0xFF);
    EXPECT_EQ(file[size_t(f.AudioOffset()) + 1] & 0xFE, 0xF8); // frame sync
    EXPECT_EQ(f.VorbisIndex(), 2);
    EXPECT_EQ(f.PaddingIndex(), 3);
    EXPECT_EQ(f.PaddingSize(), 8192);
    EXPECT_TRUE(f.PaddingLast());
    EXPECT_FALSE(f.PaddingFragments());
    EXPECT_EQ(f.BitRate(), RoundHalfEven((double(file.size()) - double(f.AudioOffset())) / 1000.0 * 8.0 / 0.25));

    // The same bytes in memory read alike; a refused read in the metadata chain ends the reader.
    TMemorySource memory(file);
    TFLACfile m;
    ASSERT_TRUE(m.ReadFromSource(memory));
    EXPECT_EQ(m.AudioOffset(), f.AudioOffset());
    EXPECT_EQ(m.Artist(), "Someone");
    TFailingSource failing(file, parts.audioOffset - 8192 - 4, parts.audioOffset - 8192);
    EXPECT_FALSE(m.ReadFromSource(failing));
    EXPECT_EQ(failing.error().code, EIO);
}

TEST_F(FlacTest, AudioDurationRoundsHalvesToEven)
{
    REQUIRE_FLAC();
    struct Case {
        int frames;
        const char* name;
        int seconds;
    } cases[] = {{3200, "a.flac", 0}, {12000, "b.FLAC", 2}, {20000, "c.Flac", 2}, {28000, "d.flac", 4}};
    for (const Case& c : cases) {
        std::string path = makeFlac(dir, c.name, "", c.frames, 1, 8000);
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(GetAudioDuration(path), c.seconds) << c.frames;
    }
    EXPECT_EQ(GetAudioDuration(dir.file("missing.flac")), 0);
}

TEST_F(FlacTest, FileInformationRow)
{
    REQUIRE_FLAC();
    std::string with = makeFlac(dir, "with.flac", "-T ENCODER=XYZ -T ARTIST=A -T ALBUM=B -T TITLE=C -T DATE=1999 "
                                                  "-T GENRE=Pop -T TRACKNUMBER=07", 20000, 1, 8000);
    std::string without = makeFlac(dir, "without.flac", "", 11025, 2, 44100);
    ASSERT_FALSE(with.empty());
    ASSERT_FALSE(without.empty());
    TFileInfoValues v = ReadFileInfo(with);
    TFLACfile f;
    f.ReadFromFile(with);
    EXPECT_EQ(v.Artist, "A");
    EXPECT_EQ(v.Album, "B");
    EXPECT_EQ(v.Title, "C");
    EXPECT_EQ(v.Year, "1999");
    EXPECT_EQ(v.Genre, "Pop");
    EXPECT_EQ(v.Track, "07");
    EXPECT_EQ(v.Duration, "00:00:02");
    EXPECT_EQ(v.SampleRate, "8");
    EXPECT_EQ(v.Channels, "M");
    EXPECT_EQ(v.Bitrate, std::to_string(f.BitRate()));
    EXPECT_EQ(v.Other, "Encoder: XYZ");
    EXPECT_EQ(v.Size, FormatSizeText(int64_t(readFile(with).size())));

    v = ReadFileInfo(without);
    EXPECT_EQ(v.SampleRate, "44.1");
    EXPECT_EQ(v.Channels, "S");
    EXPECT_EQ(v.Other, "Encoder: ");
    EXPECT_EQ(v.Artist, "");
}

TEST_F(FlacTest, KnownNamesExtraFieldsAndText)
{
    REQUIRE_FLAC();
    FlacParts base = splitFlac(readFile(makeFlac(dir, "base.flac", "")));
    std::string emoji = "\xF0\x9F\x98\x80";
    Bytes body = commentBody("vendor", {"artist=lower", "ARTIST=Second", "TITLE=", "TITLE=Later", "Foo=bar",
                                        "COMMENT=\xff ok", "no equals sign", "LYRICS=" + emoji});
    std::string path = dir.file("names.flac");
    writeFile(path, composeFlac({}, base.streamInfo, {{kComment, body}}, base.audio));
    TFLACfile f;
    ASSERT_TRUE(f.ReadFromFile(path));
    EXPECT_EQ(f.Artist(), "lower");
    EXPECT_EQ(f.Title(), "Later"); // an empty first entry does not hold the name
    EXPECT_EQ(f.TagValue("COMMENT"), "\xEF\xBF\xBD ok");
    EXPECT_EQ(f.TagValue("lyrics"), emoji);
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(f.ExtraFields(), (Pairs{{"ARTIST", "Second"}, {"FOO", "bar"}}));
    EXPECT_EQ(f.Entries().size(), 8u);
    EXPECT_EQ(f.Entries()[5].raw, "COMMENT=\xff ok");
}

// Metadata layouts around the comment block, and where the write has to go.
enum class Route { InPlace, Rewrite };
struct Layout {
    const char* name;
    bool id3;
    bool comment;
    // Blocks after STREAMINFO: kComment, kSeek, kPicture, kApp, or kPad with its size (-1: exactly the
    // comment block's growth, -2: one byte more than that).
    std::vector<std::pair<uint8_t, int>> blocks;
    Route route;
};

void PrintTo(const Layout& layout, std::ostream* os) { *os << layout.name; }

class FlacLayoutTest : public ::testing::TestWithParam<Layout> {
protected:
    TempDir dir;
};

TEST_P(FlacLayoutTest, WritesSixValuesKeepingEverythingElse)
{
    REQUIRE_FLAC();
    const Layout& layout = GetParam();
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3, 4, 5, 6, 7, 8};
    writeFile(dir.file("pic.png"), png);
    std::string made = makeFlac(dir, "made.flac", "-S 10x --picture=" + shellQuote("3|image/png||1x1x24|" + dir.file("pic.png")));
    ASSERT_FALSE(made.empty());
    FlacParts base = splitFlac(readFile(made));
    std::remove(made.c_str());

    const std::string vendor = "reference libFLAC 1.4.2 20221022";
    std::vector<std::string> oldEntries = {
        "TITLE=Old title", "ARTIST=Old artist", "artist=Second artist", "ALBUM=Old album", "GENRE=Jazz",
        "REPLAYGAIN_TRACK_GAIN=-3.20 dB", "MUSICBRAINZ_TRACKID=0123-4567", "PERFORMER=Player",
        "COMMENT=\xff\xfe broken", "DESCRIPTION=" + std::string(1000, 'd'), "NOEQUALSIGN",
        "LYRICS=Emoji \xF0\x9F\x98\x80"};
    TTagValues values{"New title, longer than before \xE2\x9C\x93", "New artist", "", "1999", "07", "Rock"};
    std::vector<std::string> newEntries = {
        "TITLE=" + values.Title, "ARTIST=New artist", "GENRE=Rock", "REPLAYGAIN_TRACK_GAIN=-3.20 dB",
        "MUSICBRAINZ_TRACKID=0123-4567", "PERFORMER=Player", "COMMENT=\xff\xfe broken",
        "DESCRIPTION=" + std::string(1000, 'd'), "NOEQUALSIGN", "LYRICS=Emoji \xF0\x9F\x98\x80",
        "TRACKNUMBER=7", "DATE=1999"};
    Bytes oldBody = commentBody(vendor, oldEntries);
    Bytes newBody = layout.comment ? commentBody(vendor, newEntries)
                                   : commentBody(TFLACfile::DefaultVendor, {"TRACKNUMBER=7", "ARTIST=New artist",
                                                                            "TITLE=" + values.Title, "DATE=1999",
                                                                            "GENRE=Rock"});
    const int growth = int(newBody.size()) - (layout.comment ? int(oldBody.size()) : -4);
    ASSERT_GT(growth, 0);

    std::vector<std::pair<uint8_t, Bytes>> blocks;
    for (auto [type, size] : layout.blocks) {
        if (type == kPad) blocks.emplace_back(kPad, Bytes(size_t(size == -1 ? growth : size == -2 ? growth + 1 : size), 0));
        if (type == kComment) blocks.emplace_back(kComment, oldBody);
        if (type == kSeek || type == kPicture) blocks.push_back(*findBlock(base, type));
        if (type == kApp) blocks.emplace_back(kApp, Bytes{'T', 'E', 'S', 'T', 9, 8, 7, 6, 5});
    }
    Bytes id3 = layout.id3 ? id3v2Tag(300) : Bytes{};
    Bytes original = composeFlac(id3, base.streamInfo, blocks, base.audio);
    std::string path = dir.file("song.flac");
    writeFile(path, original);
    FlacParts before = splitFlac(original);
    TFLACfile old;
    ASSERT_TRUE(old.ReadFromFile(path));

    IoResult r = WriteFLACTags(path, values);
    ASSERT_TRUE(r.ok) << r.error;

    Bytes written = readFile(path);
    FlacParts after = splitFlac(written);
    EXPECT_EQ(listFiles(dir.str()), (std::vector<std::string>{"pic.png", "song.flac"})) << "no temporary file left";
    EXPECT_EQ(after.prefix, id3);
    EXPECT_EQ(after.streamInfo, base.streamInfo);
    EXPECT_EQ(after.audio, base.audio);
    EXPECT_EQ(keptBlocks(after), keptBlocks(before));
    const auto* comment = findBlock(after, kComment);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->second, newBody);
    ASSERT_FALSE(after.blocks.empty());
    EXPECT_EQ(after.blocks.back().first, kPad);
    if (layout.route == Route::InPlace) {
        EXPECT_EQ(written.size(), original.size());
        EXPECT_EQ(after.audioOffset, before.audioOffset);
        EXPECT_EQ(slice(written, 0, id3.size() + 42), slice(original, 0, id3.size() + 42));
    } else {
        EXPECT_EQ(after.blocks.back().second.size(), 4096u);
    }
    EXPECT_TRUE(runQuiet("flac -t -s " + shellQuote(path)));
    EXPECT_TRUE(runQuiet("metaflac --list " + shellQuote(path)));

    TFLACfile f;
    ASSERT_TRUE(f.ReadFromFile(path));
    EXPECT_EQ(f.Title(), values.Title);
    EXPECT_EQ(f.Artist(), "New artist");
    EXPECT_EQ(f.Album(), "");
    EXPECT_EQ(f.Date(), "1999");
    EXPECT_EQ(f.TrackNumber(), "7"); // "07" is written as the number every tagger reads
    EXPECT_EQ(f.Genre(), "Rock");
    EXPECT_EQ(f.Samples(), old.Samples());
    if (layout.route == Route::InPlace && old.PaddingIndex() == old.VorbisIndex() + 1 && !old.PaddingFragments()) {
        EXPECT_EQ(f.PaddingSize(), old.PaddingSize() - growth);
    }

    // The same values again change nothing.
    ASSERT_TRUE(WriteFLACTags(path, values).ok);
    EXPECT_EQ(readFile(path), written);
}

std::string layoutName(const ::testing::TestParamInfo<Layout>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Layouts, FlacLayoutTest,
    ::testing::Values(
        Layout{"PaddingAfterComment", false, true, {{kSeek, 0}, {kComment, 0}, {kPad, 8192}}, Route::InPlace},
        Layout{"PictureBetweenCommentAndPadding", false, true, {{kSeek, 0}, {kComment, 0}, {kPicture, 0}, {kPad, 8192}}, Route::InPlace},
        Layout{"NoPadding", false, true, {{kSeek, 0}, {kComment, 0}, {kPicture, 0}}, Route::Rewrite},
        Layout{"PaddingBeforeComment", false, true, {{kPad, 3000}, {kSeek, 0}, {kComment, 0}, {kApp, 0}}, Route::InPlace},
        Layout{"FragmentedPadding", false, true, {{kComment, 0}, {kPad, 100}, {kPicture, 0}, {kPad, 3000}}, Route::InPlace},
        Layout{"PaddingEqualToGrowth", false, true, {{kSeek, 0}, {kComment, 0}, {kPad, -1}}, Route::Rewrite},
        Layout{"PaddingOneMoreThanGrowth", false, true, {{kSeek, 0}, {kComment, 0}, {kPad, -2}}, Route::InPlace},
        Layout{"ZeroLengthPaddingFirst", false, true, {{kPad, 0}, {kSeek, 0}, {kComment, 0}, {kPad, 500}}, Route::Rewrite},
        Layout{"NoCommentBlock", false, false, {{kSeek, 0}, {kPad, 3000}}, Route::InPlace},
        Layout{"OnlyStreamInfo", false, false, {}, Route::Rewrite},
        Layout{"ID3v2InFront", true, true, {{kSeek, 0}, {kComment, 0}, {kPad, 8192}}, Route::InPlace},
        Layout{"ID3v2InFrontNoPadding", true, true, {{kSeek, 0}, {kComment, 0}}, Route::Rewrite}),
    layoutName);

TEST_F(FlacTest, DamagedAndUnusualChains)
{
    REQUIRE_FLAC();
    FlacParts base = splitFlac(readFile(makeFlac(dir, "base.flac", "")));
    Bytes comment = commentBody("v", {"ARTIST=A", "TITLE=T"});
    Bytes hugeCount = comment;
    hugeCount[5] = hugeCount[6] = hugeCount[7] = hugeCount[8] = 0xFF; // entry count 0xFFFFFFFF
    Bytes longEntry = comment;
    longEntry[9 + 4 + 8] = 0x7F; // the second entry's length far beyond the block
    Bytes si36 = base.streamInfo;
    si36[13] = uint8_t((si36[13] & 0xF0) | 0x01); // total samples 2^32 + 11025
    Bytes siZero = base.streamInfo;
    siZero[13] &= 0xF0;
    siZero[14] = siZero[15] = siZero[16] = siZero[17] = 0;

    struct Case {
        const char* name;
        Bytes file;
        bool valid;
        int64_t samples;
        const char* artist;
        bool writable = false;
    };
    Bytes truncated = composeFlac({}, base.streamInfo, {{kComment, comment}, {kPad, Bytes(100, 0)}}, {});
    truncated.resize(truncated.size() - 50);
    Bytes unterminated = composeFlac({}, base.streamInfo, {{kComment, comment}}, {});
    unterminated[42] &= 0x7F;
    Bytes noMarker = composeFlac({}, base.streamInfo, {}, base.audio);
    noMarker[0] = 'X';
    Bytes shortInfo = composeFlac({}, Bytes(base.streamInfo.begin(), base.streamInfo.begin() + 20), {}, base.audio);
    std::vector<Case> cases = {
        {"picture and reserved types", composeFlac({}, base.streamInfo, {{kPicture, Bytes(40, 1)}, {9, Bytes(3, 2)}, {kComment, comment}}, base.audio), true, 11025, "A", true},
        {"type 127", composeFlac({}, base.streamInfo, {{kComment, comment}, {127, Bytes(8, 0)}}, base.audio), false, 11025, "A"},
        {"36-bit sample count", composeFlac({}, si36, {{kComment, comment}}, base.audio), true, (int64_t(1) << 32) + 11025, "A", true},
        {"two comment blocks", composeFlac({}, base.streamInfo, {{kComment, comment}, {kPad, Bytes(500, 0)}, {kComment, commentBody("w", {"ARTIST=B"})}}, base.audio), true, 11025, "A"},
        {"zero samples", composeFlac({}, siZero, {{kComment, comment}}, base.audio), false, 0, "A"},
        {"block beyond the end", truncated, false, 11025, "A"},
        {"chain without a last block", unterminated, false, 11025, "A"},
        {"no marker", noMarker, false, 0, ""},
        {"short STREAMINFO", shortInfo, false, 0, ""},
        {"entry count beyond the block", composeFlac({}, base.streamInfo, {{kComment, hugeCount}, {kPad, Bytes(64, 0)}}, base.audio), true, 11025, "A"},
        {"entry length beyond the block", composeFlac({}, base.streamInfo, {{kComment, longEntry}, {kPad, Bytes(64, 0)}}, base.audio), true, 11025, "A"},
        {"empty file", {}, false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir.file("case.flac");
        writeFile(path, c.file);
        TFLACfile f;
        EXPECT_EQ(f.ReadFromFile(path), c.valid);
        EXPECT_EQ(f.Valid(), c.valid);
        EXPECT_EQ(f.Samples(), c.samples);
        EXPECT_EQ(f.Artist(), c.artist);
        if (c.valid) {
            EXPECT_DOUBLE_EQ(f.Duration(), double(c.samples) / 44100.0);
            EXPECT_EQ(GetAudioDuration(path), RoundHalfEven(double(c.samples) / 44100.0));
        } else {
            EXPECT_EQ(f.Duration(), 0.0);
        }
        // A file that is not whole, or whose comments are damaged or ambiguous, is never written.
        IoResult r = WriteFLACTags(path, TTagValues{"t", "a", "b", "2000", "1", "g"});
        EXPECT_EQ(r.ok, c.writable) << r.error;
        if (!c.writable) {
            EXPECT_EQ(readFile(path), c.file);
        } else {
            EXPECT_EQ(splitFlac(readFile(path)).audio, base.audio);
            TFLACfile w;
            EXPECT_TRUE(w.ReadFromFile(path));
            EXPECT_EQ(w.Artist(), "a");
            EXPECT_EQ(w.Samples(), c.samples);
        }
    }
}

TEST_F(FlacTest, FailedRewriteLeavesTheOriginal)
{
    REQUIRE_FLAC();
    std::string path = makeFlac(dir, "a.flac", "--no-padding -T ARTIST=Old");
    ASSERT_FALSE(path.empty());
    Bytes original = readFile(path);
    struct Fault {
        TFaultyFiles files;
        const char* reason;
    } faults[] = {
        {TFaultyFiles::diskFullAfter(100), "No space left on device"},
        {TFaultyFiles::renameFails(EXDEV), "Invalid cross-device link"},
    };
    for (Fault& f : faults) {
        IoResult r = WriteFLACTags(path, TTagValues{"Title", "Artist", "Album", "2000", "1", "Genre"}, f.files);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, f.reason);
        EXPECT_EQ(readFile(path), original);
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.flac"});
    }
    TFLACfile f;
    ASSERT_TRUE(f.ReadFromFile(path));
    EXPECT_EQ(f.Artist(), "Old");
}

TEST_F(FlacTest, ObjectWritesItsChangedValuesOnly)
{
    REQUIRE_FLAC();
    std::string path = makeFlac(dir, "a.flac", "-T ARTIST=Old -T TITLE=Keep -T X-CUSTOM=kept");
    ASSERT_FALSE(path.empty());
    TFLACfile f;
    ASSERT_TRUE(f.ReadFromFile(path));
    f.SetTagValue("artist", "New \xE2\x99\xAB");
    EXPECT_EQ(f.Artist(), "New \xE2\x99\xAB");
    ASSERT_TRUE(f.SaveToFile(path).ok);
    EXPECT_EQ(f.Artist(), "New \xE2\x99\xAB"); // the object shows the file as written
    EXPECT_TRUE(runQuiet("metaflac --show-tag=ARTIST " + shellQuote(path) + " | grep -qx 'ARTIST=New \xE2\x99\xAB'"));
    EXPECT_TRUE(runQuiet("metaflac --show-tag=X-CUSTOM " + shellQuote(path) + " | grep -qx 'X-CUSTOM=kept'"));
    EXPECT_EQ(f.Title(), "Keep");

    EXPECT_FALSE(WriteFLACTags(dir.file("missing.flac"), TTagValues{}).ok);
    writeText(dir.file("text.flac"), "not a flac file at all");
    IoResult r = WriteFLACTags(dir.file("text.flac"), TTagValues{});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "not a valid FLAC file");
}

} // namespace
