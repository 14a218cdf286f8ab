#include "audio/ID3v2.h"

#include "audio/ID3v1.h"
#include "audio/TagText.h"
#include "audio/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace cantorix {

namespace {

constexpr int64_t kPadTo = 4096;          // a rebuilt tag is padded to this size
constexpr uint32_t kMaxTagBody = 0x0FFFFFFF; // four 7-bit groups
constexpr size_t kMaxFrames = 65536;      // more frames than any real tag; the rest would be lost

struct ParsedTag {
    bool present = false; // the file starts with "ID3"
    uint8_t version = 0;
    uint8_t flags = 0;
    int64_t size = 0;      // header, body and footer; 0 when invalid or larger than the file
    bool readable = false; // the frames could be walked
    bool capped = false;   // the walk stopped at kMaxFrames
    std::vector<TID3v2Frame> frames;
};

uint32_t getSyncSafe(const uint8_t* p)
{
    return (uint32_t(p[0] & 0x7F) << 21) | (uint32_t(p[1] & 0x7F) << 14) | (uint32_t(p[2] & 0x7F) << 7) |
           uint32_t(p[3] & 0x7F);
}

void putSyncSafe(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t((v >> 21) & 0x7F);
    p[1] = uint8_t((v >> 14) & 0x7F);
    p[2] = uint8_t((v >> 7) & 0x7F);
    p[3] = uint8_t(v & 0x7F);
}

// Unsynchronisation inserted a zero byte after every 0xFF; this takes them out again.
ByteVector undoUnsync(const uint8_t* p, size_t n)
{
    ByteVector out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        out.push_back(p[i]);
        if (p[i] == 0xFF && i + 1 < n && p[i + 1] == 0) ++i;
    }
    return out;
}

bool isIdChar(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Where a frame size leads: to the end of the frames, to padding, or to what the walk takes for the
// next frame (an upper-case letter).
bool landsOnFrameBoundary(const ByteVector& body, uint64_t q, size_t end)
{
    if (q == end) return true;
    if (q > end) return false;
    uint8_t c = body[size_t(q)];
    return c == 0 || (c >= 'A' && c <= 'Z');
}

// Whether a complete frame header with a proper identifier starts at q.
bool frameHeaderAt(const ByteVector& body, uint64_t q, size_t end)
{
    if (q > end || end - q < 10) return false;
    for (size_t k = 0; k < 4; ++k)
        if (!isIdChar(body[size_t(q) + k])) return false;
    return true;
}

// Reads the tag at the start of the file with all its frames. False only when a read fails.
bool parseTag(TInSource& f, ParsedTag& t)
{
    t = ParsedTag();
    uint8_t h[10];
    if (!f.readAt(0, h, 10)) return false;
    if (std::memcmp(h, "ID3", 3) != 0) return true;
    t.present = true;
    t.version = h[3];
    t.flags = h[5];
    const bool sizeOk = (h[6] | h[7] | h[8] | h[9]) < 0x80;
    const uint32_t bodySize = getSyncSafe(h + 6);
    const int64_t size = int64_t(bodySize) + 10 + ((t.flags & 0x10) ? 10 : 0);
    if (!sizeOk || size > f.size()) return true;
    t.size = size;
    if (t.version < 2 || t.version > 4) return true;
    if (t.version == 2 && (t.flags & 0x40)) return true; // compressed 2.2 tags have no defined scheme

    ByteVector body(bodySize);
    if (bodySize > 0 && !f.readAt(10, body.data(), bodySize)) return false;
    if (t.version <= 3 && (t.flags & 0x80)) body = undoUnsync(body.data(), body.size());

    size_t pos = 0;
    const size_t end = body.size();
    if (t.version >= 3 && (t.flags & 0x40)) {
        // Extended header: its size excludes the 4 size bytes in 2.3 and includes them in 2.4.
        if (end < 4) return true;
        uint64_t ext = t.version == 3 ? uint64_t(getBE32(body.data())) + 4 : getSyncSafe(body.data());
        if (ext < 4 || ext > end) return true;
        pos = size_t(ext);
    }
    t.readable = true;

    const size_t hdr = t.version == 2 ? 6 : 10;
    const bool unsyncAll = t.version == 4 && (t.flags & 0x80);
    while (end - pos >= hdr) {
        if (body[pos] < 'A' || body[pos] > 'Z') break; // padding or the end of the frames
        if (t.frames.size() >= kMaxFrames) {
            t.capped = true;
            break;
        }
        TID3v2Frame fr;
        const uint8_t* p = body.data() + pos;
        uint64_t fsize;
        if (t.version == 2) {
            fr.id.assign(reinterpret_cast<const char*>(p), 3);
            fsize = getBE24(p + 3);
        } else {
            fr.id.assign(reinterpret_cast<const char*>(p), 4);
            uint32_t raw = getBE32(p + 4);
            fsize = raw;
            if (t.version == 4 && (raw & 0x80808080u) == 0) {
                uint32_t safe = getSyncSafe(p + 4);
                fsize = safe;
                // Some writers stored plain big-endian sizes in version 2.4 tags: take the plain
                // reading only when the sync-safe one leads nowhere and the plain one to a frame.
                if (raw != safe && !landsOnFrameBoundary(body, pos + 10 + uint64_t(safe), end) &&
                    frameHeaderAt(body, pos + 10 + uint64_t(raw), end))
                    fsize = raw;
            }
            fr.flags[0] = p[8];
            fr.flags[1] = p[9];
        }
        const size_t start = pos + hdr;
        const size_t take = size_t(std::min<uint64_t>(fsize, end - start));
        if (t.version == 4 && (unsyncAll || (fr.flags[1] & 0x02))) {
            fr.data = undoUnsync(body.data() + start, take);
            fr.flags[1] &= uint8_t(~0x02);
        } else {
            fr.data.assign(body.begin() + ptrdiff_t(start), body.begin() + ptrdiff_t(start + take));
        }
        t.frames.push_back(std::move(fr));
        if (fsize > end - start) break;
        pos = start + size_t(fsize);
    }
    return true;
}

// The part of a frame body that holds its content: after a grouping byte and a data length indicator;
// nothing for compressed or encrypted frames.
std::optional<std::pair<const uint8_t*, size_t>> contentOf(const TID3v2Frame& fr, int version)
{
    const uint8_t* p = fr.data.data();
    size_t n = fr.data.size();
    size_t skip = 0;
    if (version == 3) {
        if (fr.flags[1] & 0xC0) return std::nullopt;
        if (fr.flags[1] & 0x20) skip += 1;
    } else if (version == 4) {
        if (fr.flags[1] & 0x0C) return std::nullopt;
        if (fr.flags[1] & 0x40) skip += 1;
        if (fr.flags[1] & 0x01) skip += 4;
    }
    if (skip > n) return std::nullopt;
    return std::make_pair(p + skip, n - skip);
}

// Text of one encoding up to its terminator (a zero byte, or a zero unit for UTF-16), as UTF-8.
std::string decodeString(uint8_t enc, const uint8_t* p, size_t n)
{
    if (enc == 1 || enc == 2) {
        size_t len = 0;
        while (len + 1 < n && !(p[len] == 0 && p[len + 1] == 0)) len += 2;
        len = std::min(len, n);
        return utf16BomToUtf8(p, len, enc == 1 ? Utf16Order::LittleEndian : Utf16Order::BigEndian);
    }
    size_t len = 0;
    while (len < n && p[len] != 0) ++len;
    std::string_view raw(reinterpret_cast<const char*>(p), len);
    return enc == 3 ? sanitizeUtf8(raw) : latin1ToUtf8(raw);
}

// A text frame's content (encoding byte first) as trimmed UTF-8.
std::string decodeText(const std::optional<std::pair<const uint8_t*, size_t>>& c)
{
    if (!c || c->second == 0) return {};
    return trimBlanks(decodeString(c->first[0], c->first + 1, c->second - 1));
}

// Where the text after a description starts: the description begins at `from` and ends with one zero
// byte, or a zero unit for UTF-16 (searched in whole units).
size_t afterDescription(uint8_t enc, const uint8_t* p, size_t n, size_t from)
{
    if (enc == 1 || enc == 2) {
        for (size_t i = from; i + 1 < n; i += 2)
            if (p[i] == 0 && p[i + 1] == 0) return i + 2;
        return n;
    }
    for (size_t i = from; i < n; ++i)
        if (p[i] == 0) return i + 1;
    return n;
}

// The text of a comment frame: encoding, language, description, text.
std::string commentText(const std::optional<std::pair<const uint8_t*, size_t>>& c)
{
    if (!c || c->second < 4) return {};
    const uint8_t* p = c->first;
    size_t n = c->second;
    size_t at = afterDescription(p[0], p, n, 4);
    return trimBlanks(decodeString(p[0], p + at, n - at));
}

// The URL of a user link frame: encoding, description, then the link, which is always ISO-8859-1.
std::string linkText(const std::optional<std::pair<const uint8_t*, size_t>>& c)
{
    if (!c || c->second < 1) return {};
    const uint8_t* p = c->first;
    size_t n = c->second;
    size_t at = afterDescription(p[0], p, n, 1);
    return trimBlanks(decodeString(0, p + at, n - at));
}

// Whether a COMM (descAt 4) or WXXX (descAt 1) frame has an empty description.
bool hasEmptyDescription(const TID3v2Frame& fr, int version, size_t descAt)
{
    auto c = contentOf(fr, version);
    if (!c) return false;
    const uint8_t* p = c->first;
    size_t n = c->second;
    if (n <= descAt) return true;
    uint8_t enc = p[0];
    if (enc == 1 || enc == 2) {
        size_t at = afterDescription(enc, p, n, descAt);
        size_t len = at - descAt;
        if (len <= 2) return true;
        return len == 4 && ((p[descAt] == 0xFF && p[descAt + 1] == 0xFE) || (p[descAt] == 0xFE && p[descAt + 1] == 0xFF));
    }
    return p[descAt] == 0;
}

// Value rows in the order the values are derived: versions 3 and 4, version 2.
constexpr int kFrameKinds = 17;
constexpr const char* kFrameIDs[kFrameKinds][2] = {
    {"TIT2", "TT2"}, {"TPE1", "TP1"}, {"TALB", "TAL"}, {"TRCK", "TRK"}, {"TYER", "TYE"}, {"TCON", "TCO"},
    {"COMM", "COM"}, {"TCOM", "TCM"}, {"TENC", "TEN"}, {"TCOP", "TCR"}, {"TLAN", "TLA"}, {"WXXX", "WXX"},
    {"TDRC", "TOR"}, {"TOPE", "TOA"}, {"TIT1", "TT1"}, {"TOAL", "TOT"}, {"TPE2", "TP2"},
};

bool allDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

uint16_t trackNumber(const std::string& text)
{
    std::string head = trimBlanks(text.substr(0, text.find('/')));
    if (!allDigits(head) || head.size() > 5) return 0;
    unsigned long v = std::stoul(head);
    return v <= 65535 ? uint16_t(v) : 0;
}

// Version 2.2 identifiers whose frames have the same body in version 2.3.
constexpr const char* kMap22[][2] = {
    {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"}, {"EQU", "EQUA"},
    {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"MLL", "MLLT"}, {"POP", "POPM"}, {"REV", "RVRB"},
    {"RVA", "RVAD"}, {"SLT", "SYLT"}, {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"},
    {"TCO", "TCON"}, {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"}, {"TFT", "TFLT"},
    {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"}, {"TMT", "TMED"}, {"TOA", "TOPE"},
    {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"}, {"TP1", "TPE1"}, {"TP2", "TPE2"},
    {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"}, {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"},
    {"TRK", "TRCK"}, {"TSI", "TSIZ"}, {"TSS", "TSSE"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"},
    {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"}, {"WAF", "WOAF"},
    {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"}, {"WXX", "WXXX"},
    {"TCP", "TCMP"}, {"TST", "TSOT"}, {"TSP", "TSOP"}, {"TSA", "TSOA"}, {"TS2", "TSO2"}, {"TSC", "TSOC"},
};

// A version 2.2 frame as a version 2.3 frame; nothing for frames without a clean counterpart.
std::optional<TID3v2Frame> convertFrom22(const TID3v2Frame& fr)
{
    TID3v2Frame out;
    if (fr.id == "PIC") {
        // PIC: encoding, 3-character image format, picture type, description, data.
        // APIC: encoding, MIME type and a zero byte, picture type, description, data.
        if (fr.data.size() < 5) return std::nullopt;
        std::string format = upperAscii(trimBlanks(std::string(fr.data.begin() + 1, fr.data.begin() + 4)));
        std::string mime = format == "JPG" ? "image/jpeg" : format == "PNG" ? "image/png" : "image/" + lowerAscii(format);
        out.id = "APIC";
        out.data.push_back(fr.data[0]);
        out.data.insert(out.data.end(), mime.begin(), mime.end());
        out.data.push_back(0);
        out.data.insert(out.data.end(), fr.data.begin() + 4, fr.data.end());
        return out;
    }
    for (const auto& m : kMap22)
        if (fr.id == m[0]) {
            out.id = m[1];
            out.data = fr.data;
            return out;
        }
    return std::nullopt;
}

ByteVector bytesOf(const std::string& s) { return ByteVector(s.begin(), s.end()); }

// The encoding a value is written in: ISO-8859-1 when it can hold it, else UTF-16 with a byte-order
// mark (2.3) or UTF-8 (2.4).
uint8_t encodingFor(const std::string& value, int version)
{
    if (isLatin1(value)) return 0;
    return version == 4 ? 3 : 1;
}

std::string encodeString(const std::string& value, uint8_t enc)
{
    if (enc == 0) return utf8ToLatin1(value);
    if (enc == 1) return std::string("\xFF\xFE", 2) + utf8ToUtf16(value, Utf16Order::LittleEndian);
    return value;
}

std::string terminator(uint8_t enc) { return enc == 1 ? std::string("\xFF\xFE\0\0", 4) : std::string(1, '\0'); }

// A URL holds ISO-8859-1; other characters are percent-encoded as UTF-8.
std::string urlBytes(const std::string& url)
{
    if (isLatin1(url)) return utf8ToLatin1(url);
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : url) {
        auto b = uint8_t(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        }
    }
    return out;
}

} // namespace

std::string TID3v2::genreText(const std::string& tcon)
{
    const std::string s = trimBlanks(tcon);
    if (s.rfind("((", 0) == 0) return s.substr(1);
    size_t i = 0;
    bool anyRef = false;
    std::string refName;
    while (i < s.size() && s[i] == '(') {
        size_t j = s.find(')', i + 1);
        if (j == std::string::npos) break;
        std::string inner = s.substr(i + 1, j - i - 1);
        std::string name;
        if (inner == "RX")
            name = "Remix";
        else if (inner == "CR")
            name = "Cover";
        else if (allDigits(inner) && inner.size() <= 3)
            name = GenreName(std::stoi(inner));
        else
            break;
        if (!anyRef) refName = name;
        anyRef = true;
        i = j + 1;
    }
    if (!anyRef) {
        if (allDigits(s) && s.size() <= 3 && std::stoi(s) < int(Genres.size())) return GenreName(std::stoi(s));
        return s;
    }
    std::string rest = trimBlanks(s.substr(i));
    if (rest.rfind("((", 0) == 0) rest.erase(0, 1);
    return rest.empty() ? refName : rest;
}

void TID3v2::ResetData()
{
    *this = TID3v2();
}

namespace {

// The description of a TXXX frame (encoding, description, value) and where its value starts.
std::optional<std::pair<std::string, size_t>> userTextDescription(const TID3v2Frame& fr, int version)
{
    auto c = contentOf(fr, version);
    if (!c || c->second < 1 || c->first[0] > 3) return std::nullopt;
    const uint8_t* p = c->first;
    const size_t at = afterDescription(p[0], p, c->second, 1);
    std::string description = decodeString(p[0], p + 1, at - 1);
    return std::make_pair(std::move(description), at);
}

bool isUserTextOf(const TID3v2Frame& fr, int version, const std::string& description)
{
    if (fr.id != "TXXX" && fr.id != "TXX") return false;
    auto d = userTextDescription(fr, version);
    return d && equalsIgnoreCaseAscii(d->first, description);
}

// The owner of a UFID frame: ISO-8859-1 up to a zero byte; the identifier follows it.
std::optional<std::pair<std::string, size_t>> uniqueIdOwner(const TID3v2Frame& fr, int version)
{
    if (fr.id != "UFID" && fr.id != "UFI") return std::nullopt;
    auto c = contentOf(fr, version);
    if (!c) return std::nullopt;
    const uint8_t* p = c->first;
    size_t n = 0;
    while (n < c->second && p[n] != 0) ++n;
    if (n == c->second) return std::nullopt;
    return std::make_pair(std::string(reinterpret_cast<const char*>(p), n), n + 1);
}

// Removes the frames `match` selects and puts `replacement` (when given) where the first of them
// stood, else at the end.
template <typename Match>
void replaceFrames(std::vector<TID3v2Frame>& frames, Match match, std::optional<TID3v2Frame> replacement)
{
    size_t at = frames.size();
    for (size_t i = 0; i < frames.size();) {
        if (match(frames[i])) {
            at = std::min(at, i);
            frames.erase(frames.begin() + ptrdiff_t(i));
        } else {
            ++i;
        }
    }
    if (replacement) frames.insert(frames.begin() + ptrdiff_t(std::min(at, frames.size())), std::move(*replacement));
}

} // namespace

std::vector<std::string> TID3v2::UserText(const std::string& description) const
{
    for (const TID3v2Frame& fr : m_frames) {
        if (!isUserTextOf(fr, m_version, description)) continue;
        auto c = contentOf(fr, m_version);
        auto d = userTextDescription(fr, m_version);
        if (!c || !d) continue;
        const uint8_t enc = c->first[0];
        const uint8_t* p = c->first;
        const size_t n = c->second;
        std::vector<std::string> values;
        // Each step passes at least one byte: afterDescription ends after a terminator or at n.
        for (size_t at = d->second; at < n;) {
            std::string v = trimBlanks(decodeString(enc, p + at, n - at));
            if (!v.empty()) values.push_back(std::move(v));
            at = std::max(afterDescription(enc, p, n, at), at + 1);
        }
        return values;
    }
    return {};
}

void TID3v2::SetUserText(const std::string& description, const std::vector<std::string>& values)
{
    m_userTexts.emplace_back(description, values);
}

std::string TID3v2::UniqueFileId(const std::string& owner) const
{
    for (const TID3v2Frame& fr : m_frames) {
        auto o = uniqueIdOwner(fr, m_version);
        if (!o || o->first != owner) continue;
        auto c = contentOf(fr, m_version);
        return std::string(reinterpret_cast<const char*>(c->first) + o->second, c->second - o->second);
    }
    return {};
}

void TID3v2::SetUniqueFileId(const std::string& owner, const std::string& id)
{
    m_uniqueIds.emplace_back(owner, id.size() <= 64 ? id : std::string());
}

void TID3v2::set(Row row, const std::string& v)
{
    m_values[row] = v;
    m_dirty[row] = true;
}

void TID3v2::SetTitle(const std::string& v) { set(kTitle, trimBlanks(v)); }
void TID3v2::SetArtist(const std::string& v) { set(kArtist, trimBlanks(v)); }
void TID3v2::SetAlbum(const std::string& v) { set(kAlbum, trimBlanks(v)); }
void TID3v2::SetAlbumArtist(const std::string& v) { set(kAlbumArtist, trimBlanks(v)); }
void TID3v2::SetYear(const std::string& v) { set(kYear, trimBlanks(v)); }
void TID3v2::SetGenre(const std::string& v) { set(kGenre, trimBlanks(v)); }

void TID3v2::SetTrack(uint16_t track)
{
    set(kTrack, track ? std::to_string(track) : std::string());
    m_track = track;
}

void TID3v2::SetTrackText(const std::string& text)
{
    std::string t = trimBlanks(text);
    m_track = trackNumber(t);
    set(kTrack, m_track ? t : std::string());
}

bool TID3v2::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TID3v2::ReadFromSource(TInSource& in)
{
    ResetData();
    ParsedTag t;
    if (!parseTag(in, t)) {
        ResetData();
        return false;
    }
    m_present = t.present;
    if (!m_present) return true;
    m_version = t.version;
    m_size = t.size;
    if (!t.readable || m_size == 0) return true;

    const int column = t.version == 2 ? 1 : 0;
    std::optional<std::pair<const uint8_t*, size_t>> rows[kFrameKinds];
    // Comments and links with an empty description are the ones a user wrote (others hold player data
    // such as volume normalisation); they win over the rest.
    std::optional<std::pair<const uint8_t*, size_t>> plain[kFrameKinds];
    for (const TID3v2Frame& fr : t.frames) {
        for (int r = 0; r < kFrameKinds; ++r) {
            if (fr.id != kFrameIDs[r][column]) continue;
            auto c = contentOf(fr, t.version);
            // Encodings beyond the four of the standard are not text we can read.
            if (c && (c->second == 0 || c->first[0] <= 3)) {
                rows[r] = c; // a later frame wins
                if ((r == 6 || r == 11) && hasEmptyDescription(fr, t.version, r == 6 ? 4 : 1)) plain[r] = c;
            }
            break;
        }
    }
    for (int r : {6, 11})
        if (plain[r]) rows[r] = plain[r];
    auto text = [&](int r) { return decodeText(rows[r]); };
    auto orElse = [&](int r, int fallback) {
        std::string v = text(r);
        return v.empty() ? text(fallback) : v;
    };
    m_values[kTitle] = orElse(0, 14);
    m_values[kArtist] = orElse(1, 13);
    m_values[kAlbum] = orElse(2, 15);
    m_values[kTrack] = text(3);
    m_track = trackNumber(m_values[kTrack]);
    m_values[kYear] = text(4);
    if (m_values[kYear].empty()) m_values[kYear] = utf8Prefix(text(12), 4);
    m_values[kGenre] = genreText(text(5));
    m_values[kComment] = commentText(rows[6]);
    m_values[kComposer] = text(7);
    m_values[kEncoder] = text(8);
    m_values[kRights] = text(9);
    m_values[kLanguage] = text(10);
    m_values[kURL] = linkText(rows[11]);
    m_values[kAlbumArtist] = text(16);
    m_frames = std::move(t.frames);
    return true;
}

IoResult TID3v2::render(TInSource& file, Rendered& out) const
{
    ParsedTag old;
    if (!parseTag(file, old)) {
        // A file too short for a tag header has no tag; any other read error stops the write.
        if (file.size() >= 10) return file.error();
        old = ParsedTag();
    }
    if (old.capped) return IoResult::failure("The ID3v2 tag has too many frames to keep");

    const int version = (old.readable && old.version == 4) ? 4 : 3;
    std::vector<TID3v2Frame> frames;
    if (old.readable) {
        if (old.version == 2) {
            for (const TID3v2Frame& fr : old.frames)
                if (auto c = convertFrom22(fr)) frames.push_back(std::move(*c));
        } else {
            frames = std::move(old.frames);
        }
    }

    // Replace the frames of the values that were set.
    struct Target {
        Row row;
        const char* id3;
        const char* id4;
    };
    static constexpr Target targets[] = {
        {kTitle, "TIT2", "TIT2"}, {kArtist, "TPE1", "TPE1"}, {kAlbum, "TALB", "TALB"},
        {kTrack, "TRCK", "TRCK"}, {kYear, "TYER", "TDRC"},   {kGenre, "TCON", "TCON"},
        {kComment, "COMM", "COMM"}, {kComposer, "TCOM", "TCOM"}, {kEncoder, "TENC", "TENC"},
        {kRights, "TCOP", "TCOP"}, {kLanguage, "TLAN", "TLAN"}, {kURL, "WXXX", "WXXX"},
        {kAlbumArtist, "TPE2", "TPE2"},
    };
    for (const Target& tg : targets) {
        if (!m_dirty[tg.row]) continue;
        const std::string id = version == 4 ? tg.id4 : tg.id3;
        auto replaced = [&](const TID3v2Frame& fr) {
            if (tg.row == kComment) return fr.id == "COMM" && hasEmptyDescription(fr, version, 4);
            if (tg.row == kURL) return fr.id == "WXXX" && hasEmptyDescription(fr, version, 1);
            if (tg.row == kYear && version == 4 && fr.id == "TYER") return true; // not a 2.4 frame
            return fr.id == id;
        };
        const std::string& value = m_values[tg.row];
        std::optional<TID3v2Frame> fr;
        if (!value.empty() && !(tg.row == kTrack && m_track == 0)) {
            std::string body;
            if (tg.row == kURL) {
                body = std::string(2, '\0') + urlBytes(value);
            } else if (tg.row == kComment) {
                uint8_t enc = encodingFor(value, version);
                body = std::string(1, char(enc)) + "eng" + terminator(enc) + encodeString(value, enc);
            } else {
                uint8_t enc = encodingFor(value, version);
                body = std::string(1, char(enc)) + encodeString(value, enc);
            }
            fr = TID3v2Frame{id, {0, 0}, bytesOf(body)};
        }
        replaceFrames(frames, replaced, std::move(fr));
    }

    // TXXX and UFID frames of the descriptions and owners that were set.
    // Plain references, not structured bindings: lambdas below capture them, which clang before 16
    // refuses.
    for (const auto& userText : m_userTexts) {
        const std::string& description = userText.first;
        const auto& values = userText.second;
        std::optional<TID3v2Frame> fr;
        std::vector<std::string> kept;
        for (const std::string& v : values)
            if (!v.empty()) kept.push_back(v);
        if (!kept.empty()) {
            std::string all;
            for (const std::string& v : kept) all += v;
            const uint8_t enc = encodingFor(description + all, version);
            // The description ends with a zero character (terminator() is an empty description).
            std::string body = std::string(1, char(enc)) + encodeString(description, enc) +
                               std::string(enc == 1 ? 2 : 1, '\0');
            if (version == 4) {
                // ISO-8859-1 or UTF-8 here (encodingFor), whose zero separator is one byte.
                for (size_t i = 0; i < kept.size(); ++i) {
                    if (i > 0) body += '\0';
                    body += encodeString(kept[i], enc);
                }
            } else {
                // One text, so that a UTF-16 one has one byte-order mark and stays in whole units.
                std::string joined;
                for (const std::string& v : kept) joined += (joined.empty() ? "" : "/") + v;
                body += encodeString(joined, enc);
            }
            fr = TID3v2Frame{"TXXX", {0, 0}, bytesOf(body)};
        }
        replaceFrames(frames, [&](const TID3v2Frame& f) { return isUserTextOf(f, version, description); }, fr);
    }
    for (const auto& uniqueId : m_uniqueIds) {
        const std::string& owner = uniqueId.first;
        const auto& id = uniqueId.second;
        std::optional<TID3v2Frame> fr;
        if (!id.empty()) fr = TID3v2Frame{"UFID", {0, 0}, bytesOf(utf8ToLatin1(owner) + std::string(1, '\0') + id)};
        replaceFrames(
            frames, [&](const TID3v2Frame& f) { auto o = uniqueIdOwner(f, version); return o && o->first == owner; },
            fr);
    }

    // Serialise: header, frames, padding.
    ByteVector tag(10, 0);
    for (const TID3v2Frame& fr : frames) {
        if (fr.data.size() > kMaxTagBody) return IoResult::failure("An ID3v2 frame is too large");
        uint8_t head[10];
        for (size_t k = 0; k < 4; ++k) head[k] = k < fr.id.size() ? uint8_t(fr.id[k]) : uint8_t(' ');
        if (version == 4)
            putSyncSafe(head + 4, uint32_t(fr.data.size()));
        else
            putBE32(head + 4, uint32_t(fr.data.size()));
        head[8] = fr.flags[0];
        head[9] = fr.flags[1];
        tag.insert(tag.end(), head, head + 10);
        tag.insert(tag.end(), fr.data.begin(), fr.data.end());
        if (tag.size() - 10 > kMaxTagBody) return IoResult::failure("The ID3v2 tag is too large");
    }
    const int64_t needed = int64_t(tag.size());
    const int64_t oldSize = old.present ? old.size : 0;
    // In place when the new tag fits the old space without leaving more than a rebuilt tag's padding
    // unused; otherwise rebuilt, padded to 4096 bytes when smaller.
    bool inPlace = oldSize > 0 && needed <= oldSize && (oldSize <= kPadTo || oldSize - needed <= kPadTo) &&
                   oldSize - 10 <= int64_t(kMaxTagBody);
    int64_t pad = inPlace ? oldSize - needed : std::max<int64_t>(0, kPadTo - needed);
    tag.resize(size_t(needed + pad), 0);
    std::memcpy(tag.data(), "ID3", 3);
    tag[3] = uint8_t(version);
    tag[4] = 0;
    tag[5] = 0;
    putSyncSafe(tag.data() + 6, uint32_t(tag.size() - 10));
    out.tag = std::move(tag);
    out.oldSize = oldSize;
    out.inPlace = inPlace;
    out.version = version;
    out.frames = std::move(frames);
    return IoResult::success();
}

IoResult TID3v2::RenderTag(TInSource& file, ByteVector& tag, int64_t& oldSize) const
{
    Rendered r;
    if (IoResult made = render(file, r); !made) return made;
    tag = std::move(r.tag);
    oldSize = r.oldSize;
    return IoResult::success();
}

IoResult TID3v2::PlanSave(TInSource& file, TID3v2Plan& plan) const
{
    Rendered r;
    if (IoResult made = render(file, r); !made) return made;
    plan.tag = std::move(r.tag);
    plan.oldSize = r.oldSize;
    plan.inPlace = r.inPlace;
    plan.version = r.version;
    plan.frames = std::move(r.frames);
    return IoResult::success();
}

void TID3v2::Saved(TID3v2Plan&& plan)
{
    m_present = true;
    m_version = plan.version;
    m_size = int64_t(plan.tag.size());
    m_frames = std::move(plan.frames);
    std::fill(std::begin(m_dirty), std::end(m_dirty), false);
    m_userTexts.clear();
    m_uniqueIds.clear();
}

IoResult TID3v2::SaveToFile(const std::string& fileName, TFileSystem& files)
{
    TFileReader file;
    if (IoResult opened = file.open(fileName); !opened) return opened;
    TID3v2Plan plan;
    if (IoResult ok = PlanSave(file, plan); !ok) return ok;

    IoResult r;
    if (plan.inPlace) {
        file.close();
        r = writeInPlace(fileName, 0, plan.tag.data(), plan.tag.size(), files);
    } else {
        auto produce = [&](TOutSink& out) {
            return out.write(plan.tag) && out.copyFrom(file, plan.oldSize, file.size() - plan.oldSize);
        };
        r = rewriteFrom(file, fileName, produce, files);
    }
    if (r) Saved(std::move(plan));
    return r;
}

} // namespace cantorix
