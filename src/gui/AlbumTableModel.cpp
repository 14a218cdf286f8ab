#include "gui/AlbumTableModel.h"

#include "audio/AudioUtil.h"
#include "core/album/AlbumSession.h"

#include <QBrush>
#include <QFile>
#include <QPalette>

namespace cantorix {

namespace {
const char* const kHeaders[] = {QT_TRANSLATE_NOOP("cantorix::TAlbumTableModel", "Filename"),
    QT_TRANSLATE_NOOP("cantorix::TAlbumTableModel", "Duration"),
    QT_TRANSLATE_NOOP("cantorix::TAlbumTableModel", "TrackNo"),
    QT_TRANSLATE_NOOP("cantorix::TAlbumTableModel", "Track"),
    QT_TRANSLATE_NOOP("cantorix::TAlbumTableModel", "New name")};

QString shown(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
}

TAlbumTableModel::TAlbumTableModel(TAlbumSession& album, QObject* parent) : QAbstractTableModel(parent), m_album(album)
{
    connect(&m_album, &TAlbumSession::reset, this, [this] {
        beginResetModel();
        m_rows = m_album.rowCount();
        endResetModel();
    });
    connect(&m_album, &TAlbumSession::rowsChanged, this, &TAlbumTableModel::albumRowsChanged);
}

void TAlbumTableModel::albumRowsChanged(int first, int last)
{
    const int wanted = m_album.rowCount();
    if (wanted > m_rows) {
        beginInsertRows({}, m_rows, wanted - 1);
        m_rows = wanted;
        endInsertRows();
    }
    if (first <= last && first < m_rows)
        emit dataChanged(index(first, ColFilename), index(std::min(last, m_rows - 1), ColumnCount - 1));
}

int TAlbumTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int TAlbumTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TAlbumTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const int r = index.row();
    if (index.column() == ColNewName) {
        if (r >= int(m_preview.size())) return {};
        const TRenameRun::TPreviewRow& p = m_preview[size_t(r)];
        switch (role) {
        case Qt::DisplayRole:
            return shown(p.NewName);
        case Qt::ToolTipRole:
            if (!p.CollidesWith.empty()) return shown(CollisionText(p.CollidesWith));
            if (p.Shortened) return tr("shortened to fit the file system");
            if (p.NoTitle) return tr("no title: keeps its name");
            if (p.NoName) return tr("the format gives no name: keeps its name");
            if (p.Unchanged) return tr("unchanged");
            return {};
        case Qt::ForegroundRole:
            if (!p.CollidesWith.empty()) return QBrush(QColor(0xb0, 0x00, 0x20));
            if (p.Unchanged) return QPalette().brush(QPalette::Disabled, QPalette::Text);
            return {};
        case Qt::BackgroundRole:
            if (!p.CollidesWith.empty()) return QBrush(QColor(0xff, 0xe0, 0xe0));
            return {};
        default:
            return {};
        }
    }
    if (index.column() == ColDuration && r < m_album.fileCount() && !m_album.row(r).DurationProblem.isEmpty()) {
        // Not "00:00": the user must see that this file has no playing time, and why.
        if (role == Qt::DisplayRole) return QString("--:--");
        if (role == Qt::ToolTipRole) return m_album.row(r).DurationProblem;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    const TAlbumRow& row = m_album.row(r);
    switch (index.column()) {
    case ColFilename:
        return row.FileName;
    case ColDuration:
        return r < m_album.fileCount() ? QString::fromStdString(FormatDuration(row.Length.Seconds)) : QString();
    case ColTrackNo:
        return row.TrackNo;
    case ColTrack:
        return TitleCell(row);
    default:
        return {};
    }
}

bool TAlbumTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole) return false;
    if (index.column() == ColTrackNo) {
        m_album.setTrackNo(index.row(), value.toString());
        return true;
    }
    if (index.column() == ColTrack) {
        m_album.setTitle(index.row(), value.toString());
        return true;
    }
    return false;
}

Qt::ItemFlags TAlbumTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    // A file's name changes only by renaming it, never by typing over the cell.
    if (index.column() == ColTrackNo || index.column() == ColTrack) f |= Qt::ItemIsEditable;
    return f;
}

void TAlbumTableModel::setPreview(std::vector<TRenameRun::TPreviewRow> rows)
{
    const int changed = int(std::max(rows.size(), m_preview.size()));
    m_preview = std::move(rows);
    if (std::min(changed, m_rows) > 0)
        emit dataChanged(index(0, ColNewName), index(std::min(changed, m_rows) - 1, ColNewName));
}

QVariant TAlbumTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return tr(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace cantorix
