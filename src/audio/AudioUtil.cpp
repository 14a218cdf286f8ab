#include "audio/AudioUtil.h"

#include "audio/FileIO.h"
#include "audio/FormatRegistry.h"
#include "audio/MediaInfoLib.h"
#include "audio/TextCodec.h"


#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace cantorix {


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
        const TFormat* format = FindFormat(fileName);
        if (!format) return 0;
        if (format->MediaInfo) return GetMediaInfoDuration(fileName);
        if (!format->PlayingTime) return 0;
        TFileReader in;
        if (!in.open(fileName)) return 0;
        return RoundHalfEven(format->PlayingTime(in));
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
