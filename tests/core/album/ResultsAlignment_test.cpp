// The pairing of an entry's titles with the files that the results window starts from.
#include "core/album/ResultsAlignment.h"

#include "core/album/AlbumSession.h"

#include <gtest/gtest.h>

using namespace cantorix;

namespace {

// Titles numbered 01, 02 ... as an entry numbers them.
QList<TrackTitle> numbered(const QStringList& titles)
{
    QList<TrackTitle> out;
    for (int i = 0; i < titles.size(); ++i) out.append({QString("%1").arg(i + 1, 2, 10, QChar('0')), titles[i]});
    return out;
}

// Rows as "title | file", with the window's captions for a missing side.
QStringList shown(const QList<TAlignedRow>& rows, const QList<TrackTitle>& titles, const QStringList& files)
{
    QStringList out;
    for (const TAlignedRow& r : rows)
        out << (r.Title < 0 ? QString(FakeTrackText) : NumberedTitle(titles.value(r.Title))) + " | " +
                   (r.GridRow < 0 ? QString(MissingTrackText) : LocalTrackName(files.value(r.GridRow)));
    return out;
}

void loadFiles(TAlbumSession& album, const QStringList& files)
{
    TScanResult scan;
    scan.scanned = true;
    scan.folder = "/music/x/";
    scan.names = files;
    for (qsizetype i = 0; i < files.size(); ++i) scan.lengths << TTrackLength{60, 60000, 0, 0, true};
    album.loadScan(scan);
}

} // namespace

TEST(ResultsAlignment, TitlesGoToTheNearestFiles)
{
    struct Case {
        const char* name;
        QStringList titles; // bare titles; numbered as the entry reader numbers them
        QStringList files;
        QStringList expected;
    } cases[] = {
        {"the part after the last hyphen is compared: crosswise", {"Outro", "Intro"},
         {"01 - Band - Intro.mp3", "02 - Band - Outro.mp3"},
         {"01 - Outro | 02 - Band - Outro", "02 - Intro | 01 - Band - Intro"}},
        {"names with \"track\" keep the grid order", {"Zeta", "Alpha", "Mid"},
         {"Track01.mp3", "Track02.mp3", "Track03.mp3"},
         {"01 - Zeta | Track01", "02 - Alpha | Track02", "03 - Mid | Track03"}},
        {"five titles, four files", {"A1", "B2", "C3", "D4", "E5"}, {"A1.mp3", "B2.mp3", "C3.mp3", "D4.mp3"},
         {"01 - A1 | A1", "02 - B2 | B2", "03 - C3 | C3", "04 - D4 | D4", "05 - E5 | Missing track?"}},
        {"four titles, six files: the left-over ones follow, sorted", {"One", "Two", "Three", "Four"},
         {"One.mp3", "Two.mp3", "zz bonus.mp3", "Three.mp3", "Four.mp3", "Aa bonus.mp3"},
         {"01 - One | One", "02 - Two | Two", "03 - Three | Three", "04 - Four | Four",
          "Fake track? | Aa bonus", "Fake track? | zz bonus"}},
        {"a tie goes to the file first in the grid", {"abc"}, {"abd.mp3", "abe.mp3"}, {"01 - abc | abd", "Fake track? | abe"}},
        {"a file named like a caption is a file like any other", {"Missing track?", "Intro"},
         {"01 - Intro.mp3", "Missing track?.mp3"},
         {"01 - Missing track? | Missing track?", "02 - Intro | 01 - Intro"}},
        {"... but first in the grid its \"track\" keeps the grid order", {"Intro", "Missing track?"},
         {"Missing track?.mp3", "01 - Intro.mp3"},
         {"01 - Intro | Missing track?", "02 - Missing track? | 01 - Intro"}},
        {"characters beyond ASCII count once", {QString::fromUtf8("Ärger"), "Arger"},
         {QString::fromUtf8("02 - Arger.MP3"), QString::fromUtf8("01 - Ärger.mp3")},
         {QString::fromUtf8("01 - Ärger | 01 - Ärger"), "02 - Arger | 02 - Arger"}},
        {"no files", {"A"}, {}, {"01 - A | Missing track?"}},
    };
    for (const Case& c : cases) {
        const QList<TrackTitle> titles = numbered(c.titles);
        EXPECT_EQ(shown(AlignTitles(titles, c.files), titles, c.files), c.expected) << c.name;
    }
}

TEST(ResultsAlignment, LocalNamesLoseEveryCopyOfTheirExtension)
{
    EXPECT_EQ(LocalTrackName("01 - Intro.mp3"), "01 - Intro");
    EXPECT_EQ(LocalTrackName("a.MP3.mp3"), "a");
    EXPECT_EQ(LocalTrackName("no extension"), "no extension");
}

TEST(ResultsAlignment, AcceptSetsTheRowOfEachPairedFile)
{
    // Two files of the same name but another extension each get their own title.
    TAlbumSession album;
    loadFiles(album, {"a.flac", "a.mp3", "b.mp3"});
    const QList<TrackTitle> titles = numbered({"a", "a", "b"});
    const QList<TAlignedRow> rows = AlignTitles(titles, album.fileNames());
    EXPECT_EQ(album.applyPairing(titles, rows), 3);
    EXPECT_TRUE(album.canRename());
    EXPECT_EQ(album.row(0).TrackNo, "01");
    EXPECT_EQ(album.row(1).TrackNo, "02");
    EXPECT_EQ(album.row(2).TrackNo, "03");
    EXPECT_EQ(album.row(2).Title, "b");

    // Rows without a partner, or pointing past the titles or the files, change nothing.
    TAlbumSession other;
    loadFiles(other, {"x.mp3"});
    EXPECT_EQ(other.applyPairing(titles, {{-1, 0}, {0, -1}, {7, 0}, {0, 1}, {0, 99}}), 0);
    EXPECT_EQ(other.row(0).Title, "");
    EXPECT_EQ(other.rowCount(), 1);
    EXPECT_FALSE(other.canRename());

    // The pairing is the whole of it: a file left without a title loses the one it had.
    album.applyPairing(titles, {{2, 0}});
    EXPECT_EQ(album.row(0).Title, "b");
    EXPECT_EQ(album.row(1).Title, "");
    EXPECT_EQ(album.row(1).TrackNo, "");
}

TEST(ResultsAlignment, ManyTitlesStayWithinTheGrid)
{
    QStringList bare;
    for (int i = 0; i < 120; ++i) bare << QString("Title %1").arg(i);
    const QList<TrackTitle> titles = numbered(bare);
    const QStringList files = {"Title 5.mp3", "Title 100.mp3"};
    const QList<TAlignedRow> rows = AlignTitles(titles, files);
    ASSERT_EQ(rows.size(), MaxAlignedTitles);
    for (const TAlignedRow& r : rows) EXPECT_LT(r.GridRow, files.size());

    // Long names are compared by their first 256 characters: the rest decides nothing.
    const QString common(300, 'x');
    const QList<TrackTitle> longTitles = {{"01", common + "a"}};
    EXPECT_EQ(AlignTitles(longTitles, {common + "b.mp3", common + "a.mp3"}).value(0).GridRow, 0);
}
