#include "core/lookup/freedb/XmcdEntry.h"

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

TEST_P(AlbumFields, FirstSpacedSlashSplitsArtistAndAlbum)
{
    const TitleCase& c = GetParam();
    AlbumRecord r;
    ReadAlbumFields({QString("DTITLE=") + c.dtitle}, r);
    EXPECT_EQ(r.Artist.toStdString(), c.artist);
    EXPECT_EQ(r.Album.toStdString(), c.album);
}

INSTANTIATE_TEST_SUITE_P(Dtitle, AlbumFields,
                         ::testing::Values(TitleCase{"Some Artist / Some Album", "Some Artist", "Some Album"},
                                           // Without " / " artist and title are the same, as the format says.
                                           TitleCase{"Ernest Ray Everett - Single CD", "Ernest Ray Everett - Single CD",
                                                     "Ernest Ray Everett - Single CD"},
                                           // A "/" without a space on both sides belongs to a name.
                                           TitleCase{"AC/DC / Live", "AC/DC", "Live"},
                                           TitleCase{"Band / Live 1/2", "Band", "Live 1/2"},
                                           TitleCase{"AC/DC", "AC/DC", "AC/DC"},
                                           TitleCase{"Various / Best of A / B", "Various", "Best of A / B"},
                                           TitleCase{"  Padded  /  Title  ", "Padded", "Title"},
                                           // Tabs and line feeds are not the separator's spaces; in a value they
                                           // become spaces.
                                           TitleCase{"Tab\t/\tSeparated", "Tab / Separated", "Tab / Separated"},
                                           TitleCase{"Line\\n/\\nFeed", "Line / Feed", "Line / Feed"},
                                           TitleCase{"Escaped\\t / Tab", "Escaped", "Tab"},
                                           TitleCase{"", "", ""}));

TEST(XmcdEntry, KeysIgnoreCaseAndEveryLineOfAKeyIsJoinedAsItStands)
{
    QStringList lines = {"# comment=1", "Dyear=19", "DYEAR=99", "dgenre=rock", "NOEQUALS", "DTITLE=A / B=C",
                         // The example of the format's description: a value split inside a word.
                         "EXTD=Copyright (c) 1981 MCA Records Inc.\\nManufactured f", "EXTD=or MCA Records Inc.",
                         "EXTT3= spaced ", "TTITLE3=x", "EXTT3= on both sides "};
    EXPECT_EQ(XmcdValue(lines, "DYEAR"), "1999");
    EXPECT_EQ(XmcdValue(lines, "DGenre"), "rock");
    EXPECT_EQ(XmcdValue(lines, "DTITLE"), "A / B=C"); // the value is everything after the first "="
    EXPECT_EQ(XmcdValue(lines, "EXTD"), "Copyright (c) 1981 MCA Records Inc.\\nManufactured for MCA Records Inc.");
    EXPECT_EQ(XmcdValue(lines, "EXTT3"), " spaced  on both sides ");
    EXPECT_EQ(XmcdValue(lines, "EXTT4"), "");
    EXPECT_EQ(XmcdKey("NOEQUALS"), "");

    // A real entry whose DTITLE goes on over a second line, inside a word.
    AlbumRecord r = ReadChecksumEntry(replyEntryLines("cddb/13-read-210-continuations.txt"));
    EXPECT_EQ(r.Artist, "Maria Venuti");
    EXPECT_EQ(r.Album, "Maria Venuti Sings Schubert, Schoenberg, Schumann");
    EXPECT_EQ(r.Year, "1994");
    EXPECT_EQ(r.Genre, "Classical");
}

TEST(XmcdEntry, OnlyTheJoinedValuesAreTrimmed)
{
    AlbumRecord r;
    ReadAlbumFields({"DTITLE=X /", "DTITLE= Y ", "DYEAR= 2004 "}, r);
    EXPECT_EQ(r.Artist, "X");
    EXPECT_EQ(r.Album, "Y");
    EXPECT_EQ(r.Year, "2004");
    EXPECT_EQ(r.Genre, "");

    // Four DTITLE lines whose pieces begin and end with the spaces between words; the separator
    // itself spans a join.
    AlbumRecord c = ReadChecksumEntry(entryLines("entries/continued-13027103.txt"));
    EXPECT_EQ(c.Artist, "The Long Named Orchestra of the Night");
    EXPECT_EQ(c.Album, "Songs for Four Lines");
    EXPECT_EQ(titlesOf(c.Titles), (QStringList{"01|Prelude", "02|Eins Zwei Drei Vier", "03|Coda"}));
}

TEST(XmcdEntry, EscapesAreTranslatedAfterTheLinesAreJoined)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a\\nb", "a\nb"},     {"a\\tb", "a\tb"},       {"a\\\\nb", "a\\nb"}, // "\\" is one backslash, then n
        {"C:\\x", "C:\\x"},  {"end\\", "end\\"},      {"\\\\\\t", "\\\t"},  {"", ""},
    };
    for (const auto& [raw, text] : cases) EXPECT_EQ(XmcdUnescape(raw), text) << raw;

    // The format's own example: EXTD over two lines with a "\n" inside, displayed as two lines.
    const QStringList extd = {"EXTD=Copyright (c) 1981 MCA Records Inc.\\nManufactured f", "EXTD=or MCA Records Inc."};
    EXPECT_EQ(XmcdText(extd, "EXTD"), "Copyright (c) 1981 MCA Records Inc.\nManufactured for MCA Records Inc.");
    // An escape split over two lines is still one.
    EXPECT_EQ(XmcdText({"EXTT0=Des Prez\\", "EXTT0=nYez"}, "EXTT0"), "Des Prez\nYez");

    // Titles and the album fields are single lines: the translated line feeds and tabs become spaces.
    AlbumRecord r;
    ReadAlbumFields({"DTITLE=The\\tBand / A\\\\B\\", "DTITLE=nRecord"}, r);
    EXPECT_EQ(r.Artist, "The Band");
    EXPECT_EQ(r.Album, "A\\B Record");
    EXPECT_EQ(titlesOf(ReadTrackTitles({"TTITLE0=Schmitt: A contre-voix \\n(excerpt)", "TTITLE1=x\\", "TTITLE1=ty"},
                                       TitleNumbering::FromKey)),
              (QStringList{"01|Schmitt: A contre-voix  (excerpt)", "02|x y"}));
}

TEST(XmcdEntry, NoControlCharacterReachesAValue)
{
    // ESC, BEL, NUL, DEL, a C1 control and the Unicode line separator: none may reach a tag, a name or
    // the terminal.
    const QString raw = QString("A\x1b[31m\x07") + QChar(0) + QChar(0x7f) + QChar(0x9b) + QChar(0x2028) + "Z";
    QStringList lines;
    for (const char* key : {"DTITLE=", "DYEAR=", "DGENRE=", "TTITLE0="}) lines << key + raw;
    lines << "TTITLE1=\r\x1b";
    AlbumRecord r = ReadChecksumEntry(lines);
    const QString clean = "A [31m     Z";
    EXPECT_EQ(r.Artist, clean);
    EXPECT_EQ(r.Album, clean);
    EXPECT_EQ(r.Year, clean);
    EXPECT_EQ(r.Genre, clean);
    EXPECT_EQ(titlesOf(r.Titles), (QStringList{"01|" + clean, "02|"}));
    EXPECT_EQ(ReadNameEntry(lines).Titles[0].Title, clean);
}

TEST(XmcdEntry, TitlesJoinEveryLineWithTheSameKey)
{
    QStringList lines = {"TTITLE0=Intro", "EXTD=", "TTITLE3=Eins ", "TTITLE3=Zwei ", "TTITLE3=Drei",
                         "TTITLE3= und vier", "TTITLE11= Last", "TTITLE11=  tail ", "TTITLE12=", "TTITLE0=, again"};
    EXPECT_EQ(titlesOf(ReadTrackTitles(lines, TitleNumbering::FromKey)),
              (QStringList{"01|Intro, again", "04|Eins Zwei Drei und vier", "12|Last  tail", "13|"}));
    EXPECT_EQ(titlesOf(ReadTrackTitles(lines, TitleNumbering::RunningCount)),
              (QStringList{"01|Intro, again", "02|Eins Zwei Drei und vier", "03|Last  tail", "04|"}));
    EXPECT_EQ(NumberedTitles(ReadNameEntry(lines)).first(), "01 - Intro, again");

    // No limit on the pieces: a title over 600 lines comes whole, and stays one row.
    QStringList longTitle = {"TTITLE0=Start"};
    for (int i = 0; i < 600; ++i) longTitle << "TTITLE0= " + QString::number(i);
    longTitle << "TTITLE1=Next";
    QList<TrackTitle> titles = ReadTrackTitles(longTitle, TitleNumbering::FromKey);
    ASSERT_EQ(titles.size(), 2);
    EXPECT_TRUE(titles[0].Title.startsWith("Start 0 1 2 "));
    EXPECT_TRUE(titles[0].Title.endsWith(" 598 599"));
    EXPECT_EQ(titles[1].Title, "Next");
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

TEST(XmcdEntry, EntriesWithoutAnyTitleAreUntitled)
{
    const std::pair<QStringList, bool> cases[] = {
        {{"DTITLE=A / B", "TTITLE0=x"}, false},
        {{"DTITLE=Album only"}, false},
        {{"DTITLE=", "TTITLE0=One"}, false},
        {{"TTITLE0=", "TTITLE1=  ", "TTITLE1=Late"}, false},
        {{"DTITLE=  ", "DYEAR=2004", "TTITLE0=", "TTITLE1= "}, true},
        {{"DISCID=12345678", "DYEAR=2004", "DGENRE=Rock"}, true},
        {{}, true},
    };
    for (const auto& [lines, untitled] : cases)
        EXPECT_EQ(IsUntitledEntry(ReadChecksumEntry(lines)), untitled) << lines.join('|').toStdString();
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
        // As received: offset lines with leading white space, comments with trailing spaces.
        EXPECT_TRUE(CheckEntry(SplitLines(DecodeReplyText(file.readAll())))) << name.toStdString();
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

TEST(XmcdEntry, RepliesAreUtf8WhenValidOtherwiseLatin1LineByLine)
{
    EXPECT_EQ(DecodeReplyText("Mot\xc3\xb6rhead"), QString::fromUtf8("Motörhead"));
    EXPECT_EQ(DecodeReplyText("Mot\xf6rhead"), QString::fromUtf8("Motörhead"));
    // One Latin-1 line does not turn the UTF-8 lines around it into "CafÃ©", whatever the line ends.
    EXPECT_EQ(DecodeReplyText("A=Caf\xc3\xa9\r\nB=Caf\xe9\r\nC=\xce\x9c\xce\xaf\xce\xba\xce\xb7\xcf\x82"),
              QString::fromUtf8("A=Café\r\nB=Café\r\nC=Μίκης"));
    EXPECT_EQ(DecodeReplyText("Caf\xc3\xa9\rCaf\xe9\n\xe6\x9d\xb1\n\n"), QString::fromUtf8("Café\rCafé\n東\n\n"));
    // A line that only looks like the start of a UTF-8 sequence is Latin-1.
    EXPECT_EQ(DecodeReplyText("x\xc3\ny\xc3\xa9"), QString::fromUtf8("xÃ\nyé"));
    // The same entry served in both encodings reads the same.
    QByteArray proto5 = test::transcriptBody(fixtureBytes("cddb/08-read-210-utf8-entry-proto5.txt"));
    EXPECT_TRUE(DecodeReplyText(proto5).contains(QString::fromUtf8("DTITLE=Motörhead / Inferno")));
}

} // namespace
