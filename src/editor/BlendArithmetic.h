#pragma once

#include <algorithm>

// The arithmetic behind blendcolor, shared with the Mark loops that cache it in tables.
//
// The blend's factor f depends only on the channel sums of the pixel and the mark. It is always
// n/255 for an integer n from 0 to 255 (0 when either colour is dark or pure white, 255 when
// both sums lie between 448 and 510), so n names it.
namespace blend {

inline int strength(int pixelSum, int markSum)
{
    const int loSum = std::min(pixelSum, markSum), hiSum = std::max(pixelSum, markSum);
    if (loSum < 448)
        return 0;
    return std::min(765 - hiSum, 255);
}

// One channel of the blend with factor strength n: lo + (hi - lo) * f / 2 rounded to an integer,
// where f is n/255 divided in 80-bit extended precision and stored as a double, and the sum is
// evaluated in extended precision. Exact on every platform: no long double involved.
int blendChannel(int pixelValue, int markValue, int n);

} // namespace blend
