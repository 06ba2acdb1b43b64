// ITzToolErase: the eraser. Mode 0 paints the back colour through the ordinary floating
// layer; mode 1 paints coverage into a one-channel floating layer that takes the layer's
// alpha away where it is merged (paint mode 8).
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_base.h"

enum ITzTOOLERASEMODE : uint32_t {
    ITzERASE_BACK_COLOR = 0,  // paint the back colour
    ITzERASE_ALPHA = 1,       // erase the alpha through a gray floating layer
};

class LUMATRA_API ITzToolErase : public ITzToolBrushBase {
public:
    void SetEraseMode(ITzTOOLERASEMODE mode) { m_eraseMode = mode; }
    ITzTOOLERASEMODE GetEraseMode() const { return m_eraseMode; }

    // Mode 0: the base's floating layer; mode 1: the active image layer's one-channel
    // floating layer, with the tool's opacity and paint mode. Null for another mode, a
    // null picture or an active layer that is no image layer (the stroke does not start).
    ITzLayerImage* CreateToolFloatLayer(ITzPicture* picture) override;
    // A block the stroke adds becomes the back colour at alpha 0 (mode 0) or gray 0
    // (mode 1); the same for a preview-cache block at the display level, through the base.
    int PrepareBlockData(ITzLayerImage* layer, uint32_t block) override;

private:
    ITzTOOLERASEMODE m_eraseMode = ITzERASE_ALPHA;
};
