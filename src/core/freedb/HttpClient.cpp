#include "core/freedb/HttpClient.h"

#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
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

} // namespace

TQtHttpClient::TQtHttpClient(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
}

TQtHttpClient::~TQtHttpClient()
{
    Abort();
}

bool TQtHttpClient::GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText)
{
    Abort();
    QUrl target(url, QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        if (errorText) *errorText = "Invalid URL";
        return false;
    }

    QNetworkProxy networkProxy(QNetworkProxy::NoProxy);
    if (!proxy.Address.isEmpty()) {
        quint16 port = 80;
        if (!proxy.Port.isEmpty() && !parsePort(proxy.Port, &port)) {
            if (errorText) *errorText = "Invalid proxy port \"" + proxy.Port + "\"";
            return false;
        }
        networkProxy = QNetworkProxy(QNetworkProxy::HttpProxy, proxy.Address, port, proxy.Username, proxy.Password);
    }
    m_manager->setProxy(networkProxy);

    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::UserAgentHeader, "Cantorix/1.0");
    request.setRawHeader("Accept", "text/plain, */*");

    m_body.clear();
    m_tooLarge = false;
    m_done = std::move(done);
    QNetworkReply* reply = m_manager->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply != m_reply || m_tooLarge) return;
        QByteArray chunk = reply->readAll();
        if (m_body.size() + chunk.size() > MaxBodyBytes) {
            m_tooLarge = true;
            reply->abort(); // finished follows
            return;
        }
        m_body += chunk;
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
    m_done = nullptr;
    m_body.clear();
}

void TQtHttpClient::finish(QNetworkReply* reply)
{
    if (reply != m_reply.data()) return; // abandoned, or already reported
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();

    int error = 0;
    QString errorText;
    if (m_tooLarge) {
        error = int(QNetworkReply::UnknownContentError);
        errorText = "Reply too large";
    } else {
        QByteArray rest = reply->readAll();
        if (m_body.size() + rest.size() > MaxBodyBytes) {
            error = int(QNetworkReply::UnknownContentError);
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
        }
    }
    QByteArray body = error == 0 ? std::move(m_body) : QByteArray();
    m_body.clear();
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
