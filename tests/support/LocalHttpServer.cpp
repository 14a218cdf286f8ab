#include "support/LocalHttpServer.h"

#include <QTimer>

#include <memory>

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>

namespace cantorix::test {

namespace {
constexpr qsizetype MaxHeaderBytes = 64 * 1024;
constexpr qsizetype MaxBodyBytes = 16 * 1024 * 1024;
}

LocalHttpServer::LocalHttpServer(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler))
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onConnection);
}

LocalHttpServer::~LocalHttpServer()
{
    for (const QPointer<QTcpSocket>& s : std::as_const(m_hanging))
        if (s) s->abort();
}

bool LocalHttpServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

quint16 LocalHttpServer::port() const
{
    return m_server.serverPort();
}

QString LocalHttpServer::hostAndPort() const
{
    return "127.0.0.1:" + QString::number(port());
}

QString LocalHttpServer::url(const QString& path) const
{
    return "http://" + hostAndPort() + path;
}

void LocalHttpServer::setHandler(Handler handler)
{
    m_handler = std::move(handler);
}

void LocalHttpServer::onConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
    }
}

void LocalHttpServer::onReadable(QTcpSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffer.size() > MaxHeaderBytes) socket->abort();
        else socket->setProperty("buffer", buffer);
        return;
    }

    HttpRequest request;
    QList<QByteArray> lines = buffer.left(end).split('\n');
    QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.target = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    // A body (a POST's form) is read whole before the request is answered.
    const qsizetype length = qBound<qsizetype>(0, request.headers.value("content-length").toLongLong(), MaxBodyBytes);
    if (buffer.size() - (end + 4) < length) {
        socket->setProperty("buffer", buffer);
        return;
    }
    request.body = buffer.mid(end + 4, length);
    socket->setProperty("answered", true);
    QUrl url = QUrl::fromEncoded("http://localhost" + request.target);
    request.path = url.path();
    request.query = QUrlQuery(url);
    m_requests << request;
    emit requestReceived(request);

    HttpResponse response = m_handler ? m_handler(request) : HttpResponse{404, "Not Found", "text/plain", "", false};
    if (response.hang) {
        m_hanging << QPointer<QTcpSocket>(socket);
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " " + response.reason + "\r\n" +
        "Content-Type: " + response.contentType + "\r\n" +
        "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
    head += "Connection: close\r\n\r\n";
    QPointer<QTcpSocket> target(socket);
    const QByteArray bytes = response.raw.isEmpty() ? head + response.body : response.raw;
    if (response.trickleMs > 0) {
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [target, timer, sent, bytes] {
            if (!target) return;
            if (*sent >= bytes.size()) {
                timer->stop();
                target->disconnectFromHost();
                return;
            }
            target->write(bytes.mid(*sent, 1));
            ++*sent;
        });
        timer->start(response.trickleMs);
        return;
    }
    auto send = [target, bytes] {
        if (!target) return;
        target->write(bytes);
        target->disconnectFromHost();
    };
    if (response.delayMs > 0)
        QTimer::singleShot(response.delayMs, this, send);
    else
        send();
}

QString formValue(const HttpRequest& request, const QString& name)
{
    QString raw = request.query.queryItemValue(name, QUrl::FullyEncoded);
    return QUrl::fromPercentEncoding(raw.replace('+', ' ').toLatin1());
}

QByteArray transcriptBody(const QByteArray& transcript)
{
    qsizetype headers = transcript.indexOf("\n\n");
    if (headers < 0) return {};
    qsizetype body = transcript.indexOf("\n\n", headers + 2);
    if (body < 0) return {};
    return transcript.mid(body + 2);
}

} // namespace cantorix::test
