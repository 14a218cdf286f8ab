// The folder entry of the desktop: a desktop entry file cantorix-folder.desktop in the user's
// applications folder ($XDG_DATA_HOME/applications) whose MimeType is inode/directory, so that file
// managers offer "Cantorix" in a folder's "Open with" menu and start Cantorix on that folder. It only
// adds Cantorix to the choices: which program opens folders by default (mimeapps.list) is never touched.
#pragma once

#include "audio/IoResult.h"

#include <QByteArray>
#include <QString>

namespace cantorix {

// $XDG_DATA_HOME/applications/cantorix-folder.desktop; ~/.local/share when XDG_DATA_HOME is unset,
// empty or not an absolute path.
QString FolderEntryPath();
// Whether the entry file exists (what the options window's button shows).
bool FolderEntryExists();

// `program` as one quoted argument of an Exec line: in double quotes, with "\"", "`", "$" and "\\"
// escaped by a backslash, then every backslash doubled again as the file's string escaping requires,
// and "%" written "%%". Empty when the path holds a control character (a line break would end the line).
QString DesktopExecArgument(const QString& program);

// The entry's text for `program` (an absolute path); empty when the path cannot be written in it.
QByteArray FolderEntryText(const QString& program);

// Writes the entry for `program` through a temporary file (creating the applications folder when
// needed). The failure carries the reason.
IoResult CreateFolderEntry(const QString& program);
// Removes the entry; an entry that is already gone is no failure.
IoResult RemoveFolderEntry();

} // namespace cantorix
