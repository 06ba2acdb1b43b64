// Reading the colour of one picture pixel as the layers compose it: the eyedropper picks
// it into the current colours, the view shows it in the information panel.
#pragma once

#include "base/color.h"
#include "base/geometry.h"

class ITzPicture;

// The composed pixel at the picture point as an opaque colour record (mode 3, alpha 255,
// red, green, blue): 1 when the point lies inside the picture and the pixel is not fully
// transparent; 0 otherwise (the record unchanged), also for null arguments.
int PickPictureColor(ITzPicture* picture, const PTzPOINT* point, _tagPTzCOLOR* colour);
