#include "core/net/HttpClient.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace cantorix {

namespace {

bool parsePort(const QString& text, quint16* port)
{
    if (text.isEmpty() || text.size() > 5) return false;
    int v = 0;
    for (QChar c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c.unicode() - '0');
    }
    if (v < 1 || v > 65535) return false;
    *port = quint16(v);
    return true;
}

// The proxy a protocol or service request names; false with the reason for an invalid port.
bool proxyOf(const THttpProxy& proxy, QNetworkProxy* networkProxy, QString* errorText)
{
    // No proxy of the user's: the system's (DefaultProxy stands for the factory's answer).
    *networkProxy = QNetworkProxy(QNetworkProxy::DefaultProxy);
    if (proxy.Address.isEmpty()) return true;
    quint16 port = 80;
    if (!proxy.Port.isEmpty() && !parsePort(proxy.Port, &port)) {
        if (errorText)
            *errorText = QCoreApplication::translate("HttpClient", "Invalid proxy port \"%1\"").arg(proxy.Port);
        return false;
    }
    *networkProxy = QNetworkProxy(QNetworkProxy::HttpProxy, proxy.Address, port, proxy.Username, proxy.Password);
    return true;
}

// Downloads go through the proxy the desktop or the environment names (http_proxy, no_proxy ...),
// asked anew for every request.
class TSystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

// Whether a protocol request may follow a redirect from `from` to `to`: the same host, and never from
// https down to http.
bool mayFollow(const QUrl& from, const QUrl& to)
{
    const QString a = from.scheme().toLower(), b = to.scheme().toLower();
    if (b != "http" && b != "https") return false;
    if (a == "https" && b == "http") return false;
    return from.host().compare(to.host(), Qt::CaseInsensitive) == 0;
}

// The default port of a scheme is left out of the address, so that the Host header names the host alone,
// as servers and proxies that compare it expect.
QUrl withoutDefaultPort(QUrl url)
{
    const int standard = url.scheme().compare("https", Qt::CaseInsensitive) == 0 ? 443 : 80;
    if (url.port() == standard) url.setPort(-1);
    return url;
}

} // namespace

TQtHttpClient::TQtHttpClient(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_silence(new QTimer(this)), m_total(new QTimer(this))
{
    for (QTimer* timer : {m_silence, m_total}) {
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this] {
            if (QNetworkReply* reply = m_reply.data()) {
                m_silent = true;
                reply->abort(); // finished follows
            }
        });
    }
}

TQtHttpClient::~TQtHttpClient()
{
    Abort();
}

bool TQtHttpClient::GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText)
{
    Abort();
    QNetworkProxy networkProxy;
    if (!proxyOf(proxy, &networkProxy, errorText)) return false;
    TFetchOptions options;
    options.MaxBodyBytes = MaxBodyBytes;
    options.SilenceMs = 0; // the lookups keep their own time limit
    return start(url, networkProxy, options, Kind::Protocol, nullptr, std::move(done), errorText);
}

bool TQtHttpClient::Fetch(const QString& url, const TFetchOptions& options, Completion done, QString* errorText)
{
    Abort();
    return start(url, QNetworkProxy(QNetworkProxy::DefaultProxy), options, Kind::Download, nullptr, std::move(done),
                 errorText);
}

bool TQtHttpClient::Send(const THttpRequest& request, ResponseCompletion done, QString* errorText)
{
    Abort();
    QNetworkProxy networkProxy;
    if (!proxyOf(request.Proxy, &networkProxy, errorText)) return false;
    TFetchOptions options;
    options.MaxBodyBytes = request.MaxBodyBytes;
    options.SilenceMs = 0; // the service's caller keeps its own time limit
    options.Progress = request.Progress;
    if (!start(request.Url, networkProxy, options, Kind::Service, &request, nullptr, errorText)) return false;
    m_respond = std::move(done);
    return true;
}

bool TQtHttpClient::start(const QString& url, const QNetworkProxy& proxy, const TFetchOptions& options, Kind kind,
                          const THttpRequest* service, Completion done, QString* errorText)
{
    QUrl target(url, QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        if (errorText) *errorText = QCoreApplication::translate("HttpClient", "Invalid URL");
        return false;
    }
    const QUrl original = target;
    target = withoutDefaultPort(target);
    m_proxyName.clear();
    if (kind == Kind::Download || proxy.type() == QNetworkProxy::DefaultProxy) {
        m_manager->setProxyFactory(new TSystemProxyFactory); // the manager owns it
        const QList<QNetworkProxy> system = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(target));
        if (!system.isEmpty() && system.first().type() != QNetworkProxy::NoProxy)
            m_proxyName = QString("%1:%2").arg(system.first().hostName()).arg(system.first().port());
    } else {
        m_manager->setProxyFactory(nullptr);
        m_manager->setProxy(proxy);
        if (proxy.type() != QNetworkProxy::NoProxy) m_proxyName = QString("%1:%2").arg(proxy.hostName()).arg(proxy.port());
    }

    QNetworkRequest request(target);
    if (kind == Kind::Protocol) {
        request.setHeader(QNetworkRequest::UserAgentHeader, "Cantorix/1.0");
        request.setRawHeader("Accept", "text/plain, */*");
        // Redirects are followed here (finish), by the protocol's own rule.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    } else {
        request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Cantorix/" CANTORIX_VERSION));
        request.setRawHeader("Accept", "*/*");
        // The body must arrive as sent, so that its length can be checked against Content-Length.
        request.setRawHeader("Accept-Encoding", "identity");
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    }
    if (service) {
        for (const auto& [name, value] : service->Headers) request.setRawHeader(name, value);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             service->MaxRedirects > 0 ? QNetworkRequest::NoLessSafeRedirectPolicy
                                                       : QNetworkRequest::ManualRedirectPolicy);
        if (service->MaxRedirects > 0) request.setMaximumRedirectsAllowed(service->MaxRedirects);
    }

    m_body.clear();
    m_tooLarge = false;
    m_silent = false;
    m_refusedRedirect.clear();
    m_tooManyRedirects = false;
    if (kind == Kind::Protocol && !m_following) {
        m_origin = original;
        m_originProxy = std::make_unique<QNetworkProxy>(proxy);
        m_redirects = 0;
    }
    m_kind = kind;
    m_maxBody = options.MaxBodyBytes > 0 ? options.MaxBodyBytes : MaxBodyBytes;
    m_progress = kind == Kind::Protocol ? nullptr : options.Progress;
    m_done = std::move(done);
    m_respond = nullptr;
    QNetworkReply* reply = service && service->Post ? m_manager->post(request, service->Body) : m_manager->get(request);
    m_reply = reply;
    const int silenceMs = options.SilenceMs;
    auto heard = [this, silenceMs] {
        if (silenceMs > 0) m_silence->start(silenceMs);
    };
    heard();
    if (options.TotalMs > 0) m_total->start(options.TotalMs);
    connect(reply, &QNetworkReply::metaDataChanged, this, heard);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, heard] {
        if (reply != m_reply || m_tooLarge) return;
        heard();
        QByteArray chunk = reply->readAll();
        if (m_body.size() + chunk.size() > m_maxBody) {
            m_tooLarge = true;
            reply->abort(); // finished follows
            return;
        }
        m_body += chunk;
        if (m_progress) {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            m_progress(m_body.size(), length.isValid() ? length.toLongLong() : -1);
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
    if (reply->isFinished())
        QMetaObject::invokeMethod(this, [this, reply] { finish(reply); }, Qt::QueuedConnection);
    return true;
}

void TQtHttpClient::Abort()
{
    if (QNetworkReply* reply = m_reply.data()) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_silence->stop();
    m_total->stop();
    m_done = nullptr;
    m_respond = nullptr;
    m_progress = nullptr;
    m_body.clear();
}

void TQtHttpClient::finish(QNetworkReply* reply)
{
    if (reply != m_reply.data()) return; // abandoned, or already reported
    m_reply = nullptr;
    m_silence->stop();
    m_total->stop();
    reply->disconnect(this);
    reply->deleteLater();

    if (m_kind == Kind::Protocol && followRedirect(reply)) return;
    THttpResponse answer = response(reply);
    m_body.clear();
    m_progress = nullptr;
    Completion done = std::move(m_done);
    ResponseCompletion respond = std::move(m_respond);
    m_done = nullptr;
    m_respond = nullptr;
    if (m_kind == Kind::Service) {
        if (respond) respond(answer);
        return;
    }
    // An HTTP error page is no protocol reply, whatever it holds: the status says what went wrong.
    if (answer.Error == 0 && (answer.Status < 200 || answer.Status > 299) && answer.Status != 0) {
        answer.Error = HttpStatusError + answer.Status;
        answer.ErrorText = QString("%1 %2").arg(answer.Status).arg(QString::fromUtf8(answer.Reason)).trimmed();
    }
    if (done) done(answer.Error, answer.ErrorText, answer.Error == 0 ? answer.Body : QByteArray());
}

bool TQtHttpClient::followRedirect(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308) return false;
    const QByteArray location = reply->rawHeader("Location");
    if (location.isEmpty()) return false;
    const QUrl to = reply->url().resolved(QUrl::fromEncoded(location));
    if (!mayFollow(m_origin, to)) {
        m_refusedRedirect = to;
        return false;
    }
    if (++m_redirects > MaxProtocolRedirects) {
        m_tooManyRedirects = true;
        return false;
    }
    // The same request again at the new address: its completion is still the caller's.
    Completion done = std::move(m_done);
    TFetchOptions options;
    options.MaxBodyBytes = m_maxBody;
    options.SilenceMs = 0;
    m_following = true;
    QString why;
    const QNetworkProxy proxy = m_originProxy ? *m_originProxy : QNetworkProxy(QNetworkProxy::DefaultProxy);
    const bool started = start(to.toString(QUrl::FullyEncoded), proxy, options, Kind::Protocol, nullptr,
                               std::move(done), &why);
    m_following = false;
    if (!started) {
        m_refusedRedirect = to;
        return false;
    }
    return true;
}

THttpResponse TQtHttpClient::response(QNetworkReply* reply)
{
    THttpResponse answer;
    answer.Url = reply->url().toString();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        answer.Status = status.toInt();
        answer.Reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
        answer.Headers = reply->rawHeaderPairs();
    }
    const int tooLarge = m_kind == Kind::Protocol ? int(QNetworkReply::UnknownContentError) : TooLargeError;
    auto fail = [&answer](int error, const QString& text) {
        answer.Error = error;
        answer.ErrorText = text;
        return answer;
    };
    if (m_tooLarge) return fail(tooLarge, QCoreApplication::translate("HttpClient", "Reply too large"));
    if (m_silent) return fail(SilenceError, QCoreApplication::translate("HttpClient", "No data received in time"));
    if (m_refusedRedirect.isValid()) return fail(RedirectRefused, m_refusedRedirect.toString());
    if (m_tooManyRedirects || reply->error() == QNetworkReply::TooManyRedirectsError)
        return fail(
            int(QNetworkReply::TooManyRedirectsError), QCoreApplication::translate("HttpClient", "Too many redirects"));
    if (!m_proxyName.isEmpty()) {
        // Through a proxy, a connection that fails is the proxy's (a server it cannot reach is its
        // 502); Qt reports some of these as the server's own.
        int proxyError = int(reply->error());
        switch (reply->error()) {
        case QNetworkReply::ConnectionRefusedError: proxyError = QNetworkReply::ProxyConnectionRefusedError; break;
        case QNetworkReply::RemoteHostClosedError: proxyError = QNetworkReply::ProxyConnectionClosedError; break;
        case QNetworkReply::HostNotFoundError: proxyError = QNetworkReply::ProxyNotFoundError; break;
        case QNetworkReply::TimeoutError: proxyError = QNetworkReply::ProxyTimeoutError; break;
        default: break;
        }
        if (IsProxyFailure(proxyError))
            return fail(proxyError, QCoreApplication::translate("HttpClient", "Cannot connect to the proxy %1: %2")
                                        .arg(m_proxyName, reply->errorString()));
    }
    QByteArray rest = reply->readAll();
    if (m_body.size() + rest.size() > m_maxBody)
        return fail(tooLarge, QCoreApplication::translate("HttpClient", "Reply too large"));
    m_body += rest;

    const QNetworkReply::NetworkError error = reply->error();
    if (m_kind == Kind::Service) {
        // Qt reports a status of 4xx or 5xx as an error of its own (ContentNotFoundError for 404,
        // ProtocolInvalidOperationError for 400, ServiceUnavailableError for 503 ...): for a request
        // the server answered, that is just the status.
        const bool statusError = (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
                                 error == QNetworkReply::ProtocolInvalidOperationError ||
                                 (error == QNetworkReply::ProxyAuthenticationRequiredError && answer.Status == 407) ||
                                 (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
        if (error != QNetworkReply::NoError && !(status.isValid() && statusError))
            return fail(int(error), reply->errorString());
        if (!status.isValid()) return fail(int(QNetworkReply::ProtocolFailure), QCoreApplication::translate("HttpClient", "No HTTP answer"));
    } else {
        // A status other than 2xx is reported by the caller (finish); only the transfer is judged here.
        const bool success = !status.isValid() || (answer.Status >= 200 && answer.Status <= 299);
        if (success && error != QNetworkReply::NoError) return fail(int(error), reply->errorString());
        if (!success) {
            answer.Body = std::move(m_body);
            return answer;
        }
    }
    if (m_kind != Kind::Protocol) {
        // A connection that ends early is no complete body, whatever came before. Without an
        // announced length (a chunked reply) the end of the transfer is the end of the body.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() != m_body.size())
            return fail(int(QNetworkReply::ProtocolFailure),
                QCoreApplication::translate("HttpClient", "Received %1 of %2 bytes")
                    .arg(m_body.size())
                    .arg(length.toLongLong()));
    }
    answer.Body = std::move(m_body);
    return answer;
}

} // namespace cantorix

// The entry point NewQtHttpClient (HttpModule.cpp) looks up when it loads this module.
extern "C" Q_DECL_EXPORT cantorix::THttpClient* cantorix_new_qt_http_client()
{
    return new cantorix::TQtHttpClient;
}
