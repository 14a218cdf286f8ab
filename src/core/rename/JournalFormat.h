// The text of an undo record: a list of lines, each "<CRC-32 in hex> <payload>\n"; a line whose checksum
// does not match (the last one, torn by a crash) ends what is read.
//
//   journal 2 <kind> <started>        kind: rename, tags (rename by tag), fix, manual
//   folder <path> <device> <inode>    the album folder when the operation began, with "/"
//   tags                              the run writes tags
//   plan <i> <from> <to> <inode>      every planned move, in order; the file's inode when planned
//   planned <count>                   the plan is complete
//   move <i>                          row i was moved
//   folder-to <name>                  the folder is about to get this name (bare)
//   folder-moved                      it got it
//   playlist <name> <sha256>          the playlist about to be written, by the digest of its bytes
//   cover <name> <sha256> [<old>]     the cover about to be written (folder.jpg); <old>: the name the
//                                     folder.jpg that was there moves to (folder.previous.jpg)
//   end                               the operation reached its end
//   undo / undone <i> / undo-folder   an undo began, moved row i back, moved the folder back
//
// Names are percent-encoded where a byte is a space, a control character or "%".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cantorix {

// Where a file that stands in the way of a run's playlist "<name>.m3u" is kept: "<name>.previous.m3u".
std::string PreviousPlaylistName(const std::string& playlist);

enum class TJournalKind { RenameRun, RenameByTag, TrackNumberFix, ManualRename };

struct TJournalMove {
    std::string From; // bare names as file-system bytes
    std::string To;
    bool Done = false;   // recorded as moved (a move whose line was lost is found on disk by its inode)
    uint64_t Inode = 0;  // of the file under From when the plan was made; 0: unknown
    bool Undone = false; // an undo moved it back
};

struct TRenameJournalData {
    TJournalKind Kind = TJournalKind::RenameRun;
    std::string Folder;           // the album folder when the operation began, with "/"
    uint64_t FolderDevice = 0;    // its device and inode; 0: unknown
    uint64_t FolderInode = 0;
    std::string FolderAfter;      // the folder's planned new path, with "/"; empty when it is not renamed
    bool FolderMoved = false;     // recorded as renamed
    bool FolderUndone = false;
    std::vector<TJournalMove> Moves;
    std::string Playlist;         // bare name of the playlist the run writes; empty for none
    std::string PlaylistSha256;   // hex digest of its bytes
    std::string PlaylistPrevious; // PreviousPlaylistName(Playlist) when a file of that name moved aside
    std::string Cover;            // folder.jpg when the run saves the cover; empty for none
    std::string CoverSha256;      // hex digest of its bytes
    std::string CoverPrevious;    // folder.previous.jpg when the folder.jpg that was there moved aside
    bool WroteTags = false;
    bool Finished = false;        // the operation reached its end
    bool UndoStarted = false;
    int64_t Started = 0;          // seconds since the epoch
    // The plan carries the files' inodes (records of this version). Without them, undo takes a move as
    // made when it is recorded, or when its new name is there and its old name is free.
    bool KnowsInodes = false;
};

// A journal's bytes read back: false when they do not begin with a complete header and plan. Lines
// after the first one that fails its checksum or makes no sense are not read; `validBytes` is how far
// the trusted lines reach. Names that hold "/" or NUL, are empty, "." or "..", a folder that is not
// absolute and a playlist that does not end in ".m3u" make the journal unreadable.
bool ParseJournal(std::string_view bytes, TRenameJournalData& data, size_t* validBytes = nullptr);
// The whole record as one text, as the lines above (what TRenameJournal::save() writes).
std::string JournalText(const TRenameJournalData& data);
// One line: the payload's checksum, the payload, the line break.
std::string JournalLine(std::string_view payload);

// The pieces of the format that the store, the old-format reader and undo share.
namespace journal {

constexpr size_t kMaxMoves = 100000;
constexpr size_t kMaxNameBytes = 4096;

// One line: the payload's checksum, the payload, the line break.
std::string line(const std::string& payload);
// A name as a field of a line.
std::string enc(std::string_view bytes);
// A bare name a journal may make undo act on: one entry of the album folder (or its parent).
bool usableBareName(const std::string& n);
bool isPlaylistName(const std::string& n);
bool isSha256Hex(std::string_view s);
// The parent of a folder path that ends in "/", itself ending in "/".
std::string parentOf(const std::string& folder);
// The last name of a folder path.
std::string lastName(const std::string& folder);
// The header and the plan of a record: what begin() writes in one piece.
std::string headerAndPlan(const TRenameJournalData& d);

} // namespace journal

} // namespace cantorix
