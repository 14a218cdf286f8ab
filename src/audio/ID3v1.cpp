#include "audio/ID3v1.h"

#include "audio/TagText.h"
#include "audio/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace cantorix {

const std::array<const char*, 148> Genres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing",
    "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock",
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata",
    "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba",
    "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock",
    "Drum Solo", "A capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House",
    "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat",
    "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synthpop",
};

std::string GenreName(int code)
{
    return code >= 0 && code < int(Genres.size()) ? Genres[size_t(code)] : "";
}

uint8_t GenreCodeOf(const std::string& name)
{
    for (size_t i = 0; i < Genres.size(); ++i)
        if (equalsIgnoreCaseAscii(name, Genres[i])) return uint8_t(i);
    return 255;
}

namespace {

constexpr size_t kMaxLyrics3Value = 99999; // five decimal digits

// A fixed-width ISO-8859-1 field: up to its first zero byte, trailing blanks removed, as UTF-8.
std::string fieldText(const uint8_t* p, size_t width)
{
    size_t n = 0;
    while (n < width && p[n] != 0) ++n;
    return latin1ToUtf8(trimRightBlanks(std::string(reinterpret_cast<const char*>(p), n)));
}

std::string zeroPadded(int64_t v, int width)
{
    std::string s = std::to_string(v);
    if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), '0');
    return s;
}

// Lyrics keep CR LF line ends: every CR gains an LF, and a doubled LF after CR is dropped again.
std::string normaliseLineEnds(const std::string& s)
{
    std::string a;
    for (char c : s) {
        a += c;
        if (c == '\r') a += '\n';
    }
    std::string b;
    for (size_t i = 0; i < a.size(); ++i) {
        b += a[i];
        if (a[i] == '\r' && i + 2 < a.size() && a[i + 1] == '\n' && a[i + 2] == '\n') {
            b += '\n';
            i += 2;
        }
    }
    return b;
}

} // namespace

void TID3v1::setLong(const std::string& v, std::string& plain, std::string& ext)
{
    plain = trimRightBlanks(v);
    ext = utf8Length(plain) >= 31 ? plain : std::string();
}

void TID3v1::SetYear(const std::string& v) { m_year = utf8Prefix(trimRightBlanks(v), 4); }

void TID3v1::SetTrackText(const std::string& text)
{
    std::string t = trimBlanks(text);
    int64_t v = decimalDigits(reinterpret_cast<const uint8_t*>(t.data()), std::min<size_t>(t.size(), 9));
    m_track = (t.size() <= 9 && v >= 1 && v <= 255) ? uint8_t(v) : 0;
}

void TID3v1::ResetData()
{
    *this = TID3v1();
}

int64_t TID3v1::TotalSize() const
{
    return (m_present ? 128 : 0) + (m_lyrics3Size > 0 ? m_lyrics3Size + 15 : 0);
}

bool TID3v1::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TID3v1::ReadFromSource(TInSource& in)
{
    ResetData();
    Detected found;
    if (!detect(in, found) || !readValues(in, found)) {
        ResetData();
        return false;
    }
    return true;
}

// Finds the tag and the block without decoding them.
bool TID3v1::detect(TInSource& file, Detected& found)
{
    found = Detected();
    const int64_t size = file.size();
    if (size >= 128) {
        uint8_t head[3];
        if (!file.readAt(size - 128, head, 3)) return false;
        found.present = std::memcmp(head, "TAG", 3) == 0;
    }
    // The block ends in a 6-digit size and "LYRICS200", just before the tag or at the end of the file.
    const int64_t L = found.present ? 143 : 15;
    if (size < L) return true;
    uint8_t end[15];
    if (!file.readAt(size - L, end, 15)) return false;
    if (std::memcmp(end + 6, "LYRICS200", 9) != 0) return true;
    int64_t blockSize = std::max<int64_t>(0, decimalDigits(end, 6));
    if (blockSize < 11 || blockSize > size - L) return true;
    uint8_t begin[11];
    if (!file.readAt(size - L - blockSize, begin, 11)) return false;
    if (std::memcmp(begin, "LYRICSBEGIN", 11) != 0) return true;
    found.lyrics3Size = blockSize;
    found.lyrics3Start = size - L - blockSize;
    return true;
}

bool TID3v1::readValues(TInSource& file, const Detected& found)
{
    m_present = found.present;
    if (found.present) {
        uint8_t t[128];
        if (!file.readAt(file.size() - 128, t, 128)) return false;
        m_version = ((t[125] == 0 && t[126] != 0) || (t[125] == 32 && t[126] != 32)) ? 2 : 1;
        SetTitle(fieldText(t + 3, 30));
        SetArtist(fieldText(t + 33, 30));
        SetAlbum(fieldText(t + 63, 30));
        SetYear(fieldText(t + 93, 4));
        if (m_version == 2) {
            SetComment(fieldText(t + 97, 28));
            m_track = t[126];
        } else {
            SetComment(fieldText(t + 97, 30));
        }
        m_genreCode = t[127];
    }
    if (found.lyrics3Size > 0) {
        m_hasLyrics3 = true;
        m_lyrics3Size = found.lyrics3Size;
        // The fields lie between "LYRICSBEGIN" and the block's size field.
        walkLyrics3(file, found.lyrics3Start + 11, found.lyrics3Start + found.lyrics3Size);
    }
    return true;
}

void TID3v1::walkLyrics3(TInSource& file, int64_t pos, int64_t end)
{
    // Each field: 3-character identifier, 5 decimal digits of length, the value. Every field costs at
    // least 8 bytes, so the walk ends within the block.
    while (end - pos >= 8) {
        uint8_t head[8];
        if (!file.readAt(pos, head, 8)) return;
        int64_t len = decimalDigits(head + 3, 5);
        if (len < 0) return;
        pos += 8;
        len = std::min(len, end - pos);
        std::string raw(size_t(len), '\0');
        if (len > 0 && !file.readAt(pos, raw.data(), size_t(len))) return;
        pos += len;
        std::string id(reinterpret_cast<const char*>(head), 3);
        std::string value = latin1ToUtf8(raw);
        if (id == "IND") {
            // indicators: nothing to keep, they are written anew
        } else if (id == "LYR") {
            m_lyrics = normaliseLineEnds(latin1ToUtf8(trimBlanks(raw)));
        } else if (id == "INF") {
            SetComment(trimBlanks(value));
        } else if (id == "AUT") {
            m_author = trimBlanks(value);
        } else if (id == "EAL") {
            SetAlbum(trimBlanks(value));
        } else if (id == "EAR") {
            SetArtist(trimBlanks(value));
        } else if (id == "ETT") {
            SetTitle(trimBlanks(value));
        } else if (id == "IMG") {
            m_image = value;
        } else {
            return;
        }
    }
}

bool TID3v1::wantsLyrics3() const
{
    bool own = !m_lyrics.empty() || !m_author.empty() || !m_image.empty();
    bool any = !m_lyrics.empty() || !m_author.empty() || !m_extArtist.empty() || !m_extAlbum.empty() ||
               !m_extComment.empty() || !m_extTitle.empty();
    // A block read from the file is kept as long as it has something to hold, even without lyrics.
    bool kept = m_hasLyrics3 && (own || !m_extArtist.empty() || !m_extAlbum.empty() ||
                                 !m_extComment.empty() || !m_extTitle.empty());
    return (own && any) || kept;
}

ByteVector TID3v1::buildTail(int64_t* lyrics3Size, bool withLyrics3) const
{
    ByteVector out;
    int64_t blockSize = 0;
    if (withLyrics3 && wantsLyrics3()) {
        std::string block = "LYRICSBEGIN";
        block += m_lyrics.empty() ? "IND0000200" : "IND0000210";
        auto field = [&](const char* id, const std::string& value) {
            if (trimBlanks(value).empty()) return;
            std::string bytes = utf8ToLatin1(value);
            if (bytes.size() > kMaxLyrics3Value) bytes.resize(kMaxLyrics3Value);
            block += id;
            block += zeroPadded(int64_t(bytes.size()), 5);
            block += bytes;
        };
        field("EAL", m_extAlbum);
        field("EAR", m_extArtist);
        field("ETT", m_extTitle);
        field("INF", m_extComment);
        field("AUT", m_author);
        field("LYR", m_lyrics);
        field("IMG", m_image);
        blockSize = int64_t(block.size());
        block += zeroPadded(blockSize, 6);
        block += "LYRICS200";
        out.assign(block.begin(), block.end());
    }
    if (lyrics3Size) *lyrics3Size = blockSize;

    uint8_t tag[128] = {};
    std::memcpy(tag, "TAG", 3);
    auto put = [&](size_t at, const std::string& utf8, size_t width) {
        std::string bytes = utf8ToLatin1Field(trimRightBlanks(utf8), width);
        std::memcpy(tag + at, bytes.data(), bytes.size());
    };
    put(3, Title(), 30);
    put(33, Artist(), 30);
    put(63, Album(), 30);
    put(93, m_year, 4);
    put(97, Comment(), 30);
    if (m_track != 0) {
        tag[125] = 0;
        tag[126] = m_track;
    }
    tag[127] = m_genreCode;
    out.insert(out.end(), tag, tag + 128);
    return out;
}

IoResult TID3v1::SaveToFile(const std::string& fileName, TFileSystem& files)
{
    TFileReader file;
    if (IoResult opened = file.open(fileName); !opened) return opened;
    TID3v1Plan plan;
    if (IoResult planned = PlanSave(file, plan); !planned) return planned;
    IoResult r;
    if (plan.inPlace()) {
        file.close();
        r = writeInPlace(fileName, plan.keep, plan.tail.data(), plan.tail.size(), files);
    } else {
        auto produce = [&](TOutSink& out) { return out.copyFrom(file, 0, plan.keep) && out.write(plan.tail); };
        r = rewriteFrom(file, fileName, produce, files);
    }
    if (r) Saved(plan);
    return r;
}

IoResult TID3v1::PlanSave(TInSource& file, TID3v1Plan& plan) const
{
    Detected old;
    if (!detect(file, old)) return file.error();
    plan.tail = buildTail(&plan.blockSize);
    plan.oldTailSize = old.tailSize();
    plan.keep = file.size() - old.tailSize();
    return IoResult::success();
}

void TID3v1::Saved(const TID3v1Plan& plan)
{
    m_present = true;
    m_hasLyrics3 = plan.blockSize > 0;
    m_lyrics3Size = plan.blockSize;
    m_version = m_track != 0 ? 2 : 1;
}

IoResult TID3v1::RemoveFromFile(const std::string& fileName, TFileSystem& files)
{
    TFileReader file;
    if (IoResult opened = file.open(fileName); !opened) return opened;
    Detected old;
    if (!detect(file, old)) return file.error();
    m_present = old.present;
    m_hasLyrics3 = old.lyrics3Size > 0;
    m_lyrics3Size = old.lyrics3Size;
    if (old.tailSize() == 0) return IoResult::success();
    int64_t keep = file.size() - old.tailSize();
    file.close();
    IoResult r = truncateFile(fileName, keep, files);
    if (r) {
        m_present = false;
        m_hasLyrics3 = false;
        m_lyrics3Size = 0;
    }
    return r;
}

} // namespace cantorix
