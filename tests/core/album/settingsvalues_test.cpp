#include "core/album/SettingsValues.h"

#include "core/Settings.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "core/lookup/freedb/NameQuery.h"
#include "core/rename/RenameRun.h"
#include "support/SettingsFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace cantorix;
using cantorix::test::settingsFile;
using cantorix::test::TempDir;

namespace {

TEST(SettingsValues, LookupConfig)
{
    TLookupConfig none; // what a lookup uses without settings
    TLookupConfig all;
    all.Server = {"https", "mirror.example", "8443", "/cgi/cddb.cgi"};
    all.TimeoutSeconds = 5;
    all.Email = "joe@example.org";
    all.Proxy = {"proxy.example", "80", "u", "p"}; // a missing port is the HTTP port
    all.HideData = true;
    struct Case {
        std::string ini;
        const TLookupConfig& expected;
    };
    const Case cases[] = {
        {"", none},
        {"[Connection]\nServer=https://mirror.example:8443/cgi/cddb.cgi\nTimeout=5\nEmail= joe@example.org \n"
         "UseProxy=1\n[Proxy]\nAddress=proxy.example\nUser=u\nPassword=p\n[Main]\nHideData=1\n",
         all},
        // The proxy counts only with UseProxy; an address without text on both sides of "@" is not sent.
        {"[Connection]\nEmail=no address\n[Proxy]\nAddress=proxy.example\n", none},
        {"[Connection]\nEmail=@example.org\n", none},
        {"[Connection]\nEmail=joe@\n", none},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const TLookupConfig got = LookupConfigFromSettings(settingsFile(dir, c.ini));
        const TLookupConfig& want = c.expected;
        EXPECT_EQ(got.Server.Scheme, want.Server.Scheme) << c.ini;
        EXPECT_EQ(got.Server.Host, want.Server.Host) << c.ini;
        EXPECT_EQ(got.Server.Port, want.Server.Port) << c.ini;
        EXPECT_EQ(got.Server.Path, want.Server.Path) << c.ini;
        EXPECT_EQ(got.TimeoutSeconds, want.TimeoutSeconds) << c.ini;
        EXPECT_EQ(got.Email, want.Email) << c.ini;
        EXPECT_EQ(got.Proxy.Address, want.Proxy.Address) << c.ini;
        EXPECT_EQ(got.Proxy.Port, want.Proxy.Port) << c.ini;
        EXPECT_EQ(got.Proxy.Username, want.Proxy.Username) << c.ini;
        EXPECT_EQ(got.Proxy.Password, want.Proxy.Password) << c.ini;
        EXPECT_EQ(got.HideData, want.HideData) << c.ini;
    }
    // An address with a space inside would split the hello into more words than the server takes:
    // it is not sent, and the lookup says why.
    for (const char* email : {"john doe@example.org", "joe@exa\tmple.org"}) {
        const TLookupConfig got = LookupConfigFromSettings(settingsFile(dir, std::string("[Connection]\nEmail=") + email + "\n"));
        EXPECT_EQ(got.Email, "cantorix@localhost") << email;
        EXPECT_TRUE(got.Note.contains("white space")) << email;
    }
    // The server honours quotes and backslashes in the hello: '"' would make "jo e" one word and the
    // hello three words.
    for (const char* email : {"jo\"e@example.org", "\"joe@example.org\"x", "jo\\e@example.org"}) {
        const TLookupConfig got = LookupConfigFromSettings(settingsFile(dir, std::string("[Connection]\nEmail=") + email + "\n"));
        EXPECT_EQ(got.Email, "cantorix@localhost") << email;
        EXPECT_TRUE(got.Note.contains("quote or a backslash")) << email << " " << got.Note.toStdString();
    }
    EXPECT_TRUE(LookupConfigFromSettings(settingsFile(dir, "[Connection]\nEmail=joe@example.org\n")).Note.isEmpty());
    EXPECT_EQ(none.Server.Host, "gnudb.gnudb.org");
    EXPECT_EQ(none.Email, "cantorix@localhost");
    EXPECT_EQ(none.Proxy.Port, "80");
}

TEST(SettingsValues, ProxyPortDefaultsTo80)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "80"}, {"3128", "3128"}, {" 8080 ", "8080"}, {"abc", "80"}, {"0", "80"}, {"65536", "80"}, {"-1", "80"},
        {"8080x", "80"},
    };
    TempDir dir;
    for (const auto& [port, want] : cases) {
        const std::string ini = std::string("[Connection]\nUseProxy=1\n[Proxy]\nAddress=p.example\nPort=") + port + "\n";
        EXPECT_EQ(LookupConfigFromSettings(settingsFile(dir, ini)).Proxy.Port, want) << port;
    }
}

TEST(SettingsValues, SearchUrlFallsBackToTheDefault)
{
    const std::pair<std::string, QString> cases[] = {
        {"", "https://www.gnudb.org/search/%s"},
        {"[Connection]\nSearchUrl= \n", "https://www.gnudb.org/search/%s"},
        {"[Connection]\nSearchUrl=http://host:8080/freedb_search.php?words=%s&grouping=none\nTimeout=7\n",
         "http://host:8080/freedb_search.php?words=%s&grouping=none"},
    };
    TempDir dir;
    for (const auto& [ini, url] : cases) {
        const TNameQueryConfig config = NameQueryConfigFromSettings(settingsFile(dir, ini));
        EXPECT_EQ(config.SearchUrl, url) << ini;
        EXPECT_EQ(config.Lookup.TimeoutSeconds, ini.find("Timeout=7") != std::string::npos ? 7 : 30) << ini;
    }
}

TEST(SettingsValues, RenameOptions)
{
    struct Case {
        const char* ini;
        TRenameOptions expected;
    };
    const Case cases[] = {
        {"", TRenameOptions{"artist - album - # - track", true, false, 0, false, false}},
        {"[Main]\nNameFormat=# - track\nFixUnderScores=0\nRenameFolder=1\nFolderFormat=3\nCreatePlaylist=1\n"
         "WriteTags=1\n",
         TRenameOptions{"# - track", false, true, 3, true, true}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        TRenameOptions o = RenameOptionsFromSettings(settingsFile(dir, c.ini));
        EXPECT_EQ(o.NameFormat, c.expected.NameFormat) << c.ini;
        EXPECT_EQ(o.FixUnderScores, c.expected.FixUnderScores) << c.ini;
        EXPECT_EQ(o.RenameFolder, c.expected.RenameFolder) << c.ini;
        EXPECT_EQ(o.FolderFormat, c.expected.FolderFormat) << c.ini;
        EXPECT_EQ(o.CreatePlaylist, c.expected.CreatePlaylist) << c.ini;
        EXPECT_EQ(o.WriteTags, c.expected.WriteTags) << c.ini;
    }
}

TEST(SettingsValues, SupportedExtensionsAddTheAdditionalTypes)
{
    TempDir dir;
    QStringList builtIn = SupportedExtensionsFromSettings(settingsFile(dir, ""));
    QStringList more = SupportedExtensionsFromSettings(settingsFile(dir, "[Main]\nAdditionalTypes=.xyz, .mp3\n"));
    EXPECT_TRUE(builtIn.contains(".MP3"));
    EXPECT_FALSE(builtIn.contains(".XYZ"));
    EXPECT_TRUE(more.contains(".XYZ"));
    EXPECT_EQ(more.size(), builtIn.size() + 1);
}

} // namespace
