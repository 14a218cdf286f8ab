// The album workflow that the window and cantorix-cli both drive: what each kind of lookup result
// makes of the album, the pairing of a search, and the rename run on a worker and on the caller's
// thread. Lookups run on a fake HTTP client.
#include "core/album/AlbumWorkflow.h"

#include "core/Settings.h"
#include "core/net/FakeHttpClient.h"
#include "core/rename/RenameLines.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>

namespace cantorix {
namespace {

using test::FakeHttpClient;
using test::TempDir;
using test::writeText;

const QByteArray kEntry = "# xmcd\r\n#\r\n# Track frame offsets:\r\n#\t150\r\n#\t300\r\n#\t450\r\n#\r\n"
                          "# Disc length: 8 seconds\r\n#\r\n# Revision: 0\r\n# Submitted via: test\r\n#\r\n"
                          "DISCID=06000003\r\nDTITLE=The Band / The Record\r\nDYEAR=1999\r\nDGENRE=rock\r\n"
                          "TTITLE0=Intro\r\nTTITLE1=Middle\r\nTTITLE2=End\r\nEXTD=\r\nEXTT0=\r\nEXTT1=\r\nEXTT2=\r\n"
                          "PLAYORDER=\r\n";

// An album folder of three files whose names pair with the entry's titles crosswise, a settings file,
// and a workflow whose lookups run on a fake client.
struct Harness {
    TempDir dir, conf;
    FakeHttpClient::State http;
    std::unique_ptr<TSettings> settings;
    std::unique_ptr<TAlbumWorkflow> workflow;
    QStringList log;
    QList<TLookupOutcome> outcomes;
    int unfinished = 0;

    Harness()
    {
        for (const char* name : {"1 End.wav", "2 Intro.wav", "3 Middle.wav"}) writeText(dir.file(name), name);
        writeText(conf.file("c.ini"), "[Connection]\nSearchUrl=http://search.test/search?words=%s\n");
        settings = std::make_unique<TSettings>(QString::fromStdString(conf.file("c.ini")));
        workflow = std::make_unique<TAlbumWorkflow>(*settings);
        workflow->setHttpFactory([this] { return std::make_unique<FakeHttpClient>(&http); });
        QObject::connect(workflow.get(), &TAlbumWorkflow::logLine, [this](const QString& l) { log << l; });
        QObject::connect(workflow.get(), &TAlbumWorkflow::lookupFinished, [this](const TLookupOutcome& o) { outcomes << o; });
        QObject::connect(workflow.get(), &TAlbumWorkflow::unfinishedRunFound, [this] { ++unfinished; });
        workflow->listFolder(QString::fromStdString(dir.str()));
    }

    TAlbumSession& album() { return workflow->album(); }
    bool waitForEnd()
    {
        QDeadlineTimer deadline(3000);
        while (outcomes.isEmpty() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !outcomes.isEmpty();
    }
    QStringList titles()
    {
        QStringList t;
        for (int i = 0; i < album().fileCount(); ++i) t << album().row(i).TrackNo + " " + album().row(i).Title;
        return t;
    }
};

TEST(AlbumWorkflow, ALookupByPlayingTimesPutsTitleKOnFileK)
{
    Harness h;
    h.http.auto_ << qMakePair(QString("cddb+query"), QByteArray("200 rock 06000003 The Band / The Record\r\n"))
                 << qMakePair(QString("cddb+read"),
                              "210 rock 06000003 CD database entry follows (until terminating `.')\r\n" + kEntry + ".\r\n");
    QSignalSpy running(h.workflow.get(), &TAlbumWorkflow::lookupRunningChanged);
    ASSERT_TRUE(h.workflow->startLookup(TQueryMode::Checksum));
    EXPECT_TRUE(h.workflow->lookupRunning());
    ASSERT_TRUE(h.waitForEnd());
    EXPECT_EQ(h.outcomes[0].kind, TLookupOutcome::Kind::EntryRead);
    EXPECT_FALSE(h.workflow->lookupRunning());
    EXPECT_EQ(running.count(), 2);
    // Every file has no playing time (they are no real WAV files): said once, before the query.
    EXPECT_TRUE(h.log.contains("3 of 3 files have no playing time (shown as --:--); the disc ID counts them as 0 "
                               "seconds and will likely find no match"));
    EXPECT_EQ(h.album().fields(), (TAlbumFields{"The Band", "The Record", "1999", "rock"})); // the genre as written
    EXPECT_EQ(h.titles(), (QStringList{"01 Intro", "02 Middle", "03 End"}));
    EXPECT_TRUE(h.album().canRename());

    // The same entry from a file gives the same album.
    Harness fromFile;
    writeText(fromFile.conf.file("entry.txt"), kEntry.toStdString());
    QString error;
    ASSERT_TRUE(fromFile.workflow->applyEntryFile(QString::fromStdString(fromFile.conf.file("entry.txt")), &error));
    EXPECT_EQ(fromFile.album().fields(), h.album().fields());
    EXPECT_EQ(fromFile.titles(), h.titles());
    EXPECT_TRUE(fromFile.album().canRename());
}

TEST(AlbumWorkflow, AFileRenamedByHandKeepsItsRowAndTheLookup)
{
    Harness h;
    writeText(h.conf.file("entry.txt"), kEntry.toStdString());
    QString error;
    ASSERT_TRUE(h.workflow->applyEntryFile(QString::fromStdString(h.conf.file("entry.txt")), &error));
    QSignalSpy changed(&h.album(), &TAlbumSession::rowsChanged);

    // The row keeps its place, playing time, number and title; renaming stays possible.
    ASSERT_TRUE(h.workflow->fileRenamed("2 Intro.wav", "Intro (live)"));
    EXPECT_EQ(h.album().fileNames(), (QStringList{"1 End.wav", "Intro (live)", "3 Middle.wav"}));
    EXPECT_EQ(h.album().row(1).FileBytes, QByteArray("Intro (live)"));
    EXPECT_EQ(h.titles(), (QStringList{"01 Intro", "02 Middle", "03 End"}));
    EXPECT_TRUE(h.album().canRename());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(h.album().renameRows()[1].FileName, "Intro (live)");

    // A name the album does not list (or an empty one) changes nothing: the caller lists anew.
    EXPECT_FALSE(h.workflow->fileRenamed("2 Intro.wav", "x.wav"));
    EXPECT_FALSE(h.workflow->fileRenamed("1 End.wav", ""));
    EXPECT_EQ(changed.count(), 1);
    // A name that is no UTF-8 is kept byte for byte and shown converted.
    ASSERT_TRUE(h.workflow->fileRenamed("1 End.wav", "caf\xE9.wav"));
    EXPECT_EQ(h.album().row(0).FileBytes, QByteArray("caf\xE9.wav"));
    EXPECT_EQ(h.album().row(0).FileName, QFile::decodeName("caf\xE9.wav"));
}

TEST(AlbumWorkflow, ASearchByNamePairsTheTitlesTheUserAccepts)
{
    const QByteArray page = R"(<tr><td><a href="http://search.test/freedb_search_fmt.php?cat=rock&id=06000003">The Band / The Record</a><br><br></td></tr>)";
    for (const bool acceptProposed : {true, false}) {
        Harness h;
        h.http.auto_ << qMakePair(QString("search?words="), page) << qMakePair(QString("/freedb/rock/06000003"), kEntry);
        QStringList choices;
        QObject::connect(h.workflow.get(), &TAlbumWorkflow::candidatesFound, [&](const QStringList& lines, int) {
            choices = lines;
            h.workflow->chooseCandidate(0);
        });
        QObject::connect(h.workflow.get(), &TAlbumWorkflow::pairingNeeded,
                         [&](const QList<TrackTitle>& titles, const QStringList& files, const QList<TAlignedRow>& proposed) {
                             EXPECT_EQ(titles.size(), 3);
                             EXPECT_EQ(files, h.album().fileNames());
                             // What the window would hand back after the user moved nothing, or paired nothing.
                             h.workflow->acceptPairing(acceptProposed ? proposed : QList<TAlignedRow>{{0, -1}, {-1, 0}});
                         });
        ASSERT_TRUE(h.workflow->startLookup(TQueryMode::Name, "The Band", "The Record"));
        ASSERT_TRUE(h.waitForEnd());
        EXPECT_EQ(choices, QStringList{"rock 06000003 The Band / The Record"});
        EXPECT_EQ(h.outcomes[0].kind, TLookupOutcome::Kind::EntryRead);
        EXPECT_EQ(h.album().fields().Album, "The Record");
        if (acceptProposed) {
            // Each title went to the file whose name holds it.
            EXPECT_EQ(h.titles(), (QStringList{"03 End", "01 Intro", "02 Middle"}));
            EXPECT_TRUE(h.album().canRename());
            EXPECT_EQ(h.log.last(), "Ready to rename");
        } else {
            EXPECT_EQ(h.titles(), (QStringList{" ", " ", " "}));
            EXPECT_FALSE(h.album().canRename());
            EXPECT_EQ(h.log.last(), "No title stands beside a file: nothing to rename");
        }
    }
}

TEST(AlbumWorkflow, ListingAgainOrCancellingEndsALookup)
{
    Harness h;
    ASSERT_TRUE(h.workflow->startLookup(TQueryMode::Name, "The Band", ""));
    ASSERT_TRUE(h.http.pending); // the search page is on its way
    h.workflow->listFolder(QString::fromStdString(h.dir.str()));
    EXPECT_FALSE(h.workflow->lookupRunning());
    EXPECT_TRUE(h.log.contains("The query by name was abandoned: the folder was listed anew"));
    FakeHttpClient::complete(&h.http, 0, {}, "<html></html>");
    QCoreApplication::processEvents();
    EXPECT_TRUE(h.outcomes.isEmpty()); // nothing more comes of it

    ASSERT_TRUE(h.workflow->startLookup(TQueryMode::Checksum));
    h.workflow->cancelLookup();
    ASSERT_EQ(h.outcomes.size(), 1);
    EXPECT_EQ(h.outcomes[0].kind, TLookupOutcome::Kind::Cancelled);
    EXPECT_FALSE(h.workflow->lookupRunning());
    EXPECT_TRUE(h.log.contains("The lookup was cancelled"));

    // No words: nothing is started.
    EXPECT_FALSE(h.workflow->startLookup(TQueryMode::Name, " ", ""));
    EXPECT_FALSE(h.workflow->lookupRunning());
}

TEST(AlbumWorkflow, TheRunOnAWorkerAndOnThisThreadDoTheSame)
{
    std::vector<std::vector<std::string>> listings;
    std::vector<QStringList> logs;
    for (const bool worker : {true, false}) {
        Harness h;
        QString error;
        writeText(h.conf.file("entry.txt"), kEntry.toStdString());
        ASSERT_TRUE(h.workflow->applyEntryFile(QString::fromStdString(h.conf.file("entry.txt")), &error));
        TRenameOptions options = h.workflow->renameOptions();
        options.NameFormat = "# - track";
        options.CreatePlaylist = true;
        const TRenamePlanView plan = h.workflow->plan(options);
        ASSERT_EQ(plan.Rows.size(), 3u);
        EXPECT_EQ(plan.Rows[0].NewName, "01 - Intro.wav");
        EXPECT_EQ(plan.Playlist, "The Band - The Record.m3u");
        h.log.clear();
        if (worker) {
            QEventLoop loop;
            QList<int> progress;
            QObject::connect(h.workflow.get(), &TAlbumWorkflow::renameProgress, [&](int done, int) { progress << done; });
            QObject::connect(h.workflow.get(), &TAlbumWorkflow::renameFinished,
                             [&](const TRenameReport& report, const QString& folder) {
                                 EXPECT_FALSE(report.anyFailure());
                                 EXPECT_EQ(folder, h.album().folder());
                                 loop.quit();
                             });
            ASSERT_TRUE(h.workflow->startRename(options));
            EXPECT_FALSE(h.workflow->startRename(options)); // one run at a time
            loop.exec();
            EXPECT_EQ(progress, (QList<int>{1, 2, 3}));
        } else {
            EXPECT_FALSE(h.workflow->renameNow(options).anyFailure());
        }
        EXPECT_FALSE(h.album().canRename());
        listings.push_back(test::listFiles(h.dir.str()));
        logs.push_back(h.log);

        // The run is undone by the same workflow.
        bool found = false;
        h.workflow->undo(false, &found);
        EXPECT_TRUE(found);
        EXPECT_EQ(test::listFiles(h.dir.str()), (std::vector<std::string>{"1 End.wav", "2 Intro.wav", "3 Middle.wav"}));
    }
    EXPECT_EQ(listings[0], (std::vector<std::string>{"01 - Intro.wav", "02 - Middle.wav", "03 - End.wav",
                                                     "The Band - The Record.m3u"}));
    EXPECT_EQ(listings[0], listings[1]);
    EXPECT_EQ(logs[0], (QStringList{PlaylistCreatedLine, RenamingFinishedLine}));
    EXPECT_EQ(logs[0], logs[1]);
}

TEST(AlbumWorkflow, AnUnfinishedRunIsOfferedForUndoNotRenamedOver)
{
    Harness h;
    // A journal of a run that never reached its end, as a kill leaves it.
    TRenameJournal journal(TRenameJournal::defaultDirectory());
    journal.data().Folder = QFile::encodeName(h.album().folder()).toStdString();
    journal.data().Moves = {{"1 End.wav", "x.wav", false}};
    ASSERT_TRUE(journal.save());
    QString error;
    writeText(h.conf.file("entry.txt"), kEntry.toStdString());
    ASSERT_TRUE(h.workflow->applyEntryFile(QString::fromStdString(h.conf.file("entry.txt")), &error));
    EXPECT_TRUE(h.workflow->unfinishedRun());
    EXPECT_FALSE(h.workflow->startRename(h.workflow->renameOptions()));
    EXPECT_EQ(h.unfinished, 1);
    EXPECT_EQ(test::listFiles(h.dir.str()), (std::vector<std::string>{"1 End.wav", "2 Intro.wav", "3 Middle.wav"}));
    TRenameJournal::remove(journal.path(), journal.data());
}

} // namespace
} // namespace cantorix
