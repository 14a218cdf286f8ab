#include "core/rename/JournalUndo.h"

#include "core/CoverFile.h"
#include "core/rename/LegacyJournal.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <cerrno>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

using namespace journal;

namespace {

constexpr int64_t kMaxPlaylistBytes = 16 << 20;

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
