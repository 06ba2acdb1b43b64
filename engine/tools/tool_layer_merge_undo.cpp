// The layer merge's replays, which swap the merged layer and the layers it replaced
// between the picture and the record, and the release of its records.
#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_backup_list.h"
#include "engine/pixels/layer_base.h"
#include "engine/tools/tool_layer_manager_stack.h"
#include "engine/tools/tool_layer_merge.h"

namespace {

_tagITzUNDOLAYERMERGE* MergeRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOLAYERMERGE*>(head);
}

// Merge in effect -> undone: the merged layer goes into the record and the listed layers
// go back to their indexes, lowest first, so each lands where it was.
int TakeMergedOut(ITzPicture& picture, _tagITzUNDOLAYERMERGE& record)
{
    ITzLayerBackupList& list = *record.layers;
    const uint32_t count = picture.GetLayerCount();
    if (!picture.GetLayerbyIndex(record.index) || count - 1 + list.GetItemCount() > ITzPICTURE_MAX_LAYERS)
        return 0;
    const uint16_t before = picture.GetActiveLayerID();
    record.merged = lumatra::TakeLayerOut(picture, record.index);
    for (uint32_t i = 0; i < list.GetItemCount(); ++i) {
        const _tagITzLAYERBACKUPINFO item = list.ItemAt(i);
        picture.InsertLayer(item.index, item.layer);
    }
    lumatra::SwapActiveLayer(picture, record.activeIndex, before);
    return 1;
}

// Undone -> merge in effect: the listed layers leave, highest index first, so the lower
// indexes stay valid; then the merged layer goes in.
int PutMergedIn(ITzPicture& picture, _tagITzUNDOLAYERMERGE& record)
{
    ITzLayerBackupList& list = *record.layers;
    const uint32_t listed = list.GetItemCount();
    const uint32_t count = picture.GetLayerCount();
    if (listed > count || (listed && list.ItemAt(listed - 1).index >= count) ||
        record.index > count - listed)
        return 0;
    const uint16_t before = picture.GetActiveLayerID();
    for (uint32_t i = listed; i-- > 0;) {
        _tagITzLAYERBACKUPINFO item = list.ItemAt(i);
        // Whatever layer holds the place now is the one the record keeps.
        item.layer = lumatra::TakeLayerOut(picture, item.index);
        list.SetItemByIndex(i, &item, 0);
    }
    picture.InsertLayer(record.index, record.merged);
    record.merged = nullptr;
    lumatra::SwapActiveLayer(picture, record.activeIndex, before);
    return 1;
}

}  // namespace

int ITzToolLayerMerge::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head || head->toolID != ITzTOOLID_LAYER_MERGE)
        return 0;
    return Replay(*picture, *MergeRecord(head));
}

int ITzToolLayerMerge::DoRedo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    return DoUndo(picture, head);
}

int ITzToolLayerMerge::Replay(ITzPicture& picture, _tagITzUNDOLAYERMERGE& record)
{
    if (!record.layers)
        return 0;
    return record.merged ? PutMergedIn(picture, record) : TakeMergedOut(picture, record);
}

int ITzToolLayerMerge::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOLAYERMERGE* record = MergeRecord(head);
    // Only the side of the merge that is out of the picture is the record's.
    if (record->merged) {
        ITzLayerBase::DestroyLayer(record->merged);
    } else if (record->layers) {
        for (uint32_t i = 0; i < record->layers->GetItemCount(); ++i)
            ITzLayerBase::DestroyLayer(record->layers->ItemAt(i).layer);
    }
    delete record->layers;
    PTzPointFree(record);
    return 1;
}
