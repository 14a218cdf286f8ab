#include "core/lookup/freedb/ChecksumLookup.h"

#include "core/Text.h"

#include <QMetaObject>

#include <algorithm>

namespace cantorix {

QString TChecksumLookup::TimeoutCaption() { return tr("Connection timed out!"); }

QString TChecksumLookup::TimeoutText()
{
    return tr("It seems that you have problems connecting to the freedb.\r\nCheck your connection and try to use a "
              "different freedb server - \r\nyou can change it from the Cantorix options.");
}

namespace {

// Whether a status of the client ends the lookup without an entry. Every failure does, at once: the
// client has the whole reply when it says so, and no more is coming. The time limit is for a server
// that does not answer at all.
bool endsLookup(const TCddbStatus& status)
{
    switch (status.Kind) {
    case TCddbStatusKind::NoMatch:
    case TCddbStatusKind::NotFound:
    case TCddbStatusKind::CorruptEntry:
    case TCddbStatusKind::ServerError:
    case TCddbStatusKind::RequestFailed: return true;
    case TCddbStatusKind::Progress:
    case TCddbStatusKind::EntryRead: break;
    }
    return false;
}

TLookupOutcome outcomeOf(TLookupOutcome::Kind kind, const QString& reason, int code = 0)
{
    TLookupOutcome outcome;
    outcome.kind = kind;
    outcome.reason = reason;
    outcome.code = code;
    return outcome;
}

} // namespace

TChecksumLookup::TChecksumLookup(std::unique_ptr<THttpClient> http, QObject* parent)
    : TLookupSource(parent), m_cddb(std::make_unique<TCddb>(std::move(http)))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TChecksumLookup::timeLimitReached);
    m_cddb->OnStatusMessage = [this](TCddb&, const QString& text) { cddbStatusMessage(text); };
    m_cddb->OnDataExchange = [this](TCddb&, const QString& line) { cddbDataExchange(line); };
    m_cddb->OnMatch = [this](TCddb&, const TMatchArray& matches, int& rightOne) { cddbMatch(matches, rightOne); };
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

bool TChecksumLookup::start(const TLookupRequest& request)
{
    abandon();
    ++m_lookup;
    m_active = true;
    m_starting = true;
    m_ended.reset();
    m_endStatus = {};
    m_folder = WithSlash(request.Folder);
    m_timeoutSeconds = m_config.timeoutSeconds();
    startTimer();

    ApplyLookupConfig(*m_cddb, m_config);

    QList<int> seconds;
    seconds.reserve(request.Lengths.size());
    for (const TTrackLength& length : request.Lengths) seconds << length.Seconds;
    m_discId = TCDDBDiscID::FromSeconds(seconds);
    m_readPending = true;
    m_choosing = false;
    m_confirmInexact = request.ConfirmInexact;
    m_fits.clear();
    m_over = false;
    m_lateReplyLogged = false;
    if (!m_config.Note.isEmpty()) emit logLine(m_config.Note);
    emit stepChanged(TLookupStep::Searching);
    m_cddb->QueryDisc(m_discId); // a refused request shows up as a status
    m_starting = false;
    return true;
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

void TChecksumLookup::cancel()
{
    if (!running()) return;
    // Nothing the server still says matters: the request goes, and the lookup ends here.
    m_cddb->Abort();
    m_choosing = false;
    m_readPending = false;
    finish(outcomeOf(TLookupOutcome::Kind::Cancelled, tr("The lookup was cancelled")));
}

void TChecksumLookup::startTimer()
{
    m_timer.start(m_timeoutSeconds * 1000);
}

QString TChecksumLookup::timeoutMessage() const
{
    return tr("No answer from %1 within %2 seconds.\r\n").arg(m_cddb->ServerUrl()).arg(m_timeoutSeconds) +
        TimeoutText();
}

bool TChecksumLookup::lateReply()
{
    if (!m_over) return false;
    // The lookup has ended; whatever the server still says is dropped, with one line to say so.
    if (!m_lateReplyLogged) {
        m_lateReplyLogged = true;
        emit logLine(tr("A late reply from %1 was ignored").arg(m_cddb->ServerUrl()));
    }
    m_cddb->Abort();
    return true;
}

void TChecksumLookup::finish(TLookupOutcome outcome, const TCddbStatus& status)
{
    if (!m_active || m_ended) return;
    m_ended = outcome.kind;
    m_endStatus = status;
    m_timer.stop();
    outcome.folder = m_folder;
    if (m_starting) {
        // A request refused at once: the end still comes from the event loop, as every end does.
        QMetaObject::invokeMethod(this, [this, outcome, lookup = m_lookup] {
            if (lookup == m_lookup && m_active) emit finished(outcome);
        }, Qt::QueuedConnection);
        return;
    }
    emit finished(outcome);
}

void TChecksumLookup::cddbStatusMessage(const QString& text)
{
    if (!m_active || lateReply() || m_ended) return;
    // A copy: the handlers of logLine may start another request.
    const TCddbStatus status = m_cddb->LastStatus();
    emit logLine(text);
    if (status.Kind == TCddbStatusKind::EntryRead) {
        // Delivered once the whole reply is handled: the client checks the entry after its last line,
        // and a corrupt entry must end the lookup as a failure, not fill the window.
        QMetaObject::invokeMethod(this, [this, status, lookup = m_lookup] {
            if (lookup == m_lookup && m_active && !m_ended) entryComplete(status);
        }, Qt::QueuedConnection);
        return;
    }
    if (endsLookup(status)) {
        const bool none = status.Kind == TCddbStatusKind::NoMatch;
        finish(outcomeOf(none ? TLookupOutcome::Kind::NoMatch : TLookupOutcome::Kind::Failed, text, status.Code),
               status);
    }
}

void TChecksumLookup::cddbDataExchange(const QString& line)
{
    if (!m_active || lateReply() || m_config.HideData) return;
    // The request URL comes with its line end; a log line has none.
    QString text = line;
    while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
    emit logLine("[DE] " + text);
}

void TChecksumLookup::cddbMatch(const TMatchArray& matches, int& rightOne)
{
    m_timer.stop();
    rightOne = 0;
    if (!m_active) return;
    if (lateReply() || m_ended) {
        rightOne = -1;
        return;
    }
    if (m_cddb->MatchesOffered() > TCddb::MaxMatches)
        emit logLine(tr("Showing the first %1 of %2 matches").arg(TCddb::MaxMatches).arg(m_cddb->MatchesOffered()));
    // Several matches, or one inexact match that the caller wants to confirm.
    if (!matches[1].isEmpty() || (m_confirmInexact && !m_cddb->MatchesExact())) {
        QStringList lines;
        m_fits.clear();
        for (const QString& m : matches) {
            if (m.isEmpty()) break;
            lines << m;
            m_fits << TCandidateFit{-1, m_cddb->MatchesExact()};
        }
        m_choosing = true;
        rightOne = TCddb::ChoiceLater;
        emit candidatesFound(lines, 0);
        return;
    }
    // One match: the read gets a fresh time limit and starts once the client has stored the choice.
    startTimer();
    if (m_readPending) {
        m_readPending = false;
        QMetaObject::invokeMethod(this, [this, lookup = m_lookup] { readChosenEntry(lookup); }, Qt::QueuedConnection);
    }
}

void TChecksumLookup::choose(int index)
{
    if (!m_choosing || !running()) return;
    m_choosing = false;
    if (!m_cddb->ChooseMatch(index)) {
        finish(outcomeOf(TLookupOutcome::Kind::Cancelled, tr("No match chosen")));
        return;
    }
    startTimer();
    if (m_readPending) {
        m_readPending = false;
        QMetaObject::invokeMethod(this, [this, lookup = m_lookup] { readChosenEntry(lookup); }, Qt::QueuedConnection);
    }
}

void TChecksumLookup::readChosenEntry(quint64 lookup)
{
    if (lookup != m_lookup || !m_active || m_ended) return;
    TCddb::TState state = m_cddb->State();
    if (state != TCddb::TState::MatchChosen && state != TCddb::TState::MatchesReceived) return;
    emit stepChanged(TLookupStep::Reading);
    m_cddb->ReadEntry();
}

void TChecksumLookup::entryComplete(const TCddbStatus& status)
{
    TLookupOutcome outcome = outcomeOf(TLookupOutcome::Kind::EntryRead, status.Text, status.Code);
    outcome.record = ReadChecksumEntry(m_cddb->EntryLines());
    if (IsUntitledEntry(outcome.record)) {
        // Neither an album nor a track title: renaming by it would name every file "- - -".
        const QString corrupt = tr("The entry is corrupt");
        emit logLine(corrupt);
        finish(outcomeOf(TLookupOutcome::Kind::Failed, corrupt), {TCddbStatusKind::CorruptEntry, 0, corrupt});
        return;
    }
    finish(std::move(outcome), status);
}

void TChecksumLookup::timeLimitReached()
{
    m_timer.stop();
    if (!running()) return;
    // The lookup ends here; a reply that still comes is dropped (lateReply).
    m_over = true;
    TLookupOutcome outcome = outcomeOf(TLookupOutcome::Kind::TimedOut, TimeoutCaption());
    outcome.message = timeoutMessage();
    finish(std::move(outcome));
}

} // namespace cantorix
