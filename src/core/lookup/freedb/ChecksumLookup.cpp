#include "core/lookup/freedb/ChecksumLookup.h"

#include <QMetaObject>

#include <algorithm>

namespace cantorix {

const QString TChecksumLookup::TimeoutCaption = "Connection timed out!";
const QString TChecksumLookup::TimeoutText =
    "It seems that you have problems connecting to the freedb.\r\nCheck your connection and try to use a "
    "different freedb server - \r\nyou can change it from the Cantorix options.";

namespace {

// Whether a status of the client ends the lookup without an entry. Other failures the server reports
// (403, 409, 402, 530 ...) only go to the log: the window stays locked until the time limit, whose
// message then suggests another server. A command the server rejects outright (500) cannot succeed.
bool endsLookup(const TCddbStatus& status)
{
    switch (status.Kind) {
    case TCddbStatusKind::NoMatch:
    case TCddbStatusKind::NotFound:
    case TCddbStatusKind::CorruptEntry:
    case TCddbStatusKind::RequestFailed: return true;
    case TCddbStatusKind::ServerError: return status.Code == 500;
    case TCddbStatusKind::Progress:
    case TCddbStatusKind::EntryRead: break;
    }
    return false;
}

TLookupOutcome outcomeOf(TLookupOutcome::Kind kind, const QString& reason, const TCddbStatus& status = {})
{
    TLookupOutcome outcome;
    outcome.kind = kind;
    outcome.reason = reason;
    outcome.code = status.Code;
    return outcome;
}

} // namespace

TChecksumLookup::TChecksumLookup(std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), m_cddb(std::make_unique<TCddb>(std::move(http)))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TChecksumLookup::ConnectionTimerTimer);
    m_cddb->OnStatusMessage = [this](TCddb&, const QString& text) { CddbStatusMessage(text); };
    m_cddb->OnDataExchange = [this](TCddb&, const QString& line) { CddbDataExchange(line); };
    m_cddb->OnMatch = [this](TCddb&, const TMatchArray& matches, int& rightOne) { CddbMatch(matches, rightOne); };
}

TChecksumLookup::~TChecksumLookup()
{
    // The client's handlers point here; nothing may reach them while the members go.
    m_cddb->Abort();
    m_cddb->OnStatusMessage = nullptr;
    m_cddb->OnDataExchange = nullptr;
    m_cddb->OnMatch = nullptr;
}

void ApplyLookupConfig(TCddb& cddb, const TLookupConfig& config)
{
    cddb.SetServer(config.Server);
    cddb.EmailUser = config.Email;
    cddb.SetProxyAddress(config.Proxy.Address);
    cddb.SetProxyPort(config.Proxy.Port);
    cddb.SetProxyUsername(config.Proxy.Username);
    cddb.SetProxyPassword(config.Proxy.Password);
}

void TChecksumLookup::start(const QStringList& trackDurations, const QString& folder, const TLookupConfig& config)
{
    abandon();
    ++m_lookup;
    m_active = true;
    m_ended.reset();
    m_folder = WithSlash(folder);
    m_currentFolder = m_folder;
    m_hideData = config.HideData;

    emit lockControls();
    m_timeoutSeconds = ClampTimeoutSeconds(config.TimeoutSeconds);
    startTimer();

    ApplyLookupConfig(*m_cddb, config);

    m_discId = TCDDBDiscID();
    m_discId.BuildTrackTable(trackDurations);
    m_discId.CalcDiscID();
    m_readPending = true;
    m_choosing = false;
    m_timedOut = false;
    m_lateReplyLogged = false;
    if (!config.Note.isEmpty()) emit logLine(config.Note);
    m_cddb->QueryDisc(m_discId); // a refused request shows up as a status
}

void TChecksumLookup::setCurrentFolder(const QString& folder)
{
    m_currentFolder = WithSlash(folder);
}

void TChecksumLookup::abandon()
{
    ++m_lookup;
    m_active = false;
    m_choosing = false;
    m_readPending = false;
    m_timer.stop();
    m_cddb->Abort();
}

bool TChecksumLookup::isStale() const
{
    return m_folder != m_currentFolder;
}

void TChecksumLookup::startTimer()
{
    m_timer.start(m_timeoutSeconds * 1000);
}

void TChecksumLookup::unlock()
{
    emit unlockControls();
}

QString TChecksumLookup::timeoutMessage() const
{
    return QString("No answer from %1 within %2 seconds.\r\n").arg(m_cddb->ServerUrl()).arg(m_timeoutSeconds) +
           TimeoutText;
}

bool TChecksumLookup::lateReply()
{
    if (!m_timedOut) return false;
    // The lookup has ended; whatever the server still says is dropped, with one line to say so.
    if (!m_lateReplyLogged) {
        m_lateReplyLogged = true;
        emit logLine(QString("A late reply from %1 was ignored").arg(m_cddb->ServerUrl()));
    }
    m_cddb->Abort();
    return true;
}

void TChecksumLookup::finish(TLookupOutcome outcome, const TCddbStatus& status)
{
    if (!m_active || m_ended) return;
    m_endStatus = status;
    m_ended = outcome.kind;
    outcome.folder = m_folder;
    emit finished(outcome);
}

void TChecksumLookup::CddbStatusMessage(const QString& text)
{
    if (!m_active || lateReply()) return;
    // A copy: the handlers of logLine may start another request.
    const TCddbStatus status = m_cddb->LastStatus();
    emit logLine(text);
    if (status.Kind == TCddbStatusKind::EntryRead) {
        // Delivered once the whole reply is handled: the client checks the entry after its last line,
        // and a corrupt entry must end the lookup as a failure, not fill the window.
        QMetaObject::invokeMethod(this, [this, status, lookup = m_lookup] {
            if (lookup == m_lookup && m_active && !m_ended) readEntryIntoResult(status);
        }, Qt::QueuedConnection);
        return;
    }
    if (endsLookup(status)) {
        m_timer.stop();
        if (isStale()) return;
        unlock();
        const bool none = status.Kind == TCddbStatusKind::NoMatch;
        finish(outcomeOf(none ? TLookupOutcome::Kind::NoMatch : TLookupOutcome::Kind::Failed, text, status), status);
    }
}

void TChecksumLookup::CddbDataExchange(const QString& line)
{
    if (!m_active || lateReply() || m_hideData) return;
    // The request URL comes with its line end; a log line has none.
    QString text = line;
    while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
    emit logLine("[DE] " + text);
}

void TChecksumLookup::CddbMatch(const TMatchArray& matches, int& rightOne)
{
    m_timer.stop();
    rightOne = 0;
    if (!m_active) return;
    if (lateReply()) {
        rightOne = -1;
        return;
    }
    if (isStale()) {
        // Nobody is waiting for this choice any more.
        emit logLine(QString("Matches for \"%1\" ignored: another folder is listed").arg(m_folder));
        rightOne = -1;
        return;
    }
    if (m_cddb->MatchesOffered() > TCddb::MaxMatches)
        emit logLine(QString("Showing the first %1 of %2 matches").arg(TCddb::MaxMatches).arg(m_cddb->MatchesOffered()));
    if (!matches[1].isEmpty()) {
        QStringList lines;
        for (const QString& m : matches) {
            if (m.isEmpty()) break;
            lines << m;
        }
        m_choosing = true;
        rightOne = TCddb::ChoiceLater;
        emit matchChoiceNeeded(lines);
        return;
    }
    // One match: the read gets a fresh time limit and starts once the client has stored the choice.
    startTimer();
    if (m_readPending) {
        m_readPending = false;
        QMetaObject::invokeMethod(this, [this, lookup = m_lookup] { WMRead(lookup); }, Qt::QueuedConnection);
    }
}

void TChecksumLookup::chooseMatch(int index)
{
    if (!m_choosing) return;
    m_choosing = false;
    if (!m_cddb->ChooseMatch(index)) {
        unlock();
        finish(outcomeOf(TLookupOutcome::Kind::Cancelled, "No match chosen"));
        return;
    }
    startTimer();
    if (m_readPending) {
        m_readPending = false;
        QMetaObject::invokeMethod(this, [this, lookup = m_lookup] { WMRead(lookup); }, Qt::QueuedConnection);
    }
}

void TChecksumLookup::cancelMatchChoice()
{
    if (!m_choosing) return;
    m_choosing = false;
    unlock();
    finish(outcomeOf(TLookupOutcome::Kind::Cancelled, "Match choice cancelled"));
}

void TChecksumLookup::WMRead(quint64 lookup)
{
    if (lookup != m_lookup || !m_active) return;
    TCddb::TState state = m_cddb->State();
    if (state == TCddb::TState::MatchChosen || state == TCddb::TState::MatchesReceived) m_cddb->ReadEntry();
}

void TChecksumLookup::readEntryIntoResult(const TCddbStatus& status)
{
    if (isStale()) {
        emit logLine(QString("Entry for \"%1\" ignored: another folder is listed").arg(m_folder));
        return;
    }
    TLookupOutcome outcome = outcomeOf(TLookupOutcome::Kind::EntryRead, status.Text, status);
    outcome.record = ReadChecksumEntry(m_cddb->EntryLines());
    m_timer.stop();
    if (IsUntitledEntry(outcome.record)) {
        // Neither an album nor a track title: renaming by it would name every file "- - -".
        const QString corrupt = "The entry is corrupt";
        emit logLine(corrupt);
        unlock();
        finish(outcomeOf(TLookupOutcome::Kind::Failed, corrupt), {TCddbStatusKind::CorruptEntry, 0, corrupt});
        return;
    }
    emit entryRead(outcome.record, m_folder);
    unlock();
    finish(std::move(outcome), status);
}

void TChecksumLookup::ConnectionTimerTimer()
{
    m_timer.stop();
    if (!m_active || m_ended) return;
    // The lookup ends here; a reply that still comes is dropped (lateReply).
    m_timedOut = true;
    emit timedOut();
    unlock();
    finish(outcomeOf(TLookupOutcome::Kind::TimedOut, TimeoutCaption));
}

} // namespace cantorix
