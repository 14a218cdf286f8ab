// The user's list of name formats, section [NameFormats] of the settings: each format is a key there,
// so only text that survives as an INI key may be added. Used by the options window.
#pragma once

#include <QString>
#include <QStringList>

namespace cantorix {

class TSettings;

// Why `format` cannot be a key of the settings file, or empty when it can: it must not hold "=" (the
// key would end there), a line break or another control character, nor begin with "[" (a section) or
// ";" (a comment). Checked on the text without its surrounding spaces, which the file drops anyway.
QString NameFormatKeyProblem(const QString& format);

// The formats to offer, in file order: the keys of [NameFormats], or the built-in format while that
// section is empty (a first start), so that both windows always offer the format renaming falls back to.
QStringList NameFormatChoices(const TSettings& settings);

enum class TFormatAdd {
    Added,
    Empty,     // nothing but spaces: nothing to do
    Duplicate, // the list holds it already, compared without regard to case
    Refused,   // NameFormatKeyProblem
};

// Adds `format` (without its surrounding spaces) to [NameFormats] of the in-memory settings, with an
// empty value; to an empty list the built-in format is added first, so it is not lost from the choices.
// `*problem` receives the message for Duplicate and Refused.
TFormatAdd AddNameFormat(TSettings& settings, const QString& format, QString* problem = nullptr);
// Removes `format` from [NameFormats]; false when it was not there.
bool RemoveNameFormat(TSettings& settings, const QString& format);

// The sample name the options window shows for a format: "artist", "album", "year", "track" and "#"
// replaced in this order, without regard to case, by the values of one well-known record. No clean-up.
QString NameFormatSample(const QString& format);

} // namespace cantorix
