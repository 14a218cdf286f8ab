#include "core/lookup/musicbrainz/MusicBrainzLookup.h"

#include "support/MbTestServer.h"
#include "support/QtPrinters.h"
#include "support/TrackLengths.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

using namespace cantorix;
using test::MbTestMedium;
using test::MbTestRelease;
using test::MbTestServer;
using test::MbTestTrack;
using test::fileOf;
using test::timeOnly;
using test::waitUntil;
using Mode = TMusicBrainzLookup::Mode;
using Kind = TLookupOutcome::Kind;

namespace {

// The example disc of the Disc ID Calculation documentation: its tracks in sectors, and its ID.
const QList<int> ExampleSectors{15213, 16951, 14278, 16822, 17075, 14973};
const QString ExampleId = "49HHV7Eb8UKF3aQiNmu1GR8vKTY-";

QStringList numbered(const QString& stem, int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i) out << QString("%1 %2").arg(stem).arg(i);
    return out;
}

QList<MbTestTrack> tracksOf(const QStringList& titles, const QList<qint64>& lengths)
{
    QList<MbTestTrack> out;
    for (qsizetype i = 0; i < titles.size(); ++i) out << MbTestTrack{titles[i], lengths[i]};
    return out;
}

QStringList titlesOf(const AlbumRecord& record)
{
    QStringList out;
    for (const TrackTitle& t : record.Titles) out << t.No + " " + TitleText(t);
    return out;
}

// A lookup of one mode against a test server, with everything it signals recorded.
struct Lookup {
    TMbRateLimiter limiter; // the test's own pace, so that tests do not wait for each other
    std::unique_ptr<TMusicBrainzLookup> source;
    QStringList log;
    QList<TLookupStep> steps;
    QList<QPair<QStringList, int>> offers;
    QStringList chosen;
    QList<TLookupOutcome> outcomes;
    std::function<void(const QStringList&, int)> onOffer;

    Lookup(Mode mode, const QString& base, qint64 intervalMs = TMbRateLimiter::DefaultIntervalMs,
           TMbRateLimiter* shared = nullptr)
        : limiter(intervalMs)
    {
        TMusicBrainzConfig config;
        config.Server = base;
        config.CoverServer = base;
        config.Contact = "tester@example.org";
        source = std::make_unique<TMusicBrainzLookup>(mode, config);
        source->setRateLimiter(shared ? shared : &limiter);
        QObject::connect(source.get(), &TLookupSource::logLine, [this](const QString& l) { log << l; });
        QObject::connect(source.get(), &TLookupSource::stepChanged, [this](TLookupStep s) { steps << s; });
        QObject::connect(source.get(), &TLookupSource::candidatesFound, [this](const QStringList& lines, int pre) {
            offers << qMakePair(lines, pre);
            if (onOffer) onOffer(lines, pre);
        });
        QObject::connect(source.get(), &TLookupSource::candidateChosen,
                         [this](const QString& artist, const QString& album) { chosen << artist + " / " + album; });
        QObject::connect(source.get(), &TLookupSource::finished, [this](const TLookupOutcome& o) { outcomes << o; });
    }

    bool start(const QList<TTrackLength>& lengths, const QString& artist = {}, const QString& album = {},
               const QList<QList<TTrackLength>>& discs = {})
    {
        TLookupRequest request;
        request.Folder = "/music/Album";
        request.Lengths = lengths;
        request.Discs = discs;
        request.Artist = artist;
        request.Album = album;
        return source->start(request);
    }
    bool end() { return waitUntil([this] { return !outcomes.isEmpty(); }); }
};

// The server's requests to ws/2 (not the cover archive's).
QList<test::HttpRequest> wsRequests(const MbTestServer& server)
{
    QList<test::HttpRequest> out;
    for (const test::HttpRequest& r : server.requests())
        if (r.path.startsWith("/ws/2/")) out << r;
    return out;
}

} // namespace

TEST(MusicBrainzLookup, ACdExactRipIsFoundByItsDiscIdInOneRequestAndTakenWithoutAsking)
{
    MbTestServer server;
    MbTestRelease disc{"Sechs Stücke", {{"Orchester", " & "}, {"Chor", ""}},
                       {MbTestMedium{test::TracksOfSectors(numbered("Satz", 6), ExampleSectors), "CD", {ExampleId}}},
                       "1998-05-12", "DE", {{"classical", 3}, {"choral", 5}}};
    server.add(disc);
    ASSERT_TRUE(server.start());
    QList<TTrackLength> files;
    for (int s : ExampleSectors) files << fileOf(s * SamplesPerSector);

    Lookup lookup(Mode::Disc, server.base());
    ASSERT_TRUE(lookup.start(files));
    EXPECT_EQ(lookup.source->disc().Id, ExampleId);
    EXPECT_TRUE(lookup.outcomes.isEmpty()); // never from inside start()
    ASSERT_TRUE(lookup.end());

    ASSERT_EQ(lookup.outcomes.size(), 1);
    const TLookupOutcome& o = lookup.outcomes[0];
    EXPECT_EQ(o.kind, Kind::EntryRead) << o.reason.toStdString();
    EXPECT_FALSE(o.needsPairing);
    EXPECT_EQ(o.folder, "/music/Album/");
    EXPECT_EQ(o.record.Artist, "Orchester & Chor");
    EXPECT_EQ(o.record.Album, QString::fromUtf8("Sechs Stücke"));
    EXPECT_EQ(o.record.Year, "1998");
    EXPECT_EQ(o.record.Genre, "Choral");
    EXPECT_EQ(o.record.MbReleaseId, disc.mbid());
    EXPECT_EQ(o.record.MbArtistIds.size(), 2);
    EXPECT_EQ(o.record.MbReleaseGroupId.size(), 36);
    EXPECT_EQ(titlesOf(o.record), (QStringList{"01 Satz 1", "02 Satz 2", "03 Satz 3", "04 Satz 4", "05 Satz 5", "06 Satz 6"}));
    EXPECT_EQ(o.record.Titles[2].MbRecordingId, disc.recordingId(0, 2));
    EXPECT_TRUE(lookup.offers.isEmpty());
    EXPECT_EQ(lookup.chosen, QStringList{QString::fromUtf8("Orchester & Chor / Sechs Stücke")});
    EXPECT_EQ(lookup.steps, (QList<TLookupStep>{TLookupStep::Connecting, TLookupStep::Searching, TLookupStep::Reading}));

    const QList<test::HttpRequest> requests = wsRequests(server);
    ASSERT_EQ(requests.size(), 1);
    const test::HttpRequest& r = requests[0];
    EXPECT_EQ(r.path, "/ws/2/discid/" + ExampleId);
    EXPECT_EQ(test::formValue(r, "toc"), "1 6 95462 150 15363 32314 46592 63414 80489");
    EXPECT_EQ(test::formValue(r, "inc"), "artist-credits recordings release-groups genres");
    EXPECT_EQ(r.query.queryItemValue("cdstubs"), "no");
    EXPECT_EQ(r.query.queryItemValue("fmt"), "json");
    EXPECT_FALSE(r.query.hasQueryItem("media-format"));
    EXPECT_EQ(r.headers.value("user-agent"), "Cantorix/" CANTORIX_VERSION " ( tester@example.org )");
}

TEST(MusicBrainzLookup, ALossyAlbumIsMatchedByItsLengthsAndTheClosestReleaseComesFirst)
{
    // Twelve tracks; a second release has them swapped in pairs (1 and 7, 2 and 8 ...), which the
    // service's six coarse sums cannot tell from the right one, and a digital release of the same
    // lengths, which a disc lookup does not see.
    const QList<qint64> lengths{201000, 187500, 243250, 199000, 305000, 172000,
                                233000, 260500, 181000, 222000, 199500, 315000};
    QList<qint64> swapped = lengths;
    for (int i = 0; i < 6; ++i) std::swap(swapped[i], swapped[i + 6]);
    MbTestServer server;
    server.add({"Pairs Swapped", {{"The Band", ""}}, {MbTestMedium{tracksOf(numbered("Swapped", 12), swapped)}}, "1999"});
    server.add({"Right One", {{"The Band", ""}}, {MbTestMedium{tracksOf(numbered("Right", 12), lengths)}}, "1999-03", "GB"});
    server.add({"Right One (digital)", {{"The Band", ""}},
                {MbTestMedium{tracksOf(numbered("Digital", 12), lengths), "Digital Media"}}, "2010"});
    ASSERT_TRUE(server.start());
    // A lossy copy: each file within half a second of its track, as decoders pad and trim.
    QList<TTrackLength> files;
    for (int i = 0; i < lengths.size(); ++i) files << timeOnly(lengths[i] + (i % 2 ? 400 : -350));

    Lookup lookup(Mode::Disc, server.base());
    lookup.onOffer = [&](const QStringList&, int preselected) { lookup.source->choose(preselected); };
    ASSERT_TRUE(lookup.start(files));
    ASSERT_TRUE(lookup.end());

    ASSERT_EQ(lookup.offers.size(), 1);
    const QStringList& lines = lookup.offers[0].first;
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8("The Band — Right One (1999-03, GB, CD) · Δ 0.4 s"));
    EXPECT_TRUE(lines[1].startsWith(QString::fromUtf8("The Band — Pairs Swapped (1999, CD) · Δ "))) << lines[1].toStdString();
    EXPECT_EQ(lookup.offers[0].second, 0);
    ASSERT_EQ(lookup.outcomes.size(), 1);
    EXPECT_EQ(lookup.outcomes[0].kind, Kind::EntryRead);
    EXPECT_EQ(lookup.outcomes[0].record.Album, "Right One");
    EXPECT_EQ(lookup.outcomes[0].record.Titles[11].Title, "Right 12");
    EXPECT_FALSE(lookup.outcomes[0].needsPairing);
    EXPECT_EQ(wsRequests(server).size(), 1); // the fuzzy list came with the tracks
}

TEST(MusicBrainzLookup, OfATwoMediumReleaseTheMediumWhoseLengthsFitIsTaken)
{
    MbTestServer server;
    const QList<qint64> first{240000, 250000, 260000, 270000}, second{180000, 190000, 200000, 300000};
    server.add({"Double", {{"Duo", ""}},
                {MbTestMedium{tracksOf(numbered("One", 4), first)}, MbTestMedium{tracksOf(numbered("Two", 4), second)}},
                "2003-01-01", "US"});
    ASSERT_TRUE(server.start());
    QList<TTrackLength> files;
    for (qint64 l : second) files << timeOnly(l + 1000);

    Lookup lookup(Mode::Disc, server.base());
    lookup.onOffer = [&](const QStringList&, int) { lookup.source->choose(0); };
    ASSERT_TRUE(lookup.start(files));
    ASSERT_TRUE(lookup.end());
    ASSERT_EQ(lookup.offers.size(), 1);
    EXPECT_EQ(lookup.offers[0].first,
              QStringList{QString::fromUtf8("Duo — Double (2003-01-01, US, CD, medium 2 of 2) · Δ 1.0 s")});
    ASSERT_EQ(lookup.outcomes.size(), 1);
    EXPECT_EQ(titlesOf(lookup.outcomes[0].record), (QStringList{"01 Two 1", "02 Two 2", "03 Two 3", "04 Two 4"}));
}

// A set of two discs is one lookup: the first disc's TOC finds the releases, and only a release whose
// first two media match the discs in order is a candidate.
TEST(MusicBrainzLookup, ASetOfDiscsIsTheReleaseWhoseMediaMatchInOrder)
{
    MbTestServer server;
    const QList<qint64> first{240000, 250000, 260000, 270000}, second{180000, 190000, 200000};
    server.add({"Double", {{"Duo", ""}},
                {MbTestMedium{tracksOf(numbered("One", 4), first)}, MbTestMedium{tracksOf(numbered("Two", 3), second)}},
                "2003-01-01", "US"});
    server.add({"Single", {{"Duo", ""}}, {MbTestMedium{tracksOf(numbered("Only", 4), first)}}, "2003"});
    server.add({"Other order", {{"Duo", ""}},
                {MbTestMedium{tracksOf(numbered("Two", 3), second)}, MbTestMedium{tracksOf(numbered("One", 4), first)}}});
    ASSERT_TRUE(server.start());
    QList<TTrackLength> one, two;
    for (qint64 l : first) one << timeOnly(l + 300);
    for (qint64 l : second) two << timeOnly(l - 300);

    Lookup lookup(Mode::Disc, server.base());
    EXPECT_TRUE(lookup.source->supportsDiscSets());
    QList<TCandidateFit> fits;
    lookup.onOffer = [&](const QStringList&, int) {
        fits = lookup.source->candidateFits();
        lookup.source->choose(0);
    };
    ASSERT_TRUE(lookup.start(one, {}, {}, {one, two}));
    ASSERT_TRUE(lookup.end());
    ASSERT_EQ(lookup.offers.size(), 1);
    EXPECT_EQ(lookup.offers[0].first,
              QStringList{QString::fromUtf8("Duo — Double (2003-01-01, US, CD, media 1 to 2 of 2) · Δ 0.3 s")});
    ASSERT_EQ(fits.size(), 1);
    EXPECT_EQ(fits[0].DeltaMs, 300);
    ASSERT_EQ(lookup.outcomes.size(), 1);
    const AlbumRecord& record = lookup.outcomes[0].record;
    EXPECT_EQ(record.DiscCount, 2);
    EXPECT_EQ(titlesOf(DiscOfSet(record, 1)), (QStringList{"01 One 1", "02 One 2", "03 One 3", "04 One 4"}));
    EXPECT_EQ(titlesOf(DiscOfSet(record, 2)), (QStringList{"01 Two 1", "02 Two 2", "03 Two 3"}));
    EXPECT_EQ(wsRequests(server).size(), 1); // the discid reply had every medium's tracks
}

TEST(MusicBrainzLookup, ASearchFindsReleasesByNameThenReadsTheChosenOneForPairing)
{
    MbTestServer server;
    MbTestRelease various{"AC/DC: Live! \"Hits\"", {{"Various Artists", ""}},
                          {MbTestMedium{{{"Opener", 200000, "Band A"}, {"Middle", 210000, "B & C"}, {"Closer", 220000, "Band A"}}}},
                          "2011-11", "XE"};
    server.add(various);
    server.add({"Other Album", {{"Various Artists", ""}}, {MbTestMedium{tracksOf(numbered("X", 2), {1000, 2000})}}});
    ASSERT_TRUE(server.start());

    Lookup lookup(Mode::Search, server.base());
    lookup.onOffer = [&](const QStringList&, int) { lookup.source->choose(0); };
    const QList<TTrackLength> files{timeOnly(200000), timeOnly(230000), timeOnly(210000)};
    ASSERT_TRUE(lookup.start(files, "various", "ac/dc: live! \"hits\""));
    ASSERT_TRUE(lookup.end());

    ASSERT_EQ(lookup.offers.size(), 1);
    EXPECT_EQ(lookup.offers[0].first,
              QStringList{QString::fromUtf8("Various Artists — AC/DC: Live! \"Hits\" (2011-11, XE, CD)")});
    ASSERT_EQ(lookup.outcomes.size(), 1);
    const TLookupOutcome& o = lookup.outcomes[0];
    EXPECT_EQ(o.kind, Kind::EntryRead) << o.reason.toStdString();
    EXPECT_TRUE(o.needsPairing);
    EXPECT_EQ(titlesOf(o.record), (QStringList{"01 Band A / Opener", "02 B & C / Middle", "03 Band A / Closer"}));
    EXPECT_EQ(o.record.MbReleaseId, various.mbid());

    const QList<test::HttpRequest> requests = wsRequests(server);
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(test::formValue(requests[0], "query"), "release:\"ac\\/dc\\: live\\! \\\"hits\\\"\" AND artist:\"various\"");
    EXPECT_EQ(requests[0].query.queryItemValue("limit"), "25");
    EXPECT_EQ(requests[1].path, "/ws/2/release/" + various.mbid());
    EXPECT_EQ(test::formValue(requests[1], "inc"), "recordings artist-credits release-groups genres");
    EXPECT_EQ(server.rateRefusals(), 0);
    EXPECT_GE(server.gaps().value(0), MbTestServer::MinIntervalMs);
}

TEST(MusicBrainzLookup, NoMatchAndUnusableRepliesEndTheLookupWithTheirReason)
{
    const MbTestRelease far{"Far Away", {{"Someone", ""}}, {MbTestMedium{tracksOf(numbered("T", 2), {600000, 600000})}}};
    struct Case {
        const char* name;
        Mode mode;
        QList<TTrackLength> files;
        QString album;
        std::function<test::HttpResponse(const test::HttpRequest&)> handler; // none: the server's own
        Kind kind;
        QString reason;
    } cases[] = {
        {"lengths near nothing", Mode::Disc, {timeOnly(100000), timeOnly(100000)}, {}, nullptr, Kind::NoMatch, "No match found"},
        {"a search finding nothing", Mode::Search, {timeOnly(1000)}, "Nowhere", nullptr, Kind::NoMatch, "No match found"},
        {"a release of another track count", Mode::Disc, {timeOnly(600000)}, {}, nullptr, Kind::NoMatch, "No match found"},
        {"no JSON", Mode::Disc, {timeOnly(1000)}, {},
         [](const test::HttpRequest&) { return test::HttpResponse{200, "OK", "text/html", "<html>maintenance</html>"}; },
         Kind::Failed, "Invalid reply from MusicBrainz: The reply is no JSON object"},
        {"a 400 with the service's words", Mode::Disc, {timeOnly(1000)}, {},
         [](const test::HttpRequest&) { return test::HttpResponse{400, "Bad Request", "application/json", R"({"error":"Invalid TOC"})"}; },
         Kind::Failed, "400 Bad Request: Invalid TOC"},
        {"a 404 of an unknown disc ID without a TOC match", Mode::Disc, {timeOnly(1000)}, {},
         [](const test::HttpRequest&) { return test::HttpResponse{404, "Not Found", "application/json", R"({"error":"Not Found"})"}; },
         Kind::NoMatch, "No match found"},
    };
    for (const Case& c : cases) {
        MbTestServer server;
        server.add(far);
        ASSERT_TRUE(server.start()) << c.name;
        if (c.handler) server.http().setHandler(c.handler);
        Lookup lookup(c.mode, server.base(), 0);
        ASSERT_TRUE(lookup.start(c.files, {}, c.album)) << c.name;
        ASSERT_TRUE(lookup.end()) << c.name;
        QCoreApplication::processEvents();
        ASSERT_EQ(lookup.outcomes.size(), 1) << c.name;
        EXPECT_EQ(lookup.outcomes[0].kind, c.kind) << c.name;
        EXPECT_EQ(lookup.outcomes[0].reason, c.reason) << c.name;
        EXPECT_TRUE(lookup.offers.isEmpty()) << c.name;
        EXPECT_TRUE(lookup.log.contains(c.reason)) << c.name;
    }
}

TEST(MusicBrainzLookup, TheOneSecondRuleHoldsAcrossLookupsAndA503IsWaitedOut)
{
    MbTestServer server;
    MbTestRelease disc{"Sechs Stücke", {{"Orchester", ""}},
                       {MbTestMedium{test::TracksOfSectors(numbered("Satz", 6), ExampleSectors), "CD", {ExampleId}}}};
    server.add(disc);
    ASSERT_TRUE(server.start());
    QList<TTrackLength> files;
    for (int s : ExampleSectors) files << fileOf(s * SamplesPerSector);

    // Two albums of a batch, one after the other, on the process's pace; the second is told to wait
    // by the service once (Retry-After) and is asked again.
    TMbRateLimiter pace;
    Lookup first(Mode::Disc, server.base(), 0, &pace), second(Mode::Disc, server.base(), 0, &pace);
    ASSERT_TRUE(first.start(files));
    ASSERT_TRUE(first.end());
    server.busyFor(1, "1");
    ASSERT_TRUE(second.start(files));
    ASSERT_TRUE(second.end());
    EXPECT_EQ(first.outcomes[0].kind, Kind::EntryRead);
    EXPECT_EQ(second.outcomes[0].kind, Kind::EntryRead) << second.outcomes[0].reason.toStdString();
    EXPECT_TRUE(second.log.contains("The service is busy (The server is busy): asking again in 1.0 s as it says"))
        << second.log.join("\n").toStdString();
    EXPECT_EQ(server.rateRefusals(), 0);
    EXPECT_EQ(wsRequests(server).size(), 3);
    for (qint64 gap : server.gaps()) EXPECT_GE(gap, MbTestServer::MinIntervalMs);

    // Without a pace the service refuses what comes too fast, and after a few tries the lookup
    // ends with its words.
    Lookup hasty(Mode::Disc, server.base(), 0);
    ASSERT_TRUE(hasty.start(files));
    ASSERT_TRUE(hasty.end());
    EXPECT_EQ(hasty.outcomes[0].kind, Kind::Failed);
    EXPECT_EQ(hasty.outcomes[0].reason, MbTestServer::RateLimitText);
    EXPECT_EQ(hasty.outcomes[0].code, 503);
    EXPECT_EQ(server.rateRefusals(), 1 + TMbClient::MaxRetries);
}

TEST(MusicBrainzLookup, StartCancelChooseAndAbandonKeepTheirContract)
{
    MbTestServer server;
    server.add({"Right One", {{"The Band", ""}}, {MbTestMedium{tracksOf(numbered("T", 2), {200000, 300000})}}});
    ASSERT_TRUE(server.start());
    const QList<TTrackLength> files{timeOnly(200500), timeOnly(300500)};

    // Nothing to ask: false, a line, and no end.
    struct Refused {
        const char* name;
        Mode mode;
        QList<TTrackLength> files;
        QString server;
        QString line;
    } refused[] = {
        {"no files", Mode::Disc, {}, server.base(), "No MusicBrainz lookup: No files to look up"},
        {"a file without a time", Mode::Disc, {timeOnly(1000), TTrackLength{}}, server.base(),
         "No MusicBrainz lookup: The playing time of file 2 is unknown"},
        {"no words", Mode::Search, files, server.base(), "Nothing to search for: enter the artist or the album"},
        {"a bad server", Mode::Disc, files, "ftp://x", "Invalid MusicBrainz server address \"ftp://x\""},
    };
    for (const Refused& c : refused) {
        Lookup lookup(c.mode, server.base(), 0);
        TMusicBrainzConfig config;
        config.Server = c.server;
        lookup.source->setConfig(config);
        EXPECT_FALSE(lookup.start(c.files)) << c.name;
        EXPECT_FALSE(lookup.source->running()) << c.name;
        EXPECT_EQ(lookup.log, QStringList{c.line}) << c.name;
        QCoreApplication::processEvents();
        EXPECT_TRUE(lookup.outcomes.isEmpty()) << c.name;
    }

    server.http().setHandler([](const test::HttpRequest&) {
        test::HttpResponse r;
        r.hang = true;
        return r;
    });
    {
        Lookup lookup(Mode::Disc, server.base(), 0);
        ASSERT_TRUE(lookup.start(files));
        ASSERT_TRUE(waitUntil([&] { return lookup.steps.contains(TLookupStep::Searching); }));
        lookup.source->cancel();
        lookup.source->cancel();
        ASSERT_EQ(lookup.outcomes.size(), 1);
        EXPECT_EQ(lookup.outcomes[0].kind, Kind::Cancelled);
        EXPECT_FALSE(lookup.source->running());
    }
    {
        Lookup lookup(Mode::Disc, server.base(), 0);
        ASSERT_TRUE(lookup.start(files));
        lookup.source->abandon();
        QDeadlineTimer settle(200);
        while (!settle.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(lookup.outcomes.isEmpty());
        EXPECT_FALSE(lookup.source->running());
    }
    {
        Lookup lookup(Mode::Disc, server.base(), 0);
        TMusicBrainzConfig config;
        config.Server = server.base();
        config.TimeoutSeconds = 1;
        lookup.source->setConfig(config);
        ASSERT_TRUE(lookup.start(files));
        ASSERT_TRUE(lookup.end());
        EXPECT_EQ(lookup.outcomes[0].kind, Kind::TimedOut);
        EXPECT_EQ(lookup.outcomes[0].message,
                  "No answer from " + server.base() +
                      " within 1 seconds.\nCheck your connection, or try again later or with another MusicBrainz "
                      "server in the options.");
    }

    // None chosen, then a late choice: Cancelled once.
    MbTestServer plain;
    plain.add({"Right One", {{"The Band", ""}}, {MbTestMedium{tracksOf(numbered("T", 2), {200000, 300000})}}});
    ASSERT_TRUE(plain.start());
    Lookup lookup(Mode::Disc, plain.base(), 0);
    ASSERT_TRUE(lookup.start(files));
    ASSERT_TRUE(waitUntil([&] { return !lookup.offers.isEmpty(); }));
    lookup.source->choose(-1);
    lookup.source->choose(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(lookup.outcomes.size(), 1);
    EXPECT_EQ(lookup.outcomes[0].kind, Kind::Cancelled);
    EXPECT_EQ(lookup.outcomes[0].reason, "No match chosen");
    EXPECT_TRUE(lookup.chosen.isEmpty());
}
