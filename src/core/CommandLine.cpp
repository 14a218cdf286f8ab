#include "core/CommandLine.h"

#include <QCoreApplication>
#include <QHash>

namespace cantorix {

namespace {

QString typedName(const QString& name) { return (name.size() == 1 ? "-" : "--") + name; }

// Where the descriptions of the help start: the column of the commands' usage texts.
constexpr int DescriptionColumn = 28;

} // namespace

const TOptionDecl& HelpOption()
{
    static const TOptionDecl option{
        {"h", "help"}, nullptr, "CommandLine", QT_TRANSLATE_NOOP("CommandLine", "show this help")};
    return option;
}

const TOptionDecl& VersionOption()
{
    static const TOptionDecl option{
        {"v", "version"}, nullptr, "CommandLine", QT_TRANSLATE_NOOP("CommandLine", "show the version")};
    return option;
}

const TOptionDecl& SettingsOption()
{
    static const TOptionDecl option{
        {"settings"}, "FILE", "CommandLine",
        QT_TRANSLATE_NOOP("CommandLine", "the settings file to use instead of the usual one")};
    return option;
}

QString ParseCommandLine(QCommandLineParser& parser, const QList<TOptionDecl>& options, const QStringList& arguments,
                         bool stopAtFirstArgument)
{
    QHash<QString, bool> takesValue;
    for (const TOptionDecl& declared : options) {
        QCommandLineOption option(declared.names);
        if (declared.valueName) option.setValueName(declared.valueName);
        parser.addOption(option);
        for (const QString& name : declared.names) takesValue.insert(name, declared.valueName != nullptr);
    }
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(stopAtFirstArgument ? QCommandLineParser::ParseAsPositionalArguments
                                                                      : QCommandLineParser::ParseAsOptions);
    if (parser.parse(arguments)) {
        // The parser keeps every value of a repeated option; which one was meant is anyone's guess.
        for (const TOptionDecl& declared : options)
            if (declared.valueName && parser.values(declared.names.last()).size() > 1)
                return QCoreApplication::translate("cli", "%1 is given more than once")
                    .arg(typedName(declared.names.last()));
        return {};
    }

    // The parser's own words name the option without its dashes; the user's are found by walking the
    // line as the parser did.
    const QStringList unknown = parser.unknownOptionNames();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--") break;
        if (!arg.startsWith('-') || arg == "-") {
            if (stopAtFirstArgument) break;
            continue;
        }
        if (arg.startsWith("--")) {
            const QString typed = arg.section('=', 0, 0);
            const bool withValue = arg.contains('=');
            if (unknown.contains(typed.mid(2)))
                return QCoreApplication::translate("cli", "unknown option %1").arg(typed);
            if (!takesValue.value(typed.mid(2))) {
                if (withValue) return QCoreApplication::translate("cli", "%1 takes no value").arg(typed);
            } else if (!withValue) {
                if (i + 1 >= arguments.size()) return QCoreApplication::translate("cli", "%1 needs a value").arg(typed);
                ++i;
            }
            continue;
        }
        // "-hv": one letter after another; a letter that takes a value takes the rest, or the next argument.
        for (qsizetype at = 1; at < arg.size(); ++at) {
            const QString name = arg.mid(at, 1);
            if (unknown.contains(name)) return QCoreApplication::translate("cli", "unknown option %1").arg(arg);
            if (!takesValue.value(name)) continue;
            if (at + 1 == arg.size()) {
                if (i + 1 >= arguments.size()) return QCoreApplication::translate("cli", "%1 needs a value").arg(arg);
                ++i;
            }
            break;
        }
    }
    // Whatever else the parser found, in its own words.
    return parser.errorText();
}

QString HelpLine(const QString& what, const QString& description)
{
    const QString left = "  " + what;
    return (left.size() < DescriptionColumn ? left.leftJustified(DescriptionColumn)
                                            : left + '\n' + QString(DescriptionColumn, ' ')) +
           description + '\n';
}

QString OptionHelpLines(const QList<TOptionDecl>& options)
{
    QString text;
    for (const TOptionDecl& declared : options) {
        QStringList typed;
        for (const QString& name : declared.names) typed << typedName(name);
        QString what = typed.join(", ");
        if (declared.valueName) what += ' ' + QString::fromLatin1(declared.valueName);
        text += HelpLine(what, QCoreApplication::translate(declared.context, declared.description));
    }
    return text;
}

} // namespace cantorix
