// The ARGB layer's block streaming: a block written channel by channel and read back
// into another layer's grid is the same block, a missing block streams as transparent
// black, and a failed read or page stores nothing and leaks nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/layer_image_argb.h"
#include "layer_pixels_support.h"

namespace {

using ARGBLayer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

// One channel as streamed: a page's bytes, or a uniform channel's value.
struct Channel {
    std::vector<uint8_t> page;
    uint8_t value = 0;
    bool operator==(const Channel&) const = default;
};
using Block = std::vector<Channel>;

Block Stream(ITzLayerImageARGB& layer, uint32_t index)
{
    Block block;
    const auto collect = [](uint32_t channel, const uint8_t* page, uint8_t value, void* user) {
        auto& out = *static_cast<Block*>(user);
        EXPECT_EQ(channel, out.size());
        out.push_back(page ? Channel{{page, page + ITzBLOCK_PAGE_BYTES}, 0} : Channel{{}, value});
        return true;
    };
    EXPECT_TRUE(layer.WriteBlockChannels(index, collect, &block));
    return block;
}

// Gives a streamed block's channels back, refusing channel `refuseAt` (4: none).
struct Feed {
    const Block* block;
    uint32_t refuseAt;

    static bool Read(uint32_t channel, uint8_t* page, uint8_t* value, void* user)
    {
        const auto& feed = *static_cast<Feed*>(user);
        if (channel == feed.refuseAt)
            return false;
        const Channel& from = (*feed.block)[channel];
        EXPECT_EQ(page == nullptr, from.page.empty());
        if (page)
            std::copy(from.page.begin(), from.page.end(), page);
        else
            *value = from.value;
        return true;
    }
};

// An empty layer with a grid of `across` x 1 blocks and none stored, as the native
// reader makes it before the blocks arrive.
ARGBLayer EmptyGrid(uint16_t across)
{
    ARGBLayer layer(new ITzLayerImageARGB());
    EXPECT_EQ(layer->InitBlockList(), 0);
    layer->DWKSetBlockCountX(across);
    layer->DWKSetBlockCountY(1);
    return layer;
}

uint8_t UniformMask(const Block& block)
{
    uint8_t mask = 0;
    for (size_t c = 0; c < block.size(); ++c)
        if (block[c].page.empty())
            mask |= uint8_t(1u << c);
    return mask;
}

}  // namespace

TEST(LayerImageARGBBlockStream, BlocksStreamOutAndBackChannelByChannel)
{
    // Opaque random colours over one block and a part of the next: the first block's
    // alpha is uniform, the second's is not.
    layer_pixels::Pixels pixels = layer_pixels::RandomPixels({0, 0, 300, 256}, 7);
    std::fill(pixels.planes[0].begin(), pixels.planes[0].end(), 255);
    layer_pixels::Layer made = layer_pixels::MakeLayer(pixels);
    auto& source = static_cast<ITzLayerImageARGB&>(*made);
    ARGBLayer target = EmptyGrid(2);
    for (uint32_t index = 0; index < 2; ++index) {
        const Block block = Stream(source, index);
        ASSERT_EQ(block.size(), 4u);
        EXPECT_EQ(source.GetBlockUniformChannels(index), UniformMask(block));
        Feed feed = {&block, 4};
        ASSERT_EQ(target->ReadBlockChannels(index, UniformMask(block), &Feed::Read, &feed), 0);
        EXPECT_TRUE(Stream(*target, index) == block);
    }
    EXPECT_EQ(source.GetBlockUniformChannels(0), 1);
    EXPECT_EQ(source.GetBlockUniformChannels(1), 0);
}

TEST(LayerImageARGBBlockStream, AMissingBlockStreamsAsTransparentBlack)
{
    ARGBLayer layer(new ITzLayerImageARGB());
    const PTzRECT bounds = {0, 0, 10, 10};
    ASSERT_EQ(layer->SetSize(&bounds, 0), 0);
    EXPECT_EQ(layer->GetBlockUniformChannels(0), 0x0F);
    EXPECT_TRUE(Stream(*layer, 0) == Block(4));
}

TEST(LayerImageARGBBlockStream, AFailedReadOrPageStoresNothing)
{
    // Channels 0 and 2 uniform, 1 and 3 pages; LeakSanitizer sees a page left behind.
    const Block block = {{{}, 9}, {std::vector<uint8_t>(ITzBLOCK_PAGE_BYTES, 1), 0}, {{}, 7},
                         {std::vector<uint8_t>(ITzBLOCK_PAGE_BYTES, 2), 0}};
    for (uint32_t refuseAt = 0; refuseAt < 4; ++refuseAt) {
        ARGBLayer layer = EmptyGrid(1);
        Feed feed = {&block, refuseAt};
        EXPECT_EQ(layer->ReadBlockChannels(0, 0x05, &Feed::Read, &feed), ITzERR_INVALID) << refuseAt;
        EXPECT_EQ(layer->GetBlockCount(), 0u);
    }
    ARGBLayer layer = EmptyGrid(1);
    Feed feed = {&block, 4};
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(layer->ReadBlockChannels(0, 0x05, &Feed::Read, &feed), ITzERR_CHANNEL_EXPAND);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(layer->GetBlockCount(), 0u);
    EXPECT_EQ(layer->ReadBlockChannels(0, 0x05, nullptr, nullptr), ITzERR_INVALID);
}
