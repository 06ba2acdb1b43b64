// The builds of the merge kernels, one per instruction set, each a table of the entry
// points behind merge_kernels.h and argb_pack.h. Library-private.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/pixels/merge_kernels.h"

namespace lumatra::merge {

struct KernelSet {
    const char* name;
    bool (*runs)();  // whether this processor runs the build
    void (*grayPlane)(GrayOp op, const Job& job);
    void (*grayIntoAlpha32)(GrayOp op, const Job& job);
    void (*alphaOverPlanar)(const Job& job);
    void (*smudgePlanar)(const Job& job);
    void (*alphaOver32)(const Job& job);
    void (*alphaOver32To24)(const Job& job, bool bgr);
    void (*invert)(const Job& job, int bytesPerPixel);
    // The pixel moves of argb_pack.h.
    void (*planesToARGB)(const uint8_t* const planes[4], uint8_t* out, int32_t count);
    void (*argbToPlanes)(const uint8_t* in, uint8_t* const planes[4], int32_t count);
    void (*rgbToPlanes)(const uint8_t* in, uint8_t* const planes[4], int32_t count, bool bgr);
};

// Best first; the last, the baseline, runs on every x86-64 processor.
extern const KernelSet kKernelSets[];
extern const size_t kKernelSetCount;

}  // namespace lumatra::merge
