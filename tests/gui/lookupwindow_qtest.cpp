// The checksum lookup as the main window runs it, against a local freedb server, offscreen.
#include "gui/MainForm.h"
#include "gui/MatchForm.h"
#include "support/CddbTestSite.h"
#include "support/MbTestServer.h"
#include "support/ModalWatch.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"
#include "core/album/AlbumSession.h"
#include "core/album/AlbumWorkflow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTableWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <QElapsedTimer>

#include <functional>

using namespace cantorix;
using namespace cantorix::test;

namespace {
// A complete entry (the lookup refuses incomplete ones) for three tracks.
const QByteArray kHeader = "# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t300\n#\t450\n#\n# Disc length: 8 seconds\n#\n"
                           "# Revision: 0\n# Submitted via: test\n#\nDISCID=0a0f0b03\n";
const QByteArray kEntry = kHeader + "DTITLE=The Band / The Record\nDYEAR=1999\nDGENRE=rock\n"
                          "TTITLE0=One\nTTITLE1=Two\nTTITLE2=Three\nEXTD=\nEXTT0=\nEXTT1=\nEXTT2=\nPLAYORDER=\n";
const QByteArray kOther = kHeader + "DTITLE=Other Band / Other Record\nDYEAR=2001\nDGENRE=Jazz\n"
                          "TTITLE0=Uno\nTTITLE1=Dos\nTTITLE2=Tres\nEXTD=\nEXTT0=\nEXTT1=\nEXTT2=\nPLAYORDER=\n";

// Counts every message box that opens while it lives, and closes it.
struct BoxCounter {
    int boxes = 0;
    QTimer watch;
    BoxCounter()
    {
        watch.setInterval(20);
        QObject::connect(&watch, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                box->accept();
            }
        });
        watch.start();
    }
};

struct Fixture {
    TempDir conf;
    TempDir album;
    LocalHttpServer server;
    CddbTestSite site;

    explicit Fixture(const QString& extraSettings = QString())
    {
        for (const char* name : {"1.wav", "2.wav", "3.wav"}) writeText(album.file(name), "");
        server.start();
        writeText(conf.file("c.ini"), ("[Connection]\nServer=" + server.hostAndPort() + "\nTimeout=5\n" + extraSettings).toStdString());
    }
    void serve() { server.setHandler(site.handler()); }
    QString ini() const { return q(conf.file("c.ini")); }
};

bool locked(const TMainForm& f)
{
    return !f.btQuery->isEnabled() && !f.MainTree->isEnabled() && !f.FileGrid->isEnabled() &&
           !f.btRenameByTag->isEnabled() && !f.btRefresh->isEnabled();
}
bool unlocked(const TMainForm& f)
{
    return f.btQuery->isEnabled() && f.MainTree->isEnabled() && f.FileGrid->isEnabled() &&
           f.btRenameByTag->isEnabled() && f.btRefresh->isEnabled();
}
} // namespace

class LookupWindowTest : public QObject {
    Q_OBJECT
private slots:
    void singleMatchFillsTheWindowAndEnablesRename()
    {
        Fixture fx;
        // A real entry whose DTITLE has no "/": artist and album are the same, as the format says.
        QByteArray entry = QByteArray::fromStdString(readText(fixture("xmcd/unknown-12025d03.txt")));
        fx.site.onBody("cddb query", "200 country 12025d03 Ernest Ray Everett - Single CD\r\n");
        fx.site.onBody("cddb read country 12025d03", CddbTestSite::entryReply("country", "12025d03", entry));
        fx.serve();
        TMainForm f(fx.ini(), q(fx.album.str()));
        f.btQuery->click();
        QVERIFY(locked(f));
        QTRY_VERIFY_WITH_TIMEOUT(f.btAction->isEnabled(), 10000);
        QVERIFY(unlocked(f));
        QCOMPARE(f.edDBArtist->text(), QString("Ernest Ray Everett - Single CD"));
        QCOMPARE(f.edDBAlbum->text(), QString("Ernest Ray Everett - Single CD"));
        QCOMPARE(f.edDBYear->text(), QString("2009"));
        QCOMPARE(f.GenreBox->currentText(), QString("Country"));
        QCOMPARE(gridCell(f, 1, TMainForm::ColTrackNo), QString("01"));
        QCOMPARE(gridCell(f, 3, TMainForm::ColTrack), QString("If You Don't Like Country"));
        QStringList lines = logLines(f);
        QVERIFY(lines.contains("Found exact match"));
        QCOMPARE(lines.last(), QString("Entry read"));
        QVERIFY(lines.filter(QRegularExpression("^\\[DE\\] ")).size() > 10);
    }

    void severalMatchesLetTheUserChooseOrCancel()
    {
        Fixture fx("[Main]\nHideData=1\n");
        fx.site.onBody("cddb query", "211 Found inexact matches, list follows (until terminating `.')\r\n"
                                     "rock 0a0f0b03 The Band / The Record\r\njazz 0a0f0b03 Other Band / Other Record\r\n.\r\n");
        fx.site.onBody("cddb read rock 0a0f0b03", CddbTestSite::entryReply("rock", "0a0f0b03", kEntry));
        fx.site.onBody("cddb read jazz 0a0f0b03", CddbTestSite::entryReply("jazz", "0a0f0b03", kOther));
        fx.serve();
        TMainForm f(fx.ini(), q(fx.album.str()));

        // Cancel: nothing is read and the window is unlocked.
        bool sawTwoLines = false;
        onModal([&](QWidget* w) {
            auto* form = qobject_cast<TMatchForm*>(w);
            sawTwoLines = form && form->windowTitle() == "More than one album found" && form->lstMatches->count() == 2;
            if (form) form->btCancel->click();
        });
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(unlocked(f), 10000);
        QVERIFY(sawTwoLines);
        QCOMPARE(f.edDBAlbum->text(), QString());
        QVERIFY(!f.btAction->isEnabled());

        // Choose the second line.
        onModal([](QWidget* w) {
            if (auto* form = qobject_cast<TMatchForm*>(w)) {
                form->lstMatches->setCurrentRow(1);
                form->btAccept->click();
            }
        });
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(f.btAction->isEnabled(), 10000);
        QCOMPARE(f.edDBAlbum->text(), QString("Other Record"));
        QCOMPARE(f.GenreBox->currentText(), QString("Jazz"));
        QCOMPARE(gridCell(f, 2, TMainForm::ColTrack), QString("Dos"));
        QVERIFY(logLines(f).filter(QRegularExpression("^\\[DE\\] ")).isEmpty()); // HideData
    }

    void noMatchUnlocksAtOnce()
    {
        Fixture fx;
        fx.site.onBody("cddb query", "202 No match for disc ID 0a0f0b03.\r\n");
        fx.serve();
        TMainForm f(fx.ini(), q(fx.album.str()));
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(unlocked(f), 10000);
        QVERIFY(logLines(f).contains("No match found"));
        // Said where it stays in view, not only in the log.
        QCOMPARE(f.statusBar()->currentMessage(), QString("No match found"));
        QVERIFY(!f.btAction->isEnabled());
    }

    void aSlowLookupShowsItsStepAndIsCancelled_data()
    {
        QTest::addColumn<bool>("byEsc");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Esc") << true;
    }

    void aSlowLookupShowsItsStepAndIsCancelled()
    {
        QFETCH(bool, byEsc);
        Fixture fx;
        fx.site.onBody("cddb query", "200 jazz 0a0f0b03 Other Band / Other Record\r\n");
        fx.site.onBody("cddb read jazz 0a0f0b03", CddbTestSite::entryReply("jazz", "0a0f0b03", kOther));
        fx.server.setHandler([&](const HttpRequest& r) {
            HttpResponse response = fx.site.handler()(r);
            response.delayMs = 700;
            return response;
        });
        writeText(fx.conf.file("entry.txt"), kEntry.toStdString());
        TMainForm f(fx.ini(), q(fx.album.str()));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // An album read before: Rename is live until the next lookup starts.
        QString error;
        QVERIFY(f.workflow().applyEntryFile(q(fx.conf.file("entry.txt")), &error));
        QVERIFY(f.btAction->isEnabled());

        f.btQuery->click();
        QVERIFY(locked(f));
        QVERIFY(f.lookupStatus->isVisible());
        QCOMPARE(f.lookupStatus->lbLookupStep->text(), QString("Querying the database%1").arg(QChar(0x2026)));
        QVERIFY(!f.btAction->isEnabled());
        for (QAction* a : {f.mnuShowInfo, f.mnuPlay, f.mnuFix, f.mnuRefresh, f.mnuUndo}) QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        QCOMPARE(f.focusWidget(), f.lookupStatus->btCancelLookup);

        if (byEsc)
            QTest::keyClick(&f, Qt::Key_Escape);
        else
            f.lookupStatus->btCancelLookup->click();
        QTRY_VERIFY_WITH_TIMEOUT(unlocked(f), 5000);
        QVERIFY(!f.lookupStatus->isVisible());
        QCOMPARE(f.statusBar()->currentMessage(), QString("The lookup was cancelled"));
        // The reply that comes afterwards changes nothing: the album is the one read before.
        QTest::qWait(1200);
        QCOMPARE(f.edDBAlbum->text(), QString("The Record"));
        QCOMPARE(gridCell(f, 2, TMainForm::ColTrack), QString("Two"));
        QVERIFY(f.btAction->isEnabled());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void aServerErrorUnlocksAtOnceWithItsLine()
    {
        Fixture fx;
        writeText(fx.conf.file("c.ini"), ("[Connection]\nServer=" + fx.server.hostAndPort() + "\nTimeout=60\n").toStdString());
        fx.site.onBody("cddb query", "403 Database entry is corrupt.\r\n");
        fx.serve();
        TMainForm f(fx.ini(), q(fx.album.str()));
        BoxCounter boxCounter;
        const int& boxes = boxCounter.boxes;
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(unlocked(f), 10000);
        QCOMPARE(logLines(f).last(), QString("403 Database entry is corrupt."));
        QTest::qWait(100);
        QCOMPARE(boxes, 0); // no time-out message: the server said why
        QVERIFY(!f.btAction->isEnabled());
    }

    void aGenreIsFreeText()
    {
        Fixture fx;
        fx.site.onBody("cddb query", "200 misc 0a0f0b03 The Band / The Record\r\n");
        QByteArray entry = kEntry;
        entry.replace("DGENRE=rock", "DGENRE=Misc");
        fx.site.onBody("cddb read misc 0a0f0b03", CddbTestSite::entryReply("misc", "0a0f0b03", entry));
        fx.serve();
        TMainForm f(fx.ini(), q(fx.album.str()));
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(f.btAction->isEnabled(), 10000);
        // Shown and kept as the entry has it, although the list has no such item.
        QCOMPARE(f.GenreBox->currentText(), QString("Misc"));
        QCOMPARE(f.album().fields().Genre, QString("Misc"));
        // The list suggests; what is typed counts as it stands and is not added to the list.
        const int items = f.GenreBox->count();
        f.GenreBox->setFocus();
        f.GenreBox->lineEdit()->selectAll();
        QTest::keyClicks(f.GenreBox->lineEdit(), "Neofolk");
        QCOMPARE(f.album().fields().Genre, QString("Neofolk"));
        f.GenreBox->setCurrentIndex(f.GenreBox->findText("Jazz"));
        QCOMPARE(f.album().fields().Genre, QString("Jazz"));
        QCOMPARE(f.GenreBox->count(), items);
    }

    void aServerThatNeverAnswersTimesOut()
    {
        Fixture fx;
        writeText(fx.conf.file("c.ini"), ("[Connection]\nServer=" + fx.server.hostAndPort() + "\nTimeout=1\n").toStdString());
        fx.site.hangOn("cddb query");
        fx.serve();
        TMainForm f(fx.ini(), q(fx.album.str()));
        QString caption, text;
        onModal([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                caption = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
        f.btQuery->click();
        QVERIFY(locked(f));
        QTRY_VERIFY_WITH_TIMEOUT(unlocked(f), 10000);
        QCOMPARE(caption, QString("Connection timed out!"));
        // The message names the server and the time it was given.
        QVERIFY2(text.startsWith(QString("No answer from http://%1/~cddb/cddb.cgi within 1 seconds.\r\n")
                                     .arg(fx.server.hostAndPort())),
                 qPrintable(text));
        QVERIFY(text.contains("It seems that you have problems connecting to the freedb.\r\n"));
    }

    void aLateReplyIsIgnoredWithOneLine()
    {
        Fixture fx;
        writeText(fx.conf.file("c.ini"), ("[Connection]\nServer=" + fx.server.hostAndPort() + "\nTimeout=1\n").toStdString());
        // The query's answer comes after two seconds, past the one-second limit.
        fx.site.onBody("cddb query", "200 rock 0a0f0b03 The Band / The Record\r\n");
        fx.site.onBody("cddb read rock 0a0f0b03", CddbTestSite::entryReply("rock", "0a0f0b03", kEntry));
        fx.server.setHandler([&](const HttpRequest& r) {
            HttpResponse response = fx.site.handler()(r);
            response.delayMs = 2000;
            return response;
        });
        TMainForm f(fx.ini(), q(fx.album.str()));
        BoxCounter boxCounter;
        const int& boxes = boxCounter.boxes;
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(logLines(f).filter("A late reply from").size() == 1, 10000);
        QTest::qWait(300);
        QCOMPARE(boxes, 1);
        QVERIFY(unlocked(f));
        QCOMPARE(f.edDBAlbum->text(), QString());
        QVERIFY(!f.btAction->isEnabled());
    }

    void musicBrainzIsChosenBesideTheModeAndRemembered()
    {
        // Files of 1, 2 and 3 seconds (8-bit AU at 100 Hz), and a release whose tracks are as long.
        TempDir conf, album;
        for (int i = 1; i <= 3; ++i) writeAu(album.file(QString("%1.au").arg(i).toStdString()), i);
        MbTestServer mb;
        QVERIFY(mb.start());
        MbTestRelease release;
        release.title = "Record";
        release.credit = {{"Band", ""}};
        release.media = {{{{"One", 1000}, {"Two", 2000}, {"Three", 3000}}}};
        mb.add(release);
        writeText(conf.file("c.ini"), ("[MusicBrainz]\nServer=" + mb.base() + "\n").toStdString());
        {
            TMainForm f(q(conf.file("c.ini")), q(album.str()));
            QCOMPARE(f.cmbDatabase->currentText(), QString("freedb"));
            f.cmbDatabase->setCurrentIndex(1);
            emit f.cmbDatabase->activated(1);
            onModal([](QWidget* w) {
                if (auto* form = qobject_cast<TMatchForm*>(w)) form->btAccept->click();
            });
            f.btQuery->click();
            QTRY_VERIFY_WITH_TIMEOUT(f.btAction->isEnabled(), 10000);
            QCOMPARE(f.edDBAlbum->text(), QString("Record"));
            QCOMPARE(gridCell(f, 2, TMainForm::ColTrack), QString("Two"));
            f.close();
        }
        TMainForm again(q(conf.file("c.ini")), q(album.str()));
        QCOMPARE(again.cmbDatabase->currentText(), QString("MusicBrainz"));
    }

    void failedLookupsSayWhyInOneLine_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("HTTP 404 page") << 0;
        QTest::newRow("refused connection") << 1;
    }

    void failedLookupsSayWhyInOneLine()
    {
        QFETCH(int, kind);
        Fixture fx;
        QString server = fx.server.hostAndPort();
        if (kind == 0) {
            fx.site.on("cddb query", {404, "Not Found", "text/html", "<html>\n<body>Not here</body>\n</html>\n", false});
            fx.serve();
        } else {
            server = "127.0.0.1:1";
            writeText(fx.conf.file("c.ini"), ("[Connection]\nServer=" + server + "\nTimeout=30\n").toStdString());
        }
        TMainForm f(fx.ini(), q(fx.album.str()));
        const qsizetype before = logLines(f).size();
        QElapsedTimer clock;
        clock.start();
        f.btQuery->click();
        QTRY_VERIFY_WITH_TIMEOUT(unlocked(f), 10000);
        QVERIFY(clock.elapsed() < 5000); // at once, not at the time limit
        const QStringList lines = logLines(f).mid(before).filter(QRegularExpression("^(?!\\[DE\\] )"));
        const QString expected = kind == 0
            ? QString("The server http://%1/~cddb/cddb.cgi answered 404 Not Found; it is not a freedb server").arg(server)
            : QString("Cannot connect to 127.0.0.1:1: Connection refused");
        QCOMPARE(lines.last(), expected);
        QVERIFY(logLines(f).filter("html").isEmpty());
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LookupWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "lookupwindow_qtest.moc"
