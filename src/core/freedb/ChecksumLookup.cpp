#include "core/freedb/ChecksumLookup.h"

#include <QMetaObject>

#include <algorithm>

namespace cantorix {

const QString TChecksumLookup::TimeoutCaption = "Connection timed out!";
const QString TChecksumLookup::TimeoutText =
    "It seems that you have problems connecting to the freedb.\r\nCheck your connection and try to use a "
    "differend freedb server - \r\nyou can change it from the Cantorix options.";

namespace {

constexpr int MaxTimeoutSeconds = 86400;

// Texts after which the lookup has ended without a result.
bool endsLookup(const QString& text)
{
    return text == "No match found" || text == "Specified CDDB entry not found" ||
        text.contains("Internal Error", Qt::CaseInsensitive) || text.contains("syntax error", Qt::CaseInsensitive) ||
        text.contains("500") || text.contains("The entry is corrupt", Qt::CaseInsensitive);
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

void TChecksumLookup::start(const QStringList& trackDurations, const QString& folder, const TLookupConfig& config)
{
    abandon();
    ++m_lookup;
    m_active = true;
    m_folder = WithSlash(folder);
    m_currentFolder = m_folder;
    m_hideData = config.HideData;

    emit lockControls();
    m_timeoutSeconds = std::clamp(config.TimeoutSeconds, 1, MaxTimeoutSeconds);
    startTimer();

    m_cddb->SetServer(config.Server);
    m_cddb->EmailUser = config.Email;
    m_cddb->SetProxyAddress(config.Proxy.Address);
    m_cddb->SetProxyPort(config.Proxy.Port);
    m_cddb->SetProxyUsername(config.Proxy.Username);
    m_cddb->SetProxyPassword(config.Proxy.Password);

    m_discId = TCDDBDiscID();
    m_discId.BuildTrackTable(trackDurations);
    m_discId.CalcDiscID();
    m_readPending = true;
    m_choosing = false;
    m_cddb->QueryDisc(m_discId); // a refused request shows up as a status text
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

void TChecksumLookup::CddbStatusMessage(const QString& text)
{
    if (!m_active) return;
    emit logLine(text);
    if (text == "Entry read") {
        readEntryIntoResult();
        return;
    }
    if (endsLookup(text)) {
        m_timer.stop();
        if (!isStale()) unlock();
    }
}

void TChecksumLookup::CddbDataExchange(const QString& line)
{
    if (!m_active || m_hideData) return;
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
    if (isStale()) {
        // Nobody is waiting for this choice any more.
        emit logLine(QString("Matches for \"%1\" ignored: another folder is listed").arg(m_folder));
        rightOne = -1;
        return;
    }
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
}

void TChecksumLookup::WMRead(quint64 lookup)
{
    if (lookup != m_lookup || !m_active) return;
    TCddb::TState state = m_cddb->State();
    if (state == TCddb::TState::MatchChosen || state == TCddb::TState::MatchesReceived) m_cddb->ReadEntry();
}

void TChecksumLookup::readEntryIntoResult()
{
    if (isStale()) {
        emit logLine(QString("Entry for \"%1\" ignored: another folder is listed").arg(m_folder));
        return;
    }
    AlbumRecord record = ReadChecksumEntry(m_cddb->EntryLines());
    emit entryRead(record, m_folder);
    unlock();
    m_timer.stop();
}

void TChecksumLookup::ConnectionTimerTimer()
{
    m_timer.stop();
    if (!m_active) return;
    // The request goes on: a late reply is still processed.
    emit timedOut();
    unlock();
}

} // namespace cantorix
