#include "core/freedb/XmcdEntry.h"

#include "audio/TextCodec.h"

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

QString twoDigits(int n) { return (n < 10 ? "0" : "") + QString::number(n); }

} // namespace

QString XmcdKey(const QString& line)
{
    qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : line.left(eq);
}

QString XmcdValue(const QStringList& lines, const QString& key)
{
    for (const QString& line : lines) {
        qsizetype eq = line.indexOf('=');
        if (eq >= 0 && equalsIgnoreAsciiCase(line.left(eq), key)) return line.mid(eq + 1);
    }
    return {};
}

void ReadAlbumFields(const QStringList& lines, AlbumRecord& record)
{
    // Any "/" separates, also one inside a name: the last one decides.
    QString title = XmcdValue(lines, "DTITLE");
    qsizetype slash = title.lastIndexOf('/');
    if (slash < 0) {
        record.Artist.clear();
        record.Album = TrimControls(title);
    } else {
        record.Artist = TrimControls(title.left(slash));
        record.Album = TrimControls(title.mid(slash + 1));
    }
    record.Year = XmcdValue(lines, "DYEAR");
    record.Genre = XmcdValue(lines, "DGENRE");
}

QList<TrackTitle> ReadTrackTitles(const QStringList& lines, TitleNumbering numbering)
{
    QList<TrackTitle> titles;
    const qsizetype n = lines.size();
    qsizetype i = 0;
    for (qsizetype k = 0; k < n; ++k)
        if (equalsIgnoreAsciiCase(XmcdKey(lines[k]), "TTITLE0")) {
            i = k;
            break;
        }
    while (i < n) {
        const QString key = XmcdKey(lines[i]);
        qsizetype at = key.indexOf("TTITLE");
        if (at < 0) {
            ++i;
            continue;
        }
        QString title = valueOf(lines[i]);
        ++i;
        // A long title goes on over lines with the same key: at most two more are joined.
        for (int more = 0; more < 2 && i < n && XmcdKey(lines[i]) == key; ++more, ++i) title += valueOf(lines[i]);

        TrackTitle t;
        t.Title = title;
        if (numbering == TitleNumbering::RunningCount) {
            t.No = twoDigits(int(titles.size()) + 1);
        } else {
            QString digits = key.mid(at + 6);
            bool ok = !digits.isEmpty() && digits.size() <= 6;
            for (QChar c : digits) ok = ok && isDigit(c);
            if (ok) t.No = twoDigits(digits.toInt() + 1);
        }
        titles << t;
    }
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

QStringList NumberedTitles(const AlbumRecord& record)
{
    QStringList list;
    for (const TrackTitle& t : record.Titles) list << t.No + " - " + t.Title;
    return list;
}

bool CheckEntry(const QStringList& entryLines)
{
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
    std::string_view view(bytes.constData(), size_t(bytes.size()));
    return isValidUtf8(view) ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

} // namespace cantorix
