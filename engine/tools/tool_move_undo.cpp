// The replay of move records. Each replay leaves the record describing the opposite
// step, so undo and redo are one call: a plain move swaps positions, a copy move swaps
// the duplicate between the picture and the record, a floating move swaps the lifted
// pixels and the blocks they were lifted from.
#include <memory>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_move.h"
#include "engine/tools/tool_selection_blocks.h"

namespace {

_tagITzUNDOMOVE* MoveRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOMOVE*>(head);
}

// The offset from where the layer lies (`present`) to where the record says it lay;
// false when that would carry the layer or the selection out of the coordinate range.
bool OffsetBack(ITzPicture& picture, ITzLayerBase& layer, bool withLinks, const PTzRECT& recorded,
                PTzRECT& present, _tagPTzOFFSET& offset)
{
    layer.GetBounds(&present);
    const int64_t dx = int64_t(recorded.left) - present.left;
    const int64_t dy = int64_t(recorded.top) - present.top;
    if (!lumatra::MoveStaysInRange(picture, layer, withLinks, dx, dy))
        return false;
    offset = {int32_t(dx), int32_t(dy)};
    return true;
}

bool Moves(const _tagPTzOFFSET& offset)
{
    return offset.x != 0 || offset.y != 0;
}

void MoveSelection(ITzPicture& picture, _tagPTzOFFSET offset)
{
    ITzLayerBase* selection = picture.GetSelectionLayer(0);
    if (selection && Moves(offset))
        selection->MoveCore(&offset);
}

}  // namespace

int ITzToolMove::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOMOVE& record = *MoveRecord(head);
    if (record.floatingMove && record.copyOrLift)
        return ReplayLift(*picture, record);
    if (record.copyOrLift)
        return ReplayCopy(*picture, record);
    return ReplayMove(*picture, record);
}

int ITzToolMove::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

int ITzToolMove::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOMOVE* record = MoveRecord(head);
    delete record->layerBlocks;
    delete record->selectionBlocks;
    ITzLayerBase::DestroyLayer(record->held);
    PTzPointFree(record);
    return 1;
}

bool ITzToolMove::ExchangeBlocks(ITzLayerImage& layer, const PTzRECT& oldBounds, ITzUndoBlockListBase*& blocks,
                                 PTzRECT* bounds)
{
    if (!blocks)
        return true;  // nothing was kept of this layer
    std::unique_ptr<ITzUndoBlockListBase> fresh(CreateUndoBackupBlockList(blocks->GetBlockType()));
    PTzRECT present;
    if (!fresh || layer.Undo(&oldBounds, blocks, &present, fresh.get()) <= 0)
        return false;
    // The old list's blocks went back into the layer; it holds what they replaced.
    delete blocks;
    blocks = fresh.release();
    if (bounds)
        *bounds = present;
    return true;
}

int ITzToolMove::ReplayMove(ITzPicture& picture, _tagITzUNDOMOVE& record)
{
    ITzLayerBase* moved = picture.GetLayerbyIndex(record.layerIndex);
    if (!moved)
        return 0;
    // Pixels lifted off the layer move without it; a layer takes its link group along.
    ITzLayerImage* floating = moved->IsImageLayer() ? static_cast<ITzLayerImage*>(moved)->GetFloatingLayer() : nullptr;
    if (floating)
        moved = floating;
    PTzRECT present;
    _tagPTzOFFSET offset;
    if (!OffsetBack(picture, *moved, !floating, record.bounds, present, offset))
        return 0;
    if (Moves(offset)) {
        if (floating)
            moved->MoveCore(&offset);
        else
            moved->Move(&offset);
        MoveSelection(picture, offset);
    }
    record.bounds = present;
    picture.SetActiveLayerID(record.layerIndex);
    return 1;
}

int ITzToolMove::ReplayCopy(ITzPicture& picture, _tagITzUNDOMOVE& record)
{
    const uint16_t index = record.layerIndex;
    PTzRECT present;
    _tagPTzOFFSET offset;
    if (!record.held) {
        // The duplicate leaves the picture and goes back onto its source.
        ITzLayerBase* copy = picture.GetLayerbyIndex(index);
        ITzLayerBase* out = nullptr;
        if (!copy || !OffsetBack(picture, *copy, false, record.bounds, present, offset) ||
            picture.RemoveLayer(index, &out) != 0 || out != copy)
            return 0;
        if (Moves(offset))
            copy->MoveCore(&offset);
        record.held = copy;
        picture.SetActiveLayerID(index > 0 ? uint16_t(index - 1) : 0);
    } else {
        ITzLayerBase* copy = record.held;
        if (!OffsetBack(picture, *copy, false, record.bounds, present, offset))
            return 0;
        if (Moves(offset))
            copy->MoveCore(&offset);
        if (picture.InsertLayer(index, copy) != 0) {
            _tagPTzOFFSET back = {-offset.x, -offset.y};
            if (Moves(back))
                copy->MoveCore(&back);
            return 0;
        }
        record.held = nullptr;
        picture.SetActiveLayerID(index);
    }
    // Where the duplicate was, so that the next replay puts it there again.
    record.bounds = present;
    MoveSelection(picture, offset);
    return 1;
}

int ITzToolMove::ReplayLift(ITzPicture& picture, _tagITzUNDOMOVE& record)
{
    ITzLayerBase* found = picture.GetLayerbyIndex(record.layerIndex);
    if (!found || !found->IsImageLayer())
        return 0;
    auto* layer = static_cast<ITzLayerImage*>(found);
    if (layer->GetBlockType() != record.blockType)
        return 0;
    ITzLayerImage* selection = picture.GetSelectionLayer(0);
    const int result = layer->GetFloatingLayer() ? UndoLift(picture, *layer, selection, record)
                                                 : RedoLift(picture, *layer, selection, record);
    if (result)
        picture.SetActiveLayerID(record.layerIndex);
    return result;
}

int ITzToolMove::UndoLift(ITzPicture& picture, ITzLayerImage& layer, ITzLayerImage* selection,
                          _tagITzUNDOMOVE& record)
{
    ITzLayerImage* floating = layer.GetFloatingLayer();
    PTzRECT moved, own;
    _tagPTzOFFSET offset;
    layer.GetBounds(&own);
    if (!OffsetBack(picture, *floating, false, record.bounds, moved, offset) ||
        !ExchangeBlocks(layer, own, record.layerBlocks, nullptr))
        return 0;
    // The lifted pixels go into the record where they were dragged to; the selection goes
    // back to where the drag began and takes back its blocks from before the lift.
    record.held = layer.RemoveFloatingLayer();
    if (!selection)
        return 1;
    MoveSelection(picture, offset);
    if (ExchangeBlocks(*selection, record.selectionRect, record.selectionBlocks, &record.selectionRect))
        return 1;
    MoveSelection(picture, {-offset.x, -offset.y});
    layer.SetFloatingLayer(static_cast<ITzLayerImage*>(record.held));
    record.held = nullptr;
    ExchangeBlocks(layer, own, record.layerBlocks, nullptr);
    return 0;
}

int ITzToolMove::RedoLift(ITzPicture& picture, ITzLayerImage& layer, ITzLayerImage* selection,
                          _tagITzUNDOMOVE& record)
{
    auto* floating = dynamic_cast<ITzLayerImage*>(record.held);
    PTzRECT lifted, own;
    _tagPTzOFFSET back;
    if (!floating || !OffsetBack(picture, *floating, false, record.bounds, lifted, back))
        return 0;
    if (selection && !ExchangeBlocks(*selection, record.selectionRect, record.selectionBlocks, &record.selectionRect))
        return 0;
    layer.GetBounds(&own);
    if (!ExchangeBlocks(layer, own, record.layerBlocks, nullptr)) {
        if (selection)
            ExchangeBlocks(*selection, record.selectionRect, record.selectionBlocks, &record.selectionRect);
        return 0;
    }
    layer.SetFloatingLayer(floating);
    record.held = nullptr;
    // The selection follows the pixels to where they were dragged.
    MoveSelection(picture, {-back.x, -back.y});
    return 1;
}
