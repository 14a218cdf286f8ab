// The rename run without its window: every listed file of an album folder is moved to the name its
// format builds, the renamed files optionally get tags, the folder optionally gets a new name and a
// playlist of the new names is optionally written. The main window runs it on a worker thread and
// follows it with a timer through three shared values (current row, done flag, folder to select)
// and a queue of log lines; the command line runs it directly.
#pragma once

#include "audio/FileIO.h"
#include "audio/TagValues.h"
#include "core/rename/NameFormat.h"

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
    std::string Duration;
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

    // The number of file rows (the progress bar's maximum).
    int fileCount() const { return int(m_rows.size()); }
    const std::string& folder() const { return m_folder; }

    // What run() would do, without touching anything: every row's old and new name, the folder's new
    // path (with "/"; empty when the folder is not to be renamed) and the playlist's file name
    // (empty when none is to be written).
    std::vector<TRenamePlanItem> plan() const;
    std::string plannedFolderPath() const;
    std::string playlistFileName() const;

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

private:
    void work();
    std::string newNameFor(const TRenameRow& row, const std::string& preparedTemplate) const;
    std::string renameFolder();
    void log(std::string line);

    std::string m_folder;
    std::vector<TRenameRow> m_rows;
    TAlbumData m_album;
    TRenameOptions m_options;
    TagWriterFn m_tagWriter;

    std::atomic<int> m_currentRow{1};
    std::atomic<bool> m_done{false};
    std::string m_folderToSelect; // written before m_done is set (release), read after (acquire)
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
    std::thread m_thread;
};

} // namespace cantorix
