// The fold of a block's alpha (or gray value) after a mask is merged into it: a channel
// whose bytes all became equal turns into its byte, and one that differs anywhere (inside
// the merged rectangle, above or below it, or away from every cheap probe) keeps its data.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "base/memory.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_gray.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;
using Page = std::vector<uint8_t>;

constexpr int32_t kSide = 256;

// A one-block layer whose first channel holds the page (the others uniform 0).
Layer OneBlock(bool gray, const Page& first)
{
    Layer layer(gray ? static_cast<ITzLayerImage*>(new ITzLayerImageGray()) : new ITzLayerImageARGB());
    const PTzRECT bounds = {0, 0, kSide, kSide};
    EXPECT_EQ(layer->SetSize(&bounds, 1), 0);
    _tagITzBLOCKDATAINFO info = {gray ? 0u : 3u, {}};
    uint8_t value = 0;
    if (ITzBytesUniform(first.data(), ITzBLOCK_PAGE_BYTES, &value)) {
        info.channels[0].constant = value;
    } else {
        info.channels[0].data = ITzChannelExpand(0);
        const PTzHandleLockGuard bytes(info.channels[0].data);
        std::copy(first.begin(), first.end(), bytes.bytes());
    }
    EXPECT_EQ(layer->SetBlockInfo(0, &info), 0);
    return layer;
}

_tagITzCHANNELDATA FirstChannel(ITzLayerImage& layer)
{
    _tagITzBLOCKDATAINFO info = {};
    EXPECT_EQ(layer.GetBlockInfo(0, &info, 0), 0);
    return info.channels[0];
}

// Merges a mask of `value` bytes over `rect` at full strength.
void MergeFilled(ITzLayerImage& layer, const PTzRECT& rect, uint8_t value)
{
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    Page bytes(size_t(width) * size_t(height), value);
    _tagITzBITMAP mask = {width, height, width, 8, PTzCOLORMODE_GRAY, bytes.data()};
    ASSERT_EQ(layer.MergeMask(&mask, &rect, 255), 1);
}

Page Filled(uint8_t value)
{
    return Page(ITzBLOCK_PAGE_BYTES, value);
}

Page WithHole(uint8_t value, const PTzRECT& hole)
{
    Page page = Filled(value);
    for (int32_t y = hole.top; y < hole.bottom; ++y)
        for (int32_t x = hole.left; x < hole.right; ++x)
            page[size_t(y) * kSide + size_t(x)] = 0;
    return page;
}

TEST(LayerImageFloatingBlocks, AMaskThatMakesTheChannelUniformFoldsIt)
{
    const PTzRECT hole = {10, 10, 50, 50};
    for (const bool gray : {false, true}) {
        SCOPED_TRACE(gray ? "gray" : "argb");
        Layer cleared = OneBlock(gray, Filled(0));
        MergeFilled(*cleared, {0, 0, kSide, kSide}, 255);
        EXPECT_EQ(FirstChannel(*cleared).data, nullptr);
        EXPECT_EQ(FirstChannel(*cleared).constant, 255);

        // The union with 200 fills the hole to the level of the rest.
        Layer filled = OneBlock(gray, WithHole(200, hole));
        ASSERT_NE(FirstChannel(*filled).data, nullptr);
        MergeFilled(*filled, hole, 200);
        EXPECT_EQ(FirstChannel(*filled).data, nullptr);
        EXPECT_EQ(FirstChannel(*filled).constant, 200);
    }
}

TEST(LayerImageFloatingBlocks, AChannelThatDiffersAnywhereKeepsItsData)
{
    const PTzRECT hole = {10, 10, 50, 50};
    struct Case {
        std::string name;
        Page page;
    };
    std::vector<Case> cases;
    // One byte off, away from the corners, middles and centre of the rectangle and from
    // the block's first and last bytes.
    for (const auto& [name, x, y] : {std::tuple{"above", 100, 3}, std::tuple{"below", 100, 250},
                                     std::tuple{"inside", 17, 23}, std::tuple{"beside", 200, 30}}) {
        Page page = WithHole(200, hole);
        page[size_t(y) * kSide + size_t(x)] = 7;  // inside, the union makes it 202
        cases.push_back({name, page});
    }
    // A blank block and a mask whose one nonzero byte no probe reads.
    cases.push_back({"one mask byte", Filled(0)});
    for (const bool gray : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(gray ? "gray " : "argb ") + c.name);
            Layer layer = OneBlock(gray, c.page);
            if (c.name == "one mask byte") {
                Page bytes(size_t(kSide) * kSide, 0);
                bytes[size_t(37) * kSide + 100] = 1;
                _tagITzBITMAP mask = {kSide, kSide, kSide, 8, PTzCOLORMODE_GRAY, bytes.data()};
                const PTzRECT whole = {0, 0, kSide, kSide};
                ASSERT_EQ(layer->MergeMask(&mask, &whole, 255), 1);
            } else {
                MergeFilled(*layer, hole, 200);
            }
            const _tagITzCHANNELDATA channel = FirstChannel(*layer);
            ASSERT_NE(channel.data, nullptr);
            EXPECT_EQ(ITzChannelUniform(channel.data, nullptr), 0);
        }
}

}  // namespace
