// The collection window (File › Rename a collection…): every album under a folder, looked up and
// renamed by the batch of the core, listed with its outcome as it comes, with a progress bar and
// Cancel. An album that was not renamed can be opened in the main window; Undo takes back the whole
// batch.
#pragma once

#include "core/album/AlbumBatch.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace cantorix {

class TSettings;

class TBatchForm : public QDialog {
    Q_OBJECT
public:
    enum Column { ColFolder = 0, ColOutcome = 1, ColAlbum = 2, ColNote = 3 };

    // The albums under `root` are listed at once; start() begins the batch (the window starts it when
    // it is shown). `settings` must outlive the window.
    TBatchForm(TSettings& settings, const QString& root, const TBatchOptions& options, QWidget* parent = nullptr);
    ~TBatchForm() override;

    // Begins the batch once; nothing when no album was found.
    void start();
    TAlbumBatch& batch() { return *m_batch; }
    int albumCount() const { return int(m_albums.size()); }
    // The folder the user chose to open in the main window (the first disc of a set); empty for none.
    const QString& folderToOpen() const { return m_open; }

    QTableWidget* lvAlbums = nullptr;
    QProgressBar* Progress = nullptr;
    QLabel* lbSummary = nullptr;
    QPushButton* btCancel = nullptr; // Cancel while the batch runs, Close afterwards
    QPushButton* btOpen = nullptr;   // "Open in main window"
    QPushButton* btUndo = nullptr;   // Undo of the whole batch

signals:
    void logLine(const QString& line);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void btCancelClick();
    void btOpenClick();
    void btUndoClick();
    void albumStarted(int index);
    void albumFinished(const TBatchResult& result);
    void batchFinished();
    void updateButtons();

    std::unique_ptr<TAlbumBatch> m_batch;
    QList<TBatchAlbum> m_albums;
    TBatchOptions m_options;
    QString m_root;
    QString m_open;
    bool m_started = false;
    bool m_undone = false;
};

} // namespace cantorix
