#include "core/SettingsValues.h"

#include "core/Settings.h"
#include "core/freedb/ChecksumLookup.h"
#include "core/rename/RenameRun.h"
#include "support/SettingsFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace cantorix;
using cantorix::test::settingsFile;
using cantorix::test::TempDir;

namespace {

TEST(SettingsValues, LookupConfigWithoutSettings)
{
    TempDir dir;
    TLookupConfig c = LookupConfigFromSettings(settingsFile(dir, ""));
    EXPECT_EQ(c.Server.Host, "gnudb.gnudb.org");
    EXPECT_EQ(c.Server.Port, "80");
    EXPECT_EQ(c.Server.Path, "/~cddb/cddb.cgi");
    EXPECT_EQ(c.TimeoutSeconds, 30);
    EXPECT_EQ(c.Email, "cantorix@localhost");
    EXPECT_EQ(c.Proxy.Address, "");
    EXPECT_EQ(c.Proxy.Port, "80");
    EXPECT_FALSE(c.HideData);
}

TEST(SettingsValues, LookupConfigFromTheConnectionAndProxySettings)
{
    TempDir dir;
    TLookupConfig c = LookupConfigFromSettings(
        settingsFile(dir, "[Connection]\nServer=https://mirror.example:8443/cgi/cddb.cgi\nTimeout=5\n"
                          "Email= joe@example.org \nUseProxy=1\n"
                          "[Proxy]\nAddress=proxy.example\nUser=u\nPassword=p\n[Main]\nHideData=1\n"));
    EXPECT_EQ(c.Server.Scheme, "https");
    EXPECT_EQ(c.Server.Host, "mirror.example");
    EXPECT_EQ(c.Server.Port, "8443");
    EXPECT_EQ(c.Server.Path, "/cgi/cddb.cgi");
    EXPECT_EQ(c.TimeoutSeconds, 5);
    EXPECT_EQ(c.Email, "joe@example.org");
    EXPECT_EQ(c.Proxy.Address, "proxy.example");
    EXPECT_EQ(c.Proxy.Port, ""); // as written: a missing port is no port
    EXPECT_EQ(c.Proxy.Username, "u");
    EXPECT_EQ(c.Proxy.Password, "p");
    EXPECT_TRUE(c.HideData);

    // The proxy settings count only with UseProxy; an address without "@" halves is not sent.
    for (const char* email : {"no address", "@example.org", "joe@", ""}) {
        TLookupConfig d = LookupConfigFromSettings(
            settingsFile(dir, std::string("[Connection]\nEmail=") + email + "\n[Proxy]\nAddress=proxy.example\n"));
        EXPECT_EQ(d.Email, "cantorix@localhost") << email;
        EXPECT_EQ(d.Proxy.Address, "") << email;
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
