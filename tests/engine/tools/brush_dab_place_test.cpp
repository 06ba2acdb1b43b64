// Dab placement from pointer samples in sixteenths of a pixel, in one call and in steps.
#include <gtest/gtest.h>

#include "brush_test_support.h"
#include "engine/tools/brush_circle.h"
#include "engine/tools/mouse_track.h"

using namespace brush_test;

namespace {

_tagPTzMOUSEPOINT Sample(int32_t x, int32_t y, uint8_t pressure)
{
    return {x, y, pressure, {}};
}

bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(BrushDabPlace, FullAndPressureTipsAreCentredOnTheSample)
{
    ITzBrushCircle brush(9, 100, 0, 100);
    brush.SetSoft(0);
    PTzRECT rect = {};
    _tagITzBITMAP dab = {};
    const _tagPTzMOUSEPOINT at = Sample(160, -40, 128);
    ASSERT_TRUE(brush.GetBrushInfo(&at, &rect, &dab));
    EXPECT_EQ(rect.left, (160 - 8 * 11) >> 4);
    EXPECT_EQ(rect.top, (-40 - 8 * 11) >> 4);
    EXPECT_EQ(rect.right - rect.left, 11);
    ASSERT_TRUE(brush.GetPressBrushInfo(&at, &rect, &dab));
    EXPECT_EQ(dab.width, (128 * 11 + 127) / 255);
    EXPECT_EQ(rect.left, (160 - 8 * dab.width + 8) >> 4);
    EXPECT_EQ(rect.bottom - rect.top, dab.height);
    EXPECT_FALSE(brush.GetBrushInfo(nullptr, &rect, &dab));
}

TEST(BrushDabPlace, ShiftFollowsTheSampleAndTheParityOfTheTip)
{
    for (uint32_t size : {9u, 10u}) {
        ITzBrushBase brush;
        ReadyTip ready(int16_t(size + 2), 255, int16_t(size), 25);
        ASSERT_EQ(brush.SetITzBrush(&ready.info), 1);
        const int32_t side = int32_t(size + 2);
        for (int32_t x : {0, 5, -21}) {
            PTzRECT rect = {};
            _tagITzBITMAP dab = {}, expected = {};
            const _tagPTzMOUSEPOINT at = Sample(x, 3, 255);
            ASSERT_TRUE(brush.GetAntiBrushInfo(&at, &rect, &dab));
            const std::vector<uint8_t> placed = Bytes(dab);
            const int32_t fx = side & 1 ? (x - 8) & 15 : x & 15, fy = side & 1 ? (3 - 8) & 15 : 3;
            ASSERT_EQ(brush.GetAntiBrush(&expected, fx, fy), 1);
            EXPECT_EQ(placed, Bytes(expected)) << size << " " << x;
            EXPECT_EQ(rect.left, (x - 8 * (side - 2)) >> 4);
            EXPECT_EQ(rect.top, (3 - 8 * (side - 2)) >> 4);
            EXPECT_EQ(rect.right - rect.left, side - 1);
        }
    }
}

// Samples at the ends of the 32-bit range: the odd tip's half-pixel offset must not
// overflow (caught by the sanitizer build) and gives the same shift as near the origin.
TEST(BrushDabPlace, FarOffSamplesOfAnOddTipKeepTheirShift)
{
    ITzBrushBase brush;
    ReadyTip ready(11, 255, 9, 25);
    ASSERT_EQ(brush.SetITzBrush(&ready.info), 1);
    for (const int32_t x : {INT32_MIN, INT32_MIN + 3, INT32_MAX}) {
        PTzRECT rect = {};
        _tagITzBITMAP dab = {}, expected = {};
        const _tagPTzMOUSEPOINT at = Sample(x, x, 255);
        ASSERT_TRUE(brush.GetAntiBrushInfo(&at, &rect, &dab));
        const std::vector<uint8_t> placed = Bytes(dab);
        const int32_t shift = int32_t((int64_t(x) - 8) & 15);
        ASSERT_EQ(brush.GetAntiBrush(&expected, shift, shift), 1);
        EXPECT_EQ(placed, Bytes(expected)) << x;
        EXPECT_EQ(rect.left, int32_t((int64_t(x) - 8 * 9) >> 4)) << x;
        EXPECT_EQ(rect.right - rect.left, 10);
    }
}

TEST(BrushDabPlace, StepsGiveTheOneCallDab)
{
    ITzBrushCircle brush(31, 20, 3000, 70);
    const _tagPTzMOUSEPOINT at = Sample(1000, 777, 90);
    PTzRECT once = {}, stepped = {};
    _tagITzBITMAP dab = {};
    ASSERT_TRUE(brush.GetPressAntiBrushInfo(&at, &once, &dab));
    const std::vector<uint8_t> expected = Bytes(dab);
    void* job = brush.GetPressAntiBrushInfoStart(&at, &stepped, &dab);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(brush.GetPressAntiBrushInfoRun(job), 1);
    EXPECT_EQ(brush.GetPressAntiBrushInfoRun(job), 1);
    EXPECT_EQ(brush.GetPressAntiBrushInfoRun(job), 0);
    EXPECT_EQ(brush.GetPressAntiBrushInfoEnd(job), 1);
    EXPECT_TRUE(SameRect(once, stepped));
    EXPECT_EQ(Bytes(dab), expected);
    EXPECT_EQ(brush.GetPressAntiBrushInfoStart(&at, nullptr, &dab), nullptr);
}

TEST(BrushDabPlace, DabWithoutAPixelEndsUnmade)
{
    ITzBrushCircle brush(31, 100, 0, 100);
    brush.SetSoft(0);
    const _tagPTzMOUSEPOINT at = Sample(0, 0, 0);
    PTzRECT rect = {1, 2, 3, 4};
    _tagITzBITMAP dab = {};
    void* job = brush.GetPressAntiBrushInfoStart(&at, &rect, &dab);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(brush.GetPressAntiBrushInfoRun(job), 1);
    EXPECT_EQ(brush.GetPressAntiBrushInfoRun(job), 0);
    EXPECT_EQ(brush.GetPressAntiBrushInfoEnd(job), 0);
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(dab.pixels, nullptr);
}
