// The name format engine: a name format such as "artist - album - # - track" and one file's values
// become the file's new bare name, cleaned of characters that file names cannot hold; two further
// builders make the album folder's name and the playlist's name. Pure text functions on UTF-8; they
// touch no file and read no setting (the callers pass FixUnderScores and the folder format).
#pragma once

#include "core/Defaults.h"

#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantorix {

// The items of the folder-format list, index = the setting FolderFormat.
inline constexpr const char* FolderFormatItems[] = {
    "artist [year] - album", "artist - album", "year - album", "album [year]", "album",
};
inline constexpr int FolderFormatCount = int(std::size(FolderFormatItems));

// The two users of the engine differ in two steps: rename by tag pads a one-character track number
// and joins "- - -" into "-".
enum class TNameVariant { RenameRun, RenameByTag };

// The values one file's name is built from.
struct TNameValues {
    std::string Artist, Album, Year, Title, TrackNo;
};

// Replaces every non-overlapping occurrence of `from` (non-empty), left to right; inserted text is
// not searched again. The IgnoreCase form compares ASCII letters without regard to case (the
// patterns are ASCII, so bytes of multi-byte characters never match).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to);

// The keywords of a name format turned into placeholders, without regard to case and also inside
// words: "tracks by Artist" gives "$track$s by $artist$". Done once per run.
std::string PrepareNameTemplate(std::string_view nameFormat);

// The extension a new name keeps: from the last "." of the old bare name to its end, letters as on
// disk; empty when the name has no dot.
std::string OldNameExtension(std::string_view oldName);

// The new bare file name from a prepared template, the values and the extension (with its dot).
// Never fails; the result may be empty or equal to the old name.
std::string BuildFileName(std::string_view preparedTemplate, const TNameValues& values,
                          std::string_view extension, bool fixUnderScores, TNameVariant variant);

// The album folder's new bare name for a folder-format index (0 to 4). An empty year gives
// "artist - album" whatever the index; any other index outside 0 to 4 gives an empty name.
std::string BuildFolderName(std::string_view artist, std::string_view album, std::string_view year,
                            int folderFormat);

// The playlist's bare name without its ".m3u": artist + " - " + album, cleaned.
std::string BuildPlaylistName(std::string_view artist, std::string_view album);

// A built name cut to at most `maxBytes` bytes of UTF-8: the end of the stem goes, never a part of a
// character, and the extension (from the last ".", when it is shorter than the limit) stays. A name
// within the limit is returned as it is.
std::string FitNameLength(std::string_view name, size_t maxBytes);

// True for a name that is one entry of a folder: not empty, not "." or "..", without "/" or NUL.
bool IsUsableName(std::string_view name);

// A file's new name as the renamers move it.
struct TFittedName {
    std::string Name;      // the name to move to
    std::string Full;      // the name before it was fitted
    bool Shortened = false;
};

// BuildFileName made usable and fitted: a "." or blank at the start of the name goes (the file must
// not be hidden because a value was empty), and a name longer than `maxBytes` is fitted by shortening
// the longest of artist, album, year and title first, each at a character boundary and ended with
// "…"; the track number, the start of the title and the extension are never cut. Only when the
// format's own text is too long is the end of the name cut. Nothing when no usable name results:
// nothing before the extension, or no name at all.
std::optional<TFittedName> BuildFittedFileName(std::string_view preparedTemplate, const TNameValues& values,
                                               std::string_view extension, bool fixUnderScores, TNameVariant variant,
                                               size_t maxBytes);

// The rows of one operation: a name that fitting made equal to another row's, though their full names
// differ, gets " (<row>)" before its extension (row counted from 1), still within `maxBytes`. Rows with
// an empty Name take no part.
void SeparateShortenedNames(std::vector<TFittedName>& names, size_t maxBytes);

} // namespace cantorix
