// The main window's widgets, menus and keys: how it looks and which handler each control calls.
#include "gui/MainForm.h"

#include "core/GenreNames.h"
#include "core/album/LookupSources.h"
#include "core/rename/NameFormat.h"
#include "gui/AlbumTableModel.h"
#include "gui/ElidedLabel.h"
#include "gui/GridColumns.h"
#include "gui/LogPane.h"
#include "gui/LookupStatus.h"
#include "gui/Named.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>

namespace cantorix {

void TMainForm::buildLayout()
{
    setObjectName("TMainForm");
    setWindowTitle(QStringLiteral("Cantorix"));
    setWindowIcon(QIcon(":/cantorix.svg"));

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 6, 6, 6);

    // Top area: the renaming formats, the album fields, Options and Rename by tag. Every label takes
    // its own width from the font, so nothing is cut at the layout's minimum size or with a larger font.
    auto* top = new QHBoxLayout;
    auto* renameBox = named(new QGroupBox(tr("Renaming")), "gbRenaming");
    auto* formats = new QGridLayout(renameBox);
    auto* nameFormatLabel = new QLabel(tr("Na&me format:"));
    cmbNameFormat = named(new QComboBox, "cmbNameFormat");
    // A long format of the user's must not widen the window past a small screen; its list is as wide
    // as the formats are.
    cmbNameFormat->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbNameFormat->setMinimumContentsLength(20);
    nameFormatLabel->setBuddy(cmbNameFormat);
    formats->addWidget(nameFormatLabel, 0, 0);
    formats->addWidget(cmbNameFormat, 1, 0);
    chRenameFolder = named(new QCheckBox(tr("Rename f&older, format:")), "chRenameFolder");
    formats->addWidget(chRenameFolder, 2, 0);
    cmbFolderFormat = named(new QComboBox, "cmbFolderFormat");
    for (const char* f : FolderFormatItems) cmbFolderFormat->addItem(f);
    cmbFolderFormat->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    formats->addWidget(cmbFolderFormat, 3, 0);
    top->addWidget(renameBox);

    auto* dbBox = named(new QGroupBox(tr("FreeDB info")), "gbFreeDBInfo");
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
    // A genre is free text ("Misc", "Pop-Folk"): the list only suggests, and what is typed is not added to it.
    GenreBox->setEditable(true);
    GenreBox->setInsertPolicy(QComboBox::NoInsert);
    GenreBox->setMaxVisibleItems(32);
    GenreBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    GenreBox->setMinimumContentsLength(14);
    GenreBox->addItem(QString());
    GenreBox->addItems(GenreBoxNames());
    const struct {
        const char* text;
        QWidget* field;
        int row, column;
    } dbFields[] = {{QT_TR_NOOP("&Artist:"), edDBArtist, 0, 0}, {QT_TR_NOOP("&Year:"), edDBYear, 0, 2},
        {QT_TR_NOOP("Al&bum:"), edDBAlbum, 1, 0}, {QT_TR_NOOP("&Genre:"), GenreBox, 1, 2}};
    for (const auto& f : dbFields) {
        auto* label = new QLabel(tr(f.text));
        label->setBuddy(f.field);
        dbLayout->addWidget(label, f.row, f.column);
        dbLayout->addWidget(f.field, f.row, f.column + 1);
    }
    dbLayout->setRowStretch(2, 1);
    top->addWidget(dbBox, 1);

    auto* right = new QVBoxLayout;
    btOptions = named(new QPushButton(tr("O&ptions")), "btOptions");
    btRenameByTag = named(new QPushButton(tr("Rename by &tag")), "btRenameByTag");
    right->addWidget(btOptions);
    right->addWidget(btRenameByTag);
    right->addStretch();
    top->addLayout(right);
    outer->addLayout(top);

    // Left pane: the query mode, the two actions and what the next run will do, above the folder tree.
    auto* leftPane = new QWidget;
    auto* leftLayout = new QVBoxLayout(leftPane);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* modeBox = named(new QGroupBox(tr("Query mode")), "gbQueryMode");
    auto* modeLayout = new QHBoxLayout;
    btQueryModeName = named(new QToolButton, "btQueryModeName");
    btQueryModeName->setText(tr("&Name"));
    btQueryModeChecksum = named(new QToolButton, "btQueryModeChecksum");
    btQueryModeChecksum->setText(tr("Chec&ksum"));
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
    // The database beside the mode: playing times or words, asked of one of the lookup sources.
    auto* databaseRow = new QHBoxLayout;
    auto* databaseLabel = new QLabel(tr("&Database:"));
    cmbDatabase = named(new QComboBox, "cmbDatabase");
    // The longest label ("AcoustID (fingerprints)") must not widen the pane beside the tree.
    cmbDatabase->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbDatabase->setMinimumContentsLength(6);
    QStringList descriptions;
    for (const TLookupSourceRow& source : LookupSources()) {
        cmbDatabase->addItem(source.label());
        descriptions << source.description();
    }
    cmbDatabase->setToolTip(descriptions.join("; "));
    databaseLabel->setBuddy(cmbDatabase);
    databaseRow->addWidget(databaseLabel);
    databaseRow->addWidget(cmbDatabase, 1);
    auto* modeOuter = new QVBoxLayout(modeBox);
    modeOuter->addLayout(modeLayout);
    modeOuter->addLayout(databaseRow);
    leftLayout->addWidget(modeBox);
    auto* actions = new QHBoxLayout;
    btQuery = named(new QPushButton(tr("&Query")), "btQuery");
    btAction = named(new QPushButton(tr("&Rename")), "btAction");
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
    for (auto [text, edit] : {std::pair{QT_TR_NOOP("Art&ist:"), edArtist}, {QT_TR_NOOP("A&lbum:"), edAlbum}}) {
        auto* label = new QLabel(tr(text));
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
    m_columns = new TGridColumns(FileGrid);
    lbPreview = named(new TElidedLabel(Qt::ElideMiddle), "lbPreview");
    lbPreview->setVisible(false);
    rightLayout->addWidget(lbPreview);

    auto* status = new QHBoxLayout;
    auto* statusLeft = new QVBoxLayout;
    lbFolder = named(new TElidedLabel(Qt::ElideMiddle), "lbFolder");
    lbFolder->installEventFilter(this);
    Progress = named(new QProgressBar, "Progress");
    Progress->setVisible(false);
    statusLeft->addWidget(lbFolder);
    statusLeft->addWidget(Progress);
    status->addLayout(statusLeft, 1);
    btRefresh = named(new QPushButton(tr("Refre&sh")), "btRefresh");
    btRefresh->setAutoDefault(false);
    status->addWidget(btRefresh);
    rightLayout->addLayout(status);

    Splitter1 = named(new QSplitter(Qt::Horizontal), "Splitter1");
    Splitter1->addWidget(leftPane);
    Splitter1->addWidget(rightPane);
    Splitter1->setCollapsible(0, false);
    Splitter1->setStretchFactor(1, 1);

    lsLog = named(new TLogPane, "lsLog");
    SplitterLog = named(new QSplitter(Qt::Vertical), "SplitterLog");
    SplitterLog->addWidget(Splitter1);
    SplitterLog->addWidget(lsLog);
    SplitterLog->setCollapsible(0, false);
    SplitterLog->setCollapsible(1, true);
    SplitterLog->setStretchFactor(0, 1);
    SplitterLog->setSizes({400, 120});
    outer->addWidget(SplitterLog, 1);

    // The status bar: how the last lookup ended, and the running lookup with its Cancel (Esc too).
    lookupStatus = new TLookupStatus;
    statusBar()->addPermanentWidget(lookupStatus);
    connect(lookupStatus, &TLookupStatus::cancelRequested, this, guarded(&TMainForm::cancelLookupClick));
    m_cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_cancelKey->setContext(Qt::WindowShortcut);
    m_cancelKey->setEnabled(false);
    connect(m_cancelKey, &QShortcut::activated, this, guarded(&TMainForm::cancelLookupClick));

    // Menus.
    GridMenu = named(new QMenu(this), "GridMenu");
    mnuShowInfo = GridMenu->addAction(tr("Manual rename/file info"));
    mnuShowInfo->setObjectName("mnuShowInfo");
    mnuShowInfo->setShortcut(QKeySequence(Qt::Key_F2));
    mnuPlay = GridMenu->addAction(tr("Play"));
    mnuPlay->setObjectName("mnuPlay");
    mnuPlay->setShortcut(QKeySequence(Qt::Key_F3));
    mnuOpenFolder = GridMenu->addAction(tr("Open folder"));
    mnuOpenFolder->setObjectName("mnuOpenFolder");
    mnuRefresh = GridMenu->addAction(tr("Refresh"));
    mnuRefresh->setObjectName("mnuRefresh");
    // F4 and F5 are the window's keys (below); in the menu they only show, and work while it is open.
    for (QAction* a : {mnuOpenFolder, mnuRefresh}) a->setShortcutContext(Qt::WidgetShortcut);
    mnuOpenFolder->setShortcut(QKeySequence(Qt::Key_F4));
    mnuRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    mnuFix = GridMenu->addAction(tr("Fix 1..9 to 01..09"));
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
    connect(MainTree, &TFolderTree::selectionChanged, this, guarded(&TMainForm::MainTreeChange));
    connect(btRefresh, &QPushButton::clicked, this, guarded(&TMainForm::btRefreshClick));
    connect(btRenameByTag, &QPushButton::clicked, this, guarded(&TMainForm::btRenameByTagClick));
    connect(btQueryModeName, &QToolButton::clicked, this, guarded(&TMainForm::btQueryModeClick));
    connect(btQueryModeChecksum, &QToolButton::clicked, this, guarded(&TMainForm::btQueryModeClick));
    connect(cmbDatabase, &QComboBox::activated, this, guarded(&TMainForm::cmbDatabaseChange));
    connect(cmbNameFormat, &QComboBox::currentIndexChanged, this, guarded(&TMainForm::cmbNameFormatChange));
    connect(chRenameFolder, &QCheckBox::clicked, this, guarded(&TMainForm::chRenameFolderClick));
    connect(cmbFolderFormat, &QComboBox::activated, this, guarded(&TMainForm::cmbFolderFormatChange));
    connect(Splitter1, &QSplitter::splitterMoved, this, guarded(&TMainForm::Splitter1Moved));

    buildMenus();

    // Edit menu: undo of the last rename run on the listed folder. Ctrl+Z in a text field stays the
    // field's own undo, since the field takes the shortcut first.
    QMenu* editMenu = named(menuBar()->addMenu(tr("&Edit")), "mnuEdit");
    mnuUndo = editMenu->addAction(tr("&Undo last rename"));
    mnuUndo->setObjectName("mnuUndo");
    mnuUndo->setShortcut(QKeySequence::Undo);
    connect(mnuUndo, &QAction::triggered, this, guarded(&TMainForm::mnuUndoClick));
    mnuUndoAll = editMenu->addAction(tr("Undo &all renames of this album"));
    mnuUndoAll->setObjectName("mnuUndoAll");
    connect(mnuUndoAll, &QAction::triggered, this, guarded(&TMainForm::mnuUndoAllClick));
    // The entries name the run they undo, as the record says when the menu opens.
    connect(editMenu, &QMenu::aboutToShow, this, &TMainForm::updateUndoTexts);

    // The "New name" column follows every change that changes a new name.
    connect(cmbNameFormat, &QComboBox::currentIndexChanged, this, &TMainForm::refreshPreview);
    connect(chRenameFolder, &QCheckBox::toggled, this, &TMainForm::refreshPreview);
    connect(cmbFolderFormat, &QComboBox::currentIndexChanged, this, &TMainForm::refreshPreview);

    QMenu* helpMenu = named(menuBar()->addMenu(tr("&Help")), "mnuHelpMenu");
    QAction* help = helpMenu->addAction(tr("&Help"));
    help->setObjectName("mnuHelp");
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, guarded(&TMainForm::mnuHelpClick));
    // The grid's menu offers the same action (one F1 for the whole window).
    mnuHelp = help;
    GridMenu->addSeparator();
    GridMenu->addAction(help);
    QAction* about = helpMenu->addAction(tr("&About Cantorix"));
    about->setObjectName("mnuAbout");
    connect(about, &QAction::triggered, this, guarded(&TMainForm::mnuAboutClick));

    connect(chRenameFolder, &QCheckBox::toggled, this, &TMainForm::showNextRun);

    // Tab walks tree, grid (one stop: arrows move inside it), album fields, buttons, log.
    FileGrid->setTabKeyNavigation(false);
    QWidget* order[] = {MainTree, FileGrid, edArtist, edAlbum, edDBArtist, edDBYear, edDBAlbum, GenreBox,
                        cmbNameFormat, chRenameFolder, cmbFolderFormat, btQueryModeName, btQueryModeChecksum, cmbDatabase,
                        btQuery, btAction, btOptions, btRenameByTag, btRefresh, lsLog};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    // What the user types into the album fields goes into the album.
    for (QLineEdit* e : {edDBArtist, edDBAlbum, edDBYear})
        connect(e, &QLineEdit::textChanged, this, &TMainForm::albumFieldEdited);
    connect(GenreBox, &QComboBox::editTextChanged, this, &TMainForm::albumFieldEdited);
}

void TMainForm::buildMenus()
{
    QMenu* file = named(menuBar()->addMenu(tr("&File")), "mnuFile");
    QAction* open = file->addAction(tr("&Open folder…"));
    open->setObjectName("mnuOpenFolderDialog");
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, guarded(&TMainForm::mnuOpenFolderDialogClick));
    mnuRefreshMain = file->addAction(tr("&Refresh"));
    mnuRefreshMain->setObjectName("mnuRefreshMain");
    mnuRefreshMain->setShortcut(QKeySequence(Qt::Key_F5));
    connect(mnuRefreshMain, &QAction::triggered, this, guarded(&TMainForm::mnuRefreshClick));
    QAction* batch = file->addAction(tr("Rename a &collection…"));
    batch->setObjectName("mnuBatch");
    connect(batch, &QAction::triggered, this, guarded(&TMainForm::mnuBatchClick));
    QAction* saveLog = file->addAction(tr("&Save log…"));
    saveLog->setObjectName("mnuSaveLogMain");
    saveLog->setShortcut(QKeySequence::Save);
    connect(saveLog, &QAction::triggered, lsLog, &TLogPane::mnuSaveLogClick);
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"));
    quit->setObjectName("mnuQuit");
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

} // namespace cantorix
