// The retouching kernels. Every product is the blend tables' M, computed arithmetically
// (merge_math.h), and every division is exact through floats (a float quotient that
// cannot round across a whole number, or a reciprocal set right by one step); choices
// are made with masks. So the row loops vectorise, and they are built for AVX-512, AVX2
// and the baseline into the kernel sets retouch_kernel_dispatch.cpp chooses from; each
// build's entry points take the loops whole (flatten). The filters run the pixels whose neighbours all
// exist through row loops over arrays of a chunk of columns, and the few at the edges of
// the existing pixels through a per-pixel path that gives the same values.
#include <algorithm>
#include <cstddef>

#include "engine/pixels/kernel_builds.h"
#include "engine/pixels/merge_math.h"
#include "engine/tools/retouch_kernel_sets.h"

#define ITZ_RETOUCH_INLINE inline __attribute__((always_inline))

namespace lumatra::retouch {
namespace {

using merge::Mul255;

constexpr int32_t kChunk = 256;

// n / d truncated towards zero, for |n| < 2^24 and 0 < d < 2^12 whose quotient lies
// within +-512: the float quotient is within 2^-14 of the exact one, which is a whole
// number or at least 1 / d away from one, so both truncate alike.
ITZ_RETOUCH_INLINE int DivTrunc(int n, int d)
{
    return int(float(n) / float(d));
}

// n / d for several n >= 0 below 2^24 sharing one d > 0, with one float division: the
// float quotient through the reciprocal is within 2^-7 of the exact one below 2^16, so
// one step against the remainder sets it right.
struct Divider {
    explicit Divider(int divisor) : d(divisor), inverse(1.0f / float(divisor)) {}
    int operator()(int n) const
    {
        const int q = int(float(n) * inverse);
        const int r = n - q * d;
        return q + int(r >= d) - int(r < 0);
    }
    int d;
    float inverse;
};

// n / d truncated towards zero for several n sharing one d, where |n / d| < 512 and
// d < 2^12: the quotient through a float reciprocal lies within 2^-14 of the exact one,
// which is a whole number or at least 1 / d (> 2^-12) away from one, so a nudge of 2^-13
// towards the larger magnitude truncates it right without a remainder step.
struct SmallDivider {
    explicit SmallDivider(int divisor) : inverse(1.0f / float(divisor)) {}
    int operator()(int n) const { return int(float(n) * inverse + 0x1p-13f); }
    int Signed(int n) const
    {
        const float q = float(n) * inverse;
        return int(q + (n < 0 ? -0x1p-13f : 0x1p-13f));
    }
    float inverse;
};

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

// a where the mask is all ones, b where it is 0.
ITZ_RETOUCH_INLINE int Select(int mask, int a, int b)
{
    return (a & mask) | (b & ~mask);
}

// The filter's result blended into the old pixel: a' = M(M(d, strength), dab strength),
// ab = M(a', X), o' = M(o, 255 - a'), alpha min(255, ab + o'); each colour the old or
// the new one when only its side has weight, else min(255, Q(M(c_old, o') + M(c_new,
// ab), alpha) >> 8). The mix rounds away from a colour that both sides share (at alpha
// 90 it turns 10 and 10 into 11), so a shared colour is kept as it is: a uniform area
// stays uniform, dab after dab. The alpha needs no such care: M(a', o) + M(o, 255 - a')
// is o. Filtered values equal to the old ones (X = o, c_new = c_old) give the old pixel.
struct Weights {
    int ab, ob, alpha;
    Divider byAlpha;  // Q(v, alpha) = (v * 65536 + alpha / 2) / alpha
};

ITZ_RETOUCH_INLINE Weights BlendWeights(int oldAlpha, int filteredAlpha, int coverage, int strength, int dabStrength)
{
    const int weight = Mul255(Mul255(coverage, strength), dabStrength);
    const int ab = Mul255(weight, filteredAlpha);
    const int ob = Mul255(oldAlpha, 255 - weight);
    const int alpha = std::min(ab + ob, 255);
    return {ab, ob, alpha, Divider(std::max(alpha, 1))};
}

ITZ_RETOUCH_INLINE int BlendColour(int old, int filtered, const Weights& w)
{
    const int part = Mul255(old, w.ob) + Mul255(filtered, w.ab);
    const int mixed = std::min(w.byAlpha(part * 65536 + (w.alpha >> 1)) >> 8, 255);
    const int keep = -int((w.ab == 0) | (filtered == old));
    const int take = -int(w.ob == 0);
    return Select(keep, old, Select(take, filtered, mixed));
}

// A pixel's four values, for the per-pixel path.
struct Pixel {
    int v[4];
};

ITZ_RETOUCH_INLINE Pixel Read(const Planes& planes, int32_t x, int32_t y)
{
    const ptrdiff_t at = ptrdiff_t(y) * planes.stride + x;
    return {{planes.plane[0][at], planes.plane[1][at], planes.plane[2][at], planes.plane[3][at]}};
}

ITZ_RETOUCH_INLINE bool Inside(const PTzRECT& rect, int32_t x, int32_t y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The blur of source pixel (x, y), some of whose neighbours may not exist.
Pixel BlurAt(const FilterDab& dab, int32_t x, int32_t y)
{
    static constexpr int kWeights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
    const Pixel centre = Read(dab.source, x, y);
    int g = 0;
    int sums[3] = {};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const Pixel n = Inside(dab.valid, x + dx, y + dy) ? Read(dab.source, x + dx, y + dy) : centre;
            const int w = kWeights[dy + 1][dx + 1];
            g += w * n.v[0];
            for (int c = 0; c < 3; ++c)
                sums[c] += w * n.v[0] * n.v[c + 1];
        }
    Pixel out = {{g >> 4, 0, 0, 0}};
    for (int c = 0; c < 3; ++c)
        out.v[c + 1] = g == 0 ? centre.v[c + 1] : DivTrunc(sums[c] + (g >> 1), g);
    return out;
}

// The sharpen of source pixel (x, y), its coverage at `coverage`; the pixel itself when
// its alpha or coverage is 0.
Pixel SharpenAt(const FilterDab& dab, int32_t x, int32_t y, const uint8_t* coverage)
{
    const Pixel centre = Read(dab.source, x, y);
    if (centre.v[0] == 0 || *coverage == 0)
        return centre;
    int total = 0;
    int sums[4] = {};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int w = coverage[ptrdiff_t(dy) * dab.coverageStride + dx];
            total += w;
            const Pixel n = Inside(dab.valid, x + dx, y + dy) ? Read(dab.source, x + dx, y + dy) : centre;
            sums[0] += w * (centre.v[0] - n.v[0]);
            const int seen = n.v[0] != 0 ? w : 0;
            for (int c = 1; c < 4; ++c)
                sums[c] += seen * (centre.v[c] - n.v[c]);
        }
    Pixel out;
    for (int c = 0; c < 4; ++c)
        out.v[c] = Clamp255(centre.v[c] + DivTrunc(sums[c], total));
    return out;
}

enum class Filter { Blur, Sharpen };

// The per-pixel path over dab columns [from, to) of row y.
template <Filter kFilter>
void FilterPixels(const FilterDab& dab, int32_t y, int32_t from, int32_t to)
{
    for (int32_t x = from; x < to; ++x) {
        const int32_t sx = x + 1, sy = y + 1;
        const uint8_t* coverage = dab.coverage + ptrdiff_t(y) * dab.coverageStride + x;
        const Pixel old = Read(dab.source, sx, sy);
        Pixel out = old;
        if (Inside(dab.valid, sx, sy)) {
            const Pixel filtered = kFilter == Filter::Blur ? BlurAt(dab, sx, sy) : SharpenAt(dab, sx, sy, coverage);
            const Weights w = BlendWeights(old.v[0], filtered.v[0], *coverage, dab.strength, dab.dabStrength);
            out.v[0] = w.alpha;
            for (int c = 1; c < 4; ++c)
                out.v[c] = BlendColour(old.v[c], filtered.v[c], w);
        }
        const ptrdiff_t at = ptrdiff_t(y) * dab.dest.stride + x;
        for (int c = 0; c < 4; ++c)
            dab.dest.plane[c][at] = uint8_t(out.v[c]);
    }
}

// The filtered values of a chunk of a row.
struct FilteredRow {
    int32_t v[4][kChunk];
};

// Blends a chunk of filtered values into the old pixels and writes the destination.
ITZ_RETOUCH_INLINE void BlendLoop(const uint8_t* __restrict oa, const uint8_t* __restrict orr,
                                  const uint8_t* __restrict og, const uint8_t* __restrict ob,
                                  const int32_t* __restrict fa, const int32_t* __restrict fr,
                                  const int32_t* __restrict fg, const int32_t* __restrict fb,
                                  const uint8_t* __restrict d, uint8_t* __restrict da, uint8_t* __restrict dr,
                                  uint8_t* __restrict dg, uint8_t* __restrict db, int32_t n, int strength,
                                  int dabStrength)
{
    for (int32_t i = 0; i < n; ++i) {
        const Weights w = BlendWeights(oa[i], fa[i], d[i], strength, dabStrength);
        dr[i] = uint8_t(BlendColour(orr[i], fr[i], w));
        dg[i] = uint8_t(BlendColour(og[i], fg[i], w));
        db[i] = uint8_t(BlendColour(ob[i], fb[i], w));
        da[i] = uint8_t(w.alpha);
    }
}

// Where a chunk of dab pixels lies: the index of its first pixel's upper left neighbour
// in the source, of its first pixel in the coverage and in the destination.
struct ChunkAt {
    ptrdiff_t source, coverage, dest;
};

// The chunk's old pixels are the source's at the chunk's pixels.
ITZ_RETOUCH_INLINE void BlendChunk(const FilterDab& dab, const FilteredRow& f, const ChunkAt& at, int32_t n)
{
    const ptrdiff_t from = at.source + dab.source.stride + 1;
    const uint8_t* const* source = dab.source.plane;
    uint8_t* const* dest = dab.dest.plane;
    BlendLoop(source[0] + from, source[1] + from, source[2] + from, source[3] + from, f.v[0], f.v[1], f.v[2], f.v[3],
              dab.coverage + at.coverage, dest[0] + at.dest, dest[1] + at.dest, dest[2] + at.dest, dest[3] + at.dest,
              n, dab.strength, dab.dabStrength);
}

// The vertical 1 2 1 sums of three rows of alpha, or of alpha x colour when the colour
// rows are given.
ITZ_RETOUCH_INLINE void VerticalSums(const uint8_t* __restrict a0, const uint8_t* __restrict a1,
                                     const uint8_t* __restrict a2, const uint8_t* __restrict c0,
                                     const uint8_t* __restrict c1, const uint8_t* __restrict c2,
                                     int32_t* __restrict out, int32_t n)
{
    if (!c0) {
        for (int32_t i = 0; i < n; ++i)
            out[i] = a0[i] + 2 * a1[i] + a2[i];
        return;
    }
    for (int32_t i = 0; i < n; ++i)
        out[i] = a0[i] * c0[i] + 2 * a1[i] * c1[i] + a2[i] * c2[i];
}

// The blur of a chunk of pixels whose neighbours all exist, by the separable weights:
// the vertical 1 2 1 sums of alpha and of alpha x colour first, then the horizontal ones.
ITZ_RETOUCH_INLINE void BlurChunk(const FilterDab& dab, const ChunkAt& at, int32_t n)
{
    int32_t va[kChunk + 2], vr[kChunk + 2], vg[kChunk + 2], vb[kChunk + 2];
    const int32_t stride = dab.source.stride;
    const uint8_t* a = dab.source.plane[0] + at.source;
    const uint8_t* r = dab.source.plane[1] + at.source;
    const uint8_t* g = dab.source.plane[2] + at.source;
    const uint8_t* b = dab.source.plane[3] + at.source;
    VerticalSums(a, a + stride, a + 2 * stride, nullptr, nullptr, nullptr, va, n + 2);
    VerticalSums(a, a + stride, a + 2 * stride, r, r + stride, r + 2 * stride, vr, n + 2);
    VerticalSums(a, a + stride, a + 2 * stride, g, g + stride, g + 2 * stride, vg, n + 2);
    VerticalSums(a, a + stride, a + 2 * stride, b, b + stride, b + 2 * stride, vb, n + 2);
    FilteredRow f;
    const uint8_t* __restrict cr = r + stride + 1;
    const uint8_t* __restrict cg = g + stride + 1;
    const uint8_t* __restrict cb = b + stride + 1;
    for (int32_t i = 0; i < n; ++i) {
        const int weight = va[i] + 2 * va[i + 1] + va[i + 2];
        const int some = -int(weight != 0);
        const SmallDivider byWeight(std::max(weight, 1));
        const int half = weight >> 1;
        f.v[0][i] = weight >> 4;
        f.v[1][i] = Select(some, byWeight(vr[i] + 2 * vr[i + 1] + vr[i + 2] + half), cr[i]);
        f.v[2][i] = Select(some, byWeight(vg[i] + 2 * vg[i + 1] + vg[i + 2] + half), cg[i]);
        f.v[3][i] = Select(some, byWeight(vb[i] + 2 * vb[i + 1] + vb[i + 2] + half), cb[i]);
    }
    BlendChunk(dab, f, at, n);
}

// The vertical sums, over three rows, of the coverage w, of w a and of w' = w where a is
// nonzero; or, given a colour's rows, of w' c.
ITZ_RETOUCH_INLINE void SharpenSums(const uint8_t* __restrict w0, const uint8_t* __restrict w1,
                                    const uint8_t* __restrict w2, const uint8_t* __restrict a0,
                                    const uint8_t* __restrict a1, const uint8_t* __restrict a2,
                                    const uint8_t* __restrict c0, const uint8_t* __restrict c1,
                                    const uint8_t* __restrict c2, int32_t* __restrict weights,
                                    int32_t* __restrict seen, int32_t* __restrict sums, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const int m0 = w0[i] & -int(a0[i] != 0), m1 = w1[i] & -int(a1[i] != 0), m2 = w2[i] & -int(a2[i] != 0);
        if (c0) {
            sums[i] = m0 * c0[i] + m1 * c1[i] + m2 * c2[i];
        } else {
            weights[i] = w0[i] + w1[i] + w2[i];
            seen[i] = m0 + m1 + m2;
            sums[i] = w0[i] * a0[i] + w1[i] * a1[i] + w2[i] * a2[i];
        }
    }
}

// The sharpen of a chunk of pixels whose neighbours all exist. With w the coverage, W
// its sum over the 3 x 3 box and w' = w where the pixel has alpha: the centre's own
// terms cancel, so the alpha's sum is a W - box(w a) and each colour's c box(w') -
// box(w' c), all box sums separable into three rows and then three columns.
ITZ_RETOUCH_INLINE void SharpenChunk(const FilterDab& dab, const ChunkAt& at, int32_t n)
{
    int32_t vw[kChunk + 2], va[kChunk + 2], vs[kChunk + 2], vr[kChunk + 2], vg[kChunk + 2], vb[kChunk + 2];
    const int32_t stride = dab.source.stride, cs = dab.coverageStride;
    const uint8_t* a = dab.source.plane[0] + at.source;
    const uint8_t* w = dab.coverage + at.coverage - cs - 1;
    const uint8_t* const a3[3] = {a, a + stride, a + 2 * stride};
    const uint8_t* const w3[3] = {w, w + cs, w + 2 * cs};
    SharpenSums(w3[0], w3[1], w3[2], a3[0], a3[1], a3[2], nullptr, nullptr, nullptr, vw, vs, va, n + 2);
    int32_t* const colourSums[3] = {vr, vg, vb};
    for (int c = 0; c < 3; ++c) {
        const uint8_t* plane = dab.source.plane[c + 1] + at.source;
        SharpenSums(w3[0], w3[1], w3[2], a3[0], a3[1], a3[2], plane, plane + stride, plane + 2 * stride, nullptr,
                    nullptr, colourSums[c], n + 2);
    }
    const ptrdiff_t mid = stride + 1;
    const uint8_t* __restrict ac = a + mid;
    const uint8_t* __restrict rc = dab.source.plane[1] + at.source + mid;
    const uint8_t* __restrict gc = dab.source.plane[2] + at.source + mid;
    const uint8_t* __restrict bc = dab.source.plane[3] + at.source + mid;
    const uint8_t* __restrict wc = dab.coverage + at.coverage;
    FilteredRow f;
    for (int32_t i = 0; i < n; ++i) {
        const int total = vw[i] + vw[i + 1] + vw[i + 2];
        const int seen = vs[i] + vs[i + 1] + vs[i + 2];
        const SmallDivider byTotal(std::max(total, 1));
        const int alpha = ac[i], red = rc[i], green = gc[i], blue = bc[i];
        const int changed = -int((alpha != 0) & (wc[i] != 0));
        f.v[0][i] = Select(changed, Clamp255(alpha + byTotal.Signed(alpha * total - (va[i] + va[i + 1] + va[i + 2]))),
                           alpha);
        f.v[1][i] = Select(changed, Clamp255(red + byTotal.Signed(red * seen - (vr[i] + vr[i + 1] + vr[i + 2]))), red);
        f.v[2][i] =
            Select(changed, Clamp255(green + byTotal.Signed(green * seen - (vg[i] + vg[i + 1] + vg[i + 2]))), green);
        f.v[3][i] =
            Select(changed, Clamp255(blue + byTotal.Signed(blue * seen - (vb[i] + vb[i + 1] + vb[i + 2]))), blue);
    }
    BlendChunk(dab, f, at, n);
}

template <Filter kFilter>
ITZ_RETOUCH_INLINE void FilterChunk(const FilterDab& dab, const ChunkAt& at, int32_t n)
{
    if constexpr (kFilter == Filter::Blur)
        BlurChunk(dab, at, n);
    else
        SharpenChunk(dab, at, n);
}

// Small dabs have rows too short to fill vector lanes. When every neighbour exists and
// source, coverage and destination rows all lie `stride` bytes apart with the dab's
// width plus 2, the rows are taken as one run of pixels: the two margin columns between
// rows are filtered too and land in the destination's own margin columns, which hold
// nothing of value.
ITZ_RETOUCH_INLINE bool RunsFlat(const FilterDab& dab)
{
    const int32_t stride = dab.width + 2;
    return dab.source.stride == stride && dab.coverageStride == stride && dab.dest.stride == stride &&
           dab.valid.left <= 0 && dab.valid.top <= 0 && dab.valid.right >= stride && dab.valid.bottom >= dab.height + 2;
}

// Each row in three runs: the pixels whose neighbours all exist take the chunked row
// loops, the few at the edges of `valid` the per-pixel path.
template <Filter kFilter>
ITZ_RETOUCH_INLINE void FilterDabRows(const FilterDab& dab)
{
    if (RunsFlat(dab)) {
        // Up to the last row's last pixel: nothing reads past the source's end.
        const ptrdiff_t end = ptrdiff_t(dab.height - 1) * dab.source.stride + dab.width;
        for (ptrdiff_t k = 0; k < end; k += kChunk)
            FilterChunk<kFilter>(dab, {k, k, k}, int32_t(std::min<ptrdiff_t>(kChunk, end - k)));
        return;
    }
    // Dab pixel x has its neighbours at source columns x to x + 2.
    const int32_t fastFrom = std::clamp(dab.valid.left, 0, dab.width);
    const int32_t fastTo = std::clamp(dab.valid.right - 2, fastFrom, dab.width);
    for (int32_t y = 0; y < dab.height; ++y) {
        if (y < dab.valid.top || y + 2 >= dab.valid.bottom) {
            FilterPixels<kFilter>(dab, y, 0, dab.width);
            continue;
        }
        FilterPixels<kFilter>(dab, y, 0, fastFrom);
        for (int32_t x0 = fastFrom; x0 < fastTo; x0 += kChunk) {
            const ChunkAt at = {ptrdiff_t(y) * dab.source.stride + x0, ptrdiff_t(y) * dab.coverageStride + x0,
                                ptrdiff_t(y) * dab.dest.stride + x0};
            FilterChunk<kFilter>(dab, at, std::min(kChunk, fastTo - x0));
        }
        FilterPixels<kFilter>(dab, y, fastTo, dab.width);
    }
}

ITZ_RETOUCH_INLINE void PickUpLoop(const uint8_t* __restrict la, const uint8_t* __restrict lr,
                                   const uint8_t* __restrict lg, const uint8_t* __restrict lb,
                                   uint8_t* __restrict ta, uint8_t* __restrict tr, uint8_t* __restrict tg,
                                   uint8_t* __restrict tb, int32_t n, int k)
{
    for (int32_t x = 0; x < n; ++x) {
        const int v = Mul255(ta[x], k);
        const int w = Mul255(la[x], 255 - k);
        const int alpha = std::min(v + w, 255);
        const int carried = -int(alpha != 0);
        tr[x] = uint8_t(Select(carried, SplitMix(tr[x], lr[x], v, w), tr[x]));
        tg[x] = uint8_t(Select(carried, SplitMix(tg[x], lg[x], v, w), tg[x]));
        tb[x] = uint8_t(Select(carried, SplitMix(tb[x], lb[x], v, w), tb[x]));
        ta[x] = uint8_t(alpha);
    }
}

// C = 0 keeps the layer's colour, B = 0 takes the transfer's, else the split mix.
ITZ_RETOUCH_INLINE int Deposited(int layer, int transfer, int carried, int kept)
{
    return Select(-int(carried == 0), layer, Select(-int(kept == 0), transfer, SplitMix(transfer, layer, carried, kept)));
}

template <bool kSelection>
ITZ_RETOUCH_INLINE void DepositLoop(const uint8_t* __restrict d, const uint8_t* __restrict s,
                                    const uint8_t* __restrict ta, const uint8_t* __restrict tr,
                                    const uint8_t* __restrict tg, const uint8_t* __restrict tb,
                                    uint8_t* __restrict la, uint8_t* __restrict lr, uint8_t* __restrict lg,
                                    uint8_t* __restrict lb, int32_t n, int q)
{
    for (int32_t x = 0; x < n; ++x) {
        int b0 = Mul255(d[x], q);
        if constexpr (kSelection)
            b0 = Mul255(b0, s[x]);
        const int carried = Mul255(ta[x], b0);
        const int kept = Mul255(la[x], 255 - b0);
        lr[x] = uint8_t(Deposited(lr[x], tr[x], carried, kept));
        lg[x] = uint8_t(Deposited(lg[x], tg[x], carried, kept));
        lb[x] = uint8_t(Deposited(lb[x], tb[x], carried, kept));
        la[x] = uint8_t(std::min(carried + kept, 255));
    }
}

ITZ_RETOUCH_INLINE void PickUpRow(const SmudgeDab& dab, int32_t y)
{
    const ptrdiff_t l = ptrdiff_t(y) * dab.layer.stride, t = ptrdiff_t(y) * dab.transfer.stride;
    uint8_t* const* layer = dab.layer.plane;
    uint8_t* const* transfer = dab.transfer.plane;
    PickUpLoop(layer[0] + l, layer[1] + l, layer[2] + l, layer[3] + l, transfer[0] + t, transfer[1] + t,
               transfer[2] + t, transfer[3] + t, dab.width, dab.strength);
}

template <bool kSelection>
ITZ_RETOUCH_INLINE void DepositRow(const SmudgeDab& dab, int32_t y)
{
    const ptrdiff_t l = ptrdiff_t(y) * dab.layer.stride, t = ptrdiff_t(y) * dab.transfer.stride;
    uint8_t* const* layer = dab.layer.plane;
    uint8_t* const* transfer = dab.transfer.plane;
    DepositLoop<kSelection>(dab.coverage + ptrdiff_t(y) * dab.coverageStride,
                            kSelection ? dab.selection + ptrdiff_t(y) * dab.selectionStride : nullptr,
                            transfer[0] + t, transfer[1] + t, transfer[2] + t, transfer[3] + t, layer[0] + l,
                            layer[1] + l, layer[2] + l, layer[3] + l, dab.width, dab.dabStrength);
}

// Planes whose rows all lie `width` bytes apart are one run of pixels, which fills the
// vector lanes however small the dab.
ITZ_RETOUCH_INLINE SmudgeDab AsOneRow(const SmudgeDab& dab)
{
    const bool oneRun = dab.layer.stride == dab.width && dab.transfer.stride == dab.width &&
                        dab.coverageStride == dab.width && (!dab.selection || dab.selectionStride == dab.width);
    if (!oneRun)
        return dab;
    SmudgeDab row = dab;
    row.width = dab.width * dab.height;
    row.height = dab.height > 0 ? 1 : 0;
    return row;
}

ITZ_RETOUCH_INLINE void PickUpRows(const SmudgeDab& dab)
{
    const SmudgeDab rows = AsOneRow(dab);
    for (int32_t y = 0; y < rows.height; ++y)
        PickUpRow(rows, y);
}

ITZ_RETOUCH_INLINE void DepositRows(const SmudgeDab& dab)
{
    const SmudgeDab rows = AsOneRow(dab);
    for (int32_t y = 0; y < rows.height; ++y)
        rows.selection ? DepositRow<true>(rows, y) : DepositRow<false>(rows, y);
}

}  // namespace

// One build of every entry point, in namespace `build`, compiled with `attributes`.
#define ITZ_RETOUCH_BUILD(build, attributes)                                          \
    namespace build {                                                                 \
    attributes void Blur(const FilterDab& dab) { FilterDabRows<Filter::Blur>(dab); }       \
    attributes void Sharpen(const FilterDab& dab) { FilterDabRows<Filter::Sharpen>(dab); } \
    attributes void PickUp(const SmudgeDab& dab) { PickUpRows(dab); }                 \
    attributes void Deposit(const SmudgeDab& dab) { DepositRows(dab); }               \
    }
#define ITZ_RETOUCH_SET(name, build, supported) \
    KernelSet { name, supported, build::Blur, build::Sharpen, build::PickUp, build::Deposit }

ITZ_RETOUCH_BUILD(baseline, __attribute__((flatten)))

// clang (the fuzz targets' compiler) knows neither the x86-64-v4 level in its processor
// checks nor flattening across instruction sets: such a build has the baseline alone.
#ifdef ITZ_MERGE_BASELINE_ONLY

const KernelSet kKernelSets[] = {ITZ_RETOUCH_SET("baseline", baseline, kernel_builds::Always)};

#else

ITZ_RETOUCH_BUILD(avx512, __attribute__((flatten, target("arch=x86-64-v4"))))
ITZ_RETOUCH_BUILD(avx2, __attribute__((flatten, target("avx2"))))

const KernelSet kKernelSets[] = {ITZ_RETOUCH_SET("avx512", avx512, kernel_builds::RunsAvx512),
                                 ITZ_RETOUCH_SET("avx2", avx2, kernel_builds::RunsAvx2),
                                 ITZ_RETOUCH_SET("baseline", baseline, kernel_builds::Always)};

#endif

const size_t kKernelSetCount = sizeof kKernelSets / sizeof kKernelSets[0];

}  // namespace lumatra::retouch
