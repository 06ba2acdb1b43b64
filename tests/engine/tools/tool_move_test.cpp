// The move tool: what a drag or key step takes hold of, the lift through the selection
// (touching no block the selection leaves out), copies that leave their source alone, and
// drags that record nothing because nothing was prepared.
#include "engine/tools/tool_move.h"

#include <gtest/gtest.h>

#include "base/memory_test_hooks.h"
#include "move_test_support.h"
#include "rendered_layer.h"

using namespace floating_test;
using namespace picture_job_test;
using namespace move_test;

namespace {

class MoveTest : public ::testing::Test {
protected:
    void SetUp() override { MakeMovePicture(picture); }
    ITzLayerImage* Layer() { return ImageLayer(picture, 1); }
    PTzRECT Bounds(ITzLayerBase* layer)
    {
        PTzRECT bounds;
        layer->GetBounds(&bounds);
        return bounds;
    }
    _tagPTzCOLOR PixelAt(ITzLayerImage* layer, int32_t x, int32_t y)
    {
        _tagPTzCOLOR colour = {};
        const PTzPOINT point = {x, y};
        layer->GetPixelColor(&point, &colour);
        return colour;
    }

    ITzPicture picture;
};

TEST_F(MoveTest, ADragOutsideTheSelectionMovesTheWholeLayerAndTheSelection)
{
    SelectEllipse(picture, kEllipse);
    const Snapshot before = Take(Layer());
    const PTzRECT selected = SelectionBounds(picture);
    ASSERT_EQ(Drag(picture, ITzTOOLMOVE_MOVE, {60, 50}, {{30, 5}, {0, 15}}), 1);
    Snapshot after = Take(Layer());
    EXPECT_TRUE(SameRect(after.bounds, {70, 50, 690, 580}));
    after.bounds = before.bounds;
    EXPECT_TRUE(after == before);
    EXPECT_EQ(Layer()->GetFloatingLayer(), nullptr);
    EXPECT_TRUE(SameRect(SelectionBounds(picture),
                         {selected.left + 30, selected.top + 20, selected.right + 30, selected.bottom + 20}));
    EXPECT_EQ(picture.AbleEditing(), 1);
}

TEST_F(MoveTest, ACopyDragLeavesTheSourceAndAMovedDuplicateThatUndoRemoves)
{
    const Snapshot source = Take(Layer());
    ASSERT_EQ(Drag(picture, ITzTOOLMOVE_COPY, {100, 100}, {{25, -10}}), 1);
    ASSERT_EQ(picture.GetLayerCount(), 3);
    EXPECT_EQ(picture.GetActiveLayerID(), 2);
    EXPECT_TRUE(Take(Layer()) == source);
    Snapshot copy = Take(ImageLayer(picture, 2));
    EXPECT_TRUE(SameRect(copy.bounds, {65, 20, 685, 550}));
    copy.bounds = source.bounds;
    EXPECT_TRUE(copy == source);
    EXPECT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    // The duplicate comes back where it was dragged to, not onto its source.
    EXPECT_NE(picture.DoRedo(), 0);
    EXPECT_TRUE(SameRect(Bounds(picture.GetLayerbyIndex(2)), {65, 20, 685, 550}));
}

TEST_F(MoveTest, ASelectionDragTakesThePixelsOutAndUndoPutsThemAndTheSelectionBack)
{
    SelectEllipse(picture, kEllipse);
    const PictureShot before = Shoot(picture);
    const PTzRECT start = SelectionBounds(picture);
    const _tagPTzCOLOR centre = PixelAt(Layer(), kInside.x, kInside.y);
    ASSERT_EQ(Drag(picture, ITzTOOLMOVE_MOVE, kInside, {{40, 0}, {0, 30}}), 1);
    EXPECT_EQ(PixelAt(Layer(), kInside.x, kInside.y).components[0], centre.components[0]);
    EXPECT_EQ(PixelAt(Layer(), kInside.x, kInside.y).alpha, 0);  // fully selected: taken out
    ITzLayerImage* floating = Layer()->GetFloatingLayer();
    ASSERT_NE(floating, nullptr);
    const _tagPTzCOLOR moved = PixelAt(floating, kInside.x + 40, kInside.y + 30);
    EXPECT_EQ(moved.alpha, centre.alpha);
    EXPECT_EQ(moved.components[1], centre.components[1]);
    const PTzRECT selected = SelectionBounds(picture);
    EXPECT_EQ(selected.left, start.left + 40);
    EXPECT_EQ(selected.top, start.top + 30);
    EXPECT_NE(picture.DoUndo(), 0);
    ExpectSame(Shoot(picture), before, true);
}

TEST_F(MoveTest, ArrowKeysAreOneUndoStepEach)
{
    SelectEllipse(picture, kEllipse);
    const PTzRECT start = SelectionBounds(picture);
    std::vector<PictureShot> shots = {Shoot(picture)};
    for (const _tagPTzOFFSET step : {_tagPTzOFFSET{1, 0}, {0, 10}, {-10, 0}}) {
        ASSERT_EQ(KeyMove(picture, ITzTOOLMOVE_MOVE, step), 1);
        shots.push_back(Shoot(picture));
    }
    EXPECT_EQ(SelectionBounds(picture).left, start.left - 9);
    EXPECT_EQ(SelectionBounds(picture).top, start.top + 10);
    for (size_t i = shots.size() - 1; i-- > 0;) {
        EXPECT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), shots[i], true);
    }
}

// A press and release without a drag, or a drag back to its start, changes nothing and
// records nothing.
TEST_F(MoveTest, AClickRecordsNothing)
{
    SelectEllipse(picture, kEllipse);
    const PictureShot before = Shoot(picture);
    for (const PTzPOINT at : {kInside, PTzPOINT{60, 50}}) {
        EXPECT_EQ(Drag(picture, ITzTOOLMOVE_MOVE, at, {}), 1);
        EXPECT_EQ(Drag(picture, ITzTOOLMOVE_COPY, at, {{0, 0}}), 1);
    }
    EXPECT_EQ(Drag(picture, ITzTOOLMOVE_MOVE, {60, 50}, {{5, 5}, {-5, -5}}), 1);
    ExpectSame(Shoot(picture), before, true);
    EXPECT_FALSE(HasUndoStep(picture));
}

// A copy drag that gets no duplicate in the picture does nothing at all, so its undo
// can never take out another layer.
TEST_F(MoveTest, ACopyDragWithoutAnInsertedDuplicateMovesAndRecordsNothing)
{
    picture.InsertLayer(2, new RenderedLayer({0, 0, 100, 100}, 3));  // gives no copy
    picture.SetActiveLayerID(2);
    for (int full = 0; full < 2; ++full) {
        if (full) {
            picture.SetActiveLayerID(1);
            while (picture.GetLayerCount() < ITzPICTURE_MAX_LAYERS)
                picture.InsertLayer(0, new ITzLayerImageARGB());
        }
        const PictureShot before = Shoot(picture);
        ITzToolMove tool;
        tool.SetToolType(ITzTOOLMOVE_COPY);
        const PTzPOINT at = {50, 50};
        ASSERT_EQ(tool.StartMove(&picture, &at), 1);
        const _tagPTzOFFSET step = {20, 20};
        EXPECT_EQ(tool.MoveOffset(&step), 0);
        EXPECT_EQ(tool.MoveOffset(&step), 0);
        tool.StopMove();
        ExpectSame(Shoot(picture), before, true);
        EXPECT_FALSE(HasUndoStep(picture));
    }
}

TEST_F(MoveTest, ACopyLiftLeavesTheSourceBitIdentical)
{
    SelectEllipse(picture, kEllipse);
    const Snapshot source = Take(Layer());
    ASSERT_EQ(Drag(picture, ITzTOOLMOVE_COPY, kInside, {{-35, 12}}), 1);
    EXPECT_TRUE(Take(Layer()) == source);
    ASSERT_NE(Layer()->GetFloatingLayer(), nullptr);
    EXPECT_EQ(PixelAt(Layer()->GetFloatingLayer(), kInside.x - 35, kInside.y + 12).alpha,
              PixelAt(Layer(), kInside.x, kInside.y).alpha);
}

// Pixels that are partly transparent keep their alpha when they are moved and dropped:
// the selection is not weakened by it on the way.
TEST_F(MoveTest, PartlyTransparentPixelsKeepTheirAlphaThroughADragAndADrop)
{
    // Half-transparent pixels dragged onto transparent ones.
    const _tagPTzCOLOR clear = Colour(0, 0, 0, 0), half = Colour(128, 200, 100, 50);
    const PTzRECT areas[] = {{100, 100, 420, 420}, {100, 100, 240, 240}};
    for (int i = 0; i < 2; ++i) {
        PTzRECT local;
        Layer()->PRECTtoLRECT(&areas[i], &local);
        Layer()->FillRect(&local, i ? &half : &clear);
    }
    Select(picture, {120, 120, 200, 200});
    ASSERT_EQ(Drag(picture, ITzTOOLMOVE_MOVE, {150, 150}, {{150, 150}}), 1);
    EXPECT_EQ(SelectionBounds(picture).left, 270);
    ASSERT_EQ(picture.ClearFloatingLayer(), 1);
    EXPECT_EQ(PixelAt(Layer(), 300, 300).alpha, 128);
    EXPECT_EQ(PixelAt(Layer(), 300, 300).components[0], 200);
    EXPECT_EQ(PixelAt(Layer(), 150, 150).alpha, 0);
}

// A layer drawn through a rendered image becomes an image layer when its selected pixels
// move: the conversion runs under the move's ticket, and one undo takes both back.
TEST_F(MoveTest, AKeyStepMovesTheSelectedPixelsOfATextLikeLayer)
{
    picture.InsertLayer(2, new RenderedLayer({100, 80, 600, 500}, 5));
    picture.SetActiveLayerID(2);
    SelectEllipse(picture, kEllipse);
    const PictureShot before = Shoot(picture);
    ASSERT_EQ(KeyMove(picture, ITzTOOLMOVE_MOVE, {10, 0}), 1);
    ITzLayerBase* layer = picture.GetLayerbyIndex(2);
    ASSERT_TRUE(layer->IsImageLayer());
    EXPECT_NE(static_cast<ITzLayerImage*>(layer)->GetFloatingLayer(), nullptr);
    EXPECT_EQ(picture.AbleEditing(), 1);
    EXPECT_NE(picture.DoUndo(), 0);
    ExpectSame(Shoot(picture), before, false);
    EXPECT_FALSE(picture.GetLayerbyIndex(2)->IsImageLayer());
}

TEST_F(MoveTest, BadStartsHoldNoTicket)
{
    ITzToolMove tool;
    const PTzPOINT at = {10, 10};
    const _tagPTzOFFSET step = {1, 1};
    ITzPicture empty;
    empty.Create(100, 100);
    EXPECT_EQ(tool.StartMove(nullptr, &at), 0);
    EXPECT_EQ(tool.StartMove(&picture, nullptr), 0);
    EXPECT_EQ(tool.StartMove(&empty, &at), 0);
    EXPECT_EQ(tool.KeyMove(&empty, &step), 0);
    EXPECT_EQ(tool.KeyMove(&picture, nullptr), 0);
    EXPECT_EQ(tool.MoveOffset(&step), 0);
    EXPECT_EQ(empty.AbleEditing(), 1);
    // A selection that misses the layer: nothing to move.
    Select(picture, {670, 570, 690, 590});
    EXPECT_EQ(tool.KeyMove(&picture, &step), 0);
    EXPECT_EQ(picture.AbleEditing(), 1);
    EXPECT_FALSE(HasUndoStep(picture));
}

TEST_F(MoveTest, AnUndoWhoseLayerIsOfAnotherKindChangesNothing)
{
    SelectEllipse(picture, kEllipse);
    ASSERT_EQ(Drag(picture, ITzTOOLMOVE_MOVE, kInside, {{5, 5}}), 1);
    ITzLayerBase* lifted = nullptr;
    picture.RemoveLayer(1, &lifted);
    picture.InsertLayer(1, new RenderedLayer({0, 0, 50, 50}, 1));
    const PictureShot before = Shoot(picture);
    EXPECT_EQ(picture.DoUndo(), 0);
    ExpectSame(Shoot(picture), before, true);
    ITzLayerBase::DestroyLayer(lifted);
}

// Allocation fails at every point of a lift in turn: each lift that fails leaves the
// layer, the selection and the history exact; the first step kept undoes exactly.
TEST(MoveLift, ALiftFailingPartwayLeavesTheLayerAndTheSelectionExact)
{
    for (int64_t allowed = 0;; ++allowed) {
        SCOPED_TRACE(allowed);
        ASSERT_LT(allowed, 2000);
        ITzPicture picture;
        MakeMovePicture(picture);
        SelectEllipse(picture, kEllipse);
        const PictureShot before = Shoot(picture);
        PTzTestSetAllocationCountdown(allowed);
        KeyMove(picture, ITzTOOLMOVE_MOVE, {3, 4});
        PTzTestSetAllocationCountdown(-1);
        // A lift the history could not keep stays as it is: nothing of it is lost.
        if (ImageLayer(picture, 1)->GetFloatingLayer() && !HasUndoStep(picture))
            continue;
        if (!HasUndoStep(picture)) {
            ExpectSame(Shoot(picture), before, true);
            continue;
        }
        EXPECT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, true);
        break;
    }
}

// A lift reads and changes only the blocks the selection touches, and under a selection
// of one value (the ellipse's inside) it expands no channel.
TEST(MoveLift, TouchesNoBlockTheSelectionLeavesOut)
{
    ITzPicture picture;
    const PTzRECT ellipse = {200, 180, 1000, 700};
    CountingLayer* layer = MakeCountingPicture(picture, ellipse);
    const std::set<uint32_t> meeting = BlocksMeeting(*layer, picture);
    ASSERT_EQ(Drag(picture, ITzTOOLMOVE_MOVE, {600, 440}, {{7, 9}}), 1);
    ExpectUntouchedOutside(*layer, meeting);
    // Blocks wholly inside the ellipse lost their alpha without an alpha handle.
    _tagITzBLOCKINFOARGB inside;
    const _tagITzBLOCKPOSITION centre = {2, 1};
    layer->GetBlockInfo(layer->BlockPosToIndex(&centre), &inside, 0);
    EXPECT_EQ(inside.channels[0], nullptr);
    EXPECT_EQ(inside.constants[0], 0);
}

}  // namespace
