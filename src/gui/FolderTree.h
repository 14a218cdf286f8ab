// The folder tree of the main window: the file system's folders without hidden ones, rooted at "/";
// the selected folder is kept in view while the tree loads. Offers what the scan and the rename run need: the selected path, selecting by path,
// rebuilding while keeping the expanded state, repainting, enabling.
#pragma once

#include <QTreeView>

class QFileSystemModel;

namespace cantorix {

class TFolderTree : public QTreeView {
    Q_OBJECT
public:
    explicit TFolderTree(QWidget* parent = nullptr);

    // The file-system path of the selected node; empty when nothing is selected.
    QString selectedPath() const;
    // Selects the node of `path` (expanding its parents); false when it is not an existing folder.
    bool selectPath(const QString& path);
    // Rebuilds the model from the file system, keeping expanded folders and the selection.
    void rebuild();
    void repaintTree();
    // Expands the home folder and shows it: the start when no folder is chosen.
    void showHome();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

signals:
    // The selection moved to another node (also to none).
    void selectionChanged();

private:
    void createModel();
    QStringList expandedPaths() const;

    QFileSystemModel* m_model = nullptr;
    bool m_quiet = false;
    bool m_keepInView = false; // follow the selected folder until the user moves the view
};

} // namespace cantorix
