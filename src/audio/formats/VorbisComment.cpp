#include "audio/formats/VorbisComment.h"

#include "audio/TextCodec.h"

namespace cantorix {

namespace {
constexpr uint32_t kMaxEntries = 100000;
}

TCommentEntry TCommentEntry::fromRaw(std::string raw)
{
    TCommentEntry e;
    e.raw = std::move(raw);
    auto eq = e.raw.find('=');
    e.hasEquals = eq != std::string::npos;
    if (e.hasEquals) {
        e.name = upperAscii(std::string_view(e.raw).substr(0, eq));
        e.value = sanitizeUtf8(std::string_view(e.raw).substr(eq + 1));
    }
    return e;
}

TCommentEntry TCommentEntry::make(std::string_view name, std::string_view value)
{
    return fromRaw(std::string(name) + "=" + sanitizeUtf8(value));
}

void TVorbisComment::clear()
{
    m_vendor.clear();
    m_entries.clear();
    m_tail.clear();
    m_entriesEnd = 0;
    m_damaged = false;
}

bool TVorbisComment::parse(const uint8_t* data, size_t n)
{
    clear();
    size_t pos = 0;
    auto take32 = [&](uint32_t& v) {
        if (n - pos < 4) return false;
        v = getLE32(data + pos);
        pos += 4;
        return true;
    };
    uint32_t vendorLen = 0;
    if (!take32(vendorLen) || vendorLen > n - pos) {
        m_damaged = true;
        return false;
    }
    m_vendor.assign(reinterpret_cast<const char*>(data + pos), vendorLen);
    pos += vendorLen;
    uint32_t count = 0;
    if (!take32(count)) {
        m_damaged = true;
        m_entriesEnd = pos;
        return false;
    }
    // Each entry takes at least its 4-byte length, so a count beyond the remaining bytes is damage;
    // the loop stops at the first entry that does not fit. Far more entries than any tagger writes
    // count as damage too, so that a block of empty entries cannot make the list huge.
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t len = 0;
        size_t start = pos;
        if (i == kMaxEntries || !take32(len) || len > n - pos) {
            pos = start;
            m_damaged = true;
            break;
        }
        m_entries.push_back(TCommentEntry::fromRaw(std::string(reinterpret_cast<const char*>(data + pos), len)));
        pos += len;
    }
    m_entriesEnd = pos;
    m_tail.assign(reinterpret_cast<const char*>(data + pos), n - pos);
    return !m_damaged;
}

ByteVector TVorbisComment::build() const
{
    size_t total = 8 + m_vendor.size() + m_tail.size();
    for (const TCommentEntry& e : m_entries) total += 4 + e.raw.size();
    ByteVector out(total);
    size_t at = 0;
    auto put32 = [&](uint32_t v) {
        putLE32(out.data() + at, v);
        at += 4;
    };
    auto putText = [&](const std::string& s) {
        std::copy(s.begin(), s.end(), out.begin() + ptrdiff_t(at));
        at += s.size();
    };
    put32(uint32_t(m_vendor.size()));
    putText(m_vendor);
    put32(uint32_t(m_entries.size()));
    for (const TCommentEntry& e : m_entries) {
        put32(uint32_t(e.raw.size()));
        putText(e.raw);
    }
    putText(m_tail);
    return out;
}

void TVorbisComment::setValue(std::string_view name, std::string_view value)
{
    std::vector<std::string> values;
    if (!value.empty()) values.emplace_back(value);
    setValues(name, values);
}

void TVorbisComment::setValues(std::string_view name, const std::vector<std::string>& values)
{
    std::string key = upperAscii(name);
    std::vector<std::string> clean;
    for (const std::string& v : values) {
        std::string c = sanitizeUtf8(v);
        if (!c.empty()) clean.push_back(std::move(c));
    }
    size_t first = m_entries.size();
    std::vector<std::string> present;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].hasEquals && m_entries[i].name == key) {
            if (first == m_entries.size()) first = i;
            present.push_back(m_entries[i].value);
        }
    }
    if (!clean.empty() && present == clean) {
        // Already these values; they stay byte for byte when they also stand together.
        size_t run = 0;
        while (first + run < m_entries.size() && m_entries[first + run].hasEquals && m_entries[first + run].name == key)
            ++run;
        if (run == clean.size()) return;
    }

    std::vector<TCommentEntry> kept;
    kept.reserve(m_entries.size() + clean.size());
    auto putNew = [&] {
        for (const std::string& v : clean) kept.push_back(TCommentEntry::make(key, v));
    };
    for (size_t i = 0; i < m_entries.size(); ++i) {
        bool named = m_entries[i].hasEquals && m_entries[i].name == key;
        if (!named)
            kept.push_back(std::move(m_entries[i]));
        else if (i == first)
            putNew();
    }
    if (present.empty()) putNew();
    m_entries = std::move(kept);
}

size_t TVorbisComment::padding() const
{
    if (m_tail.empty()) return 0;
    for (size_t i = 1; i < m_tail.size(); ++i)
        if (m_tail[i] != 0) return 0;
    return m_tail.size() - 1;
}

bool TVorbisComment::padTo(size_t size)
{
    if (m_tail.empty()) return false;
    const size_t kept = m_tail.size() - padding(); // the framing byte and anything that is no padding
    const size_t bare = build().size() - m_tail.size() + kept;
    if (bare > size) return false;
    m_tail.resize(kept);
    m_tail.append(size - bare, '\0');
    return true;
}

int64_t leadingID3v2Size(TInSource& file)
{
    uint8_t h[10];
    if (!file.readAt(0, h, sizeof h)) return 0;
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3') return 0;
    // The size is four 7-bit groups (the ID3v2 standard's sync-safe integer).
    int64_t size = (int64_t(h[6] & 0x7F) << 21) | (int64_t(h[7] & 0x7F) << 14) | (int64_t(h[8] & 0x7F) << 7) |
                   int64_t(h[9] & 0x7F);
    size += 10;
    if (h[5] & 0x10) size += 10; // footer
    return size > file.size() ? 0 : size;
}

} // namespace cantorix
