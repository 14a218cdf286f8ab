// cantorix-cli with MusicBrainz end to end: an album folder, the real HTTP client and a local ws/2 server
// that keeps the service's rules.
#include "support/CliRunner.h"
#include "support/MbTestServer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace cantorix;
using namespace cantorix::test;

namespace {


class CliMusicBrainz : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeAu(m_dir.file("1 Intro.au"), 200);
        writeAu(m_dir.file("2 Middle.au"), 180);
        writeAu(m_dir.file("3 End.au"), 245);
        ASSERT_TRUE(m_server.start());
        writeText(m_conf.file("c.ini"), "[Main]\nNameFormat=# - track\n");
    }
    QString album() const { return QString::fromStdString(m_dir.str()); }
    QStringList common() const
    {
        return {"--musicbrainz", "--mb-server", m_server.base(), "--settings", QString::fromStdString(m_conf.file("c.ini"))};
    }
    MbTestRelease release(const QString& title, qint64 offsetMs) const
    {
        MbTestRelease r;
        r.title = title;
        r.credit = {{"Band", " & "}, {"Friends", ""}};
        r.date = "2001-05-02";
        r.country = "DE";
        r.genres = {{"progressive rock", 3}, {"rock", 1}};
        r.media = {{{{"Intro", 200000 + offsetMs}, {"Middle", 180000 + offsetMs}, {"End", 245000 + offsetMs}}}};
        return r;
    }

    TempDir m_dir, m_conf;
    MbTestServer m_server;
};

TEST_F(CliMusicBrainz, ALookupByPlayingTimesTakesTheClosestRelease)
{
    m_server.add(release("Far", 3000));
    m_server.add(release("Near", 400));
    const CliResult r = runCliServing(QStringList{"lookup", album()} + common());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    // The closest release comes first, whatever the service's order; --match 0 takes it.
    EXPECT_TRUE(r.out.contains("album: Near\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("artist: Band & Friends\n"));
    EXPECT_TRUE(r.out.contains("year: 2001\n"));
    EXPECT_TRUE(r.out.contains("01\tIntro\t1 Intro.au\n"));
    EXPECT_TRUE(r.out.contains("03\tEnd\t3 End.au\n"));
    for (const HttpRequest& q : m_server.requests())
        EXPECT_TRUE(q.headers.value("user-agent").startsWith("Cantorix/")) << q.target.toStdString();
}

TEST_F(CliMusicBrainz, NoMatchAndRenameByTheChosenRelease)
{
    const CliResult none = runCliServing(QStringList{"lookup", album()} + common());
    EXPECT_EQ(none.exitCode, 1);

    m_server.add(release("Record", 0));
    const CliResult renamed = runCliServing(QStringList{"rename", album(), "--lookup"} + common());
    ASSERT_EQ(renamed.exitCode, 0) << renamed.out.toStdString() << renamed.err.toStdString();
    EXPECT_EQ(listFiles(m_dir.str()), (std::vector<std::string>{"01 - Intro.au", "02 - Middle.au", "03 - End.au"}));
    EXPECT_EQ(runCli({"undo", album()}).exitCode, 0);
}

// --cover saves the release's front cover as folder.jpg, which undo removes; one that is there stays,
// and the run says so.
TEST_F(CliMusicBrainz, TheCoverIsSavedOrAnExistingOneKept)
{
    MbTestRelease r = release("Record", 0);
    r.cover = true;
    m_server.add(r);
    const QStringList args = QStringList{"rename", album(), "--lookup", "--cover", "--cover-server", m_server.base()} + common();
    // A dry run names the cover among the plan's lines, as it names the playlist.
    const CliResult planned = runCliServing(args + QStringList{"--dry-run"});
    EXPECT_TRUE(planned.outLines().contains("Cover \"folder.jpg\"")) << planned.out.toStdString();
    const CliResult saved = runCliServing(args);
    ASSERT_EQ(saved.exitCode, 0) << saved.out.toStdString() << saved.err.toStdString();
    EXPECT_TRUE(saved.outLines().contains("Saved the front cover as \"folder.jpg\"")) << saved.out.toStdString();
    EXPECT_EQ(readFile(m_dir.file("folder.jpg")).size(), size_t(MbTestServer::coverImage(r.mbid()).size()));
    EXPECT_EQ(runCli({"undo", album()}).exitCode, 0);
    EXPECT_EQ(listFiles(m_dir.str()), (std::vector<std::string>{"1 Intro.au", "2 Middle.au", "3 End.au"}));

    writeText(m_dir.file("folder.jpg"), "mine");
    const CliResult plannedKept = runCliServing(args + QStringList{"--dry-run"});
    EXPECT_TRUE(plannedKept.outLines().contains("Cover \"folder.jpg\" (kept: it is there already)"))
        << plannedKept.out.toStdString();
    const CliResult kept = runCliServing(args);
    ASSERT_EQ(kept.exitCode, 0) << kept.out.toStdString() << kept.err.toStdString();
    EXPECT_TRUE(kept.outLines().contains("Kept the existing \"folder.jpg\"")) << kept.out.toStdString();
    EXPECT_EQ(readText(m_dir.file("folder.jpg")), "mine");
}

TEST_F(CliMusicBrainz, ASearchByNamePairsTheTitlesWithTheFiles)
{
    m_server.add(release("Record", 0));
    const CliResult r =
        runCliServing(QStringList{"search", album(), "--artist", "Band", "--album", "Record"} + common());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("match 0: ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("02\tMiddle\t2 Middle.au\n")) << r.out.toStdString();
}

TEST(CliMusicBrainzTags, ARunWritesTheAlbumsIdentifiersIntoTheTags)
{
    TempDir dir, conf;
    MbTestServer server;
    ASSERT_TRUE(server.start());
    // Two tracks of 150 and 100 CD sectors, a rip whose disc ID the release carries.
    const int sectors[] = {150, 100};
    for (int i = 0; i < 2; ++i) {
        const std::string raw = dir.file("t.raw");
        writeFile(raw, Bytes(size_t(sectors[i]) * 588 * 4, 0));
        ASSERT_EQ(std::system(("flac --silent -f --force-raw-format --endian=little --sign=signed --channels=2 "
                               "--bps=16 --sample-rate=44100 -o '" + dir.file("0" + std::to_string(i + 1) + ".flac") +
                               "' '" + raw + "'").c_str()), 0);
        std::filesystem::remove(raw);
    }
    MbTestRelease release;
    release.title = "Record";
    release.credit = {{"Band", ""}};
    release.media = {{TracksOfSectors({"One", "Two"}, {150, 100})}};
    server.add(release);
    writeText(conf.file("c.ini"), "[Main]\nNameFormat=# - track\n");
    const CliResult r = runCliServing({"rename", QString::fromStdString(dir.str()), "--lookup", "--musicbrainz",
                                       "--mb-server", server.base(), "--write-tags", "--settings",
                                       QString::fromStdString(conf.file("c.ini"))});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    auto tag = [&](const std::string& file, const char* name) {
        const std::string out = dir.file("tag.txt");
        std::system(("metaflac --show-tag=" + std::string(name) + " '" + dir.file(file) + "' > '" + out + "'").c_str());
        return readText(out);
    };
    EXPECT_EQ(tag("02 - Two.flac", "MUSICBRAINZ_ALBUMID"), "MUSICBRAINZ_ALBUMID=" + release.mbid().toStdString() + "\n");
    EXPECT_EQ(tag("02 - Two.flac", "MUSICBRAINZ_TRACKID"),
              "MUSICBRAINZ_TRACKID=" + release.recordingId(0, 1).toStdString() + "\n");
    EXPECT_EQ(tag("01 - One.flac", "TITLE"), "TITLE=One\n");
}

TEST(CliMusicBrainzUsage, ServerOptionsBelongToMusicBrainz)
{
    TempDir dir;
    EXPECT_EQ(runCli({"lookup", QString::fromStdString(dir.str()), "--mb-server", "http://127.0.0.1:1"}).exitCode, 2);
}

} // namespace
