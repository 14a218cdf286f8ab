#include "cli/Commands.h"

#include "core/Settings.h"
#include "core/album/AlbumBatch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

namespace cantorix::cli {

namespace {

// The outcome line of one album: "renamed <folder>", "ambiguous <folder> (N candidates)",
// "refused <folder>: <reason>" ...
QString outcomeLine(const TBatchResult& r)
{
    const QString folder = EscapeControls(r.Folder);
    switch (r.Outcome) {
    case TBatchOutcome::Renamed: return (r.DryRun ? QString("would rename ") : QString("renamed ")) + folder;
    case TBatchOutcome::NoMatch: return "no match " + folder;
    case TBatchOutcome::Ambiguous: return "ambiguous " + folder + QString(" (%1 candidates)").arg(r.Candidates);
    default: break;
    }
    return QString(BatchOutcomeWord(r.Outcome)) + " " + folder + ": " + EscapeControls(r.Reason);
}

QByteArray reportLine(const TBatchResult& r)
{
    QJsonObject o{{"folder", r.Folder},
                  {"outcome", BatchOutcomeWord(r.Outcome)},
                  {"artist", r.Artist},
                  {"album", r.Album},
                  {"candidates", r.Candidates},
                  {"renamed", r.Renamed},
                  {"reason", r.Reason}};
    if (!r.FolderAfter.isEmpty()) o["folderAfter"] = r.FolderAfter;
    if (r.DryRun) o["dryRun"] = true;
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

// "12 albums: 9 renamed, 2 no match, 1 ambiguous": the outcomes that occurred, in a fixed order. A
// line for scripts, like the outcome lines: English in every language.
QString summaryLine(const QList<TBatchResult>& results, bool dryRun)
{
    QStringList parts;
    for (TBatchOutcome o : {TBatchOutcome::Renamed, TBatchOutcome::Skipped, TBatchOutcome::NoMatch, TBatchOutcome::Ambiguous,
                            TBatchOutcome::Refused, TBatchOutcome::Failed, TBatchOutcome::Cancelled}) {
        const auto n = std::count_if(results.begin(), results.end(), [o](const TBatchResult& r) { return r.Outcome == o; });
        if (n == 0) continue;
        const QString word = o == TBatchOutcome::Renamed && dryRun ? QString("would be renamed") : BatchOutcomeWord(o);
        parts << QString("%1 %2").arg(n).arg(word);
    }
    const QString albums = results.size() == 1 ? QString("1 album") : QString("%1 albums").arg(results.size());
    return parts.isEmpty() ? albums : albums + ": " + parts.join(", ");
}

} // namespace

// rename ROOT... --recursive (--lookup | --search) [--musicbrainz ...] [--match N] [--report FILE]
// [--jobs N] [--verbose] [rename options]: every album under the ROOTs (FindAlbums) looked up and
// renamed without asking (ChooseWithoutAsking). One outcome line per album on stdout, in album order
// (a dry run's plan lines before it), then the summary; a progress line on stderr when it is a
// terminal; --verbose prints each album's log lines on stderr. Exit 1 when any album was not renamed
// (an album an earlier run renamed counts as renamed).
int renameCollection(Invocation& inv)
{
    const bool lookup = inv.given("lookup");
    const bool search = inv.given("search");
    if (inv.given("entry")) throw UsageError{QCoreApplication::translate("cli", "--entry names one album: it does not go with --recursive")};
    const LookupArgs lookupArgs = lookupArgsOf(inv);
    const SearchArgs searchArgs = searchArgsOf(inv);
    if (searchArgs.artistGiven || searchArgs.albumGiven)
        throw UsageError{QCoreApplication::translate(
            "cli", "--artist and --album name one album: each album's words are guessed from its files")};
    const RenameArgs renameArgs = renameArgsOf(inv);
    const bool dryRun = inv.given("dry-run");
    const bool verbose = inv.given("verbose");
    const QString reportFile = inv.value("report");
    const QString jobsText = inv.value("jobs");
    if (inv.args.isEmpty()) throw UsageError{QCoreApplication::translate("cli", "rename --recursive needs a folder")};
    if (int(lookup) + int(search) != 1) throw UsageError{QCoreApplication::translate("cli", "rename --recursive needs one of --lookup and --search")};
    if (renameArgs.cover && !lookupArgs.covers())
        throw UsageError{QCoreApplication::translate("cli", "--cover belongs to %1").arg(coverSwitches())};
    int jobs = 1;
    if (!jobsText.isEmpty() && !parseNumberArgument(jobsText, 1, TAlbumBatch::MaxJobs, &jobs))
        throw UsageError{QCoreApplication::translate("cli", "--jobs needs a number from 1 to %1").arg(TAlbumBatch::MaxJobs)};
    const int match = lookupArgs.matchText.isEmpty() ? -1 : lookupArgs.match();

    QStringList roots;
    for (const QString& root : std::as_const(inv.args)) {
        if (!QFileInfo(root).isDir()) {
            inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "no such folder: \"%1\"").arg(root) << '\n';
            return 1;
        }
        roots << QFileInfo(root).absoluteFilePath();
    }

    TSettings settings(inv.settingsFile);
    TBatchOptions options;
    options.Mode = search ? TQueryMode::Name : TQueryMode::Checksum;
    options.Match = match;
    options.DryRun = dryRun;
    options.Jobs = jobs;
    options.Rename = RenameOptionsFromSettings(settings);
    applyRenameArgs(options.Rename, renameArgs);

    QFile report(reportFile);
    if (!reportFile.isEmpty() && !report.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        inv.err << "cantorix-cli: "
                << QCoreApplication::translate("cli", "cannot write the report \"%1\": %2")
                       .arg(reportFile, report.errorString())
                << '\n';
        return 1;
    }

    const QList<TBatchAlbum> albums = FindAlbums(roots, SupportedExtensionsFromSettings(settings));
    if (albums.isEmpty()) {
        inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "no album folders found") << '\n';
        return 1;
    }

    TAlbumBatch batch(settings);
    batch.setOverrides(lookupOverrides(lookupArgs, searchArgs));
    const bool progress = ::isatty(STDERR_FILENO) == 1;
    auto clearProgress = [&] {
        if (progress) inv.err << "\r\x1b[K";
    };
    QObject::connect(&batch, &TAlbumBatch::albumStarted, [&](int index, const QString& folder) {
        if (!progress) return;
        QString name = folder;
        name.chop(1);
        inv.err << "\r\x1b[K"
                << QCoreApplication::translate("cli", "album %1 of %2 %3 %4")
                       .arg(index + 1)
                       .arg(albums.size())
                       .arg(QChar(0x2026), EscapeControls(name.mid(name.lastIndexOf('/') + 1)));
        inv.err.flush();
    });
    QObject::connect(&batch, &TAlbumBatch::albumFinished, [&](const TBatchResult& r) {
        clearProgress();
        if (verbose) {
            for (const QString& line : r.Lines) inv.err << line << '\n';
            inv.err.flush();
        }
        for (const QString& line : r.Plan) inv.out << line << '\n';
        inv.out << outcomeLine(r) << '\n';
        inv.out.flush();
        if (report.isOpen()) {
            report.write(reportLine(r));
            report.flush();
        }
    });
    QEventLoop loop;
    QObject::connect(&batch, &TAlbumBatch::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    batch.start(albums, options);
    loop.exec();
    clearProgress();

    const QList<TBatchResult>& results = batch.results();
    inv.out << summaryLine(results, dryRun) << '\n';
    const bool allRenamed = std::all_of(results.begin(), results.end(), [](const TBatchResult& r) {
        return r.Outcome == TBatchOutcome::Renamed || r.Outcome == TBatchOutcome::Skipped;
    });
    return allRenamed && results.size() == albums.size() ? 0 : 1;
}

} // namespace cantorix::cli
