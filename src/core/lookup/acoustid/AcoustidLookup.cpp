#include "core/lookup/acoustid/AcoustidLookup.h"

#include "core/Text.h"

#include <QDir>
#include <QLocale>
#include <QTimer>

namespace cantorix {

TAcoustidLookup::TAcoustidLookup(const TAcoustidConfig& config, const TFingerprintConfig& prints,
                                 std::unique_ptr<TReleaseReader> reader, std::unique_ptr<THttpClient> http,
                                 QObject* parent)
    : TLookupSource(parent), m_config(config), m_prints(prints), m_reader(std::move(reader)), m_client(std::move(http))
{
    connect(&m_client, &TAcoustidClient::logLine, this, &TLookupSource::logLine);
    connect(&m_fingerprinter, &TFingerprinter::progress, this, [this](int done, int total) {
        if (running()) emit filesDone(done, total);
    });
    connect(&m_fingerprinter, &TFingerprinter::finished, this, &TAcoustidLookup::fingerprinted);
    if (m_reader) {
        connect(m_reader.get(), &TReleaseReader::logLine, this, [this](const QString& line) {
            if (running()) emit logLine(line);
        });
        connect(m_reader.get(), &TReleaseReader::progress, this, [this](qint64 received, qint64 total) {
            if (running()) emit progress(received, total);
        });
        connect(m_reader.get(), &TReleaseReader::finished, this, &TAcoustidLookup::releaseRead);
    }
}

TAcoustidLookup::~TAcoustidLookup()
{
    abandon();
}

TLookupOutcome TAcoustidLookup::outcomeOf(TLookupOutcome::Kind kind, const QString& reason, int code) const
{
    TLookupOutcome outcome;
    outcome.kind = kind;
    outcome.reason = reason;
    outcome.code = code;
    outcome.folder = m_folder;
    return outcome;
}

void TAcoustidLookup::finish(TLookupOutcome outcome)
{
    if (!m_active || m_ended) return;
    m_ended = true;
    m_choosing = false;
    m_fingerprinter.cancel();
    m_client.abort();
    if (m_reader) m_reader->cancel();
    emit finished(outcome);
}

bool TAcoustidLookup::start(const TLookupRequest& request)
{
    abandon();
    ++m_lookup;
    m_active = true;
    m_ended = false;
    m_choosing = false;
    m_folder = request.Folder;
    m_names = request.FileNames;
    m_fingerprints.clear();
    m_results.clear();
    m_candidates.clear();
    m_chosen = -1;
    m_next = 0;
    m_client.setConfig(m_config);
    const quint64 lookup = m_lookup;
    QString refusal;
    if (m_config.ClientKey.trimmed().isEmpty()) refusal = AidNoKeyText();
    else if (AidServerBase(m_config.Server).isEmpty())
        refusal = tr("The AcoustID server address is not usable: %1").arg(m_config.Server);
    else if (m_names.isEmpty()) refusal = tr("No files to fingerprint");
    else if (!m_reader) refusal = tr("No MusicBrainz reader for the release");
    if (!refusal.isEmpty()) {
        // Every end comes from the event loop.
        QTimer::singleShot(0, this, [this, lookup, refusal] {
            if (lookup != m_lookup || !running()) return;
            emit logLine(refusal);
            finish(outcomeOf(TLookupOutcome::Kind::Failed, refusal));
        });
        return true;
    }
    QStringList paths;
    const QDir folder(m_folder);
    for (const QString& name : std::as_const(m_names)) paths << folder.absoluteFilePath(name);
    emit stepChanged(TLookupStep::Fingerprinting);
    m_fingerprinter.setConfig(m_prints);
    m_fingerprinter.start(paths);
    return true;
}

void TAcoustidLookup::fingerprinted(const QList<TFingerprint>& prints, const QString& failure)
{
    if (!running()) return;
    m_fingerprints = prints;
    if (!failure.isEmpty()) {
        emit logLine(failure);
        finish(outcomeOf(TLookupOutcome::Kind::Failed, failure));
        return;
    }
    int cached = 0, good = 0;
    for (int i = 0; i < prints.size(); ++i) {
        if (prints[i].Cached) ++cached;
        if (prints[i].ok()) ++good;
        else emit logLine(tr("%1: %2").arg(m_names.value(i), prints[i].Error));
    }
    emit logLine(tr("%1 of %2 files fingerprinted (%3 kept from before)")
                     .arg(QLocale().toString(good), QLocale().toString(qsizetype(prints.size())), QLocale().toString(cached)));
    if (good == 0) {
        const QString reason = tr("No file could be fingerprinted");
        finish(outcomeOf(TLookupOutcome::Kind::Failed, reason));
        return;
    }
    m_results = QList<QList<TAidResult>>(prints.size());
    emit stepChanged(TLookupStep::Connecting);
    lookupNext();
}

void TAcoustidLookup::lookupNext()
{
    while (m_next < m_fingerprints.size() && !m_fingerprints[m_next].ok()) ++m_next;
    if (m_next >= m_fingerprints.size()) {
        vote();
        return;
    }
    const TFingerprint& print = m_fingerprints[m_next];
    const quint64 lookup = m_lookup;
    m_client.lookup(print.DurationS, print.Fingerprint, [this, lookup](const TAcoustidClient::TResult& r) {
        if (lookup == m_lookup && running()) looked(r);
    });
}

void TAcoustidLookup::looked(const TAcoustidClient::TResult& result)
{
    using Kind = TAcoustidClient::TResult::Kind;
    if (m_next == 0 || result.kind != Kind::Failed) emit stepChanged(TLookupStep::Searching);
    if (result.kind == Kind::TimedOut) {
        TLookupOutcome outcome = outcomeOf(TLookupOutcome::Kind::TimedOut, result.Reason);
        outcome.message = tr("No answer from %1 within %2 seconds.\nCheck your connection, or try again later.")
                              .arg(AidServerBase(m_config.Server))
                              .arg(m_config.timeoutSeconds());
        emit logLine(result.Reason);
        finish(outcome);
        return;
    }
    if (result.kind == Kind::Failed) {
        // Whatever went wrong (the key, the service, a reply that is no reply) goes wrong for every file.
        emit logLine(result.Reason);
        finish(outcomeOf(TLookupOutcome::Kind::Failed, result.Reason, result.Status));
        return;
    }
    m_results[m_next] = result.Results;
    if (result.Results.isEmpty()) emit logLine(tr("%1: no recording matches its fingerprint").arg(m_names.value(m_next)));
    ++m_next;
    lookupNext();
}

void TAcoustidLookup::vote()
{
    m_candidates = VoteAlbum(m_results);
    if (m_candidates.isEmpty()) {
        const QString reason = tr("No fingerprint matched a release");
        emit logLine(reason);
        finish(outcomeOf(TLookupOutcome::Kind::NoMatch, reason));
        return;
    }
    emit logLine(tr("%1 matching release media found").arg(QLocale().toString(qsizetype(m_candidates.size()))));
    m_choosing = true;
    QStringList lines;
    for (const TAidCandidate& c : std::as_const(m_candidates)) lines << AidCandidateLine(c);
    emit candidatesFound(lines, 0);
}

QList<TCandidateFit> TAcoustidLookup::candidateFits() const
{
    // The vote is clear when its first candidate places every file with good scores and ranks above the
    // second by the vote's own order; a tie (the same recordings on two editions) is for a person. The
    // measure is put as the per-track difference a choice without a person weighs: none for the clear
    // winner, far for the rest, unknown for all when nothing is clear.
    QList<TCandidateFit> fits(m_candidates.size());
    if (m_candidates.isEmpty()) return fits;
    const TAidCandidate& best = m_candidates[0];
    const int files = int(best.Files.size());
    bool clear = best.Placed == files && files > 0 && best.ScoreSum / files >= ClearMeanScore;
    if (clear && m_candidates.size() > 1) {
        const TAidCandidate& next = m_candidates[1];
        clear = next.Placed != best.Placed || next.ScoreSum != best.ScoreSum ||
            AidTypeRank(next.Type, next.SecondaryTypes) != AidTypeRank(best.Type, best.SecondaryTypes) ||
            (next.MediumTracks == files) != (best.MediumTracks == files);
    }
    if (!clear) return fits;
    for (qsizetype k = 0; k < fits.size(); ++k) {
        fits[k].Exact = k == 0;
        fits[k].DeltaMs = k == 0 ? 0 : 86400000;
    }
    return fits;
}

void TAcoustidLookup::choose(int index)
{
    if (!m_choosing || !running()) return;
    m_choosing = false;
    if (index < 0 || index >= m_candidates.size()) {
        finish(outcomeOf(TLookupOutcome::Kind::Cancelled, tr("No match chosen")));
        return;
    }
    m_chosen = index;
    const TAidCandidate& c = m_candidates[index];
    emit candidateChosen(c.Artist, c.Title);
    emit stepChanged(TLookupStep::Reading);
    m_reader->read(c.ReleaseId, c.Medium);
}

QString TAcoustidLookup::unmatchedReason(int file) const
{
    if (file < m_fingerprints.size() && !m_fingerprints[file].ok()) return m_fingerprints[file].Error;
    if (file < m_results.size() && m_results[file].isEmpty()) return tr("No recording matches its fingerprint");
    return tr("Its recording is on no track of this release");
}

void TAcoustidLookup::releaseRead(const TLookupOutcome& read)
{
    if (!running() || m_chosen < 0) return;
    if (read.kind != TLookupOutcome::Kind::EntryRead) {
        TLookupOutcome outcome = read;
        outcome.folder = m_folder;
        finish(outcome);
        return;
    }
    const TAidCandidate& c = m_candidates[m_chosen];
    TLookupOutcome outcome = outcomeOf(TLookupOutcome::Kind::EntryRead, tr("Release read"), 200);
    outcome.record = read.record;
    outcome.record.Titles.clear();
    int placed = 0;
    for (int f = 0; f < c.Files.size(); ++f) {
        const TAidPlacement& p = c.Files[f];
        TrackTitle title;
        if (p.Track > 0 && p.Track <= read.record.Titles.size()) {
            title = read.record.Titles[p.Track - 1];
            title.AcoustId = p.AcoustId;
            ++placed;
        } else {
            title.Unmatched = p.Track > 0 ? tr("Track %1 is not on the release read").arg(p.Track) : unmatchedReason(f);
            emit logLine(tr("%1: not renamed: %2").arg(m_names.value(f), title.Unmatched));
        }
        outcome.record.Titles << title;
    }
    if (placed == 0) {
        const QString reason = tr("No file matched a track of the release read");
        emit logLine(reason);
        finish(outcomeOf(TLookupOutcome::Kind::NoMatch, reason));
        return;
    }
    outcome.reason = tr("Release read: %1 of %2 files matched")
                         .arg(QLocale().toString(placed), QLocale().toString(qsizetype(c.Files.size())));
    finish(outcome);
}

void TAcoustidLookup::cancel()
{
    if (!running()) return;
    finish(outcomeOf(TLookupOutcome::Kind::Cancelled, tr("Lookup cancelled")));
}

void TAcoustidLookup::abandon()
{
    ++m_lookup;
    m_active = false;
    m_choosing = false;
    m_fingerprinter.cancel();
    m_client.abort();
    if (m_reader) m_reader->cancel();
}

} // namespace cantorix
