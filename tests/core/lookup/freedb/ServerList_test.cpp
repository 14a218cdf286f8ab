// The freedb server list: which records of a sites reply are kept, how a new list is stored, and the
// request as the options window and `cantorix-cli sites` run it, fed with real server replies.
#include "core/lookup/freedb/ServerList.h"

#include "core/album/SettingsValues.h"

#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "core/net/FakeHttpClient.h"
#include "support/CddbTestSite.h"
#include "support/SettingsFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace cantorix;
using namespace cantorix::test;

namespace {

TServer record(const char* site, bool http, int port)
{
    TServer r;
    r.Site = site;
    r.IsHTTP = http;
    r.Port = port;
    return r;
}

TEST(ServerList, UsableSitesAreHttpServersOnPort80OncePerHost)
{
    const std::vector<TServer> records = {
        record("mirror.example", false, 8880), // the CDDB protocol port of a mirror
        record("mirror.example", true, 80),
        record("Mirror.Example", true, 80),    // the same host again
        record("b.example", true, 8080),
        record("a-1.example", true, 80),
        record("evil=key", true, 80),          // would become another settings key
        record("[Main]", true, 80),
        record(";comment", true, 80),
        record("-x.example", true, 80),
        record("", true, 80),
        record("Z.example", true, 80),
    };
    EXPECT_EQ(UsableSites(records), (QStringList{"a-1.example", "mirror.example", "Z.example"}));
    EXPECT_EQ(UsableSites({record(std::string(254, 'a').c_str(), true, 80)}), QStringList());
}

TEST(ServerList, StoringKeepsTheChosenServerWhileTheListOffersIt)
{
    struct Case {
        const char* name;
        std::string ini;
        QStringList hosts;
        bool changed;
        QString server; // "Server" afterwards
        QStringList section;
    };
    const QStringList two{"a.example", "b.example"};
    const Case cases[] = {
        {"chosen server in the list", "[Connection]\nServer=b.example\n", two, true, "b.example", two},
        {"compared without case", "[Connection]\nServer=B.Example\n", two, true, "B.Example", two},
        {"chosen server gone: the first", "[Connection]\nServer=old.example\n", two, true, "a.example", two},
        {"no server set, default in list", "", {"gnudb.gnudb.org", "x.example"}, true, "", {"gnudb.gnudb.org", "x.example"}},
        {"no server set, default not in list", "", two, true, "a.example", two},
        {"old list replaced", "[FreeDB_sites]\nold.example=old.example\n", two, true, "a.example", two},
        {"empty list changes nothing", "[Connection]\nServer=old.example\n[FreeDB_sites]\nold.example=old.example\n", {},
         false, "old.example", {"old.example"}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        TSettings s = settingsFile(dir, c.ini);
        const TServerListStore stored = StoreServerList(s, c.hosts);
        EXPECT_EQ(stored.Changed, c.changed) << c.name;
        EXPECT_EQ(stored.Server, c.server) << c.name;
        EXPECT_EQ(s.get(setting::Server), c.server) << c.name;
        EXPECT_EQ(s.readSection(setting::FreeDBSitesSection), c.section) << c.name;
        for (const QString& host : c.section)
            EXPECT_EQ(s.readString(setting::FreeDBSitesSection, host, {}), host) << c.name;
        EXPECT_EQ(stored.Reason.isEmpty(), c.changed) << c.name;
    }
}

struct QueryHarness {
    FakeHttpClient::State http;
    TServerListQuery query{std::make_unique<FakeHttpClient>(&http)};
    QStringList log;
    QList<TServerListOutcome> outcomes;

    QueryHarness()
    {
        QObject::connect(&query, &TServerListQuery::logLine, [this](const QString& l) { log << l; });
        QObject::connect(&query, &TServerListQuery::finished, [this](const TServerListOutcome& o) { outcomes << o; });
        query.start(TLookupConfig());
    }
    void reply(const QByteArray& body) { ASSERT_TRUE(FakeHttpClient::complete(&http, 0, QString(), body)); }
};

TEST(ServerListQuery, RealRepliesAndFailures)
{
    struct Case {
        const char* name;
        QByteArray body;
        bool ok;
        QStringList hosts;
        QString reason;
    };
    const Case cases[] = {
        {"level 6 list", transcriptFixtureBody("17-sites-proto6.txt"), true, {"freedb.example", "localhost"}, ""},
        // Level 1 records carry no protocol field: none of them is an HTTP server.
        {"level 1 list", transcriptFixtureBody("18-sites-proto1.txt"), true, {}, ""},
        {"401", "401 No site information available.\r\n", false, {}, "No site information available"},
        {"500", "500 Unrecognized command.\r\n", false, {}, "Command syntax error, command unknown, command unimplemented"},
        {"junk lines", "<html>\r\nnot a server\r\n", false, {}, "did not answer as a freedb server"},
        {"list without its end", "210 OK\r\nx.example http 80 /~cddb/cddb.cgi N0 W0 x\r\n", false, {},
         "The server list ended without its closing line"},
        {"junk inside a list", "210 OK\r\n\x01\x02 junk\r\nno port here\r\nhost http eighty\r\n.\r\n", true, {}, ""},
    };
    for (const Case& c : cases) {
        QueryHarness h;
        EXPECT_TRUE(h.query.running()) << c.name;
        h.reply(c.body);
        ASSERT_EQ(h.outcomes.size(), 1) << c.name;
        EXPECT_FALSE(h.query.running()) << c.name;
        EXPECT_EQ(h.outcomes[0].Ok, c.ok) << c.name;
        EXPECT_EQ(h.outcomes[0].Hosts, c.hosts) << c.name;
        EXPECT_TRUE(h.outcomes[0].Reason.contains(c.reason)) << c.name << ": " << h.outcomes[0].Reason.toStdString();
        EXPECT_EQ(h.http.urls.size(), 1) << c.name;
        EXPECT_TRUE(h.http.urls.value(0).contains("?cmd=sites&")) << c.name;
    }
}

TEST(ServerListQuery, LogsTheExchangeInOrder)
{
    QueryHarness h;
    h.reply(transcriptFixtureBody("17-sites-proto6.txt"));
    ASSERT_GE(h.log.size(), 4);
    EXPECT_EQ(h.log[0], "[SM] Getting sites");
    EXPECT_TRUE(h.log[1].startsWith("[DE] http://gnudb.gnudb.org:80/~cddb/cddb.cgi?cmd=sites&")) << h.log[1].toStdString();
    EXPECT_EQ(h.log[2], "[DE] 210 OK, site information follows (until terminating `.')");
    EXPECT_EQ(h.log[3], "[SM] OK, receiving sites");
    EXPECT_EQ(h.log.last(), "[SM] Got sites");
}

TEST(ServerListQuery, AbortEndsWithoutAnOutcome)
{
    QueryHarness h;
    h.query.abort();
    EXPECT_FALSE(h.query.running());
    EXPECT_FALSE(FakeHttpClient::complete(&h.http, 0, QString(), transcriptFixtureBody("17-sites-proto6.txt")));
    EXPECT_TRUE(h.outcomes.isEmpty());
}

TEST(ServerListQuery, ARefusedRequestFailsAtOnce)
{
    FakeHttpClient::State http;
    http.refuseWith = "Invalid URL";
    TServerListQuery query{std::make_unique<FakeHttpClient>(&http)};
    QSignalSpy finished(&query, &TServerListQuery::finished);
    query.start(TLookupConfig());
    ASSERT_EQ(finished.size(), 1);
    const auto outcome = finished[0][0].value<TServerListOutcome>();
    EXPECT_FALSE(outcome.Ok);
    EXPECT_TRUE(outcome.Reason.contains("Invalid URL"));
    EXPECT_FALSE(query.running());
}

} // namespace
