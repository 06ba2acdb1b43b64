// The gray layer's zoomed reads and draws against the nearest-pixel rules computed per
// pixel (every destination pixel by its centre when enlarging, also where the layer's
// edge cuts the read), the coloured overlay, the alpha mask and the dispatchers.
#include "engine/pixels/layer_image_gray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "merge_reference.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageGray, ITzLayerDestroyer>;

struct Bitmap {
    _tagITzBITMAP bitmap = {};
    Bitmap(int32_t width, int32_t height, int32_t mode, uint8_t fill)
    {
        const _tagPTzSIZE size = {width, height};
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, mode), 1);
        std::memset(bitmap.pixels, fill, size_t(bitmap.stride) * height);
    }
    ~Bitmap() { ITzReleaseITzBitmap(&bitmap); }
    uint8_t* at(int32_t x, int32_t y) { return bitmap.pixels + y * bitmap.stride + x * (bitmap.bits / 8); }
};

uint8_t Pattern(int32_t x, int32_t y)
{
    return uint8_t(x * 7 + y * 13);
}

// A mask at (left, top) whose layer pixel (x, y) holds Pattern(x, y); block 1 is missing.
Layer PatternMask(int32_t left, int32_t top, int32_t width, int32_t height)
{
    Layer layer(new ITzLayerImageGray());
    const PTzRECT bounds = {left, top, left + width, top + height};
    EXPECT_EQ(layer->ExtendSize(&bounds, nullptr, 1), 0);
    Bitmap pixels(width, height, PTzCOLORMODE_GRAY, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            *pixels.at(x, y) = Pattern(x, y);
    const PTzRECT local = {0, 0, width, height};
    EXPECT_EQ(layer->SetRectData(&local, &pixels.bitmap), 0);
    layer->BlockDataInvalid(1);
    return layer;
}

// The form is chosen by the x zoom and applies its rule on both axes.
int32_t SourceOf(const _tagITzZOOMLEVEL& zoom, bool enlarge, int32_t z)
{
    return enlarge ? ITzZoomNNSourceEnlarge(&zoom, z) : ITzZoomNNSourceReduce(&zoom, z);
}

// The mask value a destination pixel shows, or -1 where it keeps what it held.
int Shown(ITzLayerImageGray& layer, const _tagITzZOOMLEVEL& zx, const _tagITzZOOMLEVEL& zy, int32_t zx0, int32_t zy0)
{
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    const bool enlarge = zx.denominator < zx.numerator;
    const PTzPOINT source = {SourceOf(zx, enlarge, zx0), SourceOf(zy, enlarge, zy0)};
    if (!PTzRectPointIn(&bounds, &source))
        return -1;
    PTzRECT grid;
    layer.GetBlockBounds(&grid);
    if (layer.BlockDataAvailable(uint32_t((source.y - grid.top) / 256 * 3 + (source.x - grid.left) / 256)) == 0)
        return -1;
    return Pattern(source.x - bounds.left, source.y - bounds.top);
}

TEST(LayerImageGrayZoom, EveryDestinationPixelShowsItsNearestSource)
{
    // The layer starts inside a block, so its left and top edges cut into the reads.
    Layer layer = PatternMask(37, 21, 700, 300);
    const _tagITzZOOMLEVEL zooms[] = {{1, 1}, {1, 2}, {2, 3}, {3, 2}, {2, 1}, {5, 4}, {4, 6}, {3, 8}, {7, 2}};
    std::mt19937 random(3);
    for (const auto& zx : zooms)
        for (const auto& zy : zooms) {
            const int32_t left = int32_t(random() % 200) - 20, top = int32_t(random() % 100) - 20;
            const PTzRECT zoomed = {left, top, left + 90, top + 70};
            Bitmap out(90, 70, PTzCOLORMODE_GRAY, 0xAB);
            ASSERT_EQ(layer->GetBitmap(&out.bitmap, &zoomed, &zx, &zy), 0);
            for (int32_t y = 0; y < 70; ++y)
                for (int32_t x = 0; x < 90; ++x) {
                    const int shown = Shown(*layer, zx, zy, left + x, top + y);
                    ASSERT_EQ(*out.at(x, y), shown < 0 ? 0xAB : shown)
                        << zx.numerator << "/" << zx.denominator << " " << zy.numerator << "/" << zy.denominator
                        << " at " << x << "," << y;
                }
        }
}

TEST(LayerImageGrayZoom, HalvingAndDoublingPickTheDocumentedSources)
{
    Layer layer = PatternMask(0, 0, 256, 256);
    Bitmap out(3, 1, PTzCOLORMODE_GRAY, 0);
    const _tagITzZOOMLEVEL half = {1, 2}, twice = {2, 1};
    const PTzRECT three = {0, 0, 3, 1}, four = {0, 0, 4, 1};
    ASSERT_EQ(layer->GetBitmapZoomOut(&out.bitmap, &three, &half, &half), 0);
    EXPECT_EQ(*out.at(1, 0), Pattern(2, 0));
    EXPECT_EQ(*out.at(2, 0), Pattern(4, 0));
    Bitmap in(4, 1, PTzCOLORMODE_GRAY, 0);
    ASSERT_EQ(layer->GetBitmapZoomIn(&in.bitmap, &four, &twice, &twice), 0);
    EXPECT_EQ(*in.at(1, 0), Pattern(0, 0));
    EXPECT_EQ(*in.at(2, 0), Pattern(1, 0));
    Bitmap wide(4, 1, PTzCOLORMODE_ARGB, 0);
    EXPECT_EQ(layer->GetBitmap(&wide.bitmap, &four, &twice, &twice), ITzERR_INVALID);
    EXPECT_EQ(layer->GetBitmap(&in.bitmap, &four, nullptr, &twice), ITzERR_INVALID);
}

TEST(LayerImageGrayZoom, TheOverlayIsHalfStrengthRedByDefault)
{
    Layer layer(new ITzLayerImageGray());
    const PTzRECT bounds = {0, 0, 2, 1};
    const _tagPTzCOLOR full = {PTzCOLORMODE_GRAY, 255, {255}};
    ASSERT_EQ(layer->FillRect(&bounds, &full), 0);
    const PTzRECT second = {1, 0, 2, 1};
    const _tagPTzCOLOR none = {PTzCOLORMODE_GRAY, 255, {0}};
    ASSERT_EQ(layer->FillRect(&second, &none), 0);
    const _tagITzZOOMLEVEL one = {1, 1};
    Bitmap argb(2, 1, PTzCOLORMODE_ARGB, 255);
    ASSERT_EQ(layer->MergeToBitmapColor(&argb.bitmap, &bounds, &one, &one, nullptr), 0);
    EXPECT_EQ(std::vector<uint8_t>(argb.at(0, 0), argb.at(0, 0) + 8),
              (std::vector<uint8_t>{255, 255, 126, 126, 255, 255, 255, 255}));
    Bitmap rgb(2, 1, PTzCOLORMODE_RGB, 255);
    const _tagPTzCOLOR mode3 = {PTzCOLORMODE_ARGB, 255, {0, 255, 0}};
    ASSERT_EQ(layer->MergeToBitmapColor(&rgb.bitmap, &bounds, &one, &one, &mode3), 0);
    EXPECT_EQ(std::vector<uint8_t>(rgb.at(0, 0), rgb.at(0, 0) + 6),
              (std::vector<uint8_t>{255, 127, 127, 255, 255, 255}));
    // A mode-1 colour is drawn in its own components; merge type 9 draws the overlay.
    Bitmap green(1, 1, PTzCOLORMODE_RGB, 0);
    const _tagPTzCOLOR mode1 = {PTzCOLORMODE_RGB, 255, {0, 255, 0}};
    ASSERT_EQ(layer->MergeToBitmapZoomOut(&green.bitmap, &bounds, &one, &one, &mode1), 0);
    EXPECT_EQ(green.at(0, 0)[0], 0);
    EXPECT_EQ(green.at(0, 0)[1], 128);
    layer->SetMergeType(ITzMERGE_MULTIPLY_ALPHA);
    Bitmap drawn(2, 1, PTzCOLORMODE_ARGB, 255);
    ASSERT_EQ(layer->MergeToBitmap(&drawn.bitmap, &bounds, &one, &one), 0);
    EXPECT_EQ(drawn.at(0, 0)[2], 126);
    EXPECT_EQ(layer->MergeToBitmapColor(&drawn.bitmap, &bounds, nullptr, &one, nullptr), ITzERR_INVALID);
}

TEST(LayerImageGrayZoom, MaskAndOverlayMatchTheReferenceAndSkipMissingBlocks)
{
    Layer layer = PatternMask(0, 0, 700, 300);
    const CMathMerge& t = *GetMathMerge();
    std::mt19937 random(5);
    const _tagITzZOOMLEVEL zoom = {3, 2};
    const PTzRECT zoomed = {300, 10, 500, 60};  // crosses the missing block 1
    Bitmap alpha(200, 50, PTzCOLORMODE_ARGB, 0), overlay(200, 50, PTzCOLORMODE_ARGB, 0);
    const std::vector<uint8_t> start = RandomBytes(random, size_t(alpha.bitmap.stride) * 50);
    std::memcpy(alpha.bitmap.pixels, start.data(), start.size());
    std::memcpy(overlay.bitmap.pixels, start.data(), start.size());
    ASSERT_EQ(layer->FloatMaskMergeToBitmapZoomIn(&alpha.bitmap, &zoomed, &zoom, &zoom), 0);
    ASSERT_EQ(layer->MergeToBitmapZoomIn(&overlay.bitmap, &zoomed, &zoom, &zoom, nullptr), 0);
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 200; ++x) {
            const uint8_t* before = &start[size_t(y) * alpha.bitmap.stride + size_t(x) * 4];
            const int shown = Shown(*layer, zoom, zoom, zoomed.left + x, zoomed.top + y);
            const uint8_t s = uint8_t(shown < 0 ? 0 : shown);
            const RefPixel d = {before[0], before[1], before[2], before[3]};
            const RefPixel over = shown < 0 ? d : RefAlphaOver(t, {s, 255, 0, 0}, d, t.Product(s, 128));
            const uint8_t* a = alpha.at(x, y);
            const uint8_t* o = overlay.at(x, y);
            ASSERT_EQ(a[0], shown < 0 ? before[0] : t.Product(s, before[0])) << x << "," << y;
            ASSERT_EQ(std::memcmp(a + 1, before + 1, 3), 0);
            ASSERT_EQ((RefPixel{o[0], o[1], o[2], o[3]}), over) << x << "," << y;
        }
    Bitmap gray(4, 4, PTzCOLORMODE_GRAY, 9);  // depths an action does not write stay
    ASSERT_EQ(layer->FloatMaskMergeToBitmapZoomOut(&gray.bitmap, &zoomed, &zoom, &zoom), 0);
    ASSERT_EQ(layer->MergeToBitmapZoomOut(&gray.bitmap, &zoomed, &zoom, &zoom, nullptr), 0);
    EXPECT_EQ(*gray.at(3, 3), 9);
}

TEST(LayerImageGrayZoom, OtherMergeTypesBlendTheMaskBytes)
{
    Layer layer = PatternMask(0, 0, 256, 256);
    layer->SetMergeType(ITzMERGE_ERASE);
    layer->SetTempOpacity(255);
    const _tagITzZOOMLEVEL one = {1, 1};
    const PTzRECT rect = {5, 6, 9, 8};
    Bitmap argb(4, 2, PTzCOLORMODE_ARGB, 200);
    ASSERT_EQ(layer->MergeToBitmap(&argb.bitmap, &rect, &one, &one), 0);
    const CMathMerge& t = *GetMathMerge();
    EXPECT_EQ(argb.at(2, 1)[0], t.Product(uint8_t(255 - Pattern(7, 7)), 200));
    EXPECT_EQ(argb.at(2, 1)[1], 200);
}

}  // namespace
