// The gray layer's rectangle reads: whether a rectangle holds one value throughout (a
// missing block is 0, never skipped) and the read of a rectangle into caller memory
// built on it.
#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/block_view_gray.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/layer_image_walk.h"

int ITzLayerImageGray::IsRectDataSame(const PTzRECT* rect, uint8_t* value)
{
    if (!rect || !value)
        return PTzFailWithZero(ITzERR_INVALID);
    PTzRECT bounds;
    GetLBounds(&bounds);
    if (PTzRectEmpty(rect) || rect->left < bounds.left || rect->top < bounds.top || rect->right > bounds.right ||
        rect->bottom > bounds.bottom)
        return 0;
    PTzRECT grid;
    LRECTtoBRECT(rect, &grid);
    bool seen = false;
    uint8_t common = 0;
    const bool same = lumatra::WalkGridRect(grid, m_blockCountX, [&](const lumatra::BlockPart& block) {
        _tagITzBLOCKINFOGRAY record;
        if (GetBlockInfo(block.index, &record, 0) != 0)
            record = {};  // missing: 0 everywhere
        if (record.data || (seen && record.constant != common))
            return false;
        common = record.constant;
        seen = true;
        return true;
    });
    if (!same)
        return 0;
    *value = common;
    return 1;
}

int ITzLayerImageGray::GetRectChannelData(const PTzRECT* rect, _tagITzGRAYMEMDATA* out)
{
    if (!rect || !out || !out->pixels)
        return PTzFailWithZero(ITzERR_INVALID);
    uint8_t value = 0;
    if (IsRectDataSame(rect, &value)) {
        out->uniform = 1;
        out->value = value;
        return 1;
    }
    out->uniform = 0;
    out->value = 0;
    const int64_t columns = std::min<int64_t>(int64_t(rect->right) - rect->left, out->stride);
    const int64_t rows = std::min<int64_t>(int64_t(rect->bottom) - rect->top, out->height);
    if (columns <= 0 || rows <= 0)
        return 1;
    for (int64_t y = 0; y < rows; ++y)
        std::memset(out->pixels + y * out->stride, 0, size_t(columns));
    PTzRECT bounds, inside;
    GetLBounds(&bounds);
    if (!PTzRectIntersect(rect, &bounds, &inside))
        return 1;
    // Only what the memory can hold.
    inside.right = int32_t(std::min<int64_t>(inside.right, rect->left + columns));
    inside.bottom = int32_t(std::min<int64_t>(inside.bottom, rect->top + rows));
    if (PTzRectEmpty(&inside))
        return 1;
    PTzRECT grid;
    LRECTtoBRECT(&inside, &grid);
    lumatra::WalkGridRect(grid, m_blockCountX, [&](const lumatra::BlockPart& block) {
        _tagITzBLOCKINFOGRAY record;
        if (GetBlockInfo(block.index, &record, 0) != 0)
            return true;
        const lumatra::GrayBlockReader reader(record);
        if (!reader.ok())
            return true;
        uint8_t* at = out->pixels + ptrdiff_t(inside.top - rect->top + block.offsetY) * out->stride +
                      (inside.left - rect->left + block.offsetX);
        const int32_t width = block.part.right - block.part.left;
        for (int32_t y = block.part.top; y < block.part.bottom; ++y, at += out->stride)
            std::memcpy(at, reader.row(y) + block.part.left, size_t(width));
        return true;
    });
    return 1;
}

int ITzLayerImageGray::AlphaDataFull(const PTzRECT* rect)
{
    uint8_t value = 0;
    return IsRectDataSame(rect, &value) && value == 255;
}
