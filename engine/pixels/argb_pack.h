// Row loops that move pixels between one byte plane per channel and interleaved
// pixels: 32-bit alpha, red, green, blue, and 24-bit red, green, blue or blue, green,
// red. Library-private.
#pragma once

#include <cstdint>

namespace lumatra::pack {

// out[4 i + c] = planes[c][i] for i < count.
void PlanesToARGB(const uint8_t* const planes[4], uint8_t* out, int32_t count);
// planes[c][i] = in[4 i + c].
void ARGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count);
// 24-bit pixels to the red, green and blue planes (planes[1..3]); with `bgr` byte 0 of
// a pixel is blue and byte 2 red. planes[0] is not touched.
void RGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count, bool bgr);

}  // namespace lumatra::pack
