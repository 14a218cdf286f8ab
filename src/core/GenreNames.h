// The fixed genre list of the main window's genre box: an empty entry, then 148 names, some spelled
// differently from the ID3v1 table. Lookups pick the entry equal to the database's genre ignoring case.
#pragma once

#include <QString>
#include <QStringList>

namespace cantorix {

// The 148 names in list order (without the leading empty entry).
const QStringList& GenreBoxNames();

// The list entry whose text equals `genre` without regard to case; empty when none does (the box then
// selects nothing, and renaming sees an empty genre).
QString MatchGenreBoxItem(const QString& genre);

} // namespace cantorix
