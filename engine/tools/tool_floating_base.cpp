// The floating-layer tools' first stage and their record: making the floating layer,
// merging it with one undo step, and the pending record's life.
#include "engine/tools/tool_floating_base.h"

#include <new>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/undo_block_list.h"

namespace {

// The active layer when it is an image layer.
ITzLayerImage* ActiveImageLayer(ITzPicture* picture, uint16_t* index)
{
    *index = picture->GetActiveLayerID();
    ITzLayerBase* layer = picture->GetLayerbyIndex(*index);
    return layer && layer->IsImageLayer() ? static_cast<ITzLayerImage*>(layer) : nullptr;
}

}  // namespace

ITzToolFloatingBase::ITzToolFloatingBase()
{
    m_toolID = ITzTOOLID_FLOATING;
}

ITzToolFloatingBase::~ITzToolFloatingBase()
{
    ReleasePendingUndoData();
}

ITzLayerImage* ITzToolFloatingBase::CreateFloatingLayer(ITzPicture* picture)
{
    uint16_t index = 0;
    ITzLayerImage* layer = picture ? ActiveImageLayer(picture, &index) : nullptr;
    return layer ? layer->CreateFloatingLayer() : nullptr;
}

int ITzToolFloatingBase::MergeFloatingLayer(ITzPicture* picture)
{
    return MergeActiveLayer(picture, false);
}

int ITzToolFloatingBase::MergeActiveLayer(ITzPicture* picture, bool keepFloating)
{
    uint16_t index = 0;
    ITzLayerImage* layer = picture ? ActiveImageLayer(picture, &index) : nullptr;
    return layer ? MergeLayerAt(picture, layer, index, keepFloating) : 0;
}

int ITzToolFloatingBase::MergeLayerAt(ITzPicture* picture, ITzLayerImage* layer, uint16_t index,
                                      bool keepFloating)
{
    _tagITzUNDOFLOATING* record = FloatingRecord(GetUndoData(layer));
    if (!record)
        return 0;
    record->layerIndex = index;
    layer->GetBounds(&record->bounds);
    ITzUndoBlockListBase* list = GetUndoBlockList(record);
    // The layer merges all or nothing: without a floating layer back it kept it, and
    // the blocks it saved so far mean nothing.
    ITzLayerImage* floating = list ? layer->MergeFloatingLayer(list) : nullptr;
    if (!floating) {
        ReleasePendingUndoData();
        return 0;
    }
    if (keepFloating)
        record->userData = floating;
    else
        ITzLayerBase::DestroyLayer(floating);
    // A history that refuses the record drops the step, but the pixels are merged.
    SaveUndoData(picture, 1);
    return 1;
}

_tagUNDODATABASE* ITzToolFloatingBase::GetUndoData(ITzLayerImage* layer)
{
    if (!m_undoData)
        InitUndoData(layer);
    return m_undoData;
}

int ITzToolFloatingBase::InitUndoData(ITzLayerImage* layer)
{
    ReleasePendingUndoData();
    if (!layer)
        return 0;
    auto* record = static_cast<_tagITzUNDOFLOATING*>(PTzPointNew(sizeof(_tagITzUNDOFLOATING)));
    if (!record)
        return 0;
    *record = {{m_toolID}, 0, {}, layer->GetBlockType(), nullptr, 0, nullptr};
    m_undoData = &record->head;
    return 1;
}

int ITzToolFloatingBase::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOFLOATING* record = FloatingRecord(head);
    delete record->blockList;
    if (record->userData)
        ReleaseUndoUserData(record->userData);
    PTzPointFree(record);
    return 1;
}

ITzUndoBlockListBase* ITzToolFloatingBase::GetUndoBlockList(_tagITzUNDOFLOATING* record)
{
    if (!record)
        return nullptr;
    if (!record->blockList)
        record->blockList = new (std::nothrow) ITzUndoTwoLevelBlockList(record->blockType);
    return record->blockList;
}

int ITzToolFloatingBase::ReleaseUndoUserData(void* /*userData*/)
{
    return 1;
}

void ITzToolFloatingBase::DiscardFloatingLayer(ITzPicture* picture)
{
    uint16_t index = 0;
    ITzLayerImage* layer = picture ? ActiveImageLayer(picture, &index) : nullptr;
    if (ITzLayerImage* floating = layer ? layer->RemoveFloatingLayer() : nullptr)
        ITzLayerBase::DestroyLayer(floating);
}
