// The bucket and gradient front-ends on a real picture, and the cursor every painting
// tool shows over a layer it cannot paint (a text layer).
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_gradient.h"
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
