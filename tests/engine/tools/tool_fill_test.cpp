// The fill, the bucket and the gradient: what each covers, the steps they refuse, and a
// failure after the floating layer was made, which must take it away again.
#include <gtest/gtest.h>

#include <functional>

#include "base/memory_test_hooks.h"
#include "paint_tool_support.h"

using namespace brush_stroke;
using namespace floating_test;
using namespace paint_tools;

namespace {

bool SameColour(const _tagPTzCOLOR& a, const _tagPTzCOLOR& b)
{
    return a.alpha == b.alpha && a.components[0] == b.components[0] && a.components[1] == b.components[1] &&
           a.components[2] == b.components[2];
}

TEST(Fill, CoversTheWholeLayerAsAFillStep)
{
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 300, 200});
    ITzToolFill tool;
    _tagPTzCOLOR colour = Colour(255, 30, 60, 90);
    ASSERT_EQ(tool.FillData(&picture, &colour, 255), 1);
    for (int32_t y = 0; y < 200; y += 9)
        for (int32_t x = 0; x < 300; x += 7)
            ASSERT_TRUE(SameColour(ColourAt(ImageLayer(picture, 0), x, y), colour)) << x << "," << y;
    _tagUNDODATABASE* record = nullptr;
    ASSERT_NE(picture.GetLastUndoData(&record), 0);
    EXPECT_EQ(record->toolID, ITzTOOLID_FILL);
}

TEST(Bucket, FillsTheRegionAroundThePointOrEveryMatchingPixel)
{
    const _tagPTzCOLOR ground = Colour(255, 10, 10, 10), island = Colour(255, 200, 0, 0);
    const _tagPTzCOLOR paint = Colour(255, 0, 0, 250);
    const PTzRECT first = {20, 20, 60, 60}, second = {120, 20, 160, 60};
    for (const int contiguous : {1, 0}) {
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 200, 100});
        ITzLayerImage* layer = ImageLayer(picture, 0);
        const PTzRECT all = {0, 0, 200, 100};
        layer->FillRect(&all, &ground);
        layer->FillRect(&first, &island);
        layer->FillRect(&second, &island);
        _tagPTzCOLOR colour = paint;
        PTzPOINT point = {30, 30};
        ASSERT_EQ(ITzToolBucket().FillData(&picture, &colour, &point, 0, contiguous, 255), 1);
        EXPECT_TRUE(SameColour(ColourAt(layer, 40, 40), paint));
        EXPECT_TRUE(SameColour(ColourAt(layer, 140, 40), contiguous ? island : paint)) << contiguous;
        EXPECT_TRUE(SameColour(ColourAt(layer, 90, 40), ground));
    }
}

TEST(FillTools, AStepThatFailsLeavesNoFloatingLayerAndTheLayerAsItWas)
{
    struct Failing {
        const char* name;
        bool hugePicture;  // a grid over the picture would exceed 65,535 blocks a side
        int64_t allocations;
        std::function<int(ITzPicture&)> run;
    };
    const std::vector<PaintStep> steps = EveryPaintStep();
    const auto step = [&](const char* name) {
        for (const PaintStep& s : steps)
            if (std::string(s.name) == name)
                return s.run;
        return std::function<int(ITzPicture&)>();
    };
    const Failing cases[] = {
        {"fill", true, -1, step("fill")},
        {"bucket", true, -1, step("bucket")},
        {"bucket without memory for its mask", false, 0, step("bucket")},
        {"gradient", true, -1, step("gradient")},
    };
    for (const Failing& failing : cases) {
        SCOPED_TRACE(failing.name);
        ITzPicture picture;
        picture.Create(failing.hugePicture ? 65537u * 256u : 300u, 200);
        auto* layer = new ITzLayerImageARGB();
        const PTzRECT bounds = {0, 0, 300, 200};
        layer->SetSize(&bounds, 1);
        Pattern(layer, bounds, 5);
        picture.InsertLayer(0, layer);
        const Snapshot before = Take(layer);
        PTzTestSetAllocationCountdown(failing.allocations);
        const int made = failing.run(picture);
        PTzTestSetAllocationCountdown(-1);
        EXPECT_EQ(made, 0);
        EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
        EXPECT_TRUE(picture.AbleEditing());
        EXPECT_EQ(picture.DoUndo(), 0);
        EXPECT_TRUE(Take(layer) == before);
    }
}

TEST(Gradient, RunsOverTheBlocksOfTheSelectionsBoundsOnly)
{
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 1000, 1000});
    FillGray(picture.GetSelectionLayer(1), {300, 300, 700, 520}, 255);
    _tagITzGRADIENTINFO_2 info = {0, 0, 1000, 0, Colour(255, 0, 0, 0), Colour(255, 255, 255, 255)};
    ITzToolGradient tool;
    void* job = tool.DoGradient_2Start(&picture, ITzGRADIENT_RADIAL, &info, 255);
    ASSERT_NE(job, nullptr);
    int blocks = 0;
    while (tool.DoGradient_2Run(job, nullptr))
        ++blocks;
    EXPECT_EQ(blocks, 4);  // (256, 256) - (768, 768)
    EXPECT_EQ(tool.DoGradient_2End(job), 1);
}

TEST(Gradient, RefusesOtherTypesAndALinearGradientWithoutLength)
{
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 300, 200});
    ITzLayerImage* layer = ImageLayer(picture, 0);
    ITzToolGradient tool;
    _tagITzGRADIENTINFO_2 info = {50, 50, 50, 50, Colour(255, 0, 0, 0), Colour(255, 9, 99, 199)};
    EXPECT_EQ(tool.DoGradient_2Start(&picture, ITzGRADIENT_LINEAR, &info, 255), nullptr);
    EXPECT_EQ(tool.DoGradient_2Start(&picture, _tagITzGRADIENT_2_TYPE(2), &info, 255), nullptr);
    EXPECT_EQ(tool.DoGradient_2Start(nullptr, ITzGRADIENT_RADIAL, &info, 255), nullptr);
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    // A radial gradient of radius 0 paints the end colour everywhere.
    void* job = tool.DoGradient_2Start(&picture, ITzGRADIENT_RADIAL, &info, 255);
    ASSERT_NE(job, nullptr);
    while (tool.DoGradient_2Run(job, nullptr)) {
    }
    ASSERT_EQ(tool.DoGradient_2End(job), 1);
    EXPECT_TRUE(SameColour(ColourAt(layer, 50, 50), info.endColor));
    EXPECT_TRUE(SameColour(ColourAt(layer, 299, 0), info.endColor));
}

}  // namespace
