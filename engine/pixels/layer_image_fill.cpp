// Fills of the image layer (a colour over a rectangle, crossing-list fills handed to the
// kind block by block, one channel page) and the colour of one pixel.
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/layer_image_walk.h"

using lumatra::BlockPart;
using lumatra::WalkGridRect;

int ITzLayerImage::FillRect(const PTzRECT* rect, const _tagPTzCOLOR* colour)
{
    if (!rect)
        return ITzERR_INVALID;
    if (PTzRectEmpty(rect))
        return 0;
    // The extension may move the layer's origin: keep the rectangle in the picture.
    PTzRECT picture;
    LRECTtoPRECT(rect, &picture);
    // Bounds set before the layer had a grid are covered by no blocks: the grid is made
    // over them and the rectangle together.
    PTzRECT bounds, joined;
    GetBounds(&bounds);
    PTzRectBounds(&bounds, &picture, &joined);
    const int extended = m_blockCountX == 0 || m_blockCountY == 0 ? ExtendNew(joined, 1)
                                                                   : ExtendSize(&picture, nullptr, 1);
    if (extended != 0)
        return extended;
    PTzRECT local;
    PRECTtoLRECT(&picture, &local);
    PTzRECT grid;
    if (!ClipToGrid(local, true, grid))
        return 0;
    int result = 0;
    WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        // A missing block (a grid made without data) takes the fill as a transparent one.
        const int filled = lumatra::BlockState(*this, block.index) != 0 || lumatra::MakeBlockPresent(*this, block.index)
                         ? FillBlock(&block.position, &block.part, colour)
                         : ITzERR_CHANNEL_EXPAND;
        if (result == 0)
            result = filled;
        return true;
    });
    return result;
}

int ITzLayerImage::FillBlockChannel(uint8_t* channel, const PTzRECT* rect, uint8_t value)
{
    if (!channel || !rect)
        return ITzERR_INVALID;
    const PTzRECT block = {0, 0, ITzBLOCK_SIDE, ITzBLOCK_SIDE};
    PTzRECT part;
    if (!PTzRectIntersect(rect, &block, &part))
        return 0;
    for (int32_t y = part.top; y < part.bottom; ++y)
        std::memset(channel + y * ITzBLOCK_SIDE + part.left, value, size_t(part.right - part.left));
    return 0;
}

namespace {

// Every block part of the layer's bounds with the picture point of its block's corner.
template <typename Fill>
int FillEveryBlock(const ITzLayerImage& layer, const PTzRECT& grid, uint16_t countX, Fill&& fill)
{
    int result = 0;
    WalkGridRect(grid, countX, [&](const BlockPart& block) {
        const PTzPOINT corner = {int32_t(block.position.column) * ITzBLOCK_SIDE,
                                 int32_t(block.position.row) * ITzBLOCK_SIDE};
        PTzPOINT origin;
        layer.BPointtoLPoint(&corner, &origin);
        layer.LPointtoPPoint(&origin, &origin);
        const int filled = fill(block, origin);
        if (result == 0)
            result = filled;
        return true;
    });
    return result;
}

}  // namespace

int ITzLayerImage::FillDataWithCrossData(ITzCrossPixelList* list, const _tagPTzCOLOR* colour)
{
    if (!list)
        return ITzERR_INVALID;
    PTzRECT grid;
    if (!ClipToGrid({0, 0, m_size.cx, m_size.cy}, true, grid))
        return 0;
    return FillEveryBlock(*this, grid, m_blockCountX, [&](const BlockPart& block, const PTzPOINT& origin) {
        return FillBlockDataWithCrossData(&block.position, &block.part, &origin, list, colour);
    });
}

int ITzLayerImage::FillPolygonWithCrossData(ITzPloygonCrossPixelList* list, const _tagPTzCOLOR* colour)
{
    if (!list)
        return ITzERR_INVALID;
    PTzRECT grid;
    if (!ClipToGrid({0, 0, m_size.cx, m_size.cy}, true, grid))
        return 0;
    return FillEveryBlock(*this, grid, m_blockCountX, [&](const BlockPart& block, const PTzPOINT& origin) {
        return FillBlockPolygonWithCrossData(&block.position, &block.part, &origin, list, colour);
    });
}

int ITzLayerImage::GetPixelColor(const PTzPOINT* point, _tagPTzCOLOR* colour)
{
    if (!point || !colour)
        return ITzERR_INVALID;
    PTzPOINT local;
    PPointtoLPoint(point, &local);
    if (local.x < 0 || local.y < 0 || local.x >= m_size.cx || local.y >= m_size.cy) {
        colour->alpha = 0;
        return 0;
    }
    _tagITzBLOCKPOSITION position;
    PTzPOINT inBlock;
    const uint32_t index = GetPointBlockPostion(&local, &position, &inBlock) ? BlockPosToIndex(&position)
                                                                             : ITzBLOCK_INDEX_NONE;
    // A missing block is 0 in every channel.
    if (index == ITzBLOCK_INDEX_NONE || !GetBlockPointColor(index, &inBlock, colour))
        *colour = {m_colorMode, 0, {}};
    return 0;
}
