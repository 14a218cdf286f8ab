#include "core/lookup/musicbrainz/DiscToc.h"

#include "support/QtPrinters.h"
#include "support/TrackLengths.h"

#include <gtest/gtest.h>

using namespace cantorix;
using test::fileOf;
using test::timeOnly;

namespace {

// The example disc of the Disc ID Calculation documentation, as exact files: track k fills the
// sectors from its offset to the next (the lead-out after the last).
const QList<int> ExampleOffsets{150, 15363, 32314, 46592, 63414, 80489};
constexpr int ExampleLeadout = 95462;

QList<TTrackLength> exampleFiles()
{
    QList<TTrackLength> files;
    for (int i = 0; i < ExampleOffsets.size(); ++i) {
        const int end = i + 1 < ExampleOffsets.size() ? ExampleOffsets[i + 1] : ExampleLeadout;
        files << fileOf(qint64(end - ExampleOffsets[i]) * SamplesPerSector);
    }
    return files;
}

} // namespace

TEST(MusicBrainzDiscToc, AnExactRipGivesTheDiscsOwnIdAndToc)
{
    TMbDisc disc;
    QString why;
    ASSERT_TRUE(MbDiscFromLengths(exampleFiles(), &disc, &why)) << why.toStdString();
    EXPECT_TRUE(disc.Exact);
    EXPECT_EQ(disc.Sectors.Offsets, ExampleOffsets);
    EXPECT_EQ(disc.Sectors.Leadout, ExampleLeadout);
    EXPECT_EQ(disc.Id, "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
    EXPECT_EQ(disc.Toc, "1 6 95462 150 15363 32314 46592 63414 80489");
}

TEST(MusicBrainzDiscToc, OnlyWholeSectorsOfCdAudioCountAsExact)
{
    const QList<TTrackLength> exact = exampleFiles();
    struct Case {
        const char* name;
        int file;           // the file changed (-1: none)
        TTrackLength length;
        bool exact;
    } cases[] = {
        {"every file whole sectors at 44.1 kHz", -1, {}, true},
        {"one sample more", 2, fileOf(exact[2].Samples + 1), false},
        {"48 kHz", 0, fileOf(exact[0].Samples, 48000), false},
        {"only a time", 5, timeOnly(exact[5].Milliseconds), false},
        {"unknown", 1, TTrackLength{}, false},
    };
    for (const Case& c : cases) {
        QList<TTrackLength> files = exact;
        if (c.file >= 0) files[c.file] = c.length;
        EXPECT_EQ(MbTocIsExact(files), c.exact) << c.name;
    }
    EXPECT_FALSE(MbTocIsExact({}));
}

TEST(MusicBrainzDiscToc, WithoutExactCountsSectorsComeFromTheMillisecondsToTheNearest)
{
    struct Case {
        qint64 ms;
        int sectors;
    } cases[] = {{1000, 75}, {1006, 75}, {1007, 76}, {13, 1}, {202840, 15213}, {3599999, 270000}};
    for (const Case& c : cases) {
        TMbToc toc;
        QString why;
        ASSERT_TRUE(MbTocFromLengths({timeOnly(c.ms), timeOnly(1000)}, &toc, &why)) << c.ms << why.toStdString();
        EXPECT_FALSE(toc.Exact);
        EXPECT_EQ(toc.Offsets, (QList<int>{150, 150 + c.sectors})) << c.ms;
        EXPECT_EQ(toc.Leadout, 150 + c.sectors + 75) << c.ms;
    }
    // A lossy copy of the example disc lands within a sector of it and still gets an ID.
    QList<TTrackLength> lossy;
    for (const TTrackLength& l : exampleFiles()) lossy << timeOnly(l.Milliseconds + 5);
    TMbDisc disc;
    ASSERT_TRUE(MbDiscFromLengths(lossy, &disc, nullptr));
    EXPECT_FALSE(disc.Exact);
    EXPECT_EQ(disc.Id.size(), 28);
    EXPECT_TRUE(disc.Toc.startsWith("1 6 "));
}

TEST(MusicBrainzDiscToc, FilesThatMakeNoCdAreRefusedWithTheReason)
{
    QList<TTrackLength> tooMany(100, timeOnly(60000));
    QList<TTrackLength> tooLong{timeOnly(5400000 - 2000), timeOnly(1000)}; // a second past 90 minutes
    QList<TTrackLength> unknown{timeOnly(60000), TTrackLength{}};
    QList<TTrackLength> tiny{timeOnly(60000), timeOnly(6)};
    struct Case {
        const char* name;
        QList<TTrackLength> files;
        const char* reason;
    } cases[] = {
        {"none", {}, "No files to look up"},
        {"100 files", tooMany, "100 files are more than a CD holds (99 tracks)"},
        {"longer than a CD", tooLong, "The files are longer than a CD"},
        {"an unknown time", unknown, "The playing time of file 2 is unknown"},
        {"under a sector", tiny, "File 2 is shorter than a CD sector"},
    };
    for (const Case& c : cases) {
        TMbDisc disc;
        QString why;
        EXPECT_FALSE(MbDiscFromLengths(c.files, &disc, &why)) << c.name;
        EXPECT_EQ(why, c.reason) << c.name;
        EXPECT_TRUE(disc.Id.isEmpty()) << c.name;
    }
    // 99 files ending a sector short of 90 minutes still make a CD.
    TMbDisc full;
    QList<TTrackLength> longest(99, timeOnly(54000));
    longest.last() = timeOnly(105987); // 7949 sectors: 150 + 98 * 4050 + 7949 = 404999
    QString why;
    EXPECT_TRUE(MbDiscFromLengths(longest, &full, &why)) << why.toStdString();
    EXPECT_EQ(full.Sectors.Leadout, MaxCdSectors - 1);
    EXPECT_TRUE(full.Toc.startsWith("1 99 "));
}
