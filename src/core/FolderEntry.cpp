#include "core/FolderEntry.h"

#include "audio/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace cantorix {

QString FolderEntryPath()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG base directory standard: a relative path is invalid and is ignored.
    if (data.isEmpty() || !QDir::isAbsolutePath(data)) data = QDir::homePath() + "/.local/share";
    return data + "/applications/cantorix-folder.desktop";
}

bool FolderEntryExists()
{
    return QFileInfo::exists(FolderEntryPath());
}

QString DesktopExecArgument(const QString& program)
{
    QString quoted;
    for (QChar c : program) {
        const char16_t u = c.unicode();
        if (u < 32 || u == 127) return {};
        if (u == '"' || u == '`' || u == '$' || u == '\\') quoted += '\\';
        quoted += c;
    }
    // The quoting rule applies after the general string escaping, so each backslash is doubled again.
    QString escaped;
    for (QChar c : quoted) {
        if (c == '\\') escaped += '\\';
        else if (c == '%') escaped += '%'; // a field code would be expanded
        escaped += c;
    }
    return '"' + escaped + '"';
}

QByteArray FolderEntryText(const QString& program)
{
    const QString argument = DesktopExecArgument(program);
    if (argument.isEmpty()) return {};
    QByteArray text = "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=Cantorix\n"
                      "Comment=Name the audio files of this album folder\n"
                      "Icon=cantorix\n";
    text += "Exec=" + argument.toUtf8() + " %f\n";
    text += "Terminal=false\n"
            "MimeType=inode/directory;\n"
            "NoDisplay=true\n";
    return text;
}

IoResult CreateFolderEntry(const QString& program)
{
    const QByteArray text = FolderEntryText(program);
    if (text.isEmpty())
        return IoResult::failure(
            QCoreApplication::translate("FolderEntry", "the program's path holds a control character").toStdString());
    const QString path = FolderEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return IoResult::failure(QCoreApplication::translate("FolderEntry", "cannot create the folder \"%1\"")
                                     .arg(QFileInfo(path).absolutePath())
                                     .toStdString());
    return writeWholeFile(QFile::encodeName(path).toStdString(), text.constData(), size_t(text.size()));
}

IoResult RemoveFolderEntry()
{
    if (::unlink(QFile::encodeName(FolderEntryPath()).constData()) != 0 && errno != ENOENT)
        return IoResult::fromErrno(errno);
    return IoResult::success();
}

} // namespace cantorix
