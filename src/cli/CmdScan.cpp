#include "cli/Commands.h"

#include "app/FolderScan.h"
#include "app/Settings.h"
#include "audio/AudioUtil.h"

#include <QFileInfo>

namespace cantorix::cli {

// scan DIR: one "<name>\t<duration text>\t<seconds>" line per listed file, the log line on stderr.
int cmdScan(Invocation& inv)
{
    inv.expectPositional(1);
    QString dir = inv.args[0];
    if (!QFileInfo(dir).isDir()) {
        inv.err << "cantorix-cli: no such folder: \"" << dir << "\"\n";
        return 1;
    }
    TSettings settings(inv.settingsFile);
    QStringList supported = BuildSupportedExtensions(settings.readString("Main", "AdditionalTypes", ""));
    TScanResult scan = ScanFolder(QFileInfo(dir).absoluteFilePath(), supported);
    for (int i = 0; i < scan.names.size(); ++i)
        inv.out << scan.names[i] << '\t' << QString::fromStdString(FormatDuration(scan.seconds[i])) << '\t'
                << scan.seconds[i] << '\n';
    inv.err << scan.logLine << '\n';
    return 0;
}

} // namespace cantorix::cli
