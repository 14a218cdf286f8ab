// The genre list of the main window's genre box: an empty entry, then 148 names, some spelled
// differently from the ID3v1 table. The list only suggests: a genre is free text, and a lookup's genre
// is shown and written as the database has it.
#pragma once

#include <QString>
#include <QStringList>

namespace cantorix {

// The 148 names in list order (without the leading empty entry).
const QStringList& GenreBoxNames();

} // namespace cantorix
