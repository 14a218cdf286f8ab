// The values that tag writing puts into a renamed file, as the album lookup produced them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cantorix {

// UTF-8 texts. Track is the grid's text ("07"); every writer stores a decimal track as the plain
// number ("7"), the form every tagger and player reads as a number, and a writer that stores it as a
// number leaves the track out when it is empty. An empty value means "no such value".
//
// The MusicBrainz identifiers (UUIDs such as "8f1a6e8c-4b2e-4f7e-9d3a-0c1b2d3e4f50") go under the
// names other taggers use. An empty one, or one that is no UUID, writes nothing and leaves whatever
// identifier of that kind the file holds.
struct TTagValues {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Track;
    std::string Genre;
    // The album's artist on an album of various artists (Artist is then the track's); empty writes
    // none and leaves the file's own.
    std::string AlbumArtist{};
    std::string MusicBrainzAlbumId{};               // the release
    std::vector<std::string> MusicBrainzArtistIds{}; // the release's artists, in credit order
    std::string MusicBrainzReleaseGroupId{};
    std::string MusicBrainzTrackId{};                // the recording
    std::string AcoustId{};                          // the AcoustID the file's fingerprint matched
};

// True for a UUID in its 36-character text form: hex digits in groups of 8-4-4-4-12.
bool IsMusicBrainzId(std::string_view id);

// One kind of MusicBrainz (or AcoustID) identifier with the values to write.
struct TMusicBrainzField {
    const char* VorbisName;          // the Vorbis comment name, also the APE item key
    const char* Id3Description;      // the ID3v2 TXXX description; null for the recording (UFID)
    std::vector<std::string> Values; // at least one, each a UUID
};

// The identifiers of `values` that are to be written, in a fixed order (album, artists, release
// group, recording); kinds without a valid identifier are left out.
std::vector<TMusicBrainzField> MusicBrainzFields(const TTagValues& values);

// The owner of the UFID frame that holds the recording's identifier.
inline constexpr const char* kMusicBrainzUfidOwner = "http://musicbrainz.org";

// The track text as every writer stores it: a decimal number without leading zeros ("07" gives "7",
// "0" and "00" give "", meaning no track); any other text is returned as it is.
std::string CanonicalTrack(const std::string& track);

} // namespace cantorix
