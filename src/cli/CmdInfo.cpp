#include "cli/Commands.h"

#include "audio/FileInfo.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace cantorix::cli {

// info FILE: the file's name and information values, one "Key: value" line each, in the window's order.
int cmdInfo(Invocation& inv)
{
    inv.expectPositional(1);
    const QString path = inv.args[0];
    // The name's own bytes: one that is not UTF-8 would not survive a round trip through text.
    QByteArray bytes = inv.rawArg(path);
    if (!bytes.startsWith('/')) bytes = QFile::encodeName(QDir::currentPath()) + '/' + bytes;
    struct stat st {};
    if (::stat(bytes.constData(), &st) != 0) {
        inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "no such file: \"%1\"").arg(path) << "\n";
        return 1;
    }
    if (!S_ISREG(st.st_mode)) {
        inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "not a file: \"%1\"").arg(path) << "\n";
        return 1;
    }
    const TFileInfoValues v = ReadFileInfo(bytes.toStdString());
    // The window's current file name: the bare name, shown as text on one line.
    const std::string file = bytes.mid(bytes.lastIndexOf('/') + 1).toStdString();
    inv.out << "File: " << EscapeControls(QFile::decodeName(QByteArray::fromStdString(file))) << '\n';
    const std::pair<const char*, const std::string*> lines[] = {
        {"Size", &v.Size},     {"Duration", &v.Duration}, {"SampleRate", &v.SampleRate},
        {"Bitrate", &v.Bitrate}, {"Channels", &v.Channels}, {"Artist", &v.Artist},
        {"Album", &v.Album},   {"Title", &v.Title},       {"Year", &v.Year},
        {"Genre", &v.Genre},   {"Track", &v.Track},       {"Other", &v.Other},
    };
    for (const auto& [key, value] : lines) inv.out << key << ": " << QString::fromStdString(*value) << '\n';
    return 0;
}

} // namespace cantorix::cli
