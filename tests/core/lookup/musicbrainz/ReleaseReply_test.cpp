#include "core/lookup/musicbrainz/ReleaseReply.h"

#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace cantorix;

namespace {

QByteArray fixtureBytes(const std::string& name)
{
    return QByteArray::fromStdString(test::readText(test::fixture("musicbrainz/" + name)));
}

} // namespace

TEST(MusicBrainzReply, AnAttachedDiscIdGivesItsReleasesWithCreditsGenreAndTracks)
{
    QList<TMbRelease> releases;
    QString why;
    ASSERT_TRUE(ParseDiscIdReply(fixtureBytes("discid-attached.json"), &releases, &why)) << why.toStdString();
    ASSERT_EQ(releases.size(), 1);
    const TMbRelease& r = releases[0];
    EXPECT_EQ(r.Id, "5a4d3f2e-1b0c-4d9e-8f7a-6b5c4d3e2f1a");
    EXPECT_EQ(r.Title, QString::fromUtf8("Sechs Stücke"));
    EXPECT_EQ(r.Artist, "Orchester & Chor");
    EXPECT_EQ(r.ArtistIds, (QStringList{"11111111-2222-4333-8444-555555555555", "66666666-7777-4888-9999-aaaaaaaaaaaa"}));
    EXPECT_EQ(r.Date, "1998-05-12");
    EXPECT_EQ(r.Country, "DE");
    EXPECT_EQ(r.ReleaseGroupId, "bbbbbbbb-cccc-4ddd-8eee-ffffffffffff");
    EXPECT_EQ(r.Genre, "Choral Music"); // the most votes win over the first listed
    EXPECT_EQ(r.Score, -1);
    ASSERT_EQ(r.Media.size(), 1);
    const TMbMedium& m = r.Media[0];
    EXPECT_EQ(m.Position, 1);
    EXPECT_EQ(m.Format, "CD");
    EXPECT_EQ(m.DiscIds, QStringList{"49HHV7Eb8UKF3aQiNmu1GR8vKTY-"});
    ASSERT_EQ(m.Tracks.size(), 6);
    EXPECT_EQ(m.TrackCount, 6);
    EXPECT_EQ(m.Tracks[0].Title, "Eins");
    EXPECT_EQ(m.Tracks[0].LengthMs, 202840);
    EXPECT_EQ(m.Tracks[0].RecordingId, "d0000000-0000-4000-8000-000000000001");
    EXPECT_EQ(m.Tracks[2].LengthMs, 190373); // the track's null length falls back to the recording's
    EXPECT_EQ(m.Tracks[4].Title, QString::fromUtf8("Fünf"));
    EXPECT_TRUE(m.Tracks[0].Artist.isEmpty()); // no credit of its own came
}

TEST(MusicBrainzReply, TheFuzzyListAndASearchGiveTheirReleasesAndDropObjectsWithoutAnMbid)
{
    QList<TMbRelease> fuzzy;
    ASSERT_TRUE(ParseDiscIdReply(fixtureBytes("discid-fuzzy.json"), &fuzzy, nullptr));
    ASSERT_EQ(fuzzy.size(), 1); // "not-an-mbid" is left out
    EXPECT_EQ(fuzzy[0].MediumCount, 2);
    EXPECT_EQ(fuzzy[0].Genre, "Rock"); // no release-group genre: the release's own
    EXPECT_EQ(fuzzy[0].Media[1].Position, 2);
    EXPECT_EQ(fuzzy[0].Media[1].Tracks[1].Title, "D");

    QList<TMbRelease> found;
    ASSERT_TRUE(ParseSearchReply(fixtureBytes("release-search.json"), &found, nullptr));
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].Score, 100);
    EXPECT_EQ(found[0].Artist, "Someone"); // a credit without a join phrase
    EXPECT_EQ(found[0].Date, "1990-10");
    ASSERT_EQ(found[0].Media.size(), 2);
    EXPECT_EQ(found[0].Media[1].TrackCount, 12);
    EXPECT_EQ(found[0].Media[1].Position, 2); // a search's media have no positions: their order
    EXPECT_TRUE(found[0].Media[1].Tracks.isEmpty());
    EXPECT_EQ(found[1].Media[0].Format, "Digital Media");
    EXPECT_TRUE(found[1].ReleaseGroupId.isEmpty());
}

TEST(MusicBrainzReply, HostileRepliesAreRefusedOrReadWithoutTheirBadParts)
{
    struct Refused {
        const char* name;
        QByteArray body;
        const char* reason;
    } refused[] = {
        {"no JSON", "<html>busy</html>", "The reply is no JSON object"},
        {"an array", "[1,2]", "The reply is no JSON object"},
        {"truncated", R"({"releases":[{"id":)", "The reply is no JSON object"},
        {"an error object", R"({"error":"Not Found"})", "The reply holds no release list"},
        {"releases of the wrong type", R"({"releases":"all"})", "The reply holds no release list"},
    };
    for (const Refused& c : refused) {
        QList<TMbRelease> releases;
        QString why;
        EXPECT_FALSE(ParseDiscIdReply(c.body, &releases, &why)) << c.name;
        EXPECT_EQ(why, c.reason) << c.name;
    }
    TMbRelease one;
    QString why;
    EXPECT_FALSE(ParseReleaseReply(R"({"id":"../../etc","title":"x"})", &one, &why));
    EXPECT_EQ(why, "The reply holds no release");

    // Wrong types are missing values; numbers out of range are ignored; counts are capped.
    QByteArray odd = R"({"releases":[{"id":"a0000000-0000-4000-8000-000000000001","title":7,"date":["x"],
        "artist-credit":"nobody","media":[{"position":-3,"track-count":1e12,"discs":"none",
        "tracks":[{"title":"T","length":-5,"recording":{"length":"long","id":"x"}},{"length":1e300}]}]}]})";
    QList<TMbRelease> releases;
    ASSERT_TRUE(ParseDiscIdReply(odd, &releases, nullptr));
    ASSERT_EQ(releases.size(), 1);
    EXPECT_TRUE(releases[0].Title.isEmpty());
    EXPECT_TRUE(releases[0].Date.isEmpty());
    EXPECT_TRUE(releases[0].Artist.isEmpty());
    ASSERT_EQ(releases[0].Media.size(), 1);
    EXPECT_EQ(releases[0].Media[0].Position, 1);
    EXPECT_EQ(releases[0].Media[0].TrackCount, 2); // the tracks that came, not the count claimed
    EXPECT_EQ(releases[0].Media[0].Tracks[0].LengthMs, -1);
    EXPECT_TRUE(releases[0].Media[0].Tracks[0].RecordingId.isEmpty());
    EXPECT_EQ(releases[0].Media[0].Tracks[1].LengthMs, -1);

    ParseSearchReply(R"({"releases":[{"id":"a0000000-0000-4000-8000-000000000001","title":")" + QByteArray(5000, 't') +
                         R"("}]})",
                     &releases, nullptr);
    EXPECT_EQ(releases.value(0).Title.size(), 1000);

    // Control characters (ESC, BEL, BS, NUL) and bidirectional controls become spaces in every value:
    // a NUL would cut a tag, an ESC reach a terminal, U+202E show a name reversed.
    ASSERT_TRUE(ParseSearchReply(
        R"({"releases":[{"id":"a0000000-0000-4000-8000-000000000001","title":"A\u001b[31mB\u0007C\bD\u0000E\u202eF",
            "artist-credit":[{"name":"X\u2066Y","joinphrase":"\n"}]}]})",
        &releases, nullptr));
    ASSERT_EQ(releases.size(), 1);
    EXPECT_EQ(releases[0].Title, "A [31mB C D E F");
    EXPECT_TRUE(releases[0].Artist.startsWith("X Y")) << releases[0].Artist.toStdString();
    EXPECT_FALSE(releases[0].Artist.contains(QChar(u'\n')));

    QByteArray many = R"({"releases":[)";
    for (int i = 0; i < MaxReplyReleases + 20; ++i)
        many += QByteArray(i ? "," : "") + R"({"id":"a0000000-0000-4000-8000-)" + QByteArray::number(100000000000LL + i) + R"("})";
    many += "]}";
    ASSERT_TRUE(ParseSearchReply(many, &releases, nullptr));
    EXPECT_EQ(releases.size(), MaxReplyReleases);
}

TEST(MusicBrainzReply, TheServicesWordsComeFromItsErrorObjectOnOneShortLine)
{
    EXPECT_EQ(ServiceErrorText(R"({"error":"Your requests are\nexceeding the limit.","help":"see"})"),
              "Your requests are exceeding the limit.");
    EXPECT_EQ(ServiceErrorText("<html>503</html>"), "");
    EXPECT_EQ(ServiceErrorText(R"({"error":42})"), "");
    EXPECT_EQ(ServiceErrorText(R"({"error":")" + QByteArray(500, 'x') + R"("})").size(), 200);
}

TEST(MusicBrainzReply, GenresAreCapitalisedAsFreedbWritesThem)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"rock", "Rock"},
        {"alternative rock", "Alternative Rock"},
        {"hip-hop", "Hip-Hop"},
        {"drum and bass", "Drum and Bass"},
        {"r&b", "R&B"},
        {"music of the world", "Music of the World"},
        {"  synth   pop ", "Synth Pop"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CapitaliseGenre(c.in), c.out) << c.in;
}

TEST(MusicBrainzReply, OnlyLowerCaseUuidsAreMbids)
{
    EXPECT_TRUE(IsMbid("5a4d3f2e-1b0c-4d9e-8f7a-6b5c4d3e2f1a"));
    for (const char* bad : {"5A4D3F2E-1B0C-4D9E-8F7A-6B5C4D3E2F1A", "5a4d3f2e1b0c-4d9e-8f7a-6b5c4d3e2f1a-",
                            "5a4d3f2e-1b0c-4d9e-8f7a-6b5c4d3e2f1", "../../../../../../../../../../../..", ""})
        EXPECT_FALSE(IsMbid(bad)) << bad;
}
