// The selection's values over one block, as the floating merges and the block moves of
// the cut and move tools read them: told apart cheaply as one byte over the whole
// block, from the block records alone, or else read into a page. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"

class ITzLayerImage;

namespace lumatra {

// 1 with the value when the selection holds one value over the whole picture rectangle
// (at most one block): 255 without a selection, 0 where the rectangle lies outside the
// selection layer. Reads no pixels; 0 when the values vary or cannot be told apart so.
int ProbeBlockMask(ITzLayerImage* selection, const PTzRECT& pictureRect, uint8_t* value);

// The selection's values over a picture rectangle of at most 256 x 256 into a page of
// rows of 256 (0 outside the selection layer; 255 everywhere without a selection).
// False when the selection cannot be read.
bool ReadBlockMask(ITzLayerImage* selection, const PTzRECT& pictureRect, uint8_t* page);

}  // namespace lumatra
