// The command lines of both programs, read by QCommandLineParser: "--name", "--name VALUE",
// "--name=VALUE", the short flags "-h" and "-v", and "--" before arguments that look like options.
// What is wrong with a line is told the same way by both, in the user's language.
#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

// One option as a program declares it and its help lists it. `valueName` is null for a switch;
// `description` is translated in `context` when shown (QT_TRANSLATE_NOOP at the definition).
struct TOptionDecl {
    QStringList names; // the short name first ("h", "help"); each as typed without its dashes
    const char* valueName = nullptr;
    const char* context = nullptr;
    const char* description = nullptr;
};

// "-h, --help", "-v, --version" and "--settings FILE", the same in both programs.
const TOptionDecl& HelpOption();
const TOptionDecl& VersionOption();
const TOptionDecl& SettingsOption();

// Declares `options` on `parser` and parses `arguments` (the program's name first). With
// `stopAtFirstArgument` the first argument that is no option and everything after it are left as
// arguments (a command and its own options). Returns what is wrong, empty when the line was taken:
// an unknown option, a missing value, a value after a switch, an option given twice; the option as it
// was typed.
QString ParseCommandLine(QCommandLineParser& parser, const QList<TOptionDecl>& options, const QStringList& arguments,
                         bool stopAtFirstArgument = false);

// One line per option for a help text: "  --settings FILE           <description>", the descriptions
// lined up in the column where the commands' usage texts put theirs.
QString OptionHelpLines(const QList<TOptionDecl>& options);
// One such line, with its line feed, for `what` (an option or an argument) and its description.
QString HelpLine(const QString& what, const QString& description);

} // namespace cantorix
