// What a merge does: the merge type and the opacity with which a source is merged onto a
// destination. Layers carry one, the blend routines of merge_*.h apply it.
#pragma once

#include <cstdint>

// Merge types. Colour data and gray (mask) data read some of them differently.
enum ITzMERGETYPE : int32_t {
    ITzMERGE_COLOR_COPY = 2,       // planar only: colour copied, alpha united under a mask
    ITzMERGE_NORMAL = 3,           // alpha-over; on gray data union (the default)
    ITzMERGE_REPLACE = 4,          // gray data replaced (done by the gray layer itself)
    ITzMERGE_INTERSECT = 5,        // gray: d = M(d, v)
    ITzMERGE_INVERT = 6,           // colour inverted under an 8-bit source; gray: max(v - d, 0)
    ITzMERGE_SUBTRACT = 7,         // gray: max(d - v, 0)
    ITzMERGE_ERASE = 8,            // alpha or gray: M(255 - v, d)
    ITzMERGE_MULTIPLY_ALPHA = 9,   // alpha or gray: M(d, v)
    ITzMERGE_SMUDGE = 10,          // planar colour: the smudge tool's mix
};

// v above is the source value scaled by the opacity, M(s, opacity), and by the mask where
// there is one; M is the product table of CMathMerge.
struct _tagITzMERGEDATA {
    int32_t mergeType;  // an ITzMERGETYPE
    uint8_t opacity;
};
