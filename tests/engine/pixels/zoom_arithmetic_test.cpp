// Zoom arithmetic: cache levels, point mappings, rectangle mappings with their phases,
// and exactness for negative coordinates and degenerate zooms.
#include "engine/pixels/zoom_arithmetic.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

_tagITzZOOMLEVEL Z(uint32_t numerator, uint32_t denominator)
{
    return {numerator, denominator};
}

void ExpectRect(const PTzRECT& r, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(ZoomArithmetic, CacheLevels)
{
    const struct {
        uint32_t num, den;
        uint8_t level;
    } cases[] = {{3, 4, 0}, {1, 2, 1}, {1, 3, 1}, {1, 4, 2}, {1, 16, 4}, {1, 1000, 8}, {2, 1, 0},
                 {1, 1, 0},  {2, 5, 1}, {3, 12, 2}, {5, 9, 0}, {1, 255, 7}, {1, 256, 8}};
    for (const auto& c : cases) {
        const _tagITzZOOMLEVEL zoom = Z(c.num, c.den);
        EXPECT_EQ(ITzZoomGetCacheLevel(&zoom), c.level) << c.num << "/" << c.den;
    }
    EXPECT_EQ(ITzZoomGetCacheLevel(nullptr), 0);
}

TEST(ZoomArithmetic, PictureToZoomedRoundsAndKeepsItsStepBelowZero)
{
    const _tagITzZOOMLEVEL half = Z(1, 2), twice = Z(2, 1);
    EXPECT_EQ(ITzZoomPPToZP(&half, 3), 2);
    EXPECT_EQ(ITzZoomPPToZP(&half, 0), 0);
    EXPECT_EQ(ITzZoomPPToZP(&twice, 3), 6);
    // t = 2 a num + den: 0 and negative multiples of 2 den land one below the floor.
    EXPECT_EQ(ITzZoomPPToZP(&half, -1), -1);  // t = 0
    EXPECT_EQ(ITzZoomPPToZP(&half, -3), -2);  // t = -4
    EXPECT_EQ(ITzZoomPPToZP(&half, -2), -1);  // t = -2
    const _tagITzZOOMLEVEL zeroNum = Z(0, 2), zeroDen = Z(1, 0);
    EXPECT_EQ(ITzZoomPPToZP(&zeroNum, 5), 0);
    EXPECT_EQ(ITzZoomPPToZP(&zeroDen, 5), 0);
    EXPECT_EQ(ITzZoomPPToZP(nullptr, 5), 0);
}

TEST(ZoomArithmetic, ZoomedToPictureTakesThePixelUnderTheCentre)
{
    const _tagITzZOOMLEVEL twice = Z(2, 1), half = Z(1, 2);
    const int32_t expected[] = {0, 0, 1, 1, 2};
    for (int32_t a = 0; a < 5; ++a)
        EXPECT_EQ(ITzZoomZPToPP(&twice, a), expected[a]);
    EXPECT_EQ(ITzZoomZPToPP(&half, 1), 3);
    const _tagITzZOOMLEVEL zero = Z(0, 1);
    EXPECT_EQ(ITzZoomZPToPP(&zero, 4), 0);
}

TEST(ZoomArithmetic, NearestSourceExamples)
{
    const _tagITzZOOMLEVEL half = Z(1, 2), twice = Z(2, 1), third = Z(1, 3);
    EXPECT_EQ(ITzZoomNNSourceReduce(&half, 0), 0);
    EXPECT_EQ(ITzZoomNNSourceReduce(&half, 1), 2);
    EXPECT_EQ(ITzZoomNNSourceReduce(&half, -1), -2);
    EXPECT_EQ(ITzZoomNNSourceReduce(&third, 0), 1);
    const int32_t enlarged[] = {-2, -2, -1, -1, 0, 0, 1, 1};  // a = -4 .. 3
    for (int32_t a = -4; a < 4; ++a)
        EXPECT_EQ(ITzZoomNNSourceEnlarge(&twice, a), enlarged[a + 4]) << a;
}

// Shifting the destination by one zoom group (num pixels) shifts the source by den
// pixels, on either side of 0; a rounding that truncates towards zero breaks this.
TEST(ZoomArithmetic, NearestSourceIsExactForNegativeCoordinates)
{
    const _tagITzZOOMLEVEL zooms[] = {Z(3, 2), Z(2, 1), Z(7, 3), Z(1, 2), Z(2, 3), Z(3, 10), Z(5, 5)};
    for (const _tagITzZOOMLEVEL& z : zooms)
        for (int32_t a = -40; a < 40; ++a) {
            const int32_t n = int32_t(z.numerator), d = int32_t(z.denominator);
            EXPECT_EQ(ITzZoomNNSourceEnlarge(&z, a - n), ITzZoomNNSourceEnlarge(&z, a) - d)
                << z.numerator << "/" << z.denominator << " a " << a;
            EXPECT_EQ(ITzZoomNNSourceReduce(&z, a - n), ITzZoomNNSourceReduce(&z, a) - d)
                << z.numerator << "/" << z.denominator << " a " << a;
        }
}

TEST(ZoomArithmetic, NearestSourceGuardsItsTerms)
{
    // A zero term counts as 1.
    const _tagITzZOOMLEVEL zeroNum = Z(0, 2), zeroDen = Z(2, 0);
    EXPECT_EQ(ITzZoomNNSourceReduce(&zeroNum, 1), 2);
    EXPECT_EQ(ITzZoomNNSourceEnlarge(&zeroDen, 3), 1);
    EXPECT_EQ(ITzZoomNNSourceEnlarge(nullptr, 3), 0);
    // Terms too large for exact 64-bit products are refused; the largest one saturates.
    const _tagITzZOOMLEVEL huge = Z(uint32_t{1} << 31, 1), largest = Z(1, ITzZOOM_TERM_MAX);
    EXPECT_EQ(ITzZoomNNSourceEnlarge(&huge, 3), 0);
    EXPECT_EQ(ITzZoomNNSourceReduce(&largest, INT_MAX), INT_MAX);
    EXPECT_EQ(ITzZoomNNSourceReduce(&largest, INT_MIN), INT_MIN);
}

TEST(ZoomArithmetic, RectanglesMapPerAxisWithPhases)
{
    const _tagITzZOOMLEVEL twice = Z(2, 1), half = Z(1, 2), triple = Z(3, 1);
    PTzRECT out{};
    PTzPOINT inputPhase{}, resultPhase{};
    const PTzRECT corner{1, 2, 5, 7};
    ASSERT_EQ(ITzZoomRectEnlarge(&twice, &twice, &corner, &out, &inputPhase, &resultPhase), 1);
    ExpectRect(out, 0, 1, 3, 4);
    EXPECT_EQ(inputPhase.x, 1);
    EXPECT_EQ(inputPhase.y, 0);
    EXPECT_EQ(resultPhase.x, 0);
    EXPECT_EQ(resultPhase.y, 0);

    const PTzRECT negative{-3, -1, 2, 1};
    ASSERT_EQ(ITzZoomRectReduce(&half, &half, &negative, &out, &inputPhase, &resultPhase), 1);
    ExpectRect(out, -6, -2, 3, 1);
    EXPECT_EQ(inputPhase.x, 0);
    EXPECT_EQ(resultPhase.x, 0);

    // Per axis: x enlarges at 3/1, y reduces at 1/2.
    const PTzRECT mixed{-4, -1, 5, 1};
    ASSERT_EQ(ITzZoomNNSourceRect(&half, &triple, &mixed, &out, &inputPhase, &resultPhase), 1);
    ExpectRect(out, -2, -2, 2, 1);
    EXPECT_EQ(inputPhase.x, 2);  // -4 is 2 into the group starting at -6
    EXPECT_EQ(resultPhase.x, 0);
    ASSERT_EQ(ITzZoomNNSourceRect(&half, &triple, &mixed, &out, nullptr, nullptr), 1);

    // A zero term counts as 1: 0/0 maps a rectangle onto itself.
    const _tagITzZOOMLEVEL zero = Z(0, 0);
    ASSERT_EQ(ITzZoomRectReduce(&zero, &zero, &negative, &out, nullptr, nullptr), 1);
    ExpectRect(out, -3, -1, 2, 1);

    const PTzRECT before = out;
    EXPECT_EQ(ITzZoomRectEnlarge(nullptr, &twice, &negative, &out, nullptr, nullptr), 0);
    EXPECT_EQ(ITzZoomRectEnlarge(&twice, &twice, nullptr, &out, nullptr, nullptr), 0);
    ExpectRect(out, before.left, before.top, before.right, before.bottom);
}

TEST(ZoomArithmetic, BilinearSourceIncludesBothNeighbours)
{
    const _tagITzZOOMLEVEL twice = Z(2, 1), half = Z(1, 2), twoThirds = Z(2, 3);
    PTzRECT out{};
    const PTzRECT rect{0, 3, 4, 5};
    ASSERT_EQ(ITzZoomBLSourceRect(&half, &twice, &rect, &out, nullptr, nullptr), 1);
    // x enlarges: (2 left - 2) / 4 floors to -1; (1 + 2 (2 + 3) - 1) / 4 + 1 = 3.
    // y reduces: 2 x 3 = 6 and 2 x 5 = 10.
    ExpectRect(out, -1, 6, 3, 10);
    const PTzRECT negative{-3, -3, -1, -1};
    ASSERT_EQ(ITzZoomBLSourceRect(&twoThirds, &twoThirds, &negative, &out, nullptr, nullptr), 1);
    ExpectRect(out, -5, -5, -1, -1);
    const _tagITzZOOMLEVEL zero = Z(1, 0);
    ASSERT_EQ(ITzZoomBLSourceRect(&zero, &zero, &rect, &out, nullptr, nullptr), 1);
    ExpectRect(out, 0, 3, 4, 5);
}

}  // namespace
