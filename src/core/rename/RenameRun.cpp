#include "core/rename/RenameRun.h"

#include "audio/WriteTags.h"
#include "core/CoverFile.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <QCryptographicHash>

#include <optional>

#include <cerrno>
#include <dirent.h>
#include <exception>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cantorix {

namespace {

// The parent of a folder path that ends in "/", itself ending in "/".
std::string parentOf(const std::string& folder)
{
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    size_t slash = f.rfind('/');
    if (slash == std::string::npos) return std::string();
    return f.substr(0, slash + 1);
}

std::string sha256Hex(const std::string& bytes)
{
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

} // namespace

std::vector<std::string> FolderEntryNames(const std::string& folder, size_t limit)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        if (names.size() >= limit) break;
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(std::move(name));
    }
    ::closedir(dir);
    return names;
}

std::string CollisionText(const std::string& other)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "would collide with \"%1\""), {other});
}

std::string RenameSummaryText(const TRenameReport& report)
{
    if (!report.Refused.empty()) return report.Refused;
    const int moved = report.movedCount(), rows = int(report.Rows.size()) - report.keptCount();
    int tagFailures = 0;
    for (const TRenameRowReport& r : report.Rows) tagFailures += r.Tags == TRenameRowReport::TTags::Failed ? 1 : 0;
    std::string text =
        TrLine(QT_TRANSLATE_NOOP("Rename", "Renamed %1 of %2 files"), {std::to_string(moved), std::to_string(rows)});
    if (moved < rows)
        text += TrLine(QT_TRANSLATE_NOOP("Rename", "; %1 could not be renamed"), {std::to_string(rows - moved)});
    if (tagFailures > 0)
        text += TrLine(QT_TRANSLATE_NOOP("Rename", "; tags could not be written to %1"), {std::to_string(tagFailures)});
    if (report.Folder == TRenameReport::TStep::Failed)
        text += TrLine(QT_TRANSLATE_NOOP("Rename", "; the folder was not renamed"));
    if (report.Playlist == TRenameReport::TStep::Failed)
        text += TrLine(QT_TRANSLATE_NOOP("Rename", "; the playlist was not written"));
    if (report.Cover == TRenameReport::TStep::Failed)
        text += TrLine(QT_TRANSLATE_NOOP("Rename", "; the cover was not saved"));
    if (const int kept = report.keptCount(); kept > 0)
        text +=
            TrLine(QT_TRANSLATE_NOOP("Rename", "; files without a title kept their names: %1"), {std::to_string(kept)});
    if (!report.Stopped.empty()) text += TrLine(QT_TRANSLATE_NOOP("Rename", "; the run stopped: %1"), {report.Stopped});
    return text;
}

int TRenameReport::movedCount() const
{
    int n = 0;
    for (const TRenameRowReport& r : Rows) n += r.Moved && !r.KeptName ? 1 : 0;
    return n;
}

int TRenameReport::keptCount() const
{
    int n = 0;
    for (const TRenameRowReport& r : Rows) n += r.KeptName ? 1 : 0;
    return n;
}

int TRenameReport::failedCount() const
{
    int n = 0;
    for (const TRenameRowReport& r : Rows)
        n += !r.KeptName && (!r.Moved || r.Tags == TRenameRowReport::TTags::Failed) ? 1 : 0;
    return n;
}

bool TRenameReport::anyFailure() const
{
    return failedCount() > 0 || Folder == TStep::Failed || Playlist == TStep::Failed || Cover == TStep::Failed ||
           !NativeError.empty() || !Refused.empty() || !Stopped.empty();
}

TRenameRun::TRenameRun(std::string folder, std::vector<TRenameRow> rows, TAlbumData album,
                       TRenameOptions options)
    : m_folder(withSlash(std::move(folder))), m_album(std::move(album)), m_options(std::move(options)),
      m_tagWriter(WriteAudioTags)
{
    for (TRenameRow& row : rows) {
        if (row.FileName.empty()) break;
        m_rows.push_back(std::move(row));
    }
}

void TRenameRun::log(std::string line)
{
    if (m_onLine) m_onLine(line);
    m_log.push_back(std::move(line));
}

size_t TRenameRun::nameLimit() const
{
    if (m_nameLimit > 0) return m_nameLimit;
    long limit = ::pathconf(m_folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? size_t(limit) : 255;
}

std::vector<TRenameRun::TPlannedName> TRenameRun::planNames() const
{
    const std::string prepared = PrepareNameTemplate(m_options.NameFormat);
    const size_t limit = nameLimit();
    std::vector<TFittedName> fitted(m_rows.size());
    std::vector<TPlannedName> names(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const TRenameRow& row = m_rows[i];
        TPlannedName& n = names[i];
        // A file beyond the entry's titles has nothing to be named by: it keeps its name and tags.
        if (row.TrackNo.empty() && row.Track.empty()) {
            n.NoTitle = true;
            continue;
        }
        const TNameValues v{m_album.Artist, m_album.Album, m_album.Year, row.Track, row.TrackNo, row.TrackArtist,
                            m_album.Disc};
        if (std::optional<TFittedName> name = BuildFittedFileName(prepared, v, OldNameExtension(row.FileName),
                                                                  m_options.FixUnderScores, TNameVariant::RenameRun,
                                                                  limit, m_options.PortableNames))
            fitted[i] = std::move(*name);
        else
            n.NoName = true;
    }
    SeparateShortenedNames(fitted, limit, m_options.PortableNames ? PortableNameUnits : 0);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        TPlannedName& n = names[i];
        n.Name = n.NoTitle || n.NoName ? m_rows[i].FileName : fitted[i].Name;
        n.Shortened = fitted[i].Shortened;
    }
    return names;
}

std::vector<TRenamePlanItem> TRenameRun::plan() const
{
    const std::vector<TPlannedName> names = planNames();
    std::vector<TRenamePlanItem> items;
    for (size_t i = 0; i < m_rows.size(); ++i) items.push_back({m_rows[i].FileName, names[i].Name});
    return items;
}

std::vector<TRenameRun::TPreviewRow> TRenameRun::preview(const std::vector<std::string>& folderEntries) const
{
    const std::vector<TPlannedName> names = planNames();
    std::vector<TPreviewRow> rows;
    std::map<std::string, std::vector<size_t>> byNewName;
    std::set<std::string> renamedAway;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        TPreviewRow p;
        p.OldName = m_rows[i].FileName;
        p.NewName = names[i].Name;
        p.Shortened = names[i].Shortened;
        p.NoTitle = names[i].NoTitle;
        p.NoName = names[i].NoName;
        p.Unchanged = p.NewName == p.OldName;
        if (!p.Unchanged) renamedAway.insert(p.OldName);
        byNewName[p.NewName].push_back(rows.size());
        rows.push_back(std::move(p));
    }
    const std::set<std::string> entries(folderEntries.begin(), folderEntries.end());
    for (size_t i = 0; i < rows.size(); ++i) {
        TPreviewRow& p = rows[i];
        for (size_t j : byNewName[p.NewName])
            if (j != i) {
                p.CollidesWith = rows[j].OldName;
                break;
            }
        if (!p.CollidesWith.empty() || p.Unchanged) continue;
        if (entries.count(p.NewName) && !renamedAway.count(p.NewName)) p.CollidesWith = p.NewName;
    }
    return rows;
}

namespace {

// A folder or playlist name fitted to the folder: made a device's first when asked for, and again
// after the cut, which may leave a dot or a space at its end.
std::string fitFolderLike(const std::string& name, size_t limit, bool portable)
{
    if (!portable) return FitNameLength(name, limit);
    return PortableName(FitNameLength(PortableName(name, TNameKind::Folder), limit, PortableNameUnits),
                        TNameKind::Folder);
}

} // namespace

std::string TRenameRun::folderName() const
{
    return fitFolderLike(BuildFolderName(m_album.Artist, m_album.Album, m_album.Year, m_options.FolderFormat, m_album.Disc),
                         nameLimit(), m_options.PortableNames);
}

std::string TRenameRun::plannedFolderPath() const
{
    if (!m_options.RenameFolder) return std::string();
    return parentOf(m_folder) + folderName() + "/";
}

std::string TRenameRun::playlistFileName() const
{
    if (!m_options.CreatePlaylist) return std::string();
    std::string name = fitFolderLike(BuildPlaylistName(m_album.Artist, m_album.Album) + ".m3u", nameLimit(),
                                     m_options.PortableNames);
    // A device's rules may not take the extension away (a name of "." alone).
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".m3u") != 0) name += ".m3u";
    return name;
}

void TRenameRun::run()
{
    try {
        work();
    } catch (const std::exception& e) {
        m_report.NativeError = e.what();
        log(NativeErrorLine(e.what(), errnoText(errno)));
    } catch (...) {
        const std::string system = errnoText(errno); // before the translator can touch errno
        m_report.NativeError = TrLine(QT_TRANSLATE_NOOP("Rename", "unknown exception"));
        log(NativeErrorLine(m_report.NativeError, system));
    }
    // Whatever happened, there is a folder to select afterwards.
    if (m_folderToSelect.empty()) m_folderToSelect = m_folder;
    m_done = true;
}

void TRenameRun::work()
{
    m_folderToSelect.clear();
    m_report = TRenameReport{};
    const std::vector<TPlannedName> names = planNames();
    std::string playlist;
    const bool various = std::any_of(m_rows.begin(), m_rows.end(), [](const TRenameRow& r) { return !r.TrackArtist.empty(); });

    // The journal holds the whole plan, synced, before the first move; its header explains the order
    // of everything written after. No journal, no run: a run that cannot be undone does not begin.
    TRenameJournal journal(m_journalDirectory, *m_files);
    std::vector<TJournalMove> moves;
    for (size_t i = 0; i < m_rows.size(); ++i) moves.push_back({m_rows[i].FileName, names[i].Name});
    m_report.Refused = BeginJournal(journal, TJournalKind::RenameRun, m_folder, std::move(moves), m_options.WriteTags);
    if (!m_report.Refused.empty()) {
        log(m_report.Refused);
        return;
    }
    // Once the journal fails, nothing more moves: undo puts back what did.
    auto journalFailed = [&](const IoResult& r) {
        if (r) return false;
        m_report.Stopped = r.error;
        log(JournalStoppedLine(r.error));
        return true;
    };

    // Names this run moved files to: a listed file found under one of them later is not that row's
    // (its own file vanished after the scan), so it is not moved again.
    std::set<std::string> movedInto;
    int kept = 0;
    size_t i = 0;
    for (; i < m_rows.size() && m_report.Stopped.empty(); ++i) {
        const TRenameRow& row = m_rows[i];
        const TPlannedName& planned = names[i];
        const std::string& newName = planned.Name;
        TRenameRowReport& report = m_report.Rows.emplace_back();
        report.OldName = row.FileName;
        report.NewName = newName;
        if (planned.NoTitle) {
            report.KeptName = true;
            ++kept;
            if (m_options.CreatePlaylist && entryExists(m_folder + row.FileName)) playlist += row.FileName + "\r\n";
            if (m_onProgress) m_onProgress(int(i + 1));
            continue;
        }
        if (planned.Shortened) log(NameShortenedLine(newName));
        IoResult moved;
        // A name built from values may hold a NUL, which would cut the path short in the system call.
        if (planned.NoName || !IsUsableName(newName))
            moved = IoResult::fromErrno(EINVAL);
        else if (movedInto.count(row.FileName))
            moved = IoResult::fromErrno(ENOENT);
        else if (newName != row.FileName) // a file that already has its name needs no move
            moved = moveNoReplace(m_folder + row.FileName, m_folder + newName);
        else if (!entryExists(m_folder + row.FileName))
            moved = IoResult::fromErrno(ENOENT);

        report.Moved = moved.ok;
        if (!moved) {
            report.MoveError = moved.error;
            log(RenameErrorLine(row.FileName, moved.error));
        } else {
            if (newName != row.FileName) {
                movedInto.insert(newName);
                if (journalFailed(journal.recordMove(i))) break;
            }
            if (m_options.WriteTags && m_tagWriter && IsTagWritingExtension(newName)) {
                // A rewrite gives the file a new inode: from then on only the synced line says it is ours.
                if (journalFailed(journal.syncLines())) break;
                // The track's own artist goes into ARTIST / TPE1; on an album of various artists the
                // album's goes into ALBUMARTIST / TPE2, on every track, so players group them as one.
                const std::string& artist = row.TrackArtist.empty() ? m_album.Artist : row.TrackArtist;
                TTagValues values{row.Track, artist, m_album.Album, m_album.Year, row.TrackNo, m_album.Genre};
                if (various) values.AlbumArtist = m_album.Artist;
                values.MusicBrainzAlbumId = m_album.MbReleaseId;
                values.MusicBrainzArtistIds = m_album.MbArtistIds;
                values.MusicBrainzReleaseGroupId = m_album.MbReleaseGroupId;
                values.MusicBrainzTrackId = row.MbRecordingId;
                values.AcoustId = row.AcoustId;
                IoResult tagged;
                // Nothing is written through a link: its target may lie outside the album (another
                // album's file), and where it points can change between a check and the write. A file
                // with other names (hard links) gets its tags, said in the log, since those change too.
                struct stat st {};
                const bool listed = ::lstat((m_folder + newName).c_str(), &st) == 0;
                if (listed && S_ISLNK(st.st_mode)) {
                    tagged = IoResult::failure(TrLine(QT_TRANSLATE_NOOP("Rename", "not written: the file is a link")));
                } else {
                    if (listed && st.st_nlink > 1)
                        log(TrLine(QT_TRANSLATE_NOOP("Rename", "\"%1\" has %2 names (hard links): the tags change under all of them"),
                                   {newName, std::to_string(uint64_t(st.st_nlink))}));
                    try {
                        tagged = m_tagWriter(m_folder + newName, values);
                    } catch (const std::exception& e) {
                        tagged = IoResult::failure(e.what());
                    } catch (...) {
                        tagged = IoResult::failure(TrLine(QT_TRANSLATE_NOOP("Rename", "unknown error")));
                    }
                }
                report.Tags = tagged ? TRenameRowReport::TTags::Written : TRenameRowReport::TTags::Failed;
                report.TagError = tagged.error;
                if (!tagged) log(TagErrorLine(newName, tagged.error));
            }
        }
        // The playlist lists each file by the name it bears after the run; a file that is gone is left out.
        const std::string& listed = moved ? newName : row.FileName;
        if (m_options.CreatePlaylist && entryExists(m_folder + listed)) playlist += listed + "\r\n";
        if (m_onProgress) m_onProgress(int(i + 1));
    }
    if (!m_report.Stopped.empty()) {
        // The rows the run did not reach keep their names.
        for (size_t j = m_report.Rows.size(); j < m_rows.size(); ++j) {
            TRenameRowReport& report = m_report.Rows.emplace_back();
            report.OldName = m_rows[j].FileName;
            report.NewName = names[j].Name;
            report.MoveError = m_report.Stopped;
        }
        m_folderToSelect = m_folder;
        return;
    }
    if (kept > 0) log(UntitledKeptLine(kept));

    const std::string albumFolder = m_options.RenameFolder ? renameFolder(journal) : m_folder;
    m_folderToSelect = albumFolder;

    if (m_options.CreatePlaylist) writePlaylist(journal, albumFolder, playlist);
    if (!m_cover.isEmpty()) saveCover(journal, albumFolder);
    // Should the end not reach the disk, the run looks unfinished: a new one is refused until undo,
    // which is the safe side.
    if (IoResult ended = journal.finish(); !ended) log(JournalStoppedLine(ended.error));
}

// The folder step: returns the album folder afterwards (the old one unless the rename succeeded).
std::string TRenameRun::renameFolder(TRenameJournal& journal)
{
    std::string name = folderName();
    std::string newPath = parentOf(m_folder) + name + "/";
    // Also catches an empty name (the parent) and the folder's own name.
    m_report.Folder = TRenameReport::TStep::Failed;
    if (directoryExists(newPath)) {
        m_report.FolderError = TrLine(QT_TRANSLATE_NOOP("Rename", "already exists"));
        log(FolderExistsLine(newPath));
        return m_folder;
    }
    IoResult moved = IsUsableName(name) ? IoResult::success() : IoResult::fromErrno(EINVAL);
    // Recorded (and given its second name) before it happens, so that undo finds the run by either name.
    if (moved) moved = journal.recordFolderIntent(newPath);
    if (moved) moved = moveNoReplace(withoutSlash(m_folder), withoutSlash(newPath));
    if (!moved) {
        m_report.FolderError = moved.error;
        log(FolderRenameFailedLine(moved.error));
        return m_folder;
    }
    m_report.Folder = TRenameReport::TStep::Done;
    journal.recordFolderMoved();
    log(TrLine(FolderRenamedLine));
    return newPath;
}

// The cover step: folder.jpg in the album folder afterwards, recorded with its digest (and the name
// the old one moves to) before it is written, so that undo removes only this image.
// A file that has the playlist's name (a ripper's own playlist, say) is never lost: it moves aside to
// PreviousPlaylistName, where undo finds it again, and stays where it is when that name is taken too.
void TRenameRun::writePlaylist(TRenameJournal& journal, const std::string& albumFolder, const std::string& playlist)
{
    const std::string name = playlistFileName();
    const std::string path = albumFolder + name;
    // Only a file moves aside; anything else of that name makes the write fail, as it did.
    struct stat st {};
    const bool fileThere = ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    const std::string previous = fileThere ? PreviousPlaylistName(name) : std::string();
    if (!previous.empty() && entryExists(albumFolder + previous)) {
        m_report.Playlist = TRenameReport::TStep::Kept;
        log(TrLine(QT_TRANSLATE_NOOP("Rename", "Kept the existing \"%1\""), {name}));
        return;
    }
    IoResult written = journal.recordPlaylist(name, sha256Hex(playlist), previous);
    if (written && !previous.empty()) written = moveNoReplace(path, albumFolder + previous);
    if (written) {
        written = writeWholeFile(path, playlist.data(), playlist.size());
        // The old file gets its name back; should that fail, undo still finds it by the record.
        if (!written && !previous.empty() && !entryExists(path)) (void)moveNoReplace(albumFolder + previous, path);
    }
    m_report.Playlist = written ? TRenameReport::TStep::Done : TRenameReport::TStep::Failed;
    m_report.PlaylistError = written.error;
    if (!written) {
        log(PlaylistErrorLine(written.error));
        return;
    }
    log(TrLine(PlaylistCreatedLine));
    if (!previous.empty())
        log(TrLine(QT_TRANSLATE_NOOP("Rename", "The playlist that was there is now \"%1\""), {previous}));
}

void TRenameRun::saveCover(TRenameJournal& journal, const std::string& albumFolder)
{
    const bool there = entryExists(albumFolder + CoverFileName);
    if (there && (!m_options.ReplaceCover || entryExists(albumFolder + PreviousCoverFileName))) {
        m_report.Cover = TRenameReport::TStep::Kept;
        log(TrLine(QT_TRANSLATE_NOOP("Rename", "Kept the existing \"%1\""), {CoverFileName}));
        return;
    }
    const std::string digest = sha256Hex(m_cover.toStdString());
    IoResult recorded = journal.recordCover(CoverFileName, digest, there ? PreviousCoverFileName : "");
    TCoverSaveResult saved;
    if (recorded) saved = SaveCoverFile(albumFolder, m_cover, m_options.ReplaceCover);
    else saved.Reason = QString::fromStdString(recorded.error);
    switch (saved.kind) {
    case TCoverSaveResult::Kind::Saved:
        m_report.Cover = TRenameReport::TStep::Done;
        log(saved.MovedPrevious
                ? TrLine(QT_TRANSLATE_NOOP("Rename", "Saved the front cover as \"%1\"; the old one is now \"%2\""),
                         {CoverFileName, PreviousCoverFileName})
                : TrLine(QT_TRANSLATE_NOOP("Rename", "Saved the front cover as \"%1\""), {CoverFileName}));
        break;
    case TCoverSaveResult::Kind::Kept:
        m_report.Cover = TRenameReport::TStep::Kept;
        log(TrLine(QT_TRANSLATE_NOOP("Rename", "Kept the existing \"%1\""), {CoverFileName}));
        break;
    case TCoverSaveResult::Kind::Failed:
        m_report.Cover = TRenameReport::TStep::Failed;
        m_report.CoverError = saved.Reason.toStdString();
        log(TrLine(QT_TRANSLATE_NOOP("Rename", "Cover error: \"%1\""), {m_report.CoverError}));
        break;
    }
}

} // namespace cantorix
