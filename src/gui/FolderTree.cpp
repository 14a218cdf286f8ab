#include "gui/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace cantorix {

TFolderTree::TFolderTree(QWidget* parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    createModel();
}

void TFolderTree::showHome()
{
    QModelIndex home = m_model->index(QDir::homePath());
    if (!home.isValid()) return;
    const QModelIndex before = currentIndex();
    expand(home);
    scrollTo(home, QAbstractItemView::PositionAtTop);
    // Showing the home folder is no choice of it: nothing is selected until the user picks a folder.
    if (currentIndex() != before) {
        m_quiet = true;
        selectionModel()->setCurrentIndex(before, QItemSelectionModel::ClearAndSelect);
        m_quiet = false;
    }
}

void TFolderTree::createModel()
{
    auto* old = m_model;
    m_model = new QFileSystemModel(this);
    // Folders whose names start with "." are the system's hidden ones: not listed, as file managers do.
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_model->setRootPath("/");
    setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c) hideColumn(c);
    setRootIndex(m_model->index("/"));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_quiet) emit selectionChanged();
    });
    // The model reads folders in the background; rows that arrive above the selected folder push it
    // down, so it is brought into view again once its folder's siblings are read.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString&) {
        QModelIndex idx = currentIndex();
        if (idx.isValid() && m_keepInView) scrollTo(idx, QAbstractItemView::PositionAtCenter);
    });
    delete old;
}

QString TFolderTree::selectedPath() const
{
    QModelIndex idx = currentIndex();
    if (!idx.isValid()) return {};
    return m_model->filePath(idx);
}

bool TFolderTree::selectPath(const QString& path)
{
    QFileInfo info(path);
    if (path.isEmpty() || !info.isDir()) return false;
    QModelIndex idx = m_model->index(info.absoluteFilePath());
    if (!idx.isValid()) return false;
    for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent()) expand(p);
    setCurrentIndex(idx);
    scrollTo(idx, QAbstractItemView::PositionAtCenter);
    m_keepInView = true;
    return true;
}

QStringList TFolderTree::expandedPaths() const
{
    QStringList paths;
    // Walk only what is loaded and expanded; the tree is never fully read from disk.
    QList<QModelIndex> stack{rootIndex()};
    while (!stack.isEmpty()) {
        QModelIndex idx = stack.takeLast();
        int rows = m_model->rowCount(idx);
        for (int r = 0; r < rows; ++r) {
            QModelIndex child = m_model->index(r, 0, idx);
            if (isExpanded(child)) {
                paths << m_model->filePath(child);
                stack << child;
            }
        }
    }
    return paths;
}

void TFolderTree::rebuild()
{
    QStringList expanded = expandedPaths();
    QString selected = selectedPath();
    m_quiet = true;
    createModel();
    for (const QString& p : std::as_const(expanded)) {
        QModelIndex idx = m_model->index(p);
        if (idx.isValid()) expand(idx);
    }
    if (!selected.isEmpty()) selectPath(selected);
    m_quiet = false;
}

void TFolderTree::repaintTree() { viewport()->update(); }

void TFolderTree::mousePressEvent(QMouseEvent* event)
{
    m_keepInView = false; // the user moves the view now
    QTreeView::mousePressEvent(event);
}

void TFolderTree::focusInEvent(QFocusEvent* event)
{
    // A view given the focus with nothing selected makes its first row current; here that would
    // list a folder the user never chose.
    if (!currentIndex().isValid()) {
        QWidget::focusInEvent(event);
        viewport()->update();
        return;
    }
    QTreeView::focusInEvent(event);
}

void TFolderTree::wheelEvent(QWheelEvent* event)
{
    m_keepInView = false;
    QTreeView::wheelEvent(event);
}

void TFolderTree::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    // A window that settles its size after the folder was selected must not leave it out of view.
    if (m_keepInView && currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
}

void TFolderTree::keyPressEvent(QKeyEvent* event)
{
    m_keepInView = false;
    QTreeView::keyPressEvent(event);
}

} // namespace cantorix
