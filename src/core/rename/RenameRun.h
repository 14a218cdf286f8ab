// The rename run without its window: every listed file of an album folder is moved to the name its
// format builds, the renamed files optionally get tags, the folder optionally gets a new name and a
// playlist of the new names is optionally written. The main window runs it on a worker thread and
// follows it with a timer through three shared values (current row, done flag, folder to select)
// and a queue of log lines; the command line runs it directly.
#pragma once

#include "audio/FileIO.h"
#include "audio/TagValues.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameJournal.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cantorix {

// One grid row as the run sees it: the old bare name and the lookup's track number and title.
struct TRenameRow {
    std::string FileName;
    std::string TrackNo;
    std::string Track;
};

// The album fields, as the user left them after the lookup. Genre is the text of the selected genre
// item, empty when none is selected.
struct TAlbumData {
    std::string Artist, Album, Year, Genre;
};

struct TRenameOptions {
    std::string NameFormat = DefaultNameFormat;
    bool FixUnderScores = true;
    bool RenameFolder = false; // the check box "Rename folder, format:"
    int FolderFormat = 0;      // index into FolderFormatItems
    bool CreatePlaylist = false;
    bool WriteTags = false;
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
    std::string MoveError;  // the reason when it was not moved
    enum class TTags { NotAsked, Written, Failed } Tags = TTags::NotAsked;
    std::string TagError;
};

// What the whole run did: one entry per row in order, the folder step, the playlist.
struct TRenameReport {
    std::vector<TRenameRowReport> Rows;
    enum class TStep { NotAsked, Done, Failed } Folder = TStep::NotAsked, Playlist = TStep::NotAsked;
    std::string FolderError;   // "already exists" or the move's reason
    std::string PlaylistError;
    std::string NativeError;   // an unexpected exception ended the run early

    int movedCount() const;
    int failedCount() const;   // rows whose move or tag write failed
    // True when any row, the folder step, the playlist or the run itself failed.
    bool anyFailure() const;
};

// The bare names of every entry in `folder` (files, folders, links), for the preview's collisions.
// At most `limit` names are read.
std::vector<std::string> FolderEntryNames(const std::string& folder, size_t limit = 100000);

// "Renamed 7 of 9 files; 2 could not be renamed", the tag failures and, when they failed, the folder step and the playlist.
std::string RenameSummaryText(const TRenameReport& report);

// The one-line text of a preview row's collision: "would collide with "<name>"".
std::string CollisionText(const std::string& other);

class TRenameRun {
public:
    // Tag writing for one renamed file; WriteAudioTags unless a test puts another in.
    using TagWriterFn = std::function<IoResult(const std::string& fileName, const TTagValues& values)>;

    // `folder` is the album folder (a trailing "/" is added when missing). `rows` are the grid's file
    // rows in order; the run stops at the first row with an empty FileName. Everything is copied:
    // the run never looks at the window while it works.
    TRenameRun(std::string folder, std::vector<TRenameRow> rows, TAlbumData album, TRenameOptions options);
    // Waits for a worker that start() began.
    ~TRenameRun();
    TRenameRun(const TRenameRun&) = delete;
    TRenameRun& operator=(const TRenameRun&) = delete;

    // Set before run()/start(); a null function writes no tags.
    void setTagWriter(TagWriterFn writer) { m_tagWriter = std::move(writer); }
    // Where the run keeps its journal for undo (TRenameJournal); empty (the default) keeps none.
    void setJournalDirectory(std::string directory) { m_journalDirectory = std::move(directory); }
    // The longest bare name the folder takes; 0 (the default) asks the file system.
    void setNameLimit(size_t bytes) { m_nameLimit = bytes; }

    // The number of file rows (the progress bar's maximum).
    int fileCount() const { return int(m_rows.size()); }
    const std::string& folder() const { return m_folder; }

    // What run() would do, without touching anything: every row's old and new name, the folder's new
    // path (with "/"; empty when the folder is not to be renamed) and the playlist's file name
    // (empty when none is to be written).
    std::vector<TRenamePlanItem> plan() const;
    std::string plannedFolderPath() const;
    std::string playlistFileName() const;

    // The plan with what would go wrong: `folderEntries` are the bare names in the folder now (files
    // and folders alike). A row collides when its new name is another row's new name, or the name of
    // an entry that no row renames away; a row whose name would not change is Unchanged.
    struct TPreviewRow {
        std::string OldName, NewName;
        bool Unchanged = false;
        bool Shortened = false;
        std::string CollidesWith; // the other row's old name or the existing entry; empty when none
    };
    std::vector<TPreviewRow> preview(const std::vector<std::string>& folderEntries) const;

    // The whole run on the calling thread. Sets the done flag last, in every case.
    void run();
    // run() on a thread of its own; call once. The object must outlive it: wait() or the destructor
    // joins it.
    void start();
    void wait();

    // Shared with the watching thread; safe to call from any thread at any time.
    // The grid row being handled, from 1 (the number of rows plus 1 once every row is done).
    int currentRow() const { return m_currentRow.load(std::memory_order_relaxed); }
    // Set last: once true, every log line is in the queue and folderToSelect() is final.
    bool isDone() const { return m_done.load(std::memory_order_acquire); }
    // Takes the log lines produced so far, in order. A watcher that reads isDone() before taking the
    // lines knows, when it was true, that it has got the last of them.
    std::vector<std::string> takeLogLines();
    // The album folder after the run, with a trailing "/" (the renamed one when the folder step
    // succeeded); empty until isDone().
    std::string folderToSelect() const;
    // What the run did; complete once isDone() (read it only then, or after run() returned).
    const TRenameReport& report() const { return m_report; }

private:
    void work();
    std::string newNameFor(const TRenameRow& row, const std::string& preparedTemplate, bool* shortened = nullptr) const;
    size_t nameLimit() const;
    std::string renameFolder(TRenameJournal& journal);
    void log(std::string line);

    std::string m_folder;
    std::vector<TRenameRow> m_rows;
    TAlbumData m_album;
    TRenameOptions m_options;
    TagWriterFn m_tagWriter;
    std::string m_journalDirectory;
    size_t m_nameLimit = 0;

    std::atomic<int> m_currentRow{1};
    std::atomic<bool> m_done{false};
    std::string m_folderToSelect; // written before m_done is set (release), read after (acquire)
    TRenameReport m_report;       // likewise
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
    std::thread m_thread;
};

} // namespace cantorix
