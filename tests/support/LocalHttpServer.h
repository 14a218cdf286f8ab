// A small HTTP/1.1 server on 127.0.0.1 for tests: every request is answered by a handler function
// (or left unanswered), one response per connection. It runs in the test's own event loop, so a
// test that waits for a client (a QProcess, a network reply) must keep that loop running.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QUrlQuery>

#include <functional>

class QTcpSocket;

namespace cantorix::test {

struct HttpRequest {
    QByteArray method;              // "GET"
    QByteArray target;              // as sent: path and query, still percent-encoded
    QString path;                   // decoded path
    QUrlQuery query;                // the query items
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body = {};           // as sent (Content-Length bytes; none without that header)
};

struct HttpResponse {
    int status = 200;
    QByteArray reason = "OK";
    QByteArray contentType = "text/plain; charset=ISO-8859-1";
    QByteArray body;
    bool hang = false; // read the request, then never answer (the connection stays open)
    int delayMs = 0;   // answer this much later (a slow server)
    int trickleMs = 0; // send the response one byte at a time, this far apart (a trickling server)
    // Non-empty: sent as the whole response (status line, headers, body) instead of the fields above,
    // for replies a well-behaved server would not give (chunked, a wrong Content-Length).
    QByteArray raw = {};
    QList<QPair<QByteArray, QByteArray>> headers = {}; // further header lines (Retry-After, Location)
};

class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    explicit LocalHttpServer(Handler handler = {}, QObject* parent = nullptr);
    ~LocalHttpServer() override;

    // Listens on 127.0.0.1 on a free port. False when that fails.
    bool start();
    quint16 port() const;
    // "127.0.0.1:<port>"
    QString hostAndPort() const;
    // "http://127.0.0.1:<port><path>"
    QString url(const QString& path = "/") const;

    void setHandler(Handler handler);
    // Every request received so far, in order.
    const QList<HttpRequest>& requests() const { return m_requests; }

signals:
    void requestReceived(const cantorix::test::HttpRequest& request);

private:
    void onConnection();
    void onReadable(QTcpSocket* socket);

    QTcpServer m_server;
    Handler m_handler;
    QList<HttpRequest> m_requests;
    QList<QPointer<QTcpSocket>> m_hanging;
};

// A form value of the request's query, decoded the CGI way ("+" is a space).
QString formValue(const HttpRequest& request, const QString& name);

// The body of a saved CGI transcript: a QUERY_STRING line, a blank line, the CGI headers, a blank
// line, then the body (returned byte for byte).
QByteArray transcriptBody(const QByteArray& transcript);

} // namespace cantorix::test
