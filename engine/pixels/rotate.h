// Quarter-turn geometry: how a picture's size and a rectangle in it change when the
// picture turns. The image layer's rotation job moves the pixels.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

enum _tagITzROTATSTYPE : uint32_t {
    ITzROTATS_NONE = 0,
    ITzROTATS_CLOCKWISE = 1,         // a quarter turn clockwise
    ITzROTATS_COUNTERCLOCKWISE = 2,  // a quarter turn counter-clockwise
    ITzROTATS_HALF = 3,
};

// The picture size after the turn: width and height swap for types 1 and 2. 1, or 0
// (out unchanged) for null or a type above 3.
LUMATRA_C int ITzRotatedSize(const _tagPTzSIZE* size, uint32_t type, _tagPTzSIZE* out);
// Where a rectangle of a W x H picture lies after the turn: type 1 (H - b, l, H - t, r),
// type 2 (t, W - r, b, W - l), type 3 (W - r, H - b, W - l, H - t), type 0 unchanged.
// 1, or 0 (out unchanged) for null or a type above 3.
LUMATRA_C int ITzRotatedRect(const PTzRECT* rect, const _tagPTzSIZE* size, uint32_t type, PTzRECT* out);
// The turn that undoes a type (1 and 2 swap): 0-3, or 4 for a type above 3.
LUMATRA_C uint32_t ITzInverseRotation(uint32_t type);
