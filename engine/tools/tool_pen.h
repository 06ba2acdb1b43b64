// ITzToolPen: the brush stroke engine with a floating layer of the front colour, whose
// alpha the stroke builds; the pencil and its hard tips derive from it.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_base.h"

class LUMATRA_API ITzToolPen : public ITzToolBrushBase {
public:
    // The floating layer's preview-cache layer is made from the floating layer as it
    // grows; nothing to prepare at the start.
    void PrepareFloatingLayerCache(ITzLayerImage* cacheLayer) override;
    // A block the stroke adds to the floating layer (or, through the base, to its
    // preview-cache layer at the display level) becomes the front colour at alpha 0: 1,
    // or 0 when the layer refuses.
    int PrepareBlockData(ITzLayerImage* layer, uint32_t block) override;
};
