// The baseline build's alpha-over of 32-bit pixels onto 24-bit ones, written in SSE2,
// which every x86-64 processor runs: four pixels a step, the destination's bytes moved
// into the places of the source's by byte shifts, since SSE2 has no byte shuffle. Bit for
// bit the values merge_kernels.h gives. Included by merge_kernels.cpp alone.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "engine/pixels/merge_kernel_steps.h"

#define ITZ_SSE2 inline __attribute__((always_inline))

namespace lumatra::merge::sse2_rows {

ITZ_SSE2 __m128i Splat16(int v)
{
    return _mm_set1_epi16(int16_t(v));
}

// Bytes 1-3 of 32-bit lane `lane`.
ITZ_SSE2 __m128i ColourBytesOf(int lane)
{
    alignas(16) uint32_t masks[4] = {};
    masks[lane] = 0xFFFFFF00u;
    return _mm_load_si128(reinterpret_cast<const __m128i*>(masks));
}

// Four 24-bit pixels as 32-bit ones: the three bytes of pixel k at bytes 1-3 of lane k.
ITZ_SSE2 __m128i Spread24(const uint8_t* d)
{
    uint32_t last;
    std::memcpy(&last, d + 8, 4);
    const __m128i bytes =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)), _mm_cvtsi32_si128(int(last)));
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_slli_si128(bytes, 1), ColourBytesOf(0)),
                                     _mm_and_si128(_mm_slli_si128(bytes, 2), ColourBytesOf(1))),
                        _mm_or_si128(_mm_and_si128(_mm_slli_si128(bytes, 3), ColourBytesOf(2)),
                                     _mm_and_si128(_mm_slli_si128(bytes, 4), ColourBytesOf(3))));
}

// Spread24 undone: bytes 1-3 of each lane stored as 12 bytes.
ITZ_SSE2 void Store24(uint8_t* d, __m128i pixels)
{
    const __m128i low = _mm_set_epi32(0, 0, 0, 0x00FFFFFF);
    const __m128i bytes = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(_mm_srli_si128(pixels, 1), low),
                     _mm_and_si128(_mm_srli_si128(pixels, 2), _mm_slli_si128(low, 3))),
        _mm_or_si128(_mm_and_si128(_mm_srli_si128(pixels, 3), _mm_slli_si128(low, 6)),
                     _mm_and_si128(_mm_srli_si128(pixels, 4), _mm_slli_si128(low, 9))));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), bytes);
    const uint32_t last = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 8)));
    std::memcpy(d + 8, &last, 4);
}

// The first and third bytes of each pixel's colours in 16-bit lanes; with `kSwap` the
// third first.
template <bool kSwap>
ITZ_SSE2 __m128i OuterBytes(__m128i pixels)
{
    const __m128i outer = _mm_srli_epi16(pixels, 8);
    if constexpr (!kSwap)
        return outer;
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(outer, _MM_SHUFFLE(2, 3, 0, 1)), _MM_SHUFFLE(2, 3, 0, 1));
}

ITZ_SSE2 __m128i MiddleBytes(__m128i pixels)
{
    return _mm_and_si128(pixels, _mm_set1_epi32(0x00FF0000));
}

// M(x, y) for bytes in 16-bit lanes, as merge_math.h's Mul255.
ITZ_SSE2 __m128i Mul255(__m128i x, __m128i y)
{
    return _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(x, y), Splat16(128)), Splat16(257));
}

// M'(s a + d r) with M'(v) = (v + 127) / 255, for weights a + r = 255.
ITZ_SSE2 __m128i Mix(__m128i s, __m128i d, __m128i a, __m128i r)
{
    const __m128i t = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, r)), Splat16(128));
    return _mm_mulhi_epu16(t, Splat16(257));
}

// AlphaOver32To24 (merge_kernels.h) for the four pixels at s and d: each colour
// M'(c_s a + c_d (255 - a)); left out where every alpha is 0 and a copy where every one is
// 255. With `kBgr` the destination's first byte is blue: the source's red and blue trade
// places.
template <bool kFull, bool kBgr>
ITZ_SSE2 void AlphaOver24Step(const uint8_t* s, uint8_t* d, __m128i opacity)
{
    const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i alphas = _mm_and_si128(source, _mm_set1_epi32(255));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alphas, _mm_setzero_si128())) == 0xFFFF)
        return;
    const __m128i outer = OuterBytes<kBgr>(source);
    if (kFull && _mm_movemask_epi8(_mm_cmpeq_epi32(alphas, _mm_set1_epi32(255))) == 0xFFFF) {
        Store24(d, _mm_or_si128(MiddleBytes(source), _mm_slli_epi16(outer, 8)));
        return;
    }
    const __m128i a = kFull ? alphas : Mul255(alphas, opacity);
    const __m128i both = _mm_or_si128(a, _mm_slli_epi32(a, 16));
    const __m128i rest = _mm_sub_epi16(Splat16(255), both);
    const __m128i dest = Spread24(d);
    const __m128i middle = Mix(MiddleBytes(source), MiddleBytes(dest), both, rest);
    const __m128i outerMixed = Mix(outer, _mm_srli_epi16(dest, 8), both, rest);
    Store24(d, _mm_or_si128(middle, _mm_slli_epi16(outerMixed, 8)));
}

template <bool kFull, bool kBgr>
struct Over24 {
    static void Run(const uint8_t* s, uint8_t* d, int opacity) { AlphaOver24Step<kFull, kBgr>(s, d, Splat16(opacity)); }
};

}  // namespace lumatra::merge::sse2_rows
