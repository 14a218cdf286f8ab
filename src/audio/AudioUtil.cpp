#include "audio/AudioUtil.h"

#include "audio/FileIO.h"
#include "audio/FormatRegistry.h"
#include "audio/TextCodec.h"

#include <MediaInfo/MediaInfo.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace cantorix {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char32_t), "the library's wide strings are UTF-32 here");

// Feeds one file to the library through its buffer interface and asks one General-stream value by
// name. Reading the file ourselves keeps any file name working whatever the process locale, and
// bounds how much is read.
std::string mediaInfoGeneral(const std::string& fileName, const wchar_t* parameter)
{
    TFileReader in;
    if (!in.open(fileName)) return {};
    MediaInfoLib::MediaInfo mi;
    mi.Open_Buffer_Init(uint64_t(in.size()), 0);
    std::vector<uint8_t> chunk(64 * 1024);
    // Each round either reads forward or follows the library's request to seek; bounded so that a
    // library that keeps asking cannot hold us forever.
    for (int round = 0; round < 100000; ++round) {
        size_t n = in.readSome(chunk.data(), chunk.size());
        if (n == 0) break;
        size_t status = mi.Open_Buffer_Continue(chunk.data(), n);
        if (status & 0x08) break; // finished
        uint64_t want = mi.Open_Buffer_Continue_GoTo_Get();
        if (want != uint64_t(-1)) {
            if (want > uint64_t(in.size()) || !in.seek(int64_t(want))) break;
            mi.Open_Buffer_Init(uint64_t(in.size()), want);
        }
    }
    mi.Open_Buffer_Finalize();
    std::wstring answer = mi.Get(MediaInfoLib::Stream_General, 0, parameter);
    mi.Close();
    return utf32ToUtf8(std::u32string(answer.begin(), answer.end()));
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
        const TFormat* format = FindFormat(fileName);
        if (!format) return 0;
        if (format->MediaInfo) return GetMediaInfoDuration(fileName);
        if (!format->PlayingTime) return 0;
        TFileReader in;
        if (!in.open(fileName)) return 0;
        if (format->MediaInfoWhen && format->MediaInfoWhen(in)) return GetMediaInfoDuration(fileName);
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
    std::string ms = mediaInfoGeneral(fileName, L"Duration");
    if (ms.empty()) throw std::runtime_error("'' is not a valid integer value");
    size_t i = (ms[0] == '-' || ms[0] == '+') ? 1 : 0;
    if (i == ms.size()) throw std::runtime_error("'" + ms + "' is not a valid integer value");
    int64_t v = 0;
    for (; i < ms.size(); ++i) {
        if (ms[i] < '0' || ms[i] > '9' || v > (int64_t(1) << 40))
            throw std::runtime_error("'" + ms + "' is not a valid integer value");
        v = v * 10 + (ms[i] - '0');
    }
    if (ms[0] == '-') v = -v;
    return int(v / 1000);
}

std::string GetMediaInfoArtist(const std::string& fileName)
{
    try {
        return mediaInfoGeneral(fileName, L"Performer");
    } catch (...) {
        return {};
    }
}

std::string GetMediaInfoAlbum(const std::string& fileName)
{
    try {
        return mediaInfoGeneral(fileName, L"Album");
    } catch (...) {
        return {};
    }
}

} // namespace cantorix
