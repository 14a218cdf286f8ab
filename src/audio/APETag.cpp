#include "audio/APETag.h"

#include "audio/TagText.h"
#include "audio/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace cantorix {

namespace {

constexpr size_t kValueShown = 250;
// The smallest item: value size, flags, a one-character name and its zero byte.
constexpr int64_t kMinItem = 4 + 4 + 2;

// A value cut to its first bytes may end inside a UTF-8 character; that character is dropped.
std::string dropCutCharacter(std::string s)
{
    size_t i = s.size();
    size_t cont = 0;
    while (i > 0 && cont < 3 && (uint8_t(s[i - 1]) & 0xC0) == 0x80) {
        --i;
        ++cont;
    }
    if (i == 0) return s;
    uint8_t lead = uint8_t(s[i - 1]);
    size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (len > cont + 1) s.resize(i - 1);
    return s;
}

} // namespace

bool TAPETag::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TAPETag::ReadFromSource(TInSource& file)
{
    ResetData();
    const int64_t fileSize = file.size();
    int64_t shift = 0;
    if (fileSize > 128) {
        uint8_t tag[3];
        if (!file.readAt(fileSize - 128, tag, 3)) return false;
        if (std::memcmp(tag, "TAG", 3) == 0) shift = 128;
    }
    const int64_t footerAt = fileSize - shift - 32;
    if (footerAt <= 0) return false;
    uint8_t footer[32];
    if (!file.readAt(footerAt, footer, 32)) return false;
    if (std::memcmp(footer, "APETAGEX", 8) != 0) return true;

    const uint32_t size = getLE32(footer + 12);
    // A size that does not even hold the footer, or reaches before the start of the file, is no tag.
    if (size < 32 || int64_t(size) > fileSize - shift) return true;
    m_present = true;
    m_version = getLE32(footer + 8);
    m_size = size;
    m_itemCount = getLE32(footer + 16);
    const uint32_t flags = getLE32(footer + 20);
    m_hasHeader = (flags & 0x80000000u) != 0 && int64_t(size) + 32 <= fileSize - shift;
    m_end = fileSize - shift;
    readItems(file, fileSize - shift - int64_t(size), footerAt);
    return true;
}

void TAPETag::readItems(TInSource& file, int64_t pos, int64_t end)
{
    // Every item takes at least kMinItem bytes, which bounds the count by the bytes there are.
    const uint64_t possible = uint64_t(std::max<int64_t>(0, end - pos)) / kMinItem;
    const uint64_t count = std::min<uint64_t>(m_itemCount, possible);
    for (uint64_t i = 0; i < count && end - pos >= kMinItem; ++i) {
        uint8_t head[8];
        if (!file.readAt(pos, head, 8)) return;
        const uint32_t valueSize = getLE32(head);
        pos += 8;
        std::string name;
        for (;;) {
            if (pos >= end) return;
            char c;
            if (!file.readAt(pos, &c, 1)) return;
            ++pos;
            if (c == 0) break;
            name += c;
        }
        if (int64_t(valueSize) > end - pos) return; // an item may not reach into the footer
        size_t shown = std::min<size_t>(valueSize, kValueShown);
        std::string value(shown, '\0');
        if (shown > 0 && !file.readAt(pos, value.data(), shown)) return;
        pos += valueSize;
        // Version 2.0 values are UTF-8, version 1.0 values ISO-8859-1; a cut UTF-8 character is dropped.
        if (m_version >= 2000) {
            if (shown < valueSize) value = dropCutCharacter(value);
            value = sanitizeUtf8(value);
        } else {
            value = latin1ToUtf8(value);
        }
        m_fields.push_back({sanitizeUtf8(trimBlanks(name)), trimBlanks(value)});
    }
}

bool TAPETag::ReadItems(TInSource& file, std::vector<TAPEItem>& items) const
{
    items.clear();
    if (!m_present) return false;
    int64_t pos = m_end - m_size;
    const int64_t end = m_end - 32;
    // Each item takes at least kMinItem bytes, so the count is bounded by the tag's own size.
    if (uint64_t(m_itemCount) > uint64_t(std::max<int64_t>(0, end - pos)) / kMinItem) return false;
    for (uint32_t i = 0; i < m_itemCount; ++i) {
        uint8_t head[8];
        if (end - pos < kMinItem || !file.readAt(pos, head, 8)) return false;
        pos += 8;
        TAPEItem item;
        item.Flags = getLE32(head + 4);
        const uint32_t valueSize = getLE32(head);
        for (;;) {
            char c;
            if (pos >= end || !file.readAt(pos, &c, 1)) return false;
            ++pos;
            if (c == 0) break;
            item.Key += c;
        }
        if (item.Key.empty() || int64_t(valueSize) > end - pos) return false;
        if (!file.seek(pos) || !file.read(item.Value, valueSize)) return false;
        pos += valueSize;
        items.push_back(std::move(item));
    }
    return pos == end;
}

ByteVector TAPETag::Build(const std::vector<TAPEItem>& items, uint32_t version, bool withHeader)
{
    ByteVector body;
    for (const TAPEItem& item : items) {
        uint8_t head[8];
        putLE32(head, uint32_t(item.Value.size()));
        putLE32(head + 4, item.Flags);
        body.insert(body.end(), head, head + 8);
        body.insert(body.end(), item.Key.begin(), item.Key.end());
        body.push_back(0);
        body.insert(body.end(), item.Value.begin(), item.Value.end());
    }
    auto block = [&](bool isHeader) {
        uint8_t b[32] = {};
        std::memcpy(b, "APETAGEX", 8);
        putLE32(b + 8, version);
        putLE32(b + 12, uint32_t(body.size() + 32)); // items and footer
        putLE32(b + 16, uint32_t(items.size()));
        putLE32(b + 20, (withHeader ? 0x80000000u : 0u) | (isHeader ? 0x20000000u : 0u));
        return ByteVector(b, b + 32);
    };
    ByteVector out;
    if (withHeader) out = block(true);
    out.insert(out.end(), body.begin(), body.end());
    const ByteVector footer = block(false);
    out.insert(out.end(), footer.begin(), footer.end());
    return out;
}

} // namespace cantorix
