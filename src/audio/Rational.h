// Exact rounding of a quotient of integers. Playing times become disc IDs, so a millisecond that a
// floating-point quotient rounds the wrong way at an exact half changes the ID.
#pragma once

#include <cstdint>

namespace cantorix {

// num / den rounded to the nearest integer, halves to the even neighbour. den must not be 0 (gives 0).
inline int64_t RoundRatioHalfEven(__int128 num, __int128 den)
{
    if (den == 0) return 0;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    __int128 q = num / den;
    __int128 r = num % den;
    if (r < 0) { // floor division
        q -= 1;
        r += den;
    }
    __int128 twice = r * 2;
    if (twice > den || (twice == den && (q & 1) != 0)) q += 1;
    if (q > INT64_MAX) return INT64_MAX;
    if (q < INT64_MIN) return INT64_MIN;
    return int64_t(q);
}

} // namespace cantorix
