// The one table of audio formats: a row per extension says how its playing time is found, which
// reader fills the information window, and how its tags are written. The built-in extension list,
// the playing time, the information values, rename by tag and tag writing all find a file's row
// through ResolveFormat. Adding a format is one row here and one reader class.
#pragma once

#include "audio/ByteSource.h"
#include "audio/FileInfo.h"
#include "audio/PlayingTime.h"
#include "audio/WriteTags.h"

#include <span>
#include <string>

namespace cantorix {

// The built-in extensions, upper case with their dot, comma-separated, in their fixed order: the
// registry's built-in rows.
extern const char* const BuiltinExtensions;

// The extension of a file name: from the last "." to the end, upper-cased (a to z only); empty when
// there is no dot or a "/" follows it.
std::string ExtractExtension(const std::string& fileName);

struct TFormat {
    const char* Extension = "";            // upper case, with its dot
    bool Builtin = false;                   // an entry of BuiltinExtensions, in the order of the rows
    // The media-information library gives the playing time, already truncated to whole seconds: when
    // the row has no reader of its own, or that reader finds none in a file.
    bool MediaInfo = false;
    PlayingTimeReader PlayingTime = nullptr; // a reader of our own; neither: no playing time (0)
    // The reader's whole seconds are cut toward zero, not rounded: the library's were, and the
    // files' disc IDs were made from them.
    bool CutSeconds = false;
    // A file of this extension whose bytes say it is really another container, one the
    // media-information library reads, is read by the row MediaInfoInstead for everything: playing
    // time, values, rename by tag and tag writing.
    bool (*MediaInfoWhen)(TInSource& in) = nullptr;
    const TFormat* MediaInfoInstead = nullptr;
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

// The row of the extension of `fileName` (ExtractExtension) among `formats`; null when none. It
// looks at the name only: what a file is read by is ResolveFormat's answer.
const TFormat* FindFormat(const std::string& fileName, std::span<const TFormat> formats = Formats());

// The row that `fileName` is read and written by: its extension's row, or that row's MediaInfoInstead
// when the row's MediaInfoWhen finds the other container in the file's bytes. Null when the extension
// has no row. Only such a test opens the file, into `file`, which then stays open for the caller's
// reader; otherwise `file` is left as it was. A file that cannot be opened keeps its extension's row.
const TFormat* ResolveFormat(const std::string& fileName, TFileReader& file,
                             std::span<const TFormat> formats = Formats());
// The same for a caller that reads nothing itself (the tag writers open the file on their own).
const TFormat* ResolveFormat(const std::string& fileName, std::span<const TFormat> formats = Formats());

} // namespace cantorix
