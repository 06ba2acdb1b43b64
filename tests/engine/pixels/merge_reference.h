// The merges written plainly, one pixel at a time from the blend tables with every
// branch spelled out: the reference that the merge tests hold the kernels to.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "base/geometry.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/merge_data.h"

struct RefPixel {
    uint8_t a, r, g, b;
    bool operator==(const RefPixel&) const = default;
};

// The source value after opacity, and after the mask (m weighted by the factor) if any.
inline uint8_t RefWeight(const CMathMerge& t, uint8_t s, uint8_t opacity, const uint8_t* m,
                         uint8_t factor = 255)
{
    const uint8_t v = t.Product(s, opacity);
    return m ? t.Product(v, t.Product(*m, factor)) : v;
}

// Alpha-over with effective source alpha a.
inline RefPixel RefAlphaOver(const CMathMerge& t, RefPixel s, RefPixel d, uint8_t a)
{
    if (a == 0)
        return d;
    if (a == 255 || d.a == 0)
        return {a, s.r, s.g, s.b};
    const uint8_t n = t.Union(a, d.a);
    const int64_t w = t.Ratio(a, n);
    const auto mix = [&](uint8_t cs, uint8_t cd) {
        return uint8_t(cd + ((w * (cs - cd)) >> 16));
    };
    return {n, mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b)};
}

// Onto a colour byte without alpha.
inline uint8_t RefAlphaOver24(const CMathMerge& t, uint8_t cs, uint8_t cd, uint8_t a)
{
    if (a == 255)
        return cs;
    const uint8_t step = t.Product(uint8_t(std::abs(cs - cd)), a);
    return cs >= cd ? uint8_t(cd + step) : uint8_t(cd - step);
}

// The gray merge of value v (already weighted) into d, by merge type.
inline uint8_t RefGray(const CMathMerge& t, int type, uint8_t v, uint8_t d)
{
    switch (type) {
    case ITzMERGE_NORMAL:
        return t.Union(v, d);
    case ITzMERGE_INTERSECT:
    case ITzMERGE_MULTIPLY_ALPHA:
        return t.Product(d, v);
    case ITzMERGE_INVERT:
        return uint8_t(std::max(v - d, 0));
    case ITzMERGE_SUBTRACT:
        return uint8_t(std::max(d - v, 0));
    case ITzMERGE_ERASE:
        return t.Product(uint8_t(255 - v), d);
    default:
        return d;
    }
}

// The smudge mix at weight c, dividing by the new alpha.
inline RefPixel RefSmudge(const CMathMerge& t, RefPixel s, RefPixel d, uint8_t c)
{
    if (c == 255)
        return s;
    if (c == 0)
        return d;
    const uint8_t ks = t.Product(s.a, c);
    const uint8_t kd = t.Product(d.a, uint8_t(255 - c));
    const uint8_t alpha = uint8_t(std::min(ks + kd, 255));
    const auto mix = [&](uint8_t cs, uint8_t cd) {
        const uint8_t part = uint8_t(std::min(t.Product(cs, ks) + t.Product(cd, kd), 255));
        return uint8_t(std::min<uint64_t>(255, (uint64_t(t.Ratio(part, alpha)) * 255) >> 16));
    };
    return {alpha, mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b)};
}

// Random bytes in which 0 and 255 are common, so that every branch above is taken.
inline std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) {
        const uint32_t r = random();
        b = (r & 7) == 0 ? 0 : (r & 7) == 1 ? 255 : uint8_t(r >> 8);
    }
    return bytes;
}

// A rectangle over much of a width x height bitmap that often reaches past its edges;
// one in eight lies anywhere and may be empty.
inline PTzRECT RandomRect(std::mt19937& random, int32_t width, int32_t height)
{
    const auto pick = [&](int32_t low, int32_t high) {
        return low + int32_t(random() % uint32_t(high - low + 1));
    };
    if (random() % 8 == 0) {
        const int32_t left = pick(-4, width);
        const int32_t top = pick(-4, height);
        return {left, top, left + pick(-1, width + 4), top + pick(-1, height + 4)};
    }
    const int32_t left = pick(-4, width / 4);
    const int32_t top = pick(-4, height / 4);
    return {left, top, left + pick(width / 2, width + 4), top + pick(height / 2, height + 4)};
}

// Calls visit(i, j) for every offset of the pixels that the rectangles meet one to one:
// the offsets up to the smallest width and height at which every rectangle's pixel lies
// inside its bitmap (sizes[k] = {width, height} of the bitmap of rects[k]).
template <size_t N, class Visit>
void ForPairedPixels(const PTzRECT (&rects)[N], const _tagPTzSIZE (&sizes)[N], Visit visit)
{
    int32_t width = INT32_MAX;
    int32_t height = INT32_MAX;
    for (const PTzRECT& r : rects) {
        width = std::min(width, r.right - r.left);
        height = std::min(height, r.bottom - r.top);
    }
    for (int32_t j = 0; j < height; ++j) {
        for (int32_t i = 0; i < width; ++i) {
            bool inside = true;
            for (size_t k = 0; k < N; ++k) {
                const int32_t x = rects[k].left + i;
                const int32_t y = rects[k].top + j;
                inside = inside && x >= 0 && y >= 0 && x < sizes[k].cx && y < sizes[k].cy;
            }
            if (inside)
                visit(i, j);
        }
    }
}
