// The image layer's grid of blocks: growing it with the bounds (new grids aligned so
// block borders fall on picture multiples of 256), cutting it, and the native reader's
// block records.
#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image.h"

namespace {

constexpr int64_t kMaxBlocksPerAxis = 0xFFFF;

// Whole blocks needed to cover `distance` pixels (0 for none).
int64_t BlocksFor(int64_t distance)
{
    return distance > 0 ? (distance + ITzBLOCK_SIDE - 1) / ITzBLOCK_SIDE : 0;
}

bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return PTzRectEqual(&a, &b) != 0;
}

// Zeroes the bytes of one 256 x 256 channel outside `keep` (rows of 256).
void ZeroOutside(uint8_t* channel, const PTzRECT& keep)
{
    for (int32_t y = 0; y < ITzBLOCK_SIDE; ++y) {
        uint8_t* row = channel + y * ITzBLOCK_SIDE;
        if (y < keep.top || y >= keep.bottom) {
            std::memset(row, 0, ITzBLOCK_SIDE);
            continue;
        }
        std::memset(row, 0, size_t(keep.left));
        std::memset(row + keep.right, 0, size_t(ITzBLOCK_SIDE - keep.right));
    }
}

}  // namespace

int ITzLayerImage::ExtendSize(const PTzRECT* rect, PTzRECT* out, int init)
{
    return ExtendCore(rect, out, init, true, nullptr);
}

int ITzLayerImage::ExtendSizeGrow(const PTzRECT* rect, PTzRECT* out)
{
    return ExtendCore(rect, out, 0, false, nullptr);
}

int ITzLayerImage::GrowSize(const PTzRECT* rect, _tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    GridGrowth growth = {};
    const int result = ExtendCore(rect, nullptr, 0, false, &growth);
    if (result != 0)
        return result;
    InitGrownBlocks(growth, init);
    SizeGrowed(rect, init);
    return 0;
}

int ITzLayerImage::SetSize(const PTzRECT* rect, int init)
{
    if (!rect)
        return ITzERR_INVALID;
    PTzRECT old;
    GetBounds(&old);
    const int extended = ExtendSize(rect, nullptr, init);
    if (extended != 0)
        return extended;
    const int result = CutSize(rect);
    SizeChanged(&old);
    return result;
}

int ITzLayerImage::ExtendCore(const PTzRECT* rect, PTzRECT* out, int init, bool clearStraddling,
                              GridGrowth* growth)
{
    if (!rect)
        return ITzERR_INVALID;
    PTzRECT bounds;
    GetBounds(&bounds);
    PTzRECT joined;
    PTzRectBounds(&bounds, rect, &joined);
    if (growth)
        *growth = {0, 0, m_blockCountX, m_blockCountY};
    if (out)
        *out = joined;
    if (SameRect(joined, bounds) || PTzRectEmpty(&joined))
        return 0;
    if (m_blockCountX == 0 || m_blockCountY == 0)
        return ExtendNew(joined, init);

    PTzRECT grid;
    GetBlockBounds(&grid);
    const int64_t left = BlocksFor(int64_t(grid.left) - joined.left);
    const int64_t top = BlocksFor(int64_t(grid.top) - joined.top);
    const int64_t right = BlocksFor(int64_t(joined.right) - grid.right);
    const int64_t bottom = BlocksFor(int64_t(joined.bottom) - grid.bottom);
    if (m_blockCountX + left + right > kMaxBlocksPerAxis || m_blockCountY + top + bottom > kMaxBlocksPerAxis)
        return ITzERR_INVALID;
    // Cleared first, in the old grid: pixels cut away earlier must not come back, and a
    // failure here changes nothing that can be seen.
    if (clearStraddling) {
        const int cleared = ClearStraddlingBlocks(bounds, joined);
        if (cleared != 0)
            return cleared;
    }
    const uint16_t oldX = m_blockCountX;
    const uint16_t oldY = m_blockCountY;
    int result = InsertColumns(0, uint16_t(left), init);
    if (result == 0 && (result = InsertColumns(uint16_t(left + oldX), uint16_t(right), init)) != 0)
        RemoveColumns(0, uint16_t(left));
    if (result == 0 && (result = InsertRows(0, uint16_t(top), init)) != 0) {
        RemoveColumns(uint16_t(left + oldX), uint16_t(right));
        RemoveColumns(0, uint16_t(left));
    }
    if (result == 0 && (result = InsertRows(uint16_t(top + oldY), uint16_t(bottom), init)) != 0) {
        RemoveRows(0, uint16_t(top));
        RemoveColumns(uint16_t(left + oldX), uint16_t(right));
        RemoveColumns(0, uint16_t(left));
    }
    if (result != 0)
        return result;
    m_blockOffset.x += int32_t(left) * ITzBLOCK_SIDE;
    m_blockOffset.y += int32_t(top) * ITzBLOCK_SIDE;
    SetBounds(&joined);
    if (growth)
        *growth = {uint16_t(left), uint16_t(top), oldX, oldY};
    return 0;
}

int ITzLayerImage::ExtendNew(const PTzRECT& bounds, int init)
{
    // The old alignment of grid and picture carries over: offset - position keeps its
    // low 8 bits, so block borders stay on the same picture coordinates.
    const int32_t offsetX = (bounds.left + m_blockOffset.x - m_position.x) & 255;
    const int32_t offsetY = (bounds.top + m_blockOffset.y - m_position.y) & 255;
    const int64_t countX = BlocksFor(int64_t(bounds.right) - bounds.left + offsetX);
    const int64_t countY = BlocksFor(int64_t(bounds.bottom) - bounds.top + offsetY);
    if (countX > kMaxBlocksPerAxis || countY > kMaxBlocksPerAxis)
        return ITzERR_INVALID;
    const int removed = RemoveAllBlocks();
    if (removed != 0)
        return removed;
    m_blockCountX = uint16_t(countX);
    const int result = InsertRows(0, uint16_t(countY), init);
    if (result != 0) {
        m_blockCountX = 0;
        return result;
    }
    m_blockOffset = {offsetX, offsetY};
    ITzLayerBase::SetBounds(&bounds);
    return 0;
}

int ITzLayerImage::ClearStraddlingBlocks(const PTzRECT& oldBounds, const PTzRECT& newBounds)
{
    PTzRECT oldGrid;
    PTzRECT newGrid;
    PRECTtoLRECT(&oldBounds, &oldGrid);
    PRECTtoLRECT(&newBounds, &newGrid);
    LRECTtoBRECT(&oldGrid, &oldGrid);
    LRECTtoBRECT(&newGrid, &newGrid);
    const uint32_t count = uint32_t(m_blockCountX) * m_blockCountY;
    for (uint32_t index = 0; index < count; ++index) {
        PTzRECT block;
        GetBlockBlockRect(index, &block);
        PTzRECT kept = {};
        PTzRECT shown = {};
        PTzRectIntersect(&block, &oldGrid, &kept);
        PTzRectIntersect(&block, &newGrid, &shown);
        // Only what the new bounds show beyond the old ones needs clearing.
        if (SameRect(kept, shown))
            continue;
        PTzRECT keep = {};
        if (!PTzRectEmpty(&kept))
            keep = {kept.left - block.left, kept.top - block.top, kept.right - block.left,
                    kept.bottom - block.top};
        if (!ClearBlockWhenExtend(index, &keep))
            return ITzERR_CHANNEL_EXPAND;
    }
    return 0;
}

int ITzLayerImage::ClearBlockWhenExtend(uint32_t index, const PTzRECT* keep)
{
    if (!keep)
        return 0;
    _tagITzBLOCKDATAINFO info;
    const int read = GetBlockInfo(index, &info, 0);
    if (read == ITzERR_BLOCK_ABSENT)
        return 1;  // a missing block is 0 in every channel already
    if (read != 0)
        return 0;
    const bool whole = PTzRectEmpty(keep) != 0;
    _tagITzBLOCKDATAINFO made = {info.lastChannel, {}};
    for (uint32_t c = 0; c <= info.lastChannel && c < 4; ++c) {
        _tagITzCHANNELDATA& channel = info.channels[c];
        if (whole || (!channel.data && channel.constant == 0)) {
            channel = {nullptr, 0};
            continue;
        }
        if (!channel.data) {
            if (!UncompressChannel(&channel)) {
                FreeBlockDataInfo(made);
                return 0;
            }
            made.channels[c].data = channel.data;
        }
        {
            PTzHandleLockGuard bytes(channel.data);
            if (!bytes) {
                FreeBlockDataInfo(made);
                return 0;
            }
            ZeroOutside(bytes.bytes(), *keep);
        }
        uint8_t value = 0;
        if (ITzChannelUniform(channel.data, &value)) {
            if (made.channels[c].data) {
                PTzHandleFree(channel.data);
                made.channels[c].data = nullptr;
            }
            channel = {nullptr, value};
        }
    }
    if (SetBlockInfo(index, &info) != 0) {
        FreeBlockDataInfo(made);
        return 0;
    }
    return 1;
}

void ITzLayerImage::InitGrownBlocks(const GridGrowth& growth, _tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    if (!init || !init->callback)
        return;
    const uint32_t countX = m_blockCountX;
    const uint32_t oldEnd = uint32_t(growth.top) + growth.oldCountY;
    const auto initRow = [&](uint32_t row, uint32_t from, uint32_t to) {
        for (uint32_t column = from; column < to; ++column)
            InitGrowedBlock(row * countX + column, init);
    };
    for (uint32_t row = 0; row < growth.top; ++row)
        initRow(row, 0, countX);
    for (uint32_t row = oldEnd; row < m_blockCountY; ++row)
        initRow(row, 0, countX);
    for (uint32_t row = growth.top; row < oldEnd; ++row) {
        initRow(row, 0, growth.left);
        initRow(row, uint32_t(growth.left) + growth.oldCountX, countX);
    }
}

int ITzLayerImage::InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    if (!init || !init->callback)
        return 0;
    return init->callback(this, 0, index, init->user);
}

int ITzLayerImage::CutSize(const PTzRECT* rect)
{
    if (!rect)
        return ITzERR_INVALID;
    PTzRECT bounds;
    GetBounds(&bounds);
    PTzRECT kept;
    if (!PTzRectIntersect(&bounds, rect, &kept)) {
        const int removed = RemoveAllBlocks();
        const PTzRECT none = {m_position.x, m_position.y, m_position.x, m_position.y};
        ITzLayerBase::SetBounds(&none);
        return removed;
    }
    if (SameRect(kept, bounds))
        return 0;
    SetBounds(&kept);
    const uint16_t left = uint16_t(m_blockOffset.x >> 8);
    const uint16_t top = uint16_t(m_blockOffset.y >> 8);
    int result = RemoveColumns(0, left);
    m_blockOffset.x &= 255;
    if (result == 0)
        result = RemoveRows(0, top);
    m_blockOffset.y &= 255;
    const int32_t right = std::max((int32_t(m_blockCountX) * ITzBLOCK_SIDE - m_size.cx - m_blockOffset.x) >> 8, 0);
    const int32_t bottom = std::max((int32_t(m_blockCountY) * ITzBLOCK_SIDE - m_size.cy - m_blockOffset.y) >> 8, 0);
    if (result == 0)
        result = RemoveColumns(uint16_t(m_blockCountX - right), uint16_t(right));
    if (result == 0)
        result = RemoveRows(uint16_t(m_blockCountY - bottom), uint16_t(bottom));
    return result;
}

int ITzLayerImage::InsertColumns(uint16_t at, uint16_t count, int init)
{
    if (count == 0)
        return 0;
    const uint32_t countX = m_blockCountX;
    // From the last row up, so that the rows still to do keep their indexes.
    for (uint32_t row = m_blockCountY; row-- > 0;) {
        for (uint32_t k = 0; k < count; ++k) {
            const int result = InsertBlock(row * countX + at, init);
            if (result == 0)
                continue;
            for (uint32_t undo = 0; undo < k; ++undo)
                RemoveBlock(row * countX + at);
            // Rows below this one are already widened; narrow them back, top down.
            for (uint32_t done = row + 1; done < m_blockCountY; ++done)
                for (uint32_t undo = 0; undo < count; ++undo)
                    RemoveBlock(done * countX + at);
            return result;
        }
    }
    m_blockCountX = uint16_t(countX + count);
    return 0;
}

int ITzLayerImage::InsertRows(uint16_t at, uint16_t count, int init)
{
    const uint32_t first = uint32_t(at) * m_blockCountX;
    const uint32_t total = uint32_t(count) * m_blockCountX;
    for (uint32_t k = 0; k < total; ++k) {
        const int result = InsertBlock(first + k, init);
        if (result == 0)
            continue;
        for (uint32_t undo = k; undo-- > 0;)
            RemoveBlock(first + undo);
        return result;
    }
    m_blockCountY = uint16_t(m_blockCountY + count);
    return 0;
}

int ITzLayerImage::RemoveColumns(uint16_t first, uint16_t count)
{
    if (count == 0)
        return 0;
    const uint32_t countX = m_blockCountX;
    for (uint32_t row = m_blockCountY; row-- > 0;) {
        for (uint32_t k = count; k-- > 0;) {
            const int result = RemoveBlock(row * countX + first + k);
            if (result != 0)
                return result;
        }
    }
    m_blockCountX = uint16_t(countX - count);
    return 0;
}

int ITzLayerImage::RemoveRows(uint16_t first, uint16_t count)
{
    const uint32_t start = uint32_t(first) * m_blockCountX;
    for (uint32_t k = uint32_t(count) * m_blockCountX; k-- > 0;) {
        const int result = RemoveBlock(start + k);
        if (result != 0)
            return result;
    }
    m_blockCountY = uint16_t(m_blockCountY - count);
    return 0;
}

int ITzLayerImage::RemoveAllBlocks()
{
    for (uint32_t index = GetBlockCount(); index-- > 0;) {
        const int result = RemoveBlock(index);
        if (result != 0)
            return result;
    }
    m_blockCountX = 0;
    m_blockCountY = 0;
    return 0;
}

int ITzLayerImage::DWKSetBlockInfo(uint32_t index, const _tagITzBLOCKDATAINFO* info)
{
    if (!info)
        return ITzERR_INVALID;
    const uint32_t wanted = uint32_t(m_blockCountX) * m_blockCountY;
    for (uint32_t count = GetBlockCount(); count < wanted; ++count) {
        const int result = InsertBlock(count, 1);
        if (result != 0) {
            FreeBlockDataInfo(*info);
            return result;
        }
    }
    if (index >= wanted) {
        FreeBlockDataInfo(*info);
        return ITzERR_INVALID;
    }
    const int result = SetBlockInfo(index, info);
    if (result != 0)
        FreeBlockDataInfo(*info);
    return result;
}
