// The block walker: the 256 x 256 blocks under a rectangle of block-grid coordinates,
// row by row, each with its part of the rectangle and that part's offset from the
// rectangle's corner.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/block_position.h"

// Caller-owned walk state, filled by ITzBlockEnumFill.
struct _tagITzBLOCKENUM {
    uint16_t currentColumn, currentRow;
    uint16_t firstColumn, firstRow;
    uint16_t lastColumn, lastRow;
    uint16_t startX;  // in the first column
    uint16_t endX;    // in the last column, 1-256
    uint16_t startY;  // in the first row
    uint16_t endY;    // in the last row, 1-256
    uint16_t blockWidth, blockHeight;
    uint16_t offsetX, offsetY;  // the current part's place relative to the rectangle's corner
};

// Raises the rectangle's left and top to 0 (in place) and starts the walk at its first
// block. `blockSize` gives the size of a block part (null or a zero component: 256);
// columns and rows are always 256 wide. 0, or -1001 for a null rectangle or state, an
// empty rectangle, a block size beyond 65,535, or a rectangle that reaches beyond what
// the 16-bit walk can count (right or bottom past 65,535 x 256, or wider or taller than
// 65,536).
LUMATRA_C int ITzBlockEnumFill(PTzRECT* rect, const uint32_t* blockSize, _tagITzBLOCKENUM* walk);

// 1 and the current block (each output only when not null): its position, the part of
// the rectangle inside it in block coordinates, and the part's offset from the
// rectangle's corner; then advances row-major. 0 when the walk is over or for a null
// state.
LUMATRA_C int ITzBlockEnumGetCurrent(_tagITzBLOCKENUM* walk, PTzRECT* part,
                                     _tagITzBLOCKPOSITION* position, uint32_t* offset);
