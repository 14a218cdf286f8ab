// The rename run without its window: every listed file of an album folder is moved to the name its
// format builds, the renamed files optionally get tags, the folder optionally gets a new name and a
// playlist of the new names is optionally written. The window runs it on a worker (TRenameJob), which
// passes its progress and lines on as signals; the command line runs it directly.
#pragma once

#include "audio/IoResult.h"
#include "audio/SafeWrite.h"
#include "audio/TagValues.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameJournal.h"

#include <QByteArray>

#include <functional>
#include <string>
#include <vector>

namespace cantorix {

// One grid row as the run sees it: the old bare name and the lookup's track number and title. On an
// album of various artists TrackArtist is the track's artist and Track the title alone; empty
// otherwise (the album's artist stands for it).
struct TRenameRow {
    std::string FileName;
    std::string TrackNo;
    std::string Track;
    std::string TrackArtist{};   // the track's own artist on an album of various artists; empty for none
    std::string MbRecordingId{}; // the title's MusicBrainz recording, for the tags; empty for none
    std::string AcoustId{};      // the AcoustID the file's fingerprint matched, for the tags; empty for none
};

// The album fields, as the user left them after the lookup. Genre is free text, empty when there is
// none. Artist is the album's artist. Disc is the number of the disc this folder holds when the album
// has several, empty otherwise.
struct TAlbumData {
    std::string Artist, Album, Year, Genre;
    std::string Disc{};
    // A MusicBrainz album's identifiers, written into the tags beside the fields; empty for none.
    std::string MbReleaseId{};
    std::vector<std::string> MbArtistIds{};
    std::string MbReleaseGroupId{};
};

struct TRenameOptions {
    std::string NameFormat = DefaultNameFormat;
    bool FixUnderScores = true;
    bool RenameFolder = false; // the check box "Rename folder, format:"
    int FolderFormat = 0;      // index into FolderFormatItems
    bool CreatePlaylist = false;
    bool WriteTags = false;
    bool PortableNames = false; // names a FAT, exFAT or NTFS device takes (PortableName)
    bool SaveCover = false;     // the album's front cover as folder.jpg, when the lookup has one
    bool ReplaceCover = false;  // the user agreed to replace a folder.jpg that is there
};

// A file's old and new bare name, as the run will build it.
struct TRenamePlanItem {
    std::string OldName;
    std::string NewName;
};

// What the run did to one row.
struct TRenameRowReport {
    std::string OldName;
    std::string NewName;
    bool Moved = false;     // the file bears NewName after the run (moved, or it already had it)
    bool KeptName = false;  // the row has no title (beyond the entry's titles): name and tags stay
    std::string MoveError;  // the reason when it was not moved
    enum class TTags { NotAsked, Written, Failed } Tags = TTags::NotAsked;
    std::string TagError;
};

// What the whole run did: one entry per row in order, the folder step, the playlist, the cover.
struct TRenameReport {
    std::vector<TRenameRowReport> Rows;
    // Kept: a file of that name that was there stays (the cover; the playlist when its old one had
    // nowhere to go).
    enum class TStep { NotAsked, Done, Failed, Kept };
    TStep Folder = TStep::NotAsked, Playlist = TStep::NotAsked, Cover = TStep::NotAsked;
    std::string FolderError;   // "already exists" or the move's reason
    std::string PlaylistError;
    std::string CoverError;
    std::string NativeError;   // an unexpected exception ended the run early
    std::string Refused;       // the run did not begin (its journal could not be written): nothing moved
    std::string Stopped;       // the journal failed during the run, which stopped there

    int movedCount() const;
    int keptCount() const;     // rows without a title
    int failedCount() const;   // rows whose move or tag write failed
    // True when any row, the folder step, the playlist or the run itself failed.
    bool anyFailure() const;
};

// The bare names of every entry in `folder` (files, folders, links), for the preview's collisions.
// At most `limit` names are read.
std::vector<std::string> FolderEntryNames(const std::string& folder, size_t limit = 100000);

// "Renamed 7 of 9 files; 2 could not be renamed", the tag failures and, when they failed, the folder
// step and the playlist; the reason alone when the run did not begin.
std::string RenameSummaryText(const TRenameReport& report);

// The one-line text of a preview row's collision: "would collide with "<name>"".
std::string CollisionText(const std::string& other);

class TRenameRun {
public:
    // Tag writing for one renamed file; WriteAudioTags unless a test puts another in.
    using TagWriterFn = std::function<IoResult(const std::string& fileName, const TTagValues& values)>;
    // Called by run() on its own thread: each log line as it is made, and the number of rows done
    // after each row.
    using LineFn = std::function<void(const std::string& line)>;
    using ProgressFn = std::function<void(int rowsDone)>;

    // `folder` is the album folder (a trailing "/" is added when missing). `rows` are the grid's file
    // rows in order; the run stops at the first row with an empty FileName. Everything is copied:
    // the run never looks at the window while it works.
    TRenameRun(std::string folder, std::vector<TRenameRow> rows, TAlbumData album, TRenameOptions options);
    TRenameRun(const TRenameRun&) = delete;
    TRenameRun& operator=(const TRenameRun&) = delete;

    // Set before run(); a null function writes no tags.
    void setTagWriter(TagWriterFn writer) { m_tagWriter = std::move(writer); }
    // The album's front cover (a JPEG), saved as folder.jpg in the album folder after the folder step;
    // none by default. An existing folder.jpg stays unless the options say ReplaceCover.
    void setCover(QByteArray jpeg) { m_cover = std::move(jpeg); }
    // Where the run keeps its journal for undo (TRenameJournal); empty (the default) keeps none.
    void setJournalDirectory(std::string directory) { m_journalDirectory = std::move(directory); }
    // The file system the journal is written through; the machine's unless a test puts in a faulty one.
    void setFileSystem(TFileSystem& files) { m_files = &files; }
    // The longest bare name the folder takes; 0 (the default) asks the file system.
    void setNameLimit(size_t bytes) { m_nameLimit = bytes; }
    // Set before run(); either may be null.
    void setObserver(LineFn onLine, ProgressFn onProgress)
    {
        m_onLine = std::move(onLine);
        m_onProgress = std::move(onProgress);
    }

    // The number of file rows (the progress bar's maximum).
    int fileCount() const { return int(m_rows.size()); }
    const std::string& folder() const { return m_folder; }

    // What run() would do, without touching anything: every row's old and new name, the folder's new
    // path (with "/"; empty when the folder is not to be renamed) and the playlist's file name
    // (empty when none is to be written).
    std::vector<TRenamePlanItem> plan() const;
    std::string plannedFolderPath() const;
    std::string playlistFileName() const;
    // The folder's new bare name by the folder format (fitted, and portable when asked for).
    std::string folderName() const;

    // The plan with what would go wrong: `folderEntries` are the bare names in the folder now (files
    // and folders alike). A row collides when its new name is another row's new name, or the name of
    // an entry that no row renames away; a row whose name would not change is Unchanged.
    struct TPreviewRow {
        std::string OldName, NewName;
        bool Unchanged = false;
        bool Shortened = false;
        bool NoTitle = false; // no track number and no title: the file keeps its name (Unchanged too)
        bool NoName = false;  // the format gives no usable name (nothing before the extension): kept too
        std::string CollidesWith; // the other row's old name or the existing entry; empty when none
    };
    std::vector<TPreviewRow> preview(const std::vector<std::string>& folderEntries) const;

    // The whole run on the calling thread, once.
    void run();

    // After run(): whether it has run, its log lines in order, the album folder afterwards with a
    // trailing "/" (the renamed one when the folder step succeeded; empty before run()), and what it did.
    bool isDone() const { return m_done; }
    const std::vector<std::string>& logLines() const { return m_log; }
    std::string folderToSelect() const { return m_done ? m_folderToSelect : std::string(); }
    const TRenameReport& report() const { return m_report; }

private:
    // Each row's new name: the built one, or the old one for a row without a title (NoTitle) or
    // without a usable name (NoName).
    struct TPlannedName {
        std::string Name;
        bool Shortened = false, NoTitle = false, NoName = false;
    };
    std::vector<TPlannedName> planNames() const;
    void work();
    size_t nameLimit() const;
    std::string renameFolder(TRenameJournal& journal);
    void writePlaylist(TRenameJournal& journal, const std::string& albumFolder, const std::string& playlist);
    void saveCover(TRenameJournal& journal, const std::string& albumFolder);
    void log(std::string line);

    std::string m_folder;
    std::vector<TRenameRow> m_rows;
    TAlbumData m_album;
    TRenameOptions m_options;
    TagWriterFn m_tagWriter;
    QByteArray m_cover;
    std::string m_journalDirectory;
    TFileSystem* m_files = &systemFiles();
    size_t m_nameLimit = 0;

    LineFn m_onLine;
    ProgressFn m_onProgress;

    bool m_done = false;
    std::string m_folderToSelect;
    TRenameReport m_report;
    std::vector<std::string> m_log;
};

} // namespace cantorix
