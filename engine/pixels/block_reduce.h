// Reduction of block pages by 2^k on both axes, the rule by which every preview-cache
// level is made from the layer or from the next finer level. A reduction by 2^k is k
// reductions by 2 in a row, so reducing by 2^a and then by 2^b equals reducing by
// 2^(a + b): a level comes out the same whichever finer level it is made from.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/block_memory_pool.h"

// Target pixel (rect.left + x, rect.top + y) of a page of rows of 256 is made from the
// 2^shift x 2^shift square at (x << shift, y << shift) of the source page: each step
// takes the truncating mean (a + b + c + d) >> 2 of 2 x 2 pixels. 0; -1001 for a null
// argument, a shift of 0 or above 8, a target rect outside the page or one whose source
// square would leave it.
LUMATRA_C int ITzReduceChannelPage(const uint8_t* source, uint8_t* target, const PTzRECT* targetRect,
                                   uint32_t shift);
// The same for four channels. A source channel without a page fills its part of every
// target row with its constant. With alpha data, each step takes the truncating mean of
// the alphas and, for each colour with data, the alpha-weighted mean sum(c a) / sum(a),
// truncated; a target colour is left as it was where the last step's alphas are all 0.
// Without alpha data each colour with data takes truncating means. The target's four
// pages must be present. 0, or -1001 as above.
LUMATRA_C int ITzReduceBlockMemory(const _tagITzBLOCKMEMORYARGB* source, _tagITzBLOCKMEMORYARGB* target,
                                   const PTzRECT* targetRect, uint32_t shift);
