// The gray merges of stored tile channels (the gray layer's floating merge): a channel
// is a 64 KB handle or one uniform byte, and stays in that form where it can.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/merge_data.h"

// Merges a source channel into a destination channel by merge type: 3 union, 5
// intersect, 6 reverse subtract, 7 subtract (8 erase and 9 multiply too; formulas in
// merge_data.h). Two uniform channels give a uniform result, computed once; otherwise
// the destination is expanded, all 65,536 bytes are merged and the destination is
// folded back into its byte when it became uniform. 1 when merged; 0 for a null
// argument, another type, or when the destination cannot be expanded (unchanged then).
LUMATRA_C int ITzMergeStoredChannel(const _tagITzMERGEDATA* merge, _tagITzCHANNELDATA* dest,
                                    const _tagITzCHANNELDATA* source);
// The same with the source as a 65,536-byte buffer, or, when `uniform` is nonzero, as the
// uniform byte `value` (the buffer is then not read and may be null).
LUMATRA_C int ITzMergeStoredChannelBuffer(const _tagITzMERGEDATA* merge, _tagITzCHANNELDATA* dest,
                                          const uint8_t* source, int uniform, uint8_t value);
