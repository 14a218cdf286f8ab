#include "core/Translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace cantorix {

namespace {

// Where the build puts the compiled translations (qt_add_translations' resource prefix).
constexpr const char* kResourceFolder = ":/i18n";

QString translationFile(const QString& language) { return QString("%1/cantorix_%2.qm").arg(kResourceFolder, language); }

} // namespace

QString TranslationLanguage(const QLocale& locale)
{
    // The list is the user's order of preference; English is the sources' own language, so it ends
    // the search like a translation found.
    const QStringList wanted = locale.uiLanguages();
    for (qsizetype i = 0; i < wanted.size() && i < 32; ++i) {
        const QLocale candidate(wanted[i]);
        if (candidate.language() == QLocale::C) continue;
        if (candidate.language() == QLocale::English) return {};
        // "de-AT" falls back to "de": a country's own file first, then the language's.
        const QString name = candidate.name();
        for (const QString& language : {name, name.section('_', 0, 0)})
            if (QFileInfo::exists(translationFile(language))) return language;
    }
    return {};
}

QString InstallTranslators()
{
    auto* app = QCoreApplication::instance();
    if (!app) return {};
    const QString language = TranslationLanguage();
    if (language.isEmpty()) return {};
    auto* own = new QTranslator(app);
    if (!own->load(translationFile(language))) {
        delete own;
        return {};
    }
    QCoreApplication::installTranslator(own);
    // Qt's texts (standard buttons, file dialogs, network errors) in the same language, when installed.
    auto* qt = new QTranslator(app);
    if (qt->load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return language;
}

} // namespace cantorix
