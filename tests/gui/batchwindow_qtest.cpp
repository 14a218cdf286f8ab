// The collection window, offscreen: its table follows the batch, an album that was not renamed opens
// in the main window, Undo takes the whole batch back, Cancel stops it.
#include "gui/BatchForm.h"

#include "core/Settings.h"
#include "core/lookup/freedb/DiscID.h"
#include "gui/MainForm.h"
#include "support/CddbTestSite.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

using namespace cantorix;
using namespace cantorix::test;

namespace {

namespace fs = std::filesystem;

// A folder of 100 Hz AU files of these lengths; its freedb disc ID.
QString album(const std::string& folder, const QList<int>& seconds)
{
    fs::create_directories(folder);
    for (qsizetype k = 0; k < seconds.size(); ++k)
        writeAu(folder + "/Track " + std::to_string(k + 1) + ".au", 100, uint32_t(seconds[k]) * 100);
    return TCDDBDiscID::FromSeconds(seconds).DiscIDText();
}

QByteArray entry(const QString& id, const QList<int>& seconds, const QByteArray& title, const QList<QByteArray>& titles)
{
    QByteArray text = "# xmcd\n#\n# Track frame offsets:\n";
    int frames = 150;
    for (int s : seconds) {
        text += "#\t" + QByteArray::number(frames) + "\n";
        frames += s * 75;
    }
    text += "#\n# Disc length: " + QByteArray::number(frames / 75) + " seconds\n#\n# Revision: 0\n#\nDISCID=" +
            id.toLatin1() + "\nDTITLE=" + title + "\nDYEAR=2001\nDGENRE=Rock\n";
    for (qsizetype k = 0; k < titles.size(); ++k) text += "TTITLE" + QByteArray::number(k) + "=" + titles[k] + "\n";
    text += "EXTD=\n";
    for (qsizetype k = 0; k < titles.size(); ++k) text += "EXTT" + QByteArray::number(k) + "=\n";
    return CddbTestSite::entryReply("rock", id, text + "PLAYORDER=\n");
}

// Two albums under a root: one freedb knows, one it does not.
struct Collection {
    TempDir dir, conf;
    std::string root = dir.str() + "/music/";
    LocalHttpServer server;
    CddbTestSite site;
    std::unique_ptr<TSettings> settings;

    explicit Collection(bool hang = false)
    {
        const QString known = album(root + "Known", {200, 180});
        const QString unknown = album(root + "Unknown", {100, 110});
        if (hang) {
            site.hangOn("cddb query");
        } else {
            site.onBody("cddb query " + known, "200 rock " + known.toLatin1() + " Band / Record\r\n");
            site.onBody("cddb read rock " + known, entry(known, {200, 180}, "Band / Record", {"One", "Two"}));
            site.onBody("cddb query " + unknown, "202 No match for disc ID " + unknown.toLatin1() + ".\r\n");
        }
        server.setHandler(site.handler());
        if (!server.start()) qFatal("no local server");
        writeText(conf.file("c.ini"), "[Main]\nNameFormat=# - track\n[Connection]\nServer=" +
                                          server.hostAndPort().toStdString() + "\nTimeout=30\n");
        settings = std::make_unique<TSettings>(QString::fromStdString(conf.file("c.ini")));
    }
    TBatchOptions options() const
    {
        TBatchOptions o;
        o.Rename.NameFormat = "# - track";
        return o;
    }
};

QString cell(TBatchForm& f, int row, int column) { return f.lvAlbums->item(row, column)->text(); }

} // namespace

class BatchWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theTableFollowsTheBatchAndAnUnmatchedAlbumOpens()
    {
        Collection c;
        TBatchForm f(*c.settings, QString::fromStdString(c.root), c.options());
        QStringList log;
        connect(&f, &TBatchForm::logLine, [&](const QString& l) { log << l; });
        QCOMPARE(f.albumCount(), 2);
        QCOMPARE(cell(f, 0, TBatchForm::ColFolder), QString("Known/"));
        QCOMPARE(cell(f, 1, TBatchForm::ColOutcome), QString("Waiting"));
        QCOMPARE(f.btCancel->text(), QString("Cancel"));
        f.show();
        QTRY_VERIFY_WITH_TIMEOUT(!f.batch().running() && f.batch().results().size() == 2, 20000);

        QCOMPARE(cell(f, 0, TBatchForm::ColOutcome), QString("Renamed"));
        QCOMPARE(cell(f, 0, TBatchForm::ColAlbum), QString::fromUtf8("Band — Record"));
        QCOMPARE(cell(f, 1, TBatchForm::ColOutcome), QString("No match"));
        QCOMPARE(f.Progress->value(), 2);
        QCOMPARE(f.btCancel->text(), QString("Close"));
        QVERIFY(log.contains("renamed " + QString::fromStdString(c.root) + "Known/"));
        QCOMPARE(listFiles(c.root + "Known"), (std::vector<std::string>{"01 - One.au", "02 - Two.au"}));

        // A renamed album has nothing to open; an unmatched one opens in the main window.
        f.lvAlbums->selectRow(0);
        QVERIFY(!f.btOpen->isEnabled());
        QVERIFY(f.btUndo->isEnabled());
        f.lvAlbums->selectRow(1);
        QVERIFY(f.btOpen->isEnabled());
        QTest::mouseClick(f.btOpen, Qt::LeftButton);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(f.folderToOpen(), QString::fromStdString(c.root + "Unknown/"));
    }

    void enterOpensAnUnmatchedAlbum()
    {
        Collection c;
        TBatchForm f(*c.settings, QString::fromStdString(c.root), c.options());
        f.show();
        QTRY_VERIFY_WITH_TIMEOUT(!f.batch().running() && f.batch().results().size() == 2, 20000);
        f.lvAlbums->setFocus();
        // Enter on a renamed album does nothing; on an unmatched one it opens it, as the button does.
        f.lvAlbums->selectRow(0);
        QTest::keyClick(f.lvAlbums, Qt::Key_Return);
        QVERIFY(f.isVisible());
        QVERIFY(f.folderToOpen().isEmpty());
        f.lvAlbums->selectRow(1);
        QTest::keyClick(f.lvAlbums, Qt::Key_Return);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(f.folderToOpen(), QString::fromStdString(c.root + "Unknown/"));
    }

    void undoTakesTheWholeBatchBack()
    {
        Collection c;
        TBatchForm f(*c.settings, QString::fromStdString(c.root), c.options());
        f.show();
        QTRY_VERIFY_WITH_TIMEOUT(!f.batch().running() && f.batch().results().size() == 2, 20000);
        QTest::mouseClick(f.btUndo, Qt::LeftButton);
        QCOMPARE(listFiles(c.root + "Known"), (std::vector<std::string>{"Track 1.au", "Track 2.au"}));
        QCOMPARE(cell(f, 0, TBatchForm::ColOutcome), QString("Undone"));
        QVERIFY(!f.btUndo->isEnabled());
    }

    void cancelStopsTheBatch()
    {
        Collection c(true);
        TBatchForm f(*c.settings, QString::fromStdString(c.root), c.options());
        f.show();
        QTRY_VERIFY_WITH_TIMEOUT(cell(f, 0, TBatchForm::ColOutcome).startsWith("Looking up"), 10000);
        QTest::mouseClick(f.btCancel, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!f.batch().running(), 10000);
        QCOMPARE(cell(f, 0, TBatchForm::ColOutcome), QString("Cancelled"));
        QCOMPARE(cell(f, 1, TBatchForm::ColOutcome), QString("Cancelled"));
        QCOMPARE(f.btCancel->text(), QString("Close"));
        QVERIFY(f.isVisible());
        QCOMPARE(listFiles(c.root + "Known"), (std::vector<std::string>{"Track 1.au", "Track 2.au"}));
    }

    void theMainWindowOffersIt()
    {
        TempDir conf;
        writeText(conf.file("c.ini"), "");
        TMainForm main(QString::fromStdString(conf.file("c.ini")), QString());
        QAction* batch = main.findChild<QAction*>("mnuBatch");
        QVERIFY(batch);
        QCOMPARE(batch->text(), QString("Rename a &collection") + QChar(0x2026));
    }
};

QTEST_MAIN(BatchWindowTest)
#include "batchwindow_qtest.moc"
