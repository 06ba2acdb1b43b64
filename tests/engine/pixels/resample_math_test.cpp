// The division of the bilinear resamplers' sums through a float reciprocal: every
// reciprocal the resamplers form lies in the range the division needs, and the division
// is exact with the lowest and the highest reciprocal of that range. The estimate before
// the correcting step never falls as the sum or the reciprocal grows, so checking the
// quotient's steps at the ends of the range covers every sum and reciprocal between.
#include "engine/pixels/resample_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using lumatra::DivideSum;
using lumatra::kMaxWeightProduct32;
using lumatra::PlainReciprocal;
using lumatra::ProductReciprocal;
using lumatra::SumReciprocal;

// The largest alpha sum of a 32-bit job: 255 times the largest weight total.
constexpr uint32_t kMaxAlphaSum = uint32_t(255 * kMaxWeightProduct32);

constexpr double kLowest = 1.0 + 0x1p-21;
constexpr double kHighest = 1.0 + 0x1p-19;

// r d, exact in double (a float times a number below 2^25).
bool InRange(float reciprocal, uint32_t d)
{
    const double scaled = double(reciprocal) * d;
    return scaled >= kLowest && scaled <= kHighest;
}

TEST(SumDivision, EveryReciprocalLiesInTheRangeTheDivisionNeeds)
{
    for (uint32_t d = 1; d <= kMaxAlphaSum; ++d)
        if (!InRange(SumReciprocal(d), d))
            FAIL() << "divisor " << d;
    // A weight total of a job is the product of its column's and its row's.
    for (uint32_t d1 = 1; d1 <= kMaxWeightProduct32; ++d1)
        for (uint32_t d2 = 1; d1 * d2 <= kMaxWeightProduct32; ++d2)
            if (!InRange(ProductReciprocal(PlainReciprocal(d1), SumReciprocal(d2)), d1 * d2))
                FAIL() << "divisors " << d1 << " x " << d2;
}

// The least and the greatest float in the range for divisor d.
float LowestIn(uint32_t d)
{
    float r = float(kLowest / d);
    while (double(r) * d < kLowest)
        r = std::nextafter(r, HUGE_VALF);
    while (double(std::nextafter(r, 0.0f)) * d >= kLowest)
        r = std::nextafter(r, 0.0f);
    return r;
}

float HighestIn(uint32_t d)
{
    float r = float(kHighest / d);
    while (double(r) * d > kHighest)
        r = std::nextafter(r, 0.0f);
    while (double(std::nextafter(r, HUGE_VALF)) * d <= kHighest)
        r = std::nextafter(r, HUGE_VALF);
    return r;
}

// Every quotient step of divisor d: at n = k d the lowest reciprocal must not give less
// than k, at n = k d - 1 the highest must not give more than k - 1. Returns the first
// sum that fails, or 0.
uint32_t FirstWrongSum(uint32_t d)
{
    const float low = LowestIn(d), high = HighestIn(d);
    for (uint32_t k = 1; k <= 255; ++k) {
        if (DivideSum(k * d, d, low) != k)
            return k * d;
        if (DivideSum(k * d - 1, d, high) != k - 1)
            return k * d - 1;
    }
    return DivideSum(255 * d, d, high) == 255 ? 0 : 255 * d;
}

TEST(SumDivision, IsExactForEveryWeightTotalAndForAlphaSumsAcrossTheirRange)
{
    // Every weight total (the divisor of alpha, and of colour where sources are opaque).
    for (uint32_t d = 1; d <= kMaxWeightProduct32; ++d)
        ASSERT_EQ(FirstWrongSum(d), 0u) << "divisor " << d;
    // Alpha sums, the divisors of colour: around every power of two, where float's step
    // changes, and at the top of the range.
    for (int bit = 17; bit <= 24; ++bit)
        for (uint32_t d = (1u << bit) - 2000; d <= std::min((1u << bit) + 2000, kMaxAlphaSum); ++d)
            ASSERT_EQ(FirstWrongSum(d), 0u) << "divisor " << d;
    for (uint32_t d = kMaxAlphaSum - 20000; d <= kMaxAlphaSum; ++d)
        ASSERT_EQ(FirstWrongSum(d), 0u) << "divisor " << d;
}

}  // namespace
