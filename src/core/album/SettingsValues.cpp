#include "core/album/SettingsValues.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "core/Text.h"
#include "core/lookup/acoustid/AcoustidService.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "core/lookup/freedb/NameQuery.h"
#include "core/lookup/freedb/ServerList.h"
#include "core/lookup/musicbrainz/MbService.h"
#include "core/rename/RenameRun.h"

#include <QCoreApplication>

#include <algorithm>

namespace cantorix {

TLookupConfig LookupConfigFromSettings(const TSettings& settings)
{
    TLookupConfig config;
    config.Server = ParseServerSetting(settings.get(setting::Server));
    config.TimeoutSeconds = settings.get(setting::Timeout);
    const QString email = TrimControls(settings.get(setting::Email));
    const qsizetype at = email.lastIndexOf('@');
    // The address goes into the hello as two words; white space or a control character inside it
    // would make more words, which the server rejects as a syntax error on every command. The server
    // also honours quotes and backslashes there: a '"' joins or splits words, a backslash escapes the
    // character after it.
    const bool blank = std::any_of(email.begin(), email.end(), [](QChar c) { return c.isSpace() || IsControl(c); });
    const bool special = email.contains('"') || email.contains('\\');
    if (blank)
        config.Note = QCoreApplication::translate("Settings",
            "The e-mail address \"%1\" holds white space or a "
            "control character; \"%2\" is sent instead")
                          .arg(EscapeControls(email), config.Email);
    else if (special)
        config.Note = QCoreApplication::translate("Settings", "The e-mail address \"%1\" holds a quote or a backslash, "
                                                              "which the server reads as part of its syntax; \"%2\" "
                                                              "is sent instead")
                          .arg(email, config.Email);
    else if (at > 0 && at + 1 < email.size())
        config.Email = email;
    if (settings.get(setting::UseProxy)) {
        config.Proxy.Address = settings.get(setting::ProxyAddress);
        config.Proxy.Port = ProxyPortOrDefault(settings.get(setting::ProxyPort));
        config.Proxy.Username = settings.get(setting::ProxyUser);
        config.Proxy.Password = settings.get(setting::ProxyPassword);
    }
    config.HideData = settings.get(setting::HideData);
    return config;
}

TMusicBrainzConfig MusicBrainzConfigFromSettings(const TSettings& settings)
{
    const TLookupConfig freedb = LookupConfigFromSettings(settings);
    TMusicBrainzConfig config;
    const QString server = TrimControls(settings.get(setting::MusicBrainzServer));
    const QString cover = TrimControls(settings.get(setting::CoverArtServer));
    if (!server.isEmpty()) config.Server = server;
    if (!cover.isEmpty()) config.CoverServer = cover;
    config.TimeoutSeconds = freedb.TimeoutSeconds;
    // The address the freedb hello would send, when the user gave one: the service's contact.
    if (freedb.Email != TLookupConfig().Email) config.Contact = freedb.Email;
    config.Proxy = freedb.Proxy;
    config.HideData = freedb.HideData;
    config.Note = freedb.Note;
    return config;
}

QString ProxyPortOrDefault(const QString& text)
{
    int32_t port = 0;
    return ParseInt32(text.trimmed(), &port) && port >= 1 && port <= 65535 ? QString::number(port) : QString("80");
}

TNameQueryConfig NameQueryConfigFromSettings(const TSettings& settings)
{
    TNameQueryConfig config;
    config.Lookup = LookupConfigFromSettings(settings);
    config.SearchUrl = TrimControls(settings.get(setting::SearchUrl));
    if (config.SearchUrl.isEmpty()) config.SearchUrl = setting::DefaultSearchUrl;
    return config;
}

TRenameOptions RenameOptionsFromSettings(const TSettings& settings)
{
    TRenameOptions o;
    o.NameFormat = settings.get(setting::NameFormat).toStdString();
    o.FixUnderScores = settings.get(setting::FixUnderScores);
    o.RenameFolder = settings.get(setting::RenameFolder);
    o.FolderFormat = settings.get(setting::FolderFormat);
    o.CreatePlaylist = settings.get(setting::CreatePlaylist);
    o.WriteTags = settings.get(setting::WriteTags);
    o.PortableNames = settings.get(setting::PortableNames);
    o.SaveCover = settings.get(setting::SaveCover);
    return o;
}

QStringList SupportedExtensionsFromSettings(const TSettings& settings)
{
    return BuildSupportedExtensions(settings.get(setting::AdditionalTypes));
}

QStringList StoredNameFormats(const TSettings& settings) { return settings.readSection(setting::NameFormatsSection); }

void StoreNameFormats(TSettings& settings, const QStringList& formats)
{
    settings.eraseSection(setting::NameFormatsSection);
    for (const QString& format : formats) settings.writeString(setting::NameFormatsSection, format, QString());
}

TServerListStore StoreServerList(TSettings& settings, const QStringList& hosts)
{
    const TServerListStore plan = PlanServerList(settings.get(setting::Server), hosts);
    if (!plan.Changed) return plan;
    settings.eraseSection(setting::FreeDBSitesSection);
    for (const QString& host : hosts) settings.writeString(setting::FreeDBSitesSection, host, host);
    if (plan.Server != settings.get(setting::Server)) settings.set(setting::Server, plan.Server);
    return plan;
}

TAcoustidConfig AcoustidConfigFromSettings(const TSettings& settings)
{
    const TMusicBrainzConfig mb = MusicBrainzConfigFromSettings(settings);
    TAcoustidConfig config;
    const QString server = TrimControls(settings.get(setting::AcoustidServer));
    if (!server.isEmpty()) config.Server = server;
    config.ClientKey = TrimControls(settings.get(setting::AcoustidClientKey));
    config.TimeoutSeconds = mb.TimeoutSeconds;
    config.Contact = mb.Contact;
    config.Proxy = mb.Proxy;
    return config;
}

} // namespace cantorix
