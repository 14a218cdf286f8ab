// The album workflow: everything that happens to an album between listing its folder and undoing a
// rename run, without a window. The main window and cantorix-cli both drive this one object and only
// present what it says, so the two can never treat an album differently.
//
//   listFolder -> startLookup -> [candidatesFound -> chooseCandidate]
//              -> [pairingNeeded -> acceptPairing | cancelPairing] -> lookupFinished
//              -> plan / startRename | renameNow -> undo
#pragma once

#include "core/FolderScan.h"
#include "core/album/AlbumSession.h"
#include "core/album/LookupSources.h"
#include "core/album/SettingsValues.h"
#include "core/lookup/LookupSource.h"
#include "core/rename/JournalUndo.h"
#include "core/rename/RenameRun.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace cantorix {

class TCoverArtFetch;
class THttpClient;
class TRenameJob;
class TSettings;

// Values a caller puts in place of the settings' for its lookups (the command line's options).
struct TLookupOverrides {
    QString Database;              // the source's word (TLookupSourceRow::Word); empty: the settings'
    QHash<QString, QString> Given; // option values by TSourceOption::CliName; absent or empty: the settings'
};

// The rename run as planned now: what the "New name" column and a dry run show.
struct TRenamePlanView {
    std::vector<TRenameRun::TPreviewRow> Rows;
    std::string FolderPath; // the folder's new path with "/"; empty when it is not renamed
    std::string Playlist;   // the playlist's file name; empty when none is written
    std::string Cover;      // "folder.jpg" when the front cover is to be saved; empty otherwise
    bool CoverThere = false; // a folder.jpg is in the folder already (kept unless ReplaceCover)
};

// The plan as lines, as a dry run prints them: "old" -> "new" per row with its marks, then the
// folder's new path, the playlist and the cover when the options ask for them. `folder` is the album
// folder as listed; `prefix` goes before every file name (a disc's folder in a set).
QStringList RenamePlanLines(const TRenamePlanView& plan, const TRenameOptions& options, const QString& folder,
                            const QString& prefix = {});

class TAlbumWorkflow : public QObject {
    Q_OBJECT
public:
    // Makes the HTTP client of each lookup; tests put fake clients here. None: the network module's.
    using HttpFactory = std::function<std::unique_ptr<THttpClient>()>;

    // `settings` is read at each step, never kept in copies; it must outlive the workflow.
    explicit TAlbumWorkflow(TSettings& settings, QObject* parent = nullptr);
    ~TAlbumWorkflow() override; // a rename run in progress is waited for

    TAlbumSession& album() { return *m_album; }
    const TAlbumSession& album() const { return *m_album; }
    TSettings& settings() { return m_settings; }

    void setOverrides(const TLookupOverrides& overrides) { m_overrides = overrides; }
    void setHttpFactory(HttpFactory factory) { m_httpFactory = std::move(factory); }
    // The extensions a scan lists; read from the settings when the workflow is made.
    const QStringList& supportedExtensions() const { return m_extensions; }
    void reloadSupportedExtensions();

    // ---- Listing
    // Lists the folder at `path` into the album; an empty path or one that is no folder empties the
    // album. A lookup still running is abandoned first (a line says so): its titles belong to the
    // files it started from. The scan's lines go to logLine.
    TScanResult listFolder(const QString& path);
    // The same for a scan made elsewhere (on a worker): the album takes it as listFolder would.
    void listScan(const TScanResult& scan);

    // A listed file was renamed by hand (the information window): its row takes the new bare name and
    // keeps its playing time, track number and title, so the lookup stays. False when no listed file
    // bears `oldName`; the folder is then to be listed anew.
    bool fileRenamed(const QByteArray& oldName, const QByteArray& newName);

    // ---- Lookups
    // The database the next lookup asks: the override's, else the settings'.
    const TLookupSourceRow& database() const;
    // Starts a lookup of the listed album in database(); `artist` and `album` are the words of a
    // search by name.
    // False when none was started (no files listed, nothing to search for; a line says why).
    bool startLookup(TQueryMode mode, const QString& artist = {}, const QString& album = {});
    // A lookup by playing times of a set of discs, the listed folder being the first: `discs` holds
    // each disc's lengths in order. Only a database that looks sets up whole takes it (false, with a
    // line, otherwise). The album takes the first disc's titles; lastRecord() holds them all.
    bool startDiscSetLookup(const QList<QList<TTrackLength>>& discs);
    // A single candidate that is not an exact match is offered through candidatesFound too, for a
    // caller that chooses by candidateFits() (the batch). Off by default.
    void setConfirmInexact(bool confirm) { m_confirmInexact = confirm; }
    // While candidatesFound is being answered: how each line fits (empty when the database cannot tell).
    QList<TCandidateFit> candidateFits() const;
    // The answer to candidatesFound: the chosen line, or -1 for none.
    void chooseCandidate(int index);
    // Ends the running lookup now; lookupFinished follows with Cancelled.
    void cancelLookup();
    // Drops the running lookup without a word (the window closes): nothing more comes of it.
    void abandonLookup();
    // From startLookup until lookupFinished, the pairing included.
    bool lookupRunning() const { return m_lookupRunning; }
    // The answer to pairingNeeded: the rows as the user left them, or none.
    void acceptPairing(const QList<TAlignedRow>& rows);
    void cancelPairing();
    // An xmcd entry file read as a lookup by playing times reads its entry. False with the reason.
    bool applyEntryFile(const QString& path, QString* error);
    // A record read before (a disc of a set) applied as a lookup by playing times applies it.
    void applyRecord(const AlbumRecord& record);
    // The album record the last lookup read or that was applied since the folder was listed (empty
    // before); a set's holds every disc's titles.
    const AlbumRecord& lastRecord() const { return m_record; }

    // ---- The front cover (MusicBrainz albums)
    // Whether a run with `options` saves the front cover: SaveCover asked for and the album came
    // from a MusicBrainz release.
    bool coverWanted(const TRenameOptions& options) const;
    // A folder.jpg is in the listed folder and a run with `options` would save one: it stays unless
    // the user agrees to ReplaceCover.
    bool coverInTheWay(const TRenameOptions& options) const;
    // Fetches the release's front cover for the runs that follow; coverFetched follows (from the
    // event loop). False when there is nothing to fetch (no release, the address unusable; a line
    // says why).
    bool startCoverFetch();
    // The cover fetched for the album's release; empty when there is none.
    const QByteArray& coverImage() const { return m_cover; }

    // ---- Renaming
    // The run's options from the settings; callers change what their own controls or options say.
    TRenameOptions renameOptions() const;
    // Whether the listed folder holds the record of a rename run that did not finish.
    bool unfinishedRun() const;
    TRenamePlanView plan(const TRenameOptions& options) const;
    // Starts the run on a worker: logLine, renameProgress and renameFinished follow. False when it may
    // not run now (nothing looked up, a run going, an unfinished run: then unfinishedRunFound). When
    // the run saves the cover and it has not been fetched yet, the fetch comes first.
    bool startRename(const TRenameOptions& options);
    bool renaming() const;
    // The run of a folder that holds none of the listed files (a set's own folder while its discs are
    // listed): only the folder's new name from `album` and the cover fetched for the record applied.
    // logLine and renameFinished follow as for startRename; the album is left as it is. False while a
    // run goes.
    bool startFolderRename(const QString& folder, const TAlbumData& album, const TRenameOptions& options);
    // The run on this thread; each line goes to logLine as it is made. It saves a cover only when one
    // was fetched (startCoverFetch).
    TRenameReport renameNow(const TRenameOptions& options);
    // Undo of the last run on the listed folder (or on `folder` when given); with `all`, of every run
    // recorded for it, latest first. `found` tells whether there was a run.
    TUndoReport undo(bool dryRun, bool* found, const QString& folder = {}, bool all = false);
    // The runs recorded for the listed folder, latest first (what undo and undo of all would undo).
    std::vector<TRenameJournalData> runHistory() const;

signals:
    void logLine(const QString& line);
    void lookupRunningChanged(bool running);
    void lookupStep(cantorix::TLookupStep step);
    void lookupProgress(qint64 received, qint64 total);
    // Files fingerprinted so far of all (a fingerprint lookup).
    void lookupFilesDone(int done, int total);
    // Several candidates: answer with chooseCandidate (from inside the signal or later).
    void candidatesFound(const QStringList& lines, int preselected);
    // A search by name read its album: the user lines the titles up with the files, starting from
    // `proposed`. Answer with acceptPairing or cancelPairing (from inside the signal or later).
    void pairingNeeded(const QList<cantorix::TrackTitle>& titles, const QStringList& files,
                       const QList<cantorix::TAlignedRow>& proposed);
    // How a lookup ended; the album holds its result when it was read. lookupRunningChanged(false)
    // follows.
    void lookupFinished(const cantorix::TLookupOutcome& outcome);
    // The listed folder's last run did not finish: it must be undone before renaming again.
    void unfinishedRunFound();
    void renameProgress(int rowsDone, int rows);
    // The cover fetch has ended; coverImage() holds the image when there was one.
    void coverFetched();
    // The run has ended: what it did, and the album folder afterwards (renamed or not), with "/".
    void renameFinished(const cantorix::TRenameReport& report, const QString& folder);

private:
    std::unique_ptr<TLookupSource> makeSource(TQueryMode mode) const;
    void sourceFinished(const TLookupOutcome& outcome);
    void endLookup(const TLookupOutcome& outcome);
    // A search's album whose titles were not applied: the lookup ends as Cancelled with `why`.
    void endPairingUnapplied(const QString& why);
    void setLookupRunning(bool running);
    std::unique_ptr<TRenameRun> newRun(const TRenameOptions& options) const;
    std::unique_ptr<TRenameRun> newRun(const TRenameOptions& options, const std::string& folder,
                                       std::vector<TRenameRow> rows, const TAlbumData& data) const;
    std::string folderBytes() const;
    bool startLookupWith(TQueryMode mode, const QString& artist, const QString& album,
                         const QList<QList<TTrackLength>>& discs);
    void startJob(const TRenameOptions& options);
    // `albumRun`: the listed album's own run, after which it is renamed (runEnded).
    void startJob(std::unique_ptr<TRenameRun> run, bool albumRun);
    // After a run on either path: what the album and the log say.
    void runEnded(const TRenameReport& report);

    TSettings& m_settings;
    TAlbumSession* m_album;
    QStringList m_extensions;
    TLookupOverrides m_overrides;
    HttpFactory m_httpFactory;
    std::unique_ptr<TLookupSource> m_source;
    TQueryMode m_mode = TQueryMode::Checksum;
    bool m_lookupRunning = false;
    // A search's album waiting for the user's pairing.
    bool m_pairing = false;
    TLookupOutcome m_pending;
    QStringList m_pairedFiles; // the files the pairing was offered for
    bool m_confirmInexact = false;
    AlbumRecord m_record;
    // The cover of m_record's release: fetched once, kept until the folder is listed anew.
    std::unique_ptr<TCoverArtFetch> m_coverFetch;
    QByteArray m_cover;
    QString m_coverRelease; // the release whose cover was fetched (found or not)
    bool m_renamePending = false; // startRename waits for the cover
    TRenameOptions m_pendingOptions;
    std::unique_ptr<TRenameJob> m_job;
};

} // namespace cantorix
