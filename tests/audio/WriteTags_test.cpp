#include "audio/WriteTags.h"

#include "audio/FormatRegistry.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace cantorix {
namespace {

std::vector<std::pair<std::string, TTagValues>> g_calls;

IoResult recordingWriter(const std::string& file, const TTagValues& v, TFileSystem&)
{
    g_calls.emplace_back(file, v);
    return IoResult::success();
}
IoResult failingWriter(const std::string&, const TTagValues&, TFileSystem&) { return IoResult::failure("Permission denied"); }
IoResult throwingWriter(const std::string&, const TTagValues&, TFileSystem&)
{
    throw std::runtime_error("'' is not a valid integer value");
}

// The registry's rows with the writers of some extensions replaced.
std::vector<TFormat> withWriters(std::initializer_list<std::pair<std::string, TagWriter>> writers)
{
    std::vector<TFormat> rows(Formats().begin(), Formats().end());
    for (TFormat& row : rows)
        for (const auto& [ext, writer] : writers)
            if (ext == row.Extension) row.Writer = writer;
    return rows;
}

class WriteTagsTest : public testing::Test {
protected:
    void SetUp() override { g_calls.clear(); }
};

TEST_F(WriteTagsTest, TheTwelveExtensionsWithoutRegardToCase)
{
    std::vector<std::string> rows;
    for (const TFormat* r : TagWriterTable()) rows.push_back(r->Extension);
    EXPECT_EQ(rows, (std::vector<std::string>{".AAC", ".APE", ".MAC", ".FLAC", ".MPC", ".MP3", ".MP2", ".MPA",
                                              ".OGG", ".OFR", ".OFS", ".TTA"}));
    for (const char* yes : {"a.mp3", "a.MP3", "a.Flac", "x.y.ogg", "a.mac", "a.OFS", "a.tta"})
        EXPECT_TRUE(IsTagWritingExtension(yes)) << yes;
    for (const char* no : {"a.wma", "a.wav", "a.wv", "a.m4a", "a.mp3.txt", "mp3", "a.", "dir.mp3/file"})
        EXPECT_FALSE(IsTagWritingExtension(no)) << no;
}

TEST_F(WriteTagsTest, AnExtensionWithoutWriterWritesNothing)
{
    test::TempDir tmp;
    test::writeText(tmp.file("a.wma"), "wma bytes");
    test::writeText(tmp.file("a.mpc"), "mpc bytes");
    TTagValues v{"T", "A", "B", "1999", "07", "Rock"};
    EXPECT_TRUE(WriteAudioTags(tmp.file("a.wma"), v).ok);
    EXPECT_EQ(test::readText(tmp.file("a.wma")), "wma bytes");
    // A tag-writing row without a writer.
    const TFormat noWriter[] = {{.Extension = ".MPC", .WritesTags = true}};
    EXPECT_TRUE(WriteAudioTagsWith(tmp.file("a.mpc"), v, noWriter, systemFiles()).ok);
    EXPECT_EQ(test::readText(tmp.file("a.mpc")), "mpc bytes");
    // A writer on a row that is no tag-writing row is never called.
    EXPECT_TRUE(WriteAudioTagsWith("a.wma", v, withWriters({{".WMA", recordingWriter}}), systemFiles()).ok);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(WriteTagsTest, PassesTheValuesAndLeavesOutATrackThatIsNoNumber)
{
    const std::vector<TFormat> rows = withWriters({{".MP3", recordingWriter}, {".FLAC", recordingWriter}});
    struct Case {
        const char* file;
        const char* track;
        const char* passed;
    } cases[] = {
        {"a.mp3", "07", "07"},  {"a.MP3", "", ""},       {"a.mp3", "A7", ""},   {"a.mp3", " 7", ""},
        {"a.mp3", "-1", ""},    {"a.mp3", "1234567890", ""}, {"a.flac", "A7", "A7"}, // FLAC keeps the text
        {"a.flac", "07", "07"},
    };
    for (const Case& c : cases) {
        g_calls.clear();
        TTagValues v{"T\xc3\xa9", "A", "B", "1999", c.track, "Native US"};
        EXPECT_TRUE(WriteAudioTagsWith(c.file, v, rows, systemFiles()).ok);
        ASSERT_EQ(g_calls.size(), 1u) << c.file;
        EXPECT_EQ(g_calls[0].first, c.file);
        const TTagValues& got = g_calls[0].second;
        EXPECT_EQ(got.Track, c.passed) << c.file << " " << c.track;
        EXPECT_EQ(got.Title, "T\xc3\xa9");
        EXPECT_EQ(got.Artist, "A");
        EXPECT_EQ(got.Album, "B");
        EXPECT_EQ(got.Year, "1999");
        EXPECT_EQ(got.Genre, "Native US");
    }
}

TEST_F(WriteTagsTest, FailuresComeBackAsReasons)
{
    const std::vector<TFormat> rows = withWriters({{".OGG", failingWriter}, {".TTA", throwingWriter}});
    IoResult r = WriteAudioTagsWith("x.ogg", {}, rows, systemFiles());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Permission denied");
    r = WriteAudioTagsWith("x.tta", {}, rows, systemFiles());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "'' is not a valid integer value");
}


TEST(TagValues, TracksAndMusicBrainzIdsAsTheWritersTakeThem)
{
    const std::pair<std::string, std::string> tracks[] = {
        {"07", "7"}, {"7", "7"}, {"12", "12"}, {"0", ""}, {"00", ""}, {"", ""}, {"A1", "A1"}, {"3/12", "3/12"},
        {"0000000010", "0000000010"}, // more digits than a track number has: left as it is
    };
    for (const auto& [in, out] : tracks) EXPECT_EQ(CanonicalTrack(in), out) << in;

    EXPECT_TRUE(IsMusicBrainzId("0e6e1c8a-7f3b-4c5d-9e2f-1a2b3c4d5e6F"));
    for (const char* bad : {"", "0e6e1c8a7f3b4c5d9e2f1a2b3c4d5e6f", "0e6e1c8a-7f3b-4c5d-9e2f-1a2b3c4d5e6g",
                            "0e6e1c8a-7f3b-4c5d-9e2f-1a2b3c4d5e6f0", "0e6e1c8a-7f3b-4c5d-9e2f-1a2b3c4d5e6\n"})
        EXPECT_FALSE(IsMusicBrainzId(bad)) << bad;

    TTagValues v;
    v.MusicBrainzAlbumId = "0e6e1c8a-7f3b-4c5d-9e2f-1a2b3c4d5e6f";
    v.MusicBrainzArtistIds = {"bad", "11111111-2222-3333-4444-555555555555"};
    v.MusicBrainzTrackId = "no uuid";
    const std::vector<TMusicBrainzField> fields = MusicBrainzFields(v);
    ASSERT_EQ(fields.size(), 2u); // no release group given, the recording's is no UUID
    EXPECT_STREQ(fields[0].VorbisName, "MUSICBRAINZ_ALBUMID");
    EXPECT_STREQ(fields[0].Id3Description, "MusicBrainz Album Id");
    EXPECT_STREQ(fields[1].VorbisName, "MUSICBRAINZ_ARTISTID");
    EXPECT_EQ(fields[1].Values, std::vector<std::string>{"11111111-2222-3333-4444-555555555555"});
}

} // namespace
} // namespace cantorix
