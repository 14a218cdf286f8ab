#include "cli/Commands.h"

#include "cli/LookupRun.h"
#include "core/AlbumGuess.h"
#include "core/Settings.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <QCoreApplication>

namespace cantorix::cli {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

RenameArgs renameArgsOf(const Invocation& inv)
{
    RenameArgs args;
    args.format = inv.value("format");
    args.folderFormat = inv.value("folder-format");
    args.renameFolder = inv.given("rename-folder");
    args.writeTags = inv.given("write-tags");
    args.playlist = inv.given("playlist");
    args.keepUnderscores = inv.given("keep-underscores");
    args.portable = inv.given("portable-names");
    args.cover = inv.given("cover");
    return args;
}

void applyRenameArgs(TRenameOptions& options, const RenameArgs& args)
{
    options.RenameFolder = args.renameFolder;
    options.WriteTags = args.writeTags;
    options.CreatePlaylist = args.playlist;
    options.SaveCover = args.cover;
    if (!args.format.isNull()) options.NameFormat = args.format.toStdString();
    if (args.keepUnderscores) options.FixUnderScores = false;
    if (args.portable) options.PortableNames = true;
    if (!args.folderFormat.isEmpty() &&
        !parseNumberArgument(args.folderFormat, 0, FolderFormatCount - 1, &options.FolderFormat))
        throw UsageError{
            QCoreApplication::translate("cli", "--folder-format needs a number from 0 to %1").arg(FolderFormatCount - 1)};
}

// rename DIR (--entry FILE | --lookup [--server S] [--match N] | --search [--artist A] [--album B]
// [--search-url T] [--server S] [--match N]) [options]: renames the listed files of
// DIR by the name format the way the window's rename run does and prints its log lines on stdout
// (the scan's and the lookup's lines go to stderr). The name format, the folder format, the
// underscore rule and portable names come from the settings unless given; folder rename, tags,
// playlist and cover happen only when asked for. Exit code 1 when no album data were found or any
// step of the run failed. With --recursive: every album under the folders given (renameCollection).
int cmdRename(Invocation& inv)
{
    if (inv.given("recursive")) return renameCollection(inv);
    const QString entry = inv.value("entry");
    const bool lookup = inv.given("lookup");
    const bool search = inv.given("search");
    const LookupArgs lookupArgs = lookupArgsOf(inv);
    const SearchArgs searchArgs = searchArgsOf(inv);
    const RenameArgs renameArgs = renameArgsOf(inv);
    const bool dryRun = inv.given("dry-run");
    // Accepted by the command, but only in its form for a whole collection.
    for (const char* batchOnly : {"report", "jobs", "verbose"})
        if (inv.given(batchOnly)) throw UsageError{
                QCoreApplication::translate("cli", "%1 belongs to --recursive").arg("--" + QString(batchOnly))};
    inv.expectPositional(1);

    if (int(!entry.isEmpty()) + int(lookup) + int(search) != 1)
        throw UsageError{QCoreApplication::translate("cli", "rename needs one of --entry FILE, --lookup and --search")};
    if (!lookup && !search && lookupArgs.given())
        throw UsageError{
            QCoreApplication::translate("cli", "--server, --match and --musicbrainz belong to --lookup or --search")};
    if (!search && searchArgs.given())
        throw UsageError{QCoreApplication::translate("cli", "--artist, --album and --search-url belong to --search")};
    const int match = lookupArgs.match();
    if (renameArgs.cover && !lookupArgs.covers())
        throw UsageError{QCoreApplication::translate("cli", "--cover belongs to %1").arg(coverSwitches())};

    TSettings settings(inv.settingsFile);
    TAlbumWorkflow workflow(settings);
    TRenameOptions options = workflow.renameOptions();
    applyRenameArgs(options, renameArgs);

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
                found.outcome.kind == TLookupOutcome::Kind::TimedOut ? workflow.database().TimeoutCaption() : found.error;
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
        for (const QString& line : RenamePlanLines(workflow.plan(options), options, album.folder())) inv.out << line << '\n';
        return 0;
    }

    // The cover comes before the run; an existing folder.jpg is kept (the run says so).
    if (workflow.coverWanted(options)) fetchCover(workflow, inv.err);
    QObject::connect(&workflow, &TAlbumWorkflow::logLine, [&](const QString& line) { inv.out << line << '\n'; });
    const TRenameReport report = workflow.renameNow(options);
    // A refused run printed its one line already.
    if (report.anyFailure() && report.Refused.empty())
        inv.err << "cantorix-cli: " << q(RenameSummaryText(report)) << '\n';
    return report.anyFailure() ? 1 : 0;
}

} // namespace cantorix::cli
