// The round brush's tips: their sizes, the hard tip's two values, symmetry, orientation,
// the empty border and the degenerate settings that once divided by zero.
#include "engine/tools/brush_circle.h"

#include <gtest/gtest.h>

#include "brush_test_support.h"

using namespace brush_test;

namespace {

_tagITzBITMAP Tip(ITzBrushCircle& brush, int soft)
{
    brush.SetSoft(soft);
    _tagITzBITMAP tip = {};
    EXPECT_EQ(brush.GetBitmap(&tip), 1);
    return tip;
}

int32_t Lit(const _tagITzBITMAP& tip, bool column)
{
    int32_t count = 0;
    for (int32_t k = 0; k < (column ? tip.height : tip.width); ++k)
        count += (column ? At(tip, tip.width / 2, k) : At(tip, k, tip.height / 2)) != 0;
    return count;
}

}  // namespace

TEST(BrushCircleSize, OnePixelHardTipIsOneFullPixelInAThreeByThreeTip)
{
    ITzBrushCircle brush(1, 100, 0, 100);
    const _tagITzBITMAP tip = Tip(brush, 0);
    ASSERT_EQ(tip.width, 3);
    ASSERT_EQ(tip.height, 3);
    EXPECT_EQ(Bytes(tip), (std::vector<uint8_t>{0, 0, 0, 0, 255, 0, 0, 0, 0}));
}

TEST(BrushCircleSize, EvenHardSizesTakeTheNextOddSize)
{
    ITzBrushCircle ten(10, 100, 0, 100), four(4, 100, 0, 100);
    Tip(ten, 0);
    Tip(four, 0);
    EXPECT_EQ(ten.GetWidth(), 11u);
    EXPECT_EQ(ten.GetHeight(), 11u);
    EXPECT_EQ(four.GetMaxSize(), 5u);
}

TEST(BrushCircleSize, SoftTipOfHardnessZeroSpansTheOuterEllipse)
{
    ITzBrushCircle brush(20, 0, 0, 100);
    const _tagITzBITMAP tip = Tip(brush, 1);
    EXPECT_EQ(tip.width, 29 + 2);
    EXPECT_EQ(brush.GetWidth(), 29u);
}

TEST(BrushCircleShape, HardTipsHoldOnlyEmptyAndFullPixels)
{
    for (uint32_t size : {1u, 2u, 7u, 30u, 101u})
        for (uint16_t angle : {0, 3000, 9000})
            for (uint8_t roundness : {100, 40}) {
                ITzBrushCircle brush(size, 100, angle, roundness);
                EXPECT_EQ(Values(Tip(brush, 0)), (std::set<uint8_t>{0, 255}))
                    << size << " " << angle << " " << int(roundness);
            }
}

TEST(BrushCircleShape, TipsAtAngleZeroAreMirrorSymmetric)
{
    for (int soft : {0, 1})
        for (uint32_t size : {15u, 16u, 41u}) {
            ITzBrushCircle brush(size, 30, 0, 60);
            const _tagITzBITMAP tip = Tip(brush, soft);
            for (int32_t y = 0; y < tip.height; ++y)
                for (int32_t x = 0; x < tip.width; ++x) {
                    ASSERT_EQ(At(tip, x, y), At(tip, tip.width - 1 - x, y)) << soft << " " << size;
                    ASSERT_EQ(At(tip, x, y), At(tip, x, tip.height - 1 - y)) << soft << " " << size;
                }
        }
}

TEST(BrushCircleShape, QuarterTurnMakesTheLongAxisVertical)
{
    for (int soft : {0, 1}) {
        ITzBrushCircle flat(40, 100, 0, 50), upright(40, 100, 9000, 50);
        const _tagITzBITMAP across = Tip(flat, soft), along = Tip(upright, soft);
        EXPECT_GT(Lit(across, false), Lit(across, true) + 10);
        EXPECT_GT(Lit(along, true), Lit(along, false) + 10);
    }
}

TEST(BrushCircleShape, EveryTipKeepsAnEmptyBorder)
{
    for (int soft : {0, 1})
        for (uint16_t angle : {0, 4500, 13000})
            for (uint8_t hardness : {0, 60, 100}) {
                ITzBrushCircle brush(25, hardness, angle, 70);
                EXPECT_TRUE(BorderEmpty(Tip(brush, soft))) << soft << " " << angle << " " << int(hardness);
            }
}

TEST(BrushCircleShape, SoftTipFallsOffFromAFullCentre)
{
    ITzBrushCircle brush(30, 0, 0, 100);
    const _tagITzBITMAP tip = Tip(brush, 1);
    const int32_t middle = tip.width / 2;
    EXPECT_EQ(At(tip, middle, middle), 255);
    for (int32_t x = middle; x + 1 < tip.width; ++x)
        ASSERT_GE(At(tip, x, middle), At(tip, x + 1, middle)) << x;
    EXPECT_GT(Values(tip).size(), 20u);
}

// A short axis of 0 divided by zero; it is kept at a sixteenth of a pixel, the axis
// roundness 1 gives a tip of this size.
TEST(BrushCircleDegenerate, RoundnessZeroGivesTheThinnestEllipse)
{
    for (int soft : {0, 1}) {
        ITzBrushCircle flat(12, 0, 0, 0), thinnest(12, 0, 0, 1);
        const _tagITzBITMAP tip = Tip(flat, soft);
        EXPECT_EQ(Bytes(tip), Bytes(Tip(thinnest, soft))) << soft;
        const int32_t middle = tip.height / 2;
        EXPECT_EQ(At(tip, middle, middle), 255);
        for (int32_t x = 0; x < tip.width; ++x)
            ASSERT_EQ(At(tip, x, middle - 2), 0) << soft;
    }
    ITzBrushCircle faint(12, 0, 0, 0);
    EXPECT_GE(Lit(Tip(faint, 1), false), 9);
}

TEST(BrushCircleDegenerate, SizeZeroAndExcessHardnessStillGiveATip)
{
    ITzBrushCircle zero(0, 100, 0, 100), excess(9, 250, 0, 100), hardest(9, 100, 0, 100);
    const _tagITzBITMAP dot = Tip(zero, 1);
    EXPECT_EQ(At(dot, dot.width / 2, dot.height / 2), 255);
    EXPECT_TRUE(BorderEmpty(dot));
    EXPECT_EQ(Bytes(Tip(excess, 1)), Bytes(Tip(hardest, 1)));
}
