// The clone stamp's source: kept while its layer lives, and read through the stroke's
// coverage into the floating layer with the planar colour copy.
#include "engine/tools/tool_clone.h"

#include <limits>

#include "engine/pixels/layer_image.h"

namespace {

bool FitsInt32(int64_t value)
{
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

}  // namespace

void ITzToolClone::SetSourceLayer(ITzLayerImage* layer, const PTzPOINT* point)
{
    if (layer != m_sourceLayer) {
        if (m_sourceLayer)
            RemoveFromBroadcaster(m_sourceLayer);
        // A layer the tool cannot listen to could die unnoticed: it is not kept.
        m_sourceLayer = layer && AddToBroadcaster(layer) ? layer : nullptr;
    }
    if (point)
        m_sourcePoint = *point;
}

void ITzToolClone::SetDesStartPoint(const PTzPOINT* point)
{
    if (point)
        m_desStartPoint = *point;
}

int ITzToolClone::Listen(uint32_t message, void* /*param*/, PTzBroadcaster* sender)
{
    if (message == ITzLAYERMSG_DESTROY && sender == m_sourceLayer)
        SetSourceLayer(nullptr, nullptr);
    return 1;
}

ITzLayerImage* ITzToolClone::CreateToolFloatLayer(ITzPicture* picture)
{
    return m_sourceLayer ? ITzToolBrushBase::CreateToolFloatLayer(picture) : nullptr;
}

int ITzToolClone::UpdateCacheDataForDataChange(ITzLayerImage* layer, PTzRECT* rect, uint8_t /*flag*/)
{
    return ITzToolBrushBase::UpdateCacheDataForDataChange(layer, rect, 16);
}

int ITzToolClone::PrepareBlockData(ITzLayerImage* layer, uint32_t block)
{
    const _tagPTzCOLOR white = {PTzCOLORMODE_ARGB, 255, {255, 255, 255}};
    return SetBlockClearColor(layer, block, white);
}

int ITzToolClone::MergeBrushToImage(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job, uint8_t strength)
{
    if (!job || !job->floatingLayer)
        return 0;
    return CloneRect(job->floatingLayer, job->rect, job->layerRect, &job->dab, strength);
}

int ITzToolClone::MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job)
{
    if (!job || !job->floatingLayer)
        return 0;
    _tagITzBITMAP paint;
    int cloned = 0;
    if (CachePaint(job->rect, &paint))
        cloned = CloneRect(job->floatingLayer, job->rect, job->layerRect, &paint, 255);
    ZeroCache();
    return cloned;
}

int ITzToolClone::CloneRect(ITzLayerImage* floating, const PTzRECT& pictureRect, const PTzRECT& layerRect,
                            _tagITzBITMAP* coverage, uint8_t strength)
{
    if (!m_sourceLayer)
        return 0;
    // The picture point q shows the source layer's pixel q + (source point - start).
    const int64_t shiftX = int64_t(m_sourcePoint.x) - m_desStartPoint.x;
    const int64_t shiftY = int64_t(m_sourcePoint.y) - m_desStartPoint.y;
    const int64_t left = pictureRect.left + shiftX, top = pictureRect.top + shiftY;
    const int64_t right = pictureRect.right + shiftX, bottom = pictureRect.bottom + shiftY;
    // No layer reaches beyond the coordinate range: the source is transparent there.
    if (!FitsInt32(left) || !FitsInt32(top) || !FitsInt32(right) || !FitsInt32(bottom))
        return 1;
    const PTzRECT sourceRect = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    // Nor is there anything to copy where the source layer has no pixels at all.
    PTzRECT sourceBounds, common;
    if (m_sourceLayer->GetLBounds(&sourceBounds) != 0 || !PTzRectIntersect(&sourceRect, &sourceBounds, &common))
        return 1;
    _tagITzMERGEDATA copy = {ITzMERGE_COLOR_COPY, 255};
    return floating->FillRectDataFromLayer(&layerRect, m_sourceLayer, &sourceRect, &copy, coverage, strength);
}
