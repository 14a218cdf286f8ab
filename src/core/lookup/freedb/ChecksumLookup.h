// The freedb checksum lookup: the folder's playing times become a disc ID, the CDDB client asks the
// freedb server for it, the user picks one of several matches, the chosen entry is read and
// delivered as an album record whose title k belongs to file k.
#pragma once

#include "core/lookup/LookupSource.h"
#include "core/lookup/freedb/Cddb.h"
#include "core/lookup/freedb/DiscID.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

namespace cantorix {

// What a freedb lookup needs to know besides the album; FreedbConfigFromSettings builds it.
struct TLookupConfig {
    TServerAddress Server;                // the freedb server
    int TimeoutSeconds = 30;              // time limit of the query and again of the read
    QString Email = "cantorix@localhost"; // sent in the hello
    THttpProxy Proxy;                     // Address empty: no proxy
    bool HideData = false;                // true: no "[DE] " log lines
    QString Note;                         // a line the lookup logs first (why a setting was not used)

    // The time limit as every request uses it: within a second and a day, whoever made the config.
    int timeoutSeconds() const { return ClampTimeoutSeconds(TimeoutSeconds); }
};

// Points the client at the config's server, with its hello address and proxy.
void ApplyLookupConfig(TCddb& cddb, const TLookupConfig& config);

class TChecksumLookup : public TLookupSource {
    Q_OBJECT
public:
    static QString TimeoutCaption(); // "Connection timed out!", in the user's language
    static QString TimeoutText();    // the message, lines separated by CR LF

    // Without an HTTP client of its own the lookup uses the network module's.
    explicit TChecksumLookup(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TChecksumLookup() override;

    // The server, time limit, hello address, proxy and HideData of the lookups started from now on.
    void setConfig(const TLookupConfig& config) { m_config = config; }

    // A lookup of the request's folder by the whole-second playing times of its files.
    bool start(const TLookupRequest& request) override;
    void choose(int index) override;
    void cancel() override;
    void abandon() override;
    bool running() const override { return m_active && !m_ended; }
    // Each offered match: exact (200, 210) or not (211); freedb knows no distance.
    QList<TCandidateFit> candidateFits() const override { return m_fits; }

    // The disc ID of the last start(), the client, whether the time limit runs (for tests).
    const TCDDBDiscID& discId() const { return m_discId; }
    TCddb& cddb() { return *m_cddb; }
    bool timerActive() const { return m_timer.isActive(); }
    int timeoutSeconds() const { return m_timeoutSeconds; }
    // The client's status behind the end of the last lookup (Progress with no text when none was).
    const TCddbStatus& endStatus() const { return m_endStatus; }
    // The time-out message: which server gave no answer in how long, then TimeoutText.
    QString timeoutMessage() const;

    // What the time limit does when it runs out; public so that tests need not wait for it.
    void timeLimitReached();

private:
    void cddbStatusMessage(const QString& text);
    void cddbDataExchange(const QString& line);
    void cddbMatch(const TMatchArray& matches, int& rightOne);
    // Sends the read of the chosen match, once the client has stored the choice.
    void readChosenEntry(quint64 lookup);
    void entryComplete(const TCddbStatus& status);
    void startTimer();
    void finish(TLookupOutcome outcome, const TCddbStatus& status = {});
    // After a time-out or cancel: logs the first late callback once, drops the request; true when late.
    bool lateReply();

    std::unique_ptr<TCddb> m_cddb;
    TLookupConfig m_config;
    TCDDBDiscID m_discId;
    QTimer m_timer;
    int m_timeoutSeconds = 30;
    bool m_readPending = false;
    bool m_choosing = false;
    bool m_confirmInexact = false;
    QList<TCandidateFit> m_fits;
    bool m_active = false;   // a lookup was started and not abandoned
    bool m_starting = false; // inside start(): an end is reported from the event loop
    bool m_over = false;     // the lookup ended by its time limit or a cancel; replies are late
    bool m_lateReplyLogged = false;
    std::optional<TLookupOutcome::Kind> m_ended; // how the current lookup ended, once it has
    quint64 m_lookup = 0;    // number of the current lookup, to drop queued work of older ones
    QString m_folder;        // the folder being looked up
    TCddbStatus m_endStatus;
};

} // namespace cantorix
