#include "core/lookup/musicbrainz/CoverArt.h"

#include "support/MbTestServer.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <sys/stat.h>

using namespace cantorix;
using test::MbTestMedium;
using test::MbTestRelease;
using test::MbTestServer;

namespace {

using Kind = TCoverArtFetch::TResult::Kind;

struct Fetched {
    bool done = false;
    TCoverArtFetch::TResult result;
    QStringList log;
};

Fetched fetch(const QString& base, const QString& releaseId)
{
    TMusicBrainzConfig config;
    config.CoverServer = base;
    TCoverArtFetch cover(config);
    Fetched f;
    QObject::connect(&cover, &TCoverArtFetch::logLine, [&](const QString& l) { f.log << l; });
    QObject::connect(&cover, &TCoverArtFetch::finished, [&](const TCoverArtFetch::TResult& r) {
        f.done = true;
        f.result = r;
    });
    if (!cover.start(releaseId)) return f;
    QDeadlineTimer deadline(10000);
    while (!f.done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return f;
}

QByteArray bytesOf(const std::string& path)
{
    const test::Bytes b = test::readFile(path);
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

} // namespace

TEST(MusicBrainzCover, TheFrontCoverFollowsItsRedirectAndAReleaseWithoutOneSaysSo)
{
    MbTestServer server;
    MbTestRelease with{"With Cover", {{"A", ""}}, {MbTestMedium{{{"T", 1000}}}}};
    with.cover = true;
    MbTestRelease without{"Without Cover", {{"A", ""}}, {MbTestMedium{{{"T", 1000}}}}};
    server.add(with);
    server.add(without);
    ASSERT_TRUE(server.start());

    const Fetched found = fetch(server.base(), with.mbid());
    ASSERT_TRUE(found.done);
    EXPECT_EQ(found.result.kind, Kind::Found) << found.result.Reason.toStdString();
    EXPECT_EQ(found.result.Image, MbTestServer::coverImage(with.mbid()));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[0].path, "/release/" + with.mbid() + "/front-500");
    EXPECT_EQ(server.requests()[1].path, "/img/" + with.mbid() + "-500.jpg");
    EXPECT_TRUE(server.requests()[1].headers.value("user-agent").startsWith("Cantorix/"));

    const Fetched none = fetch(server.base(), without.mbid());
    ASSERT_TRUE(none.done);
    EXPECT_EQ(none.result.kind, Kind::None);
    EXPECT_TRUE(none.result.Image.isEmpty());
    EXPECT_EQ(none.log.value(0), "[DE] GET " + server.base() + "/release/" + without.mbid() + "/front-500");
    EXPECT_EQ(none.log.value(1), "The release has no front cover");

    // What is no JPEG is no cover; an ID that is no MBID never reaches the server.
    server.http().setHandler([](const test::HttpRequest&) {
        return test::HttpResponse{200, "OK", "text/html", "<html>not an image</html>"};
    });
    const Fetched page = fetch(server.base(), with.mbid());
    EXPECT_EQ(page.result.kind, Kind::Failed);
    EXPECT_EQ(page.result.Reason, "The cover is no JPEG image");
    const qsizetype before = server.requests().size();
    const Fetched bad = fetch(server.base(), "../../etc/passwd");
    EXPECT_FALSE(bad.done);
    EXPECT_EQ(bad.log, QStringList{"No cover: \"../../etc/passwd\" is no MusicBrainz release ID"});
    EXPECT_EQ(server.requests().size(), before);
}

TEST(MusicBrainzCover, TheCoverIsSavedAsFolderJpgButNeverOverAnExistingEntry)
{
    const QByteArray image = MbTestServer::coverImage("x");
    test::TempDir dir;
    const std::string target = dir.file("folder.jpg");

    const TCoverSaveResult saved = SaveCoverImage(QString::fromStdString(dir.str()), image);
    EXPECT_EQ(saved.kind, TCoverSaveResult::Kind::Saved) << saved.Reason.toStdString();
    EXPECT_EQ(saved.Path.toStdString(), target);
    EXPECT_EQ(bytesOf(target), image);

    // A second cover keeps the first; so does a folder.jpg of the user, and a dangling link of that name.
    const TCoverSaveResult again = SaveCoverImage(QString::fromStdString(dir.str() + "/"), MbTestServer::coverImage("y"));
    EXPECT_EQ(again.kind, TCoverSaveResult::Kind::Kept);
    EXPECT_EQ(bytesOf(target), image);
    test::TempDir linked;
    ASSERT_EQ(::symlink("/nonexistent/cover.jpg", linked.file("folder.jpg").c_str()), 0);
    EXPECT_EQ(SaveCoverImage(QString::fromStdString(linked.str()), image).kind, TCoverSaveResult::Kind::Kept);

    struct Case {
        const char* name;
        std::string folder;
        QByteArray image;
        const char* reason;
    } failures[] = {
        {"no such folder", dir.file("missing"), image, "No such file or directory"},
        {"no JPEG", dir.str(), "GIF89a", "The cover is no JPEG image"},
    };
    for (const Case& c : failures) {
        const TCoverSaveResult r = SaveCoverImage(QString::fromStdString(c.folder), c.image);
        EXPECT_EQ(r.kind, TCoverSaveResult::Kind::Failed) << c.name;
        EXPECT_EQ(r.Reason, c.reason) << c.name;
    }
    if (::geteuid() != 0) {
        test::TempDir locked;
        ASSERT_EQ(::chmod(locked.str().c_str(), 0500), 0);
        EXPECT_EQ(SaveCoverImage(QString::fromStdString(locked.str()), image).kind, TCoverSaveResult::Kind::Failed);
        ::chmod(locked.str().c_str(), 0700);
    }
    // Nothing but the cover is left behind.
    EXPECT_EQ(test::listFiles(dir.str()), std::vector<std::string>{"folder.jpg"});
}
