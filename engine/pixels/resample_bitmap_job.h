// The job record shared by the bitmap and brush-tip resizers, so that one end call frees
// any of them. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/resample.h"

namespace lumatra {

struct BitmapResizeJob {
    _tagITzBLRESIZETABLE* tableX;
    _tagITzBLRESIZETABLE* tableY;
    _tagITzBITMAP* dest;
    const _tagITzBITMAP* source;
    _tagPTzRECTENUM walk;            // destination tiles
    _tagITzZOOMBLBUFFERDATA buffer;  // no arrays for a brush tip
    void* brushColumns;              // a brush tip's source columns per destination column
    alignas(8) uint8_t rowSums[256 * (5 * sizeof(uint64_t) + sizeof(uint32_t))];
};

// A zero-filled job holding both tables (taken over, also on failure); null when either
// is null or memory is short.
BitmapResizeJob* NewBitmapResizeJob(_tagITzBITMAP* dest, const _tagITzBITMAP* source, _tagITzBLRESIZETABLE* tableX,
                                    _tagITzBLRESIZETABLE* tableY);

}  // namespace lumatra
