// A whole collection at once: every album folder under some folders is listed, looked up and renamed
// by the album workflow, one workflow per album (per disc of a set), without a person to ask. A
// candidate is taken only when it is clearly the album (ChooseWithoutAsking); anything else is
// reported and left alone. Each album keeps its own undo journal.
//
// The work of different albums overlaps: up to `Jobs` albums are scanned or renamed at once on
// workers, while the lookups go one at a time on the event loop, in album order, so that no service
// is asked faster than one lookup allows (MusicBrainz's one request per second holds across the
// batch through its process-wide pace).
#pragma once

#include "core/album/AlbumFolders.h"
#include "core/album/AlbumWorkflow.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <memory>
#include <vector>

namespace cantorix {

// What became of an album.
enum class TBatchOutcome { Renamed, Skipped, NoMatch, Ambiguous, Refused, Failed, Cancelled };
// "renamed", "skipped", "no match", "ambiguous", "refused", "failed", "cancelled".
const char* BatchOutcomeWord(TBatchOutcome outcome);

struct TBatchResult {
    int Index = -1;
    QString Folder;      // as found, with "/"
    QString FolderAfter; // the folder's new path (with "/") when the run renamed it; empty otherwise
    TBatchOutcome Outcome = TBatchOutcome::Failed;
    bool DryRun = false; // Renamed: would be renamed
    QString Artist, Album;
    int Candidates = 0;  // the candidates the lookup offered (0 when it read one without asking)
    int Renamed = 0;     // files renamed (in a dry run: files whose name would change)
    QString Reason;      // one line: why it was not renamed, or what failed
    QStringList Lines;   // the album's log lines, in order
    QStringList Plan;    // dry run: "old" -> "new" lines, the folder's and the playlist's
};

struct TBatchOptions {
    TQueryMode Mode = TQueryMode::Checksum;
    int Match = -1;       // --match N: candidate N whenever there are several; -1: only a clear one
    bool DryRun = false;  // plan everything, move nothing
    int Jobs = 1;         // albums scanned or renamed at once, 1 to MaxJobs
    TRenameOptions Rename;
};

// The rule by which a batch takes a candidate without asking. With `match` >= 0 that candidate (-1
// when there are not that many). Otherwise, by the playing times: one candidate carrying the files'
// exact disc ID; or, where the database gives a per-track difference (MusicBrainz), the closest when
// it is under ClearlyCloseMs per track and every other is over ClearlyFarMs (or there is no other).
// freedb gives no difference: only an exact single match is taken. By name (`byName`): a single
// candidate. -1: ambiguous.
inline constexpr qint64 ClearlyCloseMs = 1000;
inline constexpr qint64 ClearlyFarMs = 5000;
int ChooseWithoutAsking(const QList<TCandidateFit>& fits, int candidates, int match, bool byName);

// What an undo of many albums did.
struct TBatchUndoReport {
    int Albums = 0;      // albums (folders) whose last run was undone
    int MovedBack = 0;
    int LeftAlone = 0;
    int Refused = 0;     // undos that did not begin
    QStringList Lines;   // "<folder>:" and then that undo's lines, per album
};

// Undo of the last run of every folder under `root` (root included), a folder's subfolders before the
// folder itself, so that a set's discs are undone before the set's folder gets its old name back. At
// most `maxFolders` folders are looked at.
TBatchUndoReport UndoUnder(const QString& root, bool dryRun, int maxFolders = 100000);

class TAlbumBatch : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxJobs = 4;

    // `settings` is read by each album's workflow; it must outlive the batch.
    explicit TAlbumBatch(TSettings& settings, QObject* parent = nullptr);
    // Waits for the scans and runs in progress: files are never left half-moved.
    ~TAlbumBatch() override;

    void setOverrides(const TLookupOverrides& overrides) { m_overrides = overrides; }
    void setHttpFactory(TAlbumWorkflow::HttpFactory factory) { m_httpFactory = std::move(factory); }

    // Starts the batch over `albums`; albumFinished follows for each, in album order, then finished.
    // False when one is running.
    bool start(const QList<TBatchAlbum>& albums, const TBatchOptions& options);
    // No further album is begun and the running lookup ends; renames in progress finish. The albums
    // that were cut off end as Cancelled; finished follows.
    void cancel();
    bool running() const { return m_running; }
    int albumCount() const { return int(m_albums.size()); }
    // The results so far, in album order.
    const QList<TBatchResult>& results() const { return m_reported; }

    // Undo of every album this batch renamed, the last first (the discs of a set before its folder).
    TBatchUndoReport undo();

signals:
    // Album `index` is being looked up now (what a progress line shows).
    void albumStarted(int index, const QString& folder);
    void albumFinished(const cantorix::TBatchResult& result);
    void finished();

private:
    struct TAlbum;
    void pump();
    void beginScan(int i);
    void scanned(int i, const QList<TScanResult>& scans);
    void beginLookup(int i);
    void lookupDisc(int i);
    void lookupNotStarted(int i);
    void discLookedUp(int i, const TLookupOutcome& outcome);
    void decided(int i);
    void beginRename(int i);
    void renameStep(int i);
    void stepRenamed(int i, const TRenameReport& report, const QString& folder);
    void end(int i, TBatchOutcome outcome, const QString& reason = {});
    void planDryRun(int i);
    TAlbumWorkflow* newWorkflow(int i);
    int busy() const;

    TSettings& m_settings;
    TLookupOverrides m_overrides;
    TAlbumWorkflow::HttpFactory m_httpFactory;
    TBatchOptions m_options;
    QStringList m_extensions;
    std::vector<std::unique_ptr<TAlbum>> m_albums;
    QList<TBatchResult> m_reported;
    QThreadPool m_pool;
    int m_nextScan = 0;
    int m_lookingUp = -1; // the album whose lookup runs
    bool m_running = false;
    bool m_cancelled = false;
    bool m_pumping = false;
};

} // namespace cantorix
