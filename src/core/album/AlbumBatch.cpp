#include "core/album/AlbumBatch.h"

#include "core/AlbumGuess.h"
#include "core/CoverFile.h"
#include "core/Text.h"
#include "core/rename/RenameLines.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>

#include <algorithm>

namespace cantorix {

namespace {

// The refusal of a folder whose last run did not finish, in the user's language.
QString unfinishedRun() { return QString::fromStdString(TrLine(UnfinishedRunText)); }

// Why a workflow did not start its run: an unfinished earlier run, or nothing to rename.
QString refusalOf(const TAlbumWorkflow& w)
{
    if (w.unfinishedRun()) return unfinishedRun();
    return QCoreApplication::translate("cantorix::TAlbumBatch", "nothing to rename: no title stands beside a file");
}

QString shown(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
std::string bytesOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A disc folder's bare name ("CD1") from its path with "/".
QString discFolderName(const QString& path)
{
    QString name = path;
    name.chop(1);
    return name.mid(name.lastIndexOf('/') + 1);
}

// A disc's scan listed once more, without the lines it gave when it was first listed.
TScanResult quietly(TScanResult scan)
{
    scan.logLine.clear();
    scan.notes.clear();
    scan.removedLines.clear();
    return scan;
}

bool hasRecord(const QString& folder)
{
    TRenameJournalData data;
    std::string path;
    return TRenameJournal::findFor(TRenameJournal::defaultDirectory(), bytesOf(folder), data, path);
}

} // namespace

const char* BatchOutcomeWord(TBatchOutcome outcome)
{
    switch (outcome) {
    case TBatchOutcome::Renamed: return "renamed";
    case TBatchOutcome::Skipped: return "skipped";
    case TBatchOutcome::NoMatch: return "no match";
    case TBatchOutcome::Ambiguous: return "ambiguous";
    case TBatchOutcome::Refused: return "refused";
    case TBatchOutcome::Failed: return "failed";
    case TBatchOutcome::Cancelled: return "cancelled";
    }
    return "failed";
}

int ChooseWithoutAsking(const QList<TCandidateFit>& fits, int candidates, int match, bool byName)
{
    if (match >= 0) return match < candidates ? match : -1;
    if (candidates <= 0) return -1;
    if (byName) return candidates == 1 ? 0 : -1;
    if (fits.size() != candidates) return -1;
    if (candidates == 1 && fits[0].Exact) return 0;
    // The closest by the per-track difference; an unknown difference is never clearly anything.
    int best = -1;
    for (int k = 0; k < candidates; ++k)
        if (fits[k].DeltaMs >= 0 && (best < 0 || fits[k].DeltaMs < fits[best].DeltaMs)) best = k;
    if (best < 0 || fits[best].DeltaMs >= ClearlyCloseMs) return -1;
    for (int k = 0; k < candidates; ++k)
        if (k != best && (fits[k].DeltaMs < 0 || fits[k].DeltaMs <= ClearlyFarMs)) return -1;
    return best;
}

TBatchUndoReport UndoUnder(const QString& root, bool dryRun, int maxFolders)
{
    TBatchUndoReport report;
    // Each folder before its subfolders; undone in the reverse order, so subfolders first.
    const QStringList folders = FoldersUnder(root, std::max(maxFolders, 1));
    const std::string journals = TRenameJournal::defaultDirectory();
    for (qsizetype k = folders.size(); k-- > 0;) {
        bool found = false;
        const TUndoReport undone = UndoLastRun(journals, bytesOf(folders[k]), dryRun, found);
        if (!found) continue;
        ++report.Albums;
        report.MovedBack += undone.MovedBack;
        report.LeftAlone += undone.LeftAlone;
        if (!undone.Refused.empty()) ++report.Refused;
        report.Lines << folders[k] + ":";
        for (const std::string& line : undone.Lines) report.Lines << "  " + shown(line);
    }
    return report;
}

// ---------------------------------------------------------------------------------------------
// The batch

struct TAlbumBatch::TAlbum {
    TBatchAlbum Found;
    enum class Stage { Waiting, Scanning, Scanned, LookingUp, Decided, Renaming, Done } At = Stage::Waiting;
    QList<TScanResult> Scans;           // one per disc folder (the album's own folder for one disc)
    std::vector<TAlbumWorkflow*> Flows; // per disc, made as needed; deleted with deleteLater
    QList<AlbumRecord> Records;         // per disc, once read
    int Disc = 0;                       // the disc being looked up or renamed
    int Step = 0;                       // rename steps begun
    bool Ambiguous = false;             // the lookup offered no clear candidate
    bool CoverAsked = false;            // a set's cover was fetched (found or not)
    QString Parent;                     // a set's folder now (renamed or not), with "/"
    QString Failure;                    // a step that failed (the album goes on with the next)
    QString Note;                       // what a renamed album's reason says (a cover that was kept)
    QStringList Undo;                   // folders whose runs this batch made, in the order made
    TBatchResult Result;
    bool Reported = false;

    bool isSet() const { return !Found.Discs.isEmpty(); }
    QStringList folders() const { return isSet() ? Found.Discs : QStringList{Found.Folder}; }
};

TAlbumBatch::TAlbumBatch(TSettings& settings, QObject* parent) : QObject(parent), m_settings(settings) {}

TAlbumBatch::~TAlbumBatch()
{
    m_running = false;
    m_pool.waitForDone();
    // A workflow waits for its own run as it goes; those already handed to deleteLater are children.
    for (const std::unique_ptr<TAlbum>& a : m_albums) {
        for (TAlbumWorkflow* w : a->Flows) delete w;
        a->Flows.clear();
    }
}

bool TAlbumBatch::start(const QList<TBatchAlbum>& albums, const TBatchOptions& options)
{
    if (m_running) return false;
    m_options = options;
    m_options.Jobs = std::clamp(options.Jobs, 1, MaxJobs);
    m_pool.setMaxThreadCount(m_options.Jobs);
    m_extensions = SupportedExtensionsFromSettings(m_settings);
    m_albums.clear();
    m_reported.clear();
    for (qsizetype i = 0; i < albums.size(); ++i) {
        auto a = std::make_unique<TAlbum>();
        a->Found = albums[i];
        a->Result.Index = int(i);
        a->Result.Folder = albums[i].Folder;
        a->Result.DryRun = m_options.DryRun;
        a->Parent = albums[i].Folder;
        m_albums.push_back(std::move(a));
    }
    m_nextScan = 0;
    m_lookingUp = -1;
    m_cancelled = false;
    m_running = true;
    QMetaObject::invokeMethod(this, &TAlbumBatch::pump, Qt::QueuedConnection);
    return true;
}

void TAlbumBatch::cancel()
{
    if (!m_running || m_cancelled) return;
    m_cancelled = true;
    if (m_lookingUp >= 0)
        for (TAlbumWorkflow* w : m_albums[size_t(m_lookingUp)]->Flows)
            if (w->lookupRunning()) w->cancelLookup();
    QMetaObject::invokeMethod(this, &TAlbumBatch::pump, Qt::QueuedConnection);
}

int TAlbumBatch::busy() const
{
    int n = 0;
    for (const std::unique_ptr<TAlbum>& a : m_albums)
        n += a->At == TAlbum::Stage::Scanning || a->At == TAlbum::Stage::Renaming ? 1 : 0;
    return n;
}

void TAlbumBatch::pump()
{
    if (!m_running || m_pumping) return;
    m_pumping = true;
    const int n = int(m_albums.size());
    if (m_cancelled) {
        for (int i = 0; i < n; ++i) {
            const TAlbum::Stage at = m_albums[size_t(i)]->At;
            if (at == TAlbum::Stage::Waiting || at == TAlbum::Stage::Scanned || at == TAlbum::Stage::Decided)
                end(i, TBatchOutcome::Cancelled, tr("The batch was cancelled"));
        }
    } else {
        // Lookups one at a time, in album order.
        if (m_lookingUp < 0)
            for (int i = 0; i < n; ++i) {
                const TAlbum::Stage at = m_albums[size_t(i)]->At;
                if (at == TAlbum::Stage::Done) continue;
                if (at == TAlbum::Stage::Scanned) beginLookup(i);
                break;
            }
        // Workers: renames first (they free their album), then scans a little ahead of the lookups.
        while (busy() < m_options.Jobs) {
            int ready = -1;
            for (int i = 0; i < n && ready < 0; ++i)
                if (m_albums[size_t(i)]->At == TAlbum::Stage::Decided) ready = i;
            if (ready >= 0) {
                beginRename(ready);
                continue;
            }
            int waiting = 0; // scanned, not looked up yet
            for (const std::unique_ptr<TAlbum>& a : m_albums) waiting += a->At == TAlbum::Stage::Scanned ? 1 : 0;
            if (m_nextScan < n && waiting < m_options.Jobs + 1) {
                beginScan(m_nextScan++);
                continue;
            }
            break;
        }
    }
    m_pumping = false;
    const bool allDone = std::all_of(m_albums.begin(), m_albums.end(),
                                     [](const std::unique_ptr<TAlbum>& a) { return a->At == TAlbum::Stage::Done; });
    if (allDone) {
        m_running = false;
        emit finished();
    }
}

TAlbumWorkflow* TAlbumBatch::newWorkflow(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    auto* w = new TAlbumWorkflow(m_settings, this);
    w->setOverrides(m_overrides);
    if (m_httpFactory) w->setHttpFactory(m_httpFactory);
    w->setConfirmInexact(true);
    connect(w, &TAlbumWorkflow::logLine, this, [this, i](const QString& line) {
        if (!line.isEmpty()) m_albums[size_t(i)]->Result.Lines << line;
    });
    connect(w, &TAlbumWorkflow::candidatesFound, this, [this, i, w](const QStringList& lines, int) {
        TAlbum& album = *m_albums[size_t(i)];
        album.Result.Candidates = std::max(album.Result.Candidates, int(lines.size()));
        const int choice = ChooseWithoutAsking(w->candidateFits(), int(lines.size()), m_options.Match,
                                               m_options.Mode == TQueryMode::Name);
        album.Ambiguous = choice < 0;
        w->chooseCandidate(choice);
    });
    connect(w, &TAlbumWorkflow::pairingNeeded, this,
            [w](const QList<TrackTitle>&, const QStringList&, const QList<TAlignedRow>& proposed) { w->acceptPairing(proposed); });
    // Handled once the lookup's own signal is over: the next lookup may start from there.
    connect(w, &TAlbumWorkflow::lookupFinished, this, [this, i](const TLookupOutcome& outcome) {
        QMetaObject::invokeMethod(this, [this, i, outcome] { discLookedUp(i, outcome); }, Qt::QueuedConnection);
    });
    connect(w, &TAlbumWorkflow::renameFinished, this, [this, i](const TRenameReport& report, const QString& folder) {
        QMetaObject::invokeMethod(this, [this, i, report, folder] { stepRenamed(i, report, folder); },
                                  Qt::QueuedConnection);
    });
    a.Flows.push_back(w);
    return w;
}

void TAlbumBatch::beginScan(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    a.At = TAlbum::Stage::Scanning;
    const QStringList folders = a.folders();
    const QStringList extensions = m_extensions;
    m_pool.start([this, i, folders, extensions] {
        QList<TScanResult> scans;
        for (const QString& folder : folders) scans << ScanFolder(folder, extensions);
        QMetaObject::invokeMethod(this, [this, i, scans] { scanned(i, scans); }, Qt::QueuedConnection);
    });
}

void TAlbumBatch::scanned(int i, const QList<TScanResult>& scans)
{
    TAlbum& a = *m_albums[size_t(i)];
    a.Scans = scans;
    a.At = TAlbum::Stage::Scanned;
    const std::string journals = TRenameJournal::defaultDirectory();
    if (m_cancelled) {
        end(i, TBatchOutcome::Cancelled, tr("The batch was cancelled"));
    } else if (!a.Found.Problem.isEmpty()) {
        end(i, TBatchOutcome::Refused, a.Found.Problem);
    } else if (std::any_of(scans.begin(), scans.end(), [](const TScanResult& s) { return s.names.isEmpty(); })) {
        end(i, TBatchOutcome::Failed, tr("no audio files found"));
    } else {
        const QStringList discs = a.folders();
        QStringList folders = discs;
        if (a.isSet()) folders.prepend(a.Found.Folder);
        const bool unfinished = std::any_of(folders.begin(), folders.end(), [&](const QString& f) {
            return UnfinishedRunIn(journals, bytesOf(f));
        });
        const bool stands = std::all_of(discs.begin(), discs.end(),
                                        [&](const QString& f) { return FinishedRunStands(journals, bytesOf(f)); }) &&
                            (!a.isSet() || !hasRecord(a.Found.Folder) || FinishedRunStands(journals, bytesOf(a.Found.Folder)));
        if (unfinished)
            end(i, TBatchOutcome::Refused, unfinishedRun());
        else if (stands)
            end(i, TBatchOutcome::Skipped, tr("renamed by an earlier run"));
        else if (a.isSet() && m_options.Mode == TQueryMode::Name)
            end(i, TBatchOutcome::Refused, tr("a set of discs is looked up by its playing times"));
    }
    pump();
}

void TAlbumBatch::beginLookup(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    a.At = TAlbum::Stage::LookingUp;
    m_lookingUp = i;
    emit albumStarted(i, a.Found.Folder);
    if (!a.isSet()) {
        TAlbumWorkflow* w = newWorkflow(i);
        w->listScan(a.Scans[0]);
        bool started = false;
        if (m_options.Mode == TQueryMode::Name) {
            const TAlbumGuess words = w->album().guessedWords();
            a.Result.Lines << "search artist: " + words.Artist << "search album: " + words.Album;
            started = w->startLookup(TQueryMode::Name, words.Artist, words.Album);
        } else {
            started = w->startLookup(TQueryMode::Checksum);
        }
        if (!started) lookupNotStarted(i);
        return;
    }
    a.Disc = 0;
    TAlbumWorkflow* w = newWorkflow(i);
    w->listScan(a.Scans[0]);
    if (w->database().DiscSets) {
        QList<QList<TTrackLength>> discs;
        for (const TScanResult& s : std::as_const(a.Scans)) discs << s.lengths;
        if (!w->startDiscSetLookup(discs)) lookupNotStarted(i);
        return;
    }
    lookupDisc(i);
}

// A database that knows discs, not sets (freedb): each disc of a set is looked up by its own disc ID.
void TAlbumBatch::lookupDisc(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    TAlbumWorkflow* w = a.Disc < int(a.Flows.size()) ? a.Flows[size_t(a.Disc)] : newWorkflow(i);
    if (a.Disc > 0) w->listScan(a.Scans[a.Disc]);
    if (!w->startLookup(TQueryMode::Checksum)) lookupNotStarted(i);
}

// The workflow's last line says why (no files, nothing to search for); the next lookup may begin.
void TAlbumBatch::lookupNotStarted(int i)
{
    const QStringList& lines = m_albums[size_t(i)]->Result.Lines;
    end(i, TBatchOutcome::Failed, lines.isEmpty() ? tr("the lookup did not start") : lines.last());
    m_lookingUp = -1;
}

void TAlbumBatch::discLookedUp(int i, const TLookupOutcome& outcome)
{
    TAlbum& a = *m_albums[size_t(i)];
    if (a.At != TAlbum::Stage::LookingUp) return;
    const QString disc = a.isSet() ? tr("disc %1: ").arg(a.Disc + 1) : QString();
    auto over = [&](TBatchOutcome kind, const QString& reason) {
        end(i, kind, reason);
        m_lookingUp = -1;
        pump();
    };
    if (m_cancelled) return over(TBatchOutcome::Cancelled, tr("The batch was cancelled"));
    switch (outcome.kind) {
    case TLookupOutcome::Kind::EntryRead: break;
    case TLookupOutcome::Kind::NoMatch: return over(TBatchOutcome::NoMatch, disc + outcome.reason);
    case TLookupOutcome::Kind::Cancelled:
        if (a.Ambiguous && m_options.Match >= 0)
            return over(TBatchOutcome::Ambiguous, disc + tr("there are only %1 candidates").arg(a.Result.Candidates));
        if (a.Ambiguous)
            return over(TBatchOutcome::Ambiguous,
                        disc + tr("%1 candidates, none clearly the album").arg(a.Result.Candidates));
        return over(TBatchOutcome::Failed, disc + outcome.reason);
    case TLookupOutcome::Kind::Failed:
    case TLookupOutcome::Kind::TimedOut: return over(TBatchOutcome::Failed, disc + outcome.reason);
    }
    TAlbumWorkflow* w = a.Flows.back();
    if (!a.isSet()) {
        if (!w->album().canRename())
            return over(TBatchOutcome::Failed, tr("nothing to rename: no title stands beside a file"));
        a.Records = {w->lastRecord()};
    } else if (w->lastRecord().DiscCount > 1) {
        for (int k = 1; k <= w->lastRecord().DiscCount; ++k) a.Records << DiscOfSet(w->lastRecord(), k);
    } else {
        AlbumRecord record = w->lastRecord();
        record.Disc = QString::number(a.Disc + 1);
        a.Records << record;
        if (++a.Disc < int(a.Scans.size())) {
            a.Result.Candidates = 0;
            lookupDisc(i);
            return;
        }
        // The discs' entries must name one album: the first's fields stand for all.
        const AlbumRecord& first = a.Records.first();
        const QString title = WithoutDiscMark(first.Album);
        for (const AlbumRecord& r : std::as_const(a.Records))
            if (r.Artist.compare(first.Artist, Qt::CaseInsensitive) != 0 ||
                WithoutDiscMark(r.Album).compare(title, Qt::CaseInsensitive) != 0)
                return over(TBatchOutcome::Refused, tr("the discs name different albums: \"%1\" and \"%2\"")
                                                        .arg(first.Artist + " / " + first.Album, r.Artist + " / " + r.Album));
        for (AlbumRecord& r : a.Records) {
            r.Artist = first.Artist;
            r.Album = title;
            r.Year = first.Year;
            r.Genre = first.Genre;
        }
    }
    for (const AlbumRecord& r : std::as_const(a.Records))
        if (r.Titles.isEmpty()) return over(TBatchOutcome::Failed, tr("a disc of the album has no titles"));
    a.Result.Artist = a.Records.first().Artist;
    a.Result.Album = a.Records.first().Album;
    m_lookingUp = -1;
    decided(i);
    pump();
}

void TAlbumBatch::decided(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    if (m_options.DryRun) {
        planDryRun(i);
        end(i, TBatchOutcome::Renamed);
        return;
    }
    a.At = TAlbum::Stage::Decided;
}

void TAlbumBatch::planDryRun(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    TRenameOptions options = m_options.Rename;
    auto count = [&](const TRenamePlanView& view) {
        for (const TRenameRun::TPreviewRow& row : view.Rows) a.Result.Renamed += row.Unchanged ? 0 : 1;
    };
    if (!a.isSet()) {
        TAlbumWorkflow* w = a.Flows.back();
        const TRenamePlanView view = w->plan(options);
        count(view);
        a.Result.Plan = RenamePlanLines(view, options, a.Found.Folder);
        if (options.RenameFolder && !view.FolderPath.empty()) a.Result.FolderAfter = shown(view.FolderPath);
        return;
    }
    TRenameOptions disc = options;
    disc.RenameFolder = false;
    disc.SaveCover = false;
    for (qsizetype k = 0; k < a.Scans.size(); ++k) {
        TAlbumWorkflow* w = k < qsizetype(a.Flows.size()) ? a.Flows[size_t(k)] : newWorkflow(i);
        w->listScan(quietly(a.Scans[k]));
        w->applyRecord(a.Records[k]);
        const TRenamePlanView view = w->plan(disc);
        count(view);
        a.Result.Plan << RenamePlanLines(view, disc, a.Found.Discs[k], discFolderName(a.Found.Discs[k]) + "/");
    }
    if (options.RenameFolder) {
        AlbumRecord first = a.Records.first();
        first.Disc.clear();
        const TRenameRun parent(bytesOf(a.Found.Folder), {},
                                {first.Artist.toStdString(), first.Album.toStdString(), first.Year.toStdString(),
                                 first.Genre.toStdString()},
                                options);
        a.Result.FolderAfter = shown(parent.plannedFolderPath());
        a.Result.Plan << "Folder \"" + a.Found.Folder + "\" -> \"" + a.Result.FolderAfter + "\"";
    }
    if (options.SaveCover && !a.Records.first().MbReleaseId.isEmpty())
        a.Result.Plan << "Cover \"" + QString::fromUtf8(CoverFileName) + "\"";
}

void TAlbumBatch::beginRename(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    a.At = TAlbum::Stage::Renaming;
    a.Step = 0;
    renameStep(i);
}

// One album is renamed in steps: a single folder in one run; a set first in its own folder (the
// folder's new name and the cover, when asked for), then each disc in its folder under that name,
// so that every run's record is found from the folder as it stands afterwards.
void TAlbumBatch::renameStep(int i)
{
    TAlbum& a = *m_albums[size_t(i)];
    const int step = a.Step++;
    // Every step has run: renamed, unless one of them failed.
    auto allDone = [&] {
        end(i, a.Failure.isEmpty() ? TBatchOutcome::Renamed : TBatchOutcome::Failed,
            a.Failure.isEmpty() ? a.Note : a.Failure);
    };
    if (!a.isSet()) {
        if (step > 0) return allDone();
        if (!a.Flows.back()->startRename(m_options.Rename))
            return end(i, TBatchOutcome::Refused, refusalOf(*a.Flows.back()));
        return;
    }
    TAlbumWorkflow* first = a.Flows.front();
    if (step == 0) {
        // The set's own folder: its new name and the cover. A step of its own even without a new
        // name, so that undo finds the cover by the folder.
        bool cover = m_options.Rename.SaveCover && !a.Records.first().MbReleaseId.isEmpty();
        if (cover && !a.CoverAsked) {
            a.CoverAsked = true;
            --a.Step;
            // The disc's workflow holds the set's release: it fetches, the step runs once that is over.
            first->applyRecord(a.Records.first());
            connect(first, &TAlbumWorkflow::coverFetched, this, [this, i] { renameStep(i); }, Qt::SingleShotConnection);
            if (!first->startCoverFetch()) QMetaObject::invokeMethod(this, [this, i] { renameStep(i); }, Qt::QueuedConnection);
            return;
        }
        cover = cover && !first->coverImage().isEmpty();
        if (!m_options.Rename.RenameFolder && !cover) return renameStep(i);
        AlbumRecord r = a.Records.first();
        TRenameOptions options = m_options.Rename;
        options.CreatePlaylist = false;
        options.WriteTags = false;
        // The disc's workflow holds the set's release and its cover: it runs the set's folder too.
        first->applyRecord(r);
        if (!first->startFolderRename(a.Found.Folder,
                                      TAlbumData{r.Artist.toStdString(), r.Album.toStdString(), r.Year.toStdString(),
                                                 r.Genre.toStdString()},
                                      options))
            return end(i, TBatchOutcome::Refused, refusalOf(*first));
        return;
    }
    const int disc = step - 1;
    if (disc >= a.Scans.size()) return allDone();
    TAlbumWorkflow* w = disc < int(a.Flows.size()) ? a.Flows[size_t(disc)] : newWorkflow(i);
    // The disc's folder under the set's folder as it is named now.
    TScanResult scan = quietly(a.Scans[disc]);
    scan.folder = a.Parent + discFolderName(a.Found.Discs[disc]) + "/";
    w->listScan(scan);
    w->applyRecord(a.Records[disc]);
    TRenameOptions options = m_options.Rename;
    options.RenameFolder = false;
    options.SaveCover = false;
    if (!w->startRename(options)) {
        a.Failure = tr("disc %1: ").arg(disc + 1) + refusalOf(*w);
        return end(i, TBatchOutcome::Refused, a.Failure);
    }
}

void TAlbumBatch::stepRenamed(int i, const TRenameReport& report, const QString& folder)
{
    TAlbum& a = *m_albums[size_t(i)];
    if (a.At != TAlbum::Stage::Renaming) return;
    const bool parentStep = a.isSet() && a.Step == 1;
    if (!report.Refused.empty()) return end(i, TBatchOutcome::Refused, QString::fromStdString(report.Refused));
    a.Undo << folder;
    a.Result.Renamed += report.movedCount();
    if (report.anyFailure() && a.Failure.isEmpty())
        a.Failure = (a.isSet() && !parentStep ? tr("disc %1: ").arg(a.Step - 1) : QString()) +
                    QString::fromStdString(RenameSummaryText(report));
    if (report.Cover == TRenameReport::TStep::Kept)
        a.Note = tr("kept the existing \"%1\"").arg(QString::fromUtf8(CoverFileName));
    if (parentStep) a.Parent = WithSlash(folder);
    if (WithSlash(folder) != a.Found.Folder && (parentStep || !a.isSet())) a.Result.FolderAfter = WithSlash(folder);
    renameStep(i);
}

void TAlbumBatch::end(int i, TBatchOutcome outcome, const QString& reason)
{
    TAlbum& a = *m_albums[size_t(i)];
    if (a.At == TAlbum::Stage::Done) return;
    a.At = TAlbum::Stage::Done;
    a.Result.Outcome = outcome;
    a.Result.Reason = reason;
    // The workflows may be inside their own signals now.
    for (TAlbumWorkflow* w : a.Flows) w->deleteLater();
    a.Flows.clear();
    // Reported in album order: this one and every later one that is over already.
    for (const std::unique_ptr<TAlbum>& next : m_albums) {
        if (next->Reported) continue;
        if (next->At != TAlbum::Stage::Done) break;
        next->Reported = true;
        m_reported << next->Result;
        emit albumFinished(next->Result);
    }
    QMetaObject::invokeMethod(this, &TAlbumBatch::pump, Qt::QueuedConnection);
}

TBatchUndoReport TAlbumBatch::undo()
{
    TBatchUndoReport report;
    if (m_running) return report;
    const std::string journals = TRenameJournal::defaultDirectory();
    for (auto it = m_albums.rbegin(); it != m_albums.rend(); ++it) {
        TAlbum& a = **it;
        // The discs of a set before its folder: the reverse of the order the runs were made in.
        for (qsizetype k = a.Undo.size(); k-- > 0;) {
            bool found = false;
            const TUndoReport undone = UndoLastRun(journals, bytesOf(a.Undo[k]), false, found);
            if (!found) continue;
            ++report.Albums;
            report.MovedBack += undone.MovedBack;
            report.LeftAlone += undone.LeftAlone;
            if (!undone.Refused.empty()) ++report.Refused;
            report.Lines << a.Undo[k] + ":";
            for (const std::string& line : undone.Lines) report.Lines << "  " + shown(line);
        }
        a.Undo.clear();
    }
    return report;
}

} // namespace cantorix
