// The division that turns a bilinear resample's sums into bytes, as a multiplication by a
// float reciprocal set right by one integer step, so that row loops divide in vector
// lanes. Library-private; the tests prove it over every sum it can be given.
#pragma once

#include <cstdint>

namespace lumatra {

// The 32-bit sums of a job stay below this when the largest weight totals of its two
// axes, multiplied, stay at or below kMaxWeightProduct32 (a colour sum is at most 255 x
// 255 times the weight total of its pixel).
inline constexpr uint64_t kMaxWeightProduct32 = UINT32_MAX / (255 * 255);  // 66,052

// floor(n / d) for a sum n <= 255 d (so the quotient is a byte) and 0 < d < 2^25; every
// divisor of a 32-bit job is such (a weight total, at most kMaxWeightProduct32, or an
// alpha sum, at most 255 times that). `reciprocal` lies within [(1 + 2^-21) / d,
// (1 + 2^-19) / d], as SumReciprocal(d) and ProductReciprocal do.
//
// float(n) and the product round within a relative 2^-24 each, which the lowest
// reciprocal outweighs: the product lies in [n / d, n / d (1 + 2^-19 + 2^-22.9)], below
// n / d + 2^-10 as n / d <= 255, and truncates to the quotient q or q + 1. The remainder
// n - q d then lies in [-d, d), which 32-bit integers hold exactly, and one step against
// it gives the quotient.
//
// kBelow2p31: n < 2^31, converted as a signed integer to the same float, one vector
// instruction where the unsigned conversion takes several.
template <bool kBelow2p31 = false>
inline uint32_t DivideSum(uint32_t n, uint32_t d, float reciprocal)
{
    const float sum = kBelow2p31 ? float(int32_t(n)) : float(n);
    const int32_t q = int32_t(sum * reciprocal);
    const int32_t r = int32_t(n - uint32_t(q) * d);
    return uint32_t(q + (r >> 31));  // -1 where the remainder is negative
}

// 1 / d rounded, for a divisor of 0 (whose quotient the caller drops) that of 1.
inline float PlainReciprocal(uint32_t d)
{
    return 1.0f / float(d != 0 ? d : 1);
}

// The reciprocal DivideSum takes: 1 / d nudged up by 2^-20 of itself, three roundings
// of at most 2^-24 (float(d) past 2^24, the division, the nudge) leaving it within
// [(1 + 13 x 2^-24) / d, (1 + 19 x 2^-24) / d].
inline float SumReciprocal(uint32_t d)
{
    return PlainReciprocal(d) * (1.0f + 0x1p-20f);
}

// The reciprocal of d = d1 d2 (both below 2^24) from PlainReciprocal(d1) and
// SumReciprocal(d2): one rounding more, within [(1 + 12 x 2^-24) / d, (1 + 20 x 2^-24) / d].
inline float ProductReciprocal(float plain1, float sum2)
{
    return plain1 * sum2;
}

}  // namespace lumatra
