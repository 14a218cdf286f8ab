#include "gui/DesktopOpen.h"

#include <QDesktopServices>
#include <QFile>
#include <QString>

namespace cantorix {

QUrl LocalFileUrl(const QByteArray& path)
{
    const QString text = QString::fromUtf8(path);
    if (text.toUtf8() == path) return QUrl::fromLocalFile(text);
    // The handler gets the exact bytes back from the percent-encoding.
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
}

void OpenWithDesktop(const QByteArray& path) { QDesktopServices::openUrl(LocalFileUrl(path)); }

} // namespace cantorix
