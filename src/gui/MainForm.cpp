#include "gui/MainForm.h"

#include "audio/IoResult.h"
#include "audio/Paths.h"
#include "core/AlbumGuess.h"
#include "core/CoverFile.h"
#include "core/GenreNames.h"
#include "core/SettingsKeys.h"
#include "core/Text.h"
#include "core/album/AlbumWorkflow.h"
#include "core/album/SettingsValues.h"
#include "core/rename/NameFormatList.h"
#include "core/rename/RenameLines.h"
#include "core/rename/TrackNumberFix.h"
#include "gui/AlbumTableModel.h"
#include "gui/BatchForm.h"
#include "gui/DesktopOpen.h"
#include "gui/DialogSize.h"
#include "gui/ElidedLabel.h"
#include "gui/GridColumns.h"
#include "gui/InfoForm.h"
#include "gui/LogPane.h"
#include "gui/LookupStatus.h"
#include "gui/MatchForm.h"
#include "gui/Messages.h"
#include "gui/OptionsForm.h"
#include "gui/RenameByTagForm.h"
#include "gui/ResultsForm.h"

#include <QDateTime>
#include <QLocale>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

// The window's icon lives in a resource of the GUI library, which is static: it must be registered.
static void initResources() { Q_INIT_RESOURCE(cantorix); }

namespace cantorix {

TMainForm::TMainForm(const QString& settingsFile, const QString& startFolder, QWidget* parent)
    : QMainWindow(parent)
{
    initResources();
    m_settings = std::make_unique<TSettings>(settingsFile);
    m_workflow = new TAlbumWorkflow(*m_settings, this);
    m_gridModel = new TAlbumTableModel(m_workflow->album(), this);
    buildLayout();
    connectWorkflow();
    applySettings(startFolder);
}

TMainForm::~TMainForm() = default;

TAlbumSession& TMainForm::album() { return m_workflow->album(); }

const QStringList& TMainForm::supportedExtensions() const { return m_workflow->supportedExtensions(); }

void TMainForm::setSaveLogChooser(std::function<QString(const QString&)> chooser) { lsLog->setSaveChooser(std::move(chooser)); }

std::function<void()> TMainForm::guarded(void (TMainForm::*handler)())
{
    return [this, handler] {
        try {
            (this->*handler)();
        } catch (const std::exception& e) {
            AppException(QString::fromUtf8(e.what()));
        }
    };
}

void TMainForm::connectWorkflow()
{
    TAlbumWorkflow* w = m_workflow;
    TAlbumSession& a = w->album();
    connect(w, &TAlbumWorkflow::logLine, this, &TMainForm::AppendLog);
    connect(w, &TAlbumWorkflow::lookupRunningChanged, this, &TMainForm::lookupRunningChanged);
    connect(w, &TAlbumWorkflow::lookupStep, lookupStatus, &TLookupStatus::showStep);
    connect(w, &TAlbumWorkflow::lookupProgress, lookupStatus, &TLookupStatus::showProgress);
    connect(w, &TAlbumWorkflow::lookupFilesDone, lookupStatus, &TLookupStatus::showFiles);
    connect(w, &TAlbumWorkflow::candidatesFound, this, &TMainForm::candidatesFound);
    connect(w, &TAlbumWorkflow::pairingNeeded, this, &TMainForm::pairingNeeded);
    connect(w, &TAlbumWorkflow::lookupFinished, this, &TMainForm::lookupFinished);
    connect(w, &TAlbumWorkflow::unfinishedRunFound, this, &TMainForm::offerUndoOfUnfinishedRun);
    connect(w, &TAlbumWorkflow::renameProgress, this, &TMainForm::renameProgress);
    connect(w, &TAlbumWorkflow::renameFinished, this, &TMainForm::renameFinished);
    // The "New name" column and the album fields follow the album.
    connect(&a, &TAlbumSession::reset, this, &TMainForm::refreshPreview);
    connect(&a, &TAlbumSession::rowsChanged, this, &TMainForm::refreshPreview);
    connect(&a, &TAlbumSession::fieldsChanged, this, &TMainForm::refreshPreview);
    connect(&a, &TAlbumSession::canRenameChanged, this, &TMainForm::refreshPreview);
    connect(&a, &TAlbumSession::fieldsChanged, this, &TMainForm::showAlbumFields);
    connect(&a, &TAlbumSession::canRenameChanged, this, &TMainForm::updateActions);
}

void TMainForm::mnuHelpClick()
{
    const QString guide = GuideFile();
    if (guide.isEmpty()) {
        AppendLog(tr("The user guide is not installed"));
        statusBar()->showMessage(tr("The user guide is not installed"));
        return;
    }
    openWithDesktop(QFile::encodeName(guide));
}

void TMainForm::openWithDesktop(const QByteArray& path)
{
    OpenWithDesktop(path, this, [this](const QString& line) { AppendLog(line); });
}

void TMainForm::mnuAboutClick() { ShowAboutBox(this); }

void TMainForm::showNextRun()
{
    const TRenameOptions o = currentRenameOptions();
    QStringList steps{tr("rename files")};
    if (o.WriteTags) steps << tr("write tags");
    if (o.CreatePlaylist) steps << tr("write a playlist");
    if (o.RenameFolder) steps << tr("rename the folder");
    //: %1 lists the steps, e.g. "rename files, write tags"
    lbNextRun->setText(tr("Rename will %1.").arg(steps.join(tr(", "))));
}

void TMainForm::showTitle()
{
    QString folder = album().folder();
    while (folder.size() > 1 && folder.endsWith('/')) folder.chop(1);
    const QString name = QFileInfo(folder).fileName();
    setWindowTitle(name.isEmpty() ? QString("Cantorix") : name + QString(" %1 Cantorix").arg(QChar(0x2014)));
}

// ---------------------------------------------------------------------------------------------
// Start-up and exit

void TMainForm::applySettings(const QString& startFolder)
{
    TSettings& s = *m_settings;
    const bool nameMode = s.get(setting::DefaultMode);
    (nameMode ? btQueryModeName : btQueryModeChecksum)->setChecked(true);
    cmbDatabase->setCurrentIndex(LookupSourceIndex(DatabaseFromSettings(s)));
    panelName->setVisible(nameMode);
    restorePlacement();

    int treeWidth = s.get(setting::TreeWidth);
    const int windowWidth = isMaximized() && screen() ? screen()->availableGeometry().width() : width();
    // Until the user sets it, a large window gives the tree a fifth of its width, so that a maximized
    // first window shows folder names whole.
    if (!s.has(setting::TreeWidth)) treeWidth = std::max(treeWidth, windowWidth / 5);
    Splitter1->setSizes({treeWidth, qMax(1, windowWidth - treeWidth)});
    for (int c = 0; c < TGridColumns::Count; ++c) m_columns->setWidth(c, s.get(setting::ColumnWidths[c]));
    m_columns->fit();

    // The NameFormat entry is selected, else the first entry, which then becomes the format in use.
    fillNameFormats(s.has(setting::NameFormat) ? s.get(setting::NameFormat) : QString());

    chRenameFolder->setChecked(s.get(setting::RenameFolder));
    showNextRun();
    const int folderFormat = s.get(setting::FolderFormat);
    cmbFolderFormat->setCurrentIndex(folderFormat >= 0 && folderFormat < cmbFolderFormat->count() ? folderFormat : -1);

    // Starting folder: the command line wins over the setting. The scan below runs once for it.
    const QSignalBlocker quiet(MainTree);
    bool chosen = false;
    if (!startFolder.isEmpty()) {
        chosen = MainTree->selectPath(startFolder);
    } else {
        const QString start = s.get(setting::StartFolder);
        if (!start.isEmpty() && QFileInfo(start).isDir()) chosen = MainTree->selectPath(start);
    }
    if (!chosen) MainTree->showHome();
    MainTreeClick();
    // The keyboard starts where the user starts: the tree, on the selected folder.
    MainTree->setFocus(Qt::OtherFocusReason);
}

void TMainForm::restorePlacement()
{
    TSettings& s = *m_settings;
    if (s.get(setting::Maximized)) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    const QRect placed = PlacementWithinScreen(QRect(s.get(setting::WindowLeft), s.get(setting::WindowTop),
                                                     s.get(setting::WindowWidth), s.get(setting::WindowHeight)));
    move(placed.topLeft());
    resize(placed.size());
    KeepFrameOnScreen(this);
}

void TMainForm::fillNameFormats(const QString& selected)
{
    {
        const QSignalBlocker quiet(cmbNameFormat);
        cmbNameFormat->clear();
        cmbNameFormat->addItems(NameFormatChoices(StoredNameFormats(*m_settings)));
        const int found = int(cmbNameFormat->findText(selected, Qt::MatchFixedString | Qt::MatchCaseSensitive));
        cmbNameFormat->setCurrentIndex(found >= 0 ? found : (cmbNameFormat->count() > 0 ? 0 : -1));
    }
    cmbNameFormatChange();
}

void TMainForm::btOptionsClick()
{
    TOptionsForm form(*m_settings, this);
    form.setCurrentFolderSource([this] { return MainTree->selectedPath(); });
    connect(&form, &TOptionsForm::logLine, this, &TMainForm::AppendLog);
    connect(&form, &TOptionsForm::nameFormatsChanged, this, [this] {
        // The format in use stays selected while the list holds it; otherwise the first entry is used.
        fillNameFormats(cmbNameFormat->currentText());
        refreshPreview();
    });
    form.exec();
    showNextRun();
    refreshPreview();
}

void TMainForm::saveSettings()
{
    TSettings& s = *m_settings;
    s.set(setting::DefaultMode, btQueryModeName->isChecked());
    s.set(setting::Maximized, isMaximized());
    if (!isMaximized()) {
        s.set(setting::WindowLeft, x());
        s.set(setting::WindowTop, y());
        s.set(setting::WindowWidth, width());
        s.set(setting::WindowHeight, height());
    }
    // The widths the user gave (or the defaults), without the share of spare room the window added.
    for (int c = 0; c < TGridColumns::Count; ++c) s.set(setting::ColumnWidths[c], m_columns->width(c));
    const IoResult written = s.updateFile();
    if (!written)
        std::fprintf(stderr, "%s\n",
            qPrintable(tr("Cantorix: cannot write the settings file \"%1\": %2")
                           .arg(s.fileName(), QString::fromStdString(written.error))));
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A rename in progress finishes before the workflow goes (it waits): files are never left half-moved.
    m_workflow->abandonLookup();
    saveSettings();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Log

void TMainForm::AppendLog(const QString& line) { lsLog->append(line); }

void TMainForm::AppException(const QString& exceptionText)
{
    // The system text is whatever the last failing call left behind, as the handler's contract says.
    AppendLog(QString::fromStdString(NativeErrorLine(exceptionText.toStdString(), errnoText(errno))));
}

// ---------------------------------------------------------------------------------------------
// Album fields and the folder scan

void TMainForm::showAlbumFields()
{
    const TAlbumFields& f = album().fields();
    m_showingFields = true; // the widgets follow the album here; their change signals must not echo back
    // A field too narrow for its text shows the text's start, where a name is read from.
    for (auto [edit, text] : {std::pair{edDBArtist, f.Artist}, {edDBAlbum, f.Album}, {edDBYear, f.Year}})
        if (edit->text() != text) {
            edit->setText(text);
            if (!edit->hasFocus()) edit->setCursorPosition(0);
        }
    // A list item when the genre is one (so the list shows it chosen), else the text as it stands.
    const int item = GenreBox->findText(f.Genre, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (item >= 0) GenreBox->setCurrentIndex(item);
    if (GenreBox->currentText() != f.Genre) GenreBox->setEditText(f.Genre);
    m_showingFields = false;
}

void TMainForm::albumFieldEdited()
{
    if (m_showingFields) return;
    album().setFields({edDBArtist->text(), edDBAlbum->text(), edDBYear->text(), GenreBox->currentText()});
}

void TMainForm::MainTreeClick()
{
    edArtist->clear();
    edAlbum->clear();
    statusBar()->clearMessage(); // a lookup's outcome belongs to the folder listed before
    btQuery->setEnabled(false);
    // Disabling the tree would hand the keyboard focus to the grid; the user is walking the tree.
    const bool treeHadFocus = MainTree->hasFocus();
    MainTree->setEnabled(false);
    const QString path = MainTree->selectedPath();
    const TScanResult scan = m_workflow->listFolder(path.isEmpty() || !QFileInfo(path).isDir() ? QString() : path);
    lbFolder->setText(album().folder());
    btQuery->setEnabled(!scan.names.isEmpty() && !m_lookupLocked);
    if (btQueryModeName->isChecked()) guessAlbum();
    MainTree->setEnabled(!m_lookupLocked);
    if (treeHadFocus) MainTree->setFocus(Qt::OtherFocusReason);
    updateActions();
    showTitle();
}

void TMainForm::MainTreeChange()
{
    // While a rename runs, the tree follows the moves on disk (a renamed folder drops the selection
    // to its parent); the run selects and scans its folder itself when it is done.
    if (m_renaming) return;
    MainTreeClick();
}

void TMainForm::btRefreshClick()
{
    if (windowLocked()) return;
    MainTree->rebuild();
    MainTreeClick();
}

// ---------------------------------------------------------------------------------------------
// Settings written at once

void TMainForm::cmbDatabaseChange()
{
    const QList<TLookupSourceRow>& sources = LookupSources();
    const int i = cmbDatabase->currentIndex();
    if (i >= 0 && i < sources.size()) StoreDatabase(*m_settings, sources[i]);
}

void TMainForm::btQueryModeClick()
{
    panelName->setVisible(btQueryModeName->isChecked());
    // Only "Name" can be the checked one after pressing "Name": it guesses again, over what was typed.
    if (btQueryModeName->isChecked()) guessAlbum();
}

void TMainForm::cmbNameFormatChange()
{
    // The box and the runs always agree: the format shown is the one the next run uses.
    const QString shown = cmbNameFormat->currentText();
    if (cmbNameFormat->currentIndex() >= 0 && shown != QString::fromStdString(m_workflow->renameOptions().NameFormat))
        m_settings->set(setting::NameFormat, shown);
}

void TMainForm::chRenameFolderClick() { m_settings->set(setting::RenameFolder, chRenameFolder->isChecked()); }

void TMainForm::cmbFolderFormatChange() { m_settings->set(setting::FolderFormat, cmbFolderFormat->currentIndex()); }

void TMainForm::Splitter1Moved()
{
    const QList<int> sizes = Splitter1->sizes();
    if (!sizes.isEmpty()) m_settings->set(setting::TreeWidth, sizes[0]);
}

// ---------------------------------------------------------------------------------------------
// Grid commands

QByteArray TMainForm::fileOfRow(int row) const
{
    const TAlbumSession& a = m_workflow->album();
    // The listed name's own bytes: a name that is not UTF-8 must reach the file unchanged.
    const QByteArray name = a.row(row).FileBytes;
    if (name.isEmpty() || a.folder().isEmpty()) return {};
    return QFile::encodeName(a.folder()) + name;
}

QByteArray TMainForm::selectedFile() const
{
    const QModelIndex current = FileGrid->currentIndex();
    return current.isValid() ? fileOfRow(current.row()) : QByteArray();
}

bool TMainForm::windowLocked() const { return m_renaming || m_lookupLocked; }

void TMainForm::updateActions()
{
    const bool idle = !windowLocked();
    btAction->setEnabled(idle && album().canRename());
    for (QAction* a : {mnuShowInfo, mnuPlay, mnuFix, mnuRefresh, mnuRefreshMain, mnuUndo, mnuUndoAll}) a->setEnabled(idle);
}

void TMainForm::GridMenuPopup(const QPoint& pos)
{
    const bool exists = fileExists(selectedFile().toStdString());
    mnuShowInfo->setVisible(exists);
    mnuPlay->setVisible(exists);
    GridMenu->popup(FileGrid->viewport()->mapToGlobal(pos));
}

void TMainForm::mnuPlayClick()
{
    if (windowLocked()) return;
    const QByteArray file = selectedFile();
    if (fileExists(file.toStdString())) openWithDesktop(file);
}

void TMainForm::mnuShowInfoClick()
{
    if (windowLocked()) return;
    const QByteArray file = selectedFile();
    if (fileExists(file.toStdString())) showInfoWindow(file);
}

void TMainForm::FileGridDblClick(const QModelIndex& index)
{
    if (windowLocked() || !index.isValid()) return;
    const QByteArray file = fileOfRow(index.row());
    if (file.isEmpty() || !fileExists(file.toStdString())) return;
    if (m_settings->get(setting::DblClickInfo))
        showInfoWindow(file);
    else
        openWithDesktop(file);
}

void TMainForm::showInfoWindow(const QByteArray& file)
{
    TInfoForm form(file, this);
    form.setAudioExtensions(supportedExtensions());
    form.exec();
    const QByteArray now = form.infoFileName();
    if (now == file) return; // nothing renamed: the lookup, the grid and its selection stay as they are
    const QByteArray oldName = file.mid(file.lastIndexOf('/') + 1);
    const QByteArray newName = now.mid(now.lastIndexOf('/') + 1);
    AppendLog(tr("Renamed \"%1\" to \"%2\"").arg(QFile::decodeName(oldName), QFile::decodeName(newName)));
    if (m_workflow->fileRenamed(oldName, newName)) return;
    // The album no longer lists that file: list the folder as it is now.
    MainTree->repaintTree();
    MainTreeClick();
}

void TMainForm::btRenameByTagClick()
{
    if (windowLocked() || album().fileCount() == 0) return;
    const TRenameOptions options = m_workflow->renameOptions();
    TRenameByTagForm form(QFile::encodeName(album().folder()).toStdString(), album().fileBytes(),
                          {options.NameFormat, options.FixUnderScores, options.PortableNames},
                          [this](const QString& line) { AppendLog(line); }, this);
    if (form.exec() != QDialog::Accepted) return;
    MainTree->repaintTree();
    MainTreeClick();
}

void TMainForm::mnuFixClick()
{
    if (windowLocked()) return;
    RunTrackNumberFix(QFile::encodeName(album().folder()).toStdString(), album().fileBytes(),
                      [this](const std::string& line) { AppendLog(QString::fromStdString(line)); });
    MainTree->repaintTree();
    MainTreeClick();
}

// ---------------------------------------------------------------------------------------------
// Lookups

void TMainForm::btQueryClick()
{
    if (btQueryModeName->isChecked())
        m_workflow->startLookup(TQueryMode::Name, edArtist->text(), edAlbum->text());
    else
        m_workflow->startLookup(TQueryMode::Checksum);
}

void TMainForm::lookupRunningChanged(bool running)
{
    // Locking takes the focus from Query to Cancel; it goes back when the lookup ends.
    if (running) m_focusBefore = QApplication::focusWidget();
    m_lookupLocked = running;
    for (QWidget* w : std::initializer_list<QWidget*>{btQuery, MainTree, FileGrid, btRenameByTag, btRefresh, cmbDatabase})
        w->setEnabled(!running);
    m_cancelKey->setEnabled(running);
    updateActions();
    if (running) {
        statusBar()->clearMessage();
        lookupStatus->start();
        lookupStatus->btCancelLookup->setFocus(Qt::OtherFocusReason);
        return;
    }
    lookupStatus->stop();
    btQuery->setEnabled(album().fileCount() > 0);
    if (QWidget* w = m_focusBefore; w && w->isEnabled() && w->window() == this) w->setFocus(Qt::OtherFocusReason);
}

void TMainForm::cancelLookupClick()
{
    if (m_workflow->lookupRunning()) m_workflow->cancelLookup();
}

void TMainForm::candidatesFound(const QStringList& lines, int)
{
    TMatchForm form(lines, this);
    if (form.exec() == QDialog::Accepted)
        m_workflow->chooseCandidate(form.selectedIndex());
    else
        m_workflow->cancelLookup();
}

void TMainForm::pairingNeeded(const QList<TrackTitle>& titles, const QStringList& files,
                              const QList<TAlignedRow>& proposed)
{
    TResultsForm form(titles, files, this);
    form.showRows(proposed);
    if (form.exec() == QDialog::Accepted)
        m_workflow->acceptPairing(form.rows());
    else
        m_workflow->cancelPairing();
}

void TMainForm::lookupFinished(const TLookupOutcome& outcome)
{
    // How it ended stays in view (the log may have scrolled past it); the window is unlocked once a
    // time-out's box is closed.
    if (!outcome.reason.isEmpty()) statusBar()->showMessage(outcome.reason);
    if (outcome.kind == TLookupOutcome::Kind::TimedOut && !outcome.message.isEmpty())
        ShowTimeoutBox(m_workflow->database().TimeoutCaption(), outcome.message);
}

void TMainForm::offerUndoOfUnfinishedRun()
{
    AppendLog(QString::fromStdString(TrLine(UnfinishedRunText)));
    ShowUnfinishedRunBox(this, guarded(&TMainForm::mnuUndoClick));
}

void TMainForm::guessAlbum()
{
    if (album().fileCount() == 0) return;
    const TAlbumGuess guess = album().guessedWords();
    edArtist->setText(guess.Artist);
    edAlbum->setText(guess.Album);
}

// ---------------------------------------------------------------------------------------------
// Rename run and undo

TRenameOptions TMainForm::currentRenameOptions() const
{
    // The name format is the setting, which choosing an item of the list writes at once.
    TRenameOptions options = m_workflow->renameOptions();
    options.RenameFolder = chRenameFolder->isChecked();
    options.FolderFormat = cmbFolderFormat->currentIndex();
    return options;
}

void TMainForm::refreshPreview()
{
    if (!album().canRename() || album().fileCount() == 0) {
        m_gridModel->setPreview({});
        lbPreview->setVisible(false);
        return;
    }
    const TRenameOptions options = currentRenameOptions();
    TRenamePlanView plan = m_workflow->plan(options);
    m_gridModel->setPreview(std::move(plan.Rows));
    QStringList notes;
    auto shown = [](const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); };
    if (options.RenameFolder) notes << tr("New folder: \"%1\"").arg(shown(plan.FolderPath));
    if (options.CreatePlaylist) notes << tr("Playlist: \"%1\"").arg(shown(plan.Playlist));
    lbPreview->setText(notes.join('\n'));
    lbPreview->setVisible(!notes.isEmpty());
}

void TMainForm::btActionClick()
{
    if (m_renaming) return;
    TRenameOptions options = currentRenameOptions();
    if (m_workflow->coverInTheWay(options))
        options.ReplaceCover = AskReplaceCover(this, album().folder() + QString::fromUtf8(CoverFileName));
    if (!m_workflow->startRename(options)) return; // an unfinished run was offered for undo
    m_renaming = true;
    updateActions();
    Progress->setMaximum(album().fileCount());
    Progress->setValue(0);
    lbFolder->setVisible(false);
    Progress->setVisible(true);
    setEnabled(false);
}

void TMainForm::renameProgress(int rowsDone, int) { Progress->setValue(rowsDone); }

void TMainForm::renameFinished(const TRenameReport& report, const QString& folder)
{
    m_renaming = false;
    Progress->setVisible(false);
    Progress->setValue(0);
    lbFolder->setVisible(true);
    setEnabled(true);
    updateActions();
    selectAndScan(folder);
    ShowRenameReport(this, report);
}

void TMainForm::mnuUndoClick()
{
    if (m_renaming || album().folder().isEmpty()) return;
    bool found = false;
    const TUndoReport report = m_workflow->undo(false, &found);
    if (found) selectAndScan(QFile::decodeName(QByteArray::fromStdString(report.Folder)));
}

void TMainForm::mnuUndoAllClick()
{
    if (m_renaming || album().folder().isEmpty()) return;
    bool found = false;
    const TUndoReport report = m_workflow->undo(false, &found, {}, true);
    if (found) selectAndScan(QFile::decodeName(QByteArray::fromStdString(report.Folder)));
}

void TMainForm::updateUndoTexts()
{
    const std::vector<TRenameJournalData> runs = m_workflow->runHistory();
    if (runs.empty()) {
        mnuUndo->setText(tr("&Undo last rename"));
    } else {
        const TRenameJournalData& last = runs.front();
        const int files = int(std::count_if(last.Moves.begin(), last.Moves.end(),
                                            [](const TJournalMove& m) { return m.Done && m.From != m.To; }));
        const QString when = QLocale().toString(QDateTime::fromSecsSinceEpoch(last.Started), "d MMM HH:mm");
        mnuUndo->setText(tr("&Undo the rename of %1 (%2 files)").arg(when, QLocale().toString(files)));
    }
    mnuUndoAll->setEnabled(!windowLocked() && runs.size() > 1);
}

void TMainForm::mnuBatchClick()
{
    if (windowLocked()) return;
    const QString root = QFileDialog::getExistingDirectory(this, tr("Rename a collection"), album().folder());
    if (root.isEmpty()) return;
    TBatchOptions options{btQueryModeName->isChecked() ? TQueryMode::Name : TQueryMode::Checksum, -1, false, 1,
                          currentRenameOptions()};
    TBatchForm form(*m_settings, root, options, this);
    connect(&form, &TBatchForm::logLine, this, &TMainForm::AppendLog);
    form.exec();
    selectAndScan(form.folderToOpen().isEmpty() ? MainTree->selectedPath() : form.folderToOpen());
}

void TMainForm::selectAndScan(const QString& folder)
{
    {
        const QSignalBlocker quiet(MainTree);
        MainTree->rebuild();
        QString path = folder;
        if (path.size() > 1 && path.endsWith('/')) path.chop(1);
        MainTree->selectPath(path);
    }
    MainTreeClick();
}

// ---------------------------------------------------------------------------------------------
// Keys and the folder dialog

void TMainForm::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_F1: mnuHelpClick(); break;
    case Qt::Key_F4: mnuOpenFolderClick(); break;
    case Qt::Key_F5: mnuRefreshClick(); break;
    default: break;
    }
}

void TMainForm::mnuOpenFolderClick()
{
    const QString folder = album().folder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) openWithDesktop(QFile::encodeName(folder));
}

void TMainForm::mnuOpenFolderDialogClick()
{
    const QString start = album().folder().isEmpty() ? QDir::homePath() : album().folder();
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Open folder"), start);
    if (!folder.isEmpty()) selectAndScan(folder);
}

void TMainForm::mnuRefreshClick()
{
    // A rescan under a running lookup would let its entry fill another folder's grid.
    if (windowLocked()) return;
    MainTree->repaintTree();
    MainTreeClick();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbFolder && event->type() == QEvent::MouseButtonDblClick) {
        guarded(&TMainForm::mnuOpenFolderClick)();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace cantorix
