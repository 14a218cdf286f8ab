// The desktop's "open" action for local files and folders given as file-system bytes.
#pragma once

#include <QByteArray>
#include <QUrl>

namespace cantorix {

// The file URL of a local path. A UTF-8 path goes through QUrl::fromLocalFile, so "#", "%" and "?" in
// a name stay part of the path; a path that is not UTF-8 keeps its bytes, percent-encoded.
QUrl LocalFileUrl(const QByteArray& path);

// Hands `path` to the desktop's default handler (player, file manager) without waiting for it.
void OpenWithDesktop(const QByteArray& path);

} // namespace cantorix
