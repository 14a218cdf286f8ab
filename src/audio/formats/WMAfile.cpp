#include "audio/formats/WMAfile.h"

#include "audio/TagText.h"
#include "audio/TextCodec.h"

#include <array>
#include <cstring>

namespace cantorix {

namespace {

using Guid = std::array<uint8_t, 16>;

// The published ASF GUIDs as they stand in the file (the first three fields little-endian).
constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                              0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

constexpr int64_t kObjectHead = 24; // GUID and 64-bit size
constexpr size_t kMaxTextUnits = 250;
// Beyond any real header; bounds the walk when the object count is hostile.
constexpr uint32_t kMaxObjects = 4096;
constexpr uint16_t kTypeString = 0;
constexpr uint16_t kTypeDword = 3;

// The ranges a real audio stream lies in.
constexpr int kMaxChannels = 32;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;

bool isGuid(const uint8_t* p, const Guid& g) { return std::memcmp(p, g.data(), g.size()) == 0; }
uint64_t le64(const uint8_t* p) { return uint64_t(getLE32(p)) | (uint64_t(getLE32(p + 4)) << 32); }

enum Slot { kTitle, kArtist, kAlbum, kTrack, kYear, kGenre, kDescription, kTrackNumber, kSlots };

// Extended descriptor names (upper-cased) and their slots. WM/TrackNumber is what current encoders
// write (1-based, a text or a number); the older WM/Track counts from 0 and is taken only without it.
struct NamedSlot {
    const char* name;
    Slot slot;
};
constexpr NamedSlot kNames[] = {
    {"WM/TITLE", kTitle}, {"WM/AUTHOR", kArtist}, {"WM/ALBUMTITLE", kAlbum}, {"WM/TRACK", kTrack},
    {"WM/YEAR", kYear},   {"WM/GENRE", kGenre},   {"WM/DESCRIPTION", kDescription},
    {"WM/TRACKNUMBER", kTrackNumber},
};

// A UTF-16LE text of n bytes: at most 250 code units of it.
std::string text(const uint8_t* p, size_t n)
{
    size_t units = n / 2;
    if (units > kMaxTextUnits) units = kMaxTextUnits;
    return utf16ToUtf8(p, units * 2, Utf16Order::LittleEndian);
}

// A view of one object's bytes; every read stays inside them.
class Cursor {
public:
    Cursor(const ByteVector& bytes, size_t at) : m_bytes(bytes), m_at(at) {}
    bool has(size_t n) const { return n <= m_bytes.size() - m_at; }
    bool u16(uint16_t& v)
    {
        if (!has(2)) return false;
        v = getLE16(m_bytes.data() + m_at);
        m_at += 2;
        return true;
    }
    bool bytes(size_t n, const uint8_t*& p)
    {
        if (!has(n)) return false;
        p = m_bytes.data() + m_at;
        m_at += n;
        return true;
    }

private:
    const ByteVector& m_bytes;
    size_t m_at;
};

struct Header {
    uint64_t playDuration = 0; // 100 ns units
    uint64_t preroll = 0;      // ms
    bool broadcast = false;
    uint32_t maxBitRate = 0;
    bool audio = false;
    uint16_t formatTag = 0;
    int channels = 0;
    uint32_t sampleRate = 0;
    uint32_t bytesPerSecond = 0;
    std::array<std::string, kSlots> slots;
};

void readFileProperties(const ByteVector& o, Header& h)
{
    if (o.size() < 104) return;
    h.playDuration = le64(o.data() + 64);
    h.preroll = le64(o.data() + 80);
    h.broadcast = (getLE32(o.data() + 88) & 1) != 0;
    h.maxBitRate = getLE32(o.data() + 100);
}

// Only the first audio stream counts; video or script streams leave the values alone.
void readStreamProperties(const ByteVector& o, Header& h)
{
    if (h.audio || o.size() < 78 + 16 || !isGuid(o.data() + 24, kAudioMedia)) return;
    const uint32_t typeLength = getLE32(o.data() + 64);
    if (typeLength < 16 || typeLength > o.size() - 78) return;
    // WAVEFORMATEX: format tag, channels, samples per second, average bytes per second.
    h.audio = true;
    h.formatTag = getLE16(o.data() + 78);
    h.channels = getLE16(o.data() + 80);
    h.sampleRate = getLE32(o.data() + 82);
    h.bytesPerSecond = getLE32(o.data() + 86);
}

void readContentDescription(const ByteVector& o, Header& h)
{
    Cursor c(o, kObjectHead);
    uint16_t lengths[5];
    for (uint16_t& l : lengths)
        if (!c.u16(l)) return;
    const Slot slots[5] = {kTitle, kArtist, kSlots, kDescription, kSlots}; // copyright and rating dropped
    for (int i = 0; i < 5; ++i) {
        const uint8_t* p = nullptr;
        if (!c.bytes(lengths[i], p)) return;
        if (lengths[i] > 0 && slots[i] != kSlots) h.slots[slots[i]] = text(p, lengths[i]);
    }
}

void readExtendedContentDescription(const ByteVector& o, Header& h)
{
    Cursor c(o, kObjectHead);
    uint16_t count = 0;
    if (!c.u16(count)) return;
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t nameLength = 0, type = 0, valueLength = 0;
        const uint8_t* name = nullptr;
        const uint8_t* value = nullptr;
        if (!c.u16(nameLength) || !c.bytes(nameLength, name) || !c.u16(type) || !c.u16(valueLength) ||
            !c.bytes(valueLength, value))
            return;
        const std::string key = upperAscii(trimBlanks(text(name, nameLength)));
        for (const NamedSlot& n : kNames) {
            if (key != n.name) continue;
            if (type == kTypeString)
                h.slots[n.slot] = text(value, valueLength);
            else if (type == kTypeDword && valueLength == 4 && n.slot == kTrackNumber)
                h.slots[n.slot] = std::to_string(getLE32(value));
        }
    }
}

int trackNumber(const std::string& trimmed)
{
    const bool negative = !trimmed.empty() && trimmed[0] == '-';
    const std::string digits = negative || (!trimmed.empty() && trimmed[0] == '+') ? trimmed.substr(1) : trimmed;
    if (digits.empty() || digits.size() > 9) return 0;
    const int64_t v = decimalDigits(digits);
    if (v < 0) return 0;
    return int(negative ? -v : v);
}

} // namespace

bool TWMAfile::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TWMAfile::ReadFromSource(TInSource& in)
{
    *this = TWMAfile();
    const int64_t fileSize = in.size();
    uint8_t top[30];
    if (!in.readAt(0, top, sizeof top)) return in.error().code == 0; // too short: not ASF
    if (!isGuid(top, kHeaderObject)) return true;

    // The header's objects lie inside the header, which lies inside the file.
    const uint64_t headerSize = le64(top + 16);
    const int64_t headerEnd = headerSize < uint64_t(fileSize) ? int64_t(headerSize) : fileSize;
    const uint32_t count = getLE32(top + 24);
    Header h;
    int64_t pos = 30;
    bool readFine = true;
    for (uint32_t i = 0; i < count && i < kMaxObjects && headerEnd - pos >= kObjectHead; ++i) {
        uint8_t head[kObjectHead];
        if (!in.readAt(pos, head, sizeof head)) {
            readFine = false;
            break;
        }
        const uint64_t size = le64(head + 16);
        if (size < uint64_t(kObjectHead) || size > uint64_t(headerEnd - pos)) break;
        const bool wanted = isGuid(head, kFileProperties) || isGuid(head, kStreamProperties) ||
                            isGuid(head, kContentDescription) || isGuid(head, kExtendedContentDescription);
        if (wanted) {
            ByteVector object;
            if (!in.seek(pos) || !in.read(object, size_t(size))) {
                readFine = false;
                break;
            }
            if (isGuid(head, kFileProperties))
                readFileProperties(object, h);
            else if (isGuid(head, kStreamProperties))
                readStreamProperties(object, h);
            else if (isGuid(head, kContentDescription))
                readContentDescription(object, h);
            else
                readExtendedContentDescription(object, h);
        }
        pos += int64_t(size);
    }

    const bool inRange = h.audio && h.channels >= 1 && h.channels <= kMaxChannels &&
                         h.sampleRate >= uint32_t(kMinRate) && h.sampleRate <= uint32_t(kMaxRate) &&
                         h.bytesPerSecond > 0;
    if (!inRange) return readFine;

    m_valid = true;
    m_fileSize = fileSize;
    m_channels = h.channels;
    m_sampleRate = int(h.sampleRate);
    m_formatTag = h.formatTag;
    m_bitRate = int(uint64_t(h.bytesPerSecond) * 8 / 1000);
    // A broadcast file's duration fields are not filled in; preroll is the time before the first
    // sample that the play duration still counts.
    const double play = double(h.playDuration) / 1e7 - double(h.preroll) / 1000.0;
    if (!h.broadcast && h.playDuration > 0 && play > 0)
        m_duration = play;
    else if (h.maxBitRate > 0)
        m_duration = double(fileSize) * 8.0 / double(h.maxBitRate);
    m_title = trimBlanks(h.slots[kTitle]);
    m_artist = trimBlanks(h.slots[kArtist]);
    m_album = trimBlanks(h.slots[kAlbum]);
    m_year = trimBlanks(h.slots[kYear]);
    m_genre = trimBlanks(h.slots[kGenre]);
    m_comment = trimBlanks(h.slots[kDescription]);
    const std::string trackNo = trimBlanks(h.slots[kTrackNumber]);
    m_track = trackNumber(trackNo.empty() ? trimBlanks(h.slots[kTrack]) : trackNo);
    return readFine;
}

std::string TWMAfile::ChannelMode() const
{
    switch (m_channels) {
    case 0: return "Unknown";
    case 1: return "Mono";
    case 2: return "Stereo";
    default: return "Multichannel";
    }
}

void ReadWMAInfo(TInSource& in, TFileInfoValues& values)
{
    TWMAfile file;
    file.ReadFromSource(in);
    FillTagValues(file, values);
    FillStreamValues(file, values);
}

TPlayingTime WMAPlayingTime(TInSource& in) { return PlayingTimeOf<TWMAfile>(in); }

} // namespace cantorix
