#include "cli/Commands.h"

#include "cli/LookupRun.h"
#include "core/AlbumGuess.h"
#include "core/Settings.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <QCoreApplication>

namespace cantorix::cli {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

// rename DIR (--entry FILE | --lookup [--server S] [--match N] | --search [--artist A] [--album B]
// [--search-url T] [--server S] [--match N]) [options]: renames the listed files of
// DIR by the name format the way the window's rename run does and prints its log lines on stdout
// (the scan's and the lookup's lines go to stderr). The name format, the folder format and the
// underscore rule come from the settings unless given; folder rename, tags and playlist happen only
// when asked for. Exit code 1 when no album data were found or any step of the run failed.
int cmdRename(Invocation& inv)
{
    const QString entry = inv.takeOption("--entry");
    const bool lookup = inv.takeFlag("--lookup");
    const bool search = inv.takeFlag("--search");
    const LookupArgs lookupArgs = takeLookupArgs(inv);
    const SearchArgs searchArgs = takeSearchArgs(inv);
    const QString format = inv.takeOption("--format");
    const QString folderFormatText = inv.takeOption("--folder-format");
    const bool renameFolder = inv.takeFlag("--rename-folder");
    const bool writeTags = inv.takeFlag("--write-tags");
    const bool playlist = inv.takeFlag("--playlist");
    const bool keepUnderscores = inv.takeFlag("--keep-underscores");
    const bool dryRun = inv.takeFlag("--dry-run");
    inv.expectPositional(1);

    if (int(!entry.isEmpty()) + int(lookup) + int(search) != 1)
        throw UsageError{QCoreApplication::translate("cli", "rename needs one of --entry FILE, --lookup and --search")};
    if (!lookup && !search && lookupArgs.given())
        throw UsageError{
            QCoreApplication::translate("cli", "--server, --match and --musicbrainz belong to --lookup or --search")};
    if (!search && searchArgs.given())
        throw UsageError{QCoreApplication::translate("cli", "--artist, --album and --search-url belong to --search")};
    const int match = lookupArgs.match();

    TSettings settings(inv.settingsFile);
    TAlbumWorkflow workflow(settings);
    TRenameOptions options = workflow.renameOptions();
    options.RenameFolder = renameFolder;
    options.WriteTags = writeTags;
    options.CreatePlaylist = playlist;
    if (!format.isNull()) options.NameFormat = format.toStdString();
    if (keepUnderscores) options.FixUnderScores = false;
    if (!folderFormatText.isEmpty() &&
        !parseNumberArgument(folderFormatText, 0, FolderFormatCount - 1, &options.FolderFormat))
        throw UsageError{QCoreApplication::translate("cli", "--folder-format needs a number from 0 to 4")};

    const QString dir = inv.args[0];
    workflow.setOverrides(lookupOverrides(lookupArgs, searchArgs));
    if (!listAlbumArgument(inv, dir, workflow, inv.err)) return 1;
    const TAlbumSession& album = workflow.album();

    if (workflow.unfinishedRun()) {
        inv.err << "cantorix-cli: " << QString::fromStdString(TrLine(UnfinishedRunText)) << " "
                << QCoreApplication::translate("cli", "Run: cantorix-cli undo \"%1\"").arg(album.folder()) << "\n";
        return 1;
    }

    if (lookup || search) {
        QString artist, albumWords;
        if (search) {
            const TAlbumGuess words = searchWords(searchArgs, album);
            inv.err << "search artist: " << words.Artist << '\n' << "search album: " << words.Album << '\n';
            artist = words.Artist;
            albumWords = words.Album;
        }
        const TLookupRun found = runLookup(workflow, search ? TQueryMode::Name : TQueryMode::Checksum, artist,
                                           albumWords, match, search, inv.err);
        if (!found.entryRead()) {
            const QString why =
                found.outcome.kind == TLookupOutcome::Kind::TimedOut ? TChecksumLookup::TimeoutCaption() : found.error;
            inv.err << "cantorix-cli: "
                    << (why.isEmpty() ? QCoreApplication::translate("cli", "no album data found") : why) << '\n';
            return 1;
        }
    } else {
        QString error;
        if (!workflow.applyEntryFile(entry, &error)) {
            inv.err << "cantorix-cli: " << error << '\n';
            return 1;
        }
    }
    if (!album.canRename()) {
        inv.err << "cantorix-cli: "
                << QCoreApplication::translate("cli", "nothing to rename: no title stands beside a file") << "\n";
        return 1;
    }

    if (dryRun) {
        // The names the window's "New name" column shows, with the same marks.
        const TRenamePlanView plan = workflow.plan(options);
        for (const TRenameRun::TPreviewRow& row : plan.Rows) {
            inv.out << '"' << q(row.OldName) << "\" -> \"" << q(row.NewName) << '"';
            if (!row.CollidesWith.empty()) inv.out << " (" << q(CollisionText(row.CollidesWith)) << ')';
            if (row.Shortened)
                inv.out << " (" << QCoreApplication::translate("cli", "shortened to fit the file system") << ')';
            if (row.NoTitle) inv.out << " (" << QCoreApplication::translate("cli", "no title: keeps its name") << ')';
            if (row.NoName)
                inv.out << " (" << QCoreApplication::translate("cli", "the format gives no name: keeps its name") << ')';
            inv.out << '\n';
        }
        if (options.RenameFolder)
            inv.out << "Folder \"" << album.folder() << "\" -> \"" << q(plan.FolderPath) << "\"\n";
        if (options.CreatePlaylist) inv.out << "Playlist \"" << q(plan.Playlist) << "\"\n";
        return 0;
    }

    QObject::connect(&workflow, &TAlbumWorkflow::logLine, [&](const QString& line) { inv.out << line << '\n'; });
    const TRenameReport report = workflow.renameNow(options);
    // A refused run printed its one line already.
    if (report.anyFailure() && report.Refused.empty())
        inv.err << "cantorix-cli: " << q(RenameSummaryText(report)) << '\n';
    return report.anyFailure() ? 1 : 0;
}

} // namespace cantorix::cli
