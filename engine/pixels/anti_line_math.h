// ITzAntiLineMath: the process-wide coverage tables of anti-aliased shape edges. A pixel
// that an edge crosses is covered by a trapezoid (the edge crosses two opposite sides) or
// by a corner triangle (two adjacent sides); the tables give that area as a byte.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

// The sides of a pixel an edge crosses, as the polygon fill numbers them (the arc list
// numbers them otherwise, see cross_pixel_list.h).
enum ITzPIXELSIDE : uint8_t {
    ITzPIXELSIDE_TOP = 1,
    ITzPIXELSIDE_BOTTOM = 2,
    ITzPIXELSIDE_LEFT = 4,
    ITzPIXELSIDE_RIGHT = 8,
};

// Positions along a pixel side run from 0 to 16 sixteenths.
inline constexpr int32_t ITzSUBPIXELS = 16;

class LUMATRA_API ITzAntiLineMath {
public:
    ITzAntiLineMath();
    virtual ~ITzAntiLineMath();

    // The share of a pixel on the side of its top-left corner, cut by a straight edge
    // that crosses side `first` at position `b` and side `second` at position `a` (x
    // along the top and bottom sides, y along the left and right ones): 0 for a pair of
    // sides that cannot be crossed this way.
    uint8_t GetCoverage(uint32_t a, uint32_t b, uint8_t first, uint8_t second) const;

    // T[r][c] = min(255, (128 + 2040 (r + c)) >> 8): the area (r + c) / 32 of a
    // trapezoid; U[r][c] = min(255, (256 + 255 r c) >> 9): the area r c / 512 of a corner.
    uint8_t Trapezoid(uint32_t r, uint32_t c) const { return m_trapezoid[r][c]; }
    uint8_t Triangle(uint32_t r, uint32_t c) const { return m_triangle[r][c]; }

private:
    uint8_t m_trapezoid[ITzSUBPIXELS + 1][ITzSUBPIXELS + 1];
    uint8_t m_triangle[ITzSUBPIXELS + 1][ITzSUBPIXELS + 1];
};

// The process-wide tables, built on first use; null only when memory is short.
LUMATRA_C ITzAntiLineMath* GetAntiLineMath();
// The tables when they exist, without building them.
LUMATRA_C ITzAntiLineMath* FindAntiLineMath();
// Deletes the tables GetAntiLineMath built (the engine's shut-down): 1, or 0 when none.
LUMATRA_C int FreeAntiLineMath();
