#include "core/freedb/DiscID.h"

#include "core/freedb/XmcdEntry.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace cantorix;

namespace {

QStringList durations(std::initializer_list<int> seconds)
{
    QStringList list;
    for (int s : seconds) list << QString::number(s);
    return list;
}

struct Example {
    QStringList durations;
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
    TCDDBDiscID disc;
    disc.BuildTrackTable(e.durations);
    disc.CalcDiscID();
    EXPECT_EQ(disc.DiscIDText.toStdString(), e.text);
    EXPECT_EQ(disc.TrackOffsets(), e.offsets);
    EXPECT_EQ(disc.DiscLength, e.length);
    EXPECT_EQ(disc.TrackCount, e.offsets.size());
}

INSTANTIATE_TEST_SUITE_P(
    Known, DiscIdExamples,
    ::testing::Values(Example{durations({200, 180, 245}), "13027103", {150, 15150, 28650}, 625},
                      Example{durations({59, 61}), "09007802", {150, 4575}, 120},
                      Example{{}, "00000000", {}, 0},
                      // A file without playing time is a track of length 0.
                      Example{durations({0, 100}), "04006402", {150, 150}, 100},
                      // Not numbers, or negative: no playing time.
                      Example{QStringList{"abc", "-5", ""}, "06000003", {150, 150, 150}, 0}));

TEST(DiscId, TrackTableLaysFilesEndToEnd)
{
    TCDDBDiscID disc;
    disc.BuildTrackTable(durations({200, 180, 245}));
    ASSERT_EQ(disc.TrackCount, 3);
    const int expected[4][3] = {{0, 2, 0}, {3, 22, 0}, {6, 22, 0}, {10, 27, 0}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(disc.Tracks[k].Minutes, expected[k][0]) << k;
        EXPECT_EQ(disc.Tracks[k].Seconds, expected[k][1]) << k;
        EXPECT_EQ(disc.Tracks[k].Frames, expected[k][2]) << k;
    }
    disc.CalcDiscID();
    EXPECT_EQ(disc.DiscID, 0x13027103u);
    EXPECT_EQ(disc.QueryCommand(), "cddb query 13027103 3 150 15150 28650 625");
}

TEST(DiscId, OnlyTheFirst98FilesAreTracks)
{
    QStringList list;
    for (int i = 1; i <= 100; ++i) list << QString::number(i);
    TCDDBDiscID disc;
    disc.BuildTrackTable(list);
    disc.CalcDiscID();
    EXPECT_EQ(disc.TrackCount, 98);
    EXPECT_EQ(disc.DiscLength, 98 * 99 / 2);
    EXPECT_EQ(disc.TrackOffsets().size(), 98);
    EXPECT_EQ(disc.DiscIDText.right(2), "62"); // 98 tracks
    EXPECT_EQ(disc.DiscIDText.size(), 8);
}

TEST(DiscId, HugeDurationsStayInRange)
{
    // Far beyond any audio file: the sums must neither overflow nor wrap negative.
    QStringList list;
    for (int i = 0; i < 98; ++i) list << "99999999999";
    TCDDBDiscID disc;
    disc.BuildTrackTable(list);
    disc.CalcDiscID();
    EXPECT_EQ(disc.DiscLength, 98 * TCDDBDiscID::MaxTrackSeconds);
    EXPECT_EQ(disc.TrackOffsets().last(), 150 + int64_t(97) * TCDDBDiscID::MaxTrackSeconds * 75);
    EXPECT_EQ(disc.DiscIDText.size(), 8);
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

// The track table of a real entry, from its "Track frame offsets:" and "Disc length:" comments.
bool tableFromEntry(const QStringList& lines, TCDDBDiscID& disc, QStringList& ids)
{
    QList<int> offsets;
    int length = -1;
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
    for (int k = 0; k < offsets.size(); ++k)
        disc.Tracks[k] = {offsets[k] / 4500, (offsets[k] / 75) % 60, offsets[k] % 75};
    disc.Tracks[offsets.size()] = {length / 60, length % 60, 0};
    disc.TrackCount = uint16_t(offsets.size());
    return true;
}

void expectEntryDiscId(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QStringList lines = SplitLines(DecodeReplyText(file.readAll()));
    TCDDBDiscID disc;
    QStringList ids;
    if (!tableFromEntry(lines, disc, ids)) return; // a fragment without the table of contents
    disc.CalcDiscID();
    EXPECT_TRUE(ids.contains(disc.DiscIDText)) << path.toStdString() << ": " << disc.DiscIDText.toStdString();
}

TEST(DiscId, RealEntriesGiveTheirOwnId)
{
    QDir dir(QString::fromStdString(test::fixture("xmcd")));
    QStringList names = dir.entryList({"*.txt"}, QDir::Files);
    ASSERT_GE(names.size(), 5);
    for (const QString& name : names) expectEntryDiscId(dir.filePath(name));

    // The whole shared collection, when it is there.
    QDir shared(QString::fromStdString(test::shared("data/xmcd")));
    for (const QString& name : shared.entryList({"*.txt"}, QDir::Files)) expectEntryDiscId(shared.filePath(name));
}

} // namespace
