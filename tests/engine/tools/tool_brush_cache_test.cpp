// The brush tool's stroke cache and its pushes, driven directly with hand-made dabs: the
// window's placement, the coverage union, and pushes into the floating layer.
#include "engine/tools/tool_brush_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../picture/picture_test_support.h"
#include "floating_test_support.h"

using namespace floating_test;

namespace {

// Opens the cache to the tests.
class CacheTool : public ITzToolBrushBase {
public:
    uint8_t At(int32_t x, int32_t y) const { return m_cache.pixels[y * m_cache.stride + x]; }
    bool AllZero() const
    {
        return std::all_of(m_cache.pixels, m_cache.pixels + 65536, [](uint8_t v) { return v == 0; });
    }
    bool Empty() const { return m_cacheEmpty != 0; }
    PTzPOINT Origin() const { return m_cacheOrigin; }
    PTzRECT Dirty() const { return m_dirtyRect; }
    bool HasCache() const { return m_cache.pixels != nullptr; }
};

// A dab of the given size whose bytes run through many values.
struct TestDab {
    std::vector<uint8_t> bytes;
    _tagITzBITMAP bitmap;
    TestDab(int32_t width, int32_t height, uint8_t seed)
        : bytes(size_t(width) * size_t(height)), bitmap{width, height, width, 8, int32_t(PTzCOLORMODE_GRAY), nullptr}
    {
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = uint8_t(i * 37 + seed);
        bitmap.pixels = bytes.data();
    }
    uint8_t At(int32_t x, int32_t y) const { return bytes[size_t(y) * size_t(bitmap.width) + size_t(x)]; }
};

uint8_t Product(uint8_t a, uint8_t b)
{
    return uint8_t((a * b + 127) / 255);
}

uint8_t Union(uint8_t a, uint8_t b)
{
    return uint8_t(a + b - Product(a, b));
}

uint8_t AlphaAt(ITzLayerImage* layer, int32_t x, int32_t y)
{
    const PTzPOINT point = {x, y};
    _tagPTzCOLOR colour = {};
    layer->GetPixelColor(&point, &colour);
    return colour.alpha;
}

class BrushCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakePicture(picture, 1, {0, 0, 1000, 1000});
        floating = tool.CreateToolFloatLayer(&picture);
        ASSERT_NE(floating, nullptr);
    }

    ITzPicture picture;
    CacheTool tool;
    ITzLayerImage* floating = nullptr;
};

TEST_F(BrushCache, FirstDabPlacesTheWindowAroundItAndDabsUniteAtTheirStrength)
{
    ASSERT_TRUE(tool.HasCache());
    EXPECT_TRUE(tool.AllZero());
    TestDab first(21, 10, 3), second(21, 10, 101);
    PTzRECT at = {500, 300, 521, 310};
    ASSERT_EQ(tool.MergeBrush(&at, &first.bitmap, 255), 1);
    EXPECT_FALSE(tool.Empty());
    EXPECT_EQ(tool.Origin().x, 500 - (235 >> 1));
    EXPECT_EQ(tool.Origin().y, 300 - (246 >> 1));
    const PTzPOINT origin = tool.Origin();
    const PTzRECT placed = {500 - origin.x, 300 - origin.y, 521 - origin.x, 310 - origin.y};
    EXPECT_TRUE(picture_test::SameRect(tool.Dirty(), placed));

    PTzRECT moved = {505, 302, 526, 312};
    ASSERT_EQ(tool.MergeBrush(&moved, &second.bitmap, 90), 1);
    EXPECT_EQ(tool.Origin().x, origin.x);  // the window stays
    const PTzRECT joined = {placed.left, placed.top, placed.right + 5, placed.bottom + 2};
    EXPECT_TRUE(picture_test::SameRect(tool.Dirty(), joined));
    for (int32_t y = 300; y < 312; ++y)
        for (int32_t x = 500; x < 526; ++x) {
            const uint8_t a = x < 521 && y < 310 ? first.At(x - 500, y - 300) : 0;
            const uint8_t b = x >= 505 && y >= 302 ? second.At(x - 505, y - 302) : 0;
            ASSERT_EQ(tool.At(x - origin.x, y - origin.y), Union(a, Product(b, 90))) << x << "," << y;
        }
}

TEST_F(BrushCache, PushMovesThePaintIntoTheFloatingLayerStepByStep)
{
    picture_test::Recorder recorder;
    recorder.Watch(picture);
    TestDab dab(30, 30, 9);
    PTzRECT at = {100, 120, 130, 150};
    ASSERT_EQ(tool.MergeBrush(&at, &dab.bitmap, 255), 1);
    _tagITzTOOLBRUSH_DOPUSHCACHEINFO* job = tool.DoPushCacheStart(&picture);
    ASSERT_NE(job, nullptr);
    EXPECT_TRUE(picture_test::SameRect(job->rect, at));
    int steps = 0;
    while (tool.DoPushCacheRun(job)) {
        ++steps;
        if (steps == 1) {
            // The first step merged and zeroed the cache; it is marked empty at the end.
            EXPECT_TRUE(tool.AllZero());
            EXPECT_FALSE(tool.Empty());
            EXPECT_EQ(AlphaAt(floating, 110, 130), dab.At(10, 10));
        }
    }
    tool.DoPushCacheEnd(job);
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(tool.Empty());
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 30; ++x)
            ASSERT_EQ(AlphaAt(floating, 100 + x, 120 + y), dab.At(x, y));
    // The floating layer grew to the paint, its other pixels transparent.
    PTzRECT bounds;
    floating->GetBounds(&bounds);
    EXPECT_TRUE(picture_test::SameRect(bounds, at));
    // The observers heard about the pushed rectangle.
    ASSERT_FALSE(recorder.events.empty());
    EXPECT_TRUE(picture_test::SameRect(recorder.events.back().rect, at));
    // Nothing more to push.
    EXPECT_EQ(tool.DoPushCacheStart(&picture), nullptr);
    EXPECT_EQ(tool.PushCache(), 0);
}

TEST_F(BrushCache, DabLargerThanTheCacheGoesStraightIntoTheFloatingLayer)
{
    TestDab wide(300, 20, 5);
    PTzRECT at = {50, 60, 350, 80};
    ASSERT_EQ(tool.PushBrush(&at, &wide.bitmap, 128, &picture), 1);
    EXPECT_TRUE(tool.Empty());
    EXPECT_TRUE(tool.AllZero());
    for (int32_t x = 0; x < 300; x += 13)
        ASSERT_EQ(AlphaAt(floating, 50 + x, 70), Product(wide.At(x, 10), 128)) << x;

}

TEST_F(BrushCache, PushWithoutAFloatingLayerDropsThePaint)
{
    TestDab dab(16, 16, 1);
    PTzRECT at = {10, 10, 26, 26};
    ASSERT_EQ(tool.MergeBrush(&at, &dab.bitmap, 255), 1);
    ITzLayerImage* removed = ImageLayer(picture, 0)->RemoveFloatingLayer();
    ITzLayerBase::DestroyLayer(removed);
    EXPECT_EQ(tool.DoPushCacheStart(&picture), nullptr);
    EXPECT_TRUE(tool.Empty());
    EXPECT_TRUE(tool.AllZero());
    // A big dab has nowhere to go either.
    TestDab big(260, 260, 1);
    PTzRECT wide = {0, 0, 260, 260};
    EXPECT_EQ(tool.PushBrush(&wide, &big.bitmap, 255, &picture), 0);
}

TEST_F(BrushCache, RectDataReadyGrowsTheLayerWithTransparentBlocks)
{
    PTzRECT wanted = {-300, 700, -100, 900};
    PTzRECT clip = {-200, 0, 1000, 800};
    ASSERT_EQ(tool.GetRectDataReady(floating, &wanted, &clip), 1);
    const PTzRECT cut = {-200, 700, -100, 800};
    EXPECT_TRUE(picture_test::SameRect(wanted, cut));
    PTzRECT bounds;
    floating->GetBounds(&bounds);
    EXPECT_TRUE(picture_test::SameRect(bounds, cut));
    // Every block of the grid is present (a mask can be merged anywhere) and clear.
    for (uint32_t block = 0; block < floating->GetBlockCount(); ++block)
        EXPECT_EQ(floating->BlockDataAvailable(block), 1) << block;
    EXPECT_EQ(AlphaAt(floating, -150, 750), 0);
    PTzRECT outside = {0, 0, 10, 10};
    EXPECT_EQ(tool.GetRectDataReady(floating, &outside, &clip), 1);
    PTzRECT apart = {2000, 2000, 2010, 2010};
    EXPECT_EQ(tool.GetRectDataReady(floating, &apart, &clip), 0);
    EXPECT_EQ(tool.GetRectDataReady(nullptr, &outside, nullptr), 0);
}

}  // namespace
