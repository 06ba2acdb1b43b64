// The image layer's block walk: the blocks under a rectangle of block-grid coordinates
// that already lies inside the grid, each with its part and the part's place relative to
// the rectangle's corner, and the cut of such a rectangle to what a paired rectangle can
// address. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/block_enum.h"
#include "engine/pixels/block_position.h"

namespace lumatra {

struct BlockPart {
    uint32_t index;
    _tagITzBLOCKPOSITION position;
    PTzRECT part;              // block coordinates, inside 0-256
    int32_t offsetX, offsetY;  // from the walked rectangle's corner
};

// Calls visit(const BlockPart&) until it returns false: true when every call returned
// true, false when one did not or the rectangle is empty. The block walker counts in 16
// bits, so a rectangle is walked in chunks of at most 256 x 256 blocks, cut on block
// borders; inside a chunk the blocks come row by row.
template <typename Visit>
bool WalkGridRect(const PTzRECT& gridRect, uint16_t countX, Visit&& visit)
{
    constexpr int32_t kChunk = 1 << 16;
    if (gridRect.left >= gridRect.right || gridRect.top >= gridRect.bottom)
        return false;
    for (int32_t top = gridRect.top; top < gridRect.bottom; top = (top / kChunk + 1) * kChunk) {
        for (int32_t left = gridRect.left; left < gridRect.right; left = (left / kChunk + 1) * kChunk) {
            PTzRECT chunk = {left, top, std::min((left / kChunk + 1) * kChunk, gridRect.right),
                             std::min((top / kChunk + 1) * kChunk, gridRect.bottom)};
            _tagITzBLOCKENUM walk;
            if (ITzBlockEnumFill(&chunk, nullptr, &walk) != 0)
                return false;
            BlockPart block;
            uint32_t offset[2];
            while (ITzBlockEnumGetCurrent(&walk, &block.part, &block.position, offset)) {
                block.index = uint32_t(block.position.row) * countX + block.position.column;
                block.offsetX = int32_t(offset[0]) + left - gridRect.left;
                block.offsetY = int32_t(offset[1]) + top - gridRect.top;
                if (!visit(static_cast<const BlockPart&>(block)))
                    return false;
            }
        }
    }
    return true;
}

// Cuts a block-grid rectangle to the pixels b whose partners (b.x + dx, b.y + dy) in
// another rectangle or bitmap lie in the 32-bit coordinate range, where alone a layer or
// bitmap has pixels: formed in 64 bits, as a caller's corners may lie at the range's two
// ends. False when nothing is left.
inline bool CutToPartnerRange(PTzRECT& gridRect, int64_t dx, int64_t dy)
{
    const int64_t left = std::max<int64_t>(gridRect.left, INT32_MIN - dx);
    const int64_t top = std::max<int64_t>(gridRect.top, INT32_MIN - dy);
    const int64_t right = std::min<int64_t>(gridRect.right, INT32_MAX - dx);
    const int64_t bottom = std::min<int64_t>(gridRect.bottom, INT32_MAX - dy);
    if (left >= right || top >= bottom)
        return false;
    gridRect = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    return true;
}

}  // namespace lumatra
