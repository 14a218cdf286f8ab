#include "audio/TextCodec.h"

namespace cantorix {

namespace {

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 character at s[i]; returns its length (0 when invalid).
size_t decodeUtf8(std::string_view s, size_t i, uint32_t& cp)
{
    auto b = [&](size_t k) { return uint8_t(s[k]); };
    uint8_t c = b(i);
    size_t len;
    uint32_t min;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2; cp = c & 0x1F; min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3; cp = c & 0x0F; min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4; cp = c & 0x07; min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

std::string latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size());
    for (char c : latin1) appendUtf8(out, uint8_t(c));
    return out;
}

std::string utf8ToLatin1(std::string_view utf8, bool* lossless)
{
    std::string out;
    bool ok = true;
    for (char32_t cp : utf8ToUtf32(utf8)) {
        ok = ok && cp < 0x100;
        out += cp < 0x100 ? char(cp) : '?';
    }
    if (lossless) *lossless = ok;
    return out;
}

bool isLatin1(std::string_view utf8)
{
    bool ok = true;
    utf8ToLatin1(utf8, &ok);
    return ok;
}

std::string utf8ToLatin1Field(std::string_view utf8, size_t maxBytes)
{
    std::string s = utf8ToLatin1(utf8);
    if (s.size() > maxBytes) s.resize(maxBytes);
    return s;
}

bool isValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        uint32_t cp;
        size_t len = decodeUtf8(bytes, i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::string sanitizeUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        uint32_t cp;
        size_t len = decodeUtf8(bytes, i, cp);
        if (len == 0) {
            appendUtf8(out, kReplacement);
            i += 1;
        } else {
            out.append(bytes.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string truncateUtf8(std::string_view utf8, size_t maxBytes)
{
    if (utf8.size() <= maxBytes) return std::string(utf8);
    size_t cut = maxBytes;
    while (cut > 0 && (uint8_t(utf8[cut]) & 0xC0) == 0x80) --cut;
    return std::string(utf8.substr(0, cut));
}

std::string utf16ToUtf8(const uint8_t* data, size_t n, Utf16Order order)
{
    std::string out;
    auto unit = [&](size_t k) -> uint32_t {
        return order == Utf16Order::LittleEndian ? uint32_t(data[k] | (data[k + 1] << 8))
                                                 : uint32_t((data[k] << 8) | data[k + 1]);
    };
    size_t units = n / 2;
    for (size_t u = 0; u < units; ++u) {
        uint32_t c = unit(u * 2);
        if (c >= 0xD800 && c <= 0xDBFF && u + 1 < units) {
            uint32_t d = unit((u + 1) * 2);
            if (d >= 0xDC00 && d <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
                ++u;
                continue;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = kReplacement;
        appendUtf8(out, c);
    }
    return out;
}

std::string utf16BomToUtf8(const uint8_t* data, size_t n, Utf16Order fallback)
{
    if (n >= 2 && data[0] == 0xFF && data[1] == 0xFE) return utf16ToUtf8(data + 2, n - 2, Utf16Order::LittleEndian);
    if (n >= 2 && data[0] == 0xFE && data[1] == 0xFF) return utf16ToUtf8(data + 2, n - 2, Utf16Order::BigEndian);
    return utf16ToUtf8(data, n, fallback);
}

std::string utf8ToUtf16(std::string_view utf8, Utf16Order order)
{
    std::string out;
    auto put = [&](uint32_t u) {
        if (order == Utf16Order::LittleEndian) {
            out += char(u & 0xFF);
            out += char(u >> 8);
        } else {
            out += char(u >> 8);
            out += char(u & 0xFF);
        }
    };
    for (char32_t c : utf8ToUtf32(utf8)) {
        uint32_t cp = uint32_t(c);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

std::u32string utf8ToUtf32(std::string_view utf8)
{
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = 0;
        size_t len = decodeUtf8(utf8, i, cp);
        if (len == 0) {
            cp = kReplacement;
            len = 1;
        }
        out.push_back(char32_t(cp));
        i += len;
    }
    return out;
}

std::string utf32ToUtf8(std::u32string_view text)
{
    std::string out;
    for (char32_t c : text) {
        uint32_t cp = uint32_t(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
        appendUtf8(out, cp);
    }
    return out;
}

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && upperAscii(a) == upperAscii(b);
}

} // namespace cantorix
