// The cut tool: the selected pixels go into a new layer block by block through the
// selection, touching no block the selection leaves out, and a cut that fails halfway
// puts back every block it had cut.
#include "engine/tools/tool_cut.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/memory_test_hooks.h"
#include "move_test_support.h"
#include "rendered_layer.h"

using namespace floating_test;
using namespace picture_job_test;
using namespace move_test;

namespace {

using LayerPointer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

_tagPTzCOLOR PixelAt(ITzLayerImage* layer, int32_t x, int32_t y)
{
    _tagPTzCOLOR colour = {};
    const PTzPOINT point = {x, y};
    layer->GetPixelColor(&point, &colour);
    return colour;
}

TEST(Cut, NothingIsCutOrRecordedWithoutSelectedPixelsOfAnImageLayer)
{
    ITzPicture picture;
    MakeMovePicture(picture);
    ITzToolCut tool;
    EXPECT_EQ(tool.DoCut(nullptr), nullptr);
    EXPECT_EQ(tool.DoCut(&picture), nullptr);  // no selection
    Select(picture, {670, 570, 690, 590});       // outside the active layer
    EXPECT_EQ(tool.DoCut(&picture), nullptr);
    EXPECT_EQ(tool.DoDelete(&picture), nullptr);
    SelectEllipse(picture, kEllipse);
    picture.InsertLayer(2, new RenderedLayer({0, 0, 700, 600}, 4));
    picture.SetActiveLayerID(2);
    EXPECT_EQ(tool.DoCut(&picture), nullptr);  // no image layer
    EXPECT_FALSE(HasUndoStep(picture));
    EXPECT_EQ(picture.AbleEditing(), 1);
}

// The cut layer holds M(alpha, mask), the layer keeps max(alpha - mask, 0); a cut takes
// the selection along, a delete leaves it; undo and redo swap both back and forth.
TEST(Cut, CutAndDeleteSplitThePixelsByTheSelection)
{
    for (const bool deleteOnly : {false, true}) {
        SCOPED_TRACE(deleteOnly);
        ITzPicture picture;
        MakeMovePicture(picture);
        SelectEllipse(picture, kEllipse);
        ITzLayerImage* layer = ImageLayer(picture, 1);
        const PictureShot before = Shoot(picture);
        const PTzRECT selected = SelectionBounds(picture);
        PTzPOINT edge = {kEllipse.left, kEllipse.top + 40};
        while (SelectionValue(picture, edge.x, edge.y) == 0)
            ++edge.x;  // the anti-aliased edge: selected in part
        const int mask = SelectionValue(picture, edge.x, edge.y);
        ASSERT_GT(mask, 0);
        ASSERT_LT(mask, 255);
        const int alpha = PixelAt(layer, edge.x, edge.y).alpha;
        LayerPointer cut(deleteOnly ? picture.DoDelete() : picture.DoCut());
        ASSERT_NE(cut, nullptr);
        PTzRECT bounds;
        cut->GetBounds(&bounds);
        EXPECT_TRUE(SameRect(bounds, selected));
        EXPECT_EQ(PixelAt(cut.get(), edge.x, edge.y).alpha, (alpha * mask + 127) / 255);
        EXPECT_EQ(PixelAt(layer, edge.x, edge.y).alpha, std::max(alpha - mask, 0));
        EXPECT_EQ(PixelAt(layer, kInside.x, kInside.y).alpha, 0);
        EXPECT_EQ(picture.GetSelectionLayer(0) != nullptr, deleteOnly);
        const PictureShot after = Shoot(picture);
        EXPECT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, true);
        EXPECT_NE(picture.DoRedo(), 0);
        ExpectSame(Shoot(picture), after, true);
    }
}

TEST(Cut, TouchesNoBlockTheSelectionLeavesOut)
{
    ITzPicture picture;
    const PTzRECT ellipse = {200, 180, 1000, 700};
    CountingLayer* layer = MakeCountingPicture(picture, ellipse);
    const std::set<uint32_t> meeting = BlocksMeeting(*layer, picture);
    LayerPointer cut(picture.DoCut());
    ASSERT_NE(cut, nullptr);
    ExpectUntouchedOutside(*layer, meeting);
}

// Allocation fails at every point of a cut in turn, in its third block among them: each
// failed cut leaves the layer, the selection and the history exact.
TEST(Cut, ACutFailingHalfwayPutsBackEveryBlockItCut)
{
    bool failedInThirdBlock = false;
    for (int64_t allowed = 0;; ++allowed) {
        SCOPED_TRACE(allowed);
        ASSERT_LT(allowed, 2000);
        ITzPicture picture;
        CountingLayer* layer = MakeCountingPicture(picture, {200, 180, 1000, 700});
        const PictureShot before = Shoot(picture);
        PTzTestSetAllocationCountdown(allowed);
        LayerPointer cut(picture.DoCut());
        PTzTestSetAllocationCountdown(-1);
        if (cut) {
            EXPECT_TRUE(HasUndoStep(picture));
            break;
        }
        failedInThirdBlock = failedInThirdBlock || layer->backups == 3;
        ExpectSame(Shoot(picture), before, true);
        ASSERT_FALSE(HasUndoStep(picture));
    }
    EXPECT_TRUE(failedInThirdBlock);
}

}  // namespace
