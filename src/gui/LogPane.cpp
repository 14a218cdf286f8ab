#include "gui/LogPane.h"

#include "core/LogFile.h"
#include "core/rename/RenameLines.h"
#include "gui/Named.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QStandardPaths>

namespace cantorix {

TLogPane::TLogPane(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    logMenu = named(new QMenu(this), "logMenu");
    QAction* copy = logMenu->addAction(tr("Copy selected to clipboard"));
    copy->setObjectName("mnuCopy");
    QAction* save = logMenu->addAction(tr("Save log"));
    save->setObjectName("mnuSaveLog");
    connect(copy, &QAction::triggered, this, &TLogPane::mnuCopyClick);
    connect(save, &QAction::triggered, this, &TLogPane::mnuSaveLogClick);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { logMenu->popup(viewport()->mapToGlobal(pos)); });
}

void TLogPane::append(const QString& line)
{
    addItem(line);
    setCurrentRow(count() - 1);
    scrollToBottom();
}

QStringList TLogPane::lines() const
{
    QStringList all;
    for (int i = 0; i < count(); ++i) all << item(i)->text();
    return all;
}

void TLogPane::mnuCopyClick()
{
    QListWidgetItem* current = currentItem();
    if (!current || !current->isSelected()) return;
    QApplication::clipboard()->setText(current->text());
}

void TLogPane::mnuSaveLogClick()
{
    // The designed name, proposed in the user's documents folder; the user decides where it goes.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir()) documents = QDir::homePath();
    const QString proposed = documents + "/" + LogFileName(QDateTime::currentDateTime(), QLocale());
    const QString path = m_chooseSavePath
        ? m_chooseSavePath(proposed)
        : QFileDialog::getSaveFileName(this, tr("Save log"), proposed, tr("Log files (*.log *.txt);;All files (*)"));
    if (path.isEmpty()) return; // cancelled
    const IoResult saved = SaveLogLines(lines(), path);
    if (!saved) {
        // The failure takes the form of the application's error line, with the errno of the write.
        append(QString::fromStdString(NativeErrorLine(saved.error, errnoText(saved.code))));
        return;
    }
    append(tr("Saved log to \"%1\"").arg(path));
}

} // namespace cantorix
