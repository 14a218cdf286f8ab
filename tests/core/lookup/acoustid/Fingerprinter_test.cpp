#include "core/lookup/acoustid/Fingerprinter.h"

#include "support/AidTestServer.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>

#include <filesystem>

using namespace cantorix;
using test::TempDir;
using test::waitUntil;

namespace {

struct PrintRun {
    TFingerprinter printer;
    QList<TFingerprint> results;
    QString failure;
    int finishedCount = 0;
    int lastDone = -1, lastTotal = -1;

    explicit PrintRun(const TFingerprintConfig& config)
    {
        printer.setConfig(config);
        QObject::connect(&printer, &TFingerprinter::progress, [this](int d, int t) { lastDone = d, lastTotal = t; });
        QObject::connect(&printer, &TFingerprinter::finished, [this](const QList<TFingerprint>& r, const QString& f) {
            results = r;
            failure = f;
            ++finishedCount;
        });
    }
    bool go(const QStringList& files)
    {
        printer.start(files);
        return waitUntil([this] { return finishedCount > 0; }, 120000);
    }
};

// A stand-in for fpcalc: a shell script with the given body.
QString script(const TempDir& dir, const std::string& name, const std::string& body)
{
    const std::string path = dir.file(name);
    test::writeText(path, "#!/bin/sh\n" + body);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return QString::fromStdString(path);
}

QString path(const TempDir& dir, const std::string& name) { return QString::fromStdString(dir.file(name)); }

} // namespace

TEST(Fingerprinter, ParsesFpcalcJsonAndRefusesHalfResults)
{
    int seconds = 0;
    QByteArray print;
    EXPECT_TRUE(ParseFpcalcJson(R"({"duration": 20.51, "fingerprint": "AQAA3W0i_-x"})", &seconds, &print));
    EXPECT_EQ(seconds, 21);
    EXPECT_EQ(print, "AQAA3W0i_-x");
    for (const char* bad : {"", R"({"duration": 20.00)", R"({"duration": 20, "fingerprint": ""})",
                            R"({"duration": -1, "fingerprint": "AQAA"})", R"({"duration": 20, "fingerprint": "AQ AA"})",
                            R"({"fingerprint": "AQAA"})"})
        EXPECT_FALSE(ParseFpcalcJson(bad, &seconds, &print)) << bad;
}

TEST(Fingerprinter, FingerprintsRealFilesAndKeepsThemForNextTime)
{
    if (QStandardPaths::findExecutable("fpcalc").isEmpty()) GTEST_SKIP() << "fpcalc (libchromaprint-tools) is not installed";
    TempDir dir;
    for (int i = 0; i < 3; ++i) test::writeMelodyWav(dir.file("m" + std::to_string(i) + ".wav"), i, 12);
    test::writeMelodyWav(dir.file("short.wav"), 9, 2);
    test::writeText(dir.file("noise.mp3"), "not audio at all");
    const QStringList good{path(dir, "m0.wav"), path(dir, "m1.wav"), path(dir, "m2.wav")};

    TFingerprintConfig config;
    config.CacheDirectory = path(dir, "state");
    PrintRun first(config);
    ASSERT_TRUE(first.go(good + QStringList{path(dir, "short.wav"), path(dir, "noise.mp3"), path(dir, "gone.wav")}));
    EXPECT_TRUE(first.failure.isEmpty());
    ASSERT_EQ(first.results.size(), 6);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(first.results[i].ok()) << first.results[i].Error.toStdString();
        EXPECT_EQ(first.results[i].DurationS, 12);
        EXPECT_FALSE(first.results[i].Cached);
    }
    EXPECT_NE(first.results[0].Fingerprint, first.results[1].Fingerprint);
    EXPECT_NE(first.results[1].Fingerprint, first.results[2].Fingerprint);
    EXPECT_FALSE(first.results[3].ok()); // too short to tell apart
    EXPECT_FALSE(first.results[4].ok());
    EXPECT_TRUE(first.results[4].Error.startsWith("fpcalc")) << first.results[4].Error.toStdString();
    EXPECT_EQ(first.results[5].Error, "Not a file");
    EXPECT_EQ(first.lastDone, 6);
    EXPECT_EQ(first.lastTotal, 6);

    // The second time nothing is computed: the program is not even there.
    config.Program = path(dir, "no-fpcalc");
    PrintRun second(config);
    ASSERT_TRUE(second.go(good));
    EXPECT_TRUE(second.failure.isEmpty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(second.results[i].Cached);
        EXPECT_EQ(second.results[i].Fingerprint, first.results[i].Fingerprint);
    }

    // A changed file is fingerprinted again.
    test::writeMelodyWav(dir.file("m0.wav"), 5, 13);
    PrintRun third(config);
    ASSERT_TRUE(third.go(good));
    EXPECT_EQ(third.failure, FpcalcMissingText());
    EXPECT_FALSE(third.results[0].ok());
    EXPECT_TRUE(third.results[1].Cached);
}

TEST(Fingerprinter, RunsSideBySideAndSurvivesHangsAndLateErrors)
{
    TempDir dir;
    // Each run waits (a bounded while) until another runs beside it, notes how many ran at once, and
    // prints a whole result before exiting with an error, as fpcalc does at a decoding error at the end.
    const QString side = script(dir, "fpcalc-side",
                                "mkdir -p \"$0.d\"; touch \"$0.d/$$\"\n"
                                "i=0; while [ $(ls \"$0.d\" | wc -l) -lt 2 ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
                                "ls \"$0.d\" | wc -l >> \"$0.seen\"\n"
                                "sleep 0.3; rm -f \"$0.d/$$\"\n"
                                "echo '{\"duration\": 30.00, \"fingerprint\": \"AQAAxyz\"}'\nexit 3\n");
    for (int i = 0; i < 4; ++i) test::writeText(dir.file("f" + std::to_string(i) + ".mp3"), "x");
    TFingerprintConfig config;
    config.Program = side;
    config.Parallel = 2;
    PrintRun run(config);
    ASSERT_TRUE(run.go({path(dir, "f0.mp3"), path(dir, "f1.mp3"), path(dir, "f2.mp3"), path(dir, "f3.mp3")}));
    for (const TFingerprint& print : run.results) EXPECT_TRUE(print.ok()) << print.Error.toStdString();
    const std::string seen = test::readText(dir.file("fpcalc-side.seen"));
    EXPECT_NE(seen.find('2'), std::string::npos) << seen;

    config.Program = script(dir, "fpcalc-hang", "sleep 30\n");
    config.TimeoutSeconds = 1;
    PrintRun hang(config);
    ASSERT_TRUE(hang.go({path(dir, "f0.mp3")}));
    EXPECT_EQ(hang.results.value(0).Error, "fpcalc gave no result within 1 seconds");

    config.Program = path(dir, "missing/fpcalc");
    PrintRun missing(config);
    ASSERT_TRUE(missing.go({path(dir, "f0.mp3")}));
    EXPECT_EQ(missing.failure, FpcalcMissingText());
}
