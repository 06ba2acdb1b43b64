// The image layer's resize job: the new layer's place and pixels against the per-pixel
// rules of both resample types, empty layers and a picture of only empty layers, and a
// short scratch pool.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "layer_pixels_support.h"
#include "resample_reference.h"

namespace {

using layer_pixels::Layer;
using layer_pixels::MakeLayer;
using layer_pixels::Pixels;
using layer_pixels::RandomPixels;
using layer_pixels::ReadLayer;
using layer_pixels::SameRect;

// Runs a resize to its end, checking that progress only grows and ends at 100 (0 for a
// layer without blocks): the new layer, null when the end gave none.
Layer Resize(ITzLayerImage& layer, const _tagITzZOOMLEVEL& zoomX, const _tagITzZOOMLEVEL& zoomY, uint32_t type)
{
    void* job = layer.ResizeLayerStart(&zoomX, &zoomY, type, nullptr);
    EXPECT_NE(job, nullptr);
    uint32_t progress = 0, last = 0;
    while (layer.ResizeLayer(job, &progress)) {
        EXPECT_GE(progress, last);
        EXPECT_LE(progress, 100u);
        last = progress;
    }
    Layer resized(static_cast<ITzLayerImage*>(layer.ResizeLayerEnd(job)));
    if (resized && resized->GetBlockCount() > 0) {
        EXPECT_EQ(progress, 100u);
    }
    return resized;
}

int32_t NearestSource(const _tagITzZOOMLEVEL& zoom, int32_t a)
{
    return zoom.denominator < zoom.numerator ? ITzZoomNNSourceEnlarge(&zoom, a) : ITzZoomNNSourceReduce(&zoom, a);
}

TEST(LayerResize, BilinearResizeMatchesTheDirectFormOverTheLayer)
{
    std::mt19937 random(5131);
    const _tagITzZOOMLEVEL zooms[] = {{5, 2}, {1, 3}, {7, 3}, {2, 9}, {1, 1}, {13, 4}};
    for (int trial = 0; trial < 6; ++trial) {
        const _tagITzZOOMLEVEL zoomX = zooms[trial], zoomY = zooms[(trial + 2) % 6];
        const int32_t left = int32_t(random() % 401) - 200, top = int32_t(random() % 401) - 200;
        // Two layers are large enough for whole new blocks, which are locked without their
        // fill: the opaque one's the read writes whole, the other's transparent sources
        // leave pixels to the fill.
        const bool opaque = trial == 0, large = trial == 0 || trial == 2;
        const PTzRECT bounds = {left, top, left + (large ? 600 : 150 + int32_t(random() % 300)),
                                top + (large ? 560 : 100 + int32_t(random() % 200))};
        Pixels pixels = RandomPixels(bounds, uint32_t(trial));
        if (opaque)
            std::fill(pixels.planes[0].begin(), pixels.planes[0].end(), uint8_t{255});
        Layer layer = MakeLayer(pixels);
        Layer resized = Resize(*layer, zoomX, zoomY, ITzRESAMPLE_BILINEAR);
        ASSERT_NE(resized, nullptr);
        PTzRECT expected;
        ITzResize::GetResizeDesRect(&expected, &pixels.bounds, &zoomX, &zoomY, ITzRESAMPLE_BILINEAR);
        const Pixels out = ReadLayer(*resized);
        ASSERT_TRUE(SameRect(out.bounds, expected));
        const resample_ref::PlainAxis x = {pixels.bounds.left, pixels.bounds.right, zoomX.numerator, zoomX.denominator};
        const resample_ref::PlainAxis y = {pixels.bounds.top, pixels.bounds.bottom, zoomY.numerator, zoomY.denominator};
        for (int32_t dy = expected.top; dy < expected.bottom; ++dy)
            for (int32_t dx = expected.left; dx < expected.right; ++dx) {
                const resample_ref::Sums sums = resample_ref::Gather(
                    x, y, dx, dy, true, 3, 256, [&](int64_t sx, int64_t sy, int p) { return pixels.at(sx, sy, p); });
                ASSERT_EQ(int(out.at(dx, dy, 0)), resample_ref::Divide(sums.alpha, sums.weight, 0)) << dx << "," << dy;
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(int(out.at(dx, dy, 1 + k)), resample_ref::Divide(sums.colour[k], sums.colourWeight, 0))
                        << dx << "," << dy;
            }
    }
}

TEST(LayerResize, NearestPixelResizeShowsTheSourceTheRulePicks)
{
    Pixels pixels = RandomPixels({-77, 300, 450, 610}, 17);
    Layer layer = MakeLayer(pixels);
    for (const _tagITzZOOMLEVEL zoom : {_tagITzZOOMLEVEL{5, 2}, _tagITzZOOMLEVEL{1, 3}, _tagITzZOOMLEVEL{3, 7}}) {
        Layer resized = Resize(*layer, zoom, zoom, ITzRESAMPLE_NEAREST);
        ASSERT_NE(resized, nullptr);
        const Pixels out = ReadLayer(*resized);
        for (int32_t dy = out.bounds.top; dy < out.bounds.bottom; ++dy)
            for (int32_t dx = out.bounds.left; dx < out.bounds.right; ++dx)
                for (int p = 0; p < 4; ++p)
                    ASSERT_EQ(out.at(dx, dy, p), pixels.at(NearestSource(zoom, dx), NearestSource(zoom, dy), p))
                        << dx << "," << dy;
    }
}

TEST(LayerResize, TheNewLayerKeepsTheLayersProperties)
{
    Pixels pixels = RandomPixels({0, 0, 40, 40}, 2);
    Layer layer = MakeLayer(pixels);
    layer->SetName(u"Sky");
    layer->SetTempOpacity(99);
    layer->SetMergeType(ITzMERGE_NORMAL);
    const _tagITzZOOMLEVEL zoom = {3, 1};
    Layer resized = Resize(*layer, zoom, zoom, ITzRESAMPLE_BILINEAR);
    ASSERT_NE(resized, nullptr);
    EXPECT_EQ(std::u16string(resized->GetName()), u"Sky");
    EXPECT_EQ(resized->GetOpacity(), 99);
    EXPECT_EQ(resized->GetType(), ITzLAYERTYPE_ARGB);
}

// Resizing an empty layer gave no layer, and its progress divided by a block count of 0.
TEST(LayerResize, AnEmptyLayerResizesIntoAnEmptyLayerAtOnce)
{
    for (uint32_t type : {ITzRESAMPLE_NEAREST, ITzRESAMPLE_BILINEAR}) {
        Layer layer(new ITzLayerImageARGB());
        layer->SetName(u"Nothing");
        const _tagITzZOOMLEVEL zoom = {2, 1};
        void* job = layer->ResizeLayerStart(&zoom, &zoom, type, nullptr);
        ASSERT_NE(job, nullptr);
        uint32_t progress = 42;
        EXPECT_EQ(layer->ResizeLayer(job, &progress), 0);
        EXPECT_EQ(progress, 0u);
        Layer resized(static_cast<ITzLayerImage*>(layer->ResizeLayerEnd(job)));
        ASSERT_NE(resized, nullptr);
        EXPECT_EQ(resized->GetBlockCount(), 0u);
        EXPECT_EQ(std::u16string(resized->GetName()), u"Nothing");
    }
}

// The resize tool resizes every layer of the picture in turn; the print path reads the
// composed picture through the block-wise service.
TEST(LayerResize, APictureOfOnlyEmptyLayersResizes)
{
    ITzPicture picture;
    ASSERT_EQ(picture.Create(120, 80), 0);
    // One layer without bounds, one whose blocks are all transparent.
    picture.InsertLayer(picture.GetLayerCount(), new ITzLayerImageARGB());
    auto* transparent = new ITzLayerImageARGB();
    const PTzRECT area = {10, 10, 100, 70};
    ASSERT_EQ(transparent->SetSize(&area, 1), 0);
    picture.InsertLayer(picture.GetLayerCount(), transparent);
    ASSERT_EQ(picture.GetLayerCount(), 2);
    const _tagITzZOOMLEVEL zoomX = {300, 120}, zoomY = {50, 80};
    for (uint16_t i = 0; i < picture.GetLayerCount(); ++i) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(i);
        void* job = layer->ResizeLayerStart(&zoomX, &zoomY, ITzRESAMPLE_BILINEAR, nullptr);
        ASSERT_NE(job, nullptr) << "layer " << i;
        uint32_t progress = 0;
        while (layer->ResizeLayer(job, &progress))
            ;
        Layer resized(static_cast<ITzLayerImage*>(layer->ResizeLayerEnd(job)));
        ASSERT_NE(resized, nullptr) << "layer " << i;
        const Pixels out = ReadLayer(*resized);
        for (uint8_t alpha : out.planes[0])
            ASSERT_EQ(alpha, 0);
    }
    struct Source {
        static int Read(PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, void* user)
        {
            _tagITzZOOMLEVEL one = {1, 1};
            return static_cast<ITzPicture*>(user)->GetPreviewData2(rect, bitmap, &one, 1) == 0;
        }
    };
    const _tagPTzSIZE from = {120, 80}, to = {300, 50};
    const _tagITzRESIZEINPUTPROCINFO input = {&Source::Read, &picture};
    void* handle = ITzResize::ResizeCreateSettingHandle(ITzRESAMPLE_BILINEAR, &from, &to, &input);
    ASSERT_NE(handle, nullptr);
    Pixels tile = layer_pixels::Blank({0, 0, 256, 50}, 0x33);
    _tagITzCHANNELBITMAP bitmap = tile.Bitmap();
    EXPECT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, handle, &tile.bounds, &bitmap), 1);
    EXPECT_EQ(tile.at(0, 0, 0), 0u);    // transparent
    EXPECT_EQ(tile.at(0, 0, 1), 255u);  // no colour weight
    EXPECT_EQ(ITzResize::ResizeReleaseSettingHandle(ITzRESAMPLE_BILINEAR, handle), 1);
}

TEST(LayerResize, AShortScratchPoolFailsTheStepAndTheEndGivesNoLayer)
{
    for (uint32_t type : {ITzRESAMPLE_NEAREST, ITzRESAMPLE_BILINEAR}) {
        Pixels pixels = RandomPixels({0, 0, 300, 300}, 4);
        Layer layer = MakeLayer(pixels);
        const _tagITzZOOMLEVEL zoom = {3, 2};
        void* job = layer->ResizeLayerStart(&zoom, &zoom, type, nullptr);
        ASSERT_NE(job, nullptr);
        ITzBlockMemoryPool* pool = GetBlockMemoryPool();
        std::vector<uint8_t*> held;
        for (uint8_t* page; (page = pool->Alloc(ITzBLOCK_PAGE_BYTES)) != nullptr;)
            held.push_back(page);
        uint32_t progress = 0;
        EXPECT_EQ(layer->ResizeLayer(job, &progress), 0);
        for (uint8_t* page : held)
            pool->Free(page);
        EXPECT_EQ(layer->ResizeLayer(job, &progress), 0);
        EXPECT_EQ(layer->ResizeLayerEnd(job), nullptr);
        EXPECT_EQ(pool->pagesInUse(), 0u);
    }
}

TEST(LayerResize, CancelDropsTheNewLayerAndGivesBackEveryPage)
{
    Pixels pixels = RandomPixels({0, 0, 600, 300}, 6);
    Layer layer = MakeLayer(pixels);
    const _tagITzZOOMLEVEL zoom = {1, 3};
    void* job = layer->ResizeLayerStart(&zoom, &zoom, ITzRESAMPLE_BILINEAR, nullptr);
    uint32_t progress = 0;
    ASSERT_EQ(layer->ResizeLayer(job, &progress), 1);
    EXPECT_EQ(layer->ResizeLayerCancel(job), 1);
    EXPECT_EQ(GetBlockMemoryPool()->pagesInUse(), 0u);
    EXPECT_EQ(layer->ResizeLayerStart(&zoom, &zoom, ITzRESAMPLE_RESERVED, nullptr), nullptr);
    EXPECT_EQ(layer->ResizeLayerStart(nullptr, &zoom, ITzRESAMPLE_NEAREST, nullptr), nullptr);
}

}  // namespace
