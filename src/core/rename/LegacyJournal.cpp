#include "core/rename/LegacyJournal.h"

#include "core/rename/RenameJournal.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>
#include <unistd.h>

namespace cantorix::journal {

namespace {

std::string legacyDec(const QJsonValue& v)
{
    return QByteArray::fromPercentEncoding(v.toString().toLatin1()).toStdString();
}

} // namespace

bool fromLegacyJson(const std::string& bytes, TRenameJournalData& d)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return false;
    const QJsonObject o = doc.object();
    if (o["version"].toInt() != 1) return false;
    d = {};
    d.Folder = withSlash(legacyDec(o["folder"]));
    if (d.Folder.size() < 2 || d.Folder[0] != '/' || d.Folder.find('\0') != std::string::npos) return false;
    if (const std::string after = legacyDec(o["folderAfter"]); !after.empty()) {
        // Only a sibling of the folder is followed.
        const std::string name = lastName(after);
        if (!usableBareName(name) || parentOf(withSlash(after)) != parentOf(d.Folder)) return false;
        d.FolderAfter = parentOf(d.Folder) + name + "/";
        d.FolderMoved = true;
    }
    const QJsonArray moves = o["moves"].toArray();
    if (size_t(moves.size()) > kMaxMoves) return false;
    for (const QJsonValue& v : moves) {
        const QJsonObject m = v.toObject();
        TJournalMove move{legacyDec(m["from"]), legacyDec(m["to"]), m["done"].toBool()};
        if (!usableBareName(move.From) || !usableBareName(move.To)) return false;
        d.Moves.push_back(std::move(move));
    }
    d.Playlist = legacyDec(o["playlist"]);
    if (!d.Playlist.empty() && !isPlaylistName(d.Playlist)) return false;
    d.PlaylistSha256 = o["playlistSha256"].toString().toStdString();
    if (!d.Playlist.empty() && !isSha256Hex(d.PlaylistSha256)) return false;
    d.WroteTags = o["wroteTags"].toBool();
    d.Finished = o["finished"].toBool();
    // Any number may stand there: one int64_t cannot hold is unknown (0) rather than converted.
    const double started = o["started"].toDouble();
    d.Started = started >= 0 && started < 9.0e18 ? int64_t(started) : 0;
    return true;
}

void migrateLegacy(const std::string& directory)
{
    const std::string dir = withSlash(directory);
    for (const std::string& name : namesIn(directory, "rename-", kLegacySuffix)) {
        if (const std::optional<std::string> bytes = readRecord(dir + name)) {
            TRenameJournalData d;
            if (fromLegacyJson(*bytes, d) && !entryExists(dir + TRenameJournal::fileNameFor(d.Folder))) {
                TRenameJournal j(directory);
                j.data() = d;
                if (!j.save()) continue; // kept, to be tried again
            }
        }
        ::unlink((dir + name).c_str());
    }
}

} // namespace cantorix::journal
