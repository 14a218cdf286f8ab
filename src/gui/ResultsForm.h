// The results window of a search by name: the album's numbered titles on the left, the listed files on
// the right, row beside row, pre-arranged by name similarity. The user moves file rows until each file
// stands beside its title; "Accept" hands the rows back to the album workflow.
#pragma once

#include "core/album/ResultsAlignment.h"

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
    // `titles` as the album lists them; `fileNames` the listed files in grid order. The lists stay
    // empty until LoadLocalData() or showRows().
    TResultsForm(const QList<TrackTitle>& titles, const QStringList& fileNames, QWidget* parent = nullptr);

    // Shows the pairing AlignTitles makes of the titles and files.
    void LoadLocalData();
    // Shows `rows` as they are (indexes outside the titles or files show as rows without a partner).
    void showRows(const QList<TAlignedRow>& rows);
    // The rows as the user arranged them: row i's title beside row i's file.
    const QList<TAlignedRow>& rows() const { return m_rows; }

    QLabel* lbTitles = nullptr; // "FreeDB track names:"
    QLabel* lbFiles = nullptr; // "Current track names:"
    QListWidget* freedblist = nullptr;
    QListWidget* locallist = nullptr;
    QSplitter* Splitter1 = nullptr;
    QPushButton* btUp = nullptr;
    QPushButton* btDown = nullptr;
    QPushButton* btAccept = nullptr; // "Accept"
    QPushButton* btCancel = nullptr; // Cancel

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

    QList<TrackTitle> m_records;
    QStringList m_titles; // as shown: "01 - Intro"
    QStringList m_fileNames;
    QList<TAlignedRow> m_rows;
};

} // namespace cantorix
