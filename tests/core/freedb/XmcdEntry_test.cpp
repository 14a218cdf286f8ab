#include "core/freedb/XmcdEntry.h"

#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace cantorix;

namespace {

QByteArray fixtureBytes(const std::string& name)
{
    QFile file(QString::fromStdString(test::fixture(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entryLines(const std::string& name)
{
    return SplitLines(DecodeReplyText(fixtureBytes(name)));
}

// The entry lines of a saved read reply: its body without the status line.
QStringList replyEntryLines(const std::string& name)
{
    return SplitLines(DecodeReplyText(test::transcriptBody(fixtureBytes(name)))).mid(1);
}

QStringList titlesOf(const QList<TrackTitle>& titles)
{
    QStringList out;
    for (const TrackTitle& t : titles) out << t.No + "|" + t.Title;
    return out;
}

struct TitleCase {
    const char* dtitle;
    const char* artist;
    const char* album;
};

void PrintTo(const TitleCase& c, std::ostream* os)
{
    *os << '"' << c.dtitle << '"';
}

class AlbumFields : public ::testing::TestWithParam<TitleCase> {};

TEST_P(AlbumFields, LastSlashSplitsArtistAndAlbum)
{
    const TitleCase& c = GetParam();
    AlbumRecord r;
    ReadAlbumFields({QString("DTITLE=") + c.dtitle}, r);
    EXPECT_EQ(r.Artist.toStdString(), c.artist);
    EXPECT_EQ(r.Album.toStdString(), c.album);
}

INSTANTIATE_TEST_SUITE_P(Dtitle, AlbumFields,
                         ::testing::Values(TitleCase{"Some Artist / Some Album", "Some Artist", "Some Album"},
                                           TitleCase{"Ernest Ray Everett - Single CD", "", "Ernest Ray Everett - Single CD"},
                                           TitleCase{"AC/DC / Live", "AC/DC", "Live"},
                                           TitleCase{"Band / Live 1/2", "Band / Live 1", "2"},
                                           TitleCase{"  Padded\t/  Title  ", "Padded", "Title"},
                                           TitleCase{"", "", ""}));

TEST(XmcdEntry, KeysIgnoreCaseAndOnlyTheFirstLineCounts)
{
    QStringList lines = {"# comment=1", "Dyear=1999", "DYEAR=2000", "dgenre=rock", "NOEQUALS", "DTITLE=A / B=C"};
    EXPECT_EQ(XmcdValue(lines, "DYEAR"), "1999");
    EXPECT_EQ(XmcdValue(lines, "DGenre"), "rock");
    EXPECT_EQ(XmcdValue(lines, "DTITLE"), "A / B=C"); // the value is everything after the first "="
    EXPECT_EQ(XmcdValue(lines, "EXTD"), "");
    EXPECT_EQ(XmcdKey("NOEQUALS"), "");

    // A continued DTITLE: only its first line is read.
    AlbumRecord r = ReadChecksumEntry(replyEntryLines("cddb/13-read-210-continuations.txt"));
    EXPECT_EQ(r.Artist, "Maria Venuti");
    EXPECT_EQ(r.Album, "Maria Venuti Sings Schubert, Schoenberg, Schuman");
    EXPECT_EQ(r.Year, "1994");
    EXPECT_EQ(r.Genre, "Classical");
}

TEST(XmcdEntry, YearIsUntrimmedAndMayBeMissing)
{
    AlbumRecord r;
    ReadAlbumFields({"DTITLE=X / Y", "DYEAR= 2004 "}, r);
    EXPECT_EQ(r.Year, " 2004 ");
    EXPECT_EQ(r.Genre, "");
}

TEST(XmcdEntry, TitlesJoinAtMostThreeLinesWithTheSameKey)
{
    QStringList lines = {"TTITLE0=Intro", "EXTD=", "TTITLE3=Part one", "TTITLE3=, part two", "TTITLE3=, three",
                         "TTITLE3=Fourth", "TTITLE11=Last", "TTITLE11=  tail"};
    EXPECT_EQ(titlesOf(ReadTrackTitles(lines, TitleNumbering::FromKey)),
              (QStringList{"01|Intro", "04|Part one, part two, three", "04|Fourth", "12|Last  tail"}));
    EXPECT_EQ(titlesOf(ReadTrackTitles(lines, TitleNumbering::RunningCount)),
              (QStringList{"01|Intro", "02|Part one, part two, three", "03|Fourth", "04|Last  tail"}));
    EXPECT_EQ(NumberedTitles(ReadNameEntry(lines)).first(), "01 - Intro");
}

TEST(XmcdEntry, TitleReadingStopsAtTheEndInMalformedEntries)
{
    // The last line is a title line that a continuation check would read past.
    EXPECT_EQ(titlesOf(ReadTrackTitles({"TTITLE0=A", "TTITLE0=B"}, TitleNumbering::FromKey)),
              (QStringList{"01|AB"}));
    // No TTITLE0: the titles that are there are read, numbered by their keys.
    EXPECT_EQ(titlesOf(ReadTrackTitles({"DTITLE=X", "TTITLE1=B", "TTITLE2=C"}, TitleNumbering::FromKey)),
              (QStringList{"02|B", "03|C"}));
    // A key whose number is no number gets no track number, but keeps its row.
    EXPECT_EQ(titlesOf(ReadTrackTitles({"TTITLE0=A", "TTITLEx=B", "TTITLE=C"}, TitleNumbering::FromKey)),
              (QStringList{"01|A", "|B", "|C"}));
    EXPECT_TRUE(ReadTrackTitles({}, TitleNumbering::FromKey).isEmpty());
}

TEST(XmcdEntry, ChecksumReaderTakesLinesUpToTheFirstEmptyOne)
{
    QStringList lines = {"# xmcd", "DTITLE=A / B", "TTITLE0=One", "", "TTITLE1=Two"};
    EXPECT_EQ(ChecksumEntryLines(lines), (QStringList{"DTITLE=A / B", "TTITLE0=One"}));

    QStringList many;
    for (int i = 0; i < 1100; ++i) many << QString("TTITLE%1=t%1").arg(i);
    QStringList kept = ChecksumEntryLines(many);
    EXPECT_EQ(kept.size(), 1023);
    // The grid has 99 file rows.
    AlbumRecord r = ReadChecksumEntry(many);
    ASSERT_EQ(r.Titles.size(), 99);
    EXPECT_EQ(r.Titles[98].No, "99");
}

TEST(XmcdEntry, RealEntriesFillTheRecord)
{
    AlbumRecord r = ReadChecksumEntry(entryLines("xmcd/unknown-2b055c04.txt"));
    EXPECT_EQ(r.Artist, "Tuhonvarjo");
    EXPECT_EQ(r.Album, "Syvyyden Syli");
    EXPECT_EQ(r.Year, "2010");
    EXPECT_EQ(r.Genre, "Metal");
    EXPECT_EQ(titlesOf(r.Titles),
              (QStringList{"01|Syvyyden Syli", "02|Tyhjyys", QString::fromUtf8("03|Joutsenen Siivillä"), "04|Surumarssi"}));

    r = ReadChecksumEntry(replyEntryLines("cddb/13-read-210-continuations.txt"));
    ASSERT_EQ(r.Titles.size(), 17);
    EXPECT_EQ(r.Titles[2].Title, "4 Lieder Nach Texten V. Richard Dehmel Op. 2: Schenk Mir Deinen Goldenen Kamm");
    EXPECT_EQ(r.Titles[16].No, "17");
}

QStringList completeEntry()
{
    return entryLines("xmcd/unknown-2b055c04.txt");
}

TEST(XmcdEntry, RealEntriesAreComplete)
{
    QDir dir(QString::fromStdString(test::fixture("xmcd")));
    for (const QString& name : dir.entryList({"*.txt"}, QDir::Files)) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList lines;
        for (const QString& line : SplitLines(DecodeReplyText(file.readAll()))) lines << TrimControls(line);
        EXPECT_TRUE(CheckEntry(lines)) << name.toStdString();
    }
}

struct Corruption {
    const char* what;
    std::function<void(QStringList&)> change;
};

void removeStarting(QStringList& lines, const QString& prefix)
{
    lines.erase(std::remove_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(prefix); }),
                lines.end());
}

void replaceLine(QStringList& lines, const QString& prefix, const QString& by)
{
    for (QString& l : lines)
        if (l.startsWith(prefix)) {
            l = by;
            return;
        }
}

TEST(XmcdEntry, EveryMissingPartOrBadNumberIsCorrupt)
{
    const Corruption cases[] = {
        {"no xmcd header", [](QStringList& l) { l[0] = "# CD database file"; }},
        {"no offsets header", [](QStringList& l) { removeStarting(l, "# Track frame offsets:"); }},
        {"no disc length", [](QStringList& l) { removeStarting(l, "# Disc length:"); }},
        {"no revision", [](QStringList& l) { removeStarting(l, "# Revision:"); }},
        {"no DISCID", [](QStringList& l) { removeStarting(l, "DISCID="); }},
        {"no DTITLE", [](QStringList& l) { removeStarting(l, "DTITLE="); }},
        {"no TTITLE", [](QStringList& l) { removeStarting(l, "TTITLE"); }},
        {"no EXTD", [](QStringList& l) { removeStarting(l, "EXTD="); }},
        {"no EXTT", [](QStringList& l) { removeStarting(l, "EXTT"); }},
        {"no PLAYORDER", [](QStringList& l) { removeStarting(l, "PLAYORDER="); }},
        {"offset not a number", [](QStringList& l) { replaceLine(l, "#\t25324", "#\t25x24"); }},
        {"two numbers on an offset line", [](QStringList& l) { replaceLine(l, "#\t25324", "#\t25324 1"); }},
        {"disc length not a number", [](QStringList& l) { replaceLine(l, "# Disc length:", "# Disc length: many seconds"); }},
        {"disc length missing", [](QStringList& l) { replaceLine(l, "# Disc length:", "# Disc length:"); }},
        {"revision not a number", [](QStringList& l) { replaceLine(l, "# Revision:", "# Revision: 1a"); }},
        {"title key without number", [](QStringList& l) { replaceLine(l, "TTITLE1=", "TTITLE=Tyhjyys"); }},
        {"title key with three digits", [](QStringList& l) { replaceLine(l, "TTITLE1=", "TTITLE100=Tyhjyys"); }},
        {"title key with a letter", [](QStringList& l) { replaceLine(l, "TTITLE1=", "TTITLE1a=Tyhjyys"); }},
        {"extended key without =", [](QStringList& l) { replaceLine(l, "EXTT1=", "EXTT1"); }},
    };
    ASSERT_TRUE(CheckEntry(completeEntry()));
    for (const Corruption& c : cases) {
        QStringList lines = completeEntry();
        c.change(lines);
        EXPECT_FALSE(CheckEntry(lines)) << c.what;
    }
}

TEST(XmcdEntry, CheckAcceptsTheFormsRealEntriesUse)
{
    QStringList lines = completeEntry();
    replaceLine(lines, "# Disc length:", "# Disc length: 1374 secs");
    replaceLine(lines, "TTITLE3=", "TTITLE03=Surumarssi");
    EXPECT_TRUE(CheckEntry(lines));
}

TEST(XmcdEntry, UnclosedOffsetBlockEndsWithTheLines)
{
    QStringList lines = {"# xmcd", "# Disc length: 10 seconds", "# Revision: 1", "DISCID=1", "DTITLE=a",
                         "TTITLE0=b", "EXTD=", "EXTT0=", "PLAYORDER=", "# Track frame offsets:", "# 150", "# 300"};
    EXPECT_TRUE(CheckEntry(lines));
    lines << "# 4x5";
    EXPECT_FALSE(CheckEntry(lines));
    EXPECT_FALSE(CheckEntry({}));
}

TEST(XmcdEntry, LinesSplitAtEveryKindOfLineEnd)
{
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\n\r"), (QStringList{"a", ""}));
    EXPECT_TRUE(SplitLines("").isEmpty());
}

TEST(XmcdEntry, RepliesAreUtf8WhenValidOtherwiseLatin1)
{
    EXPECT_EQ(DecodeReplyText("Mot\xc3\xb6rhead"), QString::fromUtf8("Motörhead"));
    EXPECT_EQ(DecodeReplyText("Mot\xf6rhead"), QString::fromUtf8("Motörhead"));
    // The same entry served in both encodings reads the same.
    QByteArray proto5 = test::transcriptBody(fixtureBytes("cddb/08-read-210-utf8-entry-proto5.txt"));
    EXPECT_TRUE(DecodeReplyText(proto5).contains(QString::fromUtf8("DTITLE=Motörhead / Inferno")));
}

} // namespace
