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

// The items of the folder-format list, index = the setting FolderFormat. The last one names a folder
// that holds one disc of a set: " (CD <disc>)" follows the album when the disc number is known.
inline constexpr const char* FolderFormatItems[] = {
    "artist [year] - album", "artist - album", "year - album", "album [year]", "album", "artist [year] - album (CD disc)",
};
inline constexpr int FolderFormatCount = int(std::size(FolderFormatItems));

// The two users of the engine differ in two steps: rename by tag pads a one-character track number
// and joins "- - -" into "-".
enum class TNameVariant { RenameRun, RenameByTag };

// The values one file's name is built from. TrackArtist is the track's own artist on an album of
// various artists (empty: the album's artist stands for it); Disc is the disc number of an album of
// several discs (empty for a single disc).
struct TNameValues {
    std::string Artist, Album, Year, Title, TrackNo;
    std::string TrackArtist = {};
    std::string Disc = {};
};

// Replaces every non-overlapping occurrence of `from` (non-empty), left to right; inserted text is
// not searched again. The IgnoreCase form compares ASCII letters without regard to case (the
// patterns are ASCII, so bytes of multi-byte characters never match).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to);

// The keywords of a name format turned into placeholders, without regard to case and also inside
// words: "tracks by Artist" gives "$track$s by $artist$". "trackartist" is taken before "artist" and
// "track" (its placeholder "$ta$" holds neither), "disc" last. Done once per run.
std::string PrepareNameTemplate(std::string_view nameFormat);

// The extension a new name keeps: from the last "." of the old bare name to its end, letters as on
// disk; empty when the name has no dot.
std::string OldNameExtension(std::string_view oldName);

// The new bare file name from a prepared template, the values and the extension (with its dot).
// "trackartist" is the track's artist, or the album's when the track has none. Never fails; the result
// may be empty or equal to the old name.
std::string BuildFileName(std::string_view preparedTemplate, const TNameValues& values,
                          std::string_view extension, bool fixUnderScores, TNameVariant variant);

// The album folder's new bare name for a folder-format index (0 to FolderFormatCount - 1). An empty
// year gives "artist - album" whatever the index (with the disc of the last item); any other index
// gives an empty name. `disc` is used by the last item only.
std::string BuildFolderName(std::string_view artist, std::string_view album, std::string_view year,
                            int folderFormat, std::string_view disc = {});

// The playlist's bare name without its ".m3u": artist + " - " + album, cleaned.
std::string BuildPlaylistName(std::string_view artist, std::string_view album);

// A built name cut to at most `maxBytes` bytes of UTF-8 and, when `maxUnits` is not 0, to at most that
// many UTF-16 code units: the end of the stem goes, never a part of a character, and the extension
// (from the last ".", when it is shorter than the limit) stays. A name within the limits is returned
// as it is.
std::string FitNameLength(std::string_view name, size_t maxBytes, size_t maxUnits = 0);

// The UTF-16 code units of a UTF-8 text (what FAT, exFAT and NTFS count a name in).
size_t Utf16Length(std::string_view utf8);

// Names for FAT, exFAT and NTFS devices. A name there holds at most PortableNameUnits UTF-16 units.
inline constexpr size_t PortableNameUnits = 255;
// What kind of name a rule works on: a file's ("/" becomes " - ") or a folder's or playlist's ("/"
// becomes "_").
enum class TNameKind { File, Folder };
// `name` as such a device takes it: each of < > : " \ | ? * (and a control character) replaced as "/"
// is in that kind of name, trailing dots and spaces removed, and a reserved device name (CON, PRN,
// AUX, NUL, COM0 to COM9, LPT0 to LPT9, before the first ".", any letter case) given a "_" after it.
// The length is left to the fitting. A name that nothing is left of becomes "_".
std::string PortableName(std::string_view name, TNameKind kind);

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
// nothing before the extension, or no name at all. With `portable` the name is made a device's
// (PortableName) and fitted within PortableNameUnits as well.
std::optional<TFittedName> BuildFittedFileName(std::string_view preparedTemplate, const TNameValues& values,
                                               std::string_view extension, bool fixUnderScores, TNameVariant variant,
                                               size_t maxBytes, bool portable = false);

// The rows of one operation: a name that fitting made equal to another row's, though their full names
// differ, gets " (<row>)" before its extension (row counted from 1), still within `maxBytes` (and
// `maxUnits` UTF-16 units when not 0). Rows with an empty Name take no part.
void SeparateShortenedNames(std::vector<TFittedName>& names, size_t maxBytes, size_t maxUnits = 0);

// An album of various artists: its artist is "Various", "Various Artists" or "VA" (any letter case,
// blanks around it ignored).
bool IsVariousArtists(std::string_view artist);
// A title of an album of various artists, "Track Artist / Title", split at its first " / " into the
// track's artist and the title, each trimmed; a title without one gives an empty artist and itself.
struct TTrackCredit {
    std::string Artist, Title;
};
TTrackCredit SplitTrackArtist(std::string_view title);

} // namespace cantorix
