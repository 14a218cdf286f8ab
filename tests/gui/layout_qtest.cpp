// The windows' layout as a user sees it: at the smallest size a window allows, at its usual size and
// with a 1.5 times larger font, no label, button or field is cut and none lies over another; every Alt
// letter reaches one control.
#include "core/album/AlbumWorkflow.h"
#include "gui/DialogSize.h"
#include "gui/ElidedLabel.h"
#include "gui/MainForm.h"
#include "gui/ResultsForm.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QAction>
#include <QMap>
#include <QMenuBar>
#include <QSplitter>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

using namespace cantorix;
using cantorix::test::q;
using cantorix::test::TempDir;

namespace {

// The widgets that carry text a user must read whole.
bool carriesText(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QGroupBox*>(w);
}

// Inside a list, tree or grid the view itself decides what is shown.
bool insideView(const QWidget* w, const QWidget* root)
{
    for (const QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QComboBox*>(p)) return true;
    return false;
}

QString describe(const QWidget* w)
{
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) text = g->title();
    return QString("%1 \"%2\" (%3)").arg(w->metaObject()->className(), text, w->objectName());
}

// Every visible text widget has at least its minimum size, lies inside its parent, and overlaps no
// visible sibling. Returns the faults found.
QStringList layoutFaults(QWidget* root)
{
    QStringList faults;
    QList<QWidget*> checked;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || !carriesText(w) || insideView(w, root)) continue;
        const QSize min = w->minimumSizeHint();
        if (w->width() < min.width() || w->height() < min.height())
            faults << QString("%1 is %2x%3, needs %4x%5")
                          .arg(describe(w))
                          .arg(w->width())
                          .arg(w->height())
                          .arg(min.width())
                          .arg(min.height());
        if (!w->parentWidget()->rect().contains(w->geometry()))
            faults << QString("%1 is cut by its parent").arg(describe(w));
        checked << w;
    }
    for (int i = 0; i < checked.size(); ++i)
        for (int j = i + 1; j < checked.size(); ++j) {
            QWidget *a = checked[i], *b = checked[j];
            if (a->parentWidget() != b->parentWidget()) continue;
            if (a->geometry().intersects(b->geometry()))
                faults << QString("%1 overlaps %2").arg(describe(a), describe(b));
        }
    return faults;
}

// Alt letters that two texts of `texts` claim: the second owner is unreachable. Fills `owner`.
QStringList altKeyClashes(const QStringList& texts, QMap<QChar, QString>& owner)
{
    QStringList clashes;
    for (const QString& text : texts) {
        const qsizetype at = text.indexOf('&');
        if (at < 0 || at + 1 >= text.size() || text[at + 1] == '&') continue;
        const QChar key = text[at + 1].toLower();
        if (owner.contains(key)) clashes << QString("Alt+%1: \"%2\" and \"%3\"").arg(key, owner.value(key), text);
        else owner.insert(key, text);
    }
    return clashes;
}

// The texts of the visible labels and buttons of a window.
QStringList controlTexts(QWidget* root)
{
    QStringList texts;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || insideView(w, root)) continue;
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
    }
    return texts;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void nothingIsCutAtAnySize_data()
    {
        QTest::addColumn<double>("fontScale");
        QTest::newRow("system font") << 1.0;
        QTest::newRow("1.5 times the font") << 1.5;
    }

    void nothingIsCutAtAnySize()
    {
        QFETCH(double, fontScale);
        const QFont original = QApplication::font();
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * fontScale);
        QApplication::setFont(font);

        TempDir dir;
        TempDir album;
        cantorix::test::writeText(album.file("01 A rather long file name of a track.mp3"), "");
        TMainForm f(q(dir.file("Cantorix.ini")), q(album.str()));
        f.btQueryModeName->click(); // the name-mode fields are shown too
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        const QSize minimum = f.minimumSizeHint();
        for (QSize size : {minimum, QSize(800, 600).expandedTo(minimum), QSize(1600, 1000)}) {
            f.resize(size);
            QTest::qWait(20);
            QApplication::processEvents();
            const QStringList faults = layoutFaults(&f);
            QVERIFY2(faults.isEmpty(), qPrintable(QString("at %1x%2: ").arg(size.width()).arg(size.height()) +
                                                  faults.join("; ")));
        }
        if (fontScale == 1.0) {
            // With the system font the window fits a small screen with a window manager's frame around it.
            QVERIFY2(minimum.width() <= 780 && minimum.height() <= 560,
                     qPrintable(QString("minimum %1x%2").arg(minimum.width()).arg(minimum.height())));
        }
        QApplication::setFont(original);
    }

    void longLinesAreCutNotWideningTheWindow()
    {
        // A long folder name with "Rename folder" and a playlist: the preview's two lines are cut, the
        // window stays as wide as it was, and the tooltip holds the whole text.
        TempDir dir, root;
        const std::string album = root.file("An Artist With A Rather Long Name - An Album Title That Goes On And On (Deluxe Edition)");
        std::filesystem::create_directory(album);
        cantorix::test::writeText(album + "/01.mp3", "");
        cantorix::test::writeText(dir.file("Cantorix.ini"), "[Main]\nRenameFolder=1\nCreatePlaylist=1\n");
        cantorix::test::writeText(dir.file("entry.txt"),
                                  "DTITLE=An Artist With A Rather Long Name / An Album Title That Goes On And On "
                                  "(Deluxe Edition, Remastered and Expanded)\nDYEAR=2019\nTTITLE0=One\n");
        TMainForm f(q(dir.file("Cantorix.ini")), q(album));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QString error;
        QVERIFY(f.workflow().applyEntryFile(q(dir.file("entry.txt")), &error));
        QApplication::processEvents();
        QVERIFY(f.lbPreview->isVisible());
        QVERIFY(f.lbPreview->text().contains("Playlist: "));
        QVERIFY2(f.minimumSizeHint().width() <= 780, qPrintable(QString::number(f.minimumSizeHint().width())));
        QVERIFY2(f.width() <= 800, qPrintable(QString::number(f.width()))); // not widened past the screen
        QVERIFY(f.lbPreview->isElided());
        // Each line keeps its beginning in view.
        QVERIFY(f.lbPreview->shownText().startsWith("New folder: "));
        QVERIFY(f.lbPreview->shownText().section('\n', 1).startsWith("Playlist: "));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), f.lbPreview->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(f.lbPreview, &help);
        QCOMPARE(QToolTip::text(), f.lbPreview->text());
        QToolTip::hideText();
    }

    void aFramedWindowFitsTheScreen()
    {
        // What a window manager's frame adds is taken from the window, never pushed off the screen.
        const QRect area(0, 0, 800, 600);
        const QMargins frame(1, 22, 1, 3);
        QCOMPARE(FrameWithinArea(QRect(0, 0, 800, 600), frame, area), QRect(1, 22, 798, 575));
        QCOMPARE(FrameWithinArea(QRect(50, 50, 600, 400), frame, area), QRect(50, 50, 600, 400));
        QCOMPARE(FrameWithinArea(QRect(700, 500, 600, 400), frame, area), QRect(199, 197, 600, 400));
        QCOMPARE(FrameWithinArea(QRect(10, 10, 600, 400), frame, QRect(100, 30, 1000, 800)), QRect(101, 52, 600, 400));
    }

    void everyAltKeyReachesOneControl()
    {
        // Two controls (or a control and a menu title) with one Alt letter: the second is unreachable.
        TempDir dir;
        TMainForm f(q(dir.file("Cantorix.ini")), QString());
        f.btQueryModeName->click(); // the name-mode fields too
        QStringList texts;
        for (QAction* menu : f.menuBar()->actions()) texts << menu->text();
        texts << controlTexts(&f);
        QMap<QChar, QString> owner;
        const QStringList clashes = altKeyClashes(texts, owner);
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));
        QVERIFY(owner.contains('q') && owner.contains('r') && owner.contains('f'));
        // The search fields of the "Name" mode have letters of their own.
        QVERIFY(owner.key("Art&ist:") == 'i' && owner.key("A&lbum:") == 'l');
        QCOMPARE(owner.value('r'), QString("&Rename"));
        QCOMPARE(owner.value('f'), QString("&File"));
    }

    void resultsWindowIsNotCut_data() { nothingIsCutAtAnySize_data(); }

    void resultsWindowIsNotCut()
    {
        QFETCH(double, fontScale);
        const QFont original = QApplication::font();
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * fontScale);
        QApplication::setFont(font);

        TResultsForm f({{"01", "A title long enough to need some room"}, {"02", "Outro"}},
                       {"01 - Band - Intro.mp3", "02 - Band - A rather long file name of a track.mp3", "03 - x.mp3"});
        f.showRows({{0, 1}, {1, -1}, {-1, 0}, {-1, 2}});
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QSize minimum = f.minimumSizeHint();
        for (QSize size : {minimum, QSize(870, 640).expandedTo(minimum)}) {
            f.resize(size);
            QTest::qWait(20);
            QApplication::processEvents();
            // The splitter pushed as far as it goes either way cuts no heading either.
            for (int left : {0, 5000}) {
                f.Splitter1->setSizes({left, 5000 - left});
                QApplication::processEvents();
                const QStringList faults = layoutFaults(&f);
                QVERIFY2(faults.isEmpty(), qPrintable(QString("at %1x%2: ").arg(size.width()).arg(size.height()) +
                                                      faults.join("; ")));
            }
        }
        if (fontScale == 1.0)
            QVERIFY2(minimum.width() <= 870 && minimum.height() <= 640,
                     qPrintable(QString("minimum %1x%2").arg(minimum.width()).arg(minimum.height())));
        QApplication::setFont(original);

        QMap<QChar, QString> owner;
        const QStringList clashes = altKeyClashes(controlTexts(&f), owner);
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));
        // Both lists, both moves and Accept are reachable by a letter.
        QCOMPARE(owner.size(), 5);
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_qtest.moc"
