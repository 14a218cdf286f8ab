// The name query's course on a fake HTTP client: search, choice, entry, and each way it can end.
#include "core/lookup/freedb/NameQuery.h"

#include "core/net/FakeHttpClient.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

using namespace cantorix;
using test::FakeHttpClient;

namespace {

const QString Folder = "/music/Imago/";
const QByteArray ClassicPage =
    R"(<tr><td><a href="http://www.freedb.org/freedb_search_fmt.php?cat=rock&id=1a2b3c4d">Some Band / Some Album</a><br><br></td></tr>)";
const QByteArray Entry = "# xmcd\nDTITLE=Some Band / Some Album\nDYEAR=2001\nDGENRE=Rock\nTTITLE0=Intro\nTTITLE1=Outro\n";

struct Harness {
    FakeHttpClient::State* http = new FakeHttpClient::State; // owned here, outlives the query
    std::unique_ptr<TNameQuery> query;
    TNameQueryConfig config;
    QStringList log, chosen;
    QList<QStringList> choices;
    QList<AlbumRecord> entries;
    QList<TLookupOutcome> outcomes;
    int starts = 0, ends = 0;
    std::function<void()> onChoice;

    Harness()
    {
        config.SearchUrl = "http://search.test/freedb_search.php?words=%s&allfields=NO";
        query = std::make_unique<TNameQuery>(std::make_unique<FakeHttpClient>(http));
        QObject::connect(query.get(), &TLookupSource::logLine, [this](const QString& l) { log << l; });
        QObject::connect(query.get(), &TLookupSource::candidatesFound, [this](const QStringList& m, int) {
            choices << m;
            if (onChoice) onChoice();
        });
        QObject::connect(query.get(), &TLookupSource::candidateChosen,
                         [this](const QString& artist, const QString& album) { chosen << artist << album; });
        QObject::connect(query.get(), &TLookupSource::finished, [this](const TLookupOutcome& o) {
            EXPECT_EQ(o.folder, Folder);
            ++ends;
            if (o.kind == TLookupOutcome::Kind::EntryRead) {
                EXPECT_TRUE(o.needsPairing); // the entry's order is not the files'
                entries << o.record;
            }
            outcomes << o;
        });
    }

    bool start(const QString& artist, const QString& album)
    {
        query->setConfig(config);
        TLookupRequest request;
        request.Folder = Folder;
        request.Artist = artist;
        request.Album = album;
        const bool started = query->start(request);
        starts += started ? 1 : 0;
        return started;
    }
    ~Harness()
    {
        query.reset();
        delete http;
    }

    // Answers the request in flight, then lets queued work run.
    void answer(int error, const QByteArray& body, const QString& text = {})
    {
        ASSERT_TRUE(FakeHttpClient::complete(http, error, text, body));
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST(NameQuery, SearchChooseAndReadTheEntry)
{
    Harness h;
    h.onChoice = [&] { h.query->choose(0); };
    ASSERT_TRUE(h.start("Some Band", "Some & Album"));
    EXPECT_EQ(h.starts, 1);
    ASSERT_EQ(h.http->urls.size(), 1);
    EXPECT_EQ(h.http->urls[0], "http://search.test/freedb_search.php?words=Some+Band+Some+%26+Album&allfields=NO");
    h.answer(0, ClassicPage);

    // A single match is still offered for a choice.
    ASSERT_EQ(h.choices, (QList<QStringList>{{"rock 1a2b3c4d Some Band / Some Album"}}));
    EXPECT_EQ(h.chosen, (QStringList{"Some Band", "Some Album"}));
    ASSERT_EQ(h.http->urls.size(), 2);
    EXPECT_EQ(h.http->urls[1], "http://search.test/freedb/rock/1a2b3c4d");
    h.answer(0, Entry);

    EXPECT_EQ(h.log, (QStringList{"Querying album by name...", "1 match found from FreeDB",
                                  "Attempting to get album data from FreeDB",
                                  "Album data received. Please sort files carefully!"}));
    ASSERT_EQ(h.entries.size(), 1);
    EXPECT_EQ(h.entries[0].Album, "Some Album");
    EXPECT_EQ(NumberedTitles(h.entries[0]), (QStringList{"01 - Intro", "02 - Outro"}));
    ASSERT_EQ(h.outcomes.size(), 1);
    EXPECT_EQ(h.outcomes[0].kind, TLookupOutcome::Kind::EntryRead);
    EXPECT_FALSE(h.query->running());
}

TEST(NameQuery, EveryOtherEndUnlocksOnceAndLeavesTheFieldsAlone)
{
    struct Case {
        const char* name;
        QByteArray page;
        int choice;           // -2: cancel the choice
        int entryError;       // the entry download's error (HttpStatusError + status)
        QByteArray entry;
        TLookupOutcome::Kind kind;
        QString lastLog;
    } cases[] = {
        {"nothing found", "<html>no results</html>", 0, 0, {}, TLookupOutcome::Kind::NoMatch,
         "Album not found in FreeDB or connection failed"},
        {"choice cancelled", ClassicPage, -2, 0, {}, TLookupOutcome::Kind::Cancelled, "1 match found from FreeDB"},
        {"OK without a line", ClassicPage, -1, 0, {}, TLookupOutcome::Kind::Cancelled, "1 match found from FreeDB"},
        {"a 404 entry page", ClassicPage, 0, THttpClient::HttpStatusError + 404, {}, TLookupOutcome::Kind::Failed,
         "Failed to connect to the FreeDB"},
        {"an entry without DTITLE", ClassicPage, 0, 0, "<html>Not an entry</html>\nTTITLE0=x\n",
         TLookupOutcome::Kind::Failed, "The entry is corrupt: it has no DTITLE"},
    };
    for (const Case& c : cases) {
        Harness h;
        h.onChoice = [&] {
            if (c.choice == -2) h.query->cancel();
            else h.query->choose(c.choice);
        };
        ASSERT_TRUE(h.start("Some Band", ""));
        h.answer(0, c.page);
        if (h.http->pending) h.answer(c.entryError, c.entry, "404 Not Found");
        EXPECT_TRUE(h.entries.isEmpty()) << c.name;
        ASSERT_EQ(h.outcomes.size(), 1) << c.name;
        EXPECT_EQ(h.outcomes[0].kind, c.kind) << c.name;
        EXPECT_EQ(h.log.last(), c.lastLog) << c.name;
        EXPECT_EQ(h.http->urls.size(), c.choice >= 0 && !c.page.startsWith("<html>") ? 2 : 1) << c.name;
        EXPECT_EQ(h.ends, 1) << c.name;
    }
}

TEST(NameQuery, NoWordsSendNothing)
{
    Harness h;
    EXPECT_FALSE(h.start("  ", ""));
    EXPECT_EQ(h.log, QStringList{"Enter an artist or an album to search for"});
    EXPECT_TRUE(h.http->urls.isEmpty());
    EXPECT_EQ(h.starts, 0);
    EXPECT_FALSE(h.query->running());
}
