// The auto-merge tool: its record keeps the merged floating layer, undo gives it back to
// the layer and redo takes it off again, whichever layer of the picture carried it.
#include "engine/tools/tool_auto_merge.h"

#include <gtest/gtest.h>

#include "engine/pixels/layer_image_gray.h"
#include "floating_test_support.h"

using namespace floating_test;

namespace {

_tagITzUNDOFLOATING* LastRecord(ITzPicture& picture)
{
    _tagUNDODATABASE* record = nullptr;
    return picture.GetLastUndoData(&record) ? reinterpret_cast<_tagITzUNDOFLOATING*>(record) : nullptr;
}

// Counts the destruction of the layers it listens to.
class DestroyCounter : public PTzListener {
public:
    int destroyed = 0;

protected:
    int Listen(uint32_t message, void*, PTzBroadcaster*) override
    {
        destroyed += message == ITzLAYERMSG_DESTROY;
        return 1;
    }
};

class AutoMerge : public ::testing::Test {
protected:
    void SetUp() override { MakePicture(picture, 3); }
    // A painted floating layer on the layer, and the layer's pixels under it.
    ITzLayerImage* Float(ITzLayerImage* layer)
    {
        ITzLayerImage* floating = layer->CreateFloatingLayer();
        if (floating)
            Paint(floating);
        before = Take(layer);
        return floating;
    }

    ITzPicture picture;
    ITzToolAutoMerge tool;
    Snapshot before;
};

TEST_F(AutoMerge, UndoRedoUndoMovesTheFloatingLayerBetweenRecordAndLayer)
{
    ITzLayerImage* layer = ImageLayer(picture, 2);
    ITzLayerImage* floating = Float(layer);
    ASSERT_NE(floating, nullptr);
    ASSERT_EQ(tool.MergeFloatingLayer(&picture), 1);
    const Snapshot merged = Take(layer);
    EXPECT_FALSE(merged == before);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    _tagITzUNDOFLOATING* record = LastRecord(picture);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->head.toolID, ITzTOOLID_AUTO_MERGE);
    EXPECT_EQ(record->userData, floating);

    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_EQ(layer->GetFloatingLayer(), floating);
    EXPECT_EQ(record->userData, nullptr);

    // Left on the layer, the floating layer would lie over pixels already merged with it.
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_TRUE(Take(layer) == merged);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    EXPECT_EQ(record->userData, floating);

    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_EQ(layer->GetFloatingLayer(), floating);

    // Merged once more, it lands exactly once.
    ITzToolFloatingBase flot;
    ASSERT_EQ(flot.MergeFloatingLayer(&picture), 1);
    EXPECT_TRUE(Take(layer) == merged);
}

TEST_F(AutoMerge, UndoKeepsTheFloatingLayerWhenTheLayerHasOneAlready)
{
    ITzLayerImage* layer = ImageLayer(picture, 2);
    ITzLayerImage* floating = Float(layer);
    ASSERT_EQ(tool.MergeFloatingLayer(&picture), 1);
    _tagITzUNDOFLOATING* record = LastRecord(picture);
    ASSERT_NE(record, nullptr);
    ITzLayerImage* other = layer->CreateFloatingLayer_1(0);
    ASSERT_NE(other, nullptr);

    // Replayed directly, the history's position is not in the way.
    EXPECT_EQ(tool.DoUndo(&picture, &record->head), 1);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_EQ(layer->GetFloatingLayer(), other);
    EXPECT_EQ(record->userData, floating);
    // Redo must not take the layer's own floating layer into the record.
    EXPECT_EQ(tool.DoRedo(&picture, &record->head), 1);
    EXPECT_EQ(layer->GetFloatingLayer(), other);
    EXPECT_EQ(record->userData, floating);
}

TEST_F(AutoMerge, KeptFloatingLayerIsFreedWithTheRecord)
{
    ITzLayerImage* floating = Float(ImageLayer(picture, 2));
    ASSERT_NE(floating, nullptr);
    DestroyCounter counter;
    counter.AddToBroadcaster(floating);
    ASSERT_EQ(tool.MergeFloatingLayer(&picture), 1);
    EXPECT_EQ(counter.destroyed, 0);
    picture.ClearModified();
    EXPECT_EQ(counter.destroyed, 1);
}

TEST_F(AutoMerge, LayerThePictureDoesNotHoldIsRefused)
{
    ITzLayerImageARGB outside;
    const PTzRECT bounds = {0, 0, 50, 50};
    outside.SetSize(&bounds, 1);
    ITzLayerImage* floating = outside.CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(tool.MergeLayerFloating(&picture, &outside), 0);
    EXPECT_EQ(tool.MergeLayerFloating(nullptr, &outside), 0);
    EXPECT_EQ(tool.MergeLayerFloating(&picture, nullptr), 0);
    EXPECT_EQ(outside.GetFloatingLayer(), floating);
    EXPECT_FALSE(picture.IsModified());
}

TEST_F(AutoMerge, MergeOfAnInactiveLayerNamesThatLayer)
{
    ITzLayerImage* layer = ImageLayer(picture, 0);
    ITzLayerImage* floating = Float(layer);
    ASSERT_NE(floating, nullptr);
    ASSERT_EQ(tool.MergeLayerFloating(&picture, layer), 1);
    const Snapshot merged = Take(layer);
    ASSERT_NE(LastRecord(picture), nullptr);
    EXPECT_EQ(LastRecord(picture)->layerIndex, 0);
    EXPECT_EQ(picture.GetActiveLayerID(), 2);

    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_EQ(layer->GetFloatingLayer(), floating);
    EXPECT_EQ(picture.GetActiveLayerID(), 0);
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_TRUE(Take(layer) == merged);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
}

TEST_F(AutoMerge, SelectionRecordNamesTheSelectionAndLeavesTheActiveLayer)
{
    ITzLayerImage* selection = picture.GetSelectionLayer(1);
    ASSERT_NE(selection, nullptr);
    FillGray(selection, {0, 0, 100, 100}, 200);
    ITzLayerImage* floating = selection->CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    floating->SetMergeType(ITzMERGE_NORMAL);  // the union, as a selection tool adds a shape
    FillGray(floating, {50, 50, 180, 120}, 255);
    before = Take(selection);
    ASSERT_EQ(tool.MergeLayerFloating(&picture, selection), 1);
    const Snapshot merged = Take(selection);
    EXPECT_FALSE(merged == before);
    ASSERT_NE(LastRecord(picture), nullptr);
    EXPECT_EQ(LastRecord(picture)->layerIndex, ITzUNDOFLOATING_SELECTION_LAYER);
    EXPECT_EQ(LastRecord(picture)->blockType, ITzBLOCKTYPE_GRAY);

    picture.SetActiveLayerID(1);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(selection) == before);
    EXPECT_EQ(selection->GetFloatingLayer(), floating);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_TRUE(Take(selection) == merged);
    EXPECT_EQ(selection->GetFloatingLayer(), nullptr);
}

}  // namespace
