// The ARGB layer's merges: a floating layer merged into blocks (whole or by rectangle,
// same kind or through block memory), source layers merged into locked blocks, and the
// drawing of a layer together with its floating layer.
#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_view_argb.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/layer_owner.h"
#include "engine/pixels/merge_alpha_over_block.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/rect_clip.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/pixels/scratch_tile.h"
#include "engine/pixels/tile_walk.h"

using lumatra::ForEachTile;
using lumatra::ScratchPages;
using lumatra::ScratchTile;

namespace {

constexpr int32_t kSide = 256;

_tagITzMERGEDATA MergeOf(const ITzLayerBase& layer)
{
    _tagITzMERGEDATA merge;
    layer.GetMergeData(&merge);
    return merge;
}

_tagITzCHANNELBITMAP PagesBitmap(uint8_t* const planes[4], int32_t kind)
{
    return {kSide, kSide, kSide, kind, {planes[0], planes[1], planes[2], planes[3], nullptr}};
}

}  // namespace

int ITzLayerImageARGB::FloatMergeBlockForSameType(ITzLayerImage* floating, uint32_t sourceBlock,
                                                  uint32_t targetBlock, _tagITzBLOCKMEMORYGRAY* mask)
{
    _tagITzBLOCKINFOARGB source, target;
    if (!floating || !ReadARGBBlock(floating, sourceBlock, source) ||
        ITzLayerImageARGB::GetBlockInfo(targetBlock, &target, 0) != 0)
        return 0;
    const _tagITzMERGEDATA merge = MergeOf(*floating);
    const uint8_t* maskPlane = mask ? mask->plane : nullptr;
    if (merge.mergeType == ITzMERGE_NORMAL) {
        // Alpha-over of a transparent block changes nothing: the target stays as compact as it is.
        if (IsBlockEmpty(&source))
            return 1;
        if (!lumatra::AlphaOverBlock(source, target, merge.opacity, maskPlane))
            return 0;
        StoreChanged(targetBlock, target);
        return 1;
    }
    const ScratchPages pages(4);
    _tagITzBlockBUFFER buffer = {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}};
    const CMathMerge* tables = GetMathMerge();
    if (!pages.ok() || !tables || FillBlockBuffer(&source, &buffer) != 0 || UncompressBlock(&target) != 0)
        return 0;
    {
        const lumatra::ARGBBlockWriter writer(target);
        if (maskPlane)
            ITzMergeBlockARGBMask(buffer.planes, writer.pages(), &merge, tables, maskPlane);
        else
            ITzMergeBlockARGB(buffer.planes, writer.pages(), &merge, tables);
    }
    CompressBlock(&target);
    StoreChanged(targetBlock, target);
    return 1;
}

int ITzLayerImageARGB::FloatMergeBlock(ITzLayerImage* floating, uint32_t sourceBlock, uint32_t targetBlock,
                                       _tagITzBLOCKMEMORYGRAY* mask)
{
    if (!floating)
        return 0;
    if (floating->GetColorMode() == m_colorMode && floating->GetBitDepth() == m_bitDepth)
        return FloatMergeBlockForSameType(floating, sourceBlock, targetBlock, mask);
    _tagITzBLOCKINFOARGB target;
    _tagITzBLOCKMEMORY memory;
    if (ITzLayerImageARGB::GetBlockInfo(targetBlock, &target, 0) != 0 || !LockBlockToBlockMemory(&target, &memory))
        return 0;
    const int merged = floating->FloatMergeBlockDataToBlockMemory(sourceBlock, &memory, mask);
    UnlockBlockForBlockMemory(&target, &memory);
    StoreChanged(targetBlock, target);
    return merged;
}

int ITzLayerImageARGB::FloatMergeRect(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                      ITzLayerImage* floating, const PTzRECT* floatingRect,
                                      _tagITzBLOCKMEMORYGRAY* mask)
{
    if (!floating || !floatingRect)
        return 0;
    if (floating->GetColorMode() == m_colorMode && floating->GetBitDepth() == m_bitDepth)
        return FloatMergeRectForSameType(position, rect, floating, floatingRect, mask);
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOARGB target;
    _tagITzBLOCKMEMORY memory;
    PTzRECT source;
    if (index == ITzBLOCK_INDEX_NONE || floating->PRECTtoLRECT(floatingRect, &source) != 0 ||
        ITzLayerImageARGB::GetBlockInfo(index, &target, 0) != 0 || !LockBlockToBlockMemory(&target, &memory))
        return 0;
    const int merged = floating->FloatMergeRectDataToBlockMemory(&source, &memory, mask);
    UnlockBlockForBlockMemory(&target, &memory);
    StoreChanged(index, target);
    return merged;
}

int ITzLayerImageARGB::FloatMergeRectForSameType(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                                 ITzLayerImage* floating, const PTzRECT* floatingRect,
                                                 _tagITzBLOCKMEMORYGRAY* mask)
{
    auto* source = dynamic_cast<ITzLayerImageARGB*>(floating);
    const uint32_t index = BlockPosToIndex(position);
    PTzRECT sourceRect;
    _tagITzBLOCKINFOARGB target;
    if (!source || !rect || !floatingRect || index == ITzBLOCK_INDEX_NONE ||
        source->PRECTtoLRECT(floatingRect, &sourceRect) != 0 ||
        ITzLayerImageARGB::GetBlockInfo(index, &target, 0) != 0)
        return 0;
    const ScratchPages pages(4);
    uint8_t* const planes[4] = {pages.page(0), pages.page(1), pages.page(2), pages.page(3)};
    _tagITzARGBMEMDATA data = {{planes[0], planes[1], planes[2], planes[3]}, {}, 0, kSide, kSide};
    const CMathMerge* tables = GetMathMerge();
    if (!pages.ok() || !tables || !source->GetRectData_1(&sourceRect, &data, 0) || UncompressBlock(&target) != 0)
        return 0;
    const _tagITzMERGEDATA merge = MergeOf(*floating);
    {
        const lumatra::ARGBBlockWriter writer(target);
        _tagITzCHANNELBITMAP block = PagesBitmap(writer.pages(), int32_t(m_colorMode));
        const _tagITzCHANNELBITMAP pieces = PagesBitmap(planes, int32_t(m_colorMode));
        const PTzRECT part = {0, 0, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top};
        // The mask tile lies over this block, so it pairs with the in-block rect.
        _tagITzBITMAP maskBitmap = {kSide, kSide, kSide, 8, 6, mask ? mask->plane : nullptr};
        ITzMergeChannelBitmap(&merge, 255, rect, &block, tables, rect, &pieces, &part,
                              maskBitmap.pixels ? &maskBitmap : nullptr);
    }
    CompressBlock(&target);
    StoreChanged(index, target);
    return 1;
}

int ITzLayerImageARGB::FloatMergeRectDataToBlockMemory(const PTzRECT* rect, _tagITzBLOCKMEMORY* target,
                                                       _tagITzBLOCKMEMORYGRAY* mask)
{
    const ScratchPages pages(4);
    _tagITzARGBMEMDATA data = {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}, {}, 0, kSide, kSide};
    const CMathMerge* tables = GetMathMerge();
    if (!rect || !target || !pages.ok() || !tables || !GetRectData_1(rect, &data, 0))
        return 0;
    _tagITzBLOCKMEMORY source;
    FillBlockMemoryWithRectData(&source, &data);
    const _tagITzMERGEDATA merge = MergeOf(*this);
    if (mask && mask->plane)
        ITzMergeTaggedBlockMask(&merge, target, &source, tables, mask->plane);
    else
        ITzMergeTaggedBlock(&merge, target, &source, tables);
    return 1;
}

int ITzLayerImageARGB::FloatMergeBlockDataToBlockMemory(uint32_t block, _tagITzBLOCKMEMORY* target,
                                                        _tagITzBLOCKMEMORYGRAY* mask)
{
    _tagITzBLOCKINFOARGB record;
    if (!target || GetBlockInfo(block, &record, 0) != 0)
        return 0;
    const ScratchPages pages(4);
    _tagITzBlockBUFFER buffer = {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}};
    const CMathMerge* tables = GetMathMerge();
    if (!pages.ok() || !tables || FillBlockBuffer(&record, &buffer) != 0)
        return 0;
    const _tagITzBLOCKMEMORY source = {3, {buffer.planes[0], buffer.planes[1], buffer.planes[2], buffer.planes[3]}};
    const _tagITzMERGEDATA merge = MergeOf(*this);
    if (mask && mask->plane)
        ITzMergeTaggedBlockMask(&merge, target, &source, tables, mask->plane);
    else
        ITzMergeTaggedBlock(&merge, target, &source, tables);
    return 1;
}

int ITzLayerImageARGB::FillBlockDataFromLayer(uint32_t block, const PTzRECT* rect, ITzLayerImage* source,
                                              const PTzRECT* sourceRect, _tagITzMERGEDATA* merge,
                                              _tagITzBITMAP* mask, const PTzRECT* maskRect, uint8_t factor)
{
    _tagITzBLOCKINFOARGB record;
    if (!source || ITzLayerImageARGB::GetBlockInfo(block, &record, 0) != 0)
        return 0;
    _tagITzCHANNELBITMAP channels;
    int result = 0;
    if (LockBlockToChannelBitmap(&record, &channels)) {
        result = source->FillChannelBitmapData(&channels, rect, sourceRect, merge, mask, maskRect, factor);
        // Only the rectangle changed: each channel is folded back without a whole scan.
        for (int c = 0; c < 4; ++c) {
            PTzHandleUnlock(record.channels[c]);
            if (rect)
                lumatra::FoldMergedChannel(record.channels[c], record.constants[c], *rect);
        }
    }
    SetBlockInfo(block, &record);
    return result;
}

int ITzLayerImageARGB::BlockChannelBimapMergIn(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* source,
                                               const PTzRECT* sourceRect, _tagITzBITMAP* mask,
                                               const PTzRECT* maskRect, _tagITzMERGEDATA* merge, uint8_t factor)
{
    if (!rect || !source || !sourceRect)
        return ITzERR_INVALID;
    _tagITzBLOCKINFOARGB record;
    _tagITzCHANNELBITMAP channels;
    if (ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return 0;  // a missing block takes nothing
    if (!LockBlockToChannelBitmap(&record, &channels))
        return ITzERR_CHANNEL_EXPAND;
    ITzMergeChannelBitmap(merge, factor, maskRect, &channels, GetMathMerge(), rect, source, sourceRect, mask);
    UnlockBlockforChannelBitmap(&record, &channels);
    return SetBlockInfo(index, &record);
}

int ITzLayerImageARGB::FloatMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                          const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                          ITzLayerImage* selection)
{
    return FloatMergeThroughTiles(bitmap, rect, level, zoomX, zoomY, selection, 32);
}

int ITzLayerImageARGB::PreviewMergeToBitmapWithFloating(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                                        const _tagITzZOOMLEVEL* zoomX,
                                                        const _tagITzZOOMLEVEL* zoomY)
{
    if (!m_floating || !bitmap || !rect)
        return 0;
    ITzLayerImage* selection = m_picture ? m_picture->GetSelectionLayer(0) : nullptr;
    const CMathMerge* tables = GetMathMerge();
    const _tagITzMERGEDATA merge = MergeOf(*this);
    ForEachTile(ITzRectPlaced(*rect, bitmap->width, bitmap->height), [&](const PTzRECT& tile) {
        ScratchTile pixels(tile, 32);
        if (!pixels.get())
            return false;
        const PTzRECT whole = pixels.whole();
        GetDisplayData(pixels.get(), &tile, level, zoomX, zoomY);
        m_floating->FloatMergeToBitmap(pixels.get(), &tile, level, zoomX, zoomY, selection);
        const PTzRECT at = {tile.left - rect->left, tile.top - rect->top, tile.right - rect->left,
                            tile.bottom - rect->top};
        CMathMerge::MergeBitmap(tables, &whole, pixels.get(), bitmap, &at, &merge);
        return true;
    });
    return 0;
}
