// The replay of floating-merge records: one swap serves undo and redo, because after it
// the record holds what the layer gave up and so describes the opposite step.
#include <utility>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_floating_base.h"

namespace {

// The image layer a record names (a stack index or the selection layer), when it is
// still there and of the record's block type.
ITzLayerImage* RecordLayer(ITzPicture* picture, const _tagITzUNDOFLOATING& record)
{
    ITzLayerBase* layer = record.layerIndex == ITzUNDOFLOATING_SELECTION_LAYER
                              ? picture->GetSelectionLayer(0)
                              : picture->GetLayerbyIndex(record.layerIndex);
    // Blocks of one kind swapped into a layer of another would be read as garbage.
    if (!layer || !layer->IsImageLayer())
        return nullptr;
    auto* image = static_cast<ITzLayerImage*>(layer);
    return image->GetBlockType() == record.blockType ? image : nullptr;
}

}  // namespace

int ITzToolFloatingBase::DoUndo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    if (!picture || !record)
        return 0;
    return SwapRecord(picture, FloatingRecord(record)) ? 1 : 0;
}

int ITzToolFloatingBase::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

ITzLayerImage* ITzToolFloatingBase::SwapRecord(ITzPicture* picture, _tagITzUNDOFLOATING* record)
{
    // Checked before anything changes, so that a record that cannot be replayed leaves
    // the picture, its active layer included, as it was.
    ITzLayerImage* layer = RecordLayer(picture, *record);
    if (!layer || !InitUndoData(layer))
        return nullptr;
    auto* pending = FloatingRecord(m_undoData);
    ITzUndoBlockListBase* undo = GetUndoBlockList(record);
    ITzUndoBlockListBase* redo = GetUndoBlockList(pending);
    // Two lists, even an empty one, so the layer swaps blocks and never merely moves.
    const bool swapped = undo && redo && layer->Undo(&record->bounds, undo, &pending->bounds, redo) > 0;
    if (swapped) {
        record->bounds = pending->bounds;
        std::swap(record->blockList, pending->blockList);
    }
    ReleasePendingUndoData();  // with the list the layer took back, or the unused one
    if (!swapped)
        return nullptr;
    if (record->layerIndex != ITzUNDOFLOATING_SELECTION_LAYER)
        picture->SetActiveLayerID(record->layerIndex);
    return layer;
}
