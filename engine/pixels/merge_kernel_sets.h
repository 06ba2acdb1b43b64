// The builds of the merge kernels, one per instruction set, each a table of the entry
// points behind merge_kernels.h. Library-private.
#pragma once

#include <cstddef>

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
};

// Best first; the last, the baseline, runs on every x86-64 processor.
extern const KernelSet kKernelSets[];
extern const size_t kKernelSetCount;

}  // namespace lumatra::merge
