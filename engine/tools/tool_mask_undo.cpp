// The selection tool's records: made, replayed and released. A merge record swaps its
// blocks with the selection's, so one replay serves undo and redo; a move record moves
// the selection back and keeps where it came from.
#include <memory>
#include <new>
#include <utility>

#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_mask.h"

namespace {

_tagITzUNDOSELECTION* SelectionRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOSELECTION*>(head);
}

}  // namespace

_tagITzUNDOSELECTION* ITzToolMask::NewRecord(int32_t kind)
{
    ReleasePendingUndoData();
    auto* record = static_cast<_tagITzUNDOSELECTION*>(PTzPointNew(sizeof(_tagITzUNDOSELECTION)));
    if (!record)
        return nullptr;
    *record = {{m_toolID}, kind, {}, nullptr, nullptr};
    m_undoData = &record->head;
    return record;
}

ITzUndoBlockListBase* ITzToolMask::GetUndoBlockList(_tagITzUNDOSELECTION* record)
{
    if (!record)
        return nullptr;
    if (!record->blockList)
        record->blockList = new (std::nothrow) ITzUndoTwoLevelBlockList(ITzBLOCKTYPE_GRAY);
    return record->blockList;
}

int ITzToolMask::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOSELECTION* record = SelectionRecord(head);
    delete record->blockList;
    if (record->keptLayer)
        ITzLayerBase::DestroyLayer(record->keptLayer);
    PTzPointFree(record);
    return 1;
}

int ITzToolMask::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return PTzFailWithZero(PTzERR_BAD_ARGUMENT);
    _tagITzUNDOSELECTION* record = SelectionRecord(head);
    if (record->kind >= ITzSELECTION_REPLACE && record->kind <= ITzSELECTION_INVERT)
        return UndoMerge(picture, record);
    if (record->kind == ITzUNDOSELECTION_MOVE)
        return UndoMove(picture, record);
    return PTzFailWithZero(PTzERR_BAD_ARGUMENT);
}

int ITzToolMask::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

int ITzToolMask::UndoMerge(ITzPicture* picture, _tagITzUNDOSELECTION* record)
{
    ITzLayerImage* layer = picture->GetSelectionLayer(0);
    const bool putBack = !layer;
    if (putBack) {
        if (!record->keptLayer)
            return 0;
        layer = record->keptLayer;
        picture->SetSelectLayer(layer);
        record->keptLayer = nullptr;
    }
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(layer);
    ITzUndoBlockListBase* list = GetUndoBlockList(record);
    std::unique_ptr<ITzUndoBlockListBase> replaced(new (std::nothrow) ITzUndoTwoLevelBlockList(ITzBLOCKTYPE_GRAY));
    PTzRECT bounds = {};
    if (!selection || !list || !replaced || selection->Undo(&record->bounds, list, &bounds, replaced.get()) <= 0) {
        if (putBack)
            record->keptLayer = picture->RemoveSelectionLayer();
        return 0;
    }
    // The record now holds what the selection gave up: the opposite step.
    record->kind = ITzSELECTION_REPLACE;
    record->bounds = bounds;
    replaced.reset(std::exchange(record->blockList, replaced.release()));
    if (selection->CanDelete())
        record->keptLayer = picture->RemoveSelectionLayer();
    return 1;
}

int ITzToolMask::UndoMove(ITzPicture* picture, _tagITzUNDOSELECTION* record)
{
    ITzLayerImage* layer = picture->GetSelectionLayer(0);
    if (!layer)
        return 0;
    PTzRECT now, moved;
    layer->GetBounds(&now);
    _tagPTzOFFSET offset = {record->bounds.left - now.left, record->bounds.top - now.top};
    if ((offset.x == 0 && offset.y == 0) || layer->MoveCore(&offset) != 0)
        return 0;
    layer->GetBounds(&moved);
    record->bounds = now;
    picture->DataChangedSelect(&now, 0);
    picture->DataChangedSelect(&moved, 0);
    return 1;
}

int ITzToolMask::MoveUndoSave(ITzPicture* picture, const _tagPTzOFFSET* offset)
{
    ITzLayerImage* layer = picture && offset ? picture->GetSelectionLayer(0) : nullptr;
    // A move by nothing changed nothing: no step, so undo never stops at it.
    if (!layer || (offset->x == 0 && offset->y == 0))
        return 0;
    _tagITzUNDOSELECTION* record = NewRecord(ITzUNDOSELECTION_MOVE);
    if (!record)
        return 0;
    layer->GetBounds(&record->bounds);
    const _tagPTzOFFSET back = {-offset->x, -offset->y};
    PTzRectOffset(&record->bounds, &back, &record->bounds);
    return SaveUndoData(picture, 0);
}

int ITzToolMask::MoveUndoSave(void* handle, const _tagPTzOFFSET* offset)
{
    return MoveUndoSave(ITzPicture::Lock(handle), offset);
}
