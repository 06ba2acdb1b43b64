// Alpha-over of a whole ARGB floating block into the block record at its place, for the
// end-of-stroke merge of a floating layer. Library-private.
#pragma once

#include <cstdint>

#include "engine/pixels/block_records.h"

namespace lumatra {

// Merges `source` into `target` at `opacity`, under the 8-bit mask page (rows of 256) when
// there is one: only the target channels the merge can change are expanded, and every
// channel is folded again when uniform. The pixels are exactly those of the whole-block
// kernel. False, with the record as it was, when memory is short.
bool AlphaOverBlock(const _tagITzBLOCKINFOARGB& source, _tagITzBLOCKINFOARGB& target, uint8_t opacity,
                    const uint8_t* mask);

}  // namespace lumatra
