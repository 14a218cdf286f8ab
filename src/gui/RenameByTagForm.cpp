#include "gui/RenameByTagForm.h"
#include "gui/DialogSize.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cantorix {

namespace {

QString shown(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

// The "Original" column shows the file's name; it is not edited.
class TReadOnlyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override { return nullptr; }
};

} // namespace

TRenameByTagForm::TRenameByTagForm(const std::string& folder, const std::vector<std::string>& names,
                                   const TRenameByTagOptions& options, std::function<void(const QString&)> log,
                                   QWidget* parent)
    : QDialog(parent), m_folder(folder), m_log(std::move(log))
{
    setObjectName("TRenameByTagForm");
    setWindowTitle(tr("Rename by tag"));

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Proposed names (double-click or F2 to change one):"));
    layout->addWidget(label);
    NameTagList = new QTreeWidget;
    NameTagList->setObjectName("NameTagList");
    NameTagList->setColumnCount(2);
    NameTagList->setHeaderLabels({tr("Original"), tr("New")});
    NameTagList->setRootIsDecorated(false);
    NameTagList->setUniformRowHeights(true);
    NameTagList->setAlternatingRowColors(true);
    NameTagList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::SelectedClicked);
    NameTagList->setItemDelegateForColumn(0, new TReadOnlyDelegate(NameTagList));
    NameTagList->header()->resizeSection(0, 438);
    NameTagList->header()->resizeSection(1, 418);
    NameTagList->header()->setStretchLastSection(true);
    label->setBuddy(NameTagList);
    layout->addWidget(NameTagList, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btAccept = new QPushButton(tr("&Accept and rename"));
    btAccept->setObjectName("BitBtn1");
    btCancel = new QPushButton(tr("&Cancel"));
    btCancel->setObjectName("btCancel");
    // Enter commits an edit in the list; it never presses a button of this window by itself.
    for (QPushButton* b : {btAccept, btCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    connect(btAccept, &QPushButton::clicked, this, &TRenameByTagForm::BitBtn1Click);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(NameTagList, &QTreeWidget::itemChanged, this, &TRenameByTagForm::NameTagListEdited);

    // The designed widths of both columns, where the screen has room for them.
    resize(SizeWithinScreen(QSize(438 + 418 + 60, 460)));

    FormCreate(names, options);
}

void TRenameByTagForm::FormCreate(const std::vector<std::string>& names, const TRenameByTagOptions& options)
{
    m_proposals = ProposeTagNames(m_folder, names, options);
    m_filling = true;
    for (const TTagProposal& p : m_proposals) {
        m_built.push_back(p.NewName);
        auto* item = new QTreeWidgetItem(NameTagList, {shown(p.OldName), shown(p.NewName)});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setToolTip(0, shown(p.OldName));
        // A file without tags, or already named so, keeps its name: shown dimmed.
        if (p.NewName == p.OldName) {
            item->setForeground(1, palette().brush(QPalette::Disabled, QPalette::Text));
            item->setToolTip(1, tr("Keeps its name"));
        }
        // The number's place in the name stays empty: marked, so that the user sees it before accepting.
        if (p.NoNumber) {
            item->setIcon(1, style()->standardIcon(QStyle::SP_MessageBoxWarning));
            item->setToolTip(1, tr("The tags give no track number: the name has an empty place where it goes"));
        }
    }
    m_filling = false;
    // F2 edits the new name of the first row, but the list opens at its left edge: making that cell
    // current must not scroll the "Original" column out of a narrow window.
    NameTagList->setAutoScroll(false);
    if (QTreeWidgetItem* first = NameTagList->topLevelItem(0)) NameTagList->setCurrentItem(first, 1);
    NameTagList->setAutoScroll(true);
}

void TRenameByTagForm::NameTagListEdited(QTreeWidgetItem* item, int column)
{
    if (m_filling || column != 1) return;
    const int i = NameTagList->indexOfTopLevelItem(item);
    if (i < 0 || size_t(i) >= m_proposals.size()) return;
    const QString text = item->text(1);
    // A value shown as built keeps the built bytes (a name that is not UTF-8 shows converted).
    m_proposals[size_t(i)].NewName = text == shown(m_built[size_t(i)]) ? m_built[size_t(i)] : text.toStdString();
}

void TRenameByTagForm::BitBtn1Click()
{
    // An edit still open (Alt+A while typing) counts as typed: taking the focus from it commits it.
    if (QWidget* focus = QApplication::focusWidget(); focus && NameTagList->viewport()->isAncestorOf(focus))
        btAccept->setFocus(Qt::OtherFocusReason);
    RunRenameByTag(m_folder, m_proposals, [this](const std::string& line) {
        if (m_log) m_log(QString::fromStdString(line));
    });
    accept();
}

} // namespace cantorix
