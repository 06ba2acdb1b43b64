// The layer manager's replays: each record is played backwards and turned into the record
// of the opposite step, so undo and redo are one call; and the release of its records.
#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_layer_manager.h"
#include "engine/tools/tool_layer_manager_stack.h"

namespace {

_tagITzUNDOLAYERMAN* ManagerRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOLAYERMAN*>(head);
}

int UndoInsertion(ITzPicture& picture, _tagITzUNDOLAYERMAN& record)
{
    ITzLayerBase* const layer = picture.GetLayerbyIndex(record.index);
    if (!layer || (record.layer && record.layer != layer))
        return 0;
    const uint16_t before = picture.GetActiveLayerID();
    record.layer = lumatra::TakeLayerOut(picture, record.index);
    lumatra::SwapActiveLayer(picture, record.activeIndex, before);
    record.kind = ITzLAYERMAN_REMOVED;
    return 1;
}

int UndoRemoval(ITzPicture& picture, _tagITzUNDOLAYERMAN& record)
{
    // An index above the count would put the layer somewhere else.
    if (!record.layer || record.index > picture.GetLayerCount())
        return 0;
    const uint16_t before = picture.GetActiveLayerID();
    if (picture.InsertLayer(record.index, record.layer) != 0)
        return 0;
    lumatra::SwapActiveLayer(picture, record.activeIndex, before);
    record.kind = ITzLAYERMAN_INSERTED;
    return 1;
}

int UndoMove(ITzPicture& picture, _tagITzUNDOLAYERMAN& record)
{
    const uint16_t before = picture.GetActiveLayerID();
    if (picture.MoveLayer(record.secondIndex, record.index) != 0)
        return 0;
    lumatra::SwapActiveLayer(picture, record.activeIndex, before);
    const uint16_t from = record.index;
    record.index = record.secondIndex;
    record.secondIndex = from;
    return 1;
}

}  // namespace

int ITzToolLayerManager::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head || head->toolID != ITzTOOLID_LAYER_MANAGER)
        return 0;
    return Replay(*picture, *ManagerRecord(head));
}

int ITzToolLayerManager::DoRedo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    return DoUndo(picture, head);
}

int ITzToolLayerManager::Replay(ITzPicture& picture, _tagITzUNDOLAYERMAN& record)
{
    switch (record.kind) {
    case ITzLAYERMAN_INSERTED:
        return UndoInsertion(picture, record);
    case ITzLAYERMAN_REMOVED:
        return UndoRemoval(picture, record);
    case ITzLAYERMAN_MOVED:
        return UndoMove(picture, record);
    default:
        break;
    }
    // The property kinds name a layer that must still be in the picture.
    ITzLayerBase* const layer = record.layer;
    if (!lumatra::PictureHoldsLayer(picture, layer))
        return 0;
    switch (record.kind) {
    case ITzLAYERMAN_OPACITY: {
        const uint8_t opacity = layer->GetOpacity();
        layer->SetOpacity(record.info.opacity);
        record.info.opacity = opacity;
        return 1;
    }
    case ITzLAYERMAN_LINK: {
        const uint16_t link = layer->GetLinkNumber();
        layer->SetLinkNumber(record.secondIndex);
        record.secondIndex = link;
        lumatra::SwapActiveLayer(picture, record.activeIndex, picture.GetActiveLayerID());
        return 1;
    }
    case ITzLAYERMAN_VISIBILITY: {
        const int visible = layer->IsVisible();
        layer->Setvisibility(int(record.info.visible));
        record.info.visible = uint32_t(visible);
        return 1;
    }
    case ITzLAYERMAN_INFO: {
        _tagITzLAYERINFO present;
        layer->GetLayerInfo(&present);
        ApplyLayerInfo(*layer, record.info);
        record.info = present;
        return 1;
    }
    default:
        return 0;
    }
}

int ITzToolLayerManager::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOLAYERMAN* record = ManagerRecord(head);
    // Only a removed layer is out of the picture, and then nobody but the record holds it.
    if (record->kind == ITzLAYERMAN_REMOVED)
        ITzLayerBase::DestroyLayer(record->layer);
    PTzPointFree(record);
    return 1;
}
