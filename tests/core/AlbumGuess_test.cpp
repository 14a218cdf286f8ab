// The album guess of the name query: tags, then the file name, then the folder name.
#include "core/AlbumGuess.h"

#include "audio/MpegFixtures.h"

#include <gtest/gtest.h>

using namespace cantorix;

TEST(AlbumGuess, FromTagsFileNameOrFolder)
{
    struct Case {
        const char* name;
        QString folder, file, tagArtist, tagAlbum;
        TAlbumGuess expected;
    } cases[] = {
        {"both tags win over every name", "/m/P - Q", "A - B - 01 - T.mp3", "X", "Y", {"X", "Y"}},
        {"file-name values are not trimmed", "/m/P - Q", "A - B - 01 - T.mp3", "", "", {"A ", " B "}},
        {"an artist without an album tag is not kept", "/m/P - Q", "A - B - 01 - T.mp3", "X", "", {"A ", " B "}},
        {"a name starting with 01 falls through to the folder", "/m/X - Y [2004]", "01 - T.mp3", "", "", {"X", "Y"}},
        {"no album in the name: the folder, cut before \"(\", untrimmed", "/m/Best_Of (1999)", "A - T.mp3", "", "",
         {"", "Best Of "}},
        {"the folder's first and last hyphen", "/m/X - Y - Z", "T.mp3", "", "", {"X", "Z"}},
        {"a trailing \"/\" of the folder is ignored", "/m/X - Y/", "T.mp3", "", "", {"X", "Y"}},
        {"underscores are spaces and the extension goes", "/m/F", "Some_Band-Great_Album.mp3-x.mp3", "", "",
         {"Some Band", "Great Album"}},
        {"a one-letter artist is none", "/m/P - Q", "A-B-C.mp3", "", "", {"P", "Q"}},
        {"pairs of spaces become one, once", "/m/F", "Tag", "Two  Spaces", "Three   Spaces",
         {"Two Spaces", "Three  Spaces"}},
        {"the root folder", "/", "T.mp3", "", "", {"", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GuessAlbum(c.folder, c.file, c.tagArtist, c.tagAlbum), c.expected)
            << c.name << ": " << GuessAlbum(c.folder, c.file, c.tagArtist, c.tagAlbum).Artist.toStdString() << "|"
            << GuessAlbum(c.folder, c.file, c.tagArtist, c.tagAlbum).Album.toStdString();
}

TEST(AlbumGuess, ReadsTheFilesOwnTags)
{
    test::TempDir dir;
    // MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz), then an ID3v1 tag: "TAG", title, artist and
    // album of 30 bytes each, year, comment, genre.
    test::Bytes mp3 = test::frameRun(test::mpegHeader(test::Mpeg::V1, 3, 9, 0), 417, 20);
    std::string tag = "TAG";
    auto field = [&](const std::string& v, size_t n) { tag += v + std::string(n - v.size(), '\0'); };
    field("Title", 30);
    field("Tag Artist", 30);
    field("Tag Album", 30);
    field("1999", 4);
    field("", 30);
    tag += char(255);
    mp3.insert(mp3.end(), tag.begin(), tag.end());
    test::writeFile(dir.file("01 - x.mp3"), mp3);
    test::writeFile(dir.file("A - B - 01 - T.mp3"), test::Bytes(100, 0));

    const QString folder = QString::fromStdString(dir.str()) + "/";
    EXPECT_EQ(GuessAlbumFromFile(folder, "01 - x.mp3"), (TAlbumGuess{"Tag Artist", "Tag Album"}));
    EXPECT_EQ(GuessAlbumFromFile(folder, "A - B - 01 - T.mp3"), (TAlbumGuess{"A ", " B "}));
}
