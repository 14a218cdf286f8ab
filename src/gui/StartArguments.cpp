#include "gui/StartArguments.h"

#include "core/CommandLine.h"

#include <QCoreApplication>

namespace cantorix {

namespace {

const QList<TOptionDecl>& startOptions()
{
    static const QList<TOptionDecl> options = {SettingsOption(), HelpOption(), VersionOption()};
    return options;
}

} // namespace

TStartArguments ParseStartArguments(const QStringList& arguments)
{
    TStartArguments start;
    QCommandLineParser parser;
    start.problem = ParseCommandLine(parser, startOptions(), arguments);
    const QStringList folders = parser.positionalArguments();
    if (start.problem.isEmpty() && folders.size() > 1)
        start.problem = QCoreApplication::translate("main", "more than one folder given");
    if (!start.problem.isEmpty()) {
        start.action = TStartArguments::Action::WrongUse;
        return start;
    }
    if (parser.isSet("version"))
        start.action = TStartArguments::Action::Version;
    else if (parser.isSet("help"))
        start.action = TStartArguments::Action::Help;
    start.settingsFile = parser.value("settings");
    start.folder = folders.value(0);
    return start;
}

bool OpensNoWindow(const QStringList& arguments)
{
    switch (ParseStartArguments(arguments).action) {
    case TStartArguments::Action::Start: return false;
    case TStartArguments::Action::Help:
    case TStartArguments::Action::Version: return true;
    case TStartArguments::Action::WrongUse: break;
    }
    // Qt's own options ("-platform xcb", "-style Fusion", "-reverse") are single-dash words, unknown
    // here: a line with one is judged once Qt has taken them out.
    for (const QString& arg : arguments.mid(1)) {
        if (arg == "--") break;
        if (arg.size() > 2 && arg[0] == '-' && arg[1] != '-') return false;
    }
    return true;
}

QString StartUsage()
{
    return QCoreApplication::translate("main", "usage: cantorix [--settings FILE] [FOLDER]") + "\n\n" +
           HelpLine("FOLDER", QCoreApplication::translate("main", "the folder to list at start")) +
           OptionHelpLines(startOptions());
}

} // namespace cantorix
