// Small looks into the main window for its tests.
#pragma once

#include "gui/MainForm.h"

#include <QListWidget>
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

} // namespace cantorix::test
