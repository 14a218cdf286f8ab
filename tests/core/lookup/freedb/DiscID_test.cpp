#include "core/lookup/freedb/DiscID.h"

#include "core/lookup/freedb/XmcdEntry.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace cantorix;

namespace {

struct Example {
    QList<int> durations;
    const char* text;
    QList<int64_t> offsets;
    int32_t length;
};

void PrintTo(const Example& e, std::ostream* os)
{
    *os << e.text;
}

class DiscIdExamples : public ::testing::TestWithParam<Example> {};

TEST_P(DiscIdExamples, IdOffsetsAndLength)
{
    const Example& e = GetParam();
    const TCDDBDiscID disc = TCDDBDiscID::FromSeconds(e.durations);
    EXPECT_EQ(disc.DiscIDText().toStdString(), e.text);
    EXPECT_EQ(disc.TrackOffsets(), e.offsets);
    EXPECT_EQ(disc.LeadOutSeconds(), e.length);
    EXPECT_TRUE(disc.QueryCommand().endsWith(' ' + QString::number(e.length))) << disc.QueryCommand().toStdString();
    EXPECT_EQ(disc.TrackCount(), e.offsets.size());
}

INSTANTIATE_TEST_SUITE_P(
    Known, DiscIdExamples,
    // The disc length is the lead-out's second: the two seconds before track 1 count.
    ::testing::Values(Example{{200, 180, 245}, "13027103", {150, 15150, 28650}, 627},
                      Example{{59, 61}, "09007802", {150, 4575}, 122},
                      Example{{}, "00000000", {}, 2},
                      // A file without playing time is a track of length 0.
                      Example{{0, 100}, "04006402", {150, 150}, 102},
                      // Negative: no playing time.
                      Example{{-1, -5, INT32_MIN}, "06000003", {150, 150, 150}, 2}));

TEST(DiscId, TrackTableLaysFilesEndToEnd)
{
    const TCDDBDiscID disc = TCDDBDiscID::FromSeconds({200, 180, 245});
    ASSERT_EQ(disc.TrackCount(), 3);
    const int expected[4][3] = {{0, 2, 0}, {3, 22, 0}, {6, 22, 0}, {10, 27, 0}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(disc.Track(k).Minutes, expected[k][0]) << k;
        EXPECT_EQ(disc.Track(k).Seconds, expected[k][1]) << k;
        EXPECT_EQ(disc.Track(k).Frames, expected[k][2]) << k;
    }
    EXPECT_EQ(disc.DiscID(), 0x13027103u);
    EXPECT_EQ(disc.QueryCommand(), "cddb query 13027103 3 150 15150 28650 627");
}

TEST(DiscId, OnlyTheFirst98FilesAreTracks)
{
    QList<int> list;
    for (int i = 1; i <= 100; ++i) list << i;
    const TCDDBDiscID disc = TCDDBDiscID::FromSeconds(list);
    EXPECT_EQ(disc.TrackCount(), 98);
    EXPECT_EQ(disc.LeadOutSeconds(), 98 * 99 / 2 + 2);
    EXPECT_EQ(disc.TrackOffsets().size(), 98);
    EXPECT_EQ(disc.DiscIDText().right(2), "62"); // 98 tracks
    EXPECT_EQ(disc.DiscIDText().size(), 8);
}

TEST(DiscId, HugeDurationsStayInRange)
{
    // Far beyond any audio file: the sums must neither overflow nor wrap negative.
    const TCDDBDiscID disc = TCDDBDiscID::FromSeconds(QList<int>(98, INT32_MAX));
    EXPECT_EQ(disc.LeadOutSeconds(), 98 * TCDDBDiscID::MaxTrackSeconds + 2);
    EXPECT_EQ(disc.TrackOffsets().last(), 150 + int64_t(97) * TCDDBDiscID::MaxTrackSeconds * 75);
    EXPECT_EQ(disc.DiscIDText().size(), 8);
}

TEST(DiscId, Helpers)
{
    EXPECT_EQ(TCDDBDiscID::DigitSum(0), 0u);
    EXPECT_EQ(TCDDBDiscID::DigitSum(382), 13u);
    EXPECT_EQ(TCDDBDiscID::DigitSum(4294967295u), 4u + 2 + 9 + 4 + 9 + 6 + 7 + 2 + 9 + 5);
    EXPECT_EQ(TCDDBDiscID::MSFToFrames({10, 27, 3}), 10 * 4500 + 27 * 75 + 3);

    TrackTime t = TCDDBDiscID::SecondsToMSF(61.5);
    EXPECT_EQ(t.Minutes, 1);
    EXPECT_EQ(t.Seconds, 1);
    EXPECT_EQ(t.Frames, 37);
    t = TCDDBDiscID::SecondsToMSF(-3);
    EXPECT_EQ(TCDDBDiscID::MSFToFrames(t), 0);
    t = TCDDBDiscID::SecondsToMSF(std::nan(""));
    EXPECT_EQ(TCDDBDiscID::MSFToFrames(t), 0);
}

// The track table of a real entry, from its "Track frame offsets:" and "Disc length:" comments. The
// lead-out is put on the last frame of its second: the length is its address divided by 75, truncated.
bool tableFromEntry(const QStringList& lines, TCDDBDiscID& disc, QStringList& ids, int& length)
{
    QList<int64_t> offsets;
    length = -1;
    bool inOffsets = false;
    for (const QString& line : lines) {
        if (line.startsWith("# Track frame offsets:")) {
            inOffsets = true;
        } else if (line.startsWith("# Disc length:")) {
            inOffsets = false;
            length = line.mid(15).section(' ', 0, 0).toInt();
        } else if (inOffsets) {
            bool ok = false;
            int v = TrimControls(line.mid(1)).toInt(&ok);
            if (ok) offsets << v;
            else if (!offsets.isEmpty()) inOffsets = false;
        } else if (line.startsWith("DISCID=")) {
            ids = line.mid(7).split(',');
        }
    }
    if (offsets.isEmpty() || offsets.size() > 98 || length < 0) return false;
    disc = TCDDBDiscID::FromFrames(offsets, int64_t(length) * 75 + 74);
    return true;
}

QStringList linesOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return SplitLines(DecodeReplyText(file.readAll()));
}

// The entry's own disc ID, and a query whose length is the entry's "# Disc length".
void expectEntryDiscId(const QString& path)
{
    TCDDBDiscID disc;
    QStringList ids;
    int length = 0;
    if (!tableFromEntry(linesOf(path), disc, ids, length)) return; // a fragment without the table of contents
    EXPECT_TRUE(ids.contains(disc.DiscIDText())) << path.toStdString() << ": " << disc.DiscIDText().toStdString();
    EXPECT_EQ(disc.LeadOutSeconds(), length) << path.toStdString();
    EXPECT_TRUE(disc.QueryCommand().endsWith(' ' + QString::number(length))) << path.toStdString();
}

TEST(DiscId, RealEntriesGiveTheirOwnIdAndLength)
{
    for (const char* folder : {"xmcd", "entries"}) {
        QDir dir(QString::fromStdString(test::fixture(folder)));
        QStringList names = dir.entryList({"*.txt"}, QDir::Files);
        ASSERT_GE(names.size(), 2) << folder;
        for (const QString& name : names) expectEntryDiscId(dir.filePath(name));
    }

    // The whole shared collection, when it is there.
    QDir shared(QString::fromStdString(test::shared("data/xmcd")));
    for (const QString& name : shared.entryList({"*.txt"}, QDir::Files)) expectEntryDiscId(shared.filePath(name));
}

// The query that the real server answered with its exact match is the one made from the entry's table.
TEST(DiscId, QueryOfARealEntryIsTheServersOwn)
{
    QFile query(QString::fromStdString(test::fixture("cddb/01-query-200-exact.txt")));
    ASSERT_TRUE(query.open(QIODevice::ReadOnly));
    const QString queryString = QString::fromLatin1(query.readLine()).trimmed(); // "QUERY_STRING=cmd=...&..."
    const QString sent = queryString.section('=', 2).section('&', 0, 0).replace('+', ' ');
    ASSERT_TRUE(sent.startsWith("cddb query a10b600c 12 150 ")) << sent.toStdString();

    QFile read(QString::fromStdString(test::fixture("cddb/08-read-210-utf8-entry-proto5.txt")));
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    TCDDBDiscID disc;
    QStringList ids;
    int length = 0;
    ASSERT_TRUE(tableFromEntry(SplitLines(DecodeReplyText(test::transcriptBody(read.readAll()))), disc, ids, length));
    EXPECT_EQ(disc.QueryCommand(), sent);
    EXPECT_TRUE(sent.endsWith(" 2914"));
}

} // namespace
