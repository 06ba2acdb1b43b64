// The merge of a stroke's floating layer, whose unpainted blocks are uniform and
// transparent: under alpha-over and erase such blocks leave their targets untouched (the
// same records, no backup, a missing target still missing), and undo, redo and undo again
// stay exact. A merge type that does change the target merges them all the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/undo_block_list.h"
#include "layer_pixels_support.h"

namespace {

using layer_pixels::Layer;
using layer_pixels::Pixels;
using List = ITzUndoTwoLevelBlockList;

const PTzRECT kPainted = {0, 0, 512, 256};  // blocks 0 and 1; block 2 is missing
const PTzRECT kBounds = {0, 0, 768, 256};

bool Same(const Pixels& a, const Pixels& b)
{
    for (int p = 0; p < 4; ++p)
        if (a.planes[p] != b.planes[p])
            return false;
    return layer_pixels::SameRect(a.bounds, b.bounds);
}

std::set<uint32_t> Listed(ITzUndoBlockListBase& list)
{
    std::set<uint32_t> blocks;
    for (uint32_t i = 0; i < list.GetCount(); ++i)
        blocks.insert(list.GetBlockIndexOfItem(i));
    return blocks;
}

_tagITzBLOCKINFOARGB RecordOf(ITzLayerImage& layer, uint32_t index)
{
    _tagITzBLOCKINFOARGB record = {};
    EXPECT_EQ(static_cast<ITzLayerImageARGB&>(layer).GetBlockInfo(index, &record, 0), 0);
    return record;
}

// An ARGB layer over kBounds painted with random pixels over kPainted.
Layer MakeLayer(uint32_t seed)
{
    Pixels pixels = layer_pixels::RandomPixels(kPainted, seed);
    Layer layer = layer_pixels::MakeLayer(pixels);
    EXPECT_EQ(layer->SetSize(&kBounds, 0), 0);
    _tagITzBLOCKINFOARGB missing;
    EXPECT_EQ(static_cast<ITzLayerImageARGB&>(*layer).GetBlockInfo(2, &missing, 0), ITzERR_BLOCK_ABSENT);
    return layer;
}

// A floating layer aligned with the layer: block 0 painted with random values, blocks 1
// and 2 prepared as a stroke prepares new blocks.
Layer MakeFloating(ITzLayerImage& layer, bool eraseMask, std::mt19937& random)
{
    Layer floating(eraseMask ? layer.CreateFloatingEraseMask() : new ITzLayerImageARGB());
    if (!eraseMask) {
        EXPECT_EQ(layer.CreateMatchBlock(floating.get()), 1);
    }
    EXPECT_EQ(floating->SetSize(&kBounds, 1), 0);
    const uint32_t channels = floating->GetChannelCount();
    std::vector<uint8_t> bytes(size_t(channels) * 256 * 256);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    _tagITzCHANNELBITMAP bitmap = {256, 256, 256, int32_t(floating->GetColorMode()), {}};
    for (uint32_t c = 0; c < channels; ++c)
        bitmap.planes[c] = bytes.data() + size_t(c) * 256 * 256;
    const PTzRECT first = {0, 0, 256, 256};
    EXPECT_EQ(floating->SetRectChannelData(&bitmap, &first), 1);
    const _tagPTzCOLOR transparent = {floating->GetColorMode(), 0, {}};
    for (uint32_t block : {1u, 2u})
        EXPECT_EQ(floating->SetBlockColor(block, &transparent), 1);
    return floating;
}

// Undo, redo and undo again, each giving the layer exactly as it was.
void ExpectExactUndo(ITzLayerImage& layer, ITzUndoBlockListBase& undo, const Pixels& before, const Pixels& after)
{
    List redo(layer.GetBlockType()), undoAgain(layer.GetBlockType()), redoAgain(layer.GetBlockType());
    PTzRECT bounds, mergedBounds;
    ASSERT_EQ(layer.Undo(&kBounds, &undo, &bounds, &redo), 1);
    EXPECT_TRUE(Same(layer_pixels::ReadLayer(layer), before));
    ASSERT_EQ(layer.Undo(&bounds, &redo, &mergedBounds, &undoAgain), 1);
    EXPECT_TRUE(Same(layer_pixels::ReadLayer(layer), after));
    ASSERT_EQ(layer.Undo(&mergedBounds, &undoAgain, nullptr, &redoAgain), 1);
    EXPECT_TRUE(Same(layer_pixels::ReadLayer(layer), before));
}

TEST(LayerImageFloatingMerge, TransparentFloatingBlocksLeaveTheirTargetsUntouched)
{
    uint32_t seed = 1;
    for (const bool eraseMask : {false, true})
        for (const uint8_t opacity : {uint8_t(255), uint8_t(100)}) {
            SCOPED_TRACE(std::string(eraseMask ? "erase mask" : "alpha-over") + " at " + std::to_string(opacity));
            std::mt19937 random(seed++);
            Layer layer = MakeLayer(seed);
            Layer floating = MakeFloating(*layer, eraseMask, random);
            floating->SetOpacity(opacity);
            const _tagITzBLOCKINFOARGB untouched = RecordOf(*layer, 1);
            const Pixels before = layer_pixels::ReadLayer(*layer);

            List undo(layer->GetBlockType());
            ASSERT_EQ(layer->MergeAction(floating.get(), nullptr, &undo), 1);
            const _tagITzBLOCKINFOARGB kept = RecordOf(*layer, 1);
            for (int c = 0; c < 4; ++c) {
                EXPECT_EQ(kept.channels[c], untouched.channels[c]) << "channel " << c;
                EXPECT_EQ(kept.constants[c], untouched.constants[c]) << "channel " << c;
            }
            const std::set<uint32_t> listed = Listed(undo);
            EXPECT_EQ(listed.count(0), 1u);
            EXPECT_EQ(listed.count(1), 0u);
            EXPECT_EQ(listed.count(2), 0u);
            _tagITzBLOCKINFOARGB beyond;
            EXPECT_EQ(static_cast<ITzLayerImageARGB&>(*layer).GetBlockInfo(2, &beyond, 0), ITzERR_BLOCK_ABSENT);
            ExpectExactUndo(*layer, undo, before, layer_pixels::ReadLayer(*layer));
        }
}

TEST(LayerImageFloatingMerge, AMergeTypeThatChangesTheTargetMergesTransparentBlocksToo)
{
    // Without a selection the smudge merge copies the floating pixels, transparent ones
    // included.
    std::mt19937 random(5);
    Layer layer = MakeLayer(5);
    Layer floating = MakeFloating(*layer, false, random);
    floating->SetMergeType(ITzMERGE_SMUDGE);
    const Pixels before = layer_pixels::ReadLayer(*layer);
    List undo(layer->GetBlockType());
    ASSERT_EQ(layer->MergeAction(floating.get(), nullptr, &undo), 1);
    EXPECT_EQ(Listed(undo).count(1), 1u);
    const Pixels after = layer_pixels::ReadLayer(*layer);
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 256; x < 512; ++x)
            ASSERT_EQ(after.at(x, y, 0), 0u) << x << "," << y;
    ExpectExactUndo(*layer, undo, before, after);
}

TEST(LayerImageFloatingMerge, AGrayUnionWithAUniformZeroBlockLeavesTheTargetRecordAsItIs)
{
    // The target's data is even left unfolded: the merge does not look at it.
    Layer layer(new ITzLayerImageGray());
    const PTzRECT block = {0, 0, 256, 256};
    ASSERT_EQ(layer->SetSize(&block, 1), 0);
    const _tagITzBLOCKDATAINFO expanded = {0, {{ITzChannelExpand(90), 0}}};
    ASSERT_NE(expanded.channels[0].data, nullptr);
    ASSERT_EQ(layer->SetBlockInfo(0, &expanded), 0);
    Layer floating(new ITzLayerImageGray());
    ASSERT_EQ(layer->CreateMatchBlock(floating.get()), 1);
    ASSERT_EQ(floating->SetSize(&block, 1), 0);
    const _tagPTzCOLOR zero = {PTzCOLORMODE_GRAY, 255, {0}};
    ASSERT_EQ(floating->SetBlockColor(0, &zero), 1);
    floating->SetMergeType(ITzMERGE_NORMAL);
    ASSERT_EQ(layer->FloatMergeBlock(floating.get(), 0, 0, nullptr), 1);
    _tagITzBLOCKDATAINFO after = {};
    ASSERT_EQ(layer->GetBlockInfo(0, &after, 0), 0);
    EXPECT_EQ(after.channels[0].data, expanded.channels[0].data);
}

}  // namespace
