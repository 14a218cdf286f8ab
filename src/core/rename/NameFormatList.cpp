#include "core/rename/NameFormatList.h"

#include "core/rename/NameFormat.h"

#include <QCoreApplication>

#include <algorithm>

namespace cantorix {

QString NameFormatKeyProblem(const QString& format)
{
    const QString f = format.trimmed();
    if (std::any_of(f.begin(), f.end(), [](QChar c) { return c.unicode() < 32 || c.unicode() == 127; }))
        return QCoreApplication::translate(
            "NameFormat", "A name format cannot hold a line break or another control character");
    if (f.contains('=')) return QCoreApplication::translate("NameFormat", "A name format cannot hold \"=\"");
    if (f.startsWith('[') || f.startsWith(';'))
        return QCoreApplication::translate("NameFormat", "A name format cannot begin with \"[\" or \";\"");
    return {};
}

QStringList NameFormatChoices(const QStringList& stored)
{
    return stored.isEmpty() ? QStringList{DefaultNameFormat} : stored;
}

TFormatAdd AddNameFormat(QStringList& formats, const QString& format, QString* problem)
{
    const QString f = format.trimmed();
    if (f.isEmpty()) return TFormatAdd::Empty;
    const QString why = NameFormatKeyProblem(f);
    if (!why.isEmpty()) {
        if (problem) *problem = why;
        return TFormatAdd::Refused;
    }
    if (formats.contains(f, Qt::CaseInsensitive)) {
        if (problem)
            *problem =
                QCoreApplication::translate("NameFormat", "The name format \"%1\" is in the list already").arg(f);
        return TFormatAdd::Duplicate;
    }
    if (formats.isEmpty() && f.compare(DefaultNameFormat, Qt::CaseInsensitive) != 0) formats << DefaultNameFormat;
    formats << f;
    return TFormatAdd::Added;
}

bool RemoveNameFormat(QStringList& formats, const QString& format)
{
    const QString f = format.trimmed();
    for (qsizetype i = 0; i < formats.size(); ++i)
        if (formats[i].compare(f, Qt::CaseInsensitive) == 0) {
            formats.removeAt(i);
            return true;
        }
    return false;
}

QString NameFormatSample(const QString& format)
{
    std::string s = format.toStdString();
    // "trackartist" before "artist" and "track", which it holds; the sample album is a single disc.
    const std::pair<const char*, const char*> values[] = {
        {"trackartist", "Queen"}, {"artist", "Queen"}, {"album", "A Night at the Opera"}, {"year", "1975"},
        {"track", "Bohemian Rhapsody"}, {"#", "10"}, {"disc", ""}};
    for (const auto& [keyword, value] : values) s = ReplaceAllIgnoreCase(s, keyword, value);
    return QString::fromStdString(s);
}

} // namespace cantorix
