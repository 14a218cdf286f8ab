// ID3v2 tags: reading versions 2.2 to 2.4 into values, and writing values back in place or by a
// rewrite that keeps every frame it does not set.
#include "audio/ID3v2.h"
#include "audio/FaultyIO.h"
#include "audio/MpegFixtures.h"
#include "audio/TextCodec.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

const Bytes kAudio = frameRun(mpegHeader(Mpeg::V1, 3, 9, 0), 417, 4);

Bytes withAudio(Bytes tag)
{
    append(tag, kAudio);
    return tag;
}

// Text frame body in UTF-16 with a byte-order mark (encoding 1), or without one (encoding 2).
Bytes utf16Body(const std::string& utf8, bool bigEndian, uint8_t enc = 1)
{
    Bytes b{enc};
    if (enc == 1) {
        if (bigEndian) { b.push_back(0xFE); b.push_back(0xFF); }
        else { b.push_back(0xFF); b.push_back(0xFE); }
    }
    append(b, utf8ToUtf16(utf8, bigEndian ? Utf16Order::BigEndian : Utf16Order::LittleEndian));
    return b;
}

Bytes unsynchronise(const Bytes& in)
{
    Bytes out;
    for (size_t i = 0; i < in.size(); ++i) {
        out.push_back(in[i]);
        if (in[i] == 0xFF && (i + 1 == in.size() || in[i + 1] == 0 || (in[i + 1] & 0xE0) == 0xE0)) out.push_back(0);
    }
    return out;
}

// A tag whose body is given as it stands in the file.
Bytes rawTag(int version, uint8_t flags, const Bytes& body)
{
    uint32_t n = uint32_t(body.size());
    Bytes t{'I', 'D', '3', uint8_t(version), 0, flags, uint8_t((n >> 21) & 0x7F), uint8_t((n >> 14) & 0x7F),
            uint8_t((n >> 7) & 0x7F), uint8_t(n & 0x7F)};
    append(t, body);
    return t;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) append(out, p);
    return out;
}

TID3v2 readTag(const Bytes& file)
{
    TempDir dir;
    writeFile(dir.file("a.mp3"), file);
    TID3v2 t;
    EXPECT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    return t;
}

int64_t tagSizeOf(const Bytes& b) { return 10 + ((b[6] << 21) | (b[7] << 14) | (b[8] << 7) | b[9]); }

const TID3v2Frame* findFrame(const TID3v2& t, const std::string& id)
{
    for (const TID3v2Frame& f : t.Frames())
        if (f.id == id) return &f;
    return nullptr;
}

} // namespace

TEST(ID3v2, ReadsValuesOfAllVersions)
{
    struct Case {
        const char* what;
        Bytes file;
        std::string title, artist, album, track, year, genre, comment;
        uint16_t trackNo;
        std::string albumArtist = "";
    } cases[] = {
        {"2.3 with fallbacks",
         id3Tag(3, {id3Frame(3, "TIT2", latin1Body("")), id3Frame(3, "TIT1", latin1Body("Intro")),
                    id3Frame(3, "TOPE", latin1Body("Orig")), id3Frame(3, "TRCK", latin1Body("07/12")),
                    id3Frame(3, "TDRC", latin1Body("2004-05-06")), id3Frame(3, "TCON", latin1Body("(17)Rock")),
                    id3Frame(3, "COMM", bytes(std::string("\0eng\0Nice", 9))),
                    id3Frame(3, "TPE2", latin1Body(" Various "))}),
         "Intro", "Orig", "", "07/12", "2004", "Rock", "Nice", 7, "Various"},
        {"2.2",
         id3Tag(2, {id3Frame(2, "TT2", latin1Body(" Title ")), id3Frame(2, "TP1", latin1Body("Art\xE9")),
                    id3Frame(2, "TAL", latin1Body("Album")), id3Frame(2, "TRK", latin1Body("3")),
                    id3Frame(2, "TYE", latin1Body("1999")), id3Frame(2, "TCO", latin1Body("(8)")),
                    id3Frame(2, "COM", bytes(std::string("\0engdesc\0Text", 13))),
                    id3Frame(2, "TP2", latin1Body("Band"))}),
         "Title", "Arté", "Album", "3", "1999", "Jazz", "Text", 3, "Band"},
        {"2.4 with a large picture first",
         id3Tag(4, {id3Frame(4, "APIC", Bytes(20000, 0xAB)), id3Frame(4, "TIT2", latin1Body("After")),
                    id3Frame(4, "TCON", latin1Body("17")), id3Frame(4, "TYER", latin1Body("")),
                    id3Frame(4, "TDRC", latin1Body("2011"))}),
         "After", "", "", "", "2011", "Rock", "", 0},
        {"later frame wins, compressed frame skipped",
         id3Tag(3, {id3Frame(3, "TIT2", latin1Body("First")), id3Frame(3, "TIT2", latin1Body("Second")),
                    id3Frame(3, "TALB", latin1Body("Hidden"), 0x80)}),
         "Second", "", "", "", "", "", "", 0},
        {"a comment without description wins over player data",
         id3Tag(3, {id3Frame(3, "COMM", bytes(std::string("\0eng\0Mine", 9))),
                    id3Frame(3, "COMM", bytes(std::string("\0engiTunNORM\0 000", 17)))}),
         "", "", "", "", "", "", "Mine", 0},
        {"later lower-case identifier ends the frames",
         id3Tag(3, {id3Frame(3, "TIT2", latin1Body("T")), id3Frame(3, "tALB", latin1Body("no"))}), "T", "", "", "",
         "", "", "", 0},
    };
    for (const Case& c : cases) {
        TID3v2 t = readTag(withAudio(c.file));
        EXPECT_TRUE(t.Present()) << c.what;
        EXPECT_EQ(t.Size(), int64_t(c.file.size())) << c.what;
        EXPECT_EQ(t.Title(), c.title) << c.what;
        EXPECT_EQ(t.Artist(), c.artist) << c.what;
        EXPECT_EQ(t.Album(), c.album) << c.what;
        EXPECT_EQ(t.TrackText(), c.track) << c.what;
        EXPECT_EQ(t.Track(), c.trackNo) << c.what;
        EXPECT_EQ(t.Year(), c.year) << c.what;
        EXPECT_EQ(t.Genre(), c.genre) << c.what;
        EXPECT_EQ(t.Comment(), c.comment) << c.what;
        EXPECT_EQ(t.AlbumArtist(), c.albumArtist) << c.what;
    }
}

TEST(ID3v2, DecodesEveryTextEncoding)
{
    const std::string cafe = "Café ÿ Ωmega";
    struct Case {
        const char* what;
        int version;
        Bytes body;
        std::string expected;
    } cases[] = {
        {"ISO-8859-1", 3, latin1Body("Caf\xE9 \xFF"), "Café ÿ"},
        {"UTF-16 little-endian with mark", 3, utf16Body(cafe, false), cafe},
        {"UTF-16 big-endian with mark", 3, utf16Body(cafe, true), cafe},
        {"UTF-16BE without mark", 4, utf16Body(cafe, true, 2), cafe},
        {"UTF-8", 4, concat({Bytes{3}, bytes(cafe)}), cafe},
        {"text ends at its terminator", 4, concat({Bytes{3}, bytes(std::string("One\0Two", 7))}), "One"},
        {"UTF-16 ends at a zero unit", 3, concat({utf16Body("Ab", false), Bytes{0, 0, 'x', 0}}), "Ab"},
        {"invalid UTF-8 is replaced", 4, Bytes{3, 'a', 0xC3}, "a\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        TID3v2 t = readTag(withAudio(id3Tag(c.version, {id3Frame(c.version, "TIT2", c.body)})));
        EXPECT_EQ(t.Title(), c.expected) << c.what;
    }
    // An unknown encoding is not text.
    EXPECT_EQ(readTag(withAudio(id3Tag(3, {id3Frame(3, "TIT2", Bytes{7, 'x'})}))).Title(), "");
}

TEST(ID3v2, CommentAndLinkDescriptionsAreSkipped)
{
    // A UTF-16 description whose units hold zero bytes at odd offsets ("A" then U+0100).
    Bytes comm{1, 'e', 'n', 'g', 0xFF, 0xFE, 'A', 0, 0x00, 0x01, 0, 0};
    append(comm, utf16Body("Text", false));
    comm.erase(comm.begin() + 12); // the text's own encoding byte is not part of a comment
    Bytes wxxx{1, 0xFF, 0xFE, 'd', 0, 0, 0};
    append(wxxx, std::string("http://x.org/é"));
    TID3v2 t = readTag(withAudio(id3Tag(3, {id3Frame(3, "COMM", comm), id3Frame(3, "WXXX", wxxx)})));
    EXPECT_EQ(t.Comment(), "Text");
    EXPECT_EQ(t.URL(), "http://x.org/Ã©");
}

TEST(ID3v2, GenreReferences)
{
    struct Case {
        const char* tcon;
        const char* genre;
    } cases[] = {{"(17)", "Rock"}, {"(17)Rock", "Rock"}, {"(17)(6)", "Rock"}, {"(17)Live Rock", "Live Rock"},
                 {"Rock (live)", "Rock (live)"}, {"((Parens))", "(Parens))"}, {"(RX)", "Remix"}, {"(CR)", "Cover"},
                 {"17", "Rock"}, {"1999", "1999"}, {"(255)", ""}, {"(xyz)Rock", "(xyz)Rock"}, {"", ""}};
    for (const Case& c : cases) EXPECT_EQ(TID3v2::genreText(c.tcon), c.genre) << c.tcon;
}

TEST(ID3v2, ExtendedHeadersAndUnsynchronisation)
{
    const Bytes title = id3Frame(3, "TIT2", utf16Body("ÿÿ Title", false));
    const Bytes album = id3Frame(3, "TALB", latin1Body("Album"));
    const Bytes ext3{0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
    const Bytes ext4{0, 0, 0, 6, 1, 0};
    const Bytes title4 = id3Frame(4, "TIT2", utf16Body("ÿÿ Title", false));
    Bytes frameUnsync = id3Frame(4, "TIT2", unsynchronise(utf16Body("ÿÿ Title", false)), 0x02);
    struct Case {
        const char* what;
        Bytes tag;
    } cases[] = {
        {"2.3 extended header", rawTag(3, 0x40, concat({ext3, title, album}))},
        {"2.4 extended header", rawTag(4, 0x40, concat({ext4, title4, id3Frame(4, "TALB", latin1Body("Album"))}))},
        {"2.3 tag-level unsynchronisation", rawTag(3, 0x80, unsynchronise(concat({title, album})))},
        {"2.3 both", rawTag(3, 0xC0, unsynchronise(concat({ext3, title, album})))},
        {"2.4 frame unsynchronisation", rawTag(4, 0, concat({frameUnsync, id3Frame(4, "TALB", latin1Body("Album"))}))},
    };
    for (const Case& c : cases) {
        TID3v2 t = readTag(withAudio(c.tag));
        EXPECT_EQ(t.Title(), "ÿÿ Title") << c.what;
        EXPECT_EQ(t.Album(), "Album") << c.what;
    }
}

TEST(ID3v2, TagsWithoutValues)
{
    // Unsupported version, a size beyond the file, no tag at all, a file too short for a header.
    TID3v2 v5 = readTag(withAudio(id3Tag(5, {id3Frame(3, "TIT2", latin1Body("x"))})));
    EXPECT_TRUE(v5.Present());
    EXPECT_EQ(v5.Title(), "");
    Bytes huge = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("x"))});
    huge[6] = 0x7F;
    TID3v2 h = readTag(huge);
    EXPECT_TRUE(h.Present());
    EXPECT_EQ(h.Size(), 0);
    EXPECT_EQ(h.Title(), "");
    EXPECT_FALSE(readTag(kAudio).Present());
    // A frame whose size reaches past the tag keeps what the tag holds of it.
    Bytes over = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Cut"))});
    over[17] = 50;
    EXPECT_EQ(readTag(withAudio(over)).Title(), "Cut");

    TempDir dir;
    writeFile(dir.file("short.mp3"), Bytes{'I', 'D', '3', 3, 0});
    TID3v2 s;
    EXPECT_FALSE(s.ReadFromFile(dir.file("short.mp3")));
    EXPECT_FALSE(s.ReadFromFile(dir.file("missing.mp3")));
}

TEST(ID3v2, WritesInPlaceWhenItFits)
{
    TempDir dir;
    Bytes file = withAudio(id3Tag(3, {id3Frame(3, "TIT2", latin1Body("x"))}, 2048 - 10 - 12));
    ASSERT_EQ(tagSizeOf(file), 2048);
    writeFile(dir.file("a.mp3"), file);
    TID3v2 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    // Six frames needing 10 + 6 * 11 + 224 = 300 bytes.
    t.SetTitle(std::string(100, 't'));
    t.SetArtist(std::string(50, 'a'));
    t.SetAlbum(std::string(50, 'b'));
    t.SetYear("2001");
    t.SetTrackText("12");
    t.SetGenre(std::string(18, 'g'));
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    Bytes b = readFile(dir.file("a.mp3"));
    ASSERT_EQ(b.size(), file.size());
    EXPECT_EQ(tagSizeOf(b), 2048);
    EXPECT_EQ(Bytes(b.begin() + 300, b.begin() + 2048), Bytes(1748, 0));
    EXPECT_EQ(Bytes(b.begin() + 2048, b.end()), kAudio);
    EXPECT_EQ(b[3], 3);
    EXPECT_EQ(t.Size(), 2048);

    TID3v2 r;
    ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
    EXPECT_EQ(r.Title(), std::string(100, 't'));
    EXPECT_EQ(r.Track(), 12);
    EXPECT_EQ(r.Year(), "2001");
    EXPECT_EQ(r.Genre(), std::string(18, 'g'));
}

TEST(ID3v2, RebuildsWhenItDoesNotFit)
{
    struct Case {
        const char* what;
        Bytes tag;
        int64_t newTagSize;
    } cases[] = {
        {"no tag", {}, 4096},
        {"tag with 10000 bytes", id3Tag(3, {id3Frame(3, "TIT2", latin1Body("x"))}, 10000 - 22), 4096},
        {"tag too small", id3Tag(3, {id3Frame(3, "TIT2", latin1Body("x"))}), 4096},
        {"frames of more than 4096 bytes", id3Tag(3, {id3Frame(3, "PRIV", Bytes(5000, 1))}), 10 + 5010 + 16},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Bytes file = withAudio(c.tag);
        writeFile(dir.file("a.mp3"), file);
        TID3v2 t;
        t.SetTitle("Title");
        ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3"))) << c.what;
        Bytes b = readFile(dir.file("a.mp3"));
        EXPECT_EQ(tagSizeOf(b), c.newTagSize) << c.what;
        EXPECT_EQ(int64_t(b.size()), c.newTagSize + int64_t(kAudio.size())) << c.what;
        EXPECT_EQ(Bytes(b.end() - ptrdiff_t(kAudio.size()), b.end()), kAudio) << c.what;
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.mp3"});
        TID3v2 r;
        ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
        EXPECT_EQ(r.Title(), "Title") << c.what;
    }
}

TEST(ID3v2, KeepsEveryFrameItDoesNotSet)
{
    TempDir dir;
    Bytes picture(6000);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t(i * 7);
    Bytes apic = concat({Bytes{0}, bytes(std::string("image/jpeg\0\3cover\0", 18)), picture});
    const Bytes frames[] = {
        id3Frame(3, "TIT2", latin1Body("Old title")),
        id3Frame(3, "APIC", apic),
        id3Frame(3, "COMM", bytes(std::string("\0engiTunNORM\0 0000 1111", 23))),
        id3Frame(3, "COMM", bytes(std::string("\0eng\0Old comment", 16))),
        id3Frame(3, "USLT", bytes(std::string("\0eng\0la la la", 13))),
        id3Frame(3, "TXXX", bytes(std::string("\0MusicBrainz\0abc", 16))),
        id3Frame(3, "UFID", bytes(std::string("http://x\0id", 11))),
        id3Frame(3, "PRIV", bytes(std::string("owner\0\xFF\xFE\x01", 9))),
        id3Frame(3, "TCOM", latin1Body("Composer")),
        id3Frame(3, "XYZW", Bytes{1, 2, 3}, 0x40),
    };
    Bytes tag = id3Tag(3, {frames[0], frames[1], frames[2], frames[3], frames[4], frames[5], frames[6], frames[7],
                           frames[8], frames[9]},
                       100);
    Bytes file = withAudio(tag);
    writeFile(dir.file("a.mp3"), file);

    TID3v2 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    const std::vector<TID3v2Frame> before = t.Frames();
    EXPECT_EQ(t.Comment(), "Old comment");
    t.SetTitle("Nouveau titre");
    t.SetArtist("Björk");
    t.SetAlbum("Homogenic");
    t.SetYear("1997");
    t.SetTrackText("5");
    t.SetGenre("Electronic");
    t.SetComment("New comment");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));

    Bytes b = readFile(dir.file("a.mp3"));
    EXPECT_EQ(Bytes(b.end() - ptrdiff_t(kAudio.size()), b.end()), kAudio);
    TID3v2 r;
    ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
    EXPECT_EQ(r.Version(), 3);
    EXPECT_EQ(r.Title(), "Nouveau titre");
    EXPECT_EQ(r.Artist(), "Björk");
    EXPECT_EQ(r.Album(), "Homogenic");
    EXPECT_EQ(r.Year(), "1997");
    EXPECT_EQ(r.TrackText(), "5");
    EXPECT_EQ(r.Genre(), "Electronic");
    EXPECT_EQ(r.Comment(), "New comment");
    EXPECT_EQ(r.Composer(), "Composer");
    // Every frame not replaced is there, byte for byte, with its flags.
    for (const TID3v2Frame& old : before) {
        if (old.id == "TIT2" || (old.id == "COMM" && old.data[4] == 0)) continue;
        bool found = false;
        for (const TID3v2Frame& now : r.Frames())
            found = found || (now.id == old.id && now.data == old.data && now.flags[0] == old.flags[0] &&
                              now.flags[1] == old.flags[1]);
        EXPECT_TRUE(found) << old.id;
    }
    EXPECT_EQ(r.Frames().size(), before.size() + 5); // TPE1, TALB, TYER, TRCK, TCON are new

    // A second save with nothing set writes the same bytes.
    ASSERT_TRUE(r.SaveToFile(dir.file("a.mp3")));
    EXPECT_EQ(readFile(dir.file("a.mp3")), b);
}

TEST(ID3v2, TextThatIsNotLatin1KeepsItsCharacters)
{
    for (int version : {3, 4}) {
        TempDir dir;
        writeFile(dir.file("a.mp3"), withAudio(id3Tag(version, {id3Frame(version, "TIT2", latin1Body("x"))}, 500)));
        TID3v2 t;
        t.SetTitle("Ωmega ÿ");
        t.SetArtist("Plain é");
        t.SetComment("Ω");
        t.SetAlbumArtist("Σύνολο");
        // Several values of a user text: in version 2.3 one text joined by "/", in one encoding.
        t.SetUserText("Artists", {"Ωmega", "Ψ"});
        ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
        TID3v2 r;
        ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
        EXPECT_EQ(r.Title(), "Ωmega ÿ");
        EXPECT_EQ(r.Artist(), "Plain é");
        EXPECT_EQ(r.Comment(), "Ω");
        EXPECT_EQ(r.AlbumArtist(), "Σύνολο");
        const std::vector<std::string> artists =
            version == 4 ? std::vector<std::string>{"Ωmega", "Ψ"} : std::vector<std::string>{"Ωmega/Ψ"};
        EXPECT_EQ(r.UserText("Artists"), artists);
        const TID3v2Frame* title = findFrame(r, "TIT2");
        ASSERT_NE(title, nullptr);
        if (version == 3) {
            EXPECT_EQ(Bytes(title->data.begin(), title->data.begin() + 3), (Bytes{1, 0xFF, 0xFE}));
        } else {
            EXPECT_EQ(title->data[0], 3);
        }
        EXPECT_EQ(findFrame(r, "TPE1")->data[0], 0);
    }
}

TEST(ID3v2, Version24StaysVersion24)
{
    TempDir dir;
    Bytes file = withAudio(id3Tag(4, {id3Frame(4, "TYER", latin1Body("1990")), id3Frame(4, "TDRC", latin1Body("1991")),
                                      id3Frame(4, "PRIV", Bytes(200, 9))},
                                  300));
    writeFile(dir.file("a.mp3"), file);
    TID3v2 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    t.SetYear("2020");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    Bytes b = readFile(dir.file("a.mp3"));
    ASSERT_EQ(b.size(), file.size()); // in place
    EXPECT_EQ(b[3], 4);
    TID3v2 r;
    ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
    EXPECT_EQ(r.Year(), "2020");
    EXPECT_EQ(findFrame(r, "TYER"), nullptr);
    ASSERT_NE(findFrame(r, "TDRC"), nullptr);
    ASSERT_NE(findFrame(r, "PRIV"), nullptr);
    EXPECT_EQ(findFrame(r, "PRIV")->data, Bytes(200, 9));
    // The 200-byte frame's size is written as four 7-bit groups: 0 0 1 72.
    auto at = std::search(b.begin(), b.end(), std::begin("PRIV"), std::begin("PRIV") + 4);
    ASSERT_NE(at, b.end());
    EXPECT_EQ(Bytes(at + 4, at + 8), (Bytes{0, 0, 1, 72}));
}

TEST(ID3v2, Version22BecomesVersion23)
{
    TempDir dir;
    Bytes pic = concat({Bytes{0}, bytes("JPG"), Bytes{3}, bytes(std::string("d\0", 2)), Bytes(300, 0xEE)});
    Bytes file = withAudio(id3Tag(2, {id3Frame(2, "TT2", latin1Body("Title")), id3Frame(2, "TP1", latin1Body("Artist")),
                                      id3Frame(2, "PIC", pic), id3Frame(2, "CRM", Bytes{1, 2, 3}),
                                      id3Frame(2, "ULT", bytes(std::string("\0eng\0words", 10)))}));
    writeFile(dir.file("a.mp3"), file);
    TID3v2 t;
    ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
    t.SetAlbum("Album");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    TID3v2 r;
    ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
    EXPECT_EQ(r.Version(), 3);
    EXPECT_EQ(r.Title(), "Title");
    EXPECT_EQ(r.Artist(), "Artist");
    EXPECT_EQ(r.Album(), "Album");
    const TID3v2Frame* apic = findFrame(r, "APIC");
    ASSERT_NE(apic, nullptr);
    EXPECT_EQ(apic->data, concat({Bytes{0}, bytes(std::string("image/jpeg\0", 11)), Bytes{3},
                                  bytes(std::string("d\0", 2)), Bytes(300, 0xEE)}));
    ASSERT_NE(findFrame(r, "USLT"), nullptr);
    EXPECT_EQ(r.Frames().size(), 5u); // TIT2, TPE1, APIC, USLT and the new TALB; CRM has no counterpart
}

TEST(ID3v2, UnsynchronisedAndExtendedTagsAreWrittenPlain)
{
    TempDir dir;
    const Bytes ext3{0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
    Bytes priv = id3Frame(3, "PRIV", Bytes{'o', 0, 0xFF, 0xE0, 0xFF, 0});
    writeFile(dir.file("a.mp3"), withAudio(rawTag(3, 0xC0, unsynchronise(concat({ext3, priv, Bytes(50, 0)})))));
    TID3v2 t;
    t.SetTitle("T");
    ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3")));
    Bytes b = readFile(dir.file("a.mp3"));
    EXPECT_EQ(b[5], 0); // no flags
    TID3v2 r;
    ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
    ASSERT_NE(findFrame(r, "PRIV"), nullptr);
    EXPECT_EQ(findFrame(r, "PRIV")->data, (Bytes{'o', 0, 0xFF, 0xE0, 0xFF, 0}));
    EXPECT_EQ(r.Title(), "T");
    EXPECT_EQ(Bytes(b.end() - ptrdiff_t(kAudio.size()), b.end()), kAudio);
}

TEST(ID3v2, TrackValues)
{
    struct Case {
        const char* what;
        std::string text;
        bool useNumber;
        uint16_t number;
        std::string written; // empty: no TRCK frame
    } cases[] = {
        {"number", "", true, 7, "7"},    {"zero", "", true, 0, ""},        {"text kept", "07/12", false, 0, "07/12"},
        {"empty", "", false, 0, ""},     {"not a number", "x", false, 0, ""}, {"blank", "  ", false, 0, ""},
        {"too large", "70000", false, 0, ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeFile(dir.file("a.mp3"), withAudio(id3Tag(3, {id3Frame(3, "TRCK", latin1Body("9"))}, 100)));
        TID3v2 t;
        if (c.useNumber)
            t.SetTrack(c.number);
        else
            t.SetTrackText(c.text);
        ASSERT_TRUE(t.SaveToFile(dir.file("a.mp3"))) << c.what;
        TID3v2 r;
        ASSERT_TRUE(r.ReadFromFile(dir.file("a.mp3")));
        EXPECT_EQ(r.TrackText(), c.written) << c.what;
        EXPECT_EQ(findFrame(r, "TRCK") != nullptr, !c.written.empty()) << c.what;
    }
}

TEST(ID3v2, FailedRewriteLeavesTheFileUntouched)
{
    struct Case {
        const char* what;
        TFaultyFiles files;
    } cases[] = {
        {"write fails after the tag", TFaultyFiles::diskFullAfter(4200)},
        {"write fails in the tag", TFaultyFiles::diskFullAfter(100, EIO)},
        {"rename fails", TFaultyFiles::renameFails(EXDEV)},
    };
    for (Case& c : cases) {
        TempDir dir;
        Bytes file = withAudio(id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Old"))}));
        writeFile(dir.file("a.mp3"), file);
        TID3v2 t;
        ASSERT_TRUE(t.ReadFromFile(dir.file("a.mp3")));
        t.SetTitle(std::string(500, 'n'));
        IoResult r = t.SaveToFile(dir.file("a.mp3"), c.files);
        EXPECT_FALSE(r) << c.what;
        EXPECT_FALSE(r.error.empty()) << c.what;
        EXPECT_EQ(readFile(dir.file("a.mp3")), file) << c.what;
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.mp3"}) << c.what;
    }
    TID3v2 t;
    t.SetTitle("x");
    EXPECT_FALSE(t.SaveToFile("/nonexistent/a.mp3"));
}

// User texts (TXXX) and unique file identifiers (UFID) by description and owner: replaced where the
// first one stood, others of other descriptions and owners kept; several values separated by zero
// characters in version 2.4 and by "/" in version 2.3.
TEST(ID3v2, UserTextsAndUniqueFileIds)
{
    auto txxx = [](const std::string& description, const std::string& value) {
        Bytes b{0};
        append(b, description);
        b.push_back(0);
        append(b, value);
        return b;
    };
    auto ufid = [](const std::string& owner, const std::string& id) {
        Bytes b = bytes(owner);
        b.push_back(0);
        append(b, id);
        return b;
    };
    for (int version : {3, 4}) {
        SCOPED_TRACE(version);
        TempDir dir;
        const std::string path = dir.file("a.mp3");
        writeFile(path, withAudio(id3Tag(version,
                                         {id3Frame(version, "TXXX", txxx("musicbrainz album id", "old")),
                                          id3Frame(version, "TXXX", txxx("Other", "kept")),
                                          id3Frame(version, "UFID", ufid("http://example.org", "other")),
                                          id3Frame(version, "UFID", ufid("http://musicbrainz.org", "old")),
                                          id3Frame(version, "TXXX", txxx("MusicBrainz Album Id", "second"))},
                                         100)));
        TID3v2 t;
        ASSERT_TRUE(t.ReadFromFile(path));
        EXPECT_EQ(t.UserText("MusicBrainz Album Id"), std::vector<std::string>{"old"}); // the first one
        t.SetUserText("MusicBrainz Album Id", {"new"});
        t.SetUserText("MusicBrainz Artist Id", {"a", "b"});
        t.SetUniqueFileId("http://musicbrainz.org", "rec");
        t.SetUniqueFileId("http://example.org/too-long", std::string(65, 'x')); // over 64 bytes: nothing
        ASSERT_TRUE(t.SaveToFile(path));

        TID3v2 r;
        ASSERT_TRUE(r.ReadFromFile(path));
        EXPECT_EQ(r.UserText("MusicBrainz Album Id"), std::vector<std::string>{"new"});
        EXPECT_EQ(r.UserText("Other"), std::vector<std::string>{"kept"});
        const std::vector<std::string> artists =
            version == 4 ? std::vector<std::string>{"a", "b"} : std::vector<std::string>{"a/b"};
        EXPECT_EQ(r.UserText("MusicBrainz Artist Id"), artists);
        EXPECT_EQ(r.UniqueFileId("http://musicbrainz.org"), "rec");
        EXPECT_EQ(r.UniqueFileId("http://example.org"), "other");
        EXPECT_EQ(r.UniqueFileId("http://example.org/too-long"), "");
        std::vector<std::string> ids;
        for (const TID3v2Frame& f : r.Frames()) ids.push_back(f.id);
        EXPECT_EQ(ids, (std::vector<std::string>{"TXXX", "TXXX", "UFID", "UFID", "TXXX"}));

        // No values remove the frames.
        r.SetUserText("MusicBrainz Artist Id", {});
        r.SetUniqueFileId("http://musicbrainz.org", "");
        ASSERT_TRUE(r.SaveToFile(path));
        ASSERT_TRUE(r.ReadFromFile(path));
        EXPECT_TRUE(r.UserText("MusicBrainz Artist Id").empty());
        EXPECT_EQ(r.UniqueFileId("http://musicbrainz.org"), "");
        EXPECT_EQ(r.UniqueFileId("http://example.org"), "other");
    }
}
