// APE tags: where the footer is, the size the readers subtract, and items read within bounds.
#include "audio/APETag.h"
#include "audio/MpegFixtures.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

const Bytes kAudio(2000, 0x55);

TAPETag readApe(const Bytes& file, bool expectOk = true)
{
    TempDir dir;
    writeFile(dir.file("a.mp3"), file);
    TAPETag t;
    EXPECT_EQ(t.ReadFromFile(dir.file("a.mp3")), expectOk);
    return t;
}

} // namespace

TEST(APETag, FooterAtTheEndOrBeforeId3v1)
{
    // Items of 51 and 17 bytes and the 32-byte footer: size 100.
    Bytes ape = apeTag({{"Title", std::string(37, 't')}, {"Year", "2001"}});
    ASSERT_EQ(ape.size(), 100u);
    for (bool v1 : {false, true}) {
        Bytes f = kAudio;
        append(f, ape);
        if (v1) append(f, id3v1Tag("x", "", "", "", "", 0, 0));
        TAPETag t = readApe(f);
        EXPECT_TRUE(t.Present());
        EXPECT_EQ(t.Version(), 2000u);
        EXPECT_EQ(t.Size(), 100);
        EXPECT_EQ(t.TotalSize(), 100);
        ASSERT_EQ(t.Fields().size(), 2u);
        EXPECT_EQ(t.Fields()[0].Name, "Title");
        EXPECT_EQ(t.Fields()[0].Value, std::string(37, 't'));
        EXPECT_EQ(t.Fields()[1].Name, "Year");
        EXPECT_EQ(t.Fields()[1].Value, "2001");
    }
}

TEST(APETag, LongValuesAreCutAndTheNextItemStillFound)
{
    Bytes f = kAudio;
    std::string longValue = std::string(249, 'a') + "é" + std::string(49, 'b'); // "é" straddles byte 250
    append(f, apeTag({{"Lyrics", longValue}, {"Artist", " Ünïcode "}}));
    TAPETag t = readApe(f);
    ASSERT_EQ(t.Fields().size(), 2u);
    EXPECT_EQ(t.Fields()[0].Value, std::string(249, 'a'));
    EXPECT_EQ(t.Fields()[1].Value, "Ünïcode");

    Bytes v1 = kAudio;
    append(v1, apeTag({{"Artist", "Caf\xE9"}}, 1000));
    EXPECT_EQ(readApe(v1).Fields()[0].Value, "Café");
}

TEST(APETag, HostileCountsAndSizes)
{
    struct Case {
        const char* what;
        size_t at;       // footer offset counted from the end of the tag
        uint32_t value;
        bool present;
        size_t items;
    } cases[] = {
        {"huge item count", 16, 0xFFFFFFFF, true, 1},
        {"size larger than the file", 12, 0x7FFFFFFF, false, 0},
        {"size smaller than a footer", 12, 8, false, 0},
    };
    for (const Case& c : cases) {
        Bytes f = kAudio;
        Bytes ape = apeTag({{"A", "b"}});
        size_t footer = ape.size() - 32;
        ape[footer + c.at] = uint8_t(c.value);
        ape[footer + c.at + 1] = uint8_t(c.value >> 8);
        ape[footer + c.at + 2] = uint8_t(c.value >> 16);
        ape[footer + c.at + 3] = uint8_t(c.value >> 24);
        append(f, ape);
        TAPETag t = readApe(f);
        EXPECT_EQ(t.Present(), c.present) << c.what;
        EXPECT_EQ(t.Fields().size(), c.items) << c.what;
    }
    // An item whose value size runs into the footer ends the items.
    Bytes f = kAudio;
    Bytes ape = apeTag({{"A", "b"}, {"C", "d"}});
    ape[11] = 0xFF; // second item's value size: 0xFF000001
    append(f, ape);
    EXPECT_EQ(readApe(f).Fields().size(), 1u);
}

TEST(APETag, NoTagAndShortFiles)
{
    EXPECT_FALSE(readApe(kAudio).Present());
    EXPECT_EQ(readApe(kAudio).Size(), 0);
    readApe(Bytes(32, 0), false);
    readApe(Bytes(33, 0), true);
    TAPETag t;
    EXPECT_FALSE(t.ReadFromFile("/nonexistent.ape"));
}
