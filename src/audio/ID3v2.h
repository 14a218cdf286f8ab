// The ID3v2 tag at the start of an audio file (versions 2.2, 2.3 and 2.4 of the ID3v2 standard): its
// common text frames as UTF-8 values, and writing them back without losing any other frame.
#pragma once

#include "audio/ByteSource.h"
#include "audio/SafeWrite.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace cantorix {

// One frame as it is carried from an old tag into a new one. `data` is the frame body after the
// header with any unsynchronisation undone (and the 2.4 unsynchronisation flag cleared), so it can be
// written back as it is.
struct TID3v2Frame {
    std::string id;            // 3 characters in version 2.2 tags, else 4
    uint8_t flags[2] = {0, 0}; // status and format flags (none in version 2.2)
    ByteVector data;
};

// A tag write worked out but not yet done: the new tag's bytes and the space of the old one.
struct TID3v2Plan {
    ByteVector tag;             // the complete new tag, padding included
    int64_t oldSize = 0;        // bytes the old tag takes at the start of the file
    bool inPlace = false;       // tag.size() == oldSize: it overwrites the old tag
    int version = 3;
    std::vector<TID3v2Frame> frames;
};

class TID3v2 {
public:
    // Resets, then reads the tag. False when the first 10 bytes cannot be read (missing, unreadable or
    // too short file); true otherwise, with or without a tag.
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source (false when fewer than 10 bytes can be read).
    bool ReadFromSource(TInSource& in);

    // Writes the values set since reading into the file's tag: the frames of the values that were set
    // are replaced (an empty value removes its frame), every other frame of the file's current tag is
    // kept unchanged. A 2.4 tag stays 2.4; anything else becomes 2.3. The tag is overwritten in place
    // when it fits its old space; otherwise the file is rewritten through a temporary copy (the tag is
    // then padded to 4096 bytes when smaller), which leaves the original untouched on failure.
    IoResult SaveToFile(const std::string& fileName, TFileSystem& files = systemFiles());
    // The first half of SaveToFile, for a caller that writes several tags in one step: the new tag
    // for the file whose bytes `file` holds. Changes nothing.
    IoResult PlanSave(TInSource& file, TID3v2Plan& plan) const;
    // The second half, once the plan's tag is in the file.
    void Saved(TID3v2Plan&& plan);
    // The tag SaveToFile would write for the file in `file`, for a caller that rewrites the whole file
    // itself: `tag` replaces the first `oldSize` bytes (the old tag, 0 when there is none).
    IoResult RenderTag(TInSource& file, ByteVector& tag, int64_t& oldSize) const;

    void ResetData();

    // The file starts with "ID3".
    bool Present() const { return m_present; }
    // The major version byte (2, 3 or 4 for a readable tag).
    int Version() const { return m_version; }
    // Bytes the tag takes at the start of the file, header and footer included; 0 when there is no
    // tag or its announced size exceeds the file.
    int64_t Size() const { return m_size; }

    const std::string& Title() const { return m_values[kTitle]; }
    const std::string& Artist() const { return m_values[kArtist]; }
    const std::string& Album() const { return m_values[kAlbum]; }
    const std::string& AlbumArtist() const { return m_values[kAlbumArtist]; }
    const std::string& TrackText() const { return m_values[kTrack]; }
    const std::string& Year() const { return m_values[kYear]; }
    const std::string& Genre() const { return m_values[kGenre]; }
    const std::string& Comment() const { return m_values[kComment]; }
    const std::string& Composer() const { return m_values[kComposer]; }
    const std::string& Encoder() const { return m_values[kEncoder]; }
    const std::string& Rights() const { return m_values[kRights]; }
    const std::string& Language() const { return m_values[kLanguage]; }
    const std::string& URL() const { return m_values[kURL]; }
    // The number before a "/" of TrackText ("3/12" gives 3); 0 when it is not a number.
    uint16_t Track() const { return m_track; }

    // Title, Artist, Album, Year and Genre are trimmed of characters of code 32 or less at both ends.
    void SetTitle(const std::string& v);
    void SetArtist(const std::string& v);
    void SetAlbum(const std::string& v);
    void SetAlbumArtist(const std::string& v);
    void SetYear(const std::string& v);
    void SetGenre(const std::string& v);
    void SetComment(const std::string& v) { set(kComment, v); }
    void SetComposer(const std::string& v) { set(kComposer, v); }
    void SetEncoder(const std::string& v) { set(kEncoder, v); }
    void SetRights(const std::string& v) { set(kRights, v); }
    void SetLanguage(const std::string& v) { set(kLanguage, v); }
    void SetURL(const std::string& v) { set(kURL, v); }
    // Track 0 means none: no TRCK frame is written.
    void SetTrack(uint16_t track);
    // Keeps the text ("07/12"); a text whose number is 0 or missing (empty, "x") means no track.
    void SetTrackText(const std::string& text);

    // The TXXX frame of a description (compared without case in a to z): its values, which a
    // version 2.4 tag separates by zero characters; empty when there is no such frame.
    std::vector<std::string> UserText(const std::string& description) const;
    // Replaces the TXXX frames of the description by one holding the values (none: removed). A
    // version 2.3 tag, which has no separator of its own, gets them joined by "/".
    void SetUserText(const std::string& description, const std::vector<std::string>& values);
    // The identifier of the UFID frame of an owner ("http://musicbrainz.org"); empty when none.
    std::string UniqueFileId(const std::string& owner) const;
    // Replaces the UFID frames of the owner by one holding `id` (at most 64 bytes; empty: removed).
    void SetUniqueFileId(const std::string& owner, const std::string& id);

    // The frames of the tag as last read (in the tag's own version), for callers that look further.
    const std::vector<TID3v2Frame>& Frames() const { return m_frames; }

    // The genre text of a TCON frame: "(17)" gives "Rock", "(17)Rock live" gives "Rock live", a bare
    // number of a version 2.4 tag gives its name, "((text" gives "(text"; other text stays as it is.
    static std::string genreText(const std::string& tcon);

private:
    enum Row {
        kTitle, kArtist, kAlbum, kTrack, kYear, kGenre, kComment, kComposer, kEncoder, kRights,
        kLanguage, kURL, kAlbumArtist, kRows
    };
    void set(Row row, const std::string& v);
    struct Rendered {
        ByteVector tag;
        int64_t oldSize = 0;
        bool inPlace = false; // the tag fits the old one's space exactly
        int version = 3;
        std::vector<TID3v2Frame> frames;
    };
    IoResult render(TInSource& file, Rendered& out) const;

    bool m_present = false;
    int m_version = 0;
    int64_t m_size = 0;
    std::string m_values[kRows];
    bool m_dirty[kRows] = {};
    std::vector<std::pair<std::string, std::vector<std::string>>> m_userTexts; // set since reading
    std::vector<std::pair<std::string, std::string>> m_uniqueIds;             // set since reading
    uint16_t m_track = 0;
    std::vector<TID3v2Frame> m_frames;
};

} // namespace cantorix
