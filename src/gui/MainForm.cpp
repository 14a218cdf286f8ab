#include "gui/MainForm.h"

#include "core/FolderScan.h"
#include "core/GenreNames.h"
#include "core/LogFile.h"
#include "audio/AudioUtil.h"
#include "audio/FileIO.h"
#include "audio/WriteTags.h"
#include "core/freedb/ChecksumLookup.h"
#include "gui/MatchForm.h"
#include "core/rename/RenameRun.h"
#include "core/rename/TrackNumberFix.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace cantorix {

namespace {
constexpr int kDefaultFileRows = 99;
const char* const kFolderFormats[] = {"artist [year] - album", "artist - album", "year - album", "album [year]", "album"};

template <typename W>
W* named(W* w, const char* name)
{
    w->setObjectName(name);
    return w;
}
} // namespace

TMainForm::TMainForm(const QString& settingsFile, const QString& startFolder, QWidget* parent)
    : QMainWindow(parent)
{
    m_settings = std::make_unique<TSettings>(settingsFile);
    m_lookup = new TChecksumLookup(nullptr, this);
    buildLayout();
    applySettings(startFolder);
}

TMainForm::~TMainForm() = default;

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

// ---------------------------------------------------------------------------------------------
// Layout

void TMainForm::buildLayout()
{
    setObjectName("TMainForm");
    setWindowTitle("Cantorix");
    setMinimumSize(800, 550);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(4, 4, 4, 4);

    // Top bar: name and folder formats, query mode, album fields, options.
    auto* top = new QHBoxLayout;
    auto* formats = new QGridLayout;
    formats->addWidget(new QLabel("Name format:"), 0, 0);
    cmbNameFormat = named(new QComboBox, "cmbNameFormat");
    cmbNameFormat->setMinimumWidth(130);
    formats->addWidget(cmbNameFormat, 0, 1);
    chRenameFolder = named(new QCheckBox("Rename folder, format:"), "chRenameFolder");
    formats->addWidget(chRenameFolder, 1, 0);
    cmbFolderFormat = named(new QComboBox, "cmbFolderFormat");
    cmbFolderFormat->setMinimumWidth(130);
    for (const char* f : kFolderFormats) cmbFolderFormat->addItem(f);
    formats->addWidget(cmbFolderFormat, 1, 1);
    top->addLayout(formats);

    auto* modeBox = named(new QGroupBox("Query mode"), "gbQueryMode");
    auto* modeLayout = new QVBoxLayout(modeBox);
    modeLayout->setContentsMargins(6, 2, 6, 2);
    modeLayout->setSpacing(0);
    btQueryModeName = named(new QToolButton, "btQueryModeName");
    btQueryModeName->setText("Name");
    btQueryModeChecksum = named(new QToolButton, "btQueryModeChecksum");
    btQueryModeChecksum->setText("Checksum");
    auto* modeGroup = new QButtonGroup(this);
    for (QToolButton* b : {btQueryModeName, btQueryModeChecksum}) {
        b->setCheckable(true);
        b->setAutoRaise(true);
        modeGroup->addButton(b);
        modeLayout->addWidget(b);
    }
    modeGroup->setExclusive(true);
    top->addWidget(modeBox);

    auto* dbBox = named(new QGroupBox("FreeDB info"), "gbFreeDBInfo");
    auto* dbLayout = new QGridLayout(dbBox);
    dbLayout->setContentsMargins(6, 2, 6, 2);
    dbLayout->setColumnStretch(1, 1);
    edDBArtist = named(new QLineEdit, "edDBArtist");
    edDBAlbum = named(new QLineEdit, "edDBAlbum");
    edDBYear = named(new QLineEdit, "edDBYear");
    edDBArtist->setMinimumWidth(90);
    edDBAlbum->setMinimumWidth(90);
    edDBYear->setMaximumWidth(50);
    GenreBox = named(new QComboBox, "GenreBox");
    GenreBox->setEditable(false);
    GenreBox->setMaxVisibleItems(32);
    GenreBox->setMinimumWidth(100);
    GenreBox->addItem(QString());
    GenreBox->addItems(GenreBoxNames());
    dbLayout->addWidget(new QLabel("Artist: "), 0, 0);
    dbLayout->addWidget(edDBArtist, 0, 1);
    dbLayout->addWidget(new QLabel("Year:"), 0, 2);
    dbLayout->addWidget(edDBYear, 0, 3);
    dbLayout->addWidget(new QLabel("Album: "), 1, 0);
    dbLayout->addWidget(edDBAlbum, 1, 1);
    dbLayout->addWidget(new QLabel("Genre:"), 1, 2);
    dbLayout->addWidget(GenreBox, 1, 3);
    top->addWidget(dbBox, 1);

    auto* right = new QVBoxLayout;
    btOptions = named(new QPushButton("Options"), "btOptions");
    btRenameByTag = named(new QPushButton("Rename by tag"), "btRenameByTag");
    right->addWidget(btOptions);
    right->addWidget(btRenameByTag);
    right->addStretch();
    top->addLayout(right);
    top->setSpacing(4);
    outer->addLayout(top);

    // Left pane: the two actions above the folder tree.
    auto* leftPane = new QWidget;
    auto* leftLayout = new QVBoxLayout(leftPane);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* actions = new QHBoxLayout;
    btQuery = named(new QPushButton("Query"), "btQuery");
    btAction = named(new QPushButton("Rename"), "btAction");
    btQuery->setEnabled(false);
    btAction->setEnabled(false);
    actions->addWidget(btQuery);
    actions->addWidget(btAction);
    leftLayout->addLayout(actions);
    MainTree = named(new TFolderTree, "MainTree");
    leftLayout->addWidget(MainTree);
    leftPane->setMinimumWidth(210);

    // Right pane: name-mode search fields, the grid, the status strip.
    auto* rightPane = new QWidget;
    auto* rightLayout = new QVBoxLayout(rightPane);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    panelName = named(new QWidget, "panelName");
    auto* nameLayout = new QHBoxLayout(panelName);
    nameLayout->setContentsMargins(0, 0, 0, 0);
    edArtist = named(new QLineEdit, "edArtist");
    edAlbum = named(new QLineEdit, "edAlbum");
    nameLayout->addWidget(new QLabel("Artist: "));
    nameLayout->addWidget(edArtist);
    nameLayout->addWidget(new QLabel("Album:"));
    nameLayout->addWidget(edAlbum);
    rightLayout->addWidget(panelName);

    FileGrid = named(new QTableWidget(kDefaultFileRows, 4), "FileGrid");
    FileGrid->setHorizontalHeaderLabels({"Filename", "Duration", "TrackNo", "Track"});
    FileGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FileGrid->setShowGrid(false);
    FileGrid->verticalHeader()->setDefaultSectionSize(18);
    FileGrid->verticalHeader()->setVisible(false);
    FileGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    rightLayout->addWidget(FileGrid, 1);

    auto* status = new QHBoxLayout;
    auto* statusLeft = new QVBoxLayout;
    lbFolder = named(new QLabel, "lbFolder");
    lbFolder->installEventFilter(this);
    Progress = named(new QProgressBar, "Progress");
    Progress->setVisible(false);
    statusLeft->addWidget(lbFolder);
    statusLeft->addWidget(Progress);
    status->addLayout(statusLeft, 1);
    btRefresh = named(new QPushButton("Refresh"), "btRefresh");
    status->addWidget(btRefresh);
    rightLayout->addLayout(status);

    Splitter1 = named(new QSplitter(Qt::Horizontal), "Splitter1");
    Splitter1->addWidget(leftPane);
    Splitter1->addWidget(rightPane);
    Splitter1->setCollapsible(0, false);
    Splitter1->setStretchFactor(1, 1);

    lsLog = named(new QListWidget, "lsLog");
    lsLog->setSelectionMode(QAbstractItemView::SingleSelection);
    lsLog->setContextMenuPolicy(Qt::CustomContextMenu);
    SplitterLog = named(new QSplitter(Qt::Vertical), "SplitterLog");
    SplitterLog->addWidget(Splitter1);
    SplitterLog->addWidget(lsLog);
    SplitterLog->setCollapsible(0, false);
    SplitterLog->setCollapsible(1, true);
    SplitterLog->setStretchFactor(0, 1);
    SplitterLog->setSizes({400, 120});
    outer->addWidget(SplitterLog, 1);

    // Timers and menus.
    ConnectionTimer = named(new QTimer(this), "ConnectionTimer");
    ConnectionTimer->setSingleShot(true);
    RenameTimer = named(new QTimer(this), "RenameTimer");
    RenameTimer->setInterval(100);

    GridMenu = named(new QMenu(this), "GridMenu");
    mnuPlay = GridMenu->addAction("Play");
    mnuPlay->setObjectName("mnuPlay");
    mnuPlay->setShortcut(QKeySequence(Qt::Key_F3));
    mnuOpenFolder = GridMenu->addAction("Open folder");
    mnuOpenFolder->setObjectName("mnuOpenFolder");
    mnuRefresh = GridMenu->addAction("Refresh");
    mnuRefresh->setObjectName("mnuRefresh");
    mnuFix = GridMenu->addAction("Fix 1..9 to 01..09");
    mnuFix->setObjectName("mnuFix");
    // F3 is the grid's; F4 and F5 belong to the whole window (below).
    FileGrid->addAction(mnuPlay);
    mnuPlay->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(mnuPlay, &QAction::triggered, this, guarded(&TMainForm::mnuPlayClick));
    connect(mnuOpenFolder, &QAction::triggered, this, guarded(&TMainForm::mnuOpenFolderClick));
    connect(mnuRefresh, &QAction::triggered, this, guarded(&TMainForm::mnuRefreshClick));
    connect(mnuFix, &QAction::triggered, this, guarded(&TMainForm::mnuFixClick));
    connect(FileGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { GridMenuPopup(pos); });
    logMenu = named(new QMenu(this), "logMenu");
    QAction* copy = logMenu->addAction("Copy selected to clipboard");
    copy->setObjectName("mnuCopy");
    QAction* save = logMenu->addAction("Save log");
    save->setObjectName("mnuSaveLog");
    connect(copy, &QAction::triggered, this, guarded(&TMainForm::mnuCopyClick));
    connect(save, &QAction::triggered, this, guarded(&TMainForm::mnuSaveLogClick));
    connect(lsLog, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { logMenu->popup(lsLog->viewport()->mapToGlobal(pos)); });

    // F1, F4 and F5 work wherever the focus is in the window.
    for (int key : {int(Qt::Key_F1), int(Qt::Key_F4), int(Qt::Key_F5)}) {
        auto* sc = new QShortcut(QKeySequence(key), this);
        sc->setContext(Qt::WindowShortcut);
        connect(sc, &QShortcut::activated, this, [this, key] {
            try {
                FormKeyDown(key);
            } catch (const std::exception& e) {
                AppException(QString::fromUtf8(e.what()));
            }
        });
    }

    connect(btAction, &QPushButton::clicked, this, guarded(&TMainForm::btActionClick));
    connect(btQuery, &QPushButton::clicked, this, guarded(&TMainForm::btQueryClick));
    connect(m_lookup, &TChecksumLookup::lockControls, this, [this] { lockLookupControls(true); });
    connect(m_lookup, &TChecksumLookup::unlockControls, this, [this] { lockLookupControls(false); });
    connect(m_lookup, &TChecksumLookup::logLine, this, &TMainForm::AppendLog);
    connect(m_lookup, &TChecksumLookup::matchChoiceNeeded, this, &TMainForm::lookupMatchChoice);
    connect(m_lookup, &TChecksumLookup::entryRead, this, [this](const AlbumRecord& r, const QString&) { lookupEntryRead(r); });
    connect(m_lookup, &TChecksumLookup::timedOut, this, &TMainForm::lookupTimedOut);
    connect(RenameTimer, &QTimer::timeout, this, guarded(&TMainForm::RenameTimerTimer));
    connect(MainTree, &TFolderTree::selectionChanged, this, guarded(&TMainForm::MainTreeChange));
    connect(btRefresh, &QPushButton::clicked, this, guarded(&TMainForm::btRefreshClick));
    connect(btQueryModeName, &QToolButton::clicked, this, guarded(&TMainForm::btQueryModeClick));
    connect(btQueryModeChecksum, &QToolButton::clicked, this, guarded(&TMainForm::btQueryModeClick));
    connect(cmbNameFormat, &QComboBox::activated, this, guarded(&TMainForm::cmbNameFormatChange));
    connect(chRenameFolder, &QCheckBox::clicked, this, guarded(&TMainForm::chRenameFolderClick));
    connect(cmbFolderFormat, &QComboBox::activated, this, guarded(&TMainForm::cmbFolderFormatChange));
    connect(Splitter1, &QSplitter::splitterMoved, this, guarded(&TMainForm::Splitter1Moved));
}

// ---------------------------------------------------------------------------------------------
// Start-up and exit

void TMainForm::applySettings(const QString& startFolder)
{
    TSettings& s = *m_settings;
    // Query mode.
    bool nameMode = s.readBool("Main", "DefaultMode", false);
    (nameMode ? btQueryModeName : btQueryModeChecksum)->setChecked(true);
    panelName->setVisible(nameMode);

    // Pane and column widths, header texts (set in the layout).
    int treeWidth = s.readInteger("Main", "TreeWidth", 210);
    Splitter1->setSizes({treeWidth, qMax(1, 800 - treeWidth)});
    const int defaultWidths[] = {300, 80, 60, 150};
    for (int c = 0; c < 4; ++c)
        FileGrid->setColumnWidth(c, s.readInteger("Columns", QString::number(c), defaultWidths[c]));

    m_supportedExtensions = BuildSupportedExtensions(s.readString("Main", "AdditionalTypes", ""));

    cmbNameFormat->addItems(s.readSection("NameFormats"));
    int current = int(cmbNameFormat->findText(s.readString("Main", "NameFormat", ""), Qt::MatchFixedString | Qt::MatchCaseSensitive));
    cmbNameFormat->setCurrentIndex(current >= 0 ? current : (cmbNameFormat->count() > 0 ? 0 : -1));

    chRenameFolder->setChecked(s.readBool("Main", "RenameFolder", false));
    int folderFormat = s.readInteger("Main", "FolderFormat", 0);
    cmbFolderFormat->setCurrentIndex(folderFormat >= 0 && folderFormat < cmbFolderFormat->count() ? folderFormat : -1);

    m_trackDurations.clear();

    // Window placement.
    if (s.readBool("Window", "Maximized", false)) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        move(s.readInteger("Window", "Left", 50), s.readInteger("Window", "Top", 50));
        resize(s.readInteger("Window", "Width", 800), s.readInteger("Window", "Height", 600));
    }

    // Starting folder: the command line wins over the setting. The scan below runs once for it.
    const QSignalBlocker quiet(MainTree);
    if (!startFolder.isEmpty()) {
        MainTree->selectPath(startFolder);
    } else {
        QString start = s.readString("Main", "Startfolder", "");
        if (!start.isEmpty() && QFileInfo(start).isDir()) MainTree->selectPath(start);
    }
    MainTreeClick();
}

void TMainForm::saveSettings()
{
    TSettings& s = *m_settings;
    s.writeBool("Main", "DefaultMode", btQueryModeName->isChecked());
    if (isMaximized()) {
        s.writeBool("Window", "Maximized", true);
    } else {
        s.writeBool("Window", "Maximized", false);
        s.writeInteger("Window", "Left", x());
        s.writeInteger("Window", "Top", y());
        s.writeInteger("Window", "Width", width());
        s.writeInteger("Window", "Height", height());
    }
    for (int c = 0; c < 4; ++c) s.writeInteger("Columns", QString::number(c), FileGrid->columnWidth(c));
    QString error;
    if (!s.updateFile(&error))
        std::fprintf(stderr, "Cantorix: cannot write the settings file \"%s\": %s\n",
                     s.fileName().toLocal8Bit().constData(), error.toLocal8Bit().constData());
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A rename in progress finishes first: its files must not be left half-moved.
    if (m_renameRun) m_renameRun->wait();
    m_lookup->abandon();
    saveSettings();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Log

void TMainForm::AppendLog(const QString& line)
{
    lsLog->addItem(line);
    lsLog->setCurrentRow(lsLog->count() - 1);
    lsLog->scrollToBottom();
}

void TMainForm::AppException(const QString& exceptionText)
{
    // The system text is whatever the last failing call left behind, as the handler's contract says.
    QString system = QString::fromStdString(errnoText(errno));
    AppendLog(QString("[ERROR] Native: \"%1\" System: \"%2\"").arg(exceptionText, system));
}

void TMainForm::mnuCopyClick()
{
    QListWidgetItem* item = lsLog->currentItem();
    if (!item || !item->isSelected()) return;
    QApplication::clipboard()->setText(item->text());
}

void TMainForm::mnuSaveLogClick()
{
    QStringList lines;
    for (int i = 0; i < lsLog->count(); ++i) lines << lsLog->item(i)->text();
    QString folder = QFileInfo(m_settings->fileName()).absolutePath();
    QString path = folder + "/" + LogFileName(QDateTime::currentDateTime(), QLocale());
    SaveLogLines(lines, path); // throws on failure: the error line replaces "Saved log to"
    AppendLog(QString("Saved log to \"%1\"").arg(path));
}

// ---------------------------------------------------------------------------------------------
// Grid and scan

QString TMainForm::gridCell(int row, int column) const
{
    if (row < 1 || row > FileGrid->rowCount() || column < 0 || column > 3) return {};
    QTableWidgetItem* item = FileGrid->item(row - 1, column);
    return item ? item->text() : QString();
}

void TMainForm::setGridCell(int row, int column, const QString& text)
{
    if (row < 1 || column < 0 || column > 3) return;
    ensureRows(row);
    QTableWidgetItem* item = FileGrid->item(row - 1, column);
    if (!item) {
        item = new QTableWidgetItem;
        FileGrid->setItem(row - 1, column, item);
    }
    item->setText(text);
}

int TMainForm::fileRowCount() const
{
    int n = 0;
    while (n < FileGrid->rowCount() && !gridCell(n + 1, ColFilename).isEmpty()) ++n;
    return n;
}

void TMainForm::ensureRows(int fileRows)
{
    if (FileGrid->rowCount() < fileRows) FileGrid->setRowCount(fileRows);
}

void TMainForm::clearAlbumFields()
{
    edArtist->clear();
    edAlbum->clear();
    edDBArtist->clear();
    edDBAlbum->clear();
    edDBYear->clear();
    GenreBox->setCurrentIndex(-1);
}

void TMainForm::clearGrid()
{
    FileGrid->clearContents();
    FileGrid->setRowCount(kDefaultFileRows);
}

QString TMainForm::scannedFolder() const { return lbFolder->text(); }

void TMainForm::MainTreeClick()
{
    clearAlbumFields();
    clearGrid();
    QString path = MainTree->selectedPath();
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        m_lookup->setCurrentFolder(QString()); // no album is listed: a late entry has nowhere to go
        return;
    }

    btQuery->setEnabled(false);
    btAction->setEnabled(false);
    MainTree->setEnabled(false);
    QString folder = path.endsWith('/') ? path : path + '/';
    lbFolder->setText(folder);
    m_lookup->setCurrentFolder(folder);

    TScanResult scan = ScanFolder(path, m_supportedExtensions);
    m_trackDurations.clear();
    ensureRows(int(scan.names.size()));
    for (int i = 0; i < scan.names.size(); ++i) {
        setGridCell(i + 1, ColFilename, scan.names[i]);
        setGridCell(i + 1, ColDuration, QString::fromStdString(FormatDuration(scan.seconds[i])));
        m_trackDurations << QString::number(scan.seconds[i]);
    }
    for (const QString& line : scan.logLines()) AppendLog(line);
    if (!scan.names.isEmpty()) btQuery->setEnabled(true);
    MainTree->setEnabled(true);
}

void TMainForm::MainTreeChange()
{
    // While a rename runs, the tree follows the moves on disk (a renamed folder drops the selection
    // to its parent); the run selects and scans its folder itself when it is done.
    if (m_renameRun) return;
    MainTreeClick();
}

void TMainForm::btRefreshClick()
{
    MainTree->rebuild();
    MainTreeClick();
}

// ---------------------------------------------------------------------------------------------
// Settings written at once

void TMainForm::btQueryModeClick()
{
    panelName->setVisible(btQueryModeName->isChecked());
}

void TMainForm::cmbNameFormatChange()
{
    if (cmbNameFormat->currentIndex() >= 0) m_settings->writeString("Main", "NameFormat", cmbNameFormat->currentText());
}

void TMainForm::chRenameFolderClick() { m_settings->writeBool("Main", "RenameFolder", chRenameFolder->isChecked()); }

void TMainForm::cmbFolderFormatChange()
{
    m_settings->writeInteger("Main", "FolderFormat", cmbFolderFormat->currentIndex());
}

void TMainForm::Splitter1Moved()
{
    QList<int> sizes = Splitter1->sizes();
    if (!sizes.isEmpty()) m_settings->writeInteger("Main", "TreeWidth", sizes[0]);
}

// ---------------------------------------------------------------------------------------------
// Grid commands

QString TMainForm::selectedFile() const
{
    int row = FileGrid->currentRow() + 1;
    QString name = gridCell(row, ColFilename);
    if (row < 1 || name.isEmpty()) return {};
    QString folder = MainTree->selectedPath();
    return (folder.endsWith('/') ? folder : folder + '/') + name;
}

void TMainForm::GridMenuPopup(const QPoint& pos)
{
    mnuPlay->setVisible(QFileInfo(selectedFile()).isFile());
    GridMenu->popup(FileGrid->viewport()->mapToGlobal(pos));
}

void TMainForm::mnuPlayClick()
{
    QString file = selectedFile();
    if (QFileInfo(file).isFile()) QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void TMainForm::mnuFixClick()
{
    std::vector<std::string> names;
    for (int row = 1; row <= fileRowCount(); ++row) names.push_back(gridCell(row, ColFilename).toStdString());
    QString folder = MainTree->selectedPath();
    RunTrackNumberFix(QFile::encodeName(folder).toStdString(), names,
                      [this](const std::string& line) { AppendLog(QString::fromStdString(line)); });
    MainTree->repaintTree();
    MainTreeClick();
}

// ---------------------------------------------------------------------------------------------
// Checksum lookup

void TMainForm::btQueryClick()
{
    if (btQueryModeName->isChecked()) {
        AppendLog("Query by name is not available in this version; use the Checksum query mode");
        return;
    }
    m_lookup->start(m_trackDurations, scannedFolder(), *m_settings);
}

void TMainForm::lockLookupControls(bool locked)
{
    for (QWidget* w : std::initializer_list<QWidget*>{btQuery, MainTree, FileGrid, btRenameByTag, btRefresh})
        w->setEnabled(!locked);
}

void TMainForm::lookupMatchChoice(const QStringList& matches)
{
    TMatchForm form(matches, this);
    if (form.exec() == QDialog::Accepted)
        m_lookup->chooseMatch(form.selectedIndex());
    else
        m_lookup->cancelMatchChoice();
}

void TMainForm::lookupEntryRead(const AlbumRecord& record)
{
    edDBAlbum->setText(record.Album);
    edDBArtist->setText(record.Artist);
    edDBYear->setText(record.Year);
    QString genre = MatchGenreBoxItem(record.Genre);
    GenreBox->setCurrentIndex(genre.isEmpty() ? -1 : GenreBox->findText(genre, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    for (int k = 0; k < record.Titles.size(); ++k) {
        setGridCell(k + 1, ColTrackNo, record.Titles[k].No);
        setGridCell(k + 1, ColTrack, record.Titles[k].Title);
    }
    if (!edDBAlbum->text().isEmpty()) btAction->setEnabled(true);
}

void TMainForm::lookupTimedOut()
{
    // No owner window, as a system-wide notice; the lookup unlocks the window after it is closed.
    QMessageBox box(QMessageBox::Critical, TChecksumLookup::TimeoutCaption, TChecksumLookup::TimeoutText,
                    QMessageBox::Ok);
    box.setObjectName("TimeoutMessage");
    box.exec();
}

// ---------------------------------------------------------------------------------------------
// Rename run

void TMainForm::btActionClick()
{
    if (m_renameRun && !m_renameRun->isDone()) return;
    std::vector<TRenameRow> rows;
    for (int row = 1; row <= fileRowCount(); ++row)
        rows.push_back({gridCell(row, ColFilename).toStdString(), gridCell(row, ColDuration).toStdString(),
                        gridCell(row, ColTrackNo).toStdString(), gridCell(row, ColTrack).toStdString()});
    TAlbumData album{edDBArtist->text().toStdString(), edDBAlbum->text().toStdString(),
                     edDBYear->text().toStdString(),
                     GenreBox->currentIndex() > 0 ? GenreBox->currentText().toStdString() : std::string()};
    TRenameOptions options = RenameOptionsFromSettings(*m_settings);
    options.RenameFolder = chRenameFolder->isChecked();
    options.FolderFormat = cmbFolderFormat->currentIndex();

    m_renameRun = std::make_unique<TRenameRun>(QFile::encodeName(MainTree->selectedPath()).toStdString(),
                                               std::move(rows), album, options);
    m_renameRun->setTagWriter(&WriteAudioTags);
    Progress->setMaximum(int(m_trackDurations.size()));
    Progress->setValue(0);
    lbFolder->setVisible(false);
    Progress->setVisible(true);
    setEnabled(false);
    RenameTimer->start();
    m_renameRun->start();
}

void TMainForm::RenameTimerTimer()
{
    if (!m_renameRun) {
        RenameTimer->stop();
        return;
    }
    Progress->setValue(m_renameRun->currentRow());
    bool done = m_renameRun->isDone(); // read before the lines: then these are the last of them
    for (const std::string& line : m_renameRun->takeLogLines()) AppendLog(QString::fromStdString(line));
    if (!done) return;

    RenameTimer->stop();
    QString folder = QFile::decodeName(QByteArray::fromStdString(m_renameRun->folderToSelect()));
    m_renameRun->wait();
    m_renameRun.reset();
    AppendLog("Renaming finished");
    btAction->setEnabled(false);
    Progress->setVisible(false);
    Progress->setValue(0);
    lbFolder->setVisible(true);
    setEnabled(true);
    selectAndScan(folder);
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
// Keys

void TMainForm::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_F1: {
        // The help page installed beside the program.
        QString help = QCoreApplication::applicationDirPath() + "/Cantorix.html";
        QDesktopServices::openUrl(QUrl::fromLocalFile(help));
        break;
    }
    case Qt::Key_F4:
        mnuOpenFolderClick();
        break;
    case Qt::Key_F5:
        mnuRefreshClick();
        break;
    default:
        break;
    }
}

void TMainForm::mnuOpenFolderClick()
{
    QString folder = lbFolder->text();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void TMainForm::mnuRefreshClick()
{
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
