#include "gui/ResultsForm.h"
#include "gui/DialogSize.h"
#include "gui/Named.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include <utility>

namespace cantorix {

namespace {

// One list with its heading above it, as one pane of the splitter.
QWidget* listPane(QLabel* label, QListWidget* list)
{
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    label->setBuddy(list);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    // The splitter never makes a pane narrower than this, nor than its heading; a few rows always show.
    list->setMinimumSize(100, list->fontMetrics().lineSpacing() * 5);
    return pane;
}

} // namespace

TResultsForm::TResultsForm(const QList<TrackTitle>& titles, const QStringList& fileNames, QWidget* parent)
    : QDialog(parent), m_records(titles), m_fileNames(fileNames)
{
    for (const TrackTitle& t : titles) m_titles << NumberedTitle(t);
    setObjectName("ResultsForm");
    setWindowTitle(tr("Sort results..."));
    setSizeGripEnabled(true);

    lbTitles = named(new QLabel(tr("&FreeDB track names:")), "Label3");
    lbFiles = named(new QLabel(tr("&Current track names:")), "Label1");
    freedblist = named(new QListWidget, "freedblist");
    locallist = named(new QListWidget, "locallist");
    for (QListWidget* list : {freedblist, locallist}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true); // row i of one list stands beside row i of the other
    }

    Splitter1 = named(new QSplitter(Qt::Horizontal), "Splitter1");
    Splitter1->addWidget(listPane(lbTitles, freedblist));
    Splitter1->addWidget(listPane(lbFiles, locallist));
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStretchFactor(1, 1);

    btUp = named(new QPushButton(style()->standardIcon(QStyle::SP_ArrowUp), tr("&Up")), "btUp");
    btDown = named(new QPushButton(style()->standardIcon(QStyle::SP_ArrowDown), tr("&Down")), "btDown");
    btUp->setToolTip(tr("Move the selected file up (Alt+Up)"));
    btDown->setToolTip(tr("Move the selected file down (Alt+Down)"));
    auto* moves = new QVBoxLayout;
    // The buttons start level with the lists, below the headings.
    moves->addSpacing(lbFiles->sizeHint().height());
    for (QPushButton* b : {btUp, btDown}) {
        b->setAutoDefault(false);
        moves->addWidget(b);
    }
    moves->addStretch();

    auto* lists = new QHBoxLayout;
    lists->addWidget(Splitter1, 1);
    lists->addLayout(moves);

    btAccept = named(new QPushButton(tr("&Accept")), "BitBtn1");
    btCancel = named(new QPushButton(tr("Cancel")), "BitBtn2");
    btAccept->setDefault(true);
    btCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btAccept);
    buttons->addWidget(btCancel);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(lists, 1);
    outer->addLayout(buttons);

    resize(SizeWithinScreen(QSize(870, 640)));
    // The titles' pane takes 373 of the designed 870 pixels.
    Splitter1->setSizes({width() * 373 / 870, width() - width() * 373 / 870});

    connect(btUp, &QPushButton::clicked, this, &TResultsForm::btUpClick);
    connect(btDown, &QPushButton::clicked, this, &TResultsForm::btDownClick);
    connect(btAccept, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(freedblist, &QListWidget::currentRowChanged, this, &TResultsForm::freedblistClick);
    connect(locallist, &QListWidget::currentRowChanged, this, &TResultsForm::locallistClick);
    // The pairs must stay side by side when either list scrolls.
    QScrollBar* left = freedblist->verticalScrollBar();
    QScrollBar* right = locallist->verticalScrollBar();
    connect(left, &QScrollBar::valueChanged, right, &QScrollBar::setValue);
    connect(right, &QScrollBar::valueChanged, left, &QScrollBar::setValue);
    // Moving a file without leaving the list.
    auto* upKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), this);
    auto* downKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), this);
    connect(upKey, &QShortcut::activated, this, &TResultsForm::btUpClick);
    connect(downKey, &QShortcut::activated, this, &TResultsForm::btDownClick);

    setTabOrder(freedblist, locallist);
    setTabOrder(locallist, btUp);
    setTabOrder(btUp, btDown);
    setTabOrder(btDown, btAccept);
    setTabOrder(btAccept, btCancel);
}

void TResultsForm::LoadLocalData() { showRows(AlignTitles(m_records, m_fileNames)); }

void TResultsForm::showRows(const QList<TAlignedRow>& rows)
{
    m_rows = rows;
    fillLists();
    if (!m_rows.isEmpty()) selectRow(0);
    locallist->setFocus(Qt::OtherFocusReason);
}

QString TResultsForm::titleText(const TAlignedRow& row) const
{
    return row.Title >= 0 && row.Title < m_titles.size()
        ? m_titles[row.Title]
        : QCoreApplication::translate("ResultsAlignment", FakeTrackText);
}

QString TResultsForm::fileText(const TAlignedRow& row) const
{
    return row.GridRow >= 0 && row.GridRow < m_fileNames.size()
        ? LocalTrackName(m_fileNames[row.GridRow])
        : QCoreApplication::translate("ResultsAlignment", MissingTrackText);
}

namespace {

// A row without a partner is set apart from real names (a file may well be called "Missing track?").
void showItem(QListWidgetItem* item, const QString& text, bool partnerless, const QPalette& palette)
{
    item->setText(text);
    QFont font = item->font();
    font.setItalic(partnerless);
    item->setFont(font);
    item->setForeground(partnerless ? palette.brush(QPalette::PlaceholderText) : palette.brush(QPalette::Text));
}

} // namespace

void TResultsForm::fillLists()
{
    freedblist->clear();
    locallist->clear();
    for (const TAlignedRow& row : std::as_const(m_rows)) {
        auto* title = new QListWidgetItem(freedblist);
        showItem(title, titleText(row), row.Title < 0 || row.Title >= m_titles.size(), palette());
        auto* file = new QListWidgetItem(locallist);
        showItem(file, fileText(row), row.GridRow < 0 || row.GridRow >= m_fileNames.size(), palette());
    }
}

void TResultsForm::selectRow(int row)
{
    freedblist->setCurrentRow(row);
    locallist->setCurrentRow(row);
}

void TResultsForm::moveSelected(int step)
{
    QListWidgetItem* item = locallist->currentItem();
    if (!item || !item->isSelected()) return;
    const int from = locallist->row(item);
    const int to = from + step;
    if (from < 0 || from >= m_rows.size() || to < 0 || to >= m_rows.size()) return;
    // The file moves, the titles keep their order.
    std::swap(m_rows[from].GridRow, m_rows[to].GridRow);
    for (int r : {from, to})
        showItem(locallist->item(r), fileText(m_rows[r]), m_rows[r].GridRow < 0 || m_rows[r].GridRow >= m_fileNames.size(),
                 palette());
    selectRow(to);
}

void TResultsForm::btUpClick() { moveSelected(-1); }

void TResultsForm::btDownClick() { moveSelected(+1); }

void TResultsForm::freedblistClick()
{
    if (freedblist->currentRow() != locallist->currentRow()) locallist->setCurrentRow(freedblist->currentRow());
}

void TResultsForm::locallistClick()
{
    if (locallist->currentRow() != freedblist->currentRow()) freedblist->setCurrentRow(locallist->currentRow());
}

} // namespace cantorix
