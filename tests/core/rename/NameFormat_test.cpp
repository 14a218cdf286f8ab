#include "core/rename/NameFormat.h"

#include <gtest/gtest.h>

#include <optional>

namespace cantorix {
namespace {

const char* const kDefault = "artist - album - # - track";

TEST(NameFormat, PrepareTemplateMarksKeywordsInAnyCaseAndInsideWords)
{
    EXPECT_EQ(PrepareNameTemplate("Artist - ALBUM - # - Track"), "$artist$ - $album$ - $#$ - $track$");
    EXPECT_EQ(PrepareNameTemplate("tracks by artists"), "$track$s by $artist$s");
    EXPECT_EQ(PrepareNameTemplate("Yearbook"), "$year$book");
    EXPECT_EQ(PrepareNameTemplate("no keywords"), "no keywords");
    // "trackartist" is one keyword, not "track" and "artist"; "disc" is one too.
    EXPECT_EQ(PrepareNameTemplate("Disc-# TrackArtist - track (artist)"), "$disc$-$#$ $ta$ - $track$ ($artist$)");
}

struct FileNameCase {
    const char* what;
    const char* format;
    TNameVariant variant;
    bool fixUnderScores;
    TNameValues values; // Artist, Album, Year, Title, TrackNo
    const char* extension;
    const char* expected;
};

constexpr auto Run = TNameVariant::RenameRun;
constexpr auto Tag = TNameVariant::RenameByTag;

const FileNameCase kFileNameCases[] = {
    {"all values", kDefault, Run, true, {"A", "B", "", "T", "01"}, ".mp3", "A - B - 01 - T.mp3"},
    {"empty album keeps the hyphen pair", kDefault, Run, true, {"A", "", "", "T", "01"}, ".mp3", "A - - 01 - T.mp3"},
    {"empty title trims before the extension", kDefault, Run, true, {"A", "B", "", "", "01"}, ".mp3",
     "A - B - 01 -.mp3"},
    {"all empty", kDefault, Run, true, {"", "", "", "", ""}, ".mp3", "- - -.mp3"},
    {"colon slash question mark", kDefault, Run, true, {"AC/DC", "Live: 1991", "", "What?", "01"}, ".mp3",
     "AC - DC - Live- 1991 - 01 - What.mp3"},
    {"underscores fixed", kDefault, Run, true, {"My_Band", "B", "", "T", "01"}, ".mp3", "My Band - B - 01 - T.mp3"},
    {"underscores kept", kDefault, Run, false, {"My_Band", "B", "", "T", "01"}, ".mp3", "My_Band - B - 01 - T.mp3"},
    {"backslash ends as a space", kDefault, Run, true, {"A\\B", "C", "", "T", "01"}, ".mp3", "A B - C - 01 - T.mp3"},
    {"backslash ends as underscore", kDefault, Run, false, {"A\\B", "C", "", "T", "01"}, ".mp3", "A_B - C - 01 - T.mp3"},
    {"empty parentheses go after the trim", "# - track (year)", Run, true, {"", "", "", "T", "5"}, ".flac",
     "5 - T .flac"},
    {"rename by tag pads one digit", "# - track (year)", Tag, true, {"", "", "", "T", "5"}, ".flac", "05 - T .flac"},
    {"rename by tag pads one non-ASCII character", "#", Tag, true, {"", "", "", "", "\xc3\xa9"}, ".mp3",
     "0\xc3\xa9.mp3"},
    {"rename by tag leaves two digits", "#", Tag, true, {"", "", "", "", "12"}, ".mp3", "12.mp3"},
    {"keyword inside a word", "tracks", Run, true, {"A", "B", "", "T", "01"}, ".mp3", "Ts.mp3"},
    {"keywords in any case", "ARTIST - Album - # - TRACK (Year)", Run, true, {"A", "B", "1999", "T", "01"}, ".ogg",
     "A - B - 01 - T (1999).ogg"},
    {"non-ASCII passes unchanged", kDefault, Run, true,
     {"Bj\xc3\xb6rk", "Homog\xc3\xa9nic", "", "J\xc3\xb3ga", "01"}, ".mp3",
     "Bj\xc3\xb6rk - Homog\xc3\xa9nic - 01 - J\xc3\xb3ga.mp3"},
    {"a value holding a later placeholder is expanded", kDefault, Run, true, {"$TRACK$", "B", "", "X", "01"}, ".mp3",
     "X - B - 01 - X.mp3"},
    {"a value holding an earlier placeholder is not", kDefault, Run, true, {"A", "B", "", "$artist$", "01"}, ".mp3",
     "A - B - 01 - $artist$.mp3"},
    {"the track's artist and the disc", "disc-# - trackartist - track", Run, true, {"Various", "B", "", "T", "01", "X", "2"},
     ".mp3", "2-01 - X - T.mp3"},
    {"no track artist: the album's stands for it", "trackartist - track", Run, true, {"A", "B", "", "T", "01"}, ".mp3",
     "A - T.mp3"},
    {"a single disc leaves its place empty", "album (disc) - # - track", Run, true, {"A", "B", "", "T", "01"}, ".mp3",
     "B - 01 - T.mp3"},
    {"the remaining forbidden characters", "track", Run, false, {"", "", "", "a|b*c<d>e\"f", ""}, ".mp3",
     "a_b c-d-e f.mp3"},
    {"hyphen runs in the rename run", kDefault, Run, true, {"A", "-", "", "T", "01"}, ".mp3", "A - - 01 - T.mp3"},
    {"hyphen runs in rename by tag", kDefault, Tag, true, {"A", "-", "", "T", "01"}, ".mp3", "A - 01 - T.mp3"},
    {"empty brackets removed", "artist [year]", Run, true, {"A", "", "", "", ""}, ".mp3", "A .mp3"},
    {"eight spaces become one", "track", Run, true, {"", "", "", "x        y", ""}, ".mp3", "x y.mp3"},
    {"nine spaces become two", "track", Run, true, {"", "", "", "x         y", ""}, ".mp3", "x  y.mp3"},
    {"control characters trimmed at both ends", "track", Run, true, {"", "", "", "\t T \r\n", ""}, ".mp3", "T.mp3"},
    {"no extension", kDefault, Run, true, {"A", "B", "", "T", "01"}, "", "A - B - 01 - T"},
    {"extension letters kept", kDefault, Run, true, {"A", "B", "", "T", "01"}, ".Mp3", "A - B - 01 - T.Mp3"},
};

class BuildFileNameTest : public testing::TestWithParam<FileNameCase> {};

TEST_P(BuildFileNameTest, BuildsTheCleanName)
{
    const FileNameCase& c = GetParam();
    EXPECT_EQ(BuildFileName(PrepareNameTemplate(c.format), c.values, c.extension, c.fixUnderScores, c.variant),
              c.expected)
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(Examples, BuildFileNameTest, testing::ValuesIn(kFileNameCases));

TEST(NameFormat, OldNameExtensionIsFromTheLastDotAsOnDisk)
{
    EXPECT_EQ(OldNameExtension("a.b.Mp3"), ".Mp3");
    EXPECT_EQ(OldNameExtension("noext"), "");
    EXPECT_EQ(OldNameExtension("trailing."), ".");
    EXPECT_EQ(OldNameExtension(".hidden"), ".hidden");
}

TEST(NameFormat, FolderNames)
{
    struct Case {
        const char *artist, *album, *year;
        int format;
        const char* expected;
    } cases[] = {
        {"A", "B", "1999", 0, "A [1999] - B"},
        {"A", "B", "1999", 1, "A - B"},
        {"A", "B", "1999", 2, "1999 - B"},
        {"A", "B", "1999", 3, "B [1999]"},
        {"A", "B", "1999", 4, "B"},
        {"A", "B", "1999", 5, "A [1999] - B"}, // the disc item without a disc
        {"A", "B", "1999", 6, ""},
        {"A", "B", "1999", -1, ""},
        {"A", "B", "", 0, "A - B"},
        {"A", "B", "", 2, "A - B"},
        {"A", "B", "", 4, "A - B"},
        {"A", "Best? of", "1999", 0, "A [1999] - Best of"},
        {"AC/DC", "Live: 1991", "", 0, "AC_DC - Live_ 1991"},
        {"a/\\b", "c|*d", "", 1, "a_b - c_d"},
        {"<x>", "\"y\"", "", 1, "_x_ - _y_"},
        {"A", "B []", "", 1, "A - B "},       // no trimming
        {" A", "B  _", "", 1, " A - B _"},    // no underscore-to-space, no trim
        {"A", "B ()", "", 1, "A - B ()"},     // parentheses stay
        {"A", "", "1999", 3, " [1999]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildFolderName(c.artist, c.album, c.year, c.format), c.expected)
            << c.artist << " / " << c.album << " / " << c.year << " / " << c.format;
}

TEST(NameFormat, TheDiscFolderItemNamesOneDiscOfASet)
{
    const int disc = FolderFormatCount - 1;
    EXPECT_STREQ(FolderFormatItems[disc], "artist [year] - album (CD disc)");
    EXPECT_EQ(BuildFolderName("A", "B", "1999", disc, "2"), "A [1999] - B (CD 2)");
    EXPECT_EQ(BuildFolderName("A", "B", "", disc, "2"), "A - B (CD 2)");
    EXPECT_EQ(BuildFolderName("A", "B", "1999", disc, ""), "A [1999] - B");
    EXPECT_EQ(BuildFolderName("A", "B", "1999", 0, "2"), "A [1999] - B"); // only that item takes the disc
}

TEST(NameFormat, NamesForDevices)
{
    const struct {
        const char* name;
        TNameKind kind;
        const char* expected;
    } cases[] = {
        {"a:b", TNameKind::File, "a - b"},
        {"a:b", TNameKind::Folder, "a_b"},
        {"<x>|\"y\"?*\\z", TNameKind::Folder, "_x___y____z"},
        {"Greatest Hits Vol. ..", TNameKind::Folder, "Greatest Hits Vol"},
        {"Title. .mp3", TNameKind::File, "Title. .mp3"}, // the end of the name counts, not the stem's
        {"CON", TNameKind::Folder, "CON_"},
        {"con.mp3", TNameKind::File, "con_.mp3"},
        {"Nul.tar.gz", TNameKind::File, "Nul_.tar.gz"},
        {"lpt9 .flac", TNameKind::File, "lpt9 _.flac"},
        {"COM\xc2\xb9.ogg", TNameKind::File, "COM\xc2\xb9_.ogg"},
        {"COM10.ogg", TNameKind::File, "COM10.ogg"},
        {"Console.mp3", TNameKind::File, "Console.mp3"},
        {"AUX.", TNameKind::Folder, "AUX_"},
        {"...", TNameKind::Folder, "_"},
        {"Bj\xc3\xb6rk", TNameKind::Folder, "Bj\xc3\xb6rk"},
    };
    for (const auto& c : cases) EXPECT_EQ(PortableName(c.name, c.kind), c.expected) << c.name;

    // A device counts UTF-16 units: a character beyond the BMP is two.
    EXPECT_EQ(Utf16Length("a\xe6\x97\xa5\xf0\x9f\x98\x80"), 4u);
    EXPECT_EQ(FitNameLength("\xf0\x9f\x98\x80\xf0\x9f\x98\x80.mp3", 255, 7), "\xf0\x9f\x98\x80.mp3");
    // 300 characters of three bytes fit a folder that takes 1,530 bytes (vfat as Linux mounts it), but
    // not a device's 255 units: the portable name is fitted to those.
    std::string title;
    for (int i = 0; i < 300; ++i) title += "\xe6\x97\xa5";
    const TNameValues v{"A", "B", "", title, "01"};
    const auto plain = BuildFittedFileName(PrepareNameTemplate(kDefault), v, ".mp3", true, TNameVariant::RenameRun, 1530);
    const auto device =
        BuildFittedFileName(PrepareNameTemplate(kDefault), v, ".mp3", true, TNameVariant::RenameRun, 1530, true);
    ASSERT_TRUE(plain && device);
    EXPECT_FALSE(plain->Shortened);
    EXPECT_TRUE(device->Shortened);
    EXPECT_LE(Utf16Length(device->Name), PortableNameUnits);
    EXPECT_EQ(device->Name.substr(0, 12), "A - B - 01 -");
    EXPECT_EQ(device->Name.substr(device->Name.size() - 4), ".mp3");
}

TEST(NameFormat, VariousArtistsAndTrackCredits)
{
    for (const char* various : {"Various", "various artists", " VA ", "Various Artists"}) EXPECT_TRUE(IsVariousArtists(various));
    for (const char* one : {"Various Artistes", "V.A.", "Vanessa", ""}) EXPECT_FALSE(IsVariousArtists(one)) << one;
    const struct {
        const char *title, *artist, *rest;
    } cases[] = {
        {"AC/DC / Thunderstruck", "AC/DC", "Thunderstruck"},
        {"A / B / C", "A", "B / C"},
        {"Intro/Outro", "", "Intro/Outro"},
        {" Lone ", "", "Lone"},
    };
    for (const auto& c : cases) {
        const TTrackCredit credit = SplitTrackArtist(c.title);
        EXPECT_EQ(credit.Artist, c.artist) << c.title;
        EXPECT_EQ(credit.Title, c.rest) << c.title;
    }
}

TEST(NameFormat, PlaylistNames)
{
    struct Case {
        const char *artist, *album, *expected;
    } cases[] = {
        {"A", "B", "A - B"},
        {"A", "B []", "A - B []"}, // unlike the folder name, empty brackets stay
        {"AC/DC", "Live: 1991?", "AC_DC - Live_ 1991"},
        {"a\\|*b", "<c>", "a__b - _c_"}, // "___" is one "__" and one "_"
        {"", "", " - "},
        {"A    B", "C", "A B - C"},
    };
    for (const Case& c : cases) EXPECT_EQ(BuildPlaylistName(c.artist, c.album), c.expected) << c.artist;
}

TEST(NameFormat, ReplaceDoesNotRescanInsertedText)
{
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("- - -", "- -", "-"), "- -");
    EXPECT_EQ(ReplaceAllIgnoreCase("xArTiStx", "artist", "$artist$"), "x$artist$x");
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
}

TEST(NameFormat, FitNameLengthCutsTheStemAtACharacter)
{
    const struct {
        std::string name;
        size_t limit;
        std::string expected;
    } cases[] = {
        {"short.mp3", 255, "short.mp3"},
        {"abcdef.mp3", 8, "abcd.mp3"},
        {"ab\xc3\xa9" "def.mp3", 7, "ab.mp3"},      // "é" would be split: it goes whole
        {"ab \xc3\xa9.ogg", 7, "ab.ogg"},          // no trailing space before the extension
        {"noextension", 4, "noex"},
        {"a.verylongextension", 6, "a.very"},     // an extension longer than the limit is no extension
        {std::string(300, 'x') + ".flac", 255, std::string(250, 'x') + ".flac"},
    };
    for (const auto& c : cases) EXPECT_EQ(FitNameLength(c.name, c.limit), c.expected) << c.name;
}

// The name a file is moved to: never hidden or empty because a value was empty, and fitted by
// shortening the longest values, never the number, the title's start or the extension.
TEST(NameFormat, FittedFileNames)
{
    const std::string longAlbum(230, 'B');
    const std::string ellipsis = "\xe2\x80\xa6";
    const struct {
        const char* what;
        std::string format;
        TNameValues values; // Artist, Album, Year, Title, TrackNo
        const char* extension;
        size_t limit;
        std::optional<std::string> expected; // nothing: no usable name
        bool shortened;
    } cases[] = {
        {"fits", kDefault, {"A", "B", "", "T", "01"}, ".mp3", 255, "A - B - 01 - T.mp3", false},
        {"only the extension is left", "track", {"A", "B", "", "", "01"}, ".flac", 255, std::nullopt, false},
        {"empty parentheses", "(year)", {"A", "B", "", "T", "01"}, ".flac", 255, std::nullopt, false},
        {"nothing at all", "track", {"", "", "", "", ""}, "", 255, std::nullopt, false},
        {"a leading dot from a value", "track", {"", "", "", ".hidden", "01"}, ".ogg", 255, "hidden.ogg", false},
        {"a long album gives first", kDefault, {"Artist", longAlbum, "", "Title", "07"}, ".mp3", 60,
         "Artist - " + std::string(31, 'B') + ellipsis + " - 07 - Title.mp3", true},
        {"artist and album give alike", kDefault, {std::string(100, 'A'), std::string(100, 'B'), "", "Title", "07"},
         ".flac", 60, std::string(16, 'A') + ellipsis + " - " + std::string(16, 'B') + ellipsis + " - 07 - Title.flac",
         true},
        {"a character is never split", kDefault, {"A", std::string(20, 'x') + "\xc3\xa9" + std::string(80, 'x'), "", "T", "1"},
         ".mp3", 40, "A - " + std::string(20, 'x') + ellipsis + " - 1 - T.mp3", true},
        {"the format's own text is too long", std::string(300, 'z') + " - #", {"", "", "", "", "01"},
         ".mp3", 255, std::string(251, 'z') + ".mp3", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<TFittedName> got =
            BuildFittedFileName(PrepareNameTemplate(c.format), c.values, c.extension, true, TNameVariant::RenameRun,
                                c.limit);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << (got ? got->Name : "");
        if (!got) continue;
        EXPECT_EQ(got->Name, *c.expected);
        EXPECT_EQ(got->Shortened, c.shortened);
        EXPECT_LE(got->Name.size(), c.limit);
    }
}

TEST(NameFormat, NamesTheCutMadeEqualAreToldApart)
{
    std::vector<TFittedName> names = {
        {"Long….mp3", "Long title one.mp3", true},
        {"Long….mp3", "Long title two.mp3", true},
        {"Same.mp3", "Same.mp3", false},
        {"Same.mp3", "Same.mp3", false}, // equal in full: a collision the move reports, not the cut's
        {"", "", false},                 // takes no part
        {"Long….mp3", "Long title one.mp3", true},
    };
    SeparateShortenedNames(names, 255);
    EXPECT_EQ(names[0].Name, "Long….mp3");
    EXPECT_EQ(names[1].Name, "Long… (2).mp3");
    EXPECT_EQ(names[3].Name, "Same.mp3");
    EXPECT_EQ(names[5].Name, "Long….mp3");
    // Within the limit, the mark takes the stem's room.
    std::vector<TFittedName> tight = {{"abcdef.mp3", "abcdefX.mp3", true}, {"abcdef.mp3", "abcdefY.mp3", true}};
    SeparateShortenedNames(tight, 10);
    EXPECT_EQ(tight[1].Name, "ab (2).mp3");
}

} // namespace
} // namespace cantorix
