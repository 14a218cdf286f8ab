// The 128-byte ID3v1 tag (version 1.0, and 1.1 with its track byte) at the end of an audio file, the
// Lyrics3 version 2 block that may stand just before it, and the table of ID3v1 genre names.
// Values are UTF-8 in memory and ISO-8859-1 in the file.
#pragma once

#include "audio/ByteSource.h"
#include "audio/SafeWrite.h"

#include <array>
#include <cstdint>
#include <string>

namespace cantorix {

// The 148 ID3v1 genre names, codes 0 to 147; code 255 means none.
extern const std::array<const char*, 148> Genres;
// The name of a genre code; empty for 148 and above.
std::string GenreName(int code);
// The code of the first genre equal to `name` (a to z compared without case); 255 when none is.
uint8_t GenreCodeOf(const std::string& name);

// A tag write worked out but not yet done: the new tail and where the old one starts.
struct TID3v1Plan {
    ByteVector tail;          // Lyrics3 block (possibly none) and the 128-byte tag
    int64_t keep = 0;         // bytes before the old tail, which stay
    int64_t oldTailSize = 0;  // bytes of the old tail
    int64_t blockSize = 0;    // the new Lyrics3 block's size field; 0 without one
    bool inPlace() const { return int64_t(tail.size()) == oldTailSize; }
};

class TID3v1 {
public:
    // Resets, then reads the tag and the Lyrics3 block. False only when the file cannot be opened or a
    // read fails.
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source; false only when a read fails (the source tells why).
    bool ReadFromSource(TInSource& in);

    // Replaces the file's ID3v1 tag and Lyrics3 block by the current values: a Lyrics3 block (when
    // there is anything for one) and a 128-byte tag. A tail of the same length is overwritten in place;
    // otherwise the file is rewritten through a temporary copy and stays untouched on failure.
    IoResult SaveToFile(const std::string& fileName, TFileSystem& files = systemFiles());
    // The first half of SaveToFile, for a caller that writes several tags in one step: the new tail
    // for the file whose bytes `file` holds. Changes nothing.
    IoResult PlanSave(TInSource& file, TID3v1Plan& plan) const;
    // The second half, once the plan's tail is in the file.
    void Saved(const TID3v1Plan& plan);
    // Cuts the ID3v1 tag and the Lyrics3 block off the end of the file.
    IoResult RemoveFromFile(const std::string& fileName, TFileSystem& files = systemFiles());

    void ResetData();
    // Bytes of tags at the end of the file: 128 for the tag, plus Lyrics3Size + 15 for a block.
    int64_t TotalSize() const;

    bool Present() const { return m_present; }
    // 1 = version 1.0, 2 = version 1.1.
    uint8_t Version() const { return m_version; }

    // Title, Artist, Album and Comment give the extended (Lyrics3) value when there is one. Setting one
    // trims trailing characters of code 32 or less; a value of 31 characters or more is also kept as
    // the extended value, which a Lyrics3 block can hold in full.
    std::string Title() const { return m_extTitle.empty() ? m_title : m_extTitle; }
    std::string Artist() const { return m_extArtist.empty() ? m_artist : m_extArtist; }
    std::string Album() const { return m_extAlbum.empty() ? m_album : m_extAlbum; }
    std::string Comment() const { return m_extComment.empty() ? m_comment : m_extComment; }
    void SetTitle(const std::string& v) { setLong(v, m_title, m_extTitle); }
    void SetArtist(const std::string& v) { setLong(v, m_artist, m_extArtist); }
    void SetAlbum(const std::string& v) { setLong(v, m_album, m_extAlbum); }
    void SetComment(const std::string& v) { setLong(v, m_comment, m_extComment); }
    const std::string& ExtTitle() const { return m_extTitle; }
    const std::string& ExtArtist() const { return m_extArtist; }
    const std::string& ExtAlbum() const { return m_extAlbum; }
    const std::string& ExtComment() const { return m_extComment; }

    // At most 4 characters, trailing blanks trimmed.
    const std::string& Year() const { return m_year; }
    void SetYear(const std::string& v);

    // 0 means no track (and a version 1.0 tag on writing).
    uint8_t Track() const { return m_track; }
    void SetTrack(uint8_t track) { m_track = track; }
    // The track as decimal text, empty when 0.
    std::string TrackText() const { return m_track ? std::to_string(m_track) : std::string(); }
    // Sets the track from text: a decimal number from 1 to 255 (blanks around it allowed); anything
    // else, the empty text included, means no track.
    void SetTrackText(const std::string& text);

    uint8_t GenreCode() const { return m_genreCode; }
    void SetGenreCode(uint8_t code) { m_genreCode = code; }
    std::string Genre() const { return GenreName(m_genreCode); }
    void SetGenre(const std::string& name) { m_genreCode = GenreCodeOf(name); }

    bool HasLyrics3() const { return m_hasLyrics3; }
    int64_t Lyrics3Size() const { return m_lyrics3Size; }
    const std::string& Lyrics() const { return m_lyrics; }
    void SetLyrics(const std::string& v) { m_lyrics = v; }
    const std::string& Author() const { return m_author; }
    void SetAuthor(const std::string& v) { m_author = v; }
    const std::string& Image() const { return m_image; }
    void SetImage(const std::string& v) { m_image = v; }

    // The bytes SaveToFile appends: the Lyrics3 block (possibly none) followed by the 128-byte tag.
    // Without `withLyrics3` only the tag: an APE tag must stand directly before it to be found.
    ByteVector buildTail(int64_t* lyrics3Size = nullptr, bool withLyrics3 = true) const;

private:
    struct Detected {
        bool present = false;
        int64_t lyrics3Size = 0;  // the block's own size field; 0 when there is no block
        int64_t lyrics3Start = 0; // offset of "LYRICSBEGIN"
        int64_t tailSize() const { return (present ? 128 : 0) + (lyrics3Size > 0 ? lyrics3Size + 15 : 0); }
    };
    static bool detect(TInSource& file, Detected& found);
    bool readValues(TInSource& file, const Detected& found);
    void walkLyrics3(TInSource& file, int64_t from, int64_t end);
    static void setLong(const std::string& v, std::string& plain, std::string& ext);
    bool wantsLyrics3() const;

    bool m_present = false;
    uint8_t m_version = 1;
    std::string m_title, m_artist, m_album, m_comment, m_year;
    std::string m_extTitle, m_extArtist, m_extAlbum, m_extComment;
    uint8_t m_track = 0;
    uint8_t m_genreCode = 255;
    bool m_hasLyrics3 = false;
    int64_t m_lyrics3Size = 0;
    std::string m_lyrics, m_author, m_image;
};

} // namespace cantorix
