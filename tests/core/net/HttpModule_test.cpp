#include "core/net/HttpModule.h"

#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

using namespace cantorix;
using test::HttpRequest;
using test::HttpResponse;

TEST(HttpModule, TheModuleIsLoadedAtTheFirstRequestAndAnswers)
{
    test::LocalHttpServer server([](const HttpRequest&) {
        HttpResponse r;
        r.body = "210 found\r\n";
        return r;
    });
    ASSERT_TRUE(server.start());
    std::unique_ptr<THttpClient> http = NewQtHttpClient();
    bool done = false;
    int error = -1;
    QByteArray body;
    QString why;
    ASSERT_TRUE(http->GetAsync(server.url("/~cddb/cddb.cgi"), THttpProxy{},
                               [&](int code, const QString&, const QByteArray& b) {
                                   done = true;
                                   error = code;
                                   body = b;
                               },
                               &why))
        << why.toStdString();
    QDeadlineTimer deadline(10000);
    while (!done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(done);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(body, "210 found\r\n");
}

TEST(HttpModule, AModuleThatCannotBeLoadedRefusesEveryRequestWithTheReason)
{
    struct Case {
        const char* module;
        const char* reason; // part of the loader's own words
    } cases[] = {
        {"libcantorix-absent.so", "libcantorix-absent.so: cannot open shared object file"},
        {"libz.so.1", "undefined symbol: cantorix_new_qt_http_client"}, // a library, but not the module
    };
    for (const Case& c : cases) {
        std::unique_ptr<THttpClient> http = NewQtHttpClient(c.module);
        for (int attempt = 0; attempt < 2; ++attempt) {
            QString why;
            bool called = false;
            EXPECT_FALSE(http->GetAsync("http://127.0.0.1:9/", THttpProxy{},
                                        [&](int, const QString&, const QByteArray&) { called = true; }, &why));
            EXPECT_TRUE(why.startsWith("Network support not available: ")) << why.toStdString();
            EXPECT_TRUE(why.contains(c.reason)) << why.toStdString();
            QCoreApplication::processEvents();
            EXPECT_FALSE(called);
        }
        http->Abort(); // nothing in flight: harmless
    }
}
