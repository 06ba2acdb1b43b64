// Shared by the preview-cache tests: a plain model of a layer's pixels, the cache levels
// it should give (2 x 2 reductions over squares anchored at the cache origin, computed
// pixel by pixel), and reads of a cache level to compare against it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_cache_levels.h"

namespace preview_test {

// ARGB planes over a rectangle of picture (or level) coordinates, transparent black
// outside. `weightless` marks level pixels whose last 2 x 2 step had no alpha at all,
// where a rebuilt block may keep older colours.
struct Image {
    PTzRECT rect = {};
    std::vector<uint8_t> planes[4];
    std::vector<uint8_t> weightless;

    Image() = default;
    explicit Image(const PTzRECT& r) : rect(r)
    {
        for (auto& plane : planes)
            plane.assign(size(), 0);
        weightless.assign(size(), 0);
    }
    int32_t width() const { return rect.right - rect.left; }
    int32_t height() const { return rect.bottom - rect.top; }
    size_t size() const { return size_t(width()) * size_t(height()); }
    bool inside(int32_t x, int32_t y) const
    {
        return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
    }
    size_t index(int32_t x, int32_t y) const { return size_t(y - rect.top) * size_t(width()) + size_t(x - rect.left); }
    uint8_t get(int c, int32_t x, int32_t y) const { return inside(x, y) ? planes[c][index(x, y)] : 0; }
    uint8_t& at(int c, int32_t x, int32_t y) { return planes[c][index(x, y)]; }
};

// Random pixels with whole areas of alpha 0, alpha 1 and 255, where the weighting and
// the truncation of the means matter most.
inline Image RandomImage(const PTzRECT& rect, uint32_t seed)
{
    std::mt19937 random(seed);
    Image image(rect);
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        for (int32_t x = rect.left; x < rect.right; ++x) {
            const int32_t band = ((x - rect.left) / 97 + (y - rect.top) / 71) % 4;
            image.at(0, x, y) = band == 0 ? 0 : band == 1 ? uint8_t(random() % 2) : band == 2 ? 255 : uint8_t(random());
            for (int c = 1; c < 4; ++c)
                image.at(c, x, y) = uint8_t(random());
        }
    return image;
}

// Writes the image into the layer at its rectangle (layer already covering it).
inline void WriteImage(ITzLayerImageARGB& layer, const Image& image, const PTzRECT& part)
{
    std::vector<uint8_t> pixels(size_t(part.right - part.left) * size_t(part.bottom - part.top) * 4);
    size_t at = 0;
    for (int32_t y = part.top; y < part.bottom; ++y)
        for (int32_t x = part.left; x < part.right; ++x)
            for (int c = 0; c < 4; ++c)
                pixels[at++] = image.get(c, x, y);
    _tagITzBITMAP bitmap = {part.right - part.left, part.bottom - part.top, (part.right - part.left) * 4, 32,
                            PTzCOLORMODE_ARGB, pixels.data()};
    PTzRECT local;
    layer.PRECTtoLRECT(&part, &local);
    ASSERT_EQ(layer.SetRectData(&local, &bitmap), 0);
}

// A new ARGB layer holding the image at its rectangle.
inline ITzLayerImageARGB* MakeLayer(const Image& image)
{
    auto* layer = new ITzLayerImageARGB();
    layer->SetSize(&image.rect, 1);
    WriteImage(*layer, image, image.rect);
    return layer;
}

// One 2 x 2 step of the reduction rule into level `level` over `rect`, the squares
// anchored at the origin.
inline Image HalveImage(const Image& finer, const PTzPOINT& origin, uint8_t level, const PTzRECT& rect)
{
    Image out(rect);
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        for (int32_t x = rect.left; x < rect.right; ++x) {
            const int32_t fx = int32_t(lumatra::LevelToFiner(x, origin.x, level));
            const int32_t fy = int32_t(lumatra::LevelToFiner(y, origin.y, level));
            const int32_t xs[4] = {fx, fx + 1, fx, fx + 1}, ys[4] = {fy, fy, fy + 1, fy + 1};
            uint32_t weight = 0;
            for (int i = 0; i < 4; ++i)
                weight += finer.get(0, xs[i], ys[i]);
            out.at(0, x, y) = uint8_t(weight / 4);
            out.weightless[out.index(x, y)] = weight == 0;
            for (int c = 1; c < 4 && weight != 0; ++c) {
                uint32_t sum = 0;
                for (int i = 0; i < 4; ++i)
                    sum += uint32_t(finer.get(c, xs[i], ys[i])) * finer.get(0, xs[i], ys[i]);
                out.at(c, x, y) = uint8_t(sum / weight);
            }
        }
    return out;
}

// Level `level` of the image's cache with the given origin.
inline Image LevelImage(const Image& source, const PTzPOINT& origin, uint8_t level)
{
    Image image = source;
    for (uint8_t n = 1; n <= level; ++n)
        image = HalveImage(image, origin, n, lumatra::MapToLevel(source.rect, origin, n));
    return image;
}

// The cache layer's pixels over a rectangle of its coordinates (blocks built as read).
inline Image ReadLevel(ITzLayerImage& level, const PTzRECT& rect)
{
    Image image(rect);
    std::vector<uint8_t> pixels(image.size() * 4);
    _tagITzBITMAP bitmap = {image.width(), image.height(), image.width() * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    const _tagITzZOOMLEVEL one = {1, 1};
    EXPECT_EQ(level.GetBitmap(&bitmap, &rect, &one, &one), 0);
    for (size_t i = 0; i < image.size(); ++i)
        for (int c = 0; c < 4; ++c)
            image.planes[c][i] = pixels[4 * i + size_t(c)];
    return image;
}

// Every pixel of the level over the expected image's rectangle matches it; colours
// under weightless pixels only when the blocks were built fresh.
inline void ExpectLevel(ITzLayerImage& level, const Image& expected, bool fresh)
{
    PTzRECT bounds;
    level.GetBounds(&bounds);
    EXPECT_TRUE(PTzRectEqual(&bounds, &expected.rect));
    const Image read = ReadLevel(level, expected.rect);
    int mismatches = 0;
    for (size_t i = 0; i < read.size() && mismatches < 5; ++i)
        for (int c = 0; c < 4; ++c) {
            if (c > 0 && expected.weightless[i] && !fresh)
                continue;
            if (read.planes[c][i] != expected.planes[c][i]) {
                ADD_FAILURE() << "channel " << c << " at " << i % size_t(read.width()) + size_t(read.rect.left)
                              << "," << i / size_t(read.width()) + size_t(read.rect.top) << ": "
                              << int(read.planes[c][i]) << " != " << int(expected.planes[c][i]);
                ++mismatches;
            }
        }
}

inline bool AnyBlockHasData(ITzLayerImage& level)
{
    for (uint32_t i = 0; i < level.GetBlockCount(); ++i)
        if (level.BlockDataAvailable(i))
            return true;
    return false;
}

}  // namespace preview_test
