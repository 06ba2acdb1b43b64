// The brush-testing tool: a stroke through the brush functions as one undo step, the
// strokes it refuses, its data callback, and its end in the middle of a stroke.
#include "engine/tools/tool_brush_testing.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "brush_stroke_support.h"
#include "engine/pixels/anti_line_math.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/tools/brush_circle.h"
#include "engine/tools/tool_mask.h"
#include "floating_test_support.h"

namespace {

using brush_stroke::Sample;
using floating_test::Colour;
using floating_test::Snapshot;
using floating_test::Take;

class PlainLayer : public ITzLayerBase {};

ITzLayerImage* ImageLayer(ITzPicture& picture, uint16_t index)
{
    return static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(index));
}

const std::vector<_tagPTzMOUSEPOINT> kPath = {Sample(20, 30), Sample(90, 35, 200), Sample(200, 80, 120),
                                              Sample(260, 150)};

// A tool set up as the front-end sets it up.
struct TestingTool {
    ITzBrushCircle brush{24, 50, 0, 100};
    std::unique_ptr<ITzToolBrushTesting> tool = std::make_unique<ITzToolBrushTesting>();
    TestingTool()
    {
        brush.SetStep(6);
        _tagPTzCOLOR front = Colour(255, 200, 30, 60);
        tool->SetColor(&front, nullptr);
        tool->SetOpacity(255);
        tool->SetBrush(&brush);
    }
};

// Down and the moves, each followed by idle steps; with `finish` the up and the idle
// steps until the stroke ends.
void Stroke(ITzToolBrushTesting& tool, ITzPicture& picture, bool finish)
{
    _tagPTzMOUSEPOINT sample = kPath.front();
    ASSERT_EQ(tool.OnMouseDown(&sample, &picture), 1);
    for (size_t i = 1; i < kPath.size(); ++i) {
        sample = kPath[i];
        EXPECT_EQ(tool.OnMouseMove(&sample, &picture), 1);
        for (int idle = 0; idle < 3; ++idle)
            EXPECT_NE(tool.OnIdle(&picture), 0);
    }
    if (!finish)
        return;
    sample = kPath.back();
    EXPECT_EQ(tool.OnMouseUp(&sample, &picture), 1);
    int idles = 0;
    while (tool.OnIdle(&picture))
        ASSERT_LT(++idles, 10000);
}

TEST(BrushTesting, AStrokePaintsTheFrontColourAsOneUndoStep)
{
    ITzPicture picture;
    floating_test::MakePicture(picture, 1, {0, 0, 300, 200});
    ITzLayerImage* layer = ImageLayer(picture, 0);
    const Snapshot before = Take(layer);
    TestingTool setup;
    Stroke(*setup.tool, picture, true);
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    EXPECT_EQ(setup.tool->OnIdle(&picture), 0) << "the stroke is over";
    const _tagPTzCOLOR painted = brush_stroke::ColourAt(layer, 20, 30);
    EXPECT_EQ(painted.components[0], 200);
    EXPECT_EQ(painted.components[1], 30);
    EXPECT_FALSE(Take(layer) == before);
    EXPECT_EQ(brush_stroke::UndoSteps(picture), 1);
    EXPECT_TRUE(Take(layer) == before);
}

TEST(BrushTesting, AStrokeThatCannotStartStartsNothing)
{
    ITzPicture picture;
    floating_test::MakePicture(picture, 1, {0, 0, 300, 200});
    ITzLayerImage* layer = ImageLayer(picture, 0);
    TestingTool setup;
    _tagPTzMOUSEPOINT sample = Sample(50, 50);
    EXPECT_EQ(setup.tool->OnMouseDown(nullptr, &picture), 0);
    EXPECT_EQ(setup.tool->OnMouseDown(&sample, nullptr), 0);

    uint32_t ticket = 0;
    ASSERT_EQ(picture.EditingStart(&ticket), 1);
    EXPECT_EQ(setup.tool->OnMouseDown(&sample, &picture), 0) << "another edit holds the picture";
    EXPECT_EQ(setup.tool->OnIdle(&picture), 0);
    EXPECT_EQ(setup.tool->OnMouseMove(&sample, &picture), 0);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    ASSERT_EQ(picture.EditingStop(ticket), 1);

    ASSERT_EQ(picture.InsertLayer(1, new PlainLayer()), 0);
    picture.SetActiveLayerID(1);
    EXPECT_EQ(setup.tool->OnMouseDown(&sample, &picture), 0) << "no image layer";
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(BrushTesting, ASecondPressDuringAStrokeIsIgnored)
{
    ITzPicture once, twice;
    for (ITzPicture* picture : {&once, &twice})
        floating_test::MakePicture(*picture, 1, {0, 0, 300, 200});
    TestingTool plain, pressed;
    Stroke(*plain.tool, once, true);
    _tagPTzMOUSEPOINT first = kPath.front();
    ASSERT_EQ(pressed.tool->OnMouseDown(&first, &twice), 1);
    _tagPTzMOUSEPOINT elsewhere = Sample(250, 20);
    EXPECT_EQ(pressed.tool->OnMouseDown(&elsewhere, &twice), 0);
    for (size_t i = 1; i < kPath.size(); ++i) {
        _tagPTzMOUSEPOINT sample = kPath[i];
        pressed.tool->OnMouseMove(&sample, &twice);
    }
    _tagPTzMOUSEPOINT last = kPath.back();
    pressed.tool->OnMouseUp(&last, &twice);
    while (pressed.tool->OnIdle(&twice)) {
    }
    EXPECT_TRUE(Take(ImageLayer(once, 0)) == Take(ImageLayer(twice, 0)));
}

TEST(BrushTesting, SetDataAnswersWhatTheMergeAnswers)
{
    ITzPicture picture;
    floating_test::MakePicture(picture, 1, {0, 0, 300, 200});
    TestingTool setup;
    std::vector<uint8_t> coverage(16 * 16, 255), colour(16 * 16 * 4, 255);
    _tagITzBITMAP mask = {16, 16, 16, 8, int32_t(PTzCOLORMODE_GRAY), coverage.data()};
    _tagITzBITMAP wrongDepth = {16, 16, 64, 32, int32_t(PTzCOLORMODE_ARGB), colour.data()};
    PTzRECT rect = {100, 100, 116, 116};
    EXPECT_EQ(setup.tool->SetData(&mask, &rect), 0) << "no stroke";
    _tagPTzMOUSEPOINT sample = Sample(10, 10);
    ASSERT_EQ(setup.tool->OnMouseDown(&sample, &picture), 1);
    EXPECT_EQ(setup.tool->SetData(&mask, &rect), 1);
    EXPECT_EQ(setup.tool->SetData(&wrongDepth, &rect), 0);
    EXPECT_EQ(setup.tool->SetData(nullptr, &rect), 0);
}

// The elliptical selection's anti-aliased edge, drawn with the engine's shared tables.
std::vector<uint8_t> EllipseSelection()
{
    ITzPicture picture;
    picture.Create(200, 160);
    ITzToolMask mask;
    const PTzRECT ellipse = {13, 9, 187, 151};
    EXPECT_EQ(mask.DrawArcSelection(&picture, &ellipse, 255, ITzSELECTION_REPLACE), 1);
    std::vector<uint8_t> values(200 * 160, 0);
    _tagITzBITMAP bitmap = {200, 160, 200, 8, int32_t(PTzCOLORMODE_GRAY), values.data()};
    const PTzRECT all = {0, 0, 200, 160};
    PTzRECT local;
    ITzLayerImage* selection = picture.GetSelectionLayer(0);
    selection->PRECTtoLRECT(&all, &local);
    selection->GetRectData(&local, &bitmap);
    return values;
}

// The program replaces the tool at the next press, possibly in the middle of a stroke.
TEST(BrushTesting, AToolDestroyedMidStrokeMergesItsDabsAndLeavesTheEngineWorking)
{
    const std::vector<uint8_t> ellipse = EllipseSelection();
    ITzPicture whole, cut;
    for (ITzPicture* picture : {&whole, &cut})
        floating_test::MakePicture(*picture, 1, {0, 0, 300, 200});
    const Snapshot before = Take(ImageLayer(cut, 0));
    {
        TestingTool finished;
        Stroke(*finished.tool, whole, true);
    }
    {
        TestingTool interrupted;
        Stroke(*interrupted.tool, cut, false);
        EXPECT_FALSE(cut.AbleEditing());
    }
    EXPECT_TRUE(cut.AbleEditing()) << "the ticket was given back";
    EXPECT_EQ(ImageLayer(cut, 0)->GetFloatingLayer(), nullptr);
    EXPECT_TRUE(Take(ImageLayer(cut, 0)) == Take(ImageLayer(whole, 0))) << "every dab was merged";
    EXPECT_NE(FindBlockMemoryPool(), nullptr);
    EXPECT_NE(FindMathMerge(), nullptr);
    EXPECT_NE(FindAntiLineMath(), nullptr);
    EXPECT_EQ(EllipseSelection(), ellipse);
    EXPECT_EQ(brush_stroke::UndoSteps(cut), 1);
    EXPECT_TRUE(Take(ImageLayer(cut, 0)) == before);
}

}  // namespace
