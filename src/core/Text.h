// Small text rules of the Qt layers, each in one place: trimming, folder paths with their "/", and
// decimal numbers.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace cantorix {

// Removes leading and trailing characters up to the space (control characters included).
QString TrimControls(const QString& s);

// Whether `c` is a control character: C0 (tab and line ends included), DEL or C1. A terminal acts on
// these (ESC starts a sequence, BEL rings), so no text from a file or a server reaches one with them.
bool IsControl(QChar c);
// Whether `c` is a bidirectional control (U+202E and the like): a text holding one can display reversed.
bool IsBidiControl(QChar c);
// `text` for one line of a log or a terminal: a line feed as "\n", a tab as "\t" (or as it stands with
// `keepTabs`, for lines where a tab is only white space), every other control character as "\xNN", a
// bidirectional control as "\uNNNN"; everything else as it stands.
QString EscapeControls(const QString& text, bool keepTabs = false);
// `text` as a single-line value (a title, a name, a tag): every control character, bidirectional
// control and the Unicode line and paragraph separators, become a space. Nothing is trimmed.
QString SingleLine(const QString& text);

// `folder` with a "/" at its end; an empty text (no folder) stays empty.
QString WithSlash(const QString& folder);

// A decimal integer: an optional sign and 1 to 10 ASCII digits, nothing around them, within the
// signed 32-bit range. False for anything else, and then *value is left alone (it may be null).
bool ParseInt32(QStringView text, int32_t* value = nullptr);

} // namespace cantorix
