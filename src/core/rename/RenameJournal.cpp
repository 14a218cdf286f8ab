#include "core/rename/RenameJournal.h"

#include "core/CoverFile.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace {

constexpr int64_t kMaxJournalBytes = 32 << 20; // 100,000 rows of long names; anything larger is not ours
constexpr size_t kMaxMoves = 100000;
constexpr size_t kMaxNameBytes = 4096;
constexpr int kMaxDirectoryEntries = 10000; // bounds every walk of the state folder
constexpr int64_t kMaxPlaylistBytes = 16 << 20;
constexpr const char* kJournalSuffix = ".journal";
constexpr const char* kLegacySuffix = ".json";

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

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
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

// A bare name a journal may make undo act on: one entry of the album folder (or its parent).
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

// The parent of a folder path that ends in "/", itself ending in "/".
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

// ---- Files in the state folder

std::string keyOf(const std::string& folder)
{
    const std::string f = withSlash(folder);
    return QCryptographicHash::hash(QByteArrayView(f.data(), qsizetype(f.size())), QCryptographicHash::Sha1)
        .toHex()
        .toStdString();
}

// Reads a whole record of at most kMaxJournalBytes; nothing for a missing, odd or oversized file.
std::optional<std::string> readRecord(const std::string& path, int64_t limit = kMaxJournalBytes)
{
    TFileReader f;
    if (!f.open(path) || f.size() > limit) return std::nullopt;
    std::string bytes(size_t(f.size()), '\0');
    if (!bytes.empty() && !f.read(bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

struct TIdentity {
    uint64_t Device = 0, Inode = 0;
    bool operator==(const TIdentity&) const = default;
};

std::optional<TIdentity> identityOf(const std::string& path, bool followLink)
{
    struct stat st {};
    if ((followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return std::nullopt;
    return TIdentity{uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

// The names in `directory` that start with `prefix` and end with `suffix`, at most kMaxDirectoryEntries.
std::vector<std::string> namesIn(const std::string& directory, std::string_view prefix, std::string_view suffix)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return names;
    int seen = 0;
    while (dirent* e = ::readdir(dir)) {
        if (++seen > kMaxDirectoryEntries) break;
        const std::string_view n = e->d_name;
        if (n.size() > prefix.size() + suffix.size() && n.substr(0, prefix.size()) == prefix &&
            n.substr(n.size() - suffix.size()) == suffix)
            names.emplace_back(n);
    }
    ::closedir(dir);
    return names;
}

// ---- Records of the first version (one JSON document rewritten after every step)

std::string legacyDec(const QJsonValue& v)
{
    return QByteArray::fromPercentEncoding(v.toString().toLatin1()).toStdString();
}

bool fromLegacyJson(const std::string& bytes, TRenameJournalData& d)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return false;
    const QJsonObject o = doc.object();
    if (o["version"].toInt() != 1) return false;
    d = {};
    d.Folder = withSlash(legacyDec(o["folder"]));
    if (d.Folder.size() < 2 || d.Folder[0] != '/' || d.Folder.find('\0') != std::string::npos) return false;
    if (const std::string after = legacyDec(o["folderAfter"]); !after.empty()) {
        // Only a sibling of the folder is followed.
        const std::string name = lastName(after);
        if (!usableBareName(name) || parentOf(withSlash(after)) != parentOf(d.Folder)) return false;
        d.FolderAfter = parentOf(d.Folder) + name + "/";
        d.FolderMoved = true;
    }
    const QJsonArray moves = o["moves"].toArray();
    if (size_t(moves.size()) > kMaxMoves) return false;
    for (const QJsonValue& v : moves) {
        const QJsonObject m = v.toObject();
        TJournalMove move{legacyDec(m["from"]), legacyDec(m["to"]), m["done"].toBool()};
        if (!usableBareName(move.From) || !usableBareName(move.To)) return false;
        d.Moves.push_back(std::move(move));
    }
    d.Playlist = legacyDec(o["playlist"]);
    if (!d.Playlist.empty() && !isPlaylistName(d.Playlist)) return false;
    d.PlaylistSha256 = o["playlistSha256"].toString().toStdString();
    if (!d.Playlist.empty() && !isSha256Hex(d.PlaylistSha256)) return false;
    d.WroteTags = o["wroteTags"].toBool();
    d.Finished = o["finished"].toBool();
    // Any number may stand there: one int64_t cannot hold is unknown (0) rather than converted.
    const double started = o["started"].toDouble();
    d.Started = started >= 0 && started < 9.0e18 ? int64_t(started) : 0;
    return true;
}

// Records of the first version become records of this one, under the keys of both their folders.
// Unreadable ones were never followed and go too.
void migrateLegacy(const std::string& directory)
{
    const std::string dir = withSlash(directory);
    for (const std::string& name : namesIn(directory, "rename-", kLegacySuffix)) {
        if (const std::optional<std::string> bytes = readRecord(dir + name)) {
            TRenameJournalData d;
            if (fromLegacyJson(*bytes, d) && !entryExists(dir + TRenameJournal::fileNameFor(d.Folder))) {
                TRenameJournal j(directory);
                j.data() = d;
                if (!j.save()) continue; // kept, to be tried again
            }
        }
        ::unlink((dir + name).c_str());
    }
}

// True when the record at `path` ends with its "end" line: the operation finished and no undo of it
// began. Reads the tail only.
bool endsFinished(const std::string& path)
{
    TFileReader f;
    if (!f.open(path) || f.size() < 2) return false;
    const int64_t take = std::min<int64_t>(f.size(), 4096);
    std::string tail(size_t(take), '\0');
    if (!f.readAt(f.size() - take, tail.data(), tail.size()) || tail.back() != '\n') return false;
    tail.pop_back();
    const size_t start = tail.rfind('\n');
    const std::string last = start == std::string::npos ? tail : tail.substr(start + 1);
    return last + "\n" == line("end");
}

// Keeps the last KeepRuns records and those younger than KeepDays; of the rest, those whose operation
// finished go, with all their names.
void prune(const std::string& directory)
{
    const std::string dir = withSlash(directory);
    struct TRecord {
        std::vector<std::string> names;
        int64_t modified = 0;
    };
    std::map<std::pair<uint64_t, uint64_t>, TRecord> byFile;
    for (const std::string& name : namesIn(directory, "rename-", kJournalSuffix)) {
        struct stat st {};
        if (::lstat((dir + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        TRecord& r = byFile[{uint64_t(st.st_dev), uint64_t(st.st_ino)}];
        r.names.push_back(name);
        r.modified = int64_t(st.st_mtime);
    }
    if (byFile.size() <= size_t(TRenameJournal::KeepRuns)) return;
    std::vector<TRecord> records;
    for (auto& [id, r] : byFile) records.push_back(std::move(r));
    std::sort(records.begin(), records.end(), [](const TRecord& a, const TRecord& b) { return a.modified > b.modified; });
    const int64_t oldest = int64_t(std::time(nullptr)) - int64_t(TRenameJournal::KeepDays) * 86400;
    for (size_t i = size_t(TRenameJournal::KeepRuns); i < records.size(); ++i) {
        const TRecord& r = records[i];
        if (r.modified >= oldest || !endsFinished(dir + r.names.front())) continue;
        for (const std::string& name : r.names) ::unlink((dir + name).c_str());
    }
}

bool ensureDirectory(const std::string& directory, std::string* error)
{
    if (QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(directory)))) return true;
    if (error) *error = TrLine(QT_TRANSLATE_NOOP("Rename", "cannot create the folder \"%1\""), {directory});
    return false;
}

std::string q(const std::string& name) { return "\"" + name + "\""; }

// The album folder's files as undo sees them; a dry run changes only this view.
class TFolderView {
public:
    explicit TFolderView(std::string folder) : m_folder(std::move(folder)) {}
    // The inode under `name`, or nothing when the name is free.
    std::optional<uint64_t> inode(const std::string& name)
    {
        if (auto it = m_changed.find(name); it != m_changed.end()) return it->second;
        struct stat st {};
        if (::lstat((m_folder + name).c_str(), &st) != 0) return std::nullopt;
        return uint64_t(st.st_ino);
    }
    void moved(const std::string& from, const std::string& to)
    {
        m_changed[to] = inode(from);
        m_changed[from] = std::nullopt;
    }

private:
    std::string m_folder;
    std::map<std::string, std::optional<uint64_t>> m_changed;
};

std::string fileSha256(const std::string& path)
{
    TFileReader f;
    if (!f.open(path) || f.size() > kMaxPlaylistBytes) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char buf[65536];
    for (size_t n; (n = f.readSome(buf, sizeof buf)) > 0;) hash.addData(QByteArrayView(buf, qsizetype(n)));
    if (f.remaining() != 0) return {};
    return hash.result().toHex().toStdString();
}

// What undo says of a file a run wrote beside the moves (the playlist, the cover).
struct TWrittenFileTexts {
    const char* changed; // "%1": the file is no longer as the run wrote it
    const char* removed; // "%1"
    const char* left;    // "%1", "%2": why it could not be removed
};

// Removes the file `name` a run wrote in `filesIn` when it is still as written (its digest), and gives
// the file that stood there before (moved aside to `previous`, empty for none) its name back.
void undoWrittenFile(const std::string& filesIn, const std::string& name, const std::string& sha256,
                     const std::string& previous, const TWrittenFileTexts& texts, bool dryRun, TUndoReport& r)
{
    const std::string path = filesIn + name;
    struct stat st {};
    bool free = true;
    if (::lstat(path.c_str(), &st) != 0) {
        // Gone already (or never written): nothing to remove.
    } else if (!S_ISREG(st.st_mode) || fileSha256(path) != sha256) {
        r.Lines.push_back(TrLine(texts.changed, {name}));
        ++r.LeftAlone;
        free = false;
    } else if (dryRun || ::unlink(path.c_str()) == 0) {
        r.Lines.push_back(TrLine(texts.removed, {name}));
    } else {
        r.Lines.push_back(TrLine(texts.left, {name, errnoText(errno)}));
        ++r.LeftAlone;
        free = false;
    }
    if (previous.empty() || !entryExists(filesIn + previous)) return;
    IoResult back = !free ? IoResult::fromErrno(EEXIST)
                          : dryRun ? IoResult::success()
                                   : moveNoReplace(filesIn + previous, path);
    if (back) {
        r.Lines.push_back(q(previous) + " -> " + q(name));
    } else {
        r.Lines.push_back(TrLine(QT_TRANSLATE_NOOP("Rename", "Undo left \"%1\" (%2)"), {previous, back.error}));
        ++r.LeftAlone;
    }
}

} // namespace

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

// ---------------------------------------------------------------------------------------------
// TRenameJournal

std::string TRenameJournal::defaultDirectory()
{
    // The XDG rule: an absolute $XDG_STATE_HOME, otherwise ~/.local/state.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!base.startsWith('/')) base = QDir::homePath() + "/.local/state";
    return QFile::encodeName(base + "/Cantorix").toStdString();
}

std::string TRenameJournal::fileNameFor(const std::string& folder) { return "rename-" + keyOf(folder) + kJournalSuffix; }

TRenameJournal::TRenameJournal(std::string directory, TFileSystem& files)
    : m_directory(std::move(directory)), m_files(&files), m_file(files)
{
}

TRenameJournal::TStart TRenameJournal::begin(std::string* error)
{
    if (!enabled()) return TStart::Begun;
    if (!ensureDirectory(m_directory, error)) return TStart::Failed;
    // Housekeeping: leftovers of writers that died and records of the first version (old records
    // are pruned once this one is made).
    removeAbandonedTemporaryFiles(m_directory);
    migrateLegacy(m_directory);

    const std::string dir = withSlash(m_directory);
    m_data.Folder = withSlash(m_data.Folder);
    m_data.KnowsInodes = m_data.FolderInode != 0;
    m_path = dir + fileNameFor(m_data.Folder);

    // The folder's older record: refused while unfinished; otherwise replaced, its second name too.
    TRenameJournalData older;
    std::string olderPath;
    const bool hasOlder = findFor(m_directory, m_data.Folder, older, olderPath);
    if (hasOlder && (!older.Finished || older.UndoStarted)) return TStart::Unfinished;
    const std::optional<TIdentity> olderFile = identityOf(m_path, false);

    const std::string text = headerAndPlan(m_data);
    if (IoResult made = m_file.create(m_path, text.data(), text.size()); !made) {
        if (error) *error = made.error;
        return TStart::Failed;
    }
    if (hasOlder && olderFile)
        for (const std::string& other : {older.Folder, older.FolderAfter}) {
            if (other.empty() || withSlash(other) == m_data.Folder) continue;
            const std::string alias = dir + fileNameFor(other);
            if (identityOf(alias, false) == olderFile) ::unlink(alias.c_str());
        }
    m_unsynced = 0;
    m_lastSync = std::chrono::steady_clock::now();
    // This record counts among the runs kept.
    prune(m_directory);
    return TStart::Begun;
}

std::string BeginJournal(TRenameJournal& journal, TJournalKind kind, const std::string& folder,
                         std::vector<TJournalMove> moves, bool writesTags)
{
    TRenameJournalData& record = journal.data();
    record.Kind = kind;
    record.Folder = withSlash(folder);
    if (const std::optional<TIdentity> id = identityOf(record.Folder, true)) {
        record.FolderDevice = id->Device;
        record.FolderInode = id->Inode;
    }
    record.WroteTags = writesTags;
    record.Started = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch()).count();
    // Each file's inode as planned: undo recognises a move whose line was lost by it.
    for (TJournalMove& m : moves) {
        const std::optional<TIdentity> file = identityOf(record.Folder + m.From, false);
        m.Inode = file ? file->Inode : 0;
        m.Done = m.Undone = false;
    }
    record.Moves = std::move(moves);
    std::string why;
    switch (journal.begin(&why)) {
    case TRenameJournal::TStart::Begun: return {};
    case TRenameJournal::TStart::Unfinished: return TrLine(UnfinishedRunText);
    case TRenameJournal::TStart::Failed: break;
    }
    return JournalErrorLine(why);
}

IoResult TRenameJournal::appendLine(const std::string& payload)
{
    if (!enabled()) return IoResult::success();
    return m_file.append(line(payload));
}

IoResult TRenameJournal::recordMove(size_t i)
{
    m_data.Moves.at(i).Done = true;
    if (IoResult r = appendLine("move " + std::to_string(i)); !r) return r;
    ++m_unsynced;
    return dueForSync() ? syncLines() : IoResult::success();
}

bool TRenameJournal::dueForSync() const { return std::chrono::steady_clock::now() - m_lastSync >= kSyncInterval; }

IoResult TRenameJournal::syncLines()
{
    if (!enabled() || m_unsynced == 0) return IoResult::success();
    m_unsynced = 0;
    m_lastSync = std::chrono::steady_clock::now();
    return m_file.sync();
}

IoResult TRenameJournal::recordFolderIntent(const std::string& newPath)
{
    const std::string name = lastName(newPath);
    if (!usableBareName(name)) return IoResult::fromErrno(EINVAL);
    m_data.FolderAfter = parentOf(m_data.Folder) + name + "/";
    if (!enabled()) return IoResult::success();
    if (IoResult r = appendLine("folder-to " + enc(name)); !r) return r;
    m_unsynced = 0;
    if (IoResult r = m_file.sync(); !r) return r;
    // The record's second name: undo asked for the renamed folder finds it by that folder's key. A
    // record there now is of a folder that no longer exists under that name (the run checked).
    const std::string alias = withSlash(m_directory) + fileNameFor(m_data.FolderAfter);
    if (alias != m_path) {
        ::unlink(alias.c_str());
        if (IoResult r = addName(m_path, alias); !r) return r;
    }
    return syncDirectory(m_directory, *m_files);
}

IoResult TRenameJournal::recordFolderMoved()
{
    m_data.FolderMoved = true;
    return appendLine("folder-moved");
}

std::string PreviousPlaylistName(const std::string& playlist)
{
    const size_t stem = playlist.size() >= 4 ? playlist.size() - 4 : playlist.size();
    return playlist.substr(0, stem) + ".previous.m3u";
}

IoResult TRenameJournal::recordPlaylist(const std::string& name, const std::string& sha256, const std::string& previous)
{
    if (!isPlaylistName(name) || !isSha256Hex(sha256) || (!previous.empty() && previous != PreviousPlaylistName(name)))
        return IoResult::fromErrno(EINVAL);
    m_data.Playlist = name;
    m_data.PlaylistSha256 = sha256;
    m_data.PlaylistPrevious = previous;
    if (IoResult r = appendLine("playlist " + enc(name) + " " + sha256 + (previous.empty() ? "" : " " + enc(previous)));
        !r)
        return r;
    m_unsynced = 1;
    return syncLines();
}

IoResult TRenameJournal::recordCover(const std::string& name, const std::string& sha256, const std::string& previous)
{
    if (name != CoverFileName || !isSha256Hex(sha256) || (!previous.empty() && previous != PreviousCoverFileName))
        return IoResult::fromErrno(EINVAL);
    m_data.Cover = name;
    m_data.CoverSha256 = sha256;
    m_data.CoverPrevious = previous;
    if (IoResult r = appendLine("cover " + enc(name) + " " + sha256 + (previous.empty() ? "" : " " + enc(previous))); !r)
        return r;
    m_unsynced = 1;
    return syncLines();
}

IoResult TRenameJournal::finish()
{
    m_data.Finished = true;
    if (IoResult r = appendLine("end"); !r) return r;
    m_unsynced = 1;
    return syncLines();
}

IoResult TRenameJournal::save()
{
    if (!enabled()) return IoResult::success();
    std::string error;
    if (!ensureDirectory(m_directory, &error)) return IoResult::failure(error);
    m_data.Folder = withSlash(m_data.Folder);
    const std::string dir = withSlash(m_directory);
    m_path = dir + fileNameFor(m_data.Folder);
    const std::string text = JournalText(m_data);
    if (IoResult made = m_file.create(m_path, text.data(), text.size()); !made) return made;
    if (!m_data.FolderAfter.empty()) {
        const std::string alias = dir + fileNameFor(m_data.FolderAfter);
        ::unlink(alias.c_str());
        if (IoResult r = addName(m_path, alias); !r) return r;
        return syncDirectory(m_directory, *m_files);
    }
    return IoResult::success();
}

IoResult TRenameJournal::resume(const std::string& path, size_t validBytes)
{
    m_path = path;
    m_unsynced = 0;
    m_lastSync = std::chrono::steady_clock::now();
    return m_file.open(path, int64_t(validBytes));
}

IoResult TRenameJournal::recordUndoStart()
{
    m_data.UndoStarted = true;
    if (IoResult r = appendLine("undo"); !r) return r;
    m_unsynced = 1;
    return syncLines();
}

IoResult TRenameJournal::recordUndone(size_t i)
{
    if (IoResult r = appendLine("undone " + std::to_string(i)); !r) return r;
    ++m_unsynced;
    return dueForSync() ? syncLines() : IoResult::success();
}

IoResult TRenameJournal::recordFolderUndone() { return appendLine("undo-folder"); }

bool TRenameJournal::findFor(const std::string& directory, const std::string& folder, TRenameJournalData& data,
                             std::string& path, size_t* validBytes)
{
    if (directory.empty() || folder.empty()) return false;
    const std::string want = withSlash(folder);
    const std::string dir = withSlash(directory);
    TRenameJournalData d;
    size_t valid = 0;
    const std::string at = dir + fileNameFor(want);
    std::optional<std::string> bytes = readRecord(at);
    if (!bytes && entryExists(dir + "rename-" + keyOf(want) + kLegacySuffix)) {
        // A record of the first version, kept under the key of the folder its run began in.
        migrateLegacy(directory);
        bytes = readRecord(at);
    }
    if (!bytes || !ParseJournal(*bytes, d, &valid)) return false;
    if (want != d.Folder && want != d.FolderAfter) return false;
    // The folder under that path must be the one the operation worked in, not one made there since.
    if (d.FolderInode != 0) {
        const std::optional<TIdentity> now = identityOf(want, true);
        if (!now || !(*now == TIdentity{d.FolderDevice, d.FolderInode})) return false;
    } else if (want == d.FolderAfter && !d.FolderMoved) {
        return false;
    }
    data = std::move(d);
    path = at;
    if (validBytes) *validBytes = valid;
    return true;
}

IoResult TRenameJournal::remove(const std::string& path, const TRenameJournalData& data)
{
    const std::optional<TIdentity> record = identityOf(path, false);
    if (!record) return IoResult::fromErrno(errno);
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    for (const std::string& folder : {data.FolderAfter, data.Folder}) {
        if (folder.empty()) continue;
        const std::string alias = dir + fileNameFor(folder);
        if (alias != path && identityOf(alias, false) == record) ::unlink(alias.c_str());
    }
    if (::unlink(path.c_str()) != 0) return IoResult::fromErrno(errno);
    syncDirectory(dir.empty() ? "." : dir);
    return IoResult::success();
}

// ---------------------------------------------------------------------------------------------
// Undo

TUndoReport UndoRenameRun(const TRenameJournalData& journal, const std::string& currentFolder, bool dryRun,
                          TRenameJournal* progress)
{
    TUndoReport r;
    std::string folder = withSlash(currentFolder); // the album folder once undone
    std::string filesIn = folder;                   // where its files are now

    // The folder first: the files then move back inside the folder they began in. Undo was asked for
    // the new name only when the folder is there (the record was checked against it).
    if (!journal.FolderAfter.empty() && folder == journal.FolderAfter && folder != journal.Folder) {
        const std::string from = withoutSlash(journal.FolderAfter), to = withoutSlash(journal.Folder);
        if (entryExists(to)) {
            r.Lines.push_back(
                TrLine(QT_TRANSLATE_NOOP("Rename", "Undo left the folder \"%1\": \"%2\" exists now"), {from, to}));
            ++r.LeftAlone;
        } else {
            IoResult moved = dryRun ? IoResult::success() : moveNoReplace(from, to);
            if (moved) {
                r.Lines.push_back(TrLine(QT_TRANSLATE_NOOP("Rename", "Folder renamed back to \"%1\""), {to}));
                folder = journal.Folder;
                if (!dryRun) filesIn = journal.Folder;
                if (progress) progress->recordFolderUndone();
            } else {
                r.Lines.push_back(
                    TrLine(QT_TRANSLATE_NOOP("Rename", "Undo left the folder \"%1\" (%2)"), {from, moved.error}));
                ++r.LeftAlone;
            }
        }
    }

    if (isPlaylistName(journal.Playlist)) {
        const std::string previous =
            journal.PlaylistPrevious == PreviousPlaylistName(journal.Playlist) ? journal.PlaylistPrevious : "";
        undoWrittenFile(filesIn, journal.Playlist, journal.PlaylistSha256, previous,
                        {QT_TRANSLATE_NOOP("Rename", "Undo left the playlist \"%1\": it was changed since"),
                         QT_TRANSLATE_NOOP("Rename", "Playlist \"%1\" removed"),
                         QT_TRANSLATE_NOOP("Rename", "Undo left the playlist \"%1\" (%2)")},
                        dryRun, r);
    }
    if (journal.Cover == CoverFileName) {
        const std::string previous = journal.CoverPrevious == PreviousCoverFileName ? journal.CoverPrevious : "";
        undoWrittenFile(filesIn, journal.Cover, journal.CoverSha256, previous,
                        {QT_TRANSLATE_NOOP("Rename", "Undo left the cover \"%1\": it was changed since"),
                         QT_TRANSLATE_NOOP("Rename", "Cover \"%1\" removed"),
                         QT_TRANSLATE_NOOP("Rename", "Undo left the cover \"%1\" (%2)")},
                        dryRun, r);
    }

    // Last move first, so that a name a later row freed is free again when an earlier row wants it.
    TFolderView view(filesIn);
    for (size_t i = journal.Moves.size(); i-- > 0;) {
        const TJournalMove& m = journal.Moves[i];
        if (m.From == m.To || m.Undone || !usableBareName(m.From) || !usableBareName(m.To)) continue;
        const std::optional<uint64_t> atNew = view.inode(m.To), atOld = view.inode(m.From);
        // Whether the entry under the new name is the one this operation moved there.
        bool ours = false;
        if (atNew) {
            if (journal.KnowsInodes)
                ours = (m.Inode != 0 && *atNew == m.Inode) || (m.Done && journal.WroteTags);
            else
                ours = m.Done || !atOld;
        }
        if (!ours) {
            // What never moved, and whatever was in its way, is not the operation's to mention; nor is
            // what an undo that was killed moved back already.
            const bool backAlready = !atNew && atOld &&
                                     (!journal.KnowsInodes || journal.WroteTags || (m.Inode != 0 && *atOld == m.Inode));
            if (m.Done && !backAlready) {
                r.Lines.push_back(atNew
                        ? TrLine(QT_TRANSLATE_NOOP("Rename", "Undo left \"%1\": it was replaced since"), {m.To})
                        : TrLine(QT_TRANSLATE_NOOP("Rename", "Undo left \"%1\": it is no longer there"), {m.To}));
                ++r.LeftAlone;
            }
            continue;
        }
        if (atOld) {
            r.Lines.push_back(
                TrLine(QT_TRANSLATE_NOOP("Rename", "Undo left \"%1\": \"%2\" is taken now"), {m.To, m.From}));
            ++r.LeftAlone;
            continue;
        }
        IoResult moved = dryRun ? IoResult::success() : moveNoReplace(filesIn + m.To, filesIn + m.From);
        if (moved) {
            view.moved(m.To, m.From);
            r.Lines.push_back(q(m.To) + " -> " + q(m.From));
            ++r.MovedBack;
            if (progress) progress->recordUndone(i);
        } else {
            r.Lines.push_back(TrLine(QT_TRANSLATE_NOOP("Rename", "Undo left \"%1\" (%2)"), {m.To, moved.error}));
            ++r.LeftAlone;
        }
    }
    if (journal.WroteTags)
        r.Lines.push_back(TrLine(QT_TRANSLATE_NOOP("Rename", "The run wrote tags; their values are not undone")));
    r.Folder = folder;
    return r;
}

bool UnfinishedRunIn(const std::string& journalDirectory, const std::string& folder)
{
    TRenameJournalData journal;
    std::string path;
    return TRenameJournal::findFor(journalDirectory, folder, journal, path) &&
           (!journal.Finished || journal.UndoStarted);
}

bool FinishedRunStands(const std::string& journalDirectory, const std::string& folder)
{
    TRenameJournalData journal;
    std::string path;
    if (!TRenameJournal::findFor(journalDirectory, folder, journal, path)) return false;
    if (journal.Kind != TJournalKind::RenameRun || !journal.Finished || journal.UndoStarted) return false;
    const std::string dir = withSlash(folder);
    for (const TJournalMove& m : journal.Moves) {
        if (m.From == m.To) continue;
        if (!m.Done || !usableBareName(m.To) || !entryExists(dir + m.To)) return false;
    }
    return true;
}

TUndoReport UndoLastRun(const std::string& journalDirectory, const std::string& folder, bool dryRun, bool& found,
                        TFileSystem& files)
{
    TRenameJournalData journal;
    std::string path;
    size_t valid = 0;
    found = TRenameJournal::findFor(journalDirectory, folder, journal, path, &valid);
    if (!found && !journalDirectory.empty()) {
        // A renamed folder's record of the first version is known under its old name only.
        migrateLegacy(journalDirectory);
        found = TRenameJournal::findFor(journalDirectory, folder, journal, path, &valid);
    }
    if (!found) return TUndoReport{{TrLine(NothingToUndoLine)}, 0, 0, withSlash(folder), {}};

    TRenameJournal progress(journalDirectory, files);
    if (!dryRun) {
        // Before the first step back: a killed undo then leaves a record that says so.
        IoResult begun = progress.resume(path, valid);
        if (begun) begun = progress.recordUndoStart();
        if (!begun) {
            TUndoReport refused;
            refused.Refused = TrLine(
                QT_TRANSLATE_NOOP("Rename", "Undo journal error: \"%1\" (nothing was moved back)"), {begun.error});
            refused.Lines = {refused.Refused};
            refused.Folder = withSlash(folder);
            return refused;
        }
    }
    TUndoReport report = UndoRenameRun(journal, folder, dryRun, dryRun ? nullptr : &progress);
    if (!dryRun) {
        // The record is spent: what was left alone is listed now, and a second undo would only repeat it.
        IoResult removed = TRenameJournal::remove(path, journal);
        if (!removed)
            report.Lines.push_back(TrLine(
                QT_TRANSLATE_NOOP("Rename", "Cannot remove the undo journal \"%1\" (%2)"), {path, removed.error}));
    }
    return report;
}

} // namespace cantorix
