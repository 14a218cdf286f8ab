// The pairing of an entry's titles with the listed files that the results window starts from: each
// title takes the unpaired file whose name is nearest to it, so that the user only has to mend the
// odd row. The window shows it and lets the user move the file rows; cantorix-cli search prints it.
#pragma once

#include "core/lookup/AlbumRecord.h"

#include <QList>
#include <QtGlobal>
#include <QString>
#include <QStringList>

namespace cantorix {

// The two captions of rows that have no partner.
// Marked for lupdate; shown through QCoreApplication::translate("ResultsAlignment", ...).
// a file with no title
inline constexpr const char* FakeTrackText = QT_TRANSLATE_NOOP("ResultsAlignment", "Fake track?");
// a title with no file
inline constexpr const char* MissingTrackText = QT_TRANSLATE_NOOP("ResultsAlignment", "Missing track?");

// One row of the window: a title (or none) beside a file (or none).
struct TAlignedRow {
    int Title = -1;   // index into the numbered titles; -1: no title (shown as FakeTrackText)
    int GridRow = -1; // the album row of the file; -1: no file (shown as MissingTrackText)
    bool operator==(const TAlignedRow&) const = default;
};

// A file's name as the window shows it: every occurrence of its extension removed, without regard
// to case.
QString LocalTrackName(const QString& fileName);

// Titles past this many are not paired: no album lists more files.
inline constexpr int MaxAlignedTitles = 99;

// Pairs `titles` with `fileNames` (the listed files in grid order) by the likeness of each title's
// text to the title part of a file's name. Rows come in title order; files left over follow, sorted,
// as rows without a title. When the first file's name holds "track" (any case) the files are not
// matched: they are paired with the titles in grid order.
QList<TAlignedRow> AlignTitles(const QList<TrackTitle>& titles, const QStringList& fileNames);

} // namespace cantorix
