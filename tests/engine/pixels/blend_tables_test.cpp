// The blend tables against their formulas, the arithmetic the merge loops use in their
// place, and the process-wide instance.
#include "engine/pixels/blend_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "engine/pixels/merge_math.h"

namespace {

using lumatra::merge::Mul255;
using lumatra::merge::Ratio16;
using lumatra::merge::Union255;

const CMathMerge& Tables()
{
    return *GetMathMerge();
}

TEST(BlendTables, EveryEntryFollowsItsFormula)
{
    const CMathMerge& t = Tables();
    for (uint32_t b = 0; b < 256; ++b) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint8_t b8 = uint8_t(b), i8 = uint8_t(i);
            const uint32_t m = (i * b + 127) / 255;
            ASSERT_EQ(t.Product(b8, i8), m) << b << " " << i;
            ASSERT_EQ(t.InverseProduct(b8, i8), (i * (255 - b) + 127) / 255) << b << " " << i;
            ASSERT_EQ(t.Union(b8, i8), b + i - m) << b << " " << i;
            ASSERT_EQ(t.Ratio(b8, i8), i ? (b * 65536 + i / 2) / i : 0) << b << " " << i;
            ASSERT_EQ(t.RawProduct(b8, i8), b * i) << b << " " << i;
            const uint32_t d = std::min(b + i, 255u);
            const uint32_t w = d ? ((255 * b + d / 2) / d) << 8 | (255 * i + d / 2) / d : 0;
            ASSERT_EQ(t.SplitWeights(b8, i8), w) << b << " " << i;
        }
    }
}

TEST(BlendTables, IdentitiesHold)
{
    const CMathMerge& t = Tables();
    for (uint32_t x = 0; x < 256; ++x) {
        const uint8_t x8 = uint8_t(x);
        EXPECT_EQ(t.Product(x8, 255), x);
        EXPECT_EQ(t.Product(x8, 0), 0);
        EXPECT_EQ(t.Union(x8, 0), x);
        EXPECT_EQ(t.Union(x8, 255), 255);
        EXPECT_EQ(t.Ratio(x8, 0), 0u);
        // The ratio of a value to itself is 1.0, except for 0, where the formula gives 0.
        EXPECT_EQ(t.Ratio(x8, x8), x ? 65536u : 0u);
        // Split weights: both halves of (x, 255 - x) are the values themselves.
        EXPECT_EQ(t.SplitWeights(x8, uint8_t(255 - x)), x << 8 | (255 - x));
    }
}

// The merge loops compute M, S and Q instead of looking them up; these prove that the
// arithmetic gives the tables' values for every pair they are used on.
TEST(BlendTables, ArithmeticReproducesProductAndUnionForEveryPair)
{
    const CMathMerge& t = Tables();
    for (int b = 0; b < 256; ++b) {
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(Mul255(b, i), t.Product(uint8_t(b), uint8_t(i))) << b << " " << i;
            ASSERT_EQ(Union255(b, i), t.Union(uint8_t(b), uint8_t(i))) << b << " " << i;
        }
    }
}

TEST(BlendTables, ArithmeticReproducesRatioWhereThePartIsAtMostTheWhole)
{
    const CMathMerge& t = Tables();
    for (int i = 0; i < 256; ++i)
        for (int b = 0; b <= i; ++b)
            ASSERT_EQ(uint32_t(Ratio16(b, i)), t.Ratio(uint8_t(b), uint8_t(i))) << b << " " << i;
}

TEST(BlendTables, GetterKeepsOneInstanceAndRebuildsItAfterDeletion)
{
    CMathMerge* first = GetMathMerge();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetMathMerge(), first);

    // A second instance does not take over, and its end leaves the first in place.
    auto other = std::make_unique<CMathMerge>();
    EXPECT_EQ(GetMathMerge(), first);
    other.reset();
    EXPECT_EQ(GetMathMerge(), first);

    delete first;
    CMathMerge* rebuilt = GetMathMerge();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->Product(128, 255), 128);
    EXPECT_EQ(GetMathMerge(), rebuilt);
}

}  // namespace
