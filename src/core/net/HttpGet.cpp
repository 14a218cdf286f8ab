#include "core/net/HttpGet.h"

#include "core/net/HttpModule.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QTemporaryDir>

#include <algorithm>

namespace cantorix {

QString DownloadFolder(QString* error)
{
    // Removed with its contents when the process ends normally.
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder || !folder->isValid()) {
        folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/cantorix-XXXXXX");
        if (!folder->isValid()) {
            if (error) *error = "Cannot make a temporary folder: " + folder->errorString();
            return {};
        }
    }
    return folder->path();
}

THTTPGet::THTTPGet(THttpClient* http, QObject* parent)
    : QObject(parent), m_own(http ? nullptr : NewQtHttpClient()), m_http(http ? http : m_own.get())
{
}

THTTPGet::~THTTPGet()
{
    if (m_running) m_http->Abort();
    if (m_running && !m_path.isEmpty()) QFile::remove(m_path);
}

QString THTTPGet::FilePath() const
{
    const QString folder = DownloadFolder();
    return folder.isEmpty() ? QString() : folder + '/' + FileName;
}

void THTTPGet::GetFile()
{
    if (m_running) return;
    m_running = true;
    const quint64 serial = ++m_serial;
    m_errorText.clear();
    m_timedOut = false;

    QString why;
    const QString folder = DownloadFolder(&why);
    // The name is ours, but a name with a path in it must not leave the private folder.
    if (!folder.isEmpty() && (FileName.isEmpty() || FileName.contains('/') || FileName == "." || FileName == ".."))
        why = QString("Invalid download file name \"%1\"").arg(FileName);
    m_path = why.isEmpty() ? folder + '/' + FileName : QString();
    if (why.isEmpty()) {
        QFile::remove(m_path); // a file of an earlier download is never taken for this one's
        THttpClient::TFetchOptions options;
        options.MaxBodyBytes = MaxBytes;
        options.SilenceMs = ClampTimeoutSeconds(TimeoutSeconds) * 1000;
        options.Progress = [this, serial](qint64 received, qint64 total) {
            if (serial == m_serial && m_running) emit progress(std::max<qint64>(total, 0), received);
        };
        if (m_http->Fetch(URL, options,
                          [this, serial](int error, const QString& text, const QByteArray& body) {
                              completed(serial, error, text, body);
                          },
                          &why))
            return;
    }
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
    QMetaObject::invokeMethod(this, [this, serial] {
        if (serial == m_serial && m_running) fail("Download stopped");
    }, Qt::QueuedConnection);
}

void THTTPGet::completed(quint64 serial, int error, const QString& text, const QByteArray& body)
{
    if (serial != m_serial || !m_running) return;
    if (error != 0) {
        fail(text, error == THttpClient::SilenceError);
        return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(body) != body.size() || !file.flush()) {
        const QString why = QString("Cannot write \"%1\": %2").arg(m_path, file.errorString());
        file.close();
        fail(why);
        return;
    }
    file.close();
    m_running = false;
    emit doneFile(m_path, body.size());
}

void THTTPGet::fail(const QString& text, bool timedOut)
{
    if (!m_path.isEmpty()) QFile::remove(m_path);
    m_running = false;
    m_errorText = text;
    m_timedOut = timedOut;
    emit error();
}

} // namespace cantorix
