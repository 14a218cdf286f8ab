// The list of name formats in [NameFormats]: what may become a key, no doubles, removal, the sample.
#include "core/rename/NameFormatList.h"

#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "support/SettingsFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

TEST(NameFormatList, OnlyTextThatStaysOneKeyIsAdded)
{
    struct Case {
        const char* format;
        TFormatAdd result;
        const char* stored; // the key afterwards, or nullptr for none
    };
    const Case cases[] = {
        {"artist - # - track", TFormatAdd::Added, "artist - # - track"},
        {"  # track  ", TFormatAdd::Added, "# track"}, // the file drops the spaces around a key anyway
        {"artist=track", TFormatAdd::Refused, nullptr},
        {"[year] album", TFormatAdd::Refused, nullptr},
        {" ;track", TFormatAdd::Refused, nullptr},
        {"track\n[Main]", TFormatAdd::Refused, nullptr},
        {"track\tx", TFormatAdd::Refused, nullptr},
        {"album [year]", TFormatAdd::Added, "album [year]"}, // "[" inside is fine
        {"   ", TFormatAdd::Empty, nullptr},
        {"ARTIST - ALBUM", TFormatAdd::Duplicate, nullptr}, // keys compare without regard to case
        {"Artist - # - Track", TFormatAdd::Duplicate, nullptr},
    };
    TempDir dir;
    TSettings s = settingsFile(dir, "[NameFormats]\nartist - album=\n");
    for (const Case& c : cases) {
        QString problem;
        const QStringList before = s.readSection(setting::NameFormatsSection);
        EXPECT_EQ(AddNameFormat(s, QString::fromUtf8(c.format), &problem), c.result) << c.format;
        const QStringList after = s.readSection(setting::NameFormatsSection);
        if (c.result == TFormatAdd::Added) {
            EXPECT_EQ(after.size(), before.size() + 1) << c.format;
            EXPECT_EQ(after.last(), c.stored) << c.format;
        } else {
            EXPECT_EQ(after, before) << c.format;
        }
        EXPECT_EQ(problem.isEmpty(), c.result == TFormatAdd::Added || c.result == TFormatAdd::Empty) << c.format;
    }
    // What was added reads back from the file as the same keys, each with an empty value.
    ASSERT_TRUE(s.updateFile());
    TSettings again(s.fileName());
    EXPECT_EQ(again.readSection(setting::NameFormatsSection),
              (QStringList{"artist - album", "artist - # - track", "# track", "album [year]"}));
    EXPECT_NE(s.toText().indexOf("album [year]=\n"), -1);
}

TEST(NameFormatList, Remove)
{
    TempDir dir;
    TSettings s = settingsFile(dir, "[NameFormats]\na=\nb=\nc=\n");
    EXPECT_TRUE(RemoveNameFormat(s, "B"));
    EXPECT_EQ(s.readSection(setting::NameFormatsSection), (QStringList{"a", "c"}));
    EXPECT_FALSE(RemoveNameFormat(s, "b"));
}

TEST(NameFormatList, AFirstStartOffersTheBuiltInFormatAndKeepsItWhenAnotherIsAdded)
{
    TempDir dir;
    TSettings s = settingsFile(dir, "");
    EXPECT_EQ(NameFormatChoices(s), QStringList{"artist - album - # - track"});
    EXPECT_EQ(AddNameFormat(s, "track"), TFormatAdd::Added);
    EXPECT_EQ(NameFormatChoices(s), (QStringList{"artist - album - # - track", "track"}));
    EXPECT_TRUE(RemoveNameFormat(s, "artist - album - # - track"));
    EXPECT_TRUE(RemoveNameFormat(s, "track"));
    EXPECT_EQ(NameFormatChoices(s), QStringList{"artist - album - # - track"});
}

TEST(NameFormatList, Sample)
{
    EXPECT_EQ(NameFormatSample("artist - album - # - track"), "Queen - A Night at the Opera - 10 - Bohemian Rhapsody");
    EXPECT_EQ(NameFormatSample("Track #"), "Bohemian Rhapsody 10");
    EXPECT_EQ(NameFormatSample("YEAR/x_y"), "1975/x_y"); // no clean-up
}

} // namespace
