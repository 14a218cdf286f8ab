// The album being worked on: the listed folder, one row per listed file (name, playing time, track
// number and title), the album fields and whether "Rename" may run. The album workflow fills it from
// the folder scan and the lookups; the grid shows it; the rename run takes a snapshot of it; the
// lookups take its playing times.
#pragma once

#include "core/AlbumGuess.h"
#include "core/FolderScan.h"
#include "core/TrackLength.h"
#include "core/album/ResultsAlignment.h"
#include "core/lookup/AlbumRecord.h"
#include "core/rename/RenameRun.h"

#include <QList>
#include <QObject>
#include <QString>

#include <vector>

namespace cantorix {

struct TAlbumRow {
    QString FileName; // bare name as shown; empty for a title row beyond the listed files
    QByteArray FileBytes; // the same name as the file system holds it, byte for byte
    TTrackLength Length;     // playing time (Known false when none could be read)
    QString DurationProblem; // why there is no playing time; empty when there is one
    QString TrackNo;
    // As TrackTitle has them: Credited, the title alone and the track's own artist (empty: the album's);
    // otherwise one text (an entry's title, a cell the user edited), split when the files are named.
    QString Title;
    QString MbRecordingId = {}; // MusicBrainz: the title's recording, written into the tags
    QString AcoustId = {};      // AcoustID: the fingerprint's ID, written into the tags
    QString Unmatched = {};     // AcoustID: why no track was found for the file (it keeps its name)
    QString TrackArtist = {};
    bool Credited = false;
};

// The grid's "Track" cell: the one text a person reads and edits ("Track Artist / Title").
inline QString TitleCell(const TAlbumRow& row) { return JoinTrackArtist(row.TrackArtist, row.Title); }

// The identifiers of a MusicBrainz album, written into the tags beside the fields; empty otherwise.
struct TAlbumIds {
    QString Release;
    QStringList Artists;
    QString ReleaseGroup;
};

// The "FreeDB info" fields. Genre is free text: the database's genre as it stands ("Misc", "Pop-Folk"),
// or what the user typed or picked from the genre list.
struct TAlbumFields {
    QString Artist, Album, Year, Genre;
    bool operator==(const TAlbumFields&) const = default;
};

class TAlbumSession : public QObject {
    Q_OBJECT
public:
    explicit TAlbumSession(QObject* parent = nullptr);

    // A new folder: its listed files and playing times; titles, fields and the rename state are cleared.
    void loadScan(const TScanResult& scan);
    // No folder listed (an empty or missing path).
    void clear();

    // The listed folder with a trailing "/"; empty when none is.
    const QString& folder() const { return m_folder; }
    // Rows: the listed files first, then title rows without a file when an entry held more titles.
    int rowCount() const { return int(m_rows.size()); }
    int fileCount() const { return m_fileCount; }
    // Row i from 0; an empty row outside.
    const TAlbumRow& row(int i) const;
    QList<TTrackLength> lengths() const; // playing times of the listed files, in order
    // The artist and album a search by name starts from, guessed from the first listed file (its tags,
    // its name, its folder); empty when no file is listed.
    TAlbumGuess guessedWords() const;
    QStringList fileNames() const;  // the listed files, in order, as shown
    std::vector<std::string> fileBytes() const; // the same, as the file system holds them
    int filesWithoutPlayingTime() const;

    // Track number and title of row i (from 0). A row past the end is added as a title row, up to
    // MaxRows; beyond that nothing is stored. The title is a text as the cell shows it: a changed one
    // replaces the row's credited artist and title.
    void setTrackNo(int i, const QString& text);
    void setTitle(int i, const QString& text);
    // The listed file of row i (from 0) now bears `bytes` as its bare name; its playing time, number and
    // title stay. Nothing for a row that is no listed file or an empty name.
    void setFileName(int i, const QByteArray& bytes);

    const TAlbumFields& fields() const { return m_fields; }
    void setFields(const TAlbumFields& fields);

    // The fields of a lookup's album, the genre as the database wrote it; and the record's disc and
    // track-artist marks.
    void setFieldsFrom(const AlbumRecord& record);
    // What a lookup by playing times or an entry file delivers: the fields and title k into row k.
    // Enables renaming when the album name is not empty.
    void applyEntry(const AlbumRecord& record);
    // What the user paired after a search by name: each row with both a title and a file gives that
    // file's row the title's number and text; every other row loses its number and title, so that no
    // file keeps one of an earlier lookup. Returns how many files got a title; renaming is enabled when
    // any did.
    int applyPairing(const QList<TrackTitle>& titles, const QList<TAlignedRow>& rows);

    // Whether "Rename" may run: an entry was applied since the last scan, and the run has not been
    // started since.
    bool canRename() const { return m_canRename; }
    void setCanRename(bool can);

    // The snapshot the rename run takes: the listed files' rows (bare names as file-system bytes) and
    // the album fields. A credited row gives its track's artist as it is; on an album of various
    // artists (variousArtists) any other title, a text "Track Artist / Title", is split into the two.
    std::vector<TRenameRow> renameRows() const;
    const TAlbumIds& ids() const { return m_ids; }
    TAlbumData albumData() const;
    // The artist field names various artists ("Various", "VA" ...), or the lookup's titles carry the
    // tracks' own artists.
    bool variousArtists() const;
    // The disc of a set that the listed folder holds ("2"), from the lookup; empty for a single disc.
    const QString& disc() const { return m_disc; }

    // Rows beyond this are not stored: a hostile entry must not grow the grid without end.
    static constexpr int MaxRows = 10000;

signals:
    // Everything changed (a scan, clear).
    void reset();
    // Name, track number or title of rows [first, last] changed; rows may have been added at the end.
    void rowsChanged(int first, int last);
    void fieldsChanged();
    void canRenameChanged(bool can);

private:
    bool ensureRow(int i);

    QString m_folder;
    QList<TAlbumRow> m_rows;
    int m_fileCount = 0;
    TAlbumFields m_fields;
    TAlbumIds m_ids;
    QString m_disc;
    bool m_trackArtists = false; // the lookup's tracks carry artists of their own
    bool m_canRename = false;
};

} // namespace cantorix
