// Talking to the MusicBrainz web service by its rules: at most one request per second from the
// whole process, a User-Agent that names the program and a contact, JSON only, and 503 ("too fast"
// or "busy") answered by waiting (Retry-After when the service gives one, else a back-off from one
// interval, doubled each time) and asking again a few times before giving up with the service's
// reason. The Cover Art Archive is asked through the same client, without the per-second rule.
#pragma once

#include "core/Defaults.h"
#include "core/net/HttpClient.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>

namespace cantorix {

// The contact in the User-Agent when the user has given no e-mail address.
inline constexpr const char* MusicBrainzProjectContact = "cantorix@users.noreply.github.com";

// What the MusicBrainz lookups and the cover download need to know; no settings behind it.
struct TMusicBrainzConfig {
    QString Server = DefaultMusicBrainzServer;     // a host name or an http:// or https:// address
    QString CoverServer = DefaultCoverArtServer;   // the same for the Cover Art Archive
    int TimeoutSeconds = 30;  // time limit of each request once it is sent; kept within 1 to 86400
    QString Contact;          // the user's e-mail address; empty: MusicBrainzProjectContact
    THttpProxy Proxy;         // Address empty: no proxy
    bool HideData = false;    // true: no "[DE] " log lines of the requests
    QString Note;             // a line a lookup logs first (why a setting was not used)

    int timeoutSeconds() const { return ClampTimeoutSeconds(TimeoutSeconds); }
};

// "Cantorix/<version> ( <contact> )"; control characters and parentheses of the contact are dropped.
QByteArray MbUserAgent(const QString& contact);
// A server setting as a base address without a trailing "/": "musicbrainz.org" becomes
// "https://musicbrainz.org". Empty when it is no usable http(s) address.
QString MbServerBase(const QString& server);

// The process's pace of requests to the service. take() answers 0 when a request may go now (and
// counts it as gone), else how many milliseconds to wait before asking again; sent() restarts the
// interval when the request has really left (the first request loads the network module first). A
// 503 holds everyone off. Safe to share between threads: a batch on a worker keeps the same pace.
class TMbRateLimiter {
public:
    static constexpr qint64 DefaultIntervalMs = 1000;
    explicit TMbRateLimiter(qint64 intervalMs = DefaultIntervalMs);

    // The limiter every MusicBrainz request of this process goes through.
    static TMbRateLimiter& shared();

    qint64 take();
    void sent();
    // No request before `ms` from now.
    void holdOff(qint64 ms);
    qint64 intervalMs() const { return m_interval; }

private:
    qint64 now() const { return m_clock.elapsed(); }

    const qint64 m_interval;
    QElapsedTimer m_clock; // monotonic
    std::mutex m_lock;
    qint64 m_next = 0;     // the earliest time of the next request, on m_clock
};

// One request at a time to the service, under its rules. The answer comes once, from the event loop,
// unless abort() came first.
class TMbClient : public QObject {
    Q_OBJECT
public:
    // How a request ended.
    struct TResult {
        enum class Kind {
            Answered, // a status other than 503 (Status, Body)
            Failed,   // no answer, or still 503 after the retries: Reason says why
            TimedOut, // no answer within the time limit
        };
        Kind kind = Kind::Failed;
        int Status = 0;
        QByteArray Body;
        QByteArray ContentType;
        QString Reason; // Failed: the service's words or the transfer's error; else the status line
    };
    using Done = std::function<void(const TResult&)>;

    static constexpr int MaxRetries = 3;          // after the first 503
    static constexpr qint64 MaxRetryAfterMs = 60000; // a longer Retry-After is waited for this long

    // Without a client of its own it uses the network module's; without a limiter, the shared one.
    explicit TMbClient(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TMbClient() override;

    void setConfig(const TMusicBrainzConfig& config) { m_config = config; }
    const TMusicBrainzConfig& config() const { return m_config; }
    // For tests: a limiter of their own (it must outlive the client); nullptr: the shared one.
    void setRateLimiter(TMbRateLimiter* limiter);

    // GETs `url` with the User-Agent and Accept of the service. `paced`: under the per-second rule (the
    // web service; not the cover archive). A request still running is dropped first.
    void get(const QString& url, bool paced, qint64 maxBytes, Done done);
    void abort();
    bool busy() const { return m_done != nullptr; }

signals:
    void logLine(const QString& line);
    // The request has left (after any wait for its turn).
    void requestSent(const QString& url);
    void progress(qint64 received, qint64 total);

private:
    void attempt(quint64 serial);
    void answered(quint64 serial, const THttpResponse& response);
    void end(const TResult& result);
    TMbRateLimiter& limiter() { return m_limiter ? *m_limiter : TMbRateLimiter::shared(); }

    std::unique_ptr<THttpClient> m_http;
    TMbRateLimiter* m_limiter = nullptr;
    TMusicBrainzConfig m_config;
    QTimer m_wait;    // the turn, or a back-off
    QTimer m_limit;   // the time limit of the request in flight
    quint64 m_serial = 0;
    QString m_url;
    bool m_paced = true;
    qint64 m_maxBytes = 0;
    int m_retries = 0;
    qint64 m_waitedMs = 0; // waited for Retry-After in this request, bounded by the time-out
    Done m_done;
};

} // namespace cantorix
