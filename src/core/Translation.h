// The user's language for both programs: Cantorix's own texts and Qt's (standard buttons, network
// errors), built into the programs from the .ts files in i18n/.
#pragma once

#include <QLocale>
#include <QString>

namespace cantorix {

// The language of the first entry of `locale`'s UI languages (LANGUAGE, then LC_ALL, LC_MESSAGES, LANG
// on Linux) that Cantorix has a translation for, e.g. "de"; empty when English comes first or none
// matches: the texts stay the English ones in the sources.
QString TranslationLanguage(const QLocale& locale = QLocale());

// Installs the translators for TranslationLanguage() on the running application (a QCoreApplication
// must exist); Qt's own translation is added when the system has it. Returns the language installed,
// empty for English. The translators live as long as the application.
QString InstallTranslators();

} // namespace cantorix
