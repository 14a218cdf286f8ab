#include "audio/TextCodec.h"

#include <gtest/gtest.h>

using namespace cantorix;

TEST(TextCodec, Latin1RoundTripAndLossDetection)
{
    EXPECT_EQ(latin1ToUtf8("Mot\xF6rhead"), "Motörhead");
    bool lossless = false;
    EXPECT_EQ(utf8ToLatin1("Motörhead", &lossless), "Mot\xF6rhead");
    EXPECT_TRUE(lossless);
    EXPECT_EQ(utf8ToLatin1("日本", &lossless), "??");
    EXPECT_FALSE(lossless);
    EXPECT_TRUE(isLatin1("café"));
    EXPECT_FALSE(isLatin1("€"));
    EXPECT_EQ(utf8ToLatin1Field("ééééé", 3), "\xE9\xE9\xE9");
}

TEST(TextCodec, Utf16HonoursTheByteOrderMarkAndDropsOnlyIt)
{
    const uint8_t le[] = {0xFF, 0xFE, 'A', 0, 0xFF, 0x00, 0x3D, 0xD8, 0x00, 0xDE}; // A ÿ 😀
    EXPECT_EQ(utf16BomToUtf8(le, sizeof le), "Aÿ😀");
    const uint8_t be[] = {0xFE, 0xFF, 0, 'A', 0x00, 0xFF};
    EXPECT_EQ(utf16BomToUtf8(be, sizeof be), "Aÿ");
    const uint8_t odd[] = {'A', 0, 'B'};
    EXPECT_EQ(utf16ToUtf8(odd, sizeof odd, Utf16Order::LittleEndian), "A");
    const uint8_t lone[] = {0x00, 0xD8};
    EXPECT_EQ(utf16ToUtf8(lone, sizeof lone, Utf16Order::LittleEndian), "\xEF\xBF\xBD");
    std::string back = utf8ToUtf16("Aÿ😀", Utf16Order::LittleEndian);
    EXPECT_EQ(utf16ToUtf8(reinterpret_cast<const uint8_t*>(back.data()), back.size(), Utf16Order::LittleEndian), "Aÿ😀");
}

TEST(TextCodec, Utf8ValidationAndCutting)
{
    EXPECT_TRUE(isValidUtf8("Björk 😀"));
    EXPECT_FALSE(isValidUtf8("\xC3"));
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // an encoded surrogate
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_EQ(sanitizeUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(truncateUtf8("aé", 2), "a");
    EXPECT_EQ(truncateUtf8("a😀", 4), "a");
    EXPECT_EQ(upperAscii("straße.mp3"), "STRAßE.MP3");
    EXPECT_EQ(utf32ToUtf8(utf8ToUtf32("Ünïcode 😀")), "Ünïcode 😀");
}
