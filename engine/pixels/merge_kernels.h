// The merge loops behind the tile and bitmap merges: one per operation, over rows of
// bytes, with the mask and opacity-255 choices fixed once per call. Library-private.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumatra::merge {

// A rectangle of pixels: up to four planes a side (alpha, red, green, blue), or one
// plane of interleaved pixels. Source, destination and mask planes never overlap.
struct Job {
    const uint8_t* source[4] = {};
    ptrdiff_t sourceStride = 0;  // 0 repeats the first source row
    uint8_t* dest[4] = {};
    ptrdiff_t destStride = 0;
    const uint8_t* mask = nullptr;  // 8-bit weights, or null for none
    ptrdiff_t maskStride = 0;
    int32_t width = 0;  // pixels
    int32_t height = 0;
    uint8_t opacity = 255;
    uint8_t factor = 255;  // scales every mask value
};

// The gray merges d = f(v, d) with v = M(s, opacity), times M(m, factor) under a mask.
enum class GrayOp {
    Union,            // S(v, d)
    Multiply,         // M(d, v)
    ReverseSubtract,  // max(v - d, 0)
    Subtract,         // max(d - v, 0)
    Erase,            // M(255 - v, d)
};

// source[0] merged into dest[0].
void GrayPlane(GrayOp op, const Job& job);
// source[0] merged into the alpha byte (byte 0) of the 32-bit pixels of dest[0]; no mask.
void GrayIntoAlpha32(GrayOp op, const Job& job);

// Alpha-over of four planes: a = M(source alpha, opacity) (times the mask), new alpha
// n = S(a, d), colours c_d + ((Q(a, n) * (c_s - c_d)) >> 16).
void AlphaOverPlanar(const Job& job);
// The smudge mix of four planes under the mask (required); the opacity is not used.
void SmudgePlanar(const Job& job);
// Colour planes copied; alpha S(M(source alpha, M(m, factor)), d) under the mask (required).
void ColorCopyPlanar(const Job& job);
// The first `planes` planes copied.
void CopyPlanes(const Job& job, int planes);

// Alpha-over of 32-bit pixels (alpha, red, green, blue) onto 32-bit pixels.
void AlphaOver32(const Job& job);
// Onto 24-bit pixels in red, green, blue order, or blue, green, red when `bgr`: each
// colour moves by M(|c_s - c_d|, a) towards the source. That is M'(c_s a + c_d (255 - a))
// with M'(v) = (v + 127) / 255, which the row loops compute: both round (c_s - c_d) a / 255
// to the nearest, never half way since 255 is odd.
void AlphaOver32To24(const Job& job, bool bgr);
// Where the 8-bit source is nonzero, the colour bytes of the pixels (bytes 1-3 of 32-bit
// pixels, all three of 24-bit ones) become 255 - v.
void Invert(const Job& job, int bytesPerPixel);

}  // namespace lumatra::merge
