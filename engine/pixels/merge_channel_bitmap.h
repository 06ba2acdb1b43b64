// Merges of planar bitmaps: a channel bitmap merged onto a four-channel one by merge
// type, optionally through an 8-bit mask, and a plane multiplied by an 8-bit bitmap.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/merge_data.h"

class CMathMerge;

// Every rectangle below is clipped to its own bitmap, the corners of the others moving
// by the same amount so that the pixels they meet stay paired; the smallest width and
// height are processed, and an empty result does nothing. A null argument does nothing
// too, except for the mask (no mask; its rectangle is then not read) and the tables,
// which may be null because the kernels compute the same values arithmetically.

// Merges the source rectangle onto the destination rectangle of a kind-3 channel
// bitmap. A kind-3 source takes type 3 (alpha-over), 2 (colour copy) and 10 (smudge
// mix); a kind-6 source takes type 8 (erase of the destination's alpha by the gray
// plane); anything else does nothing. Under an 8-bit mask each mask value m weighs in
// as M(m, factor); without one types 2 and 10 copy all four planes.
LUMATRA_C void ITzMergeChannelBitmap(const _tagITzMERGEDATA* merge, uint8_t factor,
                                     const PTzRECT* maskRect, _tagITzCHANNELBITMAP* dest,
                                     const CMathMerge* tables, const PTzRECT* destRect,
                                     const _tagITzCHANNELBITMAP* source,
                                     const PTzRECT* sourceRect, const _tagITzBITMAP* mask);

// Plane 0 of the channel bitmap becomes M(b, p), b the 8-bit bitmap's value and p the
// plane's, over the two rectangles.
LUMATRA_C void ITzMultiplyPlaneByBitmap(const PTzRECT* planeRect, const PTzRECT* bitmapRect,
                                        const CMathMerge* tables, _tagITzCHANNELBITMAP* plane,
                                        const _tagITzBITMAP* bitmap);
