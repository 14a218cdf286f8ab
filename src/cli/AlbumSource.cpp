#include "cli/AlbumSource.h"

#include "core/AlbumSession.h"
#include "core/freedb/ChecksumLookup.h"
#include "core/freedb/XmcdEntry.h"

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

} // namespace cantorix::cli
