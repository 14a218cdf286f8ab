// Ogg Vorbis: the identification header on the first page, the comment header that starts the second
// page, the sample count of the last page, and writing the comment header back by rebuilding the
// second page (every other page stays byte for byte the same).
#pragma once

#include "audio/ByteSource.h"
#include "audio/SafeWrite.h"
#include "audio/FileInfo.h"
#include "audio/TagValues.h"
#include "audio/formats/VorbisComment.h"
#include "audio/PlayingTime.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cantorix {

// The Ogg CRC-32: polynomial 0x04C11DB7, most significant bit first, initial value 0, no final
// inversion. Feed a page with its CRC field set to 0; `crc` continues an earlier call.
uint32_t OggCrc(const uint8_t* data, size_t n, uint32_t crc = 0);

// One page header (the published Ogg layout, numbers little-endian), with its place in the file.
struct TOggPage {
    int64_t offset = 0;         // of "OggS"
    uint8_t header[27] = {};    // capture pattern, version, flags, granule, serial, sequence, CRC, segments
    uint8_t lacing[255] = {};   // header[26] values
    int64_t bodyOffset = 0;
    int64_t bodyLength = 0;

    int segments() const { return header[26]; }
    uint8_t flags() const { return header[5]; }
    bool continued() const { return (header[5] & 0x01) != 0; }
    int64_t granule() const { return int64_t(uint64_t(getLE32(header + 6)) | (uint64_t(getLE32(header + 10)) << 32)); }
    uint32_t serial() const { return getLE32(header + 14); }
    uint32_t crc() const { return getLE32(header + 22); }
    int64_t end() const { return bodyOffset + bodyLength; }
};

// Reads the page at `offset`: "OggS", stream structure version 0, and lacing values and body inside
// the file. False otherwise.
bool ReadOggPage(TInSource& file, int64_t offset, TOggPage& page);

class TOggVorbis {
public:
    // The comment names the reader knows, in the order in which new entries are written.
    static const std::array<const char*, 9> KnownNames;

    // Reads the first page's identification header, the comment header and the last page's
    // sample count. True when the first page and the identification header were found (a missing
    // comment header is not an error).
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source.
    bool ReadFromSource(TInSource& in);

    // Writes the values changed through the setters since the last read into the file's comment
    // header; every other entry is kept. The file is read again first. Comments that already hold
    // the values are not written; a new comment packet that fits the old one's length (zero bytes
    // after the framing bit, which players skip, make up any difference) is laid into the same pages
    // in place; otherwise the file is rewritten through a temporary copy in which only the second
    // page differs. Refused, with the file untouched, when the comment header is missing or damaged,
    // or when a rewrite is needed and the header does not end on the second page or the rebuilt page
    // would need more than 255 lacing values.
    IoResult SaveToFile(const std::string& fileName, TFileSystem& files = systemFiles());

    bool Valid() const { return m_valid; }
    // Seconds: from the sample count, else estimated from the nominal bit rate, else 0.
    double Duration() const;
    // kbit/s over the whole Ogg stream; 0 without a duration.
    int BitRate() const;
    // "Unknown", "Mono", "Stereo" or "Multichannel".
    std::string ChannelMode() const;

    int64_t FileSize() const { return m_fileSize; }
    uint8_t Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    uint16_t NominalBitRate() const { return m_nominalBitRate; }
    int64_t Samples() const { return m_samples; }
    int64_t ID3v2Size() const { return m_id3v2Size; }
    int64_t SecondPagePos() const { return m_secondPage.offset; }
    bool CommentFound() const { return m_commentFound; }
    bool CommentOnSecondPage() const { return m_commentOnSecondPage; }
    const std::vector<TCommentEntry>& Entries() const { return m_comment.entries(); }
    std::string VendorInfo() const;

    // The value of a comment name, trimmed; the last entry of that name wins.
    std::string Text(std::string_view name) const;
    std::string Title() const { return Text("TITLE"); }
    std::string Artist() const; // ARTIST, or PERFORMER when ARTIST is empty
    std::string Album() const { return Text("ALBUM"); }
    std::string Year() const { return Text("DATE"); }
    std::string Genre() const { return Text("GENRE"); }
    std::string Comment() const; // COMMENT, or DESCRIPTION when COMMENT is empty
    // The number before any "/" of TRACKNUMBER, kept to its low 8 bits; 0 when none or not a number.
    uint16_t Track() const;

    // Each sets the entries of its name to the trimmed value (removed when empty).
    void SetTitle(std::string_view v) { setText("TITLE", v); }
    void SetArtist(std::string_view v) { setText("ARTIST", v); }
    void SetAlbum(std::string_view v) { setText("ALBUM", v); }
    void SetYear(std::string_view v) { setText("DATE", v); }
    void SetGenre(std::string_view v) { setText("GENRE", v); }
    void SetComment(std::string_view v) { setText("COMMENT", v); }
    // 0 removes TRACKNUMBER.
    void SetTrack(uint16_t track);
    // The entries of `name` become one entry per value, in order (none: removed).
    void SetTexts(std::string_view name, const std::vector<std::string>& values);

private:
    void setText(std::string_view name, std::string_view value);
    void readSampleCount(TInSource& file, uint32_t serial);
    IoResult rebuildSecondPage(const std::string& fileName, TFileReader& src, TFileSystem& files);
    IoResult overwriteCommentPages(const std::string& fileName, TFileReader& src, TFileSystem& files);

    bool m_valid = false;
    int64_t m_fileSize = 0;
    uint8_t m_channels = 0;
    int m_sampleRate = 0;
    uint16_t m_nominalBitRate = 0;
    int64_t m_samples = 0;
    int64_t m_id3v2Size = 0;
    TOggPage m_secondPage;
    bool m_commentFound = false;
    bool m_commentOnSecondPage = false;
    int m_commentLastSegment = -1; // index of the second page's segment that ends the comment packet
    int64_t m_commentPacketLength = 0;
    std::vector<TOggPage> m_commentPages; // the pages the comment packet lies on, the second page first
    TVorbisComment m_comment;
    std::vector<std::pair<std::string, std::vector<std::string>>> m_changes;
};

// Tag writing for ".OGG": TITLE, ARTIST, ALBUM, DATE, TRACKNUMBER, GENRE and the MusicBrainz
// identifiers that are given set, everything else kept.
// The track text must be a decimal integer ("07" is written as 7); otherwise nothing is written.
IoResult WriteOggTags(const std::string& path, const TTagValues& values, TFileSystem& files = systemFiles());

// The file information window's values of an Ogg Vorbis file (everything but Size).
void ReadOggInfo(TInSource& in, TFileInfoValues& values);

// The playing time the folder scan takes for ".OGG": Duration of the source's stream, exact by the
// last page's granule position (a Vorbis stream starts at granule 0).
TPlayingTime OggPlayingTime(TInSource& in);

} // namespace cantorix
