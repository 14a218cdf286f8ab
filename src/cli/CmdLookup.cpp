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
    const QString server = inv.takeOption("--server");
    const QString matchText = inv.takeOption("--match");
    inv.expectPositional(1);
    int match = 0;
    if (!matchText.isEmpty()) {
        bool ok = false;
        match = matchText.toInt(&ok);
        if (!ok || match < 0) throw UsageError{"--match needs a number from 0"};
    }
    const QString dir = inv.args[0];

    TSettings settings(inv.settingsFile);
    if (!server.isEmpty()) settings.writeString("Connection", "Server", server); // this run only
    TScanResult scan;
    if (!scanFolderArgument(inv, dir, settings, scan)) return 1;
    for (const QString& line : scan.logLines()) inv.out << line << '\n';
    if (scan.names.isEmpty()) return 1;

    TChecksumLookup lookup;
    QEventLoop loop;
    bool gotEntry = false;
    AlbumRecord album;
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
    QObject::connect(&lookup, &TChecksumLookup::entryRead, [&](const AlbumRecord& record, const QString&) {
        gotEntry = true;
        album = record;
    });
    QObject::connect(&lookup, &TChecksumLookup::timedOut, [&] {
        inv.err << TChecksumLookup::TimeoutCaption << '\n'
                << QString(TChecksumLookup::TimeoutText).replace("\r\n", "\n") << '\n';
    });
    // The lookup has ended when the window would unlock; the reply being processed is finished first.
    QObject::connect(&lookup, &TChecksumLookup::unlockControls, &loop, [&] {
        QTimer::singleShot(0, &loop, [&] { loop.quit(); });
    });

    lookup.start(DurationTexts(scan.seconds), scan.folder, settings);
    loop.exec();
    lookup.abandon();

    if (!gotEntry) return 1;
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
