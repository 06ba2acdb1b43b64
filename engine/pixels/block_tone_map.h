// Tone tables over the colour channels of one ARGB block, in place: each of red, green
// and blue maps through a 256-entry table, blended with its old value by the selection
// over the block. The effects' one way into block storage. Library-private.
#pragma once

#include <cstdint>

class ITzLayerImage;

namespace lumatra {

// The selection over one block: `page` holds its 65,536 values in rows of 256, or is
// null when one `value` covers the whole block (255 without a selection).
struct ToneMask {
    const uint8_t* page;
    uint8_t value;
};

// c' = M(table[c], s) + M(c, 255 - s) for the three colour channels of a present ARGB
// block, s the mask's value at the pixel (M the blend tables' multiply; s = 255 is the
// table itself). A uniform channel under a uniform mask stays its byte; a channel whose
// bytes all come out equal is folded into one. True when the block holds the result or
// the mask is 0 throughout; false, with the block as it was, for a missing block, a
// block of another kind or when memory is short.
bool ToneMapBlock(ITzLayerImage& layer, uint32_t index, const uint8_t (&table)[256], const ToneMask& mask);

}  // namespace lumatra
