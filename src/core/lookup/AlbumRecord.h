// What a music database says of one album, whichever database it came from: the album fields and the
// numbered track titles. A lookup delivers it; the album workflow puts it into the album model.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

struct TrackTitle {
    QString No;    // two-digit track number text ("01")
    QString Title;
    QString MbRecordingId = {}; // MusicBrainz: the track's recording; empty from freedb
};

// Artist, album, year, genre and the numbered titles of one entry: what the main window shows in
// its album fields and in the grid's "TrackNo" and "Track" columns.
struct AlbumRecord {
    QString Artist;
    QString Album;
    QString Year;
    QString Genre; // the database's genre text, free (not limited to the genre list)
    QList<TrackTitle> Titles;
    // MusicBrainz identifiers of the release read, its credited artists (in credit order) and its
    // release group; empty for an entry from freedb.
    QString MbReleaseId = {};
    QStringList MbArtistIds = {};
    QString MbReleaseGroupId = {};
};

// "01 - Intro": a title as the results window and the match lists show it.
inline QString NumberedTitle(const TrackTitle& title) { return title.No + " - " + title.Title; }
inline QStringList NumberedTitles(const AlbumRecord& record)
{
    QStringList list;
    for (const TrackTitle& t : record.Titles) list << NumberedTitle(t);
    return list;
}

} // namespace cantorix
