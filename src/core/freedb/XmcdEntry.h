// freedb database entries in the xmcd format: "#" comment lines describing the disc, then KEY=value
// lines. Reading an entry into the album record, and the completeness check of a fetched entry.
#pragma once

#include "core/Text.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

struct TrackTitle {
    QString No;    // two-digit track number text ("01")
    QString Title;
};

// Artist, album, year, genre and the numbered titles of one entry: what the main window shows in
// its "FreeDB info" fields and in the grid's "TrackNo" and "Track" columns (title k in row k+1).
struct AlbumRecord {
    QString Artist;
    QString Album;
    QString Year;
    QString Genre; // the entry's DGENRE text; the window selects the genre list item equal to it
    QList<TrackTitle> Titles;
};

// The grid's file rows: a checksum lookup fills no title past them, and the window starts with this
// many rows.
inline constexpr int GridFileRows = 99;

// The key of an entry line: the text before its first "=", empty without one.
QString XmcdKey(const QString& line);
// The value of the first line whose key equals `key` (ASCII letters without regard to case): the
// text after its first "=". Empty when no line has the key.
QString XmcdValue(const QStringList& lines, const QString& key);

// Artist, album, year and genre from DTITLE, DYEAR and DGENRE. The artist is the text before the
// last "/" of DTITLE and the album the text after it, both trimmed; without "/" the artist is empty.
void ReadAlbumFields(const QStringList& lines, AlbumRecord& record);

// How a title's number is made.
enum class TitleNumbering {
    FromKey,     // checksum lookup: the number in the TTITLEn key plus one
    RunningCount // name lookup: 1, 2, 3 ... in the order found
};
// The track titles from the TTITLE0 line to the end. A title may go on over at most two further
// lines with exactly the same key. Without a TTITLE0 line the titles are taken from the first line on.
// A FromKey number that is not a decimal number leaves No empty.
QList<TrackTitle> ReadTrackTitles(const QStringList& lines, TitleNumbering numbering);

// The lines the checksum lookup reads from the CDDB client's entry lines: from the first on, up to
// the first empty one and at most 1023, keeping only those that contain "=".
QStringList ChecksumEntryLines(const QStringList& entryLines);

// The album record as the checksum lookup fills the window from the client's entry lines.
AlbumRecord ReadChecksumEntry(const QStringList& entryLines);
// The album record as the name lookup reads a downloaded entry: every line, titles numbered by count.
AlbumRecord ReadNameEntry(const QStringList& fileLines);
// "01 - Intro": the name lookup's list for the results window.
QStringList NumberedTitles(const AlbumRecord& record);

// True when the entry is complete: it has the xmcd header, the "Track frame offsets:",
// "Disc length:" and "Revision:" comments, DISCID=, DTITLE=, TTITLE, EXTD=, EXTT and PLAYORDER=
// lines, and every frame offset, the disc length, the revision and each TTITLEn/EXTTn track number
// is a decimal integer.
bool CheckEntry(const QStringList& entryLines);

// Splits a text at CR LF, CR or LF; the line ends are not part of the lines and a final line end
// does not start another line.
QStringList SplitLines(const QString& text);
// Bytes as text: UTF-8 when they are valid UTF-8, ISO-8859-1 otherwise.
QString DecodeReplyText(const QByteArray& bytes);

} // namespace cantorix
