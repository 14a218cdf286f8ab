// Where `cantorix-cli rename` takes the album data from: an xmcd entry file or a lookup. Both give
// what the window holds after a lookup: the album fields and, per grid row, its track number and
// title.
#pragma once

#include "rename/RenameRun.h"

#include <QString>
#include <QTextStream>

#include <string>
#include <vector>

namespace cantorix::cli {

struct TRenameSource {
    TAlbumData album;     // Genre: the genre box's item, empty when the entry's genre is not in the list
    struct Track {
        std::string TrackNo;
        std::string Title;
    };
    std::vector<Track> tracks; // the k-th goes into grid row k
};

// Reads an xmcd entry file the way the checksum lookup reads the entry it received. False with the
// reason in `error` when the file cannot be read.
bool SourceFromEntryFile(const QString& path, TRenameSource& source, QString& error);

// Looks the folder's durations up on a CDDB server (the checksum lookup) and reads the chosen match
// (`match`, 0-based, among several). False with the reason in `error`; progress goes to `log`.
bool SourceFromLookup(const QList<int>& seconds, const QString& server, int match, TRenameSource& source,
                      QString& error, QTextStream& log);

} // namespace cantorix::cli
