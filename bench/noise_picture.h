// The benchmarks' large picture: layers of reproducible noise with a varying alpha, so
// that every channel of every block is stored raw and no work is skipped as uniform.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"

inline ITzPicture* MakeNoisePicture(int32_t width, int32_t height, int layers)
{
    auto* picture = new ITzPicture();
    picture->Create(uint32_t(width), uint32_t(height));
    uint32_t state = 12345;
    std::vector<uint8_t> band(size_t(width) * 4 * 256);
    for (int l = 0; l < layers; ++l) {
        auto* layer = new ITzLayerImageARGB();
        const PTzRECT bounds = {0, 0, width, height};
        layer->SetSize(&bounds, 1);
        for (int32_t top = 0; top < height; top += 256) {
            const int32_t rows = std::min(256, height - top);
            for (uint8_t& byte : band) {
                state = state * 1103515245u + 12345u;
                byte = uint8_t(state >> 16);
            }
            _tagITzBITMAP bitmap = {width, rows, width * 4, 32, PTzCOLORMODE_ARGB, band.data()};
            const PTzRECT rect = {0, top, width, top + rows};
            layer->SetRectData(&rect, &bitmap);
        }
        picture->InsertLayer(uint16_t(l), layer);
    }
    return picture;
}
