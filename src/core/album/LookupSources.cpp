#include "core/album/LookupSources.h"

#include "core/SettingsKeys.h"
#include "core/album/SettingsValues.h"
#include "core/lookup/acoustid/AcoustidLookup.h"
#include "core/lookup/freedb/ChecksumLookup.h"
#include "core/lookup/freedb/NameQuery.h"
#include "core/lookup/freedb/ServerSetting.h"
#include "core/lookup/musicbrainz/MbReleaseReader.h"
#include "core/lookup/musicbrainz/MusicBrainzLookup.h"
#include "core/net/HttpClient.h"
#include "core/rename/RenameJournal.h"

#include <QCoreApplication>

namespace cantorix {

namespace {

std::unique_ptr<TLookupSource> makeFreedb(TQueryMode mode, TSourceContext& context)
{
    TLookupConfig freedb = LookupConfigFromSettings(context.Settings);
    if (const QString server = context.given("server"); !server.isEmpty()) freedb.Server = ParseServerSetting(server);
    if (mode == TQueryMode::Checksum) {
        auto lookup = std::make_unique<TChecksumLookup>(std::move(context.Http));
        lookup->setConfig(freedb);
        return lookup;
    }
    TNameQueryConfig config = NameQueryConfigFromSettings(context.Settings);
    config.Lookup = freedb;
    if (const QString url = context.given("search-url"); !url.isEmpty()) config.SearchUrl = url;
    auto query = std::make_unique<TNameQuery>(std::move(context.Http));
    query->setConfig(config);
    return query;
}

std::unique_ptr<TLookupSource> makeMusicBrainz(TQueryMode mode, TSourceContext& context)
{
    TMusicBrainzConfig config = MusicBrainzConfigFromSettings(context.Settings);
    if (const QString server = context.given("mb-server"); !server.isEmpty()) config.Server = server;
    if (const QString cover = context.given("cover-server"); !cover.isEmpty()) config.CoverServer = cover;
    return std::make_unique<TMusicBrainzLookup>(mode == TQueryMode::Checksum ? TMusicBrainzLookup::Mode::Disc
                                                                             : TMusicBrainzLookup::Mode::Search,
                                                config, std::move(context.Http));
}

// Fingerprints find the release at AcoustID; MusicBrainz reads it, by the MusicBrainz source's rules,
// so that the album data, identifiers and cover come as from a MusicBrainz lookup. The fingerprints
// are kept in the state folder beside the undo records.
std::unique_ptr<TLookupSource> makeAcoustid(TQueryMode, TSourceContext& context)
{
    TAcoustidConfig config = AcoustidConfigFromSettings(context.Settings);
    if (const QString server = context.given("acoustid-server"); !server.isEmpty()) config.Server = server;
    if (const QString key = context.given("acoustid-key"); !key.isEmpty()) config.ClientKey = key;
    TFingerprintConfig prints;
    prints.CacheDirectory = QString::fromStdString(TRenameJournal::defaultDirectory());
    const TMusicBrainzConfig mb = MusicBrainzConfigFromSettings(context.Settings);
    // The reader takes the network module's client: the context's one goes to the AcoustID requests.
    return std::make_unique<TAcoustidLookup>(config, prints, std::make_unique<TMbReleaseReader>(mb),
                                             std::move(context.Http));
}

// Every lookup's message box has the same caption.
QString connectionTimedOut() { return TChecksumLookup::TimeoutCaption(); }

} // namespace

const QList<TLookupSourceRow>& LookupSources()
{
    static const QList<TLookupSourceRow> rows = {
        {"freedb", QT_TRANSLATE_NOOP("cantorix::TMainForm", "freedb"),
         QT_TRANSLATE_NOOP("cantorix::TMainForm", "freedb (gnudb) answers by the disc ID of the playing times or by a web search"),
         false, false, true, true, nullptr, nullptr, nullptr,
         {
             // The options window shows the server, the e-mail address and the search address in its
             // own "FreeDB" group (a list of servers to choose from).
             {&setting::Server, "server", "S", QT_TRANSLATE_NOOP("cli", "the freedb server for this run"), false,
              ServerSettingProblem},
             {&setting::SearchUrl, "search-url", "T",
              QT_TRANSLATE_NOOP("cli", "the freedb web search address, %s for the words"), true},
         },
         connectionTimedOut, makeFreedb},
        {"MusicBrainz", QT_TRANSLATE_NOOP("cantorix::TMainForm", "MusicBrainz"),
         QT_TRANSLATE_NOOP("cantorix::TMainForm",
                           "MusicBrainz knows far more albums and matches playing times that are off by a few seconds"),
         true, true, true, false, "musicbrainz",
         QT_TRANSLATE_NOOP("cli", "look the album up in MusicBrainz, not in freedb"), "gbMusicBrainz",
         {
             {&setting::MusicBrainzServer, "mb-server", "URL",
              QT_TRANSLATE_NOOP("cli", "the MusicBrainz address for this run"), false, nullptr,
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm", "Ser&vice:"), "edMbServer",
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm",
                                "The MusicBrainz web service: a host name or an http:// or https:// address"),
              DefaultMusicBrainzServer},
             {&setting::CoverArtServer, "cover-server", "URL",
              QT_TRANSLATE_NOOP("cli", "the Cover Art Archive address for this run"), false, nullptr,
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm", "Cover ima&ges:"), "edCoverServer",
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm", "The Cover Art Archive, where album covers come from"),
              DefaultCoverArtServer},
         },
         connectionTimedOut, makeMusicBrainz},
        {"AcoustID", QT_TRANSLATE_NOOP("cantorix::TMainForm", "AcoustID (fingerprints)"),
         QT_TRANSLATE_NOOP("cantorix::TMainForm",
                           "AcoustID knows the files by their sound: any order, partial albums, digital purchases"),
         false, true, false, false, "acoustid",
         QT_TRANSLATE_NOOP("cli", "identify the files by their sound (AcoustID fingerprints)"), "gbAcoustid",
         {
             {&setting::AcoustidServer, "acoustid-server", "URL",
              QT_TRANSLATE_NOOP("cli", "the AcoustID address for this run"), false, nullptr,
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm", "F&ingerprint service:"), "edAcoustidServer",
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm",
                                "The AcoustID web service: a host name or an http:// or https:// address"),
              DefaultAcoustidServer},
             {&setting::AcoustidClientKey, "acoustid-key", "KEY",
              QT_TRANSLATE_NOOP("cli", "the AcoustID application key for this run"), false, nullptr,
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm", "Application &key:"), "edAcoustidKey",
              QT_TRANSLATE_NOOP("cantorix::TOptionsForm",
                                "The key of an application registered on the AcoustID site"),
              nullptr},
         },
         connectionTimedOut, makeAcoustid},
    };
    return rows;
}

QString TLookupSourceRow::label() const { return QCoreApplication::translate("cantorix::TMainForm", Label); }
QString TLookupSourceRow::description() const { return QCoreApplication::translate("cantorix::TMainForm", Description); }

const TLookupSourceRow& LookupSourceNamed(const QString& word)
{
    for (const TLookupSourceRow& row : LookupSources())
        if (word.trimmed().compare(QLatin1String(row.Word), Qt::CaseInsensitive) == 0) return row;
    return LookupSources().first();
}

int LookupSourceIndex(const TLookupSourceRow& source)
{
    const QList<TLookupSourceRow>& rows = LookupSources();
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (&rows[i] == &source) return int(i);
    return 0;
}

const TLookupSourceRow& DatabaseFromSettings(const TSettings& settings)
{
    return LookupSourceNamed(settings.get(setting::Database));
}

void StoreDatabase(TSettings& settings, const TLookupSourceRow& source) { settings.set(setting::Database, source.Word); }

} // namespace cantorix
