// cantorix-cli: the command-line companion over the same core as the window. Each command lives in
// its own file and is listed in the table of main.cpp.
#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "core/FolderScan.h"
#include "core/Text.h" // EscapeControls: one line of output per file, title or server line

namespace cantorix::cli {

// Thrown by a command for wrong arguments: main prints the message and the command's usage, exit code 2.
struct UsageError {
    QString message;
};

struct Invocation {
    QStringList args;     // the command's own arguments, its options taken out
    QString settingsFile; // --settings FILE, or the default settings path
    QTextStream& out;
    QTextStream& err;
    // Each argument's bytes as the command line held them, by the text it became: a file name that is
    // not UTF-8 must reach the file system unchanged.
    QHash<QString, QByteArray> rawArgs = {};
    // The command's options as the command line gave them (main declares each command's options).
    const QCommandLineParser* options = nullptr;

    // The bytes of argument `text`; its UTF-8 form when it did not come from the command line.
    QByteArray rawArg(const QString& text) const { return rawArgs.value(text, text.toUtf8()); }

    // Whether "--name" was given, with a value or without.
    bool given(const QString& name) const { return options && options->isSet(name); }
    // The value of "--name VALUE"; a null string when the option is absent.
    QString value(const QString& name) const { return given(name) ? options->value(name) : QString(); }
    // The arguments must be exactly `count`: UsageError otherwise.
    void expectPositional(int count) const;
};

} // namespace cantorix::cli

namespace cantorix {
class TAlbumSession;
class TAlbumWorkflow;
struct TAlbumFields;
class TSettings;
struct TAlbumGuess;
struct TLookupOverrides;
struct TRenameOptions;
}

namespace cantorix::cli {

// The folder scan of `dir` as the window runs it (AdditionalTypes from `settings`). False, after
// printing "no such folder", when `dir` is not a folder.
bool scanFolderArgument(Invocation& inv, const QString& dir, const TSettings& settings, TScanResult& scan);
// Lists `dir` into the workflow's album, its log lines printed to `log` as the window logs them. False
// when `dir` is not a folder or lists no audio file.
bool listAlbumArgument(Invocation& inv, const QString& dir, TAlbumWorkflow& workflow, QTextStream& log);
// "artist:", "album:", "year:" and "genre:" lines of a looked-up album, control characters escaped.
// The genre is the database's as it stands, which is what renaming then uses.
void printAlbumFields(QTextStream& out, const TAlbumFields& fields);

// "--match N" and each lookup source's switch ("--musicbrainz") and options ("--server S",
// "--mb-server URL" ...) of the commands that look a folder up. Without a switch the lookup asks the
// first source (freedb), whatever the window last chose: a script gives the same answer every time.
struct LookupArgs {
    QString source;    // the word of the source a switch chose; empty: none given
    QHash<QString, QString> options; // the sources' options given, by name
    QString matchText; // N as given, empty without --match
    bool given() const { return !source.isEmpty() || !options.isEmpty() || !matchText.isEmpty(); }
    // Whether the source asked has front covers.
    bool covers() const;
    // N, counted from 0; 0 without --match. Throws UsageError when N is no number from 0.
    int match() const;
};
// "--server S"; empty when absent. UsageError when S names no server.
QString serverOption(const Invocation& inv);
// UsageError when an option's value is refused, two sources are chosen, or a source's option is given
// without its switch.
LookupArgs lookupArgsOf(const Invocation& inv);
// The switches of the sources with covers, for the message that --cover needs one.
QString coverSwitches();
// "--artist A", "--album B" and the sources' options of a search ("--search-url T") of the commands
// that search by name.
struct SearchArgs {
    QString artist, album;
    QHash<QString, QString> options; // the sources' search options given, by name
    bool artistGiven = false, albumGiven = false;
    bool given() const { return artistGiven || albumGiven || !options.isEmpty(); }
};
SearchArgs searchArgsOf(const Invocation& inv);
// The words to search for: a given --artist or --album as it stands, every other one guessed from the
// album's first file (its tags, its name, its folder's name).
TAlbumGuess searchWords(const SearchArgs& args, const TAlbumSession& album);
// The source chosen and the options given, in place of the settings' for this run only.
TLookupOverrides lookupOverrides(const LookupArgs& lookupArgs, const SearchArgs& searchArgs);

// The rename options a command line gives (rename, and rename --recursive).
struct RenameArgs {
    QString format, folderFormat;
    bool renameFolder = false, writeTags = false, playlist = false, keepUnderscores = false, portable = false,
         cover = false;
};
// The rename options as given on the line.
RenameArgs renameArgsOf(const Invocation& inv);
// Puts them into `options` (those of the settings): the switches as given, the format, the folder
// format and the underscore rule only when given. UsageError for a folder format out of range.
void applyRenameArgs(TRenameOptions& options, const RenameArgs& args);

// rename ROOT... --recursive (--lookup | --search) [options]: every album under the folders.
int renameCollection(Invocation& inv);

// A whole decimal number from `min` to `max` (spaces around it allowed); false for anything else.
bool parseNumberArgument(const QString& text, int min, int max, int* value);

int cmdScan(Invocation& inv);
int cmdDiscid(Invocation& inv);
int cmdFingerprint(Invocation& inv);
int cmdLookup(Invocation& inv);
int cmdSearch(Invocation& inv);
int cmdRename(Invocation& inv);
int cmdFixNumbers(Invocation& inv);
int cmdInfo(Invocation& inv);
int cmdUndo(Invocation& inv);
int cmdSites(Invocation& inv);
int cmdRenameByTag(Invocation& inv);

} // namespace cantorix::cli
