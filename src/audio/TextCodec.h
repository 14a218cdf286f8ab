// Text conversions at the edges of file formats. Inside Cantorix text is UTF-8; 8-bit tag fields
// hold ISO-8859-1, ID3v2 may hold UTF-16 with or without a byte-order mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cantorix {

// ISO-8859-1 bytes to UTF-8.
std::string latin1ToUtf8(std::string_view latin1);
// UTF-8 to ISO-8859-1. Characters outside ISO-8859-1 become '?' and make *lossless false; callers that
// must not lose text check it (or use isLatin1) first.
std::string utf8ToLatin1(std::string_view utf8, bool* lossless = nullptr);
// True when every character of the UTF-8 text exists in ISO-8859-1.
bool isLatin1(std::string_view utf8);
// UTF-8 to ISO-8859-1, at most maxBytes bytes; never cuts a character in two (each is one byte).
std::string utf8ToLatin1Field(std::string_view utf8, size_t maxBytes);

bool isValidUtf8(std::string_view bytes);
// Valid UTF-8 with every invalid sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);
// UTF-8 cut to at most maxBytes bytes at a character boundary.
std::string truncateUtf8(std::string_view utf8, size_t maxBytes);

enum class Utf16Order { LittleEndian, BigEndian };
// UTF-16 code units (bytes, in the given order) to UTF-8. An odd trailing byte is ignored; lone
// surrogates become U+FFFD. A leading byte-order mark is not treated specially here.
std::string utf16ToUtf8(const uint8_t* data, size_t n, Utf16Order order);
// UTF-16 with an optional byte-order mark: the mark decides the order and is dropped (only the mark);
// without a mark, `fallback` applies.
std::string utf16BomToUtf8(const uint8_t* data, size_t n, Utf16Order fallback = Utf16Order::LittleEndian);
// UTF-8 to UTF-16 code units as bytes, without a mark.
std::string utf8ToUtf16(std::string_view utf8, Utf16Order order);

// UTF-8 to code points (invalid sequences become U+FFFD) and back; wide strings on Linux are UTF-32.
std::u32string utf8ToUtf32(std::string_view utf8);
std::string utf32ToUtf8(std::u32string_view text);

// ASCII-only case changes (the letters a to z / A to Z).
std::string upperAscii(std::string_view s);
std::string lowerAscii(std::string_view s);
bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b);

} // namespace cantorix
