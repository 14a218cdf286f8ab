#include "core/net/HttpClient.h"
#include "core/net/HttpModule.h"

#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

using namespace cantorix;
using test::HttpRequest;
using test::HttpResponse;

namespace {

struct Answer {
    bool done = false;
    THttpResponse response;
    QList<QPair<qint64, qint64>> progress;
};

Answer send(THttpClient& http, THttpRequest request)
{
    Answer answer;
    request.Progress = [&answer](qint64 received, qint64 total) { answer.progress << qMakePair(received, total); };
    QString why;
    const bool started = http.Send(request,
                                   [&answer](const THttpResponse& r) {
                                       answer.done = true;
                                       answer.response = r;
                                   },
                                   &why);
    EXPECT_TRUE(started) << why.toStdString();
    if (!started) return answer;
    QDeadlineTimer deadline(10000);
    while (!answer.done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(answer.done);
    return answer;
}

HttpResponse reply(int status, const QByteArray& reason, const QByteArray& body,
                   QList<QPair<QByteArray, QByteArray>> headers = {})
{
    HttpResponse r;
    r.status = status;
    r.reason = reason;
    r.contentType = "application/json";
    r.body = body;
    r.headers = std::move(headers);
    return r;
}

} // namespace

TEST(HttpClientSend, TheCallersHeadersGoOutAndEveryStatusComesBackWithItsHeadersAndBody)
{
    struct Case {
        const char* name;
        HttpResponse response;
        int status;
        QByteArray body;
        QByteArray header, value; // one header of the answer to check
    } cases[] = {
        {"200", reply(200, "OK", R"({"releases":[]})"), 200, R"({"releases":[]})", "Content-Type", "application/json"},
        {"503 with Retry-After", reply(503, "Service Unavailable", R"({"error":"slow down"})", {{"Retry-After", "2"}}),
         503, R"({"error":"slow down"})", "retry-after", "2"},
        {"404 with its reason", reply(404, "Not Found", R"({"error":"Not Found"})"), 404, R"({"error":"Not Found"})",
         "Content-Length", "21"},
        {"403", reply(403, "Forbidden", "no user agent"), 403, "no user agent", "", ""},
    };
    for (const Case& c : cases) {
        test::LocalHttpServer server([&](const HttpRequest&) { return c.response; });
        ASSERT_TRUE(server.start());
        std::unique_ptr<THttpClient> http = NewQtHttpClient();
        THttpRequest request;
        request.Url = server.url("/ws/2/discid/abc?fmt=json");
        request.Headers = {{"User-Agent", "Cantorix/9 ( someone@example.org )"}, {"Accept", "application/json"}};
        const Answer a = send(*http, request);
        EXPECT_EQ(a.response.Error, 0) << c.name << ": " << a.response.ErrorText.toStdString();
        EXPECT_EQ(a.response.Status, c.status) << c.name;
        EXPECT_EQ(a.response.Body, c.body) << c.name;
        if (!c.header.isEmpty()) {
            EXPECT_EQ(a.response.header(c.header), c.value) << c.name;
        }
        EXPECT_TRUE(a.response.header("X-Absent").isEmpty()) << c.name;
        ASSERT_EQ(server.requests().size(), 1) << c.name;
        EXPECT_EQ(server.requests()[0].headers.value("user-agent"), "Cantorix/9 ( someone@example.org )") << c.name;
        EXPECT_EQ(server.requests()[0].headers.value("accept"), "application/json") << c.name;
        if (!c.body.isEmpty()) {
            ASSERT_FALSE(a.progress.isEmpty()) << c.name;
            EXPECT_EQ(a.progress.last(), qMakePair(qint64(c.body.size()), qint64(c.body.size()))) << c.name;
        }
    }
}

TEST(HttpClientSend, RedirectsAreFollowedUpToTheLimitAndNotAtAllWithNone)
{
    const QByteArray image("\xFF\xD8\xFF\xE0 image \xFF\xD9", 14);
    test::LocalHttpServer server;
    server.setHandler([&](const HttpRequest& r) {
        if (r.path == "/release/x/front-500")
            return reply(307, "Temporary Redirect", "", {{"Location", server.url("/img/x.jpg").toLatin1()}});
        if (r.path == "/loop") return reply(307, "Temporary Redirect", "", {{"Location", "/loop"}});
        HttpResponse r2 = reply(200, "OK", image);
        r2.contentType = "image/jpeg";
        return r2;
    });
    ASSERT_TRUE(server.start());
    std::unique_ptr<THttpClient> http = NewQtHttpClient();

    THttpRequest request;
    request.Url = server.url("/release/x/front-500");
    Answer followed = send(*http, request);
    EXPECT_EQ(followed.response.Error, 0) << followed.response.ErrorText.toStdString();
    EXPECT_EQ(followed.response.Status, 200);
    EXPECT_EQ(followed.response.Body, image);
    EXPECT_EQ(followed.response.Url, server.url("/img/x.jpg"));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].headers.value("user-agent"), "Cantorix/" CANTORIX_VERSION);

    request.MaxRedirects = 0;
    Answer kept = send(*http, request);
    EXPECT_EQ(kept.response.Error, 0);
    EXPECT_EQ(kept.response.Status, 307);
    EXPECT_EQ(kept.response.header("location"), server.url("/img/x.jpg").toLatin1());

    request.Url = server.url("/loop");
    request.MaxRedirects = 3;
    const qsizetype before = server.requests().size();
    Answer loop = send(*http, request);
    EXPECT_NE(loop.response.Error, 0);
    EXPECT_LE(server.requests().size() - before, 4); // the first request and three redirects at most
}

TEST(HttpClientSend, AnIncompleteOrOversizedBodyOrNoServerFails)
{
    struct Case {
        const char* name;
        HttpResponse response;
        qint64 maxBytes;
    } cases[] = {
        {"fewer bytes than announced", [] {
             HttpResponse r;
             r.raw = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nonly this";
             return r;
         }(), 1000},
        {"a body over the limit", reply(200, "OK", QByteArray(2000, 'y')), 1000},
        {"an error page over the limit", reply(503, "Service Unavailable", QByteArray(2000, 'y')), 1000},
    };
    for (const Case& c : cases) {
        test::LocalHttpServer server([&](const HttpRequest&) { return c.response; });
        ASSERT_TRUE(server.start());
        std::unique_ptr<THttpClient> http = NewQtHttpClient();
        THttpRequest request;
        request.Url = server.url("/ws/2/release/x");
        request.MaxBodyBytes = c.maxBytes;
        const Answer a = send(*http, request);
        EXPECT_NE(a.response.Error, 0) << c.name;
        EXPECT_FALSE(a.response.ErrorText.isEmpty()) << c.name;
        EXPECT_TRUE(a.response.Body.isEmpty()) << c.name;
    }

    std::unique_ptr<THttpClient> http = NewQtHttpClient();
    THttpRequest bad;
    bad.Url = "ftp://127.0.0.1/x";
    QString why;
    EXPECT_FALSE(http->Send(bad, [](const THttpResponse&) { ADD_FAILURE() << "no answer expected"; }, &why));
    EXPECT_EQ(why, "Invalid URL");
}

// A client that knows only GetAsync (as older fakes do) still answers Send, by its own codes.
TEST(HttpClientSend, AClientWithoutSendOfItsOwnAnswersThroughGetAsync)
{
    struct GetOnly : THttpClient {
        int error = 0;
        QString text;
        QByteArray body;
        bool GetAsync(const QString&, const THttpProxy&, Completion done, QString*) override
        {
            done(error, text, body);
            return true;
        }
        void Abort() override {}
    };
    struct Case {
        int error;
        const char* text;
        QByteArray body;
        int wantError, wantStatus;
        QByteArray wantReason, wantBody;
    } cases[] = {
        {0, "", "data", 0, 200, "OK", "data"},
        {THttpClient::HttpStatusError + 503, "503 Service Unavailable", "", 0, 503, "Service Unavailable", ""},
        {1, "Connection refused", "", 1, 0, "", ""},
        {0, "", QByteArray(20, 'x'), THttpClient::TooLargeError, 0, "", ""},
    };
    for (const Case& c : cases) {
        GetOnly http;
        http.error = c.error;
        http.text = c.text;
        http.body = c.body;
        THttpRequest request;
        request.Url = "http://127.0.0.1/x";
        request.MaxBodyBytes = 10;
        THttpResponse got;
        QString why;
        ASSERT_TRUE(http.Send(request, [&](const THttpResponse& r) { got = r; }, &why));
        EXPECT_EQ(got.Error, c.wantError) << c.text;
        EXPECT_EQ(got.Status, c.wantStatus) << c.text;
        EXPECT_EQ(got.Reason, c.wantReason) << c.text;
        EXPECT_EQ(got.Body, c.wantBody) << c.text;
    }
}

namespace {

struct Got {
    bool done = false;
    int error = -1;
    QString text;
    QByteArray body;
};

// A protocol GET through the real module, waited for.
Got get(const QString& url, const THttpProxy& proxy = {})
{
    std::unique_ptr<THttpClient> http = NewQtHttpClient();
    Got got;
    QString why;
    const bool started = http->GetAsync(url, proxy,
                                        [&got](int error, const QString& text, const QByteArray& body) {
                                            got = {true, error, text, body};
                                        },
                                        &why);
    EXPECT_TRUE(started) << why.toStdString();
    QDeadlineTimer deadline(10000);
    while (started && !got.done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return got;
}

} // namespace

TEST(HttpClientGet, ARedirectIsFollowedOnItsOwnHostOnlyAndAnyOtherNamesTheNewAddress)
{
    test::LocalHttpServer server;
    ASSERT_TRUE(server.start());
    const QString elsewhere = QString("http://127.0.0.2:%1/cgi").arg(server.port());
    server.setHandler([&](const HttpRequest& r) {
        if (r.path == "/old") return reply(301, "Moved Permanently", "", {{"Location", server.url("/new").toUtf8()}});
        if (r.path == "/gone") return reply(302, "Found", "", {{"Location", elsewhere.toUtf8()}});
        if (r.path.startsWith("/loop"))
            return reply(307, "Temporary Redirect", "", {{"Location", server.url(r.path + "x").toUtf8()}});
        return reply(200, "OK", "210 OK\r\n");
    });
    const Got followed = get(server.url("/old"));
    EXPECT_EQ(followed.error, 0) << followed.text.toStdString();
    EXPECT_EQ(followed.body, "210 OK\r\n");

    const Got refused = get(server.url("/gone"));
    EXPECT_EQ(refused.error, THttpClient::RedirectRefused);
    EXPECT_EQ(refused.text, elsewhere);

    const int before = int(server.requests().size());
    const Got looping = get(server.url("/loop"));
    EXPECT_EQ(looping.text, "Too many redirects") << looping.error << " " << looping.text.toStdString();
    EXPECT_LE(server.requests().size() - before, THttpClient::MaxProtocolRedirects + 1);
}

TEST(HttpClientGet, TheSystemProxyServesWhenNoneIsSetAndAFailingProxyIsNamed)
{
    // The local server plays the proxy: it gets the whole address, and a Host header without ":80".
    test::LocalHttpServer proxy([](const HttpRequest&) { return reply(200, "OK", "200 proxied\r\n"); });
    ASSERT_TRUE(proxy.start());
    qputenv("http_proxy", proxy.url("/").toUtf8());
    qputenv("no_proxy", "");
    const Got viaSystem = get("http://cddb.example:80/~cddb/cddb.cgi?cmd=x");
    qunsetenv("http_proxy");
    qunsetenv("no_proxy");
    EXPECT_EQ(viaSystem.error, 0) << viaSystem.text.toStdString();
    ASSERT_EQ(proxy.requests().size(), 1);
    EXPECT_EQ(proxy.requests()[0].headers.value("host"), "cddb.example");

    const Got refused = get("http://cddb.example/~cddb/cddb.cgi", THttpProxy{"127.0.0.1", "1", {}, {}});
    EXPECT_TRUE(THttpClient::IsProxyFailure(refused.error)) << refused.error;
    EXPECT_TRUE(refused.text.startsWith("Cannot connect to the proxy 127.0.0.1:1: ")) << refused.text.toStdString();
}

TEST(HttpClientFetch, ATrickledDownloadEndsAtItsTimeLimit)
{
    // One byte every 100 ms never leaves the download silent, but the whole of it takes far too long.
    test::LocalHttpServer server([](const HttpRequest&) {
        HttpResponse r = reply(200, "OK", QByteArray(1000, 'x'));
        r.trickleMs = 100;
        return r;
    });
    ASSERT_TRUE(server.start());
    std::unique_ptr<THttpClient> http = NewQtHttpClient();
    THttpClient::TFetchOptions options;
    options.SilenceMs = 1000;
    options.TotalMs = 1000;
    Got got;
    QString why;
    ASSERT_TRUE(http->Fetch(server.url("/search/x"), options,
                            [&got](int error, const QString& text, const QByteArray& body) { got = {true, error, text, body}; },
                            &why));
    QDeadlineTimer deadline(10000);
    while (!got.done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(got.done);
    EXPECT_EQ(got.error, THttpClient::SilenceError);
}
