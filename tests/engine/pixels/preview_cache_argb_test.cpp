// The ARGB preview-cache levels: blocks built on read equal the plain reduction whichever
// finer level they come from, edits drop or rebuild exactly the blocks under them, and a
// failed build is tried again.
#include "engine/pixels/preview_cache_level.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/preview_cache_fill.h"
#include "engine/pixels/preview_cache_manager.h"
#include "preview_cache_test_support.h"

using namespace preview_test;

namespace {

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

constexpr PTzPOINT kZero = {0, 0};

PTzRECT Bounds(ITzLayerImage& layer)
{
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    return bounds;
}

// Builds every block of a level by reading it.
void ReadWholeLevel(ITzLayerImage& level)
{
    ReadLevel(level, Bounds(level));
}

Image Moved(const Image& image, int32_t dx, int32_t dy)
{
    Image moved = image;
    moved.rect = {image.rect.left + dx, image.rect.top + dy, image.rect.right + dx, image.rect.bottom + dy};
    return moved;
}

}  // namespace

TEST(PreviewCacheARGB, ALevelBuiltRecursivelyEqualsOneBuiltLevelByLevel)
{
    const Image image = RandomImage({-300, 170, 800, 1070}, 11);
    Layer direct(MakeLayer(image)), stepped(MakeLayer(image));
    ITzLayerImage* directLevel = direct->GetCacheLayer(4);
    ASSERT_NE(directLevel, nullptr);
    ExpectLevel(*directLevel, LevelImage(image, kZero, 4), true);
    for (uint8_t n = 1; n <= 3; ++n)
        EXPECT_FALSE(AnyBlockHasData(*direct->GetCacheLayer(n))) << "level " << int(n) << " built on the way";
    for (uint8_t n = 1; n <= 4; ++n)
        ExpectLevel(*stepped->GetCacheLayer(n), LevelImage(image, kZero, n), true);

    // Moved by odd amounts the levels' squares no longer sit on block borders: the
    // origin keeps them aligned, and a level made from a finer one straddles its blocks.
    _tagPTzOFFSET by = {5, 6};
    direct->Move(&by);
    stepped->Move(&by);
    const Image moved = Moved(image, 5, 6);
    const PTzPOINT origin = {5, 6};
    direct->InvalideCache(4);
    ExpectLevel(*directLevel, LevelImage(moved, origin, 4), false);
    ExpectLevel(*stepped->GetCacheLayer(2), LevelImage(moved, origin, 2), true);
    stepped->InvalideCache(3);
    stepped->InvalideCache(4);
    for (uint8_t n = 3; n <= 4; ++n)
        ExpectLevel(*stepped->GetCacheLayer(n), LevelImage(moved, origin, n), false);
}

TEST(PreviewCacheARGB, ALevelMadeAfterAMoveReadsAcrossTheFinerLevelsBlocks)
{
    // Level 1 moves by 5 >> 1 = 2 pixels, so its block borders sit 2 pixels off those
    // of a level 2 made afterwards: each part of level 2 spans two blocks of level 1.
    const Image image = RandomImage({-300, 170, 800, 1070}, 13);
    Layer layer(MakeLayer(image));
    ReadWholeLevel(*layer->GetCacheLayer(1));
    _tagPTzOFFSET by = {5, 6};
    layer->Move(&by);
    const Image moved = Moved(image, 5, 6);
    const PTzPOINT origin = {5, 6};
    ITzLayerImage* one = layer->GetCacheLayer(1);
    ExpectLevel(*one, LevelImage(moved, origin, 1), true);
    // With one of them missing, the parts across it come from the source instead.
    one->BlockDataInvalid(1);
    ExpectLevel(*layer->GetCacheLayer(2), LevelImage(moved, origin, 2), true);
    EXPECT_EQ(one->BlockDataAvailable(1), 0);
}

TEST(PreviewCacheARGB, TheDeepestLevelsSumWholeSquaresWithoutOverflow)
{
    Image white({0, 0, 512, 300});
    for (auto& plane : white.planes)
        std::fill(plane.begin(), plane.end(), 255);
    Layer layer(MakeLayer(white));
    ExpectLevel(*layer->GetCacheLayer(8), LevelImage(white, kZero, 8), true);
    const Image image = RandomImage({-256, 0, 300, 520}, 3);
    Layer random(MakeLayer(image));
    ExpectLevel(*random->GetCacheLayer(8), LevelImage(image, kZero, 8), true);
    ExpectLevel(*random->GetCacheLayer(7), LevelImage(image, kZero, 7), true);
}

TEST(PreviewCacheARGB, TheRecursionRefusesDepthsWithoutASquareToSplit)
{
    const Image image = RandomImage({0, 0, 300, 300}, 5);
    Layer layer(MakeLayer(image));
    auto* manager = static_cast<ITzPreviewCacheManager*>(layer->GetCacheManager());
    int calls = 0;
    auto reduce = [&calls](ITzLayerImage&, const PTzRECT&, const PTzRECT&, uint32_t, bool) {
        ++calls;
        return 0;
    };
    const PTzRECT rect = {0, 0, 2, 2}, part = {0, 0, 1, 1};
    // At depth 8 a part is one pixel: splitting it would take squares of 2^-1.
    EXPECT_EQ(lumatra::FillFromLevel(*manager, 1, rect, part, 8, reduce), ITzERR_INVALID);
    EXPECT_EQ(lumatra::FillFromLevel(*manager, 1, rect, part, 9, reduce), ITzERR_INVALID);
    EXPECT_EQ(lumatra::FillFromLevel(*manager, 1, rect, part, 0, reduce), ITzERR_INVALID);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(lumatra::FillFromLevel(*manager, 0, {0, 0, 256, 256}, part, 8, reduce), 0);
    EXPECT_EQ(calls, 1);
    auto failing = [](ITzLayerImage&, const PTzRECT&, const PTzRECT&, uint32_t, bool) { return ITzERR_INVALID; };
    EXPECT_EQ(lumatra::FillFromLevel(*manager, 2, {0, 0, 256, 256}, {0, 0, 64, 64}, 2, failing),
              ITzERR_PREVIEW_REDUCE);
}

TEST(PreviewCacheARGB, TheLevelOfAChangedRectangleIsRebuiltAndNothingElse)
{
    Image image = RandomImage({0, 0, 1300, 1100}, 21);
    Layer layer(MakeLayer(image));
    std::vector<std::vector<_tagITzBLOCKINFOARGB>> before(4);
    for (uint8_t n = 1; n <= 3; ++n) {
        ITzLayerImageARGB* level = static_cast<ITzLayerImageARGB*>(layer->GetCacheLayer(n));
        ReadWholeLevel(*level);
        for (uint32_t i = 0; i < level->GetBlockCount(); ++i) {
            _tagITzBLOCKINFOARGB record;
            ASSERT_EQ(level->GetBlockInfo(i, &record, 0), 0);
            before[n].push_back(record);
        }
    }
    // Rewrite a rectangle inside source block (2, 1) and announce that block.
    const PTzRECT changed = {530, 300, 560, 340};
    const Image fresh = RandomImage(changed, 99);
    for (int32_t y = changed.top; y < changed.bottom; ++y)
        for (int32_t x = changed.left; x < changed.right; ++x)
            for (int c = 0; c < 4; ++c)
                image.at(c, x, y) = fresh.get(c, x, y);
    WriteImage(*layer, image, changed);
    const _tagITzBLOCKPOSITION position = {2, 1};
    layer->BlockDataUpdated(layer->BlockPosToIndex(&position));

    const PTzRECT sourceBlock = {512, 256, 768, 512};
    for (uint8_t n = 1; n <= 3; ++n) {
        ITzLayerImageARGB* level = static_cast<ITzLayerImageARGB*>(layer->GetCacheLayer(n));
        const PTzRECT dropped = lumatra::MapToLevel(sourceBlock, kZero, n);
        for (uint32_t i = 0; i < level->GetBlockCount(); ++i) {
            PTzRECT block, overlap;
            level->GetBlockPictRect(i, &block);
            const bool under = PTzRectIntersect(&block, &dropped, &overlap) != 0;
            EXPECT_EQ(level->BlockDataAvailable(i), under ? 0 : 1) << "level " << int(n) << " block " << i;
            _tagITzBLOCKINFOARGB record;
            level->ITzLayerImageARGB::GetBlockInfo(i, &record, 0);
            for (int c = 0; c < 4 && !under; ++c)
                EXPECT_EQ(record.channels[c], before[n][i].channels[c]);
        }
        ExpectLevel(*level, LevelImage(image, kZero, n), false);
        // Reading built only the dropped blocks: the others still hold their records.
        for (uint32_t i = 0; i < level->GetBlockCount(); ++i) {
            PTzRECT block, overlap;
            level->GetBlockPictRect(i, &block);
            _tagITzBLOCKINFOARGB record;
            ASSERT_EQ(level->ITzLayerImageARGB::GetBlockInfo(i, &record, 0), 0);
            if (!PTzRectIntersect(&block, &dropped, &overlap)) {
                EXPECT_EQ(record.channels[1], before[n][i].channels[1]);
            }
        }
    }
}

TEST(PreviewCacheARGB, RebuildAndBrushUpdatesRewriteTheirLevelsAtOnce)
{
    Image image = RandomImage({0, 0, 700, 600}, 8);
    Layer layer(MakeLayer(image));
    for (uint8_t n = 1; n <= 2; ++n)
        ReadWholeLevel(*layer->GetCacheLayer(n));
    const Image old = image;
    const PTzRECT changed = {100, 40, 420, 330};
    const Image fresh = RandomImage(changed, 77);
    for (int32_t y = changed.top; y < changed.bottom; ++y)
        for (int32_t x = changed.left; x < changed.right; ++x)
            for (int c = 0; c < 4; ++c)
                image.at(c, x, y) = fresh.get(c, x, y);
    WriteImage(*layer, image, changed);

    // Flag 1: the alpha of every existing level, straight away; colours stay.
    auto* manager = static_cast<ITzPreviewCacheManager*>(layer->GetCacheManager());
    ASSERT_EQ(manager->RebuildPreview(&changed, 1), 1);
    EXPECT_EQ(manager->RebuildPreview(nullptr, 1), 0);
    for (uint8_t n = 1; n <= 2; ++n) {
        ITzLayerImage* level = layer->GetCacheLayer(n);
        const Image expected = LevelImage(image, kZero, n), stale = LevelImage(old, kZero, n);
        const Image read = ReadLevel(*level, expected.rect);
        EXPECT_EQ(read.planes[0], expected.planes[0]) << "level " << int(n);
        const PTzRECT mapped = lumatra::MapToLevel(changed, kZero, n);
        const int32_t x = mapped.left + 3, y = mapped.top + 3;
        if (!stale.weightless[stale.index(x, y)]) {
            EXPECT_EQ(read.get(1, x, y), stale.get(1, x, y));
        }
    }

    // Type 16 rewrites one level's four channels from the source; the others keep theirs.
    EXPECT_EQ(manager->UpdataPreviewForBrush(2, &changed, 16), 1);
    ExpectLevel(*layer->GetCacheLayer(2), LevelImage(image, kZero, 2), false);
    const Image levelOne = ReadLevel(*layer->GetCacheLayer(1), LevelImage(image, kZero, 1).rect);
    const Image staleOne = LevelImage(old, kZero, 1);
    const PTzRECT one = lumatra::MapToLevel(changed, kZero, 1);
    EXPECT_EQ(levelOne.get(2, one.left + 5, one.top + 5), staleOne.get(2, one.left + 5, one.top + 5));
    EXPECT_EQ(manager->UpdataPreviewForBrush(0, &changed, 16), 0);
    EXPECT_EQ(manager->UpdataPreviewForBrush(3, &changed, 16), 0);  // level 3 was never made
    EXPECT_EQ(manager->UpdataPreviewForBrush(2, &changed, 5), 0);   // no such type
}

TEST(PreviewCacheARGB, AFailedBuildLeavesTheBlockMissingForTheNextRead)
{
    const Image image = RandomImage({0, 0, 400, 300}, 2);
    Layer layer(MakeLayer(image));
    ITzLayerImage* level = layer->GetCacheLayer(1);
    ASSERT_NE(level, nullptr);
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    ASSERT_NE(pool, nullptr);
    uint8_t* borrowed = pool->Alloc((ITzBLOCK_PAGE_COUNT - pool->pagesInUse()) * ITzBLOCK_PAGE_BYTES);
    ASSERT_NE(borrowed, nullptr);
    _tagITzBLOCKDATAINFO info;
    EXPECT_EQ(level->GetBlockInfo(0, &info, 1), ITzERR_BLOCK_ABSENT);
    EXPECT_EQ(level->PrepareBlockData(0), 0);
    EXPECT_EQ(level->BlockDataAvailable(0), 0);
    pool->Free(borrowed);
    EXPECT_EQ(level->GetBlockInfo(0, &info, 1), 0);
    ExpectLevel(*level, LevelImage(image, kZero, 1), true);
}

TEST(PreviewCacheARGB, GrownBlocksCallTheInitialiserWithTheirLevel)
{
    const Image image = RandomImage({0, 0, 300, 300}, 4);
    Layer layer(MakeLayer(image));
    ITzLayerImage* level = layer->GetCacheLayer(1);
    std::vector<std::pair<ITzLayerImage*, int>> calls;
    _tagITzIMAGELAYERBLOCKINITCBSTR init = {
        [](ITzLayerImage* grown, uint8_t n, uint32_t, void* user) {
            static_cast<std::vector<std::pair<ITzLayerImage*, int>>*>(user)->push_back({grown, n});
            return 1;
        },
        &calls};
    const PTzRECT wider = {0, 0, 1300, 300};
    ASSERT_EQ(layer->GrowSize(&wider, &init), 0);
    PTzRECT bounds;
    level->GetBounds(&bounds);
    EXPECT_EQ(bounds.right, 650);
    // The layer's own new blocks come first, then level 1's: 1 block became 3.
    int levelCalls = 0;
    for (const auto& call : calls)
        if (call.first == level && call.second == 1)
            ++levelCalls;
    EXPECT_EQ(levelCalls, 2);
}
