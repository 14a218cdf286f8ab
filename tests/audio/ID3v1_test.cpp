// ID3v1 tags with Lyrics3 v2 blocks: reading, the exact bytes written, removal, and the genre table.
#include "audio/ID3v1.h"
#include "audio/FaultyIO.h"
#include "audio/MpegFixtures.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

const Bytes kAudio = frameRun(mpegHeader(Mpeg::V1, 3, 9, 0), 417, 3);

std::string tailText(const Bytes& b, size_t n) { return std::string(b.end() - ptrdiff_t(n), b.end()); }

} // namespace

TEST(ID3v1, ReadsVersionsTrackAndComment)
{
    struct Case {
        const char* what;
        uint8_t b125, b126;
        int version, track;
        std::string comment;
    } cases[] = {
        {"1.1: zero then track", 0, 7, 2, 7, std::string(28, 'c')},
        {"1.1: space then non-space", 32, 53, 2, 53, std::string(28, 'c')},
        {"1.0: comment to the end", 'x', 'y', 1, 0, std::string(28, 'c') + "xy"},
        {"1.0: two spaces", 32, 32, 1, 0, std::string(28, 'c')},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Bytes f = kAudio;
        Bytes tag = id3v1Tag("Title", "Artist", "Album", "1999", std::string(30, 'c'), 0, 17);
        tag[125] = c.b125;
        tag[126] = c.b126;
        append(f, tag);
        writeFile(dir.file("a.mp3"), f);
        TID3v1 t;
        ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3"))) << c.what;
        EXPECT_TRUE(t.Present()) << c.what;
        EXPECT_EQ(t.Version(), c.version) << c.what;
        EXPECT_EQ(t.Track(), c.track) << c.what;
        EXPECT_EQ(t.Comment(), c.comment) << c.what;
        EXPECT_EQ(t.Title(), "Title");
        EXPECT_EQ(t.Year(), "1999");
        EXPECT_EQ(t.Genre(), "Rock");
        EXPECT_EQ(t.TotalSize(), 128);
    }
}

TEST(ID3v1, FieldsAreLatin1AndEndAtTheirFirstZero)
{
    TempDir dir;
    Bytes f = kAudio;
    std::string title = "Caf\xE9 \xFF  ";
    Bytes tag = id3v1Tag(title, "Art", "", "", "", 0, 200);
    tag[33 + 4] = 'G'; // garbage after the artist's zero byte
    append(f, tag);
    writeFile(dir.file("a.mp3"), f);
    TID3v1 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    EXPECT_EQ(t.Title(), "Café ÿ");
    EXPECT_EQ(t.Artist(), "Art");
    EXPECT_EQ(t.Genre(), "");
    EXPECT_EQ(t.GenreCode(), 200);
}

TEST(ID3v1, NoTagInShortOrUntaggedFiles)
{
    for (const Bytes& f : {Bytes{}, Bytes{'T', 'A', 'G'}, kAudio}) {
        TempDir dir;
        writeFile(dir.file("a.mp3"), f);
        TID3v1 t;
        EXPECT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
        EXPECT_FALSE(t.Present());
        EXPECT_EQ(t.TotalSize(), 0);
    }
    TID3v1 t;
    EXPECT_FALSE(t.ReadFromFile("/nonexistent.mp3"));
}

TEST(ID3v1, GenreTable)
{
    EXPECT_EQ(Genres.size(), 148u);
    EXPECT_STREQ(Genres[0], "Blues");
    EXPECT_STREQ(Genres[147], "Synthpop");
    struct Case {
        const char* name;
        int code;
    } cases[] = {{"rock", 17}, {"Rock", 17}, {"ROCK & ROLL", 78}, {"Native US", 255}, {"", 255},
                 {"Psychadelic", 67}, {"Psychadelic Rock", 255}, {"A capella", 123}, {"Acapella", 255},
                 {"Trash Metal", 255}, {"Thrash Metal", 144}, {"Rock ", 255}};
    for (const Case& c : cases) EXPECT_EQ(GenreCodeOf(c.name), c.code) << c.name;
    EXPECT_EQ(GenreName(17), "Rock");
    EXPECT_EQ(GenreName(148), "");
    EXPECT_EQ(GenreName(255), "");
    TID3v1 t;
    t.SetGenre("jazz");
    EXPECT_EQ(t.GenreCode(), 8);
    EXPECT_EQ(t.Genre(), "Jazz");
}

TEST(ID3v1, Lyrics3BlockBytesAndReadBack)
{
    TempDir dir;
    writeFile(dir.file("a.mp3"), kAudio);
    TID3v1 t;
    t.SetLyrics("la");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    Bytes b = readFile(dir.file("a.mp3"));
    ASSERT_EQ(b.size(), kAudio.size() + 31 + 15 + 128);
    std::string block(b.begin() + ptrdiff_t(kAudio.size()), b.end() - 128);
    EXPECT_EQ(block, "LYRICSBEGININD0000210LYR00002la000031LYRICS200");
    EXPECT_EQ(Bytes(b.begin(), b.begin() + ptrdiff_t(kAudio.size())), kAudio);
    EXPECT_TRUE(t.HasLyrics3());
    EXPECT_EQ(t.TotalSize(), 174);

    TID3v1 r;
    ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
    EXPECT_TRUE(r.HasLyrics3());
    EXPECT_EQ(r.Lyrics3Size(), 31);
    EXPECT_EQ(r.Lyrics(), "la");
    EXPECT_EQ(r.TotalSize(), 174);
}

TEST(ID3v1, Lyrics3FieldsReplaceTheTagValues)
{
    TempDir dir;
    std::string longTitle = "A title that is far longer than thirty characters";
    std::string fields = "IND00002" "10" "ETT" + std::string("000") + std::to_string(longTitle.size()) + longTitle +
                         "AUT00003Bob" "LYR00006a\rb\r\nc" "INF00004Nice" "IMG00005x.jpg";
    std::string block = "LYRICSBEGIN" + fields;
    char size[8];
    std::snprintf(size, sizeof size, "%06zu", block.size());
    Bytes f = kAudio;
    append(f, block + size + "LYRICS200");
    append(f, id3v1Tag("A title that is far longer th", "Artist", "", "", "old comment", 3, 1));
    writeFile(dir.file("a.mp3"), f);
    TID3v1 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    EXPECT_TRUE(t.HasLyrics3());
    EXPECT_EQ(t.Title(), longTitle);
    EXPECT_EQ(t.ExtTitle(), longTitle);
    EXPECT_EQ(t.Author(), "Bob");
    EXPECT_EQ(t.Lyrics(), "a\r\nb\r\nc");
    EXPECT_EQ(t.Comment(), "Nice");
    EXPECT_EQ(t.Image(), "x.jpg");
    EXPECT_EQ(t.Artist(), "Artist");
    EXPECT_EQ(t.Track(), 3);
    EXPECT_EQ(t.TotalSize(), int64_t(128 + block.size() + 15));

    // Setting values and saving keeps the comment, the lyrics and the long title.
    t.SetArtist("New Artist");
    t.SetTrackText("");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    TID3v1 r;
    ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
    EXPECT_EQ(r.Artist(), "New Artist");
    EXPECT_EQ(r.Title(), longTitle);
    EXPECT_EQ(r.Lyrics(), "a\r\nb\r\nc");
    EXPECT_EQ(r.Comment(), "Nice");
    EXPECT_EQ(r.Author(), "Bob");
    EXPECT_EQ(r.Image(), "x.jpg");
    EXPECT_EQ(r.Track(), 0);
    EXPECT_EQ(r.Version(), 1);
    Bytes b = readFile(dir.file("a.mp3"));
    EXPECT_EQ(Bytes(b.begin(), b.begin() + ptrdiff_t(kAudio.size())), kAudio);
}

TEST(ID3v1, BrokenLyrics3BlocksAreIgnoredOrCutShort)
{
    struct Case {
        const char* what;
        std::string block;
        bool has;
        std::string lyrics;
    } cases[] = {
        {"size not a number", "LYRICSBEGININD0000200" "00002xLYRICS200", false, ""},
        {"start marker missing", "LYRICSBEGIXIND0000200" "000021LYRICS200", false, ""},
        {"size beyond the file", "LYRICSBEGININD0000200" "999999LYRICS200", false, ""},
        // A field length reaching past the block is cut at the block's end.
        {"long field", "LYRICSBEGINLYR00099abc" "000022LYRICS200", true, "abc"},
        {"unknown field ends the walk", "LYRICSBEGINXYZ00001aLYR00001b" "000029LYRICS200", true, ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Bytes f = kAudio;
        append(f, c.block);
        append(f, id3v1Tag("T", "", "", "", "", 0, 0));
        writeFile(dir.file("a.mp3"), f);
        TID3v1 t;
        ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3"))) << c.what;
        EXPECT_EQ(t.HasLyrics3(), c.has) << c.what;
        EXPECT_EQ(t.Lyrics(), c.lyrics) << c.what;
        EXPECT_EQ(t.Title(), "T") << c.what;
    }
}

TEST(ID3v1, WritesTheTagBytes)
{
    TempDir dir;
    writeFile(dir.file("a.mp3"), kAudio);
    TID3v1 t;
    std::string forty = "0123456789012345678901234567890123456789";
    t.SetTitle(forty + "  ");
    t.SetArtist("Motörhead");
    t.SetAlbum("Ωmega"); // not ISO-8859-1: the 8-bit field cannot hold it
    t.SetYear("19999 ");
    t.SetComment("Comment");
    t.SetTrack(5);
    t.SetGenre("Rock");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    Bytes b = readFile(dir.file("a.mp3"));
    ASSERT_EQ(b.size(), kAudio.size() + 128); // a long title alone asks for no Lyrics3 block
    Bytes expected = id3v1Tag(forty.substr(0, 30), "Mot\xF6rhead", "?mega", "1999", "Comment", 5, 17);
    EXPECT_EQ(Bytes(b.end() - 128, b.end()), expected);
    EXPECT_EQ(t.Title(), forty);
    EXPECT_EQ(t.ExtTitle(), forty);

    // Track 0 writes a version 1.0 tag whose comment runs to byte 126.
    t.SetTrack(0);
    t.SetComment(std::string(30, 'k'));
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    b = readFile(dir.file("a.mp3"));
    ASSERT_EQ(b.size(), kAudio.size() + 128);
    EXPECT_EQ(tailText(b, 31), std::string(30, 'k') + "\x11");
}

TEST(ID3v1, Lyrics3WrittenOnlyWithLyricsAuthorOrImage)
{
    std::string forty(40, 't');
    struct Case {
        const char* what;
        std::string lyrics, author, image;
        bool block;
    } cases[] = {
        {"long title only", "", "", "", false},
        {"author", "", "Me", "", true},
        {"image alone with a long title", "", "", "x.jpg", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeFile(dir.file("a.mp3"), kAudio);
        TID3v1 t;
        t.SetTitle(forty);
        t.SetLyrics(c.lyrics);
        t.SetAuthor(c.author);
        t.SetImage(c.image);
        ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3"))) << c.what;
        TID3v1 r;
        ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
        EXPECT_EQ(r.HasLyrics3(), c.block) << c.what;
        EXPECT_EQ(r.Title(), c.block ? forty : forty.substr(0, 30)) << c.what;
    }
    // An image without any extended value or lyrics gets no block.
    TempDir dir;
    writeFile(dir.file("a.mp3"), kAudio);
    TID3v1 t;
    t.SetImage("x.jpg");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    EXPECT_EQ(readFile(dir.file("a.mp3")).size(), kAudio.size() + 128);
}

TEST(ID3v1, SaveReplacesInPlaceOrRewritesAndRemoveCuts)
{
    TempDir dir;
    Bytes f = kAudio;
    append(f, std::string("LYRICSBEGININD0000210LYR00003abc000032LYRICS200"));
    append(f, id3v1Tag("Old", "", "", "", "", 0, 0));
    writeFile(dir.file("a.mp3"), f);

    // Same length: only the tag bytes change.
    TID3v1 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    t.SetTitle("New");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    Bytes b = readFile(dir.file("a.mp3"));
    ASSERT_EQ(b.size(), f.size());
    EXPECT_EQ(Bytes(b.begin(), b.end() - 128), Bytes(f.begin(), f.end() - 128));

    // A shorter tail: the file is rewritten without the block.
    t.SetLyrics("");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    b = readFile(dir.file("a.mp3"));
    EXPECT_EQ(b.size(), kAudio.size() + 128);
    EXPECT_FALSE(t.HasLyrics3());
    EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.mp3"});

    ASSERT_TRUE(t.RemoveFromFile(dir.file("a.mp3")));
    EXPECT_EQ(readFile(dir.file("a.mp3")), kAudio);
    EXPECT_FALSE(t.Present());
    ASSERT_TRUE(t.RemoveFromFile(dir.file("a.mp3"))); // nothing left to cut
    EXPECT_EQ(readFile(dir.file("a.mp3")), kAudio);
}

TEST(ID3v1, FailedRewriteLeavesTheFileUntouched)
{
    TempDir dir;
    Bytes f = kAudio;
    append(f, id3v1Tag("Old", "", "", "", "", 0, 0));
    writeFile(dir.file("a.mp3"), f);
    TID3v1 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    t.SetLyrics("some lyrics");
    t.SetTitle(std::string(40, 'x'));
    TFaultyFiles full = TFaultyFiles::diskFullAfter(500);
    IoResult r = t.SaveToFile(dir.file("a.mp3"), full);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error, "No space left on device");
    EXPECT_EQ(readFile(dir.file("a.mp3")), f);
    EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.mp3"});
    TID3v1 missing;
    EXPECT_FALSE(missing.SaveToFile(dir.file("none.mp3")));
}
