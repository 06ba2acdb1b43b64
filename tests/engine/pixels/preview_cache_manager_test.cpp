// The preview-cache manager: how rectangles map to the levels, when levels are made and
// what they take from the source layer, how they follow its moves and size, and the
// stepwise preparation of all levels.
#include "engine/pixels/preview_cache_manager.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/error_codes.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_cache_levels.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

Layer MakeLayer(PTzRECT bounds)
{
    Layer layer(new ITzLayerImageARGB());
    layer->SetSize(&bounds, 1);
    return layer;
}

ITzPreviewCacheManager* ManagerOf(ITzLayerImage& layer)
{
    return dynamic_cast<ITzPreviewCacheManager*>(layer.GetCacheManager());
}

bool Same(const PTzRECT& a, const PTzRECT& b)
{
    return PTzRectEqual(&a, &b) != 0;
}

PTzRECT Bounds(ITzLayerImage& layer)
{
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    return bounds;
}

}  // namespace

TEST(PreviewCacheLevels, RectanglesMapOutwardAroundTheOrigin)
{
    const PTzRECT rect = {1, 1, 3, 3};
    EXPECT_TRUE(Same(lumatra::MapToLevel(rect, {0, 0}, 1), {0, 0, 2, 2}));
    EXPECT_TRUE(Same(lumatra::MapToLevel(rect, {0, 0}, 2), {0, 0, 1, 1}));
    const PTzPOINT origin = {3, 0};
    EXPECT_EQ(lumatra::LevelStart(3, origin.x, 1), 1);
    EXPECT_EQ(lumatra::LevelStart(4, origin.x, 1), 1);
    EXPECT_EQ(lumatra::LevelStart(5, origin.x, 1), 2);
    // Negative coordinates shift arithmetically: pixel -1 is in level pixel -1.
    EXPECT_TRUE(Same(lumatra::MapToLevel({-1, -9, 0, -8}, {0, 0}, 3), {-1, -2, 0, -1}));
    // A level pixel starts where its source square starts, and its finer pixels too.
    EXPECT_EQ(lumatra::LevelToSource(lumatra::LevelStart(5, 3, 1), 3, 1), 5);
    EXPECT_EQ(lumatra::LevelToFiner(2, 3, 2), 5);  // (2 - (3 >> 2)) x 2 + (3 >> 1)
    // Extreme rectangles stay inside 32 bits.
    const PTzRECT huge = lumatra::MapToLevel({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {INT32_MAX, 0}, 1);
    EXPECT_LT(huge.left, huge.right);
}

TEST(PreviewCacheManager, LevelsAreMadeOnFirstUseWithTheSourcesLookAndSize)
{
    Layer layer = MakeLayer({-10, 3, 1000, 700});
    layer->SetOpacity(77);
    layer->SetMergeType(ITzMERGE_ERASE);
    ITzPreviewCacheManager* manager = ManagerOf(*layer);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->GetSourceLayer(), layer.get());
    EXPECT_EQ(manager->GetCacheLayer(0), nullptr);
    EXPECT_EQ(manager->GetCacheLayer(9), nullptr);
    EXPECT_EQ(manager->GetExistingLevel(3), nullptr);
    ITzLayerImage* three = layer->GetCacheLayer(3);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(manager->GetExistingLevel(3), three);
    EXPECT_EQ(layer->GetCacheLayer(3), three);
    EXPECT_TRUE(Same(Bounds(*three), {-2, 0, 125, 88}));
    EXPECT_EQ(three->GetOpacity(), 77);
    EXPECT_EQ(three->GetMergeType(), ITzMERGE_ERASE);
    EXPECT_EQ(three->GetBlockCount(), 2u);
    EXPECT_EQ(three->BlockDataAvailable(0), 0);  // built when read
    // A cache level has no cache of its own.
    EXPECT_EQ(three->GetCacheManager(), nullptr);

    layer->SetOpacity(12);
    EXPECT_EQ(three->GetOpacity(), 12);
    EXPECT_EQ(layer->GetCacheLayer(8)->GetOpacity(), 12);
}

TEST(PreviewCacheManager, LevelsMoveByWholeLevelPixelsAndTheOriginByTheRest)
{
    Layer layer = MakeLayer({0, 0, 600, 600});
    ITzPreviewCacheManager* manager = ManagerOf(*layer);
    ITzLayerImage* one = layer->GetCacheLayer(1);
    ITzLayerImage* two = layer->GetCacheLayer(2);
    _tagPTzOFFSET by = {3, -1};
    layer->Move(&by);
    EXPECT_EQ(manager->GetOrigin().x, 3);
    EXPECT_EQ(manager->GetOrigin().y, -1);
    EXPECT_TRUE(Same(Bounds(*one), {1, -1, 301, 299}));  // 3 >> 1 = 1, -1 >> 1 = -1
    EXPECT_TRUE(Same(Bounds(*two), {0, -1, 150, 149}));
    layer->Move(&by);  // origin (6, -2)
    EXPECT_TRUE(Same(Bounds(*one), {3, -1, 303, 299}));
    EXPECT_TRUE(Same(Bounds(*two), {1, -1, 151, 149}));
    // The levels still cover the source's bounds mapped with the new origin.
    PTzRECT source;
    layer->GetBounds(&source);
    EXPECT_TRUE(Same(Bounds(*two), lumatra::MapToLevel(source, manager->GetOrigin(), 2)));
    EXPECT_EQ(manager->MoveCore(nullptr), ITzERR_INVALID);
}

TEST(PreviewCacheManager, ASizeChangeDropsEveryBlockAndResizesTheLevels)
{
    Layer layer = MakeLayer({0, 0, 600, 600});
    ITzLayerImage* one = layer->GetCacheLayer(1);
    _tagITzBLOCKDATAINFO info;
    ASSERT_EQ(one->GetBlockInfo(0, &info, 1), 0);
    const PTzRECT smaller = {100, 100, 300, 700};
    ASSERT_EQ(layer->SetSize(&smaller, 1), 0);
    EXPECT_TRUE(Same(Bounds(*one), {50, 50, 150, 350}));
    for (uint32_t i = 0; i < one->GetBlockCount(); ++i)
        EXPECT_EQ(one->BlockDataAvailable(i), 0);

    // Taking another cache's origin empties the levels and sizes them with it.
    Layer other = MakeLayer({0, 0, 10, 10});
    ITzPreviewCacheManager* otherManager = ManagerOf(*other);
    _tagPTzOFFSET by = {1, 1};
    other->Move(&by);
    ITzPreviewCacheManager* manager = ManagerOf(*layer);
    ASSERT_EQ(manager->CopyOrigin(otherManager), 1);
    EXPECT_EQ(manager->GetOrigin().x, 1);
    EXPECT_TRUE(Same(Bounds(*one), lumatra::MapToLevel(smaller, {1, 1}, 1)));
    EXPECT_EQ(manager->CopyOrigin(nullptr), 0);
}

TEST(PreviewCacheManager, PreparationBuildsEveryBlockOfTheEightLevels)
{
    Layer layer = MakeLayer({0, 0, 1000, 600});
    const _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {255, 0, 0}};
    const PTzRECT rect = {0, 0, 1000, 600};
    layer->FillRect(&rect, &red);
    ITzPreviewCacheManager* manager = ManagerOf(*layer);
    // Levels 1-8: 2 x 2 blocks at level 1, one block from level 2 on.
    const uint32_t priority = layer->PreparePreviewCachePriority();
    EXPECT_EQ(priority, 4u + 7u);
    void* job = layer->PreparePreviewCacheStart();
    ASSERT_NE(job, nullptr);
    uint32_t steps = 0, built = 0, done = 0;
    while (layer->PreparePreviewCacheRun(job, &built)) {
        ++steps;
        done += built;
    }
    EXPECT_EQ(steps + 1, priority + 8);
    EXPECT_EQ(done, priority);
    EXPECT_EQ(layer->PreparePreviewCacheRun(job, &built), 0);
    EXPECT_EQ(layer->PreparePreviewCacheEnd(job), 1);
    for (uint8_t n = 1; n <= 8; ++n) {
        ITzLayerImage* level = manager->GetExistingLevel(n);
        ASSERT_NE(level, nullptr);
        for (uint32_t i = 0; i < level->GetBlockCount(); ++i)
            EXPECT_EQ(level->BlockDataAvailable(i), 1);
        _tagPTzCOLOR colour;
        const PTzPOINT corner = {0, 0};
        level->GetPixelColor(&corner, &colour);
        EXPECT_EQ(colour.alpha, 255);
        EXPECT_EQ(colour.components[0], 255);
    }
    EXPECT_EQ(manager->PreparePreviewCacheRun(nullptr, &built), 0);
    EXPECT_EQ(manager->PreparePreviewCacheEnd(nullptr), 0);
}

TEST(PreviewCacheManager, NullRectanglesAndLevelsOutOfRangeChangeNothing)
{
    Layer layer = MakeLayer({0, 0, 300, 300});
    ITzPreviewCacheManager* manager = ManagerOf(*layer);
    EXPECT_EQ(manager->BlockDataUpdated(nullptr), 0);
    EXPECT_EQ(manager->RebuildPreview(nullptr, 1), 0);
    const PTzRECT rect = {0, 0, 10, 10};
    EXPECT_EQ(manager->UpdataPreviewForBrush(9, &rect, 16), 0);
    EXPECT_EQ(manager->UpdataPreviewForBrush(1, nullptr, 16), 0);
    EXPECT_EQ(ITzPreviewCacheManager::MakeForLayer(nullptr), nullptr);
    EXPECT_EQ(ITzPreviewCacheManager::MakeForLayer(layer->GetCacheLayer(1)), nullptr);
}
