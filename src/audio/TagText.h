// Small text rules shared by the tag readers: trimming "characters of code 32 or less" (which in
// UTF-8 are only ASCII bytes, so byte-wise trimming never cuts a character) and counting characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cantorix {

inline std::string trimRightBlanks(std::string s)
{
    while (!s.empty() && uint8_t(s.back()) <= 32) s.pop_back();
    return s;
}

inline std::string trimBlanks(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && uint8_t(s[b]) <= 32) ++b;
    size_t e = s.size();
    while (e > b && uint8_t(s[e - 1]) <= 32) --e;
    return std::string(s.substr(b, e - b));
}

// Characters (code points) of a UTF-8 text.
inline size_t utf8Length(const std::string& utf8)
{
    size_t n = 0;
    for (char c : utf8)
        if ((uint8_t(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The first `chars` characters of a UTF-8 text.
inline std::string utf8Prefix(const std::string& utf8, size_t chars)
{
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((uint8_t(utf8[i]) & 0xC0) != 0x80) {
            if (n == chars) return utf8.substr(0, i);
            ++n;
        }
    }
    return utf8;
}

// The value of n decimal digits; -1 when any byte is not a digit or n is 0.
inline int64_t decimalDigits(const uint8_t* p, size_t n)
{
    if (n == 0) return -1;
    int64_t v = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

inline int64_t decimalDigits(const std::string& s)
{
    return decimalDigits(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

} // namespace cantorix
