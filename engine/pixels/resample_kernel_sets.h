// The builds of the resample row loops, one per instruction set, each a table of the
// entry points behind resample_kernels.h. Library-private.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/pixels/resample_rows.h"

namespace lumatra::resample {

struct KernelSet {
    using Finish = void (*)(const resample_rows::FinishJob& job);

    const char* name;
    bool (*runs)();  // whether this processor runs the build
    void (*widen)(uint32_t* out, const uint8_t* in, int32_t n);
    void (*products)(uint32_t* out, const uint8_t* a, const uint8_t* c, int32_t n);
    void (*addWeighted)(uint32_t* sum, const uint8_t* in, uint32_t w, int32_t n, bool first);
    void (*addWeightedProducts)(uint32_t* sum, const uint8_t* a, const uint8_t* c, uint32_t w, int32_t n, bool first);
    void (*addWeightedSums)(uint32_t* sum, const uint32_t* in, uint32_t w, int32_t n, bool first);
    void (*gatherChannels)(uint32_t* const* out, const uint32_t* const* values, int channels, const int32_t* start,
                           const uint32_t* weights, int32_t taps, int32_t n, bool rising);
    void (*pairs)(uint32_t* out, const uint8_t* in, int32_t n);
    void (*gatherPairs)(uint32_t* const* out, const uint32_t* const* pairs, int channels, const int32_t* start,
                        const uint32_t* weights, int32_t n, bool rising);
    void (*scale)(uint32_t* out, const uint32_t* in, uint32_t w, int32_t n);
    void (*reciprocals)(float* out, const uint32_t* den, int32_t n);
    void (*divide)(uint8_t* out, const uint32_t* num, const uint32_t* den, const float* reciprocals, int32_t n,
                   bool write255);
    Finish finish[2][2][2];  // [translucent, opaque][no colours, 3 colours][1 tap, 2 taps]
};

// Best first; the last, the baseline, runs on every x86-64 processor.
extern const KernelSet kKernelSets[];
extern const size_t kKernelSetCount;

}  // namespace lumatra::resample
