#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/MediaInfoLib.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace cantorix;
using cantorix::test::TempDir;

using cantorix::test::writeAu;

TEST(AudioUtil, RoundsHalvesToEven)
{
    struct Case {
        double in;
        int out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {0.4, 0}, {-1.0 / 1000.0, 0}, {1.5001, 2},
                 {241.999, 242}, {-2.5, -2}, {1e300, 0}};
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(AudioUtil, FormatsDurations)
{
    struct Case {
        int seconds;
        const char* text;
    } cases[] = {{0, "00:00"}, {9, "00:09"}, {59, "00:59"}, {185, "03:05"}, {600, "10:00"},
                 {605, "10:05"}, {6000, "100:00"}, {7387, "123:07"}};
    for (const Case& c : cases) EXPECT_EQ(FormatDuration(c.seconds), c.text) << c.seconds;
}

TEST(AudioUtil, ExtensionIsTakenAfterTheLastDotOfTheName)
{
    EXPECT_EQ(ExtractExtension("/m/song.mp3"), ".MP3");
    EXPECT_EQ(ExtractExtension("/m/song.Mp3"), ".MP3");
    EXPECT_EQ(ExtractExtension("/m/song.mp3.txt"), ".TXT");
    EXPECT_EQ(ExtractExtension("/m.dir/song"), "");
    EXPECT_EQ(ExtractExtension("/m/.flac"), ".FLAC");
    EXPECT_EQ(ExtractExtension("/m/SONG.ÄÖ"), ".ÄÖ"); // only a to z change case
}

TEST(AudioUtil, FilesWithoutReaderOrUnreadableGiveZero)
{
    TempDir dir;
    cantorix::test::writeText(dir.file("x.mka"), "not audio");
    cantorix::test::writeText(dir.file("empty.m4a"), "");
    cantorix::test::writeText(dir.file("damaged.au"), ".snd");
    EXPECT_EQ(GetAudioDuration(dir.file("x.mka")), 0);
    EXPECT_EQ(GetAudioDuration(dir.file("missing.mp3")), 0);
    EXPECT_EQ(GetAudioDuration(dir.file("empty.m4a")), 0);
    EXPECT_EQ(GetAudioDuration(dir.file("damaged.au")), 0);
    EXPECT_EQ(GetAudioDuration(dir.str()), 0);
}

TEST(AudioUtil, MediaInfoDurationTruncatesToWholeSeconds)
{
    TempDir dir;
    writeAu(dir.file("tone.au"), 8000, 8000 * 2 + 7999); // 2.999875 s
    writeAu(dir.file("Ünïcode.AU"), 8000, 8000 * 5);
    EXPECT_EQ(GetMediaInfoDuration(dir.file("tone.au")), 2);
    // AU files have a reader of their own now, rounded like every other reader's time.
    EXPECT_EQ(GetAudioDuration(dir.file("tone.au")), 3);
    EXPECT_EQ(GetAudioDuration(dir.file("Ünïcode.AU")), 5);
    EXPECT_EQ(GetMediaInfoArtist(dir.file("tone.au")), "");
    EXPECT_EQ(GetMediaInfoAlbum(dir.file("missing.au")), "");
}

TEST(MediaInfoLib, AnswersFromTheLibraryOrSaysWhyNot)
{
    TempDir dir;
    writeAu(dir.file("tone.au"), 8000, 8000 * 3 + 500);
    cantorix::test::writeText(dir.file("empty.m4a"), "");

    TMediaInfoLib real;
    TMediaInfoSeconds tone = real.seconds(dir.file("tone.au"));
    EXPECT_TRUE(tone.ok) << tone.failure;
    EXPECT_EQ(tone.seconds, 3);
    TMediaInfoSeconds empty = real.seconds(dir.file("empty.m4a"));
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.seconds, 0);
    EXPECT_EQ(empty.failure, "'' is not a valid integer value");
    EXPECT_EQ(real.refusals(), 0u);
    EXPECT_EQ(real.failure(), "");
}

TEST(MediaInfoLib, ALibraryThatCannotBeLoadedGivesZeroAndTheReason)
{
    TempDir dir;
    writeAu(dir.file("tone.au"), 8000, 8000 * 3);
    const std::string notAvailable = TMediaInfoLib::NotAvailable;
    struct Case {
        const char* library;
        const char* reason; // part of the loader's own words
    } cases[] = {
        {"libcantorix-absent.so.0", "libcantorix-absent.so.0: cannot open shared object file"},
        {"/nonexistent/libmediainfo.so.0", "/nonexistent/libmediainfo.so.0: cannot open shared object file"},
        {"libz.so.1", "undefined symbol: MediaInfo_New"}, // a library, but not this one
    };
    for (const Case& c : cases) {
        TMediaInfoLib lib(c.library);
        // A file that is not there fails before the library is needed.
        EXPECT_FALSE(lib.seconds(dir.file("missing.au")).ok);
        EXPECT_EQ(lib.refusals(), 0u) << c.library;
        EXPECT_EQ(lib.failure(), "") << c.library;

        TMediaInfoSeconds d = lib.seconds(dir.file("tone.au"));
        EXPECT_FALSE(d.ok) << c.library;
        EXPECT_EQ(d.seconds, 0) << c.library;
        EXPECT_EQ(d.failure.rfind(notAvailable, 0), 0u) << d.failure;
        EXPECT_NE(d.failure.find(c.reason), std::string::npos) << d.failure;
        EXPECT_EQ(lib.failure(), d.failure);
        TMediaInfoText album = lib.general(dir.file("tone.au"), L"Album");
        EXPECT_FALSE(album.ok);
        EXPECT_EQ(album.failure, d.failure);
        EXPECT_EQ(lib.refusals(), 2u) << c.library;
    }
}

TEST(FileInfo, TextRules)
{
    EXPECT_EQ(FormatSizeText(0), "0.0B");
    EXPECT_EQ(FormatSizeText(1024), "1024.0B");
    EXPECT_EQ(FormatSizeText(1536), "1.5KB");
    EXPECT_EQ(FormatSizeText(1048576), "1024.0KB");
    EXPECT_EQ(FormatSizeText(5 * 1048576), "5.0MB");
    EXPECT_EQ(FormatSizeText(int64_t(3) << 30), "3.0GB");
    EXPECT_EQ(FormatLongDuration(245.6), "00:04:06");
    EXPECT_EQ(FormatLongDuration(3725), "01:02:05");
    EXPECT_EQ(FormatLongDuration(0), "00:00:00");
    EXPECT_EQ(FormatLongDuration(2.5), "00:00:02");
    EXPECT_EQ(ChannelCode(0), "Unknown");
    EXPECT_EQ(ChannelCode(1), "M");
    EXPECT_EQ(ChannelCode(2), "S");
    EXPECT_EQ(ChannelCode(6), "6ch.");
    EXPECT_EQ(RateKHz(44100), "44.1");
    EXPECT_EQ(RateKHz(48000), "48");
    EXPECT_EQ(RateKHz(22050), "22.05");
}
