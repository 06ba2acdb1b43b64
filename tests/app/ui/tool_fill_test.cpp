// The bucket and gradient front-ends on a real picture, and the cursor every painting
// tool shows over a layer it cannot paint (a text layer).
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_gradient.h"
#include "engine/tools/mouse_track.h"
#include "engine/picture/layer_text.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

using namespace tool_id;
using tooltest::LayerPixel;
using tooltest::LayerPixels;

class FillTools : public tooltest::ToolTest {
protected:
    // White, with a red square (40..80, 40..80).
    uint32_t PictureArgb(int x, int y) const override
    {
        return x >= 40 && x < 80 && y >= 40 && y < 80 ? 0xFFFF0000u : 0xFFFFFFFFu;
    }
};

TEST_F(FillTools, TheBucketFillsOnThePress)
{
    Select(BUCT);
    Press(At(60, 60));
    EXPECT_EQ(LayerPixel(picture, 0, 50, 50), 0xFF000000u) << "the region in the front colour";
    EXPECT_EQ(LayerPixel(picture, 0, 20, 20), 0xFFFFFFFFu);
    Release(At(60, 60));
}

TEST_F(FillTools, AGradientClickPaintsNothingAndADragPaintsFrontToBack)
{
    Select(GRAD);
    const std::vector<uint8_t> before = LayerPixels(picture, 0);
    Press(At(30, 30));
    Release(At(30, 30));
    RunIdle();
    EXPECT_EQ(LayerPixels(picture, 0), before);
    EXPECT_FALSE(picture->DoUndo());

    // A type the engine does not know, as a bad record may give, paints nothing either.
    auto* gradient = static_cast<CTool_Gradient*>(tools->FindTool(GRAD));
    gradient->SetType(9);
    Press(At(0, 10));
    Drag(At(100, 10));
    Release(At(199, 10));
    RunIdle();
    EXPECT_EQ(LayerPixels(picture, 0), before);

    gradient->SetType(0);
    Press(At(0, 10));
    Drag(At(100, 10));
    Release(At(199, 10));
    RunIdle();
    EXPECT_EQ(LayerPixel(picture, 0, 0, 100), 0xFF000000u);
    EXPECT_EQ(LayerPixel(picture, 0, 199, 100), 0xFFFFFFFFu);
    EXPECT_TRUE(picture->DoUndo());
    EXPECT_EQ(LayerPixels(picture, 0), before);
}

TEST_F(FillTools, ASampleTheViewCannotPlaceIsLeftOutAndAPressOfOnePaintsNothing)
{
    // At 1/2 a client x of two thousand million is beyond every picture coordinate.
    view->SetZoom({1, 2});
    const std::vector<uint8_t> before = LayerPixels(picture, 0);
    const auto sample = [this](int x, int y) {
        const QPoint at = At(x, y);
        return _tagPTzMOUSEPOINT{at.x(), at.y(), 255, {}};
    };
    const _tagPTzMOUSEPOINT unplaced = {2000000000, 10, 255, {}};
    // Press, two moves, and a release where the last move left off; the faulty gesture has
    // the unplaced sample at `bad`. Its reference leaves an unplaced press's gesture out
    // whole and an unplaced move alone, and releases where the last move left off.
    using Slot = int (CToolBase::*)(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*);
    const auto gesture = [&](CToolBase* tool, int bad, bool reference) {
        std::vector<std::pair<Slot, _tagPTzMOUSEPOINT>> steps = {{&CToolBase::OnLButtonDown, sample(20, 20)},
                                                                 {&CToolBase::OnMouseMove, sample(100, 60)},
                                                                 {&CToolBase::OnMouseMove, sample(180, 100)},
                                                                 {&CToolBase::OnLButtonUp, sample(180, 100)}};
        steps[3].second.pressure = 0;
        if (!reference)
            steps[size_t(bad)].second = unplaced;
        else if (bad == 0)
            steps.clear();
        else if (bad == 1)
            steps.erase(steps.begin() + 1);
        for (auto& [slot, point] : steps) {
            (tool->*slot)(0, &point, view);
            RunIdle(50);
        }
        RunIdle();
        std::vector<uint8_t> painted = LayerPixels(picture, 0);
        while (picture->DoUndo()) {
        }
        return painted;
    };
    for (uint32_t id : {GRAD, PEN, PENC, ERAS, SMDG, BLUR, SHAP, BUCT}) {
        Select(id);
        CToolBase* tool = tools->GetCurrentTool();
        for (int bad : {1, 3, 0}) {  // a press last, with a gesture before it
            SCOPED_TRACE(std::to_string(id) + " unplaced at " + std::to_string(bad));
            const std::vector<uint8_t> expected = gesture(tool, bad, true);
            EXPECT_EQ(gesture(tool, bad, false), expected);
            EXPECT_EQ(LayerPixels(picture, 0), before);
        }
    }
}

TEST_F(FillTools, EveryPaintingToolShowsTheForbiddenCursorOverATextLayer)
{
    const PTzPOINT start = {10, 10};
    ASSERT_EQ(picture->InsertLayer(1, new ITzLayerText(picture->GetTextManager(), &start)), 0);
    picture->SetActiveLayerID(1);
    int x = 50;
    for (uint32_t id : {PEN, PENC, ERAS, CLON, SMDG, BLUR, SHAP, GRAD, BUCT}) {
        Select(id);
        view->viewport()->unsetCursor();
        Drag(At(++x, 50));
        EXPECT_EQ(ShownToolCursor(view), 0u + IDC_TOOL_FORBIDDEN) << std::hex << id;
    }
    picture->SetActiveLayerID(0);
    Select(BUCT);
    Drag(At(++x, 50));
    EXPECT_EQ(ShownToolCursor(view), 0u + IDC_TOOL_BUCKET);
}

}  // namespace
