#include "audio/FileInfo.h"

#include "audio/ByteSource.h"
#include "audio/FormatRegistry.h"
#include "audio/MediaInfoLib.h"

#include <array>
#include <charconv>
#include <cmath>
#include <sys/stat.h>

namespace cantorix {

namespace {

std::string oneDecimal(double v, const char* unit) { return FixedDecimal(v, 1) + unit; }

// A decimal number as the media-information library writes it ("44100", "5016.000"); false for
// anything else. Locale-free.
bool parseNumber(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

} // namespace

std::string FormatSizeText(int64_t s)
{
    if (s > (int64_t(1) << 30)) return oneDecimal(double(s) / double(int64_t(1) << 30), "GB");
    if (s > (int64_t(1) << 20)) return oneDecimal(double(s) / double(int64_t(1) << 20), "MB");
    if (s > 1024) return oneDecimal(double(s) / 1024.0, "KB");
    return oneDecimal(double(s), "B");
}

std::string FormatLongDuration(double seconds)
{
    long long total = std::isfinite(seconds) ? (long long)std::nearbyint(seconds) : 0;
    if (total < 0) total = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", total / 3600, (total / 60) % 60, total % 60);
    return buf;
}

std::string ChannelCode(int channels)
{
    if (channels <= 0) return "Unknown";
    if (channels == 1) return "M";
    if (channels == 2) return "S";
    return std::to_string(channels) + "ch.";
}

// std::to_chars never looks at the locale: the texts read "44.1" under a locale whose decimal
// separator is a comma too (both programs take the user's locale at start).
std::string ShortestDecimal(double value)
{
    if (!std::isfinite(value)) return "0";
    std::array<char, 64> buf;
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    return ec == std::errc() ? std::string(buf.data(), end) : std::string("0");
}

std::string FixedDecimal(double value, int decimals)
{
    if (!std::isfinite(value)) value = 0;
    if (decimals < 0) decimals = 0;
    if (decimals > 17) decimals = 17;
    std::array<char, 400> buf; // the largest double in fixed notation takes 309 digits
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buf.data(), end) : std::string("0");
}

std::string RateKHz(double hz) { return ShortestDecimal(hz / 1000.0); }

TFileInfoValues ReadFileInfo(const std::string& fileName)
{
    TFileInfoValues v;
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) v.Size = FormatSizeText(int64_t(st.st_size));
    TFileReader in;
    const TFormat* format = ResolveFormat(fileName, in);
    if (format && format->MediaInfoValues) {
        ReadMediaInfoValues(fileName, v);
        return v;
    }
    if (!format || !format->Info) return v;
    try {
        // A file that cannot be opened reads as an empty one: the reader's empty values.
        if (!in.isOpen()) in.open(fileName);
        format->Info(in, v);
    } catch (...) {
        // A reader that fails shows its empty values.
    }
    return v;
}

void ReadMediaInfoValues(const std::string& fileName, TFileInfoValues& v)
{
    enum { Artist, Album, Title, Track, Year, Genre, SampleRate, Bitrate, Duration, Channels, Count };
    static constexpr TMediaInfoAsk asks[Count] = {
        {TMediaStream::General, L"Performer"},      {TMediaStream::General, L"Album"},
        {TMediaStream::General, L"Title"},          {TMediaStream::General, L"Track"},
        {TMediaStream::General, L"Recorded_Date"},  {TMediaStream::General, L"Genre"},
        {TMediaStream::Audio, L"SamplingRate"},     {TMediaStream::General, L"OverallBitRate"},
        {TMediaStream::General, L"Duration"},       {TMediaStream::Audio, L"Channel(s)"},
    };
    TMediaInfoTexts got;
    try {
        got = TMediaInfoLib::shared().values(fileName, asks);
    } catch (...) {
        return;
    }
    if (!got.ok || got.texts.size() != Count) return;
    const auto& t = got.texts;
    v.Artist = t[Artist];
    v.Album = t[Album];
    // MP4 keeps the song's name as the title; some containers call it the track name.
    v.Title = !t[Title].empty() ? t[Title] : t[Track];
    v.Year = t[Year];
    v.Genre = t[Genre];
    double n = 0;
    if (parseNumber(t[SampleRate], n)) v.SampleRate = RateKHz(n);
    if (parseNumber(t[Bitrate], n)) v.Bitrate = ShortestDecimal(std::ceil(n / 1000.0));
    // Whole seconds of the milliseconds, cut toward zero; a negative time shows as 00:00:00.
    if (parseNumber(t[Duration], n)) v.Duration = FormatLongDuration(std::trunc(std::trunc(n) / 1000.0));
    v.Channels = t[Channels];
}

TFileInfoValues ReadNameTagValues(const std::string& fileName, bool* proposes)
{
    TFileInfoValues v;
    TFileReader in;
    const TFormat* format = ResolveFormat(fileName, in);
    *proposes = format && format->ProposesByTag;
    if (!*proposes) return v;
    if (format->MediaInfoValues) {
        ReadMediaInfoValues(fileName, v);
        v.Track.clear(); // the library's rows give no track number
        return v;
    }
    FileInfoReader reader = format->NameTags ? format->NameTags : format->Info;
    if (!reader) {
        *proposes = false;
        return v;
    }
    try {
        if (!in.isOpen()) in.open(fileName);
        reader(in, v);
    } catch (...) {
        v = TFileInfoValues();
    }
    // Formats that store the track as a number say 0 for none.
    if (v.Track == "0") v.Track.clear();
    return v;
}

} // namespace cantorix
