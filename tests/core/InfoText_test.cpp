// The information window's notation: every reader's raw values give one way of writing a rate and the
// channels.
#include "core/InfoText.h"

#include <gtest/gtest.h>

namespace cantorix {
namespace {

TEST(InfoText, BitratesInWholeKbitPerSecond)
{
    const struct {
        const char* extension;
        const char* raw;
        const char* shown;
    } cases[] = {
        {".flac", "424.778795180723", "425 kbit/s"},
        {".WAV", "1411.2", "1411 kbit/s"},
        {".mp3", "VBR129.915", "VBR, 130 kbit/s"},
        {".mp3", "128", "128 kbit/s"},
        {".aac", "VBR129915", "VBR, 130 kbit/s"}, // the AAC reader counts bit/s
        {".AAC", "CBR128000", "128 kbit/s"},
        {".aac", "Unknown0", ""},
        {".ape", "882.5", "882 kbit/s"}, // halves go to the even neighbour
        {".ape", "883.5", "884 kbit/s"},
        {".ogg", "0", ""},
        {".ogg", "", ""},
        {".m4a", "n/a", "n/a"}, // no rate: shown as it stands
        {".mp3", "-5", "-5"},
        {".mp3", "1e400", "1e400"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShownBitrate(c.extension, c.raw).toStdString(), c.shown) << c.raw;
}

TEST(InfoText, SampleRatesAndChannels)
{
    EXPECT_EQ(ShownSampleRate("44.1").toStdString(), "44.1 kHz");
    EXPECT_EQ(ShownSampleRate("48").toStdString(), "48 kHz");
    EXPECT_EQ(ShownSampleRate("0").toStdString(), "");
    EXPECT_EQ(ShownSampleRate("").toStdString(), "");
    EXPECT_EQ(ShownSampleRate("fast").toStdString(), "fast");

    const struct {
        const char* raw;
        const char* shown;
    } channels[] = {
        {"M", "Mono"},       {"1", "Mono"},           {"Mono", "Mono"},
        {"S", "Stereo"},     {"2", "Stereo"},         {"Stereo", "Stereo"},
        {"Joint Stereo", "Joint stereo"}, {"Dual Channel", "Dual channel"}, {"Surround", "Surround"},
        {"6ch.", "5.1"},     {"6", "5.1"},            {"8ch.", "7.1"},
        {"3ch.", "3 channels"}, {"Unknown", ""},      {"0", ""},
        {"", ""},            {"ch.", "ch."},          {"Quadro", "Quadro"},
    };
    for (const auto& c : channels) EXPECT_EQ(ShownChannels(c.raw).toStdString(), c.shown) << c.raw;
}

} // namespace
} // namespace cantorix
