// The layer manager: every stack and property edit undone and redone exactly, edits that
// change nothing record nothing, refusals that leave no step, and what releasing each
// kind of record frees.
#include <gtest/gtest.h>

#include <memory>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/tools/tool_layer_manager.h"
#include "tool_layer_test_support.h"

using namespace layer_test;
using floating_test::MakePicture;

namespace {

// Runs the edit, then checks that undo gives the state before it back and redo the
// state after it, twice over (the record turns round on every replay).
template <typename Edit>
void ExpectExactUndoRedo(ITzPicture& picture, Edit edit)
{
    const PictureState before = State(picture);
    ASSERT_EQ(edit(), 1);
    const PictureState after = State(picture);
    ASSERT_FALSE(after == before);
    for (int round = 0; round < 2; ++round) {
        ASSERT_NE(picture.DoUndo(), 0);
        EXPECT_EQ(State(picture), before);
        ASSERT_NE(picture.DoRedo(), 0);
        EXPECT_EQ(State(picture), after);
    }
}

ITzLayerImageARGB* NewLayer()
{
    auto* layer = new ITzLayerImageARGB();
    const PTzRECT bounds = {0, 0, 300, 300};
    layer->SetSize(&bounds, 1);
    floating_test::Pattern(layer, {0, 0, 300, 300}, 99);
    return layer;
}

_tagITzLAYERINFO InfoOf(ITzLayerBase* layer)
{
    _tagITzLAYERINFO info;
    layer->GetLayerInfo(&info);
    return info;
}

}  // namespace

TEST(LayerManagerUndo, InsertTakesTheActiveIndexBackAndForth)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    picture.SetActiveLayerID(0);
    ITzToolLayerManager manager;
    ITzLayerImageARGB* layer = NewLayer();
    ExpectExactUndoRedo(picture, [&] { return manager.InsertLayer(&picture, 1, layer); });
    EXPECT_EQ(picture.GetLayerbyIndex(1), layer);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);

    ITzLayerImageARGB* top = NewLayer();
    ASSERT_EQ(manager.InsertLayer(&picture, 200, top), 1);
    EXPECT_EQ(picture.GetLayerbyIndex(4), top);
    EXPECT_NE(picture.IsModified(), 0);
}

TEST(LayerManagerUndo, RemovedLayerComesBackIntoItsLinkGroup)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    picture.SetActiveLayerID(0);
    picture.GetLayerbyIndex(2)->LinkWithCurrent(1);
    picture.SetActiveLayerID(2);
    ITzToolLayerManager manager;
    ExpectExactUndoRedo(picture, [&] { return manager.RemoveLayer(&picture, 2); });
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(picture.GetLayerbyIndex(2)->GetLinkNumber(), picture.GetLayerbyIndex(0)->GetLinkNumber());
}

TEST(LayerManagerUndo, MoveRestoresOrderAndActiveIndex)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    picture.SetActiveLayerID(1);
    ITzToolLayerManager manager;
    ExpectExactUndoRedo(picture, [&] { return manager.MoveLayer(&picture, 0, 2); });
    ExpectExactUndoRedo(picture, [&] { return manager.MoveLayer(&picture, 2, 1); });
}

TEST(LayerManagerUndo, PropertyEditsAreExactAndNoModification)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    picture.SetActiveLayerID(0);
    ITzLayerBase* layer = picture.GetLayerbyIndex(1);
    ITzToolLayerManager manager;
    ExpectExactUndoRedo(picture, [&] { return manager.SetLayerOpacity(&picture, layer, 77); });
    ExpectExactUndoRedo(picture, [&] { return manager.SetLayerOpacity1Final(&picture, layer, 10, layer->GetOpacity()); });
    ExpectExactUndoRedo(picture, [&] { return manager.SetLayerLink(&picture, layer, 1); });
    ExpectExactUndoRedo(picture, [&] { return manager.SetLayerLink(&picture, layer, 0); });
    ExpectExactUndoRedo(picture, [&] { return manager.SetLayerVisibility(&picture, layer, 0); });
    _tagITzLAYERINFO info = InfoOf(layer);
    info.visible = 1;
    info.opacity = 3;
    info.mergeType = ITzMERGE_ERASE;
    std::copy_n(u"Clouds", 7, info.name);
    ExpectExactUndoRedo(picture, [&] { return manager.SetLayerInfo(&picture, layer, &info); });
    EXPECT_EQ(std::u16string(layer->GetName()), u"Clouds");
    EXPECT_EQ(picture.IsModified(), 0);
}

TEST(LayerManagerNoStep, TheSameValueAgainRecordsNothing)
{
    ITzPicture picture;
    MakePicture(picture, 2);
    ITzLayerBase* active = picture.GetLayerbyIndex(1);
    ITzLayerBase* layer = picture.GetLayerbyIndex(0);
    ITzToolLayerManager manager;
    EXPECT_EQ(manager.SetLayerOpacity(&picture, layer, layer->GetOpacity()), 0);
    EXPECT_EQ(manager.SetLayerOpacity1Final(&picture, layer, 9, 9), 0);
    EXPECT_EQ(manager.SetLayerVisibility(&picture, layer, 7), 0);
    EXPECT_EQ(manager.SetLayerLink(&picture, layer, 0), 0);
    EXPECT_EQ(manager.SetLayerLink(&picture, active, 0), 0);
    // Only the name up to its terminator counts.
    _tagITzLAYERINFO info = InfoOf(layer);
    info.name[5] = u'x';
    info.visible = 2;
    EXPECT_EQ(manager.SetLayerInfo(&picture, layer, &info), 0);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(LayerManagerNoStep, OpacityWhileDraggingIsRecordedOnceAtTheEnd)
{
    ITzPicture picture;
    MakePicture(picture, 1);
    ITzLayerBase* layer = picture.GetLayerbyIndex(0);
    ITzToolLayerManager manager;
    ASSERT_EQ(manager.SetLayerOpacity1Temp(&picture, layer, 40), 1);
    ASSERT_EQ(manager.SetLayerOpacity1Temp(&picture, layer, 90), 1);
    EXPECT_EQ(layer->GetOpacity(), 90);
    EXPECT_EQ(picture.DoUndo(), 0);
    ASSERT_EQ(manager.SetLayerOpacity1Final(&picture, layer, 90, 255), 1);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(layer->GetOpacity(), 255);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(LayerManagerRefusals, AFailedMoveLeavesNoStep)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    const PictureState before = State(picture);
    ITzToolLayerManager manager;
    EXPECT_EQ(picture.MoveLayer(1, 1), ITzERR_INVALID);
    EXPECT_EQ(picture.MoveLayer(0, 3), ITzERR_INVALID);
    EXPECT_EQ(manager.MoveLayer(&picture, 1, 1), 0);
    EXPECT_EQ(manager.MoveLayer(&picture, 3, 0), 0);
    EXPECT_EQ(picture.DoMoveLayer(0, 3), 0);
    EXPECT_EQ(State(picture), before);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(LayerManagerRefusals, NullForeignAndUnknownArgumentsChangeNothing)
{
    ITzPicture picture;
    MakePicture(picture, 2);
    const PictureState before = State(picture);
    const std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer> stranger(NewLayer());
    ITzLayerBase* layer = picture.GetLayerbyIndex(0);
    ITzToolLayerManager manager;
    EXPECT_EQ(manager.InsertLayer(nullptr, 0, stranger.get()), 0);
    EXPECT_EQ(manager.InsertLayer(&picture, 0, nullptr), 0);
    EXPECT_EQ(manager.InsertLayer(&picture, 0, layer), 0);  // already in the stack
    EXPECT_EQ(manager.RemoveLayer(&picture, 2), 0);
    EXPECT_EQ(manager.SetLayerOpacity(&picture, stranger.get(), 1), 0);
    EXPECT_EQ(manager.SetLayerVisibility(&picture, stranger.get(), 0), 0);
    EXPECT_EQ(manager.SetLayerLink(&picture, nullptr, 1), 0);
    EXPECT_EQ(manager.SetLayerInfo(&picture, layer, nullptr), 0);
    _tagITzLAYERINFO info = InfoOf(layer);
    info.opacity = 1;
    info.mergeType = 77;
    EXPECT_EQ(manager.SetLayerInfo(&picture, layer, &info), 0);
    EXPECT_EQ(State(picture), before);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(LayerManagerRefusals, StackAndOpacityEditsWaitForTheEditingLock)
{
    ITzPicture picture;
    MakePicture(picture, 2);
    const PictureState before = State(picture);
    const std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer> layer(NewLayer());
    uint32_t ticket = 0;
    ASSERT_EQ(picture.EditingStart(&ticket), 1);
    ITzToolLayerManager manager;
    EXPECT_EQ(manager.InsertLayer(&picture, 0, layer.get()), 0);
    EXPECT_EQ(manager.RemoveLayer(&picture, 0), 0);
    EXPECT_EQ(manager.MoveLayer(&picture, 0, 1), 0);
    EXPECT_EQ(manager.SetLayerOpacity(&picture, picture.GetLayerbyIndex(0), 1), 0);
    EXPECT_EQ(manager.SetLayerOpacity1Temp(&picture, picture.GetLayerbyIndex(0), 1), 0);
    EXPECT_EQ(State(picture), before);
    picture.EditingStop(ticket);
    // The tool gave its own tickets back.
    EXPECT_EQ(manager.MoveLayer(&picture, 0, 1), 1);
    EXPECT_EQ(picture.AbleEditing(), 1);
}

TEST(LayerManagerRelease, ARemovedLayerGoesWithTheRecordThatHoldsIt)
{
    DestroyCounter counter;
    auto picture = std::make_unique<ITzPicture>();
    MakePicture(*picture, 3);
    ITzToolLayerManager manager;
    ITzLayerBase* removed = picture->GetLayerbyIndex(1);
    counter.Watch(removed);
    ASSERT_EQ(manager.RemoveLayer(picture.get(), 1), 1);
    picture->ClearModified();
    EXPECT_EQ(counter.destroyed, 1);

    // Undone, the record no longer holds the layer: dropping it keeps the layer.
    ITzLayerBase* back = picture->GetLayerbyIndex(0);
    counter.Watch(back);
    ASSERT_EQ(manager.RemoveLayer(picture.get(), 0), 1);
    ASSERT_NE(picture->DoUndo(), 0);
    ASSERT_EQ(manager.SetLayerOpacity(picture.get(), back, 5), 1);  // drops the redo record
    EXPECT_EQ(counter.destroyed, 1);
    EXPECT_EQ(picture->GetLayerbyIndex(0), back);

    // An undone insertion holds its layer as a removed one.
    ITzLayerImageARGB* inserted = NewLayer();
    counter.Watch(inserted);
    ASSERT_EQ(manager.InsertLayer(picture.get(), 0, inserted), 1);
    ASSERT_NE(picture->DoUndo(), 0);
    ASSERT_EQ(manager.MoveLayer(picture.get(), 0, 1), 1);
    EXPECT_EQ(counter.destroyed, 2);
    picture.reset();
    EXPECT_EQ(counter.destroyed, 3);
}

TEST(LayerManagerRelease, AStepTheHistoryCannotKeepIsTakenBack)
{
    bool inserted = false;
    for (int64_t allowed = 0; allowed < 64 && !inserted; ++allowed) {
        ITzPicture picture;
        MakePicture(picture, 2);
        const PictureState before = State(picture);
        ITzLayerImageARGB* layer = NewLayer();
        ITzToolLayerManager manager;
        PTzTestSetAllocationCountdown(allowed);
        inserted = manager.InsertLayer(&picture, 1, layer) == 1;
        PTzTestSetAllocationCountdown(-1);
        if (inserted) {
            ASSERT_NE(picture.DoUndo(), 0);
        } else {
            EXPECT_EQ(layer->GetPicture(), nullptr);
            EXPECT_EQ(layer->GetLinkNumber(), 0xFFFF);
            ITzLayerBase::DestroyLayer(layer);
        }
        EXPECT_EQ(State(picture), before) << "allowed " << allowed;
    }
    EXPECT_TRUE(inserted);
}
