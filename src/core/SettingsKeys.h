// Every key of the settings file, each named once with its default. Readers and writers go through
// these (TSettings::get / set), never through section and key texts of their own.
#pragma once

#include "core/Defaults.h"
#include "core/Settings.h"

namespace cantorix::setting {

// [Main]
inline constexpr TSettingKey<bool> DefaultMode{"Main", "DefaultMode", false}; // query by name
inline constexpr TSettingKey<int> TreeWidth{"Main", "TreeWidth", 210};
inline constexpr TSettingKey<const char*> AdditionalTypes{"Main", "AdditionalTypes", ""}; // comma text
inline constexpr TSettingKey<const char*> StartFolder{"Main", "Startfolder", ""};
inline constexpr TSettingKey<bool> HideData{"Main", "HideData", false}; // no "[DE] " log lines
inline constexpr TSettingKey<const char*> NameFormat{"Main", "NameFormat", DefaultNameFormat};
inline constexpr TSettingKey<bool> FixUnderScores{"Main", "FixUnderScores", true};
inline constexpr TSettingKey<bool> RenameFolder{"Main", "RenameFolder", false};
inline constexpr TSettingKey<int> FolderFormat{"Main", "FolderFormat", 0}; // index into FolderFormatItems
inline constexpr TSettingKey<bool> CreatePlaylist{"Main", "CreatePlaylist", false};
inline constexpr TSettingKey<bool> WriteTags{"Main", "WriteTags", false};
// A double-click in the grid opens the information window (on) or plays the file (off).
inline constexpr TSettingKey<bool> DblClickInfo{"Main", "DblClickInfo", true};

// The music database the lookups ask, the last choice: a source's word (core/album/LookupSources).
inline constexpr TSettingKey<const char*> Database{"Main", "Database", "freedb"};

// [NameFormats]: one key per name format of the window's list, in list order; the values are unused.
inline constexpr const char* NameFormatsSection = "NameFormats";

// [Window]: the main window's placement.
inline constexpr TSettingKey<bool> Maximized{"Window", "Maximized", false};
inline constexpr TSettingKey<int> WindowLeft{"Window", "Left", 50};
inline constexpr TSettingKey<int> WindowTop{"Window", "Top", 50};
inline constexpr TSettingKey<int> WindowWidth{"Window", "Width", 800};
inline constexpr TSettingKey<int> WindowHeight{"Window", "Height", 600};

// [Columns]: the grid's column widths, by column number.
// Filename, Duration, TrackNo, Track, New name; the long ones share the room the window has beyond these.
inline constexpr TSettingKey<int> ColumnWidths[] = {
    {"Columns", "0", 150}, {"Columns", "1", 70}, {"Columns", "2", 70}, {"Columns", "3", 110}, {"Columns", "4", 150}};

// [Connection] and [Proxy]: the freedb server and how to reach it.
inline constexpr TSettingKey<const char*> Server{"Connection", "Server", ""}; // empty: the default server
// Seconds; every time limit of the network code is kept within a second and a day.
inline constexpr TSettingKey<int> Timeout{"Connection", "Timeout", 30, 1, 86400};
inline constexpr TSettingKey<const char*> Email{"Connection", "Email", ""};
inline constexpr const char* DefaultSearchUrl = "https://www.gnudb.org/search/%s";
// The web search of the name query: %s stands for the words.
inline constexpr TSettingKey<const char*> SearchUrl{"Connection", "SearchUrl", DefaultSearchUrl};
inline constexpr TSettingKey<bool> UseProxy{"Connection", "UseProxy", false};
inline constexpr TSettingKey<const char*> ProxyAddress{"Proxy", "Address", ""};
inline constexpr TSettingKey<const char*> ProxyPort{"Proxy", "Port", ""};
inline constexpr TSettingKey<const char*> ProxyUser{"Proxy", "User", ""};
inline constexpr TSettingKey<const char*> ProxyPassword{"Proxy", "Password", "", true};
// The keys whose values are secret: while one holds a value, the file is readable by its owner only.
inline constexpr const TSettingKey<const char*>* SecretKeys[] = {&ProxyPassword};
// [MusicBrainz]: the web service and its cover archive (a host name or an http:// or https:// address).
inline constexpr TSettingKey<const char*> MusicBrainzServer{"MusicBrainz", "Server", DefaultMusicBrainzServer};
inline constexpr TSettingKey<const char*> CoverArtServer{"MusicBrainz", "CoverArtServer", DefaultCoverArtServer};
// [AcoustID]: the fingerprint service (a host name or an http:// or https:// address) and the
// application key it asks for (registered by the user on the AcoustID site).
inline constexpr TSettingKey<const char*> AcoustidServer{"AcoustID", "Server", DefaultAcoustidServer};
inline constexpr TSettingKey<const char*> AcoustidClientKey{"AcoustID", "ClientKey", ""};
// [Renaming]: a run from a MusicBrainz album saves its front cover as folder.jpg.
inline constexpr TSettingKey<bool> SaveCover{"Renaming", "SaveCover", false};
// [Renaming]: names that FAT, exFAT and NTFS devices take (a player, a car stereo).
inline constexpr TSettingKey<bool> PortableNames{"Renaming", "PortableNames", false};
// [FreeDB_sites]: one key per freedb server of the options window's list, its value the same host name.
inline constexpr const char* FreeDBSitesSection = "FreeDB_sites";

} // namespace cantorix::setting
