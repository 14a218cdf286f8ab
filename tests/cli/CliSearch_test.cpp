// cantorix-cli search and rename --search end to end: a real album folder, the real HTTP client, and a
// web search site with a freedb server on 127.0.0.1.
#include "support/CddbTestSite.h"
#include "support/CliRunner.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <filesystem>
#include <QFile>
#include <QProcess>

using namespace cantorix;
using namespace cantorix::test;

namespace {

QByteArray fixtureBytes(const std::string& name)
{
    QFile file(QString::fromStdString(fixture(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// A gnudb-style page with one album under two disc IDs; its entry comes from the CDDB server.
const QByteArray GnudbPage = R"(<h2>Search Results, 1 albums found:</h2>
<a href="http://www.gnudb.org/cd/cl13027103"><b>The Long Named Orchestra of the Night / Songs for Four Lines</b></a><br>
<a href="http://www.gnudb.org/gnudb/classical/13027103" target=_blank>Discid: classical / 13027103</a><br>
<a href="http://www.gnudb.org/gnudb/misc/13027103" target=_blank>Discid: misc / 13027103</a><br>)";

class CliSearch : public ::testing::Test {
protected:
    // Files named out of the entry's order, so that the pairing shows.
    static void writeAlbum(const std::filesystem::path& folder)
    {
        std::filesystem::create_directories(folder);
        for (const char* name : {"01 - Coda.au", "02 - Prelude.au", "03 - Eins Zwei.au"})
            writeAu((folder / name).string(), 100, 1000);
    }

    void SetUp() override
    {
        writeAlbum(m_dir.path());
        m_server.setHandler([this](const HttpRequest& request) {
            if (request.path.startsWith("/search/")) return HttpResponse{200, "OK", "text/html", GnudbPage};
            if (request.path == "/freedb_search.php") return HttpResponse{200, "OK", "text/html", m_classicPage};
            if (request.path == "/freedb/classical/0a0b0c03")
                return HttpResponse{200, "OK", "text/plain", fixtureBytes("entries/continued-13027103.txt")};
            if (request.path.startsWith("/freedb/")) return HttpResponse{404, "Not Found", "text/html", "none"};
            return m_site.handler()(request);
        });
        ASSERT_TRUE(m_server.start());
        m_site.onBody("cddb read classical 13027103",
                      CddbTestSite::entryReply("classical", "13027103", fixtureBytes("entries/continued-13027103.txt")));
    }

    QString settings(const QString& searchUrl)
    {
        const std::string path = m_conf.file("Cantorix.ini");
        writeText(path, QString("[Connection]\nServer=%1\nTimeout=5\nSearchUrl=%2\n")
                            .arg(m_server.hostAndPort(), searchUrl)
                            .toStdString());
        return QString::fromStdString(path);
    }

    QString album() const { return QString::fromStdString(m_dir.str()); }

    TempDir m_dir, m_conf;
    LocalHttpServer m_server;
    CddbTestSite m_site;
    QByteArray m_classicPage;
};

const QString EntryLines = "artist: The Long Named Orchestra of the Night\nalbum: Songs for Four Lines\nyear: 1999\n"
                           "genre: Classical\n01\tPrelude\t02 - Prelude.au\n02\tEins Zwei Drei Vier\t03 - Eins Zwei.au\n"
                           "03\tCoda\t01 - Coda.au\n";

} // namespace

TEST_F(CliSearch, GnudbPageAndTheCddbRead)
{
    const CliResult r = runCliServing({"search", album(), "--artist", "Orchestra & Friends", "--album", QString::fromUtf8("Ä"),
                          "--settings", settings(m_server.url("/search/%s"))});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    ASSERT_GE(m_server.requests().size(), 2);
    EXPECT_EQ(m_server.requests()[0].target, "/search/Orchestra+%26+Friends+%C3%84");
    EXPECT_EQ(formValue(m_server.requests()[1], "cmd"), "cddb read classical 13027103");

    const QStringList lines = r.out.split('\n');
    EXPECT_EQ(lines.mid(0, 7),
              (QStringList{"3 audio files found in \"" + album() + "/\"", "search artist: Orchestra & Friends",
                           QString::fromUtf8("search album: Ä"), "Querying album by name...",
                           "2 matches found from FreeDB",
                           "match 0: classical 13027103 The Long Named Orchestra of the Night / Songs for Four Lines",
                           "match 1: misc 13027103 The Long Named Orchestra of the Night / Songs for Four Lines"}));
    EXPECT_TRUE(r.out.contains("\nAttempting to get album data from FreeDB\nReading CD info\n"));
    EXPECT_TRUE(r.out.endsWith("Album data received. Please sort files carefully!\nReady to rename\n" + EntryLines))
        << r.out.toStdString();
}

TEST_F(CliSearch, ClassicPageAndTheSiteEntryThenRename)
{
    m_classicPage = R"(<tr><td><a href="http://www.freedb.org/freedb_search_fmt.php?cat=rock&id=0a0b0c01">Someone / Else</a><br><br></td></tr>
<tr><td><a href="http://www.freedb.org/freedb_search_fmt.php?cat=misc&id=0a0b0c02">Orchestra / Songs</a><br><a href="http://www.freedb.org/freedb_search_fmt.php?cat=classical&id=0a0b0c03"><font size=-1>2</font></a>&nbsp;<br><br></tr>)";
    const QString conf = settings(m_server.url("/freedb_search.php?words=%s&allfields=NO&fields=artist&fields=title"
                                               "&allcats=YES&grouping=none"));
    // Words guessed from the folder name, as no file name holds an artist.
    const QString folder = QString::fromStdString(m_conf.file("Orchestra - Songs"));
    writeAlbum(folder.toStdString());

    const CliResult r = runCliServing({"search", folder, "--match", "2", "--settings", conf});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(formValue(m_server.requests()[0], "words"), "Orchestra Songs");
    EXPECT_EQ(m_server.requests()[1].path, "/freedb/classical/0a0b0c03");
    EXPECT_TRUE(r.out.contains("search artist: Orchestra\nsearch album: Songs\n"));
    EXPECT_TRUE(r.out.contains("match 2: classical 0a0b0c03 Orchestra / Songs\n"));
    EXPECT_TRUE(r.out.endsWith(EntryLines)) << r.out.toStdString();

    // The first match's entry page is missing: nothing is read, and the exit code says so.
    const CliResult missing = runCliServing({"search", folder, "--settings", conf});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.contains("\nFailed to connect to the FreeDB\n")) << missing.out.toStdString();
    EXPECT_FALSE(missing.out.contains("artist: Someone"));

    const CliResult renamed = runCliServing({"rename", folder, "--search", "--match", "2", "--format", "# - track", "--settings", conf});
    ASSERT_EQ(renamed.exitCode, 0) << renamed.out.toStdString() << renamed.err.toStdString();
    EXPECT_EQ(listFiles(folder.toStdString()),
              (std::vector<std::string>{"01 - Prelude.au", "02 - Eins Zwei Drei Vier.au", "03 - Coda.au"}));
}
