#include "cli/Commands.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "core/rename/TrackNumberFix.h"

#include <QFile>
#include <QFileInfo>

namespace cantorix::cli {

// fix-numbers DIR: pads the lone one-digit numbers of the listed files' names, printing the log lines.
// Exit code 1 when a move failed.
int cmdFixNumbers(Invocation& inv)
{
    inv.expectPositional(1);
    QString dir = inv.args[0];
    TSettings settings(inv.settingsFile);
    TScanResult scan;
    if (!scanFolderArgument(inv, dir, settings, scan)) return 1;

    std::vector<std::string> names;
    for (const QByteArray& name : std::as_const(scan.files)) names.push_back(name.toStdString());
    auto print = [&](const std::string& line) { inv.out << QString::fromStdString(line) << '\n'; };
    const int failed = RunTrackNumberFix(QFile::encodeName(scan.folder).toStdString(), names, print);
    return failed > 0 ? 1 : 0;
}

} // namespace cantorix::cli
