#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/MediaInfoLib.h"
#include "audio/formats/AudioMaker.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>

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

// Files of a known number of samples, written here or made by the formats' own encoders from a WAV
// file: where the format stores the length, the result carries exactly that count and its rate, and
// the milliseconds follow from them; elsewhere the milliseconds are the reader's time. The whole
// seconds are the reader's time rounded, as they always were.
TEST(AudioUtil, ExactLengthWhereTheFormatStoresIt)
{
    using namespace cantorix::test;
    struct Case {
        const char* name;
        const char* tool;    // what must be installed; empty: nothing
        const char* command; // IN and OUT stand for the WAV file and the result; empty: the WAV itself
        int frames, channels, rate;
        bool exact;
        int seconds;
        // The count the stream states where it is not the source's: AC-3 holds whole frames of 1536
        // samples (a decoder gives them all); 0: the source's.
        int64_t stated = 0;
    } cases[] = {
        {"a.wav", "", "", 117600, 2, 44100, true, 3},
        {"a.flac", "flac", "flac -s -f -o OUT IN", 117600, 2, 44100, true, 3},
        {"a.ogg", "oggenc", "oggenc -Q -o OUT IN", 117600, 2, 44100, true, 3},
        {"a.wv", "wavpack", "wavpack -q -y IN -o OUT", 117600, 2, 44100, true, 3},
        {"a.tta", "ffmpeg", "ffmpeg -v error -y -i IN -c:a tta OUT", 117600, 2, 44100, true, 3},
        {"a.mpc", "mpcenc", "mpcenc --silent IN OUT", 117600, 2, 44100, true, 3},
        // lame's frames less the delay and padding of its tag, for variable and constant bit rate.
        {"vbr.mp3", "lame", "lame --quiet -V 4 IN OUT", 117600, 2, 44100, true, 3},
        {"cbr.mp3", "lame", "lame --quiet -b 128 IN OUT", 117600, 2, 44100, true, 3},
        {"lavc.mp3", "ffmpeg", "ffmpeg -v error -y -i IN -c:a libmp3lame -b:a 128k OUT", 117600, 2, 44100, true, 3},
        {"mono.mp3", "lame", "lame --quiet -V 5 IN OUT", 45289, 1, 22050, true, 2},
        // No header that counts frames, no stored count: the reader's time only.
        {"untagged.mp3", "lame", "lame --quiet -t -b 128 IN OUT", 117600, 2, 44100, false, 3},
        // AC-3 frames counted: 77 frames of 1536 samples.
        {"a.ac3", "ffmpeg", "ffmpeg -v error -y -i IN -c:a ac3 OUT", 117600, 2, 44100, true, 3, 77 * 1536},
        {"a.aac", "ffmpeg", "ffmpeg -v error -y -i IN -c:a aac -f adts OUT", 117600, 2, 44100, false, 3},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (*c.tool && !haveTool(c.tool)) continue;
        const std::string wav = dir.file(std::string(c.name) + ".wav");
        writeWav(wav, c.frames, c.channels, c.rate);
        std::string path = wav;
        if (*c.command) {
            path = dir.file(c.name);
            std::string command = c.command;
            command.replace(command.find("IN"), 2, shellQuote(wav));
            command.replace(command.find("OUT"), 3, shellQuote(path));
            ASSERT_TRUE(runQuiet(command)) << command;
        }
        const TDurationResult d = ReadAudioDuration(path);
        ASSERT_TRUE(d.Known) << d.Problem;
        EXPECT_EQ(d.Seconds, c.seconds);
        if (c.exact) {
            const int64_t samples = c.stated ? c.stated : c.frames;
            EXPECT_EQ(d.Samples, samples);
            EXPECT_EQ(d.SampleRate, uint32_t(c.rate));
            EXPECT_EQ(d.Milliseconds, std::llround(double(samples) * 1000.0 / c.rate));
        } else {
            EXPECT_EQ(d.Samples, 0);
            EXPECT_EQ(d.SampleRate, 0u);
            TFileReader in;
            ASSERT_TRUE(in.open(path));
            EXPECT_EQ(d.Milliseconds, std::llround(FindFormat(path)->PlayingTime(in).Seconds * 1000.0));
        }
    }

    // AU states its data size in the header; a piped AU file (size unknown) has only what it holds.
    writeAu(dir.file("a.au"), 8000, 8000 * 2 + 3);
    const TDurationResult au = ReadAudioDuration(dir.file("a.au"));
    EXPECT_EQ(au.Samples, 8000 * 2 + 3);
    EXPECT_EQ(au.SampleRate, 8000u);
    EXPECT_EQ(au.Milliseconds, 2000);
    EXPECT_EQ(au.Seconds, 2);
    Bytes piped = readFile(dir.file("a.au"));
    piped[8] = piped[9] = piped[10] = piped[11] = 0xFF;
    writeFile(dir.file("piped.au"), piped);
    const TDurationResult pipedAu = ReadAudioDuration(dir.file("piped.au"));
    EXPECT_EQ(pipedAu.Samples, 0);
    EXPECT_EQ(pipedAu.Seconds, 2);
}

// The library's time keeps its milliseconds; the whole seconds are cut from them as before.
// MP4 audio is timed from its own boxes now, to the same whole seconds and milliseconds as the
// library gave.
TEST(AudioUtil, Mp4DurationKeepsTheLibrarysMilliseconds)
{
    using namespace cantorix::test;
    if (!haveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    const std::string m4a = makeWithFfmpeg(dir, "a.m4a", "sine=sample_rate=44100:duration=2.9", "-c:a aac");
    ASSERT_FALSE(m4a.empty());
    const TMediaInfoSeconds library = TMediaInfoLib::shared().seconds(m4a);
    ASSERT_TRUE(library.ok) << library.failure;
    const TDurationResult d = ReadAudioDuration(m4a);
    ASSERT_TRUE(d.Known) << d.Problem;
    EXPECT_EQ(d.Milliseconds, library.milliseconds);
    EXPECT_NEAR(double(d.Milliseconds), 2900, 50);
    EXPECT_EQ(d.Seconds, int(library.milliseconds / 1000));
    EXPECT_EQ(d.Seconds, 2);
    EXPECT_EQ(d.Samples, 127890); // 2.9 s at 44100 Hz: the edit list skips the encoder's delay
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
