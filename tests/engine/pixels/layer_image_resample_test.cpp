// The image layer's resampled reads: the bilinear read bit-exact against the direct
// per-pixel form (which proves the separable sums), in every build of its row loops the
// processor runs, the nearest-pixel read against the per-pixel rules, over random zooms
// down to 1/5000; and their failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "layer_pixels_support.h"
#include "resample_builds.h"
#include "resample_reference.h"

namespace {

using layer_pixels::Blank;
using layer_pixels::Layer;
using layer_pixels::MakeLayer;
using layer_pixels::Pixels;
using layer_pixels::RandomPixels;

constexpr uint8_t kSentinel = 0x5A;

// A zoom of one of four kinds: enlarging, reducing, 1/1 or an extreme reduction
// (1/500 to 1/5000, which needs a long axis).
_tagITzZOOMLEVEL RandomZoom(std::mt19937& random, bool extreme)
{
    if (extreme)
        return {1, 500 + uint32_t(random() % 4501)};
    switch (random() % 3) {
    case 0: {
        const uint32_t den = 1 + random() % 7;
        return {den + 1 + uint32_t(random() % (5 * den)), den};
    }
    case 1: {
        const uint32_t num = 1 + random() % 5;
        return {num, num + uint32_t(random() % (12 * num))};
    }
    default: return {3, 3};
    }
}

resample_ref::PlainAxis Axis(int64_t a0, int64_t a1, const _tagITzZOOMLEVEL& zoom)
{
    return {a0, a1, zoom.numerator, zoom.denominator};
}

// Runs a read to its end: the end's result, the steps' progress checked on the way.
int RunRead(ITzLayerImage& layer, void* job)
{
    uint32_t progress = 0, last = 0;
    while (layer.ResampleFillChannelBitmap(job, &progress)) {
        EXPECT_GE(progress, last);
        EXPECT_LE(progress, 100u);
        last = progress;
    }
    EXPECT_EQ(layer.ResampleFillChannelBitmap(job, &progress), 0);
    return layer.ResampleFillChannelBitmapEnd(job);
}

// Reads `rect` bilinearly (tables over [x0, x1) x [y0, y1) when `setting`) and compares
// every pixel with the direct form over those sources.
void ExpectBilinearRead(const Pixels& pixels, ITzLayerImage& layer, const _tagITzZOOMLEVEL& zoomX,
                        const _tagITzZOOMLEVEL& zoomY, const PTzRECT& rect, _tagITzRESAMPLESETTING* setting)
{
    Pixels out = Blank(rect, kSentinel);
    _tagITzCHANNELBITMAP bitmap = out.Bitmap();
    void* job = layer.ResampleFillChannelBitmapStart(&bitmap, &rect, &zoomX, &zoomY, ITzRESAMPLE_BILINEAR, setting);
    ASSERT_TRUE(job == nullptr || RunRead(layer, job) == 1);
    const PTzRECT& b = pixels.bounds;
    const auto x = setting ? Axis(setting->tableX->firstSource, setting->tableX->endSource, zoomX)
                           : Axis(b.left, b.right, zoomX);
    const auto y = setting ? Axis(setting->tableY->firstSource, setting->tableY->endSource, zoomY)
                           : Axis(b.top, b.bottom, zoomY);
    for (int32_t dy = rect.top; dy < rect.bottom; ++dy)
        for (int32_t dx = rect.left; dx < rect.right; ++dx) {
            const resample_ref::Sums sums = resample_ref::Gather(
                x, y, dx, dy, true, 3, 256, [&](int64_t sx, int64_t sy, int p) { return pixels.at(sx, sy, p); });
            const int expected[4] = {resample_ref::Divide(sums.alpha, sums.weight, kSentinel),
                                     resample_ref::Divide(sums.colour[0], sums.colourWeight, kSentinel),
                                     resample_ref::Divide(sums.colour[1], sums.colourWeight, kSentinel),
                                     resample_ref::Divide(sums.colour[2], sums.colourWeight, kSentinel)};
            for (int p = 0; p < 4; ++p)
                ASSERT_EQ(int(out.at(dx, dy, p)), expected[p])
                    << "plane " << p << " at " << dx << "," << dy << " zoom " << zoomX.numerator << "/"
                    << zoomX.denominator << " x " << zoomY.numerator << "/" << zoomY.denominator;
        }
}

// A zoomed rectangle of at most 200 x 150 pixels over the layer's zoomed bounds.
PTzRECT RandomZoomedRect(std::mt19937& random, const PTzRECT& bounds, const _tagITzZOOMLEVEL& zoomX,
                         const _tagITzZOOMLEVEL& zoomY)
{
    PTzRECT zoomed;
    ITzResize::GetResizeDesRect(&zoomed, &bounds, &zoomX, &zoomY, ITzRESAMPLE_BILINEAR);
    const int32_t width = std::min(zoomed.right - zoomed.left, 200);
    const int32_t height = std::min(zoomed.bottom - zoomed.top, 150);
    const int32_t left = zoomed.left - 3 + int32_t(random() % uint32_t(zoomed.right - zoomed.left - width + 7));
    const int32_t top = zoomed.top - 3 + int32_t(random() % uint32_t(zoomed.bottom - zoomed.top - height + 7));
    return {left, top, left + width, top + height};
}

class LayerBilinearRead : public ResampleBuildTest {};

// The separable two-pass sums give the same integers as adding w = wx x wy per source and
// destination pixel, as long as they stay exact: checked here over random zooms, layer
// places and read rectangles, including reductions of 1/500 to 1/5000 on one axis.
TEST_P(LayerBilinearRead, SeparableSumsEqualTheDirectFormOverRandomZooms)
{
    std::mt19937 random(8131);
    for (int trial = 0; trial < 40; ++trial) {
        // An extreme axis is long and the other short and plainly enlarged, so that the
        // direct form stays quick.
        const bool extremeX = trial % 5 == 3, extremeY = trial % 5 == 4;
        const _tagITzZOOMLEVEL zoomX = extremeY ? _tagITzZOOMLEVEL{2, 1} : RandomZoom(random, extremeX);
        const _tagITzZOOMLEVEL zoomY = extremeX ? _tagITzZOOMLEVEL{2, 1} : RandomZoom(random, extremeY);
        const int32_t width = extremeX ? 5000 + int32_t(random() % 5000) : extremeY ? 40 : 1 + int32_t(random() % 600);
        const int32_t height = extremeY ? 5000 + int32_t(random() % 5000) : extremeX ? 40 : 1 + int32_t(random() % 400);
        const int32_t left = int32_t(random() % 601) - 300, top = int32_t(random() % 601) - 300;
        Pixels pixels = RandomPixels({left, top, left + width, top + height}, uint32_t(trial));
        Layer layer = MakeLayer(pixels);
        const PTzRECT rect = RandomZoomedRect(random, pixels.bounds, zoomX, zoomY);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " bounds " << left << "," << top << " " << width << "x"
                                        << height << " rect " << rect.left << "," << rect.top << "," << rect.right
                                        << "," << rect.bottom);
        ExpectBilinearRead(pixels, *layer, zoomX, zoomY, rect, nullptr);
    }
}

// With the resize tool's tables over a wider range, the transparent surroundings of the
// layer weigh in at its edges, exactly as the direct form over that range says.
TEST_P(LayerBilinearRead, TablesOverAWiderRangeWeighTheTransparentSurroundings)
{
    std::mt19937 random(97);
    for (int trial = 0; trial < 12; ++trial) {
        const _tagITzZOOMLEVEL zoomX = RandomZoom(random, false), zoomY = RandomZoom(random, false);
        Pixels pixels = RandomPixels({-37, 20, 230, 300}, uint32_t(trial));
        Layer layer = MakeLayer(pixels);
        _tagITzRESAMPLESETTING setting = {ITzResize::CreateBLResizetable(-100, 400, &zoomX),
                                          ITzResize::CreateBLResizetable(0, 350, &zoomY)};
        ASSERT_NE(setting.tableX, nullptr);
        ASSERT_NE(setting.tableY, nullptr);
        ExpectBilinearRead(pixels, *layer, zoomX, zoomY, RandomZoomedRect(random, pixels.bounds, zoomX, zoomY),
                           &setting);
        ITzResize::ReleaseBLResizetable(setting.tableX);
        ITzResize::ReleaseBLResizetable(setting.tableY);
    }
}

// 4,100:1 on both axes overflowed 32-bit alpha and colour-weight sums.
TEST_P(LayerBilinearRead, AReductionOf5000To1OnBothAxesKeepsItsColour)
{
    Pixels pixels = Blank({0, 0, 5000, 5000});
    std::fill(pixels.planes[0].begin(), pixels.planes[0].end(), 255);
    std::fill(pixels.planes[1].begin(), pixels.planes[1].end(), 200);
    std::fill(pixels.planes[2].begin(), pixels.planes[2].end(), 100);
    std::fill(pixels.planes[3].begin(), pixels.planes[3].end(), 7);
    Layer layer = MakeLayer(pixels);
    const _tagITzZOOMLEVEL zoom = {1, 5000};
    const PTzRECT rect = {0, 0, 1, 1};
    Pixels out = Blank(rect, kSentinel);
    _tagITzCHANNELBITMAP bitmap = out.Bitmap();
    ASSERT_EQ(RunRead(*layer, layer->ResampleFillChannelBitmapStart(&bitmap, &rect, &zoom, &zoom, 1, nullptr)), 1);
    EXPECT_EQ(out.at(0, 0, 0), 255u);
    EXPECT_EQ(out.at(0, 0, 1), 200u);
    EXPECT_EQ(out.at(0, 0, 2), 100u);
    EXPECT_EQ(out.at(0, 0, 3), 7u);
}

TEST_P(LayerBilinearRead, PixelsNoSourceReachesKeepTheirBytes)
{
    Pixels pixels = RandomPixels({0, 0, 40, 40}, 5);
    Layer layer = MakeLayer(pixels);
    const _tagITzZOOMLEVEL zoom = {2, 1};
    const PTzRECT rect = {60, 60, 100, 100};  // reaches past the zoomed layer's 80 x 80
    Pixels out = Blank(rect, kSentinel);
    _tagITzCHANNELBITMAP bitmap = out.Bitmap();
    ASSERT_EQ(RunRead(*layer, layer->ResampleFillChannelBitmapStart(&bitmap, &rect, &zoom, &zoom, 1, nullptr)), 1);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(out.at(99, 99, p), kSentinel);
        EXPECT_EQ(out.at(60, 99, p), kSentinel);
    }
}

TEST_P(LayerBilinearRead, AShortScratchPoolRefusesTheStartAndLeavesTheBitmap)
{
    Pixels pixels = RandomPixels({0, 0, 300, 300}, 9);
    Layer layer = MakeLayer(pixels);
    const _tagITzZOOMLEVEL zoom = {1, 2};
    const PTzRECT rect = {0, 0, 150, 150};
    Pixels out = Blank(rect, kSentinel);
    _tagITzCHANNELBITMAP bitmap = out.Bitmap();
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    std::vector<uint8_t*> held;
    for (uint8_t* page; (page = pool->Alloc(ITzBLOCK_PAGE_BYTES)) != nullptr;)
        held.push_back(page);
    for (size_t i = 0; i < 8; ++i) {
        pool->Free(held.back());
        held.pop_back();
    }
    EXPECT_EQ(layer->ResampleFillChannelBitmapStart(&bitmap, &rect, &zoom, &zoom, 1, nullptr), nullptr);
    for (uint8_t* page : held)
        pool->Free(page);
    EXPECT_EQ(pool->pagesInUse(), 0u);
    EXPECT_EQ(out.at(0, 0, 0), kSentinel);
}

// Opaque sources are summed by their colours alone (alpha 255, colour sum over weight
// total), which must give the same bytes: layers opaque throughout, and layers with a
// band of translucent rows, so that opaque and translucent strips meet in one read.
TEST_P(LayerBilinearRead, OpaqueSourcesGiveTheDirectFormsBytes)
{
    std::mt19937 random(2027);
    for (int trial = 0; trial < 16; ++trial) {
        const _tagITzZOOMLEVEL zoomX = RandomZoom(random, false), zoomY = RandomZoom(random, false);
        const int32_t width = 1 + int32_t(random() % 600), height = 1 + int32_t(random() % 400);
        const int32_t left = int32_t(random() % 601) - 300, top = int32_t(random() % 601) - 300;
        Pixels pixels = RandomPixels({left, top, left + width, top + height}, uint32_t(trial));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                if (trial % 2 == 0 || y < height / 2 || y >= height / 2 + 3)
                    pixels.planes[0][size_t(y) * size_t(width) + size_t(x)] = 255;
        Layer layer = MakeLayer(pixels);
        const PTzRECT rect = RandomZoomedRect(random, pixels.bounds, zoomX, zoomY);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " bounds " << left << "," << top << " " << width << "x"
                                        << height);
        ExpectBilinearRead(pixels, *layer, zoomX, zoomY, rect, nullptr);
    }
}

INSTANTIATE_RESAMPLE_BUILDS(LayerBilinearRead);

// Each destination pixel shows the source pixel the nearest-pixel rule of its axis picks;
// pixels whose source lies outside the layer keep their bytes.
TEST(LayerNearestRead, EveryPixelShowsTheSourceTheRulePicks)
{
    std::mt19937 random(4242);
    for (int trial = 0; trial < 40; ++trial) {
        const bool extreme = trial % 8 == 7;
        const _tagITzZOOMLEVEL zoomX = RandomZoom(random, extreme), zoomY = RandomZoom(random, false);
        const int32_t width = extreme ? 6000 : 1 + int32_t(random() % 700);
        const int32_t left = int32_t(random() % 601) - 300, top = int32_t(random() % 601) - 300;
        Pixels pixels = RandomPixels({left, top, left + width, top + 1 + int32_t(random() % 400)}, uint32_t(trial));
        Layer layer = MakeLayer(pixels);
        const PTzRECT rect = RandomZoomedRect(random, pixels.bounds, zoomX, zoomY);
        Pixels out = Blank(rect, kSentinel);
        _tagITzCHANNELBITMAP bitmap = out.Bitmap();
        void* job = layer->ResampleFillChannelBitmapStart(&bitmap, &rect, &zoomX, &zoomY, 0, nullptr);
        if (!job)
            continue;  // the rectangle shows no pixel of the layer
        ASSERT_EQ(RunRead(*layer, job), 1);
        const auto source = [](const _tagITzZOOMLEVEL& zoom, int32_t a) {
            return zoom.denominator < zoom.numerator ? ITzZoomNNSourceEnlarge(&zoom, a)
                                                     : ITzZoomNNSourceReduce(&zoom, a);
        };
        for (int32_t dy = rect.top; dy < rect.bottom; ++dy)
            for (int32_t dx = rect.left; dx < rect.right; ++dx) {
                const int32_t sx = source(zoomX, dx), sy = source(zoomY, dy);
                const PTzRECT& b = pixels.bounds;
                const bool inside = sx >= b.left && sx < b.right && sy >= b.top && sy < b.bottom;
                for (int p = 0; p < 4; ++p)
                    ASSERT_EQ(out.at(dx, dy, p), inside ? pixels.at(sx, sy, p) : kSentinel)
                        << dx << "," << dy << " trial " << trial;
            }
    }
}

TEST(LayerNearestRead, DoublingShowsEverySourceTwiceAndHalvingEverySecond)
{
    Pixels pixels = Blank({0, 0, 300, 1});
    for (int32_t x = 0; x < 300; ++x)
        pixels.planes[1][size_t(x)] = uint8_t(x), pixels.planes[0][size_t(x)] = 255;
    Layer layer = MakeLayer(pixels);
    const _tagITzZOOMLEVEL twice = {2, 1}, half = {1, 2}, one = {1, 1};
    Pixels doubled = Blank({0, 0, 600, 1});
    _tagITzCHANNELBITMAP bitmap = doubled.Bitmap();
    void* job = layer->ResampleFillChannelBitmapStart(&bitmap, &doubled.bounds, &twice, &one, 0, nullptr);
    ASSERT_EQ(RunRead(*layer, job), 1);
    for (int32_t x = 0; x < 600; ++x)
        ASSERT_EQ(doubled.at(x, 0, 1), uint32_t(x / 2) & 255);
    Pixels halved = Blank({0, 0, 150, 1});
    bitmap = halved.Bitmap();
    job = layer->ResampleFillChannelBitmapStart(&bitmap, &halved.bounds, &half, &one, 0, nullptr);
    ASSERT_EQ(RunRead(*layer, job), 1);
    for (int32_t x = 0; x < 150; ++x)
        ASSERT_EQ(halved.at(x, 0, 1), uint32_t(2 * x) & 255);
}

TEST(LayerResampledRead, RefusesNullArgumentsTheReservedTypeAndRectanglesBesideTheLayer)
{
    Pixels pixels = RandomPixels({0, 0, 50, 50}, 1);
    Layer layer = MakeLayer(pixels);
    const _tagITzZOOMLEVEL zoom = {1, 1};
    Pixels out = Blank({0, 0, 10, 10}, kSentinel);
    _tagITzCHANNELBITMAP bitmap = out.Bitmap();
    const PTzRECT beside = {500, 500, 510, 510};
    EXPECT_EQ(layer->ResampleFillChannelBitmapStart(&bitmap, &out.bounds, &zoom, &zoom, 2, nullptr), nullptr);
    EXPECT_EQ(layer->ResampleFillChannelBitmapStart(nullptr, &out.bounds, &zoom, &zoom, 1, nullptr), nullptr);
    EXPECT_EQ(layer->ResampleFillChannelBitmapStart(&bitmap, &out.bounds, nullptr, &zoom, 0, nullptr), nullptr);
    EXPECT_EQ(layer->ResampleFillChannelBitmapStart(&bitmap, &beside, &zoom, &zoom, 0, nullptr), nullptr);
    EXPECT_EQ(layer->ResampleFillChannelBitmapStart(&bitmap, &beside, &zoom, &zoom, 1, nullptr), nullptr);
    EXPECT_EQ(layer->ResampleFillChannelBitmap(nullptr, nullptr), 0);
    EXPECT_EQ(layer->ResampleFillChannelBitmapEnd(nullptr), 0);
}

}  // namespace
