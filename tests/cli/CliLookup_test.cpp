// cantorix-cli discid and lookup end to end: a real album folder, the real HTTP client, and a freedb
// server on 127.0.0.1 answering with real server replies.
#include "support/CddbTestSite.h"
#include "support/CliRunner.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdlib>
#include <filesystem>

using namespace cantorix;
using namespace cantorix::test;

namespace {

QByteArray fixtureBytes(const std::string& name)
{
    QFile file(QString::fromStdString(fixture(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray replyBody(const std::string& transcript)
{
    return transcriptBody(fixtureBytes("cddb/" + transcript));
}


class CliLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeAu(m_dir.file("01 Intro.au"), 200);
        writeAu(m_dir.file("02 Middle.au"), 180);
        writeAu(m_dir.file("03 End.au"), 245);
        ASSERT_TRUE(m_server.start());
    }

    // The settings file: the local server, and a time-out of `timeout` seconds.
    QString settings(int timeout = 5, const QString& server = QString())
    {
        std::string path = m_conf.file("Cantorix.ini");
        QString text = QString("[Connection]\nServer=%1\nTimeout=%2\n")
                           .arg(server.isEmpty() ? m_server.hostAndPort() : server)
                           .arg(timeout);
        writeText(path, text.toStdString());
        return QString::fromStdString(path);
    }

    CliResult lookup(const QStringList& extra = {}, int timeout = 5, const QString& server = QString())
    {
        m_server.setHandler(m_site.handler());
        return runCliServing(QStringList{"lookup", album()} + extra + QStringList{"--settings", settings(timeout, server)});
    }

    QString album() const { return QString::fromStdString(m_dir.str()); }
    QString folderLine() const { return "3 audio files found in \"" + album() + "/\""; }

    TempDir m_dir;
    TempDir m_conf;
    LocalHttpServer m_server;
    CddbTestSite m_site;
};

// The folder's query: three tracks and a disc length of 627 seconds, the lead-out's second.
const QString Query = "cddb query 13027103 3 150 15150 28650 627";

TEST_F(CliLookup, DiscIdOfTheFolder)
{
    CliResult r = runCliServing({"discid", album(), "--settings", settings()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The MusicBrainz ID is the documented SHA-1 of the table of contents, checked by hand; the files are
    // no CD rip (100 Hz), so the table comes from their milliseconds and cannot match exactly.
    EXPECT_EQ(r.out, "discid: 13027103\ntracks: 3\noffsets: 150 15150 28650\nlength: 627\ncommand: " + Query +
                         "\nmusicbrainz-discid: KYKeOyxINUJ3tli_Fp4usXPoIg0-\nmusicbrainz-toc: 1 3 47025 150 15150 28650\n"
                         "musicbrainz-exact: no\n");
}

TEST(CliDiscid, AFlacRipOfACdGivesTheExactMusicBrainzDiscId)
{
    // Three tracks of 150, 100 and 123 CD sectors (588 samples each at 44.1 kHz), as a ripper writes them.
    TempDir dir;
    const int sectors[] = {150, 100, 123};
    for (int i = 0; i < 3; ++i) {
        const std::string raw = dir.file("t.raw");
        writeFile(raw, Bytes(size_t(sectors[i]) * 588 * 4, 0));
        const std::string flac = dir.file("0" + std::to_string(i + 1) + ".flac");
        ASSERT_EQ(std::system(("flac --silent -f --force-raw-format --endian=little --sign=signed --channels=2 "
                               "--bps=16 --sample-rate=44100 -o '" + flac + "' '" + raw + "'").c_str()), 0);
        std::filesystem::remove(raw);
    }
    const CliResult r = runCli({"discid", QString::fromStdString(dir.str())});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The SHA-1 of "1 3 523 150 300 400" as the MusicBrainz documentation defines it, checked by hand.
    EXPECT_TRUE(r.out.endsWith("musicbrainz-discid: nwwhoLtuBHURuvrV8vW9CqEO5UQ-\nmusicbrainz-toc: 1 3 523 150 300 400\n"
                               "musicbrainz-exact: yes\n"))
        << r.out.toStdString();
}

TEST_F(CliLookup, SingleMatch)
{
    m_site.onBody(Query, replyBody("01-query-200-exact.txt"));
    m_site.onBody("cddb read rock a10b600c", replyBody("07-read-210-utf8-entry-proto6.txt"));
    CliResult r = lookup();
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();

    ASSERT_EQ(m_server.requests().size(), 2);
    EXPECT_EQ(formValue(m_server.requests()[1], "proto"), "6");
    const HttpRequest& q = m_server.requests()[0];
    EXPECT_EQ(q.path, "/~cddb/cddb.cgi");
    EXPECT_EQ(formValue(q, "cmd"), Query);
    EXPECT_EQ(formValue(q, "hello"), "cantorix localhost Cantorix 1.0");
    EXPECT_EQ(formValue(q, "proto"), "6");

    QStringList lines = r.out.split('\n');
    const QString url = m_server.url("/~cddb/cddb.cgi?cmd=cddb+query+13027103+3+150+15150+28650+627"
                                     "&hello=cantorix+localhost+Cantorix+1%2E0&proto=6");
    EXPECT_EQ(lines.mid(0, 5), (QStringList{folderLine(), "Querying CD", "[DE] " + url,
                                            QString::fromUtf8("[DE] 200 rock a10b600c Motörhead / Inferno"),
                                            "Found exact match"}));
    const qsizetype end = lines.indexOf("Entry read");
    ASSERT_GT(end, 0);
    EXPECT_EQ(lines[end - 1], "[DE] .");
    EXPECT_EQ(lines.mid(end + 1, 5), (QStringList{QString::fromUtf8("artist: Motörhead"), "album: Inferno",
                                                  "year: 2004", "genre: Metal", "01\tTerminal Show\t01 Intro.au"}));
    EXPECT_EQ(lines[end + 7], "03\tIn The Name Of Tragedy\t03 End.au");
    EXPECT_EQ(lines[end + 8], "04\tSuicide\t"); // the titles beyond the files still fill grid rows
    EXPECT_EQ(lines[end + 16], "12\tWhorehouse Blues\t");
    EXPECT_EQ(lines[end + 17], "");
    EXPECT_FALSE(r.out.contains("The entry is corrupt"));
}

TEST_F(CliLookup, SeveralMatchesWithAChoice)
{
    m_site.onBody(Query, replyBody("02-query-210-multiple-exact.txt"));
    m_site.onBody("cddb read rock b20cd40d",
                  CddbTestSite::entryReply("rock", "b20cd40d", fixtureBytes("xmcd/unknown-b20cd40d.txt")));
    m_site.onBody("cddb read", replyBody("14-read-401-not-found.txt"));
    // --server wins over the setting, which names a port where nothing listens.
    CliResult r = lookup({"--match", "1", "--server", m_server.url("/~cddb/cddb.cgi")}, 5, "127.0.0.1:1");
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\nReceived matches\nReading CD info\n"));
    EXPECT_TRUE(r.out.contains("\nartist: Adele\nalbum: 21\nyear: 2011\ngenre: Pop\n01\tRolling in the deep\t01 Intro.au\n"));
    EXPECT_TRUE(r.out.endsWith("13\tHiding my heart\t\n")) << r.out.toStdString();
    ASSERT_EQ(m_server.requests().size(), 2);
    EXPECT_EQ(formValue(m_server.requests()[1], "cmd"), "cddb read rock b20cd40d");
}

// The stored disc that only inexact matching finds (offsets a few frames off, one second longer).
const QList<qint64> StoredOffsets = {150, 15160, 28655};
const int StoredLength = 628;

TEST(CddbTestSite, InexactMatchingGoesByTheDiscLength)
{
    CddbTestSite site;
    site.onInexactQuery(StoredOffsets, StoredLength, "misc 13027203 A / B\r\n");
    const std::pair<const char*, const char*> cases[] = {
        {"cddb query 13027103 3 150 15150 28650 627", "211 "},
        {"cddb query 13027103 3 150 15150 28650 629", "211 "},
        {"cddb query 13027103 3 150 15150 28650 625", "202 No match for disc ID 13027103."}, // lead-in left out
        {"cddb query 13027103 3 150 15150 30000 627", "202 "},
        {"cddb query 13027102 2 150 15150 627", "202 "},
    };
    for (const auto& [cmd, start] : cases) {
        HttpRequest request;
        request.query.addQueryItem("cmd", QString(cmd).replace(' ', '+'));
        EXPECT_TRUE(site.handler()(request).body.startsWith(start)) << cmd;
    }
}

// What a lookup prints after "Entry read": the album fields, then one line per grid row.
QStringList albumLines(const CliResult& r)
{
    QStringList lines = r.out.split('\n');
    const qsizetype end = lines.indexOf("Entry read");
    return end < 0 ? QStringList() : lines.mid(end + 1);
}

TEST_F(CliLookup, InexactLevel6EntryKeepsEveryCharacter)
{
    const QByteArray title = "\xce\x9c\xce\xaf\xce\xba\xce\xb7\xcf\x82 \xce\x98\xce\xb5\xce\xbf\xce\xb4\xcf\x89\xcf\x81"
                             "\xce\xac\xce\xba\xce\xb7\xcf\x82 / \xe6\x9d\xb1\xe4\xba\xac\xe7\x89\xa9\xe8\xaa\x9e";
    m_site.onBody("cddb read misc 13027203",
                  CddbTestSite::entryReply("misc", "13027203", fixtureBytes("entries/greek-japanese-13027203.txt")));
    m_site.onInexactQuery(StoredOffsets, StoredLength, "misc 13027203 " + title + "\r\n");
    CliResult r = lookup();
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\nFound inexact matches\n")) << r.out.toStdString();
    ASSERT_EQ(m_server.requests().size(), 2);
    EXPECT_EQ(formValue(m_server.requests()[0], "cmd"), Query);
    for (const HttpRequest& request : m_server.requests()) EXPECT_EQ(formValue(request, "proto"), "6");
    EXPECT_EQ(albumLines(r), (QStringList{QString::fromUtf8("artist: Μίκης Θεοδωράκης"), QString::fromUtf8("album: 東京物語"),
                                          "year: 1970", "genre: Ethnic",
                                          QString::fromUtf8("01\tΚαλημέρα ήλιε\t01 Intro.au"),
                                          QString::fromUtf8("02\tさくら さくら\t02 Middle.au"),
                                          QString::fromUtf8("03\tCafé Noël à l'Hôtel\t03 End.au"), ""}));
    EXPECT_FALSE(r.out.contains("The entry is corrupt"));
}

TEST_F(CliLookup, ContinuedValuesArriveWhole)
{
    m_site.onBody(Query, "200 rock 13027103 The Long Named Orchestra of the Night / Songs for Four Lines\r\n");
    m_site.onBody("cddb read rock 13027103",
                  CddbTestSite::entryReply("rock", "13027103", fixtureBytes("entries/continued-13027103.txt")));
    CliResult r = lookup();
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(albumLines(r), (QStringList{"artist: The Long Named Orchestra of the Night", "album: Songs for Four Lines",
                                          "year: 1999", "genre: Classical", "01\tPrelude\t01 Intro.au",
                                          "02\tEins Zwei Drei Vier\t02 Middle.au", "03\tCoda\t03 End.au", ""}));
    EXPECT_FALSE(r.out.contains("The entry is corrupt"));
}

struct Failure {
    QString name;
    std::function<void(CddbTestSite&)> setup;
    int timeout;
    QString lastLogLine; // the last line of standard output begins with it
    QString error;       // part of standard error
};

// A lookup against any reply ends at once with one clear line, exit 1, and changes no file.
TEST_F(CliLookup, LookupsWithoutAnEntry)
{
    const HttpResponse notCddb{404, "Not Found", "text/html",
                               "<html>\n<head><title>404 Not Found</title></head>\n<body>nothing</body>\n</html>\n",
                               false};
    const HttpResponse htmlPage{200, "OK", "text/html", "<html><body>Welcome</body>\n.\n</html>\n", false};
    const QString notFreedb = "The server http://127.0.0.1:";
    auto exact = [](CddbTestSite& s) { s.onBody(Query, replyBody("01-query-200-exact.txt")); };
    QByteArray cutEntry = replyBody("07-read-210-utf8-entry-proto6.txt");
    cutEntry.chop(3); // its "." line
    QList<Failure> cases = {
        {"no match", [](CddbTestSite& s) { s.onBody(Query, replyBody("04-query-202-nomatch.txt")); }, 5,
         "No match found", ""},
        {"server never answers", [](CddbTestSite& s) { s.hangOn(Query); }, 1, "[DE] " /* the URL */,
         "Connection timed out!"},
        // An HTTP error or a page that is no CDDB reply ends the lookup at once with one readable line.
        {"HTTP error page", [&](CddbTestSite& s) { s.on(Query, notCddb); }, 30, notFreedb, ""},
        {"a page that is no CDDB reply", [&](CddbTestSite& s) { s.on(Query, htmlPage); }, 30, notFreedb, ""},
        // A complete body is the whole reply: a list or an entry without its "." was cut short.
        {"a list without its end",
         [](CddbTestSite& s) { s.onBody(Query, "211 Found inexact matches\r\nrock 13027103 A / B\r\n"); }, 30,
         "The match list is corrupt", ""},
        {"an entry without its end",
         [&](CddbTestSite& s) {
             exact(s);
             s.onBody("cddb read", cutEntry);
         },
         30, "The entry is corrupt", ""},
        // A 200 line must name a match; the bytes after it never reach the terminal as they are.
        {"200 OK and noise",
         [](CddbTestSite& s) { s.onBody(Query, QByteArray("200 OK\r\n\x1b[2J\x07") + QByteArray(1, '\0') + "\r\n"); },
         30, notFreedb, ""},
        {"gnudb wants an address", [](CddbTestSite& s) { s.onBody(Query, "500 Unknown developer email\r\n"); }, 30,
         QString::fromUtf8("500 Unknown developer email (enter your own e-mail address in Options › Connection"), ""},
    };
    // Every error status to a query ends the lookup with the server's own line.
    for (const char* line : {"401 Permission denied.", "402 Server error.", "403 Database entry is corrupt.",
                             "409 No handshake.", "417 Limit exceeded.", "433 No connections allowed: 10 users.",
                             "501 Invalid category: metal", "530 Server error, closing connection.",
                             "500 Command syntax error."})
        cases.append({QString("query ") + line,
                      [line](CddbTestSite& s) { s.onBody(Query, QByteArray(line) + "\r\n"); }, 30, line, ""});
    // A read that fails says only the server's reason: there is no entry to call corrupt.
    for (const char* line : {"401 rock a10b600c No such CD entry in database.", "403 Database entry is corrupt.",
                             "409 No handshake.", "502 Protocol level already 6.", "530 Server timeout."})
        cases.append({QString("read ") + line,
                      [&exact, line](CddbTestSite& s) {
                          exact(s);
                          s.onBody("cddb read", QByteArray(line) + "\r\n");
                      },
                      30, line, ""});
    const std::vector<std::string> files = listFiles(m_dir.str());
    for (const Failure& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        m_site = CddbTestSite();
        c.setup(m_site);
        CliResult r = lookup({}, c.timeout);
        EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
        QStringList lines = r.out.split('\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_TRUE(lines[lines.size() - 2].startsWith(c.lastLogLine)) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains("artist:"));
        EXPECT_FALSE(r.out.contains("The entry is corrupt") && !c.lastLogLine.startsWith("The entry"));
        EXPECT_TRUE(r.err.contains(c.error)) << r.err.toStdString();
        EXPECT_LT(r.ms, 5000);
        EXPECT_FALSE(r.out.contains("</html>")); // no page in the log
        for (QChar control : {QChar(0), QChar(7), QChar(0x1b)}) EXPECT_FALSE(r.out.contains(control));
        EXPECT_EQ(listFiles(m_dir.str()), files);
    }
}

TEST_F(CliLookup, AServerOfAnOlderLevelIsAskedAgainAtIt)
{
    m_site.refuseLevelsAbove(5);
    m_site.onBody(Query, replyBody("01-query-200-exact.txt"));
    m_site.onBody("cddb read rock a10b600c", replyBody("07-read-210-utf8-entry-proto6.txt"));
    CliResult r = lookup();
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    QStringList levels;
    for (const HttpRequest& request : m_server.requests()) levels << formValue(request, "proto");
    EXPECT_EQ(levels, (QStringList{"6", "5", "5"})); // once refused, the read goes at 5 at once
    EXPECT_TRUE(r.out.contains("\n[DE] 501 Illegal CDDB protocol level: 6.\n"
                               "The server refused protocol level 6; asking again at level 5\n"));
    // Level 5 is ISO-8859-1: the entry reads the same.
    EXPECT_EQ(albumLines(r).mid(0, 5), (QStringList{QString::fromUtf8("artist: Motörhead"), "album: Inferno",
                                                    "year: 2004", "genre: Metal", "01\tTerminal Show\t01 Intro.au"}));
}

TEST_F(CliLookup, EntryValuesArriveAsSingleLinesWithoutControls)
{
    // Escapes translated after the lines are joined, a title without " / ", control characters, and a
    // genre outside the genre list.
    QByteArray entry = fixtureBytes("entries/continued-13027103.txt");
    entry.replace("DTITLE=The Long Named \nDTITLE=Orchestra of the Night\nDTITLE= / Songs for \nDTITLE=Four Lines\n",
                  "DTITLE=Solo\\tArtist\\\nDTITLE=nLive\n");
    entry.replace("DGENRE=Classical", "DGENRE=Misc");
    entry.replace("TTITLE0=Prelude", "TTITLE0=Pre\\nlude \\\\ Fugue");
    entry.replace("TTITLE2=Coda", "TTITLE2=Bell\x07\x1b[2JCoda");
    ASSERT_TRUE(entry.contains("Solo") && entry.contains("Misc") && entry.contains("Pre") && entry.contains("Bell"));
    m_site.onBody(Query, "200 rock 13027103 Solo Artist Live\r\n");
    m_site.onBody("cddb read rock 13027103", CddbTestSite::entryReply("rock", "13027103", entry));
    CliResult r = lookup();
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(albumLines(r), (QStringList{"artist: Solo Artist Live", "album: Solo Artist Live", "year: 1999",
                                          "genre: Misc", "01\tPre lude \\ Fugue\t01 Intro.au",
                                          "02\tEins Zwei Drei Vier\t02 Middle.au", "03\tBell  [2JCoda\t03 End.au", ""}));
    EXPECT_TRUE(r.out.contains("\n[DE] TTITLE2=Bell\\x07\\x1b[2JCoda\n")) << r.out.toStdString();
    for (QChar control : {QChar(7), QChar(0x1b)}) EXPECT_FALSE(r.out.contains(control));
}

TEST_F(CliLookup, ACorruptEntryIsAFailure)
{
    QByteArray entry = replyBody("08-read-210-utf8-entry-proto5.txt");
    entry.replace("PLAYORDER=\r\n", "");
    m_site.onBody(Query, replyBody("01-query-200-exact.txt"));
    m_site.onBody("cddb read", entry);
    CliResult r = lookup();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.endsWith("\n[DE] .\nEntry read\nThe entry is corrupt\n")) << r.out.toStdString();
}

TEST_F(CliLookup, UnreachableServerEndsAtOnce)
{
    CliResult r = lookup({}, 30, "127.0.0.1:1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("\nCannot connect to 127.0.0.1:1: Connection refused\n")) << r.out.toStdString();
    EXPECT_LT(r.ms, 5000);
}

} // namespace
