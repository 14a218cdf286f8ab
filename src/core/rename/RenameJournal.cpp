#include "core/rename/RenameJournal.h"

#include "core/rename/NameFormat.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace {

constexpr qint64 kMaxJournalBytes = 16 << 20; // some 100,000 rows; anything larger is not ours
constexpr int kMaxJournalFiles = 1000;        // bounds the search of the journal folder
constexpr int kMaxMoves = 100000;

// Names are bytes; JSON wants Unicode. Percent-encoding keeps every byte and reads as the name where
// the name is plain.
QString enc(const std::string& bytes)
{
    return QString::fromLatin1(QByteArray::fromStdString(bytes).toPercentEncoding(" []()-_.,'&!+#@"));
}
std::string dec(const QJsonValue& v) { return QByteArray::fromPercentEncoding(v.toString().toLatin1()).toStdString(); }

QByteArray toJson(const TRenameJournalData& d)
{
    QJsonObject o;
    o["version"] = 1;
    o["folder"] = enc(d.Folder);
    o["folderAfter"] = enc(d.FolderAfter);
    QJsonArray moves;
    for (const TJournalMove& m : d.Moves) moves.append(QJsonObject{{"from", enc(m.From)}, {"to", enc(m.To)}, {"done", m.Done}});
    o["moves"] = moves;
    o["playlist"] = enc(d.Playlist);
    o["playlistSha256"] = QString::fromStdString(d.PlaylistSha256);
    o["wroteTags"] = d.WroteTags;
    o["finished"] = d.Finished;
    o["started"] = double(d.Started);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool fromJson(const QByteArray& bytes, TRenameJournalData& d)
{
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return false;
    QJsonObject o = doc.object();
    if (o["version"].toInt() != 1) return false;
    d = {};
    d.Folder = withSlash(dec(o["folder"]));
    if (d.Folder.size() < 2 || d.Folder[0] != '/') return false;
    d.FolderAfter = dec(o["folderAfter"]);
    if (!d.FolderAfter.empty()) d.FolderAfter = withSlash(d.FolderAfter);
    const QJsonArray moves = o["moves"].toArray();
    if (moves.size() > kMaxMoves) return false;
    for (const QJsonValue& v : moves) {
        QJsonObject m = v.toObject();
        TJournalMove move{dec(m["from"]), dec(m["to"]), m["done"].toBool()};
        // A bare name never holds "/": a journal that says otherwise is not followed.
        for (const std::string& n : {move.From, move.To})
            if (n.empty() || n.find('/') != std::string::npos || n == "." || n == "..") return false;
        d.Moves.push_back(std::move(move));
    }
    d.Playlist = dec(o["playlist"]);
    if (d.Playlist.find('/') != std::string::npos) return false;
    d.PlaylistSha256 = o["playlistSha256"].toString().toStdString();
    d.WroteTags = o["wroteTags"].toBool();
    d.Finished = o["finished"].toBool();
    d.Started = int64_t(o["started"].toDouble());
    return true;
}

std::string fileSha256(const std::string& path)
{
    TFileReader f;
    if (!f.open(path) || f.size() > kMaxJournalBytes) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char buf[65536];
    for (size_t n; (n = f.readSome(buf, sizeof buf)) > 0;) hash.addData(QByteArrayView(buf, qsizetype(n)));
    if (f.remaining() != 0) return {};
    return hash.result().toHex().toStdString();
}

std::string q(const std::string& name) { return "\"" + name + "\""; }

} // namespace

std::string TRenameJournal::defaultDirectory()
{
    // The XDG rule: an absolute $XDG_STATE_HOME, otherwise ~/.local/state.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!base.startsWith('/')) base = QDir::homePath() + "/.local/state";
    return QFile::encodeName(base + "/Cantorix").toStdString();
}

TRenameJournal::TRenameJournal(std::string directory) : m_directory(std::move(directory)) {}

IoResult TRenameJournal::save()
{
    if (!enabled()) return IoResult::success();
    if (m_path.empty()) {
        if (!QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(m_directory))))
            return IoResult::failure("cannot create the folder \"" + m_directory + "\"");
        QByteArray id = QCryptographicHash::hash(QByteArray::fromStdString(m_data.Folder), QCryptographicHash::Sha1).toHex();
        m_path = withSlash(m_directory) + "rename-" + id.toStdString() + ".json";
    }
    QByteArray json = toJson(m_data);
    return writeWholeFile(m_path, json.constData(), size_t(json.size()));
}

bool TRenameJournal::findFor(const std::string& directory, const std::string& folder, TRenameJournalData& data,
                             std::string& path)
{
    const std::string want = withSlash(folder);
    QDir dir(QFile::decodeName(QByteArray::fromStdString(directory)));
    const QStringList names = dir.entryList({"rename-*.json"}, QDir::Files, QDir::Name);
    bool found = false;
    int seen = 0;
    for (const QString& name : names) {
        if (++seen > kMaxJournalFiles) break;
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxJournalBytes) continue;
        TRenameJournalData d;
        if (!fromJson(f.read(kMaxJournalBytes), d)) continue;
        const std::string current = d.FolderAfter.empty() ? d.Folder : d.FolderAfter;
        if (current != want) continue;
        if (!found || d.Started >= data.Started) {
            data = std::move(d);
            path = QFile::encodeName(f.fileName()).toStdString();
            found = true;
        }
    }
    return found;
}

IoResult TRenameJournal::remove(const std::string& path)
{
    if (::unlink(path.c_str()) != 0) return IoResult::fromErrno(errno);
    return IoResult::success();
}

TUndoReport UndoRenameRun(const TRenameJournalData& journal, const std::string& currentFolder, bool dryRun)
{
    TUndoReport r;
    std::string folder = withSlash(currentFolder); // the album folder once undone
    std::string onDisk = folder;                     // where its files are now

    // The folder first: the files then move back inside the folder they began in.
    if (!journal.FolderAfter.empty() && folder == journal.FolderAfter) {
        const std::string from = withoutSlash(journal.FolderAfter), to = withoutSlash(journal.Folder);
        if (entryExists(to)) {
            r.Lines.push_back("Undo left the folder " + q(from) + ": " + q(to) + " exists now");
            ++r.LeftAlone;
        } else {
            IoResult moved = dryRun ? IoResult::success() : moveNoReplace(from, to);
            if (moved) {
                r.Lines.push_back("Folder renamed back to " + q(to));
                folder = journal.Folder;
                if (!dryRun) onDisk = journal.Folder;
            } else {
                r.Lines.push_back("Undo left the folder " + q(from) + " (" + moved.error + ")");
                ++r.LeftAlone;
            }
        }
    }
    const std::string& filesIn = onDisk;

    if (!journal.Playlist.empty()) {
        const std::string path = filesIn + journal.Playlist;
        if (!entryExists(path)) {
            // Gone already: nothing to remove.
        } else if (fileSha256(path) != journal.PlaylistSha256) {
            r.Lines.push_back("Undo left the playlist " + q(journal.Playlist) + ": it was changed since");
            ++r.LeftAlone;
        } else if (dryRun || ::unlink(path.c_str()) == 0) {
            r.Lines.push_back("Playlist " + q(journal.Playlist) + " removed");
        } else {
            r.Lines.push_back("Undo left the playlist " + q(journal.Playlist) + " (" + errnoText(errno) + ")");
            ++r.LeftAlone;
        }
    }

    // Last move first, so that a name a later row freed is free again when an earlier row wants it.
    for (auto it = journal.Moves.rbegin(); it != journal.Moves.rend(); ++it) {
        const TJournalMove& m = *it;
        if (m.From == m.To) continue;
        const bool hasNew = entryExists(filesIn + m.To), hasOld = entryExists(filesIn + m.From);
        if (!hasNew && hasOld) continue; // never moved, or moved back already
        if (!hasNew) {
            if (m.Done) {
                r.Lines.push_back("Undo left " + q(m.To) + ": it is no longer there");
                ++r.LeftAlone;
            }
            continue;
        }
        if (hasOld) {
            r.Lines.push_back("Undo left " + q(m.To) + ": " + q(m.From) + " is taken now");
            ++r.LeftAlone;
            continue;
        }
        IoResult moved = dryRun ? IoResult::success() : moveNoReplace(filesIn + m.To, filesIn + m.From);
        if (moved) {
            r.Lines.push_back(q(m.To) + " -> " + q(m.From));
            ++r.MovedBack;
        } else {
            r.Lines.push_back("Undo left " + q(m.To) + " (" + moved.error + ")");
            ++r.LeftAlone;
        }
    }
    if (journal.WroteTags) r.Lines.push_back("The run wrote tags; their values are not undone");
    r.Folder = folder;
    return r;
}

bool UnfinishedRunIn(const std::string& journalDirectory, const std::string& folder)
{
    TRenameJournalData journal;
    std::string path;
    return TRenameJournal::findFor(journalDirectory, folder, journal, path) && !journal.Finished;
}

TUndoReport UndoLastRun(const std::string& journalDirectory, const std::string& folder, bool dryRun, bool& found)
{
    TRenameJournalData journal;
    std::string path;
    found = TRenameJournal::findFor(journalDirectory, folder, journal, path);
    if (!found) return TUndoReport{{NothingToUndoLine}, 0, 0, withSlash(folder)};
    TUndoReport report = UndoRenameRun(journal, folder, dryRun);
    if (!dryRun) {
        // The record is spent: what was left alone is listed now, and a second undo would only repeat it.
        IoResult removed = TRenameJournal::remove(path);
        if (!removed) report.Lines.push_back("Cannot remove the undo journal \"" + path + "\" (" + removed.error + ")");
    }
    return report;
}

} // namespace cantorix
