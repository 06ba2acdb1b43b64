// The paste tool: the picture pastes, the tool centres the new layer and records the step;
// its replay takes the layer out or puts it back, and the selection with it.
#include "engine/tools/tool_paste.h"

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/tools/tool_layer_manager_stack.h"
#include "engine/tools/tool_selection_blocks.h"

namespace {

_tagITzUNDOPASTE* PasteRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOPASTE*>(head);
}

// The offset that puts the layer's centre on the target's, in 64 bits; false when the
// offset or the moved layer leaves the coordinate range.
bool CentreOffset(const PTzRECT& target, const PTzRECT& layer, _tagPTzOFFSET& offset)
{
    const int64_t dx = (int64_t(target.right) + target.left - layer.right - layer.left) >> 1;
    const int64_t dy = (int64_t(target.bottom) + target.top - layer.bottom - layer.top) >> 1;
    const PTzRECT origin = {0, 0, 0, 0};
    if (!lumatra::FitsAfterMove(origin, dx, dy) || !lumatra::FitsAfterMove(layer, dx, dy))
        return false;
    offset = {int32_t(dx), int32_t(dy)};
    return true;
}

}  // namespace

ITzToolPaste::ITzToolPaste()
{
    m_toolID = ITzTOOLID_PASTE;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolPaste::~ITzToolPaste()
{
    ReleasePendingUndoData();
}

_tagUNDODATABASE* ITzToolPaste::GetUndoData()
{
    if (m_undoData)
        return m_undoData;
    auto* record = static_cast<_tagITzUNDOPASTE*>(PTzPointNew(sizeof(_tagITzUNDOPASTE)));
    if (!record)
        return nullptr;
    *record = {};
    record->head.toolID = m_toolID;
    m_undoData = &record->head;
    return m_undoData;
}

int ITzToolPaste::DoPasteImageLayer(ITzPicture* picture, ITzLayerImage* layer)
{
    if (!layer)
        return 0;
    return PasteAndCentre(picture, [&] { return picture->PasteImageLayer(layer); });
}

int ITzToolPaste::DoPasteDIB(ITzPicture* picture, const BITMAPINFOHEADER* header, uint32_t size)
{
    if (!header)
        return 0;
    return PasteAndCentre(picture, [&] { return picture->PasteDIB(header, size); });
}

template <typename Paste>
int ITzToolPaste::PasteAndCentre(ITzPicture* picture, Paste paste)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok() || !GetUndoData())
        return 0;
    const uint16_t activeBefore = picture->GetActiveLayerID();
    if (!paste()) {
        ReleasePendingUndoData();
        return 0;
    }
    _tagITzUNDOPASTE& record = *PasteRecord(m_undoData);
    record.layerIndex = picture->GetActiveLayerID();
    ITzLayerBase* pasted = picture->GetLayerbyIndex(record.layerIndex);
    _tagPTzSIZE size = {};
    picture->GetSize(&size);
    PTzRECT target = {0, 0, size.cx, size.cy};
    PTzRECT selected, bounds;
    if (lumatra::SelectedMask(*picture, &selected))
        target = selected;
    pasted->GetBounds(&bounds);
    _tagPTzOFFSET offset;
    if (!CentreOffset(target, bounds, offset)) {
        // Nobody else holds the new layer: it goes again.
        ITzLayerBase::DestroyLayer(lumatra::TakeLayerOut(*picture, record.layerIndex));
        picture->SetActiveLayerID(activeBefore);
        ReleasePendingUndoData();
        return 0;
    }
    if (offset.x || offset.y)
        pasted->MoveCore(&offset);
    record.selection = picture->RemoveSelectionLayer();
    if (!picture->SaveUndoData(m_undoData, 1)) {
        // A step the history does not keep could never be undone: take it back.
        DoUndo(picture, m_undoData);
        ReleasePendingUndoData();
        picture->SetActiveLayerID(activeBefore);
        return 0;
    }
    m_undoData = nullptr;
    return 1;
}

int ITzToolPaste::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOPASTE& record = *PasteRecord(head);
    const uint16_t index = record.layerIndex;
    if (!record.layer) {
        // The pasted layer leaves the picture; the selection it replaced comes back.
        ITzLayerBase* pasted = picture->GetLayerbyIndex(index);
        ITzLayerBase* out = nullptr;
        if (!pasted || !pasted->IsImageLayer() || picture->RemoveLayer(index, &out) != 0 || out != pasted)
            return 0;
        record.layer = pasted;
        picture->SetActiveLayerID(index > 0 ? uint16_t(index - 1) : 0);
    } else {
        if (picture->InsertLayer(index, record.layer) != 0)
            return 0;
        record.layer = nullptr;
        picture->SetActiveLayerID(index);
    }
    // The selection changes places between the picture and the record.
    record.selection = picture->SetSelectLayer(record.selection);
    return 1;
}

int ITzToolPaste::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

int ITzToolPaste::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOPASTE* record = PasteRecord(head);
    ITzLayerBase::DestroyLayer(record->layer);
    ITzLayerBase::DestroyLayer(record->selection);
    PTzPointFree(record);
    return 1;
}
