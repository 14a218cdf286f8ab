#include "cli/Commands.h"

#include "cli/AlbumSource.h"
#include "core/album/AlbumSession.h"
#include "core/FolderScan.h"
#include "core/Settings.h"
#include "core/album/SettingsValues.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "core/lookup/freedb/NameQuery.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"
#include "core/rename/RenameJournal.h"
#include "core/rename/RenameRun.h"

#include <QFile>
#include <QFileInfo>

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
        throw UsageError{"rename needs one of --entry FILE, --lookup and --search"};
    if (!lookup && !search && lookupArgs.given()) throw UsageError{"--server and --match belong to --lookup or --search"};
    if (!search && searchArgs.given()) throw UsageError{"--artist, --album and --search-url belong to --search"};
    const int match = lookupArgs.match();

    TSettings settings(inv.settingsFile);
    TRenameOptions options = RenameOptionsFromSettings(settings);
    options.RenameFolder = renameFolder;
    options.WriteTags = writeTags;
    options.CreatePlaylist = playlist;
    if (!format.isNull()) options.NameFormat = format.toStdString();
    if (keepUnderscores) options.FixUnderScores = false;
    if (!folderFormatText.isEmpty() &&
        !parseNumberArgument(folderFormatText, 0, FolderFormatCount - 1, &options.FolderFormat))
        throw UsageError{"--folder-format needs a number from 0 to 4"};

    const QString dir = inv.args[0];
    TScanResult scan;
    if (!scanFolderArgument(inv, dir, settings, scan)) return 1;
    for (const QString& line : scan.logLines()) inv.err << line << '\n';
    if (scan.names.isEmpty()) return 1;

    const std::string folderBytes = QFile::encodeName(scan.folder).toStdString();
    if (UnfinishedRunIn(TRenameJournal::defaultDirectory(), folderBytes)) {
        inv.err << "cantorix-cli: " << UnfinishedRunText << " Run: cantorix-cli undo \"" << scan.folder << "\"\n";
        return 1;
    }

    TAlbumSession album;
    album.loadScan(scan);
    if (lookup) {
        TLookupRun found = runChecksumLookup(album, lookupConfig(settings, lookupArgs), match, inv.err);
        if (!found.entryRead) {
            inv.err << "cantorix-cli: " << (found.error.isEmpty() ? QString("no album data found") : found.error)
                    << '\n';
            return 1;
        }
    } else if (search) {
        const TAlbumGuess words = searchWords(searchArgs, album);
        inv.err << "search artist: " << words.Artist << '\n' << "search album: " << words.Album << '\n';
        TSearchRun found =
            runNameQuery(album, nameQueryConfig(settings, lookupArgs, searchArgs), words, match, inv.err);
        if (!found.entryRead) {
            inv.err << "cantorix-cli: " << (found.error.isEmpty() ? QString("no album data found") : found.error)
                    << '\n';
            return 1;
        }
    } else {
        QString error;
        if (!applyEntryFile(album, entry, error)) {
            inv.err << "cantorix-cli: " << error << '\n';
            return 1;
        }
    }

    // The grid: the scan's names with the album's numbers and titles row by row.
    TRenameRun run(QFile::encodeName(album.folder()).toStdString(), album.renameRows(), album.albumData(), options);

    if (dryRun) {
        // The names the window's "New name" column shows, with the same marks.
        for (const TRenameRun::TPreviewRow& row : run.preview(FolderEntryNames(run.folder()))) {
            inv.out << '"' << q(row.OldName) << "\" -> \"" << q(row.NewName) << '"';
            if (!row.CollidesWith.empty()) inv.out << " (" << q(CollisionText(row.CollidesWith)) << ')';
            if (row.Shortened) inv.out << " (shortened to fit the file system)";
            inv.out << '\n';
        }
        if (options.RenameFolder)
            inv.out << "Folder \"" << q(run.folder()) << "\" -> \"" << q(run.plannedFolderPath()) << "\"\n";
        if (options.CreatePlaylist) inv.out << "Playlist \"" << q(run.playlistFileName()) << "\"\n";
        return 0;
    }

    run.setJournalDirectory(TRenameJournal::defaultDirectory());
    run.run();
    for (const std::string& line : run.takeLogLines()) inv.out << q(line) << '\n';
    inv.out << RenamingFinishedLine << '\n';
    const TRenameReport& report = run.report();
    if (report.anyFailure()) inv.err << "cantorix-cli: " << q(RenameSummaryText(report)) << '\n';
    return report.anyFailure() ? 1 : 0;
}

} // namespace cantorix::cli
