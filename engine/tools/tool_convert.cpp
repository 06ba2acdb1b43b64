// The conversion tools: a layer drawn through a rendered image gives that image up, which
// takes the layer's place; the record keeps the layer, so undo gives the image back to it.
#include "engine/tools/tool_convert.h"

#include <new>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_backup_list.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_layer_manager_stack.h"

namespace {

_tagITzUNDOCONVERT* ConvertRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOCONVERT*>(head);
}

// The image stands for the layer in the stack: it shows as the layer did and stays in
// its link group.
void CarryProperties(ITzLayerBase& from, ITzLayerBase& to)
{
    _tagITzLAYERINFO info;
    from.GetLayerInfo(&info);
    to.Setvisibility(int(info.visible));
    to.SetOpacity(info.opacity);
    to.SetMergeType(ITzMERGETYPE(info.mergeType));
    to.SetName(info.name);
    to.SetLinkNumber(from.GetLinkNumber());
}

// Puts `image` in the place of the picture's layer at the index and gives that layer
// back; null with the picture unchanged when it cannot.
ITzLayerBase* ReplaceLayer(ITzPicture& picture, uint16_t index, ITzLayerBase* image)
{
    ITzLayerBase* old = lumatra::TakeLayerOut(picture, index);
    if (!old)
        return nullptr;
    if (picture.InsertLayer(index, image) != 0) {
        picture.InsertLayer(index, old);
        return nullptr;
    }
    return old;
}

// The layer at the index gives up its rendered image, which takes its place: the layer,
// now the caller's, or null (picture unchanged) for an image layer, a layer without a
// rendered image or a refused replacement.
ITzLayerBase* ConvertPlace(ITzPicture& picture, uint16_t index)
{
    ITzLayerBase* layer = picture.GetLayerbyIndex(index);
    if (!layer || layer->IsImageLayer())
        return nullptr;
    ITzLayerImage* image = layer->RemovePerviewLayer();
    if (!image)
        return nullptr;
    CarryProperties(*layer, *image);
    if (!ReplaceLayer(picture, index, image)) {
        layer->SetPreviewLayer(image);
        return nullptr;
    }
    return layer;
}

// The image at the index goes back to `layer` as its rendered image and the layer takes
// its place again: false with the picture unchanged when the place holds no image layer
// or the layer does not take the image.
bool RestorePlace(ITzPicture& picture, uint16_t index, ITzLayerBase* layer)
{
    ITzLayerBase* present = picture.GetLayerbyIndex(index);
    if (!present || !present->IsImageLayer())
        return false;
    auto* image = static_cast<ITzLayerImage*>(present);
    // The layer rejoins the link group the image carries now.
    layer->SetLinkNumber(image->GetLinkNumber());
    if (!ReplaceLayer(picture, index, layer))
        return false;
    ITzLayerImage* displaced = layer->SetPreviewLayer(image);
    if (displaced == image) {  // a kind that keeps no image: back as it was
        ReplaceLayer(picture, index, image);
        return false;
    }
    ITzLayerBase::DestroyLayer(displaced);
    return true;
}

// Takes back every conversion the record holds, newest first; the items then hold no layer.
void RestoreAll(ITzPicture& picture, ITzLayerBackupList& list)
{
    for (uint32_t i = list.GetItemCount(); i-- > 0;) {
        _tagITzLAYERBACKUPINFO item = list.ItemAt(i);
        if (item.layer && RestorePlace(picture, item.index, item.layer)) {
            item.layer = nullptr;
            list.SetItemByIndex(i, &item, 0);
        }
    }
}

}  // namespace

ITzToolAutoConvert::ITzToolAutoConvert()
{
    m_toolID = ITzTOOLID_AUTO_CONVERT;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolAutoConvert::~ITzToolAutoConvert()
{
    ReleasePendingUndoData();
}

bool ITzToolAutoConvert::TakesOwnTicket() const
{
    return false;
}

int ITzToolAutoConvert::ConvertLayer(ITzToolAutoConvert* tool, uint16_t index, ITzPicture* picture)
{
    if (!tool || !picture || index >= picture->GetLayerCount())
        return 0;
    return tool->Convert(*picture, index, uint16_t(index + 1));
}

int ITzToolAutoConvert::ConvertAllLayers(ITzPicture* picture, ITzToolAutoConvert* tool)
{
    if (!tool || !picture)
        return 0;
    return tool->Convert(*picture, 0, picture->GetLayerCount());
}

int ITzToolAutoConvert::Convert(ITzPicture& picture, uint16_t first, uint16_t last)
{
    if (!TakesOwnTicket())
        return ConvertUnderTicket(picture, first, last);
    const lumatra::ToolEditScope edit(*this, &picture);
    return edit.ok() ? ConvertUnderTicket(picture, first, last) : 0;
}

int ITzToolAutoConvert::ConvertUnderTicket(ITzPicture& picture, uint16_t first, uint16_t last)
{
    ReleasePendingUndoData();
    auto* record = static_cast<_tagITzUNDOCONVERT*>(PTzPointNew(sizeof(_tagITzUNDOCONVERT)));
    if (!record)
        return 0;
    *record = {{m_toolID}, new (std::nothrow) ITzLayerBackupList()};
    m_undoData = &record->head;
    if (!record->layers) {
        ReleasePendingUndoData();
        return 0;
    }
    ITzLayerBackupList& list = *record->layers;
    bool failed = false;
    for (uint16_t index = first; index < last && !failed; ++index) {
        ITzLayerBase* replaced = ConvertPlace(picture, index);
        const _tagITzLAYERBACKUPINFO item = {index, replaced};
        if (replaced && list.InsertItem(&item, 0) != 0) {
            RestorePlace(picture, index, replaced);
            failed = true;
        }
    }
    if (failed || list.GetItemCount() == 0 || !picture.SaveUndoData(m_undoData, 1)) {
        // A step the history does not keep could never be undone: take it back.
        RestoreAll(picture, list);
        ReleasePendingUndoData();
        return 0;
    }
    m_undoData = nullptr;
    return 1;
}

int ITzToolAutoConvert::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head || !ConvertRecord(head)->layers)
        return 0;
    ITzLayerBackupList& list = *ConvertRecord(head)->layers;
    int changed = 0;
    for (uint32_t i = list.GetItemCount(); i-- > 0;) {
        _tagITzLAYERBACKUPINFO item = list.ItemAt(i);
        if (!item.layer || !RestorePlace(*picture, item.index, item.layer))
            continue;
        item.layer = nullptr;
        list.SetItemByIndex(i, &item, 0);
        picture->SetActiveLayerID(item.index);
        changed = 1;
    }
    return changed;
}

int ITzToolAutoConvert::DoRedo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head || !ConvertRecord(head)->layers)
        return 0;
    ITzLayerBackupList& list = *ConvertRecord(head)->layers;
    int changed = 0;
    for (uint32_t i = 0; i < list.GetItemCount(); ++i) {
        _tagITzLAYERBACKUPINFO item = list.ItemAt(i);
        if (item.layer)
            continue;
        item.layer = ConvertPlace(*picture, item.index);
        if (!item.layer)
            continue;
        list.SetItemByIndex(i, &item, 0);
        changed = 1;
    }
    return changed;
}

int ITzToolAutoConvert::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOCONVERT* record = ConvertRecord(head);
    if (record->layers) {
        for (uint32_t i = 0; i < record->layers->GetItemCount(); ++i)
            ITzLayerBase::DestroyLayer(record->layers->ItemAt(i).layer);
        delete record->layers;
    }
    PTzPointFree(record);
    return 1;
}

ITzToolConvert::ITzToolConvert()
{
    m_toolID = ITzTOOLID_CONVERT;
}

ITzToolConvert::~ITzToolConvert() = default;

bool ITzToolConvert::TakesOwnTicket() const
{
    return true;
}
