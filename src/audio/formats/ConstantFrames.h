// Counting the frames of a stream in which every frame has the first one's size, from the stream's
// size instead of a walk over them all (the AC-3 and DTS readers).
#pragma once

#include <cstdint>

namespace cantorix {

// How many frames of `frameBytes` a stream of `streamBytes` holds, when that can be taken from its
// size: the second frame and the last three (counted back from the end by that size) are frames like
// the first (`sameAt(offset)`), and the bytes left over hold no whole frame (`wholeFrameIn(offset,
// rest)`: one that starts there and fits, which a walk would count; a cut one it would not). 0
// otherwise, and the caller walks the frames.
template <typename SameAt, typename WholeFrameIn>
int64_t ConstantFrameCount(int64_t streamBytes, int64_t frameBytes, SameAt sameAt, WholeFrameIn wholeFrameIn)
{
    if (frameBytes <= 0) return 0;
    const int64_t count = streamBytes / frameBytes;
    if (count < 2) return 0;
    for (int64_t k : {int64_t(1), count - 1, count - 2, count - 3})
        if (k >= 1 && !sameAt(k * frameBytes)) return 0;
    if (wholeFrameIn(count * frameBytes, streamBytes - count * frameBytes)) return 0;
    return count;
}

} // namespace cantorix
