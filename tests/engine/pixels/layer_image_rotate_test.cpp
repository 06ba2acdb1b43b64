// The image layer's quarter turns: the geometry, each turn against a per-pixel model,
// four turns and a turn with its inverse giving the layer back across block borders,
// empty layers and a short scratch pool.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/rotate.h"
#include "layer_pixels_support.h"

namespace {

using layer_pixels::Layer;
using layer_pixels::MakeLayer;
using layer_pixels::Pixels;
using layer_pixels::RandomPixels;
using layer_pixels::ReadLayer;
using layer_pixels::SameRect;

// Runs a turn to its end: the new layer (null when the end gave none).
Layer Turn(ITzLayerImage& layer, _tagPTzSIZE size, uint32_t type)
{
    void* job = layer.RotateSLayerStart(&size, type);
    EXPECT_NE(job, nullptr);
    uint32_t progress = 0, last = 0;
    while (layer.RotateSLayer(job, &progress)) {
        EXPECT_GE(progress, last);
        last = progress;
    }
    Layer turned(static_cast<ITzLayerImage*>(layer.RotateSLayerEnd(job)));
    return turned;
}

void ExpectSamePixels(const Pixels& a, const Pixels& b)
{
    ASSERT_TRUE(SameRect(a.bounds, b.bounds));
    for (int p = 0; p < 4; ++p)
        ASSERT_EQ(a.planes[p], b.planes[p]) << "plane " << p;
}

// A layer across several blocks at a place that aligns with nothing, partly outside the
// 700 x 500 picture.
Pixels AwkwardPixels(uint32_t seed)
{
    return RandomPixels({-45, 131, 610, 589}, seed);
}

TEST(RotationGeometry, TurnsRectanglesAndSizes)
{
    const _tagPTzSIZE size = {100, 50};
    const PTzRECT rect = {0, 0, 10, 20};
    PTzRECT out;
    ASSERT_EQ(ITzRotatedRect(&rect, &size, ITzROTATS_CLOCKWISE, &out), 1);
    EXPECT_TRUE(SameRect(out, {30, 0, 50, 10}));
    ASSERT_EQ(ITzRotatedRect(&rect, &size, ITzROTATS_COUNTERCLOCKWISE, &out), 1);
    EXPECT_TRUE(SameRect(out, {0, 90, 20, 100}));
    ASSERT_EQ(ITzRotatedRect(&rect, &size, ITzROTATS_HALF, &out), 1);
    EXPECT_TRUE(SameRect(out, {90, 30, 100, 50}));
    _tagPTzSIZE turned;
    ASSERT_EQ(ITzRotatedSize(&size, ITzROTATS_CLOCKWISE, &turned), 1);
    EXPECT_EQ(turned.cx, 50);
    EXPECT_EQ(turned.cy, 100);
    ASSERT_EQ(ITzRotatedSize(&size, ITzROTATS_HALF, &turned), 1);
    EXPECT_EQ(turned.cx, 100);
    EXPECT_EQ(ITzRotatedSize(&size, 4, &turned), 0);
    EXPECT_EQ(ITzRotatedRect(&rect, &size, 4, &out), 0);
    EXPECT_EQ(ITzInverseRotation(ITzROTATS_CLOCKWISE), uint32_t(ITzROTATS_COUNTERCLOCKWISE));
}

// Type 1 takes picture pixel (x, y) to (H - 1 - y, x), type 2 to (y, W - 1 - x), type 3 to
// (W - 1 - x, H - 1 - y).
TEST(LayerRotation, EveryTurnMovesEachPixelWhereTheTurnTakesIt)
{
    const _tagPTzSIZE size = {700, 500};
    Pixels pixels = AwkwardPixels(3);
    Layer layer = MakeLayer(pixels);
    for (uint32_t type = 0; type <= 3; ++type) {
        Layer turned = Turn(*layer, size, type);
        ASSERT_NE(turned, nullptr);
        const Pixels out = ReadLayer(*turned);
        PTzRECT expected;
        ITzRotatedRect(&pixels.bounds, &size, type, &expected);
        ASSERT_TRUE(SameRect(out.bounds, expected)) << "type " << type;
        for (int32_t y = pixels.bounds.top; y < pixels.bounds.bottom; ++y)
            for (int32_t x = pixels.bounds.left; x < pixels.bounds.right; ++x) {
                const int32_t W = size.cx, H = size.cy;
                const PTzPOINT to = type == 1 ? PTzPOINT{H - 1 - y, x}
                                  : type == 2 ? PTzPOINT{y, W - 1 - x}
                                  : type == 3 ? PTzPOINT{W - 1 - x, H - 1 - y}
                                              : PTzPOINT{x, y};
                for (int p = 0; p < 4; ++p)
                    ASSERT_EQ(out.at(to.x, to.y, p), pixels.at(x, y, p)) << "type " << type << " at " << x << "," << y;
            }
    }
}

TEST(LayerRotation, FourQuarterTurnsGiveTheLayerBack)
{
    for (uint32_t type : {ITzROTATS_CLOCKWISE, ITzROTATS_COUNTERCLOCKWISE}) {
        Pixels pixels = AwkwardPixels(type);
        Layer layer = MakeLayer(pixels);
        _tagPTzSIZE size = {700, 500};
        for (int turn = 0; turn < 4; ++turn) {
            Layer turned = Turn(*layer, size, type);
            ASSERT_NE(turned, nullptr);
            layer = std::move(turned);
            ITzRotatedSize(&size, type, &size);
        }
        ExpectSamePixels(ReadLayer(*layer), pixels);
    }
}

TEST(LayerRotation, ATurnAndItsInverseGiveTheLayerBack)
{
    for (uint32_t type : {ITzROTATS_CLOCKWISE, ITzROTATS_COUNTERCLOCKWISE, ITzROTATS_HALF}) {
        Pixels pixels = AwkwardPixels(10 + type);
        Layer layer = MakeLayer(pixels);
        const _tagPTzSIZE size = {700, 500};
        _tagPTzSIZE turnedSize;
        ITzRotatedSize(&size, type, &turnedSize);
        Layer turned = Turn(*layer, size, type);
        ASSERT_NE(turned, nullptr);
        Layer back = Turn(*turned, turnedSize, ITzInverseRotation(type));
        ASSERT_NE(back, nullptr);
        ExpectSamePixels(ReadLayer(*back), pixels);
    }
}

// An empty layer has no blocks: the turn reports 0 and ends at once with an empty layer
// that keeps the properties.
TEST(LayerRotation, AnEmptyLayerTurnsIntoAnEmptyLayerWithItsProperties)
{
    Layer layer(new ITzLayerImageARGB());
    const char16_t name[] = u"Empty";
    layer->SetName(name);
    layer->SetTempOpacity(77);
    const _tagPTzSIZE size = {30, 20};
    void* job = layer->RotateSLayerStart(&size, ITzROTATS_CLOCKWISE);
    ASSERT_NE(job, nullptr);
    uint32_t progress = 55;
    EXPECT_EQ(layer->RotateSLayer(job, &progress), 0);
    EXPECT_EQ(progress, 0u);
    Layer turned(static_cast<ITzLayerImage*>(layer->RotateSLayerEnd(job)));
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->GetBlockCount(), 0u);
    EXPECT_EQ(turned->GetOpacity(), 77);
    EXPECT_EQ(std::u16string(turned->GetName()), u"Empty");
}

TEST(LayerRotation, AShortScratchPoolFailsTheStepAndTheEndGivesNoLayer)
{
    Pixels pixels = AwkwardPixels(21);
    Layer layer = MakeLayer(pixels);
    const _tagPTzSIZE size = {700, 500};
    void* job = layer->RotateSLayerStart(&size, ITzROTATS_CLOCKWISE);
    ASSERT_NE(job, nullptr);
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    std::vector<uint8_t*> held;
    for (uint8_t* page; (page = pool->Alloc(ITzBLOCK_PAGE_BYTES)) != nullptr;)
        held.push_back(page);
    uint32_t progress = 0;
    EXPECT_EQ(layer->RotateSLayer(job, &progress), 0);
    for (uint8_t* page : held)
        pool->Free(page);
    EXPECT_EQ(layer->RotateSLayer(job, &progress), 0);  // a failed job stays failed
    EXPECT_EQ(layer->RotateSLayerEnd(job), nullptr);
    EXPECT_EQ(layer->RotateSLayerStart(&size, 4), nullptr);
    EXPECT_EQ(layer->RotateSLayerCancel(nullptr), 1);
}

TEST(LayerRotation, CancelDropsTheNewLayerAndGivesBackEveryPage)
{
    Pixels pixels = AwkwardPixels(31);
    Layer layer = MakeLayer(pixels);
    const _tagPTzSIZE size = {700, 500};
    void* job = layer->RotateSLayerStart(&size, ITzROTATS_HALF);
    uint32_t progress = 0;
    ASSERT_EQ(layer->RotateSLayer(job, &progress), 1);
    EXPECT_EQ(layer->RotateSLayerCancel(job), 1);
    EXPECT_EQ(GetBlockMemoryPool()->pagesInUse(), 0u);
}

}  // namespace
