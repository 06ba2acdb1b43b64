// The ARGB layer's block undo, masked block copies and floating merges: each either
// completes or leaves both sides as they were (the sanitizers watch every handle), and
// the backup tests spare only backups that cannot matter.
#include "engine/pixels/layer_image_argb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/undo_block_list.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

_tagPTzCOLOR Colour(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return {PTzCOLORMODE_ARGB, a, {r, g, b}};
}

// A layer over (0, 0, 512, 256): two blocks of one colour each.
Layer TwoBlocks(const _tagPTzCOLOR& left, const _tagPTzCOLOR& right)
{
    Layer layer(new ITzLayerImageARGB());
    const PTzRECT a = {0, 0, 256, 256}, b = {256, 0, 512, 256};
    EXPECT_EQ(layer->FillRect(&a, &left), 0);
    EXPECT_EQ(layer->FillRect(&b, &right), 0);
    return layer;
}

_tagITzBLOCKINFOARGB Record(ITzLayerImageARGB& layer, uint32_t index)
{
    _tagITzBLOCKINFOARGB record = {};
    layer.GetBlockInfo(index, &record, 0);
    return record;
}

_tagPTzCOLOR PixelAt(ITzLayerImageARGB& layer, int32_t x, int32_t y)
{
    _tagPTzCOLOR colour = {};
    const PTzPOINT point = {x, y};
    layer.GetPixelColor(&point, &colour);
    return colour;
}

// Gives alpha a gradient over block 0: alpha = x.
void AlphaRamp(ITzLayerImageARGB& layer)
{
    std::vector<uint8_t> plane(256 * 256);
    for (size_t i = 0; i < plane.size(); ++i)
        plane[i] = uint8_t(i);
    _tagITzCHANNELBITMAP alpha = {256, 256, 256, 3, {plane.data()}};
    const PTzRECT block = {0, 0, 256, 256};
    ASSERT_EQ(layer.SetRectChannelData(&alpha, &block), 1);
}

class FailingSetList : public ITzUndoTwoLevelBlockList {
public:
    FailingSetList() : ITzUndoTwoLevelBlockList(ITzBLOCKTYPE_ARGB) {}
    int SetItem(uint32_t, const void*, int) override { return 0; }
};

TEST(LayerImageARGBUndo, BackupIsAnIndependentCopyAndFailsWithoutKeepingAnything)
{
    Layer layer = TwoBlocks(Colour(255, 1, 2, 3), Colour(0, 0, 0, 0));
    AlphaRamp(*layer);
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_ARGB);
    ASSERT_EQ(layer->BackupBlock(0, &list), 1);
    _tagITzUNDOBLOCKITEMARGB item;
    ASSERT_EQ(list.GetItem(0, &item, sizeof item), 1);
    EXPECT_EQ(item.blockIndex, 0u);
    EXPECT_NE(item.info.channels[0], nullptr);
    EXPECT_NE(item.info.channels[0], Record(*layer, 0).channels[0]);

    PTzTestSetAllocationCeiling(ITzBLOCK_PAGE_BYTES - 1);
    EXPECT_EQ(layer->BackupBlock(0, &list), 0);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(layer->BackupBlock(0, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    layer->BlockDataInvalid(1);
    EXPECT_EQ(layer->BackupBlock(1, &list), 0);
}

TEST(LayerImageARGBUndo, MoveToAListEmptiesTheBlockOnlyOnceTheListHoldsIt)
{
    Layer layer = TwoBlocks(Colour(255, 1, 2, 3), Colour(255, 4, 5, 6));
    AlphaRamp(*layer);
    ITzUndoTwoLevelBlockList gray(ITzBLOCKTYPE_GRAY);  // refuses ARGB items
    EXPECT_EQ(layer->MoveBlocktoUndoList(0, &gray), 0);
    EXPECT_NE(Record(*layer, 0).channels[0], nullptr);
    EXPECT_EQ(PixelAt(*layer, 7, 0).alpha, 7);

    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_ARGB);
    EXPECT_EQ(layer->MoveBlocktoUndoList(0, &list), 1);
    EXPECT_EQ(layer->BlockDataAvailable(0), 0);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(layer->MoveBlocktoUndoList(0, &list), 0);  // missing now
}

TEST(LayerImageARGBUndo, SwitchingTwiceRestoresBothSides)
{
    Layer layer = TwoBlocks(Colour(255, 1, 2, 3), Colour(255, 4, 5, 6));
    AlphaRamp(*layer);
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_ARGB);
    ASSERT_EQ(layer->BackupBlock(1, &list), 1);
    ASSERT_EQ(layer->MoveBlocktoUndoList(0, &list), 1);
    const _tagPTzCOLOR after = Colour(255, 9, 9, 9);
    ASSERT_EQ(layer->SetBlockColor(1, &after), 1);

    ASSERT_EQ(layer->SwitchBlockwithUndoList(0, &list), 1);
    ASSERT_EQ(layer->SwitchBlockwithUndoList(1, &list), 1);
    EXPECT_EQ(PixelAt(*layer, 300, 0).components[0], 4);
    EXPECT_EQ(PixelAt(*layer, 7, 0).alpha, 7);
    ASSERT_EQ(layer->SwitchBlockwithUndoList(0, &list), 1);
    ASSERT_EQ(layer->SwitchBlockwithUndoList(1, &list), 1);
    EXPECT_EQ(PixelAt(*layer, 300, 0).components[0], 9);
    EXPECT_EQ(layer->BlockDataAvailable(0), 0);
    EXPECT_EQ(layer->SwitchBlockwithUndoList(7, &list), 1);  // no such item: nothing
    EXPECT_EQ(layer->SwitchBlockwithUndoList(0, nullptr), 0);
}

TEST(LayerImageARGBUndo, AFailedSwitchPutsTheLayerBackAndSharesNoHandle)
{
    Layer layer = TwoBlocks(Colour(255, 1, 2, 3), Colour(255, 4, 5, 6));
    AlphaRamp(*layer);
    FailingSetList list;
    ASSERT_EQ(layer->BackupBlock(0, &list), 1);
    const PTzHANDLE before = Record(*layer, 0).channels[0];
    EXPECT_EQ(layer->SwitchBlockwithUndoList(0, &list), 0);
    EXPECT_EQ(Record(*layer, 0).channels[0], before);  // the list and the layer free their own
}

TEST(LayerImageARGBCopy, CopyToLayerWithMaskMultipliesAlphaAndCopiesBeforeFreeing)
{
    Layer source = TwoBlocks(Colour(200, 10, 20, 30), Colour(255, 1, 1, 1));
    Layer target = TwoBlocks(Colour(255, 7, 7, 7), Colour(255, 7, 7, 7));
    Layer selection = TwoBlocks(Colour(0, 0, 0, 0), Colour(0, 0, 0, 0));
    AlphaRamp(*selection);  // mask = x over block 0
    const _tagITzBLOCKPOSITION first = {0, 0};
    ASSERT_EQ(source->CopyToLayerWithMask(target.get(), &first, &first, selection.get()), 1);
    EXPECT_EQ(PixelAt(*target, 255, 5).alpha, 200);                       // (255 x 200 + 127) / 255
    EXPECT_EQ(PixelAt(*target, 100, 5).alpha, (100 * 200 + 127) / 255);
    EXPECT_EQ(PixelAt(*target, 100, 5).components[0], 10);

    const _tagITzBLOCKPOSITION second = {1, 0};
    PTzTestSetAllocationCeiling(ITzBLOCK_PAGE_BYTES - 1);  // the masked alpha needs a page
    EXPECT_EQ(source->CopyToLayerWithMask(target.get(), &second, &second, selection.get()), 0);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(PixelAt(*target, 300, 5).components[0], 7);  // untouched
    const _tagITzBLOCKPOSITION outside = {2, 0};
    EXPECT_EQ(source->CopyToLayerWithMask(target.get(), &first, &outside, nullptr), 0);
    EXPECT_EQ(source->CopyToLayerWithMask(target.get(), &outside, &first, nullptr), 0);
}

TEST(LayerImageARGBCopy, FloatAndCutSplitAlphaByTheMask)
{
    Layer source = TwoBlocks(Colour(255, 10, 20, 30), Colour(255, 1, 1, 1));
    Layer floating = TwoBlocks(Colour(0, 0, 0, 0), Colour(0, 0, 0, 0));
    Layer selection = TwoBlocks(Colour(0, 0, 0, 0), Colour(0, 0, 0, 0));
    AlphaRamp(*selection);
    const _tagITzBLOCKPOSITION first = {0, 0};
    ASSERT_EQ(source->CopyBlockToFloat(&first, floating.get(), &first, selection.get(), 1), 1);
    EXPECT_EQ(PixelAt(*floating, 100, 3).alpha, 255);  // a full copy
    EXPECT_EQ(PixelAt(*source, 100, 3).alpha, 155);    // 255 - mask 100

    Layer cut = TwoBlocks(Colour(0, 0, 0, 0), Colour(0, 0, 0, 0));
    const _tagITzBLOCKPOSITION second = {1, 0};
    ASSERT_EQ(source->CopyBlockCut(&second, cut.get(), &second, nullptr), 1);
    EXPECT_EQ(PixelAt(*cut, 300, 3).alpha, 255);  // no selection: everything moves
    EXPECT_EQ(PixelAt(*source, 300, 3).alpha, 0);
    EXPECT_EQ(Record(*source, 1).channels[0], nullptr);
}

// Alpha and mask at a pixel of block 0 for the cases below: uniform, or a ramp in x.
uint8_t CaseValue(int kind, int32_t x)
{
    return kind < 0 ? uint8_t(x) : uint8_t(kind);
}

// Every block move against the formulas, for masks of one value (applied from the byte)
// and of many (read into a page), over alphas of one value and of many: the target gets
// M(alpha, mask) for a cut and a full copy for a lift; the source keeps max(alpha - mask,
// 0) when the pixels are taken out and stays as it was for a copy. A mask and an alpha
// of one value each leave the source without an alpha handle.
TEST(LayerImageARGBCopy, BlockMovesMatchTheFormulasWhateverTheMasksForm)
{
    enum Move { Cut, Lift, CopyLift };
    const int alphas[] = {200, 0, -1};
    const int masks[] = {0, 100, 255, -1};
    for (const Move move : {Cut, Lift, CopyLift})
        for (const int alphaKind : alphas)
            for (const int maskKind : masks) {
                SCOPED_TRACE(testing::Message() << "move " << move << " alpha " << alphaKind << " mask " << maskKind);
                Layer source = TwoBlocks(Colour(uint8_t(alphaKind), 10, 20, 30), Colour(255, 1, 1, 1));
                if (alphaKind < 0)
                    AlphaRamp(*source);
                Layer target = TwoBlocks(Colour(0, 0, 0, 0), Colour(0, 0, 0, 0));
                const std::unique_ptr<ITzLayerImageGray, ITzLayerDestroyer> selection(new ITzLayerImageGray());
                const PTzRECT block = {0, 0, 256, 256};
                const _tagPTzCOLOR value = {PTzCOLORMODE_GRAY, 255, {uint8_t(maskKind)}};
                ASSERT_EQ(selection->FillRect(&block, &value), 0);
                if (maskKind < 0) {
                    std::vector<uint8_t> ramp(256 * 256);
                    for (size_t i = 0; i < ramp.size(); ++i)
                        ramp[i] = uint8_t(i);
                    _tagITzCHANNELBITMAP plane = {256, 256, 256, int32_t(PTzCOLORMODE_GRAY), {ramp.data()}};
                    ASSERT_EQ(selection->SetRectChannelData(&plane, &block), 1);
                }
                const _tagITzBLOCKPOSITION first = {0, 0};
                ASSERT_EQ(move == Cut ? source->CopyBlockCut(&first, target.get(), &first, selection.get())
                                      : source->CopyBlockToFloat(&first, target.get(), &first, selection.get(),
                                                                 move == Lift),
                          1);
                for (const int32_t x : {0, 99, 100, 101, 200, 255}) {
                    const int alpha = CaseValue(alphaKind, x), mask = CaseValue(maskKind, x);
                    const int moved = move == Cut ? (alpha * mask + 127) / 255 : alpha;
                    const int kept = move == CopyLift ? alpha : std::max(alpha - mask, 0);
                    EXPECT_EQ(PixelAt(*target, x, 7).alpha, moved) << x;
                    EXPECT_EQ(PixelAt(*source, x, 7).alpha, kept) << x;
                    EXPECT_EQ(PixelAt(*source, x, 7).components[2], 30);
                }
                if (alphaKind >= 0 && maskKind >= 0) {
                    EXPECT_EQ(Record(*source, 0).channels[0], nullptr);
                    EXPECT_EQ(Record(*target, 0).channels[0], nullptr);
                }
            }
}

TEST(LayerImageARGBMerge, BackupsAreSparedOnlyWhereTheMergeCannotChangeTheBlock)
{
    Layer layer = TwoBlocks(Colour(255, 50, 60, 70), Colour(0, 0, 0, 0));
    Layer floating = TwoBlocks(Colour(0, 0, 0, 0), Colour(255, 50, 60, 70));
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_ARGB);
    const PTzRECT block0 = {0, 0, 256, 256}, block1 = {256, 0, 512, 256};
    EXPECT_EQ(layer->BackupBlockInBoundsForSameType(0, floating.get(), nullptr, &block0, &list), 0);  // clear
    EXPECT_EQ(layer->BackupBlockInBoundsForSameType(0, floating.get(), 1, nullptr, &block1, &list), 0);  // same
    EXPECT_EQ(layer->BackupBlockInBoundsForSameType(1, floating.get(), 1, nullptr, &block1, &list), 1);
    EXPECT_EQ(list.GetCount(), 1u);

    const _tagITzMERGEDATA erase = {ITzMERGE_ERASE, 255}, normal = {ITzMERGE_NORMAL, 255};
    EXPECT_EQ(layer->MergeNeedBackupDes(1, &erase), 0);
    EXPECT_EQ(layer->MergeNeedBackupDes(0, &erase), 1);
    EXPECT_EQ(layer->MergeNeedBackupSrc(1, &normal), 0);
    EXPECT_EQ(layer->MergeNeedBackupSrc(&block1, &normal), 0);
    EXPECT_EQ(layer->MergeNeedBackupSrc(&block0, &normal), 1);
}

TEST(LayerImageARGBMerge, FloatingBlocksAndRectsMergeWithTheFloatingLayersOpacity)
{
    Layer layer = TwoBlocks(Colour(0, 0, 0, 0), Colour(0, 0, 0, 0));
    Layer floating = TwoBlocks(Colour(255, 200, 0, 0), Colour(255, 0, 0, 200));
    floating->SetOpacity(128);
    ASSERT_EQ(layer->FloatMergeBlock(floating.get(), 0, 0, nullptr), 1);
    EXPECT_EQ(PixelAt(*layer, 10, 10).alpha, 128);
    EXPECT_EQ(PixelAt(*layer, 10, 10).components[0], 200);

    const _tagITzBLOCKPOSITION second = {1, 0};
    const PTzRECT inBlock = {0, 0, 16, 16}, floatingRect = {256, 0, 272, 16};
    floating->SetOpacity(255);
    ASSERT_EQ(layer->FloatMergeRect(&second, &inBlock, floating.get(), &floatingRect, nullptr), 1);
    EXPECT_EQ(PixelAt(*layer, 260, 5).components[2], 200);
    EXPECT_EQ(PixelAt(*layer, 280, 5).alpha, 0);  // outside the rect
    layer->BlockDataInvalid(0);
    EXPECT_EQ(layer->FloatMergeBlock(floating.get(), 0, 0, nullptr), 0);
}

// Reads the layer's pixels while it announces its destruction.
class ReadingListener : public PTzListener {
public:
    int Listen(uint32_t message, void* /*param*/, PTzBroadcaster* sender) override
    {
        if (message != ITzLAYERMSG_DESTROY)
            return 1;
        auto* layer = static_cast<ITzLayerImageARGB*>(sender);
        const PTzRECT rect = {0, 0, 512, 256};
        _tagITzARGBMEMDATA same = {};
        sameRead = layer->CheckRectSame(&rect, &same) ? same.uniform : -1;
        return 1;
    }
    int sameRead = -2;
};

TEST(LayerImageARGBLifetime, DestroyListenersStillReadTheBlocks)
{
    Layer layer = TwoBlocks(Colour(255, 1, 1, 1), Colour(255, 1, 1, 1));
    ReadingListener listener;
    ASSERT_EQ(listener.AddToBroadcaster(layer.get()), 1);
    layer.reset();
    EXPECT_EQ(listener.sameRead, 0x0F);
}

}  // namespace
