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
// alpha sum, at most 255 times that). `reciprocal` is SumReciprocal(d).
//
// float(n), float(d), 1 / float(d), the nudge and the product each round within a
// relative 2^-24, five roundings in all, which the nudge of 2^-20 outweighs: the product
// lies in [n / d, n / d (1 + 1.32 x 2^-20)], below n / d + 2^-11, and truncates to the
// quotient q or q + 1. The remainder n - q d then lies in [-d, d), which 32-bit integers
// hold exactly, and one step against it gives the quotient.
inline uint32_t DivideSum(uint32_t n, uint32_t d, float reciprocal)
{
    const int32_t q = int32_t(float(n) * reciprocal);
    const int32_t r = int32_t(n - uint32_t(q) * d);
    return uint32_t(q - int32_t(r < 0));
}

// The reciprocal DivideSum takes: 1 / d nudged up by 2^-20 of itself, so that the
// quotient through it never falls short; for a divisor of 0, whose quotient the caller
// drops, that of 1.
inline float SumReciprocal(uint32_t d)
{
    return (1.0f / float(d != 0 ? d : 1)) * (1.0f + 0x1p-20f);
}

}  // namespace lumatra
