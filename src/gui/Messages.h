// The main window's message boxes: what each says and how it is built, so that the window only decides
// when one shows.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace cantorix {

struct TRenameReport;

// "About Cantorix", opened without blocking.
void ShowAboutBox(QWidget* parent);
// One warning for a whole run that did not go through: the summary and the first reasons. Nothing
// when the run had no failure.
void ShowRenameReport(QWidget* parent, const TRenameReport& report);
// The offer to undo a run that did not finish; `undo` runs when the user takes it.
void ShowUnfinishedRunBox(QWidget* parent, std::function<void()> undo);
// "No program is set up to open "<what>"": an open handed to the desktop that no program took.
QString OpenFailedText(const QString& what);
void ShowOpenFailedBox(QWidget* parent, const QString& text);
// Whether the album's front cover may replace the folder.jpg at `path` (asked modally; the old one is
// kept as folder.previous.jpg).
bool AskReplaceCover(QWidget* parent, const QString& path);
// The time-out of a lookup: modal, with no owner window, as a system-wide notice.
void ShowTimeoutBox(const QString& caption, const QString& text);

} // namespace cantorix
