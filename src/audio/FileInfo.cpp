#include "audio/FileInfo.h"

#include "audio/FileIO.h"
#include "audio/FormatRegistry.h"

#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace cantorix {

namespace {

std::string oneDecimal(double v, const char* unit)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f%s", v, unit);
    return buf;
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

std::string ShortestDecimal(double value)
{
    if (!std::isfinite(value)) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

std::string RateKHz(double hz) { return ShortestDecimal(hz / 1000.0); }

TFileInfoValues ReadFileInfo(const std::string& fileName)
{
    TFileInfoValues v;
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) v.Size = FormatSizeText(int64_t(st.st_size));
    const TFormat* format = FindFormat(fileName);
    if (!format || !format->Info) return v;
    try {
        TFileReader in;
        in.open(fileName); // a file that cannot be opened reads as an empty one: the reader's empty values
        format->Info(in, v);
    } catch (...) {
        // A reader that fails shows its empty values.
    }
    return v;
}

} // namespace cantorix
