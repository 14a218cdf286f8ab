// What a music database says of one album, whichever database it came from: the album fields and the
// numbered track titles. A lookup delivers it; the album workflow puts it into the album model.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

struct TrackTitle {
    QString No;    // two-digit track number text ("01")
    // Credited: the title alone, Artist the track's own artist (empty: the album's), as the database
    // gave them apart (MusicBrainz). Otherwise Title is one text as a person reads it, which on an
    // album of various artists is "Track Artist / Title" (freedb), split only when the files are named.
    QString Title;
    QString Artist = {};
    bool Credited = false;
    QString MbRecordingId = {}; // MusicBrainz: the track's recording; empty from freedb
    int Disc = 0;  // the disc of a set looked up whole (from 1); 0 for an album of one disc
    QString AcoustId = {};  // AcoustID: the fingerprint's ID that placed the file here
    // A file that no fingerprint placed on the release (AcoustID): why, and its title is empty. Such a
    // file keeps its name.
    QString Unmatched = {};
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
    // The number of the disc these titles are on when the release has several ("2"); empty otherwise.
    QString Disc = {};
    // The tracks' artists differ from the album's: each title carries its own (TrackTitle::Artist).
    bool TrackArtists = false;
    // A set of discs looked up whole: how many; the titles carry their disc (TrackTitle::Disc).
    int DiscCount = 0;
};

// The record of disc `disc` (from 1) of a set looked up whole: its titles only, numbered as they are,
// and Disc set; the record itself when it is no set.
inline AlbumRecord DiscOfSet(const AlbumRecord& set, int disc)
{
    if (set.DiscCount <= 1) return set;
    AlbumRecord one = set;
    one.Titles.clear();
    for (const TrackTitle& t : set.Titles)
        if (t.Disc == disc) one.Titles << t;
    one.Disc = QString::number(disc);
    one.DiscCount = 0;
    return one;
}

// The one text a person reads and edits for a track: "Track Artist / Title" when the track has its own
// artist, the title otherwise. Joined only for showing; names and tags take the fields apart.
inline QString JoinTrackArtist(const QString& artist, const QString& title)
{
    return artist.isEmpty() ? title : artist + " / " + title;
}
inline QString TitleText(const TrackTitle& title) { return JoinTrackArtist(title.Artist, title.Title); }

// "01 - Intro": a title as the results window and the match lists show it.
inline QString NumberedTitle(const TrackTitle& title) { return title.No + " - " + TitleText(title); }
inline QStringList NumberedTitles(const AlbumRecord& record)
{
    QStringList list;
    for (const TrackTitle& t : record.Titles) list << NumberedTitle(t);
    return list;
}

} // namespace cantorix
