// The web search's words and the two result-page layouts, read into match lines.
#include "core/lookup/freedb/NameQuery.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace cantorix;

namespace {

QByteArray fixtureBytes(const std::string& name)
{
    QFile file(QString::fromStdString(test::fixture(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// "S rock 920b810c Catharsis / Imago": the source (S site page, C CDDB read) and the match line.
QStringList lines(const QList<TSearchMatch>& matches)
{
    QStringList out;
    for (const TSearchMatch& m : matches)
        out << QString(m.From == TSearchMatch::Source::SitePage ? "S " : "C ") + MatchLine(m);
    return out;
}

const QString Classic = R"(<tr><td><a href="http://www.freedb.org/freedb_search_fmt.php?cat=)";

} // namespace

TEST(SearchPage, PagesGiveTheirMatchLines)
{
    struct Case {
        const char* name;
        QByteArray page;
        QStringList expected;
    } cases[] = {
        {"classic layout: quoted rows, numbered and continuation links, an entity, bad IDs dropped",
         fixtureBytes("freedb-web/classic-results.html"),
         {"S rock 4910fa07 Bela Fleck / 2/16/2000 2/2", "S misc f30f6612 Bela Fleck / Daybreak",
          "S jazz fc0f6712 Bela Fleck / Daybreak", "S blues fc0f6812 Bela Fleck / Daybreak",
          "S folk 8c0f0a0b Simon & Garfunkel / Bookends"}},
        {"gnudb layout: two disc IDs for one title, one for the next",
         fixtureBytes("freedb-web/gnudb-results.html"),
         {"C rock 920b810c Catharsis / Imago", "C misc 920b810d Catharsis / Imago",
          QString::fromUtf8("C jazz 13027103 Ärzte & Söhne / Live")}},
        {"gnudb layout, one disc ID",
         R"(<a href="http://www.gnudb.org/cd/ro920b810c"><b>Catharsis / Imago</b></a>
            <a href="http://www.gnudb.org/gnudb/rock/920b810c" target=_blank>Discid: rock / 920b810c</a>)",
         {"C rock 920b810c Catharsis / Imago"}},
        {"a numbered link before any title has none",
         (Classic + R"(jazz&id=fc0f6712"><font size=-1>2</font></a>&nbsp;)").toUtf8(), {"S jazz fc0f6712 "}},
        {"tags inside the title are removed, numeric entities decoded, white space folded",
         (Classic + "rock&id=0a0b0c0d\"><i>A&#x2F;B</i>\n  /   <b>C&#233;</b></a><br><br></td></tr>").toUtf8(),
         {QString::fromUtf8("S rock 0a0b0c0d A/B / Cé")}},
        {"a title without \" / \"", (Classic + "misc&id=00000001\">Just A Title</a>").toUtf8(),
         {"S misc 00000001 Just A Title"}},
        {"categories and IDs that freedb does not have are dropped",
         R"(<a href="/freedb_search_fmt.php?cat=../x&id=0a0b0c0d">X / Y</a>
            <a href="/freedb_search_fmt.php?cat=rock&id=0a0b0c0g">X / Y</a>
            <a href="/freedb_search_fmt.php?cat=rock&id=0a0b0c0d0">X / Y</a>
            <a href="x">Discid: pop / 920b810c</a><a href="x">Discid: rock / 920b810</a>)",
         {}},
        {"no results", "<html><body>Search Results, 0 albums found:</body></html>", {}},
        {"cut-off markup", R"(<a href="/freedb_search_fmt.php?cat=rock&id=0a0b0c0d">X / )", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lines(ParseSearchPage(c.page, "https://www.gnudb.org/search/x")), c.expected) << c.name;
}

TEST(SearchPage, WordsAreTrimmedEncodedAndJoined)
{
    struct Case {
        QString artist, album;
        QByteArray words;
    } cases[] = {
        {"The Band", "Live at Home", "The+Band+Live+at+Home"},
        {" Simon & Garfunkel ", "Bookends", "Simon+%26+Garfunkel+Bookends"},
        {QString::fromUtf8("Ärzte"), "1+1=2 / ?#", "%C3%84rzte+1%2B1%3D2+%2F+%3F%23"},
        {"", "Album", "Album"},
        {"Artist", "  ", "Artist"},
        {" ", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SearchWords(c.artist, c.album), c.words) << c.artist.toStdString();

    EXPECT_EQ(SearchAddress("https://www.gnudb.org/search/%s", "Simon & Garfunkel", ""),
              "https://www.gnudb.org/search/Simon+%26+Garfunkel");
    EXPECT_EQ(SearchAddress("http://www.freedb.org/freedb_search.php?words=%s&allfields=NO&fields=artist"
                            "&fields=title&allcats=YES&grouping=none",
                            "The Band", "Live at Home"),
              "http://www.freedb.org/freedb_search.php?words=The+Band+Live+at+Home&allfields=NO&fields=artist"
              "&fields=title&allcats=YES&grouping=none");
}
