// The picture's preview: sizes at a zoom, which layers a composition draws and in what
// order, the pixels it gives, the stepwise cache job's progress, zoomed-out previews
// drawn from the layers' caches, and scratch bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../pixels/preview_cache_test_support.h"
#include "base/error_codes.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/preview_cache_link.h"
#include "picture_test_support.h"

using namespace picture_test;
using preview_test::AnyBlockHasData;
using preview_test::Image;
using preview_test::LevelImage;
using preview_test::RandomImage;
using preview_test::WriteImage;

namespace {

// Reports full cover when told to and logs its draws as name, or name + 100 for a save.
class SpyLayer : public ITzLayerImageARGB {
public:
    using ITzLayerImageARGB::PreviewMergeToBitmap;
    SpyLayer(std::vector<int>* log, int name, bool full) : m_log(log), m_name(name), m_full(full) {}

    int PreviewFull(const PTzRECT*, uint8_t, const _tagITzZOOMLEVEL*, const _tagITzZOOMLEVEL*) override
    {
        return m_full ? 1 : 0;
    }
    int PreviewMergeToBitmap(_tagITzBITMAP*, const PTzRECT*, uint8_t, const _tagITzZOOMLEVEL*,
                             const _tagITzZOOMLEVEL*, int forSave) override
    {
        m_log->push_back(m_name + (forSave ? 100 : 0));
        return 0;
    }

private:
    std::vector<int>* m_log;
    int m_name;
    bool m_full;
};

// A preview cache whose every layer job takes two steps of 2 out of a priority of 4.
struct FakeCache : ITzPreviewCacheLink {
    int SetOpacity(uint8_t) override { return 1; }
    ITzLayerImage* GetCacheLayer(uint8_t) override { return nullptr; }
    int BlockDataUpdated(const PTzRECT*) override { return 1; }
    int RebuildPreview(const PTzRECT*, int) override { return 0; }
    int UpdataPreviewForBrush(uint8_t, const PTzRECT*, int) override { return 0; }
    int MoveCore(const _tagPTzOFFSET*) override { return 0; }
    int SizeChanged(const PTzRECT*) override { return 0; }
    int SizeGrowed(_tagITzIMAGELAYERBLOCKINITCBSTR*) override { return 0; }
    uint32_t PreparePreviewCachePriority() override { return 4; }
    void* PreparePreviewCacheStart() override { return new int(2); }
    int PreparePreviewCacheRun(void* job, uint32_t* built) override
    {
        *built = 2;
        return --*static_cast<int*>(job);
    }
    int PreparePreviewCacheEnd(void* job) override
    {
        delete static_cast<int*>(job);
        return 1;
    }
    static ITzPreviewCacheLink* Make(ITzLayerImage*) { return new FakeCache(); }
};

}  // namespace

TEST(PicturePreviewSize, RoundsUpAndRepairsZeroTermsInTheCallersZoom)
{
    ITzPicture picture;
    picture.Create(301, 7);
    _tagPTzSIZE size = {};
    _tagITzZOOMLEVEL zoom = {1, 4};
    ASSERT_EQ(picture.GetPreviewSize(&size, &zoom), 0);
    EXPECT_EQ(size.cx, 76);
    EXPECT_EQ(size.cy, 2);
    zoom = {0, 0};
    picture.GetPreviewSize(&size, &zoom);
    EXPECT_EQ(zoom.numerator, 1u);
    EXPECT_EQ(zoom.denominator, 1u);
    EXPECT_EQ(size.cx, 301);
    EXPECT_EQ(picture.GetPreviewSize(nullptr, &zoom), ITzERR_INVALID);

    picture.Create(0xFFFFFFFFu, 1);
    zoom = {0xFFFFFFFFu, 1};
    picture.GetPreviewSize(&size, &zoom);
    EXPECT_EQ(size.cx, INT32_MAX);

    _tagITzZOOMLEVEL x = {}, y = {};
    picture.Create(301, 7);
    zoom = {1, 4};
    ASSERT_EQ(picture.GetCacheLevelZoom(2, &zoom, &x, &y), 1);
    EXPECT_EQ(x.numerator, 76u);
    EXPECT_EQ(x.denominator, 76u);
    EXPECT_EQ(y.numerator, 2u);
    EXPECT_EQ(y.denominator, 2u);
    EXPECT_EQ(picture.GetCacheLevelZoom(2, nullptr, &x, &y), 0);
}

TEST(PicturePreviewData, StartsAtTheTopmostVisibleFullLayer)
{
    std::vector<int> log;
    ITzPicture picture;
    picture.Create(10, 10);
    const PTzRECT rect = {0, 0, 10, 10};
    _tagITzZOOMLEVEL zoom = {1, 1};
    _tagITzBITMAP bitmap = {};
    EXPECT_EQ(picture.GetPreviewData(&rect, &bitmap, &zoom, 0), ITzERR_INVALID);

    // 0 full, 1 plain, 2 full, 3 hidden and full, 4 plain.
    const bool full[] = {true, false, true, true, false};
    for (int name = 0; name < 5; ++name)
        picture.InsertLayer(static_cast<uint16_t>(name), new SpyLayer(&log, name, full[name]));
    picture.GetLayerbyIndex(3)->Setvisibility(0);

    ASSERT_EQ(picture.GetPreviewData3(&rect, &bitmap, &zoom), 0);
    EXPECT_EQ(log, (std::vector<int>{2, 4}));

    // In mask-editing mode the selection is drawn last, never as a save.
    log.clear();
    picture.SetSelectLayer(new SpyLayer(&log, 9, false));
    picture.SetMaskEditingMode(1);
    picture.GetPreviewDataForSave(&rect, &bitmap, &zoom);
    EXPECT_EQ(log, (std::vector<int>{102, 104, 9}));
}

TEST(PicturePreviewData, ComposesTheLayersPixels)
{
    ITzPicture picture;
    _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {200, 10, 20}};
    ASSERT_EQ(picture.Create_1(16, 8, &red), 0);
    _tagITzCHANNELBITMAP channels = {};
    channels.width = 16;
    channels.height = 8;
    ASSERT_EQ(picture.LockChannelBitmap(&channels), 1);
    const PTzRECT rect = {0, 0, 16, 8};
    _tagITzZOOMLEVEL zoom = {1, 1};
    ASSERT_EQ(picture.GetPreviewData4(&rect, &channels, &zoom), 0);
    EXPECT_EQ(channels.planes[0][16 * 8 - 1], 255);
    EXPECT_EQ(channels.planes[1][0], 200);
    EXPECT_EQ(channels.planes[3][5], 20);
    picture.UnlockChannelBitmap(&channels);
}

TEST(PictureChannelBitmap, TakesEveryPlaneOrNone)
{
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    ASSERT_NE(pool, nullptr);
    const uint32_t inUse = pool->pagesInUse();
    ITzPicture picture;
    // Four planes of four pages each; only ten pages left free.
    uint8_t* borrowed = pool->Alloc((ITzBLOCK_PAGE_COUNT - inUse - 10) * ITzBLOCK_PAGE_BYTES);
    ASSERT_NE(borrowed, nullptr);
    _tagITzCHANNELBITMAP bitmap = {};
    bitmap.width = 256;
    bitmap.height = 1024;
    bitmap.stride = 7;
    EXPECT_EQ(picture.LockChannelBitmap(&bitmap), 0);
    EXPECT_EQ(bitmap.planes[0], nullptr);
    EXPECT_EQ(bitmap.stride, 7);
    EXPECT_EQ(bitmap.kind, 0);
    EXPECT_EQ(pool->pagesInUse(), ITzBLOCK_PAGE_COUNT - 10);
    pool->Free(borrowed);

    ASSERT_EQ(picture.LockChannelBitmap(&bitmap), 1);
    EXPECT_EQ(bitmap.stride, 256);
    EXPECT_EQ(bitmap.kind, PTzCOLORMODE_ARGB);
    for (int p = 0; p < 4; ++p) {
        ASSERT_NE(bitmap.planes[p], nullptr);
        EXPECT_EQ(bitmap.planes[p][256 * 1024 - 1], 0);
    }
    EXPECT_EQ(bitmap.planes[4], nullptr);
    EXPECT_EQ(picture.UnlockChannelBitmap(&bitmap), 1);
    EXPECT_EQ(bitmap.planes[0], nullptr);
    EXPECT_EQ(pool->pagesInUse(), inUse);
    EXPECT_EQ(picture.LockChannelBitmap(nullptr), 0);
}

TEST(PicturePreviewCache, NothingToBuildReportsFullProgress)
{
    // Layers without a cache: nothing to build.
    const ITzPreviewCacheMaker installed = ITzGetPreviewCacheMaker();
    ITzSetPreviewCacheMaker(nullptr);
    {
        ITzPicture picture;
        FillLayers(picture, 2);
        void* job = picture.PreparePreviewCacheStart();
        ASSERT_NE(job, nullptr);
        uint8_t percent = 0;
        EXPECT_EQ(picture.PreparePreviewCacheRun(job, &percent), 0);
        EXPECT_EQ(percent, 100);
        EXPECT_EQ(picture.PreparePreviewCacheEnd(job), 1);
        EXPECT_EQ(picture.PreparePreviewCacheRun(nullptr, &percent), 0);
        EXPECT_EQ(picture.PreparePreviewCacheEnd(nullptr), 0);
    }
    ITzSetPreviewCacheMaker(installed);
}

TEST(PicturePreviewCache, StepsThroughEveryLayersJob)
{
    const ITzPreviewCacheMaker installed = ITzGetPreviewCacheMaker();
    ITzSetPreviewCacheMaker(&FakeCache::Make);
    {
        ITzPicture picture;
        FillLayers(picture, 2);
        void* job = picture.PreparePreviewCacheStart();
        std::vector<int> steps;
        uint8_t percent = 0;
        while (picture.PreparePreviewCacheRun(job, &percent))
            steps.push_back(percent);
        steps.push_back(percent);
        EXPECT_EQ(steps, (std::vector<int>{25, 50, 75, 100}));
        picture.PreparePreviewCacheEnd(job);

        // Ended halfway, the open layer job is closed (LeakSanitizer sees it otherwise).
        job = picture.PreparePreviewCacheStart();
        picture.PreparePreviewCacheRun(job, nullptr);
        picture.PreparePreviewCacheEnd(job);
        EXPECT_EQ(picture.DoPreparePreviewCache(), 1);
    }
    ITzSetPreviewCacheMaker(installed);
}

TEST(PicturePreviewCache, ThePictureDrawsZoomedOutPreviewsFromTheCache)
{
    ITzPicture picture;
    const Image image = RandomImage({0, 0, 600, 400}, 31);
    _tagPTzCOLOR white = {PTzCOLORMODE_ARGB, 255, {255, 255, 255}};
    ASSERT_EQ(picture.Create_1(600, 400, &white), 0);
    auto* layer = static_cast<ITzLayerImageARGB*>(picture.GetLayerbyIndex(0));
    Image opaque = image;
    std::fill(opaque.planes[0].begin(), opaque.planes[0].end(), 255);
    WriteImage(*layer, opaque, opaque.rect);

    // At 1/4 the picture draws level 2 at 1:1.
    const auto preview = [&picture] {
        std::vector<uint8_t> pixels(150 * 100 * 4);
        _tagITzBITMAP bitmap = {150, 100, 600, 32, PTzCOLORMODE_ARGB, pixels.data()};
        const PTzRECT rect = {0, 0, 150, 100};
        _tagITzZOOMLEVEL quarter = {1, 4};
        EXPECT_EQ(picture.GetPreviewData(&rect, &bitmap, &quarter, 0), 0);
        return pixels;
    };
    const auto expectPreview = [&](const Image& source) {
        const std::vector<uint8_t> pixels = preview();
        const Image expected = LevelImage(source, PTzPOINT{0, 0}, 2);
        for (int32_t y = 0; y < 100; ++y)
            for (int32_t x = 0; x < 150; ++x)
                for (int c = 1; c < 4; ++c)
                    ASSERT_EQ(pixels[size_t(y * 150 + x) * 4 + size_t(c)], expected.get(c, x, y)) << x << "," << y;
    };
    expectPreview(opaque);
    EXPECT_TRUE(AnyBlockHasData(*layer->GetCacheLayer(2)));
    EXPECT_FALSE(AnyBlockHasData(*layer->GetCacheLayer(1)));

    const PTzRECT changed = {280, 120, 330, 150};
    Image edited = opaque;
    for (int32_t y = changed.top; y < changed.bottom; ++y)
        for (int32_t x = changed.left; x < changed.right; ++x)
            edited.at(1, x, y) = uint8_t(x ^ y);
    WriteImage(*layer, edited, changed);
    const _tagITzBLOCKPOSITION position = {1, 0};
    layer->BlockDataUpdated(layer->BlockPosToIndex(&position));
    expectPreview(edited);
}

TEST(PicturePreviewCache, APictureLayerWithoutCacheLevelsDrawsItsOwnPixels)
{
    const ITzPreviewCacheMaker installed = ITzGetPreviewCacheMaker();
    ITzSetPreviewCacheMaker(nullptr);
    {
        ITzPicture picture;
        const _tagPTzCOLOR blue = {PTzCOLORMODE_ARGB, 255, {0, 0, 200}};
        ASSERT_EQ(picture.Create_1(64, 64, &blue), 0);
        std::vector<uint8_t> pixels(16 * 16 * 4);
        _tagITzBITMAP bitmap = {16, 16, 64, 32, PTzCOLORMODE_ARGB, pixels.data()};
        const PTzRECT rect = {0, 0, 16, 16};
        _tagITzZOOMLEVEL quarter = {1, 4};
        ASSERT_EQ(picture.GetPreviewData(&rect, &bitmap, &quarter, 0), 0);
        EXPECT_EQ(pixels[3], 200);
        EXPECT_EQ(pixels[pixels.size() - 1], 200);
    }
    ITzSetPreviewCacheMaker(installed);
}
