// FLAC: the stream parameters of STREAMINFO, the metadata chain and its Vorbis comments, and writing
// comments back (in place over the padding when it allows, otherwise through a temporary copy).
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

class TFLACfile {
public:
    // The comment names the reader knows, in the order in which they are usually written.
    static const std::array<const char*, 28> KnownNames;

    // Vendor string of a comment block this program creates where the file had none.
    static constexpr const char* DefaultVendor = "reference libFLAC 1.1.0 20030126";

    // One metadata block after STREAMINFO that the comment writer keeps as it is.
    struct Block {
        uint8_t header[4];  // as read: last-block flag, type, 24-bit body length
        int64_t bodyOffset; // file offset of the body
        uint32_t length;    // body length
        uint8_t type() const { return header[0] & 0x7F; }
    };

    // Reads the stream head (after a leading ID3v2 tag), the metadata chain and the comments.
    // Returns Valid().
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source.
    bool ReadFromSource(TInSource& in);

    // Writes the comment values changed through SetTagValue since the last read into the file. The
    // file is read again first; every other comment entry and every other metadata block stays as
    // it is. Only metadata bytes are overwritten when the padding allows; otherwise the file is
    // rewritten through a temporary copy. On failure the file is unchanged (an in-place write that
    // fails half way leaves only metadata bytes touched) and the reason is returned.
    IoResult SaveToFile(const std::string& fileName, TFileSystem& files = systemFiles());

    // The marker was found, the metadata chain is whole, and channels, rate, bits and samples are
    // all above 0.
    bool Valid() const;
    // Seconds; 0 when not valid.
    double Duration() const;

    const std::string& FileName() const { return m_fileName; }
    int64_t FileSize() const { return m_fileSize; }
    uint8_t Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    uint8_t BitsPerSample() const { return m_bitsPerSample; }
    int64_t Samples() const { return m_samples; }
    // Average bit rate in kbit/s over the bytes after the metadata.
    int BitRate() const { return m_bitRate; }
    int64_t ID3v2Size() const { return m_id3v2Size; }
    int64_t AudioOffset() const { return m_audioOffset; }
    int64_t PaddingSize() const { return m_paddingSize; }
    int PaddingIndex() const { return m_paddingIndex; }
    bool PaddingLast() const { return m_paddingLast; }
    bool PaddingFragments() const { return m_paddingFragments; }
    int VorbisIndex() const { return m_vorbisIndex; }
    int64_t VorbisOffset() const { return m_vorbisOffset; }
    int64_t TagSize() const { return m_tagSize; }
    const std::vector<Block>& OtherBlocks() const { return m_otherBlocks; }
    const std::string& VendorInfo() const { return m_comment.vendor(); }
    bool TagExists() const { return m_tagExists; }

    // The value of a comment name: the first non-empty entry of that name ("" when none).
    std::string TagValue(std::string_view name) const;
    // Sets the entries of `name` to exactly this value (UTF-8); empty removes them. Applied to the
    // file by SaveToFile.
    void SetTagValue(std::string_view name, std::string_view value);
    // The same with several values: one entry each, in order (empty values are left out).
    void SetTagValues(std::string_view name, const std::vector<std::string>& values);
    // Entries of unknown names and repeated known names, in file order, names upper-cased.
    std::vector<std::pair<std::string, std::string>> ExtraFields() const;
    const std::vector<TCommentEntry>& Entries() const { return m_comment.entries(); }

    std::string Title() const { return TagValue("TITLE"); }
    std::string Artist() const { return TagValue("ARTIST"); }
    std::string Album() const { return TagValue("ALBUM"); }
    std::string Date() const { return TagValue("DATE"); }
    std::string Genre() const { return TagValue("GENRE"); }
    std::string TrackNumber() const { return TagValue("TRACKNUMBER"); }
    std::string Encoder() const { return TagValue("ENCODER"); }

private:
    void clear();
    bool readStructure(TInSource& file);
    IoResult replaceCommentBlock(const std::string& fileName, TFileReader& src, TFileSystem& files);

    std::string m_fileName;
    int64_t m_fileSize = 0;
    bool m_marker = false;
    bool m_chainWhole = false;
    uint8_t m_channels = 0;
    int m_sampleRate = 0;
    uint8_t m_bitsPerSample = 0;
    int64_t m_samples = 0;
    int m_bitRate = 0;
    int64_t m_id3v2Size = 0;
    uint32_t m_streamInfoLength = 0;
    int64_t m_audioOffset = 0;
    int64_t m_paddingSize = 0;
    int m_paddingIndex = 0;
    bool m_paddingLast = false;
    bool m_paddingFragments = false;
    int m_vorbisIndex = 0;
    int m_commentBlocks = 0;
    int64_t m_vorbisOffset = 0;
    int64_t m_tagSize = 0;
    std::vector<Block> m_otherBlocks;
    TVorbisComment m_comment;
    bool m_tagExists = false;
    std::vector<std::pair<std::string, std::vector<std::string>>> m_changes;
};

// Tag writing for ".FLAC": TITLE, ARTIST, ALBUM, DATE, TRACKNUMBER (a decimal track as the plain
// number, any other text unchanged), GENRE and the MusicBrainz identifiers that are given set to the
// given values, everything else in the file kept. Nothing is written when the comments already hold
// these values.
IoResult WriteFLACTags(const std::string& path, const TTagValues& values, TFileSystem& files = systemFiles());

// The file information window's values of a FLAC file (everything but Size).
void ReadFLACInfo(TInSource& in, TFileInfoValues& values);

// The playing time the folder scan takes for ".FLAC": Duration of the source's stream, exact by
// STREAMINFO's total samples.
TPlayingTime FLACPlayingTime(TInSource& in);

} // namespace cantorix
