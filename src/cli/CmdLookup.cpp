#include "cli/Commands.h"

#include "core/GenreNames.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "core/freedb/ChecksumLookup.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace cantorix::cli {

// lookup DIR [--server S] [--match N]: the window's checksum lookup of DIR. Prints the log lines as
// the window would show them, then the album fields and one "TrackNo<TAB>Track<TAB>file" line per grid
// row. Exit 0 when an entry was read, 1 otherwise.
int cmdLookup(Invocation& inv)
{
    const LookupArgs lookupArgs = takeLookupArgs(inv);
    inv.expectPositional(1);
    const int match = lookupArgs.match();
    const QString dir = inv.args[0];

    TSettings settings(inv.settingsFile);
    TScanResult scan;
    if (!scanFolderArgument(inv, dir, settings, scan)) return 1;
    inv.out << scan.logLine << '\n';
    if (scan.names.isEmpty()) return 1;

    TChecksumLookup lookup;
    QEventLoop loop;
    TLookupOutcome outcome;
    QObject::connect(&lookup, &TChecksumLookup::logLine, [&](const QString& line) {
        inv.out << line << '\n';
        inv.out.flush();
    });
    QObject::connect(&lookup, &TChecksumLookup::matchChoiceNeeded, [&](const QStringList& matches) {
        if (match < matches.size()) {
            lookup.chooseMatch(match);
        } else {
            inv.err << "cantorix-cli: there are only " << matches.size() << " matches\n";
            lookup.chooseMatch(-1);
        }
    });
    QObject::connect(&lookup, &TChecksumLookup::timedOut, [&] {
        inv.err << TChecksumLookup::TimeoutCaption << '\n'
                << QString(TChecksumLookup::TimeoutText).replace("\r\n", "\n") << '\n';
    });
    // The reply being processed is finished first: its remaining lines still reach the log.
    QObject::connect(&lookup, &TChecksumLookup::finished, &loop, [&](const TLookupOutcome& o) {
        outcome = o;
        QTimer::singleShot(0, &loop, [&] { loop.quit(); });
    });

    lookup.start(DurationTexts(scan.seconds), scan.folder, lookupConfig(settings, lookupArgs));
    loop.exec();
    lookup.abandon();

    if (outcome.kind != TLookupOutcome::Kind::EntryRead) return 1;
    const AlbumRecord& album = outcome.record;
    inv.out << "artist: " << album.Artist << '\n'
            << "album: " << album.Album << '\n'
            << "year: " << album.Year << '\n'
            // The genre as the window's list selects it (empty when the list has no such item),
            // which is what renaming then uses.
            << "genre: " << MatchGenreBoxItem(album.Genre) << '\n';
    const qsizetype rows = std::max<qsizetype>(scan.names.size(), album.Titles.size());
    for (qsizetype r = 0; r < rows; ++r) {
        QString no = r < album.Titles.size() ? album.Titles[r].No : QString();
        QString title = r < album.Titles.size() ? album.Titles[r].Title : QString();
        QString file = r < scan.names.size() ? scan.names[r] : QString();
        inv.out << no << '\t' << title << '\t' << file << '\n';
    }
    return 0;
}

} // namespace cantorix::cli
