// ITzToolBucket: the paint bucket. Fills with one colour the pixels of the active image
// layer whose colour lies within a tolerance of the colour under a point (the region
// around the point, or every such pixel), through the selection, as one undo step.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/tools/tool_floating_base.h"

class LUMATRA_API ITzToolBucket : public ITzToolFloatingBase {
public:
    // The point is in picture coordinates; `contiguous` nonzero fills the 4-connected
    // region around it, 0 every matching pixel of the layer. 1 when the step was made;
    // 0 for null arguments, a point outside the picture, while another edit holds the
    // picture, for an active layer that is no image layer or when the mask, the search,
    // the fill or the merge failed, and then the picture is as it was.
    int FillData(ITzPicture* picture, _tagPTzCOLOR* colour, PTzPOINT* point, uint32_t tolerance, int contiguous,
                 uint8_t opacity);

private:
    // The colour over the picture in the floating layer, its alpha cut to the mask.
    int FillThroughMask(ITzPicture* picture, ITzLayerImage* mask, const PTzRECT& pictureRect,
                        _tagPTzCOLOR* colour, uint8_t opacity);
};
