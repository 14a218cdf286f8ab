// The single door through which the rest of Cantorix learns what an audio file is and how long it
// plays: the built-in extension list, the playing time by extension, the duration text, and the
// media-information library for what no reader of our own handles.
#pragma once

// BuiltinExtensions and ExtractExtension belong to the format registry.
#include "audio/FormatRegistry.h"
#include "audio/Rational.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cantorix {

// Playing time of a file in whole seconds, by the registry row it resolves to (ResolveFormat: its
// extension's, unless its bytes say it is another container). 0 when the file gives none
// (unreadable, unrecognised, no reader for the extension). Never throws.
int GetAudioDuration(const std::string& fileName);

// The playing time with the reason when there is none: the window shows such a file as "--:--" and
// says why, since a zero would silently spoil the disc ID.
struct TDurationResult {
    int Seconds = 0;          // whole seconds, rounded half to even: the freedb disc ID's unit
    // The same playing time to the millisecond: Samples / SampleRate rounded when they are known,
    // else the reader's own time rounded, or the media-information library's milliseconds.
    int64_t Milliseconds = 0;
    // The exact length where the format stores it: samples per channel and their rate in Hz. Both 0
    // when the format (or this file) gives only a time.
    int64_t Samples = 0;
    uint32_t SampleRate = 0;
    bool Known = false;
    std::string Problem; // why it is not known; empty when it is
};
TDurationResult ReadAudioDuration(const std::string& fileName);

// "mm:ss": minutes and seconds, each at least two digits (185 gives "03:05", 6000 gives "100:00").
std::string FormatDuration(int seconds);

// Media-information library queries on the General stream (the library is loaded on the first one,
// see MediaInfoLib.h). GetMediaInfoDuration gives the truncated whole seconds of the library's
// milliseconds, 0 when the answer is not a decimal number or the library is missing. Artist and album
// are empty when the library has none.
int GetMediaInfoDuration(const std::string& fileName);
std::string GetMediaInfoArtist(const std::string& fileName);
std::string GetMediaInfoAlbum(const std::string& fileName);

} // namespace cantorix
