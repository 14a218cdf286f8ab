// Application entry: cantorix [FOLDER] [--settings FILE]
#include "gui/Application.h"
#include "core/Settings.h"
#include "core/Translation.h"
#include "gui/MainForm.h"

#include <QIcon>

#include <cstdio>

int main(int argc, char** argv)
{
    cantorix::TApplication app(argc, argv);
    QApplication::setApplicationName("Cantorix");
    QApplication::setApplicationVersion(CANTORIX_VERSION);
    QApplication::setDesktopFileName("cantorix");
    cantorix::InstallTranslators();

    QStringList args = app.arguments().mid(1);
    QString settingsFile;
    int at = int(args.indexOf("--settings"));
    if (at >= 0 && at + 1 < args.size()) {
        settingsFile = args[at + 1];
        args.remove(at, 2);
    }
    if (settingsFile.isEmpty()) settingsFile = cantorix::TSettings::defaultPath();
    // A FIFO or a device would be waited on, or read without end.
    if (const cantorix::IoResult usable = cantorix::TSettings::checkFile(settingsFile); !usable) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("main", "cantorix: the settings file \"%1\" is not a "
                                                                    "regular file (%2)")
                                    .arg(settingsFile, QString::fromStdString(usable.error))));
        return 1;
    }
    // Exactly one argument is a folder to select; any other count is ignored.
    QString startFolder = args.size() == 1 ? args[0] : QString();

    cantorix::TMainForm form(settingsFile, startFolder);
    app.setExceptionHandler([&form](const QString& text) { form.AppException(text); });
    form.show();
    return app.exec();
}
