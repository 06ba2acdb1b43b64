// The block walker over rectangles in block-grid coordinates.
#include "engine/pixels/block_enum.h"

#include <algorithm>

#include "base/error_codes.h"

namespace {

constexpr int32_t kBlockShift = 8;
constexpr int32_t kBlockMask = 255;
// Keeps the last column or row below 65,535 so that stepping past it cannot wrap.
constexpr int32_t kMaxEdge = 0xFFFF << kBlockShift;
constexpr int32_t kMaxExtent = 65536;

struct AxisWalk {
    uint16_t first, last, start, end;
};

AxisWalk WalkAxis(int32_t low, int32_t high)
{
    // A part that ends on a block border ends at 256 in the block before it.
    if ((high & kBlockMask) == 0)
        return {uint16_t(low >> kBlockShift), uint16_t((high >> kBlockShift) - 1),
                uint16_t(low & kBlockMask), uint16_t(kBlockMask + 1)};
    return {uint16_t(low >> kBlockShift), uint16_t(high >> kBlockShift), uint16_t(low & kBlockMask),
            uint16_t(high & kBlockMask)};
}

uint16_t BlockExtent(const uint32_t* blockSize, int axis)
{
    return blockSize && blockSize[axis] != 0 ? uint16_t(blockSize[axis]) : uint16_t(256);
}

}  // namespace

int ITzBlockEnumFill(PTzRECT* rect, const uint32_t* blockSize, _tagITzBLOCKENUM* walk)
{
    if (!rect || !walk)
        return ITzERR_INVALID;
    const int32_t left = std::max(rect->left, 0);
    const int32_t top = std::max(rect->top, 0);
    if (rect->right <= left || rect->bottom <= top)
        return ITzERR_INVALID;
    if (rect->right > kMaxEdge || rect->bottom > kMaxEdge || rect->right - left > kMaxExtent ||
        rect->bottom - top > kMaxExtent)
        return ITzERR_INVALID;
    if (blockSize && (blockSize[0] > 0xFFFF || blockSize[1] > 0xFFFF))
        return ITzERR_INVALID;
    rect->left = left;
    rect->top = top;
    const AxisWalk x = WalkAxis(left, rect->right);
    const AxisWalk y = WalkAxis(top, rect->bottom);
    *walk = {x.first, y.first, x.first, y.first, x.last, y.last, x.start, x.end, y.start, y.end,
             BlockExtent(blockSize, 0), BlockExtent(blockSize, 1), 0, 0};
    return 0;
}

int ITzBlockEnumGetCurrent(_tagITzBLOCKENUM* walk, PTzRECT* part, _tagITzBLOCKPOSITION* position,
                           uint32_t* offset)
{
    if (!walk || walk->currentRow > walk->lastRow)
        return 0;
    const uint16_t column = walk->currentColumn;
    const uint16_t row = walk->currentRow;
    if (position)
        *position = {column, row};
    if (part)
        *part = {column == walk->firstColumn ? walk->startX : 0, row == walk->firstRow ? walk->startY : 0,
                 column == walk->lastColumn ? walk->endX : walk->blockWidth,
                 row == walk->lastRow ? walk->endY : walk->blockHeight};
    if (offset) {
        offset[0] = walk->offsetX;
        offset[1] = walk->offsetY;
    }
    // The first part of a row or column is cut at the start; later ones are whole.
    if (column < walk->lastColumn) {
        walk->offsetX = uint16_t(column == walk->firstColumn ? walk->blockWidth - walk->startX
                                                             : walk->offsetX + walk->blockWidth);
        ++walk->currentColumn;
        return 1;
    }
    walk->offsetX = 0;
    walk->currentColumn = walk->firstColumn;
    walk->offsetY = uint16_t(row == walk->firstRow ? walk->blockHeight - walk->startY
                                                   : walk->offsetY + walk->blockHeight);
    ++walk->currentRow;
    return 1;
}
