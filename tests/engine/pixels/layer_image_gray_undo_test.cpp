// The gray layer's block undo and block moves: each either completes or leaves both
// sides as they were (the sanitizers watch every handle), and the source and
// destination backup tests.
#include "engine/pixels/layer_image_gray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/undo_block_list.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageGray, ITzLayerDestroyer>;

// A mask over (0, 0, 512, 256): block 0 holds x, block 1 is uniform at `right`.
Layer TwoBlocks(uint8_t right)
{
    Layer layer(new ITzLayerImageGray());
    const PTzRECT all = {0, 0, 512, 256};
    const _tagPTzCOLOR colour = {PTzCOLORMODE_GRAY, 255, {right}};
    EXPECT_EQ(layer->FillRect(&all, &colour), 0);
    std::vector<uint8_t> ramp(256 * 256);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = uint8_t(i);
    _tagITzBITMAP bitmap = {256, 256, 256, 8, PTzCOLORMODE_GRAY, ramp.data()};
    const PTzRECT block = {0, 0, 256, 256};
    EXPECT_EQ(layer->SetRectData(&block, &bitmap), 0);
    return layer;
}

uint8_t ValueAt(ITzLayerImageGray& layer, int32_t x, int32_t y)
{
    uint8_t value = 0xEE;
    const PTzPOINT point = {x, y};
    layer.GetPointValue(&point, &value);
    return value;
}

class FailingSetList : public ITzUndoTwoLevelBlockList {
public:
    FailingSetList() : ITzUndoTwoLevelBlockList(ITzBLOCKTYPE_GRAY) {}
    int SetItem(uint32_t, const void*, int) override { return 0; }
};

TEST(LayerImageGrayUndo, BackupIsAnIndependentCopyAndFailsWithoutKeepingAnything)
{
    Layer layer = TwoBlocks(9);
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_GRAY);
    ASSERT_EQ(layer->BackupBlock(0, &list), 1);
    _tagITzUNDOBLOCKITEMGRAY item;
    ASSERT_EQ(list.GetItem(0, &item, sizeof item), 1);
    _tagITzBLOCKINFOGRAY own;
    ASSERT_EQ(layer->GetBlockInfo(0, &own, 0), 0);
    EXPECT_NE(item.info.data, nullptr);
    EXPECT_NE(item.info.data, own.data);
    PTzTestSetAllocationCeiling(ITzBLOCK_PAGE_BYTES - 1);
    EXPECT_EQ(layer->BackupBlock(0, &list), 0);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(list.GetCount(), 1u);
    ITzUndoTwoLevelBlockList argb(ITzBLOCKTYPE_ARGB);  // refuses gray items: the copy is freed
    EXPECT_EQ(layer->BackupBlock(0, &argb), 0);
    EXPECT_EQ(layer->BackupBlock(0, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(LayerImageGrayUndo, MovesAndSwitchesRollBackOnFailure)
{
    Layer layer = TwoBlocks(9);
    ITzUndoTwoLevelBlockList argb(ITzBLOCKTYPE_ARGB);
    EXPECT_EQ(layer->MoveBlocktoUndoList(0, &argb), 0);
    EXPECT_EQ(ValueAt(*layer, 7, 0), 7);

    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_GRAY);
    ASSERT_EQ(layer->MoveBlocktoUndoList(0, &list), 1);
    EXPECT_EQ(layer->BlockDataAvailable(0), 0);
    EXPECT_EQ(layer->MoveBlocktoUndoList(0, &list), 0);  // missing now
    ASSERT_EQ(layer->BackupBlock(1, &list), 1);
    const _tagPTzCOLOR after = {PTzCOLORMODE_GRAY, 255, {77}};
    ASSERT_EQ(layer->SetBlockColor(1, &after), 1);

    // Undo, redo, undo: each switch is its own inverse.
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_EQ(layer->SwitchBlockwithUndoList(0, &list), 1);
        ASSERT_EQ(layer->SwitchBlockwithUndoList(1, &list), 1);
        const bool undone = pass % 2 == 0;
        EXPECT_EQ(ValueAt(*layer, 7, 3), undone ? 7 : 0xEE);
        EXPECT_EQ(ValueAt(*layer, 300, 3), undone ? 9 : 77);
    }
    EXPECT_EQ(layer->SwitchBlockwithUndoList(9, &list), 1);  // no such item: nothing
    EXPECT_EQ(layer->SwitchBlockwithUndoList(0, nullptr), 0);

    FailingSetList failing;
    ASSERT_EQ(layer->BackupBlock(1, &failing), 1);
    _tagITzBLOCKINFOGRAY before;
    ASSERT_EQ(layer->GetBlockInfo(1, &before, 0), 0);
    EXPECT_EQ(layer->SwitchBlockwithUndoList(0, &failing), 0);
    _tagITzBLOCKINFOGRAY now;
    ASSERT_EQ(layer->GetBlockInfo(1, &now, 0), 0);
    EXPECT_EQ(now.data, before.data);
    EXPECT_EQ(now.constant, before.constant);
}

TEST(LayerImageGrayUndo, FloatAndCutSplitTheMaskByTheSelection)
{
    Layer source = TwoBlocks(255), floating = TwoBlocks(0), selection = TwoBlocks(0);
    const _tagITzBLOCKPOSITION first = {0, 0}, second = {1, 0};
    const PTzRECT block0 = {0, 0, 256, 256};
    const _tagPTzCOLOR full = {PTzCOLORMODE_GRAY, 255, {255}};
    ASSERT_EQ(source->FillRect(&block0, &full), 0);
    ASSERT_EQ(source->CopyBlockToFloat(&first, floating.get(), &first, selection.get(), 1), 1);
    EXPECT_EQ(ValueAt(*floating, 100, 3), 255);  // a full copy
    EXPECT_EQ(ValueAt(*source, 100, 3), 155);    // 255 - selection 100

    Layer cut = TwoBlocks(0);
    ASSERT_EQ(source->CopyBlockCut(&second, cut.get(), &second, selection.get()), 1);
    EXPECT_EQ(ValueAt(*cut, 300, 3), 0);  // the selection there is 0: nothing moves
    EXPECT_EQ(ValueAt(*source, 300, 3), 255);
    ASSERT_EQ(source->CopyBlockCut(&second, cut.get(), &second, nullptr), 1);
    EXPECT_EQ(ValueAt(*cut, 300, 3), 255);  // no selection: everything moves
    EXPECT_EQ(ValueAt(*source, 300, 3), 0);

    PTzTestSetAllocationCeiling(ITzBLOCK_PAGE_BYTES - 1);  // the cut needs a handle
    EXPECT_EQ(source->CopyBlockCut(&first, cut.get(), &first, selection.get()), 0);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(ValueAt(*source, 100, 3), 155);
    EXPECT_EQ(ValueAt(*cut, 100, 3), 100);  // untouched ramp
}

TEST(LayerImageGrayUndo, SourceAndDestinationTestsSpareOnlyUnchangeableBlocks)
{
    Layer layer = TwoBlocks(0);
    const _tagITzMERGEDATA normal = {ITzMERGE_NORMAL, 255}, intersect = {ITzMERGE_INTERSECT, 255},
                           replace = {ITzMERGE_REPLACE, 255}, erase = {ITzMERGE_ERASE, 255};
    EXPECT_EQ(layer->MergeNeedBackupDes(1, &intersect), 0);
    EXPECT_EQ(layer->MergeNeedBackupDes(1, &erase), 0);
    EXPECT_EQ(layer->MergeNeedBackupDes(1, &normal), 1);
    EXPECT_EQ(layer->MergeNeedBackupDes(1, &replace), 1);
    EXPECT_EQ(layer->MergeNeedBackupDes(0, &intersect), 1);
    EXPECT_EQ(layer->MergeNeedBackupDes(5, &intersect), 1);  // cannot be read
    EXPECT_EQ(layer->MergeNeedBackupSrc(1u, &normal), 0);
    EXPECT_EQ(layer->MergeNeedBackupSrc(0u, &normal), 1);
    const PTzRECT right = {256, 0, 512, 256}, left = {0, 0, 256, 256};
    EXPECT_EQ(layer->MergeNeedBackupSrc(&right, &erase), 0);
    EXPECT_EQ(layer->MergeNeedBackupSrc(&left, &erase), 1);
    // Over another kind the mask always erases, so a mask of 255 changes the block.
    Layer full = TwoBlocks(255);
    EXPECT_EQ(full->MergeNeedBackupSrc(1u, &intersect), 1);
    EXPECT_EQ(full->MergeNeedBackupDes(1, &normal), 0);
}

}  // namespace
