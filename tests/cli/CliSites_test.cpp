// cantorix-cli sites end to end: the real HTTP client against a freedb server on 127.0.0.1 answering
// with real server replies; the list printed as the options window would store it.
#include "support/CddbTestSite.h"
#include "support/CliRunner.h"
#include "support/LocalHttpServer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

using namespace cantorix;
using namespace cantorix::test;

namespace {

TEST(CliSites, PrintsTheListAsTheWindowStoresIt)
{
    struct Case {
        const char* name;
        QByteArray body;
        int exitCode;
        QString out;
        QString err; // a part of stderr
    };
    const Case cases[] = {
        {"level 6 list", transcriptFixtureBody("17-sites-proto6.txt"), 0, "freedb.example\nlocalhost\n", "[SM] Got sites"},
        {"level 1 list", transcriptFixtureBody("18-sites-proto1.txt"), 1, "", "no HTTP server on port 80 (0 records)"},
        {"401", "401 No site information available.\r\n", 1, "", "cantorix-cli: No site information available"},
        {"junk", "junk\r\n", 1, "", "did not answer as a freedb server"},
    };
    TempDir dir;
    writeText(dir.file("c.ini"), "[Connection]\nServer=not-asked.example\nTimeout=5\n");
    for (const Case& c : cases) {
        LocalHttpServer server;
        ASSERT_TRUE(server.start());
        CddbTestSite site;
        site.onBody("sites", c.body);
        server.setHandler(site.handler());
        const CliResult r = runCliServing(QStringList{"sites", "--server", server.hostAndPort(), "--settings", QString::fromStdString(dir.file("c.ini"))});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_TRUE(r.err.contains(c.err)) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(server.requests().size(), 1) << c.name;
    }
    // Printing stores nothing.
    EXPECT_EQ(readText(dir.file("c.ini")), "[Connection]\nServer=not-asked.example\nTimeout=5\n");
}

TEST(CliSites, WrongArguments)
{
    const CliResult r = runCliServing(QStringList{"sites", "extra"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("usage:"));
    // A server that is no address is refused before anything is asked, as the options window refuses it.
    for (const QStringList& args : {QStringList{"sites", "--server", "host:99999"},
                                    QStringList{"lookup", "/nonexistent", "--server", "ftp://x.example"}}) {
        const CliResult refused = runCliServing(args);
        EXPECT_EQ(refused.exitCode, 2) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("--server \"" + args.last() + "\": ")) << refused.err.toStdString();
    }
}

} // namespace
