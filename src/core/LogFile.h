// Saving the log pane to a file.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace cantorix {

// "Cantorix.yyyy-mmm-dd [hh-nn-ss].log" with the locale's abbreviated month name.
QString LogFileName(const QDateTime& when, const QLocale& locale);

// Writes every line ended by CR LF, replacing a file of the same name. Throws std::runtime_error with
// the reason on failure (the caller's error reporting turns it into a log line); errno is left set.
void SaveLogLines(const QStringList& lines, const QString& path);

} // namespace cantorix
