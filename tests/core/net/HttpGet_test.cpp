// The download into memory, through the real network module against a local server.
#include "core/net/HttpGet.h"

#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

using namespace cantorix;
using test::HttpRequest;
using test::HttpResponse;

namespace {

struct Download {
    bool done = false, failed = false;
    QByteArray bytes; // the body when it ended well
    QList<QPair<qint64, qint64>> progress; // (received, total)
    QString error;
    bool timedOut = false;
};

Download fetch(const QString& url, qint64 maxBytes = 8 * 1024 * 1024, int timeoutSeconds = 10)
{
    THTTPGet get;
    get.URL = url;
    get.MaxBytes = maxBytes;
    get.TimeoutSeconds = timeoutSeconds;
    Download d;
    QObject::connect(&get, &THTTPGet::progress, [&](qint64 received, qint64 total) { d.progress << qMakePair(received, total); });
    QObject::connect(&get, &THTTPGet::done, [&](const QByteArray& body) {
        d.done = true;
        d.bytes = body;
    });
    QObject::connect(&get, &THTTPGet::error, [&] {
        d.failed = true;
        d.error = get.ErrorText();
        d.timedOut = get.TimedOut();
    });
    get.GetFile();
    get.GetFile(); // ignored while the first runs: one end only
    QDeadlineTimer deadline(20000);
    while (!d.done && !d.failed && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    EXPECT_FALSE(d.done && d.failed);
    return d;
}

HttpResponse raw(const QByteArray& bytes)
{
    HttpResponse r;
    r.raw = bytes;
    return r;
}

} // namespace

TEST(HTTPGet, AWholeReplyArrivesWithItsProgress)
{
    const QByteArray body(3000, 'x');
    test::LocalHttpServer server([&](const HttpRequest&) {
        HttpResponse r;
        r.body = body;
        return r;
    });
    ASSERT_TRUE(server.start());
    const Download d = fetch(server.url("/search/The+Band"));
    ASSERT_TRUE(d.done) << d.error.toStdString();
    EXPECT_EQ(d.bytes, body);
    ASSERT_FALSE(d.progress.isEmpty());
    EXPECT_EQ(d.progress.last(), qMakePair(qint64(3000), qint64(3000)));

    ASSERT_EQ(server.requests().size(), 1);
    const HttpRequest& request = server.requests()[0];
    EXPECT_EQ(request.target, "/search/The+Band");
    EXPECT_EQ(request.headers.value("user-agent"), "Cantorix/" CANTORIX_VERSION);
}

TEST(HTTPGet, OnlyACompleteSuccessfulReplyCounts)
{
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n";
    struct Case {
        const char* name;
        HttpResponse response;
        qint64 maxBytes;
        bool ok;
        QByteArray body;
    } cases[] = {
        {"chunked, no length announced",
         raw(head + "Transfer-Encoding: chunked\r\n\r\n5\r\nHello\r\n7\r\n, world\r\n0\r\n\r\n"), 1000, true,
         "Hello, world"},
        {"no length, the connection ends the body", raw(head + "\r\nuntil the end"), 1000, true, "until the end"},
        {"an empty body", raw(head + "Content-Length: 0\r\n\r\n"), 1000, true, ""},
        {"404", HttpResponse{404, "Not Found", "text/html", "<html>no such entry</html>"}, 1000, false, {}},
        {"500", HttpResponse{500, "Internal Server Error", "text/html", "oops"}, 1000, false, {}},
        {"fewer bytes than announced", raw(head + "Content-Length: 100\r\n\r\nonly this"), 1000, false, {}},
        {"a body over the limit", HttpResponse{200, "OK", "text/html", QByteArray(2000, 'y')}, 1000, false, {}},
        {"a chunked body over the limit",
         raw(head + "Transfer-Encoding: chunked\r\n\r\n7d0\r\n" + QByteArray(2000, 'z') + "\r\n0\r\n\r\n"), 1000,
         false, {}},
    };
    for (const Case& c : cases) {
        test::LocalHttpServer server([&](const HttpRequest&) { return c.response; });
        ASSERT_TRUE(server.start());
        const Download d = fetch(server.url("/freedb/rock/920b810c"), c.maxBytes);
        EXPECT_EQ(d.done, c.ok) << c.name << ": " << d.error.toStdString();
        EXPECT_EQ(d.failed, !c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(d.bytes, c.body) << c.name;
        }
        EXPECT_FALSE(d.timedOut) << c.name;
    }
}

TEST(HTTPGet, ABadAddressOrSilenceFails)
{
    const Download bad = fetch("ftp://127.0.0.1/x");
    EXPECT_TRUE(bad.failed);
    EXPECT_EQ(bad.error, "Invalid URL");

    test::LocalHttpServer server([](const HttpRequest&) {
        HttpResponse r;
        r.hang = true;
        return r;
    });
    ASSERT_TRUE(server.start());
    const Download silent = fetch(server.url("/search/x"), 1000, 1);
    EXPECT_TRUE(silent.failed);
    EXPECT_TRUE(silent.timedOut);
}
