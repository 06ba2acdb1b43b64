// Masks and the image layer: the erase mask that floats over a layer, a gray copy of a
// layer's alpha, and 8-bit masks merged into or multiplied with a layer's alpha (the
// brush engine's stroke masks come in this way).
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/layer_image_walk.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/rect_clip.h"

using lumatra::BlockPart;
using lumatra::BlockState;
using lumatra::WalkGridRect;

namespace {

using LayerPointer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

bool EightBit(const _tagITzBITMAP* bitmap)
{
    return bitmap && bitmap->bits == 8 && bitmap->pixels;
}

}  // namespace

ITzLayerImage* ITzLayerImage::CreateFloatingEraseMask()
{
    LayerPointer mask(new (std::nothrow) ITzLayerImageGray());
    if (!mask || !CreateMatchBlock(mask.get()))
        return nullptr;
    mask->SetMergeType(ITzMERGE_ERASE);
    return mask.release();
}

ITzLayerImage* ITzLayerImage::CopyMaskLayer(const PTzRECT* rect)
{
    PTzRECT bounds;
    GetBounds(&bounds);
    if (rect) {
        PTzRECT picture;
        LRECTtoPRECT(rect, &picture);
        PTzRectIntersect(&bounds, &picture, &bounds);
    }
    LayerPointer mask(new (std::nothrow) ITzLayerImageGray());
    _tagPTzOFFSET shift;
    if (!mask || !CreateMatchBlock(mask.get()) || mask->SetSize(&bounds, 0) != 0 ||
        !GetBlockOffsetForMatchLayer(mask.get(), this, &shift))
        return nullptr;
    // Block by block: the mask's blocks stay missing where this layer's are.
    for (uint32_t target = 0, count = mask->GetBlockCount(); target < count; ++target) {
        const uint32_t source = lumatra::BlockAt(*mask, target, *this, shift);
        const int state = source == ITzBLOCK_INDEX_NONE ? -1 : BlockState(*this, source);
        if (state == 0)
            continue;
        PTzHANDLE alpha = nullptr;
        uint8_t constant = 0;
        if (state < 0 || !CopyBlockAlpha(source, &alpha, &constant))
            return nullptr;
        const _tagITzBLOCKDATAINFO info = {0, {{alpha, constant}}};
        if (mask->SetBlockInfo(target, &info) != 0) {
            if (alpha)
                PTzHandleFree(alpha);
            return nullptr;
        }
    }
    return mask.release();
}

int ITzLayerImage::MergeMask(_tagITzBITMAP* mask, const PTzRECT* rect, uint8_t value)
{
    if (!EightBit(mask) || !rect)
        return 0;
    // The mask lies at the rectangle's corner and reaches no further than its own size.
    PTzRECT grid;
    if (!ClipToGrid(ITzRectPlaced(*rect, mask->width, mask->height), true, grid))
        return 1;
    const int32_t shiftX = grid.left - (rect->left + m_blockOffset.x);
    const int32_t shiftY = grid.top - (rect->top + m_blockOffset.y);
    int result = 1;
    WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        const int32_t x = shiftX + block.offsetX;
        const int32_t y = shiftY + block.offsetY;
        PTzRECT sub = {x, y, x + block.part.right - block.part.left, y + block.part.bottom - block.part.top};
        _tagITzBITMAP view;
        if (!ITzGetSubBitmap(&view, &sub, mask) || !MergeBlockMask(&view, &block.position, &block.part, value))
            result = 0;
        return true;
    });
    return result;
}

int ITzLayerImage::MergeBlockAlpha(const _tagITzBITMAP* mask, PTzHANDLE* channel, uint8_t* constant,
                                   const PTzRECT* rect, uint8_t opacity)
{
    if (!EightBit(mask) || !channel || !constant || !rect)
        return ITzERR_INVALID;
    // The union with 255 is 255 whatever the mask holds.
    if (!*channel && *constant == 255)
        return 0;
    PTzHANDLE handle = *channel ? *channel : UncompressChannelData(*constant);
    if (!handle)
        return ITzERR_CHANNEL_EXPAND;
    {
        const PTzHandleLockGuard bytes(handle);
        if (!bytes) {
            if (handle != *channel)
                PTzHandleFree(handle);
            return ITzERR_CHANNEL_EXPAND;
        }
        _tagITzBITMAP page = {ITzBLOCK_SIDE, ITzBLOCK_SIDE, ITzBLOCK_SIDE, 8, PTzCOLORMODE_GRAY, bytes.bytes()};
        const PTzRECT source = {0, 0, mask->width, mask->height};
        const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, opacity};
        CMathMerge::MergeBitmap(GetMathMerge(), &source, mask, &page, rect, &merge);
    }
    *channel = handle;
    return 1;
}

int ITzLayerImage::MergeMaskLayer(ITzLayerImage* mask, const PTzRECT* maskRect, const PTzRECT* rect)
{
    if (!mask || !maskRect || !rect || mask->GetChannelCount() != 1)
        return ITzERR_INVALID;
    PTzRECT grid;
    if (!ClipToGrid(*rect, true, grid))
        return 0;
    // Grid pixel b lies at b - (rect corner + offset) + mask corner in the mask layer.
    const int64_t toMaskX = int64_t(maskRect->left) - rect->left - m_blockOffset.x;
    const int64_t toMaskY = int64_t(maskRect->top) - rect->top - m_blockOffset.y;
    if (!lumatra::CutToPartnerRange(grid, toMaskX, toMaskY))
        return 0;
    const CMathMerge* tables = GetMathMerge();
    int result = 0;
    WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        const int state = BlockState(*this, block.index);
        if (state == 0)
            return true;  // transparent already
        const int32_t width = block.part.right - block.part.left;
        const int32_t height = block.part.bottom - block.part.top;
        _tagITzBITMAP values = {width, height, 0, 0, 0, nullptr};
        if (state < 0 || !mask->LockBitmap(&values)) {
            result = ITzERR_INVALID;
            return true;
        }
        // What the mask layer does not cover reads 0 and clears the alpha there.
        std::memset(values.pixels, 0, size_t(values.stride) * size_t(height));
        const int32_t x = int32_t(grid.left + block.offsetX + toMaskX);
        const int32_t y = int32_t(grid.top + block.offsetY + toMaskY);
        const PTzRECT maskPart = {x, y, x + width, y + height};
        mask->GetRectData(&maskPart, &values);
        _tagITzCHANNELBITMAP channels;
        if (LockBlockToChannelBitmap(block.index, &channels)) {
            const PTzRECT whole = {0, 0, width, height};
            ITzMultiplyPlaneByBitmap(&block.part, &whole, tables, &channels, &values);
            UnlockChannelBitmapToBlock(block.index, &channels);
            BlockDataUpdated(block.index);
        } else {
            result = ITzERR_CHANNEL_EXPAND;
        }
        mask->UnlockBitmap(&values);
        return true;
    });
    return result;
}
