#include "cli/LookupRun.h"

#include "core/Text.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace cantorix::cli {

TLookupRun runLookup(TAlbumWorkflow& workflow, TQueryMode mode, const QString& artist, const QString& album,
                     int match, bool listCandidates, QTextStream& log)
{
    TLookupRun result;
    QEventLoop loop;
    QList<QMetaObject::Connection> connections;
    connections << QObject::connect(&workflow, &TAlbumWorkflow::logLine, [&](const QString& line) {
        // The lines echo what servers sent: one line each, no control character reaches the terminal.
        log << EscapeControls(line, true) << '\n';
        log.flush();
    });
    connections << QObject::connect(&workflow, &TAlbumWorkflow::candidatesFound, [&](const QStringList& lines, int) {
        if (listCandidates) {
            for (int i = 0; i < lines.size(); ++i) log << "match " << i << ": " << EscapeControls(lines[i]) << '\n';
            log.flush();
        }
        if (match < lines.size()) {
            workflow.chooseCandidate(match);
        } else {
            result.error = QCoreApplication::translate("cli", "there are only %1 matches").arg(lines.size());
            workflow.chooseCandidate(-1);
        }
    });
    connections << QObject::connect(&workflow, &TAlbumWorkflow::pairingNeeded,
                                    [&](const QList<TrackTitle>&, const QStringList&, const QList<TAlignedRow>& proposed) {
                                        result.pairing = proposed;
                                        workflow.acceptPairing(proposed);
                                    });
    // The reply being handled is finished first: its remaining lines still reach the log.
    connections << QObject::connect(&workflow, &TAlbumWorkflow::lookupFinished, &loop, [&](const TLookupOutcome& o) {
        result.outcome = o;
        QTimer::singleShot(0, &loop, [&] { loop.quit(); });
    });

    result.started = workflow.startLookup(mode, artist, album);
    if (result.started) loop.exec();
    for (const QMetaObject::Connection& c : std::as_const(connections)) QObject::disconnect(c);
    if (!result.started && result.error.isEmpty())
        result.error = QCoreApplication::translate("cli", "nothing to search for: give --artist or --album");
    if (result.outcome.kind == TLookupOutcome::Kind::TimedOut && result.error.isEmpty())
        result.error = result.outcome.reason;
    return result;
}

void fetchCover(TAlbumWorkflow& workflow, QTextStream& log)
{
    QEventLoop loop;
    const QMetaObject::Connection lines = QObject::connect(&workflow, &TAlbumWorkflow::logLine, [&](const QString& line) {
        log << line << '\n';
        log.flush();
    });
    const QMetaObject::Connection done =
        QObject::connect(&workflow, &TAlbumWorkflow::coverFetched, &loop, [&] { loop.quit(); }, Qt::QueuedConnection);
    if (workflow.startCoverFetch()) loop.exec();
    QObject::disconnect(lines);
    QObject::disconnect(done);
}

} // namespace cantorix::cli
