// The built-in callbacks of the brush functions: a 256 x 256 coverage cache into which
// dabs are merged, handed to the data callback when a dab leaves its window and when the
// stroke's points run dry. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/tools/brush_functions.h"

namespace lumatra {

// The built-in callbacks' context, made once per brush context.
struct BrushCache {
    PTzPOINT origin;              // picture coordinates of the cache's (0, 0)
    PTzRECT dirty;                // cache coordinates of the coverage
    int32_t inUse;                // the window is placed
    _tagITzBITMAP cache;          // 256 x 256, 8 bits, mode 6; its 65,536 bytes its own
    _tagITzBRUSHDATACALLBACKINFO data;
    uint32_t opacityFollowsPressure;  // dabs merge at the point's pressure, not 255
};

// A cache with nothing in it, or null when memory is short. FreeBrushCache takes null.
BrushCache* NewBrushCache();
void FreeBrushCache(BrushCache* cache);
// Hands the coverage to the data callback (when there is one) and empties the cache.
void HandOverBrushCache(BrushCache& cache);
// The built-in dab and finish callbacks over the cache.
_tagITzBRUSHDOPOINTCALLBACKINFO BrushCacheDabCallbacks(BrushCache* cache);
_tagITzBRUSHDOPOINTFINISHCALLBACKINFO BrushCacheFinishCallbacks(BrushCache* cache);

}  // namespace lumatra
