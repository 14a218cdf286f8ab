#include "core/album/AlbumWorkflow.h"

#include "core/Settings.h"
#include "core/Text.h"
#include "core/album/SettingsValues.h"
#include "core/lookup/freedb/XmcdEntry.h"
#include "core/lookup/musicbrainz/CoverArt.h"
#include "core/lookup/musicbrainz/MbService.h"
#include "core/net/HttpClient.h"
#include "core/rename/RenameJob.h"
#include "core/rename/RenameJournal.h"
#include "core/rename/RenameLines.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>

namespace cantorix {

namespace {

constexpr qint64 MaxEntryFileBytes = 1 << 20; // real entries are a few KiB

QString fromBytes(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

} // namespace

QStringList RenamePlanLines(const TRenamePlanView& plan, const TRenameOptions& options, const QString& folder,
                            const QString& prefix)
{
    QStringList lines;
    for (const TRenameRun::TPreviewRow& row : plan.Rows) {
        QString line = "\"" + prefix + fromBytes(row.OldName) + "\" -> \"" + prefix + fromBytes(row.NewName) + "\"";
        if (!row.CollidesWith.empty()) line += " (" + fromBytes(CollisionText(row.CollidesWith)) + ")";
        if (row.Shortened) line += " (" + QCoreApplication::translate("cli", "shortened to fit the file system") + ")";
        if (row.NoTitle) line += " (" + QCoreApplication::translate("cli", "no title: keeps its name") + ")";
        if (row.NoName) line += " (" + QCoreApplication::translate("cli", "the format gives no name: keeps its name") + ")";
        lines << line;
    }
    if (options.RenameFolder) lines << "Folder \"" + folder + "\" -> \"" + fromBytes(plan.FolderPath) + "\"";
    if (options.CreatePlaylist) lines << "Playlist \"" + prefix + fromBytes(plan.Playlist) + "\"";
    // The words that start a line stay English like the other lines; a note in parentheses is translated.
    if (!plan.Cover.empty())
        lines << "Cover \"" + fromBytes(plan.Cover) + "\"" +
                     (plan.CoverThere ? " (" + QCoreApplication::translate("cli", "kept: it is there already") + ")"
                                      : QString());
    return lines;
}

TAlbumWorkflow::TAlbumWorkflow(TSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_album(new TAlbumSession(this))
{
    reloadSupportedExtensions();
    connect(this, &TAlbumWorkflow::coverFetched, this, [this] {
        if (!m_renamePending) return;
        m_renamePending = false;
        startJob(m_pendingOptions);
    });
}

TAlbumWorkflow::~TAlbumWorkflow()
{
    if (m_source) m_source->abandon();
    if (m_coverFetch) m_coverFetch->abort();
    m_lookupRunning = false;
    m_job.reset(); // waits for a run in progress
}

void TAlbumWorkflow::reloadSupportedExtensions() { m_extensions = SupportedExtensionsFromSettings(m_settings); }

std::string TAlbumWorkflow::folderBytes() const { return QFile::encodeName(m_album->folder()).toStdString(); }

// ---------------------------------------------------------------------------------------------
// Listing

TScanResult TAlbumWorkflow::listFolder(const QString& path)
{
    if (m_lookupRunning) {
        // The lookup's titles belong to the files it started from: a new listing ends it.
        if (m_source) m_source->abandon();
        m_pairing = false;
        emit logLine(m_mode == TQueryMode::Name ? tr("The query by name was abandoned: the folder was listed anew")
                                                : tr("The lookup was abandoned: the folder was listed anew"));
        setLookupRunning(false);
    }
    TScanResult scan = ScanFolder(path, m_extensions);
    listScan(scan);
    return scan;
}

void TAlbumWorkflow::listScan(const TScanResult& scan)
{
    if (m_lookupRunning) {
        if (m_source) m_source->abandon();
        m_pairing = false;
        setLookupRunning(false);
    }
    m_record = AlbumRecord();
    if (m_coverFetch) m_coverFetch->abort();
    m_cover.clear();
    m_coverRelease.clear();
    if (m_renamePending) {
        // A run waiting for its cover is for the files listed before: it does not start.
        m_renamePending = false;
        TRenameReport refused;
        refused.Refused = tr("The folder was listed anew: nothing was renamed").toStdString();
        emit logLine(QString::fromStdString(refused.Refused));
        emit renameFinished(refused, m_album->folder());
    }
    m_album->loadScan(scan);
    if (scan.scanned)
        for (const QString& line : scan.logLines()) emit logLine(line);
}

bool TAlbumWorkflow::fileRenamed(const QByteArray& oldName, const QByteArray& newName)
{
    if (oldName.isEmpty() || newName.isEmpty()) return false;
    for (int i = 0; i < m_album->fileCount(); ++i)
        if (m_album->row(i).FileBytes == oldName) {
            m_album->setFileName(i, newName);
            return true;
        }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Lookups

const TLookupSourceRow& TAlbumWorkflow::database() const
{
    return m_overrides.Database.isEmpty() ? DatabaseFromSettings(m_settings) : LookupSourceNamed(m_overrides.Database);
}

std::unique_ptr<TLookupSource> TAlbumWorkflow::makeSource(TQueryMode mode) const
{
    TSourceContext context{m_settings, m_overrides.Given, m_httpFactory ? m_httpFactory() : nullptr};
    return database().Make(mode, context);
}

bool TAlbumWorkflow::startLookup(TQueryMode mode, const QString& artist, const QString& album)
{
    return startLookupWith(mode, artist, album, {});
}

bool TAlbumWorkflow::startDiscSetLookup(const QList<QList<TTrackLength>>& discs)
{
    return startLookupWith(TQueryMode::Checksum, {}, {}, discs);
}

QList<TCandidateFit> TAlbumWorkflow::candidateFits() const
{
    return m_source && m_source->running() ? m_source->candidateFits() : QList<TCandidateFit>();
}

bool TAlbumWorkflow::startLookupWith(TQueryMode mode, const QString& artist, const QString& album,
                                     const QList<QList<TTrackLength>>& discs)
{
    if (m_lookupRunning || m_album->fileCount() == 0) return false;
    if (mode == TQueryMode::Name && !database().NameSearch) {
        emit logLine(tr("%1 cannot search by artist and album").arg(database().label()));
        return false;
    }
    if (mode == TQueryMode::Checksum && database().WholeSecondDiscId)
        if (const int missing = m_album->filesWithoutPlayingTime())
            emit logLine(tr("%1 of %2 files have no playing time (shown as --:--); the disc ID counts them as 0 "
                            "seconds and will likely find no match")
                             .arg(missing)
                             .arg(m_album->fileCount()));
    m_mode = mode;
    m_pairing = false;
    m_source = makeSource(mode);
    TLookupSource* source = m_source.get();
    if (discs.size() > 1 && !source->supportsDiscSets()) {
        emit logLine(tr("This database cannot look a set of discs up whole"));
        m_source.reset();
        return false;
    }
    connect(source, &TLookupSource::logLine, this, &TAlbumWorkflow::logLine);
    connect(source, &TLookupSource::stepChanged, this, &TAlbumWorkflow::lookupStep);
    connect(source, &TLookupSource::progress, this, &TAlbumWorkflow::lookupProgress);
    connect(source, &TLookupSource::filesDone, this, &TAlbumWorkflow::lookupFilesDone);
    connect(source, &TLookupSource::candidatesFound, this, &TAlbumWorkflow::candidatesFound);
    connect(source, &TLookupSource::candidateChosen, this, [this](const QString& artist, const QString& album) {
        // The fields name the chosen album now; titles of an earlier lookup must not be renamed by them.
        m_album->setCanRename(false);
        TAlbumFields fields = m_album->fields();
        fields.Artist = artist;
        fields.Album = album;
        m_album->setFields(fields);
    });
    connect(source, &TLookupSource::finished, this, &TAlbumWorkflow::sourceFinished);

    TLookupRequest request;
    request.Folder = m_album->folder();
    request.Lengths = m_album->lengths();
    request.FileNames = m_album->fileNames();
    request.Artist = artist;
    request.Album = album;
    request.ConfirmInexact = m_confirmInexact;
    if (discs.size() > 1) request.Discs = discs;
    if (!source->start(request)) return false;
    setLookupRunning(true);
    return true;
}

void TAlbumWorkflow::chooseCandidate(int index)
{
    if (m_source && m_source->running()) m_source->choose(index);
}

void TAlbumWorkflow::cancelLookup()
{
    if (m_pairing) {
        cancelPairing();
        return;
    }
    if (!m_source || !m_source->running()) return;
    emit logLine(tr("The lookup was cancelled"));
    m_source->cancel();
}

void TAlbumWorkflow::abandonLookup()
{
    if (m_source) m_source->abandon();
    m_pairing = false;
    setLookupRunning(false);
}

void TAlbumWorkflow::sourceFinished(const TLookupOutcome& outcome)
{
    if (!m_lookupRunning) return;
    if (outcome.kind == TLookupOutcome::Kind::EntryRead) m_record = outcome.record;
    if (outcome.kind == TLookupOutcome::Kind::EntryRead && outcome.needsPairing) {
        // The album fields are the entry's at once; its titles wait for the user's pairing.
        m_album->setFieldsFrom(outcome.record);
        m_pending = outcome;
        m_pairing = true;
        m_pairedFiles = m_album->fileNames();
        emit pairingNeeded(outcome.record.Titles, m_pairedFiles, AlignTitles(outcome.record.Titles, m_pairedFiles));
        return;
    }
    // A set's first disc is the listed folder.
    if (outcome.kind == TLookupOutcome::Kind::EntryRead) m_album->applyEntry(DiscOfSet(outcome.record, 1));
    endLookup(outcome);
}

void TAlbumWorkflow::acceptPairing(const QList<TAlignedRow>& rows)
{
    if (!m_pairing) return;
    m_pairing = false;
    if (m_album->fileNames() != m_pairedFiles) {
        endPairingUnapplied(tr("The titles were not applied: the folder was listed anew"));
        return;
    }
    if (m_album->applyPairing(m_pending.record.Titles, rows) == 0)
        emit logLine(tr("No title stands beside a file: nothing to rename"));
    else
        emit logLine(tr("Ready to rename"));
    endLookup(m_pending);
}

void TAlbumWorkflow::cancelPairing()
{
    if (!m_pairing) return;
    m_pairing = false;
    endPairingUnapplied(tr("The lookup was cancelled"));
}

void TAlbumWorkflow::endPairingUnapplied(const QString& why)
{
    emit logLine(why);
    TLookupOutcome outcome = m_pending;
    outcome.kind = TLookupOutcome::Kind::Cancelled;
    outcome.reason = why;
    endLookup(outcome);
}

void TAlbumWorkflow::endLookup(const TLookupOutcome& outcome)
{
    emit lookupFinished(outcome);
    setLookupRunning(false);
    if (outcome.kind == TLookupOutcome::Kind::EntryRead && m_album->canRename() && unfinishedRun())
        emit unfinishedRunFound();
}

void TAlbumWorkflow::setLookupRunning(bool running)
{
    if (running == m_lookupRunning) return;
    m_lookupRunning = running;
    emit lookupRunningChanged(running);
}

bool TAlbumWorkflow::applyEntryFile(const QString& path, QString* error)
{
    // Opened without waiting on a FIFO or a device, and only when it is a plain file.
    TFileReader file;
    const IoResult opened = file.open(QFile::encodeName(path).toStdString());
    if (!opened) {
        *error = opened.code == EINVAL || opened.code == EISDIR
            ? tr("the entry \"%1\" is not a regular file").arg(path)
            : tr("cannot read the entry \"%1\": %2").arg(path, QString::fromStdString(opened.error));
        return false;
    }
    if (file.size() > MaxEntryFileBytes) {
        *error = tr("the entry \"%1\" is too large").arg(path);
        return false;
    }
    QByteArray bytes(qsizetype(file.size()), Qt::Uninitialized);
    if (!bytes.isEmpty() && !file.read(bytes.data(), size_t(bytes.size()))) {
        *error = tr("cannot read the entry \"%1\": %2").arg(path, QString::fromStdString(file.error().error));
        return false;
    }
    const QStringList lines = SplitLines(DecodeReplyText(bytes));
    AlbumRecord record = ReadChecksumEntry(lines);
    // A file is not bound by the grid of a lookup: an entry written for a larger folder names every file
    // it has a title for, up to the rows the album holds.
    QStringList valueLines;
    for (const QString& line : lines) {
        if (line.isEmpty()) break; // where the lookup's reading of an entry stops too
        if (line.contains('=')) valueLines << line;
    }
    QList<TrackTitle> all = ReadTrackTitles(valueLines, TitleNumbering::FromKey);
    if (all.size() > record.Titles.size()) {
        if (all.size() > TAlbumSession::MaxRows) all.resize(TAlbumSession::MaxRows);
        record.Titles = all;
    }
    // Nothing names the files (an empty file, one of zeros): using it would give them names of empty
    // values and erase their tags.
    if (XmcdValue(valueLines, "DISCID").isEmpty() && IsUntitledEntry(record)) {
        *error = tr("the entry \"%1\" has neither a DISCID nor a title").arg(path);
        return false;
    }
    m_album->applyEntry(record);
    m_record = record;
    return true;
}

void TAlbumWorkflow::applyRecord(const AlbumRecord& record)
{
    m_album->applyEntry(record);
    m_record = record;
}

// ---------------------------------------------------------------------------------------------
// The front cover

bool TAlbumWorkflow::coverWanted(const TRenameOptions& options) const
{
    return options.SaveCover && !m_record.MbReleaseId.isEmpty();
}

bool TAlbumWorkflow::coverInTheWay(const TRenameOptions& options) const
{
    return coverWanted(options) && !m_album->folder().isEmpty() && entryExists(folderBytes() + CoverFileName);
}

bool TAlbumWorkflow::startCoverFetch()
{
    const QString release = m_record.MbReleaseId;
    if (release.isEmpty()) return false;
    TMusicBrainzConfig config = MusicBrainzConfigFromSettings(m_settings);
    if (const QString cover = m_overrides.Given.value("cover-server"); !cover.isEmpty()) config.CoverServer = cover;
    m_coverFetch = std::make_unique<TCoverArtFetch>(config, m_httpFactory ? m_httpFactory() : nullptr);
    connect(m_coverFetch.get(), &TCoverArtFetch::logLine, this, &TAlbumWorkflow::logLine);
    connect(m_coverFetch.get(), &TCoverArtFetch::finished, this, [this, release](const TCoverArtFetch::TResult& r) {
        m_cover = r.kind == TCoverArtFetch::TResult::Kind::Found ? r.Image : QByteArray();
        m_coverRelease = release;
        // The fetch's own signal is still being delivered: it goes once that is over.
        if (m_coverFetch) m_coverFetch.release()->deleteLater();
        emit coverFetched();
    });
    if (!m_coverFetch->start(release)) {
        m_coverFetch.reset();
        m_cover.clear();
        m_coverRelease = release;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Renaming

TRenameOptions TAlbumWorkflow::renameOptions() const { return RenameOptionsFromSettings(m_settings); }

bool TAlbumWorkflow::unfinishedRun() const
{
    return !m_album->folder().isEmpty() && UnfinishedRunIn(TRenameJournal::defaultDirectory(), folderBytes());
}

std::unique_ptr<TRenameRun> TAlbumWorkflow::newRun(const TRenameOptions& options) const
{
    return newRun(options, folderBytes(), m_album->renameRows(), m_album->albumData());
}

std::unique_ptr<TRenameRun> TAlbumWorkflow::newRun(const TRenameOptions& options, const std::string& folder,
                                                   std::vector<TRenameRow> rows, const TAlbumData& data) const
{
    auto run = std::make_unique<TRenameRun>(folder, std::move(rows), data, options);
    run->setJournalDirectory(TRenameJournal::defaultDirectory());
    if (coverWanted(options) && m_coverRelease == m_record.MbReleaseId) run->setCover(m_cover);
    return run;
}

TRenamePlanView TAlbumWorkflow::plan(const TRenameOptions& options) const
{
    TRenamePlanView view;
    if (m_album->fileCount() == 0) return view;
    const std::unique_ptr<TRenameRun> run = newRun(options);
    view.Rows = run->preview(FolderEntryNames(run->folder()));
    view.FolderPath = run->plannedFolderPath();
    view.Playlist = run->playlistFileName();
    if (coverWanted(options)) {
        view.Cover = CoverFileName;
        view.CoverThere = coverInTheWay(options);
    }
    return view;
}

bool TAlbumWorkflow::renaming() const { return m_renamePending || (m_job && m_job->running()); }

bool TAlbumWorkflow::startRename(const TRenameOptions& options)
{
    if (m_job || m_renamePending || m_lookupRunning || !m_album->canRename() || m_album->fileCount() == 0) return false;
    if (unfinishedRun()) {
        emit unfinishedRunFound();
        return false;
    }
    if (coverWanted(options) && m_coverRelease != m_record.MbReleaseId) {
        // The cover first; the run starts once the fetch has ended, found or not (coverFetched).
        m_renamePending = true;
        m_pendingOptions = options;
        if (!startCoverFetch()) QMetaObject::invokeMethod(this, &TAlbumWorkflow::coverFetched, Qt::QueuedConnection);
        return true;
    }
    startJob(options);
    return true;
}

bool TAlbumWorkflow::startFolderRename(const QString& folder, const TAlbumData& album, const TRenameOptions& options)
{
    if (m_job || m_renamePending) return false;
    startJob(newRun(options, QFile::encodeName(WithSlash(folder)).toStdString(), {}, album), false);
    return true;
}

void TAlbumWorkflow::startJob(const TRenameOptions& options) { startJob(newRun(options), true); }

void TAlbumWorkflow::startJob(std::unique_ptr<TRenameRun> run, bool albumRun)
{
    m_job = std::make_unique<TRenameJob>(std::move(run));
    connect(m_job.get(), &TRenameJob::logLine, this, &TAlbumWorkflow::logLine);
    connect(m_job.get(), &TRenameJob::progress, this, &TAlbumWorkflow::renameProgress);
    connect(m_job.get(), &TRenameJob::finished, this, [this, albumRun] {
        m_job->wait();
        const TRenameReport report = m_job->run().report();
        const QString folder = fromBytes(m_job->run().folderToSelect());
        // The job's own signal is still being delivered: it goes once that is over.
        m_job.release()->deleteLater();
        if (albumRun) runEnded(report);
        emit renameFinished(report, folder);
    });
    m_job->start();
}

TRenameReport TAlbumWorkflow::renameNow(const TRenameOptions& options)
{
    std::unique_ptr<TRenameRun> run = newRun(options);
    run->setObserver([this](const std::string& line) { emit logLine(QString::fromStdString(line)); }, nullptr);
    run->run();
    runEnded(run->report());
    return run->report();
}

void TAlbumWorkflow::runEnded(const TRenameReport& report)
{
    // A run that was refused moved nothing: the album may be renamed once the cause is gone.
    if (!report.Refused.empty()) return;
    m_album->setCanRename(false);
    emit logLine(QString::fromStdString(TrLine(RenamingFinishedLine)));
}

std::vector<TRenameJournalData> TAlbumWorkflow::runHistory() const
{
    if (m_album->folder().isEmpty()) return {};
    return TRenameJournal::historyFor(TRenameJournal::defaultDirectory(), folderBytes());
}

TUndoReport TAlbumWorkflow::undo(bool dryRun, bool* found, const QString& folder, bool all)
{
    bool any = false;
    const std::string target = folder.isEmpty() ? folderBytes() : QFile::encodeName(WithSlash(folder)).toStdString();
    TUndoReport report;
    if (!target.empty())
        report = all ? UndoAllRuns(TRenameJournal::defaultDirectory(), target, dryRun, any)
                     : UndoLastRun(TRenameJournal::defaultDirectory(), target, dryRun, any);
    for (const std::string& line : report.Lines) emit logLine(QString::fromStdString(line));
    if (any && report.Refused.empty()) emit logLine(QString::fromStdString(TrLine(UndoFinishedLine)));
    if (found) *found = any;
    return report;
}

} // namespace cantorix
