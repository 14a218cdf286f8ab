#include "cli/Commands.h"

#include "audio/FileInfo.h"

#include <QFile>
#include <QFileInfo>

namespace cantorix::cli {

// info FILE: the file information values, one "Key: value" line each, in the window's order.
int cmdInfo(Invocation& inv)
{
    inv.expectPositional(1);
    const QString path = inv.args[0];
    const QFileInfo fi(path);
    if (!fi.exists()) {
        inv.err << "cantorix-cli: no such file: \"" << path << "\"\n";
        return 1;
    }
    if (!fi.isFile()) {
        inv.err << "cantorix-cli: not a file: \"" << path << "\"\n";
        return 1;
    }
    const TFileInfoValues v = ReadFileInfo(QFile::encodeName(fi.absoluteFilePath()).toStdString());
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
