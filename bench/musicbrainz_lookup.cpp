// Wall time of MusicBrainz lookups of a 12-track album against the local ws/2 test server, each with
// a fresh pace (as the first lookup of a run): by the exact disc ID (one request), by the lengths of a
// lossy copy (one request, the user's choice answered at once), and by name (a search and the read
// of the chosen release, a second apart by the service's rule). Prints the median of each.
#include "core/lookup/musicbrainz/MusicBrainzLookup.h"

#include "support/MbTestServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace cantorix;
using test::MbTestMedium;
using test::MbTestRelease;
using test::MbTestServer;

namespace {

constexpr int Rounds = 5;

qint64 run(MbTestServer& server, TMusicBrainzLookup::Mode mode, const QList<TTrackLength>& files)
{
    TMbRateLimiter pace;
    TMusicBrainzConfig config;
    config.Server = server.base();
    TMusicBrainzLookup lookup(mode, config);
    lookup.setRateLimiter(&pace);
    bool done = false;
    QObject::connect(&lookup, &TLookupSource::candidatesFound, [&](const QStringList&, int pre) { lookup.choose(pre); });
    QObject::connect(&lookup, &TLookupSource::finished, [&](const TLookupOutcome& o) {
        done = true;
        if (o.kind != TLookupOutcome::Kind::EntryRead) std::fprintf(stderr, "lookup failed: %s\n", qPrintable(o.reason));
    });
    TLookupRequest request;
    request.Folder = "/music/album";
    request.Lengths = files;
    request.Artist = "Bench Band";
    request.Album = "Twelve";
    QElapsedTimer clock;
    clock.start();
    if (!lookup.start(request)) return -1;
    QDeadlineTimer deadline(30000);
    while (!done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done ? clock.elapsed() : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sectors;
    QStringList titles;
    for (int i = 0; i < 12; ++i) {
        sectors << 15000 + 731 * i;
        titles << QString("Track %1").arg(i + 1);
    }
    QList<TTrackLength> exact, lossy;
    for (int s : sectors) {
        TTrackLength l;
        l.Samples = qint64(s) * SamplesPerSector;
        l.SampleRate = CdSampleRate;
        l.Milliseconds = qint64(s) * 1000 / 75;
        l.Seconds = int(l.Milliseconds / 1000);
        l.Known = true;
        exact << l;
        TTrackLength m = l;
        m.Samples = 0;
        m.SampleRate = 0;
        m.Milliseconds += 300;
        lossy << m;
    }
    TMbDisc disc;
    MbDiscFromLengths(exact, &disc, nullptr);

    MbTestServer server;
    server.add({"Twelve", {{"Bench Band", ""}}, {MbTestMedium{test::TracksOfSectors(titles, sectors), "CD", {disc.Id}}}, "2020"});
    if (!server.start()) return 1;

    struct Kind {
        const char* name;
        TMusicBrainzLookup::Mode mode;
        const QList<TTrackLength>* files;
    } kinds[] = {{"disc ID (exact rip)", TMusicBrainzLookup::Mode::Disc, &exact},
                 {"lengths (lossy copy)", TMusicBrainzLookup::Mode::Disc, &lossy},
                 {"search by name", TMusicBrainzLookup::Mode::Search, &lossy}};
    for (const Kind& k : kinds) {
        QList<qint64> times;
        for (int round = 0; round < Rounds; ++round) {
            // The server's own pace: a second between lookups.
            QDeadlineTimer pause(1000);
            while (!pause.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            times << run(server, k.mode, *k.files);
        }
        std::sort(times.begin(), times.end());
        std::printf("12-track lookup by %-22s median %lld ms (of %d)\n", k.name, static_cast<long long>(times[Rounds / 2]), Rounds);
    }
    return server.rateRefusals() == 0 ? 0 : 2;
}
