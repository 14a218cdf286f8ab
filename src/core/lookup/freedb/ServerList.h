// The freedb server list: the CDDB "sites" request, which of its records serve lookups, and which
// server a new list leaves chosen. The options window and `cantorix-cli sites` both run it; they store
// the list in the settings ([FreeDB_sites] and [Connection] Server).
#pragma once

#include "core/lookup/freedb/Cddb.h"
#include "core/lookup/freedb/ChecksumLookup.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

namespace cantorix {

// The hosts of `records` that lookups can use: HTTP servers on port 80 whose Site is a plain host name
// (letters, digits, "." and "-", at most 253 characters), each host once (the first spelling of it,
// compared without regard to case), sorted without regard to case. Bounded by the records given.
QStringList UsableSites(const std::vector<TServer>& records);

// The entry of the server list that the "Server" setting `server` names: the setting itself, trimmed,
// or the default server's host when it is empty.
QString ServerListEntry(const QString& server);

// What a new list changes.
struct TServerListStore {
    bool Changed = false; // false: the list is to be kept as it was, Reason says why
    QString Server;       // the "Server" setting afterwards
    QString Reason;
};

// What a new list `hosts` (as UsableSites gives them) means for the "Server" setting `server`: it stays
// while the list holds its entry, otherwise the first host is chosen. An empty list changes nothing.
TServerListStore PlanServerList(const QString& server, const QStringList& hosts);

// How one sites request ended.
struct TServerListOutcome {
    bool Ok = false;   // a list came (Hosts may still be empty)
    QStringList Hosts; // UsableSites of the reply
    int Records = 0;   // how many server records the reply held
    QString Reason;    // why it failed: the client's status text, or the time-out
};

// One sites request at a time through a CDDB client of its own, with log lines as the window shows
// them ("[SM] " status texts, "[DE] " exchanged lines) and a time limit.
class TServerListQuery : public QObject {
    Q_OBJECT
public:
    // Without an HTTP client of its own the query uses TQtHttpClient.
    explicit TServerListQuery(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TServerListQuery() override;

    // Asks config.Server for its list, with config's e-mail, proxy and time limit (1 to 86400 s). A
    // request still running is abandoned first. HideData does not apply: every exchanged line is logged.
    void start(const TLookupConfig& config);
    // Drops the request in flight: no further signals for it.
    void abort();
    bool running() const { return m_running; }
    TCddb& cddb() { return *m_cddb; }

signals:
    void logLine(const QString& line);
    // Once per start() that was not aborted.
    void finished(const cantorix::TServerListOutcome& outcome);

private:
    void CddbStatusMessage(const QString& text);
    void CddbDataExchange(const QString& line);
    void finish(TServerListOutcome outcome);

    std::unique_ptr<TCddb> m_cddb;
    QTimer m_timer;
    bool m_running = false;
    bool m_starting = false;
    int m_timeoutSeconds = 30;
};

} // namespace cantorix
