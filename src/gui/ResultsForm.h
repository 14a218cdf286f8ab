// The results window of the name query: the entry's numbered titles on the left, the listed files on
// the right, row beside row, pre-arranged by name similarity. The user moves file rows until each file
// stands beside its title; "Accept" hands back the rows for ApplyAlignment.
#pragma once

#include "core/lookup/freedb/ResultsAlignment.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;

namespace cantorix {

class TResultsForm : public QDialog {
    Q_OBJECT
public:
    // `numberedTitles` as NumberedTitles makes them; `fileNames` the listed files in grid order. The
    // lists stay empty until LoadLocalData() or showRows().
    TResultsForm(const QStringList& numberedTitles, const QStringList& fileNames, QWidget* parent = nullptr);

    // Shows the pairing AlignTitles makes of the titles and files.
    void LoadLocalData();
    // Shows `rows` as they are (indexes outside the titles or files show as rows without a partner).
    void showRows(const QList<TAlignedRow>& rows);
    // The rows as the user arranged them: row i's title beside row i's file.
    const QList<TAlignedRow>& rows() const { return m_rows; }

    QLabel* Label3 = nullptr; // "FreeDB track names:"
    QLabel* Label1 = nullptr; // "Current track names:"
    QListWidget* freedblist = nullptr;
    QListWidget* locallist = nullptr;
    QSplitter* Splitter1 = nullptr;
    QPushButton* btUp = nullptr;
    QPushButton* btDown = nullptr;
    QPushButton* BitBtn1 = nullptr; // "Accept"
    QPushButton* BitBtn2 = nullptr; // Cancel

private:
    void btUpClick();
    void btDownClick();
    void freedblistClick();
    void locallistClick();
    // Moves the selected file row by `step` rows; the titles stay where they are.
    void moveSelected(int step);
    QString titleText(const TAlignedRow& row) const;
    QString fileText(const TAlignedRow& row) const;
    void fillLists();
    void selectRow(int row);

    QStringList m_titles;
    QStringList m_fileNames;
    QList<TAlignedRow> m_rows;
};

} // namespace cantorix
