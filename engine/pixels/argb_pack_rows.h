// The row loops of argb_pack.h, written so the vectoriser can turn them into shuffles:
// fixed-count inner steps and no aliasing between the planes. They go whole into each
// build of the merge kernels (merge_kernels.cpp), since the baseline instruction set has
// no byte shuffle. Library-private.
#pragma once

#include <cstdint>

#define ITZ_PACK_INLINE inline __attribute__((always_inline))

namespace lumatra::pack_rows {

ITZ_PACK_INLINE void PlanesToARGB(const uint8_t* const planes[4], uint8_t* out, int32_t count)
{
    const uint8_t* __restrict a = planes[0];
    const uint8_t* __restrict r = planes[1];
    const uint8_t* __restrict g = planes[2];
    const uint8_t* __restrict b = planes[3];
    uint8_t* __restrict o = out;
    for (int32_t i = 0; i < count; ++i) {
        o[4 * i] = a[i];
        o[4 * i + 1] = r[i];
        o[4 * i + 2] = g[i];
        o[4 * i + 3] = b[i];
    }
}

ITZ_PACK_INLINE void ARGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count)
{
    const uint8_t* __restrict p = in;
    uint8_t* __restrict a = planes[0];
    uint8_t* __restrict r = planes[1];
    uint8_t* __restrict g = planes[2];
    uint8_t* __restrict b = planes[3];
    for (int32_t i = 0; i < count; ++i) {
        a[i] = p[4 * i];
        r[i] = p[4 * i + 1];
        g[i] = p[4 * i + 2];
        b[i] = p[4 * i + 3];
    }
}

ITZ_PACK_INLINE void RGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count, bool bgr)
{
    const uint8_t* __restrict p = in;
    uint8_t* __restrict r = planes[bgr ? 3 : 1];
    uint8_t* __restrict g = planes[2];
    uint8_t* __restrict b = planes[bgr ? 1 : 3];
    for (int32_t i = 0; i < count; ++i) {
        r[i] = p[3 * i];
        g[i] = p[3 * i + 1];
        b[i] = p[3 * i + 2];
    }
}

}  // namespace lumatra::pack_rows
