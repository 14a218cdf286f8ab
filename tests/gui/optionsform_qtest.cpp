// The options window offscreen: every control reads and writes its key, the double-click choice, the
// name formats, the folder entry of the desktop, and the freedb server list from a local server
// answering with real server replies.
#include "gui/OptionsForm.h"

#include "core/FolderEntry.h"
#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "core/lookup/freedb/ServerList.h"
#include "gui/MainForm.h"
#include "support/CddbTestSite.h"
#include "support/ModalWatch.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// A settings file and an options window on it, with its log lines collected.
struct Fixture {
    TempDir dir;
    std::unique_ptr<TSettings> settings;
    std::unique_ptr<TOptionsForm> form;
    QStringList log;
    QList<QUrl> opened;

    explicit Fixture(const std::string& ini = "")
    {
        writeText(dir.file("Cantorix.ini"), ini);
        settings = std::make_unique<TSettings>(q(dir.file("Cantorix.ini")));
        form = std::make_unique<TOptionsForm>(*settings);
        QObject::connect(form.get(), &TOptionsForm::logLine, [this](const QString& l) { log << l; });
        form->setUrlOpener([this](const QUrl& u) { opened << u; });
    }
    QString value(const char* section, const char* key) const { return settings->readString(section, key, "<none>"); }
    QStringList comboItems() const
    {
        QStringList items;
        for (int i = 0; i < form->cmbServers->count(); ++i) items << form->cmbServers->itemText(i);
        return items;
    }
};

template <typename W>
W* child(QWidget* root, const char* name)
{
    W* w = root->findChild<W*>(name);
    if (!w) qWarning("no %s", name);
    return w;
}

// The local freedb server answering the sites request with `answer`.
struct SitesServer {
    LocalHttpServer http;
    CddbTestSite site;
    SitesServer() { http.start(); }
    void serve() { http.setHandler(site.handler()); }
    TServerAddress address() const { return ParseServerSetting(http.hostAndPort()); }
};

QByteArray transcript(const std::string& name) { return transcriptFixtureBody(name); }

} // namespace

class OptionsFormTest : public QObject {
    Q_OBJECT

    TempDir m_dataHome;

private slots:
    void initTestCase()
    {
        // The folder entry is written into a test folder, never into the user's applications.
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_dataHome.file("data")));
    }

    void controlsReadTheirKeys()
    {
        Fixture f("[Main]\nStartfolder=/music\nDblClickInfo=0\nHideData=1\nWriteTags=1\nFixUnderScores=0\n"
                  "CreatePlaylist=1\n[Connection]\nUseProxy=1\nServer=b.example\nTimeout=12\nEmail=joe@example.org\n"
                  "SearchUrl=https://search.example/?q=%s\n[Proxy]\nAddress=proxy.example\nPort=3128\nUser=u\nPassword=p\n"
                  "[FreeDB_sites]\nb.example=b.example\na.example=a.example\n[NameFormats]\n# - track=\nartist - track=\n");
        TOptionsForm& o = *f.form;
        QCOMPARE(o.DirLabel->text(), QString("/music"));
        QVERIFY(o.rdPlay->isChecked() && !o.rdInfo->isChecked());
        QVERIFY(o.chHidedataExchange->isChecked());
        QVERIFY(o.chWriteTag->isChecked());
        QVERIFY(!o.chFixUnderScores->isChecked());
        QVERIFY(o.chCreatePlaylist->isChecked());
        QVERIFY(o.chUseProxy->isChecked());
        QCOMPARE(f.comboItems(), (QStringList{"a.example", "b.example"}));
        QCOMPARE(o.cmbServers->currentText(), QString("b.example"));
        QCOMPARE(o.edTimeout->value(), 12);
        QCOMPARE(o.edEmail->text(), QString("joe@example.org"));
        QCOMPARE(o.edSearchUrl->text(), QString("https://search.example/?q=%s"));
        QCOMPARE(o.proxyAddress->text(), QString("proxy.example"));
        QCOMPARE(o.ProxyPort->text(), QString("3128"));
        QCOMPARE(o.proxyUser->text(), QString("u"));
        QCOMPARE(o.proxyPassword->text(), QString("p"));
        QCOMPARE(o.cmbOptNames->count(), 2);

        // Opening the window writes nothing; without settings the defaults show.
        QCOMPARE(f.settings->toText(), Fixture(f.settings->toText().toStdString()).settings->toText());
        Fixture empty;
        QVERIFY(empty.settings->toText().isEmpty());
        QCOMPARE(empty.form->DirLabel->text(), QString("No folder specified"));
        QVERIFY(empty.form->rdInfo->isChecked());
        QVERIFY(empty.form->chFixUnderScores->isChecked());
        QCOMPARE(empty.form->edTimeout->value(), 30);
        QCOMPARE(empty.form->edEmail->placeholderText(), QString("cantorix@localhost"));
        QCOMPARE(empty.form->edSearchUrl->placeholderText(), QString(setting::DefaultSearchUrl));
        QCOMPARE(empty.form->cmbServers->currentIndex(), -1);
    }

    void controlsWriteTheirKeys()
    {
        // Control -> key -> the values the user's actions leave.
        struct Row {
            const char* control;
            std::function<void(TOptionsForm&)> act;
            const char* section;
            const char* key;
            QString expected;
        };
        auto type = [](QLineEdit* e, const QString& text) {
            e->setFocus();
            e->selectAll();
            QTest::keyClicks(e, text);
        };
        const Row rows[] = {
            {"edEmail", [&](TOptionsForm& o) { type(o.edEmail, "joe@example.org"); }, "Connection", "Email", "joe@example.org"},
            {"edTimeout", [](TOptionsForm& o) { o.edTimeout->setValue(45); }, "Connection", "Timeout", "45"},
            {"edSearchUrl", [&](TOptionsForm& o) { type(o.edSearchUrl, "https://s.example/%s"); }, "Connection", "SearchUrl",
             "https://s.example/%s"},
            {"edSearchUrl emptied", [&](TOptionsForm& o) { type(o.edSearchUrl, "x"); o.edSearchUrl->clear(); }, "Connection",
             "SearchUrl", "<none>"},
            {"chHidedataExchange", [](TOptionsForm& o) { o.chHidedataExchange->click(); }, "Main", "HideData", "1"},
            {"edMbServer", [&](TOptionsForm& o) { type(o.findChild<QLineEdit*>("edMbServer"), "mb.example"); }, "MusicBrainz", "Server", "mb.example"},
            {"edMbServer emptied", [&](TOptionsForm& o) { type(o.findChild<QLineEdit*>("edMbServer"), "x"); o.findChild<QLineEdit*>("edMbServer")->clear(); }, "MusicBrainz",
             "Server", "<none>"},
            {"edCoverServer", [&](TOptionsForm& o) { type(o.findChild<QLineEdit*>("edCoverServer"), "https://covers.example"); }, "MusicBrainz",
             "CoverArtServer", "https://covers.example"},
            {"chSaveCover", [](TOptionsForm& o) { o.chSaveCover->click(); }, "Renaming", "SaveCover", "1"},
            {"chPortableNames", [](TOptionsForm& o) { o.chPortableNames->click(); }, "Renaming", "PortableNames", "1"},
            {"chUseProxy", [](TOptionsForm& o) { o.chUseProxy->click(); }, "Connection", "UseProxy", "1"},
            {"chUseProxy twice", [](TOptionsForm& o) { o.chUseProxy->click(); o.chUseProxy->click(); }, "Connection", "UseProxy", "0"},
            {"proxyAddress", [&](TOptionsForm& o) { type(o.proxyAddress, "proxy.example"); }, "Proxy", "Address", "proxy.example"},
            {"ProxyPort", [&](TOptionsForm& o) { type(o.ProxyPort, "3128"); }, "Proxy", "Port", "3128"},
            {"ProxyPort letters", [&](TOptionsForm& o) { type(o.ProxyPort, "ab"); }, "Proxy", "Port", "<none>"},
            {"proxyUser", [&](TOptionsForm& o) { type(o.proxyUser, "joe"); }, "Proxy", "User", "joe"},
            {"proxyPassword", [&](TOptionsForm& o) { type(o.proxyPassword, "s3cret"); }, "Proxy", "Password", "s3cret"},
            {"rdPlay", [](TOptionsForm& o) {
                 o.PageControl1->setCurrentIndex(1);
                 QTest::mouseClick(o.rdPlay, Qt::LeftButton);
             }, "Main", "DblClickInfo", "0"},
            {"rdInfo", [](TOptionsForm& o) { o.rdPlay->click(); o.rdInfo->click(); }, "Main", "DblClickInfo", "1"},
            {"chWriteTag", [](TOptionsForm& o) { o.chWriteTag->click(); }, "Main", "WriteTags", "1"},
            {"chCreatePlaylist", [](TOptionsForm& o) { o.chCreatePlaylist->click(); }, "Main", "CreatePlaylist", "1"},
            {"chFixUnderScores", [](TOptionsForm& o) { o.chFixUnderScores->click(); }, "Main", "FixUnderScores", "0"},
            {"btSelectFolder", [](TOptionsForm& o) {
                 o.setFolderChooser([](const QString& start) { return start == QDir::homePath() ? QString("/chosen") : QString(); });
                 o.btSelectFolder->click();
             }, "Main", "Startfolder", "/chosen"},
            {"btSelectFolder cancelled", [](TOptionsForm& o) {
                 o.setFolderChooser([](const QString&) { return QString(); });
                 o.btSelectFolder->click();
             }, "Main", "Startfolder", "<none>"},
            {"btUseCurrent", [](TOptionsForm& o) {
                 o.setCurrentFolderSource([] { return QString("/music/album"); });
                 o.btUseCurrent->click();
             }, "Main", "Startfolder", "/music/album"},
        };
        for (const Row& r : rows) {
            Fixture f;
            f.form->show();
            r.act(*f.form);
            QVERIFY2(f.value(r.section, r.key) == r.expected,
                     qPrintable(QString("%1: %2").arg(r.control, f.value(r.section, r.key))));
        }
        Fixture f;
        f.form->setCurrentFolderSource([] { return QString("/music/album"); });
        f.form->btUseCurrent->click();
        QCOMPARE(f.form->DirLabel->text(), QString("/music/album"));
    }

    void playIsSavedOnASingleClickAndByKeyboard()
    {
        Fixture f("[Main]\nDblClickInfo=1\n");
        f.form->show();
        f.form->PageControl1->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        QTest::mouseClick(f.form->rdPlay, Qt::LeftButton);
        QCOMPARE(f.value("Main", "DblClickInfo"), QString("0"));
        f.form->rdPlay->setFocus();
        QTest::keyClick(f.form->rdPlay, Qt::Key_Right);
        QVERIFY(f.form->rdInfo->isChecked());
        QCOMPARE(f.value("Main", "DblClickInfo"), QString("1"));
    }

    void nameFormatsAddRefuseRemoveInBothWindows()
    {
        TempDir dir;
        writeText(dir.file("c.ini"), "[NameFormats]\nartist - track=\n");
        TMainForm main(q(dir.file("c.ini")), QString());
        QStringList done;
        onModal([&](QWidget* w) {
            auto* o = qobject_cast<TOptionsForm*>(w);
            QVERIFY(o);
            o->PageControl1->setCurrentIndex(2);
            // The sample follows the typing.
            QTest::keyClicks(o->edOptName, "Track #");
            QCOMPARE(o->pnlSample->text(), QString("Bohemian Rhapsody 10"));
            o->addBt->click();
            QCOMPARE(main.cmbNameFormat->count(), 2);
            QCOMPARE(main.cmbNameFormat->currentIndex(), 0);
            // A format with "=" would become another key: refused, with a message.
            o->edOptName->setText("artist=track");
            o->addBt->click();
            QVERIFY(o->lbFormatMessage->isVisibleTo(o));
            QVERIFY(o->lbFormatMessage->text().contains("\"=\""));
            QCOMPARE(o->cmbOptNames->count(), 2);
            // The same format in other letter case: not added twice.
            o->edOptName->setText("TRACK #");
            o->addBt->click();
            QCOMPARE(o->cmbOptNames->count(), 2);
            QVERIFY(o->lbFormatMessage->text().contains("already"));
            // Remove the selected one from both lists.
            o->cmbOptNames->setCurrentItem(o->cmbOptNames->findItems("artist - track", Qt::MatchFixedString).value(0));
            QVERIFY(o->btRemove->isEnabled());
            o->btRemove->click();
            QCOMPARE(o->cmbOptNames->count(), 1);
            QCOMPARE(main.cmbNameFormat->count(), 1);
            QCOMPARE(main.cmbNameFormat->itemText(0), QString("Track #"));
            done << "checked";
            o->close();
        });
        main.btOptions->click();
        QCOMPARE(done, QStringList{"checked"});
        QCOMPARE(main.settings().readSection("NameFormats"), QStringList{"Track #"});
    }

    void addingTheOfferedFormatShowsItOnce()
    {
        // A first start offers the built-in format; adding that very format keeps one entry.
        Fixture f;
        QCOMPARE(f.form->cmbOptNames->count(), 1);
        f.form->edOptName->setText(f.form->cmbOptNames->item(0)->text());
        f.form->addBt->click();
        QCOMPARE(f.form->cmbOptNames->count(), 1);
        QCOMPARE(f.settings->readSection("NameFormats"), QStringList{"artist - album - # - track"});
        // A new one brings the built-in one along, each once.
        f.form->edOptName->setText("# - track");
        f.form->addBt->click();
        QCOMPARE(f.form->cmbOptNames->count(), 2);
        QCOMPARE(f.form->cmbOptNames->currentItem()->text(), QString("# - track"));
    }

    void switchesShowInTheMainWindowAfterClosing()
    {
        TempDir dir;
        TMainForm main(q(dir.file("c.ini")), QString());
        QVERIFY(!main.lbNextRun->text().contains("tags"));
        onModal([&](QWidget* w) {
            auto* o = qobject_cast<TOptionsForm*>(w);
            o->chWriteTag->click();
            o->chCreatePlaylist->click();
            o->chHidedataExchange->click();
            o->close();
        });
        main.btOptions->click();
        QCOMPARE(main.lbNextRun->text(), QString("Rename will rename files, write tags, write a playlist."));
        main.close();
        TSettings written(q(dir.file("c.ini")));
        QVERIFY(written.get(setting::WriteTags) && written.get(setting::CreatePlaylist) && written.get(setting::HideData));
    }

    void dataExchangeEchoIsNeverDoubled()
    {
        TempDir album;
        for (const char* name : {"1.wav", "2.wav", "3.wav"}) writeText(album.file(name), "");
        SitesServer server;
        server.site.onBody("cddb query", "202 No match for disc ID 0a0f0b03.\r\n");
        server.serve();
        TempDir dir;
        writeText(dir.file("c.ini"), ("[Connection]\nServer=" + server.http.hostAndPort() + "\nTimeout=5\n").toStdString());
        TMainForm main(q(dir.file("c.ini")), q(album.str()));
        auto toggleHideData = [&] {
            onModal([](QWidget* w) {
                qobject_cast<TOptionsForm*>(w)->chHidedataExchange->click();
                w->close();
            });
            main.btOptions->click();
        };
        auto queryAndCount = [&]() -> int {
            main.lsLog->clear();
            main.btQuery->click();
            if (!QTest::qWaitFor([&] { return main.btQuery->isEnabled(); }, 10000)) return -1;
            return int(logLines(main).filter("[DE] 202 No match").size());
        };
        for (int round = 0; round < 2; ++round) {
            toggleHideData(); // on: no echo
            QCOMPARE(queryAndCount(), 0);
            toggleHideData(); // off again: each line once
            QCOMPARE(queryAndCount(), 1);
        }
    }

    void shellEntryFollowsTheFile()
    {
        Fixture f;
        f.form->setProgramPath("/opt/My Apps/cantorix");
        QCOMPARE(f.form->btShell->text(), QString("Create &shell shortcut"));
        f.form->btShell->click();
        QVERIFY(FolderEntryExists());
        QCOMPARE(f.form->btShell->text(), QString("Remove &shell shortcut"));
        QVERIFY(QString::fromStdString(readText(FolderEntryPath().toStdString())).contains("Exec=\"/opt/My Apps/cantorix\" %f\n"));
        // A new window sees the entry on disk.
        QCOMPARE(Fixture().form->btShell->text(), QString("Remove &shell shortcut"));
        f.form->btShell->click();
        QVERIFY(!FolderEntryExists());
        QCOMPARE(f.form->btShell->text(), QString("Create &shell shortcut"));

        // A failure is logged and the caption stays with the truth.
        std::filesystem::remove_all(m_dataHome.file("data"));
        writeText(m_dataHome.file("data"), "");
        f.form->btShell->click();
        QCOMPARE(f.form->btShell->text(), QString("Create &shell shortcut"));
        QVERIFY(f.log.last().startsWith("Cannot create the folder entry"));
        std::filesystem::remove(m_dataHome.file("data"));
    }

    void linksOpenTheSiteTheGuideAndTheLicence()
    {
        Fixture f;
        emit f.form->lbFreedbLink->linkActivated(TOptionsForm::FreedbSite);
        emit f.form->lbLicenceLink->linkActivated(TOptionsForm::LicenceUrl);
        f.form->btHelp->click();
        QCOMPARE(f.opened.value(0), QUrl("https://gnudb.org"));
        QCOMPARE(f.opened.value(1), QUrl(TOptionsForm::LicenceUrl));
        QVERIFY(f.opened.value(2).isLocalFile() && f.opened.value(2).toLocalFile().endsWith("guide.html"));
    }

    void serverListFromRealReplies()
    {
        SitesServer server;
        server.site.onBody("sites", transcript("17-sites-proto6.txt"));
        server.serve();
        Fixture f("[Connection]\nServer=localhost\n");
        f.form->show();
        QCOMPARE(f.form->cmbServers->currentText(), QString("localhost"));
        // The user types the server to ask into the box: that one is asked, and is the server now.
        f.form->cmbServers->lineEdit()->selectAll();
        QTest::keyClicks(f.form->cmbServers->lineEdit(), server.http.hostAndPort());
        f.form->btQueryServers->click();
        QVERIFY(!f.form->btQueryServers->isEnabled());
        QCOMPARE(f.form->lbServerStatus->text(), QString("Asking 127.0.0.1 for its server list%1").arg(QChar(0x2026)));
        QTRY_VERIFY(f.form->btQueryServers->isEnabled());
        QCOMPARE(f.comboItems(), (QStringList{"freedb.example", "localhost"}));
        // The server asked is not in its own list (no mirror on port 80 is): the first mirror is chosen.
        QCOMPARE(f.value("Connection", "Server"), QString("freedb.example"));
        QCOMPARE(f.form->cmbServers->currentText(), QString("freedb.example"));
        // The new list is on disk at once.
        TSettings disk(f.settings->fileName());
        QCOMPARE(disk.readSection("FreeDB_sites"), (QStringList{"freedb.example", "localhost"}));
        QCOMPARE(f.log.first(), QString("[SM] Getting sites"));
        QVERIFY(f.log.contains("[SM] Got sites"));
        QCOMPARE(server.http.requests().size(), 1);

        // Picking an entry makes it the server.
        f.form->cmbServers->setCurrentIndex(1);
        emit f.form->cmbServers->activated(1);
        QCOMPARE(f.value("Connection", "Server"), QString("localhost"));
    }

    void serverBoxShowsTheServerInUseAndTakesTypedOnes()
    {
        Fixture f("[Connection]\nServer=my.example:8080\n[FreeDB_sites]\na.example=a.example\n");
        f.form->show();
        QCOMPARE(f.comboItems(), QStringList{"a.example"});
        QCOMPARE(f.form->cmbServers->currentText(), QString("my.example:8080"));
        QCOMPARE(Fixture().form->cmbServers->currentText(), QString("gnudb.gnudb.org"));
        QLineEdit* edit = f.form->cmbServers->lineEdit();
        auto type = [&](const QString& text) {
            edit->clear();
            QTest::keyClicks(edit, text);
            QTest::keyClick(edit, Qt::Key_Return);
        };
        // What the command line's --server takes is taken; the rest is refused with the reason, as there.
        type("https://other.example:8443/cddb.cgi");
        QCOMPARE(f.value("Connection", "Server"), QString("https://other.example:8443/cddb.cgi"));
        QVERIFY(!f.form->lbServerStatus->isVisibleTo(f.form.get()));
        QCOMPARE(f.comboItems(), QStringList{"a.example"}); // typing adds nothing to the mirrors
        type("host:99999");
        QVERIFY(f.form->lbServerStatus->isVisibleTo(f.form.get()));
        QCOMPARE(f.form->lbServerStatus->text(), ServerSettingProblem("host:99999"));
        QCOMPARE(f.value("Connection", "Server"), QString("https://other.example:8443/cddb.cgi"));
        // Nothing is asked of a refused server.
        f.form->btQueryServers->click();
        QVERIFY(f.form->btQueryServers->isEnabled() && !f.form->serverQuery().running());
        QVERIFY(f.log.isEmpty());
        type("");
        QCOMPARE(f.value("Connection", "Server"), QString("<none>")); // empty: the default server
    }

    void serverListGoesThroughTheProxyOfTheSettings()
    {
        // The local server plays the proxy: it gets the request for the mirror in full.
        LocalHttpServer proxy;
        QVERIFY(proxy.start());
        QByteArray target;
        proxy.setHandler([&](const HttpRequest& r) {
            target = r.target;
            HttpResponse response;
            response.body = transcript("17-sites-proto6.txt");
            return response;
        });
        Fixture f("[Connection]\nUseProxy=0\nServer=mirror.invalid\n[Proxy]\nAddress=127.0.0.1\nPort=" +
                  std::to_string(proxy.port()) + "\n");
        f.form->chUseProxy->click(); // on, from the window
        f.form->btQueryServers->click();
        QTRY_VERIFY(f.form->btQueryServers->isEnabled());
        QVERIFY2(target.startsWith("http://mirror.invalid"), target.constData());
        QCOMPARE(f.comboItems(), (QStringList{"freedb.example", "localhost"}));
    }

    void serverListThatChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("logged");
        QTest::newRow("level 1 list: no HTTP server") << transcript("18-sites-proto1.txt") << 200
                                                     << "The reply named no HTTP server on port 80";
        QTest::newRow("401") << QByteArray("401 No site information available.\r\n") << 200
                             << "The server list was not changed: No site information available";
        QTest::newRow("500") << QByteArray("500 Unrecognized command.\r\n") << 200 << "The server list was not changed";
        QTest::newRow("junk lines") << QByteArray("junk\r\n\x01\x02more junk\r\n") << 200
                                    << "not changed: The server http://127.0.0.1";
        QTest::newRow("HTTP 500 page") << QByteArray("<html>Internal error</html>") << 500 << "The server list was not changed";
    }

    void serverListThatChangesNothing()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, logged);
        SitesServer server;
        HttpResponse r;
        r.status = status;
        r.reason = status == 200 ? "OK" : "Internal Server Error";
        r.body = body;
        server.site.on("sites", r);
        server.serve();
        const std::string ini = "[Connection]\nServer=" + server.http.hostAndPort().toStdString() +
                                "\n[FreeDB_sites]\nold.example=old.example\n";
        Fixture f(ini);
        f.form->btQueryServers->click();
        QTRY_VERIFY(f.form->btQueryServers->isEnabled());
        QVERIFY2(f.log.filter(logged).size() == 1, qPrintable(f.log.join("\n")));
        QCOMPARE(f.comboItems(), QStringList{"old.example"});
        QCOMPARE(f.form->cmbServers->currentText(), server.http.hostAndPort());
        QCOMPARE(f.settings->toText(), TSettings(f.settings->fileName()).toText());
        QCOMPARE(readText(f.dir.file("Cantorix.ini")), ini); // not written
    }

    void closingTheWindowMidRequestAbortsIt()
    {
        SitesServer server;
        server.site.hangOn("sites");
        server.serve();
        Fixture f("[Connection]\nServer=" + server.http.hostAndPort().toStdString() + "\n");
        f.form->show();
        f.form->btQueryServers->click();
        QTRY_COMPARE(server.http.requests().size(), 1);
        QVERIFY(!f.form->btQueryServers->isEnabled());
        QVERIFY(f.form->serverQuery().running());
        f.form->close();
        QVERIFY(!f.form->serverQuery().running());
        const int lines = int(f.log.size());
        // Whatever comes later reaches nothing.
        server.site = CddbTestSite();
        QTest::qWait(100);
        QCOMPARE(f.log.size(), lines);
        QCOMPARE(f.value("Connection", "Server"), server.http.hostAndPort());
        QVERIFY(f.settings->readSection("FreeDB_sites").isEmpty());
    }

    void layoutAndAltKeysPerTab()
    {
        Fixture f;
        f.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        QTabWidget* tabs = f.form->PageControl1;
        for (int t = 0; t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            QApplication::processEvents();
            QStringList texts;
            for (int k = 0; k < tabs->count(); ++k) texts << tabs->tabText(k);
            for (QWidget* w : f.form->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(f.form.get()) || w->objectName().startsWith("qt_")) continue;
                QString text;
                if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
                if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
                if (!text.isEmpty()) texts << text;
                // Nothing is cut.
                if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)) {
                    const QSize min = w->minimumSizeHint();
                    QVERIFY2(w->width() >= min.width() && w->height() >= min.height(),
                             qPrintable(QString("%1 (%2) on tab %3").arg(w->objectName(), text).arg(t)));
                }
            }
            QMap<QChar, QString> owner;
            for (const QString& text : std::as_const(texts)) {
                const qsizetype at = text.indexOf('&');
                if (at < 0 || at + 1 >= text.size() || text[at + 1] == '&') continue;
                const QChar key = text[at + 1].toLower();
                QVERIFY2(!owner.contains(key), qPrintable(QString("Alt+%1: \"%2\" and \"%3\"").arg(key, owner.value(key), text)));
                owner.insert(key, text);
            }
        }
    }

    // Tab from the tabs walks the page shown, then Close, then back to the tabs.
    void tabWalksThePageThenClose()
    {
        Fixture f;
        f.form->show();
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTabWidget* tabs = f.form->PageControl1;
        auto* close = f.form->findChild<QPushButton*>("btClose");
        QVERIFY(close);
        for (int t = 0; t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            tabs->tabBar()->setFocus(Qt::TabFocusReason);
            QStringList stops;
            for (int step = 0; step < 40 && QApplication::focusWidget() != close; ++step) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget* at = QApplication::focusWidget();
                QVERIFY(at);
                if (at == close) break;
                QVERIFY2(tabs->currentWidget()->isAncestorOf(at),
                         qPrintable(QString("tab %1: %2 after %3").arg(t).arg(at->objectName(), stops.join(", "))));
                stops << at->objectName();
            }
            QVERIFY2(!stops.isEmpty(), qPrintable(QString("tab %1: Close right after the tabs").arg(t)));
            QCOMPARE(QApplication::focusWidget(), close);
            QTest::keyClick(close, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), tabs->tabBar());
        }
    }
};

QTEST_MAIN(OptionsFormTest)
#include "optionsform_qtest.moc"
