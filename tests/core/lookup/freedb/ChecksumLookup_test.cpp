#include "core/lookup/freedb/ChecksumLookup.h"

#include "core/net/FakeHttpClient.h"
#include "support/CddbTestSite.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

using namespace cantorix;
using test::FakeHttpClient;
using test::waitUntil;

namespace {

const QString Folder = "/music/Album/";

// A lookup on a fake HTTP client, with everything it signals recorded.
struct Harness {
    FakeHttpClient::State* http = new FakeHttpClient::State; // owned here, outlives the lookup
    std::unique_ptr<TChecksumLookup> lookup;
    TLookupConfig config;
    QStringList log;
    QList<QStringList> choices;
    QList<AlbumRecord> entries;
    QList<TLookupOutcome> outcomes;
    int starts = 0, ends = 0, timeouts = 0;
    bool confirmInexact = false;
    QList<QList<TCandidateFit>> fits; // candidateFits() at each offer
    std::function<void(const QStringList&)> chooser;

    Harness()
    {
        lookup = std::make_unique<TChecksumLookup>(std::make_unique<FakeHttpClient>(http));
        QObject::connect(lookup.get(), &TLookupSource::logLine, [this](const QString& l) { log << l; });
        QObject::connect(lookup.get(), &TLookupSource::candidatesFound, [this](const QStringList& m, int preselected) {
            EXPECT_EQ(preselected, 0);
            choices << m;
            fits << lookup->candidateFits();
            if (chooser) chooser(m);
        });
        QObject::connect(lookup.get(), &TLookupSource::finished, [this](const TLookupOutcome& o) {
            EXPECT_EQ(o.folder, Folder);
            EXPECT_FALSE(o.needsPairing); // title k belongs to file k
            ++ends;
            if (o.kind == TLookupOutcome::Kind::TimedOut) ++timeouts;
            if (o.kind == TLookupOutcome::Kind::EntryRead) entries << o.record;
            outcomes << o;
        });
    }
    ~Harness()
    {
        lookup.reset();
        delete http;
    }
    void answer(const QString& urlPart, const QByteArray& body) { http->auto_ << qMakePair(urlPart, body); }
    void start(const QString& folder = Folder)
    {
        TLookupRequest request;
        request.Folder = folder;
        request.ConfirmInexact = confirmInexact;
        for (int seconds : {200, 180, 245}) request.Lengths << TTrackLength{seconds, seconds * 1000LL, 0, 0, true};
        lookup->setConfig(config);
        if (lookup->start(request)) ++starts;
    }
    bool waitForEnd(int count = 1) { return waitUntil([&] { return ends >= count; }); }
};

TEST(ChecksumLookup, SingleExactMatchLogsTheWholeExchange)
{
    Harness h;
    h.answer("cddb+query", test::transcriptFixtureBody("01-query-200-exact.txt"));
    h.answer("cddb+read+rock+a10b600c", test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt"));
    h.start();
    EXPECT_EQ(h.starts, 1);
    EXPECT_TRUE(h.lookup->timerActive());
    ASSERT_TRUE(h.waitForEnd());

    ASSERT_EQ(h.http->urls.size(), 2);
    EXPECT_EQ(h.http->urls[0], "http://gnudb.gnudb.org:80/~cddb/cddb.cgi?cmd=cddb+query+13027103+3+150+15150+28650+627"
                               "&hello=cantorix+localhost+Cantorix+1%2E0&proto=6");
    const QString match = QString::fromUtf8("rock a10b600c Motörhead / Inferno");
    QStringList expected = {"Querying CD", "[DE] " + h.http->urls[0], "[DE] 200 " + match, "Found exact match",
                            "Reading CD info", "[DE] " + h.http->urls[1],
                            "[DE] 210 rock a10b600c CD database entry follows (until terminating `.')",
                            "OK, CDDB database entry follows"};
    for (const QString& line : h.lookup->cddb().EntryLines()) expected << "[DE] " + line;
    expected << "[DE] ."
             << "Entry read";
    EXPECT_EQ(h.log, expected);

    ASSERT_EQ(h.entries.size(), 1);
    const AlbumRecord& r = h.entries[0];
    EXPECT_EQ(r.Artist, QString::fromUtf8("Motörhead"));
    EXPECT_EQ(r.Album, "Inferno");
    EXPECT_EQ(r.Year, "2004");
    EXPECT_EQ(r.Genre, "Metal");
    ASSERT_EQ(r.Titles.size(), 12);
    EXPECT_EQ(r.Titles[11].No, "12");
    EXPECT_EQ(r.Titles[11].Title, "Whorehouse Blues");
    EXPECT_EQ(h.ends, 1);
    EXPECT_FALSE(h.lookup->timerActive());
    EXPECT_TRUE(h.choices.isEmpty());
}

TEST(ChecksumLookup, HideDataKeepsOnlyTheStatusTexts)
{
    Harness h;
    h.config.HideData = true;
    h.answer("cddb+query", test::transcriptFixtureBody("01-query-200-exact.txt"));
    h.answer("cddb+read", test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt"));
    h.start();
    ASSERT_TRUE(h.waitForEnd());
    EXPECT_EQ(h.log, (QStringList{"Querying CD", "Found exact match", "Reading CD info",
                                  "OK, CDDB database entry follows", "Entry read"}));
}

TEST(ChecksumLookup, ConfigShapesTheRequest)
{
    Harness h;
    h.config.Server = ParseServerSetting("http://127.0.0.1:8080/cgi/cddb.cgi");
    h.config.Email = "joe@example.org";
    h.config.Proxy.Address = "proxy.example";
    h.config.Proxy.Port = "3128";
    h.start();
    ASSERT_EQ(h.http->urls.size(), 1);
    EXPECT_TRUE(h.http->urls[0].startsWith("http://127.0.0.1:8080/cgi/cddb.cgi?cmd=cddb+query+13027103+"));
    EXPECT_TRUE(h.http->urls[0].contains("&hello=joe+example%2Eorg+Cantorix+1%2E0&proto=6"));
    EXPECT_EQ(h.http->lastProxy.Address, "proxy.example");
    EXPECT_EQ(h.http->lastProxy.Port, "3128");

    // The time limit stays within a second and a day.
    for (auto [given, taken] : {std::pair{30, 30}, {0, 1}, {-5, 1}, {99999999, 86400}}) {
        h.config.TimeoutSeconds = given;
        h.start();
        EXPECT_EQ(h.lookup->timeoutSeconds(), taken) << given;
    }
}

TEST(ChecksumLookup, SeveralMatchesReadTheChosenOne)
{
    Harness h;
    h.chooser = [&](const QStringList&) { h.lookup->choose(1); };
    h.answer("cddb+query", test::transcriptFixtureBody("02-query-210-multiple-exact.txt"));
    h.answer("cddb+read+rock+b20cd40d", test::transcriptFixtureBody("10-read-210-latin1-entry-proto5.txt"));
    h.start();
    ASSERT_TRUE(h.waitForEnd());
    ASSERT_EQ(h.choices.size(), 1);
    EXPECT_EQ(h.choices[0], (QStringList{"misc b20cd40d Adele / 21", "rock b20cd40d Adele / 21"}));
    ASSERT_EQ(h.http->urls.size(), 2);
    EXPECT_TRUE(h.http->urls[1].contains("cmd=cddb+read+rock+b20cd40d&"));
    ASSERT_EQ(h.entries.size(), 1);
    EXPECT_EQ(h.entries[0].Artist, QString::fromUtf8("Die Ärzte"));
}

// Whoever chooses without a person learns which matches are exact; a single inexact match is read at
// once, unless the caller asked to confirm it.
TEST(ChecksumLookup, TheMatchesSayWhetherTheyAreExact)
{
    const struct {
        const char* what;
        const char* query;
        bool confirm;
        int offers;
        QList<bool> exact;
    } cases[] = {
        {"several exact", "02-query-210-multiple-exact.txt", false, 1, {true, true}},
        {"one inexact, read at once", "03-query-211-inexact.txt", false, 0, {}},
        {"one inexact, offered", "03-query-211-inexact.txt", true, 1, {false}},
        {"one exact is never offered", "01-query-200-exact.txt", true, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Harness h;
        h.confirmInexact = c.confirm;
        h.chooser = [&](const QStringList&) { h.lookup->choose(0); };
        h.answer("cddb+query", test::transcriptFixtureBody(c.query));
        h.answer("cddb+read", test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt"));
        h.start();
        ASSERT_TRUE(h.waitForEnd());
        EXPECT_EQ(h.choices.size(), c.offers);
        EXPECT_EQ(h.entries.size(), 1);
        if (c.offers == 0) continue;
        QList<bool> exact;
        for (const TCandidateFit& f : h.fits[0]) {
            exact << f.Exact;
            EXPECT_EQ(f.DeltaMs, -1); // freedb gives no distance
        }
        EXPECT_EQ(exact, c.exact);
    }
}

TEST(ChecksumLookup, ChoiceAnsweredLater)
{
    Harness h;
    h.answer("cddb+query", test::transcriptFixtureBody("02-query-210-multiple-exact.txt"));
    h.answer("cddb+read", test::transcriptFixtureBody("10-read-210-latin1-entry-proto5.txt"));
    h.start();
    ASSERT_TRUE(waitUntil([&] { return !h.choices.isEmpty(); }));
    EXPECT_FALSE(h.lookup->timerActive()); // the user takes their time
    h.lookup->choose(0);
    EXPECT_TRUE(h.lookup->timerActive());
    ASSERT_TRUE(h.waitForEnd());
    EXPECT_TRUE(h.http->urls[1].contains("cmd=cddb+read+misc+b20cd40d&"));
    EXPECT_EQ(h.entries.size(), 1);
}

TEST(ChecksumLookup, CancelOrNoSelectionReadsNothing)
{
    for (bool cancel : {true, false}) {
        Harness h;
        h.chooser = [&](const QStringList&) {
            if (cancel) {
                h.lookup->cancel();
            } else {
                h.lookup->choose(-1);
            }
        };
        h.answer("cddb+query", test::transcriptFixtureBody("02-query-210-multiple-exact.txt"));
        h.start();
        ASSERT_TRUE(h.waitForEnd());
        QCoreApplication::processEvents();
        EXPECT_EQ(h.http->urls.size(), 1) << cancel;
        EXPECT_EQ(h.ends, 1);
        EXPECT_FALSE(h.lookup->timerActive());
        EXPECT_TRUE(h.entries.isEmpty());
        if (!cancel) {
            EXPECT_EQ(h.lookup->cddb().State(), TCddb::TState::QueryFailed);
        }
        // A second answer changes nothing.
        h.lookup->choose(0);
        QCoreApplication::processEvents();
        EXPECT_EQ(h.http->urls.size(), 1);
    }
}

TEST(ChecksumLookup, EveryFinalTextEndsTheLookupAtOnce)
{
    Harness none;
    none.answer("cddb+query", test::transcriptFixtureBody("04-query-202-nomatch.txt"));
    none.start();
    ASSERT_TRUE(none.waitForEnd());
    EXPECT_EQ(none.log.last(), "No match found");
    EXPECT_FALSE(none.lookup->timerActive());

    // An error status is the whole reply: the lookup ends with the server's line, not by its time limit.
    Harness corrupt;
    corrupt.answer("cddb+query", "403 Database entry is corrupt.\r\n");
    corrupt.start();
    ASSERT_TRUE(corrupt.waitForEnd());
    EXPECT_EQ(corrupt.log.last(), "403 Database entry is corrupt.");
    EXPECT_EQ(corrupt.timeouts, 0);
    EXPECT_FALSE(corrupt.lookup->timerActive());

    Harness refused;
    refused.http->refuseWith = "Invalid URL";
    refused.start();
    EXPECT_EQ(refused.ends, 0); // even a request refused at once ends from the event loop
    ASSERT_TRUE(refused.waitForEnd());
    EXPECT_FALSE(refused.lookup->timerActive());
}

struct OutcomeCase {
    const char* name;
    std::function<void(Harness&)> before; // replies and choices, set up before start()
    std::function<void(Harness&)> after;  // what happens once the lookup runs
    TLookupOutcome::Kind kind;
    const char* reason;
    TCddbStatusKind status;
    int code;
};

TEST(ChecksumLookup, EveryEndIsOneTypedOutcome)
{
    using K = TLookupOutcome::Kind;
    using S = TCddbStatusKind;
    auto exact = [](Harness& h) { h.answer("cddb+query", test::transcriptFixtureBody("01-query-200-exact.txt")); };
    auto several = [](Harness& h) {
        h.answer("cddb+query", test::transcriptFixtureBody("02-query-210-multiple-exact.txt"));
    };
    auto nothing = [](Harness&) {};
    const OutcomeCase cases[] = {
        {"entry read",
         [&](Harness& h) {
             exact(h);
             h.answer("cddb+read", test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt"));
         },
         nothing, K::EntryRead, "Entry read", S::EntryRead, 0},
        {"no match",
         [](Harness& h) { h.answer("cddb+query", test::transcriptFixtureBody("04-query-202-nomatch.txt")); },
         nothing, K::NoMatch, "No match found", S::NoMatch, 202},
        {"choice cancelled",
         [&](Harness& h) {
             several(h);
             h.chooser = [&h](const QStringList&) { h.lookup->cancel(); };
         },
         nothing, K::Cancelled, "The lookup was cancelled", S::Progress, 0},
        {"no match chosen",
         [&](Harness& h) {
             several(h);
             h.chooser = [&h](const QStringList&) { h.lookup->choose(-1); };
         },
         nothing, K::Cancelled, "No match chosen", S::Progress, 0},
        {"request refused", [](Harness& h) { h.http->refuseWith = "Invalid URL"; }, nothing, K::Failed,
         "Cannot connect to gnudb.gnudb.org:80: Invalid URL",
         S::RequestFailed, 0},
        {"command rejected", [](Harness& h) { h.answer("cddb+query", "500 Command syntax error.\r\n"); }, nothing,
         K::Failed, "500 Command syntax error.", S::ServerError, 500},
        {"entry not found",
         [&](Harness& h) {
             exact(h);
             h.answer("cddb+read", test::transcriptFixtureBody("14-read-401-not-found.txt"));
         },
         nothing, K::Failed, "401 rock deadbeef No such CD entry in database.", S::NotFound, 401},
        {"server error", [](Harness& h) { h.answer("cddb+query", "403 Database entry is corrupt.\r\n"); }, nothing,
         K::Failed, "403 Database entry is corrupt.", S::ServerError, 403},
        {"a list cut short",
         [](Harness& h) { h.answer("cddb+query", "211 Found inexact matches\r\nrock 12345678 A / B\r\n"); }, nothing,
         K::Failed, "The match list is corrupt", S::CorruptEntry, 211},
        {"an entry cut short",
         [&](Harness& h) {
             exact(h);
             QByteArray entry = test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt");
             entry.chop(3); // the "." line
             h.answer("cddb+read", entry);
         },
         nothing, K::Failed, "The entry is corrupt", S::CorruptEntry, 0},
        {"no answer", [](Harness&) {}, [](Harness& h) { h.lookup->timeLimitReached(); }, K::TimedOut,
         "Connection timed out!", S::Progress, 0},
    };
    for (const OutcomeCase& c : cases) {
        Harness h;
        c.before(h);
        h.start();
        c.after(h);
        ASSERT_TRUE(waitUntil([&] { return !h.outcomes.isEmpty(); })) << c.name;
        QCoreApplication::processEvents();
        ASSERT_EQ(h.outcomes.size(), 1) << c.name;
        const TLookupOutcome& o = h.outcomes[0];
        EXPECT_EQ(o.kind, c.kind) << c.name;
        EXPECT_EQ(o.reason, c.reason) << c.name;
        EXPECT_EQ(h.lookup->endStatus().Kind, c.status) << c.name;
        EXPECT_EQ(h.lookup->endStatus().Code, c.code) << c.name;
        EXPECT_EQ(o.record.Album, c.kind == K::EntryRead ? "Inferno" : "") << c.name;
        EXPECT_EQ(h.entries.size(), c.kind == K::EntryRead ? 1 : 0) << c.name;
    }
}

TEST(ChecksumLookup, CorruptEntriesEndTheLookupAsAFailure)
{
    // A server's entry that fails the completeness check, and one that names nothing at all: neither
    // may fill the window (renaming by them would name every file "- - -").
    QByteArray incomplete = test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt");
    incomplete.replace("PLAYORDER=\r\n", "");
    const QByteArray untitled = "210 rock a10b600c CD database entry follows (until terminating `.')\r\n"
                                "# xmcd\r\nDISCID=a10b600c\r\nDTITLE=\r\nTTITLE0=\r\n.\r\n";
    for (const QByteArray& entry : {incomplete, untitled}) {
        Harness h;
        h.answer("cddb+query", test::transcriptFixtureBody("01-query-200-exact.txt"));
        h.answer("cddb+read", entry);
        h.start();
        ASSERT_TRUE(waitUntil([&] { return !h.outcomes.isEmpty(); }));
        QCoreApplication::processEvents();
        EXPECT_TRUE(h.entries.isEmpty());
        EXPECT_EQ(h.log.mid(h.log.size() - 2), (QStringList{"Entry read", "The entry is corrupt"}));
        ASSERT_EQ(h.outcomes.size(), 1);
        EXPECT_EQ(h.outcomes[0].kind, TLookupOutcome::Kind::Failed);
        EXPECT_EQ(h.lookup->endStatus().Kind, TCddbStatusKind::CorruptEntry);
        EXPECT_EQ(h.ends, 1);
    }
}

TEST(ChecksumLookup, AReplyAfterTheTimeOutIsIgnoredWithOneLine)
{
    Harness h;
    h.answer("cddb+query", test::transcriptFixtureBody("01-query-200-exact.txt"));
    h.start();
    ASSERT_TRUE(waitUntil([&] { return h.http->urls.size() == 2; })); // the read is under way
    h.lookup->timeLimitReached();
    EXPECT_EQ(h.timeouts, 1);
    EXPECT_EQ(h.ends, 1);
    EXPECT_TRUE(h.lookup->timeoutMessage().startsWith("No answer from http://gnudb.gnudb.org:80/~cddb/cddb.cgi within 30 seconds."));
    const qsizetype before = h.log.size();
    FakeHttpClient::complete(h.http, 0, QString(), test::transcriptFixtureBody("08-read-210-utf8-entry-proto5.txt"));
    QCoreApplication::processEvents();
    EXPECT_EQ(h.log.mid(before), QStringList{"A late reply from http://gnudb.gnudb.org:80/~cddb/cddb.cgi was ignored"});
    EXPECT_TRUE(h.entries.isEmpty());
    EXPECT_EQ(h.ends, 1);
    ASSERT_EQ(h.outcomes.size(), 1);
    EXPECT_EQ(h.outcomes[0].kind, TLookupOutcome::Kind::TimedOut);
}

TEST(ChecksumLookup, TheConfigNoteIsLoggedFirst)
{
    Harness h;
    h.config.Note = "The e-mail address was not used";
    h.answer("cddb+query", test::transcriptFixtureBody("04-query-202-nomatch.txt"));
    h.start("/music/Album");
    ASSERT_TRUE(waitUntil([&] { return !h.outcomes.isEmpty(); }));
    EXPECT_EQ(h.log.value(0), "The e-mail address was not used");
}

TEST(ChecksumLookup, AbandonedLookupSaysNothingMore)
{
    Harness h;
    h.answer("cddb+query", test::transcriptFixtureBody("01-query-200-exact.txt"));
    h.start();
    h.lookup->abandon();
    const QStringList before = h.log;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(h.log, before);
    EXPECT_EQ(h.http->urls.size(), 1);
    EXPECT_FALSE(h.lookup->timerActive());
    EXPECT_TRUE(h.outcomes.isEmpty());
}

} // namespace
