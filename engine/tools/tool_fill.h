// ITzToolFill: fills the active image layer with one colour over the whole picture,
// through the selection, as one 'fill' undo step.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "engine/lumatra_export.h"
#include "engine/tools/tool_floating_base.h"

class LUMATRA_API ITzToolFill : public ITzToolFloatingBase {
public:
    // Tool ID 'fill'.
    ITzToolFill();

    // The colour at the opacity merged into the active image layer: 1 when the step was
    // made; 0 for null arguments, while another edit holds the picture, for an active
    // layer that is no image layer or when the fill or merge failed, and then the
    // picture is as it was.
    int FillData(ITzPicture* picture, _tagPTzCOLOR* colour, uint8_t opacity);
};
