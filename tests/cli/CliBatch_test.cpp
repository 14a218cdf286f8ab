// cantorix-cli rename ROOT --recursive and undo ROOT --recursive end to end: a small collection (three
// albums, a set of two discs, a compilation) against the local freedb and MusicBrainz test servers.
#include "core/lookup/freedb/DiscID.h"
#include "core/rename/RenameJournal.h"
#include "support/CddbTestSite.h"
#include "support/CliRunner.h"
#include "support/LocalHttpServer.h"
#include "support/MbTestServer.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>

using namespace cantorix;
using namespace cantorix::test;

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// One album folder of the collection: its path under the root and its files' playing times.
struct Disc {
    std::string folder;
    QList<int> seconds;
    QString discId() const { return TCDDBDiscID::FromSeconds(seconds).DiscIDText(); }
};

const Disc AlbumA{"Album A", {200, 180, 245}};
const Disc AlbumB{"Album B", {100, 110}};
const Disc AlbumC{"Album C", {120, 130}};
const Disc Compilation{"Compilation", {140, 145}};
const Disc SetCd1{"Set/CD1", {150, 160}};
const Disc SetCd2{"Set/CD 2", {170, 190}};

// Every regular file under `dir`, as paths relative to it, sorted.
Lines tree(const std::string& dir)
{
    Lines out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) out.push_back(fs::relative(e.path(), dir).string());
    std::sort(out.begin(), out.end());
    return out;
}

class CliBatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const Disc& d : {AlbumA, AlbumB, AlbumC, Compilation, SetCd1, SetCd2}) {
            fs::create_directories(root() + d.folder);
            for (qsizetype k = 0; k < d.seconds.size(); ++k)
                writeAu(root() + d.folder + "/Track " + std::to_string(k + 1) + ".au", d.seconds[k]);
        }
        m_before = tree(root());
        ASSERT_TRUE(m_server.start());
        writeText(m_conf.file("c.ini"), "[Main]\nNameFormat=disc# trackartist - track\n[Connection]\nServer=" +
                                            m_server.hostAndPort().toStdString() + "\nTimeout=5\n");
    }

    std::string root() const { return m_dir.str() + "/music/"; }
    QString settings() const { return QString::fromStdString(m_conf.file("c.ini")); }

    // The read of `d`'s entry in `category`: a whole xmcd entry, as a server keeps it.
    void entry(const Disc& d, const QString& category, const QByteArray& title, const QList<QByteArray>& titles)
    {
        const QString id = d.discId();
        QByteArray text = "# xmcd\n#\n# Track frame offsets:\n";
        int frames = 150;
        for (int s : d.seconds) {
            text += "#\t" + QByteArray::number(frames) + "\n";
            frames += s * 75;
        }
        text += "#\n# Disc length: " + QByteArray::number(frames / 75) + " seconds\n#\n# Revision: 0\n"
                "# Submitted via: test\n#\nDISCID=" + id.toLatin1() + "\nDTITLE=" + title + "\nDYEAR=2001\nDGENRE=Rock\n";
        for (qsizetype k = 0; k < titles.size(); ++k) text += "TTITLE" + QByteArray::number(k) + "=" + titles[k] + "\n";
        text += "EXTD=\n";
        for (qsizetype k = 0; k < titles.size(); ++k) text += "EXTT" + QByteArray::number(k) + "=\n";
        m_site.onBody("cddb read " + category + " " + id, CddbTestSite::entryReply(category, id, text + "PLAYORDER=\n"));
    }

    // One exact match for the albums that are found, no match for Album B, two exact matches for Album C.
    void freedbCollection()
    {
        auto exact = [&](const Disc& d, const QByteArray& title, const QList<QByteArray>& titles) {
            const QString id = d.discId();
            m_site.onBody("cddb query " + id, "200 rock " + id.toLatin1() + " " + title + "\r\n");
            entry(d, "rock", title, titles);
        };
        exact(AlbumA, "Band A / Record A", {"Intro", "Middle", "End"});
        exact(Compilation, "Various / Hits", {"X / One", "Y / Two"});
        exact(SetCd1, "Band S / Double (CD 1)", {"One", "Two"});
        exact(SetCd2, "Band S / Double (CD 2)", {"Three", "Four"});
        m_site.onBody("cddb query " + AlbumB.discId(), "202 No match for disc ID " + AlbumB.discId().toLatin1() + ".\r\n");
        const QByteArray c = AlbumC.discId().toLatin1();
        m_site.onBody("cddb query " + AlbumC.discId(), "210 Found exact matches, list follows (until terminating `.')\r\n"
                                                       "rock " + c + " C / One\r\nmisc " + c + " C / Other\r\n.\r\n");
        entry(AlbumC, "misc", "C / Other", {"First", "Second"});
        m_server.setHandler(m_site.handler());
    }

    CliResult batch(const QStringList& extra = {}, const QStringList& environment = {})
    {
        return runCliServing(QStringList{"rename", QString::fromStdString(root()), "--recursive", "--lookup",
                                         "--rename-folder", "--folder-format", "1"} +
                                 extra + QStringList{"--settings", settings()},
                             60000, environment);
    }
    // What a run killed after its plan leaves in `folder`: a record without its end.
    static void interruptedRunIn(const std::string& folder)
    {
        TRenameJournal journal(TRenameJournal::defaultDirectory());
        journal.data().Folder = folder;
        journal.data().Moves = {{"Track 1.au", "elsewhere.au"}};
        std::string why;
        ASSERT_EQ(journal.begin(&why), TRenameJournal::TStart::Begun) << why;
    }
    QString folder(const std::string& name) const { return QString::fromStdString(root() + name + "/"); }

    TempDir m_dir, m_conf;
    LocalHttpServer m_server;
    CddbTestSite m_site;
    Lines m_before;
};

TEST_F(CliBatch, ACollectionIsRenamedAlbumByAlbumAndUndoneAsAWhole)
{
    freedbCollection();
    const std::string report = m_conf.file("report.jsonl");
    const CliResult r = batch({"--jobs", "3", "--report", QString::fromStdString(report)});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(r.outLines(), (QStringList{"renamed " + folder("Album A"), "no match " + folder("Album B"),
                                         "ambiguous " + folder("Album C") + " (2 candidates)",
                                         "renamed " + folder("Compilation"), "renamed " + folder("Set"),
                                         "5 albums: 3 renamed, 1 no match, 1 ambiguous"}));
    // The names: the set's discs numbered and in one folder named without the disc mark, the
    // compilation by each track's artist.
    EXPECT_EQ(tree(root()), (Lines{"Album B/Track 1.au", "Album B/Track 2.au", "Album C/Track 1.au",
                                   "Album C/Track 2.au", "Band A - Record A/01 Band A - Intro.au",
                                   "Band A - Record A/02 Band A - Middle.au", "Band A - Record A/03 Band A - End.au",
                                   "Band S - Double/CD 2/201 Band S - Three.au", "Band S - Double/CD 2/202 Band S - Four.au",
                                   "Band S - Double/CD1/101 Band S - One.au", "Band S - Double/CD1/102 Band S - Two.au",
                                   "Various - Hits/01 X - One.au", "Various - Hits/02 Y - Two.au"}));

    // The same outcomes as JSON Lines.
    QFile lines(QString::fromStdString(report));
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    QList<QJsonObject> objects;
    for (const QByteArray& line : lines.readAll().split('\n'))
        if (!line.isEmpty()) objects << QJsonDocument::fromJson(line).object();
    ASSERT_EQ(objects.size(), 5);
    EXPECT_EQ(objects[0]["outcome"].toString(), "renamed");
    EXPECT_EQ(objects[0]["artist"].toString(), "Band A");
    EXPECT_EQ(objects[0]["album"].toString(), "Record A");
    EXPECT_EQ(objects[0]["renamed"].toInt(), 3);
    EXPECT_EQ(objects[0]["folderAfter"].toString(), folder("Band A - Record A"));
    EXPECT_EQ(objects[1]["outcome"].toString(), "no match");
    EXPECT_EQ(objects[2]["outcome"].toString(), "ambiguous");
    EXPECT_EQ(objects[2]["candidates"].toInt(), 2);
    EXPECT_EQ(objects[4]["album"].toString(), "Double");
    EXPECT_EQ(objects[4]["renamed"].toInt(), 4);

    // Run again with the same arguments: what was renamed is left alone without a request.
    const qsizetype requests = m_server.requests().size();
    const CliResult again = batch();
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.outLines().last(), "5 albums: 3 skipped, 1 no match, 1 ambiguous");
    EXPECT_TRUE(again.outLines().contains("skipped " + folder("Set") .replace("Set/", "Band S - Double/") +
                                          ": renamed by an earlier run"))
        << again.out.toStdString();
    EXPECT_EQ(m_server.requests().size(), requests + 2); // Album B and Album C only

    // --match picks among several candidates for every album that has them.
    const CliResult picked = batch({"--match", "1"});
    EXPECT_TRUE(picked.outLines().contains("renamed " + folder("Album C"))) << picked.out.toStdString();

    // Undo of the tree: every album's last run, the discs of the set before its folder.
    const CliResult undo = runCli({"undo", QString::fromStdString(root()), "--recursive", "--settings", settings()});
    EXPECT_EQ(undo.exitCode, 0) << undo.out.toStdString() << undo.err.toStdString();
    EXPECT_EQ(undo.outLines().last(), "Folders undone: 6");
    EXPECT_EQ(tree(root()), m_before);
    EXPECT_EQ(runCli({"undo", QString::fromStdString(root()), "--recursive", "--settings", settings()}).exitCode, 1);
}

TEST_F(CliBatch, ADryRunPlansEverythingAndMovesNothing)
{
    freedbCollection();
    const CliResult r = batch({"--dry-run", "--playlist"});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList out = r.outLines();
    EXPECT_TRUE(out.contains("\"Track 1.au\" -> \"01 Band A - Intro.au\"")) << r.out.toStdString();
    EXPECT_TRUE(out.contains("\"CD 2/Track 2.au\" -> \"CD 2/202 Band S - Four.au\"")) << r.out.toStdString();
    EXPECT_TRUE(out.contains("Playlist \"CD1/Band S - Double.m3u\""));
    EXPECT_TRUE(out.contains("Folder \"" + folder("Set") + "\" -> \"" + folder("Band S - Double") + "\""));
    EXPECT_TRUE(out.contains("would rename " + folder("Compilation")));
    EXPECT_EQ(out.last(), "5 albums: 3 would be renamed, 1 no match, 1 ambiguous");
    EXPECT_EQ(tree(root()), m_before);
}

// A batch that was interrupted, run again: the albums it finished are skipped, the one it was renaming
// is refused until it is undone.
TEST_F(CliBatch, AnInterruptedAlbumIsRefusedUntilUndone)
{
    freedbCollection();
    interruptedRunIn(root() + "Album A/");
    const CliResult r = batch();
    EXPECT_TRUE(r.outLines().contains("refused " + folder("Album A") + ": " + UnfinishedRunText)) << r.out.toStdString();
    EXPECT_TRUE(r.outLines().contains("renamed " + folder("Compilation")));
    EXPECT_TRUE(fs::exists(root() + "Album A/Track 1.au"));
    ASSERT_EQ(runCli({"undo", folder("Album A"), "--settings", settings()}).exitCode, 0);
    EXPECT_TRUE(batch().outLines().contains("renamed " + folder("Album A")));
}

// In German the outcome lines, the summary and the report's keys and outcomes stay as scripts read
// them; the reasons are told in German, as the other lines' notes are.
TEST_F(CliBatch, InGermanTheLinesForScriptsStayEnglish)
{
    freedbCollection();
    interruptedRunIn(root() + "Album A/");
    const std::string report = m_conf.file("report.jsonl");
    const CliResult r = batch({"--report", QString::fromStdString(report)}, {"LANGUAGE=de", "LANG=de_DE.UTF-8"});
    EXPECT_EQ(r.exitCode, 1);
    const QString refused = "refused " + folder("Album A") + ": Ein früherer Umbenennungslauf in diesem Ordner";
    const QStringList out = r.outLines();
    ASSERT_EQ(out.size(), 6) << r.out.toStdString();
    EXPECT_TRUE(out[0].startsWith(refused)) << out[0].toStdString();
    EXPECT_EQ(out.mid(1), (QStringList{"no match " + folder("Album B"), "ambiguous " + folder("Album C") + " (2 candidates)",
                                       "renamed " + folder("Compilation"), "renamed " + folder("Set"),
                                       "5 albums: 2 renamed, 1 no match, 1 ambiguous, 1 refused"}));

    QFile lines(QString::fromStdString(report));
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    const QJsonObject first = QJsonDocument::fromJson(lines.readLine()).object();
    EXPECT_EQ(first["outcome"].toString(), "refused");
    EXPECT_TRUE(first["reason"].toString().startsWith("Ein früherer Umbenennungslauf")) << first["reason"].toString().toStdString();
    const QJsonObject second = QJsonDocument::fromJson(lines.readLine()).object();
    EXPECT_EQ(second["outcome"].toString(), "no match");
}

TEST_F(CliBatch, WrongUse)
{
    const QString rootArg = QString::fromStdString(root());
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {{"rename", rootArg, "--recursive"}, 2},
        {{"rename", rootArg, "--recursive", "--lookup", "--jobs", "5"}, 2},
        {{"rename", rootArg, "--recursive", "--lookup", "--entry", "x"}, 2},
        {{"rename", rootArg, "--recursive", "--search", "--artist", "A"}, 2},
        {{"rename", rootArg, "--lookup", "--jobs", "2"}, 2},
        {{"rename", rootArg, "--recursive", "--lookup", "--cover"}, 2},
        {{"rename", rootArg, "--recursive", "--lookup", "--report", QString::fromStdString(m_dir.file("no/such/r"))}, 1},
        {{"rename", QString::fromStdString(m_dir.file("none")), "--recursive", "--lookup"}, 1},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli(c.args + QStringList{"--settings", settings()});
        EXPECT_EQ(r.exitCode, c.code) << c.args.join(' ').toStdString() << r.err.toStdString();
    }
    EXPECT_EQ(tree(root()), m_before);
}

// MusicBrainz: one request per second for the whole batch; a clearly closest release is taken, two
// close ones are not; the set is one release of two media; the compilation's tracks carry their own
// artists; --cover saves each album's front cover and keeps one that is there.
TEST(CliBatchMusicBrainz, ReleasesAreTakenOnlyWhenClearAndCoversAreSaved)
{
    TempDir dir, conf;
    const std::string root = dir.str() + "/music/";
    MbTestServer server;
    auto tracks = [](const QList<int>& seconds, const QString& stem, qint64 offsetMs, const QStringList& artists = {}) {
        QList<MbTestTrack> out;
        for (qsizetype k = 0; k < seconds.size(); ++k)
            out << MbTestTrack{QString("%1 %2").arg(stem).arg(k + 1), seconds[k] * 1000 + offsetMs, artists.value(k)};
        return out;
    };
    auto album = [&](const std::string& folder, const QList<int>& seconds) {
        fs::create_directories(root + folder);
        for (qsizetype k = 0; k < seconds.size(); ++k) writeAu(root + folder + "/" + std::to_string(k + 1) + ".au", seconds[k]);
    };
    album("Clear", {200, 180, 245});
    album("Close", {120, 130, 140});
    album("Comp", {150, 151, 152});
    album("Set/CD1", {170, 171});
    album("Set/CD2", {172, 173, 174});
    writeText(root + "Comp/folder.jpg", "mine");

    MbTestRelease clear{"Clear Record", {{"Band", ""}}, {MbTestMedium{tracks({200, 180, 245}, "Clear", 300)}}, "2001"};
    clear.cover = true;
    MbTestRelease far{"Far Record", {{"Band", ""}}, {MbTestMedium{tracks({200, 180, 245}, "Far", 7000)}}, "2002"};
    MbTestRelease close1{"Close One", {{"Duo", ""}}, {MbTestMedium{tracks({120, 130, 140}, "One", 200)}}};
    MbTestRelease close2{"Close Two", {{"Duo", ""}}, {MbTestMedium{tracks({120, 130, 140}, "Two", 900)}}};
    MbTestRelease comp{"Hits", {{"Various Artists", ""}},
                       {MbTestMedium{tracks({150, 151, 152}, "Song", 0, {"X", "Y", "Z"})}}, "1999"};
    comp.cover = true;
    MbTestRelease set{"Double", {{"Band S", ""}},
                      {MbTestMedium{tracks({170, 171}, "One", 100)}, MbTestMedium{tracks({172, 173, 174}, "Two", 100)}}};
    for (const MbTestRelease& r : {clear, far, close1, close2, comp, set}) server.add(r);
    ASSERT_TRUE(server.start());
    writeText(conf.file("c.ini"), "[Main]\nNameFormat=disc# trackartist - track\n");

    const std::string report = conf.file("r.jsonl");
    const CliResult r = runCliServing({"rename", QString::fromStdString(root), "--recursive", "--lookup", "--musicbrainz",
                                       "--mb-server", server.base(), "--cover-server", server.base(), "--cover",
                                       "--jobs", "2", "--report", QString::fromStdString(report), "--settings",
                                       QString::fromStdString(conf.file("c.ini"))},
                                      60000);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    const QString base = QString::fromStdString(root);
    EXPECT_EQ(r.outLines(), (QStringList{"renamed " + base + "Clear/", "ambiguous " + base + "Close/ (2 candidates)",
                                         "renamed " + base + "Comp/", "renamed " + base + "Set/",
                                         "4 albums: 3 renamed, 1 ambiguous"}))
        << r.out.toStdString();
    EXPECT_EQ(tree(root), (Lines{"Clear/01 Band - Clear 1.au", "Clear/02 Band - Clear 2.au", "Clear/03 Band - Clear 3.au",
                                 "Clear/folder.jpg", "Close/1.au", "Close/2.au", "Close/3.au", "Comp/01 X - Song 1.au",
                                 "Comp/02 Y - Song 2.au", "Comp/03 Z - Song 3.au", "Comp/folder.jpg",
                                 "Set/CD1/101 Band S - One 1.au", "Set/CD1/102 Band S - One 2.au",
                                 "Set/CD2/201 Band S - Two 1.au", "Set/CD2/202 Band S - Two 2.au",
                                 "Set/CD2/203 Band S - Two 3.au"}));
    const QByteArray image = MbTestServer::coverImage(clear.mbid());
    EXPECT_EQ(readFile(root + "Clear/folder.jpg"), Bytes(image.begin(), image.end()));
    EXPECT_EQ(readText(root + "Comp/folder.jpg"), "mine"); // kept, and the run says so
    EXPECT_NE(readText(report).find("\"reason\":\"kept the existing \\\"folder.jpg\\\"\""), std::string::npos)
        << readText(report);
    EXPECT_EQ(server.rateRefusals(), 0);
    for (qint64 gap : server.gaps()) EXPECT_GE(gap, MbTestServer::MinIntervalMs);

    const CliResult undo = runCli({"undo", QString::fromStdString(root), "--recursive"});
    EXPECT_EQ(undo.exitCode, 0) << undo.out.toStdString();
    EXPECT_FALSE(fs::exists(root + "Clear/folder.jpg"));
    EXPECT_EQ(readText(root + "Comp/folder.jpg"), "mine");
}

} // namespace
