// Clipping of rectangles to the bitmap they address, alone or paired with the rectangle
// of a second bitmap whose pixels they meet one to one (copies and merges), and the part
// of a rectangle a bitmap placed at its corner covers.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

// Where a paired copy or merge starts in each bitmap and how large it is.
struct ITzRectPair {
    int32_t sourceX, sourceY;
    int32_t destX, destY;
    int32_t width, height;  // both positive
};

// The part of `rect` that a width x height bitmap placed at its corner covers: the
// corner stays, the far edges come no further than the bitmap's. Formed in 64 bits, so
// a rectangle across the whole 32-bit range gives the right part; an empty or inverted
// rectangle keeps its own far edges.
LUMATRA_API PTzRECT ITzRectPlaced(const PTzRECT& rect, int32_t width, int32_t height);

// Clips `rect` to (0, 0, width, height): true with the clipped rectangle written back,
// or false (rect unchanged) when nothing of it lies inside.
LUMATRA_API bool ITzClipRectToSize(PTzRECT& rect, int32_t width, int32_t height);

// Clips a source rectangle to (0, 0, sourceSize) and a destination rectangle to
// (0, 0, destSize). Raising one rectangle's left or top raises the other's by the same
// amount, so source and destination pixels stay paired; the size is the smaller of the
// two clipped rectangles. False (out unchanged) when the result is empty.
LUMATRA_API bool ITzClipRectPair(const PTzRECT& source, const _tagPTzSIZE& sourceSize,
                                 const PTzRECT& dest, const _tagPTzSIZE& destSize,
                                 ITzRectPair& out);
