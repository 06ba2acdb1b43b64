// The kinds' merges that read through pool-backed scratch bitmaps: giving such a bitmap
// back, the default merge through one scratch bitmap, and the tile-by-tile float merge.
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/rect_clip.h"
#include "engine/pixels/scratch_tile.h"
#include "engine/pixels/tile_walk.h"

int ITzLayerImage::UnlockPoolBitmap(_tagITzBITMAP* bitmap)
{
    if (!bitmap || !bitmap->pixels)
        return 0;
    BlockMemoryFree(bitmap->pixels, 0, GetBlockMemoryPool());
    bitmap->pixels = nullptr;
    return 1;
}

int ITzLayerImage::MergeToBitmapThroughScratch(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                               const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!bitmap || !rect || PTzRectEmpty(rect))
        return ITzERR_INVALID;
    // No more than the bitmap at the rectangle's corner can take.
    const PTzRECT placed = ITzRectPlaced(*rect, bitmap->width, bitmap->height);
    _tagITzBITMAP scratch = {placed.right - placed.left, placed.bottom - placed.top, 0, 0, 0, nullptr};
    if (!LockBitmap(&scratch))
        return 0;
    std::memset(scratch.pixels, 0, size_t(scratch.stride) * size_t(scratch.height));
    const int read = GetBitmap(&scratch, &placed, zoomX, zoomY);
    if (read == 0) {
        const PTzRECT whole = {0, 0, scratch.width, scratch.height};
        _tagITzMERGEDATA merge;
        GetMergeData(&merge);
        CMathMerge::MergeBitmap(GetMathMerge(), &whole, &scratch, bitmap, &whole, &merge);
    }
    UnlockBitmap(&scratch);
    return read;
}

int ITzLayerImage::FloatMergeThroughTiles(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                          const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                          ITzLayerImage* selection, uint16_t bits)
{
    if (!bitmap || !rect)
        return ITzERR_INVALID;
    const CMathMerge* tables = GetMathMerge();
    _tagITzMERGEDATA merge;
    GetMergeData(&merge);
    lumatra::ForEachTile(ITzRectPlaced(*rect, bitmap->width, bitmap->height), [&](const PTzRECT& tile) {
        lumatra::ScratchTile pixels(tile, bits);
        if (!pixels.get())
            return false;
        const PTzRECT whole = pixels.whole();
        GetDisplayData(pixels.get(), &tile, level, zoomX, zoomY);
        if (selection) {
            lumatra::ScratchTile values(tile, 8);
            if (!values.get())
                return false;
            selection->GetDisplayData(values.get(), &tile, level, zoomX, zoomY);
            _tagITzMERGEDATA selectionMerge;
            selection->GetMergeData(&selectionMerge);
            CMathMerge::MergeBitmap(tables, &whole, values.get(), pixels.get(), &whole, &selectionMerge);
        }
        const PTzRECT at = {tile.left - rect->left, tile.top - rect->top, tile.right - rect->left,
                            tile.bottom - rect->top};
        CMathMerge::MergeBitmap(tables, &whole, pixels.get(), bitmap, &at, &merge);
        return true;
    });
    return 0;
}
