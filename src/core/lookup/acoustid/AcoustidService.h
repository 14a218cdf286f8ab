// Talking to the AcoustID web service by its rules: a lookup is a POST of a form body to
// {server}/v2/lookup (gzip-compressed when large), at most three requests a second from the whole
// process, a User-Agent that names the program and a contact, and 429 or 503 answered by waiting
// (Retry-After when given, else a back-off from one interval, doubled each time) and asking again a
// few times before giving up with the service's message.
#pragma once

#include "core/Defaults.h"
#include "core/lookup/acoustid/AcoustidReply.h"
#include "core/net/HttpClient.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>

namespace cantorix {

struct TAcoustidConfig {
    QString Server = DefaultAcoustidServer; // a host name or an http:// or https:// address
    QString ClientKey;        // the application key; empty: no lookup can be made
    int TimeoutSeconds = 30;  // time limit of each request once it is sent; kept within 1 to 86400
    QString Contact;          // the user's e-mail address for the User-Agent; empty: the project's
    THttpProxy Proxy;         // Address empty: no proxy

    int timeoutSeconds() const { return ClampTimeoutSeconds(TimeoutSeconds); }
};

// "Cantorix/<version> ( <contact> )", as the MusicBrainz requests send it.
QByteArray AidUserAgent(const QString& contact);
// A server setting as a base address without a trailing "/"; empty when it is no usable http(s) address.
QString AidServerBase(const QString& server);
// The form body of a lookup (before any compression).
QByteArray AidLookupForm(const QString& clientKey, int durationS, const QByteArray& fingerprint);
// `data` as a gzip stream; empty when compression failed.
QByteArray GzipCompress(const QByteArray& data);
// Bodies longer than this go gzip-compressed.
inline constexpr qsizetype AidCompressAbove = 1024;

// The line a lookup without an application key ends with.
QString AidNoKeyText();

// The process's pace of AcoustID requests (three a second), as TMbRateLimiter keeps MusicBrainz's.
class TAidRateLimiter {
public:
    // A third of a second, with a margin for a request that the way there puts early.
    static constexpr qint64 DefaultIntervalMs = 350;
    explicit TAidRateLimiter(qint64 intervalMs = DefaultIntervalMs);
    static TAidRateLimiter& shared();

    // 0 when a request may go now (counted as gone), else how long to wait before asking again.
    qint64 take();
    // The request has really left: the interval starts again from now.
    void sent();
    void holdOff(qint64 ms);
    qint64 intervalMs() const { return m_interval; }

private:
    const qint64 m_interval;
    QElapsedTimer m_clock;
    std::mutex m_lock;
    qint64 m_next = 0;
};

// One lookup at a time. The answer comes once, from the event loop, unless abort() came first.
class TAcoustidClient : public QObject {
    Q_OBJECT
public:
    struct TResult {
        enum class Kind {
            Answered, // a reply that parsed: Results (possibly none)
            Failed,   // no answer, an error reply, or a reply that is no lookup reply: Reason says why
            TimedOut, // no answer within the time limit
        };
        Kind kind = Kind::Failed;
        QList<TAidResult> Results;
        QString Reason;
        int Status = 0; // HTTP status of the last answer; 0 when none
        int Code = 0;   // the service's error code; 0 when none
    };
    using Done = std::function<void(const TResult&)>;

    static constexpr int MaxRetries = 3;
    static constexpr qint64 MaxRetryAfterMs = 60000;
    static constexpr qint64 MaxReplyBytes = 4 * 1024 * 1024;

    explicit TAcoustidClient(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TAcoustidClient() override;

    void setConfig(const TAcoustidConfig& config) { m_config = config; }
    const TAcoustidConfig& config() const { return m_config; }
    void setRateLimiter(TAidRateLimiter* limiter) { m_limiter = limiter; }

    // Looks up one fingerprint; a request still running is dropped first.
    void lookup(int durationS, const QByteArray& fingerprint, Done done);
    void abort();
    bool busy() const { return m_done != nullptr; }

signals:
    void logLine(const QString& line);

private:
    void attempt(quint64 serial);
    void answered(quint64 serial, const THttpResponse& response);
    void end(const TResult& result);
    TAidRateLimiter& limiter() { return m_limiter ? *m_limiter : TAidRateLimiter::shared(); }

    std::unique_ptr<THttpClient> m_http;
    TAidRateLimiter* m_limiter = nullptr;
    TAcoustidConfig m_config;
    QTimer m_wait;
    QTimer m_limit;
    quint64 m_serial = 0;
    QString m_url;
    QByteArray m_body;
    bool m_gzip = false;
    int m_retries = 0;
    Done m_done;
};

} // namespace cantorix
