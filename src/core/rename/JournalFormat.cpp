#include "core/rename/JournalFormat.h"

#include "audio/Paths.h"
#include "core/CoverFile.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace cantorix {

namespace {

// ---- Lines: "<CRC-32 hex> <payload>\n"

constexpr std::array<uint32_t, 256> makeCrcTable()
{
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}
constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

// The CRC-32 of zlib and PNG.
uint32_t crc32(std::string_view s)
{
    uint32_t c = 0xFFFFFFFFu;
    for (char ch : s) c = kCrcTable[(c ^ uint8_t(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

const char* const kHex = "0123456789abcdef";

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool dec(std::string_view token, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < token.size(); ++i) {
        if (token[i] != '%') {
            out += token[i];
            continue;
        }
        if (i + 2 >= token.size()) return false;
        const int hi = hexValue(token[i + 1]), lo = hexValue(token[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += char(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool parseNumber(std::string_view s, uint64_t max, uint64_t& v)
{
    if (s.empty() || s.size() > 20) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        const uint64_t d = uint64_t(c - '0');
        if (v > (max - d) / 10) return false;
        v = v * 10 + d;
    }
    return true;
}

std::vector<std::string_view> split(std::string_view payload)
{
    std::vector<std::string_view> tokens;
    size_t start = 0;
    for (size_t i = 0; i <= payload.size(); ++i)
        if (i == payload.size() || payload[i] == ' ') {
            tokens.push_back(payload.substr(start, i - start));
            start = i + 1;
        }
    return tokens;
}

const char* kindName(TJournalKind k)
{
    switch (k) {
    case TJournalKind::RenameRun: return "rename";
    case TJournalKind::RenameByTag: return "tags";
    case TJournalKind::TrackNumberFix: return "fix";
    case TJournalKind::ManualRename: return "manual";
    }
    return "rename";
}

bool kindFromName(std::string_view s, TJournalKind& k)
{
    for (TJournalKind c : {TJournalKind::RenameRun, TJournalKind::RenameByTag, TJournalKind::TrackNumberFix,
                           TJournalKind::ManualRename})
        if (s == kindName(c)) {
            k = c;
            return true;
        }
    return false;
}

} // namespace

namespace journal {

std::string line(const std::string& payload)
{
    const uint32_t c = crc32(payload);
    std::string out(8, '0');
    for (int i = 0; i < 8; ++i) out[size_t(i)] = kHex[(c >> (28 - 4 * i)) & 0xF];
    out += ' ';
    out += payload;
    out += '\n';
    return out;
}

// Names are bytes; a line's fields are separated by spaces. A space, a control character and "%"
// become "%XX"; everything else, UTF-8 included, stands as it is so that the record stays readable.
std::string enc(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto u = uint8_t(c);
        if (u <= 0x20 || u == 0x7F || c == '%') {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

bool usableBareName(const std::string& n)
{
    return n.size() <= kMaxNameBytes && IsUsableName(n);
}

bool isPlaylistName(const std::string& n)
{
    return usableBareName(n) && n.size() > 4 && n.compare(n.size() - 4, 4, ".m3u") == 0;
}

bool isSha256Hex(std::string_view s)
{
    return s.size() == 64 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string parentOf(const std::string& folder)
{
    std::string f = withoutSlash(folder);
    const size_t slash = f.rfind('/');
    return slash == std::string::npos ? std::string() : f.substr(0, slash + 1);
}

std::string lastName(const std::string& folder)
{
    const std::string f = withoutSlash(folder);
    const size_t slash = f.rfind('/');
    return slash == std::string::npos ? f : f.substr(slash + 1);
}

std::string headerAndPlan(const TRenameJournalData& d)
{
    std::string out = line("journal 2 " + std::string(kindName(d.Kind)) + " " + std::to_string(std::max<int64_t>(0, d.Started)));
    out += line("folder " + enc(d.Folder) + " " + std::to_string(d.FolderDevice) + " " + std::to_string(d.FolderInode));
    if (d.WroteTags) out += line("tags");
    for (size_t i = 0; i < d.Moves.size(); ++i)
        out += line("plan " + std::to_string(i) + " " + enc(d.Moves[i].From) + " " + enc(d.Moves[i].To) + " " +
                    std::to_string(d.Moves[i].Inode));
    out += line("planned " + std::to_string(d.Moves.size()));
    return out;
}

} // namespace journal

using namespace journal;

// ---------------------------------------------------------------------------------------------
// Reading and writing the text

bool ParseJournal(std::string_view bytes, TRenameJournalData& d, size_t* validBytes)
{
    d = {};
    enum { Header, Folder, Plan, Marks } state = Header;
    size_t pos = 0, trusted = 0;
    uint64_t planned = 0;
    while (pos < bytes.size()) {
        const size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) break; // a torn last line
        const std::string_view text = bytes.substr(pos, end - pos);
        if (text.size() < 10 || text[8] != ' ') break;
        uint32_t sum = 0;
        bool hex = true;
        for (int i = 0; i < 8; ++i) {
            const int v = hexValue(text[size_t(i)]);
            hex = hex && v >= 0 && !(text[size_t(i)] >= 'A' && text[size_t(i)] <= 'F');
            sum = (sum << 4) | uint32_t(v < 0 ? 0 : v);
        }
        const std::string_view payload = text.substr(9);
        if (!hex || crc32(payload) != sum) break;
        const std::vector<std::string_view> t = split(payload);
        const std::string_view kind = t[0];
        uint64_t n = 0;
        bool ok = true;
        std::string a, b;
        switch (state) {
        case Header:
            ok = t.size() == 4 && kind == "journal" && t[1] == "2" && kindFromName(t[2], d.Kind) &&
                 parseNumber(t[3], uint64_t(INT64_MAX), n);
            d.Started = int64_t(n);
            if (ok) state = Folder;
            break;
        case Folder: {
            uint64_t dev = 0, ino = 0;
            ok = t.size() == 4 && kind == "folder" && dec(t[1], a) && parseNumber(t[2], UINT64_MAX, dev) &&
                 parseNumber(t[3], UINT64_MAX, ino) && a.size() >= 2 && a.front() == '/' && a.back() == '/' &&
                 a.find('\0') == std::string::npos;
            d.Folder = a;
            d.FolderDevice = dev;
            d.FolderInode = ino;
            // A record that knows its folder's inode knows its files' too (one made from a record of the
            // first version knows neither).
            d.KnowsInodes = ino != 0;
            if (ok) state = Plan;
            break;
        }
        case Plan:
            if (kind == "tags" && t.size() == 1 && d.Moves.empty() && !d.WroteTags) {
                d.WroteTags = true;
            } else if (kind == "plan" && t.size() == 5) {
                uint64_t ino = 0;
                ok = d.Moves.size() < kMaxMoves && parseNumber(t[1], kMaxMoves, n) && n == d.Moves.size() &&
                     dec(t[2], a) && dec(t[3], b) && usableBareName(a) && usableBareName(b) &&
                     parseNumber(t[4], UINT64_MAX, ino);
                if (ok) d.Moves.push_back({a, b, false, ino, false});
            } else {
                ok = kind == "planned" && t.size() == 2 && parseNumber(t[1], kMaxMoves, planned) &&
                     planned == d.Moves.size();
                if (ok) state = Marks;
            }
            break;
        case Marks:
            if ((kind == "move" || kind == "undone") && t.size() == 2) {
                ok = parseNumber(t[1], UINT64_MAX, n) && n < d.Moves.size();
                if (ok) (kind == "move" ? d.Moves[size_t(n)].Done : d.Moves[size_t(n)].Undone) = true;
            } else if (kind == "folder-to" && t.size() == 2) {
                ok = d.FolderAfter.empty() && dec(t[1], a) && usableBareName(a) && !parentOf(d.Folder).empty();
                if (ok) d.FolderAfter = parentOf(d.Folder) + a + "/";
            } else if (kind == "playlist" && (t.size() == 3 || t.size() == 4)) {
                // The file moved aside may only bear the one name a run gives it.
                std::string previous;
                ok = d.Playlist.empty() && dec(t[1], a) && isPlaylistName(a) && isSha256Hex(t[2]) &&
                     (t.size() == 3 || (dec(t[3], previous) && previous == PreviousPlaylistName(a)));
                if (ok) {
                    d.Playlist = a;
                    d.PlaylistSha256 = std::string(t[2]);
                    d.PlaylistPrevious = previous;
                }
            } else if (kind == "cover" && (t.size() == 3 || t.size() == 4)) {
                // Only the two names a run gives covers are ever acted on.
                std::string previous;
                ok = d.Cover.empty() && dec(t[1], a) && a == CoverFileName && isSha256Hex(t[2]) &&
                     (t.size() == 3 || (dec(t[3], previous) && previous == PreviousCoverFileName));
                if (ok) {
                    d.Cover = a;
                    d.CoverSha256 = std::string(t[2]);
                    d.CoverPrevious = previous;
                }
            } else if (t.size() == 1 && kind == "folder-moved") {
                ok = !d.FolderAfter.empty();
                d.FolderMoved = ok;
            } else if (t.size() == 1 && kind == "end") {
                d.Finished = true;
            } else if (t.size() == 1 && kind == "undo") {
                d.UndoStarted = true;
            } else if (t.size() == 1 && kind == "undo-folder") {
                d.FolderUndone = true;
            } else {
                ok = false;
            }
            break;
        }
        if (!ok) break;
        pos = end + 1;
        trusted = pos;
    }
    if (validBytes) *validBytes = trusted;
    // The plan is written whole before anything moves: a record without it is not one of ours.
    if (state != Marks) {
        d = {};
        return false;
    }
    return true;
}

std::string JournalLine(std::string_view payload) { return line(std::string(payload)); }

std::string JournalText(const TRenameJournalData& d)
{
    std::string out = headerAndPlan(d);
    for (size_t i = 0; i < d.Moves.size(); ++i)
        if (d.Moves[i].Done) out += line("move " + std::to_string(i));
    if (!d.FolderAfter.empty()) {
        out += line("folder-to " + enc(lastName(d.FolderAfter)));
        if (d.FolderMoved) out += line("folder-moved");
    }
    if (!d.Playlist.empty())
        out += line("playlist " + enc(d.Playlist) + " " + d.PlaylistSha256 +
                    (d.PlaylistPrevious.empty() ? std::string() : " " + enc(d.PlaylistPrevious)));
    if (!d.Cover.empty())
        out += line("cover " + enc(d.Cover) + " " + d.CoverSha256 +
                    (d.CoverPrevious.empty() ? std::string() : " " + enc(d.CoverPrevious)));
    if (d.Finished) out += line("end");
    if (d.UndoStarted) out += line("undo");
    for (size_t i = 0; i < d.Moves.size(); ++i)
        if (d.Moves[i].Undone) out += line("undone " + std::to_string(i));
    if (d.FolderUndone) out += line("undo-folder");
    return out;
}

std::string PreviousPlaylistName(const std::string& playlist)
{
    const size_t stem = playlist.size() >= 4 ? playlist.size() - 4 : playlist.size();
    return playlist.substr(0, stem) + ".previous.m3u";
}

} // namespace cantorix
