// Block-level helpers of the floating merges and block undo: block states and pairs,
// single blocks kept as copies or as the record of their absence, the staging of an
// edit's backups until it succeeded, and the fold of a channel after a merged rectangle.
#include "engine/pixels/layer_image_floating_blocks.h"

#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/channel_compression.h"

namespace lumatra {

namespace {

// Big enough for an item of either block type.
struct ItemBuffer {
    alignas(_tagITzUNDOBLOCKITEMARGB) uint8_t bytes[sizeof(_tagITzUNDOBLOCKITEMARGB)];
};
static_assert(sizeof(_tagITzUNDOBLOCKITEMGRAY) <= sizeof(ItemBuffer));

// False when a probe differs from the first byte: the corners, middles and centre of
// the rectangle (clipped to the block) and the last byte of the block.
bool ProbesMatchFirst(const uint8_t* bytes, const PTzRECT& merged)
{
    const uint8_t first = bytes[0];
    if (bytes[ITzBLOCK_PAGE_BYTES - 1] != first)
        return false;
    const PTzRECT block = {0, 0, ITzBLOCK_SIDE, ITzBLOCK_SIDE};
    PTzRECT part;
    if (!PTzRectIntersect(&merged, &block, &part))
        return true;
    const int32_t xs[3] = {part.left, (part.left + part.right) / 2, part.right - 1};
    const int32_t ys[3] = {part.top, (part.top + part.bottom) / 2, part.bottom - 1};
    for (const int32_t y : ys)
        for (const int32_t x : xs)
            if (bytes[size_t(y) * ITzBLOCK_SIDE + size_t(x)] != first)
                return false;
    return true;
}

// Whether every byte equals the first: the rectangle's rows first, where a merge most
// likely left a difference, then the rows above and below them.
bool AllLikeFirst(const uint8_t* bytes, const PTzRECT& merged)
{
    const uint8_t first = bytes[0];
    const uint32_t top = uint32_t(std::clamp(merged.top, 0, ITzBLOCK_SIDE)) * ITzBLOCK_SIDE;
    const uint32_t bottom = std::max(top, uint32_t(std::clamp(merged.bottom, 0, ITzBLOCK_SIDE)) * ITzBLOCK_SIDE);
    const auto like = [&](uint32_t from, uint32_t to) {
        uint8_t value = first;
        return from == to || (ITzBytesUniform(bytes + from, to - from, &value) && value == first);
    };
    return like(top, bottom) && like(0, top) && like(bottom, ITzBLOCK_PAGE_BYTES);
}

}  // namespace

void FoldMergedChannel(PTzHANDLE& channel, uint8_t& constant, const PTzRECT& merged)
{
    if (!channel)
        return;
    uint8_t value = 0;
    if (PTzBlockSize(channel) != ITzBLOCK_PAGE_BYTES) {
        if (!ITzChannelUniform(channel, &value))
            return;
    } else {
        const PTzHandleLockGuard bytes(channel);
        if (!bytes || !ProbesMatchFirst(bytes.bytes(), merged) || !AllLikeFirst(bytes.bytes(), merged))
            return;
        value = bytes.bytes()[0];
    }
    PTzHandleFree(channel);
    channel = nullptr;
    constant = value;
}

int BlockState(ITzLayerImage& layer, uint32_t index)
{
    _tagITzBLOCKDATAINFO info;
    const int read = layer.GetBlockInfo(index, &info, 0);
    if (read == 0)
        return 1;
    return read == ITzERR_BLOCK_ABSENT ? 0 : -1;
}

uint32_t BlockAt(const ITzLayerImage& from, uint32_t index, const ITzLayerImage& to, const _tagPTzOFFSET& shift)
{
    _tagITzBLOCKPOSITION position;
    if (from.IndexToBlockPos(index, &position) != 0)
        return ITzBLOCK_INDEX_NONE;
    const int64_t column = int64_t(position.column) + shift.x;
    const int64_t row = int64_t(position.row) + shift.y;
    if (column < 0 || row < 0 || column > 0xFFFF || row > 0xFFFF)
        return ITzBLOCK_INDEX_NONE;
    const _tagITzBLOCKPOSITION at = {uint16_t(column), uint16_t(row)};
    return to.BlockPosToIndex(&at);
}

bool MakeBlockPresent(ITzLayerImage& layer, uint32_t index)
{
    // Every channel uniform at 0: transparent, and no handle to allocate.
    const _tagITzBLOCKDATAINFO empty = {layer.GetChannelCount() - 1, {}};
    return layer.SetBlockInfo(index, &empty) == 0;
}

bool AddAbsence(ITzUndoBlockListBase* list, uint32_t index)
{
    if (!list)
        return false;
    ItemBuffer item = {};
    ITzUndoBlockListBase::SetItemBlockIndex(item.bytes, index);
    return list->AddItem(item.bytes, 0) != 0;
}

bool MoveBlockOrAbsence(ITzLayerImage& layer, uint32_t index, ITzUndoBlockListBase* list)
{
    const int state = BlockState(layer, index);
    if (state < 0)
        return false;
    return state == 0 ? AddAbsence(list, index) : layer.MoveBlocktoUndoList(index, list) != 0;
}

bool BackupBlockAs(ITzLayerImage& layer, uint32_t index, uint32_t keptIndex, ITzUndoBlockListBase* list)
{
    if (!list || list->GetBlockType() != layer.GetBlockType())
        return false;
    const int state = BlockState(layer, index);
    if (state < 0)
        return false;
    if (state == 0) {
        if (!AddAbsence(list, keptIndex))
            return false;
        if (MakeBlockPresent(layer, index))
            return true;
        list->RemoveItem(list->GetCount() - 1);
        return false;
    }
    // The copy is made in a list of its own, which frees it unless the target takes it.
    ITzUndoTwoLevelBlockList copy(list->GetBlockType());
    ItemBuffer item;
    if (!layer.BackupBlock(index, &copy) || !copy.GetItem(0, item.bytes, sizeof item.bytes))
        return false;
    ITzUndoBlockListBase::SetItemBlockIndex(item.bytes, keptIndex);
    if (!list->AddItem(item.bytes, 0))
        return false;
    copy.RemoveItem(0);  // the target owns the handles now
    return true;
}

bool StagedBackups::RecordWhole(ITzLayerImage& layer, uint32_t index)
{
    const int state = BlockState(layer, index);
    if (state < 0)
        return false;
    return state == 0 ? AddAbsence(&m_list, index) : layer.BackupBlock(index, &m_list) != 0;
}

bool StagedBackups::CommitTo(ITzUndoBlockListBase* target)
{
    if (!target || target->GetBlockType() != m_list.GetBlockType())
        return false;
    const uint32_t count = m_list.GetCount();
    const uint32_t start = target->GetCount();
    for (uint32_t i = 0; i < count; ++i) {
        ItemBuffer item;
        if (m_list.GetItem(i, item.bytes, sizeof item.bytes) && target->AddItem(item.bytes, 0))
            continue;
        // The stage still owns every handle: only the copies in the target go.
        while (target->GetCount() > start)
            target->RemoveItem(target->GetCount() - 1);
        return false;
    }
    // The target owns the handles now; the stage lets go of them without freeing.
    for (uint32_t i = count; i-- > 0;)
        m_list.RemoveItem(i);
    return true;
}

bool StagedBackups::RollBack(ITzLayerImage& layer, const PTzRECT& bounds)
{
    // Cutting the grid back only removes the blocks the edit added; the kept blocks then
    // swap places with the ones the edit changed, which the stage frees. Nothing here
    // allocates, so a rollback succeeds after the edit failed for want of memory.
    PTzRECT now;
    layer.GetBounds(&now);
    if (layer.CutSize(&bounds) != 0)
        return false;
    if (!PTzRectEqual(&now, &bounds))
        layer.SizeChanged(&now);
    return layer.UndoSwitchBlockData(&m_list) != 0;
}

}  // namespace lumatra
