// The file information window, rename by tag and the grid's commands, offscreen: the window's values
// against cantorix-cli info under a decimal-comma locale, manual rename (taken, same, invalid, odd and
// extensionless names), play, closing the window over a looked-up album, rename by tag with an edit,
// the double-click, the popup menu, opens that no program takes, and the keys while a lookup holds the
// window.
#include "core/album/AlbumSession.h"
#include "core/InfoText.h"
#include "core/SettingsKeys.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "gui/AlbumTableModel.h"
#include "gui/InfoForm.h"
#include "gui/MainForm.h"
#include "core/album/AlbumWorkflow.h"
#include "gui/DesktopOpen.h"
#include "gui/RenameByTagForm.h"
#include "support/CliRunner.h"
#include "support/TaggedAudio.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// What the desktop's "open" was asked to open; `works` false: no program takes anything.
struct UrlCatcher {
    QList<QUrl> urls;
    bool works = true;
};

// Runs `check` on the first modal dialog of type T once it shows; false when none showed.
template <typename T>
void whenModal(std::function<void(T*)> check, bool* seen)
{
    auto* timer = new QTimer(qApp); // freed with the application when no dialog ever shows
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *seen = true;
            check(w);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

QMessageBox* openMessage(QWidget* parent)
{
    QMessageBox* box = parent->findChild<QMessageBox*>("RenameFailedMessage");
    return box && box->isVisible() ? box : nullptr;
}

// Every visible text widget at its minimum size or more, and no two Alt letters alike.
QStringList windowFaults(QWidget* root)
{
    QStringList faults;
    QMap<QChar, QString> owner;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root)) continue;
        QString text;
        if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
        if (text.isEmpty()) continue;
        const QSize min = w->minimumSizeHint();
        if (w->width() < min.width() || w->height() < min.height()) faults << "cut: " + text;
        const qsizetype at = text.indexOf('&');
        if (at < 0 || at + 1 >= text.size()) continue;
        const QChar key = text[at + 1].toLower();
        if (owner.contains(key)) faults << QString("Alt+%1: %2 and %3").arg(key, owner.value(key), text);
        owner.insert(key, text);
    }
    return faults;
}

// A complete entry for three files.
const char* const kEntry = "# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t300\n#\t450\n#\n# Disc length: 8 seconds\n#\n"
                           "# Revision: 0\n# Submitted via: test\n#\nDISCID=0a0f0b03\nDTITLE=The Band / The Record\n"
                           "DYEAR=1999\nDGENRE=rock\nTTITLE0=One\nTTITLE1=Two\nTTITLE2=Three\nEXTD=\nEXTT0=\nEXTT1=\n"
                           "EXTT2=\nPLAYORDER=\n";

// The message of an open that no program took, once it shows.
QMessageBox* openFailed(QWidget* parent)
{
    QMessageBox* box = parent->findChild<QMessageBox*>("OpenFailedMessage");
    return box && box->isVisible() ? box : nullptr;
}

QString boxValue(const TInfoForm& form, const QString& key)
{
    static const QMap<QString, QString> boxes = {{"Size", "Size"},       {"Duration", "Duration"}, {"SampleRate", "SampleRate"},
                                                 {"Bitrate", "Bitrate"}, {"Channels", "Channels"}, {"Artist", "Artist"},
                                                 {"Album", "Album"},     {"Title", "Title"},       {"Year", "Year"},
                                                 {"Genre", "Genre"},     {"Track", "Track"},       {"Other", "Other"},
                                                 {"File", "edCurrentFileName"}};
    auto* e = form.findChild<QLineEdit*>(boxes.value(key));
    return e ? e->text() : QString("<no box for %1>").arg(key);
}

} // namespace

class InfoWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        SetDesktopLauncher([this](const QUrl& url) {
            m_catcher.urls << url;
            return m_catcher.works;
        });
    }
    void cleanup()
    {
        SetDesktopLauncher({});
        m_catcher = UrlCatcher();
    }

    void valuesMatchTheCommandLineUnderADecimalCommaLocale()
    {
        TempDir work;
        const TDecimalCommaLocale locale = decimalCommaLocale(work);
        if (locale.name.empty()) QSKIP("no locale with a decimal comma can be had (package locales)");
        const TTestTags tags{"Title", "Artist", "Album", "2004", "3"};
        const char* formats[] = {"mp3", "flac", "ogg", "wav", "m4a"};
        for (const char* format : formats)
            if (!makeTaggedFile(work, work.file(std::string("song.") + format), format, tags))
                QSKIP(qPrintable(QString("cannot make a %1 file with the test tools").arg(format)));

        // This process and the command line both under the decimal-comma locale; this process goes back
        // to its own locale however the test ends, so the later tests read the system's texts as before.
        if (!locale.locpath.empty()) ::setenv("LOCPATH", locale.locpath.c_str(), 1);
        struct Restore {
            std::string before = std::setlocale(LC_ALL, nullptr);
            ~Restore()
            {
                std::setlocale(LC_ALL, before.c_str());
                ::unsetenv("LOCPATH");
            }
        } restore;
        QVERIFY(std::setlocale(LC_ALL, locale.name.c_str()));
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        QCOMPARE(QString(probe), QString("1,5"));
        QStringList env = {"LC_ALL=" + QString::fromStdString(locale.name)};
        if (!locale.locpath.empty()) env << "LOCPATH=" + QString::fromStdString(locale.locpath);

        for (const char* format : formats) {
            const std::string path = work.file(std::string("song.") + format);
            TInfoForm form(QByteArray::fromStdString(path));
            const CliResult cli = runCli({"info", QString::fromStdString(path)}, 30000, env);
            QVERIFY2(cli.exitCode == 0, qPrintable(cli.err.left(2000)));
            const QStringList lines = cli.outLines();
            QCOMPARE(lines.size(), 13);
            // The command line keeps the readers' notation; the window shows the same values in one notation.
            const QString extension = QString(".") + format;
            for (const QString& line : lines) {
                const qsizetype colon = line.indexOf(": ");
                QVERIFY2(colon > 0, qPrintable(line));
                const QString key = line.left(colon), value = line.mid(colon + 2);
                const QString shown = key == "Bitrate"      ? ShownBitrate(extension, value)
                                      : key == "SampleRate" ? ShownSampleRate(value)
                                      : key == "Channels"   ? ShownChannels(value)
                                                            : value;
                QCOMPARE(boxValue(form, key), shown);
            }
            QCOMPARE(form.SampleRate->text(), QString("44.1 kHz"));
            QVERIFY2(QStringList({"Stereo", "Joint stereo"}).contains(form.Channels->text()), qPrintable(form.Channels->text()));
            QVERIFY2(form.Bitrate->text().endsWith(" kbit/s") && !form.Bitrate->text().contains('.'),
                     qPrintable(form.Bitrate->text()));
            QVERIFY2(form.Size->text().contains('.') && !form.Size->text().contains(','), qPrintable(form.Size->text()));
            QCOMPARE(form.Duration->text(), QString("00:00:01"));
            if (QString(format) != "wav") {
                QCOMPARE(form.Artist->text(), QString("Artist"));
                QCOMPARE(form.Title->text(), QString("Title"));
            }
        }
    }

    void manualRename()
    {
        TempDir dir;
        writeText(dir.file("a.mp3"), "a");
        writeText(dir.file("b.mp3"), "b");
        TInfoForm form(QByteArray::fromStdString(dir.file("a.mp3")));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY2(windowFaults(&form).isEmpty(), qPrintable(windowFaults(&form).join("; ")));
        QCOMPARE(form.edCurrentFileName->text(), QString("a.mp3"));
        QCOMPARE(form.edNewFileName->text(), QString("a.mp3"));
        QCOMPARE(form.Size->text(), QString("1.0B"));

        // The base name is selected, so typing replaces it and keeps the extension.
        QCOMPARE(form.edNewFileName->selectedText(), QString("a"));

        // A refused name: Enter and the button say the same, naming the new name and the reason.
        const struct {
            const char* name;
            const char* reason;
        } refused[] = {
            {"b.mp3", "File exists"},
            {"bad/name.mp3", "A file name cannot hold \"/\""},
            {"..", "\".\" and \"..\" name folders, not files"},
        };
        for (const auto& r : refused)
            for (bool enter : {false, true}) {
                form.edNewFileName->setText(r.name);
                if (enter)
                    QTest::keyClick(form.edNewFileName, Qt::Key_Return);
                else
                    form.brManualRename->click();
                QMessageBox* box = openMessage(&form);
                QVERIFY2(box, r.name);
                QCOMPARE(box->windowTitle(), QString("Renaming failed"));
                QCOMPARE(box->text(), QString("Cannot rename \"a.mp3\" to \"%1\": %2").arg(r.name, r.reason));
                box->close();
                QTest::qWait(1);
            }
        QCOMPARE(listFiles(dir.str()), (std::vector<std::string>{"a.mp3", "b.mp3"}));
        QCOMPARE(form.edCurrentFileName->text(), QString("a.mp3"));

        // The same name, or nothing but spaces: nothing happens, no message.
        for (const char* same : {"a.mp3", "   "}) {
            form.edNewFileName->setText(same);
            QTest::keyClick(form.edNewFileName, Qt::Key_Return);
            QVERIFY(!openMessage(&form));
            QVERIFY(form.isVisible());
        }

        // A name without an audio extension is renamed only as the user answers: with the extension
        // added, as typed, or not at all.
        const struct {
            const char* typed;
            const char* answer; // the start of the button's text
            const char* file;   // the file afterwards
        } extensionless[] = {
            {"01 - Intro renamed", "&Add", "01 - Intro renamed.mp3"},
            {"notes", "Cancel", "01 - Intro renamed.mp3"},
            {"notes", "Rename as &typed", "notes"},
            {"notes ", "", "notes"}, // its own name: no question, no move
            {"a.mp3", "", "a.mp3"},  // back, without a question
        };
        for (const auto& e : extensionless) {
            bool asked = false;
            if (*e.answer)
                whenModal<QMessageBox>([&](QMessageBox* box) {
                    // Each answer has its own Alt letter.
                    const QStringList faults = windowFaults(box);
                    for (QAbstractButton* b : box->buttons())
                        if (b->text().remove('&').startsWith(QString(e.answer).remove('&'))) b->click();
                    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
                }, &asked);
            form.edNewFileName->selectAll();
            QTest::keyClicks(form.edNewFileName, e.typed);
            QTest::keyClick(form.edNewFileName, Qt::Key_Return);
            QTRY_COMPARE(asked, *e.answer != 0);
            QVERIFY(!openMessage(&form));
            std::vector<std::string> files{e.file, "b.mp3"};
            std::sort(files.begin(), files.end());
            QCOMPARE(listFiles(dir.str()), files);
            QCOMPARE(form.edCurrentFileName->text(), QString(e.file));
        }
        QCOMPARE(form.lbRenameStatus->text(), QString("Renamed to \"a.mp3\""));

        // Enter renames once and the window stays; the name follows the move.
        const QString odd = "c #1 100% ?.mp3";
        form.edNewFileName->setText(odd + "  ");
        QTest::keyClick(form.edNewFileName, Qt::Key_Return);
        QVERIFY(!openMessage(&form));
        QVERIFY(form.isVisible());
        QCOMPARE(form.result(), 0);
        QCOMPARE(form.edCurrentFileName->text(), odd);
        QCOMPARE(form.edNewFileName->text(), odd);
        QCOMPARE(form.infoFileName(), QByteArray::fromStdString(dir.file(odd.toStdString())));
        QCOMPARE(readText(dir.file(odd.toStdString())), std::string("a"));
        QTest::keyClick(form.edNewFileName, Qt::Key_Return); // again: the same name now, nothing happens
        QVERIFY(!openMessage(&form));

        // Play hands the file to the desktop, "#", "%" and "?" included.
        form.btPlay->click();
        QCOMPARE(m_catcher.urls.size(), 1);
        QCOMPARE(m_catcher.urls[0].toLocalFile(), QString::fromStdString(dir.file(odd.toStdString())));
    }

    void latin1NameKeepsItsBytes()
    {
        TempDir dir;
        const std::string latin1 = dir.file("caf\xE9.mp3");
        writeText(latin1, "x");
        TInfoForm form(QByteArray::fromStdString(latin1));
        QCOMPARE(form.Size->text(), QString("1.0B"));
        form.btPlay->click();
        QCOMPARE(m_catcher.urls.size(), 1);
        QVERIFY2(m_catcher.urls[0].toEncoded().endsWith("/caf%E9.mp3"), m_catcher.urls[0].toEncoded().constData());
        // Pressing Enter on the shown name is no move; a new name moves the exact file.
        QTest::keyClick(form.edNewFileName, Qt::Key_Return);
        QVERIFY(!openMessage(&form));
        form.edNewFileName->setText("new.mp3");
        form.brManualRename->click();
        QVERIFY(!openMessage(&form));
        QCOMPARE(listFiles(dir.str()), std::vector<std::string>{"new.mp3"});
    }

    void closingTheInformationWindowKeepsTheLookup()
    {
        TempDir work, album;
        for (const char* name : {"1.mp3", "2.mp3", "3.mp3"}) writeText(album.file(name), name);
        writeText(work.file("entry.txt"), kEntry);
        TMainForm f(q(work.file("Cantorix.ini")), q(album.str()));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QString error;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QVERIFY(f.workflow().applyEntryFile(q(work.file("entry.txt")), &error));
        QVERIFY(f.btAction->isEnabled());
        QAbstractItemModel* m = f.FileGrid->model();
        f.FileGrid->setFocus();
        f.FileGrid->setCurrentIndex(m->index(1, 0));
        const qsizetype lines = logLines(f).size();

        // F2, then Esc: nothing is listed again; the titles, the fields, Rename and the row stay, and
        // Down goes on to the next file.
        bool seen = false;
        whenModal<TInfoForm>([](TInfoForm* form) { QTest::keyClick(form, Qt::Key_Escape); }, &seen);
        QTest::keyClick(f.FileGrid, Qt::Key_F2);
        QVERIFY(seen);
        QCOMPARE(gridCell(f, 2, TMainForm::ColTrack), QString("Two"));
        QCOMPARE(f.edDBAlbum->text(), QString("The Record"));
        QVERIFY(f.btAction->isEnabled());
        QCOMPARE(f.FileGrid->currentIndex().row(), 1);
        QCOMPARE(logLines(f).size(), lines);
        QTest::keyClick(f.FileGrid, Qt::Key_Down);
        QCOMPARE(f.FileGrid->currentIndex().row(), 2);

        // A file renamed there keeps its row and its title under the new name. (Offscreen, no window is
        // active again after a modal one by itself.)
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.FileGrid->setFocus();
        seen = false;
        whenModal<TInfoForm>([](TInfoForm* form) {
            form->edNewFileName->setText("Three (live).mp3");
            form->brManualRename->click();
            QTest::keyClick(form, Qt::Key_Escape);
        }, &seen);
        QTest::keyClick(f.FileGrid, Qt::Key_F2);
        QVERIFY(seen);
        QCOMPARE(gridCell(f, 3, TMainForm::ColFilename), QString("Three (live).mp3"));
        QCOMPARE(gridCell(f, 3, TMainForm::ColTrack), QString("Three"));
        QVERIFY(f.btAction->isEnabled());
        QCOMPARE(f.FileGrid->currentIndex().row(), 2);
        QCOMPARE(logLines(f).last(), QString("Renamed \"3.mp3\" to \"Three (live).mp3\""));
        // The next run renames it from its new name.
        QCOMPARE(m->data(m->index(2, TAlbumTableModel::ColNewName)).toString(), QString("The Band - The Record - 03 - Three.mp3"));
    }

    void opensThatNoProgramTakesAreSaid()
    {
        TempDir work, album;
        writeText(album.file("a.mp3"), "a");
        TMainForm f(q(work.file("Cantorix.ini")), q(album.str()));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        m_catcher.works = false;
        f.FileGrid->setCurrentIndex(f.FileGrid->model()->index(0, 0));
        const QString file = q(album.file("a.mp3")), folder = q(album.str()) + "/";
        // Play, Open folder and Help each say what could not be opened, in a message and in the log.
        const std::pair<QAction*, QString> opens[] = {{f.mnuPlay, file}, {f.mnuOpenFolder, folder}, {f.mnuHelp, GuideFile()}};
        for (const auto& [action, path] : opens) {
            action->trigger();
            QTRY_VERIFY(openFailed(&f));
            const QString line = QString("No program is set up to open \"%1\"").arg(path);
            QCOMPARE(openFailed(&f)->text(), line + ".");
            QCOMPARE(logLines(f).last(), line);
            openFailed(&f)->close();
            QTest::qWait(1);
        }
        QCOMPARE(m_catcher.urls.size(), 3);
        // The information window's play button says it there.
        TInfoForm form(QByteArray::fromStdString(album.file("a.mp3")));
        form.btPlay->click();
        QTRY_VERIFY(openFailed(&form));
        QVERIFY(openFailed(&form)->text().contains(file));
        openFailed(&form)->close();
        QTest::qWait(1);
    }

    void renameByTagWithAnEdit()
    {
        TempDir work, album;
        if (!makeTaggedFile(work, album.file("x1.mp3"), "mp3", {"One", "Band", "Disc", "2000", "1"}) ||
            !makeTaggedFile(work, album.file("x2.mp3"), "mp3", {"Two", "Band", "Disc", "2000", "2"}) ||
            !makeTaggedFile(work, album.file("x3.mp3"), "mp3", {"Three", "Band", "Disc", "2000", "3"}))
            QSKIP("lame or ffmpeg is not installed");
        TMainForm f(QString::fromStdString(work.file("Cantorix.ini")), QString::fromStdString(album.str()));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.album().fileCount(), 3);

        // Cancel after an edit: nothing moves.
        bool seen = false;
        whenModal<TRenameByTagForm>([](TRenameByTagForm* form) { form->btCancel->click(); }, &seen);
        f.btRenameByTag->click();
        QVERIFY(seen);
        QCOMPARE(listFiles(album.str()), (std::vector<std::string>{"x1.mp3", "x2.mp3", "x3.mp3"}));

        seen = false;
        QString problems;
        whenModal<TRenameByTagForm>(
            [&problems](TRenameByTagForm* form) {
                if (!windowFaults(form).isEmpty()) problems += windowFaults(form).join("; ");
                QTreeWidget* list = form->NameTagList;
                // It opens at its left edge, "Original" in view, though both columns do not fit.
                if (list->horizontalScrollBar()->maximum() == 0 || list->horizontalScrollBar()->value() != 0)
                    problems += " not opened at the left;";
                if (list->topLevelItemCount() != 3 || list->headerItem()->text(0) != "Original" ||
                    list->headerItem()->text(1) != "New" ||
                    list->topLevelItem(1)->text(1) != "Band - Disc - 02 - Two.mp3")
                    problems += " proposals not shown;";
                // The user changes the first proposal and presses Enter: that commits the edit only. (The
                // editor takes the keyboard only in the active window, which offscreen is not always the
                // new dialog by itself.)
                form->activateWindow();
                if (!QTest::qWaitForWindowActive(form)) problems += " not active;";
                list->setCurrentItem(list->topLevelItem(0), 1);
                list->editItem(list->topLevelItem(0), 1);
                auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                if (!editor) {
                    problems += " no editor;";
                    form->reject();
                    return;
                }
                editor->selectAll();
                QTest::keyClicks(editor, "Mine.mp3");
                QTest::keyClick(editor, Qt::Key_Return);
                QTest::qWait(20);
                if (!form->isVisible()) problems += " Enter closed the window;";
                if (form->proposals()[0].NewName != "Mine.mp3") problems += " edit not kept;";
                // The second: "../x" is refused by the move.
                list->topLevelItem(1)->setText(1, "../x");
                form->btAccept->click();
            },
            &seen);
        f.btRenameByTag->click();
        QVERIFY(seen);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
        QCOMPARE(listFiles(album.str()), (std::vector<std::string>{"Band - Disc - 03 - Three.mp3", "Mine.mp3", "x2.mp3"}));
        const QStringList log = logLines(f);
        QVERIFY(log.contains("Rename error: \"x2.mp3\" (Invalid argument)"));
        const qsizetype finished = log.indexOf("Finished tag-to-filename renaming. Refreshing folder...");
        QVERIFY(finished > log.indexOf("Rename error: \"x2.mp3\" (Invalid argument)"));
        // The folder was scanned again.
        QCOMPARE(gridCell(f, 1, 0), QString("Band - Disc - 03 - Three.mp3"));
    }

    void gridCommandsAndKeys()
    {
        TempDir work, album;
        writeText(album.file("a.mp3"), "a");
        writeText(album.file("b.mp3"), "b");
        const QString ini = QString::fromStdString(work.file("Cantorix.ini"));
        TMainForm f(ini, QString::fromStdString(album.str()));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QCOMPARE(f.album().fileCount(), 2);
        QAbstractItemModel* m = f.FileGrid->model();

        // Double-click with DblClickInfo on: the information window of that file, then a rescan.
        bool seen = false;
        QString shownName;
        whenModal<TInfoForm>([&](TInfoForm* form) {
            shownName = form->edCurrentFileName->text();
            form->edNewFileName->setText("renamed.mp3");
            form->brManualRename->click();
            form->accept();
        }, &seen);
        emit f.FileGrid->doubleClicked(m->index(1, 0));
        QVERIFY(seen);
        QCOMPARE(shownName, QString("b.mp3"));
        QCOMPARE(gridCell(f, 2, 0), QString("renamed.mp3"));

        // An empty row: nothing happens.
        seen = false;
        whenModal<TInfoForm>([](TInfoForm* form) { form->reject(); }, &seen);
        emit f.FileGrid->doubleClicked(m->index(5, 0));
        QTest::qWait(50);
        QVERIFY(!seen);

        // With "Play" chosen, a double-click plays the file.
        f.settings().set(setting::DblClickInfo, false);
        emit f.FileGrid->doubleClicked(m->index(0, 0));
        QCOMPARE(m_catcher.urls.size(), 1);
        QCOMPARE(m_catcher.urls[0].toLocalFile(), QString::fromStdString(album.file("a.mp3")));

        // F3 plays, F2 opens the information window.
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.FileGrid->setFocus();
        f.FileGrid->setCurrentIndex(m->index(0, 0));
        QTest::keyClick(f.FileGrid, Qt::Key_F3);
        QCOMPARE(m_catcher.urls.size(), 2);
        seen = false;
        whenModal<TInfoForm>([](TInfoForm* form) { form->reject(); }, &seen);
        QTest::keyClick(f.FileGrid, Qt::Key_F2);
        QVERIFY(seen);

        // F4 opens the folder (the window is active again after the information window).
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(&f, Qt::Key_F4);
        QCOMPARE(m_catcher.urls.size(), 3);
        QCOMPARE(m_catcher.urls[2], QUrl::fromLocalFile(QString::fromStdString(album.file(""))));

        // The popup menu: a file deleted since the scan offers neither information nor play.
        f.FileGrid->setCurrentIndex(m->index(0, 0));
        std::remove(album.file("a.mp3").c_str());
        emit f.FileGrid->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(f.GridMenu->isVisible());
        QVERIFY(!f.mnuShowInfo->isVisible());
        QVERIFY(!f.mnuPlay->isVisible());
        QVERIFY(f.mnuOpenFolder->isVisible() && f.mnuRefresh->isVisible() && f.mnuFix->isVisible());
        QVERIFY(f.GridMenu->actions().contains(f.mnuHelp));
        QCOMPARE(f.mnuShowInfo->shortcut(), QKeySequence(Qt::Key_F2));
        f.GridMenu->close();
        emit f.FileGrid->doubleClicked(m->index(0, 0)); // the deleted file: nothing
        QCOMPARE(m_catcher.urls.size(), 3);

        // While a lookup holds the window, F5 and Refresh do nothing; afterwards they rescan.
        emit f.workflow().lookupRunningChanged(true);
        writeText(album.file("c.mp3"), "c");
        QTest::keyClick(&f, Qt::Key_F5);
        f.mnuRefresh->trigger();
        QCOMPARE(gridCell(f, 1, 0), QString("a.mp3"));
        emit f.workflow().lookupRunningChanged(false);
        QTest::keyClick(&f, Qt::Key_F5);
        QCOMPARE(f.album().fileCount(), 2);
        QCOMPARE(gridCell(f, 1, 0), QString("c.mp3"));
    }

private:
    UrlCatcher m_catcher;
};

QTEST_MAIN(InfoWindowTest)
#include "infowindow_qtest.moc"
