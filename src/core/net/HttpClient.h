// The HTTP client under the lookups: one asynchronous GET at a time, an optional proxy, and one
// completion on the main thread. The protocol code talks only to THttpClient, so tests can put a
// fake in its place; TQtHttpClient is the real one over Qt Network.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkProxy;
class QNetworkReply;
class QTimer;

namespace cantorix {

struct THttpProxy {
    QString Address; // empty: no proxy
    QString Port = "80";
    QString Username;
    QString Password;
};

// Every time limit of the network code (a lookup, a download, the server list) is kept within one
// second and one day.
inline constexpr int MaxTimeoutSeconds = 86400;
inline int ClampTimeoutSeconds(int seconds) { return seconds < 1 ? 1 : seconds > MaxTimeoutSeconds ? MaxTimeoutSeconds : seconds; }

using THttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// A GET whose caller names its headers and reads the whole answer, whatever its status: what a web
// service with rules of its own (a User-Agent it requires, 503 with Retry-After) needs.
struct THttpRequest {
    QString Url;            // absolute http:// or https://
    THttpHeaders Headers;   // sent as given, after the client's own (a User-Agent here replaces its)
    THttpProxy Proxy;       // Address empty: no proxy
    qint64 MaxBodyBytes = 4 * 1024 * 1024; // a longer body fails with "Reply too large"
    int MaxRedirects = 5;   // redirects followed (never from https to http); 0: none
    // Bytes so far and the announced length (-1 when none was announced), on the calling thread.
    std::function<void(qint64 received, qint64 total)> Progress;
    // A POST of Body (its Content-Type and any Content-Encoding among Headers) instead of a GET: a web
    // service whose requests carry more than an address holds (a fingerprint).
    bool Post = false;
    QByteArray Body = {};
};

struct THttpResponse {
    // 0: the server answered, with any status; the body is complete (an announced length arrived in
    // full). Otherwise the transfer failed with the error codes of THttpClient::Completion and
    // ErrorText; Status may still hold what the server had said.
    int Error = 0;
    QString ErrorText;
    int Status = 0;        // of the last answer, after redirects
    QByteArray Reason;     // its reason phrase ("Service Unavailable")
    THttpHeaders Headers;  // of the last answer, names as sent
    QByteArray Body;
    QString Url;           // where the last answer came from

    // The value of the first header of that name (compared without regard to case); empty when none.
    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [key, value] : Headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
        return {};
    }
};

class THttpClient {
public:
    // error 0 is success with the whole response body of a 2xx answer. An answer with another HTTP
    // status is error HttpStatusError + status with the text "404 Not Found". Any other error code
    // (no connection, a broken transfer) comes with the system's short text. Failures have no body.
    static constexpr int HttpStatusError = 1000;
    using Completion = std::function<void(int error, const QString& errorText, const QByteArray& body)>;
    // A Fetch ended because no byte came within its silence limit, or because the body grew past its
    // byte limit.
    static constexpr int SilenceError = 999;
    static constexpr int TooLargeError = 998;
    // A protocol request was redirected where it may not follow (another host, or from https to http):
    // the text is the new address, so that the user can set it.
    static constexpr int RedirectRefused = 997;
    // The failure was the proxy's (refused, gone, timed out, wants a password): the text names the proxy.
    static bool IsProxyFailure(int error) { return error >= 101 && error <= 199; }
    // Redirects a protocol request follows, to its own host only.
    static constexpr int MaxProtocolRedirects = 5;

    // What a download (Fetch) asks beyond a protocol request.
    struct TFetchOptions {
        qint64 MaxBodyBytes = 8 * 1024 * 1024; // a longer body fails with "Reply too large"
        int SilenceMs = 30000;                 // no byte for this long fails with SilenceError; 0: no limit
        // The whole request (headers and body) within this long, or SilenceError: a server that
        // trickles a byte at a time cannot hold a download open without end. 0: no limit.
        int TotalMs = 0;
        // Bytes so far and the announced length (-1 when none was announced), on the calling thread.
        std::function<void(qint64 received, qint64 total)> Progress;
    };

    using ResponseCompletion = std::function<void(const THttpResponse& response)>;

    virtual ~THttpClient() = default;

    // Starts a GET of an absolute http:// or https:// URL, through `proxy` or, without one, the proxy the
    // system names (http_proxy, https_proxy, no_proxy). Redirects are followed to the same host (http to
    // https too), at most MaxProtocolRedirects; one elsewhere fails as RedirectRefused. Returns false with *errorText set when the
    // request cannot start; `done` is then never called. Otherwise `done` is called exactly once,
    // later, from the event loop of the calling thread, never from inside GetAsync. Starting a request
    // abandons the one in flight: its completion never comes.
    virtual bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) = 0;
    // Abandons the request in flight, if any; its completion never comes.
    virtual void Abort() = 0;

    // A GET as a download: the system's proxy configuration (not `THttpProxy`), the options' byte and
    // silence limits, progress reports, and success only when the announced length (if any) arrived
    // in full. Otherwise as GetAsync, whose request it replaces. A client without a download of its
    // own (a test's fake) answers it as a GetAsync with no proxy and the byte limit.
    virtual bool Fetch(const QString& url, const TFetchOptions& options, Completion done, QString* errorText)
    {
        const qint64 limit = options.MaxBodyBytes;
        return GetAsync(
            url, THttpProxy{},
            [limit, done = std::move(done)](int error, const QString& text, const QByteArray& body) {
                if (error == 0 && body.size() > limit)
                    done(TooLargeError, QCoreApplication::translate("HttpClient", "Reply too large"), {});
                else
                    done(error, text, body);
            },
            errorText);
    }

    // Starts `request`; otherwise as GetAsync, whose request it replaces. A client without requests of
    // its own (a test's fake) answers it as a GetAsync: no headers go out, success is status 200, a
    // status error keeps only its status and reason, and no headers come back.
    virtual bool Send(const THttpRequest& request, ResponseCompletion done, QString* errorText)
    {
        if (request.Post) {
            if (errorText) *errorText = QCoreApplication::translate("HttpClient", "This client cannot send a POST");
            return false;
        }
        const qint64 limit = request.MaxBodyBytes;
        const QString url = request.Url;
        return GetAsync(
            url, request.Proxy,
            [limit, url, done = std::move(done)](int error, const QString& text, const QByteArray& body) {
                THttpResponse response;
                response.Url = url;
                if (error == 0 && body.size() > limit) {
                    response.Error = TooLargeError;
                    response.ErrorText = QCoreApplication::translate("HttpClient", "Reply too large");
                } else if (error == 0) {
                    response.Status = 200;
                    response.Reason = "OK";
                    response.Body = body;
                } else if (error > HttpStatusError) {
                    response.Status = error - HttpStatusError;
                    response.Reason = text.section(' ', 1).toUtf8();
                } else {
                    response.Error = error;
                    response.ErrorText = text;
                }
                done(response);
            },
            errorText);
    }
};

class TQtHttpClient : public QObject, public THttpClient {
    Q_OBJECT
public:
    explicit TQtHttpClient(QObject* parent = nullptr);
    ~TQtHttpClient() override;

    bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) override;
    void Abort() override;
    bool Fetch(const QString& url, const TFetchOptions& options, Completion done, QString* errorText) override;
    bool Send(const THttpRequest& request, ResponseCompletion done, QString* errorText) override;

    // A reply body larger than this fails with the text "Reply too large" (no CDDB reply comes near).
    static constexpr qint64 MaxBodyBytes = 4 * 1024 * 1024;

private:
    // How a request reports its end: a protocol request or a download through Completion, or a
    // service request through ResponseCompletion with any status.
    enum class Kind { Protocol, Download, Service };
    bool start(const QString& url, const QNetworkProxy& proxy, const TFetchOptions& options, Kind kind,
               const THttpRequest* service, Completion done, QString* errorText);
    void finish(QNetworkReply* reply);
    THttpResponse response(QNetworkReply* reply);
    // A protocol request's redirect to where it may go: the request starts again there (true).
    bool followRedirect(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    bool m_tooLarge = false;
    bool m_silent = false;   // the silence limit ended the download
    QUrl m_refusedRedirect;  // where a protocol request was sent that it may not follow
    bool m_tooManyRedirects = false;
    QUrl m_origin;               // the address a protocol request began at
    std::unique_ptr<QNetworkProxy> m_originProxy; // and its proxy
    int m_redirects = 0;
    bool m_following = false;
    QString m_proxyName;     // "host:port" of the proxy a request goes through; empty for none
    Kind m_kind = Kind::Protocol;
    qint64 m_maxBody = MaxBodyBytes;
    QTimer* m_silence;
    QTimer* m_total;
    std::function<void(qint64, qint64)> m_progress;
    Completion m_done;
    ResponseCompletion m_respond; // Kind::Service
};

} // namespace cantorix
