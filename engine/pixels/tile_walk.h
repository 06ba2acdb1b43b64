// Walks of a picture rectangle in 256 x 256 tiles from its top-left corner, and the test
// for a rectangle that fits one tile, for the drawing and preview-cache passes of the
// image layers, whatever their kind.
// Library-private.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/geometry.h"

namespace lumatra {

// A non-empty rectangle no larger than one 256 x 256 tile.
inline bool FitsTile(const PTzRECT& rect)
{
    const int64_t width = int64_t(rect.right) - rect.left, height = int64_t(rect.bottom) - rect.top;
    return width > 0 && height > 0 && width <= 256 && height <= 256;
}

// Calls draw(tile) for the 256 x 256 tiles of a rectangle until it returns false.
template <class Draw>
void ForEachTile(const PTzRECT& rect, Draw&& draw)
{
    _tagPTzRECTENUM walk;
    PTzRECT tile;
    if (PTzRectEnumFill(&rect, &walk, nullptr) != 0)
        return;
    while (PTzRectEnumGetCurrent(&walk, &tile))
        if (!draw(static_cast<const PTzRECT&>(tile)))
            return;
}

// Calls reduce(source tile, target square) for the 256 x 256 tiles of a source
// rectangle, cut from its top-left corner, and the squares of 256 >> level pixels cut
// in step from the target rectangle's top-left corner, each clipped to its rectangle.
template <class Reduce>
void ForEachCacheTile(const PTzRECT& source, const PTzRECT& target, uint8_t level, Reduce&& reduce)
{
    constexpr int32_t kSide = 256;
    const int32_t side = kSide >> level;
    _tagPTzRECTENUM walk;
    PTzRECT tile;
    if (PTzRectEnumFill(&source, &walk, nullptr) != 0)
        return;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        const int32_t column = (tile.left - source.left) / kSide, row = (tile.top - source.top) / kSide;
        const PTzRECT square = {target.left + column * side, target.top + row * side,
                                std::min(target.left + (column + 1) * side, target.right),
                                std::min(target.top + (row + 1) * side, target.bottom)};
        if (square.left < square.right && square.top < square.bottom)
            reduce(static_cast<const PTzRECT&>(tile), square);
    }
}

}  // namespace lumatra
