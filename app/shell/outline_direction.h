// Which pixels of a selection outline lie on edges that rise to the right: stripes along
// x + y run with such an edge and leave it one colour for its whole length, so there the
// outline's stripes run along x - y instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/pixels/zoom_level.h"

// The outline as the picture draws it: one bit a pixel, the leftmost in a byte's highest
// bit, rows top-down at the stride.
struct OutlineMask {
    const uint8_t* bits;
    int32_t stride;
    int32_t width;
    int32_t height;
};

// The mask's set bits row by row: row r holds columns[rowStarts[r]] up to (not
// including) columns[rowStarts[r + 1]], in ascending order.
struct OutlineRows {
    std::vector<int32_t> columns;
    std::vector<size_t> rowStarts;
};

// The set bits of the mask. Throws std::bad_alloc.
OutlineRows ReadOutlineRows(const OutlineMask& mask);

// One flag per outline pixel, in the order of `rows`: 1 where the outline rises to the
// right. Each pixel looks two picture pixels around at the zoom, and each straight run
// of pixels takes the answer of most of its pixels, so that every step of a zoomed
// staircase gets one kind of stripes. Throws std::bad_alloc.
std::vector<uint8_t> FindRisingOutline(const OutlineMask& mask, const OutlineRows& rows, _tagITzZOOMLEVEL zoom);
