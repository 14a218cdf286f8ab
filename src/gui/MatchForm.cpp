#include "gui/MatchForm.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace cantorix {

TMatchForm::TMatchForm(const QStringList& matches, QWidget* parent) : QDialog(parent)
{
    setObjectName("MatchForm");
    // One candidate is offered for confirmation only.
    setWindowTitle(matches.size() == 1 ? tr("One album found") : tr("More than one album found"));
    resize(520, 260);
    auto* layout = new QVBoxLayout(this);
    lstMatches = new QListWidget(this);
    lstMatches->setObjectName("lstMatches");
    lstMatches->addItems(matches);
    lstMatches->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(lstMatches);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btAccept = new QPushButton(tr("OK"), this);
    btAccept->setObjectName("BitBtn1");
    btAccept->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName("BitBtn2");
    buttons->addWidget(btAccept);
    buttons->addWidget(btCancel);
    layout->addLayout(buttons);
    connect(btAccept, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstMatches, &QListWidget::itemDoubleClicked, this, [this] { lstMatchesDblClick(); });
    // OK means "this one": it is offered only while a line is selected, and the first line is, so
    // Enter picks the server's best match.
    connect(lstMatches, &QListWidget::itemSelectionChanged, this, [this] { btAccept->setEnabled(selectedIndex() >= 0); });
    if (lstMatches->count() > 0) lstMatches->setCurrentRow(0);
    btAccept->setEnabled(selectedIndex() >= 0);
    lstMatches->setFocus();
}

int TMatchForm::selectedIndex() const
{
    QListWidgetItem* item = lstMatches->currentItem();
    return item && item->isSelected() ? lstMatches->row(item) : -1;
}

void TMatchForm::lstMatchesDblClick()
{
    if (selectedIndex() >= 0) accept();
}

int TMatchForm::choose(const QStringList& matches, QWidget* parent)
{
    TMatchForm form(matches, parent);
    return form.exec() == QDialog::Accepted ? form.selectedIndex() : -1;
}

} // namespace cantorix
