#include "audio/formats/FLACfile.h"

#include "audio/Rational.h"
#include "audio/TextCodec.h"

#include <cstring>

namespace cantorix {

const std::array<const char*, 28> TFLACfile::KnownNames = {
    "TRACKNUMBER", "ARTIST",  "ALBUM",     "TITLE",     "DATE",         "GENRE",       "COMMENT",
    "COMPOSER",    "LANGUAGE", "COPYRIGHT", "URL",       "ENCODER",      "TONES",       "STYLES",
    "MOOD",        "SITUATION", "RATING",   "QUALITY",   "TEMPO",        "TYPE",        "PERFORMER",
    "LICENSE",     "ORGANIZATION", "DESCRIPTION", "LOCATION", "CONTACT", "ISRC",        "LYRICS",
};

namespace {

constexpr uint8_t kPadding = 1;
constexpr uint8_t kVorbisComment = 4;
constexpr uint8_t kInvalidType = 127; // reserved by the format so that a block cannot look like a frame
constexpr int64_t kMaxBlockLength = (int64_t(1) << 24) - 1;
constexpr int64_t kStreamInfoLength = 34;
constexpr int kMaxBlocks = 65536; // far beyond any real file; bounds the list a hostile chain can build
constexpr int64_t kNewPadding = 4096;

bool isKnownName(std::string_view name)
{
    for (const char* known : TFLACfile::KnownNames)
        if (name == known) return true;
    return false;
}

void putBlockHeader(ByteVector& out, uint8_t typeAndFlag, int64_t length)
{
    out.push_back(typeAndFlag);
    out.push_back(uint8_t(length >> 16));
    out.push_back(uint8_t(length >> 8));
    out.push_back(uint8_t(length));
}

} // namespace

void TFLACfile::clear()
{
    *this = TFLACfile();
}

bool TFLACfile::ReadFromFile(const std::string& fileName)
{
    const bool valid = ReadFileInto(*this, fileName);
    m_fileName = fileName;
    return valid;
}

bool TFLACfile::ReadFromSource(TInSource& in)
{
    clear();
    readStructure(in);
    if (Valid()) m_bitRate = RoundHalfEven((double(m_fileSize - m_audioOffset) / 1000.0 * 8.0) / Duration());
    return Valid();
}

// Walks the stream head and the metadata chain. Stops at the first thing that does not fit the file;
// the chain then counts as broken and the file as invalid.
bool TFLACfile::readStructure(TInSource& file)
{
    m_fileSize = file.size();
    m_id3v2Size = leadingID3v2Size(file);
    const int64_t base = m_id3v2Size;

    // "fLaC", then the STREAMINFO block header and its 34-byte body:
    //   rate 20 bits, channels-1 3 bits, bits per sample-1 5 bits, total samples 36 bits, MD5.
    uint8_t head[8];
    if (!file.readAt(base, head, sizeof head) || std::memcmp(head, "fLaC", 4) != 0) return false;
    m_marker = true;
    uint32_t infoLength = getBE24(head + 5);
    if ((head[4] & 0x7F) != 0 || infoLength < kStreamInfoLength) return false;
    uint8_t si[kStreamInfoLength];
    if (int64_t(infoLength) > m_fileSize - (base + 8) || !file.readAt(base + 8, si, sizeof si)) return false;
    m_streamInfoLength = infoLength;
    m_sampleRate = int((uint32_t(si[10]) << 12) | (uint32_t(si[11]) << 4) | (si[12] >> 4));
    m_channels = uint8_t(((si[12] >> 1) & 7) + 1);
    m_bitsPerSample = uint8_t((((si[12] & 1) << 4) | (si[13] >> 4)) + 1);
    m_samples = (int64_t(si[13] & 0x0F) << 32) | int64_t(getBE32(si + 14));

    int64_t pos = base + 8 + infoLength;
    bool last = (head[4] & 0x80) != 0;
    int counter = 0;
    while (!last) {
        uint8_t h[4];
        if (counter >= kMaxBlocks || !file.readAt(pos, h, sizeof h)) return false;
        ++counter;
        last = (h[0] & 0x80) != 0;
        uint8_t type = h[0] & 0x7F;
        uint32_t length = getBE24(h + 1);
        int64_t body = pos + 4;
        if (type == kInvalidType || int64_t(length) > m_fileSize - body) return false;
        if (type == kVorbisComment) ++m_commentBlocks;
        if (type == kVorbisComment && m_vorbisIndex == 0) {
            m_vorbisIndex = counter;
            m_vorbisOffset = body;
            m_tagSize = length;
            ByteVector bytes(length);
            if (!file.readAt(body, bytes.data(), length)) return false;
            m_comment.parse(bytes.data(), bytes.size());
            m_tagExists = !m_comment.entries().empty();
        } else if (type == kPadding && m_paddingIndex == 0) {
            m_paddingSize = length;
            m_paddingLast = last;
            m_paddingIndex = counter;
        } else {
            if (type == kPadding) m_paddingFragments = true;
            Block block{};
            std::memcpy(block.header, h, 4);
            block.bodyOffset = body;
            block.length = length;
            m_otherBlocks.push_back(block);
        }
        pos = body + length;
    }
    m_chainWhole = true;
    m_audioOffset = pos;
    return true;
}

bool TFLACfile::Valid() const
{
    return m_marker && m_chainWhole && m_channels > 0 && m_sampleRate > 0 && m_bitsPerSample > 0 && m_samples > 0;
}

double TFLACfile::Duration() const
{
    if (!Valid() || m_sampleRate <= 0) return 0.0;
    return double(m_samples) / double(m_sampleRate);
}

std::string TFLACfile::TagValue(std::string_view name) const
{
    std::string key = upperAscii(name);
    for (const TCommentEntry& e : m_comment.entries())
        if (e.hasEquals && e.name == key && !e.value.empty()) return e.value;
    return {};
}

void TFLACfile::SetTagValue(std::string_view name, std::string_view value)
{
    std::vector<std::string> values;
    if (!value.empty()) values.emplace_back(value);
    SetTagValues(name, values);
}

void TFLACfile::SetTagValues(std::string_view name, const std::vector<std::string>& values)
{
    m_comment.setValues(name, values);
    m_changes.emplace_back(upperAscii(name), values);
}

std::vector<std::pair<std::string, std::string>> TFLACfile::ExtraFields() const
{
    // A known name takes the first entry that gives it a value; entries before that with an empty
    // value are absorbed, everything after it is extra.
    std::vector<std::pair<std::string, std::string>> extra;
    std::vector<std::string> filled;
    for (const TCommentEntry& e : m_comment.entries()) {
        if (!e.hasEquals) continue;
        bool known = isKnownName(e.name);
        bool isFilled = false;
        for (const std::string& f : filled) isFilled = isFilled || f == e.name;
        if (known && !isFilled) {
            if (!e.value.empty()) filled.push_back(e.name);
        } else {
            extra.emplace_back(e.name, e.value);
        }
    }
    return extra;
}

IoResult TFLACfile::SaveToFile(const std::string& fileName, TFileSystem& files)
{
    TFileReader src;
    if (IoResult opened = src.open(fileName); !opened) return opened;
    TFLACfile current;
    if (!current.ReadFromSource(src)) {
        // A refused read is reported as it is; a file that ends early is just not a FLAC file.
        IoResult why = src.error();
        return why.code ? why : IoResult::failure("not a valid FLAC file");
    }
    for (const auto& [name, values] : m_changes) current.m_comment.setValues(name, values);
    IoResult result = current.replaceCommentBlock(fileName, src, files);
    src.close();
    if (result) ReadFromFile(fileName);
    return result;
}

// Writes the comment block of this (freshly read) object into the file. Three layouts:
//  1. the first PADDING block directly follows the comment block and absorbs the change in size:
//     only those two blocks are overwritten;
//  2. the padding absorbs it but lies elsewhere or is fragmented: the metadata after STREAMINFO is
//     rewritten in place as the kept blocks, the comment block and one PADDING block flagged last;
//  3. otherwise the file is rewritten through a temporary copy with 4096 bytes of new padding.
// In layouts 1 and 2 the metadata ends exactly where it ended, so the audio frames do not move. A
// comment block that already holds these bytes is not written at all.
IoResult TFLACfile::replaceCommentBlock(const std::string& fileName, TFileReader& src, TFileSystem& files)
{
    const bool hasBlock = m_vorbisIndex > 0;
    if (hasBlock && m_comment.damaged())
        return IoResult::failure("The comment block is damaged");
    // The format allows one; with more, which one a reader takes depends on the reader.
    if (m_commentBlocks > 1) return IoResult::failure("The file has more than one comment block");
    if (!hasBlock && m_comment.vendor().empty()) m_comment.setVendor(DefaultVendor);
    ByteVector body = m_comment.build();
    const int64_t s = int64_t(body.size());
    // Tags that are already there are not written again: no write, no sync.
    if (!hasBlock && m_comment.entries().empty()) return IoResult::success();
    if (hasBlock && s == m_tagSize) {
        ByteVector old;
        if (!src.seek(m_vorbisOffset) || !src.read(old, size_t(m_tagSize))) return src.error();
        if (old == body) return IoResult::success();
    }
    if (s > kMaxBlockLength) return IoResult::failure("The comments are too large for a FLAC metadata block");

    ByteVector commentBlock;
    commentBlock.reserve(body.size() + 8);
    putBlockHeader(commentBlock, kVorbisComment, s);
    commentBlock.insert(commentBlock.end(), body.begin(), body.end());

    // Growth of the comment block; without an old block its 4-byte header is new too.
    const int64_t growth = s - m_tagSize + (hasBlock ? 0 : 4);
    const int64_t metaStart = m_id3v2Size + 8 + m_streamInfoLength;
    int64_t keptBytes = 0;
    for (const Block& b : m_otherBlocks)
        if (b.type() != kPadding) keptBytes += 4 + int64_t(b.length);

    if (m_paddingIndex > 0 && m_paddingSize > growth) {
        const int64_t p = m_paddingSize - growth; // may exceed the length field when the comments shrink
        if (hasBlock && m_paddingIndex == m_vorbisIndex + 1 && !m_paddingFragments && p <= kMaxBlockLength) {
            ByteVector out = std::move(commentBlock);
            putBlockHeader(out, uint8_t(kPadding | (m_paddingLast ? 0x80 : 0)), p);
            // Unchanged padding keeps its old bytes.
            if (p != m_paddingSize) out.resize(out.size() + size_t(p), 0);
            return writeInPlace(fileName, m_vorbisOffset - 4, out.data(), out.size(), files);
        }
        const int64_t rest = (m_audioOffset - metaStart) - keptBytes - int64_t(commentBlock.size()) - 4;
        if (rest >= 1 && rest <= kMaxBlockLength) {
            ByteVector out;
            out.reserve(size_t(m_audioOffset - metaStart));
            for (const Block& b : m_otherBlocks) {
                if (b.type() == kPadding) continue;
                putBlockHeader(out, b.type(), b.length);
                size_t at = out.size();
                out.resize(at + b.length);
                if (!src.readAt(b.bodyOffset, out.data() + at, b.length)) return src.error();
            }
            out.insert(out.end(), commentBlock.begin(), commentBlock.end());
            putBlockHeader(out, kPadding | 0x80, rest);
            out.resize(out.size() + size_t(rest), 0);
            return writeInPlace(fileName, metaStart, out.data(), out.size(), files);
        }
    }

    auto produce = [&](TOutSink& out) {
        ByteVector head;
        putBlockHeader(head, 0, m_streamInfoLength); // STREAMINFO, no longer the last block
        if (!out.copyFrom(src, 0, m_id3v2Size + 4) || !out.write(head) ||
            !out.copyFrom(src, m_id3v2Size + 8, m_streamInfoLength))
            return false;
        for (const Block& b : m_otherBlocks) {
            if (b.type() == kPadding) continue;
            ByteVector h;
            putBlockHeader(h, b.type(), b.length);
            if (!out.write(h) || !out.copyFrom(src, b.bodyOffset, b.length)) return false;
        }
        ByteVector padding;
        putBlockHeader(padding, kPadding | 0x80, kNewPadding);
        padding.resize(padding.size() + size_t(kNewPadding), 0);
        return out.write(commentBlock) && out.write(padding) &&
               out.copyFrom(src, m_audioOffset, src.size() - m_audioOffset);
    };
    return rewriteFrom(src, fileName, produce, files);
}

IoResult WriteFLACTags(const std::string& path, const TTagValues& values, TFileSystem& files)
{
    TFLACfile file;
    // In the order of the known names, which is where new entries are appended.
    file.SetTagValue("TRACKNUMBER", CanonicalTrack(values.Track));
    file.SetTagValue("ARTIST", values.Artist);
    file.SetTagValue("ALBUM", values.Album);
    file.SetTagValue("TITLE", values.Title);
    file.SetTagValue("DATE", values.Year);
    file.SetTagValue("GENRE", values.Genre);
    if (!values.AlbumArtist.empty()) file.SetTagValue("ALBUMARTIST", values.AlbumArtist);
    for (const TMusicBrainzField& f : MusicBrainzFields(values)) file.SetTagValues(f.VorbisName, f.Values);
    return file.SaveToFile(path, files);
}

void ReadFLACInfo(TInSource& in, TFileInfoValues& values)
{
    TFLACfile file;
    file.ReadFromSource(in);
    values.Artist = file.Artist();
    values.Album = file.Album();
    values.Title = file.Title();
    values.Year = file.Date();
    values.Genre = file.Genre();
    values.Track = file.TrackNumber();
    values.Duration = FormatLongDuration(file.Duration());
    values.SampleRate = RateKHz(file.SampleRate());
    values.Bitrate = std::to_string(file.BitRate());
    values.Channels = ChannelCode(file.Channels());
    values.Other = "Encoder: " + file.Encoder();
}

TPlayingTime FLACPlayingTime(TInSource& in) { return PlayingTimeOf<TFLACfile, &TFLACfile::Samples>(in); }

} // namespace cantorix
