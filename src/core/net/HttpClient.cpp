#include "core/net/HttpClient.h"

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

// Downloads go through the proxy the desktop or the environment names (http_proxy, no_proxy ...),
// asked anew for every request.
class TSystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

} // namespace

TQtHttpClient::TQtHttpClient(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_silence(new QTimer(this))
{
    m_silence->setSingleShot(true);
    connect(m_silence, &QTimer::timeout, this, [this] {
        if (QNetworkReply* reply = m_reply.data()) {
            m_silent = true;
            reply->abort(); // finished follows
        }
    });
}

TQtHttpClient::~TQtHttpClient()
{
    Abort();
}

bool TQtHttpClient::GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText)
{
    Abort();
    QNetworkProxy networkProxy(QNetworkProxy::NoProxy);
    if (!proxy.Address.isEmpty()) {
        quint16 port = 80;
        if (!proxy.Port.isEmpty() && !parsePort(proxy.Port, &port)) {
            if (errorText) *errorText = "Invalid proxy port \"" + proxy.Port + "\"";
            return false;
        }
        networkProxy = QNetworkProxy(QNetworkProxy::HttpProxy, proxy.Address, port, proxy.Username, proxy.Password);
    }
    TFetchOptions options;
    options.MaxBodyBytes = MaxBodyBytes;
    options.SilenceMs = 0; // the lookups keep their own time limit
    return start(url, networkProxy, options, false, std::move(done), errorText);
}

bool TQtHttpClient::Fetch(const QString& url, const TFetchOptions& options, Completion done, QString* errorText)
{
    Abort();
    return start(url, QNetworkProxy(QNetworkProxy::DefaultProxy), options, true, std::move(done), errorText);
}

bool TQtHttpClient::start(const QString& url, const QNetworkProxy& proxy, const TFetchOptions& options,
                          bool download, Completion done, QString* errorText)
{
    QUrl target(url, QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        if (errorText) *errorText = "Invalid URL";
        return false;
    }
    if (download) {
        m_manager->setProxyFactory(new TSystemProxyFactory); // the manager owns it
    } else {
        m_manager->setProxy(proxy);
    }

    QNetworkRequest request(target);
    if (download) {
        request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Cantorix/" CANTORIX_VERSION));
        request.setRawHeader("Accept", "*/*");
        // The body must arrive as sent, so that its length can be checked against Content-Length.
        request.setRawHeader("Accept-Encoding", "identity");
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    } else {
        request.setHeader(QNetworkRequest::UserAgentHeader, "Cantorix/1.0");
        request.setRawHeader("Accept", "text/plain, */*");
    }

    m_body.clear();
    m_tooLarge = false;
    m_silent = false;
    m_download = download;
    m_maxBody = options.MaxBodyBytes > 0 ? options.MaxBodyBytes : MaxBodyBytes;
    m_progress = download ? options.Progress : nullptr;
    m_done = std::move(done);
    QNetworkReply* reply = m_manager->get(request);
    m_reply = reply;
    const int silenceMs = options.SilenceMs;
    auto heard = [this, silenceMs] {
        if (silenceMs > 0) m_silence->start(silenceMs);
    };
    heard();
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
    m_done = nullptr;
    m_progress = nullptr;
    m_body.clear();
}

void TQtHttpClient::finish(QNetworkReply* reply)
{
    if (reply != m_reply.data()) return; // abandoned, or already reported
    m_reply = nullptr;
    m_silence->stop();
    reply->disconnect(this);
    reply->deleteLater();

    int error = 0;
    QString errorText;
    const int tooLarge = m_download ? TooLargeError : int(QNetworkReply::UnknownContentError);
    if (m_tooLarge) {
        error = tooLarge;
        errorText = "Reply too large";
    } else if (m_silent) {
        error = SilenceError;
        errorText = "No data received in time";
    } else {
        QByteArray rest = reply->readAll();
        if (m_body.size() + rest.size() > m_maxBody) {
            error = tooLarge;
            errorText = "Reply too large";
        } else {
            m_body += rest;
        }
        // An HTTP error page is no CDDB reply, whatever it holds: the status says what went wrong.
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (error == 0 && status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
            error = HttpStatusError + status.toInt();
            errorText = QString("%1 %2").arg(status.toInt())
                            .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
                            .trimmed();
        } else if (error == 0 && reply->error() != QNetworkReply::NoError) {
            error = int(reply->error());
            errorText = reply->errorString();
        } else if (error == 0 && m_download) {
            // A connection that ends early is no complete download, whatever came before. Without an
            // announced length (a chunked reply) the end of the transfer is the end of the body.
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() != m_body.size()) {
                error = int(QNetworkReply::ProtocolFailure);
                errorText = QString("Received %1 of %2 bytes").arg(m_body.size()).arg(length.toLongLong());
            }
        }
    }
    QByteArray body = error == 0 ? std::move(m_body) : QByteArray();
    m_body.clear();
    m_progress = nullptr;
    Completion done = std::move(m_done);
    m_done = nullptr;
    if (done) done(error, errorText, body);
}

} // namespace cantorix

// The entry point NewQtHttpClient (HttpModule.cpp) looks up when it loads this module.
extern "C" Q_DECL_EXPORT cantorix::THttpClient* cantorix_new_qt_http_client()
{
    return new cantorix::TQtHttpClient;
}
