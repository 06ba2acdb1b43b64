// The auto-merge tool: a merge whose record keeps the floating layer, and the replays
// that move that floating layer between the record and the layer.
#include "engine/tools/tool_auto_merge.h"

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

namespace {

// The record index of a layer the picture holds, false when it holds it nowhere.
bool IndexOfLayer(ITzPicture* picture, const ITzLayerImage* layer, uint16_t* index)
{
    const uint16_t count = picture->GetLayerCount();
    for (uint16_t i = 0; i < count; ++i) {
        if (picture->GetLayerbyIndex(i) == layer) {
            *index = i;
            return true;
        }
    }
    *index = ITzUNDOFLOATING_SELECTION_LAYER;
    return picture->GetSelectionLayer(0) == layer;
}

}  // namespace

ITzToolAutoMerge::ITzToolAutoMerge()
{
    m_toolID = ITzTOOLID_AUTO_MERGE;
}

// The base destructor could no longer reach this kind's ReleaseUndoUserData.
ITzToolAutoMerge::~ITzToolAutoMerge()
{
    ReleasePendingUndoData();
}

int ITzToolAutoMerge::MergeFloatingLayer(ITzPicture* picture)
{
    return MergeActiveLayer(picture, true);
}

int ITzToolAutoMerge::MergeLayerFloating(ITzPicture* picture, ITzLayerImage* layer)
{
    uint16_t index = 0;
    if (!picture || !layer || !IndexOfLayer(picture, layer, &index))
        return 0;
    return MergeLayerAt(picture, layer, index, true);
}

int ITzToolAutoMerge::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOFLOATING* record = FloatingRecord(head);
    ITzLayerImage* layer = SwapRecord(picture, record);
    if (!layer)
        return 0;
    // A layer that got a floating layer of its own meanwhile keeps it; the record then
    // keeps this one.
    if (record->userData && layer->SetFloatingLayer(static_cast<ITzLayerImage*>(record->userData)))
        record->userData = nullptr;
    return 1;
}

int ITzToolAutoMerge::DoRedo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOFLOATING* record = FloatingRecord(head);
    ITzLayerImage* layer = SwapRecord(picture, record);
    if (!layer)
        return 0;
    // Left on the layer, the floating layer would lie over pixels it is already merged
    // into, and the next merge would apply it twice. A floating layer the undo could not
    // give back is still in the record, and then the layer's own one is not this step's.
    if (!record->userData)
        record->userData = layer->RemoveFloatingLayer();
    return 1;
}

int ITzToolAutoMerge::ReleaseUndoUserData(void* userData)
{
    ITzLayerBase::DestroyLayer(static_cast<ITzLayerImage*>(userData));
    return 1;
}
