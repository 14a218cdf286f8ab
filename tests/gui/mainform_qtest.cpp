// The main window offscreen: first start, settings written at exit, the scan into the grid, the log's
// commands, and exceptions turned into log lines.
#include "gui/Application.h"
#include "gui/MainForm.h"
#include "gui/MatchForm.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"
#include "core/album/AlbumSession.h"
#include "core/album/AlbumWorkflow.h"

#include <QFileInfo>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <filesystem>
#include <stdexcept>

using namespace cantorix;
using cantorix::test::TempDir;
using cantorix::test::logLines;
using cantorix::test::q;
using cantorix::test::gridCell;
using cantorix::test::editGridCell;

namespace {
class Thrower : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) throw std::runtime_error("boom");
        return QObject::event(e);
    }
};
} // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartUsesDefaultsAndWritesThemAtExit()
    {
        TempDir dir;
        QString ini = q(dir.file("Cantorix.ini"));
        QSize size;
        {
            TMainForm f(ini, QString());
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            // 800 by 600, less what a frame needs on a screen that has no room for it (the test screen).
            const QRect free = f.screen()->availableGeometry();
            const QSize frame = f.frameGeometry().size() - f.geometry().size();
            QTRY_COMPARE(f.size(), QSize(800, 600).boundedTo(free.size() - frame));
            size = f.size();
            QVERIFY(f.btQueryModeChecksum->isChecked());
            QVERIFY(!f.btQueryModeName->isChecked());
            QVERIFY(!f.panelName->isVisible());
            QCOMPARE(f.Splitter1->sizes().value(0), 210);
            // The short columns keep their widths; "Filename", "Track" and "New name" share the rest.
            QTest::qWait(20);
            QCOMPARE(f.FileGrid->columnWidth(1), 70);
            QCOMPARE(f.FileGrid->columnWidth(2), 70);
            const int share = f.FileGrid->columnWidth(3) - 110;
            QVERIFY(share >= 0);
            QVERIFY(std::abs(f.FileGrid->columnWidth(0) - 150 - share) <= 2);
            QCOMPARE(f.FileGrid->columnWidth(4) - 150, share);
            int total = 0;
            for (int c = 0; c < 5; ++c) total += f.FileGrid->columnWidth(c);
            QCOMPARE(total, std::max(550, f.FileGrid->viewport()->width()));
            QCOMPARE(f.FileGrid->model()->headerData(0, Qt::Horizontal).toString(), QString("Filename"));
            QCOMPARE(f.FileGrid->model()->headerData(3, Qt::Horizontal).toString(), QString("Track"));
            QCOMPARE(f.FileGrid->model()->rowCount(), 0); // no empty rows to scroll into
            // A first start offers the format renaming uses without a choice.
            QCOMPARE(f.cmbNameFormat->count(), 1);
            QCOMPARE(f.cmbNameFormat->currentText(), QString("artist - album - # - track"));
            QCOMPARE(f.GenreBox->count(), 149);
            QCOMPARE(f.GenreBox->itemText(0), QString());
            QCOMPARE(f.GenreBox->itemText(52), QString("Euro-Techno,"));
            QCOMPARE(f.cmbFolderFormat->itemText(0), QString("artist [year] - album"));
            QCOMPARE(f.cmbFolderFormat->currentIndex(), 0);
            QVERIFY(!f.btQuery->isEnabled());
            QVERIFY(!f.btAction->isEnabled());
            QCOMPARE(logLines(f).join("|"), QString());
            f.close();
        }
        const std::string text = cantorix::test::readText(dir.file("Cantorix.ini"));
        QCOMPARE(q(text), QString("[Main]\nDefaultMode=0\n\n"
                                  "[Window]\nMaximized=0\nLeft=%1\nTop=%2\nWidth=%3\nHeight=%4\n\n"
                                  "[Columns]\n0=150\n1=70\n2=70\n3=110\n4=150\n\n")
                              .arg(QString::fromStdString(text).section("Left=", 1).section('\n', 0, 0))
                              .arg(QString::fromStdString(text).section("Top=", 1).section('\n', 0, 0))
                              .arg(size.width())
                              .arg(size.height()));
    }

    void aPlacementFromALargerScreenOpensOnThisOne()
    {
        TempDir dir;
        cantorix::test::writeText(dir.file("Cantorix.ini"), "[Window]\nMaximized=0\nLeft=3000\nTop=-200\nWidth=2500\nHeight=1400\n");
        TMainForm f(q(dir.file("Cantorix.ini")), QString());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // The window itself fits the screen's free area and starts inside it (a frame, when the window
        // manager adds one, comes on top).
        const QRect free = f.screen()->availableGeometry();
        const QRect frame = f.frameGeometry();
        QVERIFY2(f.width() <= free.width() && f.height() <= free.height() && free.contains(frame.topLeft()),
                 qPrintable(QString("%1x%2 at %3,%4 in %5x%6").arg(f.width()).arg(f.height()).arg(frame.x()).arg(frame.y())
                                .arg(free.width()).arg(free.height())));
        f.close();
    }

    void settingsAreAppliedAndImmediateWritesKept()
    {
        TempDir dir;
        cantorix::test::writeText(dir.file("Cantorix.ini"),
                                  "[Main]\nDefaultMode=1\nTreeWidth=260\nNameFormat=missing\nRenameFolder=1\n"
                                  "FolderFormat=3\n[NameFormats]\nartist - album - # - track=\n# - track=\n"
                                  "[Window]\nMaximized=1\nLeft=7\nTop=8\nWidth=900\nHeight=700\n");
        QString ini = q(dir.file("Cantorix.ini"));
        {
            TMainForm f(ini, QString());
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QVERIFY(f.btQueryModeName->isChecked());
            QVERIFY(f.panelName->isVisible());
            QCOMPARE(f.cmbNameFormat->count(), 2);
            QCOMPARE(f.cmbNameFormat->currentText(), QString("artist - album - # - track")); // first entry
            QVERIFY(f.chRenameFolder->isChecked());
            QCOMPARE(f.cmbFolderFormat->currentIndex(), 3);
            // Picking a format writes it at once; clicking the check box too.
            f.cmbNameFormat->setCurrentIndex(1);
            emit f.cmbNameFormat->activated(1);
            f.chRenameFolder->click();
            QCOMPARE(f.settings().readString("Main", "NameFormat", ""), QString("# - track"));
            QVERIFY(!f.settings().readBool("Main", "RenameFolder", true));
            f.close();
        }
        TSettings after(ini);
        QVERIFY(after.readBool("Window", "Maximized", false));
        QCOMPARE(after.readInteger("Window", "Left", 0), 7); // a maximized window keeps its old placement
        QCOMPARE(after.readInteger("Window", "Width", 0), 900);
        QVERIFY(after.readBool("Main", "DefaultMode", false));
    }

    void theNameFormatShownIsTheOneUsed()
    {
        // Formats stored without NameFormat (added, then a restart): the one shown is written at once,
        // and the runs take it; so does every later change of the selection.
        TempDir dir;
        cantorix::test::writeText(dir.file("c.ini"), "[NameFormats]\n# - track=\nartist - album - # - track=\n");
        TMainForm f(q(dir.file("c.ini")), QString());
        QCOMPARE(f.cmbNameFormat->currentText(), QString("# - track"));
        QCOMPARE(f.settings().readString("Main", "NameFormat", "<none>"), QString("# - track"));
        QCOMPARE(f.workflow().renameOptions().NameFormat, std::string("# - track"));
        QTest::keyClick(f.cmbNameFormat, Qt::Key_Down); // the keyboard changes it without a popup
        QCOMPARE(f.cmbNameFormat->currentText(), QString("artist - album - # - track"));
        QCOMPARE(f.workflow().renameOptions().NameFormat, std::string("artist - album - # - track"));
    }

    void startsWithAVisibleFocusAndKeepsLongTextsReadable()
    {
        TempDir dir, root;
        // Many folders before it: the selected folder must still be in view.
        for (int i = 0; i < 80; ++i) std::filesystem::create_directory(root.path() / ("a" + std::to_string(100 + i)));
        const std::string album = root.file("zz album");
        std::filesystem::create_directory(album);
        cantorix::test::writeText(album + "/01 A file name long enough to be cut by its column of the grid.mp3", "");
        cantorix::test::writeText(album + "/02 Short.mp3", "");
        cantorix::test::writeText(dir.file("entry.txt"),
                                  "DTITLE=Band / An Album Title Long Enough Not To Fit Its Field In The Window\n"
                                  "TTITLE0=One\nTTITLE1=Two\n");
        TMainForm f(q(dir.file("c.ini")), q(album));
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // The keyboard starts in the tree, on the listed folder, which is in view.
        QCOMPARE(QApplication::focusWidget(), f.MainTree);
        QCOMPARE(f.MainTree->selectedPath(), q(album));
        QTRY_VERIFY(f.MainTree->viewport()->rect().contains(f.MainTree->visualRect(f.MainTree->currentIndex()).center()));

        // A long album shows its beginning.
        QString error;
        QVERIFY(f.workflow().applyEntryFile(q(dir.file("entry.txt")), &error));
        QCOMPARE(f.edDBAlbum->cursorPosition(), 0);

        // A cell cut by its column shows its whole text as a tooltip; one that fits shows none.
        QTest::qWait(20);
        QAbstractItemModel* m = f.FileGrid->model();
        auto tipAt = [&](int row) {
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return QString("<tooltip stays>");
            const QPoint at = f.FileGrid->visualRect(m->index(row, 0)).center();
            QHelpEvent help(QEvent::ToolTip, at, f.FileGrid->viewport()->mapToGlobal(at));
            QApplication::sendEvent(f.FileGrid->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(0), gridCell(f, 1, 0));
        QCOMPARE(tipAt(1), QString());
    }

    void scanListsTheCommandLineFolder()
    {
        TempDir dir;
        TempDir album;
        for (const char* name : {"02 b.mp3", "01 A.MP3", "cover.jpg", ".hidden.ogg", "notes.mp3.txt"})
            cantorix::test::writeText(album.file(name), "");
        std::filesystem::create_directory(album.path() / "scans.flac");
        TMainForm f(q(dir.file("Cantorix.ini")), q(album.str()));
        if (qEnvironmentVariableIsSet("CANTORIX_SCREENSHOT")) {
            // A look at the laid-out window for a person: CANTORIX_SCREENSHOT=file.png.
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            f.grab().save(qEnvironmentVariable("CANTORIX_SCREENSHOT"));
        }
        QCOMPARE(f.album().fileCount(), 3);
        QCOMPARE(f.FileGrid->model()->rowCount(), 3); // no blank rows below the files
        QCOMPARE(gridCell(f, 1, 0), QString(".hidden.ogg"));
        QCOMPARE(gridCell(f, 2, 0), QString("01 A.MP3"));
        QCOMPARE(gridCell(f, 3, 0), QString("02 b.mp3"));
        QCOMPARE(gridCell(f, 2, 1), QString("--:--")); // an empty file has no playing time
        QCOMPARE(gridCell(f, 2, 2), QString());
        QCOMPARE(f.album().lengths(), QList<TTrackLength>(3));
        QString folder = q(album.str()) + "/";
        QCOMPARE(f.lbFolder->text(), folder);
        QCOMPARE(logLines(f), QStringList{QString("3 audio files found in \"%1\"").arg(folder)});
        QCOMPARE(f.lsLog->currentRow(), 0);
        QVERIFY(f.btQuery->isEnabled());
        QVERIFY(!f.btAction->isEnabled());
        QVERIFY(f.MainTree->isEnabled());

        // A rescan empties the lookup columns and clears the album fields.
        QVERIFY(editGridCell(f, 1, 3, "Title"));
        QVERIFY(!editGridCell(f, 1, 0, "renamed.mp3")); // a file is renamed by renaming it, never by typing
        f.edDBArtist->setText("Artist");
        f.btRefresh->click();
        QCOMPARE(gridCell(f, 1, 3), QString());
        QCOMPARE(f.edDBArtist->text(), QString());
        QCOMPARE(f.lsLog->count(), 2);
    }

    void emptyFolderAndTwoArgumentsFallBackToTheStartFolder()
    {
        TempDir dir;
        TempDir empty;
        cantorix::test::writeText(dir.file("Cantorix.ini"), "[Main]\nStartfolder=" + empty.str() + "\n");
        TMainForm f(q(dir.file("Cantorix.ini")), QString());
        QCOMPARE(logLines(f), QStringList{QString("No audio files found in \"%1/\"").arg(q(empty.str()))});
        QVERIFY(!f.btQuery->isEnabled());

        cantorix::test::writeText(dir.file("gone.ini"), "[Main]\nStartfolder=/no/such/folder\n");
        TMainForm g(q(dir.file("gone.ini")), QString());
        QCOMPARE(g.lsLog->count(), 0);
        QCOMPARE(g.album().fileCount(), 0);
    }

    void aScanLeavesTheFocusInTheTreeAndMarksUnreadableFiles()
    {
        TempDir dir;
        TempDir album;
        cantorix::test::writeText(album.file("01 junk.mp3"), "not audio at all");
        cantorix::test::writeText(album.file("02 empty.flac"), "");
        TMainForm f(q(dir.file("Cantorix.ini")), q(album.str()));
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.MainTree->setFocus();
        QTRY_VERIFY(f.MainTree->hasFocus());
        f.MainTreeClick(); // what every scan does
        QVERIFY(f.MainTree->hasFocus());
        // A file without a playing time is not "00:00": it says so, and why.
        QCOMPARE(gridCell(f, 1, TMainForm::ColDuration), QString("--:--"));
        const QAbstractItemModel* m = f.FileGrid->model();
        const QString why = m->data(m->index(0, TMainForm::ColDuration), Qt::ToolTipRole).toString();
        QVERIFY2(why.contains("not a valid MP3 file"), qPrintable(why));
        QCOMPARE(f.album().filesWithoutPlayingTime(), 2);
        QCOMPARE(f.windowTitle(), QFileInfo(q(album.str())).fileName() + QString(" %1 Cantorix").arg(QChar(0x2014)));
    }

    void matchWindowOffersTheFirstMatch()
    {
        TMatchForm form({"rock 0a0f0b03 A / B", "jazz 0a0f0b03 C / D"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QString("More than one album found"));
        QCOMPARE(form.selectedIndex(), 0);
        QVERIFY(form.btAccept->isEnabled());
        form.lstMatches->clearSelection();
        QVERIFY(!form.btAccept->isEnabled()); // OK means "this one": nothing chosen, nothing to confirm
        form.lstMatches->setCurrentRow(1);
        QTest::keyClick(form.lstMatches, Qt::Key_Return);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.selectedIndex(), 1);
        // One candidate is one album, to confirm.
        QCOMPARE(TMatchForm({"rock 0a0f0b03 A / B"}).windowTitle(), QString("One album found"));
    }

    void largeFoldersGrowTheGrid()
    {
        TempDir dir;
        TempDir album;
        for (int i = 0; i < 150; ++i) cantorix::test::writeText(album.file("t" + std::to_string(1000 + i) + ".mp3"), "");
        TMainForm f(q(dir.file("Cantorix.ini")), q(album.str()));
        QCOMPARE(f.album().fileCount(), 150);
        QCOMPARE(f.album().lengths().size(), 150);
        QCOMPARE(gridCell(f, 150, 0), QString("t1149.mp3"));
    }

    void logCopyAndSave()
    {
        TempDir dir;
        TMainForm f(q(dir.file("Cantorix.ini")), QString());
        auto* copy = f.findChild<QAction*>("mnuCopy");
        auto* save = f.findChild<QAction*>("mnuSaveLog");
        QVERIFY(copy && save);
        QCOMPARE(copy->text(), QString("Copy selected to clipboard"));
        QApplication::clipboard()->setText("before");
        copy->trigger(); // nothing selected, nothing copied
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));

        f.AppendLog("one");
        f.AppendLog("two \"quoted\"");
        f.lsLog->setCurrentRow(0);
        copy->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("one"));

        // The dialog proposes the designed name in the documents folder; cancelling writes nothing.
        QString proposed;
        f.setSaveLogChooser([&](const QString& p) {
            proposed = p;
            return QString();
        });
        save->trigger();
        QCOMPARE(logLines(f).size(), 2);
        QVERIFY2(QFileInfo(proposed).fileName().startsWith("Cantorix.") && proposed.endsWith(".log"), qPrintable(proposed));
        QVERIFY(QFileInfo(QFileInfo(proposed).absolutePath()).isDir());
        f.setSaveLogChooser([&](const QString& p) { return q(dir.str()) + "/" + QFileInfo(p).fileName(); });
        save->trigger();
        QStringList lines = logLines(f);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[2].startsWith(QString("Saved log to \"%1/Cantorix.").arg(q(dir.str()))));
        QString path = lines[2].section('"', 1, 1);
        QCOMPARE(q(cantorix::test::readText(path.toStdString())), QString("one\r\ntwo \"quoted\"\r\n"));
    }

    void exceptionsBecomeOneLogLineAndTheWindowGoesOn()
    {
        TempDir dir;
        // The settings folder does not exist, so saving the log there fails inside the handler.
        TMainForm f("/nonexistent-folder/Cantorix.ini", QString());
        f.setSaveLogChooser([](const QString& p) { return "/nonexistent-folder/" + QFileInfo(p).fileName(); });
        f.AppendLog("x");
        f.findChild<QAction*>("mnuSaveLog")->trigger();
        QStringList lines = logLines(f);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[1].startsWith("[ERROR] Native: \"Cannot create file \"/nonexistent-folder/Cantorix."), qPrintable(lines[1]));
        QVERIFY2(lines[1].endsWith("System: \"No such file or directory\""), qPrintable(lines[1]));

        // An exception escaping any event handler reaches the application-wide handler.
        auto* app = static_cast<TApplication*>(QCoreApplication::instance());
        app->setExceptionHandler([&f](const QString& t) { f.AppException(t); });
        Thrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        app->setExceptionHandler(nullptr);
        lines = logLines(f);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[2].startsWith("[ERROR] Native: \"boom\" System: \""), qPrintable(lines[2]));
        f.AppendLog("still usable");
        QCOMPARE(f.lsLog->currentRow(), 3);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    MainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainform_qtest.moc"
