// The log pane: the lines of everything that happened, the newest selected, with its own menu to copy
// the selected line or save them all.
#pragma once

#include <QListWidget>

#include <functional>

class QMenu;

namespace cantorix {

class TLogPane : public QListWidget {
    Q_OBJECT
public:
    explicit TLogPane(QWidget* parent = nullptr);

    // Appends a line and selects it, which scrolls it into view.
    void append(const QString& line);
    QStringList lines() const;

    // Where "Save log" writes: a save dialog proposing `proposed` unless a chooser is set (tests). An
    // empty answer cancels.
    void setSaveChooser(std::function<QString(const QString& proposed)> chooser) { m_chooseSavePath = std::move(chooser); }
    // "Copy selected to clipboard".
    void mnuCopyClick();
    // "Save log": the lines to a file the user picks; the outcome is logged.
    void mnuSaveLogClick();

    QMenu* logMenu = nullptr;

private:
    std::function<QString(const QString&)> m_chooseSavePath;
};

} // namespace cantorix
