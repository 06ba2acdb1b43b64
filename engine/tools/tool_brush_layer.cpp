// What a brush stroke needs of the floating layer: grown to cover the paint with its new
// blocks (and those of its preview cache) prepared by the tool, and previews and the
// picture's observers told about each push.
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_brush_base.h"

namespace {

// Blocks added by a grow: level 0 are the layer's own, others its preview cache's.
int PrepareGrownBlock(ITzLayerImage* layer, uint8_t level, uint32_t block, void* user)
{
    auto* tool = static_cast<ITzToolBrushBase*>(user);
    return level == 0 ? tool->PrepareBlockData(layer, block) : tool->PrepareCacheBlockData(layer, level, block);
}

bool Covers(const PTzRECT& frame, const PTzRECT& rect)
{
    return rect.left >= frame.left && rect.top >= frame.top && rect.right <= frame.right &&
           rect.bottom <= frame.bottom;
}

}  // namespace

ITzLayerImage* ITzToolBrushBase::GetPushLayer(ITzPicture* picture)
{
    ITzLayerBase* layer = picture ? picture->GetLayerbyIndex(picture->GetActiveLayerID()) : nullptr;
    return layer && layer->IsImageLayer() ? static_cast<ITzLayerImage*>(layer)->GetFloatingLayer() : nullptr;
}

int ITzToolBrushBase::GetRectDataReady(ITzLayerImage* layer, PTzRECT* rect, PTzRECT* clip)
{
    if (!layer || !rect)
        return 0;
    PTzRECT wanted = *rect;
    if (clip && !PTzRectIntersect(&wanted, clip, &wanted))
        return 0;
    if (PTzRectEmpty(&wanted))
        return 0;
    *rect = wanted;
    PTzRECT bounds;
    layer->GetBounds(&bounds);
    if (!PTzRectEmpty(&bounds) && Covers(bounds, wanted))
        return 1;
    _tagITzIMAGELAYERBLOCKINITCBSTR init = {PrepareGrownBlock, this};
    return layer->GrowSize(&wanted, &init) == 0 ? 1 : 0;
}

int ITzToolBrushBase::PrepareBlockData(ITzLayerImage* layer, uint32_t block)
{
    const _tagPTzCOLOR transparent = {layer ? layer->GetColorMode() : PTzCOLORMODE_ARGB, 0, {}};
    return layer ? layer->SetBlockColor(block, &transparent) : 0;
}

int ITzToolBrushBase::SetBlockClearColor(ITzLayerImage* layer, uint32_t block, const _tagPTzCOLOR& colour)
{
    const _tagPTzCOLOR clear = {PTzCOLORMODE_ARGB, 0, {colour.components[0], colour.components[1],
                                                       colour.components[2]}};
    return layer ? layer->SetBlockColor(block, &clear) : 0;
}

int ITzToolBrushBase::PrepareCacheBlockData(ITzLayerImage* layer, uint8_t level, uint32_t block)
{
    return level == m_displayCacheLevel ? PrepareBlockData(layer, block) : 0;
}

void ITzToolBrushBase::PrepareFloatingLayerCache(ITzLayerImage* cacheLayer)
{
    if (!cacheLayer)
        return;
    for (uint32_t block = 0, count = cacheLayer->GetBlockCount(); block < count; ++block)
        PrepareCacheBlockData(cacheLayer, m_displayCacheLevel, block);
}

int ITzToolBrushBase::UpdateCacheDataForDataChange(ITzLayerImage* layer, PTzRECT* rect, uint8_t flag)
{
    if (m_displayCacheLevel == 0 || !layer || !rect)
        return 0;
    return layer->UpdataPreviewForBrush(m_displayCacheLevel, rect, flag);
}

void ITzToolBrushBase::PreviewUpdateForDataChange(ITzPicture* picture, PTzRECT* rect)
{
    if (picture && rect)
        picture->DataChangedInBrush(m_displayCacheLevel, rect);
}

void ITzToolBrushBase::DataChanged(ITzPicture* picture, PTzRECT* rect)
{
    PreviewUpdateForDataChange(picture, rect);
}
