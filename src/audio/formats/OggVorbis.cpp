#include "audio/formats/OggVorbis.h"

#include "audio/Rational.h"
#include "audio/TagText.h"
#include "audio/TextCodec.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace cantorix {

const std::array<const char*, 9> TOggVorbis::KnownNames = {
    "TITLE", "ARTIST", "ALBUM", "TRACKNUMBER", "DATE", "GENRE", "COMMENT", "PERFORMER", "DESCRIPTION",
};

namespace {

struct CrcTable {
    uint32_t v[256];
    CrcTable()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : (r << 1);
            v[i] = r;
        }
    }
};

// How far before the end the last page is looked for.
constexpr int64_t kLastPageWindow = 12060;
// A comment packet (cover art included) larger than this is not read.
constexpr int64_t kMaxCommentPacket = int64_t(64) << 20;

// A signed decimal integer with nothing else around it but spaces; false otherwise.
bool parseInteger(std::string_view text, long long& out)
{
    std::string t = trimBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i == t.size()) return false;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9' || v > (LLONG_MAX - 9) / 10) return false;
        v = v * 10 + (t[i] - '0');
    }
    out = negative ? -v : v;
    return true;
}

} // namespace

uint32_t OggCrc(const uint8_t* data, size_t n, uint32_t crc)
{
    static const CrcTable table;
    for (size_t i = 0; i < n; ++i) crc = table.v[((crc >> 24) ^ data[i]) & 0xFF] ^ (crc << 8);
    return crc;
}

bool ReadOggPage(TInSource& file, int64_t offset, TOggPage& page)
{
    page = TOggPage();
    page.offset = offset;
    if (!file.readAt(offset, page.header, sizeof page.header)) return false;
    if (std::memcmp(page.header, "OggS", 4) != 0 || page.header[4] != 0) return false;
    int n = page.segments();
    if (!file.readAt(offset + 27, page.lacing, size_t(n))) return false;
    page.bodyOffset = offset + 27 + n;
    for (int i = 0; i < n; ++i) page.bodyLength += page.lacing[i];
    return page.bodyLength <= file.size() - page.bodyOffset;
}

bool TOggVorbis::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TOggVorbis::ReadFromSource(TInSource& file)
{
    *this = TOggVorbis();
    m_fileSize = file.size();
    m_id3v2Size = leadingID3v2Size(file);

    // The first page carries the identification header alone:
    //   1 "vorbis", version 4, channels 1, rate 4, maximum 4, nominal 4, minimum 4, block sizes 1, framing 1.
    TOggPage first;
    if (!ReadOggPage(file, m_id3v2Size, first)) return false;
    uint8_t id[30];
    if (first.bodyLength < int64_t(sizeof id) || !file.readAt(first.bodyOffset, id, sizeof id)) return false;
    if (id[0] != 1 || std::memcmp(id + 1, "vorbis", 6) != 0) return false;
    m_valid = true;
    m_channels = id[11];
    uint32_t rate = getLE32(id + 12);
    m_sampleRate = rate > uint32_t(INT_MAX) ? 0 : int(rate);
    auto nominal = int32_t(getLE32(id + 20)); // 0 or negative: not set
    m_nominalBitRate = nominal > 0 ? uint16_t(std::min<int32_t>(nominal / 1000, 0xFFFF)) : 0;

    // The comment header starts the second page: 3 "vorbis", the comment structure, framing byte.
    // Its packet may run on over further pages; it is read whole, but only one that ends on the
    // second page can be rewritten.
    if (ReadOggPage(file, first.end(), m_secondPage) && m_secondPage.serial() == first.serial() &&
        !m_secondPage.continued()) {
        ByteVector packet;
        bool ended = false;
        TOggPage page = m_secondPage;
        std::vector<TOggPage> pages;
        for (bool firstPage = true;; firstPage = false) {
            pages.push_back(page);
            int64_t take = 0;
            int i = 0;
            for (; i < page.segments() && !ended; ++i) {
                take += page.lacing[i];
                ended = page.lacing[i] < 255;
            }
            if (take > kMaxCommentPacket - int64_t(packet.size())) {
                ended = false;
                break;
            }
            size_t at = packet.size();
            packet.resize(at + size_t(take));
            if (!file.readAt(page.bodyOffset, packet.data() + at, size_t(take))) {
                ended = false;
                break;
            }
            if (ended) {
                if (firstPage) {
                    m_commentOnSecondPage = true;
                    m_commentLastSegment = i - 1;
                }
                break;
            }
            TOggPage next;
            if (!ReadOggPage(file, page.end(), next) || next.serial() != first.serial() || !next.continued()) break;
            page = next;
        }
        if (ended && packet.size() >= 7 && packet[0] == 3 && std::memcmp(packet.data() + 1, "vorbis", 6) == 0) {
            m_commentFound = true;
            m_commentPacketLength = int64_t(packet.size());
            m_commentPages = std::move(pages);
            m_comment.parse(packet.data() + 7, packet.size() - 7);
        } else {
            m_commentOnSecondPage = false;
        }
    }

    readSampleCount(file, first.serial());
    return true;
}

// The granule position of the last whole page of the stream near the end of the file. A candidate
// "OggS" counts only when its page is complete, its CRC matches, it belongs to the stream, and a
// packet ends on it.
void TOggVorbis::readSampleCount(TInSource& file, uint32_t serial)
{
    int64_t lo = std::max(m_id3v2Size, m_fileSize - kLastPageWindow);
    int64_t hi = m_fileSize - 27;
    if (hi < lo) return;
    ByteVector window(size_t(m_fileSize - lo));
    if (!file.readAt(lo, window.data(), window.size())) return;
    for (int64_t p = hi; p >= lo; --p) {
        const uint8_t* w = window.data() + (p - lo);
        if (w[0] != 'O' || w[1] != 'g' || w[2] != 'g' || w[3] != 'S') continue;
        TOggPage page;
        if (!ReadOggPage(file, p, page) || page.serial() != serial || page.granule() < 0) continue;
        ByteVector bytes(size_t(page.end() - page.offset));
        if (!file.readAt(page.offset, bytes.data(), bytes.size())) continue;
        std::memset(bytes.data() + 22, 0, 4);
        if (OggCrc(bytes.data(), bytes.size()) != page.crc()) continue;
        m_samples = page.granule();
        return;
    }
}

double TOggVorbis::Duration() const
{
    if (m_samples > 0) return m_sampleRate > 0 ? double(m_samples) / double(m_sampleRate) : 0.0;
    if (m_nominalBitRate > 0 && m_channels > 0)
        return double(m_fileSize - m_id3v2Size) / m_nominalBitRate / m_channels / 125.0 * 2.0;
    return 0.0;
}

int TOggVorbis::BitRate() const
{
    double d = Duration();
    return d > 0 ? RoundHalfEven(double(m_fileSize - m_id3v2Size) / d / 125.0) : 0;
}

std::string TOggVorbis::ChannelMode() const
{
    switch (m_channels) {
    case 0: return "Unknown";
    case 1: return "Mono";
    case 2: return "Stereo";
    default: return "Multichannel";
    }
}

std::string TOggVorbis::VendorInfo() const { return sanitizeUtf8(m_comment.vendor()); }

std::string TOggVorbis::Text(std::string_view name) const
{
    std::string key = upperAscii(name);
    std::string value;
    for (const TCommentEntry& e : m_comment.entries())
        if (e.hasEquals && e.name == key) value = e.value;
    return trimBlanks(value);
}

std::string TOggVorbis::Artist() const
{
    std::string a = Text("ARTIST");
    return a.empty() ? Text("PERFORMER") : a;
}

std::string TOggVorbis::Comment() const
{
    std::string c = Text("COMMENT");
    return c.empty() ? Text("DESCRIPTION") : c;
}

uint16_t TOggVorbis::Track() const
{
    std::string t = Text("TRACKNUMBER");
    long long n = 0;
    if (!parseInteger(t.substr(0, t.find('/')), n)) return 0;
    return uint16_t(uint64_t(n) & 0xFF);
}

void TOggVorbis::setText(std::string_view name, std::string_view value)
{
    std::vector<std::string> values;
    if (std::string v = trimBlanks(value); !v.empty()) values.push_back(std::move(v));
    SetTexts(name, values);
}

void TOggVorbis::SetTexts(std::string_view name, const std::vector<std::string>& values)
{
    m_comment.setValues(name, values);
    m_changes.emplace_back(std::string(name), values);
}

void TOggVorbis::SetTrack(uint16_t track)
{
    setText("TRACKNUMBER", track > 0 ? std::to_string(track) : std::string());
}

IoResult TOggVorbis::SaveToFile(const std::string& fileName, TFileSystem& files)
{
    TFileReader src;
    if (IoResult opened = src.open(fileName); !opened) return opened;
    TOggVorbis current;
    if (!current.ReadFromSource(src)) {
        // A refused read is reported as it is; a file that ends early is just not an Ogg Vorbis file.
        IoResult why = src.error();
        return why.code ? why : IoResult::failure("not a valid Ogg Vorbis file");
    }
    if (!current.m_commentFound) return IoResult::failure("The file has no Vorbis comment header");
    // A decoder insists on the framing bit right after the last entry.
    const TVorbisComment& old = current.m_comment;
    if (old.damaged() || old.tail().empty() || (uint8_t(old.tail()[0]) & 1) == 0)
        return IoResult::failure("The comment header is damaged");
    const ByteVector oldBody = old.build();
    for (const auto& [name, values] : m_changes) current.m_comment.setValues(name, values);

    IoResult result;
    if (current.m_comment.build() == oldBody) {
        // The comments hold these values already: nothing is written.
    } else if (current.m_comment.padTo(oldBody.size())) {
        result = current.overwriteCommentPages(fileName, src, files);
    } else {
        result = current.rebuildSecondPage(fileName, src, files);
    }
    src.close();
    if (result) ReadFromFile(fileName);
    return result;
}

// The new comment packet has the old one's length, so it takes the same segments of the same pages:
// only the packet's bytes and the pages' checksums change, in place. The pages must follow each other
// in the file (as they do in a file of one stream), so that one write carries them all.
IoResult TOggVorbis::overwriteCommentPages(const std::string& fileName, TFileReader& src, TFileSystem& files)
{
    ByteVector packet = {3, 'v', 'o', 'r', 'b', 'i', 's'};
    ByteVector body = m_comment.build();
    packet.insert(packet.end(), body.begin(), body.end());
    if (int64_t(packet.size()) != m_commentPacketLength || m_commentPages.empty())
        return IoResult::failure("The comment header changed its size");
    for (size_t i = 1; i < m_commentPages.size(); ++i)
        if (m_commentPages[i].offset != m_commentPages[i - 1].end()) return rebuildSecondPage(fileName, src, files);

    const int64_t start = m_commentPages.front().offset;
    const int64_t length = m_commentPages.back().end() - start;
    ByteVector pages;
    if (!src.seek(start) || !src.read(pages, size_t(length))) return src.error();
    size_t used = 0; // bytes of the packet laid so far
    for (const TOggPage& page : m_commentPages) {
        const size_t at = size_t(page.bodyOffset - start);
        const size_t take = std::min(size_t(page.bodyLength), packet.size() - used);
        std::memcpy(pages.data() + at, packet.data() + used, take);
        used += take;
        uint8_t* head = pages.data() + (page.offset - start);
        std::memset(head + 22, 0, 4);
        putLE32(head + 22, OggCrc(head, size_t(page.end() - page.offset)));
    }
    if (used != packet.size()) return IoResult::failure("The comment header changed its size");
    return writeInPlace(fileName, start, pages.data(), pages.size(), files);
}

// The packet changed its length: the second page is rebuilt around it and the file rewritten.
IoResult TOggVorbis::rebuildSecondPage(const std::string& fileName, TFileReader& src, TFileSystem& files)
{
    if (!m_commentOnSecondPage) return IoResult::failure("The comment header does not end on the second page");

    ByteVector packet = {3, 'v', 'o', 'r', 'b', 'i', 's'};
    ByteVector body = m_comment.build();
    packet.insert(packet.end(), body.begin(), body.end());

    // The new packet's lacing, then the page's other segments (the setup header) unchanged.
    std::vector<uint8_t> lacing(packet.size() / 255, 255);
    lacing.push_back(uint8_t(packet.size() % 255));
    const TOggPage& old = m_secondPage;
    for (int i = m_commentLastSegment + 1; i < old.segments(); ++i) lacing.push_back(old.lacing[i]);
    if (lacing.size() > 255) return IoResult::failure("The comments do not fit on the second page");

    ByteVector page(old.header, old.header + 27);
    page[26] = uint8_t(lacing.size());
    std::memset(page.data() + 22, 0, 4);
    page.insert(page.end(), lacing.begin(), lacing.end());
    page.insert(page.end(), packet.begin(), packet.end());
    const int64_t restLength = old.bodyLength - m_commentPacketLength;
    size_t at = page.size();
    page.resize(at + size_t(restLength));
    if (!src.readAt(old.bodyOffset + m_commentPacketLength, page.data() + at, size_t(restLength)))
        return src.error();
    putLE32(page.data() + 22, OggCrc(page.data(), page.size()));

    auto produce = [&](TOutSink& out) {
        return out.copyFrom(src, 0, old.offset) && out.write(page) &&
               out.copyFrom(src, old.end(), src.size() - old.end());
    };
    return rewriteFrom(src, fileName, produce, files);
}

IoResult WriteOggTags(const std::string& path, const TTagValues& values, TFileSystem& files)
{
    // A track that is empty or not a number is left out; the other values are still written.
    long long track = 0;
    if (!parseInteger(values.Track, track)) track = 0;
    TOggVorbis file;
    file.SetTitle(values.Title);
    file.SetArtist(values.Artist);
    file.SetAlbum(values.Album);
    file.SetTrack(uint16_t(track));
    file.SetYear(values.Year);
    file.SetGenre(values.Genre);
    if (!values.AlbumArtist.empty()) file.SetTexts("ALBUMARTIST", {values.AlbumArtist});
    for (const TMusicBrainzField& f : MusicBrainzFields(values)) file.SetTexts(f.VorbisName, f.Values);
    return file.SaveToFile(path, files);
}

void ReadOggInfo(TInSource& in, TFileInfoValues& values)
{
    TOggVorbis file;
    file.ReadFromSource(in);
    FillTagValues(file, values);
    FillStreamValues(file, values);
}

TPlayingTime OggPlayingTime(TInSource& in) { return PlayingTimeOf<TOggVorbis, &TOggVorbis::Samples>(in); }

} // namespace cantorix
