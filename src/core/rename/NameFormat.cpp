#include "core/rename/NameFormat.h"

#include "audio/TagText.h"

#include <algorithm>
#include <map>
#include <set>
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

// Control characters (below 32, 127 and the C1 range) have no place in a name: a line break in a title
// would split a playlist line. Nor have the bidirectional controls (U+202E and the like), with which a
// name displays reversed, or the line and paragraph separators. Each becomes a space, which the later
// steps collapse and trim.
std::string blankControls(std::string s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const auto next = [&](size_t k) { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0; };
        size_t drop = 0;
        if (c < 32 || c == 127) drop = 1;
        else if (c == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) drop = 2;                  // C1
        else if (c == 0xD8 && next(1) == 0x9C) drop = 2;                                       // U+061C
        else if (c == 0xE2 && next(1) == 0x80 && ((next(2) >= 0x8E && next(2) <= 0x8F) ||     // U+200E/F
                                                   (next(2) >= 0xA8 && next(2) <= 0xAE)))     // U+2028 to 202E
            drop = 3;
        else if (c == 0xE2 && next(1) == 0x81 && next(2) >= 0xA6 && next(2) <= 0xA9) drop = 3; // U+2066 to 2069
        if (drop) {
            out += ' ';
            i += drop - 1;
        } else {
            out += s[i];
        }
    }
    return out;
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
    t = ReplaceAllIgnoreCase(t, "trackartist", "$ta$");
    t = ReplaceAllIgnoreCase(t, "artist", "$artist$");
    t = ReplaceAllIgnoreCase(t, "album", "$album$");
    t = ReplaceAllIgnoreCase(t, "year", "$year$");
    t = ReplaceAllIgnoreCase(t, "track", "$track$");
    t = ReplaceAll(t, "#", "$#$");
    t = ReplaceAllIgnoreCase(t, "disc", "$disc$");
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
    s = ReplaceAllIgnoreCase(s, "$ta$", values.TrackArtist.empty() ? values.Artist : values.TrackArtist);
    s = ReplaceAllIgnoreCase(s, "$disc$", values.Disc);
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
                            int folderFormat, std::string_view disc)
{
    std::string a(artist), b(album), y(year);
    std::string name;
    if (y.empty()) {
        name = a + " - " + b;
    } else {
        switch (folderFormat) {
        case 0:
        case 5: name = a + " [" + y + "] - " + b; break;
        case 1: name = a + " - " + b; break;
        case 2: name = y + " - " + b; break;
        case 3: name = b + " [" + y + "]"; break;
        case 4: name = b; break;
        default: break;
        }
    }
    // The disc item names one disc of a set: without a disc number it is the first item.
    if (folderFormat == 5 && !trimBlanks(disc).empty()) name += " (CD " + trimBlanks(disc) + ")";
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

size_t Utf16Length(std::string_view utf8)
{
    size_t units = 0;
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if ((u & 0xC0) == 0x80) continue;
        // A lead byte of four bytes starts a character beyond the BMP: a surrogate pair.
        units += u >= 0xF0 ? 2 : 1;
    }
    return units;
}

namespace {

// The start of `text` within `maxBytes` bytes and (when not 0) `maxUnits` UTF-16 units, never a part
// of a character.
std::string cutText(std::string_view text, size_t maxBytes, size_t maxUnits)
{
    size_t keep = std::min(maxBytes, text.size());
    // Back up to the first byte of a character: continuation bytes are 10xxxxxx.
    auto toLead = [&] {
        while (keep > 0 && keep < text.size() && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
    };
    toLead();
    if (maxUnits > 0)
        while (keep > 0 && Utf16Length(text.substr(0, keep)) > maxUnits) {
            --keep;
            toLead();
        }
    return std::string(text.substr(0, keep));
}

} // namespace

std::string FitNameLength(std::string_view name, size_t maxBytes, size_t maxUnits)
{
    const bool unitsFit = maxUnits == 0 || Utf16Length(name) <= maxUnits;
    if (name.size() <= maxBytes && unitsFit) return std::string(name);
    std::string_view ext;
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0 && name.size() - dot < maxBytes &&
        (maxUnits == 0 || Utf16Length(name.substr(dot)) < maxUnits))
        ext = name.substr(dot);
    std::string fitted = cutText(name.substr(0, name.size() - ext.size()), maxBytes - ext.size(),
                                 maxUnits > 0 ? maxUnits - Utf16Length(ext) : 0);
    while (!fitted.empty() && fitted.back() == ' ') fitted.pop_back();
    return fitted + std::string(ext);
}

namespace {

bool isReservedDeviceName(std::string_view base)
{
    std::string b;
    for (char c : base) b += lowerAscii(c);
    while (!b.empty() && b.back() == ' ') b.pop_back();
    for (const char* r : {"con", "prn", "aux", "nul"})
        if (b == r) return true;
    if (b.size() == 4 && (b.compare(0, 3, "com") == 0 || b.compare(0, 3, "lpt") == 0) && b[3] >= '0' && b[3] <= '9')
        return true;
    // COM and LPT with a superscript digit (U+00B9, U+00B2, U+00B3) are reserved too.
    if (b.size() == 5 && (b.compare(0, 3, "com") == 0 || b.compare(0, 3, "lpt") == 0) && b[3] == '\xc2' &&
        (b[4] == '\xb9' || b[4] == '\xb2' || b[4] == '\xb3'))
        return true;
    return false;
}

} // namespace

std::string PortableName(std::string_view name, TNameKind kind)
{
    const char* slash = kind == TNameKind::File ? " - " : "_";
    std::string s = blankControls(std::string(name));
    for (const char* bad : {"<", ">", ":", "\"", "\\", "|", "?", "*"}) s = ReplaceAll(s, bad, slash);
    if (kind == TNameKind::File) s = collapseSpaces(std::move(s));
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
    if (s.empty()) return "_";
    const size_t dot = s.find('.');
    const size_t baseEnd = dot == std::string::npos ? s.size() : dot;
    if (!isReservedDeviceName(std::string_view(s).substr(0, baseEnd))) return s;
    return s.substr(0, baseEnd) + '_' + s.substr(baseEnd);
}

bool IsVariousArtists(std::string_view artist)
{
    std::string a;
    for (char c : trimBlanks(artist)) a += lowerAscii(c);
    return a == "various" || a == "various artists" || a == "va";
}

TTrackCredit SplitTrackArtist(std::string_view title)
{
    const size_t at = title.find(" / ");
    if (at == std::string_view::npos) return {std::string(), trimBlanks(title)};
    return {trimBlanks(title.substr(0, at)), trimBlanks(title.substr(at + 3))};
}

namespace {

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// `value` cut to at most `cap` bytes at a character boundary and ended with "…"; as it is when it fits.
std::string capValue(const std::string& value, size_t cap)
{
    if (value.size() <= cap) return value;
    size_t keep = cap;
    while (keep > 0 && continuationByte(value[keep])) --keep;
    std::string cut = value.substr(0, keep);
    while (!cut.empty() && static_cast<unsigned char>(cut.back()) <= ' ') cut.pop_back();
    return cut + "\xe2\x80\xa6";
}

// The name without a "." or blank at the start of its stem; nothing when the stem is empty. `ext` is
// the extension as the clean-up leaves it.
std::optional<std::string> usableName(const std::string& name, const std::string& ext)
{
    const bool hasExt = !ext.empty() && name.size() >= ext.size() &&
                        name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
    std::string_view stem(name.data(), hasExt ? name.size() - ext.size() : name.size());
    size_t from = 0;
    while (from < stem.size() && (stem[from] == '.' || static_cast<unsigned char>(stem[from]) <= ' ')) ++from;
    stem.remove_prefix(from);
    if (stem.empty()) return std::nullopt;
    return std::string(stem) + (hasExt ? ext : std::string());
}

} // namespace

bool IsUsableName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::optional<TFittedName> BuildFittedFileName(std::string_view preparedTemplate, const TNameValues& values,
                                               std::string_view extension, bool fixUnderScores, TNameVariant variant,
                                               size_t maxBytes, bool portable)
{
    // The extension as the clean-up leaves it at the end of every name.
    const std::string ext = BuildFileName("", TNameValues{}, extension, fixUnderScores, variant);
    const size_t maxUnits = portable ? PortableNameUnits : 0;
    auto build = [&](const TNameValues& v) -> std::optional<std::string> {
        std::string name = BuildFileName(preparedTemplate, v, extension, fixUnderScores, variant);
        if (portable) name = PortableName(name, TNameKind::File);
        return usableName(name, ext);
    };
    auto fits = [&](const std::string& name) {
        return name.size() <= maxBytes && (maxUnits == 0 || Utf16Length(name) <= maxUnits);
    };
    const std::optional<std::string> full = build(values);
    if (!full) return std::nullopt;
    if (fits(*full)) return TFittedName{*full, *full, false};

    // The largest cap on the four values whose name fits: the longest values give first.
    auto capped = [&](size_t cap) {
        TNameValues v = values;
        for (std::string* s : {&v.Artist, &v.Album, &v.Year, &v.Title, &v.TrackArtist}) *s = capValue(*s, cap);
        return build(v);
    };
    size_t lo = 0, hi = std::max({values.Artist.size(), values.Album.size(), values.Year.size(), values.Title.size(),
                                  values.TrackArtist.size()});
    std::optional<std::string> best;
    while (lo <= hi) {
        const size_t mid = lo + (hi - lo) / 2;
        std::optional<std::string> name = capped(mid);
        if (name && fits(*name)) {
            best = std::move(name);
            lo = mid + 1;
        } else {
            if (mid == 0) break;
            hi = mid - 1;
        }
    }
    if (!best) {
        // The format's own text does not fit: the end of the name goes.
        const std::optional<std::string> least = capped(0);
        best = usableName(FitNameLength(least ? *least : *full, maxBytes, maxUnits), ext);
        if (best && portable) best = usableName(PortableName(*best, TNameKind::File), ext);
        if (!best || !fits(*best)) return std::nullopt;
    }
    return TFittedName{*best, *full, true};
}

void SeparateShortenedNames(std::vector<TFittedName>& names, size_t maxBytes, size_t maxUnits)
{
    // Rows by the name they would get; in each group the row that keeps the name is one that was not
    // shortened, if there is one, otherwise the first.
    std::map<std::string, std::vector<size_t>> groups;
    std::set<std::string> taken;
    for (size_t row = 0; row < names.size(); ++row)
        if (!names[row].Name.empty()) {
            groups[names[row].Name].push_back(row);
            taken.insert(names[row].Name);
        }
    for (const auto& [name, rows] : groups) {
        if (rows.size() < 2) continue;
        size_t keeper = rows.front();
        for (size_t row : rows)
            if (!names[row].Shortened) {
                keeper = row;
                break;
            }
        for (size_t row : rows) {
            TFittedName& n = names[row];
            // Equal full names are a plain collision, which the move reports; only the cut is undone here.
            if (row == keeper || !n.Shortened || n.Full == names[keeper].Full) continue;
            const size_t dot = n.Name.rfind('.');
            const std::string ext = dot != std::string::npos && dot > 0 ? n.Name.substr(dot) : std::string();
            const std::string stem = n.Name.substr(0, n.Name.size() - ext.size());
            for (size_t k = row + 1, tries = 0; tries < 100; ++k, ++tries) {
                const std::string mark = " (" + std::to_string(k) + ")";
                if (mark.size() + ext.size() >= maxBytes) break;
                if (maxUnits > 0 && mark.size() + Utf16Length(ext) >= maxUnits) break;
                std::string candidate = cutText(stem, maxBytes - mark.size() - ext.size(),
                                                maxUnits > 0 ? maxUnits - mark.size() - Utf16Length(ext) : 0);
                while (!candidate.empty() && candidate.back() == ' ') candidate.pop_back();
                candidate += mark + ext;
                if (taken.insert(candidate).second) {
                    n.Name = candidate;
                    break;
                }
            }
        }
    }
}

} // namespace cantorix
