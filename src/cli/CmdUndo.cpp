#include "cli/Commands.h"

#include "core/Settings.h"
#include "core/album/AlbumBatch.h"
#include "core/album/AlbumWorkflow.h"
#include "core/rename/RenameLines.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace cantorix::cli {

// undo DIR [--all] [--dry-run]: moves back what the last rename run on DIR did (DIR is the folder the
// run left, renamed or not), printing one line per step; the next undo moves back the run before it.
// With --all: every run recorded for DIR, back to the names before the first. With --recursive: the last run of every folder under
// DIR (subfolders first), each folder's lines after a "<folder>:" line. Exit 1 when there was nothing
// to undo or anything was left alone.
int cmdUndo(Invocation& inv)
{
    const bool dryRun = inv.given("dry-run");
    const bool recursive = inv.given("recursive");
    const bool all = inv.given("all");
    inv.expectPositional(1);
    const QString dir = inv.args[0];
    if (!QFileInfo(dir).isDir()) {
        inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "no such folder: \"%1\"").arg(dir) << "\n";
        return 1;
    }
    if (recursive) {
        const TBatchUndoReport report = UndoUnder(QFileInfo(dir).absoluteFilePath(), dryRun);
        for (const QString& line : report.Lines) inv.out << line << '\n';
        if (report.Albums == 0) {
            inv.out << QString::fromStdString(TrLine(NothingToUndoLine)) << '\n';
            return 1;
        }
        inv.out << QCoreApplication::translate("cli", "Folders undone: %1").arg(report.Albums) << '\n';
        if (report.LeftAlone > 0 || report.Refused > 0)
            inv.err << "cantorix-cli: "
                    << QCoreApplication::translate("cli", "%1 moved back, %2 left alone")
                           .arg(report.MovedBack)
                           .arg(report.LeftAlone)
                    << '\n';
        return report.LeftAlone > 0 || report.Refused > 0 ? 1 : 0;
    }
    TSettings settings(inv.settingsFile);
    TAlbumWorkflow workflow(settings);
    QObject::connect(&workflow, &TAlbumWorkflow::logLine, [&](const QString& line) { inv.out << line << '\n'; });
    bool found = false;
    const TUndoReport report = workflow.undo(dryRun, &found, QFileInfo(dir).absoluteFilePath(), all);
    if (!found || !report.Refused.empty()) return 1;
    if (report.LeftAlone > 0)
        inv.err << "cantorix-cli: "
                << QCoreApplication::translate("cli", "%1 moved back, %2 left alone")
                       .arg(report.MovedBack)
                       .arg(report.LeftAlone)
                << "\n";
    return report.LeftAlone > 0 ? 1 : 0;
}

} // namespace cantorix::cli
