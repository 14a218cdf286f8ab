// The rename run and the track-number fix as the main window drives them, offscreen.
#include "gui/MainForm.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"
#include "core/album/AlbumSession.h"
#include "gui/AlbumTableModel.h"

#include <QMessageBox>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace cantorix;
using cantorix::test::TempDir;
using cantorix::test::logLines;
using cantorix::test::q;
using cantorix::test::gridCell;
using cantorix::test::editGridCell;

namespace {
} // namespace

class RenameWindowTest : public QObject {
    Q_OBJECT
private slots:
    void renameRunRenamesFilesAndFolderThenRescans()
    {
        TempDir conf;
        TempDir root;
        std::string album = root.file("rip");
        std::filesystem::create_directory(album);
        for (const char* name : {"track1.wav", "track2.wav", "track3.wav"}) cantorix::test::writeText(album + "/" + name, name);
        cantorix::test::writeText(album + "/02 - Second.wav", "sorts first");
        cantorix::test::writeText(conf.file("c.ini"), "[Main]\nCreatePlaylist=1\nRenameFolder=1\nFolderFormat=0\n");

        TMainForm f(q(conf.file("c.ini")), q(album));
        QCOMPARE(f.album().fileCount(), 4); // "02 - Second.wav" sorts first
        f.edDBArtist->setText("Band");
        f.edDBAlbum->setText("Record");
        f.edDBYear->setText("1999");
        f.GenreBox->setCurrentIndex(f.GenreBox->findText("Rock"));
        // The rows as a lookup would have left them.
        // The last row builds the name the second row already took.
        const char* numbers[] = {"00", "01", "02", "01"};
        const char* titles[] = {"Zero", "First", "Second", "First"};
        for (int row = 1; row <= 4; ++row) {
            editGridCell(f, row, TMainForm::ColTrackNo, numbers[row - 1]);
            editGridCell(f, row, TMainForm::ColTrack, titles[row - 1]);
        }
        f.cmbNameFormat->addItem("# - track");
        f.settings().writeString("Main", "NameFormat", "# - track");
        f.album().setCanRename(true); // as a lookup leaves it
        f.btAction->click();
        QVERIFY(!f.isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(f.isEnabled(), 10000);

        std::string renamed = root.file("Band [1999] - Record");
        QCOMPARE(cantorix::test::readText(renamed + "/00 - Zero.wav"), std::string("sorts first"));
        QCOMPARE(cantorix::test::listFiles(renamed),
                 (std::vector<std::string>{"00 - Zero.wav", "01 - First.wav", "02 - Second.wav", "Band - Record.m3u",
                                           "track3.wav"}));
        QStringList lines = logLines(f);
        QCOMPARE(lines.mid(1), (QStringList{QString("Rename error: \"track3.wav\" (File exists)"),
                                            "Folder successfully renamed", "Created playlist", "Renaming finished",
                                            QString("4 audio files found in \"%1/\"").arg(q(renamed))}));
        QCOMPARE(q(cantorix::test::readText(renamed + "/Band - Record.m3u")),
                 QString("00 - Zero.wav\r\n01 - First.wav\r\n02 - Second.wav\r\ntrack3.wav\r\n"));
        QCOMPARE(f.MainTree->selectedPath(), q(renamed));
        QCOMPARE(gridCell(f, 1, TMainForm::ColFilename), QString("00 - Zero.wav"));
        QCOMPARE(gridCell(f, 1, TMainForm::ColTrack), QString());
        QVERIFY(!f.btAction->isEnabled());
        QVERIFY(!f.lbFolder->isHidden());
        QVERIFY(f.Progress->isHidden());
    }

    void previewShowsNewNamesAndUndoPutsThemBack()
    {
        TempDir conf;
        TempDir root;
        std::string album = root.file("rip");
        std::filesystem::create_directory(album);
        for (const char* name : {"04 - Four.wav", "a.wav", "b.wav", "c.wav"})
            cantorix::test::writeText(album + "/" + name, name);
        std::filesystem::create_directory(album + "/01 - Taken.wav"); // not listed, but in the way
        cantorix::test::writeText(conf.file("c.ini"), "[Main]\nCreatePlaylist=1\nRenameFolder=1\nFolderFormat=1\n");
        TMainForm f(q(conf.file("c.ini")), q(album));
        f.settings().writeString("Main", "NameFormat", "# - track");
        QCOMPARE(gridCell(f, 1, TAlbumTableModel::ColNewName), QString()); // nothing to rename by yet

        // As a lookup leaves the album: the first file is named right already; a.wav and c.wav would
        // take one name; b.wav would take the name of a folder that is not listed.
        AlbumRecord record{"Band", "Record", "", "", {{"04", "Four"}, {"02", "Two"}, {"01", "Taken"}, {"02", "Two"}}};
        f.album().applyEntry(record);
        auto tip = [&](int row) {
            const QAbstractItemModel* m = f.FileGrid->model();
            return m->data(m->index(row - 1, TAlbumTableModel::ColNewName), Qt::ToolTipRole).toString();
        };
        QCOMPARE(gridCell(f, 1, TAlbumTableModel::ColNewName), QString("04 - Four.wav"));
        QCOMPARE(tip(1), QString("unchanged"));
        QCOMPARE(gridCell(f, 2, TAlbumTableModel::ColNewName), QString("02 - Two.wav"));
        QCOMPARE(tip(2), QString("would collide with \"c.wav\""));
        QCOMPARE(tip(4), QString("would collide with \"a.wav\""));
        QCOMPARE(tip(3), QString("would collide with \"01 - Taken.wav\""));
        // An edit shows at once, and the folder and playlist names stand under the grid.
        QVERIFY(editGridCell(f, 4, TAlbumTableModel::ColTrack, "Three"));
        QCOMPARE(gridCell(f, 4, TAlbumTableModel::ColNewName), QString("02 - Three.wav"));
        QCOMPARE(tip(2), QString());
        QVERIFY(f.lbPreview->isVisibleTo(&f));
        QVERIFY(f.lbPreview->text().contains("Band - Record/"));
        QVERIFY(f.lbPreview->text().contains("Playlist: \"Band - Record.m3u\""));

        f.btAction->click();
        QTRY_VERIFY_WITH_TIMEOUT(f.isEnabled(), 10000);
        // The run had a failure (the taken name): one message says how it went.
        auto* report = f.findChild<QMessageBox*>("RenameReportMessage");
        QVERIFY(report);
        QCOMPARE(report->text(), QString("Renamed 3 of 4 files; 1 could not be renamed."));
        QVERIFY(report->informativeText().contains("\"b.wav\": File exists"));
        report->close();
        const std::string renamed = root.file("Band - Record");
        QCOMPARE(cantorix::test::listFiles(renamed),
                 (std::vector<std::string>{"02 - Three.wav", "02 - Two.wav", "04 - Four.wav",
                                           "Band - Record.m3u", "b.wav"}));

        // Undo: every name back, the folder too, the playlist gone.
        f.mnuUndo->trigger();
        QCOMPARE(cantorix::test::listFiles(album),
                 (std::vector<std::string>{"04 - Four.wav", "a.wav", "b.wav", "c.wav"}));
        QCOMPARE(cantorix::test::readText(album + "/c.wav"), std::string("c.wav"));
        QCOMPARE(f.MainTree->selectedPath(), q(album));
        QVERIFY(logLines(f).contains("Undo finished"));
        // Nothing left to undo: one line says so.
        f.mnuUndo->trigger();
        QCOMPARE(logLines(f).last(), QString("There is no rename run to undo for this folder"));
    }

    void trackNumberFixPadsAndRescans()
    {
        TempDir conf;
        TempDir album;
        for (const char* name : {"1 - One.mp3", "10 - Ten.mp3", "Track 7.mp3", "01 - Taken.mp3", "1 - Taken.mp3"})
            cantorix::test::writeText(album.file(name), "");
        TMainForm f(q(conf.file("c.ini")), q(album.str()));
        f.mnuFix->trigger();
        QStringList lines = logLines(f);
        QCOMPARE(lines.mid(1), (QStringList{"Attempting to fix track numbers...",
                                            "Rename error: \"1 - Taken.mp3\" (File exists)",
                                            "Finished fixing track numbers. Refreshing...",
                                            QString("5 audio files found in \"%1/\"").arg(q(album.str()))}));
        QCOMPARE(cantorix::test::listFiles(album.str()),
                 (std::vector<std::string>{"01 - One.mp3", "01 - Taken.mp3", "1 - Taken.mp3", "10 - Ten.mp3", "Track 07.mp3"}));
        QCOMPARE(gridCell(f, 1, TMainForm::ColFilename), QString("01 - One.mp3"));

        // The fix is journaled: Edit › Undo puts the names back.
        f.mnuUndo->trigger();
        QCOMPARE(cantorix::test::listFiles(album.str()),
                 (std::vector<std::string>{"01 - Taken.mp3", "1 - One.mp3", "1 - Taken.mp3", "10 - Ten.mp3", "Track 7.mp3"}));
        QVERIFY(logLines(f).contains("Undo finished"));
    }
};

QTEST_MAIN(RenameWindowTest)
#include "renamewindow_qtest.moc"
