// Defaults that a setting and the code behind it share, named once.
#pragma once

namespace cantorix {

// The built-in name format: offered on a first start, and what renaming falls back to.
inline constexpr const char* DefaultNameFormat = "artist - album - # - track";

// The MusicBrainz web service and its cover archive.
inline constexpr const char* DefaultMusicBrainzServer = "https://musicbrainz.org";
inline constexpr const char* DefaultCoverArtServer = "https://coverartarchive.org";

// The AcoustID web service (fingerprint lookups).
inline constexpr const char* DefaultAcoustidServer = "https://api.acoustid.org";

} // namespace cantorix
