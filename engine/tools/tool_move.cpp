// The move tool's drag and key steps: what a move takes hold of, the offsets it applies
// to the moved layer and the selection, and its pending record.
#include "engine/tools/tool_move.h"

#include <new>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_selection_blocks.h"

ITzToolMove::ITzToolMove()
{
    m_toolID = ITzTOOLID_MOVE;
}

ITzToolMove::~ITzToolMove()
{
    if (m_phase != Phase::Idle)
        StopMove();
    ReleasePendingUndoData();
}

_tagUNDODATABASE* ITzToolMove::GetUndoData(ITzLayerBase* layer)
{
    if (!m_undoData)
        InitUndoData(layer);
    return m_undoData;
}

int ITzToolMove::InitUndoData(ITzLayerBase* layer)
{
    ReleasePendingUndoData();
    if (!layer)
        return 0;
    auto* record = static_cast<_tagITzUNDOMOVE*>(PTzPointNew(sizeof(_tagITzUNDOMOVE)));
    if (!record)
        return 0;
    *record = {};
    record->head.toolID = m_toolID;
    // A layer of another kind is converted into an ARGB layer before its pixels move.
    record->blockType =
        layer->IsImageLayer() ? static_cast<ITzLayerImage*>(layer)->GetBlockType() : ITzBLOCKTYPE_ARGB;
    m_undoData = &record->head;
    return 1;
}

ITzUndoBlockListBase* ITzToolMove::GetMaskUndoBlockList(_tagITzUNDOMOVE* record)
{
    if (record && !record->selectionBlocks)
        record->selectionBlocks = CreateUndoBackupBlockList(ITzBLOCKTYPE_GRAY);
    return record ? record->selectionBlocks : nullptr;
}

ITzUndoBlockListBase* ITzToolMove::GetUndoBlockList(_tagITzUNDOMOVE* record)
{
    if (record && !record->layerBlocks)
        record->layerBlocks = CreateUndoBackupBlockList(record->blockType);
    return record ? record->layerBlocks : nullptr;
}

ITzUndoBlockListBase* ITzToolMove::CreateUndoBackupBlockList(_tagITzBLOCKTYPE type)
{
    return new (std::nothrow) ITzUndoTwoLevelBlockList(type);
}

int ITzToolMove::StartMove(ITzPicture* picture, const PTzPOINT* point)
{
    return point ? Start(picture, point) : 0;
}

int ITzToolMove::Start(ITzPicture* picture, const PTzPOINT* point)
{
    if (!picture || picture->GetLayerCount() == 0 || m_phase != Phase::Idle || !StartEditing(picture))
        return 0;
    m_picture = picture;
    m_phase = Phase::Started;
    m_selectionMove = false;
    ITzLayerBase* layer = picture->GetLayerbyIndex(picture->GetActiveLayerID());
    PTzRECT selected;
    ITzLayerImageSelect* selection = lumatra::SelectedMask(*picture, &selected);
    if (layer->IsImageLayer() && static_cast<ITzLayerImage*>(layer)->GetFloatingLayer()) {
        // Pixels lifted before move on; a copy merges them down and lifts a copy anew.
        auto* image = static_cast<ITzLayerImage*>(layer);
        if (m_type == ITzTOOLMOVE_COPY && !picture->AutoMergeFloatingLayer(image)) {
            Finish();
            return 0;
        }
        m_selectionMove = m_type == ITzTOOLMOVE_MOVE || selection;
        return 1;
    }
    // A drag on a layer that is no image layer moves it whole.
    if (!selection || (point && !layer->IsImageLayer()))
        return 1;
    if (point) {
        PTzPOINT local;
        selection->PPointtoLPoint(point, &local);
        if (!selection->PointInSelection(&local))
            return 1;
    }
    PTzRECT bounds, common;
    layer->GetBounds(&bounds);
    if (!PTzRectIntersect(&selected, &bounds, &common)) {
        Finish();
        return 0;
    }
    m_selectionMove = true;
    return 1;
}

ITzLayerBase* ITzToolMove::MovedLayer()
{
    _tagITzUNDOMOVE* record = Record();
    ITzLayerBase* layer = record ? m_picture->GetLayerbyIndex(record->layerIndex) : nullptr;
    if (!layer || !m_selectionMove)
        return layer;
    return layer->IsImageLayer() ? static_cast<ITzLayerImage*>(layer)->GetFloatingLayer() : nullptr;
}

int ITzToolMove::MoveOffset(const _tagPTzOFFSET* offset)
{
    if (!offset || !m_picture || m_phase == Phase::Failed)
        return 0;
    if (offset->x == 0 && offset->y == 0)
        return m_phase == Phase::Prepared ? 1 : 0;
    if (m_phase == Phase::Started) {
        if (!Prepare()) {
            // Nothing was moved or kept: the rest of the drag does nothing either.
            ReleasePendingUndoData();
            m_phase = Phase::Failed;
            return 0;
        }
        m_phase = Phase::Prepared;
    }
    ITzLayerBase* moved = MovedLayer();
    if (!moved || !lumatra::MoveStaysInRange(*m_picture, *moved, !m_selectionMove, offset->x, offset->y))
        return 0;
    _tagPTzOFFSET step = *offset;
    // A floating layer lies over its layer alone; a layer takes its link group along.
    if (m_selectionMove)
        moved->MoveCore(&step);
    else
        moved->Move(&step);
    if (ITzLayerBase* selection = m_picture->GetSelectionLayer(0))
        selection->MoveCore(&step);
    return 1;
}

int ITzToolMove::StopMove()
{
    if (m_phase == Phase::Prepared) {
        // A plain move that came back to where it started changed nothing.
        ITzLayerBase* moved = MovedLayer();
        PTzRECT now;
        _tagITzUNDOMOVE* record = Record();
        const bool plain = !record->copyOrLift;
        if (!plain || !moved || moved->GetBounds(&now) != 0 || !PTzRectEqual(&now, &record->bounds))
            SaveUndoData(m_picture, 1);
    }
    Finish();
    return 0;
}

int ITzToolMove::KeyMove(ITzPicture* picture, const _tagPTzOFFSET* offset)
{
    if (!offset || !Start(picture, nullptr))
        return 0;
    MoveOffset(offset);
    StopMove();
    return 1;
}

void ITzToolMove::Finish()
{
    ReleasePendingUndoData();
    StopEditing(m_picture);
    m_picture = nullptr;
    m_phase = Phase::Idle;
    m_selectionMove = false;
}
