#include "core/album/AlbumFolders.h"

#include "core/FolderScan.h"
#include "core/Text.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace cantorix {

namespace {

// The entries of one folder that a walk looks at: subfolders (not hidden, not links) and whether it
// holds a file of the extensions. At most `limit` entries are read.
struct TFolderEntries {
    QStringList Folders; // names, sorted by the user's collation
    bool HasAudio = false;
};

TFolderEntries entriesOf(const QString& folder, const QStringList& extensions, int limit = 100000)
{
    TFolderEntries out;
    const QByteArray dirBytes = QFile::encodeName(WithSlash(folder));
    DIR* dir = ::opendir(dirBytes.constData());
    if (!dir) return out;
    int seen = 0;
    while (dirent* e = ::readdir(dir)) {
        if (++seen > limit) break;
        const QByteArray name(e->d_name);
        if (name == "." || name == "..") continue;
        const QByteArray full = dirBytes + name;
        struct stat st {};
        if (::lstat(full.constData(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (!name.startsWith('.')) out.Folders << QFile::decodeName(name);
            continue;
        }
        // A link to a file is a file, as the scan lists it; a link to a folder is not entered.
        if (S_ISLNK(st.st_mode) && (::stat(full.constData(), &st) != 0 || !S_ISREG(st.st_mode))) continue;
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
        if (!out.HasAudio && extensions.contains(ScanExtension(QFile::decodeName(name)))) out.HasAudio = true;
    }
    ::closedir(dir);
    SortByCollation(out.Folders);
    return out;
}

// The folders under `root` (root first), each before its subfolders, at most `limit`.
QStringList foldersUnder(const QString& root, int limit, const QStringList& extensions,
                         QHash<QString, TFolderEntries>* entries)
{
    QStringList order;
    QStringList stack{WithSlash(root)};
    while (!stack.isEmpty() && order.size() < limit) {
        const QString folder = stack.takeLast();
        order << folder;
        TFolderEntries e = entriesOf(folder, extensions);
        for (qsizetype k = e.Folders.size(); k-- > 0;) stack << folder + e.Folders[k] + "/";
        if (entries) entries->insert(folder, std::move(e));
    }
    return order;
}

} // namespace

QStringList FoldersUnder(const QString& root, int limit) { return foldersUnder(root, limit, {}, nullptr); }

bool IsDiscFolderName(const QString& name, int* number)
{
    static const QRegularExpression disc("^(?:cd|dis[ck])[ _.-]*0*([1-9][0-9]?)$", QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = disc.match(name.trimmed());
    if (!m.hasMatch()) return false;
    if (number) *number = m.captured(1).toInt();
    return true;
}

QList<TBatchAlbum> FindAlbums(const QStringList& roots, const QStringList& extensions, int maxFolders)
{
    QList<TBatchAlbum> albums;
    int budget = std::max(maxFolders, 1);
    for (const QString& root : roots) {
        QHash<QString, TFolderEntries> entries;
        const QStringList folders = foldersUnder(root, budget, extensions, &entries);
        budget -= int(folders.size());
        QSet<QString> discFolders; // absorbed into their set
        for (const QString& folder : folders) {
            if (discFolders.contains(folder)) continue;
            const TFolderEntries& e = entries[folder];
            // Subfolders that hold a disc of a set.
            QMap<int, QStringList> discs;
            for (const QString& sub : e.Folders) {
                int n = 0;
                const QString path = folder + sub + "/";
                if (IsDiscFolderName(sub, &n) && entries.value(path).HasAudio) discs[n] << path;
            }
            const int discFolderCount = [&] {
                int c = 0;
                for (const QStringList& l : std::as_const(discs)) c += int(l.size());
                return c;
            }();
            if (discFolderCount >= 2) {
                TBatchAlbum album;
                album.Folder = folder;
                int expected = 1;
                for (auto it = discs.cbegin(); it != discs.cend(); ++it, ++expected) {
                    for (const QString& d : it.value()) {
                        album.Discs << d;
                        discFolders.insert(d);
                    }
                    if (it.value().size() > 1)
                        album.Problem =
                            QCoreApplication::translate("Batch", "two disc folders have the number %1").arg(it.key());
                    else if (it.key() != expected && album.Problem.isEmpty())
                        album.Problem = QCoreApplication::translate(
                            "Batch", "the disc folders are not numbered from 1 without a gap");
                }
                if (e.HasAudio && album.Problem.isEmpty())
                    album.Problem = QCoreApplication::translate("Batch", "audio files stand beside the disc folders");
                albums << album;
                continue;
            }
            if (e.HasAudio) albums << TBatchAlbum{folder, {}, {}};
        }
        if (budget <= 0) break;
    }
    return albums;
}

QString WithoutDiscMark(const QString& album)
{
    static const QRegularExpression mark(
        "[\\s,:-]*[(\\[]?\\s*(?:cd|dis[ck])\\s*[0-9]{1,2}(?:\\s*(?:of|/)\\s*[0-9]{1,2})?\\s*[)\\]]?\\s*$",
        QRegularExpression::CaseInsensitiveOption);
    QString out = album;
    out.remove(mark);
    out = out.trimmed();
    return out.isEmpty() ? album : out;
}

} // namespace cantorix
