// The grid's view of the album: one row per listed file, then title rows without a file; no empty rows
// to scroll into, where no command has a file to act on. Columns "Filename",
// "Duration", "TrackNo", "Track" and "New name"; only "TrackNo" and "Track" can be edited, and edits go
// into the album. "New name" shows the preview the window hands in, with its collisions marked.
#pragma once

#include "core/rename/RenameRun.h"

#include <QAbstractTableModel>

#include <vector>

namespace cantorix {

class TAlbumSession;

class TAlbumTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColFilename = 0, ColDuration = 1, ColTrackNo = 2, ColTrack = 3, ColNewName = 4, ColumnCount = 5 };
    explicit TAlbumTableModel(TAlbumSession& album, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The "New name" column: what the next run would name each listed file (empty: nothing shown).
    void setPreview(std::vector<TRenameRun::TPreviewRow> rows);
    const std::vector<TRenameRun::TPreviewRow>& preview() const { return m_preview; }

private:
    void albumRowsChanged(int first, int last);

    TAlbumSession& m_album;
    int m_rows = 0; // the row count the view was last told of
    std::vector<TRenameRun::TPreviewRow> m_preview;
};

} // namespace cantorix
