#include "cli/Commands.h"

#include "cli/LookupRun.h"
#include "core/Settings.h"

namespace cantorix::cli {

// lookup DIR [--server S] [--match N]: the window's checksum lookup of DIR. Prints the log lines as
// the window would show them, then the album fields and one "TrackNo<TAB>Track<TAB>file" line per grid
// row. Exit 0 when an entry was read, 1 otherwise.
int cmdLookup(Invocation& inv)
{
    const LookupArgs lookupArgs = lookupArgsOf(inv);
    inv.expectPositional(1);
    const int match = lookupArgs.match();
    const QString dir = inv.args[0];

    TSettings settings(inv.settingsFile);
    TAlbumWorkflow workflow(settings);
    workflow.setOverrides(lookupOverrides(lookupArgs, {}));
    if (!listAlbumArgument(inv, dir, workflow, inv.out)) return 1;
    const TLookupRun run = runLookup(workflow, TQueryMode::Checksum, {}, {}, match, false, inv.out);
    if (run.outcome.kind == TLookupOutcome::Kind::TimedOut)
        inv.err << workflow.database().TimeoutCaption() << '\n'
                << QString(run.outcome.message).replace("\r\n", "\n") << '\n';
    else if (!run.error.isEmpty())
        inv.err << "cantorix-cli: " << run.error << '\n';
    if (!run.entryRead()) return 1;

    const TAlbumSession& album = workflow.album();
    printAlbumFields(inv.out, album.fields());
    for (int r = 0; r < album.rowCount(); ++r) {
        const TAlbumRow& row = album.row(r);
        inv.out << EscapeControls(row.TrackNo) << '\t' << EscapeControls(TitleCell(row)) << '\t'
                << EscapeControls(row.FileName) << '\n';
        // A file no fingerprint placed keeps its name: the line says why.
        if (!row.Unmatched.isEmpty())
            inv.err << "cantorix-cli: " << EscapeControls(row.FileName) << ": "
                    << QCoreApplication::translate("cli", "no track: %1").arg(row.Unmatched) << '\n';
    }
    return 0;
}

} // namespace cantorix::cli
