// cantorix-cli [--settings FILE] COMMAND [OPTIONS] [--] ARGS... | --help | --version
#include "cli/Commands.h"

#include "core/CommandLine.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/Translation.h"
#include "core/album/AlbumWorkflow.h"
#include "core/album/SettingsValues.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "audio/SafeWrite.h"

#include <csignal>
#include <functional>
#include <optional>

namespace cantorix::cli {

void Invocation::expectPositional(int count) const
{
    if (args.size() != count) throw UsageError{QCoreApplication::translate("cli", "wrong number of arguments")};
}

bool scanFolderArgument(Invocation& inv, const QString& dir, const TSettings& settings, TScanResult& scan)
{
    if (!QFileInfo(dir).isDir()) {
        inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "no such folder: \"%1\"").arg(dir) << "\n";
        return false;
    }
    scan = ScanFolder(QFileInfo(dir).absoluteFilePath(), SupportedExtensionsFromSettings(settings));
    return true;
}

bool listAlbumArgument(Invocation& inv, const QString& dir, TAlbumWorkflow& workflow, QTextStream& log)
{
    if (!QFileInfo(dir).isDir()) {
        inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "no such folder: \"%1\"").arg(dir) << "\n";
        return false;
    }
    const QMetaObject::Connection c = QObject::connect(&workflow, &TAlbumWorkflow::logLine, [&](const QString& line) {
        log << line << '\n';
    });
    const TScanResult scan = workflow.listFolder(QFileInfo(dir).absoluteFilePath());
    QObject::disconnect(c);
    log.flush();
    return !scan.names.isEmpty();
}

void printAlbumFields(QTextStream& out, const TAlbumFields& fields)
{
    out << "artist: " << EscapeControls(fields.Artist) << '\n'
        << "album: " << EscapeControls(fields.Album) << '\n'
        << "year: " << EscapeControls(fields.Year) << '\n'
        << "genre: " << EscapeControls(fields.Genre) << '\n';
}

bool parseNumberArgument(const QString& text, int min, int max, int* value)
{
    int32_t v = 0;
    if (!ParseInt32(text.trimmed(), &v) || v < min || v > max) return false;
    *value = v;
    return true;
}

int LookupArgs::match() const
{
    int n = 0;
    if (!matchText.isEmpty() && !parseNumberArgument(matchText, 0, INT32_MAX, &n))
        throw UsageError{QCoreApplication::translate("cli", "--match needs a number from 0")};
    return n;
}

namespace {

// A source's option as given: refused as the options window refuses it.
QString givenOption(const Invocation& inv, const TSourceOption& option)
{
    const QString value = inv.value(option.CliName);
    if (option.Problem)
        if (const QString problem = option.Problem(value); !problem.isEmpty())
            throw UsageError{"--" + QString(option.CliName) + " \"" + value + "\": " + problem};
    return value;
}

QString switchOf(const TLookupSourceRow& source) { return "--" + QString(source.CliSwitch); }

} // namespace

QString serverOption(const Invocation& inv)
{
    for (const TSourceOption& option : LookupSources().first().Options)
        if (option.CliName == QStringLiteral("server")) return givenOption(inv, option);
    return {};
}

LookupArgs lookupArgsOf(const Invocation& inv)
{
    LookupArgs args;
    args.matchText = inv.value("match");
    for (const TLookupSourceRow& source : LookupSources()) {
        if (!source.CliSwitch || !inv.given(source.CliSwitch)) continue;
        if (!args.source.isEmpty())
            throw UsageError{QCoreApplication::translate("cli", "%1 and %2 name two databases")
                                 .arg(switchOf(LookupSourceNamed(args.source)), switchOf(source))};
        args.source = source.Word;
    }
    const TLookupSourceRow& chosen = LookupSourceNamed(args.source);
    for (const TLookupSourceRow& source : LookupSources())
        for (const TSourceOption& option : source.Options) {
            if (!option.CliName || option.SearchOnly || !inv.given(option.CliName)) continue;
            const QString value = givenOption(inv, option);
            // The default source's options are checked and taken whichever database is asked.
            if (source.CliSwitch && &source != &chosen)
                throw UsageError{QCoreApplication::translate("cli", "--%1 belongs to %2").arg(option.CliName, switchOf(source))};
            args.options.insert(option.CliName, value);
        }
    return args;
}

bool LookupArgs::covers() const { return LookupSourceNamed(source).Covers; }

QString coverSwitches()
{
    QStringList switches;
    for (const TLookupSourceRow& source : LookupSources())
        if (source.Covers && source.CliSwitch) switches << switchOf(source);
    return switches.join(" | ");
}

TLookupOverrides lookupOverrides(const LookupArgs& lookupArgs, const SearchArgs& searchArgs)
{
    TLookupOverrides o;
    // Without a switch the default source: a script gives the same answer whatever the window chose.
    o.Database = LookupSourceNamed(lookupArgs.source).Word;
    o.Given = lookupArgs.options;
    for (auto it = searchArgs.options.cbegin(); it != searchArgs.options.cend(); ++it) o.Given.insert(it.key(), it.value());
    return o;
}

namespace {

// The commands' options, each described once: a command lists the names of those it takes.
const QList<TOptionDecl>& commandOptions()
{
    static const QList<TOptionDecl> options = {
        {{"entry"}, "FILE", "cli", QT_TRANSLATE_NOOP("cli", "take the album from an xmcd entry file")},
        {{"lookup"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "look the album up by its playing times")},
        {{"search"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "look the album up by artist and album")},
        {{"artist"}, "A", "cli", QT_TRANSLATE_NOOP("cli", "the artist to search for")},
        {{"album"}, "B", "cli", QT_TRANSLATE_NOOP("cli", "the album to search for")},
        {{"match"}, "N", "cli", QT_TRANSLATE_NOOP("cli", "take match N (from 0) of several")},
        {{"recursive"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "every album folder under the folders given")},
        {{"all"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "undo every run recorded for the folder, back to the first")},
        {{"report"}, "FILE", "cli", QT_TRANSLATE_NOOP("cli", "write one JSON line per album to FILE")},
        {{"jobs"}, "N", "cli", QT_TRANSLATE_NOOP("cli", "albums scanned and renamed side by side, 1 to 4")},
        {{"verbose"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "each album's log lines on standard error")},
        {{"format"}, "F", "cli", QT_TRANSLATE_NOOP("cli", "the name format (else the settings')")},
        {{"folder-format"}, "N", "cli", QT_TRANSLATE_NOOP("cli", "the folder format, 0 to 5 (else the settings')")},
        {{"rename-folder"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "rename the folder too")},
        {{"write-tags"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "write the album into the tags")},
        {{"playlist"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "write a playlist")},
        {{"keep-underscores"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "keep underscores in names")},
        {{"portable-names"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "names that FAT, exFAT and NTFS devices take")},
        {{"cover"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "save a MusicBrainz album's front cover as folder.jpg")},
        {{"dry-run"}, nullptr, "cli", QT_TRANSLATE_NOOP("cli", "show what would be done and change nothing")},
    };
    static const QList<TOptionDecl> all = [] {
        QList<TOptionDecl> list = options;
        for (const TLookupSourceRow& source : LookupSources()) {
            if (source.CliSwitch) list << TOptionDecl{{source.CliSwitch}, nullptr, "cli", source.CliSwitchHelp};
            for (const TSourceOption& option : source.Options)
                if (option.CliName) list << TOptionDecl{{option.CliName}, option.CliValueName, "cli", option.CliHelp};
        }
        return list;
    }();
    return all;
}

struct Command {
    const char* name;
    const char* usage;
    std::function<int(Invocation&)> run;
    QStringList options = {}; // the names of its own options, in the order its help lists them
};

const std::vector<Command>& commands()
{
    // Each source's switch and options, in table order; those of a search by name apart.
    static const auto sourceOptions = [](bool search) {
        QStringList names;
        for (const TLookupSourceRow& source : LookupSources()) {
            if (source.CliSwitch && !search) names << source.CliSwitch;
            for (const TSourceOption& option : source.Options)
                if (option.CliName && option.SearchOnly == search) names << option.CliName;
        }
        return names;
    };
    static const QStringList lookupOptions = sourceOptions(false) << "match";
    static const QStringList searchOptions = sourceOptions(true);
    static const std::vector<Command> table = {
        {"scan",
            QT_TRANSLATE_NOOP("cli", "scan DIR                  list the audio files of DIR with their playing times"),
            cmdScan},
        {"discid",
            QT_TRANSLATE_NOOP("cli",
                "discid DIR                the freedb and MusicBrainz disc IDs, offsets and table of contents of DIR"),
            cmdDiscid},
        {"fingerprint",
            QT_TRANSLATE_NOOP("cli",
                "fingerprint FILE...       each file's duration and AcoustID fingerprint (by fpcalc)"),
            cmdFingerprint},
        {"lookup",
            QT_TRANSLATE_NOOP("cli",
                "lookup DIR [--server S | --musicbrainz [--mb-server URL] | --acoustid [--acoustid-server URL]\n"
                "           [--acoustid-key KEY]] [--match N]\n"
                "                            look DIR up in freedb (or MusicBrainz) by its playing times, or by\n"
                "                            the files' sound in AcoustID (N picks among several matches,\n"
                "                            default 0)"),
            cmdLookup, lookupOptions},
        {"search",
            QT_TRANSLATE_NOOP("cli",
                "search DIR [--artist A] [--album B] [--search-url T] [--server S | --musicbrainz\n"
                "            [--mb-server URL]] [--match N]\n"
                "                            look DIR up by artist and album on the freedb web search or in\n"
                "                            MusicBrainz (words guessed from the first file unless given; N\n"
                "                            picks among the matches, default 0)"),
            cmdSearch, QStringList{"artist", "album"} + searchOptions + lookupOptions},
        {"rename",
            QT_TRANSLATE_NOOP("cli",
                "rename DIR (--entry FILE | --lookup [lookup options] | --search [search options])\n"
                "         [--format F] [--folder-format N] [--rename-folder] [--write-tags] [--playlist]\n"
                "         [--keep-underscores] [--portable-names] [--cover] [--dry-run]\n"
                "                            rename the audio files of DIR by the name format and the album data\n"
                "                            of an xmcd entry, a lookup or a search (N as for lookup); --cover saves\n"
                "                            a MusicBrainz album's front cover as folder.jpg\n"
                "rename ROOT... --recursive (--lookup | --search) [lookup options] [--report FILE] [--jobs N]\n"
                "         [--verbose] [rename options]\n"
                "                            every album folder under the ROOTs (CD1, Disc 2 ... subfolders make\n"
                "                            one album), renamed only when the lookup is clear or --match N picks;\n"
                "                            one outcome line per album, a summary, JSON Lines with --report;\n"
                "                            --jobs N (1 to 4) scans and renames albums side by side"),
            cmdRename,
            QStringList{"entry", "lookup", "search", "artist", "album"} + searchOptions + lookupOptions +
                QStringList{"format", "folder-format", "rename-folder", "write-tags", "playlist", "keep-underscores",
                            "portable-names", "cover", "dry-run", "recursive", "report", "jobs", "verbose"}},
        {"fix-numbers",
            QT_TRANSLATE_NOOP(
                "cli", "fix-numbers DIR           pad one-digit numbers in the file names of DIR (1 -> 01)"),
            cmdFixNumbers},
        {"rename-by-tag",
            QT_TRANSLATE_NOOP("cli",
                "rename-by-tag DIR [--format F] [--keep-underscores] [--portable-names] [--dry-run]\n"
                "                            rename the audio files of DIR from their own tags"),
            cmdRenameByTag, {"format", "keep-underscores", "portable-names", "dry-run"}},
        {"info",
            QT_TRANSLATE_NOOP(
                "cli", "info FILE                 show the technical and tag information of one audio file"),
            cmdInfo},
        {"undo",
            QT_TRANSLATE_NOOP("cli",
                "undo DIR [--all] [--recursive] [--dry-run]\n"
                "                            move back what the last rename run on DIR (with --recursive: on\n"
                "                            every folder under DIR) did; with --all, every run back to the first"),
            cmdUndo, {"all", "recursive", "dry-run"}},
        {"sites",
            QT_TRANSLATE_NOOP(
                "cli", "sites [--server S]        the freedb server list as the options window stores it"),
            cmdSites, {"server"}},
    };
    return table;
}

// Ctrl-C or a SIGTERM while a file is rewritten: the temporary copy goes, then the signal ends the
// process as it would have (the handler was reset, the re-raised signal is delivered on return).
extern "C" void removeTemporaryAndExit(int sig)
{
    cantorix::removeActiveTemporaryFile();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void installInterruptCleanup()
{
    struct sigaction sa {};
    sa.sa_handler = removeTemporaryAndExit;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM}) {
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(sig, &sa, nullptr);
    }
}

const Command* findCommand(const QString& name)
{
    for (const Command& c : commands())
        if (name == c.name) return &c;
    return nullptr;
}

// The options a command takes: its own, then those of every command.
QList<TOptionDecl> optionsOf(const Command& command)
{
    QList<TOptionDecl> options;
    for (const QString& name : command.options)
        for (const TOptionDecl& declared : commandOptions())
            if (declared.names.contains(name)) options << declared;
    return options << SettingsOption() << HelpOption() << VersionOption();
}

// A command's usage text, each form of the command indented as the first (the texts' own continuation
// lines are indented already).
QString usageLines(const Command& command)
{
    QStringList lines = QCoreApplication::translate("cli", command.usage).split('\n');
    for (QString& line : lines)
        if (!line.startsWith(' ')) line.prepend("  ");
    return lines.join('\n') + '\n';
}

void printUsage(QTextStream& err)
{
    err << QCoreApplication::translate("cli", "usage: cantorix-cli COMMAND [ARGS] [--settings FILE]\n\ncommands:\n");
    for (const Command& c : commands()) err << usageLines(c);
    err << '\n' << QCoreApplication::translate("cli", "options:") << '\n'
        << OptionHelpLines({SettingsOption(), HelpOption(), VersionOption()})
        << QCoreApplication::translate("cli", "\"cantorix-cli COMMAND --help\" lists the options of the command.")
        << '\n';
}

// A command's usage, as the program's usage lists it; with `options`, each of its options below.
void printCommandUsage(QTextStream& stream, const Command& command, bool options)
{
    stream << QCoreApplication::translate("cli", "usage:") << '\n' << usageLines(command);
    if (options)
        stream << '\n' << QCoreApplication::translate("cli", "options:") << '\n' << OptionHelpLines(optionsOf(command));
}

// Runs `command` with `arguments` (the program's name first); `programSettings` is a --settings FILE
// given before the command. Returns the exit code.
int runCommand(const Command& command, const QStringList& arguments, const std::optional<QString>& programSettings,
               QHash<QString, QByteArray> rawArgs, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    QString problem = ParseCommandLine(parser, optionsOf(command), arguments);
    if (problem.isEmpty() && programSettings && parser.isSet("settings"))
        problem = QCoreApplication::translate("cli", "%1 is given more than once").arg("--settings");
    if (!problem.isEmpty()) {
        err << "cantorix-cli: " << problem << "\n";
        printCommandUsage(err, command, false);
        return 2;
    }
    if (parser.isSet("version")) {
        out << "cantorix-cli " << CANTORIX_VERSION << '\n';
        return 0;
    }
    if (parser.isSet("help")) {
        printCommandUsage(out, command, true);
        return 0;
    }
    Invocation inv{parser.positionalArguments(),
                   parser.isSet("settings") ? parser.value("settings") : programSettings.value_or(QString()),
                   out, err, std::move(rawArgs), &parser};
    try {
        if (inv.settingsFile.isEmpty()) inv.settingsFile = TSettings::defaultPath();
        // A FIFO or a device would be waited on, or read without end.
        if (const IoResult usable = TSettings::checkFile(inv.settingsFile); !usable) {
            err << "cantorix-cli: "
                << QCoreApplication::translate("cli", "the settings file \"%1\" is not a regular file (%2)")
                       .arg(inv.settingsFile, QString::fromStdString(usable.error))
                << "\n";
            return 1;
        }
        const int rc = command.run(inv);
        out.flush();
        err.flush();
        return rc;
    } catch (const UsageError& e) {
        err << "cantorix-cli: " << e.message << "\n";
        printCommandUsage(err, command, false);
        return 2;
    }
}

} // namespace
} // namespace cantorix::cli

int main(int argc, char** argv)
{
    using namespace cantorix;
    using namespace cantorix::cli;
    installInterruptCleanup();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Cantorix");
    QCoreApplication::setApplicationVersion(CANTORIX_VERSION);
    InstallTranslators();
    QTextStream out(stdout);
    QTextStream err(stderr);

    // The program's own options come before the command; the command's parser reads the rest.
    const QStringList arguments = app.arguments();
    QCommandLineParser parser;
    const QString problem =
        ParseCommandLine(parser, {SettingsOption(), HelpOption(), VersionOption()}, arguments, true);
    if (!problem.isEmpty()) {
        err << "cantorix-cli: " << problem << "\n";
        printUsage(err);
        return 2;
    }
    if (parser.isSet("version")) {
        out << "cantorix-cli " << CANTORIX_VERSION << '\n';
        return 0;
    }
    QStringList rest = parser.positionalArguments();
    if (parser.isSet("help") || rest.isEmpty()) {
        printUsage(rest.isEmpty() && !parser.isSet("help") ? err : out);
        return parser.isSet("help") ? 0 : 2;
    }
    const QString name = rest.takeFirst();
    const Command* command = findCommand(name);
    if (!command) {
        err << "cantorix-cli: " << QCoreApplication::translate("cli", "unknown command %1").arg(name) << "\n";
        printUsage(err);
        return 2;
    }
    QHash<QString, QByteArray> rawArgs;
    for (int i = 1; i < argc; ++i) rawArgs.insert(QString::fromLocal8Bit(argv[i]), QByteArray(argv[i]));
    return runCommand(*command, QStringList{arguments.value(0)} + rest,
                      parser.isSet("settings") ? std::optional(parser.value("settings")) : std::nullopt,
                      std::move(rawArgs), out, err);
}
