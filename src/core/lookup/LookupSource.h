// A music database as the album workflow sees it: find the candidates for an album, let the user (or
// the command line) choose one, read it, and say how that ended. The freedb checksum lookup, the
// freedb name query and any further database implement this; the workflow picks one by the query
// mode and the database setting and never branches on which it is.
//
// The order of events of one lookup:
//   start() -> [stepChanged, progress, logLine ...] -> candidatesFound -> choose() / cancel()
//           -> [candidateChosen] -> [stepChanged, progress, logLine ...] -> finished
// finished comes exactly once per start(), later, from the event loop (never from inside start()),
// except after abandon(), after which the source says nothing more about that lookup.
#pragma once

#include "core/TrackLength.h"
#include "core/lookup/AlbumRecord.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace cantorix {

// What a lookup knows of the album it looks for.
struct TLookupRequest {
    QString Folder;             // the listed folder, with "/"
    QList<TTrackLength> Lengths; // the listed files' playing times, in grid order
    QStringList FileNames;      // the same files' names as shown
    QString Artist, Album;      // the words of a search by name (empty for a lookup by playing times)
    // A single candidate that is not an exact match is offered too (candidatesFound) instead of being
    // read at once: whoever chooses without a person decides by candidateFits().
    bool ConfirmInexact = false;
    // A set of several discs looked up whole by playing times: each disc's lengths in disc order (the
    // first is Lengths). Empty for one disc. Only a source whose supportsDiscSets() takes it.
    QList<QList<TTrackLength>> Discs = {};
};

// How close a candidate comes to the files, for a choice made without a person.
struct TCandidateFit {
    qint64 DeltaMs = -1;  // the mean difference per track between the files and the candidate; -1: unknown
    bool Exact = false;   // an exact match: the files' own disc ID
};

// The steps a lookup reports while it runs, for the window's busy indicator.
enum class TLookupStep {
    Fingerprinting, // the files are being fingerprinted (filesDone counts them)
    Connecting, // the first request is on its way
    Searching,  // candidates are being found (a disc query, a search page)
    Reading,    // the chosen candidate's data are being read
};

// How a lookup ended.
struct TLookupOutcome {
    enum class Kind {
        EntryRead, // the chosen album was read: `record` holds it
        NoMatch,   // the database knows no such album
        Cancelled, // the user cancelled the choice, chose none, or cancelled the lookup
        Failed,    // a request failed, the data were refused or corrupt
        TimedOut,  // no answer within the time limit
    };
    Kind kind = Kind::Failed;
    QString reason;  // one line: what ended it ("Entry read", "No match found", the failure's reason)
    QString message; // TimedOut: the longer text the window shows in its message box; else empty
    int code = 0;    // the protocol's status code behind it (CDDB or HTTP); 0 when none
    QString folder;  // the folder looked up, with "/"
    AlbumRecord record; // EntryRead only
    // EntryRead: the titles are in the database's order, not the files': the user pairs them with the
    // files (the results window) before they are applied. False: title k belongs to file k.
    bool needsPairing = false;
};

class TLookupSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TLookupSource() override = default;

    // Starts a lookup for `request`; one still running is abandoned first. False when nothing was
    // started (the reason went to logLine, e.g. no words to search for); then no finished follows.
    virtual bool start(const TLookupRequest& request) = 0;
    // The answer to candidatesFound: the index of the chosen line; -1 (or any index out of range)
    // for none, which ends the lookup as Cancelled.
    virtual void choose(int index) = 0;
    // Ends the running lookup now, at any step, as Cancelled; a reply that still comes is ignored.
    virtual void cancel() = 0;
    // Drops the running lookup without a word: no further signal for it.
    virtual void abandon() = 0;
    // Between start() and finished.
    virtual bool running() const = 0;
    // From candidatesFound until the choice: how each offered line fits, in the order of the lines
    // (empty when the source cannot tell).
    virtual QList<TCandidateFit> candidateFits() const { return {}; }
    // Whether a request's Discs (a set of discs looked up whole) are taken.
    virtual bool supportsDiscSets() const { return false; }

signals:
    void logLine(const QString& line);
    void stepChanged(cantorix::TLookupStep step);
    // Bytes of the current download so far and its announced size (0 when none was announced).
    void progress(qint64 received, qint64 total);
    // Files done of all, while the step is Fingerprinting.
    void filesDone(int done, int total);
    // Several candidates (or one that the user should confirm): one line each, in the order to show,
    // and the line to preselect (-1 for none). Answer with choose() or cancel(); the answer may come
    // from inside the signal (a modal window) or later.
    void candidatesFound(const QStringList& lines, int preselected);
    // The chosen candidate's artist and album, while its data are read.
    void candidateChosen(const QString& artist, const QString& album);
    void finished(const cantorix::TLookupOutcome& outcome);
};

} // namespace cantorix
