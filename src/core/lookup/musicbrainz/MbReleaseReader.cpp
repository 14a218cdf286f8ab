#include "core/lookup/musicbrainz/MbReleaseReader.h"

#include "core/lookup/musicbrainz/MusicBrainzLookup.h"
#include "core/lookup/musicbrainz/ReleaseMatch.h"
#include "core/lookup/musicbrainz/ReleaseReply.h"

#include <QTimer>

namespace cantorix {

TMbReleaseReader::TMbReleaseReader(const TMusicBrainzConfig& config, std::unique_ptr<THttpClient> http, QObject* parent)
    : TReleaseReader(parent), m_config(config), m_client(std::move(http))
{
    m_client.setConfig(config);
    connect(&m_client, &TMbClient::logLine, this, &TReleaseReader::logLine);
    connect(&m_client, &TMbClient::progress, this, &TReleaseReader::progress);
}

void TMbReleaseReader::read(const QString& releaseId, int mediumPosition)
{
    cancel();
    m_releaseId = releaseId;
    m_medium = mediumPosition;
    const QString base = MbServerBase(m_config.Server);
    if (base.isEmpty() || !IsMbid(releaseId)) {
        const quint64 serial = m_serial;
        const QString reason = base.isEmpty() ? tr("The MusicBrainz server address is not usable: %1").arg(m_config.Server)
                                              : tr("No MusicBrainz release ID: %1").arg(releaseId);
        QTimer::singleShot(0, this, [this, serial, reason] {
            if (serial == m_serial) fail(TLookupOutcome::Kind::Failed, reason);
        });
        return;
    }
    const quint64 serial = m_serial;
    m_client.get(MbReleaseUrl(base, releaseId), true, TMusicBrainzLookup::MaxReplyBytes,
                 [this, serial](const TMbClient::TResult& r) {
                     if (serial == m_serial) reply(r);
                 });
}

void TMbReleaseReader::cancel()
{
    ++m_serial;
    m_client.abort();
}

void TMbReleaseReader::fail(TLookupOutcome::Kind kind, const QString& reason, int code)
{
    ++m_serial;
    TLookupOutcome outcome;
    outcome.kind = kind;
    outcome.reason = reason;
    outcome.code = code;
    emit logLine(reason);
    emit finished(outcome);
}

void TMbReleaseReader::reply(const TMbClient::TResult& result)
{
    using Kind = TMbClient::TResult::Kind;
    if (result.kind == Kind::TimedOut) {
        fail(TLookupOutcome::Kind::TimedOut, result.Reason);
        return;
    }
    if (result.kind != Kind::Answered) {
        fail(TLookupOutcome::Kind::Failed, result.Reason, result.Status);
        return;
    }
    if (result.Status != 200) {
        const QString words = ServiceErrorText(result.Body);
        fail(TLookupOutcome::Kind::Failed, words.isEmpty() ? result.Reason : result.Reason + ": " + words, result.Status);
        return;
    }
    TMbRelease release;
    QString why;
    if (!ParseReleaseReply(result.Body, &release, &why) || release.Id != m_releaseId) {
        if (why.isEmpty()) why = tr("another release came");
        fail(TLookupOutcome::Kind::Failed, tr("Invalid reply from MusicBrainz: %1").arg(why), result.Status);
        return;
    }
    int medium = -1;
    for (qsizetype i = 0; i < release.Media.size(); ++i)
        if (release.Media[i].Position == m_medium) medium = int(i);
    if (medium < 0 || release.Media[medium].Tracks.isEmpty()) {
        fail(TLookupOutcome::Kind::Failed, tr("The release has no medium %1 with tracks").arg(m_medium), result.Status);
        return;
    }
    ++m_serial;
    TLookupOutcome outcome;
    outcome.kind = TLookupOutcome::Kind::EntryRead;
    outcome.reason = tr("Release read");
    outcome.code = 200;
    outcome.record = RecordFromRelease(release, medium);
    emit logLine(tr("Release read: %1").arg(release.Id));
    emit finished(outcome);
}

} // namespace cantorix
