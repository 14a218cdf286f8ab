// cantorix-cli scan and info on a folder of WAV, WMA, WavPack and AU files made by ffmpeg and
// wavpack: the playing times agree with ffprobe and wvunpack within a second, and info shows each
// file's rate, channels and tags.
#include "audio/formats/AudioMaker.h"
#include "support/CliRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>

using namespace cantorix::test;

namespace {

// The playing time `wvunpack -s` reports.
double wvunpackDuration(const std::string& path)
{
    std::string text = capture("wvunpack -s " + shellQuote(path) + " 2>&1");
    size_t at = text.find("duration:");
    int h = 0, m = 0;
    double s = 0;
    if (at == std::string::npos || std::sscanf(text.c_str() + at, "duration: %d:%d:%lf", &h, &m, &s) != 3) return -1;
    return h * 3600 + m * 60 + s;
}

// "Key: value" lines of cantorix-cli info.
std::map<std::string, std::string> info(const std::string& path)
{
    std::map<std::string, std::string> values;
    CliResult r = runCli({"info", QString::fromStdString(path)});
    for (const QString& line : r.outLines()) {
        qsizetype colon = line.indexOf(": ");
        if (colon > 0) values[line.left(colon).toStdString()] = line.mid(colon + 2).toStdString();
    }
    return values;
}

} // namespace

TEST(CliScanFormats, TimesAndValuesOfToolMadeFiles)
{
    if (!haveTool("ffmpeg") || !haveTool("ffprobe") || !haveTool("wavpack") || !haveTool("wvunpack"))
        GTEST_SKIP() << "ffmpeg or wavpack is not installed";
    const std::string tags = "-metadata artist=Art -metadata album=Alb -metadata title=Tit -metadata track=3";
    struct Case {
        const char* name;
        double seconds;       // of the generated tone
        std::string output;   // ffmpeg's options; a .wv file is encoded from ffmpeg's WAV by wavpack
        const char* rate;
        const char* channels;
        const char* artist;
    } cases[] = {
        {"01 plain.wav", 1.4, "-ac 2 -fflags +bitexact -map_metadata -1", "44.1", "Stereo", ""},
        {"02 list.wav", 2.6, "-ac 2 -metadata title=T", "44.1", "Stereo", ""},
        {"03 rf64.wav", 3.5, "-ac 2 -rf64 always", "44.1", "Stereo", ""},
        {"04 six.wav", 4.5, "-ac 6 -c:a pcm_s24le", "44.1", "Multichannel", ""},
        {"05 piped.wav", 5.5, "-ac 2 -f wav - | cat >", "44.1", "Stereo", ""},
        {"06 128k.wma", 6.5, "-ac 2 -c:a wmav2 -b:a 128k " + tags, "44.1", "Stereo", "Art"},
        {"07 320k.wma", 7.5, "-ac 2 -c:a wmav2 -b:a 320k", "44.1", "Stereo", ""},
        {"08 wavpack.wv", 8.5, "-ac 2", "44.1", "Stereo", ""},
        {"09 au.au", 9.5, "-ac 1 -c:a pcm_s16be -f au " + tags, "44.1", "1", "Art"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        char source[96];
        std::snprintf(source, sizeof source, "sine=sample_rate=44100:duration=%.1f", c.seconds);
        const std::string name = c.name;
        if (name.ends_with(".wv")) {
            std::string wav = makeWithFfmpeg(dir, name + ".src", source, c.output + " -f wav");
            ASSERT_TRUE(runQuiet("wavpack -q -y " + shellQuote(wav) + " -o " + shellQuote(dir.file(name))));
            std::remove(wav.c_str());
        } else {
            ASSERT_FALSE(makeWithFfmpeg(dir, name, source, c.output).empty()) << name;
        }
    }

    CliResult scan = runCli({"scan", QString::fromStdString(dir.str())});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    const QStringList lines = scan.outLines();
    ASSERT_EQ(lines.size(), qsizetype(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const QStringList fields = lines[qsizetype(i)].split('\t');
        ASSERT_EQ(fields.size(), 3);
        EXPECT_EQ(fields[0].toStdString(), c.name);
        const std::string path = dir.file(c.name);
        const double reference = std::string(c.name).ends_with(".wv") ? wvunpackDuration(path) : ffprobeDuration(path);
        EXPECT_LE(std::abs(fields[2].toDouble() - reference), 1.0) << fields[2].toStdString() << " vs " << reference;

        std::map<std::string, std::string> values = info(path);
        EXPECT_EQ(values["SampleRate"], c.rate);
        EXPECT_EQ(values["Channels"], c.channels);
        EXPECT_EQ(values["Artist"], c.artist);
    }
    EXPECT_EQ(info(dir.file("06 128k.wma"))["Track"], "3");
    EXPECT_EQ(info(dir.file("09 au.au"))["Title"], "Tit");
}
