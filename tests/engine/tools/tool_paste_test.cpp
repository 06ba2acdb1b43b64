// The paste tool: where a pasted layer lands, the selection it takes into its step, and
// centres worked out without overflow for layers far out in the coordinate range.
#include "engine/tools/tool_paste.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "move_test_support.h"

using namespace floating_test;
using namespace picture_job_test;

namespace {

using LayerPointer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

PTzRECT PastedBounds(ITzPicture& picture)
{
    PTzRECT bounds = {};
    picture.GetLayerbyIndex(picture.GetActiveLayerID())->GetBounds(&bounds);
    return bounds;
}

LayerPointer Source(const PTzRECT& bounds)
{
    LayerPointer layer(new ITzLayerImageARGB());
    layer->SetSize(&bounds, 1);
    Pattern(layer.get(), {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top}, 12);
    return layer;
}

// The layer's centre goes onto the centre of the selection's bounds, or of the picture:
// a 100 x 50 layer on a 400 x 300 picture lands at (150, 125), also from far out, where
// the sums of its edges pass 32 bits; a layer that would have to move further than 32
// bits reach is refused.
TEST(Paste, TheLayerLandsCentredOnTheSelectionOrThePicture)
{
    struct Case {
        PTzRECT source;
        bool select;
        PTzRECT expected;
    };
    const Case cases[] = {
        {{0, 0, 100, 50}, false, {150, 125, 250, 175}},
        {{INT32_MAX - 200, 5, INT32_MAX - 100, 55}, false, {150, 125, 250, 175}},
        {{-30, 7, 70, 57}, true, {10, 95, 110, 145}},
        {{0, INT32_MIN + 10, 100, INT32_MIN + 60}, false, {}},
    };
    for (const Case& c : cases) {
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 400, 300});
        if (c.select)
            Select(picture, {10, 20, 110, 220});
        const PictureShot before = Shoot(picture);
        LayerPointer source(new ITzLayerImageARGB());
        source->SetBounds(&c.source);
        if (c.source.left == 0 || c.source.left == -30)
            source = Source(c.source);
        if (PTzRectEmpty(&c.expected)) {
            EXPECT_EQ(picture.DoPasteImageLayer(source.get()), 0);
            ExpectSame(Shoot(picture), before, true);
            EXPECT_FALSE(HasUndoStep(picture));
            continue;
        }
        ASSERT_EQ(picture.DoPasteImageLayer(source.get()), 1);
        const PTzRECT landed = PastedBounds(picture);
        EXPECT_TRUE(SameRect(landed, c.expected)) << landed.left << "," << landed.top << "," << landed.right << "," << landed.bottom;
        EXPECT_EQ(picture.GetSelectionLayer(0), nullptr);
        const PictureShot pasted = Shoot(picture);
        EXPECT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, true);
        EXPECT_NE(picture.DoRedo(), 0);
        ExpectSame(Shoot(picture), pasted, true);
    }
}

TEST(Paste, ARefusedPasteRecordsNothing)
{
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 400, 300});
    while (picture.GetLayerCount() < ITzPICTURE_MAX_LAYERS)
        picture.InsertLayer(0, new ITzLayerImageARGB());
    LayerPointer source = Source({0, 0, 10, 10});
    ITzToolPaste tool;
    EXPECT_EQ(tool.DoPasteImageLayer(&picture, source.get()), 0);
    EXPECT_EQ(tool.DoPasteImageLayer(&picture, nullptr), 0);
    EXPECT_EQ(tool.DoPasteImageLayer(nullptr, source.get()), 0);
    EXPECT_EQ(tool.DoPasteDIB(&picture, nullptr, 0), 0);
    EXPECT_FALSE(HasUndoStep(picture));
    EXPECT_EQ(picture.AbleEditing(), 1);
}

}  // namespace
