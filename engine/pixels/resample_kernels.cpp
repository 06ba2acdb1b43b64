// The 32-bit row loops of bilinear resampling, built three times, for AVX-512, AVX2 and
// the baseline, into the kernel sets resample_kernel_dispatch.cpp chooses from. Each
// build's entry points take the loops of resample_rows.h whole (flatten), so that they
// are vectorised for that build alone. The AVX-512 build gathers taps that lie close
// together by permuting a window of values held in two registers, and two taps from rows
// of byte pairs in one multiply-add, where the baseline loads each value on its own; the
// AVX2 build does the same from a window of one register (resample_kernels_avx2.h), and
// finishes rows of opaque pixels there too.
#include "engine/pixels/kernel_builds.h"
#include "engine/pixels/resample_kernel_sets.h"
#include "engine/pixels/resample_kernels.h"
#include "engine/pixels/resample_rows.h"

#include <algorithm>
#include <cstring>

#ifndef ITZ_MERGE_BASELINE_ONLY
#include <immintrin.h>

#include "engine/pixels/resample_kernels_avx2.h"
#endif

namespace lumatra::resample {

namespace {

using resample_rows::FinishJob;

#ifndef ITZ_MERGE_BASELINE_ONLY

// Sixteen lanes of 32 bits, in GCC's vector extensions.
using Lanes = uint32_t __attribute__((vector_size(64)));

// One group of 16 destinations whose taps lie in the window of 32 values from `least`:
// the values are loaded as two registers and each tap permuted out of them.
struct Window32 {
    template <int kTaps>
    static __attribute__((target("arch=x86-64-v4"))) inline void Run(uint32_t* const* out,
                                                                      const uint32_t* const* values, int channels,
                                                                      const int32_t* start, const uint32_t* weights,
                                                                      int32_t taps, int32_t n, int32_t least)
    {
        const int32_t count = kTaps > 0 ? kTaps : taps;
        Lanes index;
        std::memcpy(&index, start, sizeof index);
        index -= uint32_t(least);
        for (int c = 0; c < channels; ++c) {
            Lanes low, high, sum = {};
            std::memcpy(&low, values[c] + least, sizeof low);
            std::memcpy(&high, values[c] + least + 16, sizeof high);
            for (int32_t t = 0; t < count; ++t) {
                Lanes tap;
                std::memcpy(&tap, weights + ptrdiff_t(t) * n, sizeof tap);
                sum += tap * __builtin_shuffle(low, high, index + uint32_t(t));
            }
            std::memcpy(out[c], &sum, sizeof sum);
        }
    }
};

// GatherPairs over 16 destinations at a time: where the pairs they load lie within 32 of
// the first (the starts rising), the pairs are permuted out of a window of two registers
// and each destination's two products summed in one multiply-add of 16-bit halves
// (the bytes and weights are below 2^15); other groups, and the last few destinations,
// load one by one.
__attribute__((target("arch=x86-64-v4"))) ITZ_RESAMPLE_INLINE void GatherPairsWindowed(
    uint32_t* const* out, const uint32_t* const* pairs, int channels, const int32_t* start, const uint32_t* weights,
    int32_t n, bool rising)
{
    int32_t j = 0;
    for (; rising && j + 16 <= n; j += 16) {
        const int32_t least = start[j];
        if (start[j + 15] - least >= kGatherPadding) {
            resample_rows::GatherPairChannels(out, pairs, channels, start, weights, j, 16);
            continue;
        }
        Lanes index, paired;
        std::memcpy(&index, start + j, sizeof index);
        std::memcpy(&paired, weights + j, sizeof paired);
        index -= uint32_t(least);
        for (int c = 0; c < channels; ++c) {
            Lanes low, high;
            std::memcpy(&low, pairs[c] + least, sizeof low);
            std::memcpy(&high, pairs[c] + least + 16, sizeof high);
            const Lanes loaded = __builtin_shuffle(low, high, index);
            _mm512_storeu_si512(out[c] + j, _mm512_madd_epi16(__m512i(loaded), __m512i(paired)));
        }
    }
    if (j < n)
        resample_rows::GatherPairChannels(out, pairs, channels, start, weights, j, n - j);
}

#endif

}  // namespace

// One build of every entry point, in namespace `build`, compiled with `attributes`;
// `gather` is its GatherChannels, `opaque31` and `opaque32` its FinishRow of opaque
// pixels with three colours from one and two rows of sums.
#define ITZ_RESAMPLE_BUILD(build, attributes, gather, gatherPairs, opaque31, opaque32)                        \
    namespace build {                                                                                          \
    attributes void Widen(uint32_t* out, const uint8_t* in, int32_t n) { resample_rows::Widen(out, in, n); }  \
    attributes void Products(uint32_t* out, const uint8_t* a, const uint8_t* c, int32_t n)                   \
    {                                                                                                          \
        resample_rows::Products(out, a, c, n);                                                                \
    }                                                                                                          \
    attributes void AddWeighted(uint32_t* sum, const uint8_t* in, uint32_t w, int32_t n, bool first)         \
    {                                                                                                          \
        resample_rows::AddWeighted(sum, in, w, n, first);                                                     \
    }                                                                                                          \
    attributes void AddWeightedProducts(uint32_t* sum, const uint8_t* a, const uint8_t* c, uint32_t w,       \
                                        int32_t n, bool first)                                                 \
    {                                                                                                          \
        resample_rows::AddWeightedProducts(sum, a, c, w, n, first);                                           \
    }                                                                                                          \
    attributes void AddWeightedSums(uint32_t* sum, const uint32_t* in, uint32_t w, int32_t n, bool first)    \
    {                                                                                                          \
        resample_rows::AddWeightedSums(sum, in, w, n, first);                                                 \
    }                                                                                                          \
    attributes void GatherChannels(uint32_t* const* out, const uint32_t* const* values, int channels,         \
                                   const int32_t* start, const uint32_t* weights, int32_t taps, int32_t n,    \
                                   bool rising)                                                               \
    {                                                                                                          \
        gather(out, values, channels, start, weights, taps, n, rising);                                       \
    }                                                                                                          \
    attributes void Pairs(uint32_t* out, const uint8_t* in, int32_t n) { resample_rows::Pairs(out, in, n); }   \
    attributes void GatherPairs(uint32_t* const* out, const uint32_t* const* pairs, int channels,               \
                                const int32_t* start, const uint32_t* weights, int32_t n, bool rising)        \
    {                                                                                                          \
        gatherPairs(out, pairs, channels, start, weights, n, rising);                                         \
    }                                                                                                          \
    attributes void Scale(uint32_t* out, const uint32_t* in, uint32_t w, int32_t n)                          \
    {                                                                                                          \
        resample_rows::Scale(out, in, w, n);                                                                  \
    }                                                                                                          \
    attributes void Reciprocals(float* out, const uint32_t* den, int32_t n)                                   \
    {                                                                                                          \
        resample_rows::Reciprocals(out, den, n);                                                              \
    }                                                                                                          \
    attributes void Divide(uint8_t* out, const uint32_t* num, const uint32_t* den, const float* reciprocals,  \
                           int32_t n, bool write255)                                                           \
    {                                                                                                          \
        resample_rows::Divide(out, num, den, reciprocals, n, write255);                                       \
    }                                                                                                          \
    attributes void Finish01(const FinishJob& job) { resample_rows::FinishRow<false, 0, 1>(job); }             \
    attributes void Finish02(const FinishJob& job) { resample_rows::FinishRow<false, 0, 2>(job); }             \
    attributes void Finish31(const FinishJob& job) { resample_rows::FinishRow<false, 3, 1>(job); }             \
    attributes void Finish32(const FinishJob& job) { resample_rows::FinishRow<false, 3, 2>(job); }             \
    attributes void Opaque01(const FinishJob& job) { resample_rows::FinishRow<true, 0, 1>(job); }              \
    attributes void Opaque02(const FinishJob& job) { resample_rows::FinishRow<true, 0, 2>(job); }              \
    attributes void Opaque31(const FinishJob& job) { opaque31(job); }                                          \
    attributes void Opaque32(const FinishJob& job) { opaque32(job); }                                          \
    }
#define ITZ_RESAMPLE_SET(name, build, supported)                                                              \
    KernelSet                                                                                                 \
    {                                                                                                         \
        name, supported, build::Widen, build::Products, build::AddWeighted, build::AddWeightedProducts,      \
            build::AddWeightedSums, build::GatherChannels, build::Pairs, build::GatherPairs, build::Scale,    \
            build::Reciprocals, build::Divide,                                                                \
        {                                                                                                     \
            {{build::Finish01, build::Finish02}, {build::Finish31, build::Finish32}},                         \
            {                                                                                                 \
                {build::Opaque01, build::Opaque02}, { build::Opaque31, build::Opaque32 }                      \
            }                                                                                                 \
        }                                                                                                     \
    }

// The baseline gathers pairs one by one.
ITZ_RESAMPLE_INLINE void GatherPairsEach(uint32_t* const* out, const uint32_t* const* pairs, int channels,
                                         const int32_t* start, const uint32_t* weights, int32_t n, bool /*rising*/)
{
    resample_rows::GatherPairChannels(out, pairs, channels, start, weights, 0, n);
}

ITZ_RESAMPLE_BUILD(baseline, __attribute__((flatten)), resample_rows::GatherChannels<uint32_t>, GatherPairsEach,
                   (resample_rows::FinishRow<true, 3, 1>), (resample_rows::FinishRow<true, 3, 2>))

// clang (the fuzz targets' compiler) knows neither the x86-64-v4 level in its processor
// checks nor flattening across instruction sets: such a build has the baseline alone.
#ifdef ITZ_MERGE_BASELINE_ONLY

const KernelSet kKernelSets[] = {ITZ_RESAMPLE_SET("baseline", baseline, kernel_builds::Always)};

#else

ITZ_RESAMPLE_BUILD(avx512, __attribute__((flatten, target("arch=x86-64-v4"))),
                   (resample_rows::GatherChannelsWindowed<16, kGatherPadding, Window32>),
                   GatherPairsWindowed, (resample_rows::FinishRow<true, 3, 1>), (resample_rows::FinishRow<true, 3, 2>))
ITZ_RESAMPLE_BUILD(avx2, __attribute__((flatten, target("avx2"))),
                   (resample_rows::GatherChannelsWindowed<8, 8, avx2_rows::Window8>),
                   avx2_rows::GatherPairsWindowed, avx2_rows::FinishOpaqueColours<1>, avx2_rows::FinishOpaqueColours<2>)

const KernelSet kKernelSets[] = {ITZ_RESAMPLE_SET("avx512", avx512, kernel_builds::RunsAvx512),
                                 ITZ_RESAMPLE_SET("avx2", avx2, kernel_builds::RunsAvx2),
                                 ITZ_RESAMPLE_SET("baseline", baseline, kernel_builds::Always)};

#endif

const size_t kKernelSetCount = sizeof kKernelSets / sizeof kKernelSets[0];

}  // namespace lumatra::resample
