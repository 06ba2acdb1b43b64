// What an image layer asks of its preview cache, the reduced copies of the layer that
// zoomed-out drawing reads. Layers make their cache through the installed maker, the
// preview-cache manager's own unless another is installed; without a maker layers have
// no cache and draw from their own blocks.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

class ITzLayerImage;
struct _tagITzIMAGELAYERBLOCKINITCBSTR;

class LUMATRA_API ITzPreviewCacheLink {
public:
    virtual ~ITzPreviewCacheLink();

    // Gives the opacity to every existing level: 1.
    virtual int SetOpacity(uint8_t opacity) = 0;
    // The cache layer of levels 1 to 8, made on first use; null for other levels.
    virtual ITzLayerImage* GetCacheLayer(uint8_t level) = 0;
    // Drops the cached blocks under a picture rectangle: 1, 0 for null.
    virtual int BlockDataUpdated(const PTzRECT* pictureRect) = 0;
    virtual int RebuildPreview(const PTzRECT* pictureRect, int flag) = 0;
    virtual int UpdataPreviewForBrush(uint8_t level, const PTzRECT* pictureRect, int flag) = 0;
    virtual int MoveCore(const _tagPTzOFFSET* offset) = 0;
    // Every level resized to the source layer's new bounds.
    virtual int SizeChanged(const PTzRECT* oldBounds) = 0;
    virtual int SizeGrowed(_tagITzIMAGELAYERBLOCKINITCBSTR* init) = 0;
    virtual uint32_t PreparePreviewCachePriority() = 0;
    virtual void* PreparePreviewCacheStart() = 0;
    virtual int PreparePreviewCacheRun(void* job, uint32_t* built) = 0;
    virtual int PreparePreviewCacheEnd(void* job) = 0;
};

// Makes the cache of a source layer; null when it cannot.
using ITzPreviewCacheMaker = ITzPreviewCacheLink* (*)(ITzLayerImage* source);

// Installs the maker (null removes it); layers that made their cache keep it.
LUMATRA_C void ITzSetPreviewCacheMaker(ITzPreviewCacheMaker maker);
LUMATRA_C ITzPreviewCacheMaker ITzGetPreviewCacheMaker();
