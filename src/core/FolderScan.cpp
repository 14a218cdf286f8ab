#include "core/FolderScan.h"

#include "audio/AudioUtil.h"
#include "audio/SafeWrite.h"
#include "core/Text.h"
#include "audio/MediaInfoLib.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace cantorix {

namespace {
bool isBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= ' '; }

QString upperAsciiQ(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 'a' + 'A');
    return out;
}
} // namespace

QStringList SplitCommaText(const QString& text)
{
    QStringList items;
    const int n = int(text.size());
    int p = 0;
    auto at = [&](int i) { return i < n ? text[i] : QChar(0); };
    while (p < n && isBlank(at(p))) ++p;
    while (p < n && at(p) != QChar(0)) {
        QString item;
        if (at(p) == '"') {
            ++p;
            while (p < n) {
                if (at(p) == '"') {
                    if (at(p + 1) == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += at(p++);
            }
        } else {
            int start = p;
            while (p < n && at(p).unicode() > ' ' && at(p) != ',') ++p;
            item = text.mid(start, p - start);
        }
        items << item;
        while (p < n && isBlank(at(p))) ++p;
        if (p < n && at(p) == ',') {
            if (p + 1 >= n) items << QString();
            do {
                ++p;
            } while (p < n && isBlank(at(p)));
        }
    }
    return items;
}

QStringList BuildSupportedExtensions(const QString& additionalTypes)
{
    QStringList list = SplitCommaText(upperAsciiQ(additionalTypes));
    list += QString::fromLatin1(BuiltinExtensions).split(',');
    list.sort();
    list.removeDuplicates();
    return list;
}

QString ScanExtension(const QString& name)
{
    return QString::fromStdString(ExtractExtension(name.toStdString()));
}

namespace {

// Sorts items by the text `key` gives, case-insensitively by the user's locale collation.
template <typename T, typename Key>
void sortByCollation(QList<T>& items, Key key)
{
    // Opening the locale's collator loads its rules: not for a list that is already in order.
    if (items.size() < 2) return;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(items.begin(), items.end(), [&](const T& x, const T& y) {
        const QString& a = key(x);
        const QString& b = key(y);
        int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b; // a stable, total order for names equal but for case
    });
}

} // namespace

void SortByCollation(QStringList& names)
{
    sortByCollation(names, [](const QString& s) -> const QString& { return s; });
}

TScanResult ScanFolder(const QString& path, const QStringList& supportedExtensions)
{
    TScanResult result;
    if (path.isEmpty() || !QFileInfo(path).isDir()) return result;
    result.scanned = true;
    result.folder = WithSlash(path);

    // Every regular file (or link to one); hidden files included. Folders, FIFOs, sockets and devices
    // are left out: opening a FIFO would wait for a writer.
    // Each name as shown and as its bytes: a name that is not UTF-8 (an old Latin-1 one) is shown with
    // U+FFFD, but every operation on the file uses its exact bytes.
    QList<std::pair<QString, QByteArray>> entries;
    bool leftovers = false;
    QByteArray encoded = QFile::encodeName(result.folder);
    if (DIR* dir = ::opendir(encoded.constData())) {
        while (dirent* e = ::readdir(dir)) {
            if (isTemporaryFileName(e->d_name)) {
                leftovers = true;
                continue;
            }
            QByteArray full = encoded + e->d_name;
            struct stat st {};
            if (::stat(full.constData(), &st) != 0) {
                // A dangling link or a file we may not stat is still a file name.
                if (::lstat(full.constData(), &st) != 0) continue;
            } else if (!S_ISREG(st.st_mode)) {
                continue;
            }
            entries.append({QFile::decodeName(e->d_name), QByteArray(e->d_name)});
        }
        ::closedir(dir);
    }
    // Temporary files of a tag write whose writer died (killed, crashed): a live writer holds its lock.
    if (leftovers)
        for (const std::string& name : removeAbandonedTemporaryFiles(encoded.toStdString()))
            result.removedLines << QCoreApplication::translate(
                "FolderScan", "Removed the temporary file \"%1\" of an interrupted write")
                                       .arg(QFile::decodeName(QByteArray::fromStdString(name)));
    // By the shown names; equal ones (names that differ only in invalid bytes) keep their readdir order.
    sortByCollation(entries, [](const std::pair<QString, QByteArray>& e) -> const QString& { return e.first; });

    // A media-information library that cannot be loaded gives its files no playing time: say why once.
    TMediaInfoLib& mediaInfo = TMediaInfoLib::shared();
    const uint64_t refusedBefore = mediaInfo.refusals();
    for (const auto& [name, bytes] : std::as_const(entries)) {
        if (!supportedExtensions.contains(ScanExtension(name))) continue;
        result.names << name;
        result.files << bytes;
        const TDurationResult d = ReadAudioDuration((encoded + bytes).toStdString());
        result.lengths << (d.Known ? TTrackLength{d.Seconds, d.Milliseconds, d.Samples, d.SampleRate, true}
                                   : TTrackLength{});
        result.problems << QString::fromStdString(d.Problem);
    }
    if (result.names.isEmpty())
        result.logLine = QCoreApplication::translate("FolderScan", "No audio files found in \"%1\"").arg(result.folder);
    else if (result.names.size() == 1)
        result.logLine = QCoreApplication::translate("FolderScan", "1 audio file found in \"%1\"").arg(result.folder);
    else
        result.logLine = QCoreApplication::translate("FolderScan", "%1 audio files found in \"%2\"")
                             .arg(result.names.size())
                             .arg(result.folder);
    if (mediaInfo.refusals() != refusedBefore) result.notes << QString::fromStdString(mediaInfo.failure());
    return result;
}

} // namespace cantorix
