// The image layer's block walk: the blocks under a rectangle of block-grid coordinates
// that already lies inside the grid, each with its part and the part's place relative to
// the rectangle's corner. Library-private.
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

}  // namespace lumatra
