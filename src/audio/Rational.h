// Exact rounding of a quotient of integers. Playing times become disc IDs, so a millisecond that a
// floating-point quotient rounds the wrong way at an exact half changes the ID.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

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

// Rounds to the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4). Values
// outside the 32-bit range and NaN give 0.
inline int RoundHalfEven(double value)
{
    if (!std::isfinite(value)) return 0;
    const double r = std::nearbyint(value); // the default rounding mode is to nearest, ties to even
    if (r < double(std::numeric_limits<int32_t>::min()) || r > double(std::numeric_limits<int32_t>::max()))
        return 0;
    return int(r);
}

} // namespace cantorix
