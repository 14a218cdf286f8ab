#include "cli/RenameSource.h"

#include "app/GenreNames.h"
#include "audio/TextCodec.h"

#include <QFile>

namespace cantorix::cli {

namespace {

// Interim reading of an entry, until the freedb module's entry reader is merged in: the checksum
// lookup's rules for the album fields and the rows' numbers and titles.

constexpr qint64 kMaxEntryBytes = 1 << 20; // real entries are a few KiB
constexpr int kMaxEntryLines = 1023;

struct KeyValue {
    std::string key;
    std::string value;
};

std::string trimmed(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

std::string valueOf(const std::vector<KeyValue>& lines, const char* key)
{
    for (const KeyValue& kv : lines)
        if (equalsIgnoreCaseAscii(kv.key, key)) return kv.value;
    return {};
}

// The number after "TTITLE" in a key, plus one, two digits at least; empty when it is no number.
std::string trackNoFromKey(const std::string& key)
{
    size_t at = upperAscii(key).find("TTITLE");
    std::string digits = key.substr(at + 6);
    if (digits.empty() || digits.size() > 4) return {};
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return {};
        n = n * 10 + (c - '0');
    }
    ++n;
    return (n < 10 ? "0" : "") + std::to_string(n);
}

} // namespace

bool SourceFromEntryFile(const QString& path, TRenameSource& source, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QString("cannot read the entry \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxEntryBytes) {
        error = QString("the entry \"%1\" is too large").arg(path);
        return false;
    }
    QByteArray bytes = file.readAll();
    std::string text(bytes.constData(), size_t(bytes.size()));
    if (!isValidUtf8(text)) text = latin1ToUtf8(text); // older entries are ISO-8859-1

    // The lines up to the first empty one, at most 1023, keeping those with "=".
    std::vector<KeyValue> lines;
    size_t pos = 0;
    for (int n = 0; n < kMaxEntryLines && pos < text.size(); ++n) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) break;
        size_t eq = line.find('=');
        if (eq != std::string::npos) lines.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }

    std::string title = valueOf(lines, "DTITLE");
    size_t slash = title.rfind('/');
    if (slash == std::string::npos) {
        source.album.Artist.clear();
        source.album.Album = trimmed(title);
    } else {
        source.album.Artist = trimmed(title.substr(0, slash));
        source.album.Album = trimmed(title.substr(slash + 1));
    }
    source.album.Year = valueOf(lines, "DYEAR");
    source.album.Genre = MatchGenreBoxItem(QString::fromStdString(valueOf(lines, "DGENRE"))).toStdString();

    source.tracks.clear();
    size_t i = 0;
    while (i < lines.size() && !equalsIgnoreCaseAscii(lines[i].key, "TTITLE0")) ++i;
    while (i < lines.size()) {
        const KeyValue& kv = lines[i++];
        if (upperAscii(kv.key).find("TTITLE") == std::string::npos) continue;
        std::string t = kv.value;
        // A title may go on over two more lines of exactly the same key.
        for (int more = 0; more < 2 && i < lines.size() && lines[i].key == kv.key; ++more) t += lines[i++].value;
        source.tracks.push_back({trackNoFromKey(kv.key), t});
    }
    return true;
}

bool SourceFromLookup(const QList<int>&, const QString&, int, TRenameSource&, QString& error, QTextStream&)
{
    error = "the lookup is not available in this build yet; use --entry FILE";
    return false;
}

} // namespace cantorix::cli
