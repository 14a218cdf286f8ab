// Undo of an operation a record describes (see RenameJournal.h for the order of writing it relies on).
#pragma once

#include "core/rename/RenameJournal.h"

#include <QtGlobal>

#include <string>
#include <vector>

namespace cantorix {

// What undo did, or would do with dryRun.
struct TUndoReport {
    std::vector<std::string> Lines; // one log line per step, in order
    int MovedBack = 0;
    int LeftAlone = 0;              // files, the folder or the playlist the operation moved or made that stay
    std::string Folder;             // the album folder afterwards, with "/"
    std::string Refused;            // why undo did not begin; empty when it did
};

// Undoes the operation a journal describes, in the folder undo was asked for (`currentFolder`, the
// folder's old or new path): renames the folder back, removes the playlist and the cover when their
// bytes are still the ones written (and gives the cover that was there its name back), moves back each file the operation moved (no-replace), last first. Only what the
// operation moved is touched and mentioned: a file of the plan that never moved, and an entry that
// was in the way of a move, are not. A moved file whose new name is gone, replaced, or whose old name
// is taken now, is left alone and listed. Tags are not undone; a line says so. With `progress`, each
// step back is recorded there (see the order above).
TUndoReport UndoRenameRun(const TRenameJournalData& journal, const std::string& currentFolder, bool dryRun,
                          TRenameJournal* progress = nullptr);

// Undo of the last operation on `folder`: finds its journal in `journalDirectory`, records that undo
// began, undoes it and (unless dryRun) removes the journal. `found` tells whether there was one.
TUndoReport UndoLastRun(const std::string& journalDirectory, const std::string& folder, bool dryRun, bool& found,
                        TFileSystem& files = systemFiles());

inline constexpr const char* NothingToUndoLine =
    QT_TRANSLATE_NOOP("Rename", "There is no rename run to undo for this folder");
inline constexpr const char* UndoFinishedLine = QT_TRANSLATE_NOOP("Rename", "Undo finished");

} // namespace cantorix
