// The builds of the retouching kernels, one per instruction set, each a table of the
// entry points behind retouch_kernels.h. Library-private.
#pragma once

#include <cstddef>

#include "engine/tools/retouch_kernels.h"

namespace lumatra::retouch {

struct KernelSet {
    const char* name;
    bool (*runs)();  // whether this processor runs the build
    void (*blur)(const FilterDab& dab);
    void (*sharpen)(const FilterDab& dab);
    void (*pickUp)(const SmudgeDab& dab);
    void (*deposit)(const SmudgeDab& dab);
};

// Best first; the last, the baseline, runs on every x86-64 processor.
extern const KernelSet kKernelSets[];
extern const size_t kKernelSetCount;

}  // namespace lumatra::retouch
