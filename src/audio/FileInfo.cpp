#include "audio/FileInfo.h"

#include "audio/AudioUtil.h"
#include "audio/FileIO.h"
#include "audio/formats/MPEGaudio.h"
#include "audio/formats/FLACfile.h"
#include "audio/formats/OggVorbis.h"

#include <cmath>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace cantorix {

namespace {

struct InfoRow {
    const char* extension;
    FileInfoReader read; // null: the reader is not built yet, only Size is shown
};

const std::vector<InfoRow>& infoTable()
{
    static const std::vector<InfoRow> rows = {
        {".AAC", nullptr}, {".AC3", nullptr}, {".APE", nullptr}, {".MAC", nullptr}, {".DTS", nullptr},
        {".FLAC", ReadFLACInfo}, {".MPC", nullptr}, {".MP3", ReadMpegFileInfo}, {".MP2", ReadMpegFileInfo},
        {".MPA", ReadMpegFileInfo}, {".OGG", ReadOggInfo}, {".OFR", nullptr}, {".OFS", nullptr}, {".TTA", nullptr},
        {".VQF", nullptr},
        {".WV", nullptr}, {".WAV", nullptr}, {".WMA", nullptr}, {".M4A", nullptr}, {".M4B", nullptr},
        {".M4P", nullptr}, {".RA", nullptr}, {".AU", nullptr},
    };
    return rows;
}

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
    std::string ext = ExtractExtension(fileName);
    try {
        for (const InfoRow& row : infoTable()) {
            if (ext != row.extension || !row.read) continue;
            TFileReader in;
            in.open(fileName); // a file that cannot be opened reads as an empty one: the reader's empty values
            row.read(in, v);
        }
    } catch (...) {
        // A reader that fails shows its empty values.
    }
    return v;
}

} // namespace cantorix
