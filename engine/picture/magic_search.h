// ITzMagicSearch: the magic wand. Marks with 255, in a gray target layer, the region of
// pixels 4-connected to a seed whose colour lies within a tolerance of the seed's. The
// search goes block by block over the target's grid: the source layer fills a block from
// its seed lines, and the runs the fill newly reached on a block's border are handed to
// the neighbour beyond as its seeds, so a block is filled again whenever the region
// comes back into it through another side.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

class ITzLayerBase;
class ITzLayerImage;

class LUMATRA_API ITzMagicSearch {
public:
    // Searches from the seed (picture coordinates) in `source` (its preview layer when it
    // is no image layer), marking `target`; only the tolerance's low byte counts. A seed
    // outside the target's bounds marks nothing. 0; -1001 for null arguments, a source
    // that cannot fill blocks or a missing target block on the way; -51 when memory ran
    // short. On failure the target holds part of the region.
    int Search(const PTzPOINT* seed, ITzLayerImage* target, ITzLayerBase* source, uint32_t tolerance);
};
