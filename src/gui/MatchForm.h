// The match choice window: one line per album that matched the disc ID.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace cantorix {

class TMatchForm : public QDialog {
    Q_OBJECT
public:
    explicit TMatchForm(const QStringList& matches, QWidget* parent = nullptr);

    // The index of the selected line, or -1 when none is selected.
    int selectedIndex() const;

    // Shows the window modally; returns the chosen index, or -1 for Cancel or OK without a selection.
    static int choose(const QStringList& matches, QWidget* parent);

    QListWidget* lstMatches = nullptr;
    QPushButton* btAccept = nullptr; // OK
    QPushButton* btCancel = nullptr; // Cancel

private:
    void lstMatchesDblClick();
};

} // namespace cantorix
