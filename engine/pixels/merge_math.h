// Per-pixel arithmetic that gives exactly the values of the blend tables (the tables'
// tests check every pair), so that merge loops compute in vector lanes instead of
// looking up one pixel at a time.
#pragma once

#include <algorithm>
#include <cstdint>

namespace lumatra::merge {

// M(x, y) = (x * y + 127) / 255 for x, y in 0..255, computed as (t * 257) >> 16 with
// t = x * y + 128: t fits 16 bits, so vector units take it as one 16-bit high multiply.
constexpr int Mul255(int x, int y)
{
    const uint32_t t = uint16_t(x * y + 128);
    return int((t * 257u) >> 16);
}

// S(x, y) = x + y - M(x, y).
constexpr int Union255(int x, int y)
{
    return x + y - Mul255(x, y);
}

// Q(b, i) = (b * 65536 + i / 2) / i, 0 for i = 0, where b <= i (every caller divides a
// part by its whole). Float division is exact there: the numerator stays below 2^24, and
// a quotient of at most 65536.5 lies at least 1/i from the next integer, more than
// float's half step at that size.
inline int Ratio16(int b, int i)
{
    return static_cast<int>(static_cast<float>(b * 65536 + (i >> 1)) /
                            static_cast<float>(std::max(i, 1)));
}

}  // namespace lumatra::merge
