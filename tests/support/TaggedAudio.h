// Short real audio files with tags, made by the tools of the test packages (ffmpeg, lame, flac,
// oggenc), and a locale whose decimal separator is a comma.
#pragma once

#include "support/TestFiles.h"

#include <string>

namespace cantorix::test {

struct TTestTags {
    std::string title, artist, album, year, track;
};

// Writes a one-second stereo tone at 44100 Hz in `format` ("mp3" with ID3v2 and ID3v1 by lame, "flac",
// "ogg", "wav", "m4a" by ffmpeg) with `tags` (empty values left out) to `path`, whose bytes may be
// anything. False when the tool is missing or failed.
bool makeTaggedFile(const TempDir& work, const std::string& path, const std::string& format, const TTestTags& tags);

// A locale whose decimal separator is ",": de_DE.UTF-8 as installed, or made with localedef into
// `work` (then `locpath` is the LOCPATH to use). Empty name when none can be had.
struct TDecimalCommaLocale {
    std::string name;
    std::string locpath;
};
TDecimalCommaLocale decimalCommaLocale(const TempDir& work);

} // namespace cantorix::test
