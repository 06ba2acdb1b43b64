// The row loops of bilinear resampling over 32-bit sums, each handed to the build chosen
// on the first resample, the best this processor runs (resample_rows.h says what each
// computes). Rows are arrays of n entries; the choice is made once per row, never per
// pixel. Library-private.
#pragma once

#include <cstdint>

#include "engine/pixels/resample_rows.h"

namespace lumatra::resample {

// Rows of values are readable kGatherPadding entries past their last.
inline constexpr int32_t kGatherPadding = 32;

void Widen(uint32_t* out, const uint8_t* in, int32_t n);
void Products(uint32_t* out, const uint8_t* a, const uint8_t* c, int32_t n);
void AddWeighted(uint32_t* sum, const uint8_t* in, uint32_t w, int32_t n, bool first);
void AddWeightedProducts(uint32_t* sum, const uint8_t* a, const uint8_t* c, uint32_t w, int32_t n, bool first);
void AddWeightedSums(uint32_t* sum, const uint32_t* in, uint32_t w, int32_t n, bool first);
// `rising`: no start is below the one before it.
void GatherChannels(uint32_t* const* out, const uint32_t* const* values, int channels, const int32_t* start,
                    const uint32_t* weights, int32_t taps, int32_t n, bool rising);
void Pairs(uint32_t* out, const uint8_t* in, int32_t n);
// GatherPairs of resample_rows.h for `channels` rows of pairs sharing the weights.
void GatherPairs(uint32_t* const* out, const uint32_t* const* pairs, int channels, const int32_t* start,
                 const uint32_t* weights, int32_t n, bool rising);
void Scale(uint32_t* out, const uint32_t* in, uint32_t w, int32_t n);
void Reciprocals(float* out, const uint32_t* den, int32_t n);
void Divide(uint8_t* out, const uint32_t* num, const uint32_t* den, const float* reciprocals, int32_t n,
            bool write255);
// FinishRow for alpha with 0 or 3 colours (`colours`) from 1 or 2 rows of sums (`taps`),
// of opaque sources or not.
void FinishRow(bool opaque, int colours, int taps, const resample_rows::FinishJob& job);

}  // namespace lumatra::resample
