// The user's list of name formats. The settings keep each format as a key of [NameFormats], so only
// text that survives as an INI key may be added. Plain lists in and out: the callers read and write
// the settings.
#pragma once

#include <QString>
#include <QStringList>

namespace cantorix {

// Why `format` cannot be a key of the settings file, or empty when it can: it must not hold "=" (the
// key would end there), a line break or another control character, nor begin with "[" (a section) or
// ";" (a comment). Checked on the text without its surrounding spaces, which the file drops anyway.
QString NameFormatKeyProblem(const QString& format);

// The formats to offer: the stored ones in their order, or the built-in format while none is stored (a
// first start), so that both windows always offer the format renaming falls back to.
QStringList NameFormatChoices(const QStringList& stored);

enum class TFormatAdd {
    Added,
    Empty,     // nothing but spaces: nothing to do
    Duplicate, // the list holds it already, compared without regard to case
    Refused,   // NameFormatKeyProblem
};

// Adds `format` (without its surrounding spaces) to `formats`; to an empty list the built-in format is
// added first, so it is not lost from the choices. `*problem` receives the message for Duplicate and
// Refused.
TFormatAdd AddNameFormat(QStringList& formats, const QString& format, QString* problem = nullptr);
// Removes `format` (compared without regard to case, as the settings compare keys); false when it was
// not there.
bool RemoveNameFormat(QStringList& formats, const QString& format);

// The sample name the options window shows for a format: "trackartist", "artist", "album", "year",
// "track", "#" and "disc" replaced in this order, without regard to case, by the values of one
// well-known record of a single disc. No clean-up.
QString NameFormatSample(const QString& format);

} // namespace cantorix
