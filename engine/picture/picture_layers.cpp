// The picture's layer stack: insertion, removal and moves with their messages, the
// active layer, link numbers and the stack edits made as undo steps.
#include <algorithm>
#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/tool_layer_manager.h"

uint16_t ITzPicture::GetLayerCount()
{
    return m_layerCount;
}

ITzLayerBase* ITzPicture::GetLayerbyIndex(uint16_t index)
{
    return index < m_layerCount ? m_layers[index] : nullptr;
}

int ITzPicture::CheckInsertable(const ITzLayerBase* layer) const
{
    if (!layer)
        return ITzERR_INVALID;
    if (m_layerCount >= ITzPICTURE_MAX_LAYERS)
        return ITzERR_LAYER_ARRAY_FULL;
    // A second entry for one layer would free it twice, and so would a second picture.
    if (layer->GetPicture() || std::find(m_layers, m_layers + m_layerCount, layer) != m_layers + m_layerCount)
        return ITzERR_INVALID;
    return 0;
}

void ITzPicture::ReportLayerBounds(ITzLayerBase* layer)
{
    PTzRECT bounds;
    layer->GetBounds(&bounds);
    DataChanged(&bounds, 0);
}

int ITzPicture::InsertLayer(uint16_t index, ITzLayerBase* layer)
{
    if (const int refusal = CheckInsertable(layer))
        return refusal;
    index = std::min(index, m_layerCount);
    std::copy_backward(m_layers + index, m_layers + m_layerCount, m_layers + m_layerCount + 1);
    m_layers[index] = layer;
    ++m_layerCount;
    layer->SetPicture(this);
    if (layer->GetLinkNumber() == 0xFFFF)
        layer->SetLinkNumber(GetAvailableLinkNum());
    AddToBroadcaster(layer);
    uint32_t wideIndex = index;
    Broadcast(ITzPICTMSG_LAYER_INSERTED, &wideIndex, this);
    ReportLayerBounds(layer);
    return 0;
}

int ITzPicture::RemoveLayer(uint16_t index, ITzLayerBase** out)
{
    if (index >= m_layerCount) {
        if (out)
            *out = nullptr;
        return PTzFail(ITzERR_INVALID);
    }
    ITzLayerBase* layer = m_layers[index];
    layer->SetLinkNumber(0xFFFF);
    layer->SetPicture(nullptr);
    std::copy(m_layers + index + 1, m_layers + m_layerCount, m_layers + index);
    m_layers[--m_layerCount] = nullptr;
    if (out)
        *out = layer;
    RemoveFromBroadcaster(layer);
    _tagITzPICTLAYERREMOVED removed = {index, layer};
    Broadcast(ITzPICTMSG_LAYER_REMOVED, &removed, this);
    ReportLayerBounds(layer);
    return 0;
}

int ITzPicture::MoveLayer(uint16_t from, uint16_t to)
{
    if (from >= m_layerCount || to >= m_layerCount || from == to)
        return PTzFail(ITzERR_INVALID);
    ITzLayerBase* const moved = m_layers[from];
    if (from < to)
        std::copy(m_layers + from + 1, m_layers + to + 1, m_layers + from);
    else
        std::copy_backward(m_layers + to, m_layers + from, m_layers + from + 1);
    m_layers[to] = moved;
    _tagITzPICTLAYERMOVED move = {from, to};
    Broadcast(ITzPICTMSG_LAYER_MOVED, &move, this);
    ReportLayerBounds(moved);
    SetActiveLayerID(to);
    return 0;
}

uint16_t ITzPicture::GetActiveLayerID()
{
    if (m_layerCount == 0)
        return 0;
    if (m_activeIndex >= m_layerCount)
        m_activeIndex = m_layerCount - 1;
    return m_activeIndex;
}

int ITzPicture::SetActiveLayerID(uint16_t index)
{
    index = m_layerCount == 0 ? 0 : std::min<uint16_t>(index, m_layerCount - 1);
    const uint16_t current = GetActiveLayerID();
    if (index == current)
        return 0;
    if (ITzLayerBase* old = GetLayerbyIndex(current))
        old->Deactive();
    m_activeIndex = index;
    if (ITzLayerBase* active = GetLayerbyIndex(index))
        active->SetActive();
    Broadcast(ITzPICTMSG_ACTIVE_CHANGED, nullptr, this);
    return 0;
}

uint16_t ITzPicture::GetAvailableLinkNum()
{
    // One of the numbers 1 to count + 1 is free: marking those in use finds the lowest in
    // one pass, where asking every layer about every number grew with the square.
    bool taken[ITzPICTURE_MAX_LAYERS + 2] = {};
    for (uint16_t i = 0; i < m_layerCount; ++i)
        if (const uint16_t link = m_layers[i]->GetLinkNumber(); link <= m_layerCount + 1)
            taken[link] = true;
    uint16_t candidate = 1;
    while (taken[candidate])
        ++candidate;
    return candidate;
}

uint16_t ITzPicture::IndexAboveActive()
{
    return m_layerCount == 0 ? 0 : static_cast<uint16_t>(GetActiveLayerID() + 1);
}

bool ITzPicture::IsArgb32() const
{
    return m_colorMode == PTzCOLORMODE_ARGB && m_bitDepth == 32;
}

ITzLayerImage* ITzPicture::CreateImagelayer()
{
    return IsArgb32() ? new (std::nothrow) ITzLayerImageARGB() : nullptr;
}

int ITzPicture::NewImageLayer(const PTzChar* name)
{
    if (!IsArgb32())
        return 0;
    if (m_layerCount >= ITzPICTURE_MAX_LAYERS)
        return PTzFailWithZero(ITzERR_TOO_MANY_LAYERS);
    std::unique_ptr<ITzLayerImage, ITzLayerDestroyer> layer(CreateImagelayer());
    if (!layer || !DoInsertLayer(IndexAboveActive(), layer.get()))
        return 0;
    layer.release()->SetName(name);
    return 1;
}

int ITzPicture::DeleteCurrentLayer()
{
    if (m_layerCount < 2)
        return PTzFailWithZero(ITzERR_ONLY_LAYER);
    return DoRemoveLayer(GetActiveLayerID(), nullptr);
}

int ITzPicture::LoadNeedConvertColor_1(_tagPTzCOLORMODE* mode, uint16_t* bitDepth)
{
    ITzLayerBase* bottom = GetLayerbyIndex(0);
    if (!bottom || !bottom->IsImageLayer())
        return 0;
    return static_cast<ITzLayerImage*>(bottom)->LoadNeedConvertColor(mode, bitDepth);
}

// The undoable forms: a short-lived layer-manager tool applies each edit and records its step.

int ITzPicture::DoInsertLayer(uint16_t index, ITzLayerBase* layer)
{
    ITzToolLayerManager manager;
    return manager.InsertLayer(this, index, layer) ? 1 : 0;
}

int ITzPicture::DoRemoveLayer(uint16_t index, ITzLayerBase** out)
{
    ITzLayerBase* layer = GetLayerbyIndex(index);
    ITzToolLayerManager manager;
    if (!layer || !manager.RemoveLayer(this, index))
        return 0;
    if (out)
        *out = layer;
    return 1;
}

int ITzPicture::DoMoveLayer(uint16_t from, uint16_t to)
{
    ITzToolLayerManager manager;
    return manager.MoveLayer(this, from, to) ? 1 : 0;
}

int ITzPicture::DoSetLayerInfo(ITzLayerBase* layer, _tagITzLAYERINFO* info)
{
    ITzToolLayerManager manager;
    return manager.SetLayerInfo(this, layer, info) ? 1 : 0;
}

int ITzPicture::DoSetLayerVisibility(ITzLayerBase* layer, int visible)
{
    ITzToolLayerManager manager;
    return manager.SetLayerVisibility(this, layer, visible) ? 1 : 0;
}

int ITzPicture::DoSetLayerLink(ITzLayerBase* layer, int link)
{
    ITzToolLayerManager manager;
    return manager.SetLayerLink(this, layer, link) ? 1 : 0;
}
