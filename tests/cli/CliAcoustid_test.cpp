// cantorix-cli with AcoustID end to end: generated melodies fingerprinted by fpcalc, a local AcoustID
// service with its rules and a local MusicBrainz service that holds the release.
#include "core/lookup/acoustid/Fingerprinter.h"

#include "support/AidTestServer.h"
#include "support/CliRunner.h"
#include "support/MbTestServer.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

using namespace cantorix;
using namespace cantorix::test;

namespace {

class CliAcoustid : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("fpcalc").isEmpty()) GTEST_SKIP() << "fpcalc (libchromaprint-tools) is not installed";
        // Melodies 0 to 3 are the album's tracks 1 to 4; the folder holds track 4, track 1, an unknown
        // piece and track 2, in that order.
        QStringList prints;
        TempDir melodies;
        for (int i = 0; i < 5; ++i) {
            writeMelodyWav(melodies.file("m" + std::to_string(i) + ".wav"), 200 + i, 10);
            prints << QString::fromStdString(melodies.file("m" + std::to_string(i) + ".wav"));
        }
        TFingerprinter printer;
        QList<TFingerprint> results;
        QObject::connect(&printer, &TFingerprinter::finished, [&](const QList<TFingerprint>& r, const QString&) { results = r; });
        printer.start(prints);
        ASSERT_TRUE(waitUntil([&] { return !results.isEmpty(); }, 120000));
        AidTestRelease album{"Tonleitern", "Die Sinuskapelle", {{}}};
        const char* titles[] = {"Eins", "Zwei", "Drei", "Vier"};
        for (int i = 0; i < 4; ++i) album.media[0] << AidTestTrack{titles[i], results[i].Fingerprint};
        m_aid.add(album);
        MbTestRelease release{"Tonleitern", {{"Die Sinuskapelle", ""}}, {MbTestMedium{}}, "2001-05-04", "DE"};
        release.id = album.mbid();
        for (const char* t : titles) release.media[0].tracks << MbTestTrack{t, 10000};
        m_mb.add(release);
        ASSERT_TRUE(m_aid.start());
        ASSERT_TRUE(m_mb.start());
        const int order[] = {3, 0, 4, 1};
        for (int i = 0; i < 4; ++i) writeMelodyWav(m_dir.file("Track 0" + std::to_string(i + 1) + ".wav"), 200 + order[i], 10);
        writeText(m_conf.file("c.ini"), "[Main]\nNameFormat=# - track\n[MusicBrainz]\nServer=" + m_mb.base().toStdString() + "\n");
    }
    QStringList common(const QString& key = AidTestServer::Key) const
    {
        QStringList args{"--acoustid", "--acoustid-server", m_aid.base(), "--settings", QString::fromStdString(m_conf.file("c.ini"))};
        if (!key.isEmpty()) args << "--acoustid-key" << key;
        return args;
    }
    QString album() const { return QString::fromStdString(m_dir.str()); }

    TempDir m_dir, m_conf;
    AidTestServer m_aid;
    MbTestServer m_mb;
};

} // namespace

TEST_F(CliAcoustid, EachFileGetsTheTrackItsSoundMatchedAndTheUnknownOneKeepsItsName)
{
    const CliResult r = runCliServing(QStringList{"lookup", album()} + common(), 120000);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("album: Tonleitern\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("04\tVier\tTrack 01.wav\n"));
    EXPECT_TRUE(r.out.contains("01\tEins\tTrack 02.wav\n"));
    EXPECT_TRUE(r.out.contains("\t\tTrack 03.wav\n"));
    EXPECT_TRUE(r.err.contains("Track 03.wav: no track: No recording matches its fingerprint")) << r.err.toStdString();

    const CliResult renamed = runCliServing(QStringList{"rename", album(), "--lookup"} + common(), 120000);
    ASSERT_EQ(renamed.exitCode, 0) << renamed.out.toStdString() << renamed.err.toStdString();
    EXPECT_EQ(listFiles(m_dir.str()), (std::vector<std::string>{"01 - Eins.wav", "02 - Zwei.wav", "04 - Vier.wav", "Track 03.wav"}));
    EXPECT_EQ(runCli({"undo", album()}).exitCode, 0);
}

TEST_F(CliAcoustid, WithoutAKeyNothingIsAskedAndNothingChanges)
{
    const CliResult r = runCliServing(QStringList{"rename", album(), "--lookup"} + common(""), 120000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("AcoustID needs an application key")) << r.err.toStdString();
    EXPECT_EQ(m_aid.lookups(), 0);
    EXPECT_EQ(listFiles(m_dir.str()).front(), "Track 01.wav");
}
