// Integer arithmetic of the page layout. Printer resolutions, picture sides up to 2^30
// and picture resolutions read from files meet in products of three or four factors,
// which pass 64 bits; the layout works in 128 bits and pins its results to the range
// of the record that keeps them.
#pragma once

#include <cstdint>
#include <limits>

namespace quorvel {

using PrintWide = __int128;

// a / b rounded to the nearest integer, halves upward (towards +infinity), for any sign
// of a and b > 0: floor((2a + b) / 2b).
inline PrintWide RoundDivide(PrintWide a, PrintWide b)
{
    const PrintWide n = 2 * a + b;
    const PrintWide d = 2 * b;
    const PrintWide q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

// a / 2 rounded towards zero, as the layout halves differences.
inline PrintWide Halve(PrintWide a)
{
    return a / 2;
}

inline int32_t PinToInt32(PrintWide value)
{
    constexpr PrintWide low = std::numeric_limits<int32_t>::min();
    constexpr PrintWide high = std::numeric_limits<int32_t>::max();
    return int32_t(value < low ? low : value > high ? high : value);
}

inline uint32_t PinToUint32(PrintWide value)
{
    constexpr PrintWide high = std::numeric_limits<uint32_t>::max();
    return uint32_t(value < 0 ? 0 : value > high ? high : value);
}

}  // namespace quorvel
