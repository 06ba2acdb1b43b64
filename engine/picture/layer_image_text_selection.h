// ITzLayerImageTextSelection: the highlight of a text layer's selected characters, a
// gray layer whose coverage inverts the colours under it. The text layer owns it and
// draws it over its image while it is the active layer.
#pragma once

#include "engine/lumatra_export.h"
#include "engine/pixels/layer_image_gray.h"

class LUMATRA_API ITzLayerImageTextSelection : public ITzLayerImageGray {
public:
    // An empty highlight (merge type 6) with its origin at the picture point.
    explicit ITzLayerImageTextSelection(const PTzPOINT& origin);
    ~ITzLayerImageTextSelection() override;
};
