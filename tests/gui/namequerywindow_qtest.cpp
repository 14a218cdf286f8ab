// The "Name" query mode as the main window runs it, offscreen: the album guess into the search fields,
// and a search on a local gnudb-style site through the match window and the results window into the
// grid and a rename.
#include "gui/MainForm.h"
#include "gui/MatchForm.h"
#include "gui/ResultsForm.h"
#include "support/CddbTestSite.h"
#include "support/ModalWatch.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"
#include "core/album/AlbumSession.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <functional>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// A complete entry for two tracks.
const QByteArray kEntry = "# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t300\n#\n# Disc length: 6 seconds\n#\n"
                          "# Revision: 0\n# Submitted via: test\n#\nDISCID=0a0f0b02\n"
                          "DTITLE=Band / Record\nDYEAR=2001\nDGENRE=Rock\nTTITLE0=Intro\nTTITLE1=Outro\n"
                          "EXTD=\nEXTT0=\nEXTT1=\nPLAYORDER=\n";

// The result page of the gnudb search, two albums.
const QByteArray kResultPage =
    "<html><body><h2>Search Results, 2 albums found:</h2>\n"
    "<a href=\"http://www.gnudb.org/cd/ro1b2c3d4e\"><b>Other Band / Other Record</b></a><br>\n"
    "<a href=\"http://www.gnudb.org/gnudb/rock/1b2c3d4e\" target=_blank>Discid: rock / 1b2c3d4e</a><br>\n"
    "<a href=\"http://www.gnudb.org/cd/ro0a0f0b02\"><b>Band / Record</b></a><br>\n"
    "<a href=\"http://www.gnudb.org/gnudb/rock/0a0f0b02\" target=_blank>Discid: rock / 0a0f0b02</a><br>\n"
    "</body></html>\n";

// An album folder "Band - Record" whose files name their titles crosswise, and a bonus file the entry
// has no title for, beside a local site that
// serves the search page under /search/ and the freedb server's commands elsewhere.
struct Fixture {
    TempDir conf;
    TempDir root;
    std::string album = root.file("Band - Record");
    LocalHttpServer server;
    CddbTestSite site;
    int searchDelayMs = 0;

    Fixture()
    {
        std::filesystem::create_directory(album);
        for (const char* name : {"01 - Band - Outro.wav", "02 - Band - Intro.wav", "03 - Band - Bonus.wav"}) writeText(album + "/" + name, "");
        site.onBody("cddb read rock 0a0f0b02", CddbTestSite::entryReply("rock", "0a0f0b02", kEntry));
        server.setHandler([this](const HttpRequest& r) {
            if (!r.path.startsWith("/search/")) return site.handler()(r);
            HttpResponse page;
            page.contentType = "text/html; charset=UTF-8";
            page.body = kResultPage;
            page.delayMs = searchDelayMs;
            return page;
        });
        server.start();
        writeText(conf.file("c.ini"), ("[Main]\nDefaultMode=1\n[Connection]\nServer=" + server.hostAndPort() +
                                       "\nTimeout=5\nSearchUrl=" + server.url("/search/%s") + "\n")
                                          .toStdString());
    }
    QString ini() const { return q(conf.file("c.ini")); }
    QStringList searches() const
    {
        QStringList paths;
        for (const HttpRequest& r : server.requests())
            if (r.path.startsWith("/search/")) paths << QString::fromLatin1(r.target);
        return paths;
    }
};

bool unlocked(const TMainForm& f)
{
    return f.btQuery->isEnabled() && f.MainTree->isEnabled() && f.FileGrid->isEnabled() &&
           f.btRenameByTag->isEnabled() && f.btRefresh->isEnabled();
}

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

} // namespace

class NameQueryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void pressingNameGuessesTheAlbumFromTheFirstFile()
    {
        TempDir conf;
        TempDir root;
        const std::string album = root.file("X - Y [2004]");
        std::filesystem::create_directory(album);
        writeText(album + "/01 - T.mp3", ""); // "01" is a track number, not an artist: the folder name counts
        TMainForm f(q(conf.file("c.ini")), q(album));
        QVERIFY(f.btQueryModeChecksum->isChecked());
        QCOMPARE(f.edArtist->text(), QString());

        f.btQueryModeName->click();
        QVERIFY(f.panelName->isVisibleTo(&f));
        QCOMPARE(f.edArtist->text(), QString("X"));
        QCOMPARE(f.edAlbum->text(), QString("Y"));

        // What the user typed stays through "Checksum"; pressing "Name" guesses again.
        f.edArtist->setText("Typed");
        f.btQueryModeChecksum->click();
        QVERIFY(!f.panelName->isVisibleTo(&f));
        QCOMPARE(f.edArtist->text(), QString("Typed"));
        f.btQueryModeName->click();
        QCOMPARE(f.edArtist->text(), QString("X"));

        // A scan in "Name" mode guesses at its end; a folder without files leaves the fields empty.
        TempDir empty;
        f.mainTree()->selectPath(q(empty.str()));
        QCOMPARE(f.album().fileCount(), 0);
        QCOMPARE(f.edAlbum->text(), QString());
        f.btQueryModeName->click();
        QCOMPARE(f.edAlbum->text(), QString());
        f.mainTree()->selectPath(q(album));
        QCOMPARE(f.edAlbum->text(), QString("Y"));
    }

    void emptyWordsSendNothingAndKeepTheWindowUsable()
    {
        Fixture fx;
        TMainForm f(fx.ini(), q(fx.album));
        f.edArtist->clear();
        f.edAlbum->setText("   ");
        const qsizetype before = logLines(f).size();
        f.btQuery->click();
        QTest::qWait(100);
        QVERIFY(logLines(f).size() > before); // says why
        QVERIFY(unlocked(f));
        QVERIFY(fx.server.requests().isEmpty());
    }

    void searchChooseSortAndRename_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("sorting cancelled") << false;
    }

    void searchChooseSortAndRename()
    {
        QFETCH(bool, accept);
        Fixture fx;
        TMainForm f(fx.ini(), q(fx.album));
        // An earlier lookup left a title on the file that gets none this time, and Rename enabled.
        QVERIFY(editGridCell(f, 3, TMainForm::ColTrack, "Stale"));
        f.album().setCanRename(true);
        // The first file's name begins with its number: the words come from the folder.
        QCOMPARE(f.edArtist->text(), QString("Band"));
        QCOMPARE(f.edAlbum->text(), QString("Record"));

        QStringList matches, titles, files;
        QString artistWhileLoading;
        onModal([&](QWidget* w) {
            auto* match = qobject_cast<TMatchForm*>(w);
            if (!match) return;
            matches = texts(match->lstMatches);
            onModal([&](QWidget* w2) {
                auto* results = qobject_cast<TResultsForm*>(w2);
                if (!results) return;
                artistWhileLoading = f.edDBArtist->text();
                titles = texts(results->freedblist);
                files = texts(results->locallist);
                (accept ? results->btAccept : results->btCancel)->click();
            });
            match->lstMatches->setCurrentRow(1);
            match->btAccept->click();
        });
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.btQuery->setFocus();
        f.btQuery->click();
        QVERIFY(!f.btQuery->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(unlocked(f), 10000);
        // The keyboard is where it was, not in a search field (the window's own focus: offscreen, no
        // window is active again after a modal one).
        QCOMPARE(f.focusWidget(), f.btQuery);

        QCOMPARE(fx.searches(), QStringList{"/search/Band+Record"});
        QCOMPARE(matches, (QStringList{"rock 1b2c3d4e Other Band / Other Record", "rock 0a0f0b02 Band / Record"}));
        QCOMPARE(artistWhileLoading, QString("Band"));
        // The titles beside the files whose names are nearest to them.
        QCOMPARE(titles, (QStringList{"01 - Intro", "02 - Outro", "Fake track?"}));
        QCOMPARE(files, (QStringList{"02 - Band - Intro", "01 - Band - Outro", "03 - Band - Bonus"}));
        QCOMPARE(logLines(f).count("Album data received. Please sort files carefully!"), 1);
        // The entry's album fields are shown either way.
        QCOMPARE(f.edDBAlbum->text(), QString("Record"));
        QCOMPARE(f.edDBYear->text(), QString("2001"));
        QVERIFY(f.lbFolder->isVisibleTo(&f));
        QVERIFY(!f.lookupStatus->isVisibleTo(&f));

        if (!accept) {
            QCOMPARE(gridCell(f, 1, TMainForm::ColTrack), QString());
            QCOMPARE(gridCell(f, 3, TMainForm::ColTrack), QString("Stale"));
            // The fields name the new album: the old titles must not be renamed by them.
            QVERIFY(!f.btAction->isEnabled());
            return;
        }
        QCOMPARE(gridCell(f, 1, TMainForm::ColTrackNo), QString("02"));
        QCOMPARE(gridCell(f, 1, TMainForm::ColTrack), QString("Outro"));
        QCOMPARE(gridCell(f, 2, TMainForm::ColTrackNo), QString("01"));
        QCOMPARE(gridCell(f, 2, TMainForm::ColTrack), QString("Intro"));
        QCOMPARE(gridCell(f, 3, TMainForm::ColTrack), QString());
        QCOMPARE(logLines(f).last(), QString("Ready to rename"));
        QVERIFY(f.btAction->isEnabled());

        f.btAction->click();
        QTRY_VERIFY_WITH_TIMEOUT(logLines(f).contains("Renaming finished"), 10000);
        const std::vector<std::string> after = listFiles(fx.album);
        QCOMPARE(after.size(), size_t(3));
        for (const char* name : {"Band - Record - 01 - Intro.wav", "Band - Record - 02 - Outro.wav"})
            QVERIFY2(std::find(after.begin(), after.end(), name) != after.end(), name);
    }

    void leavingTheFolderOrClosingEndsTheQuery_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("another folder listed") << false;
        QTest::newRow("window closed") << true;
    }

    void leavingTheFolderOrClosingEndsTheQuery()
    {
        QFETCH(bool, close);
        Fixture fx;
        fx.searchDelayMs = 600;
        TempDir other;
        writeText(other.file("01 - Band - Intro.wav"), "");
        TMainForm f(fx.ini(), q(fx.album));
        bool modalSeen = false;
        QTimer watch;
        watch.setInterval(20);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                modalSeen = true;
                w->close();
            }
        });
        watch.start();
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(!fx.searches().isEmpty(), 5000);
        // While the page downloads, the status bar shows the step, a busy bar and Cancel.
        QVERIFY(f.lookupStatus->isVisibleTo(&f));
        QCOMPARE(f.lookupStatus->lbLookupStep->text(), QString("Querying the database%1").arg(QChar(0x2026)));
        if (close) {
            f.close();
        } else {
            f.mainTree()->selectPath(q(other.str()));
            QCOMPARE(f.album().fileCount(), 1);
            QVERIFY(unlocked(f));
            QVERIFY(!f.lookupStatus->isVisibleTo(&f) && f.lbFolder->isVisibleTo(&f));
            QVERIFY(logLines(f).contains("The query by name was abandoned: the folder was listed anew"));
        }
        QTest::qWait(fx.searchDelayMs + 500);
        QVERIFY(!modalSeen);
        QCOMPARE(f.edDBArtist->text(), QString());
        QCOMPARE(gridCell(f, 1, TMainForm::ColTrack), QString());
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NameQueryWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "namequerywindow_qtest.moc"
