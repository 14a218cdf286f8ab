#include "audio/AudioUtil.h"

#include "audio/ByteSource.h"
#include "audio/FormatRegistry.h"
#include "audio/MediaInfoLib.h"
#include "audio/Rational.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace cantorix {

int GetAudioDuration(const std::string& fileName) { return ReadAudioDuration(fileName).Seconds; }

namespace {

TDurationResult noDuration(std::string why)
{
    TDurationResult r;
    r.Problem = std::move(why);
    return r;
}

// A reader's time: the whole seconds rounded from its own value as ever (cut toward zero for a row
// whose seconds the media-information library used to give); the milliseconds from the exact sample
// count where there is one, since the reader's floating-point time may be a frame off.
TDurationResult readerDuration(const TPlayingTime& time, bool cutSeconds)
{
    TDurationResult r;
    r.Seconds = cutSeconds ? int(std::min(std::floor(time.Seconds), double(INT32_MAX))) : RoundHalfEven(time.Seconds);
    r.Samples = time.Samples;
    r.SampleRate = time.SampleRate;
    r.Milliseconds = time.SampleRate > 0 ? RoundRatioHalfEven(__int128(time.Samples) * 1000, time.SampleRate)
                                         : std::llround(time.Seconds * 1000.0);
    r.Known = true;
    return r;
}

// The library's time: its milliseconds, and their whole seconds cut toward zero.
TDurationResult libraryDuration(const std::string& fileName)
{
    const TMediaInfoSeconds d = TMediaInfoLib::shared().seconds(fileName);
    if (!d.ok || d.seconds <= 0) return noDuration("the media information library found no playing time");
    TDurationResult r;
    r.Seconds = d.seconds;
    r.Milliseconds = d.milliseconds;
    r.Known = true;
    return r;
}

} // namespace

TDurationResult ReadAudioDuration(const std::string& fileName)
{
    try {
        TFileReader in;
        const TFormat* format = ResolveFormat(fileName, in);
        const std::string ext = ExtractExtension(fileName);
        if (!format)
            return noDuration("no reader for " + (ext.empty() ? std::string("files without an extension") : ext) +
                              " files");
        if (!format->PlayingTime) {
            if (format->MediaInfo) return libraryDuration(fileName);
            return noDuration("no reader for " + ext + " files yet");
        }
        if (!in.isOpen())
            if (IoResult opened = in.open(fileName); !opened) return noDuration("cannot open the file: " + opened.error);
        const TPlayingTime time = format->PlayingTime(in);
        if (time.Seconds > 0) return readerDuration(time, format->CutSeconds);
        // A file our reader cannot time, the library may (it reads more kinds of such files).
        if (format->MediaInfo) return libraryDuration(fileName);
        return noDuration("not a valid " + ext.substr(ext.empty() ? 0 : 1) + " file, or it holds no audio");
    } catch (const std::exception& e) {
        return noDuration(e.what());
    } catch (...) {
        // Any failure of a reader or of the library means "no playing time".
    }
    return noDuration("the reader failed");
}

std::string FormatDuration(int seconds)
{
    auto minutes = uint16_t(seconds / 60);
    auto rest = uint16_t(seconds - int(minutes) * 60);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u", unsigned(minutes), unsigned(rest));
    return text;
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
