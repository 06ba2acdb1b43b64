// ITzToolClone: the clone stamp. Each dab copies the source layer's pixels from the place
// that lies at the same distance from the source point as the dab from the destination
// start point; the stroke's coverage gives the copied pixels their alpha.
#pragma once

#include <cstdint>

#include "base/broadcaster.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_base.h"

class LUMATRA_API ITzToolClone : public ITzToolBrushBase, public PTzListener {
public:
    // Stores the source layer (not owned; a null layer clears it) and, when given, the
    // source point in that layer's own coordinates, so that the pixel the user pointed
    // at is the one cloned even after the layer was moved. The tool listens to the layer
    // and forgets it when the layer announces its destruction.
    void SetSourceLayer(ITzLayerImage* layer, const PTzPOINT* point);
    ITzLayerImage* GetSourceLayer() const { return m_sourceLayer; }
    // Where in the picture the source point is painted.
    void SetDesStartPoint(const PTzPOINT* point);

    // The base's floating layer; null without a source layer, so no stroke starts.
    ITzLayerImage* CreateToolFloatLayer(ITzPicture* picture) override;
    // The floating layer's colours vary: the display level is rebuilt with all channels.
    int UpdateCacheDataForDataChange(ITzLayerImage* layer, PTzRECT* rect, uint8_t flag) override;
    // A block the stroke adds becomes white at alpha 0.
    int PrepareBlockData(ITzLayerImage* layer, uint32_t block) override;
    // The source's pixels under the dab (at the dab's strength) or under the cache's paint
    // (at 255, the cache zeroed after) copied into the floating layer with the coverage as
    // their alpha: FillRectDataFromLayer's result; 1 with nothing copied where the source
    // layer has no pixels, 0 without a source.
    int MergeBrushToImage(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job, uint8_t strength) override;
    int MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job) override;

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;

private:
    // Copies the source under the picture rectangle into the floating layer's rectangle
    // through the coverage mask.
    int CloneRect(ITzLayerImage* floating, const PTzRECT& pictureRect, const PTzRECT& layerRect,
                  _tagITzBITMAP* coverage, uint8_t strength);

    ITzLayerImage* m_sourceLayer = nullptr;  // not owned; listened to
    PTzPOINT m_sourcePoint = {0, 0};         // in the source layer's coordinates
    PTzPOINT m_desStartPoint = {0, 0};       // picture coordinates
};
