// Rename by tag on real tagged files (lame, flac, oggenc): the proposals, edited values, refused names,
// files already named right, untagged files and a Latin-1 file name.
#include "core/rename/RenameByTag.h"
#include "core/rename/NameFormat.h"
#include "support/TaggedAudio.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace cantorix;
using namespace cantorix::test;

namespace {

const TTestTags kAlbum{"", "The Artist", "The Album", "2001", ""};

TTestTags track(const std::string& title, const std::string& number)
{
    TTestTags t = kAlbum;
    t.title = title;
    t.track = number;
    return t;
}

std::vector<std::string> run(const std::string& folder, const std::vector<TTagProposal>& proposals)
{
    std::vector<std::string> lines;
    RunRenameByTag(folder, proposals, [&](const std::string& line) { lines.push_back(line); });
    return lines;
}

bool has(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

TEST(RenameByTag, ProposesFromEachFormatsTagsAndRenames)
{
    TempDir work, album;
    const std::string latin1 = "caf\xE9.mp3"; // an old Latin-1 name, not UTF-8
    struct {
        std::string name, format;
        TTestTags tags;
        std::string proposal;
    } files[] = {
        {"a.mp3", "mp3", track("First", "1"), "The Artist - The Album - 01 - First.mp3"},
        {"b.flac", "flac", track("Second: Part/Two", "2"), "The Artist - The Album - 02 - Second- Part - Two.flac"},
        {"c.ogg", "ogg", track("Third", "3"), "The Artist - The Album - 03 - Third.ogg"},
        {latin1, "mp3", track("Fourth", "4"), "The Artist - The Album - 04 - Fourth.mp3"},
        // Already named right: no move, no line.
        {"The Artist - The Album - 05 - Fifth.flac", "flac", track("Fifth", "5"),
         "The Artist - The Album - 05 - Fifth.flac"},
        // Untagged files and a format without tags keep their names.
        {"untagged.ogg", "ogg", {}, "untagged.ogg"},
        {"plain.wav", "wav", track("Ignored", "6"), "plain.wav"},
    };
    std::vector<std::string> names;
    for (const auto& f : files) {
        if (!makeTaggedFile(work, album.file(f.name), f.format, f.tags))
            GTEST_SKIP() << "the tools that make " << f.format << " files are not installed";
        names.push_back(f.name);
    }

    const std::vector<TTagProposal> proposals = ProposeTagNames(album.str(), names, TRenameByTagOptions{});
    ASSERT_EQ(proposals.size(), std::size(files));
    for (size_t i = 0; i < proposals.size(); ++i) {
        EXPECT_EQ(proposals[i].OldName, files[i].name);
        EXPECT_EQ(proposals[i].NewName, files[i].proposal) << files[i].name;
    }

    EXPECT_EQ(run(album.str(), proposals), std::vector<std::string>{TagRenameEndLine});
    const std::vector<std::string> after = listFiles(album.str());
    for (const auto& f : files) EXPECT_TRUE(has(after, f.proposal)) << f.proposal;
    EXPECT_FALSE(has(after, latin1));
    EXPECT_EQ(after.size(), std::size(files));
}

TEST(RenameByTag, EditedRefusedAndCollidingNames)
{
    TempDir album;
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3", "6.mp3", "7.mp3", "a=b.mp3"})
        writeText(album.file(name), name);
    writeText(album.file("taken.mp3"), "taken");
    const std::vector<TTagProposal> proposals = {
        {"1.mp3", "My own name.mp3"},   // edited by the user
        {"2.mp3", "../x"},              // would leave the folder
        {"3.mp3", ".."},                // the parent
        {"4.mp3", "line\nbreak.mp3"},   // a control character
        {"5.mp3", "taken.mp3"},         // never replaces a file
        {"6.mp3", "trailing.mp3 . "},   // trailing dots and spaces go
        {"7.mp3", "7.MP3"},             // a change of letter case is a real move
        {"a=b.mp3", "c=d.mp3"},         // names hold "=" intact
    };
    const std::vector<std::string> lines = run(album.str(), proposals);
    const std::string invalid = InvalidNameReason();
    EXPECT_EQ(invalid, "Invalid argument");
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Rename error: \"2.mp3\" (Invalid argument)",
                         "Rename error: \"3.mp3\" (Invalid argument)",
                         "Rename error: \"4.mp3\" (Invalid argument)",
                         "Rename error: \"5.mp3\" (File exists)",
                         TagRenameEndLine,
                     }));
    EXPECT_EQ(listFiles(album.str()),
              (std::vector<std::string>{"2.mp3", "3.mp3", "4.mp3", "5.mp3", "7.MP3", "My own name.mp3", "c=d.mp3",
                                        "taken.mp3", "trailing.mp3"}));
    EXPECT_EQ(readText(album.file("taken.mp3")), "taken");
    EXPECT_EQ(readText(album.file("My own name.mp3")), "1.mp3");
}

TEST(RenameByTag, TypedNames)
{
    struct {
        const char* typed;
        const char* cleaned; // null: refused
    } cases[] = {
        {"a.mp3", "a.mp3"},   {"a.mp3  ", "a.mp3"}, {"a.mp3..", "a.mp3"}, {" a.mp3", " a.mp3"},
        {"", nullptr},        {".", nullptr},       {"..", nullptr},      {". .", nullptr},
        {"a/b", nullptr},     {"tab\there", nullptr}, {"del\x7F", nullptr},
    };
    for (const auto& c : cases) {
        const auto got = CleanTypedName(c.typed);
        if (c.cleaned) {
            ASSERT_TRUE(got.has_value()) << c.typed;
            EXPECT_EQ(*got, c.cleaned);
        } else {
            EXPECT_FALSE(got.has_value()) << c.typed;
        }
    }
    EXPECT_FALSE(CleanTypedName(std::string("nul\0x", 5)).has_value());
}

TEST(RenameByTag, ControlCharactersInTagsNeverReachTheName)
{
    TNameValues v;
    v.Artist = "A";
    v.Album = "B";
    v.Title = "Line\none\ttwo";
    v.TrackNo = "1";
    EXPECT_EQ(BuildFileName(PrepareNameTemplate(DefaultNameFormat), v, ".mp3", true, TNameVariant::RenameByTag),
              "A - B - 01 - Line one two.mp3");
    EXPECT_EQ(BuildPlaylistName("A\r\n", "B\x7F"), "A - B ");
}

// An ID3v2 track text "1/15" gives the number before "/", padded as an ID3v1 number is ("01"); a file
// whose tags give no number is marked, since its name has an empty place where the number goes.
TEST(RenameByTag, TrackTextWithATotalAndNoNumber)
{
    TempDir work, album;
    if (!makeTaggedFile(work, album.file("a.mp3"), "mp3", track("First", "1/15")) ||
        !makeTaggedFile(work, album.file("b.flac"), "flac", track("Second", "2/15")) ||
        !makeTaggedFile(work, album.file("c.mp3"), "mp3", track("Third", "")))
        GTEST_SKIP() << "lame or flac is not installed";
    const std::vector<TTagProposal> p = ProposeTagNames(album.str(), {"a.mp3", "b.flac", "c.mp3"}, TRenameByTagOptions{});
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].NewName, "The Artist - The Album - 01 - First.mp3");
    EXPECT_EQ(p[1].NewName, "The Artist - The Album - 02 - Second.flac");
    EXPECT_FALSE(p[0].NoNumber || p[1].NoNumber);
    EXPECT_TRUE(p[2].NoNumber);
    EXPECT_EQ(p[2].NewName.find(" - 15"), std::string::npos);
    // Without "#" in the format no number is missing.
    TRenameByTagOptions titles;
    titles.NameFormat = "track";
    EXPECT_FALSE(ProposeTagNames(album.str(), {"c.mp3"}, titles)[0].NoNumber);
    EXPECT_EQ(TagTrackNumber(" 7 / 12"), "7");
}
