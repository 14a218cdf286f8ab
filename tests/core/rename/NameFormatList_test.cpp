// The list of name formats in [NameFormats]: what may become a key, no doubles, removal, the sample.
#include "core/rename/NameFormatList.h"

#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "core/album/SettingsValues.h"
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
    QStringList formats = StoredNameFormats(s);
    for (const Case& c : cases) {
        QString problem;
        const QStringList before = formats;
        EXPECT_EQ(AddNameFormat(formats, QString::fromUtf8(c.format), &problem), c.result) << c.format;
        const QStringList& after = formats;
        if (c.result == TFormatAdd::Added) {
            EXPECT_EQ(after.size(), before.size() + 1) << c.format;
            EXPECT_EQ(after.last(), c.stored) << c.format;
        } else {
            EXPECT_EQ(after, before) << c.format;
        }
        EXPECT_EQ(problem.isEmpty(), c.result == TFormatAdd::Added || c.result == TFormatAdd::Empty) << c.format;
    }
    // What was added reads back from the file as the same keys, each with an empty value.
    StoreNameFormats(s, formats);
    ASSERT_TRUE(s.updateFile());
    TSettings again(s.fileName());
    EXPECT_EQ(again.readSection(setting::NameFormatsSection),
              (QStringList{"artist - album", "artist - # - track", "# track", "album [year]"}));
    EXPECT_NE(s.toText().indexOf("album [year]=\n"), -1);
}

TEST(NameFormatList, Remove)
{
    QStringList formats{"a", "b", "c"};
    EXPECT_TRUE(RemoveNameFormat(formats, "B"));
    EXPECT_EQ(formats, (QStringList{"a", "c"}));
    EXPECT_FALSE(RemoveNameFormat(formats, "b"));
}

TEST(NameFormatList, AFirstStartOffersTheBuiltInFormatAndKeepsItWhenAnotherIsAdded)
{
    QStringList formats;
    EXPECT_EQ(NameFormatChoices(formats), QStringList{"artist - album - # - track"});
    EXPECT_EQ(AddNameFormat(formats, "track"), TFormatAdd::Added);
    EXPECT_EQ(NameFormatChoices(formats), (QStringList{"artist - album - # - track", "track"}));
    EXPECT_TRUE(RemoveNameFormat(formats, "artist - album - # - track"));
    EXPECT_TRUE(RemoveNameFormat(formats, "track"));
    EXPECT_EQ(NameFormatChoices(formats), QStringList{"artist - album - # - track"});
}

TEST(NameFormatList, Sample)
{
    EXPECT_EQ(NameFormatSample("artist - album - # - track"), "Queen - A Night at the Opera - 10 - Bohemian Rhapsody");
    EXPECT_EQ(NameFormatSample("Track #"), "Bohemian Rhapsody 10");
    EXPECT_EQ(NameFormatSample("YEAR/x_y"), "1975/x_y"); // no clean-up
    EXPECT_EQ(NameFormatSample("disc# trackartist - track"), "10 Queen - Bohemian Rhapsody");
}

} // namespace
