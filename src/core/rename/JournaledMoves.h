// Moves of files inside one album folder, kept in the folder's undo journal like a rename run, so
// that Undo reverses the last of them: what rename by tag, the track-number fix and the manual rename
// in the information window do.
#pragma once

#include "core/rename/RenameJournal.h"

#include <functional>
#include <string>
#include <vector>

namespace cantorix {

struct TFileMove {
    std::string From; // bare names as file-system bytes
    std::string To;
    bool Valid = true; // false: To names no file of the folder; the move fails with "Invalid argument"
};

struct TMovesOutcome {
    int Moved = 0;
    int Failed = 0;
    std::string Refused; // nothing moved: the journal could not begin (the line that says why)
    IoResult LastFailure; // the reason of the last move that failed
};

// Moves each file of `folder` (with or without its "/") in order, never replacing an existing file;
// a move onto its own name is skipped, one that is not Valid fails in its turn. Before the first move the whole list is recorded in a journal
// in `journalDirectory` (none when it is empty); when that cannot be done, or the folder's last
// operation is unfinished, nothing moves, Refused says why and `log` gets that line. Each failed move
// is handed to `log` as "Rename error: "<old name>" (<reason>)". When the journal fails on the way,
// nothing more moves and every move not tried counts as failed. The journal is written through `files`.
TMovesOutcome MoveFilesJournaled(const std::string& folder, TJournalKind kind, const std::vector<TFileMove>& moves,
                                 const std::function<void(const std::string&)>& log,
                                 const std::string& journalDirectory, TFileSystem& files = systemFiles());

// The manual rename: the file at `fromPath` gets the bare name `newName` in its folder, never
// replacing an existing file, journaled so that Undo reverses it. The reason on failure (also when the
// journal cannot be written, or the folder has an unfinished run).
IoResult RenameFileJournaled(const std::string& fromPath, const std::string& newName,
                             const std::string& journalDirectory = TRenameJournal::defaultDirectory());

} // namespace cantorix
