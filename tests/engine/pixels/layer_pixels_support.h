// Layers for the resampling and rotation tests: ARGB layers filled from a picture of
// planes kept beside them, and their pixels read back into such a picture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "engine/pixels/layer_image_argb.h"

namespace layer_pixels {

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

// Four planes (alpha, red, green, blue) over picture rectangle `bounds`.
struct Pixels {
    PTzRECT bounds = {0, 0, 0, 0};
    std::vector<uint8_t> planes[4];

    int32_t width() const { return bounds.right - bounds.left; }
    int32_t height() const { return bounds.bottom - bounds.top; }
    // Plane p of picture pixel (x, y); transparent black outside the bounds.
    uint32_t at(int64_t x, int64_t y, int p) const
    {
        if (x < bounds.left || x >= bounds.right || y < bounds.top || y >= bounds.bottom)
            return 0;
        return planes[p][size_t((y - bounds.top) * width() + (x - bounds.left))];
    }
    _tagITzCHANNELBITMAP Bitmap()
    {
        _tagITzCHANNELBITMAP bitmap = {width(), height(), width(), PTzCOLORMODE_ARGB, {}};
        for (int p = 0; p < 4; ++p)
            bitmap.planes[p] = planes[p].data();
        return bitmap;
    }
};

inline Pixels Blank(const PTzRECT& bounds, uint8_t fill = 0)
{
    Pixels pixels;
    pixels.bounds = bounds;
    for (auto& plane : pixels.planes)
        plane.assign(size_t(pixels.width()) * size_t(pixels.height()), fill);
    return pixels;
}

// Random colours; alpha by bands of rows: random, transparent or opaque.
inline Pixels RandomPixels(const PTzRECT& bounds, uint32_t seed)
{
    Pixels pixels = Blank(bounds);
    std::mt19937 random(seed);
    for (int32_t y = 0; y < pixels.height(); ++y)
        for (int32_t x = 0; x < pixels.width(); ++x) {
            const size_t i = size_t(y) * size_t(pixels.width()) + size_t(x);
            const uint32_t band = uint32_t(y / 7 + x / 11) % 3;
            pixels.planes[0][i] = band == 0 ? uint8_t(random()) : band == 1 ? 0 : 255;
            for (int p = 1; p < 4; ++p)
                pixels.planes[p][i] = uint8_t(random());
        }
    return pixels;
}

inline Layer MakeLayer(Pixels& pixels)
{
    Layer layer(new ITzLayerImageARGB());
    if (pixels.width() > 0 && pixels.height() > 0) {
        EXPECT_EQ(layer->SetSize(&pixels.bounds, 1), 0);
        _tagITzCHANNELBITMAP bitmap = pixels.Bitmap();
        const PTzRECT local = {0, 0, pixels.width(), pixels.height()};
        EXPECT_EQ(layer->SetRectChannelData(&bitmap, &local), 1);
    }
    return layer;
}

inline Pixels ReadLayer(ITzLayerImage& layer)
{
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    Pixels pixels = Blank(bounds);
    if (pixels.width() > 0 && pixels.height() > 0) {
        _tagITzCHANNELBITMAP bitmap = pixels.Bitmap();
        const PTzRECT local = {0, 0, pixels.width(), pixels.height()};
        EXPECT_EQ(layer.GetRectChannelData(&bitmap, &local), 1);
    }
    return pixels;
}

inline bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace layer_pixels
