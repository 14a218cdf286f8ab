#include "core/lookup/acoustid/AcoustidLookup.h"

#include "core/lookup/musicbrainz/MbReleaseReader.h"

#include "support/AidTestServer.h"
#include "support/MbTestServer.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

using namespace cantorix;
using test::AidTestRelease;
using test::AidTestServer;
using test::AidTestTrack;
using test::MbTestServer;
using test::TempDir;
using test::waitUntil;
using Kind = TLookupOutcome::Kind;

namespace {

// Fingerprints of generated melodies, computed once for the whole program (fpcalc takes a while).
struct Melodies {
    TempDir dir;
    QList<QByteArray> prints; // of melody 0 .. 5
    QString error;
    Melodies()
    {
        QStringList files;
        for (int i = 0; i < 6; ++i) {
            test::writeMelodyWav(dir.file("melody" + std::to_string(i) + ".wav"), 100 + i, 10);
            files << QString::fromStdString(dir.file("melody" + std::to_string(i) + ".wav"));
        }
        TFingerprinter printer;
        bool done = false;
        QObject::connect(&printer, &TFingerprinter::finished, [&](const QList<TFingerprint>& r, const QString& failure) {
            error = failure;
            for (const TFingerprint& p : r) {
                prints << p.Fingerprint;
                if (!p.ok()) error = p.Error;
            }
            done = true;
        });
        printer.start(files);
        waitUntil([&] { return done; }, 120000);
    }
    static Melodies& get()
    {
        static Melodies melodies;
        return melodies;
    }
};

struct Lookup {
    TAidRateLimiter aidPace;
    TMbRateLimiter mbPace{0};
    std::unique_ptr<TAcoustidLookup> source;
    QStringList log;
    QList<QStringList> offers;
    QList<QPair<int, int>> counts;
    QList<TLookupOutcome> outcomes;
    int pick = 0;

    Lookup(const QString& aidBase, const QString& mbBase, const QString& state, const QString& key = AidTestServer::Key)
    {
        TAcoustidConfig config;
        config.Server = aidBase;
        config.ClientKey = key;
        TFingerprintConfig prints;
        prints.CacheDirectory = state;
        TMusicBrainzConfig mb;
        mb.Server = mbBase;
        auto reader = std::make_unique<TMbReleaseReader>(mb);
        reader->setRateLimiter(&mbPace);
        source = std::make_unique<TAcoustidLookup>(config, prints, std::move(reader));
        source->setRateLimiter(&aidPace);
        QObject::connect(source.get(), &TLookupSource::logLine, [this](const QString& l) { log << l; });
        QObject::connect(source.get(), &TLookupSource::filesDone, [this](int d, int t) { counts << qMakePair(d, t); });
        QObject::connect(source.get(), &TLookupSource::candidatesFound, [this](const QStringList& lines, int) {
            offers << lines;
            source->choose(pick);
        });
        QObject::connect(source.get(), &TLookupSource::finished, [this](const TLookupOutcome& o) { outcomes << o; });
    }
    bool run(const QString& folder, const QStringList& names)
    {
        TLookupRequest request;
        request.Folder = folder;
        request.FileNames = names;
        if (!source->start(request)) return false;
        return waitUntil([this] { return !outcomes.isEmpty(); }, 120000);
    }
};

} // namespace

TEST(AcoustidLookup, FilesAreNamedByTheTrackTheirSoundMatched)
{
    if (QStandardPaths::findExecutable("fpcalc").isEmpty()) GTEST_SKIP() << "fpcalc (libchromaprint-tools) is not installed";
    Melodies& m = Melodies::get();
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();

    // The album has five tracks; the folder holds four of them in the wrong order, and one unknown piece.
    AidTestRelease album{"Tonleitern", "Die Sinuskapelle",
                         {{{"Eins", m.prints[0]}, {"Zwei", m.prints[1]}, {"Drei", m.prints[2]}, {"Vier", m.prints[3]}, {"Fünf", m.prints[4]}}}};
    AidTestServer aid;
    aid.add(album);
    ASSERT_TRUE(aid.start());
    MbTestServer mb;
    test::MbTestRelease release{"Tonleitern", {{"Die Sinuskapelle", ""}}, {test::MbTestMedium{}}, "2001-05-04", "DE"};
    release.id = album.mbid();
    for (const char* title : {"Eins", "Zwei", "Drei", "Vier", "Fünf"}) release.media[0].tracks << test::MbTestTrack{title, 10000};
    mb.add(release);
    ASSERT_TRUE(mb.start());

    TempDir folder;
    const int melodyOfFile[] = {3, 0, 5, 1}; // Track 01 holds track 4, Track 03 is unknown music
    QStringList names;
    for (int i = 0; i < 4; ++i) {
        names << QString("Track %1.wav").arg(i + 1, 2, 10, QChar('0'));
        test::writeMelodyWav(folder.file(names.last().toStdString()), 100 + melodyOfFile[i], 10);
    }
    const QString state = QString::fromStdString(folder.file("state"));
    Lookup lookup(aid.base(), mb.base(), state);
    ASSERT_TRUE(lookup.run(QString::fromStdString(folder.str()), names));
    const TLookupOutcome& o = lookup.outcomes.first();
    ASSERT_EQ(o.kind, Kind::EntryRead) << o.reason.toStdString();
    ASSERT_EQ(lookup.offers.size(), 1);
    EXPECT_EQ(lookup.offers[0].value(0), QString::fromUtf8("Die Sinuskapelle \u2014 Tonleitern (2001-05-04, Album) \u00b7 3 of 4 files"));
    EXPECT_FALSE(o.needsPairing);
    EXPECT_EQ(o.record.MbReleaseId, album.mbid());
    ASSERT_EQ(o.record.Titles.size(), 4);
    EXPECT_EQ(o.record.Titles[0].No, "04");
    EXPECT_EQ(o.record.Titles[0].Title, "Vier");
    EXPECT_EQ(o.record.Titles[1].No, "01");
    EXPECT_EQ(o.record.Titles[3].No, "02");
    EXPECT_FALSE(o.record.Titles[0].AcoustId.isEmpty());
    EXPECT_TRUE(o.record.Titles[2].Title.isEmpty());
    EXPECT_EQ(o.record.Titles[2].Unmatched, "No recording matches its fingerprint");
    EXPECT_EQ(lookup.counts.last(), qMakePair(4, 4));
    EXPECT_EQ(aid.rateRefusals(), 0);

    // Again: the fingerprints are kept, nothing is computed.
    Lookup again(aid.base(), mb.base(), state);
    ASSERT_TRUE(again.run(QString::fromStdString(folder.str()), names));
    EXPECT_EQ(again.outcomes.first().kind, Kind::EntryRead);
    EXPECT_TRUE(again.log.contains("4 of 4 files fingerprinted (4 kept from before)")) << again.log.join("\n").toStdString();
}

TEST(AcoustidLookup, EndsAtOnceWithoutAKeyAndSaysWhenNothingMatches)
{
    if (QStandardPaths::findExecutable("fpcalc").isEmpty()) GTEST_SKIP() << "fpcalc (libchromaprint-tools) is not installed";
    AidTestServer aid;
    ASSERT_TRUE(aid.start());
    TempDir folder;
    test::writeMelodyWav(folder.file("a.wav"), 7, 10);
    {
        Lookup lookup(aid.base(), aid.base(), {}, "");
        ASSERT_TRUE(lookup.run(QString::fromStdString(folder.str()), {"a.wav"}));
        EXPECT_EQ(lookup.outcomes.first().kind, Kind::Failed);
        EXPECT_EQ(lookup.outcomes.first().reason, AidNoKeyText());
        EXPECT_EQ(aid.lookups(), 0);
    }
    {
        Lookup lookup(aid.base(), aid.base(), {});
        ASSERT_TRUE(lookup.run(QString::fromStdString(folder.str()), {"a.wav"}));
        EXPECT_EQ(lookup.outcomes.first().kind, Kind::NoMatch);
        EXPECT_EQ(lookup.outcomes.first().reason, "No fingerprint matched a release");
    }
    {
        // A reply that is no reply ends the lookup; nothing is delivered from it.
        aid.setRawReply(R"({"status":"ok","results":[{"id":"9ff43b6a-4f16-427c-93c2-92307ca505e0","score":7}]})");
        Lookup lookup(aid.base(), aid.base(), {});
        ASSERT_TRUE(lookup.run(QString::fromStdString(folder.str()), {"a.wav"}));
        EXPECT_EQ(lookup.outcomes.first().kind, Kind::NoMatch);
        aid.setRawReply("not json");
        Lookup broken(aid.base(), aid.base(), {});
        ASSERT_TRUE(broken.run(QString::fromStdString(folder.str()), {"a.wav"}));
        EXPECT_EQ(broken.outcomes.first().kind, Kind::Failed);
        EXPECT_EQ(broken.outcomes.first().reason, "The AcoustID reply is not JSON");
    }
}
