// A lookup of the album workflow run to its end from the command line: the first matching candidate
// (or the one --match names) is taken and a search's proposed pairing is accepted as it stands.
#pragma once

#include "core/album/AlbumWorkflow.h"

#include <QTextStream>

namespace cantorix::cli {

struct TLookupRun {
    TLookupOutcome outcome;
    bool started = false;
    QString error; // why no album was read, when the lookup's own lines do not say it
    QList<TAlignedRow> pairing; // a search's rows as accepted
    bool entryRead() const { return outcome.kind == TLookupOutcome::Kind::EntryRead; }
};

// Runs a lookup of the workflow's album: candidate `match` (from 0) when there are several; the log
// lines go to `log` as they come, and with `listCandidates` a "match N: <line>" line per candidate.
TLookupRun runLookup(TAlbumWorkflow& workflow, TQueryMode mode, const QString& artist, const QString& album,
                     int match, bool listCandidates, QTextStream& log);

// Fetches the front cover of the workflow's album (a MusicBrainz release) and waits for it; its lines
// go to `log`. Nothing when there is no release to fetch for.
void fetchCover(TAlbumWorkflow& workflow, QTextStream& log);

} // namespace cantorix::cli
