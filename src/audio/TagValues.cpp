#include "audio/TagValues.h"

#include "audio/TagText.h"

namespace cantorix {

namespace {

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

} // namespace

bool IsMusicBrainzId(std::string_view id)
{
    if (id.size() != 36) return false;
    for (size_t i = 0; i < id.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? id[i] != '-' : !isHex(id[i])) return false;
    }
    return true;
}

std::vector<TMusicBrainzField> MusicBrainzFields(const TTagValues& values)
{
    std::vector<TMusicBrainzField> fields;
    auto add = [&](const char* vorbis, const char* id3, const std::vector<std::string>& ids) {
        TMusicBrainzField f{vorbis, id3, {}};
        for (const std::string& id : ids)
            if (IsMusicBrainzId(id)) f.Values.push_back(id);
        if (!f.Values.empty()) fields.push_back(std::move(f));
    };
    add("MUSICBRAINZ_ALBUMID", "MusicBrainz Album Id", {values.MusicBrainzAlbumId});
    add("MUSICBRAINZ_ARTISTID", "MusicBrainz Artist Id", values.MusicBrainzArtistIds);
    add("MUSICBRAINZ_RELEASEGROUPID", "MusicBrainz Release Group Id", {values.MusicBrainzReleaseGroupId});
    add("MUSICBRAINZ_TRACKID", nullptr, {values.MusicBrainzTrackId});
    // The names other taggers give the AcoustID: TXXX:Acoustid Id, and ACOUSTID_ID in Vorbis and APE.
    add("ACOUSTID_ID", "Acoustid Id", {values.AcoustId});
    return fields;
}

std::string CanonicalTrack(const std::string& track)
{
    const int64_t n = track.size() <= 9 ? decimalDigits(track) : -1;
    if (n < 0) return track;
    return n == 0 ? std::string() : std::to_string(n);
}

} // namespace cantorix
