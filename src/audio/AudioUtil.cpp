#include "audio/AudioUtil.h"

#include "audio/ByteSource.h"
#include "audio/FormatRegistry.h"
#include "audio/MediaInfoLib.h"
#include "audio/Rational.h"
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

int GetAudioDuration(const std::string& fileName) { return ReadAudioDuration(fileName).Seconds; }

TDurationResult ReadAudioDuration(const std::string& fileName)
{
    auto none = [](std::string why) {
        TDurationResult r;
        r.Problem = std::move(why);
        return r;
    };
    auto known = [](const TPlayingTime& time) {
        TDurationResult r;
        r.Seconds = RoundHalfEven(time.Seconds);
        r.Samples = time.Samples;
        r.SampleRate = time.SampleRate;
        r.Milliseconds = time.SampleRate > 0 ? RoundRatioHalfEven(__int128(time.Samples) * 1000, time.SampleRate)
                                             : std::llround(time.Seconds * 1000.0);
        r.Known = true;
        return r;
    };
    try {
        const TFormat* format = FindFormat(fileName);
        const std::string ext = ExtractExtension(fileName);
        if (!format) return none("no reader for " + (ext.empty() ? std::string("files without an extension") : ext) + " files");
        if (format->MediaInfo) {
            const int seconds = GetMediaInfoDuration(fileName);
            if (seconds > 0) return known({double(seconds)});
            return none("the media information library found no playing time");
        }
        if (!format->PlayingTime) return none("no reader for " + ext + " files yet");
        TFileReader in;
        if (!in.open(fileName)) return none("cannot open the file: " + in.error().error);
        if (format->MediaInfoWhen && format->MediaInfoWhen(in)) {
            const int seconds = GetMediaInfoDuration(fileName);
            if (seconds > 0) return known({double(seconds)});
            return none("the media information library found no playing time");
        }
        const TPlayingTime time = format->PlayingTime(in);
        if (!(time.Seconds > 0)) return none("not a valid " + ext.substr(ext.empty() ? 0 : 1) + " file, or it holds no audio");
        return known(time);
    } catch (const std::exception& e) {
        return none(e.what());
    } catch (...) {
        // Any failure of a reader or of the library means "no playing time".
    }
    return none("the reader failed");
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
