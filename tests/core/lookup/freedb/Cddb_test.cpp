#include "core/lookup/freedb/Cddb.h"

#include "core/Text.h"
#include "core/net/FakeHttpClient.h"
#include "support/CddbTestSite.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

using namespace cantorix;
using test::FakeHttpClient;

namespace {

TCDDBDiscID exampleDisc()
{
    return TCDDBDiscID::FromSeconds({200, 180, 245});
}

// A client on a fake HTTP client that records every event in order: "SM <status>", "DE <line>",
// "MATCH <lines>"; and the typed form of each status.
struct Harness {
    FakeHttpClient::State http;
    TCddb cddb{std::make_unique<FakeHttpClient>(&http)};
    QStringList events;
    QList<TCddbStatus> typed;
    int answer = 0; // what OnMatch answers
    TMatchArray lastMatches;

    Harness()
    {
        cddb.OnStatusMessage = [this](TCddb& c, const QString& s) {
            events << "SM " + s;
            typed << c.LastStatus();
            EXPECT_EQ(c.LastStatus().Text, s);
        };
        cddb.OnDataExchange = [this](TCddb&, const QString& s) { events << "DE " + s; };
        cddb.OnMatch = [this](TCddb&, const TMatchArray& m, int& rightOne) {
            QStringList filled;
            for (const QString& x : m)
                if (!x.isEmpty()) filled << x;
            events << "MATCH " + filled.join(" | ");
            lastMatches = m;
            rightOne = answer;
        };
    }
    void reply(const QByteArray& body) { ASSERT_TRUE(FakeHttpClient::complete(&http, 0, QString(), body)); }
    QStringList statuses() const { return events.filter(QRegularExpression("^SM ")); }
};

TEST(Cddb, EscapingKeepsOnlyLettersAndDigits)
{
    EXPECT_EQ(TCddb::Escape("1.0"), "1%2E0");
    EXPECT_EQ(TCddb::Escape("Cantorix-test 0.001"), "Cantorix%2Dtest+0%2E001");
    EXPECT_EQ(TCddb::Escape(QString::fromUtf8("ö&+/")), "%C3%B6%26%2B%2F");
}

TEST(Cddb, RequestUrls)
{
    Harness h;
    TCDDBDiscID disc = exampleDisc();
    EXPECT_EQ(h.cddb.QueryUrl(disc),
              "http://gnudb.gnudb.org:80/~cddb/cddb.cgi?cmd=cddb+query+13027103+3+150+15150+28650+627"
              "&hello=cantorix+localhost+Cantorix+1%2E0&proto=6");
    h.cddb.EmailUser = "joe.average@mail.example.org";
    h.cddb.ClientName = "Cantorix-test";
    h.cddb.ClientVersion = "0.001";
    h.cddb.SetServer(ParseServerSetting("https://mirror.example:8443/cgi-bin/cddb.cgi"));
    EXPECT_EQ(h.cddb.SitesUrl(), "https://mirror.example:8443/cgi-bin/cddb.cgi?cmd=sites"
                                 "&hello=joe%2Eaverage+mail%2Eexample%2Eorg+Cantorix%2Dtest+0%2E001&proto=6");
    h.cddb.EmailUser = "nobody";
    EXPECT_TRUE(h.cddb.SitesUrl().contains("&hello=+Cantorix%2Dtest+0%2E001&proto=6"));
    h.cddb.ReadEntry();
    EXPECT_TRUE(h.http.urls.last().endsWith("&proto=6"));
}

struct ServerCase {
    const char* setting;
    const char* scheme;
    const char* host;
    const char* port;
    const char* path;
};

void PrintTo(const ServerCase& c, std::ostream* os)
{
    *os << '"' << c.setting << '"';
}

class ServerSetting : public ::testing::TestWithParam<ServerCase> {};

TEST_P(ServerSetting, HostPortOrAddress)
{
    const ServerCase& c = GetParam();
    TServerAddress a = ParseServerSetting(c.setting);
    EXPECT_EQ(a.Scheme.toStdString(), c.scheme);
    EXPECT_EQ(a.Host.toStdString(), c.host);
    EXPECT_EQ(a.Port.toStdString(), c.port);
    EXPECT_EQ(a.Path.toStdString(), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ServerSetting,
    ::testing::Values(ServerCase{"", "http", "gnudb.gnudb.org", "80", "/~cddb/cddb.cgi"},
                      ServerCase{"  freedb.example ", "http", "freedb.example", "80", "/~cddb/cddb.cgi"},
                      ServerCase{"127.0.0.1:8880", "http", "127.0.0.1", "8880", "/~cddb/cddb.cgi"},
                      ServerCase{"http://freedb.example", "http", "freedb.example", "80", "/~cddb/cddb.cgi"},
                      ServerCase{"HTTP://freedb.example:81/", "http", "freedb.example", "81", "/~cddb/cddb.cgi"},
                      ServerCase{"http://freedb.example/x/cddb.cgi", "http", "freedb.example", "80", "/x/cddb.cgi"},
                      ServerCase{"https://gnudb.gnudb.org", "https", "gnudb.gnudb.org", "443", "/~cddb/cddb.cgi"},
                      ServerCase{"[::1]:8000", "http", "[::1]", "8000", "/~cddb/cddb.cgi"},
                      ServerCase{"host:99999", "http", "host:99999", "80", "/~cddb/cddb.cgi"},
                      ServerCase{"1:0", "http", "1:0", "80", "/~cddb/cddb.cgi"}));

TEST(Cddb, ServerSettingProblemAcceptsHostsPortsAndAddressesOnly)
{
    // Every form the parser takes apart is accepted; the rest is refused with its reason.
    for (const char* good : {"", "  freedb.example ", "127.0.0.1:8880", "http://freedb.example", "HTTP://freedb.example:81/",
                             "http://freedb.example/x/cddb.cgi", "https://gnudb.gnudb.org", "[::1]:8000", "localhost"})
        EXPECT_EQ(ServerSettingProblem(good).toStdString(), "") << good;
    const struct {
        const char* text;
        const char* reason;
    } bad[] = {
        {"host:99999", "The port must be a number from 1 to 65535"},
        {"host:0", "The port must be a number from 1 to 65535"},
        {"host:", "The port must be a number from 1 to 65535"},
        {"ftp://freedb.example", "A server address begins with http:// or https://"},
        {"free db.example", "A server address cannot hold spaces"},
        {"http://freedb.example/?cmd=x", "A server address holds no \"?\", \"#\" or \"@\""},
        {"joe@freedb.example", "A server address holds no \"?\", \"#\" or \"@\""},
        {"http://", "\"http://\" is no host name, host:port or http:// address"},
        {"a<b", "\"a<b\" is no host name, host:port or http:// address"},
    };
    for (const auto& c : bad) EXPECT_EQ(ServerSettingProblem(c.text).toStdString(), c.reason) << c.text;
}

TEST(Cddb, SingleExactMatchIsChosenAndRead)
{
    Harness h;
    ASSERT_EQ(h.cddb.QueryDisc(exampleDisc()), 0);
    EXPECT_EQ(h.cddb.State(), TCddb::TState::Querying);
    h.reply(test::transcriptFixtureBody("01-query-200-exact.txt"));
    const QString match = QString::fromUtf8("rock a10b600c Motörhead / Inferno");
    EXPECT_EQ(h.events, (QStringList{"SM Querying CD", "DE " + h.http.urls[0] + "\r\n", "DE 200 " + match,
                                     "SM Found exact match", "MATCH " + match}));
    EXPECT_EQ(h.cddb.State(), TCddb::TState::MatchChosen);
    EXPECT_EQ(h.cddb.ChosenCategory(), "rock");
    EXPECT_EQ(h.cddb.ChosenDiscID(), "a10b600c");

    h.events.clear();
    ASSERT_EQ(h.cddb.ReadEntry(), 0);
    EXPECT_TRUE(h.http.urls[1].contains("?cmd=cddb+read+rock+a10b600c&hello="));
    h.reply(test::transcriptFixtureBody("07-read-210-utf8-entry-proto6.txt"));
    EXPECT_EQ(h.statuses(), (QStringList{"SM Reading CD info", "SM OK, CDDB database entry follows", "SM Entry read"}));
    EXPECT_EQ(h.cddb.State(), TCddb::TState::EntryRead);
    EXPECT_EQ(h.cddb.LastStatus().Kind, TCddbStatusKind::EntryRead);
    // Served as UTF-8 at level 6; the stored lines are text.
    EXPECT_EQ(h.cddb.GetEntryLine(0), "# xmcd");
    EXPECT_TRUE(h.cddb.EntryLines().contains(QString::fromUtf8("DTITLE=Motörhead / Inferno")));
    EXPECT_EQ(h.cddb.EntryLines().last(), "PLAYORDER=");
    EXPECT_EQ(h.cddb.GetEntryLine(1023), "");
    EXPECT_EQ(h.cddb.GetEntryLine(-1), "");
    // Every received line went to OnDataExchange, the "." included.
    EXPECT_EQ(h.events.filter(QRegularExpression("^DE ")).size(), 1 + h.cddb.EntryLines().size() + 2);
}

TEST(Cddb, MatchListsAskOnceAndTheAnswerPicksTheMatch)
{
    Harness h;
    h.answer = 1;
    h.cddb.QueryDisc(exampleDisc());
    h.reply(test::transcriptFixtureBody("02-query-210-multiple-exact.txt"));
    EXPECT_EQ(h.statuses(), (QStringList{"SM Querying CD", "SM Found exact matches", "SM OK, receiving matches",
                                         "SM Received matches"}));
    EXPECT_EQ(h.events.filter("MATCH").size(), 1);
    EXPECT_EQ(h.lastMatches[0], "misc b20cd40d Adele / 21");
    EXPECT_EQ(h.lastMatches[1], "rock b20cd40d Adele / 21");
    EXPECT_EQ(h.lastMatches[2], "");
    EXPECT_EQ(h.cddb.State(), TCddb::TState::MatchChosen);
    EXPECT_EQ(h.cddb.ChosenCategory(), "rock");
    h.cddb.ReadEntry();
    EXPECT_TRUE(h.http.urls[1].contains("cmd=cddb+read+rock+b20cd40d&"));

    Harness inexact;
    inexact.cddb.QueryDisc(exampleDisc());
    inexact.reply(test::transcriptFixtureBody("03-query-211-inexact.txt"));
    EXPECT_TRUE(inexact.statuses().contains("SM Found inexact matches"));
    EXPECT_EQ(inexact.cddb.ChosenDiscID(), "a10b600c");
}

TEST(Cddb, DecliningOrDeferringTheChoice)
{
    Harness declined;
    declined.answer = -1;
    declined.cddb.QueryDisc(exampleDisc());
    declined.reply(test::transcriptFixtureBody("02-query-210-multiple-exact.txt"));
    EXPECT_EQ(declined.cddb.State(), TCddb::TState::QueryFailed);
    EXPECT_EQ(declined.cddb.ChosenCategory(), "");

    Harness later;
    later.answer = TCddb::ChoiceLater;
    later.cddb.QueryDisc(exampleDisc());
    later.reply(test::transcriptFixtureBody("02-query-210-multiple-exact.txt"));
    EXPECT_EQ(later.cddb.State(), TCddb::TState::MatchesReceived);
    EXPECT_FALSE(later.cddb.ChooseMatch(2)); // an empty match
    EXPECT_EQ(later.cddb.State(), TCddb::TState::QueryFailed);
    EXPECT_FALSE(later.cddb.ChooseMatch(100));
    EXPECT_TRUE(later.cddb.ChooseMatch(0));
    EXPECT_EQ(later.cddb.ChosenCategory(), "misc");
    EXPECT_EQ(later.cddb.State(), TCddb::TState::MatchChosen);
}

struct FinalCase {
    QByteArray body;
    QString status;
    TCddb::TState state;
    TCddbStatusKind kind;
    int code;
};

const QString NotFreedb = "The server http://gnudb.gnudb.org:80/~cddb/cddb.cgi did not answer as a freedb server";

TEST(Cddb, EveryQueryReplyEndsTheQueryWithOneStatus)
{
    using K = TCddbStatusKind;
    using S = TCddb::TState;
    const FinalCase cases[] = {
        {test::transcriptFixtureBody("04-query-202-nomatch.txt"), "No match found", S::QueryFailed, K::NoMatch, 202},
        // Every error status ends the query with the server's own line, whatever its code.
        {"401 Permission denied.\r\n", "401 Permission denied.", S::QueryFailed, K::ServerError, 401},
        {"402 Server error.\r\n", "402 Server error.", S::QueryFailed, K::ServerError, 402},
        {"403 Database entry is corrupt.\r\n", "403 Database entry is corrupt.", S::QueryFailed, K::ServerError, 403},
        {"409 No handshake.\r\n", "409 No handshake.", S::QueryFailed, K::ServerError, 409},
        {"417 Limit exceeded\r\n", "417 Limit exceeded", S::QueryFailed, K::ServerError, 417},
        {"433 No connections allowed: 10 users allowed, 10 currently active.\r\n",
         "433 No connections allowed: 10 users allowed, 10 currently active.", S::QueryFailed, K::ServerError, 433},
        {"500 Command syntax error.\r\n", "500 Command syntax error.", S::QueryFailed, K::ServerError, 500},
        {"501 Invalid category: metal\r\n", "501 Invalid category: metal", S::QueryFailed, K::ServerError, 501},
        {"530 Server timeout\r\n", "530 Server timeout", S::QueryFailed, K::ServerError, 530},
        {"230 Bye\r\n", "230 Bye", S::QueryFailed, K::ServerError, 230},
        // A list without any match ends the query instead of offering nothing.
        {"210 Found exact matches\r\n.\r\n", "No match found", S::QueryFailed, K::NoMatch, 0},
        // The body has ended: a list without its "." was cut short.
        {"211 Found inexact matches\r\nrock 12345678 A / B\r\n", "The match list is corrupt", S::QueryFailed,
         K::CorruptEntry, 211},
        // A 200 line must name a match; a list must hold match lines.
        {"200\r\n", NotFreedb, S::RequestFailed, K::RequestFailed, 0},
        {"200 OK\r\n\x1b[2J\x07garbage\r\n", NotFreedb, S::RequestFailed, K::RequestFailed, 0},
        {"200 rock a10b600 Short / ID\r\n", NotFreedb, S::RequestFailed, K::RequestFailed, 0},
        {"200 rock a10b600c\r\n", NotFreedb, S::RequestFailed, K::RequestFailed, 0},
        {"200 ro/ck a10b600c A / B\r\n", NotFreedb, S::RequestFailed, K::RequestFailed, 0},
        {"211 Found inexact matches\r\n<html>\r\n.\r\n", NotFreedb, S::RequestFailed, K::RequestFailed, 0},
    };
    for (const FinalCase& c : cases) {
        Harness h;
        h.cddb.QueryDisc(exampleDisc());
        h.reply(c.body);
        EXPECT_EQ(h.statuses().last(), "SM " + c.status) << c.body.toStdString();
        EXPECT_EQ(h.cddb.State(), c.state) << c.body.toStdString();
        EXPECT_EQ(h.events.filter("MATCH").size(), 0) << c.body.toStdString();
        EXPECT_EQ(h.cddb.LastStatus().Kind, c.kind) << c.body.toStdString();
        EXPECT_EQ(h.cddb.LastStatus().Code, c.code) << c.body.toStdString();
        EXPECT_EQ(h.typed.first().Kind, K::Progress); // "Querying CD"
        // One final status; the progress texts of a list come before it.
        for (qsizetype i = 0; i + 1 < h.typed.size(); ++i) EXPECT_EQ(h.typed[i].Kind, K::Progress) << c.body.toStdString();
    }
}

TEST(Cddb, ControlCharactersOfAReplyAreShownEscaped)
{
    Harness h;
    h.cddb.QueryDisc(exampleDisc());
    h.reply(QByteArray("403 \x1b[31mred\x07 and\tmore") + QByteArray(1, '\0') + "x\r\n");
    EXPECT_EQ(h.events.mid(2), (QStringList{"DE 403 \\x1b[31mred\\x07 and\tmore\\x00x",
                                            "SM 403 \\x1b[31mred\\x07 and\\tmore\\x00x"}));

    // A match line's title is a value: its control characters become spaces.
    Harness list;
    list.cddb.QueryDisc(exampleDisc());
    list.reply("211 Found inexact matches\r\nrock 12345678 A\x1b / B\x07\r\nmisc 12345679 C / D\r\n.\r\n");
    EXPECT_EQ(list.lastMatches[0], "rock 12345678 A  / B");
    EXPECT_TRUE(list.events.contains("DE rock 12345678 A\\x1b / B\\x07"));
}

TEST(Cddb, LinesThatNameNoMatchAreDroppedFromAList)
{
    Harness h;
    h.answer = 1;
    h.cddb.QueryDisc(exampleDisc());
    h.reply("211 Found inexact matches\r\nrock 12345678 A / B\r\n500 Oops\r\n\r\njunk\r\nmisc 1234567z C / D\r\n"
            "jazz ABCDEF09 E / F\r\n.\r\nrock 87654321 After / The End\r\n");
    EXPECT_EQ(h.lastMatches[0], "rock 12345678 A / B");
    EXPECT_EQ(h.lastMatches[1], "jazz ABCDEF09 E / F");
    EXPECT_EQ(h.lastMatches[2], "");
    EXPECT_EQ(h.cddb.MatchesOffered(), 2);
    EXPECT_EQ(h.cddb.ChosenCategory(), "jazz");
    EXPECT_FALSE(h.events.contains("DE rock 87654321 After / The End")); // past the list's end

    for (const char* line : {"rock 12345678 A / B", "Blues 0a0B0c0D x", "misc 12345678  spaced"})
        EXPECT_TRUE(TCddb::IsMatchLine(line)) << line;
    for (const char* line : {"", "rock", "rock 12345678", "rock 12345678 ", "rock 1234567 A / B", "rock  12345678 A",
                             "rock 12345678A / B", " rock 12345678 A", "ro.ck 12345678 A", "rock 1234567g A"})
        EXPECT_FALSE(TCddb::IsMatchLine(line)) << line;
}

TEST(Cddb, ReadFailuresSayOnlyTheServersReason)
{
    const std::pair<QByteArray, TCddbStatusKind> failures[] = {
        {test::transcriptFixtureBody("14-read-401-not-found.txt"), TCddbStatusKind::NotFound},
        {"403 Database entry is corrupt.\r\n", TCddbStatusKind::ServerError},
        {"409 No handshake.\r\n", TCddbStatusKind::ServerError},
        {"502 Protocol level already 6.\r\n", TCddbStatusKind::ServerError},
        {"530 Server error, closing connection.\r\n", TCddbStatusKind::ServerError},
        {test::transcriptFixtureBody("16-read-bad-discid.txt"), TCddbStatusKind::ServerError},
    };
    for (const auto& [body, kind] : failures) {
        Harness h;
        h.cddb.ReadEntry();
        h.reply(body);
        const QString line = QString::fromLatin1(body).trimmed();
        EXPECT_EQ(h.statuses(), (QStringList{"SM Reading CD info", "SM " + line})) << line.toStdString();
        EXPECT_EQ(h.cddb.State(), TCddb::TState::ReadFailed);
        EXPECT_EQ(h.cddb.LastStatus().Kind, kind) << line.toStdString();
        EXPECT_EQ(h.cddb.LastStatus().Code, line.left(3).toInt());
    }

    // After a good entry, a 401 leaves that entry in place.
    Harness again;
    again.cddb.ReadEntry();
    again.reply(test::transcriptFixtureBody("10-read-210-latin1-entry-proto5.txt"));
    const QStringList held = again.cddb.EntryLines();
    again.events.clear();
    again.cddb.ReadEntry();
    again.reply(test::transcriptFixtureBody("14-read-401-not-found.txt"));
    EXPECT_EQ(again.statuses(), (QStringList{"SM Reading CD info", "SM 401 rock deadbeef No such CD entry in database."}));
    EXPECT_EQ(again.cddb.EntryLines(), held);

    // A body that is no CDDB reply at all fails at once; only its first line is echoed, cut short.
    Harness html;
    html.cddb.ReadEntry();
    html.reply("<html>" + QByteArray(300, 'x') + "\n<body>Not here</body>\n402 x\n.\n");
    EXPECT_EQ(html.events.mid(html.events.size() - 2), (QStringList{"DE <html>" + QString(194, 'x'), "SM " + NotFreedb}))
        << html.events.join("\n").toStdString();
    EXPECT_EQ(html.cddb.State(), TCddb::TState::RequestFailed);
    EXPECT_EQ(html.cddb.LastStatus().Kind, TCddbStatusKind::RequestFailed);
}

TEST(Cddb, AnEntryEndsAtItsTerminatorOrIsCorrupt)
{
    const QByteArray entry = test::transcriptFixtureBody("07-read-210-utf8-entry-proto6.txt");
    const qsizetype dot = entry.lastIndexOf("\r\n.\r\n");
    ASSERT_GT(dot, 0);
    const QStringList begun = {"SM Reading CD info", "SM OK, CDDB database entry follows"};
    const struct {
        const char* what;
        QByteArray body;
        QStringList statuses; // after the two of every entry
        TCddb::TState state;
    } cases[] = {
        {"whole", entry, {"SM Entry read"}, TCddb::TState::EntryRead},
        {"no terminator: cut short", entry.left(dot + 2), {"SM The entry is corrupt"}, TCddb::TState::ReadFailed},
        {"a status line inside", QByteArray(entry).insert(dot + 2, "500 Internal error\r\n"),
         {"SM Entry read", "SM The entry is corrupt"}, TCddb::TState::EntryRead},
        {"lines after the terminator are no part of it", entry + "TTITLE0=Evil\r\n", {"SM Entry read"},
         TCddb::TState::EntryRead},
    };
    for (const auto& c : cases) {
        Harness h;
        h.cddb.ReadEntry();
        h.reply(c.body);
        EXPECT_EQ(h.statuses(), begun + c.statuses) << c.what;
        EXPECT_EQ(h.cddb.State(), c.state) << c.what;
        EXPECT_FALSE(h.cddb.EntryLines().contains("TTITLE0=Evil")) << c.what;
        EXPECT_FALSE(h.events.contains("DE TTITLE0=Evil")) << c.what;
    }
}

TEST(Cddb, ARefusedLevelIsAskedOnceMoreBelowIt)
{
    // cddbd names only the level it refused: the query goes again at 5, and so does the read after it.
    Harness h;
    h.cddb.QueryDisc(exampleDisc());
    h.reply(test::transcriptFixtureBody("22-proto-too-high.txt"));
    ASSERT_EQ(h.http.urls.size(), 2);
    EXPECT_TRUE(h.http.urls[1].endsWith("&proto=5"));
    EXPECT_EQ(h.cddb.ProtocolLevel(), 5);
    EXPECT_TRUE(h.statuses().contains("SM The server refused protocol level 6; asking again at level 5"));
    EXPECT_EQ(h.cddb.State(), TCddb::TState::Querying);
    // At level 5 the reply is ISO-8859-1, even where its bytes would also be UTF-8.
    h.reply("200 rock a10b600c Mot\xc3\xb6rhead / Inferno\r\n");
    EXPECT_EQ(h.cddb.Matches()[0], QString::fromLatin1("rock a10b600c Mot\xc3\xb6rhead / Inferno"));
    h.cddb.ReadEntry();
    EXPECT_TRUE(h.http.urls.last().endsWith("&proto=5"));
    h.reply(test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt"));
    EXPECT_TRUE(h.cddb.EntryLines().contains(QString::fromUtf8("DTITLE=Motörhead / Inferno")));

    // A level the line names below the refused one is taken; a second refusal ends the request.
    Harness named;
    named.cddb.ReadEntry();
    named.reply("501 Illegal CDDB protocol level: 6. Supported: 1-3.\r\n");
    EXPECT_TRUE(named.http.urls.last().endsWith("&proto=3"));
    named.reply("501 Illegal CDDB protocol level: 3.\r\n");
    EXPECT_EQ(named.http.urls.size(), 2);
    EXPECT_EQ(named.statuses().last(), "SM 501 Illegal CDDB protocol level: 3.");
    EXPECT_EQ(named.cddb.State(), TCddb::TState::ReadFailed);

    // Another server starts at level 6 again.
    named.cddb.SetServer(ParseServerSetting("other.example"));
    EXPECT_EQ(named.cddb.ProtocolLevel(), 6);
    EXPECT_TRUE(named.cddb.SitesUrl().endsWith("&proto=6"));
}

TEST(Cddb, AMentionOfTheAddressPointsToTheSetting)
{
    Harness h;
    h.cddb.QueryDisc(exampleDisc());
    h.reply("500 Unknown developer email\r\n");
    EXPECT_TRUE(h.cddb.LastStatus().Text.startsWith("500 Unknown developer email ("));
    EXPECT_TRUE(h.cddb.LastStatus().Text.contains(QString::fromUtf8("Options › Connection")));
    EXPECT_EQ(h.cddb.LastStatus().Kind, TCddbStatusKind::ServerError);
}

TEST(Cddb, EntryLinesAreKeptAsTheyCame)
{
    // Level 6 serves an entry stored in ISO-8859-1 as UTF-8; an old server's bytes may mix both.
    Harness latin1;
    latin1.cddb.ReadEntry();
    latin1.reply(test::transcriptFixtureBody("09-read-210-latin1-entry-proto6.txt"));
    EXPECT_TRUE(latin1.cddb.EntryLines().contains(QString::fromUtf8("DTITLE=Die Ärzte / Ein Schwein namens Männer")));
    EXPECT_TRUE(latin1.cddb.EntryLines().contains("# Track frame offsets: ")); // trailing space and all

    Harness h;
    h.cddb.ReadEntry();
    h.reply("210 misc 13027103 CD database entry follows\r\nDTITLE=Caf\xc3\xa9 /\r\nDTITLE= Caf\xe9\r\n"
            "TTITLE0=Eins \r\nTTITLE0= Zwei\t\r\n.\r\n");
    EXPECT_EQ(h.cddb.EntryLines(), (QStringList{QString::fromUtf8("DTITLE=Café /"), QString::fromUtf8("DTITLE= Café"),
                                                "TTITLE0=Eins ", "TTITLE0= Zwei\t"}));
    EXPECT_EQ(h.events.filter("DE TTITLE0"), (QStringList{"DE TTITLE0=Eins ", "DE TTITLE0= Zwei\t"}));
}

TEST(Cddb, FinalLineWithoutLineEndIsParsed)
{
    Harness h;
    h.cddb.QueryDisc(exampleDisc());
    h.reply("211 Found inexact matches\r\nrock 12345678 A / B\r\n.");
    EXPECT_EQ(h.statuses().last(), "SM Received matches");
    EXPECT_EQ(h.cddb.State(), TCddb::TState::MatchChosen);
}

TEST(Cddb, CapacitiesDropWhatComesBeyond)
{
    Harness h;
    h.answer = 99;
    QByteArray body = "211 Found inexact matches\r\n";
    for (int i = 0; i < 150; ++i) body += "rock " + QByteArray::number(10000000 + i) + " Artist / Album\r\n";
    body += ".\r\n";
    h.cddb.QueryDisc(exampleDisc());
    h.reply(body);
    EXPECT_EQ(h.lastMatches[0], "rock 10000000 Artist / Album");
    EXPECT_EQ(h.lastMatches[99], "rock 10000099 Artist / Album");
    EXPECT_EQ(h.cddb.ChosenDiscID(), "10000099");

    QByteArray entry = "210 rock 12345678 CD database entry follows\r\n";
    for (int i = 0; i < 1100; ++i) entry += "TTITLE" + QByteArray::number(i) + "=t\r\n";
    entry += ".\r\n";
    h.cddb.ReadEntry();
    h.reply(entry);
    EXPECT_EQ(h.cddb.EntryLines().size(), 1024);
    EXPECT_EQ(h.cddb.GetEntryLine(1023), "TTITLE1023=t");
    EXPECT_EQ(h.cddb.GetEntryLine(0), "TTITLE0=t");

    QByteArray sites = "210 OK, site information follows\r\n";
    for (int i = 0; i < 120; ++i) sites += "host" + QByteArray::number(i) + " http 80 /~cddb/cddb.cgi N0 W0 x\r\n";
    sites += ".\r\n";
    h.cddb.QuerySites();
    h.reply(sites);
    EXPECT_EQ(h.cddb.GetServer(99).Site, "host99");
    EXPECT_EQ(h.cddb.GetServer(100).Site, "");
}

TEST(Cddb, SitesReply)
{
    Harness h;
    h.cddb.QuerySites();
    QByteArray body = test::transcriptFixtureBody("17-sites-proto6.txt");
    // A status line among the servers has no port number: it is skipped, and so is a line without one.
    body.insert(body.indexOf("freedb.example"), "500 Command syntax error.\r\nshort line\r\n");
    h.reply(body);
    EXPECT_EQ(h.statuses(), (QStringList{"SM Getting sites", "SM OK, receiving sites", "SM Got sites"}));
    EXPECT_EQ(h.cddb.State(), TCddb::TState::SitesReceived);
    TServer s0 = h.cddb.GetServer(0), s1 = h.cddb.GetServer(1), s2 = h.cddb.GetServer(2);
    EXPECT_EQ(s0.Site, "localhost");
    EXPECT_FALSE(s0.IsHTTP);
    EXPECT_EQ(s0.Port, 8880);
    EXPECT_EQ(s0.Address, "-");
    EXPECT_TRUE(s1.IsHTTP);
    EXPECT_EQ(s1.Port, 80);
    EXPECT_EQ(s2.Site, "freedb.example");
    EXPECT_EQ(s2.Address, "/~cddb/cddb.cgi");
    EXPECT_EQ(s2.Location.Latitude, "N037.21");
    EXPECT_EQ(s2.Location.Longitude, "W121.55");
    EXPECT_EQ(s2.Location.Description, "Example mirror, San Jose, CA USA");
    EXPECT_EQ(h.cddb.GetServer(3).Site, "");

    Harness none;
    none.cddb.QuerySites();
    none.reply("401 No site information available.\r\n");
    EXPECT_EQ(none.cddb.State(), TCddb::TState::NoSites);
    EXPECT_EQ(none.statuses().last(), "SM No site information available");
    EXPECT_EQ(none.cddb.LastStatus().Kind, TCddbStatusKind::NotFound);
}

TEST(Cddb, GenericStatusTexts)
{
    const std::pair<const char*, const char*> cases[] = {
        {"402 x", "Server error"},
        {"408", "CGI environment error"},
        {"500 x", "Command syntax error, command unknown, command unimplemented"},
        {"530 x", "Server error, server timeout"},
        {"221 x", "Command OK"},
        {"230 x", "Command OK, connection will close"},
        {"100 x", "Informative message, ready for further commands"},
        {"310 x", "Command OK so far, more server-to-client output follows"},
        {"320 x", "Command OK so far, more client-to-server input follows"},
        {"411 x", "Command OK, but cannot be performed"},
        {"599 x", "Command unimplemented, incorrect, or program error"},
        {"610 x", ", more server-to-client output follows"},
        {"42", ""},
        {"4x2", ""},
    };
    for (const auto& [line, text] : cases) EXPECT_EQ(TCddb::GenericStatusText(line), text) << line;
    bool closes = false;
    TCddb::GenericStatusText("530 x", &closes);
    EXPECT_TRUE(closes);
}

TEST(Cddb, TransportFailures)
{
    Harness refused;
    refused.http.refuseWith = "Invalid URL";
    EXPECT_EQ(refused.cddb.QueryDisc(exampleDisc()), -1);
    EXPECT_EQ(refused.cddb.State(), TCddb::TState::RequestFailed);
    EXPECT_EQ(refused.statuses().last(),
              "SM Cannot connect to gnudb.gnudb.org:80: Invalid URL");
    EXPECT_EQ(refused.cddb.LastStatus().Kind, TCddbStatusKind::RequestFailed);

    // Text that names no server stays the host; glued into a URL it would ask another host ("ftp")
    // with another path, so no request starts, and the reason is one line.
    for (const char* setting : {"ftp://evil.com", "a\x1b[2Jb c", "host:99999", "1:0"}) {
        Harness bad;
        bad.cddb.SetServer(ParseServerSetting(setting));
        EXPECT_EQ(bad.cddb.QuerySites(), -1) << setting;
        EXPECT_TRUE(bad.http.urls.isEmpty()) << setting;
        EXPECT_EQ(bad.cddb.State(), TCddb::TState::RequestFailed);
        EXPECT_EQ(bad.statuses().last(),
                  "SM Cannot connect to " + EscapeControls(setting) + ":80: no valid server address");
    }

    Harness failed;
    failed.cddb.QueryDisc(exampleDisc());
    ASSERT_TRUE(FakeHttpClient::complete(&failed.http, 1, "Connection refused", QByteArray()));
    EXPECT_EQ(failed.cddb.State(), TCddb::TState::RequestFailed);
    EXPECT_EQ(failed.statuses().last(),
              "SM Cannot connect to gnudb.gnudb.org:80: Connection refused");
    EXPECT_EQ(failed.cddb.LastStatus().Kind, TCddbStatusKind::RequestFailed);
}

TEST(Cddb, RepliesToAbandonedRequestsAreDropped)
{
    Harness h;
    h.cddb.QueryDisc(exampleDisc());
    const quint64 first = h.cddb.RequestSerial();
    h.cddb.QuerySites();
    h.events.clear();
    h.cddb.HandleReply(first, 0, QString(), test::transcriptFixtureBody("01-query-200-exact.txt"));
    EXPECT_TRUE(h.events.isEmpty());
    EXPECT_EQ(h.cddb.State(), TCddb::TState::GettingSites);

    h.cddb.Abort();
    EXPECT_FALSE(FakeHttpClient::complete(&h.http, 0, QString(), "."));
    EXPECT_EQ(h.cddb.State(), TCddb::TState::Idle);
}

TEST(Cddb, ProxyGoesToTheHttpClient)
{
    Harness h;
    h.cddb.SetProxyAddress("proxy.example");
    h.cddb.SetProxyPort("3128");
    h.cddb.SetProxyUsername("u");
    h.cddb.SetProxyPassword("p");
    h.cddb.QuerySites();
    EXPECT_EQ(h.http.lastProxy.Address, "proxy.example");
    EXPECT_EQ(h.http.lastProxy.Port, "3128");
    EXPECT_EQ(h.http.lastProxy.Username, "u");
    EXPECT_EQ(h.http.lastProxy.Password, "p");
    EXPECT_EQ(h.cddb.ProxyPort(), "3128");
}

} // namespace
