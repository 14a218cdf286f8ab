// The results window of the name query offscreen: the rows it shows, moving files, the shared
// selection, and what Accept and Cancel hand back.
#include "gui/ResultsForm.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTest>

using namespace cantorix;

namespace {

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QList<int> fileRows(const QList<TAlignedRow>& rows)
{
    QList<int> out;
    for (const TAlignedRow& r : rows) out << r.GridRow;
    return out;
}

const QList<TrackTitle> kTitles{{"01", "Intro"}, {"02", "Outro"}, {"03", "Coda"}};
// The third file is really called like the caption of a title without a file.
const QStringList kFiles{"b.mp3", "a.flac", "Missing track?.mp3"};
// Intro has no file, a.flac stands beside Outro, Coda beside the file named "Missing track?", b.mp3
// has no title.
const QList<TAlignedRow> kRows{{0, -1}, {1, 1}, {2, 2}, {-1, 0}};

} // namespace

class ResultsFormTest : public QObject {
    Q_OBJECT
private slots:
    void showsTitlesBesideFilesAndMarksRowsWithoutPartner()
    {
        TResultsForm f(kTitles, kFiles);
        f.showRows(kRows);
        QCOMPARE(f.windowTitle(), QString("Sort results..."));
        // The designed size, where the screen has room for it.
        QCOMPARE(f.size(), QSize(870, 640).boundedTo(QApplication::primaryScreen()->availableSize() * 9 / 10));
        QCOMPARE(f.lbTitles->text().remove('&'), QString("FreeDB track names:"));
        QCOMPARE(f.lbFiles->text().remove('&'), QString("Current track names:"));
        QCOMPARE(f.btAccept->text().remove('&'), QString("Accept"));
        QCOMPARE(texts(f.freedblist), (QStringList{"01 - Intro", "02 - Outro", "03 - Coda", "Fake track?"}));
        QCOMPARE(texts(f.locallist), (QStringList{"Missing track?", "a", "Missing track?", "b"}));
        // Only the captions stand apart; a file named like one is shown as a name.
        QVERIFY(f.locallist->item(0)->font().italic());
        QVERIFY(!f.locallist->item(2)->font().italic());
        QVERIFY(f.freedblist->item(3)->font().italic());
        QVERIFY(!f.freedblist->item(0)->font().italic());
        QCOMPARE(f.rows(), kRows);
    }

    void movingFilesKeepsTitlesAndSelection_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("moves"); // "u" up, "d" down
        QTest::addColumn<QList<int>>("fileRowsAfter");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("up from the first row does nothing") << 0 << "u" << QList<int>{-1, 1, 2, 0} << 0;
        QTest::newRow("down from the last row does nothing") << 3 << "d" << QList<int>{-1, 1, 2, 0} << 3;
        QTest::newRow("down once") << 0 << "d" << QList<int>{1, -1, 2, 0} << 1;
        QTest::newRow("the left-over file up to the first title") << 3 << "uuu" << QList<int>{0, -1, 1, 2} << 0;
        QTest::newRow("down and back up") << 1 << "du" << QList<int>{-1, 1, 2, 0} << 1;
        QTest::newRow("to the end and past it") << 0 << "dddd" << QList<int>{1, 2, 0, -1} << 3;
    }

    void movingFilesKeepsTitlesAndSelection()
    {
        QFETCH(int, selected);
        QFETCH(QString, moves);
        QFETCH(QList<int>, fileRowsAfter);
        QFETCH(int, selectedAfter);
        TResultsForm f(kTitles, kFiles);
        f.showRows(kRows);
        f.locallist->setCurrentRow(selected);
        for (QChar m : moves) (m == 'u' ? f.btUp : f.btDown)->click();
        QCOMPARE(fileRows(f.rows()), fileRowsAfter);
        // The titles never move; each row shows the file it now holds.
        QCOMPARE(texts(f.freedblist), (QStringList{"01 - Intro", "02 - Outro", "03 - Coda", "Fake track?"}));
        for (int i = 0; i < f.rows().size(); ++i) {
            const int file = f.rows()[i].GridRow;
            QCOMPARE(f.locallist->item(i)->text(), file < 0 ? QString("Missing track?") : kFiles[file].section('.', 0, 0));
            QCOMPARE(f.locallist->item(i)->font().italic(), file < 0);
        }
        QCOMPARE(f.locallist->currentRow(), selectedAfter);
        QCOMPARE(f.freedblist->currentRow(), selectedAfter);
    }

    void withoutASelectionNothingMoves()
    {
        TResultsForm f(kTitles, kFiles);
        f.showRows(kRows);
        f.locallist->clearSelection();
        f.btDown->click();
        f.btUp->click();
        QCOMPARE(f.rows(), kRows);
    }

    void theListsShareTheSelectedRow()
    {
        TResultsForm f(kTitles, kFiles);
        f.showRows(kRows);
        f.freedblist->setCurrentRow(2);
        QCOMPARE(f.locallist->currentRow(), 2);
        f.locallist->setCurrentRow(3);
        QCOMPARE(f.freedblist->currentRow(), 3);
        // Moving by click, as a user does.
        QListWidget* list = f.freedblist;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QCOMPARE(f.locallist->currentRow(), 1);
    }

    void altArrowsMoveTheFileFromTheKeyboard()
    {
        TResultsForm f(kTitles, kFiles);
        f.showRows(kRows);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QVERIFY(f.locallist->hasFocus()); // the list to work in has the focus from the start
        f.locallist->setCurrentRow(3);
        QTest::keyClick(f.locallist, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(fileRows(f.rows()), (QList<int>{-1, 1, 0, 2}));
        QTest::keyClick(f.locallist, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(fileRows(f.rows()), fileRows(kRows));
        // Alt+D, the button's own letter.
        f.locallist->setCurrentRow(0);
        QTest::keyClick(&f, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(fileRows(f.rows()), (QList<int>{1, -1, 2, 0})); // a mnemonic clicks a moment later
    }

    void acceptHandsBackTheRowsAsMovedAndCancelRejects()
    {
        {
            TResultsForm f(kTitles, kFiles);
            f.showRows(kRows);
            f.locallist->setCurrentRow(3);
            f.btUp->click();
            f.btAccept->click();
            QCOMPARE(f.result(), int(QDialog::Accepted));
            QCOMPARE(f.rows(), (QList<TAlignedRow>{{0, -1}, {1, 1}, {2, 0}, {-1, 2}}));
        }
        {
            TResultsForm f(kTitles, kFiles);
            f.showRows(kRows);
            f.btCancel->click();
            QCOMPARE(f.result(), int(QDialog::Rejected));
        }
    }

    void loadLocalDataShowsTheNearestPairing()
    {
        // Crosswise names, one title more than files: the last title gets no file.
        TResultsForm f({{"01", "Outro"}, {"02", "Intro"}, {"03", "Hidden"}}, {"01 - Band - Intro.mp3", "02 - Band - Outro.MP3"});
        f.LoadLocalData();
        QCOMPARE(texts(f.locallist), (QStringList{"02 - Band - Outro", "01 - Band - Intro", "Missing track?"}));
        QCOMPARE(f.rows(), (QList<TAlignedRow>{{0, 1}, {1, 0}, {2, -1}}));
        QCOMPARE(f.locallist->currentRow(), 0);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ResultsFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "resultsform_qtest.moc"
