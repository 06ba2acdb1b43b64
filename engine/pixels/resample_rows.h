// The row loops of the bilinear resample, written once for a sum type: 32-bit sums go
// into resample_kernels.cpp's builds (one per instruction set), 64-bit sums run these
// as they stand. Each loop is plain and branch-free over arrays, so that the compiler
// vectorises it. Library-private.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/pixels/resample_math.h"

#define ITZ_RESAMPLE_INLINE inline __attribute__((always_inline))

namespace lumatra::resample_rows {

// out = in.
template <class Sum>
ITZ_RESAMPLE_INLINE void Widen(Sum* __restrict out, const uint8_t* __restrict in, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        out[i] = in[i];
}

// out = a c: the colour weighted by its alpha.
template <class Sum>
ITZ_RESAMPLE_INLINE void Products(Sum* __restrict out, const uint8_t* __restrict a, const uint8_t* __restrict c,
                                  int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        out[i] = Sum(uint32_t(a[i]) * c[i]);
}

// sum = w in, or sum += w in.
template <class Sum>
ITZ_RESAMPLE_INLINE void AddWeighted(Sum* __restrict sum, const uint8_t* __restrict in, uint32_t w, int32_t n,
                                     bool first)
{
    if (first)
        for (int32_t i = 0; i < n; ++i)
            sum[i] = Sum(w * in[i]);
    else
        for (int32_t i = 0; i < n; ++i)
            sum[i] += Sum(w * in[i]);
}

// sum = (w a) c, or sum += (w a) c.
template <class Sum>
ITZ_RESAMPLE_INLINE void AddWeightedProducts(Sum* __restrict sum, const uint8_t* __restrict a,
                                             const uint8_t* __restrict c, uint32_t w, int32_t n, bool first)
{
    if (first)
        for (int32_t i = 0; i < n; ++i)
            sum[i] = Sum(w * a[i]) * c[i];
    else
        for (int32_t i = 0; i < n; ++i)
            sum[i] += Sum(w * a[i]) * c[i];
}

// sum = w in, or sum += w in, over sums.
template <class Sum>
ITZ_RESAMPLE_INLINE void AddWeightedSums(Sum* __restrict sum, const Sum* __restrict in, uint32_t w, int32_t n,
                                         bool first)
{
    if (first)
        for (int32_t i = 0; i < n; ++i)
            sum[i] = Sum(w) * in[i];
    else
        for (int32_t i = 0; i < n; ++i)
            sum[i] += Sum(w) * in[i];
}

// out[j] = sum over taps t of weights[t x stride + j] x values[start[j] + t]: each
// destination gathers its consecutive sources.
template <class Sum>
ITZ_RESAMPLE_INLINE void GatherTaps(Sum* __restrict out, const Sum* __restrict values,
                                    const int32_t* __restrict start, const uint32_t* __restrict weights,
                                    ptrdiff_t stride, int32_t taps, int32_t n)
{
    for (int32_t j = 0; j < n; ++j)
        out[j] = Sum(weights[j]) * values[start[j]];
    for (int32_t t = 1; t < taps; ++t) {
        const Sum* shifted = values + t;
        const uint32_t* tap = weights + t * stride;
        for (int32_t j = 0; j < n; ++j)
            out[j] += Sum(tap[j]) * shifted[start[j]];
    }
}

// GatherTaps for several channels sharing the taps.
template <class Sum>
ITZ_RESAMPLE_INLINE void GatherChannels(Sum* const* out, const Sum* const* values, int channels,
                                        const int32_t* start, const uint32_t* weights, int32_t taps, int32_t n,
                                        bool /*rising*/ = false)
{
    for (int c = 0; c < channels; ++c)
        GatherTaps(out[c], values[c], start, weights, n, taps, n);
}

// The least and greatest of the kGroup starts from `start`, the first and last where
// they rise.
template <int kGroup>
ITZ_RESAMPLE_INLINE void StartSpan(const int32_t* start, bool rising, int32_t& least, int32_t& greatest)
{
    least = start[0];
    greatest = start[kGroup - 1];
    if (!rising)
        for (int k = 0; k < kGroup; ++k) {
            least = std::min(least, start[k]);
            greatest = std::max(greatest, start[k]);
        }
}

// GatherChannels of 32-bit sums kGroup destinations at a time: a group whose taps lie
// within the kWindow values from its least start goes through
// Window::Run<kTaps>(out, values, channels, start, weights, taps, n, least) (kTaps the
// taps for 1 and 2, 0 for any other count), which a build permutes out of registers;
// other groups, and the last few destinations, gather one by one. A row whose first
// group does not fit a window (a reduction) gathers whole, as GatherChannels does.
// Window::Run is inline with its build's target, for the build's flattened entry point
// to take whole.
template <int kGroup, int kWindow, class Window>
ITZ_RESAMPLE_INLINE void GatherChannelsWindowed(uint32_t* const* out, const uint32_t* const* values, int channels,
                                                const int32_t* start, const uint32_t* weights, int32_t taps,
                                                int32_t n, bool rising)
{
    int32_t least = 0, greatest = 0;
    if (n >= kGroup)
        StartSpan<kGroup>(start, rising, least, greatest);
    if (n < kGroup || greatest - least + taps > kWindow)
        return GatherChannels(out, values, channels, start, weights, taps, n);
    uint32_t* groupOut[5];
    int32_t j = 0;
    for (; j + kGroup <= n; j += kGroup) {
        StartSpan<kGroup>(start + j, rising, least, greatest);
        for (int c = 0; c < channels; ++c)
            groupOut[c] = out[c] + j;
        if (greatest - least + taps > kWindow) {
            for (int c = 0; c < channels; ++c)
                GatherTaps(groupOut[c], values[c], start + j, weights + j, n, taps, kGroup);
        } else if (taps == 2) {
            Window::template Run<2>(groupOut, values, channels, start + j, weights + j, taps, n, least);
        } else if (taps == 1) {
            Window::template Run<1>(groupOut, values, channels, start + j, weights + j, taps, n, least);
        } else {
            Window::template Run<0>(groupOut, values, channels, start + j, weights + j, taps, n, least);
        }
    }
    if (j < n)
        for (int c = 0; c < channels; ++c)
            GatherTaps(out[c] + j, values[c], start + j, weights + j, n, taps, n - j);
}

// A row of byte pairs: out[s] holds in[s] in its low half and in[s + 1] (0 past the
// row's end) in its high half, so that a destination gathering two neighbours loads both
// at once.
ITZ_RESAMPLE_INLINE void Pairs(uint32_t* __restrict out, const uint8_t* __restrict in, int32_t n)
{
    for (int32_t i = 0; i + 1 < n; ++i)
        out[i] = uint32_t(in[i]) | uint32_t(in[i + 1]) << 16;
    if (n > 0)
        out[n - 1] = in[n - 1];
}

// GatherTaps of two taps from a row of byte pairs, with the plan's pairs of weights:
// out[j] = first weight x low half + second weight x high half of pairs[start[j]].
ITZ_RESAMPLE_INLINE void GatherPairs(uint32_t* __restrict out, const uint32_t* __restrict pairs,
                                     const int32_t* __restrict start, const uint32_t* __restrict weights, int32_t n)
{
    for (int32_t j = 0; j < n; ++j) {
        const uint32_t p = pairs[start[j]], w = weights[j];
        out[j] = (p & 0xFFFF) * (w & 0xFFFF) + (p >> 16) * (w >> 16);
    }
}

// GatherPairs for several channels sharing the weights, destinations j0 to j0 + n - 1.
ITZ_RESAMPLE_INLINE void GatherPairChannels(uint32_t* const* out, const uint32_t* const* pairs, int channels,
                                            const int32_t* start, const uint32_t* weights, int32_t j0, int32_t n)
{
    for (int c = 0; c < channels; ++c)
        GatherPairs(out[c] + j0, pairs[c], start + j0, weights + j0, n);
}

// out = w in: a row's weight totals, from the column totals and the row's own.
template <class Sum>
ITZ_RESAMPLE_INLINE void Scale(Sum* __restrict out, const uint32_t* __restrict in, uint32_t w, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        out[i] = Sum(w) * in[i];
}

// The reciprocals of 32-bit divisors, for Divide.
ITZ_RESAMPLE_INLINE void Reciprocals(float* __restrict out, const uint32_t* __restrict den, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        out[i] = SumReciprocal(den[i]);
}

// out = num / den (a byte, num <= 255 den); where den is 0, 255 or out kept.
ITZ_RESAMPLE_INLINE void Divide(uint8_t* __restrict out, const uint32_t* __restrict num,
                                const uint32_t* __restrict den, const float* __restrict reciprocals, int32_t n,
                                bool write255)
{
    if (write255)
        for (int32_t i = 0; i < n; ++i)
            out[i] = den[i] != 0 ? uint8_t(DivideSum(num[i], den[i], reciprocals[i])) : 255;
    else
        for (int32_t i = 0; i < n; ++i)
            out[i] = den[i] != 0 ? uint8_t(DivideSum(num[i], den[i], reciprocals[i])) : out[i];
}

// A destination row's last steps at once, for alpha with 0 or 3 colours: the sums are
// weighed from `taps` (1 or 2) rows of sums (final sums with weight 1), then alpha
// = alpha sum / weight total and colour = colour sum / alpha sum go into the planes; a
// pixel whose divisor is 0 keeps its byte. Where every source is opaque the alpha sum is
// 255 times the weight total: the sums are then those of the colours alone (no alpha
// sum), alpha is 255 and colour = colour sum / weight total, the same bytes.
struct FinishJob {
    const uint32_t* sums[2][4];  // [tap][alpha, colours]
    uint32_t weights[2];
    const uint32_t* totals;    // the column weight totals
    const float* reciprocals;  // their PlainReciprocal
    uint32_t rowTotal;
    float rowReciprocal;  // its SumReciprocal
    bool reached;         // no column total is 0
    bool uniform;         // every column total is the same
    uint8_t* out[4];
    int32_t n;
};

// The quotient of a sum by its divisor, or the old byte where the divisor is 0 (and so
// the sum: the quotient, set aside, stays in range). kReached: the divisor is not 0.
// kBelow2p31: the sum is below 2^31, as a sum of bytes or of opaque colours is (at most
// 255 times a weight total).
template <bool kReached, bool kBelow2p31>
ITZ_RESAMPLE_INLINE uint8_t Quotient(uint32_t sum, uint32_t divisor, float reciprocal, uint8_t old)
{
    const uint8_t quotient = uint8_t(DivideSum<kBelow2p31>(sum, divisor, reciprocal));
    return kReached || divisor != 0 ? quotient : old;
}

// A destination sum weighed from one or two rows of sums.
template <int kTaps>
ITZ_RESAMPLE_INLINE uint32_t Weigh(const uint32_t* first, const uint32_t* second, uint32_t w0, uint32_t w1,
                                   int32_t j)
{
    return kTaps == 1 ? w0 * first[j] : w0 * first[j] + w1 * second[j];
}

// The row loop of FinishRow; each array its own restricted pointer, as the vectoriser
// needs, the colours' unused without colours.
template <bool kOpaque, int kColours, int kTaps, bool kReached>
ITZ_RESAMPLE_INLINE void FinishLoop(const uint32_t* __restrict a0, const uint32_t* __restrict r0,
                                    const uint32_t* __restrict g0, const uint32_t* __restrict b0,
                                    const uint32_t* __restrict a1, const uint32_t* __restrict r1,
                                    const uint32_t* __restrict g1, const uint32_t* __restrict b1, uint32_t w0,
                                    uint32_t w1, const uint32_t* __restrict totals,
                                    const float* __restrict reciprocals, uint32_t rowTotal, float rowReciprocal,
                                    uint8_t* __restrict outA, uint8_t* __restrict outR, uint8_t* __restrict outG,
                                    uint8_t* __restrict outB, int32_t n)
{
    for (int32_t j = 0; j < n; ++j) {
        const uint32_t total = totals[j] * rowTotal;
        const float byTotal = ProductReciprocal(reciprocals[j], rowReciprocal);
        if constexpr (kOpaque) {
            outA[j] = kReached || total != 0 ? 255 : outA[j];
            if constexpr (kColours == 3) {
                outR[j] = Quotient<kReached, true>(Weigh<kTaps>(r0, r1, w0, w1, j), total, byTotal, outR[j]);
                outG[j] = Quotient<kReached, true>(Weigh<kTaps>(g0, g1, w0, w1, j), total, byTotal, outG[j]);
                outB[j] = Quotient<kReached, true>(Weigh<kTaps>(b0, b1, w0, w1, j), total, byTotal, outB[j]);
            }
            continue;
        }
        const uint32_t alpha = Weigh<kTaps>(a0, a1, w0, w1, j);
        outA[j] = Quotient<kReached, true>(alpha, total, byTotal, outA[j]);
        if constexpr (kColours == 3) {
            const float byAlpha = SumReciprocal(alpha);
            outR[j] = Quotient<false, false>(Weigh<kTaps>(r0, r1, w0, w1, j), alpha, byAlpha, outR[j]);
            outG[j] = Quotient<false, false>(Weigh<kTaps>(g0, g1, w0, w1, j), alpha, byAlpha, outG[j]);
            outB[j] = Quotient<false, false>(Weigh<kTaps>(b0, b1, w0, w1, j), alpha, byAlpha, outB[j]);
        }
    }
}

template <bool kOpaque, int kColours, int kTaps, bool kReached>
ITZ_RESAMPLE_INLINE void FinishRow(const FinishJob& job)
{
    const auto& s = job.sums;
    const int t = kTaps - 1;
    FinishLoop<kOpaque, kColours, kTaps, kReached>(s[0][0], s[0][1], s[0][2], s[0][3], s[t][0], s[t][1], s[t][2],
                                                   s[t][3], job.weights[0], job.weights[1], job.totals,
                                                   job.reciprocals, job.rowTotal, job.rowReciprocal, job.out[0],
                                                   job.out[1], job.out[2], job.out[3], job.n);
}

template <bool kOpaque, int kColours, int kTaps>
ITZ_RESAMPLE_INLINE void FinishRow(const FinishJob& job)
{
    if (job.reached)
        FinishRow<kOpaque, kColours, kTaps, true>(job);
    else
        FinishRow<kOpaque, kColours, kTaps, false>(job);
}

// The same for 64-bit sums, by integer division.
inline void Divide(uint8_t* out, const uint64_t* num, const uint64_t* den, int32_t n, bool write255)
{
    for (int32_t i = 0; i < n; ++i)
        if (den[i] != 0)
            out[i] = uint8_t(num[i] / den[i]);
        else if (write255)
            out[i] = 255;
}

}  // namespace lumatra::resample_rows
