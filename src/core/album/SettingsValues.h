// The settings as the rest of the program takes them: the store's keys turned into the plain values
// the lookups, the renamers and the folder scan work with, and the plain values they give back stored.
// Only here (and in the windows) is the settings store read; core/lookup and core/rename never see it.
#pragma once

#include <QStringList>

namespace cantorix {

class TSettings;
struct TLookupConfig;
struct TNameQueryConfig;
struct TRenameOptions;
struct TServerListStore;
struct TMusicBrainzConfig;
struct TAcoustidConfig;

// [Connection] Server, Timeout, Email, UseProxy, [Proxy] Address, Port, User, Password and [Main]
// HideData. The email is used when it holds an "@" with text on both sides (trimmed), otherwise the
// lookup says "cantorix@localhost"; one with white space, a control character, '"' or a backslash is
// not used (the Note says why). Without UseProxy there is no proxy.
TLookupConfig LookupConfigFromSettings(const TSettings& settings);

// [MusicBrainz] Server and CoverArtServer (their defaults when empty), and the time limit, contact
// (the e-mail address when it is one), proxy and HideData the freedb lookups use.
TMusicBrainzConfig MusicBrainzConfigFromSettings(const TSettings& settings);

// [AcoustID] Server (its default when empty) and ClientKey, and the time limit, contact and proxy the
// MusicBrainz lookups use.
TAcoustidConfig AcoustidConfigFromSettings(const TSettings& settings);

// A [Proxy] Port as the connection uses it: the port when it is a number from 1 to 65535, else "80".
QString ProxyPortOrDefault(const QString& text);

// The lookup's values and [Connection] SearchUrl (the default address when it is empty).
TNameQueryConfig NameQueryConfigFromSettings(const TSettings& settings);

// [Main] NameFormat, FixUnderScores, RenameFolder, FolderFormat, CreatePlaylist, WriteTags and
// [Renaming] PortableNames and SaveCover.
TRenameOptions RenameOptionsFromSettings(const TSettings& settings);

// The extensions a folder scan lists: the built-in ones and [Main] AdditionalTypes.
QStringList SupportedExtensionsFromSettings(const TSettings& settings);

// The name formats of [NameFormats], in file order; and that section replaced by `formats`, each a key
// with an empty value.
QStringList StoredNameFormats(const TSettings& settings);
void StoreNameFormats(TSettings& settings, const QStringList& formats);

// A new freedb server list into the in-memory settings, as PlanServerList decides: [FreeDB_sites]
// replaced by one key per host (its value the host again) and [Connection] Server when it changes. An
// empty list changes nothing. The file is not written.
TServerListStore StoreServerList(TSettings& settings, const QStringList& hosts);

} // namespace cantorix
