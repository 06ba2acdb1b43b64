// The alpha-over of a whole floating ARGB block into the block at its place, merged over
// the covered spans of its rows: the pixels of the whole-block kernel for sparse, uniform
// and dense sources, with and without a mask, the block left compact, and a failed
// expansion leaving it as it was.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/memory.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/merge_tile.h"
#include "merge_builds.h"

namespace {

constexpr uint32_t kPage = ITzBLOCK_PAGE_BYTES;
using Page = std::vector<uint8_t>;
using Planes = std::array<Page, 4>;
using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

// A channel given as bytes: uniform pages become constants, others handles.
void SetChannel(_tagITzBLOCKINFOARGB& record, int c, const Page& bytes)
{
    uint8_t value = 0;
    if (ITzBytesUniform(bytes.data(), kPage, &value)) {
        record.constants[c] = value;
        return;
    }
    record.channels[c] = ITzChannelExpand(0);
    ASSERT_NE(record.channels[c], nullptr);
    const PTzHandleLockGuard lock(record.channels[c]);
    std::copy(bytes.begin(), bytes.end(), lock.bytes());
}

_tagITzBLOCKINFOARGB MakeRecord(const Planes& planes)
{
    _tagITzBLOCKINFOARGB record = {ITzBLOCK_PRESENT, {}, {}};
    for (int c = 0; c < 4; ++c)
        SetChannel(record, c, planes[c]);
    return record;
}

// A one-block layer whose block holds the record (the layer takes its handles).
Layer LayerWith(_tagITzBLOCKINFOARGB record)
{
    Layer layer(new ITzLayerImageARGB());
    const PTzRECT bounds = {0, 0, 256, 256};
    EXPECT_EQ(layer->SetSize(&bounds, 1), 0);
    EXPECT_EQ(layer->SetBlockInfo(0, &record), 0);
    return layer;
}

_tagITzBLOCKINFOARGB BlockOf(ITzLayerImageARGB& layer)
{
    _tagITzBLOCKINFOARGB record = {};
    EXPECT_EQ(layer.GetBlockInfo(0, &record, 0), 0);
    return record;
}

// The floating layer over the target layer's block, merged into it.
int Merge(ITzLayerImageARGB& layer, ITzLayerImageARGB& floating, uint8_t opacity, const uint8_t* mask)
{
    floating.SetMergeType(ITzMERGE_NORMAL);
    floating.SetOpacity(opacity);
    _tagITzBLOCKMEMORYGRAY plane = {const_cast<uint8_t*>(mask)};
    return layer.FloatMergeBlock(&floating, 0, 0, mask ? &plane : nullptr);
}

Planes ReadRecord(const _tagITzBLOCKINFOARGB& record)
{
    Planes planes;
    for (int c = 0; c < 4; ++c) {
        planes[c].assign(kPage, 0);
        EXPECT_EQ(ITzChannelToPage(record.channels[c], record.constants[c], planes[c].data()), 0);
    }
    return planes;
}

Page Filled(uint8_t value)
{
    return Page(kPage, value);
}

Page Random(std::mt19937& random)
{
    Page page(kPage);
    for (uint8_t& byte : page)
        byte = uint8_t(random());
    return page;
}

// Alpha patterns a stroke leaves: isolated pixels at the block's edges and at vector
// borders, spans across them, a diagonal, a sparse scatter, and a dense page.
std::vector<std::pair<std::string, Page>> AlphaPatterns(std::mt19937& random)
{
    std::vector<std::pair<std::string, Page>> patterns;
    const auto with = [&](const std::string& name, const std::function<void(Page&)>& paint) {
        Page page = Filled(0);
        paint(page);
        patterns.emplace_back(name, page);
    };
    with("corners", [](Page& p) { p[0] = 9; p[kPage - 1] = 255; p[255] = 1; p[255 * 256] = 200; });
    with("vector borders", [](Page& p) { p[7 * 256 + 31] = 40; p[8 * 256 + 32] = 41; p[9 * 256 + 63] = 42; });
    with("spans across borders", [](Page& p) {
        for (int x = 30; x < 35; ++x)
            p[100 * 256 + x] = uint8_t(50 * (x - 29));
        for (int x = 220; x < 256; ++x)
            p[101 * 256 + x] = 255;
    });
    with("diagonal", [](Page& p) {
        for (int i = 0; i < 256; ++i)
            p[i * 256 + i] = uint8_t(i | 1);
    });
    with("sparse", [&](Page& p) {
        for (int i = 0; i < 1500; ++i)
            p[random() % kPage] = uint8_t(random() | 1);
    });
    patterns.emplace_back("dense", Random(random));
    patterns.emplace_back("uniform", Filled(128));
    patterns.emplace_back("zero bytes in a handle", Filled(0));
    return patterns;
}

// The whole-block kernel on the same pages: what every merge must give.
Planes Reference(const Planes& source, Planes target, uint8_t opacity, const uint8_t* mask)
{
    const uint8_t* from[4] = {source[0].data(), source[1].data(), source[2].data(), source[3].data()};
    uint8_t* to[4] = {target[0].data(), target[1].data(), target[2].data(), target[3].data()};
    const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, opacity};
    if (mask)
        ITzMergeBlockARGBMask(from, to, &merge, GetMathMerge(), mask);
    else
        ITzMergeBlockARGB(from, to, &merge, GetMathMerge());
    return target;
}

bool Compact(const _tagITzBLOCKINFOARGB& record)
{
    for (PTzHANDLE channel : record.channels)
        if (channel && ITzChannelUniform(channel, nullptr))
            return false;
    return true;
}

class MergeAlphaOverBlock : public MergeBuildTest {};

TEST_P(MergeAlphaOverBlock, GivesTheWholeBlockKernelsPixelsAndStaysCompact)
{
    std::mt19937 random(12);
    const Page mask = Random(random);
    const std::vector<std::pair<std::string, Planes>> targets = {
        {"transparent black", {Filled(0), Filled(0), Filled(0), Filled(0)}},
        {"opaque source colour", {Filled(255), Filled(10), Filled(20), Filled(30)}},
        {"half-covered other colour", {Filled(90), Filled(200), Filled(20), Filled(0)}},
        {"random", {Random(random), Random(random), Random(random), Random(random)}},
    };
    const std::vector<std::pair<std::string, std::array<Page, 3>>> colours = {
        {"uniform colour", {Filled(10), Filled(20), Filled(30)}},
        {"random colour", {Random(random), Random(random), Random(random)}},
    };
    for (const auto& [alphaName, alpha] : AlphaPatterns(random))
        for (const auto& [colourName, colour] : colours)
            for (const auto& [targetName, targetPlanes] : targets)
                for (const uint8_t opacity : {uint8_t(255), uint8_t(180)})
                    for (const bool masked : {false, true}) {
                        SCOPED_TRACE(alphaName + ", " + colourName + " onto " + targetName + ", opacity " +
                                     std::to_string(opacity) + (masked ? ", masked" : ""));
                        const Planes sourcePlanes = {alpha, colour[0], colour[1], colour[2]};
                        _tagITzBLOCKINFOARGB source = MakeRecord(sourcePlanes);
                        if (alphaName == "zero bytes in a handle") {
                            source.channels[0] = ITzChannelExpand(0);
                            ASSERT_NE(source.channels[0], nullptr);
                        }
                        const Layer floating = LayerWith(source);
                        const Layer layer = LayerWith(MakeRecord(targetPlanes));
                        const uint8_t* maskBytes = masked ? mask.data() : nullptr;
                        ASSERT_EQ(Merge(*layer, *floating, opacity, maskBytes), 1);
                        const _tagITzBLOCKINFOARGB merged = BlockOf(*layer);
                        EXPECT_TRUE(ReadRecord(merged) == Reference(sourcePlanes, targetPlanes, opacity, maskBytes));
                        EXPECT_TRUE(Compact(merged));
                    }
}

TEST_P(MergeAlphaOverBlock, AChannelThatCannotChangeIsNotExpanded)
{
    // A same-colour stroke onto an opaque block of that colour: only the alpha could
    // change, and it is opaque already, so the merge needs no allocation at all.
    Page alpha = Filled(0);
    alpha[300] = 77;
    const Layer floating = LayerWith(MakeRecord({alpha, Filled(10), Filled(20), Filled(30)}));
    const Layer layer = LayerWith(MakeRecord({Filled(255), Filled(10), Filled(20), Filled(30)}));
    PTzTestSetAllocationCountdown(0);
    const int merged = Merge(*layer, *floating, 255, nullptr);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(merged, 1);
    const _tagITzBLOCKINFOARGB block = BlockOf(*layer);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(block.channels[c], nullptr);
    EXPECT_EQ(block.constants[0], 255);
}

TEST_P(MergeAlphaOverBlock, AFailedExpansionLeavesTheBlockAsItWas)
{
    std::mt19937 random(3);
    Page alpha = Filled(0);
    alpha[1000] = 200;
    const Layer floating = LayerWith(MakeRecord({alpha, Random(random), Filled(0), Filled(0)}));
    const Page red = Random(random);
    const Layer layer = LayerWith(MakeRecord({Filled(0), red, Filled(5), Filled(6)}));
    const _tagITzBLOCKINFOARGB before = BlockOf(*layer);
    // The alpha and two colours need handles; the second allocation fails.
    PTzTestSetAllocationCountdown(1);
    const int merged = Merge(*layer, *floating, 255, nullptr);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(merged, 0);
    const _tagITzBLOCKINFOARGB after = BlockOf(*layer);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(after.channels[c], before.channels[c]);
        EXPECT_EQ(after.constants[c], before.constants[c]);
    }
    EXPECT_TRUE(ReadRecord(after)[1] == red);
}

INSTANTIATE_MERGE_BUILDS(MergeAlphaOverBlock);

}  // namespace
