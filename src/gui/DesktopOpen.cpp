#include "gui/DesktopOpen.h"

#include "gui/Messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace cantorix {

namespace {

std::function<bool(const QUrl&)>& testLauncher()
{
    static std::function<bool(const QUrl&)> launcher;
    return launcher;
}

// A handler that fails does so at once (no program for the type, xdg-open missing); one that ends
// with an error later was a program the user ran and closed, which is not this open's failure.
constexpr qint64 FailureWindowMs = 10000;

QString shownTarget(const QUrl& url)
{
    if (!url.isLocalFile()) return url.toString();
    // The path's own bytes, shown as text.
    return QFile::decodeName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

} // namespace

QUrl LocalFileUrl(const QByteArray& path)
{
    const QString text = QString::fromUtf8(path);
    if (text.toUtf8() == path) return QUrl::fromLocalFile(text);
    // The handler gets the exact bytes back from the percent-encoding.
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
}

void SetDesktopLauncher(std::function<bool(const QUrl&)> launcher) { testLauncher() = std::move(launcher); }

void OpenWithDesktop(const QUrl& url, QWidget* parent, TOpenFailedLog log)
{
    const QPointer<QWidget> owner(parent);
    auto failed = [owner, log, what = shownTarget(url)] {
        if (!owner) return;
        const QString line = OpenFailedText(what);
        if (log) log(line);
        ShowOpenFailedBox(owner, line);
    };
    if (const auto& launcher = testLauncher()) {
        if (!launcher(url)) QTimer::singleShot(0, failed);
        return;
    }
    // Owned by the application: xdg-open itself still running at exit is ended, but a program it
    // started is not its process and keeps running.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        failed();
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, failed, clock](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code != 0 && clock->elapsed() < FailureWindowMs) failed();
        process->deleteLater();
    });
    process->start("xdg-open", {QString::fromLatin1(url.toEncoded())});
}

void OpenWithDesktop(const QByteArray& path, QWidget* parent, TOpenFailedLog log)
{
    OpenWithDesktop(LocalFileUrl(path), parent, std::move(log));
}

QString GuideFile()
{
    // Installed beside the program's share folder; in a build, the guide of the source tree.
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {appDir + "/../share/doc/cantorix/guide.html", appDir + "/doc/guide.html",
                                     QString(CANTORIX_SOURCE_GUIDE)})
        if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).absoluteFilePath();
    return {};
}

} // namespace cantorix
