// cantorix-cli rename and fix-numbers, run as the program itself on temporary album folders.
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"
#include "audio/MpegFixtures.h"
#include "audio/formats/AudioMaker.h"
#include "core/rename/RenameJournal.h"
#include "core/rename/RenameRun.h"
#include "support/CddbTestSite.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cantorix {
namespace {

namespace fs = std::filesystem;
using test::listFiles;
using test::readText;
using test::TempDir;
using test::writeText;
using Lines = std::vector<std::string>;

struct CliResult {
    int code = -1;
    std::string out, err;
};

// Runs cantorix-cli with a settings file of the test's own, while this process's event loop keeps
// serving a local server when there is one.
CliResult runCli(const TempDir& tmp, QStringList args)
{
    args << "--settings" << QString::fromStdString(tmp.file("Cantorix.ini"));
    QProcess p;
    p.start(QString::fromStdString(test::cliPath()), args);
    QDeadlineTimer deadline(30000);
    while (p.state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
            p.readAllStandardError().toStdString()};
}

QString q(const std::string& s) { return QString::fromStdString(s); }

// An album folder with four files and an entry of three titles, one of them continued over a second
// line, with a genre written in another letter case than the genre list's.
struct Album {
    TempDir tmp;
    std::string folder = tmp.file("rip") + "/";
    std::string entry = tmp.file("entry.txt");
    Album()
    {
        fs::create_directory(folder);
        for (const char* n : {"1.mp3", "2.mp3", "3.ogg", "4.wma"}) writeText(folder + n, n);
        writeText(entry, "# xmcd\n#\nDISCID=12345678\nDTITLE=AC/DC / Live: 1991\nDYEAR=1992\nDGENRE=hard rock\n"
                         "TTITLE0=Thunder_struck\nTTITLE1=Who Made\nTTITLE1= Who?\nTTITLE2=Back in Black\n"
                         "EXTD=\nPLAYORDER=\n");
    }
};

TEST(RenameCli, DryRunPrintsTheNamesAndMovesNothing)
{
    Album a;
    CliResult r = runCli(a.tmp, {"rename", q(a.folder), "--entry", q(a.entry), "--dry-run", "--rename-folder",
                                 "--folder-format", "0", "--playlist"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "\"1.mp3\" -> \"AC - DC - Live- 1991 - 01 - Thunder struck.mp3\"\n"
                     "\"2.mp3\" -> \"AC - DC - Live- 1991 - 02 - Who Made Who.mp3\"\n"
                     "\"3.ogg\" -> \"AC - DC - Live- 1991 - 03 - Back in Black.ogg\"\n"
                     "\"4.wma\" -> \"4.wma\" (no title: keeps its name)\n"
                     "Folder \"" + a.folder + "\" -> \"" + a.tmp.str() + "/AC_DC [1992] - Live_ 1991/\"\n"
                     "Playlist \"AC_DC - Live_ 1991.m3u\"\n");
    EXPECT_EQ(r.err, "4 audio files found in \"" + a.folder + "\"\n");
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.ogg", "4.wma"}));
}

TEST(RenameCli, RenamesFolderAndWritesThePlaylist)
{
    Album a;
    CliResult r = runCli(a.tmp, {"rename", q(a.folder), "--entry", q(a.entry), "--format", "artist - # - track",
                                 "--keep-underscores", "--rename-folder", "--folder-format", "4", "--playlist"});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    const std::string renamed = a.tmp.str() + "/Live_ 1991/";
    // The fourth file is beyond the entry's titles: it keeps its name (and would keep its tags).
    EXPECT_EQ(r.out, "Files without a title kept their names: 1\nFolder successfully renamed\nCreated playlist\n"
                     "Renaming finished\n");
    EXPECT_EQ(listFiles(renamed), (Lines{"4.wma", "AC - DC - 01 - Thunder_struck.mp3",
                                         "AC - DC - 02 - Who Made Who.mp3", "AC - DC - 03 - Back in Black.ogg",
                                         "AC_DC - Live_ 1991.m3u"}));
    EXPECT_EQ(readText(renamed + "AC_DC - Live_ 1991.m3u"),
              "AC - DC - 01 - Thunder_struck.mp3\r\nAC - DC - 02 - Who Made Who.mp3\r\n"
              "AC - DC - 03 - Back in Black.ogg\r\n4.wma\r\n");
}

TEST(RenameCli, FailuresAreLoggedAndSetTheExitCode)
{
    Album a;
    // A folder is not listed by the scan, but its name is taken.
    fs::create_directory(a.folder + "AC - DC - Live- 1991 - 01 - Thunder struck.mp3");
    // The dry run marks the row that will fail, as the window's "New name" column does.
    CliResult dry = runCli(a.tmp, {"rename", q(a.folder), "--entry", q(a.entry), "--dry-run"});
    EXPECT_EQ(dry.code, 0);
    EXPECT_NE(dry.out.find("\"1.mp3\" -> \"AC - DC - Live- 1991 - 01 - Thunder struck.mp3\" (would collide with "
                           "\"AC - DC - Live- 1991 - 01 - Thunder struck.mp3\")\n\"2.mp3\""),
              std::string::npos)
        << dry.out;
    CliResult r = runCli(a.tmp, {"rename", q(a.folder), "--entry", q(a.entry)});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "Rename error: \"1.mp3\" (File exists)\nFiles without a title kept their names: 1\n"
                     "Renaming finished\n");
    EXPECT_NE(r.err.find("cantorix-cli: Renamed 2 of 3 files; 1 could not be renamed; files without a title kept "
                         "their names: 1\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(readText(a.folder + "1.mp3"), "1.mp3");
}

TEST(RenameCli, UndoPutsTheLastRunBack)
{
    Album a;
    CliResult r = runCli(a.tmp, {"rename", q(a.folder), "--entry", q(a.entry), "--rename-folder", "--folder-format",
                                 "4", "--playlist"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string renamed = a.tmp.str() + "/Live_ 1991/";
    ASSERT_EQ(listFiles(renamed).size(), 5u);

    CliResult dry = runCli(a.tmp, {"undo", q(renamed), "--dry-run"});
    EXPECT_EQ(dry.code, 0) << dry.err;
    EXPECT_EQ(listFiles(renamed).size(), 5u);
    CliResult undo = runCli(a.tmp, {"undo", q(renamed)});
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_EQ(undo.out, dry.out);
    EXPECT_EQ(undo.out.substr(0, undo.out.find('\n')), "Folder renamed back to \"" + a.tmp.str() + "/rip\"");
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.ogg", "4.wma"}));
    EXPECT_FALSE(fs::exists(renamed));
    // Spent: a second undo finds nothing.
    CliResult again = runCli(a.tmp, {"undo", q(a.folder)});
    EXPECT_EQ(again.code, 1);
    EXPECT_EQ(again.out, "There is no rename run to undo for this folder\n");
}

TEST(RenameCli, ARunKilledPartWayIsUndoneBeforeAnyReRun)
{
    Album a;
    // A run killed (SIGKILL, no clean-up) right after its third move: its titles went to files by
    // their order, which the three moves changed.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<TRenameRow> rows = {{"1.mp3", "01", "One"}, {"2.mp3", "02", "Two"}, {"3.ogg", "03", "Three"},
                                        {"4.wma", "04", "Four"}};
        TRenameOptions o;
        o.WriteTags = true;
        TRenameRun run(a.folder, rows, {"A", "B", "", ""}, o);
        run.setJournalDirectory(TRenameJournal::defaultDirectory());
        int moves = 0;
        run.setTagWriter([&](const std::string&, const TTagValues&) {
            if (++moves == 3) ::raise(SIGKILL);
            return IoResult::success();
        });
        run.run();
        ::_exit(0); // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ASSERT_EQ(listFiles(a.folder), (Lines{"4.wma", "A - B - 01 - One.mp3", "A - B - 02 - Two.mp3", "A - B - 03 - Three.ogg"}));

    // A re-run would title the files by their new order: it is refused and names the way out.
    CliResult again = runCli(a.tmp, {"rename", q(a.folder), "--entry", q(a.entry), "--write-tags"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("cantorix-cli undo \"" + a.folder + "\""), std::string::npos) << again.err;
    EXPECT_EQ(listFiles(a.folder).size(), 4u);
    EXPECT_EQ(readText(a.folder + "A - B - 01 - One.mp3"), "1.mp3");

    CliResult undo = runCli(a.tmp, {"undo", q(a.folder)});
    EXPECT_EQ(undo.code, 0) << undo.out << undo.err;
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.ogg", "4.wma"}));
    EXPECT_EQ(readText(a.folder + "3.ogg"), "3.ogg");
    CliResult rerun = runCli(a.tmp, {"rename", q(a.folder), "--entry", q(a.entry)});
    EXPECT_EQ(rerun.code, 0) << rerun.err;
}

// A FIFO, a link to a file in another folder and an empty file in one album folder: nothing waits on
// the FIFO (the runner's deadline turns a hang into a failure), and the tags go to the link's target
// while the link stays a link.
TEST(RenameCli, AFifoALinkOutsideAndAnEmptyFile)
{
    TempDir tmp;
    const std::string folder = tmp.file("rip") + "/";
    const std::string outside = tmp.file("elsewhere") + "/";
    const std::string entry = tmp.file("entry.txt");
    fs::create_directory(folder);
    fs::create_directory(outside);
    test::writeFile(outside + "song.mp3", test::frameRun(test::mpegHeader(test::Mpeg::V1, 3, 9, 0), 417, 40));
    fs::create_symlink(outside + "song.mp3", folder + "b.mp3");
    ASSERT_EQ(::mkfifo((folder + "c.mp3").c_str(), 0644), 0);
    writeText(folder + "a.mp3", "");
    writeText(folder + ".a.mp3.cantorix-Ab12Cd", "left by a writer that was killed");
    writeText(entry, "# xmcd\n#\nDISCID=12345678\nDTITLE=Band / Record\nDYEAR=2001\nDGENRE=Rock\n"
                     "TTITLE0=First\nTTITLE1=Second\nEXTD=\nPLAYORDER=\n");

    CliResult scan = runCli(tmp, {"scan", q(folder)});
    EXPECT_EQ(scan.code, 0) << scan.err;
    EXPECT_EQ(scan.out.rfind("a.mp3\t", 0), 0u) << scan.out;
    EXPECT_NE(scan.out.find("\nb.mp3\t"), std::string::npos) << scan.out;
    EXPECT_EQ(scan.out.find("c.mp3"), std::string::npos) << scan.out;
    EXPECT_EQ(scan.err, "Removed the temporary file \".a.mp3.cantorix-Ab12Cd\" of an interrupted write\n"
                        "2 audio files found in \"" + folder + "\"\n");

    CliResult info = runCli(tmp, {"info", q(folder + "c.mp3")});
    EXPECT_NE(info.code, -1) << "info waited on the FIFO";

    CliResult r = runCli(tmp, {"rename", q(folder), "--entry", q(entry), "--format", "# - track", "--write-tags"});
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("01 - First.mp3\" (not a valid MPEG audio file)\n"), std::string::npos) << r.out;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3); // no stray file
    EXPECT_TRUE(fs::is_symlink(folder + "02 - Second.mp3"));
    EXPECT_TRUE(fs::is_fifo(folder + "c.mp3"));
    // Nothing is written through the link: the target outside the album keeps its tags, and its folder
    // holds nothing else, hidden files included.
    TID3v2 v2;
    v2.ReadFromFile(outside + "song.mp3");
    EXPECT_NE(v2.Title(), "Second");
    TID3v1 v1;
    v1.ReadFromFile(outside + "song.mp3");
    EXPECT_NE(v1.Title(), "Second");
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);
}

// An entry's escapes, a title without " / ", control characters and a genre outside the genre list,
// through rename --entry --write-tags: names and tags get single lines without a control character,
// artist and album both the title, the genre as written.
TEST(RenameCli, EntryValuesReachNamesAndTagsAsSingleLines)
{
    TempDir tmp;
    const std::string folder = tmp.file("rip") + "/";
    const std::string entry = tmp.file("entry.txt");
    fs::create_directory(folder);
    for (const char* name : {"a.mp3", "b.mp3"})
        test::writeFile(folder + name, test::frameRun(test::mpegHeader(test::Mpeg::V1, 3, 9, 0), 417, 40));
    writeText(entry, "# xmcd\n#\nDISCID=12345678\nDTITLE=Solo\\tArtist\\n\nDTITLE=Live\nDYEAR=2001\nDGENRE=Misc\n"
                     "TTITLE0=Back\\\\slash\nTTITLE1=Bell\x07\x1b[2J Ring\\n\nEXTD=\nPLAYORDER=\n");

    CliResult r = runCli(tmp, {"rename", q(folder), "--entry", q(entry), "--format", "artist - album - # - track",
                               "--write-tags"});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    const Lines names = listFiles(folder);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind("Solo Artist Live - Solo Artist Live - 01 - Back", 0), 0u) << names[0];
    EXPECT_EQ(names[1], "Solo Artist Live - Solo Artist Live - 02 - Bell [2J Ring.mp3");
    const std::pair<std::string, const char*> titles[] = {{names[0], "Back\\slash"}, {names[1], "Bell  [2J Ring"}};
    for (const auto& [name, title] : titles) {
        TID3v2 v2;
        ASSERT_TRUE(v2.ReadFromFile(folder + name));
        EXPECT_EQ(v2.Title(), title);
        EXPECT_EQ(v2.Artist(), "Solo Artist Live");
        EXPECT_EQ(v2.Album(), "Solo Artist Live");
        EXPECT_EQ(v2.Genre(), "Misc");
    }
}

// Runs cantorix-cli through the shell, so that an argument may hold bytes that are no UTF-8 (QProcess
// would pass them through text).
std::string runCliBytes(const std::string& args)
{
    std::string out;
    if (FILE* p = ::popen((test::cliPath() + " " + args + " 2>&1").c_str(), "r")) {
        char buf[512];
        while (size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

TEST(RenameCli, NamesThatAreNotUtf8KeepTheirBytes)
{
    // An old Latin-1 name ("caf\xe9") and one with a line break: listed, read and renamed by their bytes.
    TempDir tmp;
    const std::string folder = tmp.file("rip") + "/";
    fs::create_directory(folder);
    const test::Bytes mp3 = test::frameRun(test::mpegHeader(test::Mpeg::V1, 3, 9, 0), 417, 40);
    test::writeFile(folder + "1 caf\xe9.mp3", mp3);
    test::writeFile(folder + "2 two\nlines.mp3", mp3);
    const std::string entry = tmp.file("entry.txt");
    writeText(entry, "# xmcd\n#\nDISCID=12345678\nDTITLE=Band / Record\nDYEAR=2001\nDGENRE=Rock\n"
                     "TTITLE0=First\nTTITLE1=Second\nEXTD=\nPLAYORDER=\n");

    CliResult scan = runCli(tmp, {"scan", q(folder)});
    EXPECT_EQ(scan.out, "1 caf\xef\xbf\xbd.mp3\t00:01\t1\n2 two\\nlines.mp3\t00:01\t1\n"); // one file, one line

    const std::string info = runCliBytes("info '" + folder + "1 caf\xe9.mp3'");
    EXPECT_NE(info.find("Duration: 00:00:01"), std::string::npos) << info;

    CliResult r = runCli(tmp, {"rename", q(folder), "--entry", q(entry), "--format", "# - track", "--write-tags"});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(listFiles(folder), (Lines{"01 - First.mp3", "02 - Second.mp3"}));
    TID3v2 v2;
    ASSERT_TRUE(v2.ReadFromFile(folder + "01 - First.mp3"));
    EXPECT_EQ(v2.Title(), "First");
    // Undo brings back the exact bytes.
    CliResult undo = runCli(tmp, {"undo", q(folder)});
    EXPECT_EQ(undo.code, 0) << undo.out;
    EXPECT_EQ(listFiles(folder), (Lines{"1 caf\xe9.mp3", "2 two\nlines.mp3"}));
}

TEST(RenameCli, WrongUse)
{
    Album a;
    struct Case {
        QStringList args;
        int code;
    } cases[] = {
        {{"rename", q(a.folder)}, 2},
        {{"rename", q(a.folder), "--entry", q(a.entry), "--lookup"}, 2},
        {{"rename", q(a.folder), "--entry", q(a.entry), "--folder-format", "6"}, 2},
        {{"rename", q(a.folder), "--entry", q(a.entry), "--match", "1"}, 2},
        {{"rename", q(a.folder), "--entry", q(a.entry), "--bogus"}, 2},
        {{"rename", q(a.tmp.file("missing")), "--entry", q(a.entry)}, 1},
        {{"rename", q(a.folder), "--entry", q(a.tmp.file("missing.txt"))}, 1},
        {{"fix-numbers"}, 2},
    };
    for (const Case& c : cases) {
        CliResult r = runCli(a.tmp, c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << "\n" << r.err;
    }
    EXPECT_EQ(listFiles(a.folder), (Lines{"1.mp3", "2.mp3", "3.ogg", "4.wma"}));
}


QByteArray replyBody(const std::string& transcript)
{
    QFile file(QString::fromStdString(test::fixture("cddb/" + transcript)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << transcript;
    return test::transcriptBody(file.readAll());
}

TEST(RenameCli, TakesTheAlbumFromALookup)
{
    TempDir tmp;
    const std::string dir = tmp.file("rip") + "/";
    fs::create_directory(dir);
    test::writeAu(dir + "01 Intro.au", 200);
    test::writeAu(dir + "02 Middle.au", 180);
    test::writeAu(dir + "03 End.au", 245);
    test::LocalHttpServer server;
    ASSERT_TRUE(server.start());
    test::CddbTestSite site;
    site.onBody("cddb query 13027103 3 150 15150 28650 627", replyBody("01-query-200-exact.txt"));
    site.onBody("cddb read rock a10b600c", replyBody("07-read-210-utf8-entry-proto6.txt"));
    server.setHandler(site.handler());
    writeText(tmp.file("Cantorix.ini"), "[Connection]\nServer=127.0.0.1:1\nTimeout=5\n");

    CliResult r = runCli(tmp, {"rename", q(dir), "--lookup", "--server", server.url("/~cddb/cddb.cgi"),
                               "--playlist", "--rename-folder"});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("\nEntry read\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "Folder successfully renamed\nCreated playlist\nRenaming finished\n");
    const std::string renamed = tmp.str() + "/Mot\xc3\xb6rhead [2004] - Inferno/";
    EXPECT_EQ(readText(renamed + "Mot\xc3\xb6rhead - Inferno.m3u"),
              "Mot\xc3\xb6rhead - Inferno - 01 - Terminal Show.au\r\n"
              "Mot\xc3\xb6rhead - Inferno - 02 - Killers.au\r\n"
              "Mot\xc3\xb6rhead - Inferno - 03 - In The Name Of Tragedy.au\r\n");
    EXPECT_EQ(listFiles(renamed).size(), 4u);
}

QByteArray fixtureBytes(const std::string& name)
{
    QFile file(QString::fromStdString(test::fixture(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The tag values `cantorix-cli info` reads back from a file.
std::string tagsOf(const TempDir& tmp, const std::string& path)
{
    std::string tags;
    std::istringstream lines(runCli(tmp, {"info", q(path)}).out);
    for (std::string line; std::getline(lines, line);)
        for (const char* key : {"Artist: ", "Album: ", "Title: ", "Year: ", "Genre: "})
            if (line.rfind(key, 0) == 0) tags += line + "\n";
    return tags;
}

struct LookupRenameCase {
    const char* entry; // under tests/data/entries, served for the only match
    Lines names;       // the files afterwards, sorted
    std::string tags;  // of the MP3 file, then of the FLAC file
};

// rename --lookup --write-tags on real MP3 and FLAC files: names and tags carry every character of
// a level-6 entry and whole continued values.
TEST(RenameCli, LookupNamesAndTagsKeepTheWholeText)
{
    if (!test::haveLame() || !test::haveTool("flac")) GTEST_SKIP() << "lame or flac is not installed";
    const LookupRenameCase cases[] = {
        {"greek-japanese-13027203.txt",
         {"\xce\x9c\xce\xaf\xce\xba\xce\xb7\xcf\x82 \xce\x98\xce\xb5\xce\xbf\xce\xb4\xcf\x89\xcf\x81\xce\xac\xce\xba\xce\xb7\xcf\x82 - "
          "\xe6\x9d\xb1\xe4\xba\xac\xe7\x89\xa9\xe8\xaa\x9e - 01 - \xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1 "
          "\xce\xae\xce\xbb\xce\xb9\xce\xb5.mp3",
          "\xce\x9c\xce\xaf\xce\xba\xce\xb7\xcf\x82 \xce\x98\xce\xb5\xce\xbf\xce\xb4\xcf\x89\xcf\x81\xce\xac\xce\xba\xce\xb7\xcf\x82 - "
          "\xe6\x9d\xb1\xe4\xba\xac\xe7\x89\xa9\xe8\xaa\x9e - 02 - \xe3\x81\x95\xe3\x81\x8f\xe3\x82\x89 \xe3\x81\x95\xe3\x81\x8f\xe3\x82\x89.flac"},
         "Artist: \xce\x9c\xce\xaf\xce\xba\xce\xb7\xcf\x82 \xce\x98\xce\xb5\xce\xbf\xce\xb4\xcf\x89\xcf\x81\xce\xac\xce\xba\xce\xb7\xcf\x82\n"
         "Album: \xe6\x9d\xb1\xe4\xba\xac\xe7\x89\xa9\xe8\xaa\x9e\n"
         "Title: \xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1 \xce\xae\xce\xbb\xce\xb9\xce\xb5\n"
         "Year: 1970\nGenre: Ethnic\n"
         "Artist: \xce\x9c\xce\xaf\xce\xba\xce\xb7\xcf\x82 \xce\x98\xce\xb5\xce\xbf\xce\xb4\xcf\x89\xcf\x81\xce\xac\xce\xba\xce\xb7\xcf\x82\n"
         "Album: \xe6\x9d\xb1\xe4\xba\xac\xe7\x89\xa9\xe8\xaa\x9e\n"
         "Title: \xe3\x81\x95\xe3\x81\x8f\xe3\x82\x89 \xe3\x81\x95\xe3\x81\x8f\xe3\x82\x89\n"
         "Year: 1970\nGenre: Ethnic\n"},
        {"continued-13027103.txt",
         {"The Long Named Orchestra of the Night - Songs for Four Lines - 01 - Prelude.mp3",
          "The Long Named Orchestra of the Night - Songs for Four Lines - 02 - Eins Zwei Drei Vier.flac"},
         "Artist: The Long Named Orchestra of the Night\nAlbum: Songs for Four Lines\nTitle: Prelude\nYear: 1999\n"
         "Genre: Classical\n"
         "Artist: The Long Named Orchestra of the Night\nAlbum: Songs for Four Lines\nTitle: Eins Zwei Drei Vier\n"
         "Year: 1999\nGenre: Classical\n"},
    };
    for (const LookupRenameCase& c : cases) {
        SCOPED_TRACE(c.entry);
        TempDir tmp;
        const std::string dir = tmp.file("rip") + "/";
        fs::create_directory(dir);
        ASSERT_TRUE(test::makeLameMp3(tmp, dir + "1.mp3", "-b 32", 1.0));
        ASSERT_EQ(test::makeFlac(tmp, "2.flac", "--best", 44100), tmp.file("2.flac"));
        fs::rename(tmp.file("2.flac"), dir + "2.flac");
        fs::remove(tmp.file("noise.wav"));

        test::LocalHttpServer server;
        ASSERT_TRUE(server.start());
        test::CddbTestSite site;
        const QByteArray entry = fixtureBytes(std::string("entries/") + c.entry);
        site.onBody("cddb query", "200 misc 12345678 Any / Title\r\n");
        site.onBody("cddb read misc 12345678", test::CddbTestSite::entryReply("misc", "12345678", entry));
        server.setHandler(site.handler());
        CliResult r = runCli(tmp, {"rename", q(dir), "--lookup", "--server", server.url("/~cddb/cddb.cgi"), "--write-tags"});
        ASSERT_EQ(r.code, 0) << r.out << r.err;
        EXPECT_EQ(r.out, "Renaming finished\n");
        ASSERT_EQ(listFiles(dir), c.names);
        EXPECT_EQ(tagsOf(tmp, dir + c.names[0]) + tagsOf(tmp, dir + c.names[1]), c.tags);
    }
}

TEST(RenameCli, ALookupWithoutAnEntryRenamesNothing)
{
    TempDir tmp;
    const std::string dir = tmp.file("rip") + "/";
    fs::create_directory(dir);
    test::writeAu(dir + "01 Intro.au", 200);
    test::LocalHttpServer server;
    ASSERT_TRUE(server.start());
    test::CddbTestSite site;
    site.onBody("cddb query", replyBody("04-query-202-nomatch.txt"));
    server.setHandler(site.handler());
    CliResult r = runCli(tmp, {"rename", q(dir), "--lookup", "--server", server.hostAndPort()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("No match found"), std::string::npos) << r.err;
    EXPECT_EQ(listFiles(dir), (Lines{"01 Intro.au"}));
}

TEST(RenameCli, ABrokenServerChangesNoFile)
{
    // A proxy's page ending in a line "." and an entry that fails its check: neither may reach a name,
    // a tag, the folder or a playlist.
    const QByteArray incomplete = [] {
        QByteArray e = replyBody("08-read-210-utf8-entry-proto5.txt");
        return e.replace("PLAYORDER=\r\n", "");
    }();
    struct Case {
        const char* name;
        std::function<void(test::CddbTestSite&)> setup;
    } cases[] = {
        {"not CDDB", [](test::CddbTestSite& s) {
             s.on("cddb query", {200, "OK", "text/html", "<html>\n<body>Proxy says hello</body>\n.\n</html>\n", false});
         }},
        {"corrupt entry", [&](test::CddbTestSite& s) {
             s.onBody("cddb query", replyBody("01-query-200-exact.txt"));
             s.onBody("cddb read", incomplete);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir tmp;
        const std::string dir = tmp.file("rip") + "/";
        fs::create_directory(dir);
        test::writeAu(dir + "01 Intro.au", 200);
        test::writeAu(dir + "02 Middle.au", 180);
        test::writeAu(dir + "03 End.au", 245);
        const std::string before = readText(dir + "02 Middle.au");
        test::LocalHttpServer server;
        ASSERT_TRUE(server.start());
        test::CddbTestSite site;
        c.setup(site);
        server.setHandler(site.handler());
        CliResult r = runCli(tmp, {"rename", q(dir), "--lookup", "--server", server.hostAndPort(), "--write-tags",
                                   "--playlist", "--rename-folder"});
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(listFiles(dir), (Lines{"01 Intro.au", "02 Middle.au", "03 End.au"}));
        EXPECT_EQ(readText(dir + "02 Middle.au"), before);
        EXPECT_EQ(listFiles(tmp.str()).size(), 0u); // no playlist or stray file beside the folder
        EXPECT_TRUE(fs::is_directory(dir));
    }
}

TEST(FixNumbersCli, PadsLoneDigitsOfListedFiles)
{
    TempDir tmp;
    const std::string dir = tmp.file("album");
    fs::create_directory(dir);
    for (const char* n : {"1 - a.mp3", "01 - b.mp3", "1 - b.mp3", "10 - c.flac", "Track 7.ogg", "2 - notes.txt"})
        writeText(dir + "/" + n, n);
    CliResult r = runCli(tmp, {"fix-numbers", q(dir)});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "Attempting to fix track numbers...\nRename error: \"1 - b.mp3\" (File exists)\n"
                     "Finished fixing track numbers. Refreshing...\n");
    EXPECT_EQ(listFiles(dir),
              (Lines{"01 - a.mp3", "01 - b.mp3", "1 - b.mp3", "10 - c.flac", "2 - notes.txt", "Track 07.ogg"}));
}

} // namespace
} // namespace cantorix
