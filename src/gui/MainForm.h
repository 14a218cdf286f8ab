// The main window: folder tree, file grid, album fields, log pane. It owns the settings store and the
// per-folder state (the listed files and their playing times); the work itself is done by the core.
#pragma once

#include "gui/FolderTree.h"
#include "core/Settings.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTableView;
class QTimer;
class QToolButton;
class QWidget;

namespace cantorix {

class TRenameRun;
class TChecksumLookup;
class TNameQuery;
class TAlbumSession;
class TAlbumTableModel;
struct AlbumRecord;
struct TRenameOptions;
struct TRenameReport;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Grid columns.
    enum Column { ColFilename = 0, ColDuration = 1, ColTrackNo = 2, ColTrack = 3 };

    // `settingsFile` is the INI file; `startFolder` the folder given on the command line (may be empty).
    TMainForm(const QString& settingsFile, const QString& startFolder, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Appends a line to the log and selects it, which scrolls it into view.
    void AppendLog(const QString& line);
    // The application-wide handler: one "[ERROR] Native:" line per exception nobody else handled.
    void AppException(const QString& exceptionText);

    // The folder scan of the selected tree node.
    void MainTreeClick();

    // The album the grid and the album fields show.
    TAlbumSession& album() { return *m_album; }
    TAlbumTableModel& gridModel() { return *m_gridModel; }

    TSettings& settings() { return *m_settings; }
    TChecksumLookup& checksumLookup() { return *m_lookup; }
    TNameQuery& nameQuery() { return *m_nameQuery; }
    // Where "Save log" writes: asks with a save dialog that proposes `proposed`; tests put their own
    // answer here. An empty answer cancels.
    void setSaveLogChooser(std::function<QString(const QString& proposed)> chooser) { m_chooseSavePath = std::move(chooser); }
    // The user guide to open for Help: installed, or the source tree's in a build; empty when none.
    static QString helpFile();
    const QStringList& supportedExtensions() const { return m_supportedExtensions; }
    TFolderTree* mainTree() const { return MainTree; }
    // The scanned folder with its trailing "/", as shown in lbFolder.
    QString scannedFolder() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void applySettings(const QString& startFolder);
    void saveSettings();
    void showAlbumFields();
    void albumFieldEdited();
    // Wraps a handler so that an exception escaping it becomes a log line instead of unwinding
    // through the toolkit.
    std::function<void()> guarded(void (TMainForm::*handler)());

    // Handlers, named after their control and event.
    void MainTreeChange();
    void btRefreshClick();
    void btQueryModeClick();
    void cmbNameFormatChange();
    void chRenameFolderClick();
    void cmbFolderFormatChange();
    void Splitter1Moved();
    void mnuCopyClick();
    void mnuSaveLogClick();
    void FormKeyDown(int key);
    void mnuOpenFolderClick();
    void mnuRefreshClick();
    void mnuPlayClick();
    void mnuFixClick();
    void mnuShowInfoClick();
    void FileGridDblClick(const QModelIndex& index);
    void btRenameByTagClick();
    // Opens the information window on `file` (full path, file-system bytes), then rescans.
    void showInfoWindow(const QByteArray& file);
    // A lookup or a rename run holds the window: the grid's keys and Refresh do nothing.
    bool windowLocked() const;
    void GridMenuPopup(const QPoint& pos);
    void btActionClick();
    void buildMenus();
    void mnuOpenFolderDialogClick();
    void mnuHelpClick();
    void mnuAboutClick();
    // "Rename will rename files, write tags, ..." beside the Rename button.
    void showNextRun();
    // "<folder name> — Cantorix".
    void showTitle();
    void mnuUndoClick();
    // "Options": the options window, modal; the lists and switches it changes are shown afterwards.
    void btOptionsClick();
    void fillNameFormats();
    // Whether the listed folder holds the record of a rename run that did not finish; the offer to undo it.
    bool unfinishedRunHere() const;
    void offerUndoOfUnfinishedRun();
    // The options the next run takes: the settings' switches, the window's format lists.
    TRenameOptions currentRenameOptions() const;
    void refreshPreview();
    void showRenameReport(const TRenameReport& report);
    void RenameTimerTimer();
    void btQueryClick();
    void lockLookupControls(bool locked);
    void lookupMatchChoice(const QStringList& matches);
    void lookupEntryRead(const AlbumRecord& record);
    void lookupTimedOut();
    // Query by name: the album guess into edArtist/edAlbum, the search and its windows.
    void guessAlbum();
    void nameQueryStart();
    void nameQueryMatchChoice(const QStringList& matches);
    void nameQueryEntryRead(const AlbumRecord& record, const QString& folder);
    void showDownload(qint64 received, qint64 total);
    void hideDownload();

    // The full path of the file in the grid's selected row, as the file system holds it; empty for none.
    QByteArray selectedFile() const;
    // Rebuilds the tree, selects `folder` and scans it, once.
    void selectAndScan(const QString& folder);

public:
    // Controls, named as the rest of the system and the tests know them.
    QComboBox* cmbNameFormat = nullptr;
    QCheckBox* chRenameFolder = nullptr;
    QComboBox* cmbFolderFormat = nullptr;
    QToolButton* btQueryModeName = nullptr;
    QToolButton* btQueryModeChecksum = nullptr;
    QLineEdit* edDBArtist = nullptr;
    QLineEdit* edDBAlbum = nullptr;
    QLineEdit* edDBYear = nullptr;
    QComboBox* GenreBox = nullptr;
    QPushButton* btOptions = nullptr;
    QPushButton* btRenameByTag = nullptr;
    QPushButton* btQuery = nullptr;
    QPushButton* btAction = nullptr;
    TFolderTree* MainTree = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* panelName = nullptr;
    QLineEdit* edArtist = nullptr;
    QLineEdit* edAlbum = nullptr;
    QTableView* FileGrid = nullptr;
    QProgressBar* Progress = nullptr;
    QLabel* lbFolder = nullptr;
    QLabel* lbPreview = nullptr;
    QLabel* lbNextRun = nullptr;
    QAction* mnuUndo = nullptr;
    QPushButton* btRefresh = nullptr;
    QSplitter* SplitterLog = nullptr;
    QListWidget* lsLog = nullptr;
    QTimer* ConnectionTimer = nullptr;
    QTimer* RenameTimer = nullptr;
    QMenu* GridMenu = nullptr;
    QAction* mnuShowInfo = nullptr;
    QAction* mnuPlay = nullptr;
    QAction* mnuOpenFolder = nullptr;
    QAction* mnuRefresh = nullptr;
    QAction* mnuFix = nullptr;
    QAction* mnuHelp = nullptr;
    QMenu* logMenu = nullptr;

private:
    std::unique_ptr<TSettings> m_settings;
    std::unique_ptr<TRenameRun> m_renameRun;
    TChecksumLookup* m_lookup = nullptr; // the window's CDDB client and its workflow
    TNameQuery* m_nameQuery = nullptr;   // the web search of the "Name" query mode
    TAlbumSession* m_album = nullptr;
    TAlbumTableModel* m_gridModel = nullptr;
    bool m_showingFields = false;
    bool m_lookupLocked = false;
    std::function<QString(const QString&)> m_chooseSavePath;
    // Grid columns: the widths the user set (saved), and the share of spare room each shows on top.
    void fitColumns();
    std::array<int, 5> m_columnWidths{150, 70, 70, 110, 150};
    std::array<int, 5> m_columnShare{};
    bool m_fittingColumns = false;
    bool m_fitPending = false;
    QStringList m_supportedExtensions;
};

} // namespace cantorix
