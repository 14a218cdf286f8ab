#include "audio/FormatRegistry.h"

#include "audio/TextCodec.h"
#include "audio/formats/AACfile.h"
#include "audio/formats/AC3.h"
#include "audio/formats/AUfile.h"
#include "audio/formats/AudioInfo.h"
#include "audio/formats/DTS.h"
#include "audio/formats/FLACfile.h"
#include "audio/formats/MPEGaudio.h"
#include "audio/formats/MP4file.h"
#include "audio/formats/MPEGplus.h"
#include "audio/formats/Monkey.h"
#include "audio/formats/OggVorbis.h"
#include "audio/formats/OptimFrog.h"
#include "audio/formats/TTA.h"
#include "audio/formats/TwinVQ.h"
#include "audio/formats/WAVfile.h"
#include "audio/formats/WMAfile.h"
#include "audio/formats/WavPackFile.h"

#include <array>
#include <string>

namespace cantorix {

namespace {

// An ".aac" file that holds an MP4 container is read as ".M4A" files are: its playing time from its
// boxes, the media-information library gives its values and rename by tag's values, and no tags are
// written (the AAC writer would refuse the file).
constexpr TFormat kMP4NamedAAC = {.Extension = ".AAC", .MediaInfo = true, .PlayingTime = MP4PlayingTime,
                                  .CutSeconds = true, .MediaInfoValues = true, .ProposesByTag = true};

// Rows whose readers are not built yet behave as extensions without a reader: no playing time, no
// values beyond the size, and (for the tag-writing rows) nothing written.
constexpr TFormat kFormats[] = {
    {.Extension = ".AAC", .Builtin = true, .PlayingTime = AACPlayingTime, .MediaInfoWhen = IsMP4Container,
     .MediaInfoInstead = &kMP4NamedAAC,
     .Info = ReadAACInfo, .WritesTags = true, .Writer = WriteAacID3Tags, .NumericTrack = true,
     .ProposesByTag = true, .NameTags = ReadAACNameTags},
    {.Extension = ".AC3", .Builtin = true, .PlayingTime = AC3PlayingTime, .Info = ReadAC3Info},
    {.Extension = ".APE", .Builtin = true, .PlayingTime = MonkeyPlayingTime, .Info = ReadMonkeyInfo,
     .WritesTags = true, .Writer = WriteID3AndApeTags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".MAC", .Builtin = true, .PlayingTime = MonkeyPlayingTime, .Info = ReadMonkeyInfo,
     .WritesTags = true, .Writer = WriteID3AndApeTags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".DTS", .Builtin = true, .PlayingTime = DTSPlayingTime, .Info = ReadDTSInfo},
    {.Extension = ".FLAC", .Builtin = true, .PlayingTime = FLACPlayingTime, .Info = ReadFLACInfo,
     .WritesTags = true, .Writer = WriteFLACTags,
     .NumericTrack = false, // TRACKNUMBER keeps the text
     .ProposesByTag = true},
    {.Extension = ".MPC", .Builtin = true, .PlayingTime = MPEGplusPlayingTime, .Info = ReadMPEGplusInfo,
     .WritesTags = true, .Writer = WriteID3AndApeTags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".MP3", .Builtin = true, .PlayingTime = MpegPlayingTime, .Info = ReadMpegFileInfo,
     .WritesTags = true, .Writer = WriteID3Tags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".MP2", .Builtin = true, .PlayingTime = MpegPlayingTime, .Info = ReadMpegFileInfo,
     .WritesTags = true, .Writer = WriteID3Tags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".MPA", .Builtin = true, .PlayingTime = MpegPlayingTime, .Info = ReadMpegFileInfo,
     .WritesTags = true, .Writer = WriteID3Tags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".OGG", .Builtin = true, .PlayingTime = OggPlayingTime, .Info = ReadOggInfo,
     .WritesTags = true, .Writer = WriteOggTags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".OFR", .Builtin = true, .PlayingTime = OptimFrogPlayingTime, .Info = ReadOptimFrogInfo,
     .WritesTags = true, .Writer = WriteID3AndApeTags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".OFS", .Builtin = true, .PlayingTime = OptimFrogPlayingTime, .Info = ReadOptimFrogInfo,
     .WritesTags = true, .Writer = WriteID3AndApeTags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".TTA", .Builtin = true, .PlayingTime = TTAPlayingTime, .Info = ReadTTAInfo,
     .WritesTags = true, .Writer = WriteID3AndApeTags, .NumericTrack = true,
     .ProposesByTag = true},
    {.Extension = ".VQF", .Builtin = true, .PlayingTime = TwinVQPlayingTime, .Info = ReadTwinVQInfo,
     .ProposesByTag = true},
    // WavPack, WAV and WMA files get no tags written.
    {.Extension = ".WV", .Builtin = true, .PlayingTime = WavPackPlayingTime, .Info = ReadWavPackInfo},
    {.Extension = ".WAV", .Builtin = true, .PlayingTime = WAVPlayingTime, .Info = ReadWAVInfo},
    {.Extension = ".WMA", .Builtin = true, .PlayingTime = WMAPlayingTime, .Info = ReadWMAInfo,
     .ProposesByTag = true},
    // MP4 audio: the playing time from the file's own boxes, the library only for a file whose boxes
    // give none (a fragmented file, say); the values through the library.
    {.Extension = ".M4A", .Builtin = true, .MediaInfo = true, .PlayingTime = MP4PlayingTime, .CutSeconds = true,
     .MediaInfoValues = true, .ProposesByTag = true},
    {.Extension = ".M4B", .Builtin = true, .MediaInfo = true, .PlayingTime = MP4PlayingTime, .CutSeconds = true,
     .MediaInfoValues = true, .ProposesByTag = true},
    {.Extension = ".M4P", .Builtin = true, .MediaInfo = true, .PlayingTime = MP4PlayingTime, .CutSeconds = true,
     .MediaInfoValues = true, .ProposesByTag = true},
    // The media-information library reads the length of streamed AU files (size unknown) wrongly;
    // the header is simple enough to read here.
    {.Extension = ".AU", .Builtin = true, .PlayingTime = AUPlayingTime, .Info = ReadAUInfo},
    // The information window reads .RA through the media-information library; it is no built-in
    // extension and has no playing time.
    {.Extension = ".RA", .MediaInfoValues = true},
};

// BuiltinExtensions is made from the rows at compile time: one comma-separated text.
constexpr size_t builtinTextSize()
{
    size_t n = 0;
    for (const TFormat& f : kFormats)
        if (f.Builtin) n += std::char_traits<char>::length(f.Extension) + 1; // its comma or the final zero
    return n;
}

constexpr std::array<char, builtinTextSize()> kBuiltinText = [] {
    std::array<char, builtinTextSize()> text{};
    size_t at = 0;
    for (const TFormat& f : kFormats) {
        if (!f.Builtin) continue;
        if (at > 0) text[at++] = ',';
        for (const char* c = f.Extension; *c; ++c) text[at++] = *c;
    }
    return text;
}();

} // namespace

const char* const BuiltinExtensions = kBuiltinText.data();

std::span<const TFormat> Formats() { return kFormats; }

std::string ExtractExtension(const std::string& fileName)
{
    auto dot = fileName.rfind('.');
    if (dot == std::string::npos) return {};
    if (fileName.find_first_of("/", dot) != std::string::npos) return {};
    return upperAscii(fileName.substr(dot));
}

const TFormat* FindFormat(const std::string& fileName, std::span<const TFormat> formats)
{
    const std::string ext = ExtractExtension(fileName);
    if (ext.empty()) return nullptr;
    for (const TFormat& f : formats)
        if (ext == f.Extension) return &f;
    return nullptr;
}

const TFormat* ResolveFormat(const std::string& fileName, TFileReader& file, std::span<const TFormat> formats)
{
    const TFormat* row = FindFormat(fileName, formats);
    if (!row || !row->MediaInfoWhen || !row->MediaInfoInstead) return row;
    if (!file.isOpen() && !file.open(fileName)) return row; // the row's own reader says why
    const bool other = row->MediaInfoWhen(file);
    file.seek(0);
    return other ? row->MediaInfoInstead : row;
}

const TFormat* ResolveFormat(const std::string& fileName, std::span<const TFormat> formats)
{
    TFileReader file;
    return ResolveFormat(fileName, file, formats);
}

} // namespace cantorix
