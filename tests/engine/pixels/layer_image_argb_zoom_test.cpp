// The ARGB layer's zoomed reads against the nearest-pixel rules computed per pixel, over
// blocks, layer edges and missing blocks, and the merge onto 24- and 32-bit bitmaps.
#include "engine/pixels/layer_image_argb.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

struct Bitmap {
    _tagITzBITMAP bitmap = {};
    Bitmap(int32_t width, int32_t height, int32_t mode = PTzCOLORMODE_ARGB, uint8_t fill = 0)
    {
        const _tagPTzSIZE size = {width, height};
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, mode), 1);
        std::memset(bitmap.pixels, fill, size_t(bitmap.stride) * height);
    }
    ~Bitmap() { ITzReleaseITzBitmap(&bitmap); }
    uint8_t* at(int32_t x, int32_t y) { return bitmap.pixels + y * bitmap.stride + x * (bitmap.bits / 8); }
};

// A layer at `position` whose pixel (x, y) is alpha 255, red x & 255, green y & 255,
// blue (x >> 8) + 16 (y >> 8) in layer coordinates.
Layer PatternLayer(int32_t left, int32_t top, int32_t width, int32_t height)
{
    Layer layer(new ITzLayerImageARGB());
    const PTzRECT bounds = {left, top, left + width, top + height};
    EXPECT_EQ(layer->ExtendSize(&bounds, nullptr, 1), 0);
    Bitmap pixels(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = pixels.at(x, y);
            p[0] = 255;
            p[1] = uint8_t(x);
            p[2] = uint8_t(y);
            p[3] = uint8_t((x >> 8) + 16 * (y >> 8));
        }
    const PTzRECT local = {0, 0, width, height};
    EXPECT_EQ(layer->SetRectData(&local, &pixels.bitmap), 0);
    return layer;
}

int32_t SourceOf(const _tagITzZOOMLEVEL& zoom, int32_t z)
{
    return zoom.denominator < zoom.numerator ? ITzZoomNNSourceEnlarge(&zoom, z) : ITzZoomNNSourceReduce(&zoom, z);
}

// Every destination pixel whose source lies in the layer shows that source pixel; all
// others keep the sentinel.
void ExpectNearestPixels(const _tagITzZOOMLEVEL& zoomX, const _tagITzZOOMLEVEL& zoomY, const PTzRECT& zoomed)
{
    const PTzRECT bounds = {-300, 40, 300, 340};
    Layer layer = PatternLayer(bounds.left, bounds.top, 600, 300);
    const int32_t width = zoomed.right - zoomed.left, height = zoomed.bottom - zoomed.top;
    Bitmap out(width, height, PTzCOLORMODE_ARGB, 0xAB);
    ASSERT_EQ(layer->GetBitmap(&out.bitmap, &zoomed, &zoomX, &zoomY), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int32_t sx = SourceOf(zoomX, zoomed.left + x), sy = SourceOf(zoomY, zoomed.top + y);
            const uint8_t* p = out.at(x, y);
            if (sx < bounds.left || sx >= bounds.right || sy < bounds.top || sy >= bounds.bottom) {
                ASSERT_EQ(p[0], 0xAB) << x << "," << y;
                continue;
            }
            const int32_t lx = sx - bounds.left, ly = sy - bounds.top;
            ASSERT_EQ(p[0], 255) << "unwritten " << x << "," << y;
            ASSERT_EQ(p[1], uint8_t(lx)) << x << "," << y;
            ASSERT_EQ(p[2], uint8_t(ly)) << x << "," << y;
            ASSERT_EQ(p[3], uint8_t((lx >> 8) + 16 * (ly >> 8))) << x << "," << y;
        }
}

TEST(LayerImageARGBZoom, EnlargingFollowsTheCentreRuleAtEveryPixel)
{
    // Even denominators included: no edge column or row may stay unwritten.
    ExpectNearestPixels({3, 2}, {3, 2}, {-500, 0, 500, 520});
    ExpectNearestPixels({5, 4}, {7, 2}, {-400, 100, 410, 1200});
    ExpectNearestPixels({2, 1}, {4, 1}, {-601, 79, 605, 1361});
    ExpectNearestPixels({1048583, 524287}, {1048583, 524287}, {-700, 90, 700, 700});
}

TEST(LayerImageARGBZoom, ReducingShowsOneSourcePixelPerDestinationPixel)
{
    ExpectNearestPixels({1, 1}, {1, 1}, {-310, 30, 310, 350});
    ExpectNearestPixels({1, 2}, {1, 3}, {-160, 10, 160, 120});
    ExpectNearestPixels({2, 3}, {3, 8}, {-210, 20, 210, 130});
    ExpectNearestPixels({524287, 1048583}, {524287, 1048583}, {-160, 20, 160, 170});
}

TEST(LayerImageARGBZoom, ThreeHalvesRepeatsEveryOtherPixelAndOneHalfSkipsEveryOther)
{
    Layer layer = PatternLayer(0, 0, 8, 1);
    Bitmap out(6, 1);
    const _tagITzZOOMLEVEL enlarge = {3, 2}, one = {1, 1}, half = {1, 2};
    const PTzRECT six = {0, 0, 6, 1};
    ASSERT_EQ(layer->GetBitmapZoomIn(&out.bitmap, &six, &enlarge, &one), 0);
    const uint8_t shown[6] = {0, 1, 1, 2, 3, 3};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(out.at(x, 0)[1], shown[x]);
    const PTzRECT four = {0, 0, 4, 1};
    ASSERT_EQ(layer->GetBitmapZoomOut(&out.bitmap, &four, &half, &one), 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(out.at(x, 0)[1], 2 * x);
}

TEST(LayerImageARGBZoom, MissingBlocksAndMissedRectsLeaveTheDestination)
{
    Layer layer(new ITzLayerImageARGB());
    const PTzRECT bounds = {0, 0, 600, 10};
    ASSERT_EQ(layer->ExtendSize(&bounds, nullptr, 0), 0);  // every block missing
    Bitmap out(600, 10, PTzCOLORMODE_ARGB, 0x5A);
    const _tagITzZOOMLEVEL one = {1, 1};
    EXPECT_EQ(layer->GetBitmap(&out.bitmap, &bounds, &one, &one), 0);
    const PTzRECT away = {1000, 0, 1600, 10};
    EXPECT_EQ(layer->GetBitmap(&out.bitmap, &away, &one, &one), 0);
    for (int32_t i = 0; i < out.bitmap.stride * 10; ++i)
        ASSERT_EQ(out.bitmap.pixels[i], 0x5A);
    EXPECT_EQ(layer->GetBitmap(&out.bitmap, &bounds, nullptr, &one), ITzERR_INVALID);
    EXPECT_EQ(layer->GetBitmapZoomOut(&out.bitmap, nullptr, &one, &one), ITzERR_INVALID);
    Bitmap rgb(4, 4, PTzCOLORMODE_RGB);
    EXPECT_EQ(layer->GetBitmap(&rgb.bitmap, &bounds, &one, &one), ITzERR_INVALID);
}

TEST(LayerImageARGBZoom, ChannelBitmapReadsNeedAllFourPlanes)
{
    Layer layer = PatternLayer(-5, -5, 300, 20);
    std::vector<uint8_t> planes(4 * 300 * 20, 0);
    _tagITzCHANNELBITMAP channels = {300, 20, 300, 3, {&planes[0], &planes[6000], &planes[12000], &planes[18000]}};
    const PTzRECT rect = {-5, -5, 295, 15};
    const _tagITzZOOMLEVEL one = {1, 1};
    ASSERT_EQ(layer->GetChannelBitmap(&channels, &rect, &one, &one), 0);
    EXPECT_EQ(planes[6000 + 299], uint8_t(299));      // red of the last column
    EXPECT_EQ(planes[18000 + 19 * 300 + 299], 1);     // blue: second block column
    channels.planes[3] = nullptr;
    EXPECT_EQ(layer->GetChannelBitmap(&channels, &rect, &one, &one), ITzERR_INVALID);
}

TEST(LayerImageARGBZoom, OpaqueMergeOnto24BitsWritesRedGreenBlueInOrder)
{
    Layer layer = PatternLayer(0, 0, 4, 1);
    Bitmap rgb(4, 1, PTzCOLORMODE_RGB, 9);
    const _tagITzZOOMLEVEL one = {1, 1};
    const PTzRECT rect = {0, 0, 4, 1};
    ASSERT_EQ(layer->MergeToBitmap(&rgb.bitmap, &rect, &one, &one), 0);
    EXPECT_EQ(rgb.at(3, 0)[0], 3);  // red
    EXPECT_EQ(rgb.at(3, 0)[1], 0);  // green
    EXPECT_EQ(rgb.at(3, 0)[2], 0);  // blue
}

TEST(LayerImageARGBZoom, TranslucentMergeMatchesTheBlendTablesMerge)
{
    Layer layer = PatternLayer(0, 0, 300, 3);
    Bitmap translucent(300, 3);
    for (int32_t x = 0; x < 300; ++x)
        for (int32_t y = 0; y < 3; ++y) {
            uint8_t* p = translucent.at(x, y);
            p[0] = uint8_t(x * 3 + y);
            p[1] = uint8_t(x);
            p[2] = uint8_t(255 - x);
            p[3] = uint8_t(y * 80);
        }
    const PTzRECT rect = {0, 0, 300, 3};
    ASSERT_EQ(layer->SetRectData(&rect, &translucent.bitmap), 0);
    layer->SetOpacity(200);
    Bitmap merged(300, 3, PTzCOLORMODE_ARGB, 0x70), expected(300, 3, PTzCOLORMODE_ARGB, 0x70);
    const _tagITzZOOMLEVEL one = {1, 1};
    ASSERT_EQ(layer->MergeToBitmap(&merged.bitmap, &rect, &one, &one), 0);
    const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, 200};
    CMathMerge::MergeBitmap(GetMathMerge(), &rect, &translucent.bitmap, &expected.bitmap, &rect, &merge);
    EXPECT_EQ(std::memcmp(merged.bitmap.pixels, expected.bitmap.pixels, size_t(merged.bitmap.stride) * 3), 0);
}

TEST(LayerImageARGBCache, CacheBlockSquaresFollowTheSourceTiles)
{
    Layer layer(new ITzLayerImageARGB());
    const PTzRECT left = {0, 0, 256, 256}, right = {256, 0, 512, 256};
    const _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {200, 0, 0}}, blue = {PTzCOLORMODE_ARGB, 255, {0, 0, 100}};
    ASSERT_EQ(layer->FillRect(&left, &red), 0);
    ASSERT_EQ(layer->FillRect(&right, &blue), 0);
    std::vector<uint8_t> pages(4 * 65536, 1);
    _tagITzBLOCKMEMORYARGB target = {{&pages[0], &pages[65536], &pages[131072], &pages[196608]}, {}};
    const PTzRECT source = {0, 0, 512, 256}, squares = {10, 20, 74, 52};
    ASSERT_EQ(layer->FillCacheBlock(&target, &squares, &source, 3), 1);
    EXPECT_EQ(pages[65536 + 20 * 256 + 10], 200);       // first square red
    EXPECT_EQ(pages[65536 + 51 * 256 + 41], 200);
    EXPECT_EQ(pages[196608 + 20 * 256 + 42], 100);      // second square blue
    EXPECT_EQ(pages[196608 + 51 * 256 + 73], 100);
    EXPECT_EQ(pages[65536 + 52 * 256 + 10], 1);         // below the squares: untouched
    EXPECT_EQ(pages[65536 + 20 * 256 + 74], 1);
    EXPECT_EQ(layer->FillCacheBlock(&target, &squares, &source, 9), 0);
}

TEST(LayerImageARGBCache, PreviewCacheDataReducesAPictureRect)
{
    Layer layer = PatternLayer(100, 0, 256, 256);
    std::vector<uint8_t> alpha(65536, 0);
    const PTzRECT rect = {100, 0, 356, 256}, target = {0, 0, 128, 128};
    ASSERT_EQ(layer->FillPreviewCacheChannelData(&rect, alpha.data(), &target, 1, 0), 0);
    EXPECT_EQ(alpha[127 * 256 + 127], 255);
    const PTzRECT tooLarge = {0, 0, 257, 1};
    EXPECT_EQ(layer->FillPreviewCacheChannelData(&tooLarge, alpha.data(), &target, 1, 0), ITzERR_INVALID);
    std::vector<uint8_t> pages(4 * 65536, 0);
    _tagITzBLOCKMEMORYARGB four = {{&pages[0], &pages[65536], &pages[131072], &pages[196608]}, {}};
    ASSERT_EQ(layer->FillPreviewCacheData(&rect, &four, &target, 1, 0), 0);
    EXPECT_EQ(pages[65536 + 1 * 256 + 3], uint8_t((6 + 7) / 2));  // red: mean of x 6 and 7
    EXPECT_EQ(layer->FillChannelMemoryZoomAlpha(pages.data(), alpha.data(), &target, 0), ITzERR_INVALID);
}

}  // namespace
