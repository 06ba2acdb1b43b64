// The effect's record: the blocks kept before the effect changed them, and the exchange
// with the layer that undoes and redoes the step (after it the record holds what the
// layer gave up, so the same exchange serves both directions).
#include <memory>
#include <new>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_effect_base.h"

namespace {

// The image layer at the record's index, when it is still of the record's block type.
ITzLayerImage* RecordLayer(ITzPicture& picture, const _tagITzUNDOEFFECT& record)
{
    if (record.layerIndex >= ITzPICTURE_MAX_LAYERS)
        return nullptr;
    ITzLayerBase* layer = picture.GetLayerbyIndex(uint16_t(record.layerIndex));
    if (!layer || !layer->IsImageLayer())
        return nullptr;
    auto* image = static_cast<ITzLayerImage*>(layer);
    return image->GetBlockType() == record.blockType ? image : nullptr;
}

}  // namespace

int ITzToolEffectBase::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOEFFECT* record = EffectRecord(head);
    ITzLayerImage* layer = RecordLayer(*picture, *record);
    if (!layer || !record->blockList || record->blockList->GetCount() == 0)
        return 0;
    std::unique_ptr<ITzUndoBlockListBase> replaced(new (std::nothrow) ITzUndoTwoLevelBlockList(record->blockType));
    // The effect kept the layer's bounds, and the history brings them back before this
    // step is replayed: the kept blocks are indexed in the grid over them.
    PTzRECT bounds;
    layer->GetBounds(&bounds);
    if (!replaced || layer->Undo(&bounds, record->blockList, nullptr, replaced.get()) <= 0)
        return 0;
    delete record->blockList;
    record->blockList = replaced.release();
    picture->SetActiveLayerID(uint16_t(record->layerIndex));
    return 1;
}

int ITzToolEffectBase::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

int ITzToolEffectBase::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOEFFECT* record = EffectRecord(head);
    delete record->blockList;
    if (record->userData)
        ReleaseUndoUserData(record->userData);
    PTzPointFree(record);
    return 1;
}

int ITzToolEffectBase::InitUndoData(ITzLayerImage* layer, uint16_t index)
{
    ReleasePendingUndoData();
    if (!layer)
        return 0;
    auto* record = static_cast<_tagITzUNDOEFFECT*>(PTzPointNew(sizeof(_tagITzUNDOEFFECT)));
    if (!record)
        return 0;
    *record = {{m_toolID}, index, layer->GetBlockType(), nullptr, 0, nullptr};
    m_undoData = &record->head;
    return 1;
}

int ITzToolEffectBase::BackupBlock(_tagITzEFFECTINFO* job, uint32_t block)
{
    _tagITzUNDOEFFECT* record = EffectRecord(m_undoData);
    if (!job || !record)
        return 0;
    if (!record->blockList)
        record->blockList = new (std::nothrow) ITzUndoTwoLevelBlockList(record->blockType);
    return record->blockList && job->layer->BackupBlockForUndo(block, &job->bounds, record->blockList) ? 1 : 0;
}

int ITzToolEffectBase::ReleaseUndoUserData(void* /*userData*/)
{
    return 1;
}
