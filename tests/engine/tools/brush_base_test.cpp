// The brush tip's ownership: ready-made tips, the soft switch shared by a pen and a
// pencil, copies, the preview picture and the tips kept per pressure.
#include "engine/tools/brush_base.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "brush_test_support.h"
#include "engine/tools/brush_circle.h"

using namespace brush_test;

TEST(BrushReadyTip, StepIsRoundedPercentOfTheSizeAndAtLeastOne)
{
    ITzBrushBase brush;
    ReadyTip quarter(12, 255, 10, 25), none(12, 255, 10, 0);
    ASSERT_EQ(brush.SetITzBrush(&quarter.info), 1);
    EXPECT_EQ(brush.GetStep(), 3u);
    ASSERT_EQ(brush.SetITzBrush(&none.info), 1);
    EXPECT_EQ(brush.GetStep(), 1u);
    EXPECT_EQ(brush.GetWidth(), 10u);
}

TEST(BrushReadyTip, RefusedTipLeavesTheBrushAsItWas)
{
    ITzBrushBase brush;
    ReadyTip good(8, 200, 6, 50);
    ASSERT_EQ(brush.SetITzBrush(&good.info), 1);
    _tagITzBRUSHBRUSHINFO bad = good.info;
    bad.pixels = nullptr;
    bad.step = 100;
    EXPECT_EQ(brush.SetITzBrush(&bad), 0);
    EXPECT_EQ(brush.SetITzBrush(nullptr), 0);
    bad = good.info;
    bad.stride = 3;
    EXPECT_EQ(brush.SetITzBrush(&bad), 0);
    EXPECT_EQ(brush.GetStep(), 3u);
    _tagITzBITMAP tip = {};
    ASSERT_EQ(brush.GetBitmap(&tip), 1);
    EXPECT_EQ(Bytes(tip), good.bytes);
}

TEST(BrushReadyTip, NewTipReplacesThePyramidAndThePressureTip)
{
    ITzBrushBase brush;
    ReadyTip small(10, 255, 8, 25), large(60, 255, 58, 25);
    ASSERT_EQ(brush.SetITzBrush(&small.info), 1);
    _tagITzBITMAP before = {}, after = {}, level = {};
    ASSERT_EQ(brush.GetPressBitmap(&before, 100), 1);
    ASSERT_EQ(brush.SetITzBrush(&large.info), 1);
    ASSERT_EQ(brush.GetPressBitmap(&after, 100), 1);
    EXPECT_GT(after.width, 2 * before.width);
    ASSERT_EQ(brush.GetCacheBitmap(&level, 1, 0), 1);
    _tagPTzSIZE size = {};
    ASSERT_EQ(brush.GetCacheBitmapSize(&size, 1), 1);
    EXPECT_EQ(level.width, size.cx);
    EXPECT_GT(level.width, 25);
}

// Under AddressSanitizer a shifted-tip buffer sized for the first tip overflows here.
TEST(BrushReadyTip, GrowingTipsGrowTheShiftedTipBuffer)
{
    ITzBrushBase brush;
    for (int16_t side : {4, 9, 40, 130, 300}) {
        ReadyTip tip(side, 255, side, 25);
        ASSERT_EQ(brush.SetITzBrush(&tip.info), 1);
        _tagITzBITMAP shifted = {};
        ASSERT_EQ(brush.GetAntiBrush(&shifted, 5, 11), 1);
        EXPECT_EQ(shifted.width, side - 1);
        ASSERT_EQ(brush.GetAntiPressBrush(&shifted, 3, 7, 200), 1);
    }
}

TEST(BrushSoftSwitch, PenAndPencilSharingABrushEachGetTheirOwnTip)
{
    ITzBrushCircle brush(40, 0, 0, 100);
    _tagITzBITMAP pen = {}, pencil = {};
    ASSERT_EQ(brush.GetPressBitmap(&pen, 100), 1);
    EXPECT_GT(Values(pen).size(), 2u);
    brush.SetSoft(0);
    ASSERT_EQ(brush.GetPressBitmap(&pencil, 100), 1);
    EXPECT_EQ(Values(pencil), (std::set<uint8_t>{0, 255}));
    brush.SetSoft(1);
    ASSERT_EQ(brush.GetPressBitmap(&pen, 100), 1);
    EXPECT_GT(Values(pen).size(), 2u);
    ASSERT_EQ(brush.GetPressBitmap(&pen, 128), 1);
    EXPECT_GT(Values(pen).size(), 2u);
}

TEST(BrushSoftSwitch, ReadyTipSurvivesTheSwitch)
{
    ITzBrushBase brush;
    ReadyTip ready(7, 90, 5, 25);
    ASSERT_EQ(brush.SetITzBrush(&ready.info), 1);
    brush.SetSoft(0);
    _tagITzBITMAP tip = {};
    ASSERT_EQ(brush.GetBitmap(&tip), 1);
    EXPECT_EQ(Bytes(tip), ready.bytes);
}

TEST(BrushCopy, CopiesOwnTheirTips)
{
    auto* original = new ITzBrushCircle(20, 50, 0, 100);
    _tagITzBITMAP tip = {}, copied = {};
    ASSERT_EQ(original->GetPressBitmap(&tip, 100), 1);
    ITzBrushCircle copy(*original);
    ITzBrushCircle assigned(3, 100, 0, 100);
    assigned = *original;
    ASSERT_EQ(original->GetBitmap(&tip), 1);
    const std::vector<uint8_t> bytes = Bytes(tip);
    delete original;
    ASSERT_EQ(copy.GetBitmap(&copied), 1);
    EXPECT_EQ(Bytes(copied), bytes);
    ASSERT_EQ(assigned.GetPressBitmap(&copied, 100), 1);
    ASSERT_EQ(assigned.GetBitmap(&copied), 1);
    EXPECT_EQ(Bytes(copied), bytes);
}

TEST(BrushDisplay, SmallTipIsCentredAndLargeTipScaledToFit)
{
    _tagITzBITMAP target = {};
    const _tagPTzSIZE size = {16, 8};
    ASSERT_EQ(ITzPrepareITzBitmap(&target, &size, 6), 1);
    ITzBrushCircle dot(1, 100, 0, 100);
    dot.SetSoft(0);
    ASSERT_EQ(dot.GetDisplayBitmap(&target), 1);
    EXPECT_EQ(At(target, 7, 3), 255);
    EXPECT_EQ(Values(target), (std::set<uint8_t>{0, 255}));
    ITzBrushCircle large(60, 100, 0, 100);
    ASSERT_EQ(large.GetDisplayBitmap(&target), 1);
    EXPECT_GE(At(target, 7, 4), 250);
    EXPECT_EQ(At(target, 2, 4), 0);
    EXPECT_EQ(At(target, 13, 4), 0);
    ITzReleaseITzBitmap(&target);
    const _tagPTzSIZE wide = {4, 4};
    ASSERT_EQ(ITzPrepareITzBitmap(&target, &wide, 3), 1);
    EXPECT_EQ(large.GetDisplayBitmap(&target), 0);
    ITzReleaseITzBitmap(&target);
}

// A stroke's pressures come back: the tips kept for them, and those made again past the
// kept tips' budget, are the tips a brush asked in another order makes.
TEST(BrushPressureTips, KeptTipsAndTipsPastTheBudgetEqualFreshOnes)
{
    ITzBrushCircle kept(1200, 50, 0, 100), fresh(1200, 50, 0, 100);
    std::vector<uint8_t> pressures;
    for (int pressure = 5; pressure <= 255; pressure += 5)
        pressures.push_back(uint8_t(pressure));
    _tagITzBITMAP tip = {};
    for (const uint8_t pressure : pressures)
        ASSERT_EQ(kept.GetPressBitmap(&tip, pressure), 1);
    std::map<uint8_t, std::vector<uint8_t>> made;
    for (auto p = pressures.rbegin(); p != pressures.rend(); ++p) {
        ASSERT_EQ(fresh.GetPressBitmap(&tip, *p), 1);
        made[*p] = Bytes(tip);
    }
    for (const uint8_t pressure : pressures) {
        ASSERT_EQ(kept.GetPressBitmap(&tip, pressure), 1);
        EXPECT_EQ(Bytes(tip), made[pressure]) << int(pressure);
    }
}
