#include "core/rename/NameFormat.h"

#include "audio/TagText.h"

#include <utility>

namespace cantorix {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool matchesAt(std::string_view text, size_t pos, std::string_view pattern, bool ignoreCase)
{
    if (pattern.size() > text.size() - pos) return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char a = text[pos + i], b = pattern[i];
        if (ignoreCase ? lowerAscii(a) != lowerAscii(b) : a != b) return false;
    }
    return true;
}

std::string replaceImpl(std::string_view text, std::string_view from, std::string_view to, bool ignoreCase)
{
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (matchesAt(text, i, from, ignoreCase)) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

// Control characters (below 32, and 127) have no place in a name: a line break in a title would split
// a playlist line. Each becomes a space, which the later steps collapse and trim.
std::string blankControls(std::string s)
{
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
    return s;
}

// The replacements folder and playlist names share: characters that file names cannot hold become
// "_" (the question mark goes).
std::string cleanFolderLike(std::string s)
{
    s = blankControls(std::move(s));
    for (const char* bad : {":", "/", "\\", "|", "*"}) s = ReplaceAll(s, bad, "_");
    s = ReplaceAll(s, "?", "");
    for (const char* bad : {"<", ">", "\""}) s = ReplaceAll(s, bad, "_");
    return s;
}

std::string collapseSpaces(std::string s)
{
    // Each pass halves every run of spaces; three passes take runs of up to eight down to one.
    for (int pass = 0; pass < 3; ++pass) s = ReplaceAll(s, "  ", " ");
    return s;
}

} // namespace

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    return replaceImpl(text, from, to, false);
}

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to)
{
    return replaceImpl(text, from, to, true);
}

std::string PrepareNameTemplate(std::string_view nameFormat)
{
    std::string t(nameFormat);
    t = ReplaceAllIgnoreCase(t, "artist", "$artist$");
    t = ReplaceAllIgnoreCase(t, "album", "$album$");
    t = ReplaceAllIgnoreCase(t, "year", "$year$");
    t = ReplaceAllIgnoreCase(t, "track", "$track$");
    t = ReplaceAll(t, "#", "$#$");
    return t;
}

std::string OldNameExtension(std::string_view oldName)
{
    size_t dot = oldName.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(oldName.substr(dot));
}

std::string BuildFileName(std::string_view preparedTemplate, const TNameValues& values,
                          std::string_view extension, bool fixUnderScores, TNameVariant variant)
{
    std::string trackNo = values.TrackNo;
    if (variant == TNameVariant::RenameByTag && utf8Length(trackNo) == 1) trackNo = "0" + trackNo;

    // Each value is put in on the text the previous one left, so a value that holds a later
    // placeholder is expanded too.
    std::string s(preparedTemplate);
    s = ReplaceAllIgnoreCase(s, "$artist$", values.Artist);
    s = ReplaceAllIgnoreCase(s, "$album$", values.Album);
    s = ReplaceAllIgnoreCase(s, "$year$", values.Year);
    s = ReplaceAllIgnoreCase(s, "$track$", values.Title);
    s = ReplaceAll(s, "$#$", trackNo);
    s = trimBlanks(s);
    s += extension;

    s = blankControls(std::move(s));
    s = ReplaceAll(s, ":", "-");
    s = ReplaceAll(s, "/", " - ");
    s = ReplaceAll(s, "\\", "_");
    s = ReplaceAll(s, "|", "_");
    s = ReplaceAll(s, "*", " ");
    s = ReplaceAll(s, "?", "");
    s = ReplaceAll(s, "<", "-");
    s = ReplaceAll(s, ">", "-");
    s = ReplaceAll(s, "\"", " ");
    if (fixUnderScores) s = ReplaceAll(s, "_", " ");
    if (variant == TNameVariant::RenameByTag) s = ReplaceAll(s, "- - -", "-");
    s = ReplaceAll(s, "- -", "-");
    s = ReplaceAll(s, "()", "");
    s = ReplaceAll(s, "[]", "");
    s = collapseSpaces(std::move(s));
    return trimBlanks(s);
}

std::string BuildFolderName(std::string_view artist, std::string_view album, std::string_view year,
                            int folderFormat)
{
    std::string a(artist), b(album), y(year);
    std::string name;
    if (y.empty()) {
        name = a + " - " + b;
    } else {
        switch (folderFormat) {
        case 0: name = a + " [" + y + "] - " + b; break;
        case 1: name = a + " - " + b; break;
        case 2: name = y + " - " + b; break;
        case 3: name = b + " [" + y + "]"; break;
        case 4: name = b; break;
        default: break;
        }
    }
    name = cleanFolderLike(std::move(name));
    name = ReplaceAll(name, "[]", "");
    name = ReplaceAll(name, "__", "_");
    return collapseSpaces(std::move(name));
}

std::string BuildPlaylistName(std::string_view artist, std::string_view album)
{
    std::string name = cleanFolderLike(std::string(artist) + " - " + std::string(album));
    name = ReplaceAll(name, "__", "_");
    return collapseSpaces(std::move(name));
}

std::string FitNameLength(std::string_view name, size_t maxBytes)
{
    if (name.size() <= maxBytes) return std::string(name);
    std::string_view ext;
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0 && name.size() - dot < maxBytes) ext = name.substr(dot);
    std::string_view stem = name.substr(0, name.size() - ext.size());
    size_t keep = maxBytes - ext.size();
    // Back up to the first byte of a character: continuation bytes are 10xxxxxx.
    while (keep > 0 && keep < stem.size() && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80) --keep;
    std::string fitted(stem.substr(0, std::min(keep, stem.size())));
    while (!fitted.empty() && fitted.back() == ' ') fitted.pop_back();
    return fitted + std::string(ext);
}

} // namespace cantorix
