#include "cli/Commands.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "core/album/SettingsValues.h"
#include "core/rename/RenameByTag.h"
#include "core/rename/RenameRun.h"

#include <QCoreApplication>
#include <QFile>

#include <set>

namespace cantorix::cli {

namespace {

// A name for output: its bytes as text (U+FFFD for bytes that are not UTF-8), one line.
QString shown(const std::string& bytes) { return EscapeControls(QFile::decodeName(QByteArray::fromStdString(bytes))); }

} // namespace

// rename-by-tag DIR [--format F] [--keep-underscores] [--portable-names] [--dry-run]: proposes a name for every listed
// file of DIR from its own tags and prints one "old" -> "new" line each; without --dry-run it then
// moves them as the window's "Accept and rename" does and prints the log lines. The name format and
// the underscore rule come from the settings unless given. Exit code 1 when a move failed.
int cmdRenameByTag(Invocation& inv)
{
    const QString format = inv.value("format");
    const bool keepUnderscores = inv.given("keep-underscores");
    const bool portable = inv.given("portable-names");
    const bool dryRun = inv.given("dry-run");
    inv.expectPositional(1);

    TSettings settings(inv.settingsFile);
    const TRenameOptions renameOptions = RenameOptionsFromSettings(settings);
    TRenameByTagOptions options;
    options.NameFormat = format.isNull() ? renameOptions.NameFormat : format.toStdString();
    options.FixUnderScores = renameOptions.FixUnderScores && !keepUnderscores;
    options.PortableNames = renameOptions.PortableNames || portable;

    TScanResult scan;
    if (!scanFolderArgument(inv, inv.args[0], settings, scan)) return 1;
    for (const QString& line : scan.logLines()) inv.err << line << '\n';

    std::vector<std::string> names;
    for (const QByteArray& name : std::as_const(scan.files)) names.push_back(name.toStdString());
    const std::string folder = QFile::encodeName(scan.folder).toStdString();
    const std::vector<TTagProposal> proposals = ProposeTagNames(folder, names, options);

    // What is in the folder now, to mark a proposal whose name is taken (its move will fail).
    std::set<std::string> present;
    for (const std::string& entry : FolderEntryNames(folder)) present.insert(entry);
    for (const TTagProposal& p : proposals) {
        inv.out << '"' << shown(p.OldName) << "\" -> \"" << shown(p.NewName) << '"';
        if (p.NewName == p.OldName)
            inv.out << " (" << QCoreApplication::translate("cli", "unchanged") << ')';
        else if (present.count(p.NewName)) inv.out << " (" << shown(CollisionText(p.NewName)) << ')';
        // The number's place in the name stays empty: the user should see that before anything moves.
        if (p.NoNumber) inv.out << " (" << QCoreApplication::translate("cli", "no track number") << ')';
        inv.out << '\n';
    }
    if (dryRun) return 0;

    const TTagRenameOutcome outcome =
        RunRenameByTag(folder, proposals, [&](const std::string& line) { inv.out << shown(line) << '\n'; });
    if (outcome.failed > 0)
        inv.err
            << "cantorix-cli: "
            << QCoreApplication::translate("cli", "%1 files renamed, %2 failed").arg(outcome.moved).arg(outcome.failed)
            << "\n";
    return outcome.failed > 0 ? 1 : 0;
}

} // namespace cantorix::cli
