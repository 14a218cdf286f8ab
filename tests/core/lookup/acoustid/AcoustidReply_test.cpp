#include "core/lookup/acoustid/AcoustidReply.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace cantorix;

namespace {

const QString Rec = "11111111-2222-3333-4444-555555555555";
const QString Rel = "aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee";
const QString Aid = "9ff43b6a-4f16-427c-93c2-92307ca505e0";

QByteArray reply(const QJsonArray& results)
{
    return QJsonDocument(QJsonObject{{"status", "ok"}, {"results", results}}).toJson(QJsonDocument::Compact);
}

QJsonObject medium(int position, int trackCount, const QJsonArray& tracks)
{
    return QJsonObject{{"position", position}, {"format", "CD"}, {"track_count", trackCount}, {"tracks", tracks}};
}

QJsonObject result(double score, const QJsonArray& media)
{
    const QJsonObject release{{"id", Rel},
                              {"title", "Album"},
                              {"date", QJsonObject{{"year", 1998}, {"month", 5}}},
                              {"medium_count", 2},
                              {"artists", QJsonArray{QJsonObject{{"name", "A"}, {"joinphrase", " & "}}, QJsonObject{{"name", "B"}}}},
                              {"mediums", media}};
    const QJsonObject group{{"id", Rel}, {"type", "Album"}, {"secondarytypes", QJsonArray{"Compilation"}},
                            {"releases", QJsonArray{release}}};
    const QJsonObject recording{{"id", Rec}, {"title", "Song"}, {"duration", 200}, {"releasegroups", QJsonArray{group}}};
    return QJsonObject{{"id", Aid}, {"score", score}, {"recordings", QJsonArray{recording}}};
}

} // namespace

TEST(AcoustidReply, ReadsTheNestedRecordsOfACompressedReply)
{
    QList<TAidResult> results;
    QString error;
    ASSERT_TRUE(ParseAcoustidReply(reply({result(0.93, {medium(2, 12, {QJsonObject{{"position", 4}, {"title", "Song"}}})})}),
                                   &results, &error));
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results[0].Id, Aid);
    EXPECT_DOUBLE_EQ(results[0].Score, 0.93);
    ASSERT_EQ(results[0].Recordings.size(), 1);
    const TAidReleaseGroup& g = results[0].Recordings[0].Groups.value(0);
    EXPECT_EQ(g.Type, "Album");
    EXPECT_EQ(g.SecondaryTypes, QStringList{"Compilation"});
    const TAidRelease& r = g.Releases.value(0);
    EXPECT_EQ(r.Artist, "A & B");
    EXPECT_EQ(r.Date, "1998-05");
    EXPECT_EQ(r.MediumCount, 2);
    ASSERT_EQ(r.Media.size(), 1);
    EXPECT_EQ(r.Media[0].Position, 2);
    EXPECT_EQ(r.Media[0].TrackCount, 12);
    ASSERT_EQ(r.Media[0].Tracks.size(), 1);
    EXPECT_EQ(r.Media[0].Tracks[0].Position, 4);
}

TEST(AcoustidReply, HostileRepliesEndWithOneLineOrLeaveTheBadPartsOut)
{
    struct Case {
        const char* name;
        QByteArray body;
        bool ok;
        int results;
        QString error;
        int code;
    };
    QJsonArray many;
    for (int i = 0; i < 10000; ++i) many << result(0.5, {});
    const QList<Case> cases = {
        {"not JSON", "<html>502 Bad Gateway</html>", false, 0, "The AcoustID reply is not JSON", 0},
        {"not an object", "[1,2]", false, 0, "The AcoustID reply is not JSON", 0},
        {"error reply", R"({"status":"error","error":{"code":4,"message":"invalid API key"}})", false, 0, "invalid API key", 4},
        {"error without words", R"({"status":"error","error":{}})", false, 0, "The AcoustID service reported an error", 0},
        {"no results", R"({"status":"ok"})", false, 0, "The AcoustID reply holds no results", 0},
        {"empty results", R"({"status":"ok","results":[]})", true, 0, "", 0},
        {"10,000 results", reply(many), true, MaxAidResults, "", 0},
        {"score above 1", reply({result(1.5, {})}), true, 0, "", 0},
        {"score below 0", reply({result(-0.1, {})}), true, 0, "", 0},
        {"score as text", R"({"status":"ok","results":[{"id":"9ff43b6a-4f16-427c-93c2-92307ca505e0","score":"0.9"}]})", true, 0, "", 0},
        {"no AcoustID", R"({"status":"ok","results":[{"id":"x","score":0.9}]})", true, 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<TAidResult> results;
        QString error;
        int code = -1;
        EXPECT_EQ(ParseAcoustidReply(c.body, &results, &error, &code), c.ok);
        EXPECT_EQ(results.size(), c.results);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(code, c.code);
    }
}

TEST(AcoustidReply, TracksThatCannotPlaceAFileAreDropped)
{
    // A medium without tracks stays (the vote passes it by); tracks without a place or beyond the
    // medium's count go.
    const QJsonArray tracks{QJsonObject{{"title", "no place"}}, QJsonObject{{"position", 13}},
                            QJsonObject{{"position", 0}}, QJsonObject{{"position", 3}}};
    QList<TAidResult> results;
    QString error;
    ASSERT_TRUE(ParseAcoustidReply(reply({result(0.9, {medium(1, 12, {}), medium(2, 12, tracks)})}), &results, &error));
    const TAidRelease& r = results[0].Recordings[0].Groups[0].Releases[0];
    ASSERT_EQ(r.Media.size(), 2);
    EXPECT_TRUE(r.Media[0].Tracks.isEmpty());
    ASSERT_EQ(r.Media[1].Tracks.size(), 1);
    EXPECT_EQ(r.Media[1].Tracks[0].Position, 3);
}
