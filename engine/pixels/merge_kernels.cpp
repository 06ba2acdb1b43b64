// The merge loops. Each kernel walks the rows of a Job and runs an inline row loop
// written once per operation, branch-free so that the compiler vectorises it. The whole
// set is built three times, for AVX-512, AVX2 and the baseline, into the kernel sets
// merge_kernel_dispatch.cpp chooses from. The AVX-512 and AVX2 builds run the alpha-over
// merges and the packing of planes into pixels through the row loops written in AVX2
// instructions (merge_kernels_avx2.h), and every build the alpha-over onto 24-bit pixels
// through its own such loop (the baseline's in SSE2, merge_kernels_sse2.h). The pixel
// moves of argb_pack.h are built with them.
#include "engine/pixels/merge_kernels.h"

#include <cstring>
#include <type_traits>

#include "engine/pixels/argb_pack_rows.h"
#include "engine/pixels/kernel_builds.h"
#include "engine/pixels/merge_kernel_sets.h"
#include "engine/pixels/merge_math.h"

#include "engine/pixels/merge_kernels_sse2.h"

#ifndef ITZ_MERGE_BASELINE_ONLY
#include "engine/pixels/merge_kernels_avx2.h"
#endif

// Row loops and their helpers go whole into each build's entry points, to be compiled
// for its instruction set.
#define ITZ_MERGE_INLINE inline __attribute__((always_inline))

namespace lumatra::merge {
namespace {

ITZ_MERGE_INLINE uint32_t Load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

ITZ_MERGE_INLINE void Store32(uint8_t* p, uint32_t v)
{
    std::memcpy(p, &v, 4);
}

// The source value scaled by the opacity and, under a mask, by M(m, factor). kFull: the
// opacity (and under a mask the factor) is 255, which M leaves unchanged.
template <bool kMask, bool kFull>
ITZ_MERGE_INLINE int Weight(int s, const uint8_t* m, int x, int opacity, int factor)
{
    int v = kFull ? s : Mul255(s, opacity);
    if constexpr (kMask)
        v = Mul255(v, kFull ? m[x] : Mul255(m[x], factor));
    return v;
}

template <GrayOp kOp>
ITZ_MERGE_INLINE int Gray(int v, int d)
{
    if constexpr (kOp == GrayOp::Union)
        return Union255(v, d);
    else if constexpr (kOp == GrayOp::Multiply)
        return Mul255(d, v);
    else if constexpr (kOp == GrayOp::ReverseSubtract)
        return std::max(v - d, 0);
    else if constexpr (kOp == GrayOp::Subtract)
        return std::max(d - v, 0);
    else
        return Mul255(255 - v, d);
}

// c_d + ((w * (c_s - c_d)) >> 16), the shift keeping the sign.
ITZ_MERGE_INLINE int Toward(int d, int s, int w)
{
    return d + ((w * (s - d)) >> 16);
}

// The smudge colour min(255, (Q(min(M(c_s, k_s) + M(c_d, k_d), 255), alpha) * 255) >> 16),
// divided by the new alpha so that a transparent side adds nothing.
ITZ_MERGE_INLINE int SmudgeColour(int cs, int cd, int ks, int kd, int alpha)
{
    const int part = std::min(Mul255(cs, ks) + Mul255(cd, kd), 255);
    return std::min((Ratio16(part, alpha) * 255) >> 16, 255);
}

// Row loops.

template <GrayOp kOp, bool kMask, bool kFull>
ITZ_MERGE_INLINE void GrayRow(const uint8_t* __restrict s, uint8_t* __restrict d, const uint8_t* __restrict m,
             int n, int opacity, int factor)
{
    for (int x = 0; x < n; ++x)
        d[x] = uint8_t(Gray<kOp>(Weight<kMask, kFull>(s[x], m, x, opacity, factor), d[x]));
}

template <GrayOp kOp, bool kFull>
ITZ_MERGE_INLINE void GrayAlpha32Row(const uint8_t* __restrict s, uint8_t* __restrict d, int n, int opacity)
{
    for (int x = 0; x < n; ++x) {
        const uint32_t p = Load32(d + 4 * x);
        const int v = Weight<false, kFull>(s[x], nullptr, x, opacity, 255);
        Store32(d + 4 * x, (p & ~255u) | uint32_t(Gray<kOp>(v, int(p & 255))));
    }
}

template <bool kMask, bool kFull>
ITZ_MERGE_INLINE void AlphaOverRow(const uint8_t* __restrict sa, const uint8_t* __restrict sr,
                  const uint8_t* __restrict sg, const uint8_t* __restrict sb,
                  uint8_t* __restrict da, uint8_t* __restrict dr, uint8_t* __restrict dg,
                  uint8_t* __restrict db, const uint8_t* __restrict m, int n, int opacity,
                  int factor)
{
    for (int x = 0; x < n; ++x) {
        // a = 0 gives w = 0 and a = 255 or a transparent destination w = 65536, so the
        // keep and copy cases need no branch of their own.
        const int a = Weight<kMask, kFull>(sa[x], m, x, opacity, factor);
        const int alpha = Union255(a, da[x]);
        const int w = Ratio16(a, alpha);
        dr[x] = uint8_t(Toward(dr[x], sr[x], w));
        dg[x] = uint8_t(Toward(dg[x], sg[x], w));
        db[x] = uint8_t(Toward(db[x], sb[x], w));
        da[x] = uint8_t(alpha);
    }
}

ITZ_MERGE_INLINE void SmudgeRow(const uint8_t* __restrict sa, const uint8_t* __restrict sr,
               const uint8_t* __restrict sg, const uint8_t* __restrict sb, uint8_t* __restrict da,
               uint8_t* __restrict dr, uint8_t* __restrict dg, uint8_t* __restrict db,
               const uint8_t* __restrict m, int n, int factor)
{
    for (int x = 0; x < n; ++x) {
        const int c = Mul255(m[x], factor);
        const int sA = sa[x], sR = sr[x], sG = sg[x], sB = sb[x];
        const int dA = da[x], dR = dr[x], dG = dg[x], dB = db[x];
        const int ks = Mul255(sA, c);
        const int kd = Mul255(dA, 255 - c);
        const int alpha = std::min(ks + kd, 255);
        const int r = SmudgeColour(sR, dR, ks, kd, alpha);
        const int g = SmudgeColour(sG, dG, ks, kd, alpha);
        const int b = SmudgeColour(sB, dB, ks, kd, alpha);
        // A full weight copies the source and none keeps the destination, exactly. The
        // choice is made with masks, which the vectoriser takes where nested ?: it does not.
        const int copy = -int(c == 255);
        const int keep = -int(c == 0);
        const int mixed = ~(copy | keep);
        da[x] = uint8_t((sA & copy) | (dA & keep) | (alpha & mixed));
        dr[x] = uint8_t((sR & copy) | (dR & keep) | (r & mixed));
        dg[x] = uint8_t((sG & copy) | (dG & keep) | (g & mixed));
        db[x] = uint8_t((sB & copy) | (dB & keep) | (b & mixed));
    }
}

template <bool kFull>
ITZ_MERGE_INLINE void AlphaOver32Row(const uint8_t* __restrict s, uint8_t* __restrict d, int n, int opacity)
{
    for (int x = 0; x < n; ++x) {
        const uint32_t sp = Load32(s + 4 * x);
        const uint32_t dp = Load32(d + 4 * x);
        const int a = Weight<false, kFull>(int(sp & 255), nullptr, x, opacity, 255);
        const int alpha = Union255(a, int(dp & 255));
        const int w = Ratio16(a, alpha);
        uint32_t out = uint32_t(alpha);
        for (int shift = 8; shift < 32; shift += 8)
            out |= uint32_t(Toward(int(dp >> shift & 255), int(sp >> shift & 255), w)) << shift;
        Store32(d + 4 * x, out);
    }
}

template <int kBytes>
ITZ_MERGE_INLINE void InvertRow(const uint8_t* __restrict s, uint8_t* __restrict d, int n)
{
    for (int x = 0; x < n; ++x) {
        if constexpr (kBytes == 4) {
            Store32(d + 4 * x, Load32(d + 4 * x) ^ (s[x] ? 0xFFFFFF00u : 0u));
        } else {
            const uint8_t flip = s[x] ? 255 : 0;
            for (int c = 0; c < 3; ++c)
                d[3 * x + c] ^= flip;
        }
    }
}

// Kernels: the row loops over the rows of a job.

ITZ_MERGE_INLINE ptrdiff_t Row(int32_t y, ptrdiff_t stride)
{
    return ptrdiff_t(y) * stride;
}

template <GrayOp kOp, bool kMask, bool kFull>
ITZ_MERGE_INLINE void GrayPlaneKernel(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y)
        GrayRow<kOp, kMask, kFull>(job.source[0] + Row(y, job.sourceStride),
                                   job.dest[0] + Row(y, job.destStride),
                                   kMask ? job.mask + Row(y, job.maskStride) : nullptr, job.width,
                                   job.opacity, job.factor);
}

template <GrayOp kOp, bool kFull>
ITZ_MERGE_INLINE void GrayAlpha32Kernel(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y)
        GrayAlpha32Row<kOp, kFull>(job.source[0] + Row(y, job.sourceStride),
                                   job.dest[0] + Row(y, job.destStride), job.width, job.opacity);
}

template <bool kMask, bool kFull>
ITZ_MERGE_INLINE void AlphaOverPlanarKernel(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y) {
        const ptrdiff_t s = Row(y, job.sourceStride);
        const ptrdiff_t d = Row(y, job.destStride);
        AlphaOverRow<kMask, kFull>(job.source[0] + s, job.source[1] + s, job.source[2] + s,
                                   job.source[3] + s, job.dest[0] + d, job.dest[1] + d,
                                   job.dest[2] + d, job.dest[3] + d,
                                   kMask ? job.mask + Row(y, job.maskStride) : nullptr, job.width,
                                   job.opacity, job.factor);
    }
}

ITZ_MERGE_INLINE void SmudgePlanarKernel(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y) {
        const ptrdiff_t s = Row(y, job.sourceStride);
        const ptrdiff_t d = Row(y, job.destStride);
        SmudgeRow(job.source[0] + s, job.source[1] + s, job.source[2] + s, job.source[3] + s,
                  job.dest[0] + d, job.dest[1] + d, job.dest[2] + d, job.dest[3] + d,
                  job.mask + Row(y, job.maskStride), job.width, job.factor);
    }
}

template <bool kFull>
ITZ_MERGE_INLINE void AlphaOver32Kernel(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y)
        AlphaOver32Row<kFull>(job.source[0] + Row(y, job.sourceStride),
                              job.dest[0] + Row(y, job.destStride), job.width, job.opacity);
}

template <int kBytes>
ITZ_MERGE_INLINE void InvertKernel(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y)
        InvertRow<kBytes>(job.source[0] + Row(y, job.sourceStride),
                          job.dest[0] + Row(y, job.destStride), job.width);
}

// Runs `run(mask, full)` with both choices as compile-time constants.
template <class Run>
ITZ_MERGE_INLINE void WithChoices(const Job& job, Run run)
{
    const bool mask = job.mask != nullptr;
    const bool full = job.opacity == 255 && (!mask || job.factor == 255);
    if (mask)
        full ? run(std::true_type{}, std::true_type{}) : run(std::true_type{}, std::false_type{});
    else
        full ? run(std::false_type{}, std::true_type{}) : run(std::false_type{}, std::false_type{});
}

template <GrayOp kOp>
ITZ_MERGE_INLINE void GrayPlaneFor(const Job& job)
{
    WithChoices(job, [&](auto mask, auto full) {
        GrayPlaneKernel<kOp, decltype(mask)::value, decltype(full)::value>(job);
    });
}

template <GrayOp kOp>
ITZ_MERGE_INLINE void GrayAlpha32For(const Job& job)
{
    job.opacity == 255 ? GrayAlpha32Kernel<kOp, true>(job) : GrayAlpha32Kernel<kOp, false>(job);
}

// The entry points of one build: the choices of the functions of merge_kernels.h made
// once per call, every kernel inlined whole.

ITZ_MERGE_INLINE void AnyGrayPlane(GrayOp op, const Job& job)
{
    switch (op) {
    case GrayOp::Union:
        return GrayPlaneFor<GrayOp::Union>(job);
    case GrayOp::Multiply:
        return GrayPlaneFor<GrayOp::Multiply>(job);
    case GrayOp::ReverseSubtract:
        return GrayPlaneFor<GrayOp::ReverseSubtract>(job);
    case GrayOp::Subtract:
        return GrayPlaneFor<GrayOp::Subtract>(job);
    case GrayOp::Erase:
        return GrayPlaneFor<GrayOp::Erase>(job);
    }
}

ITZ_MERGE_INLINE void AnyGrayIntoAlpha32(GrayOp op, const Job& job)
{
    switch (op) {
    case GrayOp::Union:
        return GrayAlpha32For<GrayOp::Union>(job);
    case GrayOp::Multiply:
        return GrayAlpha32For<GrayOp::Multiply>(job);
    case GrayOp::ReverseSubtract:
        return GrayAlpha32For<GrayOp::ReverseSubtract>(job);
    case GrayOp::Subtract:
        return GrayAlpha32For<GrayOp::Subtract>(job);
    case GrayOp::Erase:
        return GrayAlpha32For<GrayOp::Erase>(job);
    }
}

ITZ_MERGE_INLINE void AnyAlphaOverPlanar(const Job& job)
{
    WithChoices(job, [&](auto mask, auto full) {
        AlphaOverPlanarKernel<decltype(mask)::value, decltype(full)::value>(job);
    });
}


ITZ_MERGE_INLINE void AnySmudgePlanar(const Job& job)
{
    SmudgePlanarKernel(job);
}

ITZ_MERGE_INLINE void AnyAlphaOver32(const Job& job)
{
    job.opacity == 255 ? AlphaOver32Kernel<true>(job) : AlphaOver32Kernel<false>(job);
}

ITZ_MERGE_INLINE void AnyInvert(const Job& job, int bytesPerPixel)
{
    bytesPerPixel == 4 ? InvertKernel<4>(job) : InvertKernel<3>(job);
}

}  // namespace

// One build of every entry point, in namespace `build`, compiled with `attributes`: each
// takes its kernels whole (flatten), so their loops are vectorised for that build alone.
// The alpha-over and packing entry points take the build's own kernels.
#define ITZ_MERGE_BUILD(build, attributes, alphaOverPlanar, alphaOver32, alphaOver32To24, planesToARGB) \
    namespace build {                                                                                \
    attributes void GrayPlane(GrayOp op, const Job& job) { AnyGrayPlane(op, job); }                  \
    attributes void GrayIntoAlpha32(GrayOp op, const Job& job) { AnyGrayIntoAlpha32(op, job); }      \
    attributes void AlphaOverPlanar(const Job& job) { alphaOverPlanar(job); }                        \
    attributes void SmudgePlanar(const Job& job) { AnySmudgePlanar(job); }                           \
    attributes void AlphaOver32(const Job& job) { alphaOver32(job); }                                \
    attributes void AlphaOver32To24(const Job& job, bool bgr) { alphaOver32To24(job, bgr); }         \
    attributes void Invert(const Job& job, int bytesPerPixel) { AnyInvert(job, bytesPerPixel); }     \
    attributes void PlanesToARGB(const uint8_t* const planes[4], uint8_t* out, int32_t count)       \
    {                                                                                                \
        planesToARGB(planes, out, count);                                                            \
    }                                                                                                \
    attributes void ARGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count)        \
    {                                                                                                \
        pack_rows::ARGBToPlanes(in, planes, count);                                                  \
    }                                                                                                \
    attributes void RGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count, bool bgr) \
    {                                                                                                \
        pack_rows::RGBToPlanes(in, planes, count, bgr);                                              \
    }                                                                                                \
    }
#define ITZ_MERGE_SET(name, build, supported)                                                       \
    KernelSet                                                                                       \
    {                                                                                               \
        name, supported, build::GrayPlane, build::GrayIntoAlpha32, build::AlphaOverPlanar,          \
            build::SmudgePlanar, build::AlphaOver32, build::AlphaOver32To24, build::Invert,         \
            build::PlanesToARGB, build::ARGBToPlanes, build::RGBToPlanes                            \
    }

ITZ_MERGE_BUILD(baseline, __attribute__((flatten)), AnyAlphaOverPlanar, AnyAlphaOver32,
                (steps::AlphaOver32To24<sse2_rows::Over24, 4>), pack_rows::PlanesToARGB)

// clang (the fuzz targets' compiler) knows neither the x86-64-v4 level in its processor
// checks nor flattening across instruction sets: such a build has the baseline alone.
#ifdef ITZ_MERGE_BASELINE_ONLY

const KernelSet kKernelSets[] = {ITZ_MERGE_SET("baseline", baseline, kernel_builds::Always)};

#else

ITZ_MERGE_BUILD(avx512, __attribute__((flatten, target("arch=x86-64-v4"))), avx2_rows::AnyAlphaOverPlanar,
                (steps::AlphaOver32<avx2_rows::Over32, 16>), (steps::AlphaOver32To24<avx2_rows::Over24, 8>),
                avx2_rows::PlanesToARGB)
ITZ_MERGE_BUILD(avx2, __attribute__((flatten, target("avx2"))), avx2_rows::AnyAlphaOverPlanar,
                (steps::AlphaOver32<avx2_rows::Over32, 16>), (steps::AlphaOver32To24<avx2_rows::Over24, 8>),
                avx2_rows::PlanesToARGB)

const KernelSet kKernelSets[] = {ITZ_MERGE_SET("avx512", avx512, kernel_builds::RunsAvx512),
                                 ITZ_MERGE_SET("avx2", avx2, kernel_builds::RunsAvx2),
                                 ITZ_MERGE_SET("baseline", baseline, kernel_builds::Always)};

#endif

const size_t kKernelSetCount = sizeof kKernelSets / sizeof kKernelSets[0];

}  // namespace lumatra::merge
