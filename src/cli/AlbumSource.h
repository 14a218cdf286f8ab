// Where the commands take album data from: an xmcd entry file, or the window's checksum lookup run to
// its end. Both fill the album the same way a lookup fills the window's fields and grid.
#pragma once

#include "core/AlbumGuess.h"
#include "core/lookup/freedb/ResultsAlignment.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cantorix {
class TAlbumSession;
struct TLookupConfig;
struct TNameQueryConfig;
} // namespace cantorix

namespace cantorix::cli {

// Reads an xmcd entry file the way the lookup reads the entry it receives. False with the reason in
// `error` when the file cannot be read.
bool applyEntryFile(TAlbumSession& album, const QString& path, QString& error);

struct TLookupRun {
    bool entryRead = false;
    bool timedOut = false;
    QString error; // why no entry was read, when the lookup itself did not say it in the log
    QString timeoutMessage; // when it timed out: which server gave no answer, and what to do
};

// Runs the checksum lookup of the album's folder from its playing times on the configured server,
// taking match `match` (from 0) when there are several; the lookup's log lines go to `log` as they
// come. The entry read fills the album.
TLookupRun runChecksumLookup(TAlbumSession& album, const TLookupConfig& config, int match, QTextStream& log);

struct TSearchRun : TLookupRun {
    QStringList titles;      // the entry's numbered titles ("01 - Intro")
    QList<TAlignedRow> rows; // their pairing with the album's files, as the results window starts
};

// Runs the name query for `words` on the configured search site, taking match `match` (from 0) of
// the result page; the query's log lines and the match lines ("match N: <line>") go to `log` as
// they come. The entry read gives the album its fields and, row by row as AlignTitles pairs them,
// the titles of its files.
TSearchRun runNameQuery(TAlbumSession& album, const TNameQueryConfig& config, const TAlbumGuess& words, int match,
                        QTextStream& log);

} // namespace cantorix::cli
