#include "cli/RenameSource.h"

#include "core/GenreNames.h"
#include "core/freedb/ChecksumLookup.h"
#include "core/freedb/XmcdEntry.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace cantorix::cli {

namespace {

constexpr qint64 kMaxEntryBytes = 1 << 20; // real entries are a few KiB

// The album record as the window takes it into its fields and grid.
TRenameSource sourceFromRecord(const AlbumRecord& record)
{
    TRenameSource source;
    source.album.Artist = record.Artist.toStdString();
    source.album.Album = record.Album.toStdString();
    source.album.Year = record.Year.toStdString();
    source.album.Genre = MatchGenreBoxItem(record.Genre).toStdString();
    for (const TrackTitle& t : record.Titles) source.tracks.push_back({t.No.toStdString(), t.Title.toStdString()});
    return source;
}

} // namespace

bool SourceFromEntryFile(const QString& path, TRenameSource& source, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QString("cannot read the entry \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxEntryBytes) {
        error = QString("the entry \"%1\" is too large").arg(path);
        return false;
    }
    source = sourceFromRecord(ReadChecksumEntry(SplitLines(DecodeReplyText(file.readAll()))));
    return true;
}

bool SourceFromLookup(const QStringList& trackDurations, const QString& folder, const TLookupConfig& config,
                      int match, TRenameSource& source, QString& error, QTextStream& log)
{
    TChecksumLookup lookup;
    QEventLoop loop;
    bool gotEntry = false;
    QObject::connect(&lookup, &TChecksumLookup::logLine, [&](const QString& line) {
        log << line << '\n';
        log.flush();
    });
    QObject::connect(&lookup, &TChecksumLookup::matchChoiceNeeded, [&](const QStringList& matches) {
        if (match < matches.size()) {
            lookup.chooseMatch(match);
        } else {
            error = QString("there are only %1 matches").arg(matches.size());
            lookup.chooseMatch(-1);
        }
    });
    QObject::connect(&lookup, &TChecksumLookup::entryRead, [&](const AlbumRecord& record, const QString&) {
        gotEntry = true;
        source = sourceFromRecord(record);
    });
    QObject::connect(&lookup, &TChecksumLookup::timedOut, [&] { error = TChecksumLookup::TimeoutCaption; });
    // The lookup has ended when the window would unlock; the reply being processed is finished first.
    QObject::connect(&lookup, &TChecksumLookup::unlockControls, &loop,
                     [&] { QTimer::singleShot(0, &loop, [&] { loop.quit(); }); });

    lookup.start(trackDurations, folder, config);
    loop.exec();
    lookup.abandon();
    if (!gotEntry && error.isEmpty()) error = "no album data found";
    return gotEntry;
}

} // namespace cantorix::cli
