#include "core/lookup/acoustid/AcoustidService.h"

#include "support/AidTestServer.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

using namespace cantorix;
using test::AidTestRelease;
using test::AidTestServer;
using test::waitUntil;
using Kind = TAcoustidClient::TResult::Kind;

namespace {

struct Client {
    TAidRateLimiter limiter;
    TAcoustidClient client;
    QStringList log;

    explicit Client(const AidTestServer& server, const QString& key = AidTestServer::Key)
    {
        TAcoustidConfig config;
        config.Server = server.base();
        config.ClientKey = key;
        client.setConfig(config);
        client.setRateLimiter(&limiter);
        QObject::connect(&client, &TAcoustidClient::logLine, [this](const QString& l) { log << l; });
    }
    TAcoustidClient::TResult lookup(const QByteArray& print, int duration = 30)
    {
        TAcoustidClient::TResult out;
        bool done = false;
        client.lookup(duration, print, [&](const TAcoustidClient::TResult& r) {
            out = r;
            done = true;
        });
        EXPECT_TRUE(waitUntil([&] { return done; }, 30000));
        return out;
    }
};

} // namespace

TEST(AcoustidService, LooksUpByPostWithTheDocumentedFields)
{
    AidTestServer server;
    ASSERT_TRUE(server.start());
    // A fingerprint as long as a real one: the body goes compressed.
    const QByteArray print = QByteArray("AQAA").append(QByteArray(3000, 'x'));
    server.add(AidTestRelease{"Album", "Artist", {{{"One", print}}}});
    Client c(server);
    const TAcoustidClient::TResult r = c.lookup(print, 31);
    ASSERT_EQ(r.kind, Kind::Answered) << r.Reason.toStdString();
    ASSERT_EQ(r.Results.size(), 1);
    EXPECT_EQ(r.Results[0].Recordings.value(0).Title, "One");
    const test::HttpRequest& sent = server.requests().last();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.headers.value("content-encoding"), "gzip");
    EXPECT_TRUE(sent.headers.value("user-agent").startsWith("Cantorix/"));
    EXPECT_EQ(server.lastForm().queryItemValue("duration"), "31");
    EXPECT_EQ(server.lastForm().queryItemValue("meta"), "recordings+releasegroups+releases+tracks+compress");

    // A short body goes as it is.
    EXPECT_EQ(c.lookup("AQAAshort").kind, Kind::Answered);
    EXPECT_FALSE(server.requests().last().headers.contains("content-encoding"));
}

TEST(AcoustidService, KeepsThePaceAndWaitsWhenBusy)
{
    AidTestServer server;
    ASSERT_TRUE(server.start());
    Client c(server);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(c.lookup("AQAA").kind, Kind::Answered);
    EXPECT_EQ(server.rateRefusals(), 0);

    server.busyFor(1, "0");
    EXPECT_EQ(c.lookup("AQAA").kind, Kind::Answered);
    ASSERT_FALSE(c.log.isEmpty());
    EXPECT_TRUE(c.log.last().startsWith("AcoustID is busy (service is temporarily unavailable)")) << c.log.last().toStdString();

    server.busyFor(TAcoustidClient::MaxRetries + 1, "0");
    const TAcoustidClient::TResult r = c.lookup("AQAA");
    EXPECT_EQ(r.kind, Kind::Failed);
    EXPECT_EQ(r.Reason, "service is temporarily unavailable");
}

TEST(AcoustidService, SaysTheServicesWords)
{
    AidTestServer server;
    ASSERT_TRUE(server.start());
    {
        Client c(server, "wrong-key");
        const TAcoustidClient::TResult r = c.lookup("AQAA");
        EXPECT_EQ(r.kind, Kind::Failed);
        EXPECT_EQ(r.Code, AidErrorInvalidKey);
        EXPECT_EQ(r.Reason, "AcoustID: invalid API key");
    }
    {
        Client c(server, "");
        EXPECT_EQ(c.lookup("AQAA").Reason, AidNoKeyText());
        EXPECT_EQ(server.lookups(), 1); // nothing was sent without a key
    }
    Client c(server);
    server.setRawReply("<html>Bad Gateway</html>");
    const TAcoustidClient::TResult r = c.lookup("AQAA");
    EXPECT_EQ(r.kind, Kind::Failed);
    EXPECT_EQ(r.Reason, "The AcoustID reply is not JSON");
}

TEST(AcoustidService, FormAndAddresses)
{
    EXPECT_EQ(AidLookupForm("k&x=1", 12, "AQ-_"),
              "client=k%26x%3D1&duration=12&fingerprint=AQ-_&meta=recordings+releasegroups+releases+tracks+compress&format=json");
    EXPECT_EQ(AidServerBase("api.acoustid.org/"), "https://api.acoustid.org");
    EXPECT_EQ(AidServerBase("ftp://x"), "");
    const QByteArray text(5000, 'a');
    const QByteArray packed = GzipCompress(text);
    ASSERT_GE(packed.size(), 18);
    EXPECT_EQ(uchar(packed[0]), 0x1f);
    EXPECT_EQ(uchar(packed[1]), 0x8b);
    EXPECT_LT(packed.size(), text.size());
}
