// The ARGB layer's pixel access to one block: interleaved and planar reads and writes
// of an in-block rectangle, fills, and the block exposed as pages or a channel bitmap.
// Uniform channels are read as their constant, never expanded.
#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/argb_pack.h"
#include "engine/pixels/block_info_argb.h"
#include "engine/pixels/block_view_argb.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_floating_blocks.h"

using lumatra::ARGBBlockReader;
using lumatra::ARGBBlockWriter;
using lumatra::kBlockSide;

namespace {

// An in-block rectangle clipped to the block and to a destination of width x height
// placed at the rectangle's corner; (destX, destY) is where its corner lands there.
struct BlockPart {
    int32_t left, top, right, bottom;
    int32_t destX, destY;
    int32_t width() const { return right - left; }
    bool whole() const { return left == 0 && top == 0 && right == kBlockSide && bottom == kBlockSide; }
};

bool ClipBlockPart(const PTzRECT& rect, int32_t width, int32_t height, BlockPart& part)
{
    const int32_t left = std::max(rect.left, 0);
    const int32_t top = std::max(rect.top, 0);
    const int64_t right = std::min<int64_t>({rect.right, kBlockSide, int64_t(rect.left) + width});
    const int64_t bottom = std::min<int64_t>({rect.bottom, kBlockSide, int64_t(rect.top) + height});
    if (left >= right || top >= bottom)
        return false;
    part = {left, top, int32_t(right), int32_t(bottom), left - rect.left, top - rect.top};
    return true;
}

uint8_t* PixelRow(const _tagITzBITMAP& bitmap, int32_t x, int32_t y, int32_t bytes)
{
    return bitmap.pixels + ptrdiff_t(y) * bitmap.stride + ptrdiff_t(x) * bytes;
}

// True when byte `at` of every pixel of the part in the bitmap equals `value`. 32-bit
// pixels are compared a word at a time so that the loop vectorises.
bool IncomingEquals(const _tagITzBITMAP& bitmap, const BlockPart& part, int bytes, int at, uint8_t value)
{
    const uint32_t mask = 0xFFu << (8 * at), pattern = uint32_t(value) << (8 * at);
    for (int32_t y = 0; y < part.bottom - part.top; ++y) {
        const uint8_t* row = PixelRow(bitmap, part.destX, part.destY + y, bytes);
        uint32_t differ = 0;
        if (bytes == 4) {
            for (int32_t x = 0; x < part.width(); ++x) {
                uint32_t pixel;
                std::memcpy(&pixel, row + 4 * x, 4);
                differ |= (pixel ^ pattern) & mask;
            }
        } else {
            for (int32_t x = 0; x < part.width(); ++x)
                differ |= uint32_t(row[3 * x + at] ^ value);
        }
        if (differ)
            return false;
    }
    return true;
}

// True when every byte of the part in plane c of the channel bitmap equals `value`.
bool PlaneEquals(const _tagITzCHANNELBITMAP& bitmap, int c, const BlockPart& part, uint8_t value)
{
    for (int32_t y = 0; y < part.bottom - part.top; ++y) {
        const uint8_t* row = bitmap.planes[c] + ptrdiff_t(part.destY + y) * bitmap.stride + part.destX;
        uint32_t differ = 0;
        for (int32_t x = 0; x < part.width(); ++x)
            differ |= uint32_t(row[x] ^ value);
        if (differ)
            return false;
    }
    return true;
}

// Whether the part is the whole block and the bitmap's planes hold it as whole pages.
bool WholePages(const BlockPart& part, const _tagITzCHANNELBITMAP& bitmap)
{
    return part.whole() && part.destX == 0 && part.destY == 0 && bitmap.stride == kBlockSide;
}

// The channels whose bits are set become uniform at their values, their handles freed.
void TakeConstants(_tagITzBLOCKINFOARGB& record, uint8_t channels, const uint8_t values[4])
{
    for (int c = 0; c < 4; ++c) {
        if (!(channels >> c & 1))
            continue;
        if (record.channels[c])
            PTzHandleFree(record.channels[c]);
        record.channels[c] = nullptr;
        record.constants[c] = values[c];
    }
}

// Locks the four handles of an expanded record: all, or none and false.
bool LockFour(const _tagITzBLOCKINFOARGB& record, uint8_t* planes[4])
{
    for (int c = 0; c < 4; ++c) {
        planes[c] = record.channels[c] ? static_cast<uint8_t*>(PTzHandleLock(record.channels[c])) : nullptr;
        if (!planes[c]) {
            for (int locked = 0; locked < c; ++locked)
                PTzHandleUnlock(record.channels[locked]);
            return false;
        }
    }
    return true;
}

void UnlockFour(const _tagITzBLOCKINFOARGB& record)
{
    for (PTzHANDLE channel : record.channels)
        if (channel)
            PTzHandleUnlock(channel);
}

}  // namespace

int ITzLayerImageARGB::GetBlockData(uint32_t index, const PTzRECT* rect, _tagITzBITMAP* bitmap)
{
    if (!rect || !bitmap || !bitmap->pixels || bitmap->bits != 32)
        return ITzERR_INVALID;
    _tagITzBLOCKINFOARGB record;
    BlockPart part;
    if (GetBlockInfo(index, &record, 0) != 0 || !ClipBlockPart(*rect, bitmap->width, bitmap->height, part))
        return 0;
    const ARGBBlockReader reader(record);
    if (!reader.ok())
        return ITzERR_INVALID;
    for (int32_t y = part.top; y < part.bottom; ++y) {
        const uint8_t* const rows[4] = {reader.row(0, y) + part.left, reader.row(1, y) + part.left,
                                        reader.row(2, y) + part.left, reader.row(3, y) + part.left};
        lumatra::pack::PlanesToARGB(rows, PixelRow(*bitmap, part.destX, part.destY + y - part.top, 4),
                                    part.width());
    }
    return 0;
}

int ITzLayerImageARGB::SetBlockData(uint32_t index, const PTzRECT* rect, const _tagITzBITMAP* bitmap)
{
    if (!rect || !bitmap || !bitmap->pixels)
        return ITzERR_INVALID;
    const bool argb = bitmap->bits == 32 && bitmap->colorMode == PTzCOLORMODE_ARGB;
    const bool rgb = bitmap->bits == 24 && (bitmap->colorMode == PTzCOLORMODE_RGB ||
                                            bitmap->colorMode == PTzCOLORMODE_BGR);
    _tagITzBLOCKINFOARGB record;
    BlockPart part;
    if ((!argb && !rgb) || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0 ||
        !ClipBlockPart(*rect, bitmap->width, bitmap->height, part))
        return 0;
    // A uniform channel that receives only its own byte stays as it is; so does alpha
    // under 24-bit pixels. Only the other channels are expanded and written; where the
    // write covers the whole block, a channel it fills with one byte becomes that
    // constant, and the others are written over without being expanded first.
    const bool bgr = bitmap->colorMode == PTzCOLORMODE_BGR;
    const int bytes = argb ? 4 : 3;
    uint8_t written = 0, uniform = 0, values[4] = {};
    for (int c = argb ? 0 : 1; c < 4; ++c) {
        const int at = argb ? c : bgr ? 3 - c : c - 1;
        if (record.channels[c] || !IncomingEquals(*bitmap, part, bytes, at, record.constants[c]))
            written |= uint8_t(1u << c);
        values[c] = PixelRow(*bitmap, part.destX, part.destY, bytes)[at];
        if ((written >> c & 1) && part.whole() && IncomingEquals(*bitmap, part, bytes, at, values[c]))
            uniform |= uint8_t(1u << c);
    }
    if (!written)
        return 0;
    const uint8_t copied = written & ~uniform;
    const int expanded = part.whole() ? ITzBlockInfoARGBAllocateChannels(&record, copied)
                                      : ITzBlockInfoARGBExpandChannels(&record, copied);
    if (expanded != 0)
        return expanded;
    TakeConstants(record, uniform, values);
    {
        const ARGBBlockWriter writer(record);
        uint8_t discard[kBlockSide];
        for (int32_t y = part.top; y < part.bottom && copied; ++y) {
            uint8_t* rows[4];
            for (int c = 0; c < 4; ++c)
                rows[c] = (copied >> c & 1) ? writer.row(c, y) + part.left : discard;
            const int32_t sourceY = part.destY + y - part.top;
            if (argb)
                lumatra::pack::ARGBToPlanes(PixelRow(*bitmap, part.destX, sourceY, 4), rows, part.width());
            else
                lumatra::pack::RGBToPlanes(PixelRow(*bitmap, part.destX, sourceY, 3), rows, part.width(), bgr);
        }
    }
    CompressBlock(&record);
    return SetBlockInfo(index, &record);
}

int ITzLayerImageARGB::SetBlockData(uint32_t index, const _tagITzBLOCKMEMORY* memory)
{
    if (!memory)
        return 0;
    _tagITzBLOCKINFOARGB record;
    const int read = ITzLayerImageARGB::GetBlockInfo(index, &record, 0);
    if (read != 0 && read != ITzERR_BLOCK_ABSENT)
        return 0;
    _tagITzBLOCKINFOARGB written = read == 0 ? record : _tagITzBLOCKINFOARGB{ITzBLOCK_PRESENT, {}, {}};
    if (UncompressBlock(&written) != 0)
        return 0;
    if (memory->kind == 3) {
        const ARGBBlockWriter writer(written);
        for (int c = 0; c < 4; ++c)
            if (memory->planes[c])
                std::memcpy(writer.page(c), memory->planes[c], ITzBLOCK_PAGE_BYTES);
    }
    CompressBlock(&written);
    if (SetBlockInfo(index, &written) != 0)
        return 0;
    ITzBlockInfoARGBFreeReplaced(&record, &written);  // leftovers of a missing record
    return 1;
}

int ITzLayerImageARGB::GetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap)
{
    if (!rect || !bitmap)
        return 0;
    _tagITzBLOCKINFOARGB record;
    const int read = GetBlockInfo(index, &record, 0);
    if (read == ITzERR_BLOCK_ABSENT)
        return 1;
    BlockPart part;
    if (read != 0)
        return 0;
    if (!ClipBlockPart(*rect, bitmap->width, bitmap->height, part))
        return 1;
    const ARGBBlockReader reader(record);
    if (!reader.ok())
        return 0;
    const bool pages = WholePages(part, *bitmap);
    for (int c = 0; c < 4; ++c) {
        if (!bitmap->planes[c])
            continue;
        if (pages) {
            if (reader.uniform(c))
                std::memset(bitmap->planes[c], record.constants[c], ITzBLOCK_PAGE_BYTES);
            else
                std::memcpy(bitmap->planes[c], reader.row(c, 0), ITzBLOCK_PAGE_BYTES);
            continue;
        }
        for (int32_t y = part.top; y < part.bottom; ++y)
            std::memcpy(bitmap->planes[c] + ptrdiff_t(part.destY + y - part.top) * bitmap->stride + part.destX,
                        reader.row(c, y) + part.left, size_t(part.width()));
    }
    return 1;
}

int ITzLayerImageARGB::SetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap)
{
    if (!rect || !bitmap)
        return 0;
    _tagITzBLOCKINFOARGB record;
    const int read = ITzLayerImageARGB::GetBlockInfo(index, &record, 0);
    if (read == ITzERR_BLOCK_ABSENT)
        return 1;
    BlockPart part;
    if (read != 0)
        return 0;
    if (!ClipBlockPart(*rect, bitmap->width, bitmap->height, part))
        return 1;
    // As for interleaved writes: a uniform channel that takes its own value stays uniform,
    // and a write over the whole block makes a channel it fills with one byte uniform
    // and writes the others without expanding them first.
    uint8_t written = 0, uniform = 0, values[4] = {};
    for (int c = 0; c < 4; ++c) {
        if (!bitmap->planes[c])
            continue;
        if (record.channels[c] || !PlaneEquals(*bitmap, c, part, record.constants[c]))
            written |= uint8_t(1u << c);
        values[c] = bitmap->planes[c][ptrdiff_t(part.destY) * bitmap->stride + part.destX];
        if ((written >> c & 1) && part.whole() && PlaneEquals(*bitmap, c, part, values[c]))
            uniform |= uint8_t(1u << c);
    }
    if (!written)
        return 1;
    const uint8_t copied = written & ~uniform;
    if ((part.whole() ? ITzBlockInfoARGBAllocateChannels(&record, copied)
                      : ITzBlockInfoARGBExpandChannels(&record, copied)) != 0)
        return 0;
    TakeConstants(record, uniform, values);
    {
        const ARGBBlockWriter writer(record);
        const bool pages = WholePages(part, *bitmap);
        for (int c = 0; c < 4; ++c) {
            if (!(copied >> c & 1))
                continue;
            if (pages) {
                std::memcpy(writer.page(c), bitmap->planes[c], ITzBLOCK_PAGE_BYTES);
                continue;
            }
            for (int32_t y = part.top; y < part.bottom; ++y)
                std::memcpy(writer.row(c, y) + part.left,
                            bitmap->planes[c] + ptrdiff_t(part.destY + y - part.top) * bitmap->stride + part.destX,
                            size_t(part.width()));
        }
    }
    // Only the part changed: each copied channel is folded back without a whole scan.
    const PTzRECT changed = {part.left, part.top, part.right, part.bottom};
    for (int c = 0; c < 4; ++c)
        if (copied >> c & 1)
            lumatra::FoldMergedChannel(record.channels[c], record.constants[c], changed);
    return SetBlockInfo(index, &record) == 0;
}

int ITzLayerImageARGB::FillArc(const PTzRECT* /*rect*/, const _tagPTzCOLOR* /*colour*/, int /*flag*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImageARGB::FillBlock(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                 const _tagPTzCOLOR* colour)
{
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOARGB record;
    if (index == ITzBLOCK_INDEX_NONE || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return ITzERR_INVALID;
    const uint8_t values[4] = {colour ? colour->alpha : uint8_t(255), colour ? colour->components[0] : uint8_t(255),
                               colour ? colour->components[1] : uint8_t(255),
                               colour ? colour->components[2] : uint8_t(255)};
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
    if (PTzRectEmpty(&target))
        return 0;
    // Covering all the layer shows of the block fills it whole: what lies outside the
    // layer is cleared before the bounds ever grow over it.
    if (PTzRectEqual(&target, &insideBlock)) {
        const _tagITzBLOCKINFOARGB filled = {ITzBLOCK_PRESENT, {}, {values[0], values[1], values[2], values[3]}};
        if (SetBlockInfo(index, &filled) != 0)
            return ITzERR_INVALID;
        DestroyBlockData(&record);
        return 0;
    }
    const int expanded = UncompressBlock(&record);
    if (expanded != 0)
        return expanded;
    {
        const ARGBBlockWriter writer(record);
        for (int c = 0; c < 4; ++c)
            for (int32_t y = target.top; y < target.bottom; ++y)
                std::memset(writer.row(c, y) + target.left, values[c], size_t(target.right - target.left));
    }
    CompressBlock(&record);
    return SetBlockInfo(index, &record) == 0 ? 0 : ITzERR_INVALID;
}

int ITzLayerImageARGB::GetBlockPointColor(uint32_t index, const PTzPOINT* inBlock, _tagPTzCOLOR* colour)
{
    _tagITzBLOCKINFOARGB record;
    if (!inBlock || !colour || inBlock->x < 0 || inBlock->y < 0 || inBlock->x >= kBlockSide ||
        inBlock->y >= kBlockSide || GetBlockInfo(index, &record, 0) != 0)
        return 0;
    const ARGBBlockReader reader(record);
    if (!reader.ok())
        return 0;
    colour->mode = m_colorMode;
    colour->alpha = reader.row(0, inBlock->y)[inBlock->x];
    for (int c = 1; c < 4; ++c)
        colour->components[c - 1] = reader.row(c, inBlock->y)[inBlock->x];
    return 1;
}

int ITzLayerImageARGB::FillBlockBuffer(const _tagITzBLOCKINFOARGB* record, _tagITzBlockBUFFER* buffer)
{
    if (!record || !buffer)
        return ITzERR_INVALID;
    for (int c = 0; c < 4; ++c) {
        const int filled = FillBlockBufferChannel(record->channels[c], record->constants[c], buffer->planes[c]);
        if (filled != 0)
            return filled;
    }
    return 0;
}

int ITzLayerImageARGB::FillBlockBufferChannel(PTzHANDLE channel, uint8_t constant, uint8_t* page)
{
    return ITzChannelToPage(channel, constant, page);
}

int ITzLayerImageARGB::FillBlockMemory(const _tagITzBLOCKINFOARGB* record, _tagITzBLOCKMEMORYARGB* memory)
{
    if (!record || !memory)
        return ITzERR_INVALID;
    for (int c = 0; c < 4; ++c)
        if (record->channels[c] && !memory->planes[c])
            return ITzERR_INVALID;
    for (int c = 0; c < 4; ++c) {
        memory->constants[c] = record->constants[c];
        if (!record->channels[c])
            memory->planes[c] = nullptr;
        else if (FillBlockBufferChannel(record->channels[c], 0, memory->planes[c]) != 0)
            return ITzERR_INVALID;
    }
    return 0;
}

int ITzLayerImageARGB::CopyBlockAlpha(uint32_t index, PTzHANDLE* alpha, uint8_t* constant)
{
    _tagITzBLOCKINFOARGB record;
    if (!alpha || !constant || GetBlockInfo(index, &record, 0) != 0)
        return 0;
    if (record.channels[0]) {
        PTzHANDLE target = *alpha ? *alpha : PTzHandleNew(ITzBLOCK_PAGE_BYTES);
        if (!target || PTzBlockSize(target) < ITzBLOCK_PAGE_BYTES) {
            if (target && !*alpha)
                PTzHandleFree(target);
            return 0;
        }
        {
            const PTzHandleLockGuard page(target);
            FillBlockBufferChannel(record.channels[0], 0, page.bytes());
        }
        *alpha = target;
    }
    *constant = record.constants[0];
    return 1;
}

int ITzLayerImageARGB::FillBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap)
{
    if (!bitmap || bitmap->width != kBlockSide || bitmap->height != kBlockSide || bitmap->stride != kBlockSide)
        return 0;
    _tagITzBLOCKINFOARGB record;
    if (GetBlockInfo(index, &record, 0) != 0)
        return 0;
    _tagITzBlockBUFFER pages = {{bitmap->planes[0], bitmap->planes[1], bitmap->planes[2], bitmap->planes[3]}};
    return FillBlockBuffer(&record, &pages) == 0;
}

int ITzLayerImageARGB::LockBlockToChannelBitmap(_tagITzBLOCKINFOARGB* record, _tagITzCHANNELBITMAP* bitmap)
{
    uint8_t* planes[4];
    if (!record || !bitmap || UncompressBlock(record) != 0 || !LockFour(*record, planes))
        return 0;
    *bitmap = {kBlockSide, kBlockSide, kBlockSide, int32_t(m_colorMode), {planes[0], planes[1], planes[2], planes[3]}};
    return 1;
}

int ITzLayerImageARGB::UnlockBlockforChannelBitmap(_tagITzBLOCKINFOARGB* record, _tagITzCHANNELBITMAP* bitmap)
{
    if (!record || !bitmap)
        return 0;
    UnlockFour(*record);
    *bitmap = {};
    ITzBlockInfoARGBCompress(record);
    return 1;
}

int ITzLayerImageARGB::LockBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap)
{
    _tagITzBLOCKINFOARGB record;
    if (!bitmap || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0 ||
        !LockBlockToChannelBitmap(&record, bitmap))
        return 0;
    // Stored expanded, so the handles the caller edits stay the layer's.
    if (SetBlockInfo(index, &record) != 0) {
        UnlockBlockforChannelBitmap(&record, bitmap);
        return 0;
    }
    return 1;
}

int ITzLayerImageARGB::LockBlockToChannelBitmapUnfilled(uint32_t index, _tagITzCHANNELBITMAP* bitmap,
                                                        uint8_t* unfilled, uint8_t values[4])
{
    _tagITzBLOCKINFOARGB record;
    uint8_t* planes[4];
    if (!bitmap || !unfilled || !values || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    uint8_t uniform = 0;
    for (int c = 0; c < 4; ++c)
        uniform |= record.channels[c] ? 0 : uint8_t(1u << c);
    if (ITzBlockInfoARGBAllocateChannels(&record, uniform) != 0)
        return 0;
    if (!LockFour(record, planes)) {
        for (int c = 0; c < 4; ++c)
            if (uniform >> c & 1)
                PTzHandleFree(record.channels[c]);
        return 0;
    }
    *bitmap = {kBlockSide, kBlockSide, kBlockSide, int32_t(m_colorMode), {planes[0], planes[1], planes[2], planes[3]}};
    if (SetBlockInfo(index, &record) != 0) {
        UnlockBlockforChannelBitmap(&record, bitmap);
        return 0;
    }
    *unfilled = uniform;
    std::copy(record.constants, record.constants + 4, values);
    return 1;
}

int ITzLayerImageARGB::UnlockChannelBitmapToBlock(uint32_t index, _tagITzCHANNELBITMAP* bitmap)
{
    _tagITzBLOCKINFOARGB record;
    if (!bitmap || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    UnlockBlockforChannelBitmap(&record, bitmap);
    return SetBlockInfo(index, &record) == 0;
}

int ITzLayerImageARGB::LockBlockToBlockMemory(_tagITzBLOCKINFOARGB* record, _tagITzBLOCKMEMORY* memory)
{
    uint8_t* planes[4];
    if (!record || !memory || ITzBlockInfoARGBExpand(record) != 0 || !LockFour(*record, planes))
        return 0;
    *memory = {3, {planes[0], planes[1], planes[2], planes[3]}};
    return 1;
}

int ITzLayerImageARGB::UnlockBlockForBlockMemory(_tagITzBLOCKINFOARGB* record, _tagITzBLOCKMEMORY* memory)
{
    if (!record || !memory)
        return 0;
    UnlockFour(*record);
    *memory = {};
    ITzBlockInfoARGBCompress(record);
    return 1;
}

int ITzLayerImageARGB::FillBlockMemoryWithRectData(_tagITzBLOCKMEMORY* out, const _tagITzARGBMEMDATA* data)
{
    if (!out || !data)
        return 0;
    *out = {3, {data->planes[0], data->planes[1], data->planes[2], data->planes[3]}};
    return 1;
}

int ITzLayerImageARGB::GetBlockDataChannel(uint8_t* plane, uint32_t stride, const _tagPTzOFFSET* at,
                                           PTzHANDLE channel, uint8_t constant, const PTzRECT* inBlock)
{
    if (!plane || !at || !inBlock)
        return 0;
    const int32_t left = std::max(inBlock->left, 0), top = std::max(inBlock->top, 0);
    const int32_t right = std::min(inBlock->right, kBlockSide), bottom = std::min(inBlock->bottom, kBlockSide);
    if (left >= right || top >= bottom)
        return 1;
    uint8_t* out = plane + ptrdiff_t(at->y) * stride + at->x;
    if (!channel) {
        for (int32_t y = top; y < bottom; ++y, out += stride)
            std::memset(out, constant, size_t(right - left));
        return 1;
    }
    const PTzHandleLockGuard bytes(channel);
    if (!bytes)
        return 0;
    for (int32_t y = top; y < bottom; ++y, out += stride)
        std::memcpy(out, bytes.bytes() + y * kBlockSide + left, size_t(right - left));
    return 1;
}
