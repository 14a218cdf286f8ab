// The HTTP client under the CDDB client: one asynchronous GET at a time, an optional proxy, and one
// completion on the main thread. The protocol code talks only to THttpClient, so tests can put a
// fake in its place; TQtHttpClient is the real one over Qt Network.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace cantorix {

struct THttpProxy {
    QString Address; // empty: no proxy
    QString Port = "80";
    QString Username;
    QString Password;
};

class THttpClient {
public:
    // error 0 is success with the whole response body of a 2xx answer. An answer with another HTTP
    // status is error HttpStatusError + status with the text "404 Not Found". Any other error code
    // (no connection, a broken transfer) comes with the system's short text. Failures have no body.
    static constexpr int HttpStatusError = 1000;
    using Completion = std::function<void(int error, const QString& errorText, const QByteArray& body)>;

    virtual ~THttpClient() = default;

    // Starts a GET of an absolute http:// or https:// URL. Returns false with *errorText set when the
    // request cannot start; `done` is then never called. Otherwise `done` is called exactly once,
    // later, from the event loop of the calling thread, never from inside GetAsync. Starting a request
    // abandons the one in flight: its completion never comes.
    virtual bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) = 0;
    // Abandons the request in flight, if any; its completion never comes.
    virtual void Abort() = 0;
};

class TQtHttpClient : public QObject, public THttpClient {
    Q_OBJECT
public:
    explicit TQtHttpClient(QObject* parent = nullptr);
    ~TQtHttpClient() override;

    bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) override;
    void Abort() override;

    // A reply body larger than this fails with the text "Reply too large" (no CDDB reply comes near).
    static constexpr qint64 MaxBodyBytes = 4 * 1024 * 1024;

private:
    void finish(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    bool m_tooLarge = false;
    Completion m_done;
};

} // namespace cantorix
