// Application entry: cantorix [--settings FILE] [FOLDER] | --help | --version
#include "gui/Application.h"
#include "core/Settings.h"
#include "core/Translation.h"
#include "gui/MainForm.h"
#include "gui/StartArguments.h"

#include <QIcon>

#include <cstdio>

int main(int argc, char** argv)
{
    // Help, the version and wrong use open no window: they need no display (a terminal over ssh, a
    // build machine), so Qt's minimal platform serves them. The line is read again below, once Qt has
    // taken its own options out of it.
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
    if (cantorix::OpensNoWindow(raw)) qputenv("QT_QPA_PLATFORM", "minimal");

    cantorix::TApplication app(argc, argv);
    QApplication::setApplicationName("Cantorix");
    QApplication::setApplicationVersion(CANTORIX_VERSION);
    QApplication::setDesktopFileName("cantorix");
    cantorix::InstallTranslators();

    const cantorix::TStartArguments start = cantorix::ParseStartArguments(app.arguments());
    switch (start.action) {
    case cantorix::TStartArguments::Action::Version:
        std::printf("cantorix %s\n", CANTORIX_VERSION);
        return 0;
    case cantorix::TStartArguments::Action::Help:
        std::printf("%s", qPrintable(cantorix::StartUsage()));
        return 0;
    case cantorix::TStartArguments::Action::WrongUse:
        std::fprintf(stderr, "cantorix: %s\n%s", qPrintable(start.problem), qPrintable(cantorix::StartUsage()));
        return 2;
    case cantorix::TStartArguments::Action::Start: break;
    }

    const QString settingsFile = start.settingsFile.isEmpty() ? cantorix::TSettings::defaultPath() : start.settingsFile;
    // A FIFO or a device would be waited on, or read without end.
    if (const cantorix::IoResult usable = cantorix::TSettings::checkFile(settingsFile); !usable) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("main", "cantorix: the settings file \"%1\" is not a "
                                                                    "regular file (%2)")
                                    .arg(settingsFile, QString::fromStdString(usable.error))));
        return 1;
    }

    cantorix::TMainForm form(settingsFile, start.folder);
    app.setExceptionHandler([&form](const QString& text) { form.AppException(text); });
    form.show();
    return app.exec();
}
