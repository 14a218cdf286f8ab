// Saving the log pane to a file.
#pragma once

#include "audio/IoResult.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace cantorix {

// "Cantorix.yyyy-mmm-dd [hh-nn-ss].log" with the locale's abbreviated month name.
QString LogFileName(const QDateTime& when, const QLocale& locale);

// Writes every line ended by CR LF, replacing a file of the same name (through a temporary file). A
// failure carries "Cannot create file "<path>". <reason>" and the errno behind it.
IoResult SaveLogLines(const QStringList& lines, const QString& path);

} // namespace cantorix
