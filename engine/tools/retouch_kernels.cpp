// The retouching kernels. Every product is the blend tables' M, computed arithmetically
// (merge_math.h), and every division is a float division that is exact for the ranges
// involved, so the row loops vectorise; they are built for AVX-512, AVX2 and the baseline.
#include "engine/tools/retouch_kernels.h"

#include <algorithm>
#include <cstddef>

#include "engine/pixels/merge_math.h"

#ifndef ITZ_RETOUCH_CLONES
#define ITZ_RETOUCH_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#endif
#define ITZ_RETOUCH_INLINE inline __attribute__((always_inline))

namespace lumatra::retouch {
namespace {

using merge::Mul255;
using merge::Ratio16;

// n / d truncated towards zero, for |n| < 2^24 and 0 < d < 2^12 whose quotient lies
// within +-512: the float quotient is within 2^-14 of the exact one, which is a whole
// number or at least 1 / d away from one, so both truncate alike.
ITZ_RETOUCH_INLINE int DivTrunc(int n, int d)
{
    return int(float(n) / float(d));
}

ITZ_RETOUCH_INLINE int Clamp255(int v)
{
    return std::min(std::max(v, 0), 255);
}

// The split-weights table's share of x in d = min(x + y, 255): (255 x + d / 2) / d.
ITZ_RETOUCH_INLINE int Share(int x, int d)
{
    return DivTrunc(255 * x + (d >> 1), std::max(d, 1));
}

// min(255, M(cx, hx) + M(cy, hy)) with (hx, hy) the split weights of x and y (x + y > 0).
ITZ_RETOUCH_INLINE int SplitMix(int cx, int cy, int x, int y)
{
    const int d = std::min(x + y, 255);
    return std::min(Mul255(cx, Share(x, d)) + Mul255(cy, Share(y, d)), 255);
}

// A pixel's four values.
struct Pixel {
    int v[4];
};

ITZ_RETOUCH_INLINE Pixel Read(const Planes& planes, int32_t x, int32_t y)
{
    const ptrdiff_t at = ptrdiff_t(y) * planes.stride + x;
    return {{planes.plane[0][at], planes.plane[1][at], planes.plane[2][at], planes.plane[3][at]}};
}

ITZ_RETOUCH_INLINE void Write(const Planes& planes, int32_t x, int32_t y, const Pixel& pixel)
{
    const ptrdiff_t at = ptrdiff_t(y) * planes.stride + x;
    for (int c = 0; c < 4; ++c)
        planes.plane[c][at] = uint8_t(pixel.v[c]);
}

ITZ_RETOUCH_INLINE bool Inside(const PTzRECT& rect, int32_t x, int32_t y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The filter's result blended into the old pixel: a' = M(M(d, strength), dab strength),
// ab = M(a', X), o' = M(o, 255 - a'), alpha min(255, ab + o'); each colour the old or
// the new one when only its side has weight, else min(255, Q(M(c_old, o') + M(c_new,
// ab), alpha) >> 8). The mix rounds away from a colour that both sides share (at alpha
// 90 it turns 10 and 10 into 11), so a shared colour is kept as it is: a uniform area
// stays uniform, dab after dab. The alpha needs no such care: M(a', o) + M(o, 255 - a')
// is o.
ITZ_RETOUCH_INLINE Pixel Blend(const Pixel& old, const Pixel& filtered, int coverage, int strength,
                               int dabStrength)
{
    const int weight = Mul255(Mul255(coverage, strength), dabStrength);
    const int ab = Mul255(weight, filtered.v[0]);
    const int ob = Mul255(old.v[0], 255 - weight);
    const int alpha = std::min(ab + ob, 255);
    Pixel out = {{alpha, 0, 0, 0}};
    for (int c = 1; c < 4; ++c) {
        const int mixed = std::min(Ratio16(Mul255(old.v[c], ob) + Mul255(filtered.v[c], ab), alpha) >> 8, 255);
        out.v[c] = ab == 0 || filtered.v[c] == old.v[c] ? old.v[c] : ob == 0 ? filtered.v[c] : mixed;
    }
    return out;
}

// The blur of source pixel (x, y); kChecked: some neighbours may not exist.
template <bool kChecked>
ITZ_RETOUCH_INLINE Pixel BlurAt(const FilterDab& dab, int32_t x, int32_t y)
{
    static constexpr int kWeights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
    const Pixel centre = Read(dab.source, x, y);
    int g = 0;
    int sums[3] = {};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const bool exists = !kChecked || Inside(dab.valid, x + dx, y + dy);
            const Pixel n = exists ? Read(dab.source, x + dx, y + dy) : centre;
            const int w = kWeights[dy + 1][dx + 1];
            g += w * n.v[0];
            for (int c = 0; c < 3; ++c)
                sums[c] += w * n.v[0] * n.v[c + 1];
        }
    Pixel out = {{g >> 4, 0, 0, 0}};
    for (int c = 0; c < 3; ++c)
        out.v[c + 1] = g == 0 ? centre.v[c + 1] : DivTrunc(sums[c] + (g >> 1), std::max(g, 1));
    return out;
}

// The sharpen of source pixel (x, y) with its coverage around (cx, cy).
template <bool kChecked>
ITZ_RETOUCH_INLINE Pixel SharpenAt(const FilterDab& dab, int32_t x, int32_t y, const uint8_t* coverage)
{
    const Pixel centre = Read(dab.source, x, y);
    int total = 0;
    int sums[4] = {};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int w = coverage[ptrdiff_t(dy) * dab.coverageStride + dx];
            total += w;
            const bool exists = !kChecked || Inside(dab.valid, x + dx, y + dy);
            const Pixel n = exists ? Read(dab.source, x + dx, y + dy) : centre;
            sums[0] += w * (centre.v[0] - n.v[0]);
            const int seen = n.v[0] != 0 ? w : 0;
            for (int c = 1; c < 4; ++c)
                sums[c] += seen * (centre.v[c] - n.v[c]);
        }
    Pixel out;
    for (int c = 0; c < 4; ++c)
        out.v[c] = Clamp255(centre.v[c] + DivTrunc(sums[c], std::max(total, 1)));
    return out;
}

enum class Filter { Blur, Sharpen };

template <Filter kFilter, bool kChecked>
ITZ_RETOUCH_INLINE void FilterRow(const FilterDab& dab, int32_t y, int32_t from, int32_t to)
{
    for (int32_t x = from; x < to; ++x) {
        const int32_t sx = x + 1, sy = y + 1;
        const uint8_t* coverage = dab.coverage + ptrdiff_t(y) * dab.coverageStride + x;
        const Pixel old = Read(dab.source, sx, sy);
        Pixel out = old;
        if (kChecked && !Inside(dab.valid, sx, sy)) {
            // A pixel that does not exist keeps its value.
        } else if (kFilter == Filter::Blur) {
            out = Blend(old, BlurAt<kChecked>(dab, sx, sy), *coverage, dab.strength, dab.dabStrength);
        } else if (old.v[0] != 0 && *coverage != 0) {
            out = Blend(old, SharpenAt<kChecked>(dab, sx, sy, coverage), *coverage, dab.strength, dab.dabStrength);
        }
        Write(dab.dest, x, y, out);
    }
}

// Each row in three runs: the pixels whose neighbours all exist take the unchecked
// loop, the few at the edges of `valid` the checked one.
template <Filter kFilter>
ITZ_RETOUCH_INLINE void FilterDabRows(const FilterDab& dab)
{
    // Dab pixel x has its neighbours at source columns x to x + 2.
    const int32_t fastFrom = std::clamp(dab.valid.left, 0, dab.width);
    const int32_t fastTo = std::clamp(dab.valid.right - 2, fastFrom, dab.width);
    for (int32_t y = 0; y < dab.height; ++y) {
        const bool rowFast = y >= dab.valid.top && y + 2 < dab.valid.bottom;
        if (!rowFast) {
            FilterRow<kFilter, true>(dab, y, 0, dab.width);
            continue;
        }
        FilterRow<kFilter, true>(dab, y, 0, fastFrom);
        FilterRow<kFilter, false>(dab, y, fastFrom, fastTo);
        FilterRow<kFilter, true>(dab, y, fastTo, dab.width);
    }
}

ITZ_RETOUCH_INLINE void PickUpRow(const SmudgeDab& dab, int32_t y)
{
    const ptrdiff_t l = ptrdiff_t(y) * dab.layer.stride, t = ptrdiff_t(y) * dab.transfer.stride;
    const uint8_t* __restrict la = dab.layer.plane[0] + l;
    uint8_t* __restrict ta = dab.transfer.plane[0] + t;
    const int k = dab.strength;
    for (int32_t x = 0; x < dab.width; ++x) {
        const int v = Mul255(ta[x], k);
        const int w = Mul255(la[x], 255 - k);
        const int alpha = std::min(v + w, 255);
        for (int c = 1; c < 4; ++c) {
            uint8_t* __restrict tc = dab.transfer.plane[c] + t;
            const int mixed = SplitMix(tc[x], dab.layer.plane[c][l + x], v, w);
            tc[x] = uint8_t(alpha == 0 ? tc[x] : mixed);
        }
        ta[x] = uint8_t(alpha);
    }
}

template <bool kSelection>
ITZ_RETOUCH_INLINE void DepositRow(const SmudgeDab& dab, int32_t y)
{
    const ptrdiff_t l = ptrdiff_t(y) * dab.layer.stride, t = ptrdiff_t(y) * dab.transfer.stride;
    const uint8_t* __restrict d = dab.coverage + ptrdiff_t(y) * dab.coverageStride;
    const uint8_t* __restrict s = kSelection ? dab.selection + ptrdiff_t(y) * dab.selectionStride : nullptr;
    const uint8_t* __restrict ta = dab.transfer.plane[0] + t;
    uint8_t* __restrict la = dab.layer.plane[0] + l;
    for (int32_t x = 0; x < dab.width; ++x) {
        int b0 = Mul255(d[x], dab.dabStrength);
        if (kSelection)
            b0 = Mul255(b0, s[x]);
        const int carried = Mul255(ta[x], b0);
        const int kept = Mul255(la[x], 255 - b0);
        for (int c = 1; c < 4; ++c) {
            uint8_t* __restrict lc = dab.layer.plane[c] + l;
            const int tc = dab.transfer.plane[c][t + x];
            const int mixed = SplitMix(tc, lc[x], carried, kept);
            lc[x] = uint8_t(carried == 0 ? lc[x] : kept == 0 ? tc : mixed);
        }
        la[x] = uint8_t(std::min(carried + kept, 255));
    }
}

}  // namespace

ITZ_RETOUCH_CLONES void BlurDab(const FilterDab& dab)
{
    FilterDabRows<Filter::Blur>(dab);
}

ITZ_RETOUCH_CLONES void SharpenDab(const FilterDab& dab)
{
    FilterDabRows<Filter::Sharpen>(dab);
}

ITZ_RETOUCH_CLONES void SmudgePickUp(const SmudgeDab& dab)
{
    for (int32_t y = 0; y < dab.height; ++y)
        PickUpRow(dab, y);
}

ITZ_RETOUCH_CLONES void SmudgeDeposit(const SmudgeDab& dab)
{
    for (int32_t y = 0; y < dab.height; ++y)
        dab.selection ? DepositRow<true>(dab, y) : DepositRow<false>(dab, y);
}

}  // namespace lumatra::retouch
