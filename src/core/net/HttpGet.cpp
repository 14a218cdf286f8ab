#include "core/net/HttpGet.h"

#include "core/net/HttpModule.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>

namespace cantorix {

THTTPGet::THTTPGet(THttpClient* http, QObject* parent)
    : QObject(parent), m_own(http ? nullptr : NewQtHttpClient()), m_http(http ? http : m_own.get())
{
}

THTTPGet::~THTTPGet()
{
    if (m_running) m_http->Abort();
}

void THTTPGet::GetFile()
{
    if (m_running) return;
    m_running = true;
    const quint64 serial = ++m_serial;
    m_errorText.clear();
    m_timedOut = false;

    THttpClient::TFetchOptions options;
    options.MaxBodyBytes = MaxBytes;
    options.SilenceMs = ClampTimeoutSeconds(TimeoutSeconds) * 1000;
    // The same limit bounds the whole download: a server may not trickle it out a byte at a time.
    options.TotalMs = options.SilenceMs;
    options.Progress = [this, serial](qint64 received, qint64 total) {
        if (serial == m_serial && m_running) emit progress(received, std::max<qint64>(total, 0));
    };
    QString why;
    if (m_http->Fetch(URL, options,
                      [this, serial](int error, const QString& text, const QByteArray& body) {
                          completed(serial, error, text, body);
                      },
                      &why))
        return;
    // The failure is reported as the end of a download always is: later, from the event loop.
    QMetaObject::invokeMethod(this, [this, serial, why] {
        if (serial == m_serial && m_running) fail(why);
    }, Qt::QueuedConnection);
}

void THTTPGet::Stop()
{
    if (!m_running) return;
    m_http->Abort();
    const quint64 serial = ++m_serial;
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            if (serial == m_serial && m_running) fail(QCoreApplication::translate("HttpClient", "Download stopped"));
        },
        Qt::QueuedConnection);
}

void THTTPGet::completed(quint64 serial, int error, const QString& text, const QByteArray& body)
{
    if (serial != m_serial || !m_running) return;
    if (error != 0) {
        fail(text, error == THttpClient::SilenceError);
        return;
    }
    m_running = false;
    emit done(body);
}

void THTTPGet::fail(const QString& text, bool timedOut)
{
    m_running = false;
    m_errorText = text;
    m_timedOut = timedOut;
    emit error();
}

} // namespace cantorix
