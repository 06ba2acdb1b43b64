// The round brush record: its setters' ranges, 5153 only when a stored value changed,
// the engine step, the kept tip and the preview.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/ui/brush_round.h"
#include "base/color.h"

namespace {

struct CountingListener : PTzListener {
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override
    {
        EXPECT_EQ(param, nullptr);
        if (message == BRUSH_CHANGED_MESSAGE)
            senders.push_back(sender);
        return 1;
    }
    std::vector<PTzBroadcaster*> senders;
};

using Setter = std::function<void(CBrushRound&, uint32_t)>;
using Getter = std::function<uint32_t(const CBrushRound&)>;

const Setter kDiameter = [](CBrushRound& b, uint32_t v) { b.SetDiameter(v); };
const Setter kHardness = [](CBrushRound& b, uint32_t v) { b.SetHardness(v); };
const Setter kRoundness = [](CBrushRound& b, uint32_t v) { b.SetRoundness(v); };
const Setter kAngle = [](CBrushRound& b, uint32_t v) { b.SetAngle(v); };
const Setter kSpacing = [](CBrushRound& b, uint32_t v) { b.SetSpacing(v); };
const Getter kGetDiameter = [](const CBrushRound& b) { return uint32_t(b.GetDiameter()); };
const Getter kGetHardness = [](const CBrushRound& b) { return uint32_t(b.GetHardness()); };
const Getter kGetRoundness = [](const CBrushRound& b) { return uint32_t(b.GetRoundness()); };
const Getter kGetAngle = [](const CBrushRound& b) { return uint32_t(b.GetAngle()); };
const Getter kGetSpacing = [](const CBrushRound& b) { return b.GetSpacing(); };

TEST(BrushRound, SettersKeepTheirRangesAndBroadcastOnlyWhenTheStoredValueChanged)
{
    const struct {
        const char* what;
        Setter set;
        Getter get;
        uint32_t value;
        uint32_t stored;
        bool broadcasts;  // spacing re-steps the tip instead
    } cases[] = {
        {"diameter 0", kDiameter, kGetDiameter, 0, 1, false},  // 1 already
        {"diameter 1001", kDiameter, kGetDiameter, 1001, 1000, true},
        {"diameter 65535", kDiameter, kGetDiameter, 65535, 1000, true},
        {"diameter 35", kDiameter, kGetDiameter, 35, 35, true},
        {"hardness 150", kHardness, kGetHardness, 150, 100, true},
        {"hardness 0", kHardness, kGetHardness, 0, 0, false},
        {"roundness 101", kRoundness, kGetRoundness, 101, 100, false},  // 100 already
        {"roundness 0", kRoundness, kGetRoundness, 0, 0, true},
        {"angle 200", kAngle, kGetAngle, 200, 20, true},
        {"angle 180", kAngle, kGetAngle, 180, 0, false},
        {"angle 179", kAngle, kGetAngle, 179, 179, true},
        {"spacing 0", kSpacing, kGetSpacing, 0, 1, false},
        {"spacing 1001", kSpacing, kGetSpacing, 1001, 1000, false},
    };
    for (const auto& c : cases) {
        CBrushRound brush(1, 0);
        CountingListener listener;
        ASSERT_EQ(listener.AddToBroadcaster(&brush), 1);
        c.set(brush, c.value);
        EXPECT_EQ(c.get(brush), c.stored) << c.what;
        EXPECT_EQ(listener.senders.size(), c.broadcasts ? 1u : 0u) << c.what;
        c.set(brush, c.value);
        EXPECT_EQ(listener.senders.size(), c.broadcasts ? 1u : 0u) << c.what << ", set again";
        if (c.broadcasts) {
            EXPECT_EQ(listener.senders[0], &brush) << c.what;
        }
    }
}

TEST(BrushRound, TheConstructorClampsAndStartsRoundAndUpright)
{
    const CBrushRound brush(5000, 250);
    EXPECT_EQ(brush.GetDiameter(), 1000);
    EXPECT_EQ(brush.GetHardness(), 100);
    EXPECT_EQ(brush.GetRoundness(), 100);
    EXPECT_EQ(brush.GetAngle(), 0);
    EXPECT_EQ(brush.GetSpacing(), 20u);
    EXPECT_TRUE(brush.GetPressureSize());
    EXPECT_FALSE(brush.GetPressureOpacity());
    EXPECT_EQ(brush.GetDisplayNumber(), 1000u);
    EXPECT_EQ(brush.GetType(), 0x726F6E64u);
    EXPECT_EQ(brush.GetRecordSize(), 10u);
}

TEST(BrushRound, TheEngineStepIsDiameterTimesSpacingOverAHundredTruncated)
{
    const struct {
        uint32_t diameter, spacing, step;
    } cases[] = {{35, 20, 7}, {9, 120, 10}, {1, 20, 0}, {1000, 1000, 10000}};
    for (const auto& c : cases) {
        CBrushRound brush(c.diameter, 0);
        brush.SetSpacing(c.spacing);
        ITzBrushBase* tip = brush.GetEngineBrush();
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(tip->GetStep(), c.step) << c.diameter << " at " << c.spacing;
        EXPECT_EQ(brush.GetEngineBrush(), tip) << "kept, not rebuilt";
    }
    // A spacing change re-steps the kept tip in place.
    CBrushRound brush(35, 0);
    ITzBrushBase* tip = brush.GetEngineBrush();
    brush.SetSpacing(100);
    EXPECT_EQ(brush.GetEngineBrush(), tip);
    EXPECT_EQ(tip->GetStep(), 35u);
}

TEST(BrushRound, AChangedValueDropsTheKeptTipSoTheNextOneHasTheNewSize)
{
    CBrushRound brush(9, 100);
    ASSERT_NE(brush.GetEngineBrush(), nullptr);
    brush.SetDiameter(17);
    EXPECT_FALSE(brush.HasEngineBrush());
    _tagITzBITMAP tip = {};
    ASSERT_EQ(brush.GetEngineBrush()->GetBitmap(&tip), 1);
    EXPECT_EQ(tip.width, 17 + 2) << "one empty pixel of border each side";
}

TEST(BrushRound, ThePreviewIsDrawnWithoutKeepingATip)
{
    CBrushRound brush(25, 100);
    std::vector<uint8_t> pixels(32 * 32, 0);
    _tagITzBITMAP preview = {32, 32, 32, 8, PTzCOLORMODE_GRAY, pixels.data()};
    ASSERT_EQ(brush.DrawPreview(&preview), 1);
    EXPECT_FALSE(brush.HasEngineBrush());
    EXPECT_NE(pixels[16 * 32 + 16], 0) << "the centre is covered";
    EXPECT_EQ(pixels[0], 0) << "the corner is not";
    _tagITzBITMAP wrongKind = {32, 32, 96, 24, PTzCOLORMODE_RGB, pixels.data()};
    EXPECT_EQ(brush.DrawPreview(&wrongKind), 0);
}

}  // namespace
