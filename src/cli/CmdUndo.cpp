#include "cli/Commands.h"

#include "core/rename/RenameJournal.h"

#include <QFile>
#include <QFileInfo>

namespace cantorix::cli {

// undo DIR [--dry-run]: moves back what the last rename run on DIR did (DIR is the folder the run left,
// renamed or not), printing one line per step. Exit 1 when there was nothing to undo or anything was
// left alone.
int cmdUndo(Invocation& inv)
{
    const bool dryRun = inv.takeFlag("--dry-run");
    inv.expectPositional(1);
    const QString dir = inv.args[0];
    if (!QFileInfo(dir).isDir()) {
        inv.err << "cantorix-cli: no such folder: \"" << dir << "\"\n";
        return 1;
    }
    const std::string folder = QFile::encodeName(QFileInfo(dir).absoluteFilePath()).toStdString();
    bool found = false;
    TUndoReport report = UndoLastRun(TRenameJournal::defaultDirectory(), folder, dryRun, found);
    for (const std::string& line : report.Lines) inv.out << QString::fromStdString(line) << '\n';
    if (!found) return 1;
    inv.out << UndoFinishedLine << '\n';
    if (report.LeftAlone > 0)
        inv.err << "cantorix-cli: " << report.MovedBack << " moved back, " << report.LeftAlone << " left alone\n";
    return report.LeftAlone > 0 ? 1 : 0;
}

} // namespace cantorix::cli
