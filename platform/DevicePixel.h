#pragma once

#include <cmath>

namespace brelloc {

// Device pixels are kept within this range: a point far outside the figure
// (a curve start is never window-tested) still maps to a valid integer, and
// the drawing layer never sees a coordinate it cannot rasterise.
constexpr int kPixelLimit = 1 << 24;

// Truncates toward zero, saturating at +-kPixelLimit; NaN maps to 0.
inline int TruncToPixel(long double value)
{
    if (!(value == value))
        return 0;
    if (value >= kPixelLimit)
        return kPixelLimit;
    if (value <= -kPixelLimit)
        return -kPixelLimit;
    return static_cast<int>(value);
}

// trunc(origin + scale * coordinate), formed with a 64-bit mantissa as the
// figures' pixel arithmetic is defined: with the double 0.4 slightly above
// 0.4, 250 - 0.4 * 500 lies just below 50 and gives row 49.
inline int MapToPixel(int origin, double scale, double coordinate)
{
    return TruncToPixel(static_cast<long double>(origin) +
                        static_cast<long double>(scale) * static_cast<long double>(coordinate));
}

inline int MapToPixelDown(int origin, double scale, double coordinate)
{
    return TruncToPixel(static_cast<long double>(origin) -
                        static_cast<long double>(scale) * static_cast<long double>(coordinate));
}

} // namespace brelloc
