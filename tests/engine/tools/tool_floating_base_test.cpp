// The floating-layer tools' base: its record, the merge as one undo step, the swap that
// undoes and redoes it, and the block fills of floating layers.
#include "engine/tools/tool_floating_base.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_auto_merge.h"
#include "engine/tools/tool_factory.h"
#include "floating_test_support.h"

using namespace floating_test;

namespace {

// A floating tool of any ID that counts the user data it is asked to free.
class CountingTool : public ITzToolFloatingBase {
public:
    explicit CountingTool(uint32_t id) { m_toolID = id; }
    ~CountingTool() override { ReleasePendingUndoData(); }
    int ReleaseUndoUserData(void* userData) override
    {
        released.push_back(userData);
        return 1;
    }
    _tagITzUNDOFLOATING* Pending() { return FloatingRecord(m_undoData); }

    std::vector<void*> released;
};

_tagITzUNDOFLOATING* LastRecord(ITzPicture& picture)
{
    _tagUNDODATABASE* record = nullptr;
    return picture.GetLastUndoData(&record) ? reinterpret_cast<_tagITzUNDOFLOATING*>(record) : nullptr;
}

TEST(FloatingRecord, InitHeadsTheRecordWithTheToolsIdAndTheLayersBlockType)
{
    CountingTool tool(ITzTOOLID_FILL);
    ITzLayerImageARGB argb;
    ITzLayerImageGray gray;
    EXPECT_EQ(tool.InitUndoData(nullptr), 0);
    EXPECT_EQ(tool.Pending(), nullptr);

    ASSERT_EQ(tool.InitUndoData(&gray), 1);
    _tagITzUNDOFLOATING* first = tool.Pending();
    EXPECT_EQ(first->head.toolID, ITzTOOLID_FILL);
    EXPECT_EQ(first->blockType, ITzBLOCKTYPE_GRAY);
    EXPECT_EQ(first->blockList, nullptr);
    EXPECT_EQ(first->spare, 0u);
    int marker = 0;
    first->userData = &marker;

    // A new record releases the pending one, user data included.
    ASSERT_EQ(tool.InitUndoData(&argb), 1);
    EXPECT_EQ(tool.released, std::vector<void*>{&marker});
    EXPECT_EQ(tool.Pending()->blockType, ITzBLOCKTYPE_ARGB);
    // GetUndoData keeps a pending record, whatever layer it is asked for.
    EXPECT_EQ(tool.GetUndoData(&gray), &tool.Pending()->head);
    EXPECT_EQ(tool.Pending()->blockType, ITzBLOCKTYPE_ARGB);

    ITzUndoBlockListBase* list = tool.GetUndoBlockList(tool.Pending());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetBlockType(), ITzBLOCKTYPE_ARGB);
    EXPECT_EQ(tool.GetUndoBlockList(tool.Pending()), list);
    EXPECT_EQ(tool.GetUndoBlockList(nullptr), nullptr);
    EXPECT_EQ(tool.ReleaseUndoData(nullptr), 0);
}

TEST(FloatingCopyChannel, UniformSourceFreesTheHandleAndKeepsTheValue)
{
    ITzToolFloatingBase tool;
    PTzHANDLE dest = ITzChannelExpand(9);
    uint8_t value = 0;
    EXPECT_EQ(tool.CopyChannel(nullptr, 77, nullptr, &value), 0);
    EXPECT_EQ(tool.CopyChannel(nullptr, 77, &dest, nullptr), 0);
    ASSERT_EQ(tool.CopyChannel(nullptr, 77, &dest, &value), 1);
    EXPECT_EQ(dest, nullptr);  // a leak here shows under LeakSanitizer
    EXPECT_EQ(value, 77);
}

TEST(FloatingCopyChannel, HandleSourceIsCopiedIntoANewOrTheSameHandle)
{
    ITzToolFloatingBase tool;
    PTzHANDLE source = ITzChannelExpand(0);
    {
        const PTzHandleLockGuard bytes(source);
        for (uint32_t i = 0; i < ITzBLOCK_PAGE_BYTES; ++i)
            bytes.bytes()[i] = uint8_t(i * 31 + (i >> 8));
    }
    PTzHANDLE dest = nullptr;
    uint8_t value = 5;
    ASSERT_EQ(tool.CopyChannel(source, 0, &dest, &value), 1);
    ASSERT_NE(dest, nullptr);
    {
        const PTzHandleLockGuard a(source), b(dest);
        EXPECT_EQ(std::memcmp(a.bytes(), b.bytes(), ITzBLOCK_PAGE_BYTES), 0);
    }
    PTzHANDLE other = ITzChannelExpand(200);
    const PTzHANDLE kept = dest;
    ASSERT_EQ(tool.CopyChannel(other, 0, &dest, &value), 1);
    EXPECT_EQ(dest, kept);
    uint8_t uniform = 0;
    EXPECT_TRUE(ITzChannelUniform(dest, &uniform));
    EXPECT_EQ(uniform, 200);
    for (PTzHANDLE handle : {source, dest, other})
        PTzHandleFree(handle);
}

class FloatingFillBlock : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (ITzLayerImageARGB* layer : {&source, &dest})
            layer->SetSize(&kBlock, 1);
        Pattern(&source, kBlock, 3);
        Pattern(&dest, kBlock, 4);
    }
    static constexpr PTzRECT kBlock = {0, 0, 256, 256};
    ITzToolFloatingBase tool;
    ITzLayerImageARGB source, dest;
    _tagITzBLOCKPOSITION position = {0, 0};
};

TEST_F(FloatingFillBlock, WholeBlockBecomesTheSourceBlock)
{
    PTzRECT whole = kBlock;
    EXPECT_EQ(tool.FillFloatBlockWithData(&source, &position, &whole, &dest, &position), 1);
    EXPECT_EQ(Take(&dest).pixels, Take(&source).pixels);
}

TEST_F(FloatingFillBlock, PartIsMergedOverTheRectangleOnly)
{
    // Opaque source pixels replace the destination's under alpha-over.
    const _tagPTzCOLOR solid = Colour(255, 10, 20, 30);
    source.FillRect(&kBlock, &solid);
    const Snapshot before = Take(&dest);
    PTzRECT part = {10, 20, 60, 90};
    ASSERT_EQ(tool.FillFloatBlockWithData(&source, &position, &part, &dest, &position), 1);
    const Snapshot after = Take(&dest);
    const Snapshot painted = Take(&source);
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x) {
            const size_t at = (size_t(y) * 256 + size_t(x)) * 4;
            const bool inside = x >= part.left && x < part.right && y >= part.top && y < part.bottom;
            const Snapshot& expected = inside ? painted : before;
            ASSERT_EQ(std::memcmp(&after.pixels[at], &expected.pixels[at], 4), 0) << x << "," << y;
        }
}

TEST_F(FloatingFillBlock, OtherKindsAndMissingBlocksChangeNothing)
{
    ITzLayerImageGray gray;
    gray.SetSize(&kBlock, 1);
    ITzLayerImageARGB missing;
    missing.SetSize(&kBlock, 0);
    PTzRECT whole = kBlock;
    const Snapshot before = Take(&dest);
    EXPECT_EQ(tool.FillFloatBlockWithData(&gray, &position, &whole, &dest, &position), 0);
    EXPECT_EQ(tool.FillFloatBlockWithData(&source, &position, &whole, &gray, &position), 0);
    EXPECT_EQ(tool.FillFloatBlockWithData(&missing, &position, &whole, &dest, &position), 0);
    EXPECT_EQ(tool.FillFloatBlockWithData(&source, nullptr, &whole, &dest, &position), 0);
    EXPECT_TRUE(Take(&dest) == before);
    EXPECT_EQ(tool.FillFloatBlockWithData(&source, &position, &whole, &missing, &position), 0);
}

class FloatingMerge : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakePicture(picture, 2);
        layer = ImageLayer(picture, 1);
        before = Take(layer);
    }
    // The tool's own first stage: the active layer's floating layer, painted.
    ITzLayerImage* Float()
    {
        ITzLayerImage* floating = tool.CreateFloatingLayer(&picture);
        if (floating)
            Paint(floating);
        return floating;
    }
    int Merge()
    {
        if (!tool.StartEditing(&picture))
            return -1;
        const int merged = tool.MergeFloatingLayer(&picture);
        tool.StopEditing(&picture);
        return merged;
    }

    ITzPicture picture;
    ITzToolFloatingBase tool;
    ITzLayerImage* layer = nullptr;
    Snapshot before;
};

TEST_F(FloatingMerge, UndoRedoUndoReplaysTheMergeExactly)
{
    ITzLayerImage* floating = Float();
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(layer->GetFloatingLayer(), floating);
    ASSERT_EQ(Merge(), 1);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    const Snapshot merged = Take(layer);
    EXPECT_FALSE(merged == before);
    EXPECT_TRUE(SameRect(merged.bounds, {0, 0, 420, 330}));
    _tagITzUNDOFLOATING* record = LastRecord(picture);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->head.toolID, ITzTOOLID_FLOATING);
    EXPECT_EQ(record->layerIndex, 1);
    EXPECT_TRUE(picture.IsModified());

    // The replay makes the record's layer active again.
    picture.SetActiveLayerID(0);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_TRUE(Take(layer) == merged);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
}

TEST_F(FloatingMerge, NothingToMergeSavesNoStep)
{
    EXPECT_EQ(tool.MergeFloatingLayer(nullptr), 0);
    EXPECT_EQ(tool.CreateFloatingLayer(nullptr), nullptr);
    EXPECT_EQ(Merge(), 0);
    EXPECT_FALSE(picture.IsModified());
    EXPECT_EQ(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
}

TEST_F(FloatingMerge, ActiveLayerOfAnotherKindIsRefused)
{
    ASSERT_EQ(picture.InsertLayer(2, new ITzLayerBase()), 0);
    picture.SetActiveLayerID(2);
    EXPECT_EQ(tool.CreateFloatingLayer(&picture), nullptr);
    EXPECT_EQ(Merge(), 0);
    EXPECT_FALSE(picture.IsModified());
}

TEST_F(FloatingMerge, MergeThatRunsOutOfScratchPagesKeepsTheFloatingLayer)
{
    // Through a selection every merged block needs a scratch page for the mask.
    FillGray(picture.GetSelectionLayer(1), {0, 0, 400, 300}, 255);
    ITzLayerImage* floating = Float();
    ASSERT_NE(floating, nullptr);
    {
        const PoolDrain drain;
        EXPECT_EQ(Merge(), 0);
    }
    EXPECT_EQ(layer->GetFloatingLayer(), floating);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_FALSE(picture.IsModified());
    EXPECT_EQ(picture.DoUndo(), 0);

    ASSERT_EQ(Merge(), 1);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
}

TEST_F(FloatingMerge, RecordNamingNoLayerOfItsKindIsLeftAlone)
{
    ASSERT_NE(Float(), nullptr);
    ASSERT_EQ(Merge(), 1);
    const Snapshot merged = Take(layer);
    _tagITzUNDOFLOATING* record = LastRecord(picture);
    ASSERT_NE(record, nullptr);
    const _tagITzUNDOFLOATING saved = *record;
    ASSERT_EQ(picture.InsertLayer(2, new ITzLayerBase()), 0);
    picture.SetActiveLayerID(0);

    auto refused = [&](uint16_t index, _tagITzBLOCKTYPE type) {
        record->layerIndex = index;
        record->blockType = type;
        EXPECT_EQ(tool.DoUndo(&picture, &record->head), 0);
        EXPECT_EQ(tool.DoRedo(&picture, &record->head), 0);
        EXPECT_EQ(picture.GetActiveLayerID(), 0);
        EXPECT_TRUE(Take(layer) == merged);
        EXPECT_TRUE(SameRect(record->bounds, saved.bounds));
        EXPECT_EQ(record->blockList, saved.blockList);
    };
    refused(7, ITzBLOCKTYPE_ARGB);                               // no layer there any more
    refused(2, ITzBLOCKTYPE_ARGB);                               // not an image layer
    refused(1, ITzBLOCKTYPE_GRAY);                               // blocks of another kind
    refused(ITzUNDOFLOATING_SELECTION_LAYER, ITzBLOCKTYPE_ARGB);  // no selection installed
    EXPECT_EQ(tool.DoUndo(nullptr, &record->head), 0);
    EXPECT_EQ(tool.DoUndo(&picture, nullptr), 0);

    *record = saved;
    EXPECT_EQ(tool.DoUndo(&picture, &record->head), 1);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    EXPECT_EQ(tool.DoRedo(&picture, &record->head), 1);  // back to the step the history holds as done
    EXPECT_TRUE(Take(layer) == merged);
}

TEST(FloatingFactory, FlotAndAutoRecordsReplayThroughTheirOwnKinds)
{
    ITzToolBase* flot = CreateToolByID(ITzTOOLID_FLOATING);
    ITzToolBase* automatic = CreateToolByID(ITzTOOLID_AUTO_MERGE);
    ASSERT_NE(dynamic_cast<ITzToolFloatingBase*>(flot), nullptr);
    EXPECT_EQ(dynamic_cast<ITzToolAutoMerge*>(flot), nullptr);
    EXPECT_EQ(flot->GetToolID(), ITzTOOLID_FLOATING);
    ASSERT_NE(dynamic_cast<ITzToolAutoMerge*>(automatic), nullptr);
    EXPECT_EQ(automatic->GetToolID(), ITzTOOLID_AUTO_MERGE);
    DestroyTool(flot);
    DestroyTool(automatic);
}

}  // namespace
