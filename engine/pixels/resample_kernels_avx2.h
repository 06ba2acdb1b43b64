// Row loops of the AVX2 build of the resample kernels: the gathers, where eight or
// sixteen destinations whose sources lie within eight values of the least are permuted
// out of one register instead of loading each value on its own, and the last steps of
// rows of opaque pixels, 32 a step into whole registers of bytes. The values of
// resample_rows.h's loops. Included by resample_kernels.cpp alone.
#pragma once

#include <immintrin.h>

#include <algorithm>
#include <cstdint>

#include "engine/pixels/resample_rows.h"

#define ITZ_RESAMPLE_AVX2 inline __attribute__((always_inline, target("avx2")))

namespace lumatra::resample::avx2_rows {

ITZ_RESAMPLE_AVX2 __m256i Load8(const void* p)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

ITZ_RESAMPLE_AVX2 void Store8(void* p, __m256i v)
{
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

// One group of 8 destinations of resample_rows::GatherChannelsWindowed whose kTaps taps
// (taps when kTaps is 0) lie in the 8 values from `least` of each channel.
struct Window8 {
    template <int kTaps>
    static __attribute__((target("avx2"))) inline void Run(uint32_t* const* out, const uint32_t* const* values,
                                                           int channels, const int32_t* start,
                                                           const uint32_t* weights, int32_t taps, int32_t n,
                                                           int32_t least)
    {
        const int32_t count = kTaps > 0 ? kTaps : taps;
        const __m256i index = _mm256_sub_epi32(Load8(start), _mm256_set1_epi32(least));
        for (int c = 0; c < channels; ++c) {
            const __m256i window = Load8(values[c] + least);
            __m256i sum = _mm256_setzero_si256();
            for (int32_t t = 0; t < count; ++t) {
                const __m256i tap = _mm256_permutevar8x32_epi32(window, _mm256_add_epi32(index, _mm256_set1_epi32(t)));
                sum = _mm256_add_epi32(sum, _mm256_mullo_epi32(Load8(weights + ptrdiff_t(t) * n), tap));
            }
            Store8(out[c], sum);
        }
    }
};

// Eight destinations of GatherPairs for each channel from its window of 8 pairs at
// `least`: each pair permuted out of one register and the destination's two products
// summed in one multiply-add of 16-bit halves (the bytes and weights are below 2^15).
ITZ_RESAMPLE_AVX2 void GatherPairWindows(uint32_t* const* out, const uint32_t* const* pairs, int channels,
                                         const int32_t* start, const uint32_t* weights, int32_t j, int32_t least,
                                         int32_t groups)
{
    const __m256i first = _mm256_set1_epi32(least);
    for (int32_t g = 0; g < groups; ++g) {
        const int32_t at = j + 8 * g;
        const __m256i index = _mm256_sub_epi32(Load8(start + at), first), paired = Load8(weights + at);
        for (int c = 0; c < channels; ++c)
            Store8(out[c] + at, _mm256_madd_epi16(_mm256_permutevar8x32_epi32(Load8(pairs[c] + least), index), paired));
    }
}

// GatherPairs with the starts rising: 16 destinations at a time from one window where
// the pairs they load lie within 8 of the first (an enlargement by 2 or more), else 8 at
// a time where those do; other groups, and the last few, load one by one.
ITZ_RESAMPLE_AVX2 void GatherPairsWindowed(uint32_t* const* out, const uint32_t* const* pairs, int channels,
                                           const int32_t* start, const uint32_t* weights, int32_t n, bool rising)
{
    int32_t j = 0;
    for (; rising && j + 8 <= n;) {
        const int32_t least = start[j];
        if (j + 16 <= n && start[j + 15] - least < 8) {
            GatherPairWindows(out, pairs, channels, start, weights, j, least, 2);
            j += 16;
        } else {
            if (start[j + 7] - least < 8)
                GatherPairWindows(out, pairs, channels, start, weights, j, least, 1);
            else
                resample_rows::GatherPairChannels(out, pairs, channels, start, weights, j, 8);
            j += 8;
        }
    }
    if (j < n)
        resample_rows::GatherPairChannels(out, pairs, channels, start, weights, j, n - j);
}

// The quotients of eight opaque colour sums weighed from kTaps rows at j, by their
// totals: resample_rows::Quotient through DivideSum, the sums below 2^31.
template <int kTaps>
ITZ_RESAMPLE_AVX2 __m256i OpaqueQuotients(const uint32_t* first, const uint32_t* second, int32_t j, __m256i w0,
                                          __m256i w1, __m256i total, __m256 byTotal)
{
    __m256i sum = _mm256_mullo_epi32(Load8(first + j), w0);
    if constexpr (kTaps == 2)
        sum = _mm256_add_epi32(sum, _mm256_mullo_epi32(Load8(second + j), w1));
    const __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(sum), byTotal));
    return _mm256_add_epi32(q, _mm256_srai_epi32(_mm256_sub_epi32(sum, _mm256_mullo_epi32(q, total)), 31));
}

// resample_rows::FinishRow of opaque pixels with three colours from kTaps rows of sums,
// no column total 0 (the job reached): alpha 255 and each colour its sum by the weight
// total, 32 pixels a step, the rest by the plain loop. Uniform column
// totals (kUniform) give every pixel the first one's total and reciprocal, the values
// each would compute.
template <int kTaps, bool kUniform>
ITZ_RESAMPLE_AVX2 void FinishOpaqueRun(const resample_rows::FinishJob& job)
{
    const __m256i w0 = _mm256_set1_epi32(int32_t(job.weights[0])), w1 = _mm256_set1_epi32(int32_t(job.weights[1]));
    const __m256i rowTotal = _mm256_set1_epi32(int32_t(job.rowTotal));
    const __m256 rowReciprocal = _mm256_set1_ps(job.rowReciprocal);
    const __m256i uniformTotal = _mm256_mullo_epi32(_mm256_set1_epi32(int32_t(job.totals[0])), rowTotal);
    const __m256 uniformByTotal = _mm256_mul_ps(_mm256_set1_ps(job.reciprocals[0]), rowReciprocal);
    // Dwords of the bytes packed from four registers of quotients back in order.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const int t = kTaps - 1;
    int32_t j = 0;
    for (; j + 32 <= job.n; j += 32) {
        __m256i totals[4];
        __m256 byTotals[4];
        for (int k = 0; k < 4; ++k) {
            totals[k] = kUniform ? uniformTotal : _mm256_mullo_epi32(Load8(job.totals + j + 8 * k), rowTotal);
            byTotals[k] = kUniform ? uniformByTotal
                                   : _mm256_mul_ps(_mm256_loadu_ps(job.reciprocals + j + 8 * k), rowReciprocal);
        }
        for (int c = 1; c < 4; ++c) {
            __m256i q[4];
            for (int k = 0; k < 4; ++k)
                q[k] = OpaqueQuotients<kTaps>(job.sums[0][c], job.sums[t][c], j + 8 * k, w0, w1, totals[k],
                                              byTotals[k]);
            const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(q[0], q[1]), _mm256_packus_epi32(q[2], q[3]));
            Store8(job.out[c] + j, _mm256_permutevar8x32_epi32(bytes, order));
        }
        Store8(job.out[0] + j, _mm256_set1_epi8(-1));
    }
    if (j == job.n)
        return;
    resample_rows::FinishJob rest = job;
    for (int k = 0; k < kTaps; ++k)
        for (int c = 1; c < 4; ++c)
            rest.sums[k][c] += j;
    rest.totals += j;
    rest.reciprocals += j;
    for (uint8_t*& plane : rest.out)
        plane += j;
    rest.n -= j;
    resample_rows::FinishRow<true, 3, kTaps>(rest);
}

// FinishOpaqueRun for any job: a row with a total of 0 (a pixel keeping its bytes) runs
// the plain loop whole.
template <int kTaps>
ITZ_RESAMPLE_AVX2 void FinishOpaqueColours(const resample_rows::FinishJob& job)
{
    if (!job.reached)
        resample_rows::FinishRow<true, 3, kTaps>(job);
    else if (job.uniform)
        FinishOpaqueRun<kTaps, true>(job);
    else
        FinishOpaqueRun<kTaps, false>(job);
}

}  // namespace lumatra::resample::avx2_rows
