#include "core/lookup/freedb/XmcdEntry.h"

#include "audio/TextCodec.h"

#include <QHash>
#include <QStringView>

namespace cantorix {

namespace {

// The checksum lookup reads at most this many of the client's entry lines.
constexpr int MaxChecksumLines = 1023;

bool equalsIgnoreAsciiCase(const QString& a, const QString& b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= 'a' && x <= 'z') x = char16_t(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = char16_t(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

QString valueOf(const QString& line)
{
    qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

bool isDigit(QChar c) { return c >= '0' && c <= '9'; }

// Line `line` is "#", one more character, then `text`.
bool commentHas(const QString& line, const QString& text)
{
    return line.startsWith('#') && line.mid(2, text.size()) == text;
}

bool isDiscLengthLine(const QString& line) { return commentHas(line, "Disc length:"); }

// "TTITLEn=" / "EXTTn=": one or two digits after the prefix and the "=" right after them.
bool hasTrackNumber(const QString& line, qsizetype prefixLength)
{
    qsizetype i = prefixLength;
    qsizetype digits = 0;
    while (i < line.size() && isDigit(line[i]) && digits < 3) {
        ++i;
        ++digits;
    }
    return (digits == 1 || digits == 2) && i < line.size() && line[i] == '=';
}

// A value as the album record holds it: one line, trimmed.
QString fieldValue(const QString& text) { return TrimControls(SingleLine(text)); }

QString twoDigits(int n) { return (n < 10 ? "0" : "") + QString::number(n); }

} // namespace

QString XmcdKey(const QString& line)
{
    qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : line.left(eq);
}

QString XmcdValue(const QStringList& lines, const QString& key)
{
    QString value;
    for (const QString& line : lines) {
        qsizetype eq = line.indexOf('=');
        if (eq >= 0 && equalsIgnoreAsciiCase(line.left(eq), key)) value += QStringView(line).mid(eq + 1);
    }
    return value;
}

QString XmcdUnescape(const QString& value)
{
    QString out;
    out.reserve(value.size());
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value[i];
        const QChar next = i + 1 < n ? value[i + 1] : QChar();
        if (c == '\\' && (next == 'n' || next == 't' || next == '\\')) {
            out += next == 'n' ? QChar('\n') : next == 't' ? QChar('\t') : QChar('\\');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString XmcdText(const QStringList& lines, const QString& key) { return XmcdUnescape(XmcdValue(lines, key)); }

void ReadAlbumFields(const QStringList& lines, AlbumRecord& record)
{
    // " / " is reserved for the separator; a "/" without a space on both sides belongs to a name
    // ("AC/DC / Live", "Band / Live 1/2"). It is looked for before line feeds and tabs become spaces:
    // they are not the separator's spaces.
    static const QString separator = " / ";
    const QString title = TrimControls(XmcdText(lines, "DTITLE"));
    qsizetype at = title.indexOf(separator);
    if (at < 0) {
        record.Album = fieldValue(title);
        record.Artist = record.Album;
    } else {
        record.Artist = fieldValue(title.left(at));
        record.Album = fieldValue(title.mid(at + separator.size()));
    }
    record.Year = fieldValue(XmcdValue(lines, "DYEAR"));
    record.Genre = fieldValue(XmcdValue(lines, "DGENRE"));
}

QList<TrackTitle> ReadTrackTitles(const QStringList& lines, TitleNumbering numbering)
{
    QList<TrackTitle> titles;
    QHash<QString, qsizetype> rowOfKey; // where each key's title is joined
    const qsizetype n = lines.size();
    qsizetype first = 0;
    for (qsizetype k = 0; k < n; ++k)
        if (equalsIgnoreAsciiCase(XmcdKey(lines[k]), "TTITLE0")) {
            first = k;
            break;
        }
    for (qsizetype i = first; i < n; ++i) {
        const QString key = XmcdKey(lines[i]);
        qsizetype at = key.indexOf("TTITLE");
        if (at < 0) continue;
        // Pieces are joined as they stand: a piece may end or begin with the space between two words.
        auto known = rowOfKey.constFind(key);
        if (known != rowOfKey.constEnd()) {
            titles[*known].Title += valueOf(lines[i]);
            continue;
        }
        TrackTitle t;
        t.Title = valueOf(lines[i]);
        if (numbering == TitleNumbering::RunningCount) {
            t.No = twoDigits(int(titles.size()) + 1);
        } else {
            QString digits = key.mid(at + 6);
            bool ok = !digits.isEmpty() && digits.size() <= 6;
            for (QChar c : digits) ok = ok && isDigit(c);
            if (ok) t.No = twoDigits(digits.toInt() + 1);
        }
        rowOfKey.insert(key, titles.size());
        titles << t;
    }
    for (TrackTitle& t : titles) t.Title = fieldValue(XmcdUnescape(t.Title));
    return titles;
}

QStringList ChecksumEntryLines(const QStringList& entryLines)
{
    QStringList kept;
    const qsizetype n = std::min<qsizetype>(entryLines.size(), MaxChecksumLines);
    for (qsizetype i = 0; i < n; ++i) {
        if (entryLines[i].isEmpty()) break;
        if (entryLines[i].contains('=')) kept << entryLines[i];
    }
    return kept;
}

AlbumRecord ReadChecksumEntry(const QStringList& entryLines)
{
    QStringList lines = ChecksumEntryLines(entryLines);
    AlbumRecord record;
    ReadAlbumFields(lines, record);
    record.Titles = ReadTrackTitles(lines, TitleNumbering::FromKey);
    if (record.Titles.size() > GridFileRows) record.Titles.resize(GridFileRows);
    return record;
}

AlbumRecord ReadNameEntry(const QStringList& fileLines)
{
    AlbumRecord record;
    ReadAlbumFields(fileLines, record);
    record.Titles = ReadTrackTitles(fileLines, TitleNumbering::RunningCount);
    return record;
}

bool IsUntitledEntry(const AlbumRecord& record)
{
    if (!record.Artist.isEmpty() || !record.Album.isEmpty()) return false;
    for (const TrackTitle& t : record.Titles)
        if (!t.Title.isEmpty()) return false;
    return true;
}

bool CheckEntry(const QStringList& rawLines)
{
    // The client keeps lines as received (a title piece may end in a space); the check reads them trimmed.
    QStringList entryLines;
    entryLines.reserve(rawLines.size());
    for (const QString& line : rawLines) entryLines << TrimControls(line);
    bool xmcd = false, offsets = false, discLength = false, revision = false, discId = false;
    bool dtitle = false, ttitle = false, extd = false, extt = false, playorder = false;
    bool numbers = true;
    const qsizetype n = entryLines.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QString& line = entryLines[i];
        if (line.contains("# xmcd")) xmcd = true;
        if (line.startsWith('#')) {
            if (!offsets && commentHas(line, "Track frame offsets:")) {
                offsets = true;
                // The offsets block ends at a "#" line, the disc length line or the end of the lines.
                for (qsizetype j = i + 1; j < n; ++j) {
                    const QString& o = entryLines[j];
                    if (TrimControls(o) == "#" || isDiscLengthLine(o)) break;
                    if (o.startsWith('#') && !ParseInt32(TrimControls(o.mid(2)))) numbers = false;
                }
            }
            if (!discLength && isDiscLengthLine(line)) {
                discLength = true;
                QString text = line.mid(15);
                qsizetype space = text.indexOf(' ');
                if (space >= 0) text.truncate(space);
                if (!ParseInt32(text)) numbers = false;
            }
            if (!revision && commentHas(line, "Revision:")) {
                revision = true;
                if (!ParseInt32(line.mid(12))) numbers = false;
            }
            continue;
        }
        if (line.startsWith("DISCID=")) discId = true;
        if (line.startsWith("DTITLE=")) dtitle = true;
        if (line.startsWith("EXTD=")) extd = true;
        if (line.startsWith("PLAYORDER=")) playorder = true;
        if (line.startsWith("TTITLE")) {
            ttitle = true;
            if (!hasTrackNumber(line, 6)) numbers = false;
        }
        if (line.startsWith("EXTT")) {
            extt = true;
            if (!hasTrackNumber(line, 4)) numbers = false;
        }
    }
    return xmcd && offsets && discLength && revision && discId && dtitle && ttitle && extd && extt && playorder &&
        numbers;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        QChar c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines << text.mid(start, i - start);
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

QString DecodeReplyText(const QByteArray& bytes)
{
    const std::string_view all(bytes.constData(), size_t(bytes.size()));
    if (isValidUtf8(all)) return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (size_t start = 0; start < all.size();) {
        // Each piece ends after a CR or LF (or at the end), so every step moves on.
        size_t end = all.find_first_of("\r\n", start);
        end = end == std::string_view::npos ? all.size() : end + 1;
        const std::string_view line = all.substr(start, end - start);
        const auto size = qsizetype(line.size());
        text += isValidUtf8(line) ? QString::fromUtf8(line.data(), size) : QString::fromLatin1(line.data(), size);
        start = end;
    }
    return text;
}

} // namespace cantorix
