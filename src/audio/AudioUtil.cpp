#include "audio/AudioUtil.h"

#include "audio/formats/AudioInfo.h"
#include "audio/FileIO.h"
#include "audio/TextCodec.h"
#include "audio/formats/FLACfile.h"
#include "audio/formats/OggVorbis.h"
#include "audio/MediaInfoLib.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

namespace cantorix {

const char* const BuiltinExtensions =
    ".AAC,.AC3,.APE,.MAC,.DTS,.FLAC,.MPC,.MP3,.MP2,.MPA,.OGG,.OFR,.OFS,.TTA,.VQF,.WV,.WAV,.WMA,.M4A,.M4B,.M4P,.AU";

namespace {

// A reader's playing time in seconds (floating point) for one file; 0 when it cannot tell.
using DurationReader = std::function<double(const std::string&)>;

double noReader(const std::string&) { return 0.0; }

// MPEG audio: the playing time in milliseconds (-1 when no frame was found, which rounds to 0).
double mpegSeconds(const std::string& fileName)
{
    TAudioInfo info;
    if (!info.ReadFromFile(fileName)) return 0.0;
    return double(info.DurationMs()) / 1000.0;
}

double flacSeconds(const std::string& fileName)
{
    TFLACfile file;
    file.ReadFromFile(fileName);
    return file.Duration();
}

double oggSeconds(const std::string& fileName)
{
    TOggVorbis file;
    file.ReadFromFile(fileName);
    return file.Duration();
}

struct Row {
    const char* extension;
    DurationReader seconds;
};

// One row per extension with a reader. Formats whose readers are not built yet answer 0, exactly like
// an extension without a reader.
const std::vector<Row>& durationTable()
{
    static const std::vector<Row> rows = {
        {".AAC", noReader},  {".AC3", noReader},  {".APE", noReader}, {".MAC", noReader},
        {".DTS", noReader},  {".FLAC", flacSeconds}, {".MPC", noReader}, {".MP3", mpegSeconds},
        {".MP2", mpegSeconds}, {".MPA", mpegSeconds}, {".OGG", oggSeconds}, {".OFR", noReader},
        {".OFS", noReader},  {".TTA", noReader},  {".VQF", noReader}, {".WV", noReader},
        {".WAV", noReader},  {".WMA", noReader},
    };
    return rows;
}

bool isMediaInfoExtension(const std::string& ext)
{
    return ext == ".M4A" || ext == ".M4B" || ext == ".M4P" || ext == ".AU";
}

} // namespace

std::string ExtractExtension(const std::string& fileName)
{
    auto dot = fileName.rfind('.');
    if (dot == std::string::npos) return {};
    if (fileName.find_first_of("/", dot) != std::string::npos) return {};
    return upperAscii(fileName.substr(dot));
}

int RoundHalfEven(double value)
{
    if (!std::isfinite(value)) return 0;
    double r = std::nearbyint(value); // the default rounding mode is to nearest, ties to even
    if (r < double(std::numeric_limits<int32_t>::min()) || r > double(std::numeric_limits<int32_t>::max()))
        return 0;
    return int(r);
}

int GetAudioDuration(const std::string& fileName)
{
    try {
        std::string ext = ExtractExtension(fileName);
        if (ext.empty()) return 0;
        if (isMediaInfoExtension(ext)) return GetMediaInfoDuration(fileName);
        for (const Row& row : durationTable())
            if (ext == row.extension) return RoundHalfEven(row.seconds(fileName));
    } catch (...) {
        // Any failure of a reader or of the library means "no playing time".
    }
    return 0;
}

std::string FormatDuration(int seconds)
{
    auto minutes = uint16_t(seconds / 60);
    auto rest = uint16_t(seconds - int(minutes) * 60);
    auto two = [](unsigned v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return two(minutes) + ":" + two(rest);
}

int GetMediaInfoDuration(const std::string& fileName)
{
    // No library or an answer that is no number: no playing time.
    return TMediaInfoLib::shared().seconds(fileName).seconds;
}

std::string GetMediaInfoArtist(const std::string& fileName)
{
    try {
        return TMediaInfoLib::shared().general(fileName, L"Performer").text;
    } catch (...) {
        return {};
    }
}

std::string GetMediaInfoAlbum(const std::string& fileName)
{
    try {
        return TMediaInfoLib::shared().general(fileName, L"Album").text;
    } catch (...) {
        return {};
    }
}

} // namespace cantorix
