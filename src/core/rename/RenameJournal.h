// The record of one operation that moves the files of an album folder (a rename run, rename by tag,
// the track-number fix, a manual rename), kept so that it can be undone.
//
// One file per album folder, "rename-<key>.journal" in the state folder, the key being the SHA-1 of the
// folder's path; a run that renames the folder gives the same file a second name under the key of the
// new path before it moves the folder, so undo finds the run from either name without reading any
// other record. The lines of the file are described in JournalFormat.h; undo is in JournalUndo.h.
//
// The order of writing, and why it keeps every move findable after a crash:
// 1. The header and the whole plan are written once, to a temporary file that is synced and renamed
//    into place, and the state folder is synced, before the first move. Every move the operation can
//    make is then on disk with the inode of the file it concerns.
// 2. Each move is followed by its "move" line, one write() and no sync. A killed process loses nothing
//    that write() took. A machine that loses power may lose the last of these lines, but not the
//    plan: undo then recognises a move by the disk itself (the planned file's inode under the new name
//    and the old name free), taking the rows last to first so that a name freed by a later row is
//    free again when an earlier row wants it. A sync after every move would buy nothing: the moves
//    themselves reach the disk with the file system's own commits. The lines are synced once a second
//    all the same, so that little is left to be recognised that way.
// 3. Where the inode stops telling (a tag rewrite gives the file a new one) the move's line is synced
//    before the rewrite; the folder's new name is recorded, given its alias and synced before the
//    folder moves; the playlist's and the cover's digests are synced before they are written; "end" is
//    synced last.
// 4. Undo syncs its "undo" line before its first move, so that a killed undo leaves a record that a
//    second undo completes and that a new operation on the folder refuses to replace.
#pragma once

#include "audio/IoResult.h"
#include "audio/SafeWrite.h"
#include "audio/AppendFile.h"
#include "core/rename/JournalFormat.h"

#include <QtGlobal>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantorix {

class TRenameJournal {
public:
    // $XDG_STATE_HOME/Cantorix (by default ~/.local/state/Cantorix).
    static std::string defaultDirectory();
    // Journals older than this many days are removed once this many newer operations are recorded,
    // when they reached their end (a record of an unfinished operation stays until it is undone).
    static constexpr int KeepRuns = 50;
    static constexpr int KeepDays = 30;
    // "move" lines are synced at least this often.
    static constexpr std::chrono::milliseconds kSyncInterval{1000};

    // A journal kept in `directory`, written through `files`; an empty directory keeps none (every
    // call then succeeds).
    explicit TRenameJournal(std::string directory = {}, TFileSystem& files = systemFiles());

    bool enabled() const { return !m_directory.empty(); }
    TRenameJournalData& data() { return m_data; }
    const std::string& path() const { return m_path; }

    // How begin() went.
    enum class TStart { Begun, Unfinished, Failed };
    // Writes the header and the plan of data() (Kind, Folder, Moves with their inodes, WroteTags,
    // Started) once, synced, in place of the folder's older record. Unfinished (nothing written)
    // when the folder's last operation did not reach its end or an undo of it did not; Failed with
    // the reason in `error` when the record cannot be written. Either way nothing may move. Also
    // removes temporary files of writers that died and prunes old journals.
    TStart begin(std::string* error);
    // Row i was moved: one line, synced when kSyncInterval has passed since the last sync.
    IoResult recordMove(size_t i);
    // Syncs the lines appended so far.
    IoResult syncLines();
    // The folder is about to become `newPath` (a sibling, with "/"): records it, gives the record a
    // second name under the new path's key and syncs both. The folder may move only after success.
    IoResult recordFolderIntent(const std::string& newPath);
    IoResult recordFolderMoved();
    // The playlist `name` with these bytes' digest is about to be written, the file there now moving to
    // `previous` (PreviousPlaylistName(name); empty when there is none); synced.
    IoResult recordPlaylist(const std::string& name, const std::string& sha256, const std::string& previous = {});
    // The cover `name` (folder.jpg) with these bytes' digest is about to be written, the file there now
    // moving to `previous` (folder.previous.jpg; empty when there is none); synced.
    IoResult recordCover(const std::string& name, const std::string& sha256, const std::string& previous);
    // The operation reached its end; synced.
    IoResult finish();

    // Writes the whole of data() at once (as a crash-free operation would have left it) under the key
    // of its folder, and the alias when the folder was renamed.
    IoResult save();

    // Undo's own progress in the record it undoes, read from `path` (lines past `validBytes`, torn by
    // a crash, are cut off first). The "undo" line is synced; undo may move nothing before it is.
    IoResult resume(const std::string& path, size_t validBytes);
    IoResult recordUndoStart();
    IoResult recordUndone(size_t i);
    IoResult recordFolderUndone();

    // The record that describes `folder` (the folder an operation began in, or the one it renamed it
    // to, when the folder there is still that folder). False when there is none or it cannot be read.
    static bool findFor(const std::string& directory, const std::string& folder, TRenameJournalData& data,
                        std::string& path, size_t* validBytes = nullptr);
    // Removes the record `data` read from `path`, both its names.
    static IoResult remove(const std::string& path, const TRenameJournalData& data);
    // The record's file name for a folder ("rename-<key>.journal").
    static std::string fileNameFor(const std::string& folder);

private:
    IoResult appendLine(const std::string& payload);

    std::string m_directory;
    TFileSystem* m_files;
    std::string m_path;
    TRenameJournalData m_data;
    TAppendFile m_file;
    int m_unsynced = 0;
    std::chrono::steady_clock::time_point m_lastSync;
    bool dueForSync() const;
};

// Begins `journal`'s record of an operation of `kind` on `folder` that makes `moves` (From and To;
// the rest is filled in here): the folder's device and inode, the time and each file's inode as it is
// now go into data(), then begin(). Empty when it began; otherwise the line that says why nothing may
// move (the folder's last operation is unfinished, or the record cannot be written).
std::string BeginJournal(TRenameJournal& journal, TJournalKind kind, const std::string& folder,
                         std::vector<TJournalMove> moves, bool writesTags = false);

// True when the last operation recorded for `folder` did not reach its end (killed, crashed, power
// lost) or an undo of it did not: its titles were put on files by position, so a new run now would
// put them on the wrong files.
bool UnfinishedRunIn(const std::string& journalDirectory, const std::string& folder);

// Marked for lupdate (context "Rename"); shown through TrLine.
inline constexpr const char* UnfinishedRunText = QT_TRANSLATE_NOOP("Rename",
    "An earlier rename run in this folder did not finish. Undo it before renaming "
    "again: the titles go to the files by their order, which that run changed.");

// True when the last operation recorded for `folder` is a rename run that reached its end, no undo of
// it began, and every file it was to move bears its new name in `folder` now: a batch run again with
// the same arguments leaves that album as it is.
bool FinishedRunStands(const std::string& journalDirectory, const std::string& folder);

// The state folder's files, as the store, the old-format reader and undo read them.
namespace journal {

constexpr const char* kJournalSuffix = ".journal";
constexpr const char* kLegacySuffix = ".json";

constexpr int64_t kMaxJournalBytes = 32 << 20; // 100,000 rows of long names; anything larger is not ours

// Reads a whole record of at most `limit` bytes; nothing for a missing, odd or oversized file.
std::optional<std::string> readRecord(const std::string& path, int64_t limit = kMaxJournalBytes);

struct TIdentity {
    uint64_t Device = 0, Inode = 0;
    bool operator==(const TIdentity&) const = default;
};
std::optional<TIdentity> identityOf(const std::string& path, bool followLink);

// The names in `directory` that start with `prefix` and end with `suffix`, a bounded number.
std::vector<std::string> namesIn(const std::string& directory, std::string_view prefix, std::string_view suffix);

// The SHA-1 of a folder's path (with "/"), in hex.
std::string keyOf(const std::string& folder);

} // namespace journal

} // namespace cantorix
