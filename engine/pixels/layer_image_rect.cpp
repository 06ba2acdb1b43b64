// Rectangle reads and writes of the image layer: each walk is cut to the layer's bounds,
// the grid and the bitmap, and hands every block part to the kind with the matching
// view of the bitmap.
#include <algorithm>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_walk.h"
#include "engine/pixels/layer_owner.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/rect_clip.h"

using lumatra::BlockPart;
using lumatra::CutToPartnerRange;
using lumatra::WalkGridRect;

namespace {

_tagITzBITMAP BitmapView(const _tagITzBITMAP& bitmap, int32_t x, int32_t y)
{
    _tagITzBITMAP view = bitmap;
    view.width -= x;
    view.height -= y;
    view.pixels += int64_t(y) * bitmap.stride + int64_t(x) * bitmap.bits / 8;
    return view;
}

_tagITzCHANNELBITMAP ChannelView(const _tagITzCHANNELBITMAP& bitmap, int32_t x, int32_t y)
{
    _tagITzCHANNELBITMAP view = bitmap;
    view.width -= x;
    view.height -= y;
    for (uint8_t*& plane : view.planes)
        if (plane)
            plane += int64_t(y) * bitmap.stride + x;
    return view;
}

PTzRECT PartAt(const BlockPart& block, int32_t x, int32_t y)
{
    return {x, y, x + block.part.right - block.part.left, y + block.part.bottom - block.part.top};
}

}  // namespace

int ITzLayerImage::GetRectData(const PTzRECT* rect, _tagITzBITMAP* bitmap)
{
    if (!rect || !bitmap || !bitmap->pixels)
        return ITzERR_INVALID;
    PTzRECT grid;
    if (!ClipToGrid(ITzRectPlaced(*rect, bitmap->width, bitmap->height), true, grid))
        return ITzERR_INVALID;
    const int32_t shiftX = grid.left - (rect->left + m_blockOffset.x);
    const int32_t shiftY = grid.top - (rect->top + m_blockOffset.y);
    int result = 0;
    WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        _tagITzBITMAP view = BitmapView(*bitmap, shiftX + block.offsetX, shiftY + block.offsetY);
        const int read = GetBlockData(block.index, &block.part, &view);
        if (result == 0)
            result = read;
        return true;
    });
    return result;
}

int ITzLayerImage::SetRectData(const PTzRECT* rect, const _tagITzBITMAP* bitmap)
{
    if (!rect || !bitmap || !bitmap->pixels)
        return ITzERR_INVALID;
    PTzRECT grid;
    if (!ClipToGrid(ITzRectPlaced(*rect, bitmap->width, bitmap->height), true, grid))
        return ITzERR_INVALID;
    const int32_t shiftX = grid.left - (rect->left + m_blockOffset.x);
    const int32_t shiftY = grid.top - (rect->top + m_blockOffset.y);
    int result = 0;
    WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        const _tagITzBITMAP view = BitmapView(*bitmap, shiftX + block.offsetX, shiftY + block.offsetY);
        const int written = SetBlockData(block.index, &block.part, &view);
        if (result == 0)
            result = written;
        return true;
    });
    return result;
}

int ITzLayerImage::GetRectChannelData(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect)
{
    return WalkRectChannel(bitmap, rect, &ITzLayerImage::GetChannelBlockData);
}

int ITzLayerImage::SetRectChannelData(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect)
{
    return WalkRectChannel(bitmap, rect, &ITzLayerImage::SetChannelBlockData);
}

// Hands each block part under the rectangle, with the matching view of the bitmap, to
// the kind's block read or write: 1 when every part succeeded or nothing of the layer
// lies under the rectangle.
int ITzLayerImage::WalkRectChannel(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, ChannelBlockOp blockOp)
{
    if (!bitmap || !rect)
        return 0;
    PTzRECT grid;
    if (!ClipToGrid(ITzRectPlaced(*rect, bitmap->width, bitmap->height), true, grid))
        return 1;
    const int32_t shiftX = grid.left - (rect->left + m_blockOffset.x);
    const int32_t shiftY = grid.top - (rect->top + m_blockOffset.y);
    return WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        _tagITzCHANNELBITMAP view = ChannelView(*bitmap, shiftX + block.offsetX, shiftY + block.offsetY);
        return (this->*blockOp)(block.index, &block.part, &view) != 0;
    }) ? 1 : 0;
}

int ITzLayerImage::GetRectChannelDataWithFloating(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect)
{
    const int read = GetRectChannelData(bitmap, rect);
    if (!read || !m_floating)
        return read;
    PTzRECT picture;
    LRECTtoPRECT(rect, &picture);
    return MergeFloatingOnto(bitmap, picture, 0, nullptr, nullptr, false) == 0 ? 1 : 0;
}

int ITzLayerImage::MergeFloatingOnto(_tagITzCHANNELBITMAP* bitmap, const PTzRECT& rect, uint8_t level,
                                     const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, bool display)
{
    // No more than the bitmap at the rectangle's corner can take.
    const PTzRECT pictureRect = ITzRectPlaced(rect, bitmap->width, bitmap->height);
    const int32_t width = pictureRect.right - pictureRect.left;
    const int32_t height = pictureRect.bottom - pictureRect.top;
    if (!m_floating || width <= 0 || height <= 0)
        return 0;
    // Reads one layer over the rectangle: zoomed display data, or plain pixels in the
    // layer's own coordinates.
    const auto readChannels = [&](ITzLayerImage* layer, _tagITzCHANNELBITMAP* out) {
        if (display)
            return layer->GetDisplayChannelData(out, &pictureRect, level, zoomX, zoomY) == 0;
        PTzRECT local;
        layer->PRECTtoLRECT(&pictureRect, &local);
        return layer->GetRectChannelData(out, &local) != 0;
    };
    const auto readMask = [&](ITzLayerImage* layer, _tagITzBITMAP* out) {
        if (display)
            return layer->GetDisplayData(out, &pictureRect, level, zoomX, zoomY) == 0;
        PTzRECT local;
        layer->PRECTtoLRECT(&pictureRect, &local);
        layer->GetRectData(&local, out);  // outside the selection the zeroed mask stays 0
        return true;
    };

    _tagITzCHANNELBITMAP floating = {width, height, width, 0, {}};
    if (!m_floating->LockChannelBitmap(&floating))
        return ITzERR_INVALID;
    int result = readChannels(m_floating, &floating) ? 0 : ITzERR_INVALID;
    ITzLayerImage* selection = m_picture ? m_picture->GetSelectionLayer(0) : nullptr;
    _tagITzBITMAP mask = {width, height, 0, 0, 0, nullptr};
    const bool masked = result == 0 && selection && selection->LockBitmap(&mask);
    if (selection && !masked)
        result = ITzERR_INVALID;  // merging without the mask would paint outside the selection
    if (masked) {
        std::fill_n(mask.pixels, size_t(mask.stride) * size_t(height), uint8_t{0});
        if (!readMask(selection, &mask))
            result = ITzERR_INVALID;
    }
    if (result == 0) {
        const _tagITzMERGEDATA merge = {m_floating->GetMergeType(), m_floating->GetOpacity()};
        const PTzRECT whole = {0, 0, width, height};
        ITzMergeChannelBitmap(&merge, 255, masked ? &whole : nullptr, bitmap, GetMathMerge(), &whole, &floating,
                              &whole, masked ? &mask : nullptr);
    }
    if (masked)
        selection->UnlockBitmap(&mask);
    m_floating->UnlockChannelBitmap(&floating);
    return result;
}

int ITzLayerImage::RectDataAvailable(const PTzRECT* rect)
{
    PTzRECT grid;
    if (!rect || !ClipToGrid(*rect, false, grid))
        return 0;
    // The walk stops at the first block with data.
    return WalkGridRect(grid, m_blockCountX,
                        [&](const BlockPart& block) { return BlockDataAvailable(block.index) == 0; })
               ? 0
               : 1;
}

int ITzLayerImage::RectDataInvalid(const PTzRECT* rect)
{
    PTzRECT grid;
    if (!rect || !ClipToGrid(*rect, true, grid))
        return 0;
    WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        BlockDataInvalid(block.index);
        return true;
    });
    return 1;
}

int ITzLayerImage::FillRectDataFromLayer(const PTzRECT* rect, ITzLayerImage* source, const PTzRECT* sourceRect,
                                         _tagITzMERGEDATA* merge, _tagITzBITMAP* mask, uint8_t flag)
{
    PTzRECT grid;
    if (!rect || !source || !sourceRect || !ClipToGrid(*rect, true, grid))
        return 0;
    // Grid pixel b lies at b - (rect corner + offset) in the mask and at that plus the
    // source rectangle's corner in the source layer.
    const int64_t cornerX = int64_t(rect->left) + m_blockOffset.x;
    const int64_t cornerY = int64_t(rect->top) + m_blockOffset.y;
    if (!CutToPartnerRange(grid, -cornerX, -cornerY) ||
        !CutToPartnerRange(grid, sourceRect->left - cornerX, sourceRect->top - cornerY))
        return 1;
    const int32_t shiftX = int32_t(grid.left - cornerX);
    const int32_t shiftY = int32_t(grid.top - cornerY);
    return WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        const int32_t x = shiftX + block.offsetX;
        const int32_t y = shiftY + block.offsetY;
        const PTzRECT sourcePart = PartAt(block, sourceRect->left + x, sourceRect->top + y);
        const PTzRECT maskPart = PartAt(block, x, y);
        return FillBlockDataFromLayer(block.index, &block.part, source, &sourcePart, merge, mask, &maskPart,
                                      flag) != 0;
    }) ? 1 : 0;
}

int ITzLayerImage::ChannelBimapMergIn(_tagITzCHANNELBITMAP* source, const PTzRECT* rect, _tagITzBITMAP* mask,
                                      const PTzRECT* maskRect, _tagITzMERGEDATA* merge, uint8_t factor)
{
    PTzRECT grid;
    if (!source || !rect || !ClipToGrid(ITzRectPlaced(*rect, source->width, source->height), true, grid))
        return 0;
    // Grid pixel b lies at b - (rect corner + offset) in the source bitmap (placed, so in
    // range) and at that plus the mask rectangle's corner in the mask.
    const int64_t cornerX = int64_t(rect->left) + m_blockOffset.x;
    const int64_t cornerY = int64_t(rect->top) + m_blockOffset.y;
    const int32_t maskX = maskRect ? maskRect->left : 0;
    const int32_t maskY = maskRect ? maskRect->top : 0;
    if (!CutToPartnerRange(grid, maskX - cornerX, maskY - cornerY))
        return 1;
    const int32_t shiftX = int32_t(grid.left - cornerX);
    const int32_t shiftY = int32_t(grid.top - cornerY);
    return WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        const int32_t x = shiftX + block.offsetX;
        const int32_t y = shiftY + block.offsetY;
        const PTzRECT sourcePart = PartAt(block, x, y);
        const PTzRECT maskPart = PartAt(block, maskX + x, maskY + y);
        return BlockChannelBimapMergIn(block.index, &block.part, source, &sourcePart, mask, &maskPart, merge,
                                       factor) == 0;
    }) ? 1 : 0;
}

int ITzLayerImage::SetChannelBlockData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                       _tagITzCHANNELBITMAP* bitmap)
{
    const uint32_t index = BlockPosToIndex(position);
    return index == ITzBLOCK_INDEX_NONE ? 0 : SetChannelBlockData(index, rect, bitmap);
}

int ITzLayerImage::GetChannelBlockData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                       _tagITzCHANNELBITMAP* bitmap)
{
    const uint32_t index = BlockPosToIndex(position);
    return index == ITzBLOCK_INDEX_NONE ? 0 : GetChannelBlockData(index, rect, bitmap);
}
