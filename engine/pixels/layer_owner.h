// ITzLayerOwner: the picture services a layer calls back into. The picture derives from
// it; layers hold it as their owner and never reach the picture any other way.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/zoom_level.h"

class ITzLayerBase;
class ITzLayerImage;
struct _tagITzLAYERINFO;

class LUMATRA_API ITzLayerOwner {
public:
    virtual ~ITzLayerOwner() = default;

    virtual uint16_t GetLayerCount() = 0;
    // Null at or above the count.
    virtual ITzLayerBase* GetLayerbyIndex(uint16_t index) = 0;
    // 0 without layers.
    virtual uint16_t GetActiveLayerID() = 0;
    // The smallest link number from 1 upward that no layer of the owner carries.
    virtual uint16_t GetAvailableLinkNum() = 0;
    // The horizontal and vertical zoom ratios of a preview-cache level for a zoom; each
    // output is written when not null. 1, or 0 when the owner refuses.
    virtual int GetCacheLevelZoom(uint32_t level, _tagITzZOOMLEVEL* zoom, _tagITzZOOMLEVEL* zoomX,
                                  _tagITzZOOMLEVEL* zoomY) = 0;
    // The selection layer, made first when there is none and `create` is nonzero.
    virtual ITzLayerImage* GetSelectionLayer(int create) = 0;

    // Undoable layer-property edits: each records an undo step, then applies the change
    // through the layer's plain setters. They give the edit's result.
    virtual int DoSetLayerInfo(ITzLayerBase* layer, _tagITzLAYERINFO* info) = 0;
    virtual int DoSetLayerVisibility(ITzLayerBase* layer, int visible) = 0;
    // link 0 unlinks the layer from the active layer, nonzero links it.
    virtual int DoSetLayerLink(ITzLayerBase* layer, int link) = 0;

    // Merges the layer's floating layer into it as one undo step, under the editing
    // ticket the caller already holds: 1 when merged (the step keeps the floating layer
    // and the layer has none), 0 when refused or failed (the layer keeps it). An owner
    // without an undo history refuses.
    virtual int AutoMergeFloatingLayer(ITzLayerImage* /*layer*/) { return 0; }
};
