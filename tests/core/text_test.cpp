#include "core/Text.h"

#include <gtest/gtest.h>

using namespace cantorix;

TEST(Text, ParseInt32)
{
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"0", true, 0},           {"42", true, 42},           {"-7", true, -7},
        {"+5", true, 5},          {"0000000012", true, 12},   {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},                     {"2147483648", false, 0},
        {"00000000012", false, 0}, {"", false, 0},            {"-", false, 0},
        {" 8", false, 0},         {"8 ", false, 0},           {"1.5", false, 0},
        {"0x10", false, 0},       {"+-1", false, 0},          {"9999999999", false, 0},
    };
    for (const Case& c : cases) {
        int32_t v = 99;
        EXPECT_EQ(ParseInt32(QString(c.text), &v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : 99) << c.text;
    }
    EXPECT_FALSE(ParseInt32(QString::fromUtf8("٣"))); // digits are ASCII digits
    EXPECT_TRUE(ParseInt32(u"12"));
}

TEST(Text, TrimAndSlash)
{
    EXPECT_EQ(TrimControls(QString("\t a b \r\n") + QChar(0) + QChar(31)), "a b");
    EXPECT_EQ(TrimControls(QString::fromUtf8("\u00a0x\u00a0")), QString::fromUtf8("\u00a0x\u00a0")); // beyond the space
    EXPECT_EQ(TrimControls(" \x01 "), "");
    EXPECT_EQ(WithSlash("/music/a"), "/music/a/");
    EXPECT_EQ(WithSlash("/music/a/"), "/music/a/");
    EXPECT_EQ(WithSlash(""), "");
}

TEST(Text, ControlCharactersAreEscapedOrMadeSpaces)
{
    const QString text = QString("a\nb\tc\x1b[0m\x07") + QChar(0) + QChar(0x7f) + QChar(0x9b) + QString::fromUtf8("é\u2028z");
    EXPECT_EQ(EscapeControls(text), QString::fromUtf8("a\\nb\\tc\\x1b[0m\\x07\\x00\\x7f\\x9bé\u2028z"));
    EXPECT_EQ(EscapeControls(text, true), QString::fromUtf8("a\\nb\tc\\x1b[0m\\x07\\x00\\x7f\\x9bé\u2028z"));
    EXPECT_EQ(SingleLine(text), QString::fromUtf8("a b c [0m    é z"));
    EXPECT_EQ(EscapeControls("plain \\x41"), "plain \\x41"); // a backslash stays as it stands
    EXPECT_TRUE(IsControl(QChar(0x85)));
    EXPECT_FALSE(IsControl(QChar(0xa0)));
}
