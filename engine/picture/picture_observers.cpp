// Who hears about the picture's changes: the data-change observers, and the picture's
// own listening to its layers and its selection layer, which it passes on to them.
#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"

namespace {

constexpr uint16_t kObserverPageBytes = 1024;

template <typename Call>
void ForEachHandler(PTzTWOLEVELHANDLE list, Call call)
{
    // A handler may remove itself or another one while it is called: re-read the count.
    for (uint32_t i = 0; i < PTzTwoLevelHandleGetCount(list); ++i) {
        ITzPictDataChangeHandler* handler = nullptr;
        if (PTzTwoLevelHandleGetItemData(list, i, &handler) == 0 && handler)
            call(handler);
    }
}

}  // namespace

int ITzPicture::InsertDataChangeHandler(ITzPictDataChangeHandler* handler)
{
    if (!handler)
        return 0;
    if (!m_observers)
        m_observers = PTzCreatTwoLevelHandle_1(sizeof(handler), kObserverPageBytes);
    if (!m_observers)
        return 0;
    return PTzTwoLevelHandleInsertItem(m_observers, PTzTwoLevelHandleGetCount(m_observers), &handler) == 0;
}

int ITzPicture::RemoveDataChangeHandler(ITzPictDataChangeHandler* handler)
{
    if (!handler || !m_observers)
        return 0;
    for (uint32_t i = 0, count = PTzTwoLevelHandleGetCount(m_observers); i < count; ++i) {
        ITzPictDataChangeHandler* entry = nullptr;
        if (PTzTwoLevelHandleGetItemData(m_observers, i, &entry) == 0 && entry == handler)
            return PTzTwoLevelHandleRemoveItems(m_observers, i, 1) == 0;
    }
    return 0;
}

void ITzPicture::DataChanged(const PTzRECT* rect, int flag)
{
    // Whose pixels changed is not said: any layer's may have.
    ++m_backdropStamp;
    TellDataChanged(rect, flag);
}

void ITzPicture::TellDataChanged(const PTzRECT* rect, int flag)
{
    ForEachHandler(m_observers, [&](ITzPictDataChangeHandler* handler) { handler->DataChanged(rect, flag); });
}

void ITzPicture::DataChangedSelect(const PTzRECT* rect, int flag)
{
    ++m_backdropStamp;
    ForEachHandler(m_observers,
                   [&](ITzPictDataChangeHandler* handler) { handler->DataChangedSelection(rect, flag); });
}

void ITzPicture::DataChangedInBrush(uint8_t /*unused*/, const PTzRECT* rect)
{
    // The brush tools paint the active layer (through its floating layer).
    if (rect)
        TellDataChanged(rect, 0);
}

int ITzPicture::Listen(uint32_t message, void* param, PTzBroadcaster* sender)
{
    // What the active layer or its floating layer says of itself (pixels, opacity, merge
    // type, visibility, name) changes the look of that layer alone.
    ITzLayerBase* active = GetLayerbyIndex(GetActiveLayerID());
    ITzLayerImage* floating = active && active->IsImageLayer() ? static_cast<ITzLayerImage*>(active)->GetFloatingLayer()
                                                               : nullptr;
    const bool fromActive = active && (sender == static_cast<PTzBroadcaster*>(active) ||
                                       (floating && sender == static_cast<PTzBroadcaster*>(floating)));
    if (!fromActive || message == ITzLAYERMSG_DESTROY)
        ++m_backdropStamp;
    const auto* change = static_cast<const _tagITzLAYERCHANGEDRECT*>(param);
    if (!change)
        return 1;
    const int flag = static_cast<int>(change->flag);
    if (message == ITzLAYERMSG_DATA)
        TellDataChanged(&change->rect, flag);
    else if (message == ITzLAYERMSG_SELECTION)
        DataChangedSelect(&change->rect, flag);
    return 1;
}

int ITzPicture::Broadcast(uint32_t message, void* param, PTzBroadcaster* sender)
{
    ++m_backdropStamp;
    return PTzBroadcaster::Broadcast(message, param, sender);
}

ITzLayerImage* ITzPicture::GetSelectionLayer(int create)
{
    if (m_selection || !create)
        return m_selection;
    ITzLayerBase* made = ITzLayerBase::CreateLayer(ITzLAYERTYPE_SELECT);
    if (!made)
        return nullptr;
    if (!made->IsImageLayer()) {
        ITzLayerBase::DestroyLayer(made);
        return nullptr;
    }
    SetSelectLayer(static_cast<ITzLayerImage*>(made));
    return m_selection;
}

ITzLayerImage* ITzPicture::SetSelectLayer(ITzLayerImage* layer)
{
    if (layer && layer == m_selection)
        return nullptr;  // nothing is replaced, so nothing changes hands
    ITzLayerImage* removed = RemoveSelectionLayer();
    m_selection = layer;
    if (layer) {
        layer->SetPicture(this);
        AddToBroadcaster(layer);
    }
    return removed;
}

ITzLayerImageSelect* ITzPicture::GetSelectionMask() const
{
    return dynamic_cast<ITzLayerImageSelect*>(m_selection);
}

ITzLayerImage* ITzPicture::RemoveSelectionLayer()
{
    ITzLayerImage* selection = m_selection;
    if (!selection)
        return nullptr;
    PTzRECT bounds;
    selection->GetBounds(&bounds);
    DataChangedSelect(&bounds, 0);
    RemoveFromBroadcaster(selection);
    selection->SetPicture(nullptr);
    m_selection = nullptr;
    return selection;
}
