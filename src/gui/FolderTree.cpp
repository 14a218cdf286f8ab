#include "gui/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>

namespace cantorix {

TFolderTree::TFolderTree(QWidget* parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    createModel();
    QModelIndex home = m_model->index(QDir::homePath());
    if (home.isValid()) expand(home);
}

void TFolderTree::createModel()
{
    auto* old = m_model;
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_model->setReadOnly(true);
    m_model->setRootPath("/");
    setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c) hideColumn(c);
    setRootIndex(m_model->index("/"));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_quiet) emit selectionChanged();
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
    scrollTo(idx);
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

} // namespace cantorix
