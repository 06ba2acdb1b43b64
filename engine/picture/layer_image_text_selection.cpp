// The selection highlight of a text layer.
#include "engine/picture/layer_image_text_selection.h"

ITzLayerImageTextSelection::ITzLayerImageTextSelection(const PTzPOINT& origin)
{
    m_mergeType = ITzMERGE_INVERT;
    const PTzRECT empty = {origin.x, origin.y, origin.x, origin.y};
    SetBounds(&empty);
}

ITzLayerImageTextSelection::~ITzLayerImageTextSelection() = default;
