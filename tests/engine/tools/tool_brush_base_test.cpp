// The brush stroke engine driven as the program drives it: mouse down, moves, idle steps
// and mouse up, with real round tips, checked through the dabs, pushes and undo steps.
#include "engine/tools/tool_brush_base.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/tools/brush_circle.h"
#include "brush_stroke_support.h"
#include "floating_test_support.h"

using namespace brush_stroke;
using namespace floating_test;

namespace {

struct Dab {
    PTzRECT rect;
    int32_t width, height;
    uint8_t strength;
    std::vector<uint8_t> pixels;  // rows packed
};

// Records what the engine does at its seams, then does it.
class ProbeTool : public ITzToolBrushBase {
public:
    int MergeBrushToCache(PTzRECT* cacheRect, _tagITzBITMAP* dab, PTzRECT* dabRect, uint8_t strength) override
    {
        Dab seen{*dabRect, dab->width, dab->height, strength, {}};
        for (int32_t y = 0; y < dab->height; ++y)
            seen.pixels.insert(seen.pixels.end(), dab->pixels + y * dab->stride,
                               dab->pixels + y * dab->stride + dab->width);
        cached.push_back(seen);
        return ITzToolBrushBase::MergeBrushToCache(cacheRect, dab, dabRect, strength);
    }
    int MergeBrushToImage(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job, uint8_t strength) override
    {
        direct.push_back(job->rect);
        return ITzToolBrushBase::MergeBrushToImage(job, strength);
    }
    int MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job) override
    {
        pushes.push_back(job->rect);
        return ITzToolBrushBase::MergeCacheToImage(job);
    }
    void PrepareCacheData(PTzRECT* window) override
    {
        windows.push_back(*window);
        firstDab.push_back(cached.size());
    }

    std::vector<Dab> cached;
    std::vector<PTzRECT> direct;
    std::vector<PTzRECT> pushes;
    std::vector<PTzRECT> windows;
    std::vector<size_t> firstDab;  // per window, the index of its first dab
};

bool InsideRect(const PTzRECT& rect, const PTzRECT& frame)
{
    return rect.left >= frame.left && rect.top >= frame.top && rect.right <= frame.right &&
           rect.bottom <= frame.bottom;
}

// A tool that cannot make its mouse track.
class TracklessTool : public ITzToolBrushBase {
public:
    ITzMouseTrack* GetMouseTrack() override { return nullptr; }
};

// A tool that switches the shared brush to its hard tip, as the pencil does.
class HardTool : public ProbeTool {
public:
    int SetBrush(ITzBrushBase* brush) override
    {
        const int stored = ITzToolBrushBase::SetBrush(brush);
        if (brush)
            brush->SetSoft(0);
        return stored;
    }
};


class BrushStroke : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakePicture(picture, 1, {0, 0, 1200, 600});
        layer = ImageLayer(picture, 0);
        // A transparent layer shows the stroke's alpha as it is.
        const PTzRECT all = {0, 0, 1200, 600};
        const _tagPTzCOLOR clear = Colour(0, 0, 0, 0);
        layer->FillRect(&all, &clear);
    }

    ITzPicture picture;
    ITzLayerImage* layer = nullptr;
};

TEST_F(BrushStroke, OneClickPaintsOneDabAndSavesOneUndoStep)
{
    ITzBrushCircle brush(20, 100, 0, 100);
    ProbeTool tool;
    tool.SetBrush(&brush);
    const Snapshot before = Take(layer);
    Stroke(tool, picture, {Sample(100, 100), Sample(100, 100)});

    ASSERT_EQ(tool.cached.size(), 1u);
    EXPECT_EQ(tool.pushes.size(), 1u);
    EXPECT_EQ(AlphaAt(layer, 100, 100), 255);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(UndoSteps(picture), 1);
    EXPECT_EQ(Take(layer), before);
}

TEST_F(BrushStroke, UndoRedoUndoGiveTheLayerExactly)
{
    ITzBrushCircle brush(15, 40, 0, 100);
    ProbeTool tool;
    tool.SetBrush(&brush);
    tool.SetPressFlag(ITzBRUSH_PRESS_SIZE | ITzBRUSH_PRESS_OPACITY);
    const Snapshot before = Take(layer);
    Stroke(tool, picture, {Sample(40, 50, 90), Sample(300, 80, 255), Sample(520, 400, 30), Sample(530, 410, 200)});
    const Snapshot after = Take(layer);
    ASSERT_FALSE(after == before);

    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(Take(layer), before);
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_EQ(Take(layer), after);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(Take(layer), before);
}

TEST_F(BrushStroke, EachWindowIsPushedOnceAndTheNextCentresOnTheDabThatLeft)
{
    ITzBrushCircle brush(10, 100, 0, 100);
    ProbeTool tool;
    tool.SetBrush(&brush);
    Stroke(tool, picture, {Sample(100, 100), Sample(700, 100)});

    ASSERT_GE(tool.windows.size(), 3u);
    // Dabs that stay inside a window are pushed with it, once.
    ASSERT_EQ(tool.pushes.size(), tool.windows.size());
    tool.firstDab.push_back(tool.cached.size());
    for (size_t w = 0; w < tool.windows.size(); ++w) {
        const PTzRECT& window = tool.windows[w];
        const Dab& first = tool.cached[tool.firstDab[w]];
        EXPECT_EQ(window.left, first.rect.left - ((256 - first.width) >> 1)) << "window " << w;
        EXPECT_EQ(window.top, first.rect.top - ((256 - first.height) >> 1)) << "window " << w;
        EXPECT_EQ(window.right - window.left, 256);
        EXPECT_EQ(window.bottom - window.top, 256);
        for (size_t d = tool.firstDab[w]; d < tool.firstDab[w + 1]; ++d)
            EXPECT_TRUE(InsideRect(tool.cached[d].rect, window)) << "dab " << d;
        if (w > 0) {
            EXPECT_FALSE(InsideRect(first.rect, tool.windows[w - 1])) << "window " << w;
        }
        EXPECT_GE(tool.pushes[w].left, window.left);
        EXPECT_LE(tool.pushes[w].right, window.right);
    }
    for (int32_t x = 100; x <= 700; x += 7)
        EXPECT_EQ(AlphaAt(layer, x, 100), 255) << x;
}

TEST_F(BrushStroke, DabsLargerThanTheCacheGoStraightIntoTheFloatingLayer)
{
    ITzBrushCircle round(300, 100, 0, 100);
    ITzBrushCircle flat(300, 100, 0, 10);  // wide but low
    for (ITzBrushBase* brush : {static_cast<ITzBrushBase*>(&round), static_cast<ITzBrushBase*>(&flat)}) {
        ProbeTool tool;
        tool.SetBrush(brush);
        Stroke(tool, picture, {Sample(400, 300), Sample(400, 300)});
        EXPECT_TRUE(tool.cached.empty());
        EXPECT_TRUE(tool.pushes.empty());
        ASSERT_EQ(tool.direct.size(), 1u);
        EXPECT_GT(tool.direct[0].right - tool.direct[0].left, 256);
        EXPECT_EQ(AlphaAt(layer, 400, 300), 255);
        EXPECT_EQ(AlphaAt(layer, 260, 300), 255);
    }
    EXPECT_EQ(UndoSteps(picture), 2);
}

TEST_F(BrushStroke, PressureDrivesTheDabStrengthOnlyWhenAsked)
{
    ITzBrushCircle brush(10, 100, 0, 100);
    struct Case {
        uint8_t flags, press, pressure, strength;
    };
    for (const Case c : {Case{ITzBRUSH_PRESS_OPACITY, 255, 128, 128}, Case{ITzBRUSH_PRESS_OPACITY, 200, 128, 100},
                         Case{ITzBRUSH_PRESS_OPACITY, 255, 0, 0}, Case{0, 255, 128, 255}, Case{0, 77, 3, 77}}) {
        ProbeTool tool;
        tool.SetBrush(&brush);
        tool.SetPressFlag(c.flags);
        tool.SetPress(c.press);
        Stroke(tool, picture, {Sample(60, 60, c.pressure), Sample(60, 60, c.pressure)});
        ASSERT_EQ(tool.cached.size(), 1u);
        EXPECT_EQ(tool.cached[0].strength, c.strength) << int(c.flags) << " " << int(c.pressure);
    }
}

TEST_F(BrushStroke, PressureThatDoesNotDriveTheSizeLeavesTheTipAlone)
{
    ITzBrushCircle brush(40, 50, 0, 100);
    std::vector<Dab> dabs;
    for (const auto& [flags, pressure] : {std::pair{0, 255}, {0, 40}, {ITzBRUSH_PRESS_OPACITY, 40},
                                         {ITzBRUSH_PRESS_SIZE, 40}}) {
        ProbeTool tool;
        tool.SetBrush(&brush);
        tool.SetPressFlag(uint8_t(flags));
        Stroke(tool, picture, {Sample(200, 200, uint8_t(pressure)), Sample(200, 200, uint8_t(pressure))});
        ASSERT_EQ(tool.cached.size(), 1u);
        dabs.push_back(tool.cached[0]);
    }
    EXPECT_EQ(dabs[1].pixels, dabs[0].pixels);
    EXPECT_TRUE(SameRect(dabs[1].rect, dabs[0].rect));
    // The opacity still follows the pressure.
    EXPECT_EQ(dabs[2].pixels, dabs[0].pixels);
    EXPECT_EQ(dabs[2].strength, 40);
    EXPECT_LT(dabs[3].width, dabs[0].width / 2);
}

bool OnlyHardValues(const Dab& dab)
{
    for (uint8_t v : dab.pixels)
        if (v != 0 && v != 255)
            return false;
    return true;
}

TEST_F(BrushStroke, SoftAndHardToolsSharingABrushEachGetTheirOwnTip)
{
    ITzBrushCircle brush(31, 0, 0, 100);
    ProbeTool soft;
    HardTool hard;
    std::vector<Dab> dabs;
    // Pressure 100 names no pyramid level, so each tool's pressure tip is made for it.
    for (ProbeTool* tool : {&soft, static_cast<ProbeTool*>(&hard), &soft}) {
        tool->cached.clear();
        tool->SetBrush(&brush);
        Stroke(*tool, picture, {Sample(300, 300, 100), Sample(300, 300, 100)});
        ASSERT_EQ(tool->cached.size(), 1u);
        dabs.push_back(tool->cached[0]);
    }
    EXPECT_FALSE(OnlyHardValues(dabs[0]));
    EXPECT_TRUE(OnlyHardValues(dabs[1]));
    EXPECT_EQ(dabs[2].pixels, dabs[0].pixels);
}

TEST_F(BrushStroke, IdleStepsPaintAndPushWhenThePointsRunDry)
{
    ITzBrushCircle brush(12, 100, 0, 100);
    ProbeTool tool;
    tool.SetBrush(&brush);
    _tagPTzMOUSEPOINT down = Sample(80, 80), move = Sample(120, 80);
    ASSERT_EQ(tool.OnMouseDown(&down, &picture), 1);
    ASSERT_EQ(tool.OnMouseMove(&move, &picture), 1);
    for (int i = 0; i < 1000 && tool.pushes.empty(); ++i)
        ASSERT_EQ(tool.OnIdle(&picture), 1);
    ASSERT_EQ(tool.pushes.size(), 1u);
    for (int i = 0; i < 10; ++i)
        tool.OnIdle(&picture);
    ITzLayerImage* floating = layer->GetFloatingLayer();
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(AlphaAt(floating, 100, 80), 255);
    // Editing is held until the button comes up.
    EXPECT_FALSE(picture.AbleEditing());
    const size_t dabs = tool.cached.size();
    tool.OnMouseUp(&move, &picture);
    EXPECT_EQ(tool.cached.size(), dabs);
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(tool.OnIdle(&picture), 0);
    EXPECT_EQ(UndoSteps(picture), 1);
}

// What a caller that runs all the work there is in one turn relies on: the work of the
// samples so far, and the push after it, then nothing until the next sample.
TEST_F(BrushStroke, IdleWorkRunsOutWithTheSamplesAndThePushAfterThem)
{
    ITzBrushCircle brush(12, 100, 0, 100);
    ProbeTool tool;
    tool.SetBrush(&brush);
    EXPECT_EQ(tool.HasIdleWork(), 0) << "no stroke";
    _tagPTzMOUSEPOINT down = Sample(80, 80), move = Sample(120, 80), next = Sample(120, 110);
    ASSERT_EQ(tool.OnMouseDown(&down, &picture), 1);
    ASSERT_EQ(tool.OnMouseMove(&move, &picture), 1);
    int steps = 0;
    while (tool.HasIdleWork() && steps < 1000) {
        ASSERT_EQ(tool.OnIdle(&picture), 1);
        ++steps;
    }
    EXPECT_EQ(tool.pushes.size(), 1u);
    const size_t dabs = tool.cached.size();
    EXPECT_GT(dabs, 3u);
    tool.OnIdle(&picture);
    EXPECT_EQ(tool.cached.size(), dabs) << "nothing was left";
    ASSERT_EQ(tool.OnMouseMove(&next, &picture), 1);
    EXPECT_EQ(tool.HasIdleWork(), 1);
    tool.OnMouseUp(&next, &picture);
    EXPECT_EQ(tool.HasIdleWork(), 0);
}

uint32_t FakeClock(void* context)
{
    return *static_cast<uint32_t*>(context);
}

TEST_F(BrushStroke, HoldingSupportRepeatsTheRestingPointWhileTheButtonIsDown)
{
    ITzBrushCircle brush(10, 100, 0, 100);
    ProbeTool tool;
    tool.SetBrush(&brush);
    tool.SetHoldingSupport(1);
    uint32_t now = 1000;
    tool.GetMouseTrack()->SetClock(FakeClock, &now);
    _tagPTzMOUSEPOINT sample = Sample(60, 60);
    ASSERT_EQ(tool.OnMouseDown(&sample, &picture), 1);
    const auto idle = [&] {
        for (int i = 0; i < 50; ++i)
            tool.OnIdle(&picture);
    };
    idle();
    EXPECT_EQ(tool.cached.size(), 1u);
    now += 501;
    idle();
    EXPECT_EQ(tool.cached.size(), 2u);
    now += 101;
    idle();
    EXPECT_EQ(tool.cached.size(), 3u);
    now += 5000;
    tool.OnMouseUp(&sample, &picture);
    EXPECT_EQ(tool.cached.size(), 3u);
    EXPECT_TRUE(picture.AbleEditing());
}

TEST_F(BrushStroke, PreviewOfTheDisplayLevelFollowsEachPush)
{
    ITzBrushCircle brush(16, 100, 0, 100);
    ProbeTool tool;
    tool.SetBrush(&brush);
    _tagITzZOOMLEVEL quarter = {1, 4};
    tool.SetDisplayZoomlevel(&quarter);
    _tagPTzMOUSEPOINT down = Sample(400, 200), move = Sample(440, 200);
    ASSERT_EQ(tool.OnMouseDown(&down, &picture), 1);
    ASSERT_EQ(tool.OnMouseMove(&move, &picture), 1);
    for (int i = 0; i < 1000 && tool.pushes.empty(); ++i)
        tool.OnIdle(&picture);
    for (int i = 0; i < 10; ++i)
        tool.OnIdle(&picture);
    ITzLayerImage* floating = layer->GetFloatingLayer();
    ASSERT_NE(floating, nullptr);
    ITzLayerImage* preview = floating->GetCacheLayer(2);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(AlphaAt(preview, 105, 50), 255);
    EXPECT_EQ(AlphaAt(preview, 90, 50), 0);
    tool.OnMouseUp(&move, &picture);
}

TEST_F(BrushStroke, RefusedMouseDownHoldsNothing)
{
    ITzBrushCircle brush(10, 100, 0, 100);
    _tagPTzMOUSEPOINT sample = Sample(50, 50);

    TracklessTool trackless;
    trackless.SetBrush(&brush);
    EXPECT_EQ(trackless.OnMouseDown(&sample, &picture), 0);
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);

    ProbeTool tool;
    EXPECT_EQ(tool.OnMouseDown(nullptr, &picture), 0);
    EXPECT_EQ(tool.OnMouseDown(&sample, nullptr), 0);
    // Another edit holds the ticket.
    uint32_t ticket = 0;
    ASSERT_EQ(picture.EditingStart(&ticket), 1);
    EXPECT_EQ(tool.OnMouseDown(&sample, &picture), 0);
    picture.EditingStop(ticket);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    // A picture without layers has no image layer to paint on.
    ITzPicture empty;
    empty.Create(100, 100);
    EXPECT_EQ(tool.OnMouseDown(&sample, &empty), 0);
    EXPECT_TRUE(empty.AbleEditing());
    // Nothing was started: moves, idle steps and the release do nothing.
    EXPECT_EQ(tool.OnMouseMove(&sample, &picture), 0);
    EXPECT_EQ(tool.OnIdle(&picture), 0);
    EXPECT_EQ(tool.OnMouseUp(&sample, &picture), 0);
    EXPECT_EQ(UndoSteps(picture), 0);
}

TEST_F(BrushStroke, NoStrokeCacheNoStroke)
{
    ITzBrushCircle brush(10, 100, 0, 100);
    _tagPTzMOUSEPOINT sample = Sample(50, 50);
    {
        PoolDrain drain;
        ProbeTool tool;
        tool.SetBrush(&brush);
        EXPECT_EQ(tool.OnMouseDown(&sample, &picture), 0);
        EXPECT_TRUE(picture.AbleEditing());
        EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    }
    // Pages given back later are taken at the next press.
    ProbeTool tool;
    tool.SetBrush(&brush);
    EXPECT_EQ(tool.OnMouseDown(&sample, &picture), 1);
    tool.OnMouseUp(&sample, &picture);
    EXPECT_EQ(AlphaAt(layer, 50, 50), 255);
}

TEST_F(BrushStroke, WithoutABrushPointsMakeNoDabsAndTheStrokeStillEnds)
{
    ProbeTool tool;
    const Snapshot before = Take(layer);
    Stroke(tool, picture, {Sample(10, 10), Sample(90, 40)});
    EXPECT_TRUE(tool.cached.empty());
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(Take(layer), before);
}

}  // namespace
