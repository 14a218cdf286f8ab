// The folder scan without its window: which files of a folder are listed, in which order, and with
// which playing times. The main window and the command line both run it.
#pragma once

#include "core/TrackLength.h"

#include <QString>
#include <QStringList>
#include <QList>

namespace cantorix {

// Splits a comma text the way the settings' extension list is written: items separated by commas and
// by runs of spaces or control characters; an item in double quotes may hold either ("" is a quote);
// a trailing comma or two adjacent commas give an empty item.
QStringList SplitCommaText(const QString& text);

// The upper-cased AdditionalTypes items plus the built-in extensions, sorted, without duplicates.
QStringList BuildSupportedExtensions(const QString& additionalTypes);

// The extension the scan compares: ExtractExtension of the bare name (from the last ".", upper-cased
// a to z only; empty without a dot).
QString ScanExtension(const QString& name);

// Sorts names case-insensitively by the user's locale collation.
void SortByCollation(QStringList& names);

struct TScanResult {
    bool scanned = false;   // false: the path was not an existing folder; nothing else is set
    QString folder;         // the path with a trailing "/"
    QStringList names;      // listed files, in track order, as shown (bytes that are no UTF-8 as U+FFFD)
    QList<QByteArray> files; // the same files' names as the file system holds them, byte for byte
    QList<TTrackLength> lengths; // playing time of each (Known false when none could be read)
    QStringList problems;   // for each: why it has no playing time, empty when it has one
    QString logLine;        // "<n> audio files found in ..." or "No audio files found in ..."
    QStringList notes;      // further lines for the log after logLine: why some files have no playing time
    QStringList removedLines; // one log line per removed temporary file of an interrupted write

    // Every line the scan adds to the log, in order.
    QStringList logLines() const { return removedLines + QStringList{logLine} + notes; }
};

// Lists the supported regular files of `path`, sorted, with their playing times, and removes the
// folder's temporary files left by writers that died.
TScanResult ScanFolder(const QString& path, const QStringList& supportedExtensions);

} // namespace cantorix
