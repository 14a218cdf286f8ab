#include "core/lookup/musicbrainz/ReleaseMatch.h"

#include "support/QtPrinters.h"
#include "support/TrackLengths.h"

#include <gtest/gtest.h>

using namespace cantorix;
using test::timeOnly;

namespace {

QList<TTrackLength> files(std::initializer_list<qint64> values)
{
    QList<TTrackLength> out;
    for (qint64 v : values) out << timeOnly(v);
    return out;
}

TMbMedium medium(int position, std::initializer_list<qint64> lengths, QStringList discIds = {}, QString format = "CD")
{
    TMbMedium m;
    m.Position = position;
    m.Format = format;
    m.DiscIds = discIds;
    int k = 0;
    for (qint64 l : lengths) m.Tracks << TMbTrack{QString("T%1").arg(++k), {}, {}, {}, l};
    m.TrackCount = int(m.Tracks.size());
    return m;
}

TMbRelease release(const QString& id, QList<TMbMedium> media)
{
    TMbRelease r;
    r.Id = id;
    r.Title = "Album " + id.left(1);
    r.Artist = "Band";
    r.Media = media;
    r.MediumCount = int(media.size());
    return r;
}

} // namespace

TEST(MusicBrainzMatch, ThePerTrackDifferenceIsTheMeanOverTracksWithBothLengths)
{
    struct Case {
        const char* name;
        QList<TTrackLength> files;
        TMbMedium medium;
        qint64 delta;
    } cases[] = {
        {"equal", files({180000, 240000}), medium(1, {180000, 240000}), 0},
        {"2 s and 3 s off", files({180000, 240000}), medium(1, {182000, 237000}), 2500},
        {"an unknown track length is left out", files({180000, 240000}), medium(1, {-1, 244000}), 4000},
        {"no length known", files({180000, 240000}), medium(1, {-1, -1}), -1},
        {"an unknown file is left out", QList<TTrackLength>{TTrackLength{}, timeOnly(1000)}, medium(1, {5000, 1500}), 500},
        {"other track count", files({180000}), medium(1, {180000, 240000}), -1},
    };
    for (const Case& c : cases) EXPECT_EQ(MediumDeltaMs(c.medium, c.files), c.delta) << c.name;
}

TEST(MusicBrainzMatch, TheMediumWithTheFilesCountAndTheirDiscIdOrClosestLengthsIsChosen)
{
    const QList<TTrackLength> album = files({200000, 300000});
    struct Case {
        const char* name;
        TMbRelease release;
        QString discId;
        int medium;
        qint64 delta;
    } cases[] = {
        {"the closer of two", release("a", {medium(1, {150000, 300000}), medium(2, {201000, 299000})}), "", 1, 1000},
        {"the one with the disc ID, though farther",
         release("a", {medium(1, {200000, 300000}), medium(2, {205000, 300000}, {"ID"})}), "ID", 1, 2500},
        {"only one has the count", release("a", {medium(1, {200000}), medium(2, {100000, 100000})}), "", 1, 150000},
        {"none has the count", release("a", {medium(1, {200000}), medium(2, {1, 2, 3})}), "", -1, -1},
        {"without lengths the first fitting", release("a", {medium(1, {-1, -1}), medium(2, {-1, -1})}), "", 0, -1},
    };
    for (const Case& c : cases) {
        qint64 delta = -2;
        EXPECT_EQ(ChooseMedium(c.release, album, c.discId, &delta), c.medium) << c.name;
        EXPECT_EQ(delta, c.delta) << c.name;
    }
    EXPECT_EQ(NearestMedium(release("a", {medium(1, {1, 2, 3, 4}), medium(2, {1}), medium(3, {1, 2, 3})}), 2), 1);
    EXPECT_EQ(NearestMedium(release("a", {}), 2), -1);
}

TEST(MusicBrainzMatch, DiscCandidatesAreRankedByTheirDifferenceNotByTheServicesOrder)
{
    const QList<TTrackLength> album = files({100000, 200000, 300000});
    const QList<TMbRelease> service{
        release("s", {medium(1, {200000, 100000, 300000})}), // swapped: the service's coarse order puts it first
        release("n", {medium(1, {-1, -1, -1})}),             // no lengths at all
        release("t", {medium(1, {100400, 199700, 300000})}),
        release("w", {medium(1, {100000, 200000})}),         // another track count
        release("u", {medium(1, {100000, 200000, 300100})}),
    };
    const QList<TMbCandidate> ranked = RankDiscCandidates(service, album, "");
    QStringList order;
    for (const TMbCandidate& c : ranked) order << c.Release.Id;
    EXPECT_EQ(order, (QStringList{"u", "t", "s", "n"}));
    EXPECT_EQ(ranked[0].DeltaMs, 33);
    EXPECT_EQ(ranked[1].DeltaMs, 233);
    EXPECT_EQ(ranked[3].DeltaMs, -1);

    // A search knows no lengths: the fitting track counts first, the service's order among them.
    QList<TMbRelease> found{release("x", {medium(1, {1, 2})}), release("y", {medium(1, {1}), medium(2, {1, 2, 3})}),
                            release("z", {medium(1, {1, 2, 3})}), release("e", {})};
    QStringList searchOrder;
    for (const TMbCandidate& c : RankSearchCandidates(found, 3)) searchOrder << c.Release.Id + QString::number(c.Medium);
    EXPECT_EQ(searchOrder, (QStringList{"y1", "z0", "x0", "e-1"}));
}

TEST(MusicBrainzMatch, ACandidateLineNamesWhatIsKnown)
{
    TMbCandidate full;
    full.Release = release("a", {medium(1, {1}), medium(2, {1}, {}, "Vinyl")});
    full.Release.Artist = "Orchester & Chor";
    full.Release.Title = "Sechs Stücke";
    full.Release.Date = "1998-05-12";
    full.Release.Country = "DE";
    full.Medium = 1;
    full.DeltaMs = 2449;
    EXPECT_EQ(CandidateLine(full),
              QString::fromUtf8("Orchester & Chor — Sechs Stücke (1998-05-12, DE, Vinyl, medium 2 of 2) · Δ 2.4 s"));

    TMbCandidate bare;
    bare.Release = release("b", {medium(1, {1}, {}, "")});
    bare.Release.Artist.clear();
    bare.Release.Title = "Untitled\nline";
    bare.Medium = 0;
    EXPECT_EQ(CandidateLine(bare), "Untitled line");

    TMbCandidate single;
    single.Release = release("c", {medium(1, {1})});
    single.Release.Disambiguation = "remaster";
    single.Medium = 0;
    single.DeltaMs = 0;
    EXPECT_EQ(CandidateLine(single), QString::fromUtf8("Band — Album c [remaster] (CD) · Δ 0.0 s"));
}

TEST(MusicBrainzMatch, TheRecordHasTheReleasesFieldsAndVariousArtistsTitlesWithTheirArtists)
{
    TMbRelease r = release("a0000000-0000-4000-8000-000000000001", {medium(1, {1, 2}), medium(2, {1, 2, 3})});
    r.Artist = "Orchester & Chor";
    r.ArtistIds = {"x", "y"};
    r.ReleaseGroupId = "g";
    r.Genre = "Classical";
    r.Title = "Werke";
    r.Media[1].Tracks[1].RecordingId = "rec";
    struct Case {
        const char* name;
        QString date;
        QStringList trackArtists; // of medium 2
        QString year;
        QStringList titles;
    } cases[] = {
        {"one artist", "1998-05-12", {"", "Orchester & Chor", ""}, "1998", {"T1", "T2", "T3"}},
        {"various artists", "2001", {"A", "", "B feat. C"}, "2001",
         {"A / T1", "Orchester & Chor / T2", "B feat. C / T3"}},
        {"no usable year", "19xx", {"", "", ""}, "", {"T1", "T2", "T3"}},
    };
    for (const Case& c : cases) {
        TMbRelease copy = r;
        copy.Date = c.date;
        for (int k = 0; k < 3; ++k) copy.Media[1].Tracks[k].Artist = c.trackArtists[k];
        const AlbumRecord record = RecordFromRelease(copy, 1);
        EXPECT_EQ(record.Artist, "Orchester & Chor") << c.name;
        EXPECT_EQ(record.Album, "Werke") << c.name;
        EXPECT_EQ(record.Year, c.year) << c.name;
        EXPECT_EQ(record.Genre, "Classical") << c.name;
        EXPECT_EQ(record.MbReleaseId, r.Id) << c.name;
        EXPECT_EQ(record.MbArtistIds, (QStringList{"x", "y"})) << c.name;
        EXPECT_EQ(record.MbReleaseGroupId, "g") << c.name;
        QStringList titles, numbers;
        for (const TrackTitle& t : record.Titles) {
            titles << TitleText(t);
            numbers << t.No;
        }
        EXPECT_EQ(titles, c.titles) << c.name;
        EXPECT_EQ(numbers, (QStringList{"01", "02", "03"})) << c.name;
        EXPECT_EQ(record.Titles[1].MbRecordingId, "rec") << c.name;
        // The medium's position is the disc; the names and tags take the track's artist from its title.
        EXPECT_EQ(record.Disc, "2") << c.name;
        EXPECT_EQ(record.TrackArtists, titles != QStringList({"T1", "T2", "T3"})) << c.name;
    }
    EXPECT_TRUE(RecordFromRelease(r, 5).Titles.isEmpty());

    // A set of two discs: both media, in position order, each numbered from "01" with its disc.
    TMbRelease set = r;
    std::swap(set.Media[0], set.Media[1]); // the reply's order is not the position order
    const AlbumRecord both = RecordFromReleaseSet(set, 2);
    EXPECT_EQ(both.DiscCount, 2);
    QStringList titles;
    for (const TrackTitle& t : both.Titles) titles << QString("%1/%2 %3").arg(t.Disc).arg(t.No, t.Title);
    EXPECT_EQ(titles, (QStringList{"1/01 T1", "1/02 T2", "2/01 T1", "2/02 T2", "2/03 T3"}));
    EXPECT_EQ(DiscOfSet(both, 2).Titles.size(), 3);
    EXPECT_EQ(DiscOfSet(both, 2).Disc, "2");
    EXPECT_TRUE(RecordFromReleaseSet(set, 3).Titles.isEmpty());
}
