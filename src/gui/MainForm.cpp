#include "gui/MainForm.h"
#include "gui/Named.h"

#include "core/album/AlbumSession.h"
#include "gui/AlbumTableModel.h"

#include "core/FolderScan.h"
#include "core/GenreNames.h"
#include "core/LogFile.h"
#include "core/SettingsKeys.h"
#include "core/album/SettingsValues.h"
#include "core/Text.h"
#include "audio/AudioUtil.h"
#include "audio/FileIO.h"
#include "audio/WriteTags.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "core/AlbumGuess.h"
#include "core/lookup/freedb/NameQuery.h"
#include "core/lookup/freedb/ResultsAlignment.h"
#include "gui/MatchForm.h"
#include "gui/OptionsForm.h"
#include "gui/ResultsForm.h"
#include "gui/DesktopOpen.h"
#include "gui/InfoForm.h"
#include "gui/RenameByTagForm.h"
#include "core/rename/RenameByTag.h"
#include "core/rename/RenameJournal.h"
#include "core/rename/NameFormat.h"
#include "core/rename/NameFormatList.h"
#include "core/rename/RenameLines.h"
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
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QListWidget>
#include <QMessageBox>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <stdexcept>

// The window's icon lives in a resource of the GUI library, which is static: it must be registered.
static void initResources() { Q_INIT_RESOURCE(cantorix); }

namespace cantorix {

TMainForm::TMainForm(const QString& settingsFile, const QString& startFolder, QWidget* parent)
    : QMainWindow(parent)
{
    initResources();
    m_settings = std::make_unique<TSettings>(settingsFile);
    m_lookup = new TChecksumLookup(nullptr, this);
    m_nameQuery = new TNameQuery(nullptr, this);
    m_album = new TAlbumSession(this);
    m_gridModel = new TAlbumTableModel(*m_album, this);
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
    setWindowIcon(QIcon(":/cantorix.svg"));

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 6, 6, 6);

    // Top area: the renaming formats, the album fields, Options and Rename by tag. Every label takes
    // its own width from the font, so nothing is cut at the layout's minimum size or with a larger font.
    auto* top = new QHBoxLayout;
    auto* renameBox = named(new QGroupBox("Renaming"), "gbRenaming");
    auto* formats = new QGridLayout(renameBox);
    auto* nameFormatLabel = new QLabel("Na&me format:");
    cmbNameFormat = named(new QComboBox, "cmbNameFormat");
    cmbNameFormat->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    nameFormatLabel->setBuddy(cmbNameFormat);
    formats->addWidget(nameFormatLabel, 0, 0);
    formats->addWidget(cmbNameFormat, 1, 0);
    chRenameFolder = named(new QCheckBox("Rename f&older, format:"), "chRenameFolder");
    formats->addWidget(chRenameFolder, 2, 0);
    cmbFolderFormat = named(new QComboBox, "cmbFolderFormat");
    for (const char* f : FolderFormatItems) cmbFolderFormat->addItem(f);
    cmbFolderFormat->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    formats->addWidget(cmbFolderFormat, 3, 0);
    top->addWidget(renameBox);

    auto* dbBox = named(new QGroupBox("FreeDB info"), "gbFreeDBInfo");
    auto* dbLayout = new QGridLayout(dbBox);
    dbLayout->setColumnStretch(1, 1);
    edDBArtist = named(new QLineEdit, "edDBArtist");
    edDBAlbum = named(new QLineEdit, "edDBAlbum");
    edDBYear = named(new QLineEdit, "edDBYear");
    edDBArtist->setMinimumWidth(fontMetrics().horizontalAdvance('x') * 12);
    edDBAlbum->setMinimumWidth(fontMetrics().horizontalAdvance('x') * 12);
    edDBYear->setMaxLength(16);
    edDBYear->setMinimumWidth(fontMetrics().horizontalAdvance("00000") + 16);
    edDBYear->setMaximumWidth(fontMetrics().horizontalAdvance("0000000") + 16);
    GenreBox = named(new QComboBox, "GenreBox");
    GenreBox->setEditable(false);
    GenreBox->setMaxVisibleItems(32);
    GenreBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    GenreBox->setMinimumContentsLength(14);
    GenreBox->addItem(QString());
    GenreBox->addItems(GenreBoxNames());
    const struct {
        const char* text;
        QWidget* field;
        int row, column;
    } dbFields[] = {{"&Artist:", edDBArtist, 0, 0}, {"&Year:", edDBYear, 0, 2}, {"Al&bum:", edDBAlbum, 1, 0},
                    {"&Genre:", GenreBox, 1, 2}};
    for (const auto& f : dbFields) {
        auto* label = new QLabel(f.text);
        label->setBuddy(f.field);
        dbLayout->addWidget(label, f.row, f.column);
        dbLayout->addWidget(f.field, f.row, f.column + 1);
    }
    dbLayout->setRowStretch(2, 1);
    top->addWidget(dbBox, 1);

    auto* right = new QVBoxLayout;
    btOptions = named(new QPushButton("O&ptions"), "btOptions");
    btRenameByTag = named(new QPushButton("Rename by &tag"), "btRenameByTag");
    right->addWidget(btOptions);
    right->addWidget(btRenameByTag);
    right->addStretch();
    top->addLayout(right);
    outer->addLayout(top);

    // Left pane: the query mode, the two actions and what the next run will do, above the folder tree.
    auto* leftPane = new QWidget;
    auto* leftLayout = new QVBoxLayout(leftPane);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* modeBox = named(new QGroupBox("Query mode"), "gbQueryMode");
    auto* modeLayout = new QHBoxLayout(modeBox);
    btQueryModeName = named(new QToolButton, "btQueryModeName");
    btQueryModeName->setText("&Name");
    btQueryModeChecksum = named(new QToolButton, "btQueryModeChecksum");
    btQueryModeChecksum->setText("Chec&ksum");
    auto* modeGroup = new QButtonGroup(this);
    for (QToolButton* b : {btQueryModeName, btQueryModeChecksum}) {
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        modeGroup->addButton(b);
        modeLayout->addWidget(b);
    }
    modeGroup->setExclusive(true);
    leftLayout->addWidget(modeBox);
    auto* actions = new QHBoxLayout;
    btQuery = named(new QPushButton("&Query"), "btQuery");
    btAction = named(new QPushButton("&Rename"), "btAction");
    btQuery->setEnabled(false);
    btAction->setEnabled(false);
    // Enter in a field must never start a run: no button of the window is a default button.
    for (QPushButton* b : {btQuery, btAction}) {
        b->setAutoDefault(false);
        actions->addWidget(b);
    }
    leftLayout->addLayout(actions);
    lbNextRun = named(new QLabel, "lbNextRun");
    lbNextRun->setWordWrap(true);
    // A wrapped label's height depends on its width, which layouts do not fold into the window's
    // minimum size: room for three lines keeps the panes above it from being squeezed.
    lbNextRun->setMinimumHeight(lbNextRun->fontMetrics().lineSpacing() * 3);
    leftLayout->addWidget(lbNextRun);
    MainTree = named(new TFolderTree, "MainTree");
    leftLayout->addWidget(MainTree, 1);

    // Right pane: name-mode search fields, the grid, the status strip.
    auto* rightPane = new QWidget;
    auto* rightLayout = new QVBoxLayout(rightPane);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    panelName = named(new QWidget, "panelName");
    auto* nameLayout = new QHBoxLayout(panelName);
    nameLayout->setContentsMargins(0, 0, 0, 0);
    edArtist = named(new QLineEdit, "edArtist");
    edAlbum = named(new QLineEdit, "edAlbum");
    for (auto [text, edit] : {std::pair{"Art&ist:", edArtist}, {"A&lbum:", edAlbum}}) {
        auto* label = new QLabel(text);
        label->setBuddy(edit);
        nameLayout->addWidget(label);
        nameLayout->addWidget(edit, 1);
    }
    rightLayout->addWidget(panelName);

    FileGrid = named(new QTableView, "FileGrid");
    FileGrid->setModel(m_gridModel);
    FileGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FileGrid->setShowGrid(false);
    FileGrid->verticalHeader()->setDefaultSectionSize(18);
    FileGrid->verticalHeader()->setVisible(false);
    FileGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    rightLayout->addWidget(FileGrid, 1);
    FileGrid->viewport()->installEventFilter(this);
    FileGrid->installEventFilter(this);
    connect(FileGrid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int width) {
        if (m_fittingColumns || c < 0 || c >= TAlbumTableModel::ColumnCount) return;
        // The user resized a column: that is its width now, less the share of spare room it had.
        m_columnWidths[size_t(c)] = std::max(20, width - m_columnShare[size_t(c)]);
        m_columnShare[size_t(c)] = 0;
        fitColumns();
    });
    lbPreview = named(new QLabel, "lbPreview");
    lbPreview->setTextFormat(Qt::PlainText);
    lbPreview->setVisible(false);
    rightLayout->addWidget(lbPreview);

    auto* status = new QHBoxLayout;
    auto* statusLeft = new QVBoxLayout;
    lbFolder = named(new QLabel, "lbFolder");
    lbFolder->installEventFilter(this);
    Progress = named(new QProgressBar, "Progress");
    Progress->setVisible(false);
    statusLeft->addWidget(lbFolder);
    statusLeft->addWidget(Progress);
    status->addLayout(statusLeft, 1);
    btRefresh = named(new QPushButton("Refre&sh"), "btRefresh");
    btRefresh->setAutoDefault(false);
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
    mnuShowInfo = GridMenu->addAction("Manual rename/file info");
    mnuShowInfo->setObjectName("mnuShowInfo");
    mnuShowInfo->setShortcut(QKeySequence(Qt::Key_F2));
    mnuPlay = GridMenu->addAction("Play");
    mnuPlay->setObjectName("mnuPlay");
    mnuPlay->setShortcut(QKeySequence(Qt::Key_F3));
    mnuOpenFolder = GridMenu->addAction("Open folder");
    mnuOpenFolder->setObjectName("mnuOpenFolder");
    mnuRefresh = GridMenu->addAction("Refresh");
    mnuRefresh->setObjectName("mnuRefresh");
    // F4 and F5 are the window's keys (below); in the menu they only show, and work while it is open.
    for (QAction* a : {mnuOpenFolder, mnuRefresh}) a->setShortcutContext(Qt::WidgetShortcut);
    mnuOpenFolder->setShortcut(QKeySequence(Qt::Key_F4));
    mnuRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    mnuFix = GridMenu->addAction("Fix 1..9 to 01..09");
    mnuFix->setObjectName("mnuFix");
    // F2 and F3 are the grid's; F4 and F5 belong to the whole window (below).
    for (QAction* a : {mnuShowInfo, mnuPlay}) {
        FileGrid->addAction(a);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    connect(mnuShowInfo, &QAction::triggered, this, guarded(&TMainForm::mnuShowInfoClick));
    connect(mnuPlay, &QAction::triggered, this, guarded(&TMainForm::mnuPlayClick));
    connect(FileGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        try {
            FileGridDblClick(index);
        } catch (const std::exception& e) {
            AppException(QString::fromUtf8(e.what()));
        }
    });
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

    // F4 works wherever the focus is in the window; F1 and F5 are the menus' shortcuts.
    auto* openFolderKey = new QShortcut(QKeySequence(Qt::Key_F4), this);
    openFolderKey->setContext(Qt::WindowShortcut);
    connect(openFolderKey, &QShortcut::activated, this, [this] {
        try {
            FormKeyDown(Qt::Key_F4);
        } catch (const std::exception& e) {
            AppException(QString::fromUtf8(e.what()));
        }
    });

    connect(btAction, &QPushButton::clicked, this, guarded(&TMainForm::btActionClick));
    connect(btQuery, &QPushButton::clicked, this, guarded(&TMainForm::btQueryClick));
    connect(btOptions, &QPushButton::clicked, this, guarded(&TMainForm::btOptionsClick));
    connect(m_lookup, &TChecksumLookup::lockControls, this, [this] { lockLookupControls(true); });
    connect(m_lookup, &TChecksumLookup::unlockControls, this, [this] { lockLookupControls(false); });
    connect(m_lookup, &TChecksumLookup::logLine, this, &TMainForm::AppendLog);
    connect(m_lookup, &TChecksumLookup::matchChoiceNeeded, this, &TMainForm::lookupMatchChoice);
    connect(m_lookup, &TChecksumLookup::entryRead, this, [this](const AlbumRecord& r, const QString&) { lookupEntryRead(r); });
    connect(m_lookup, &TChecksumLookup::timedOut, this, &TMainForm::lookupTimedOut);
    // Locking takes the focus from Query; it goes back there when the query ends.
    auto focusBefore = std::make_shared<QPointer<QWidget>>();
    connect(m_nameQuery, &TNameQuery::lockControls, this, [this, focusBefore] {
        *focusBefore = QApplication::focusWidget();
        lockLookupControls(true);
        showDownload(0, 0);
    });
    connect(m_nameQuery, &TNameQuery::unlockControls, this, [this, focusBefore] {
        lockLookupControls(false);
        hideDownload();
        if (QWidget* w = *focusBefore; w && w->isEnabled() && w->window() == this) w->setFocus(Qt::OtherFocusReason);
    });
    connect(m_nameQuery, &TNameQuery::logLine, this, &TMainForm::AppendLog);
    connect(m_nameQuery, &TNameQuery::progress, this, &TMainForm::showDownload);
    connect(m_nameQuery, &TNameQuery::matchChoiceNeeded, this, &TMainForm::nameQueryMatchChoice);
    connect(m_nameQuery, &TNameQuery::matchChosen, this, [this](const QString& artist, const QString& album) {
        // The fields name the chosen album now; titles of an earlier lookup must not be renamed by them.
        m_album->setCanRename(false);
        edDBArtist->setText(artist);
        edDBAlbum->setText(album);
    });
    connect(m_nameQuery, &TNameQuery::entryRead, this, &TMainForm::nameQueryEntryRead);
    connect(RenameTimer, &QTimer::timeout, this, guarded(&TMainForm::RenameTimerTimer));
    connect(MainTree, &TFolderTree::selectionChanged, this, guarded(&TMainForm::MainTreeChange));
    connect(btRefresh, &QPushButton::clicked, this, guarded(&TMainForm::btRefreshClick));
    connect(btRenameByTag, &QPushButton::clicked, this, guarded(&TMainForm::btRenameByTagClick));
    connect(btQueryModeName, &QToolButton::clicked, this, guarded(&TMainForm::btQueryModeClick));
    connect(btQueryModeChecksum, &QToolButton::clicked, this, guarded(&TMainForm::btQueryModeClick));
    connect(cmbNameFormat, &QComboBox::activated, this, guarded(&TMainForm::cmbNameFormatChange));
    connect(chRenameFolder, &QCheckBox::clicked, this, guarded(&TMainForm::chRenameFolderClick));
    connect(cmbFolderFormat, &QComboBox::activated, this, guarded(&TMainForm::cmbFolderFormatChange));
    connect(Splitter1, &QSplitter::splitterMoved, this, guarded(&TMainForm::Splitter1Moved));

    buildMenus();

    // Edit menu: undo of the last rename run on the listed folder. Ctrl+Z in a text field stays the
    // field's own undo, since the field takes the shortcut first.
    QMenu* editMenu = named(menuBar()->addMenu("&Edit"), "mnuEdit");
    mnuUndo = editMenu->addAction("&Undo last rename");
    mnuUndo->setObjectName("mnuUndo");
    mnuUndo->setShortcut(QKeySequence::Undo);
    connect(mnuUndo, &QAction::triggered, this, guarded(&TMainForm::mnuUndoClick));

    // The "New name" column follows every change that changes a new name.
    connect(m_album, &TAlbumSession::reset, this, &TMainForm::refreshPreview);
    connect(m_album, &TAlbumSession::rowsChanged, this, &TMainForm::refreshPreview);
    connect(m_album, &TAlbumSession::fieldsChanged, this, &TMainForm::refreshPreview);
    connect(m_album, &TAlbumSession::canRenameChanged, this, &TMainForm::refreshPreview);
    connect(cmbNameFormat, &QComboBox::activated, this, &TMainForm::refreshPreview);
    connect(chRenameFolder, &QCheckBox::toggled, this, &TMainForm::refreshPreview);
    connect(cmbFolderFormat, &QComboBox::currentIndexChanged, this, &TMainForm::refreshPreview);

    QMenu* helpMenu = named(menuBar()->addMenu("&Help"), "mnuHelpMenu");
    QAction* help = helpMenu->addAction("&Help");
    help->setObjectName("mnuHelp");
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, guarded(&TMainForm::mnuHelpClick));
    // The grid's menu offers the same action (one F1 for the whole window).
    mnuHelp = help;
    GridMenu->addSeparator();
    GridMenu->addAction(help);
    QAction* about = helpMenu->addAction("&About Cantorix");
    about->setObjectName("mnuAbout");
    connect(about, &QAction::triggered, this, guarded(&TMainForm::mnuAboutClick));

    connect(chRenameFolder, &QCheckBox::toggled, this, &TMainForm::showNextRun);

    // Tab walks tree, grid (one stop: arrows move inside it), album fields, buttons, log.
    FileGrid->setTabKeyNavigation(false);
    QWidget* order[] = {MainTree, FileGrid, edArtist, edAlbum, edDBArtist, edDBYear, edDBAlbum, GenreBox,
                        cmbNameFormat, chRenameFolder, cmbFolderFormat, btQueryModeName, btQueryModeChecksum,
                        btQuery, btAction, btOptions, btRenameByTag, btRefresh, lsLog};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    // The album fields show the album; what the user types goes back into it.
    connect(m_album, &TAlbumSession::fieldsChanged, this, &TMainForm::showAlbumFields);
    connect(m_album, &TAlbumSession::canRenameChanged, btAction, &QWidget::setEnabled);
    for (QLineEdit* e : {edDBArtist, edDBAlbum, edDBYear})
        connect(e, &QLineEdit::textChanged, this, &TMainForm::albumFieldEdited);
    connect(GenreBox, &QComboBox::currentIndexChanged, this, &TMainForm::albumFieldEdited);
}

void TMainForm::buildMenus()
{
    QMenu* file = named(menuBar()->addMenu("&File"), "mnuFile");
    QAction* open = file->addAction("&Open folder" + QString(QChar(0x2026)));
    open->setObjectName("mnuOpenFolderDialog");
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, guarded(&TMainForm::mnuOpenFolderDialogClick));
    QAction* refresh = file->addAction("&Refresh");
    refresh->setObjectName("mnuRefreshMain");
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    connect(refresh, &QAction::triggered, this, guarded(&TMainForm::mnuRefreshClick));
    QAction* saveLog = file->addAction("&Save log" + QString(QChar(0x2026)));
    saveLog->setObjectName("mnuSaveLogMain");
    saveLog->setShortcut(QKeySequence::Save);
    connect(saveLog, &QAction::triggered, this, guarded(&TMainForm::mnuSaveLogClick));
    file->addSeparator();
    QAction* quit = file->addAction("&Quit");
    quit->setObjectName("mnuQuit");
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

void TMainForm::mnuOpenFolderDialogClick()
{
    QString start = m_album->folder().isEmpty() ? QDir::homePath() : m_album->folder();
    QString folder = QFileDialog::getExistingDirectory(this, "Open folder", start);
    if (folder.isEmpty()) return;
    selectAndScan(folder);
}

QString TMainForm::helpFile()
{
    // Installed beside the program's share folder; in a build, the guide of the source tree.
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {appDir + "/../share/doc/cantorix/guide.html", appDir + "/doc/guide.html",
                                     QString(CANTORIX_SOURCE_GUIDE)})
        if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).absoluteFilePath();
    return {};
}

void TMainForm::mnuHelpClick()
{
    const QString guide = helpFile();
    if (guide.isEmpty()) {
        AppendLog("The user guide is not installed");
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(guide));
}

void TMainForm::mnuAboutClick()
{
    auto* box = new QMessageBox(QMessageBox::Information, "About Cantorix",
                                QString("<b>Cantorix %1</b>").arg(QCoreApplication::applicationVersion()),
                                QMessageBox::Ok, this);
    box->setObjectName("AboutMessage");
    box->setInformativeText("Names the files of ripped audio albums from the freedb/CDDB music database or "
                            "from their own tags.\n\nLicensed under the GNU General Public License, version 3 or "
                            "later. It comes with no warranty.");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TMainForm::showNextRun()
{
    const TRenameOptions o = currentRenameOptions();
    QStringList steps{"rename files"};
    if (o.WriteTags) steps << "write tags";
    if (o.CreatePlaylist) steps << "write a playlist";
    if (o.RenameFolder) steps << "rename the folder";
    lbNextRun->setText("Rename will " + steps.join(", ") + ".");
}

void TMainForm::showTitle()
{
    QString folder = m_album->folder();
    while (folder.size() > 1 && folder.endsWith('/')) folder.chop(1);
    const QString name = QFileInfo(folder).fileName();
    setWindowTitle(name.isEmpty() ? QString("Cantorix") : name + QString(" %1 Cantorix").arg(QChar(0x2014)));
}

// ---------------------------------------------------------------------------------------------
// Start-up and exit

void TMainForm::applySettings(const QString& startFolder)
{
    TSettings& s = *m_settings;
    // Query mode.
    bool nameMode = s.get(setting::DefaultMode);
    (nameMode ? btQueryModeName : btQueryModeChecksum)->setChecked(true);
    panelName->setVisible(nameMode);

    // Pane and column widths, header texts (set in the layout).
    int treeWidth = s.get(setting::TreeWidth);
    Splitter1->setSizes({treeWidth, qMax(1, 800 - treeWidth)});
    for (int c = 0; c < TAlbumTableModel::ColumnCount; ++c) m_columnWidths[size_t(c)] = s.get(setting::ColumnWidths[c]);
    fitColumns();

    m_supportedExtensions = SupportedExtensionsFromSettings(s);

    fillNameFormats();
    // Without a NameFormat setting the list's first format is selected, not the renamers' default.
    int current = s.has(setting::NameFormat)
        ? int(cmbNameFormat->findText(s.get(setting::NameFormat), Qt::MatchFixedString | Qt::MatchCaseSensitive))
        : -1;
    cmbNameFormat->setCurrentIndex(current >= 0 ? current : (cmbNameFormat->count() > 0 ? 0 : -1));

    chRenameFolder->setChecked(s.get(setting::RenameFolder));
    showNextRun();
    int folderFormat = s.get(setting::FolderFormat);
    cmbFolderFormat->setCurrentIndex(folderFormat >= 0 && folderFormat < cmbFolderFormat->count() ? folderFormat : -1);

    // Window placement.
    if (s.get(setting::Maximized)) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        QRect placed(s.get(setting::WindowLeft), s.get(setting::WindowTop), s.get(setting::WindowWidth),
                     s.get(setting::WindowHeight));
        // A placement from a larger screen, or the first start's on a small one, must not open the window
        // partly off the screen: it is shrunk to the screen's free area and moved into it.
        const QScreen* screen = QGuiApplication::screenAt(placed.topLeft());
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect free = screen->availableGeometry();
            placed.setSize(placed.size().boundedTo(free.size()));
            placed.moveLeft(std::clamp(placed.left(), free.left(), free.right() + 1 - placed.width()));
            placed.moveTop(std::clamp(placed.top(), free.top(), free.bottom() + 1 - placed.height()));
        }
        move(placed.topLeft());
        resize(placed.size());
    }

    // Starting folder: the command line wins over the setting. The scan below runs once for it.
    const QSignalBlocker quiet(MainTree);
    bool chosen = false;
    if (!startFolder.isEmpty()) {
        chosen = MainTree->selectPath(startFolder);
    } else {
        QString start = s.get(setting::StartFolder);
        if (!start.isEmpty() && QFileInfo(start).isDir()) chosen = MainTree->selectPath(start);
    }
    if (!chosen) MainTree->showHome();
    MainTreeClick();
}

void TMainForm::fillNameFormats()
{
    cmbNameFormat->clear();
    cmbNameFormat->addItems(NameFormatChoices(*m_settings));
}

void TMainForm::btOptionsClick()
{
    TOptionsForm form(*m_settings, this);
    form.setCurrentFolderSource([this] { return MainTree->selectedPath(); });
    connect(&form, &TOptionsForm::logLine, this, &TMainForm::AppendLog);
    connect(&form, &TOptionsForm::nameFormatsChanged, this, [this] {
        // The list shows its first entry; NameFormat itself stays until the user picks one.
        fillNameFormats();
        cmbNameFormat->setCurrentIndex(0);
        refreshPreview();
    });
    form.exec();
    // Lookups read HideData at their start; the switches of the next run show at once.
    m_lookup->setHideData(m_settings->get(setting::HideData));
    showNextRun();
    refreshPreview();
}

void TMainForm::saveSettings()
{
    TSettings& s = *m_settings;
    s.set(setting::DefaultMode, btQueryModeName->isChecked());
    if (isMaximized()) {
        s.set(setting::Maximized, true);
    } else {
        s.set(setting::Maximized, false);
        s.set(setting::WindowLeft, x());
        s.set(setting::WindowTop, y());
        s.set(setting::WindowWidth, width());
        s.set(setting::WindowHeight, height());
    }
    // The widths the user gave (or the defaults), without the share of spare room the window added.
    for (int c = 0; c < TAlbumTableModel::ColumnCount; ++c) s.set(setting::ColumnWidths[c], m_columnWidths[size_t(c)]);
    IoResult written = s.updateFile();
    if (!written)
        std::fprintf(stderr, "Cantorix: cannot write the settings file \"%s\": %s\n",
                     s.fileName().toLocal8Bit().constData(), written.error.c_str());
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A rename in progress finishes first: its files must not be left half-moved.
    if (m_renameRun) m_renameRun->wait();
    m_lookup->abandon();
    m_nameQuery->abandon();
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
    AppendLog(QString::fromStdString(NativeErrorLine(exceptionText.toStdString(), errnoText(errno))));
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
    // The designed name, proposed in the user's documents folder; the user decides where it goes.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir()) documents = QDir::homePath();
    const QString proposed = documents + "/" + LogFileName(QDateTime::currentDateTime(), QLocale());
    const QString path = m_chooseSavePath ? m_chooseSavePath(proposed)
                                          : QFileDialog::getSaveFileName(this, "Save log", proposed,
                                                                         "Log files (*.log *.txt);;All files (*)");
    if (path.isEmpty()) return; // cancelled
    IoResult saved = SaveLogLines(lines, path);
    if (!saved) {
        // The failure takes the form of the application's error line, with the errno of the write.
        AppendLog(QString::fromStdString(NativeErrorLine(saved.error, errnoText(saved.code))));
        return;
    }
    AppendLog(QString("Saved log to \"%1\"").arg(path));
}

// ---------------------------------------------------------------------------------------------
// Grid and scan

void TMainForm::showAlbumFields()
{
    const TAlbumFields& f = m_album->fields();
    m_showingFields = true; // the widgets follow the album here; their change signals must not echo back
    for (auto [edit, text] : {std::pair{edDBArtist, f.Artist}, {edDBAlbum, f.Album}, {edDBYear, f.Year}})
        if (edit->text() != text) edit->setText(text);
    GenreBox->setCurrentIndex(f.Genre.isEmpty() ? -1 : GenreBox->findText(f.Genre, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    m_showingFields = false;
}

void TMainForm::albumFieldEdited()
{
    if (m_showingFields) return;
    m_album->setFields({edDBArtist->text(), edDBAlbum->text(), edDBYear->text(),
                        GenreBox->currentIndex() > 0 ? GenreBox->currentText() : QString()});
}

QString TMainForm::scannedFolder() const { return lbFolder->text(); }

void TMainForm::MainTreeClick()
{
    edArtist->clear();
    edAlbum->clear();
    if (m_nameQuery->running()) {
        // The query's titles are paired with the files it started from: a new listing ends it.
        m_nameQuery->abandon();
        AppendLog("The query by name was abandoned: the folder was listed anew");
        lockLookupControls(false);
        btQuery->setEnabled(false); // the listing below decides
        hideDownload();
    }
    QString path = MainTree->selectedPath();
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        m_album->clear();
        m_lookup->setCurrentFolder(QString()); // no album is listed: a late entry has nowhere to go
        m_nameQuery->setCurrentFolder(QString());
        showTitle();
        return;
    }

    btQuery->setEnabled(false);
    btAction->setEnabled(false);
    // Disabling the tree would hand the keyboard focus to the grid; the user is walking the tree.
    const bool treeHadFocus = MainTree->hasFocus();
    MainTree->setEnabled(false);
    QString folder = WithSlash(path);
    lbFolder->setText(folder);
    m_lookup->setCurrentFolder(folder);
    m_nameQuery->setCurrentFolder(folder);

    TScanResult scan = ScanFolder(path, m_supportedExtensions);
    m_album->loadScan(scan);
    for (const QString& line : scan.logLines()) AppendLog(line);
    if (!scan.names.isEmpty()) btQuery->setEnabled(true);
    if (btQueryModeName->isChecked()) guessAlbum();
    MainTree->setEnabled(true);
    if (treeHadFocus) MainTree->setFocus(Qt::OtherFocusReason);
    showTitle();
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
    if (windowLocked()) return;
    MainTree->rebuild();
    MainTreeClick();
}

// ---------------------------------------------------------------------------------------------
// Settings written at once

void TMainForm::btQueryModeClick()
{
    panelName->setVisible(btQueryModeName->isChecked());
    // Only "Name" can be the checked one after pressing "Name": it guesses again, over what was typed.
    if (btQueryModeName->isChecked()) guessAlbum();
}

void TMainForm::cmbNameFormatChange()
{
    if (cmbNameFormat->currentIndex() >= 0) m_settings->set(setting::NameFormat, cmbNameFormat->currentText());
}

void TMainForm::chRenameFolderClick() { m_settings->set(setting::RenameFolder, chRenameFolder->isChecked()); }

void TMainForm::cmbFolderFormatChange()
{
    m_settings->set(setting::FolderFormat, cmbFolderFormat->currentIndex());
}

void TMainForm::Splitter1Moved()
{
    QList<int> sizes = Splitter1->sizes();
    if (!sizes.isEmpty()) m_settings->set(setting::TreeWidth, sizes[0]);
}

// ---------------------------------------------------------------------------------------------
// Grid commands

QByteArray TMainForm::selectedFile() const
{
    const QModelIndex current = FileGrid->currentIndex();
    // The listed name's own bytes: a name that is not UTF-8 must reach the file unchanged.
    const QByteArray name = current.isValid() ? m_album->row(current.row()).FileBytes : QByteArray();
    if (name.isEmpty() || m_album->folder().isEmpty()) return {};
    return QFile::encodeName(m_album->folder()) + name;
}

bool TMainForm::windowLocked() const { return m_renameRun || m_lookupLocked; }

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
    if (fileExists(file.toStdString())) OpenWithDesktop(file);
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
    const QByteArray name = m_album->row(index.row()).FileBytes;
    if (name.isEmpty() || m_album->folder().isEmpty()) return;
    const QByteArray file = QFile::encodeName(m_album->folder()) + name;
    if (!fileExists(file.toStdString())) return;
    if (m_settings->get(setting::DblClickInfo))
        showInfoWindow(file);
    else
        OpenWithDesktop(file);
}

void TMainForm::showInfoWindow(const QByteArray& file)
{
    TInfoForm form(file, this);
    form.exec();
    // The user may have renamed the file there.
    MainTree->repaintTree();
    MainTreeClick();
}

void TMainForm::btRenameByTagClick()
{
    if (windowLocked() || m_album->fileCount() == 0) return;
    const TRenameOptions options = RenameOptionsFromSettings(*m_settings);
    TRenameByTagForm form(QFile::encodeName(m_album->folder()).toStdString(), m_album->fileBytes(),
                          {options.NameFormat, options.FixUnderScores}, [this](const QString& line) { AppendLog(line); },
                          this);
    if (form.exec() != QDialog::Accepted) return;
    MainTree->repaintTree();
    MainTreeClick();
}

void TMainForm::mnuFixClick()
{
    if (windowLocked()) return;
    const std::vector<std::string> names = m_album->fileBytes();
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
        nameQueryStart();
        return;
    }
    if (const int missing = m_album->filesWithoutPlayingTime())
        AppendLog(QString("%1 of %2 files have no playing time (shown as --:--); the disc ID counts them as 0 "
                          "seconds and will likely find no match")
                      .arg(missing)
                      .arg(m_album->fileCount()));
    m_lookup->start(DurationTexts(m_album->durations()), scannedFolder(), LookupConfigFromSettings(*m_settings));
}

void TMainForm::lockLookupControls(bool locked)
{
    m_lookupLocked = locked;
    for (QWidget* w : std::initializer_list<QWidget*>{btQuery, MainTree, FileGrid, btRenameByTag, btRefresh})
        w->setEnabled(!locked);
    mnuUndo->setEnabled(!locked);
}

void TMainForm::lookupMatchChoice(const QStringList& matches)
{
    TMatchForm form(matches, this);
    if (form.exec() == QDialog::Accepted) {
        m_lookup->chooseMatch(form.selectedIndex());
    } else {
        AppendLog("The lookup was cancelled");
        m_lookup->cancelMatchChoice();
    }
}

void TMainForm::lookupEntryRead(const AlbumRecord& record)
{
    m_album->applyEntry(record);
    if (unfinishedRunHere()) offerUndoOfUnfinishedRun();
}

bool TMainForm::unfinishedRunHere() const
{
    return !m_album->folder().isEmpty() &&
           UnfinishedRunIn(TRenameJournal::defaultDirectory(), QFile::encodeName(m_album->folder()).toStdString());
}

void TMainForm::offerUndoOfUnfinishedRun()
{
    AppendLog(UnfinishedRunText);
    auto* box = new QMessageBox(QMessageBox::Warning, "Renaming", UnfinishedRunText, QMessageBox::NoButton, this);
    box->setObjectName("UnfinishedRunMessage");
    QPushButton* undo = box->addButton("&Undo that run", QMessageBox::AcceptRole);
    box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(undo);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(undo, &QPushButton::clicked, this, guarded(&TMainForm::mnuUndoClick));
    box->open();
}

void TMainForm::lookupTimedOut()
{
    // No owner window, as a system-wide notice; the lookup unlocks the window after it is closed.
    QMessageBox box(QMessageBox::Critical, TChecksumLookup::TimeoutCaption, m_lookup->timeoutMessage(),
                    QMessageBox::Ok);
    box.setObjectName("TimeoutMessage");
    box.exec();
}

// ---------------------------------------------------------------------------------------------
// Query by name

void TMainForm::guessAlbum()
{
    if (m_album->fileCount() == 0) return;
    const TAlbumGuess guess = GuessAlbumFromFile(m_album->folder(), m_album->row(0).FileBytes);
    edArtist->setText(guess.Artist);
    edAlbum->setText(guess.Album);
}

void TMainForm::nameQueryStart()
{
    const TNameQueryConfig config{LookupConfigFromSettings(*m_settings), m_settings->get(setting::SearchUrl)};
    m_nameQuery->start(edArtist->text(), edAlbum->text(), scannedFolder(), config);
}

void TMainForm::showDownload(qint64 received, qint64 total)
{
    lbFolder->setVisible(false);
    Progress->setVisible(true);
    if (total <= 0) {
        Progress->setRange(0, 0); // size not announced: a busy bar
        return;
    }
    // In thousandths: the announced size comes from the server and need not fit an int.
    Progress->setRange(0, 1000);
    Progress->setValue(int(std::clamp<qint64>(received, 0, total) * 1000 / total));
}

void TMainForm::hideDownload()
{
    Progress->setVisible(false);
    Progress->setRange(0, 100);
    Progress->setValue(0);
    lbFolder->setVisible(true);
}

void TMainForm::nameQueryMatchChoice(const QStringList& matches)
{
    hideDownload();
    TMatchForm form(matches, this);
    if (form.exec() == QDialog::Accepted) {
        showDownload(0, 0);
        m_nameQuery->chooseMatch(form.selectedIndex());
    } else {
        AppendLog("The lookup was cancelled");
        m_nameQuery->cancelMatchChoice();
    }
}

void TMainForm::nameQueryEntryRead(const AlbumRecord& record, const QString& folder)
{
    hideDownload();
    if (folder != m_album->folder()) return; // the query drops entries of a folder left; never fill another
    // The titles wait for the user's pairing; the album fields are the entry's at once.
    m_album->setFields({record.Artist, record.Album, record.Year, MatchGenreBoxItem(record.Genre)});
    const QStringList titles = NumberedTitles(record);
    const QStringList files = m_album->fileNames();
    TResultsForm form(titles, files, this);
    form.LoadLocalData();
    if (form.exec() != QDialog::Accepted) {
        AppendLog("The lookup was cancelled");
        return;
    }
    if (m_album->folder() != folder || m_album->fileNames() != files) {
        AppendLog("The titles were not applied: the folder was listed anew");
        return;
    }
    // The accepted pairing is the whole of it: no title of an earlier lookup stays on an unpaired file.
    for (int i = 0; i < m_album->rowCount(); ++i) {
        m_album->setTrackNo(i, QString());
        m_album->setTitle(i, QString());
    }
    if (ApplyAlignment(*m_album, titles, form.rows()) == 0) {
        AppendLog("No title stands beside a file: nothing to rename");
        return;
    }
    AppendLog("Ready to rename");
    m_album->setCanRename(true);
    if (unfinishedRunHere()) offerUndoOfUnfinishedRun();
}

// ---------------------------------------------------------------------------------------------
// Rename run

TRenameOptions TMainForm::currentRenameOptions() const
{
    // The name format is the setting, which choosing an item of the list writes at once.
    TRenameOptions options = RenameOptionsFromSettings(*m_settings);
    options.RenameFolder = chRenameFolder->isChecked();
    options.FolderFormat = cmbFolderFormat->currentIndex();
    return options;
}

void TMainForm::refreshPreview()
{
    if (!m_album->canRename() || m_album->fileCount() == 0) {
        m_gridModel->setPreview({});
        lbPreview->setVisible(false);
        return;
    }
    const TRenameOptions options = currentRenameOptions();
    TRenameRun plan(QFile::encodeName(m_album->folder()).toStdString(), m_album->renameRows(), m_album->albumData(),
                    options);
    m_gridModel->setPreview(plan.preview(FolderEntryNames(plan.folder())));
    QStringList notes;
    auto shown = [](const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); };
    if (options.RenameFolder) notes << QString("New folder: \"%1\"").arg(shown(plan.plannedFolderPath()));
    if (options.CreatePlaylist) notes << QString("Playlist: \"%1\"").arg(shown(plan.playlistFileName()));
    lbPreview->setText(notes.join("    "));
    lbPreview->setVisible(!notes.isEmpty());
}

void TMainForm::showRenameReport(const TRenameReport& report)
{
    if (!report.anyFailure()) return;
    QStringList reasons;
    for (const TRenameRowReport& r : report.Rows) {
        if (reasons.size() >= 3) break;
        auto shown = [](const std::string& s) { return QString::fromStdString(s); };
        if (!r.Moved) reasons << QString("\"%1\": %2").arg(shown(r.OldName), shown(r.MoveError));
        else if (r.Tags == TRenameRowReport::TTags::Failed)
            reasons << QString("\"%1\": tags: %2").arg(shown(r.NewName), shown(r.TagError));
    }
    if (reasons.size() < 3 && !report.FolderError.empty())
        reasons << QString("Folder: %1").arg(QString::fromStdString(report.FolderError));
    if (reasons.size() < 3 && !report.PlaylistError.empty())
        reasons << QString("Playlist: %1").arg(QString::fromStdString(report.PlaylistError));
    // One message for the whole run, not one per row; the log holds every line.
    auto* box = new QMessageBox(QMessageBox::Warning, "Renaming", QString::fromStdString(RenameSummaryText(report)) + ".",
                                QMessageBox::Ok, this);
    box->setObjectName("RenameReportMessage");
    box->setInformativeText(reasons.join("\n"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TMainForm::mnuUndoClick()
{
    if (m_renameRun || m_album->folder().isEmpty()) return;
    bool found = false;
    TUndoReport report =
        UndoLastRun(TRenameJournal::defaultDirectory(), QFile::encodeName(m_album->folder()).toStdString(), false, found);
    for (const std::string& line : report.Lines) AppendLog(QString::fromStdString(line));
    if (!found) return;
    AppendLog(UndoFinishedLine);
    selectAndScan(QFile::decodeName(QByteArray::fromStdString(report.Folder)));
}

void TMainForm::btActionClick()
{
    if (m_renameRun && !m_renameRun->isDone()) return;
    if (unfinishedRunHere()) {
        offerUndoOfUnfinishedRun();
        return;
    }
    TRenameOptions options = currentRenameOptions();
    m_renameRun = std::make_unique<TRenameRun>(QFile::encodeName(MainTree->selectedPath()).toStdString(),
                                               m_album->renameRows(), m_album->albumData(), options);
    m_renameRun->setTagWriter(&WriteAudioTags);
    m_renameRun->setJournalDirectory(TRenameJournal::defaultDirectory());
    Progress->setMaximum(m_album->fileCount());
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
    const TRenameReport report = m_renameRun->report();
    m_renameRun.reset();
    AppendLog("Renaming finished");
    m_album->setCanRename(false);
    Progress->setVisible(false);
    Progress->setValue(0);
    lbFolder->setVisible(true);
    setEnabled(true);
    selectAndScan(folder);
    showRenameReport(report);
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
    case Qt::Key_F1:
        mnuHelpClick();
        break;
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
    // A rescan under a running lookup would let its entry fill another folder's grid.
    if (windowLocked()) return;
    MainTree->repaintTree();
    MainTreeClick();
}

void TMainForm::fitColumns()
{
    // "Filename", "Track" and "New name" share the room the other widths leave.
    const int columns[] = {TAlbumTableModel::ColFilename, TAlbumTableModel::ColTrack, TAlbumTableModel::ColNewName};
    int used = 0;
    for (int w : m_columnWidths) used += w;
    const int spare = std::max(0, FileGrid->viewport()->width() - used);
    m_fittingColumns = true;
    for (int c = 0; c < TAlbumTableModel::ColumnCount; ++c) {
        int share = 0;
        for (size_t k = 0; k < std::size(columns); ++k)
            if (columns[k] == c) share = spare / int(std::size(columns)) + (k == 0 ? spare % int(std::size(columns)) : 0);
        m_columnShare[size_t(c)] = share;
        FileGrid->setColumnWidth(c, m_columnWidths[size_t(c)] + share);
    }
    m_fittingColumns = false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == FileGrid->viewport() || watched == FileGrid) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Show) && !m_fitPending) {
        // Scroll bars come and go while the view settles; fit once it has its final width.
        m_fitPending = true;
        QTimer::singleShot(0, this, [this] {
            m_fitPending = false;
            fitColumns();
        });
    }
    if (watched == lbFolder && event->type() == QEvent::MouseButtonDblClick) {
        guarded(&TMainForm::mnuOpenFolderClick)();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace cantorix
