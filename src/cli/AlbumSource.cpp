#include "cli/AlbumSource.h"

#include "core/album/AlbumSession.h"
#include "core/GenreNames.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "core/lookup/freedb/NameQuery.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace cantorix::cli {

namespace {
constexpr qint64 kMaxEntryBytes = 1 << 20; // real entries are a few KiB
}

bool applyEntryFile(TAlbumSession& album, const QString& path, QString& error)
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
    album.applyEntry(ReadChecksumEntry(SplitLines(DecodeReplyText(file.read(kMaxEntryBytes)))));
    return true;
}

TLookupRun runChecksumLookup(TAlbumSession& album, const TLookupConfig& config, int match, QTextStream& log)
{
    TLookupRun result;
    TChecksumLookup lookup;
    QEventLoop loop;
    QObject::connect(&lookup, &TChecksumLookup::logLine, [&](const QString& line) {
        log << line << '\n';
        log.flush();
    });
    QObject::connect(&lookup, &TChecksumLookup::matchChoiceNeeded, [&](const QStringList& matches) {
        if (match < matches.size()) {
            lookup.chooseMatch(match);
        } else {
            result.error = QString("there are only %1 matches").arg(matches.size());
            lookup.chooseMatch(-1);
        }
    });
    // The reply being processed is finished first: its remaining lines still reach the log.
    QObject::connect(&lookup, &TChecksumLookup::finished, &loop, [&](const TLookupOutcome& outcome) {
        if (outcome.kind == TLookupOutcome::Kind::EntryRead) {
            result.entryRead = true;
            album.applyEntry(outcome.record);
        }
        result.timedOut = outcome.kind == TLookupOutcome::Kind::TimedOut;
        if (result.timedOut) result.timeoutMessage = lookup.timeoutMessage();
        QTimer::singleShot(0, &loop, [&] { loop.quit(); });
    });

    lookup.start(DurationTexts(album.durations()), album.folder(), config);
    loop.exec();
    lookup.abandon();
    if (result.timedOut) result.error = TChecksumLookup::TimeoutCaption;
    return result;
}

TSearchRun runNameQuery(TAlbumSession& album, const TNameQueryConfig& config, const TAlbumGuess& words, int match,
                        QTextStream& log)
{
    TSearchRun result;
    TNameQuery query;
    QEventLoop loop;
    QObject::connect(&query, &TNameQuery::logLine, [&](const QString& line) {
        log << line << '\n';
        log.flush();
    });
    QObject::connect(&query, &TNameQuery::matchChoiceNeeded, [&](const QStringList& matches) {
        for (int i = 0; i < matches.size(); ++i) log << "match " << i << ": " << matches[i] << '\n';
        log.flush();
        if (match < matches.size()) {
            query.chooseMatch(match);
        } else {
            result.error = QString("there are only %1 matches").arg(matches.size());
            query.chooseMatch(-1);
        }
    });
    QObject::connect(&query, &TNameQuery::finished, &loop, [&](const TLookupOutcome& outcome) {
        if (outcome.kind == TLookupOutcome::Kind::EntryRead) {
            result.entryRead = true;
            const AlbumRecord& record = outcome.record;
            album.setFields({record.Artist, record.Album, record.Year, MatchGenreBoxItem(record.Genre)});
            result.titles = NumberedTitles(record);
            result.rows = AlignTitles(result.titles, album.fileNames());
            ApplyAlignment(album, result.titles, result.rows);
            album.setCanRename(!record.Album.isEmpty());
        }
        result.timedOut = outcome.kind == TLookupOutcome::Kind::TimedOut;
        if (result.timedOut) result.timeoutMessage = outcome.reason;
        QTimer::singleShot(0, &loop, [&] { loop.quit(); });
    });

    if (!query.start(words.Artist, words.Album, album.folder(), config)) {
        result.error = "nothing to search for: give --artist or --album";
        return result;
    }
    loop.exec();
    query.abandon();
    if (result.timedOut) result.error = result.timeoutMessage;
    return result;
}

} // namespace cantorix::cli
