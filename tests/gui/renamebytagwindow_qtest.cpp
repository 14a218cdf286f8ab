// The rename-by-tag window marks a proposal whose tags give no track number, offscreen.
#include "gui/RenameByTagForm.h"
#include "support/TaggedAudio.h"
#include "support/TestFiles.h"

#include <QTest>
#include <QTreeWidget>

using namespace cantorix;
using cantorix::test::TempDir;

class RenameByTagWindowTest : public QObject {
    Q_OBJECT
private slots:
    void aProposalWithoutANumberIsMarked()
    {
        TempDir work, album;
        if (!test::makeTaggedFile(work, album.file("a.mp3"), "mp3", {"One", "Band", "Disc", "2000", "1/15"}) ||
            !test::makeTaggedFile(work, album.file("b.mp3"), "mp3", {"Two", "Band", "Disc", "2000", ""}))
            QSKIP("lame is not installed");
        TRenameByTagForm form(album.str(), {"a.mp3", "b.mp3"}, TRenameByTagOptions{}, nullptr);
        QTreeWidgetItem* numbered = form.NameTagList->topLevelItem(0);
        QTreeWidgetItem* unnumbered = form.NameTagList->topLevelItem(1);
        QCOMPARE(numbered->text(1), QString("Band - Disc - 01 - One.mp3"));
        QVERIFY(numbered->icon(1).isNull());
        QVERIFY(!unnumbered->icon(1).isNull());
        QVERIFY(unnumbered->toolTip(1).contains("no track number"));
        QVERIFY(form.proposals()[1].NoNumber);
    }
};

QTEST_MAIN(RenameByTagWindowTest)
#include "renamebytagwindow_qtest.moc"
