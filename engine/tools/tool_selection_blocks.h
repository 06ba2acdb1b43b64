// What the cut and move tools share: the picture's selection when it selects anything,
// the walk over the blocks of a layer that the selection touches, and the check that a
// moved rectangle stays inside the coordinate range. Library-private.
#pragma once

#include <cstdint>
#include <functional>

#include "base/geometry.h"
#include "engine/pixels/block_position.h"

class ITzLayerBase;
class ITzLayerImage;
class ITzLayerImageSelect;
class ITzPicture;

namespace lumatra {

// The picture's selection mask and its bounds (picture coordinates) when it holds any
// value; null when there is none or it is empty.
ITzLayerImageSelect* SelectedMask(ITzPicture& picture, PTzRECT* bounds);

using SelectedBlockMove =
    std::function<bool(const _tagITzBLOCKPOSITION& source, const _tagITzBLOCKPOSITION& target)>;

// Calls `move` for every block of `target` (its grid aligned with the source's) under
// which the source has a present block and the selection is not 0 throughout; blocks
// the selection leaves out are neither read nor touched. False when the grids are not
// aligned, a source block cannot be read or a move gives false (the walk stops there).
bool ForSelectedBlocks(ITzLayerImage& source, ITzLayerImage& target, ITzLayerImage* selection,
                       const SelectedBlockMove& move);

// Whether a rectangle moved by (dx, dy) keeps every coordinate within 32 bits.
bool FitsAfterMove(const PTzRECT& rect, int64_t dx, int64_t dy);
// The same for a layer moved by the offset with the selection (and with the layers of
// its link group when `withLinks`).
bool MoveStaysInRange(ITzPicture& picture, ITzLayerBase& moved, bool withLinks, int64_t dx, int64_t dy);

}  // namespace lumatra
