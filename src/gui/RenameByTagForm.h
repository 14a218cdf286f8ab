// The rename-by-tag window: one line per listed file with its current name and the name its tags give,
// the proposals editable; "Accept and rename" moves the files. Names stay file-system bytes: a name that
// is not UTF-8 is shown converted but moved with its own bytes.
#pragma once

#include "core/rename/RenameByTag.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace cantorix {

class TRenameByTagForm : public QDialog {
    Q_OBJECT
public:
    // `folder` is the listed folder (bytes, with or without its "/"), `names` its listed files in grid
    // order; `log` receives every log line of the moves.
    TRenameByTagForm(const std::string& folder, const std::vector<std::string>& names,
                     const TRenameByTagOptions& options, std::function<void(const QString&)> log,
                     QWidget* parent = nullptr);

    // Old and new name of each line, edits included.
    const std::vector<TTagProposal>& proposals() const { return m_proposals; }

    QTreeWidget* NameTagList = nullptr;
    QPushButton* btAccept = nullptr; // "Accept and rename"
    QPushButton* btCancel = nullptr;

private:
    void FormCreate(const std::vector<std::string>& names, const TRenameByTagOptions& options);
    void BitBtn1Click();
    void NameTagListEdited(QTreeWidgetItem* item, int column);

    std::string m_folder;
    std::function<void(const QString&)> m_log;
    std::vector<TTagProposal> m_proposals;
    std::vector<std::string> m_built; // the proposals as built, to tell an edit from a value left alone
    bool m_filling = false;
};

} // namespace cantorix
