#include "core/rename/JournaledMoves.h"

#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <algorithm>
#include <cerrno>

namespace cantorix {

TMovesOutcome MoveFilesJournaled(const std::string& folder, TJournalKind kind, const std::vector<TFileMove>& moves,
                                 const std::function<void(const std::string&)>& log,
                                 const std::string& journalDirectory, TFileSystem& files)
{
    const std::string dir = withSlash(folder);
    TMovesOutcome outcome;
    // The moves that will be tried, and which of them each given move is (-1: none).
    std::vector<TFileMove> planned;
    std::vector<long> plannedAt;
    for (const TFileMove& m : moves) {
        plannedAt.push_back(m.Valid && m.From != m.To ? long(planned.size()) : -1);
        if (plannedAt.back() >= 0) planned.push_back(m);
    }
    auto refuseInvalid = [&](const TFileMove& m) {
        ++outcome.Failed;
        outcome.LastFailure = IoResult::fromErrno(EINVAL);
        log(RenameErrorLine(m.From, outcome.LastFailure.error));
    };
    if (planned.empty()) {
        for (const TFileMove& m : moves)
            if (!m.Valid) refuseInvalid(m);
        return outcome;
    }

    TRenameJournal journal(journalDirectory, files);
    std::vector<TJournalMove> record;
    for (const TFileMove& m : planned) record.push_back({m.From, m.To});
    outcome.Refused = BeginJournal(journal, kind, dir, std::move(record));
    if (!outcome.Refused.empty()) {
        outcome.Failed = int(planned.size());
        log(outcome.Refused);
        return outcome;
    }

    for (size_t k = 0; k < moves.size(); ++k) {
        if (!moves[k].Valid) refuseInvalid(moves[k]);
        if (plannedAt[k] < 0) continue;
        const size_t i = size_t(plannedAt[k]);
        const TFileMove& m = planned[i];
        IoResult moved = moveNoReplace(dir + m.From, dir + m.To);
        if (!moved) {
            ++outcome.Failed;
            log(RenameErrorLine(m.From, moved.error));
            outcome.LastFailure = moved;
            continue;
        }
        ++outcome.Moved;
        // As in the rename run: a lost line is found on disk by the file's inode.
        if (IoResult recorded = journal.recordMove(i); !recorded) {
            log(JournalStoppedLine(recorded.error));
            outcome.LastFailure = recorded;
            // The moves not tried: the planned ones and those that would have failed in their turn.
            outcome.Failed += int(std::count_if(moves.begin() + long(k) + 1, moves.end(), [](const TFileMove& rest) {
                return !rest.Valid || rest.From != rest.To;
            }));
            return outcome;
        }
    }
    if (IoResult ended = journal.finish(); !ended) log(JournalStoppedLine(ended.error));
    return outcome;
}

IoResult RenameFileJournaled(const std::string& fromPath, const std::string& newName,
                             const std::string& journalDirectory)
{
    const size_t slash = fromPath.rfind('/');
    if (slash == std::string::npos || !IsUsableName(newName)) return IoResult::fromErrno(EINVAL);
    const std::string folder = fromPath.substr(0, slash + 1);
    const TMovesOutcome outcome = MoveFilesJournaled(folder, TJournalKind::ManualRename,
                                                     {{fromPath.substr(slash + 1), newName}},
                                                     [](const std::string&) {}, journalDirectory);
    if (!outcome.Refused.empty()) return IoResult::failure(outcome.Refused);
    return outcome.Failed == 0 ? IoResult::success() : outcome.LastFailure;
}

} // namespace cantorix
