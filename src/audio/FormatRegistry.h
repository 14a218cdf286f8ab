// The one table of audio formats: a row per extension says how its playing time is found, which
// reader fills the information window, and how its tags are written. The built-in extension list,
// the playing time, the information values and tag writing all read it. Adding a format is one row
// here and one reader class.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"
#include "audio/WriteTags.h"

#include <span>
#include <string>

namespace cantorix {

struct TFormat {
    const char* Extension = "";            // upper case, with its dot
    bool Builtin = false;                   // an entry of BuiltinExtensions, in the order of the rows
    // The media-information library gives the playing time, already truncated to whole seconds.
    bool MediaInfo = false;
    PlayingTimeReader PlayingTime = nullptr; // a reader of our own; neither: no playing time (0)
    // A file of this extension that is really another container (its bytes say so) is timed by the
    // media-information library instead of PlayingTime.
    bool (*MediaInfoWhen)(TInSource& in) = nullptr;
    FileInfoReader Info = nullptr;          // the information window's values; null: Size only
    bool WritesTags = false;                // one of the twelve extensions whose files get tags
    TagWriter Writer = nullptr;             // null while the format has no writer: nothing is written
    // The format stores the track as a number: a Track that is not a decimal number is then passed
    // on empty, so the writer leaves the track out and still writes the other values.
    bool NumericTrack = false;
    // The media-information library gives the information window's values (asked by parameter name).
    bool MediaInfoValues = false;
    // Rename by tag proposes names for this format's files from their tags.
    bool ProposesByTag = false;
    // Rename by tag's values when they come from elsewhere than Info's tag values; null: Info's.
    FileInfoReader NameTags = nullptr;
};

// Every row, the built-in extensions first in their designed order.
std::span<const TFormat> Formats();

// The row of the extension of `fileName` (ExtractExtension) among `formats`; null when none.
const TFormat* FindFormat(const std::string& fileName, std::span<const TFormat> formats = Formats());

} // namespace cantorix
