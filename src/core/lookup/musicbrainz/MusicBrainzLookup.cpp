#include "core/lookup/musicbrainz/MusicBrainzLookup.h"

#include "core/Text.h"

#include <QMetaObject>
#include <QUrl>

namespace cantorix {

QString LuceneEscape(const QString& text)
{
    static const QString special = QStringLiteral("+-&|!(){}[]^\"~*?:\\/");
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        if (special.contains(c)) out += '\\';
        out += c;
    }
    return out;
}

QString MbSearchQuery(const QString& artist, const QString& album)
{
    QStringList terms;
    const QString a = album.simplified(), b = artist.simplified();
    if (!a.isEmpty()) terms << "release:\"" + LuceneEscape(a) + "\"";
    if (!b.isEmpty()) terms << "artist:\"" + LuceneEscape(b) + "\"";
    return terms.join(" AND ");
}

QString MbDiscIdUrl(const QString& base, const TMbDisc& disc)
{
    // The TOC travels with the ID, so that an ID the service does not know still finds releases
    // whose lengths come near.
    QString toc = disc.Toc;
    toc.replace(' ', '+');
    return base + "/ws/2/discid/" + QString::fromLatin1(QUrl::toPercentEncoding(disc.Id)) + "?toc=" + toc +
           "&cdstubs=no&inc=artist-credits+recordings+release-groups+genres&fmt=json";
}

QString MbSearchUrl(const QString& base, const QString& artist, const QString& album)
{
    return base + "/ws/2/release?query=" + QString::fromLatin1(QUrl::toPercentEncoding(MbSearchQuery(artist, album))) +
           "&fmt=json&limit=" + QString::number(TMusicBrainzLookup::SearchLimit);
}

QString MbReleaseUrl(const QString& base, const QString& releaseId)
{
    return base + "/ws/2/release/" + releaseId + "?inc=recordings+artist-credits+release-groups+genres&fmt=json";
}

TMusicBrainzLookup::TMusicBrainzLookup(Mode mode, const TMusicBrainzConfig& config, std::unique_ptr<THttpClient> http,
                                       QObject* parent)
    : TLookupSource(parent), m_mode(mode), m_config(config), m_client(std::move(http))
{
    connect(&m_client, &TMbClient::logLine, this, [this](const QString& line) {
        if (m_active && !m_ended) emit logLine(line);
    });
    connect(&m_client, &TMbClient::progress, this, [this](qint64 received, qint64 total) {
        if (m_active && !m_ended) emit progress(received, total);
    });
    connect(&m_client, &TMbClient::requestSent, this, [this](const QString& url) {
        if (!m_active || m_ended) return;
        if (!m_config.HideData) emit logLine("[DE] GET " + url);
        if (!m_sentOnce) {
            m_sentOnce = true;
            emit stepChanged(TLookupStep::Searching);
        }
    });
}

TMusicBrainzLookup::~TMusicBrainzLookup()
{
    abandon();
}

bool TMusicBrainzLookup::start(const TLookupRequest& request)
{
    abandon();
    ++m_lookup;
    m_folder = WithSlash(request.Folder);
    m_lengths = request.Lengths;
    m_discs = m_mode == Mode::Disc && request.Discs.size() > 1 ? request.Discs : QList<QList<TTrackLength>>();
    if (!m_discs.isEmpty()) m_lengths = m_discs.first();
    m_candidates.clear();
    m_disc = TMbDisc();
    m_ended = false;
    m_choosing = false;
    m_sentOnce = false;

    m_base = MbServerBase(m_config.Server);
    if (m_base.isEmpty()) {
        emit logLine(tr("Invalid MusicBrainz server address \"%1\"").arg(m_config.Server));
        return false;
    }
    QString url;
    if (m_mode == Mode::Disc) {
        QString why;
        if (!MbDiscFromLengths(m_lengths, &m_disc, &why)) {
            emit logLine(tr("No MusicBrainz lookup: %1").arg(why));
            return false;
        }
        url = MbDiscIdUrl(m_base, m_disc);
    } else {
        if (request.Artist.simplified().isEmpty() && request.Album.simplified().isEmpty()) {
            emit logLine(tr("Nothing to search for: enter the artist or the album"));
            return false;
        }
        url = MbSearchUrl(m_base, request.Artist, request.Album);
    }

    m_client.setConfig(m_config);
    m_active = true;
    if (!m_config.Note.isEmpty()) emit logLine(m_config.Note);
    if (m_mode == Mode::Disc)
        emit logLine(m_disc.Exact ? tr("MusicBrainz disc ID %1, exact (from the sample counts of a CD rip)").arg(m_disc.Id)
                                  : tr("MusicBrainz disc ID %1, from the playing times: releases are matched by their track lengths")
                                        .arg(m_disc.Id));
    emit stepChanged(TLookupStep::Connecting);
    m_client.get(url, true, MaxReplyBytes, [this](const TMbClient::TResult& r) { candidatesReply(r); });
    return true;
}

QList<TCandidateFit> TMusicBrainzLookup::candidateFits() const
{
    QList<TCandidateFit> fits;
    for (const TMbCandidate& c : m_candidates) fits << TCandidateFit{c.DeltaMs, c.DiscIdMatch};
    return fits;
}

void TMusicBrainzLookup::abandon()
{
    ++m_lookup;
    m_active = false;
    m_choosing = false;
    m_client.abort();
}

void TMusicBrainzLookup::cancel()
{
    if (!running()) return;
    // Nothing the service still says matters: the request goes, and the lookup ends here.
    m_client.abort();
    m_choosing = false;
    finish(outcomeOf(TLookupOutcome::Kind::Cancelled, tr("The lookup was cancelled")));
}

TLookupOutcome TMusicBrainzLookup::outcomeOf(TLookupOutcome::Kind kind, const QString& reason, int code) const
{
    TLookupOutcome outcome;
    outcome.kind = kind;
    outcome.reason = reason;
    outcome.code = code;
    outcome.folder = m_folder;
    outcome.needsPairing = m_mode == Mode::Search;
    return outcome;
}

void TMusicBrainzLookup::finish(TLookupOutcome outcome)
{
    if (!m_active || m_ended) return;
    m_ended = true;
    m_choosing = false;
    emit finished(outcome);
}

bool TMusicBrainzLookup::endedBadly(const TMbClient::TResult& result)
{
    using Kind = TMbClient::TResult::Kind;
    if (result.kind == Kind::Answered) return false;
    if (result.kind == Kind::TimedOut) {
        TLookupOutcome outcome = outcomeOf(TLookupOutcome::Kind::TimedOut, result.Reason);
        outcome.message = tr("No answer from %1 within %2 seconds.\nCheck your connection, or try again later "
                             "or with another MusicBrainz server in the options.")
                              .arg(m_base)
                              .arg(m_config.timeoutSeconds());
        emit logLine(result.Reason);
        finish(outcome);
        return true;
    }
    emit logLine(result.Reason);
    finish(outcomeOf(TLookupOutcome::Kind::Failed, result.Reason, result.Status));
    return true;
}

void TMusicBrainzLookup::candidatesReply(const TMbClient::TResult& result)
{
    if (!running() || endedBadly(result)) return;
    if (result.Status == 404) {
        emit logLine(tr("No match found"));
        finish(outcomeOf(TLookupOutcome::Kind::NoMatch, tr("No match found"), 404));
        return;
    }
    if (result.Status != 200) {
        failWithServiceReason(result);
        return;
    }
    QList<TMbRelease> releases;
    QString why;
    const bool parsed = m_mode == Mode::Disc ? ParseDiscIdReply(result.Body, &releases, &why)
                                             : ParseSearchReply(result.Body, &releases, &why);
    if (!parsed) {
        const QString reason = tr("Invalid reply from MusicBrainz: %1").arg(why);
        emit logLine(reason);
        finish(outcomeOf(TLookupOutcome::Kind::Failed, reason, result.Status));
        return;
    }
    m_candidates = !m_discs.isEmpty()       ? RankDiscSetCandidates(releases, m_discs, m_disc.Id)
                   : m_mode == Mode::Disc ? RankDiscCandidates(releases, m_lengths, m_disc.Id)
                                          : RankSearchCandidates(releases, int(m_lengths.size()));
    if (m_candidates.isEmpty()) {
        if (!releases.isEmpty() && !m_discs.isEmpty())
            emit logLine(tr("%1 releases found, none whose media match the %2 discs").arg(releases.size()).arg(m_discs.size()));
        else if (!releases.isEmpty())
            emit logLine(tr("%1 releases found, none with a medium of %2 tracks").arg(releases.size()).arg(m_lengths.size()));
        emit logLine(tr("No match found"));
        finish(outcomeOf(TLookupOutcome::Kind::NoMatch, tr("No match found"), result.Status));
        return;
    }
    emit logLine(tr("%1 matching releases found").arg(m_candidates.size()));
    m_choosing = true;
    if (m_mode == Mode::Disc && m_candidates.size() == 1 && m_candidates[0].DiscIdMatch) {
        choose(0);
        return;
    }
    QStringList lines;
    for (const TMbCandidate& c : std::as_const(m_candidates)) lines << CandidateLine(c);
    emit candidatesFound(lines, 0);
}

void TMusicBrainzLookup::choose(int index)
{
    if (!m_choosing || !running()) return;
    m_choosing = false;
    if (index < 0 || index >= m_candidates.size()) {
        finish(outcomeOf(TLookupOutcome::Kind::Cancelled, tr("No match chosen")));
        return;
    }
    const TMbCandidate& chosen = m_candidates[index];
    emit candidateChosen(chosen.Release.Artist, chosen.Release.Title);
    emit stepChanged(TLookupStep::Reading);
    const TMbMedium* medium = chosen.Medium >= 0 ? &chosen.Release.Media[chosen.Medium] : nullptr;
    bool complete = m_mode == Mode::Disc && medium && !medium->Tracks.isEmpty();
    if (complete && !m_discs.isEmpty()) {
        // Every medium of the set needs its tracks.
        const QList<int> order = MediaInPositionOrder(chosen.Release);
        for (qsizetype k = 0; k < m_discs.size(); ++k) complete = complete && !chosen.Release.Media[order[k]].Tracks.isEmpty();
    }
    if (complete) {
        // The disc reply had the tracks: the end still comes from the event loop, as every end does.
        QMetaObject::invokeMethod(this, [this, index, lookup = m_lookup] {
            if (lookup != m_lookup || !running()) return;
            deliver(m_candidates[index].Release, m_candidates[index].Medium);
        }, Qt::QueuedConnection);
        return;
    }
    m_client.get(MbReleaseUrl(m_base, chosen.Release.Id), true, MaxReplyBytes,
                 [this, index](const TMbClient::TResult& r) { releaseReply(r, index); });
}

void TMusicBrainzLookup::failWithServiceReason(const TMbClient::TResult& result)
{
    const QString words = ServiceErrorText(result.Body);
    const QString reason = words.isEmpty() ? result.Reason : result.Reason + ": " + words;
    emit logLine(reason);
    finish(outcomeOf(TLookupOutcome::Kind::Failed, reason, result.Status));
}

void TMusicBrainzLookup::releaseReply(const TMbClient::TResult& result, int index)
{
    if (!running() || endedBadly(result)) return;
    if (result.Status != 200) {
        failWithServiceReason(result);
        return;
    }
    TMbRelease release;
    QString why;
    if (!ParseReleaseReply(result.Body, &release, &why) || release.Id != m_candidates[index].Release.Id) {
        if (why.isEmpty()) why = tr("another release came");
        const QString reason = tr("Invalid reply from MusicBrainz: %1").arg(why);
        emit logLine(reason);
        finish(outcomeOf(TLookupOutcome::Kind::Failed, reason, result.Status));
        return;
    }
    if (!m_discs.isEmpty()) {
        if (!FitsDiscSet(release, m_discs, nullptr)) {
            const QString reason = tr("The release's media do not match the %1 discs").arg(m_discs.size());
            emit logLine(reason);
            finish(outcomeOf(TLookupOutcome::Kind::Failed, reason, result.Status));
            return;
        }
        deliver(release, MediaInPositionOrder(release).first());
        return;
    }
    const int files = int(m_lengths.size());
    int medium = ChooseMedium(release, m_lengths, m_disc.Id, nullptr);
    if (medium < 0 && m_mode == Mode::Search) medium = NearestMedium(release, files);
    if (medium < 0 || release.Media[medium].Tracks.isEmpty()) {
        const QString reason = tr("The release has no medium of %1 tracks").arg(files);
        emit logLine(reason);
        finish(outcomeOf(TLookupOutcome::Kind::Failed, reason, result.Status));
        return;
    }
    if (release.Media[medium].Tracks.size() != files)
        emit logLine(tr("No medium has %1 tracks: the titles of medium %2 (%3 tracks) are offered for pairing")
                         .arg(files)
                         .arg(release.Media[medium].Position)
                         .arg(release.Media[medium].Tracks.size()));
    deliver(release, medium);
}

void TMusicBrainzLookup::deliver(const TMbRelease& release, int medium)
{
    TLookupOutcome outcome = outcomeOf(TLookupOutcome::Kind::EntryRead, tr("Release read"), 200);
    outcome.record = m_discs.isEmpty() ? RecordFromRelease(release, medium)
                                       : RecordFromReleaseSet(release, int(m_discs.size()));
    emit logLine(tr("Release read: %1").arg(release.Id));
    finish(outcome);
}

} // namespace cantorix
