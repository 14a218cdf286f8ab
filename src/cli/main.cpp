// cantorix-cli COMMAND [ARGS...] [--settings FILE]
#include "cli/Commands.h"

#include "core/Settings.h"
#include "core/Text.h"
#include "core/Translation.h"
#include "core/album/AlbumWorkflow.h"
#include "core/album/SettingsValues.h"
#include "core/lookup/freedb/Cddb.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "audio/SafeWrite.h"

#include <csignal>
#include <functional>

namespace cantorix::cli {

QString Invocation::takeOption(const QString& name)
{
    int i = int(args.indexOf(name));
    if (i < 0) return {};
    if (i + 1 >= args.size()) throw UsageError{QCoreApplication::translate("cli", "%1 needs a value").arg(name)};
    QString value = args[i + 1];
    args.remove(i, 2);
    return value;
}

bool Invocation::takeFlag(const QString& name)
{
    return args.removeAll(name) > 0;
}

void Invocation::expectPositional(int count)
{
    for (const QString& a : std::as_const(args))
        if (a.startsWith("--")) throw UsageError{QCoreApplication::translate("cli", "unknown option %1").arg(a)};
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

QString takeServerOption(Invocation& inv)
{
    const QString server = inv.takeOption("--server");
    // The options window refuses the same texts: what one takes, the other takes.
    if (const QString problem = ServerSettingProblem(server); !problem.isEmpty())
        throw UsageError{"--server \"" + server + "\": " + problem};
    return server;
}

LookupArgs takeLookupArgs(Invocation& inv)
{
    LookupArgs args;
    args.server = takeServerOption(inv);
    args.matchText = inv.takeOption("--match");
    args.musicBrainz = inv.takeFlag("--musicbrainz");
    args.mbServer = inv.takeOption("--mb-server");
    args.coverServer = inv.takeOption("--cover-server");
    if (!args.musicBrainz && (!args.mbServer.isEmpty() || !args.coverServer.isEmpty()))
        throw UsageError{QCoreApplication::translate("cli", "--mb-server and --cover-server belong to --musicbrainz")};
    return args;
}

TLookupOverrides lookupOverrides(const LookupArgs& lookupArgs, const SearchArgs& searchArgs)
{
    TLookupOverrides o;
    o.Server = lookupArgs.server;
    o.SearchUrl = searchArgs.searchUrl;
    o.Database = int(lookupArgs.musicBrainz ? TDatabase::MusicBrainz : TDatabase::Freedb);
    o.MusicBrainzServer = lookupArgs.mbServer;
    o.CoverArtServer = lookupArgs.coverServer;
    return o;
}

namespace {

struct Command {
    const char* name;
    const char* usage;
    std::function<int(Invocation&)> run;
};

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = {
        {"scan",
            QT_TRANSLATE_NOOP("cli", "scan DIR                  list the audio files of DIR with their playing times"),
            cmdScan},
        {"discid",
            QT_TRANSLATE_NOOP("cli",
                "discid DIR                the freedb and MusicBrainz disc IDs, offsets and table of contents of DIR"),
            cmdDiscid},
        {"lookup",
            QT_TRANSLATE_NOOP("cli",
                "lookup DIR [--server S | --musicbrainz [--mb-server URL]] [--match N]\n"
                "                            look DIR up in freedb (or MusicBrainz) by its playing times (N\n"
                "                            picks among several matches, default 0)"),
            cmdLookup},
        {"search",
            QT_TRANSLATE_NOOP("cli",
                "search DIR [--artist A] [--album B] [--search-url T] [--server S | --musicbrainz\n"
                "            [--mb-server URL]] [--match N]\n"
                "                            look DIR up by artist and album on the freedb web search or in\n"
                "                            MusicBrainz (words guessed from the first file unless given; N\n"
                "                            picks among the matches, default 0)"),
            cmdSearch},
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
            cmdRename},
        {"fix-numbers",
            QT_TRANSLATE_NOOP(
                "cli", "fix-numbers DIR           pad one-digit numbers in the file names of DIR (1 -> 01)"),
            cmdFixNumbers},
        {"rename-by-tag",
            QT_TRANSLATE_NOOP("cli",
                "rename-by-tag DIR [--format F] [--keep-underscores] [--portable-names] [--dry-run]\n"
                "                            rename the audio files of DIR from their own tags"),
            cmdRenameByTag},
        {"info",
            QT_TRANSLATE_NOOP(
                "cli", "info FILE                 show the technical and tag information of one audio file"),
            cmdInfo},
        {"undo",
            QT_TRANSLATE_NOOP("cli",
                "undo DIR [--recursive] [--dry-run]\n"
                "                            move back what the last rename run on DIR (with --recursive: on\n"
                "                            every folder under DIR) did"),
            cmdUndo},
        {"sites",
            QT_TRANSLATE_NOOP(
                "cli", "sites [--server S]        the freedb server list as the options window stores it"),
            cmdSites},
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

void printUsage(QTextStream& err)
{
    err << QCoreApplication::translate("cli", "usage: cantorix-cli COMMAND [ARGS] [--settings FILE]\n\ncommands:\n");
    for (const Command& c : commands()) err << "  " << QCoreApplication::translate("cli", c.usage) << "\n";
}

} // namespace
} // namespace cantorix::cli

int main(int argc, char** argv)
{
    using namespace cantorix::cli;
    installInterruptCleanup();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Cantorix");
    cantorix::InstallTranslators();
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == "--help" || args[0] == "-h") {
        printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    QString name = args.takeFirst();
    Invocation inv{args, QString(), out, err};
    for (int i = 1; i < argc; ++i) inv.rawArgs.insert(QString::fromLocal8Bit(argv[i]), QByteArray(argv[i]));
    try {
        inv.settingsFile = inv.takeOption("--settings");
        if (inv.settingsFile.isEmpty()) inv.settingsFile = cantorix::TSettings::defaultPath();
        // A FIFO or a device would be waited on, or read without end.
        if (const cantorix::IoResult usable = cantorix::TSettings::checkFile(inv.settingsFile); !usable) {
            err << "cantorix-cli: "
                << QCoreApplication::translate("cli", "the settings file \"%1\" is not a regular file (%2)")
                       .arg(inv.settingsFile, QString::fromStdString(usable.error))
                << "\n";
            return 1;
        }
        for (const Command& c : commands())
            if (name == c.name) {
                int rc = c.run(inv);
                out.flush();
                err.flush();
                return rc;
            }
        throw UsageError{QCoreApplication::translate("cli", "unknown command %1").arg(name)};
    } catch (const UsageError& e) {
        err << "cantorix-cli: " << e.message << "\n";
        printUsage(err);
        return 2;
    }
}
