// The tip at a pressure: the level arithmetic, the pyramid reused at its own scales, the
// kept tip between them, hard tips by nearest pixel, and tips too small to reduce.
#include "engine/tools/brush_base.h"

#include <gtest/gtest.h>

#include "brush_test_support.h"
#include "engine/pixels/resample.h"
#include "engine/tools/brush_circle.h"

using namespace brush_test;

TEST(BrushPressureLevel, ScalesNameTheirLevelsExactly)
{
    const uint8_t scales[] = {255, 128, 64, 32, 16, 8, 4, 2, 1};
    for (uint32_t level = 0; level < 9; ++level) {
        int exact = 0;
        EXPECT_EQ(ITzBrushBase::GetCacheLevelPress(level), scales[level]);
        EXPECT_EQ(ITzBrushBase::GetPressCacheLevel(scales[level], &exact), level);
        EXPECT_EQ(exact, 1);
    }
    EXPECT_EQ(ITzBrushBase::GetCacheLevelPress(9), 0u);
}

TEST(BrushPressureLevel, OtherPressuresTakeTheLevelAboveThem)
{
    const struct {
        uint8_t pressure;
        uint32_t level;
    } cases[] = {{200, 0}, {254, 0}, {127, 1}, {100, 1}, {65, 1}, {63, 2}, {3, 6}, {0, 8}};
    for (const auto& c : cases) {
        int exact = 1;
        EXPECT_EQ(ITzBrushBase::GetPressCacheLevel(c.pressure, &exact), c.level) << int(c.pressure);
        EXPECT_EQ(exact, 0);
    }
}

TEST(BrushPressureSoft, PowersOfTwoReturnTheStoredReducedTips)
{
    ITzBrushCircle brush(60, 40, 0, 100);
    for (uint32_t level : {1u, 2u, 3u}) {
        _tagITzBITMAP stored = {}, pressed = {};
        ASSERT_EQ(brush.GetPressBitmap(&pressed, uint8_t(ITzBrushBase::GetCacheLevelPress(level))), 1);
        ASSERT_EQ(brush.GetCacheBitmap(&stored, level, 0), 1);
        EXPECT_EQ(pressed.pixels, stored.pixels) << level;
        EXPECT_EQ(pressed.width, stored.width);
        EXPECT_TRUE(BorderEmpty(stored));
    }
    _tagITzBITMAP full = {}, pressed = {};
    ASSERT_EQ(brush.GetBitmap(&full), 1);
    ASSERT_EQ(brush.GetPressBitmap(&pressed, 255), 1);
    EXPECT_EQ(pressed.pixels, full.pixels);
}

TEST(BrushPressureSoft, PressureBetweenLevelsIsResizedOnceAndKept)
{
    ITzBrushCircle brush(60, 40, 0, 100);
    _tagITzBITMAP first = {}, again = {}, level = {};
    ASSERT_EQ(brush.GetPressBitmap(&first, 100), 1);
    ASSERT_EQ(brush.GetPressBitmap(&again, 100), 1);
    EXPECT_EQ(again.pixels, first.pixels);
    ASSERT_EQ(brush.GetCacheBitmap(&level, 1, 0), 1);
    const _tagITzZOOMLEVEL zoom = {100, 128};
    EXPECT_EQ(uint32_t(first.width), ITzResize::GetBL_CResizedSize(uint32_t(level.width - 2), &zoom) + 2);
    EXPECT_TRUE(BorderEmpty(first));
    EXPECT_GT(At(first, first.width / 2, first.height / 2), 200);
}

// Asking for a pressure between levels before the tip exists makes the tip, and with it
// the pyramid, while a level is being made: under AddressSanitizer a level made twice leaks.
TEST(BrushPressureSoft, FirstRequestBetweenLevelsMakesEachLevelOnce)
{
    ITzBrushCircle brush(31, 0, 0, 100);
    _tagITzBITMAP pressed = {}, level = {};
    ASSERT_EQ(brush.GetPressBitmap(&pressed, 90), 1);
    ASSERT_EQ(brush.GetCacheBitmap(&level, 1, 0), 1);
    const _tagITzZOOMLEVEL zoom = {90, 128};
    EXPECT_EQ(uint32_t(pressed.width), ITzResize::GetBL_CResizedSize(uint32_t(level.width - 2), &zoom) + 2);
}

TEST(BrushPressureSoft, PressureBelowTheSmallestLevelGivesNoTip)
{
    ITzBrushCircle brush(600, 100, 0, 100);
    _tagITzBITMAP tip = {};
    EXPECT_EQ(brush.GetPressBitmap(&tip, 1), 0);
    EXPECT_EQ(brush.GetPressBitmap(&tip, 0), 0);
    EXPECT_EQ(brush.GetPressBitmap(&tip, 2), 1);
}

TEST(BrushPressureSoft, SmallTipStopsAtItsDeepestLevel)
{
    ITzBrushBase brush;
    ReadyTip ready(5, 255, 3, 25);
    ASSERT_EQ(brush.SetITzBrush(&ready.info), 1);
    EXPECT_EQ(brush.GetMaxLevel(), 2u);
    _tagITzBITMAP deepest = {}, pressed = {};
    ASSERT_EQ(brush.GetCacheBitmap(&deepest, 2, 0), 1);
    ASSERT_EQ(brush.GetPressBitmap(&pressed, 16), 1);
    EXPECT_EQ(pressed.pixels, deepest.pixels);
}

TEST(BrushPressureHard, NearestPixelSizesAndTheEmptyDot)
{
    ITzBrushCircle brush(30, 100, 0, 100);
    brush.SetSoft(0);
    _tagITzBITMAP full = {}, tip = {};
    ASSERT_EQ(brush.GetBitmap(&full), 1);
    ASSERT_EQ(brush.GetPressBitmap(&tip, 0), 1);
    EXPECT_EQ(tip.width, 1);
    EXPECT_EQ(tip.height, 1);
    ASSERT_EQ(brush.GetPressBitmap(&tip, 128), 1);
    EXPECT_EQ(tip.width, (128 * full.width + 127) / 255);
    EXPECT_EQ(Values(tip), (std::set<uint8_t>{0, 255}));
    ASSERT_EQ(brush.GetPressBitmap(&tip, 255), 1);
    EXPECT_EQ(Bytes(tip), Bytes(full));
}

// Tips of one to four pixels a side once underflowed their width minus 2 or 3.
TEST(BrushPressureTiny, EveryPressureOfTinyTipsIsSafe)
{
    for (int16_t side = 1; side <= 4; ++side)
        for (int soft : {1, 0}) {
            ITzBrushBase brush;
            ReadyTip ready(side, 255, side, 25);
            ASSERT_EQ(brush.SetITzBrush(&ready.info), 1);
            brush.SetSoft(soft);
            EXPECT_EQ(brush.GetMaxLevel(), side == 4 ? 1u : 0u);
            for (int pressure = 0; pressure < 256; ++pressure) {
                _tagITzBITMAP tip = {}, shifted = {};
                if (brush.GetPressBitmap(&tip, uint8_t(pressure))) {
                    ASSERT_GE(tip.width, 1);
                }
                brush.GetAntiPressBrush(&shifted, pressure, pressure / 16, uint8_t(pressure));
            }
        }
}

// Small tips keep the tip of every pressure: one asked for again after others is the
// same tip, with the bytes a brush asked only for it makes.
TEST(BrushPressureSoft, SmallTipsKeepEveryPressure)
{
    ITzBrushCircle brush(20, 50, 0, 100), fresh(20, 50, 0, 100);
    _tagITzBITMAP first = {}, other = {}, again = {}, alone = {};
    ASSERT_EQ(brush.GetPressBitmap(&first, 100), 1);
    ASSERT_EQ(brush.GetPressBitmap(&other, 200), 1);
    ASSERT_EQ(brush.GetPressBitmap(&again, 100), 1);
    EXPECT_EQ(again.pixels, first.pixels);
    EXPECT_NE(other.pixels, first.pixels);
    ASSERT_EQ(fresh.GetPressBitmap(&alone, 100), 1);
    EXPECT_EQ(Bytes(again), Bytes(alone));
    brush.SetSoft(0);
    ASSERT_EQ(brush.GetPressBitmap(&again, 100), 1);
    EXPECT_EQ(Values(again), (std::set<uint8_t>{0, 255}));
}
