#include "core/rename/RenameJournal.h"

#include "core/CoverFile.h"
#include "core/rename/LegacyJournal.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace journal {

namespace {
constexpr int kMaxDirectoryEntries = 10000; // bounds every walk of the state folder
} // namespace

std::string keyOf(const std::string& folder)
{
    const std::string f = withSlash(folder);
    return QCryptographicHash::hash(QByteArrayView(f.data(), qsizetype(f.size())), QCryptographicHash::Sha1)
        .toHex()
        .toStdString();
}

std::optional<std::string> readRecord(const std::string& path, int64_t limit)
{
    TFileReader f;
    if (!f.open(path) || f.size() > limit) return std::nullopt;
    std::string bytes(size_t(f.size()), '\0');
    if (!bytes.empty() && !f.read(bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

std::optional<TIdentity> identityOf(const std::string& path, bool followLink)
{
    struct stat st {};
    if ((followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return std::nullopt;
    return TIdentity{uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

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

} // namespace journal

using namespace journal;

namespace {

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

} // namespace

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

} // namespace cantorix
