// The record of one rename run, kept so that the run can be undone: each file's old and new name, the
// folder's move and the playlist the run created. It is written before the first move and again after
// every step (through a temporary file and rename()), so that a run killed at any moment leaves a
// journal that describes at least everything it did. Undo does not trust the record blindly: it looks
// at what is on disk before it moves anything back.
#pragma once

#include "audio/FileIO.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cantorix {

struct TJournalMove {
    std::string From; // bare names as file-system bytes
    std::string To;
    bool Done = false; // the move succeeded (a move that was under way when the run died is not marked)
};

struct TRenameJournalData {
    std::string Folder;      // the album folder when the run began, with "/"
    std::string FolderAfter; // the renamed folder, with "/"; empty unless the folder move succeeded
    std::vector<TJournalMove> Moves;
    std::string Playlist;        // bare name of the playlist the run created; empty for none
    std::string PlaylistSha256;  // hex digest of the bytes it wrote
    bool WroteTags = false;
    bool Finished = false;       // the run reached its end
    int64_t Started = 0;         // seconds since the epoch
};

class TRenameJournal {
public:
    // $XDG_STATE_HOME/Cantorix (by default ~/.local/state/Cantorix).
    static std::string defaultDirectory();

    // A journal kept in `directory`; an empty directory keeps none (every call then succeeds).
    explicit TRenameJournal(std::string directory = {});

    bool enabled() const { return !m_directory.empty(); }
    TRenameJournalData& data() { return m_data; }
    const std::string& path() const { return m_path; }

    // Writes the journal as it stands now; the first call picks its file (one per album folder, so a
    // newer run on the folder replaces the record of an older one).
    IoResult save();

    // Finds the newest journal that describes `folder` (the folder a run began in, or the one it
    // renamed it to). False when there is none. Journals that cannot be read are passed over.
    static bool findFor(const std::string& directory, const std::string& folder, TRenameJournalData& data,
                        std::string& path);
    // Removes a journal file (after an undo).
    static IoResult remove(const std::string& path);

private:
    std::string m_directory;
    std::string m_path;
    TRenameJournalData m_data;
};

// What undo did, or would do with dryRun.
struct TUndoReport {
    std::vector<std::string> Lines; // one log line per step, in order
    int MovedBack = 0;
    int LeftAlone = 0;              // files, the folder or the playlist that were not touched
    std::string Folder;             // the album folder afterwards, with "/"
};

// Undoes the run a journal describes: renames the folder back, removes the playlist when its bytes
// are still the ones written, moves each file back (no-replace). A file whose new name is gone, or
// whose old name is taken now, is left alone and listed. Tags are not undone; a line says so.
TUndoReport UndoRenameRun(const TRenameJournalData& journal, const std::string& currentFolder, bool dryRun);

// Undo of the last run on `folder`: finds its journal in `journalDirectory`, undoes it and (unless
// dryRun) removes the journal. `found` tells whether there was a run to undo.
TUndoReport UndoLastRun(const std::string& journalDirectory, const std::string& folder, bool dryRun, bool& found);

// True when the last run recorded for `folder` did not reach its end (killed, crashed, power lost):
// its titles were put on files by position, so a new run now would put them on the wrong files.
bool UnfinishedRunIn(const std::string& journalDirectory, const std::string& folder);

inline constexpr const char* UnfinishedRunText =
    "An earlier rename run in this folder did not finish. Undo it before renaming again: the titles go to "
    "the files by their order, which that run changed.";

inline constexpr const char* NothingToUndoLine = "There is no rename run to undo for this folder";
inline constexpr const char* UndoFinishedLine = "Undo finished";

} // namespace cantorix
