// The gray layer's pixel access to one block: reads and writes of an in-block rectangle
// through 8-bit bitmaps and channel bitmaps, fills, single pixels, the block as a page
// or a locked plane, and the scratch bitmaps of the layer's kind. A uniform block is
// read as its constant and expanded only when a write really changes it.
#include <algorithm>
#include <cstring>
#include <limits>

#include "base/checked_size.h"
#include "base/error_codes.h"
#include "engine/pixels/block_view_gray.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/rect_clip.h"

using lumatra::GrayBlockReader;

namespace {

constexpr int32_t kSide = 256;

// An in-block rectangle paired with a destination of width x height placed at its
// corner, both clipped.
bool PairInBlock(const PTzRECT& rect, int32_t width, int32_t height, ITzRectPair& pair)
{
    const int64_t spanX = int64_t(rect.right) - rect.left, spanY = int64_t(rect.bottom) - rect.top;
    if (spanX <= 0 || spanY <= 0)
        return false;
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    const PTzRECT placed = {0, 0, int32_t(std::min(spanX, kMax)), int32_t(std::min(spanY, kMax))};
    return ITzClipRectPair(rect, {kSide, kSide}, placed, {width, height}, pair);
}

// True when every byte of the pair's destination (the bitmap side) holds `value`.
bool IncomingEquals(const uint8_t* pixels, int32_t stride, const ITzRectPair& pair, uint8_t value)
{
    for (int32_t y = 0; y < pair.height; ++y) {
        uint8_t common = 0;
        const uint8_t* row = pixels + ptrdiff_t(pair.destY + y) * stride + pair.destX;
        if (!ITzBytesUniform(row, uint32_t(pair.width), &common) || common != value)
            return false;
    }
    return true;
}

void CopyOut(const GrayBlockReader& reader, const ITzRectPair& pair, uint8_t* pixels, int32_t stride)
{
    for (int32_t y = 0; y < pair.height; ++y)
        std::memcpy(pixels + ptrdiff_t(pair.destY + y) * stride + pair.destX,
                    reader.row(pair.sourceY + y) + pair.sourceX, size_t(pair.width));
}

}  // namespace

int ITzLayerImageGray::GetBlockData(uint32_t index, const PTzRECT* rect, _tagITzBITMAP* bitmap)
{
    if (!rect || !bitmap || !bitmap->pixels || bitmap->bits != 8)
        return PTzFail(ITzERR_INVALID);
    _tagITzBLOCKINFOGRAY record;
    ITzRectPair pair;
    if (GetBlockInfo(index, &record, 0) != 0 || !PairInBlock(*rect, bitmap->width, bitmap->height, pair))
        return 0;
    const GrayBlockReader reader(record);
    if (!reader.ok())
        return ITzERR_INVALID;
    CopyOut(reader, pair, bitmap->pixels, bitmap->stride);
    return 0;
}

int ITzLayerImageGray::SetBlockData(uint32_t index, const PTzRECT* rect, const _tagITzBITMAP* bitmap)
{
    if (!rect || !bitmap || !bitmap->pixels || bitmap->bits != 8)
        return PTzFail(ITzERR_INVALID);
    _tagITzBLOCKINFOGRAY record;
    ITzRectPair pair;
    if (ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0 ||
        !PairInBlock(*rect, bitmap->width, bitmap->height, pair))
        return 0;
    if (!record.data && IncomingEquals(bitmap->pixels, bitmap->stride, pair, record.constant))
        return 0;
    const int expanded = UncompressBlock(&record);
    if (expanded != 0)
        return expanded;
    {
        const PTzHandleLockGuard data(record.data);
        if (!data)
            return ITzERR_INVALID;
        for (int32_t y = 0; y < pair.height; ++y)
            std::memcpy(data.bytes() + (pair.sourceY + y) * kSide + pair.sourceX,
                        bitmap->pixels + ptrdiff_t(pair.destY + y) * bitmap->stride + pair.destX, size_t(pair.width));
    }
    CompressBlock(&record);
    return SetBlockInfo(index, &record);
}

int ITzLayerImageGray::GetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap)
{
    if (!rect || !bitmap)
        return 0;
    _tagITzBLOCKINFOGRAY record;
    const int read = GetBlockInfo(index, &record, 0);
    if (read != 0)
        return read == ITzERR_BLOCK_ABSENT ? 1 : 0;
    ITzRectPair pair;
    if (!bitmap->planes[0] || !PairInBlock(*rect, bitmap->width, bitmap->height, pair))
        return 1;
    const GrayBlockReader reader(record);
    if (!reader.ok())
        return 0;
    CopyOut(reader, pair, bitmap->planes[0], bitmap->stride);
    return 1;
}

int ITzLayerImageGray::SetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap)
{
    if (!rect || !bitmap)
        return 0;
    _tagITzBLOCKINFOGRAY record;
    const int read = ITzLayerImageGray::GetBlockInfo(index, &record, 0);
    if (read != 0)
        return read == ITzERR_BLOCK_ABSENT ? 1 : 0;
    ITzRectPair pair;
    if (!bitmap->planes[0] || !PairInBlock(*rect, bitmap->width, bitmap->height, pair))
        return 1;
    if (!record.data && IncomingEquals(bitmap->planes[0], bitmap->stride, pair, record.constant))
        return 1;
    if (UncompressBlock(&record) != 0)
        return 0;
    {
        const PTzHandleLockGuard data(record.data);
        if (!data)
            return 0;
        for (int32_t y = 0; y < pair.height; ++y)
            std::memcpy(data.bytes() + (pair.sourceY + y) * kSide + pair.sourceX,
                        bitmap->planes[0] + ptrdiff_t(pair.destY + y) * bitmap->stride + pair.destX,
                        size_t(pair.width));
    }
    CompressBlock(&record);
    return SetBlockInfo(index, &record) == 0;
}

int ITzLayerImageGray::FillBlock(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                 const _tagPTzCOLOR* colour)
{
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOGRAY record;
    if (index == ITzBLOCK_INDEX_NONE || ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0)
        return ITzERR_INVALID;
    const uint8_t value = colour ? colour->components[0] : 0;
    // The part of the block inside the layer, in block coordinates.
    PTzRECT block, layer, inside = {};
    GetBlockBlockRect(index, &block);
    GetLBounds(&layer);
    LRECTtoBRECT(&layer, &layer);
    PTzRectIntersect(&block, &layer, &inside);
    const PTzRECT insideBlock = {inside.left - block.left, inside.top - block.top, inside.right - block.left,
                                 inside.bottom - block.top};
    PTzRECT target = insideBlock;
    if (rect && !PTzRectIntersect(rect, &insideBlock, &target))
        target = {};
    if (PTzRectEmpty(&target) || (!record.data && record.constant == value))
        return 0;
    // Covering all the layer shows of the block fills it whole.
    if (PTzRectEqual(&target, &insideBlock)) {
        const _tagITzBLOCKINFOGRAY filled = {nullptr, value, ITzBLOCK_PRESENT};
        if (SetBlockInfo(index, &filled) != 0)
            return ITzERR_INVALID;
        DestroyBlockData(&record);
        return 0;
    }
    const int expanded = UncompressBlock(&record);
    if (expanded != 0)
        return expanded;
    {
        const PTzHandleLockGuard data(record.data);
        if (data)
            FillBlockChannel(data.bytes(), &target, value);
    }
    CompressBlock(&record);
    return SetBlockInfo(index, &record) == 0 ? 0 : ITzERR_INVALID;
}

int ITzLayerImageGray::GetBlockPointColor(uint32_t index, const PTzPOINT* inBlock, _tagPTzCOLOR* colour)
{
    _tagITzBLOCKINFOGRAY record;
    if (!inBlock || !colour || inBlock->x < 0 || inBlock->y < 0 || inBlock->x >= kSide || inBlock->y >= kSide ||
        GetBlockInfo(index, &record, 0) != 0)
        return 0;
    const GrayBlockReader reader(record);
    if (!reader.ok())
        return 0;
    *colour = {m_colorMode, 255, {reader.row(inBlock->y)[inBlock->x]}};
    return 1;
}

int ITzLayerImageGray::GetPointValue(const PTzPOINT* point, uint8_t* value)
{
    _tagITzBLOCKPOSITION position;
    PTzPOINT inBlock;
    _tagITzBLOCKINFOGRAY record;
    if (!point || !value || !GetPointBlockPostion(point, &position, &inBlock) ||
        GetBlockInfo(BlockPosToIndex(&position), &record, 0) != 0)
        return 0;
    const GrayBlockReader reader(record);
    if (!reader.ok())
        return 0;
    *value = reader.row(inBlock.y)[inBlock.x];
    return 1;
}

int ITzLayerImageGray::FillBlockBufferChannel(PTzHANDLE channel, uint8_t constant, uint8_t* page)
{
    return ITzChannelToPage(channel, constant, page);
}

int ITzLayerImageGray::FillBlockBuffer(const _tagITzBLOCKINFOGRAY* record, _tagITzBlockBUFFER* buffer)
{
    if (!record || !buffer)
        return PTzFail(ITzERR_INVALID);
    return FillBlockBufferChannel(record->data, record->constant, buffer->planes[0]);
}

int ITzLayerImageGray::FillBlockMemory(const _tagITzBLOCKINFOGRAY* record, _tagITzBLOCKMEMORYARGB* memory)
{
    if (!record || !memory)
        return ITzERR_INVALID;
    memory->constants[0] = record->constant;
    if (!record->data) {
        memory->planes[0] = nullptr;
        return 0;
    }
    return FillBlockBufferChannel(record->data, 0, memory->planes[0]);
}

int ITzLayerImageGray::LockBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap)
{
    _tagITzBLOCKINFOGRAY record;
    if (!bitmap || ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    const bool expanding = !record.data;
    if (UncompressBlock(&record) != 0)
        return 0;
    auto* plane = static_cast<uint8_t*>(PTzHandleLock(record.data));
    // Stored expanded, so the handle the caller edits stays the layer's.
    if (!plane || SetBlockInfo(index, &record) != 0) {
        if (plane)
            PTzHandleUnlock(record.data);
        if (expanding)
            PTzHandleFree(record.data);
        return 0;
    }
    *bitmap = {kSide, kSide, kSide, int32_t(m_colorMode), {plane}};
    return 1;
}

int ITzLayerImageGray::UnlockChannelBitmapToBlock(uint32_t index, _tagITzCHANNELBITMAP* bitmap)
{
    _tagITzBLOCKINFOGRAY record;
    if (!bitmap || ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    if (record.data)
        PTzHandleUnlock(record.data);
    *bitmap = {};
    CompressBlock(&record);
    return SetBlockInfo(index, &record) == 0;
}

int ITzLayerImageGray::MergeBlockMask(_tagITzBITMAP* mask, const _tagITzBLOCKPOSITION* position,
                                      const PTzRECT* rect, uint32_t mode)
{
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOGRAY record;
    if (!mask || !rect || index == ITzBLOCK_INDEX_NONE || ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    const int merged = MergeBlockAlpha(mask, &record.data, &record.constant, rect, uint8_t(mode));
    if (merged < 0)
        return 0;  // the dab was dropped: the caller must not count it as painted
    if (merged > 0) {
        lumatra::FoldMergedChannel(record.data, record.constant, *rect);
        SetBlockInfo(index, &record);
    }
    return 1;
}

int ITzLayerImageGray::LockBitmap(_tagITzBITMAP* bitmap)
{
    if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0)
        return 0;
    uint64_t stride = 0, bytes = 0;
    uint8_t* pixels = nullptr;
    if (!PTzCheckedRowBytes(uint64_t(bitmap->width), 8, &stride, std::numeric_limits<int32_t>::max()) ||
        !PTzCheckedMul(stride, uint64_t(bitmap->height), &bytes, std::numeric_limits<uint32_t>::max()) ||
        !BlockMemoryAlloc(GetBlockMemoryPool(), &pixels, uint32_t(bytes)))
        return 0;
    bitmap->colorMode = int32_t(m_colorMode);
    bitmap->bits = 8;
    bitmap->stride = int32_t(stride);
    bitmap->pixels = pixels;
    return 1;
}

int ITzLayerImageGray::UnlockBitmap(_tagITzBITMAP* bitmap)
{
    return UnlockPoolBitmap(bitmap);
}

int ITzLayerImageGray::LockChannelBitmap(_tagITzCHANNELBITMAP* bitmap)
{
    if (!bitmap)
        return 0;
    const _tagPTzSIZE size = {bitmap->width, bitmap->height};
    if (!ITzUtilityChannelBitmap::CreateITzBufferBitmap(bitmap, &size, 1, 0))
        return 0;
    bitmap->kind = int32_t(m_colorMode);
    return 1;
}

int ITzLayerImageGray::UnlockChannelBitmap(_tagITzCHANNELBITMAP* bitmap)
{
    const _tagPTzSIZE size = {bitmap ? bitmap->width : 0, bitmap ? bitmap->height : 0};
    return ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(bitmap, &size);
}
