#include "cli/Commands.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "cli/RenameSource.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"
#include "core/rename/RenameRun.h"

#include <QFile>
#include <QFileInfo>

namespace cantorix::cli {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

bool isFailureLine(const std::string& line)
{
    return line != FolderRenamedLine && line != PlaylistCreatedLine;
}

} // namespace

// rename DIR (--entry FILE | --lookup [--server S] [--match N]) [options]: renames the listed files of
// DIR by the name format the way the window's rename run does and prints its log lines on stdout
// (the scan's and the lookup's lines go to stderr). The name format, the folder format and the
// underscore rule come from the settings unless given; folder rename, tags and playlist happen only
// when asked for. Exit code 1 when no album data were found or any step of the run failed.
int cmdRename(Invocation& inv)
{
    const QString entry = inv.takeOption("--entry");
    const bool lookup = inv.takeFlag("--lookup");
    const QString server = inv.takeOption("--server");
    const QString matchText = inv.takeOption("--match");
    const QString format = inv.takeOption("--format");
    const QString folderFormatText = inv.takeOption("--folder-format");
    const bool renameFolder = inv.takeFlag("--rename-folder");
    const bool writeTags = inv.takeFlag("--write-tags");
    const bool playlist = inv.takeFlag("--playlist");
    const bool keepUnderscores = inv.takeFlag("--keep-underscores");
    const bool dryRun = inv.takeFlag("--dry-run");
    inv.expectPositional(1);

    if (entry.isEmpty() == !lookup) throw UsageError{"rename needs either --entry FILE or --lookup"};
    if (!lookup && (!server.isEmpty() || !matchText.isEmpty()))
        throw UsageError{"--server and --match belong to --lookup"};
    int match = 0;
    if (!matchText.isEmpty()) {
        bool ok = false;
        match = matchText.toInt(&ok);
        if (!ok || match < 0) throw UsageError{"--match needs a number from 0"};
    }

    TSettings settings(inv.settingsFile);
    if (!server.isEmpty()) settings.writeString("Connection", "Server", server); // this run only
    TRenameOptions options = RenameOptionsFromSettings(settings);
    options.RenameFolder = renameFolder;
    options.WriteTags = writeTags;
    options.CreatePlaylist = playlist;
    if (!format.isNull()) options.NameFormat = format.toStdString();
    if (keepUnderscores) options.FixUnderScores = false;
    if (!folderFormatText.isEmpty()) {
        bool ok = false;
        options.FolderFormat = folderFormatText.toInt(&ok);
        if (!ok || options.FolderFormat < 0 || options.FolderFormat >= FolderFormatCount)
            throw UsageError{"--folder-format needs a number from 0 to 4"};
    }

    const QString dir = inv.args[0];
    TScanResult scan;
    if (!scanFolderArgument(inv, dir, settings, scan)) return 1;
    for (const QString& line : scan.logLines()) inv.err << line << '\n';
    if (scan.names.isEmpty()) return 1;

    TRenameSource source;
    QString error;
    bool found = lookup ? SourceFromLookup(DurationTexts(scan.seconds), scan.folder, settings, match, source,
                                           error, inv.err)
                        : SourceFromEntryFile(entry, source, error);
    if (!found) {
        inv.err << "cantorix-cli: " << error << '\n';
        return 1;
    }

    // The grid: the scan's names with the lookup's numbers and titles row by row; rows beyond the
    // titles stay without them.
    std::vector<TRenameRow> rows;
    for (int i = 0; i < scan.names.size(); ++i) {
        TRenameRow row;
        row.FileName = QFile::encodeName(scan.names[i]).toStdString();
        if (size_t(i) < source.tracks.size()) {
            row.TrackNo = source.tracks[size_t(i)].TrackNo;
            row.Track = source.tracks[size_t(i)].Title;
        }
        rows.push_back(std::move(row));
    }
    TRenameRun run(QFile::encodeName(scan.folder).toStdString(), std::move(rows), source.album, options);

    if (dryRun) {
        for (const TRenamePlanItem& item : run.plan())
            inv.out << '"' << q(item.OldName) << "\" -> \"" << q(item.NewName) << "\"\n";
        if (options.RenameFolder)
            inv.out << "Folder \"" << q(run.folder()) << "\" -> \"" << q(run.plannedFolderPath()) << "\"\n";
        if (options.CreatePlaylist) inv.out << "Playlist \"" << q(run.playlistFileName()) << "\"\n";
        return 0;
    }

    run.run();
    bool failed = false;
    for (const std::string& line : run.takeLogLines()) {
        failed = failed || isFailureLine(line);
        inv.out << q(line) << '\n';
    }
    inv.out << RenamingFinishedLine << '\n';
    return failed ? 1 : 0;
}

} // namespace cantorix::cli
