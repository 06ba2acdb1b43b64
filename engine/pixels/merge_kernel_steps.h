// Row loops of interleaved pixels made of steps of a fixed number of pixels, for the
// merge kernels written in a build's own instructions: the last few pixels of a row go
// through one step on copies of them, and a job's choices (opacity 255, colour order)
// are made once. A step is a struct with `static void Run(source, dest, opacity)`, inline
// with its build's target; the builds' flattened entry points take it whole.
// Library-private.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/pixels/merge_kernels.h"

#define ITZ_STEPS_INLINE inline __attribute__((always_inline))

namespace lumatra::merge::steps {

// Step::Run over each kPixels pixels of a row of n, sources kSourceBytes and
// destinations kDestBytes a pixel.
template <class Step, int kPixels, int kSourceBytes, int kDestBytes>
ITZ_STEPS_INLINE void Row(const uint8_t* s, uint8_t* d, int n, int opacity)
{
    int x = 0;
    for (; x + kPixels <= n; x += kPixels)
        Step::Run(s + kSourceBytes * x, d + kDestBytes * x, opacity);
    if (x == n)
        return;
    alignas(32) uint8_t source[kPixels * kSourceBytes] = {}, dest[kPixels * kDestBytes] = {};
    std::memcpy(source, s + kSourceBytes * x, size_t(n - x) * kSourceBytes);
    std::memcpy(dest, d + kDestBytes * x, size_t(n - x) * kDestBytes);
    Step::Run(source, dest, opacity);
    std::memcpy(d + kDestBytes * x, dest, size_t(n - x) * kDestBytes);
}

template <class Step, int kPixels, int kSourceBytes, int kDestBytes>
ITZ_STEPS_INLINE void Rows(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y)
        Row<Step, kPixels, kSourceBytes, kDestBytes>(job.source[0] + ptrdiff_t(y) * job.sourceStride,
                                                     job.dest[0] + ptrdiff_t(y) * job.destStride, job.width,
                                                     job.opacity);
}

// AlphaOver32 through Step<kFull> of kPixels pixels, kFull for opacity 255.
template <template <bool> class Step, int kPixels>
ITZ_STEPS_INLINE void AlphaOver32(const Job& job)
{
    job.opacity == 255 ? Rows<Step<true>, kPixels, 4, 4>(job) : Rows<Step<false>, kPixels, 4, 4>(job);
}

// AlphaOver32To24 through Step<kFull, kBgr> of kPixels pixels.
template <template <bool, bool> class Step, int kPixels>
ITZ_STEPS_INLINE void AlphaOver32To24(const Job& job, bool bgr)
{
    const bool full = job.opacity == 255;
    if (bgr)
        full ? Rows<Step<true, true>, kPixels, 4, 3>(job) : Rows<Step<false, true>, kPixels, 4, 3>(job);
    else
        full ? Rows<Step<true, false>, kPixels, 4, 3>(job) : Rows<Step<false, false>, kPixels, 4, 3>(job);
}

}  // namespace lumatra::merge::steps
