// What the file information window shows of one audio file, read by the file's format reader. The
// window and `cantorix-cli info` both show these values.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

namespace cantorix {

class TInSource;

struct TFileInfoValues {
    std::string Size, Duration, SampleRate, Bitrate, Channels;
    std::string Artist, Album, Title, Year, Genre, Track, Other;
};

// Fills the values for `fileName` by the registry row it resolves to (ResolveFormat): that row's
// information reader, or the media-information library. Size is always filled when the file exists;
// a file without a reader fills nothing else. Never
// throws. Numbers are written with "." whatever the process locale is.
TFileInfoValues ReadFileInfo(const std::string& fileName);

// The tag values rename by tag builds a name from (Artist, Album, Title, Year, Track of the result;
// Track empty when the format stores none or 0). `proposes` is false, and the values empty, for a
// format whose files get no proposal (no tags, or no reader). Never throws.
TFileInfoValues ReadNameTagValues(const std::string& fileName, bool* proposes);

// The media-information library's values of a file (MP4 audio, RealAudio): tag values, playing time,
// rates and channels, asked by parameter name. Size is not touched. Nothing is filled when the
// library or the file is not there.
void ReadMediaInfoValues(const std::string& fileName, TFileInfoValues& values);

// "1.5KB", "1024.0B", "2.0MB": one decimal, no space, the largest unit the size exceeds.
std::string FormatSizeText(int64_t bytes);
// "hh:mm:ss" from seconds rounded halves to even; hours may have more digits.
std::string FormatLongDuration(double seconds);
// "Unknown", "M", "S", or "<n>ch.".
std::string ChannelCode(int channels);
// The shortest decimal text of a value (up to 15 significant digits): 44.1, 48, 22.05.
std::string ShortestDecimal(double value);
// `value` with exactly `decimals` decimals (0 to 17), rounded; "." whatever the process locale says.
std::string FixedDecimal(double value, int decimals);
// A sample rate in Hz as kHz text (44100 gives "44.1").
std::string RateKHz(double hz);

// The tag values of a reader or tag that names them Artist, Album, Title, Year, Genre and TrackText (an
// ID3 tag's track as stored) or Track (a number or a text), into any struct with those six texts.
template <typename Reader, typename Values>
void FillTagValues(const Reader& r, Values& values)
{
    values.Artist = r.Artist();
    values.Album = r.Album();
    values.Title = r.Title();
    values.Year = r.Year();
    values.Genre = r.Genre();
    if constexpr (requires { r.TrackText(); })
        values.Track = r.TrackText();
    else if constexpr (std::is_arithmetic_v<decltype(r.Track())>)
        values.Track = std::to_string(r.Track());
    else
        values.Track = r.Track();
}

// The technical values of a reader that names them Duration, SampleRate (Hz), BitRate (a whole number
// is written as it stands, a fraction by ShortestDecimal) and ChannelMode (its own text).
template <typename Reader>
void FillStreamValues(const Reader& r, TFileInfoValues& values)
{
    values.Duration = FormatLongDuration(r.Duration());
    values.SampleRate = RateKHz(r.SampleRate());
    if constexpr (std::is_integral_v<decltype(r.BitRate())>)
        values.Bitrate = std::to_string(r.BitRate());
    else
        values.Bitrate = ShortestDecimal(r.BitRate());
    values.Channels = r.ChannelMode();
}

// One reader's contribution from the file's bytes: fills everything but Size. The readers of each
// format provide one.
using FileInfoReader = void (*)(TInSource& in, TFileInfoValues& values);

} // namespace cantorix
