// The image layer's grid geometry: conversions between layer and block-grid
// coordinates, block indexes and rectangles, and the native reader's grid accessors.

#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/rect_clip.h"

int ITzLayerImage::LPointtoBPoint(const PTzPOINT* in, PTzPOINT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    *out = {in->x + m_blockOffset.x, in->y + m_blockOffset.y};
    return 0;
}

int ITzLayerImage::BPointtoLPoint(const PTzPOINT* in, PTzPOINT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    *out = {in->x - m_blockOffset.x, in->y - m_blockOffset.y};
    return 0;
}

int ITzLayerImage::LRECTtoBRECT(const PTzRECT* in, PTzRECT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    return PTzRectOffset(in, &m_blockOffset, out);
}

int ITzLayerImage::BRECTtoLRECT(const PTzRECT* in, PTzRECT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    const _tagPTzOFFSET back = {-m_blockOffset.x, -m_blockOffset.y};
    return PTzRectOffset(in, &back, out);
}

uint32_t ITzLayerImage::BlockPosToIndex(const _tagITzBLOCKPOSITION* position) const
{
    if (!position || position->column >= m_blockCountX || position->row >= m_blockCountY)
        return ITzBLOCK_INDEX_NONE;
    return uint32_t(position->row) * m_blockCountX + position->column;
}

int ITzLayerImage::IndexToBlockPos(uint32_t index, _tagITzBLOCKPOSITION* position) const
{
    if (!position || m_blockCountX == 0 || index / m_blockCountX >= m_blockCountY)
        return ITzERR_INVALID;
    *position = {uint16_t(index % m_blockCountX), uint16_t(index / m_blockCountX)};
    return 0;
}

int ITzLayerImage::GetBlockBlockRect(const _tagITzBLOCKPOSITION* position, PTzRECT* rect) const
{
    if (!rect || BlockPosToIndex(position) == ITzBLOCK_INDEX_NONE)
        return ITzERR_INVALID;
    const int32_t left = int32_t(position->column) * ITzBLOCK_SIDE;
    const int32_t top = int32_t(position->row) * ITzBLOCK_SIDE;
    *rect = {left, top, left + ITzBLOCK_SIDE, top + ITzBLOCK_SIDE};
    return 0;
}

int ITzLayerImage::GetBlockBlockRect(uint32_t index, PTzRECT* rect) const
{
    _tagITzBLOCKPOSITION position;
    if (IndexToBlockPos(index, &position) != 0)
        return ITzERR_INVALID;
    return GetBlockBlockRect(&position, rect);
}

int ITzLayerImage::GetBlockPictRect(const _tagITzBLOCKPOSITION* position, PTzRECT* rect) const
{
    PTzRECT block;
    if (GetBlockBlockRect(position, &block) != 0)
        return ITzERR_INVALID;
    PTzRECT layer;
    BRECTtoLRECT(&block, &layer);
    return LRECTtoPRECT(&layer, rect);
}

int ITzLayerImage::GetBlockPictRect(uint32_t index, PTzRECT* rect) const
{
    _tagITzBLOCKPOSITION position;
    if (IndexToBlockPos(index, &position) != 0)
        return ITzERR_INVALID;
    return GetBlockPictRect(&position, rect);
}

int ITzLayerImage::GetBlockBounds(PTzRECT* rect) const
{
    if (!rect)
        return ITzERR_INVALID;
    // A grid around a layer at either end of the coordinates may reach past them: its
    // edges stop there.
    const int64_t left = int64_t(m_position.x) - m_blockOffset.x;
    const int64_t top = int64_t(m_position.y) - m_blockOffset.y;
    *rect = {PTzSaturate32(left), PTzSaturate32(top), PTzSaturate32(left + int64_t(m_blockCountX) * ITzBLOCK_SIDE),
             PTzSaturate32(top + int64_t(m_blockCountY) * ITzBLOCK_SIDE)};
    return 0;
}

uint32_t ITzLayerImage::GetBlockCount() const
{
    return m_blockList ? PTzTwoLevelHandleGetCount(m_blockList) : 0;
}

int ITzLayerImage::GetPointBlockPostion(const PTzPOINT* point, _tagITzBLOCKPOSITION* position,
                                        PTzPOINT* inBlock)
{
    if (!point || !position || !inBlock)
        return 0;
    PTzPOINT grid;
    LPointtoBPoint(point, &grid);
    if (grid.x < 0 || grid.y < 0 || grid.x >= int32_t(m_blockCountX) * ITzBLOCK_SIDE ||
        grid.y >= int32_t(m_blockCountY) * ITzBLOCK_SIDE)
        return 0;
    *position = {uint16_t(grid.x >> 8), uint16_t(grid.y >> 8)};
    *inBlock = {grid.x & 255, grid.y & 255};
    return 1;
}

bool ITzLayerImage::ClipToGrid(const PTzRECT& layerRect, bool toBounds, PTzRECT& gridRect) const
{
    PTzRECT rect = layerRect;
    if (toBounds) {
        const PTzRECT bounds = {0, 0, m_size.cx, m_size.cy};
        if (!PTzRectIntersect(&rect, &bounds, &rect))
            return false;
    }
    const PTzRECT grid = {0, 0, int32_t(m_blockCountX) * ITzBLOCK_SIDE, int32_t(m_blockCountY) * ITzBLOCK_SIDE};
    LRECTtoBRECT(&rect, &rect);
    return PTzRectIntersect(&rect, &grid, &gridRect) != 0;
}

int ITzLayerImage::AdjustPBitmap(const _tagITzBITMAP* bitmap, const PTzRECT* rect, _tagITzBITMAP* outBitmap,
                                 PTzRECT* outRect)
{
    if (!bitmap || !rect || !outBitmap || !outRect)
        return 0;
    PTzRECT bounds;
    GetBounds(&bounds);
    // The bitmap lies at the rectangle's corner and reaches no further than its own size.
    const PTzRECT placed = ITzRectPlaced(*rect, bitmap->width, bitmap->height);
    PTzRECT clipped;
    if (!PTzRectIntersect(&placed, &bounds, &clipped))
        return 0;
    const int64_t skip = int64_t(clipped.top - rect->top) * bitmap->stride +
                         int64_t(clipped.left - rect->left) * bitmap->bits / 8;
    *outBitmap = *bitmap;
    outBitmap->width = clipped.right - clipped.left;
    outBitmap->height = clipped.bottom - clipped.top;
    outBitmap->pixels = bitmap->pixels ? bitmap->pixels + skip : nullptr;
    *outRect = clipped;
    return 1;
}

void ITzLayerImage::GetDataMatchRect(PTzRECT* pictureRect, PTzRECT* alignedRect, const PTzRECT* zoomedRect,
                                     const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                     _tagPTzOFFSET* offset)
{
    if (!pictureRect || !alignedRect || !zoomedRect || !zoomX || !zoomY || !offset)
        return;
    // A zero term counts as 1, as everywhere in the zoom arithmetic.
    const int64_t numX = zoomX->numerator ? zoomX->numerator : 1;
    const int64_t denX = zoomX->denominator ? zoomX->denominator : 1;
    const int64_t numY = zoomY->numerator ? zoomY->numerator : 1;
    const int64_t denY = zoomY->denominator ? zoomY->denominator : 1;
    const auto floorDiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const auto ceilDiv = [&](int64_t a, int64_t b) { return -floorDiv(-a, b); };
    const int64_t left = floorDiv(zoomedRect->left, numX) * numX;
    const int64_t top = floorDiv(zoomedRect->top, numY) * numY;
    *alignedRect = {int32_t(left), int32_t(top), zoomedRect->right, zoomedRect->bottom};
    *offset = {int32_t(zoomedRect->left - left), int32_t(zoomedRect->top - top)};
    *pictureRect = {int32_t(left / numX * denX), int32_t(top / numY * denY),
                    int32_t(ceilDiv(denX * zoomedRect->right - denX / 2, numX)),
                    int32_t(ceilDiv(denY * zoomedRect->bottom - denY / 2, numY))};
}

int ITzLayerImage::DWKGetBlockOffset(_tagPTzOFFSET* offset) const
{
    if (!offset)
        return ITzERR_INVALID;
    *offset = m_blockOffset;
    return 0;
}

int ITzLayerImage::DWKSetBlockOffset(const _tagPTzOFFSET* offset)
{
    if (!offset)
        return ITzERR_INVALID;
    m_blockOffset = *offset;
    return 0;
}
