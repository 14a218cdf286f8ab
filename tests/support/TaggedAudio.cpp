#include "support/TaggedAudio.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace cantorix::test {

namespace {

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

} // namespace

bool makeTaggedFile(const TempDir& work, const std::string& path, const std::string& format, const TTestTags& t)
{
    const std::string tone = work.file("tone-source.wav");
    if (!std::filesystem::exists(tone) &&
        !run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=1 -ar 44100 -ac 2 " + quoted(tone)))
        return false;
    // The tools write an ASCII name; the file then takes its real name, whatever its bytes.
    const std::string made = work.file("made." + format);
    std::string cmd;
    auto opt = [](const char* flag, const std::string& value) {
        return value.empty() ? std::string() : std::string(" ") + flag + " " + quoted(value);
    };
    if (format == "mp3") {
        cmd = "lame --quiet --add-id3v2" + opt("--tt", t.title) + opt("--ta", t.artist) + opt("--tl", t.album) +
              opt("--ty", t.year) + opt("--tn", t.track) + " " + quoted(tone) + " " + quoted(made);
    } else if (format == "flac") {
        auto tag = [&](const char* key, const std::string& v) { return v.empty() ? std::string() : " -T " + quoted(std::string(key) + "=" + v); };
        cmd = "flac --silent -f" + tag("TITLE", t.title) + tag("ARTIST", t.artist) + tag("ALBUM", t.album) +
              tag("DATE", t.year) + tag("TRACKNUMBER", t.track) + " -o " + quoted(made) + " " + quoted(tone);
    } else if (format == "ogg") {
        cmd = "oggenc -Q" + opt("-t", t.title) + opt("-a", t.artist) + opt("-l", t.album) + opt("-d", t.year) +
              opt("-N", t.track) + " -o " + quoted(made) + " " + quoted(tone);
    } else if (format == "wav") {
        cmd = "cp " + quoted(tone) + " " + quoted(made);
    } else if (format == "m4a") {
        auto meta = [&](const char* key, const std::string& v) { return v.empty() ? std::string() : " -metadata " + quoted(std::string(key) + "=" + v); };
        cmd = "ffmpeg -v error -y -i " + quoted(tone) + " -c:a aac -b:a 128k" + meta("title", t.title) +
              meta("artist", t.artist) + meta("album", t.album) + meta("date", t.year) + meta("track", t.track) + " " +
              quoted(made);
    } else {
        return false;
    }
    if (!run(cmd)) return false;
    return std::rename(made.c_str(), path.c_str()) == 0;
}

TDecimalCommaLocale decimalCommaLocale(const TempDir& work)
{
    // Asked without changing this process's locale for good.
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const bool installed = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    std::setlocale(LC_NUMERIC, before.c_str());
    if (installed) return {"de_DE.UTF-8", ""};
    const std::string dir = work.file("locales");
    std::filesystem::create_directories(dir);
    // glibc looks the name up in LOCPATH by its normalised form.
    if (!run("localedef -i de_DE -f UTF-8 " + quoted(dir + "/de_DE.utf8"))) return {};
    return {"de_DE.UTF-8", dir};
}

} // namespace cantorix::test
