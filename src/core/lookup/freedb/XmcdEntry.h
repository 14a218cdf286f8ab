// freedb database entries in the xmcd format: "#" comment lines describing the disc, then KEY=value
// lines. Reading an entry into the album record, and the completeness check of a fetched entry.
#pragma once

#include "core/Text.h"
#include "core/lookup/AlbumRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

// The grid's file rows: a checksum lookup fills no title past them, and the window starts with this
// many rows.
inline constexpr int GridFileRows = 99;

// The key of an entry line: the text before its first "=", empty without one.
QString XmcdKey(const QString& line);
// The value of `key` (ASCII letters without regard to case): an entry continues a long value over
// several lines with the same key, so the texts after the first "=" of all those lines are joined
// exactly as they stand, in line order (any of DTITLE, DYEAR, DGENRE, TTITLEn, EXTD, EXTTn). Empty
// when no line has the key.
QString XmcdValue(const QStringList& lines, const QString& key);

// A value with the format's escapes translated: "\n" a line feed, "\t" a tab, "\\" one backslash. A
// backslash before anything else (or at the end) stays as it stands.
QString XmcdUnescape(const QString& value);
// The text of a textual key (DTITLE, TTITLEn, EXTD, EXTTn): its lines joined as XmcdValue does, then
// the escapes translated, so that an escape split over two lines is still one.
QString XmcdText(const QStringList& lines, const QString& key);

// Artist, album, year and genre from the joined DTITLE, DYEAR and DGENRE values. The artist is the
// text before the first " / " of DTITLE and the album the text after it; without " / " both are the
// whole title, as the format says. Every value is a single line (control characters, the translated
// line feeds and tabs included, become spaces) and trimmed; the genre is free text.
void ReadAlbumFields(const QStringList& lines, AlbumRecord& record);

// How a title's number is made.
enum class TitleNumbering {
    FromKey,     // checksum lookup: the number in the TTITLEn key plus one
    RunningCount // name lookup: 1, 2, 3 ... in the order found
};
// The track titles from the TTITLE0 line to the end, one per key in the order the keys first
// appear. Every later line with exactly the same key continues that title: the pieces are joined as
// they stand, then the escapes are translated, and the whole title is made a single line and trimmed.
// Without a TTITLE0 line the titles are taken from the first line on. A FromKey number that is not a
// decimal number leaves No empty.
QList<TrackTitle> ReadTrackTitles(const QStringList& lines, TitleNumbering numbering);

// The lines the checksum lookup reads from the CDDB client's entry lines: from the first on, up to
// the first empty one and at most 1023, keeping only those that contain "=".
QStringList ChecksumEntryLines(const QStringList& entryLines);

// The album record as the checksum lookup fills the window from the client's entry lines.
AlbumRecord ReadChecksumEntry(const QStringList& entryLines);
// The album record as the name lookup reads a downloaded entry: every line, titles numbered by count.
AlbumRecord ReadNameEntry(const QStringList& fileLines);
// True when an entry gave neither a disc title nor any track title text: such an entry is corrupt
// whatever its other lines say, since there is nothing to name the files by.
bool IsUntitledEntry(const AlbumRecord& record);

// True when the entry is complete: it has the xmcd header, the "Track frame offsets:",
// "Disc length:" and "Revision:" comments, DISCID=, DTITLE=, TTITLE, EXTD=, EXTT and PLAYORDER=
// lines, and every frame offset, the disc length, the revision and each TTITLEn/EXTTn track number
// is a decimal integer. Lines are looked at trimmed.
bool CheckEntry(const QStringList& entryLines);

// Splits a text at CR LF, CR or LF; the line ends are not part of the lines and a final line end
// does not start another line.
QStringList SplitLines(const QString& text);
// Bytes as text: UTF-8 when they are valid UTF-8 as a whole. Otherwise (an old server, or an entry
// file edited in two encodings) each line is UTF-8 when it is valid UTF-8 and ISO-8859-1 when not,
// so that one Latin-1 line does not garble the UTF-8 lines around it.
QString DecodeReplyText(const QByteArray& bytes);

} // namespace cantorix
