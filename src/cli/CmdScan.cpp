#include "cli/Commands.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "audio/AudioUtil.h"

#include <QFileInfo>

namespace cantorix::cli {

// scan DIR: one "<name>\t<duration text>\t<seconds>" line per listed file, the log lines on stderr.
int cmdScan(Invocation& inv)
{
    inv.expectPositional(1);
    QString dir = inv.args[0];
    TSettings settings(inv.settingsFile);
    TScanResult scan;
    if (!scanFolderArgument(inv, dir, settings, scan)) return 1;
    for (int i = 0; i < scan.names.size(); ++i) {
        const int seconds = scan.lengths.value(i).Seconds;
        inv.out << EscapeControls(scan.names[i]) << '\t' << QString::fromStdString(FormatDuration(seconds)) << '\t'
                << seconds << '\n';
    }
    for (const QString& line : scan.logLines()) inv.err << line << '\n';
    return 0;
}

} // namespace cantorix::cli
