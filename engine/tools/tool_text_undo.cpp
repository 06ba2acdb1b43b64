// The text tool's undo records: typing and deleting folded into the step before them,
// and the replay of each kind.
#include <utility>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_layer_manager_stack.h"
#include "engine/tools/tool_text.h"

namespace {

_tagITzUNDOTEXT* TextRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOTEXT*>(head);
}

ITzLayerText* TextLayerAt(ITzPicture& picture, uint16_t index)
{
    ITzLayerBase* layer = picture.GetLayerbyIndex(index);
    return layer && layer->GetType() == ITzLAYERTYPE_TEXT ? dynamic_cast<ITzLayerText*>(layer) : nullptr;
}

}  // namespace

bool ITzToolText::MergeIntoLast(ITzPicture& picture, _tagITzUNDOTEXT& record)
{
    _tagUNDODATABASE* head = nullptr;
    if (!picture.GetLastUndoData(&head) || head->toolID != ITzTOOLID_TEXT)
        return false;
    _tagITzUNDOTEXT& last = *TextRecord(head);
    if (last.kind != record.kind || last.layerIndex != record.layerIndex || !last.info.row)
        return false;
    _tagITzTEXTUNDOINFO& info = record.info;
    if (record.kind == ITzTEXTUNDO_TYPING) {
        if (info.row->GetCharacterCount() != 0 || last.info.afterEnd != info.beforeStart)
            return false;
    } else {
        if (info.beforeStart != last.info.afterStart)
            return false;
        // A backward deletion's characters stood in front of the ones deleted before.
        const bool backward = info.beforeEnd < info.beforeStart;
        const uint32_t at = backward ? 0 : last.info.row->GetCharacterCount();
        if (info.row->MoveAllTo(*last.info.row, at) != 0)
            return false;
    }
    last.info.afterStart = info.afterStart;
    last.info.afterEnd = info.afterEnd;
    picture.SetLastUndoData(head, 1);
    ReleasePendingUndoData();
    return true;
}

int ITzToolText::SaveUndoData(ITzPicture* picture, int modifies)
{
    if (!picture || !m_undoData)
        return 0;
    _tagITzUNDOTEXT& record = *TextRecord(m_undoData);
    if (record.kind == ITzTEXTUNDO_DELETION && record.info.row->GetCharacterCount() == 0) {
        ReleasePendingUndoData();
        return 0;
    }
    if ((record.kind == ITzTEXTUNDO_TYPING || record.kind == ITzTEXTUNDO_DELETION) && MergeIntoLast(*picture, record))
        return 1;
    return ITzToolBase::SaveUndoData(picture, modifies);
}

int ITzToolText::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOTEXT& record = *TextRecord(head);
    if (record.kind == ITzTEXTUNDO_NEW_LAYER) {
        if (!record.layer) {
            if (!TextLayerAt(*picture, record.layerIndex))
                return 0;
            record.layer = static_cast<ITzLayerText*>(lumatra::TakeLayerOut(*picture, record.layerIndex));
            return record.layer ? 1 : 0;
        }
        if (picture->InsertLayer(record.layerIndex, record.layer) != 0)
            return 0;
        picture->SetActiveLayerID(record.layerIndex);
        record.layer = nullptr;
        return 1;
    }
    ITzLayerText* layer = TextLayerAt(*picture, record.layerIndex);
    if (!layer)
        return 0;
    switch (record.kind) {
    case ITzTEXTUNDO_FONT:
        return layer->DoUndoFont(&record.info);
    case ITzTEXTUNDO_TYPING:
        return layer->DoUndoInput(&record.info);
    case ITzTEXTUNDO_DELETION:
        return layer->DoUndoDelete(&record.info);
    case ITzTEXTUNDO_REMOVAL:
        return layer->DoUndoRemove(&record.info);
    default:
        return 0;
    }
}

int ITzToolText::DoRedo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    return DoUndo(picture, head);
}

int ITzToolText::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOTEXT* record = TextRecord(head);
    delete record->info.row;
    ITzLayerBase::DestroyLayer(record->layer);
    PTzPointFree(record);
    return 1;
}
