// The main window: folder tree, file grid, album fields, log pane. It presents the album workflow of
// the core (listing, lookups, pairing, rename runs, undo) and turns its signals into what the user
// sees; the work itself, and every decision about the album, is the workflow's.
#pragma once

#include "core/Settings.h"
#include "gui/FolderTree.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

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
class QShortcut;
class QSplitter;
class QTableView;
class QToolButton;
class QWidget;

namespace cantorix {

class TAlbumSession;
class TAlbumTableModel;
class TElidedLabel;
class TLookupStatus;
class TAlbumWorkflow;
class TGridColumns;
class TLogPane;
struct TLookupOutcome;
struct TRenameOptions;
struct TRenameReport;
struct TrackTitle;
struct TAlignedRow;

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

    TAlbumWorkflow& workflow() { return *m_workflow; }
    // The album the grid and the album fields show.
    TAlbumSession& album();
    TAlbumTableModel& gridModel() { return *m_gridModel; }
    TSettings& settings() { return *m_settings; }
    // Where "Save log" writes: asks with a save dialog that proposes `proposed`; tests put their own
    // answer here. An empty answer cancels.
    void setSaveLogChooser(std::function<QString(const QString& proposed)> chooser);
    // The user guide to open for Help: installed, or the source tree's in a build; empty when none.
    const QStringList& supportedExtensions() const;
    TFolderTree* mainTree() const { return MainTree; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The widgets, menus and their connections (MainFormLayout.cpp).
    void buildLayout();
    void buildMenus();
    void connectWorkflow();
    void applySettings(const QString& startFolder);
    void restorePlacement();
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
    void cmbDatabaseChange();
    void cmbNameFormatChange();
    void chRenameFolderClick();
    void cmbFolderFormatChange();
    void Splitter1Moved();
    void FormKeyDown(int key);
    void mnuOpenFolderClick();
    void mnuRefreshClick();
    void mnuPlayClick();
    void mnuFixClick();
    void mnuShowInfoClick();
    void FileGridDblClick(const QModelIndex& index);
    void btRenameByTagClick();
    void GridMenuPopup(const QPoint& pos);
    void btActionClick();
    void btQueryClick();
    void mnuOpenFolderDialogClick();
    void mnuHelpClick();
    void mnuAboutClick();
    void mnuUndoClick();
    void mnuBatchClick();
    void btOptionsClick();

    // The workflow's requests and reports.
    void lookupRunningChanged(bool running);
    void cancelLookupClick();
    void candidatesFound(const QStringList& lines, int preselected);
    void pairingNeeded(const QList<TrackTitle>& titles, const QStringList& files, const QList<TAlignedRow>& proposed);
    void lookupFinished(const TLookupOutcome& outcome);
    void offerUndoOfUnfinishedRun();
    void renameProgress(int rowsDone, int rows);
    void renameFinished(const TRenameReport& report, const QString& folder);

    // Opens the information window on `file` (full path, file-system bytes); a file renamed there keeps
    // its row, its titles and the selection.
    void showInfoWindow(const QByteArray& file);
    // A lookup or a rename run holds the window: the grid's keys and Refresh do nothing.
    bool windowLocked() const;
    // Rename, the grid's commands, Refresh and Undo as the album and a running lookup allow.
    void updateActions();
    // Hands `path` to the desktop; a message says so when no program takes it.
    void openWithDesktop(const QByteArray& path);
    // "Rename will rename files, write tags, ..." beside the Rename button.
    void showNextRun();
    // "<folder name> — Cantorix".
    void showTitle();
    // Fills cmbNameFormat and selects `selected` (its first entry when it lacks it).
    void fillNameFormats(const QString& selected);
    // The options the next run takes: the settings' switches, the window's format lists.
    TRenameOptions currentRenameOptions() const;
    void refreshPreview();
    // Query by name: the album guess into edArtist/edAlbum.
    void guessAlbum();
    // The full path of the file in grid row `row`, as the file system holds it; empty for none.
    QByteArray fileOfRow(int row) const;
    // The same for the grid's selected row.
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
    QComboBox* cmbDatabase = nullptr;
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
    TElidedLabel* lbFolder = nullptr;
    TElidedLabel* lbPreview = nullptr;
    TLookupStatus* lookupStatus = nullptr; // in the status bar while a lookup runs
    QLabel* lbNextRun = nullptr;
    QAction* mnuUndo = nullptr;
    QPushButton* btRefresh = nullptr;
    QSplitter* SplitterLog = nullptr;
    TLogPane* lsLog = nullptr;
    QMenu* GridMenu = nullptr;
    QAction* mnuShowInfo = nullptr;
    QAction* mnuPlay = nullptr;
    QAction* mnuOpenFolder = nullptr;
    QAction* mnuRefresh = nullptr;
    QAction* mnuRefreshMain = nullptr; // File > Refresh
    QAction* mnuFix = nullptr;
    QAction* mnuHelp = nullptr;

private:
    std::unique_ptr<TSettings> m_settings;
    TAlbumWorkflow* m_workflow = nullptr;
    TAlbumTableModel* m_gridModel = nullptr;
    TGridColumns* m_columns = nullptr;
    bool m_showingFields = false;
    bool m_lookupLocked = false;
    bool m_renaming = false;
    QPointer<QWidget> m_focusBefore; // where the keyboard focus was when a lookup locked the window
    QShortcut* m_cancelKey = nullptr; // Esc, while a lookup runs
};

} // namespace cantorix
