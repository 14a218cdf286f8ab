#include "core/rename/TrackNumberFix.h"

#include "core/rename/RenameLines.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace cantorix {
namespace {

using Lines = std::vector<std::string>;

TEST(TrackNumberFix, Rules)
{
    struct Case {
        const char* name;
        const char* fixed; // null: left alone
    } cases[] = {
        {"1 - Title.mp3", "01 - Title.mp3"},
        {"9.mp3", "09.mp3"},
        {"7", "07"},
        {"10 - Title.mp3", nullptr},
        {"01 - Title.mp3", nullptr},
        {"Artist - 3 - Title.mp3", "Artist - 03 - Title.mp3"},
        {"12 - Act 3.mp3", "12 - Act 03.mp3"},
        {"Track 7.mp3", "Track 07.mp3"},
        {"7.mp3", "07.mp3"},
        {"a1.b", nullptr},                                 // four characters, not starting with a digit
        {"ab1cd", nullptr},                               // position 3 = L - 2 is beyond the examined range
        {"a1bcd", "a01bcd"},                              // position 2 is examined
        {"abcd1.mp3", "abcd01.mp3"},
        {"song.mp3", nullptr},
        {"song.mp4", nullptr},        // the last three characters are never examined
        {"Act 3 - 2.mp3", "Act 03 - 2.mp3"},
        {"Act 03 - 2.mp3", "Act 03 - 02.mp3"},
        {"0 - x.mp3", nullptr},
        {"\xc3\xa9t\xc3\xa9 5.ogg", "\xc3\xa9t\xc3\xa9 05.ogg"}, // positions count characters
        {"ab5\xc3\xa9\xc3\xa9", nullptr},                    // 5 is the third-last character, not byte
        {"", nullptr},
    };
    for (const auto& c : cases) {
        std::optional<std::string> got = FixedTrackName(c.name);
        if (c.fixed)
            EXPECT_EQ(got.value_or("<none>"), c.fixed) << c.name;
        else
            EXPECT_FALSE(got) << c.name << " -> " << got.value_or("");
    }
}

TEST(TrackNumberFix, MovesFilesAndLogsFailures)
{
    test::TempDir tmp;
    for (const char* n : {"1 - a.mp3", "01 - a.mp3", "2 - b.mp3", "10 - c.mp3", "Act 3 - 2.mp3", "later 4.mp3"})
        test::writeText(tmp.file(n), n);
    Lines lines;
    auto log = [&](const std::string& l) { lines.push_back(l); };
    const std::vector<std::string> names = {"01 - a.mp3", "1 - a.mp3", "10 - c.mp3", "2 - b.mp3",
                                            "Act 3 - 2.mp3", "", "later 4.mp3"};
    EXPECT_EQ(RunTrackNumberFix(tmp.str(), names, log), 1);
    EXPECT_EQ(lines, (Lines{FixStartLine, RenameErrorLine("1 - a.mp3", "File exists"), FixEndLine}));
    EXPECT_EQ(test::listFiles(tmp.str()),
              (Lines{"01 - a.mp3", "02 - b.mp3", "1 - a.mp3", "10 - c.mp3", "Act 03 - 2.mp3", "later 4.mp3"}));
    EXPECT_EQ(test::readText(tmp.file("01 - a.mp3")), "01 - a.mp3");

    // A second run pads the next lone digit of a name that had two, nothing else.
    lines.clear();
    EXPECT_EQ(RunTrackNumberFix(tmp.str() + "/", {"01 - a.mp3", "02 - b.mp3", "10 - c.mp3", "Act 03 - 2.mp3"}, log), 0);
    EXPECT_EQ(lines, (Lines{FixStartLine, FixEndLine}));
    EXPECT_EQ(test::listFiles(tmp.str()),
              (Lines{"01 - a.mp3", "02 - b.mp3", "1 - a.mp3", "10 - c.mp3", "Act 03 - 02.mp3", "later 4.mp3"}));
}

TEST(TrackNumberFix, AMissingFileIsLoggedAndTheFixGoesOn)
{
    test::TempDir tmp;
    test::writeText(tmp.file("2.mp3"), "x");
    Lines lines;
    EXPECT_EQ(RunTrackNumberFix(tmp.str(), {"1.mp3", "2.mp3"}, [&](const std::string& l) { lines.push_back(l); }), 1);
    EXPECT_EQ(lines, (Lines{FixStartLine, RenameErrorLine("1.mp3", "No such file or directory"), FixEndLine}));
    EXPECT_EQ(test::listFiles(tmp.str()), (Lines{"02.mp3"}));
}

} // namespace
} // namespace cantorix
