#include "core/lookup/freedb/ServerList.h"

#include <QCoreApplication>

#include <algorithm>

namespace cantorix {

namespace {

// A host name becomes a settings key and a request address: nothing but the characters of a host.
bool plainHostName(const QString& host)
{
    if (host.isEmpty() || host.size() > 253 || host.startsWith('-') || host.startsWith('.')) return false;
    return std::all_of(host.begin(), host.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' || u == '-';
    });
}

} // namespace

QStringList UsableSites(const std::vector<TServer>& records)
{
    QStringList hosts;
    for (const TServer& r : records) {
        if (!r.IsHTTP || r.Port != 80 || !plainHostName(r.Site)) continue;
        if (!hosts.contains(r.Site, Qt::CaseInsensitive)) hosts << r.Site;
    }
    std::sort(hosts.begin(), hosts.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return hosts;
}

QString ServerListEntry(const QString& server)
{
    const QString trimmed = server.trimmed();
    return trimmed.isEmpty() ? TServerAddress().Host : trimmed;
}

TServerListStore PlanServerList(const QString& server, const QStringList& hosts)
{
    TServerListStore result;
    result.Server = server;
    if (hosts.isEmpty()) {
        result.Reason = QCoreApplication::translate(
            "ServerList", "The reply named no HTTP server on port 80; the server list was not changed");
        return result;
    }
    // The user's choice stands while the new list still offers it.
    if (!hosts.contains(ServerListEntry(server), Qt::CaseInsensitive)) result.Server = hosts.first();
    result.Changed = true;
    return result;
}

TServerListQuery::TServerListQuery(std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), m_cddb(std::make_unique<TCddb>(std::move(http)))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const QString reason = QCoreApplication::translate("ServerList", "No answer from %1 within %2 seconds")
                                   .arg(m_cddb->ServerUrl())
                                   .arg(m_timeoutSeconds);
        m_cddb->Abort();
        emit logLine("[SM] " + reason);
        finish({false, {}, 0, reason});
    });
    m_cddb->OnStatusMessage = [this](TCddb&, const QString& text) { CddbStatusMessage(text); };
    m_cddb->OnDataExchange = [this](TCddb&, const QString& line) { CddbDataExchange(line); };
}

TServerListQuery::~TServerListQuery()
{
    m_cddb->Abort();
    m_cddb->OnStatusMessage = nullptr;
    m_cddb->OnDataExchange = nullptr;
}

void TServerListQuery::start(const TLookupConfig& config)
{
    abort();
    ApplyLookupConfig(*m_cddb, config);
    m_timeoutSeconds = config.timeoutSeconds();
    m_running = true;
    if (!config.Note.isEmpty()) emit logLine(config.Note);
    m_timer.start(m_timeoutSeconds * 1000);
    // "Getting sites" comes before the client's state changes.
    m_starting = true;
    m_cddb->QuerySites(); // a refused request shows up as a status
    m_starting = false;
}

void TServerListQuery::abort()
{
    m_timer.stop();
    m_cddb->Abort();
    m_running = false;
}

void TServerListQuery::CddbDataExchange(const QString& line)
{
    QString shown = line;
    while (shown.endsWith('\n') || shown.endsWith('\r')) shown.chop(1);
    emit logLine("[DE] " + shown);
}

void TServerListQuery::CddbStatusMessage(const QString& text)
{
    emit logLine("[SM] " + text);
    if (!m_running) return;
    const TCddb::TState state = m_cddb->State();
    if (state == TCddb::TState::SitesReceived) {
        TServerListOutcome outcome;
        outcome.Ok = true;
        std::vector<TServer> records;
        for (int i = 0; i < TCddb::MaxServers; ++i) {
            TServer r = m_cddb->GetServer(i);
            if (r.Site.isEmpty()) break;
            records.push_back(std::move(r));
        }
        outcome.Records = int(records.size());
        outcome.Hosts = UsableSites(records);
        finish(outcome);
    } else if (m_cddb->LastStatus().Kind != TCddbStatusKind::Progress) {
        finish({false, {}, 0, text});
    } else if (!m_starting && state != TCddb::TState::GettingSites) {
        // A status line that brings no list (a 2xx other than 210).
        finish({false, {}, 0, text});
    }
}

void TServerListQuery::finish(TServerListOutcome outcome)
{
    m_timer.stop();
    m_running = false;
    emit finished(outcome);
}

} // namespace cantorix
