#include "core/LogFile.h"

#include "audio/SafeWrite.h"

#include <QCoreApplication>
#include <QFile>

namespace cantorix {

QString LogFileName(const QDateTime& when, const QLocale& locale)
{
    const QDate d = when.date();
    const QTime t = when.time();
    QString stamp = QString("%1-%2-%3 [%4-%5-%6]")
                        .arg(d.year(), 4, 10, QChar('0'))
                        .arg(locale.monthName(d.month(), QLocale::ShortFormat))
                        .arg(d.day(), 2, 10, QChar('0'))
                        .arg(t.hour(), 2, 10, QChar('0'))
                        .arg(t.minute(), 2, 10, QChar('0'))
                        .arg(t.second(), 2, 10, QChar('0'));
    return "Cantorix." + stamp + ".log";
}

IoResult SaveLogLines(const QStringList& lines, const QString& path)
{
    QByteArray text;
    for (const QString& line : lines) text += line.toUtf8() + "\r\n";
    IoResult r = writeWholeFile(QFile::encodeName(path).toStdString(), text.constData(), size_t(text.size()));
    if (!r.ok)
        r.error = QCoreApplication::translate("LogFile", "Cannot create file \"%1\". %2")
                      .arg(path, QString::fromStdString(r.error))
                      .toStdString();
    return r;
}

} // namespace cantorix
