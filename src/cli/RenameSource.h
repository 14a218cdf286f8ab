// Where `cantorix-cli rename` takes the album data from: an xmcd entry file or the checksum lookup.
// Both give what the window holds after a lookup: the album fields and, per grid row, its track
// number and title.
#pragma once

#include "core/rename/RenameRun.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <string>
#include <vector>

namespace cantorix {
struct TLookupConfig;
}

namespace cantorix::cli {

struct TRenameSource {
    TAlbumData album; // Genre: the genre list's item equal to the entry's genre, empty when none is
    struct Track {
        std::string TrackNo;
        std::string Title;
    };
    std::vector<Track> tracks; // the k-th goes into grid row k
};

// Reads an xmcd entry file the way the checksum lookup reads the entry it received. False with the
// reason in `error` when the file cannot be read.
bool SourceFromEntryFile(const QString& path, TRenameSource& source, QString& error);

// Runs the checksum lookup of `folder` from its whole-second playing times with `config` and reads
// match number `match` (from 0) when there are several. The lookup's log lines go to `log`. False
// with the reason in `error` when no entry was read.
bool SourceFromLookup(const QStringList& trackDurations, const QString& folder, const TLookupConfig& config,
                      int match, TRenameSource& source, QString& error, QTextStream& log);

} // namespace cantorix::cli
