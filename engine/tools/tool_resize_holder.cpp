// The holder record of the resize and rotate tools: the exchange of layers between a
// picture and its holder, and the record's making, replay and release.
#include "engine/tools/tool_resize_holder.h"

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
#include "engine/pixels/layer_image.h"

namespace lumatra {

namespace {

_tagITzUNDOHOLDERPICTURE* HolderRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOHOLDERPICTURE*>(head);
}

// Leaving a picture takes a layer's link number; the link group is the layer's own.
void ExchangeLayerAt(ITzPicture& picture, ITzPicture& holder, uint16_t index)
{
    ITzLayerBase* mine = nullptr;
    ITzLayerBase* kept = nullptr;
    const uint16_t mineLink = picture.GetLayerbyIndex(index)->GetLinkNumber();
    const uint16_t keptLink = holder.GetLayerbyIndex(index)->GetLinkNumber();
    picture.RemoveLayer(index, &mine);
    holder.RemoveLayer(index, &kept);
    // Neither insertion can be refused: each picture has just lost a layer.
    picture.InsertLayer(index, kept);
    holder.InsertLayer(index, mine);
    kept->SetLinkNumber(keptLink);
    mine->SetLinkNumber(mineLink);
}

}  // namespace

bool ExchangeWithHolder(ITzPicture& picture, ITzPicture& holder, bool selection)
{
    const uint16_t count = picture.GetLayerCount();
    if (holder.GetLayerCount() != count)
        return false;
    const uint16_t active = picture.GetActiveLayerID();
    for (uint16_t index = 0; index < count; ++index)
        ExchangeLayerAt(picture, holder, index);
    if (selection) {
        ITzLayerImage* mine = picture.RemoveSelectionLayer();
        picture.SetSelectLayer(holder.RemoveSelectionLayer());
        holder.SetSelectLayer(mine);
    }
    // A listener that asked for the active layer while the top one was out has pulled
    // the index down.
    if (picture.GetActiveLayerID() != active)
        picture.SetActiveLayerID(active);
    return true;
}

_tagUNDODATABASE* CommitHolder(uint32_t toolID, ITzPicture& picture, ITzPicture* holder, const _tagPTzSIZE& newSize,
                               bool selection)
{
    if (!holder)
        return nullptr;
    auto* record = static_cast<_tagITzUNDOHOLDERPICTURE*>(PTzPointNew(sizeof(_tagITzUNDOHOLDERPICTURE)));
    if (!record)
        return nullptr;
    _tagPTzSIZE old = {0, 0};
    picture.GetSize(&old);
    if (!ExchangeWithHolder(picture, *holder, selection)) {
        PTzPointFree(record);
        return nullptr;
    }
    *record = {{toolID}, old.cx, old.cy, holder};
    picture.SetSize(&newSize);
    return &record->head;
}

int ReplayHolderRecord(ITzPicture* picture, _tagUNDODATABASE* head, bool selection)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOHOLDERPICTURE* record = HolderRecord(head);
    if (!record->holder || !ExchangeWithHolder(*picture, *record->holder, selection))
        return 0;
    _tagPTzSIZE current = {0, 0};
    picture->GetSize(&current);
    const _tagPTzSIZE next = {record->width, record->height};
    picture->SetSize(&next);
    record->width = current.cx;
    record->height = current.cy;
    return 1;
}

int ReleaseHolderRecord(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    ITzPicture::DestoryPicture(HolderRecord(head)->holder);
    PTzPointFree(head);
    return 1;
}

}  // namespace lumatra
