// The desktop's "open" action for local files, folders and web addresses, with a word to the user
// when no program takes what was handed over.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace cantorix {

// The file URL of a local path. A UTF-8 path goes through QUrl::fromLocalFile, so "#", "%" and "?" in
// a name stay part of the path; a path that is not UTF-8 keeps its bytes, percent-encoded.
QUrl LocalFileUrl(const QByteArray& path);

// What the user is told and what the log gets when an open fails: the line, given the path or address.
using TOpenFailedLog = std::function<void(const QString& line)>;

// Hands `url` to the desktop's default handler (player, file manager, browser) without waiting for it.
// When no program takes it, a message on `parent` says so with the path or address, and `log` (when
// set) gets the same line; both later, from the event loop, and not once `parent` is gone.
void OpenWithDesktop(const QUrl& url, QWidget* parent, TOpenFailedLog log = {});
// The same for a local path as the file system holds it.
void OpenWithDesktop(const QByteArray& path, QWidget* parent, TOpenFailedLog log = {});

// Where every open goes instead of the desktop (tests): the function answers whether a program took
// the URL. An empty function brings the desktop back.
void SetDesktopLauncher(std::function<bool(const QUrl&)> launcher);

// The user guide's path: installed beside the program's share folder, or in a build the source
// tree's. Empty when there is none.
QString GuideFile();

} // namespace cantorix
