// Small text rules of the Qt layers, each in one place: trimming, folder paths with their "/", and
// decimal numbers.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace cantorix {

// Removes leading and trailing characters up to the space (control characters included).
QString TrimControls(const QString& s);

// `folder` with a "/" at its end; an empty text (no folder) stays empty.
QString WithSlash(const QString& folder);

// A decimal integer: an optional sign and 1 to 10 ASCII digits, nothing around them, within the
// signed 32-bit range. False for anything else, and then *value is left alone (it may be null).
bool ParseInt32(QStringView text, int32_t* value = nullptr);

} // namespace cantorix
