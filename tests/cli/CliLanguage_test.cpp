// cantorix-cli in the user's language: its messages follow LANGUAGE and the locale, its
// machine-readable lines ("discid:", "tracks:" ...) stay English whatever the language.
#include "support/CliRunner.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using cantorix::test::runCli;
using cantorix::test::TempDir;

TEST(CliLanguage, MessagesFollowTheLanguageAndMachineLinesStayEnglish)
{
    TempDir empty;
    const QString dir = QString::fromStdString(empty.str());
    const QStringList machineLines = {
        "discid: 00000000", "tracks: 0", "offsets: ", "length: 2", "command: cddb query 00000000 0 2"};
    struct Case {
        const char* name;
        QStringList environment;
        QStringList errLines;
    } cases[] = {
        {"English by default", {},
            {"No audio files found in \"%1/\"", "cantorix-cli: no MusicBrainz disc ID: No files to look up"}},
        {"German", {"LANGUAGE=de", "LANG=de_DE.UTF-8"},
            {"Keine Audiodateien in \"%1/\" gefunden",
                "cantorix-cli: keine MusicBrainz-Disc-ID: Keine Dateien zum Nachschlagen"}},
        {"German from the locale alone", {"LANGUAGE=", "LC_ALL=", "LC_MESSAGES=", "LANG=de_DE.UTF-8"},
            {"Keine Audiodateien in \"%1/\" gefunden",
                "cantorix-cli: keine MusicBrainz-Disc-ID: Keine Dateien zum Nachschlagen"}},
        {"LANGUAGE before a German locale", {"LANGUAGE=en", "LC_ALL=de_DE.UTF-8"},
            {"No audio files found in \"%1/\"", "cantorix-cli: no MusicBrainz disc ID: No files to look up"}},
        {"no translation: English", {"LANGUAGE=fi", "LANG=fi_FI.UTF-8"},
            {"No audio files found in \"%1/\"", "cantorix-cli: no MusicBrainz disc ID: No files to look up"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = runCli({"discid", dir}, 30000, c.environment);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.outLines(), machineLines);
        EXPECT_EQ(r.errLines(), (QStringList{c.errLines[0].arg(dir), c.errLines[1]}));
    }
}

TEST(CliLanguage, UsageErrorsInGermanKeepTheirExitCode)
{
    const auto r = runCli({"frobnicate"}, 30000, {"LANGUAGE=de", "LANG=de_DE.UTF-8"});
    EXPECT_EQ(r.exitCode, 2);
    ASSERT_GE(r.errLines().size(), 4);
    EXPECT_EQ(r.errLines()[0], "cantorix-cli: unbekannter Befehl frobnicate");
    EXPECT_EQ(r.errLines()[1], "Aufruf: cantorix-cli BEFEHL [ARGUMENTE] [--settings DATEI]");
    // The commands and their options stay as typed; what they do is told in German.
    EXPECT_TRUE(
        r.err.contains("  scan DIR                  die Audiodateien von DIR mit ihren Spieldauern auflisten\n"));
}
