// ITzCOLORFILL: the non-contiguous colour selection. Marks with 255, tile by tile over a
// selection layer's bounds, every pixel of a source layer whose colour lies within a
// tolerance of the colour under a point, wherever it lies; marks already there stay.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

class ITzLayerBase;
class ITzLayerImage;

class LUMATRA_API ITzCOLORFILL {
public:
    ITzCOLORFILL();
    virtual ~ITzCOLORFILL();

    // The colour is read under the point (picture coordinates) from `source` (its
    // preview layer when it is no image layer). 0, also when the point lies outside the
    // selection layer and nothing is marked; -1001 for null arguments or a source that
    // cannot test colours, -51 when a scratch page cannot be had: every tile is marked
    // or the call fails, the selection layer then holding the tiles done so far.
    int FillSelection(const PTzPOINT* point, ITzLayerImage* selection, ITzLayerBase* source, uint8_t tolerance);
};
