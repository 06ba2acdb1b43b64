// The alpha-over row loops of the AVX2 build (planar, 32-bit, and 32-bit onto 24-bit
// pixels) and its packing of planes into pixels, written in its instructions: 16-bit
// lanes of bytes split without moving them across lanes, whole steps skipped, copied or
// blended without a division where the alphas allow. Bit for bit the values of the plain
// loops of merge_kernels.cpp. Included there alone.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "engine/pixels/merge_kernel_steps.h"
#include "engine/pixels/merge_kernels.h"

#define ITZ_AVX2 inline __attribute__((always_inline, target("avx2")))
// A step of merge_kernel_steps.h: inlined by the flattened entry points, since the
// generic row loop around it cannot take a function of another target whole.
#define ITZ_AVX2_STEP inline __attribute__((target("avx2")))

namespace lumatra::merge::avx2_rows {

ITZ_AVX2 __m256i Splat16(int v)
{
    return _mm256_set1_epi16(int16_t(v));
}

ITZ_AVX2 __m256i Ones()
{
    return _mm256_set1_epi8(-1);
}

// The even and the odd bytes of a register in 16-bit lanes, without moving a byte across
// lanes; Join puts two such of values up to 255 back.
ITZ_AVX2 __m256i Even(__m256i bytes)
{
    return _mm256_and_si256(bytes, Splat16(255));
}

ITZ_AVX2 __m256i Odd(__m256i bytes)
{
    return _mm256_srli_epi16(bytes, 8);
}

ITZ_AVX2 __m256i Join(__m256i even, __m256i odd)
{
    return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

ITZ_AVX2 __m256i Load(const uint8_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

ITZ_AVX2 void Store(uint8_t* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// M(x, y) for lanes of bytes: (t 257) >> 16 with t = x y + 128, as merge_math.h's Mul255.
ITZ_AVX2 __m256i Mul255(__m256i x, __m256i y)
{
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, y), Splat16(128));
    return _mm256_mulhi_epu16(t, Splat16(257));
}

// The weight w = Q(a, n) of a colour's move, 0..65536, held as w mod 2^16 (`low`, read
// as signed lanes) and whether w >= 2^15 (`high`, all ones). Then
// floor(w x / 2^16) = floor(low x / 2^16) + (high ? x : 0) for any x, and the first is
// one signed high multiply.
struct Weights {
    __m256i low, high;
};

// d + ((w (s - d)) >> 16), the shift keeping the sign: merge_kernels.cpp's Toward, as
// (w >= 2^15 ? s : d) + floor(low (s - d) / 2^16).
ITZ_AVX2 __m256i Toward(__m256i d, __m256i s, const Weights& w)
{
    return _mm256_add_epi16(_mm256_blendv_epi8(d, s, w.high), _mm256_mulhi_epi16(w.low, _mm256_sub_epi16(s, d)));
}

// Ratio16 in float lanes, exact as there.
ITZ_AVX2 __m256i Quotients(__m256i numerator, __m256i divisor)
{
    return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(numerator), _mm256_cvtepi32_ps(divisor)));
}

// Q(a, n) = (a 65536 + n / 2) / n (0 for n = 0) for lanes a <= n: the even and the odd
// lanes divided apart in 32-bit lanes, the numerator a 65536 + n / 2 made by putting a
// beside n / 2.
ITZ_AVX2 Weights Ratios(__m256i a, __m256i n)
{
    const __m256i half = _mm256_srli_epi16(n, 1);
    const __m256i divisor = _mm256_max_epu16(n, Splat16(1));
    const __m256i even = Quotients(_mm256_blend_epi16(half, _mm256_slli_epi32(a, 16), 0xAA),
                                   _mm256_blend_epi16(divisor, _mm256_setzero_si256(), 0xAA));
    const __m256i odd = Quotients(_mm256_blend_epi16(_mm256_srli_epi32(half, 16), a, 0xAA),
                                  _mm256_srli_epi32(divisor, 16));
    const __m256i big = _mm256_set1_epi32(32767);
    return {_mm256_blend_epi16(even, _mm256_slli_epi32(odd, 16), 0xAA),
            _mm256_blend_epi16(_mm256_cmpgt_epi32(even, big), _mm256_cmpgt_epi32(odd, big), 0xAA)};
}

// Q(a, 255), onto an opaque destination, without dividing: a 65536 + 127 is
// 255 (257 a) + a + 127, so the quotient is 257 a + (a >= 128).
ITZ_AVX2 Weights OpaqueRatios(__m256i a)
{
    return {_mm256_add_epi16(_mm256_mullo_epi16(a, Splat16(257)), _mm256_srli_epi16(a, 7)),
            _mm256_cmpgt_epi16(a, Splat16(127))};
}

// The source alphas of a step weighed by the opacity and the mask, as bytes and as their
// even and odd bytes.
struct StepAlpha {
    __m256i bytes, even, odd;
};

template <bool kMask, bool kFull>
ITZ_AVX2 StepAlpha WeighAlpha(const uint8_t* sa, const uint8_t* m, __m256i opacity, __m256i factor)
{
    const __m256i s = Load(sa);
    __m256i even = Even(s), odd = Odd(s);
    if constexpr (kFull && !kMask)
        return {s, even, odd};
    if constexpr (!kFull) {
        even = Mul255(even, opacity);
        odd = Mul255(odd, opacity);
    }
    if constexpr (kMask) {
        const __m256i mask = Load(m);
        __m256i maskEven = Even(mask), maskOdd = Odd(mask);
        if constexpr (!kFull) {
            maskEven = Mul255(maskEven, factor);
            maskOdd = Mul255(maskOdd, factor);
        }
        even = Mul255(even, maskEven);
        odd = Mul255(odd, maskOdd);
    }
    return {Join(even, odd), even, odd};
}

// The four planes of a run of pixels.
struct PlaneRow {
    const uint8_t* source[4];
    uint8_t* dest[4];
    const uint8_t* mask;
};

// Merge_kernels.cpp's AlphaOverRow for the 32 pixels at x. The step is left out where
// every weighed alpha is 0, and where every one is 255 the source is copied with alpha
// 255; onto a transparent destination the new alpha is a and each colour the source's
// where a > 0; onto an opaque one the alpha stays 255 and the weights need no division.
// Each is what the general blend gives there.
template <bool kMask, bool kFull>
ITZ_AVX2 void AlphaOverStep(const PlaneRow& row, int x, __m256i opacity, __m256i factor)
{
    const StepAlpha a = WeighAlpha<kMask, kFull>(row.source[0] + x, kMask ? row.mask + x : nullptr, opacity, factor);
    if (_mm256_testz_si256(a.bytes, a.bytes))
        return;
    if (kFull && _mm256_testc_si256(a.bytes, Ones())) {
        for (int c = 1; c < 4; ++c)
            Store(row.dest[c] + x, Load(row.source[c] + x));
        Store(row.dest[0] + x, Ones());
        return;
    }
    const __m256i d = Load(row.dest[0] + x);
    if (_mm256_testz_si256(d, d)) {
        const __m256i keep = _mm256_cmpeq_epi8(a.bytes, _mm256_setzero_si256());
        for (int c = 1; c < 4; ++c)
            Store(row.dest[c] + x, _mm256_blendv_epi8(Load(row.source[c] + x), Load(row.dest[c] + x), keep));
        Store(row.dest[0] + x, a.bytes);
        return;
    }
    Weights even, odd;
    if (_mm256_testc_si256(d, Ones())) {
        even = OpaqueRatios(a.even);
        odd = OpaqueRatios(a.odd);
    } else {
        const __m256i dEven = Even(d), dOdd = Odd(d);
        const __m256i nEven = _mm256_sub_epi16(_mm256_add_epi16(a.even, dEven), Mul255(a.even, dEven));
        const __m256i nOdd = _mm256_sub_epi16(_mm256_add_epi16(a.odd, dOdd), Mul255(a.odd, dOdd));
        even = Ratios(a.even, nEven);
        odd = Ratios(a.odd, nOdd);
        Store(row.dest[0] + x, Join(nEven, nOdd));
    }
    for (int c = 1; c < 4; ++c) {
        const __m256i s = Load(row.source[c] + x), old = Load(row.dest[c] + x);
        Store(row.dest[c] + x, Join(Toward(Even(old), Even(s), even), Toward(Odd(old), Odd(s), odd)));
    }
}

// AlphaOverRow over n pixels, 32 a step; the last few through a step on copies.
template <bool kMask, bool kFull>
ITZ_AVX2 void AlphaOverRow(const PlaneRow& row, int n, int opacity, int factor)
{
    const __m256i opacities = Splat16(opacity), factors = Splat16(factor);
    int x = 0;
    for (; x + 32 <= n; x += 32)
        AlphaOverStep<kMask, kFull>(row, x, opacities, factors);
    if (x == n)
        return;
    const int rest = n - x;
    alignas(32) uint8_t copies[9][32] = {};
    PlaneRow tail;
    for (int c = 0; c < 4; ++c) {
        std::memcpy(copies[c], row.source[c] + x, size_t(rest));
        std::memcpy(copies[4 + c], row.dest[c] + x, size_t(rest));
        tail.source[c] = copies[c];
        tail.dest[c] = copies[4 + c];
    }
    if constexpr (kMask)
        std::memcpy(copies[8], row.mask + x, size_t(rest));
    tail.mask = copies[8];
    AlphaOverStep<kMask, kFull>(tail, 0, opacities, factors);
    for (int c = 0; c < 4; ++c)
        std::memcpy(row.dest[c] + x, copies[4 + c], size_t(rest));
}

// 32-bit pixels (alpha, red, green, blue) in place: eight to a register, each pixel's
// alpha in the low byte of its 32-bit lane. Its bytes are moved in 16-bit lanes, the
// even ones (alpha, green) and the odd ones (red, blue) apart. M of bytes in 32-bit lanes
// is Mul255 itself: the high half of each lane stays 0.
ITZ_AVX2 __m256i AlphaBytes()
{
    return _mm256_set1_epi32(255);
}

ITZ_AVX2 __m256i Alphas(__m256i pixels)
{
    return _mm256_and_si256(pixels, AlphaBytes());
}

// Whether the alphas of eight pixels are neither all 0 nor all 255, in one test: then a
// step holding them is neither left out nor copied, nor onto a transparent or an opaque
// destination, and the shortcuts need no more tests.
ITZ_AVX2 bool MixedAlphas(__m256i pixels)
{
    return _mm256_testnzc_si256(pixels, AlphaBytes());
}

// Weights from quotients w in 32-bit lanes: w mod 2^16 in both halves of each lane.
ITZ_AVX2 Weights PixelWeights(__m256i w)
{
    const __m256i bothHalves =
        _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13,
                         12, 13);
    return {_mm256_shuffle_epi8(w, bothHalves), _mm256_cmpgt_epi32(w, _mm256_set1_epi32(32767))};
}

// Every byte of eight pixels d moved Toward its byte of s by the weights, as
// base + floor(low (s - d) / 2^16) with base s where w >= 2^15 and d elsewhere. The moves
// of the odd bytes are added to their 16-bit lanes shifted up: each byte's result lies
// between its d and s, so no sum carries into the byte above. The alpha byte is moved
// like a colour; callers replace it.
ITZ_AVX2 __m256i MovePixels(__m256i s, __m256i d, const Weights& w)
{
    const __m256i even = _mm256_mulhi_epi16(w.low, _mm256_sub_epi16(Even(s), Even(d)));
    const __m256i odd = _mm256_mulhi_epi16(w.low, _mm256_sub_epi16(Odd(s), Odd(d)));
    const __m256i base = _mm256_blendv_epi8(d, s, w.high);
    return _mm256_add_epi16(_mm256_add_epi16(base, even), _mm256_slli_epi16(odd, 8));
}

// The pixels of d0 and d1 after the general blend of s0 and s1 with weighed alphas a0
// and a1: alpha n = S(a, alpha d), colours moved by Q(a, n). The alphas of all 16 are
// packed into 16-bit lanes for n; unpacked beside a and n / 2 they give each pixel's
// numerator a 65536 + n / 2 and divisor max(n, 1) in its own 32-bit lane (packing and
// unpacking keep the order within 128-bit halves).
ITZ_AVX2 void OverPixels(__m256i s0, __m256i s1, __m256i& d0, __m256i& d1, __m256i a0, __m256i a1)
{
    const __m256i a = _mm256_packus_epi32(a0, a1), old = _mm256_packus_epi32(Alphas(d0), Alphas(d1));
    const __m256i n = _mm256_sub_epi16(_mm256_add_epi16(a, old), Mul255(a, old));
    const __m256i half = _mm256_srli_epi16(n, 1), zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(1);
    const __m256i n0 = _mm256_unpacklo_epi16(n, zero), n1 = _mm256_unpackhi_epi16(n, zero);
    const Weights w0 = PixelWeights(Quotients(_mm256_unpacklo_epi16(half, a), _mm256_max_epi32(n0, one)));
    const Weights w1 = PixelWeights(Quotients(_mm256_unpackhi_epi16(half, a), _mm256_max_epi32(n1, one)));
    d0 = _mm256_blendv_epi8(MovePixels(s0, d0, w0), n0, AlphaBytes());
    d1 = _mm256_blendv_epi8(MovePixels(s1, d1, w1), n1, AlphaBytes());
}

// Onto opaque pixels: the alpha stays 255 and Q(a, 255) = 257 a + (a >= 128).
ITZ_AVX2 __m256i OverOpaquePixels(__m256i s, __m256i d, __m256i a)
{
    const __m256i w = _mm256_add_epi32(_mm256_mullo_epi16(a, Splat16(257)), _mm256_srli_epi32(a, 7));
    return _mm256_or_si256(MovePixels(s, d, PixelWeights(w)), AlphaBytes());
}

// Onto transparent pixels: alpha a, and the source's colours where a > 0.
ITZ_AVX2 __m256i OverTransparentPixels(__m256i s, __m256i d, __m256i a)
{
    const __m256i keep = _mm256_cmpeq_epi32(a, _mm256_setzero_si256());
    return _mm256_blendv_epi8(_mm256_blendv_epi8(s, a, AlphaBytes()), d, keep);
}

// AlphaOver32 (merge_kernels.h) for the 16 pixels at s and d, with AlphaOverStep's
// choices: nothing to do, a copy of opaque source pixels, a transparent or an opaque
// destination, or the general blend.
template <bool kFull>
ITZ_AVX2 void AlphaOver32Step(const uint8_t* s, uint8_t* d, __m256i opacity)
{
    const __m256i first = Load(s), second = Load(s + 32);
    if (kFull && !MixedAlphas(first)) {
        if (_mm256_testz_si256(_mm256_or_si256(first, second), AlphaBytes()))
            return;
        if (_mm256_testc_si256(_mm256_and_si256(first, second), AlphaBytes())) {
            Store(d, first);
            Store(d + 32, second);
            return;
        }
    }
    const __m256i a0 = kFull ? Alphas(first) : Mul255(Alphas(first), opacity);
    const __m256i a1 = kFull ? Alphas(second) : Mul255(Alphas(second), opacity);
    if (!kFull && _mm256_testz_si256(a0, a0) && _mm256_testz_si256(a1, a1))
        return;
    __m256i d0 = Load(d), d1 = Load(d + 32);
    if (!MixedAlphas(d0)) {
        if (_mm256_testz_si256(_mm256_or_si256(d0, d1), AlphaBytes())) {
            Store(d, OverTransparentPixels(first, d0, a0));
            Store(d + 32, OverTransparentPixels(second, d1, a1));
            return;
        }
        if (_mm256_testc_si256(_mm256_and_si256(d0, d1), AlphaBytes())) {
            Store(d, OverOpaquePixels(first, d0, a0));
            Store(d + 32, OverOpaquePixels(second, d1, a1));
            return;
        }
    }
    OverPixels(first, second, d0, d1, a0, a1);
    Store(d, d0);
    Store(d + 32, d1);
}

// Asks for the cache line 512 bytes on, eight steps ahead (on a merge out of memory,
// faster than 256 or 1,024 bytes on), which may lie past the row: a prefetch never
// faults, and the address is formed as a number.
ITZ_AVX2 void PrefetchAhead(const uint8_t* p)
{
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + 512), _MM_HINT_T0);
}

// AlphaOver32Step as a step of merge_kernel_steps.h, fetching the lines it will merge
// soon: the hardware's own prefetch leaves the loop waiting on memory.
template <bool kFull>
struct Over32 {
    static ITZ_AVX2_STEP void Run(const uint8_t* s, uint8_t* d, int opacity)
    {
        PrefetchAhead(s);
        PrefetchAhead(d);
        AlphaOver32Step<kFull>(s, d, Splat16(opacity));
    }
};

// 32-bit pixels onto 24-bit ones, eight a step. The destination's bytes are spread into
// the places the source's colours hold in 32-bit pixels (byte 0 left 0); `kBgr` reverses
// the colours.
template <bool kBgr>
ITZ_AVX2 __m256i Spread24(const uint8_t* d)
{
    // The high 128-bit half is loaded from byte 8, its pixels 4-7 at bytes 4-15.
    const __m256i bytes = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(d + 8),
                                              reinterpret_cast<const __m128i*>(d));
    constexpr int8_t r = kBgr ? 2 : 0, b = kBgr ? 0 : 2, z = -1;
    return _mm256_shuffle_epi8(bytes, _mm256_setr_epi8(z, r, 1, b, z, 3 + r, 4, 3 + b, z, 6 + r, 7, 6 + b, z, 9 + r,
                                                       10, 9 + b,  //
                                                       z, 4 + r, 5, 4 + b, z, 7 + r, 8, 7 + b, z, 10 + r, 11, 10 + b,
                                                       z, 13 + r, 14, 13 + b));
}

// The colour bytes of eight 32-bit pixels stored as 24 bytes, in the order of Spread24.
template <bool kBgr>
ITZ_AVX2 void Store24(uint8_t* d, __m256i pixels)
{
    constexpr int8_t r = kBgr ? 3 : 1, b = kBgr ? 1 : 3, z = -1;
    const __m256i packed = _mm256_shuffle_epi8(
        pixels, _mm256_setr_epi8(r, 2, b, 4 + r, 6, 4 + b, 8 + r, 10, 8 + b, 12 + r, 14, 12 + b, z, z, z, z,  //
                                 r, 2, b, 4 + r, 6, 4 + b, 8 + r, 10, 8 + b, 12 + r, 14, 12 + b, z, z, z, z));
    const __m256i joined = _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(joined));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 16), _mm256_extracti128_si256(joined, 1));
}

// M'(s a + d (255 - a)) for the byte pairs (s - 128, d - 128) of 16-bit lanes and weight
// pairs (a, 255 - a): one multiply-add of bytes, which stays within 16 signed bits
// (-128 x 255 to 127 x 255), then t = v + 128 restored by adding 128 x 255 + 128 = 2^15.
ITZ_AVX2 __m256i MixPairs(__m256i pairs, __m256i weights)
{
    const __m256i t = _mm256_xor_si256(_mm256_maddubs_epi16(weights, pairs), Splat16(-32768));
    return _mm256_mulhi_epu16(t, Splat16(257));
}

// AlphaOver32To24 (merge_kernels.h) for the eight pixels at s and d: each colour
// M'(c_s a + c_d (255 - a)); left out where every alpha is 0, a copy where every one is
// 255.
template <bool kFull, bool kBgr>
ITZ_AVX2 void AlphaOver24Step(const uint8_t* s, uint8_t* d, __m256i opacity)
{
    const __m256i source = Load(s);
    if (_mm256_testz_si256(source, AlphaBytes()))
        return;
    if (kFull && _mm256_testc_si256(source, AlphaBytes())) {
        Store24<kBgr>(d, source);
        return;
    }
    const __m256i a = kFull ? Alphas(source) : Mul255(Alphas(source), opacity);
    // Each pixel's (a, 255 - a) in both 16-bit halves of its lane, and then in all four
    // 16-bit lanes of its pixel's colour pairs.
    const __m256i weight = _mm256_or_si256(a, _mm256_slli_epi32(_mm256_xor_si256(a, AlphaBytes()), 8));
    const __m256i pixelLow = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5, 0, 1, 0, 1, 0, 1, 0, 1,
                                              4, 5, 4, 5, 4, 5, 4, 5);
    const __m256i pixelHigh = _mm256_add_epi8(pixelLow, _mm256_set1_epi8(8));
    const __m256i half = _mm256_set1_epi8(-128);
    const __m256i from = _mm256_xor_si256(source, half), onto = _mm256_xor_si256(Spread24<kBgr>(d), half);
    const __m256i low = MixPairs(_mm256_unpacklo_epi8(from, onto), _mm256_shuffle_epi8(weight, pixelLow));
    const __m256i high = MixPairs(_mm256_unpackhi_epi8(from, onto), _mm256_shuffle_epi8(weight, pixelHigh));
    Store24<kBgr>(d, _mm256_packus_epi16(low, high));
}

template <bool kFull, bool kBgr>
struct Over24 {
    static ITZ_AVX2_STEP void Run(const uint8_t* s, uint8_t* d, int opacity)
    {
        AlphaOver24Step<kFull, kBgr>(s, d, Splat16(opacity));
    }
};

// Four planes to 32-bit pixels, 32 a step: bytes interleaved into pairs (alpha, red) and
// (green, blue), the pairs into pixels, the 128-bit halves put back in order.
ITZ_AVX2 void PlanesToARGB(const uint8_t* const planes[4], uint8_t* out, int32_t count)
{
    int32_t x = 0;
    for (; x + 32 <= count; x += 32) {
        const __m256i a = Load(planes[0] + x), r = Load(planes[1] + x), g = Load(planes[2] + x),
                      b = Load(planes[3] + x);
        const __m256i arLow = _mm256_unpacklo_epi8(a, r), arHigh = _mm256_unpackhi_epi8(a, r);
        const __m256i gbLow = _mm256_unpacklo_epi8(g, b), gbHigh = _mm256_unpackhi_epi8(g, b);
        // Pixels 0-3 and 16-19, 4-7 and 20-23, 8-11 and 24-27, 12-15 and 28-31.
        const __m256i p0 = _mm256_unpacklo_epi16(arLow, gbLow), p1 = _mm256_unpackhi_epi16(arLow, gbLow);
        const __m256i p2 = _mm256_unpacklo_epi16(arHigh, gbHigh), p3 = _mm256_unpackhi_epi16(arHigh, gbHigh);
        uint8_t* o = out + 4 * x;
        Store(o, _mm256_permute2x128_si256(p0, p1, 0x20));
        Store(o + 32, _mm256_permute2x128_si256(p2, p3, 0x20));
        Store(o + 64, _mm256_permute2x128_si256(p0, p1, 0x31));
        Store(o + 96, _mm256_permute2x128_si256(p2, p3, 0x31));
    }
    for (; x < count; ++x)
        for (int c = 0; c < 4; ++c)
            out[4 * x + c] = planes[c][x];
}

template <bool kMask, bool kFull>
ITZ_AVX2 void AlphaOverPlanarKernel(const Job& job)
{
    for (int32_t y = 0; y < job.height; ++y) {
        const ptrdiff_t s = ptrdiff_t(y) * job.sourceStride, d = ptrdiff_t(y) * job.destStride;
        const PlaneRow row = {{job.source[0] + s, job.source[1] + s, job.source[2] + s, job.source[3] + s},
                              {job.dest[0] + d, job.dest[1] + d, job.dest[2] + d, job.dest[3] + d},
                              kMask ? job.mask + ptrdiff_t(y) * job.maskStride : nullptr};
        AlphaOverRow<kMask, kFull>(row, job.width, job.opacity, job.factor);
    }
}

// The choices of the alpha-over, made once per job: a lambda would not take the target.
ITZ_AVX2 void AnyAlphaOverPlanar(const Job& job)
{
    const bool mask = job.mask != nullptr;
    const bool full = job.opacity == 255 && (!mask || job.factor == 255);
    if (mask)
        full ? AlphaOverPlanarKernel<true, true>(job) : AlphaOverPlanarKernel<true, false>(job);
    else
        full ? AlphaOverPlanarKernel<false, true>(job) : AlphaOverPlanarKernel<false, false>(job);
}

}  // namespace lumatra::merge::avx2_rows
