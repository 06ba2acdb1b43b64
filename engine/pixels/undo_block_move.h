// Backing a layer's block up into an undo list, handing the block to the list and
// swapping it back, shared by the kinds over their layer and undo item types. Either step completes or leaves the layer and the
// list as they were, so no handle is ever held by both.
#pragma once

#include <cstdint>

#include "base/error_codes.h"
#include "engine/pixels/undo_block_list.h"

namespace lumatra {

// Adds a copy of the block to the list: the list's result, 0 for a null list (which
// stores PTzERR_BAD_ARGUMENT) or a failed copy.
template <typename Layer, typename Item>
int BackupBlockToUndoList(Layer& layer, uint32_t index, ITzUndoBlockListBase* list)
{
    if (!list)
        return PTzFailWithZero(PTzERR_BAD_ARGUMENT);
    Item item = {index, {}};
    if (!layer.CopyBlockData(index, &item.info))
        return 0;
    const int added = list->AddItem(&item, sizeof item);
    if (!added)
        Layer::DestroyBlockData(&item.info);
    return added;
}

// The list takes the present block's record; the block is emptied only once the list
// holds it. 1, or 0 (nothing changed).
template <typename Layer, typename Item>
int MoveBlockToUndoList(Layer& layer, uint32_t index, ITzUndoBlockListBase* list)
{
    Item item = {index, {}};
    if (!list || layer.Layer::GetBlockInfo(index, &item.info, 0) != 0 || !list->AddItem(&item, sizeof item))
        return 0;
    const decltype(item.info) missing = {};
    if (layer.SetBlockInfo(index, &missing) != 0) {
        list->RemoveItem(list->GetCount() - 1);  // the layer keeps its block
        return 0;
    }
    layer.BlockDataUpdated(index);
    return 1;
}

// Swaps the block with the item's record: 1 (also for an item the list lacks); 0 for a
// null list or a failed swap.
template <typename Layer, typename Item>
int SwitchBlockWithUndoList(Layer& layer, uint32_t item, ITzUndoBlockListBase* list)
{
    if (!list)
        return 0;
    Item entry;
    if (!list->GetItem(item, &entry, sizeof entry))
        return 1;
    Item current = {entry.blockIndex, {}};
    const int read = layer.Layer::GetBlockInfo(entry.blockIndex, &current.info, 0);
    if ((read != 0 && read != ITzERR_BLOCK_ABSENT) || layer.SetBlockInfo(entry.blockIndex, &entry.info) != 0)
        return 0;
    if (!list->SetItem(item, &current, sizeof current)) {
        layer.SetBlockInfo(entry.blockIndex, &current.info);  // back as it was
        return 0;
    }
    layer.BlockDataUpdated(entry.blockIndex);
    return 1;
}

}  // namespace lumatra
