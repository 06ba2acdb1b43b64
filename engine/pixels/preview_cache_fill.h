// How a preview-cache level fills part of a block: from the nearest finer level that
// holds data under it, splitting the part into smaller squares one level down wherever
// a level holds none, down to the source layer. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/error_codes.h"
#include "base/geometry.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/preview_cache_levels.h"
#include "engine/pixels/preview_cache_manager.h"

namespace lumatra {

// True when every block of the layer under the part of a rectangle (the layer's picture
// coordinates) inside its bounds holds data; a rectangle outside the bounds reads as
// transparent and needs none. A level whose squares have moved off its finer level's
// block borders reads a rectangle across up to four blocks, all of which must be there.
inline bool EveryBlockHasData(ITzLayerImage& layer, const PTzRECT& rect)
{
    PTzRECT local, bounds, inside, grid;
    layer.PRECTtoLRECT(&rect, &local);
    layer.GetLBounds(&bounds);
    if (!PTzRectIntersect(&local, &bounds, &inside))
        return true;
    layer.LRECTtoBRECT(&inside, &grid);
    const uint32_t countX = layer.DWKGetBlockCountX();
    for (int32_t row = grid.top / ITzBLOCK_SIDE; row <= (grid.bottom - 1) / ITzBLOCK_SIDE; ++row)
        for (int32_t column = grid.left / ITzBLOCK_SIDE; column <= (grid.right - 1) / ITzBLOCK_SIDE; ++column)
            if (!layer.BlockDataAvailable(uint32_t(row) * countX + uint32_t(column)))
                return false;
    return true;
}

// Fills `part` (block coordinates of the level being built, `depth` levels above
// `level`) from the rectangle `rect` of level `level` (0: the source layer), which
// covers it exactly. reduce(layer, rect, part, shift, fromSource) reduces the layer's
// rectangle by 2^shift into the part and gives 0, or nonzero when it could not. 0, or
// -1001 for a missing level or a split beyond the last level, or -1504 when a level
// could not supply a part.
template <class Reduce>
int FillFromLevel(ITzPreviewCacheManager& manager, uint8_t level, const PTzRECT& rect, const PTzRECT& part,
                  uint32_t depth, Reduce& reduce)
{
    if (depth == 0 || depth > kPreviewLevels)
        return ITzERR_INVALID;
    if (level == 0)
        return reduce(*manager.GetSourceLayer(), rect, part, depth, true) == 0 ? 0 : ITzERR_PREVIEW_REDUCE;
    ITzLayerImage* layer = manager.GetCacheLayer(level);
    if (!layer)
        return ITzERR_INVALID;
    if (EveryBlockHasData(*layer, rect))
        return reduce(*layer, rect, part, depth, false) == 0 ? 0 : ITzERR_PREVIEW_REDUCE;
    // Squares of 2^(7 - depth) pixels: at depth 8 a part is one pixel that the source
    // layer itself must supply, so there is nothing left to split.
    if (depth >= kPreviewLevels)
        return ITzERR_INVALID;
    const int32_t side = int32_t(1) << (7 - depth);
    const uint32_t shift = depth + 1;
    const PTzPOINT origin = manager.GetOrigin();
    const int64_t finerLeft = LevelToFiner(rect.left, origin.x, level);
    const int64_t finerTop = LevelToFiner(rect.top, origin.y, level);
    for (int32_t y = part.top; y < part.bottom; y += side) {
        for (int32_t x = part.left; x < part.right; x += side) {
            const PTzRECT square = {x, y, std::min(x + side, part.right), std::min(y + side, part.bottom)};
            const int64_t left = finerLeft + (int64_t(x - part.left) << shift);
            const int64_t top = finerTop + (int64_t(y - part.top) << shift);
            PTzRECT finer;
            if (!MakeRect(left, top, left + (int64_t(square.right - x) << shift),
                          top + (int64_t(square.bottom - y) << shift), finer))
                return ITzERR_PREVIEW_REDUCE;
            if (FillFromLevel(manager, uint8_t(level - 1), finer, square, depth + 1, reduce) != 0)
                return ITzERR_PREVIEW_REDUCE;
        }
    }
    return 0;
}

// Fills the part of a level-`level` block at `inBlock` (block coordinates) whose first
// level pixel is `corner`, in parts of 128 x 128 pixels, each from the 256 x 256 pixels
// of the next finer level under it: 0 or the first failure's result.
template <class Reduce>
int FillBlockPart(ITzPreviewCacheManager& manager, uint8_t level, const PTzRECT& inBlock, const PTzPOINT& corner,
                  Reduce& reduce)
{
    constexpr int32_t kPart = 128;
    if (level == 0 || level > kPreviewLevels)
        return ITzERR_INVALID;
    const PTzPOINT origin = manager.GetOrigin();
    for (int32_t y = inBlock.top; y < inBlock.bottom; y += kPart) {
        for (int32_t x = inBlock.left; x < inBlock.right; x += kPart) {
            const PTzRECT part = {x, y, std::min(x + kPart, inBlock.right), std::min(y + kPart, inBlock.bottom)};
            const int64_t left = LevelToFiner(int64_t(corner.x) + (x - inBlock.left), origin.x, level);
            const int64_t top = LevelToFiner(int64_t(corner.y) + (y - inBlock.top), origin.y, level);
            PTzRECT finer;
            if (!MakeRect(left, top, left + 2 * (part.right - x), top + 2 * (part.bottom - y), finer))
                return ITzERR_PREVIEW_REDUCE;
            const int result = FillFromLevel(manager, uint8_t(level - 1), finer, part, 1, reduce);
            if (result != 0)
                return result;
        }
    }
    return 0;
}

}  // namespace lumatra
