// The pixel kernels of the retouching brushes: the blur and sharpen filters blended into
// the layer under a dab, and the smudge's pick-up and deposit. Each is a row loop over
// the four planes (alpha, red, green, blue) of a tile. Library-private (exported for its
// tests).
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

namespace lumatra::retouch {

// Four planes of equal stride: alpha, red, green, blue.
struct Planes {
    uint8_t* plane[4];
    int32_t stride;
};

// One dab of a filter brush. The source is the dab's area with a one-pixel margin: dab
// pixel (x, y) is source pixel (x + 1, y + 1), and the source is left as it was. Source
// pixels outside `valid` do not exist: a neighbour there counts as the centre pixel, and
// a dab pixel there keeps its value. The coverage is the dab's, readable one pixel
// around the dab (0 there). The destination receives every dab pixel; when source,
// coverage and destination rows are all width + 2 bytes apart, the two bytes after each
// destination row but the last may be overwritten too.
struct FilterDab {
    Planes source;
    PTzRECT valid;  // source coordinates
    const uint8_t* coverage;
    int32_t coverageStride;
    Planes dest;
    int32_t width;
    int32_t height;
    uint8_t strength;     // the tool's
    uint8_t dabStrength;  // the dab's
};

// The blur: with the weights 1 2 1 / 2 4 2 / 1 2 1, G = sum w * alpha, the filtered
// alpha X = G >> 4 and each colour (sum w * alpha * c + G / 2) / G (unchanged for G = 0).
LUMATRA_API void BlurDab(const FilterDab& dab);
// The sharpen: the weights are the dab's coverage at the pixel and its neighbours, W
// their sum; X = alpha + sum w_n (alpha - alpha_n) / W and each colour c + sum over
// neighbours with nonzero alpha of w_n (c - c_n) / W, the sums divided once and
// truncated, then clamped to 0-255; a pixel of alpha 0 or coverage 0 is unchanged.
LUMATRA_API void SharpenDab(const FilterDab& dab);

// One smudge dab over a rectangle of the layer. The transfer (the paint the brush
// carries, in the dab's own coordinates) is read and rewritten in place.
struct SmudgeDab {
    Planes layer;
    Planes transfer;
    const uint8_t* coverage;
    int32_t coverageStride;
    const uint8_t* selection;  // the selection's values under the dab, or null for none
    int32_t selectionStride;
    int32_t width;
    int32_t height;
    uint8_t strength;     // the tool's, k
    uint8_t dabStrength;  // the dab's, q
};

// The pick-up, over the whole rectangle: v = M(transfer alpha, k), w = M(layer alpha,
// 255 - k), the transfer's alpha becomes min(255, v + w) and, when that is nonzero, each
// colour the split mix of the transfer's (weight v) and the layer's (weight w).
LUMATRA_API void SmudgePickUp(const SmudgeDab& dab);
// The deposit: b0 = M(d, q), times the selection value when there is a selection; C =
// M(transfer alpha, b0), B = M(layer alpha, 255 - b0); the layer's alpha becomes
// min(255, C + B) and its colours stay for C = 0, become the transfer's for B = 0, and
// are otherwise the split mix of the transfer's (weight C) and the layer's (weight B).
LUMATRA_API void SmudgeDeposit(const SmudgeDab& dab);

}  // namespace lumatra::retouch
