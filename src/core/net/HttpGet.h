// THTTPGet: downloads one URL into memory and reports progress and the end as signals on the thread
// that owns it (the network works on its own thread). The name query fetches the search result page
// and the chosen entry with it.
//
// A download succeeds when the transfer had no error, the status is 2xx and, when the server announced
// a length, that many bytes came (a chunked reply has none to check). A body over MaxBytes or no byte
// for TimeoutSeconds fails.
#pragma once

#include "core/net/HttpClient.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace cantorix {

class THTTPGet : public QObject {
    Q_OBJECT
public:
    // Uses `http` (not owned; it must outlive this object) or, when null, the network module's client.
    explicit THTTPGet(THttpClient* http = nullptr, QObject* parent = nullptr);
    ~THTTPGet() override; // a running download ends without a signal

    QString URL;                           // http:// or https://, any port
    qint64 MaxBytes = 8 * 1024 * 1024;     // a longer body fails
    int TimeoutSeconds = 30;               // silence that ends a download; 1 to 86400

    // Starts downloading URL; does nothing while a download runs. A download that cannot start (a bad
    // URL, no network module) fails at once: error() follows from the event loop, never from inside
    // GetFile.
    void GetFile();
    // Ends a running download; it counts as failed (error() follows, TimedOut() false).
    void Stop();
    bool Running() const { return m_running; }

    // Why the last download failed, and whether it was the silence limit.
    QString ErrorText() const { return m_errorText; }
    bool TimedOut() const { return m_timedOut; }

signals:
    // Bytes so far and the announced length (0 when none was announced).
    void progress(qint64 received, qint64 total);
    // The whole body of a successful download.
    void done(const QByteArray& body);
    void error();

private:
    void completed(quint64 serial, int error, const QString& text, const QByteArray& body);
    void fail(const QString& text, bool timedOut = false);

    std::unique_ptr<THttpClient> m_own;
    THttpClient* m_http;
    bool m_running = false;
    quint64 m_serial = 0; // number of the current download; completions of older ones are dropped
    QString m_errorText;
    bool m_timedOut = false;
};

} // namespace cantorix
