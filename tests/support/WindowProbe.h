// Small looks into the main window for its tests.
#pragma once

#include "gui/ElidedLabel.h"
#include "gui/LogPane.h"
#include "gui/LookupStatus.h"
#include "gui/MainForm.h"

#include <QAbstractItemModel>
#include <QListWidget>
#include <QTableView>
#include <QString>
#include <QStringList>

#include <string>

namespace cantorix::test {

inline QString q(const std::string& s) { return QString::fromStdString(s); }

// Every line of the log pane, in order.
inline QStringList logLines(const TMainForm& f)
{
    QStringList lines;
    for (int i = 0; i < f.lsLog->count(); ++i) lines << f.lsLog->item(i)->text();
    return lines;
}

// What the grid shows in a cell; rows count from 1, as the user reads them.
inline QString gridCell(const TMainForm& f, int row, int column)
{
    const QAbstractItemModel* m = f.FileGrid->model();
    return m->data(m->index(row - 1, column)).toString();
}

// Types into a grid cell as the user would; false when the cell cannot be edited.
inline bool editGridCell(TMainForm& f, int row, int column, const QString& text)
{
    QAbstractItemModel* m = f.FileGrid->model();
    const QModelIndex i = m->index(row - 1, column);
    return (m->flags(i) & Qt::ItemIsEditable) && m->setData(i, text);
}

} // namespace cantorix::test
