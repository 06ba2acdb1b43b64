// The crop record ('crop'): the shift and size terms of the step and, per layer, its
// bounds and the blocks it gave up, with the per-layer and picture-wide replays that
// both the crop and its undo and redo use. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/tools/tool_base.h"

class ITzLayerBase;
class ITzPicture;
class ITzUndoTwoLevelBlockList;

// One layer's part: its bounds and the blocks to take back, both in the coordinates
// from before the crop.
struct _tagITzCROPLAYERENTRY {
    PTzRECT bounds;
    ITzUndoTwoLevelBlockList* blocks;  // owned; null for a layer that is no image layer
};

// A PTzPointNew block: this head, then `layerCount` entries, one per layer from the bottom.
// Applying it gives the picture the size (widthTerm - shiftX, heightTerm - shiftY) and
// moves every layer and the selection by (-shiftX, -shiftY).
struct _tagITzUNDOCROP {
    _tagUNDODATABASE head;
    int32_t shiftX;
    int32_t shiftY;
    int32_t widthTerm;
    int32_t heightTerm;
    uint16_t layerCount;
};

namespace lumatra {

inline _tagITzCROPLAYERENTRY* CropEntries(_tagITzUNDOCROP* record)
{
    static_assert(sizeof(_tagITzUNDOCROP) % alignof(_tagITzCROPLAYERENTRY) == 0);
    return reinterpret_cast<_tagITzCROPLAYERENTRY*>(record + 1);
}

// A record of the crop of a width x height picture to `rect` with room for the layers,
// every entry empty; null when memory is short.
_tagITzUNDOCROP* NewCropRecord(uint32_t toolID, const PTzRECT& rect, const _tagPTzSIZE& size, uint16_t layerCount);
// Frees the entries' lists and the record; nothing for null.
void FreeCropRecord(_tagITzUNDOCROP* record);

// Moves a layer; nothing for a zero offset.
void ShiftLayer(ITzLayerBase* layer, _tagPTzOFFSET offset);

// Replays one layer's entry: the layer moves by `shift` (before the blocks when
// `shiftFirst`, else after) and takes back the entry's bounds and blocks, and the entry
// then holds the bounds and blocks the layer gave up. False with the layer and the entry
// unchanged when the blocks cannot be taken back.
bool ReplayCropLayer(ITzLayerBase* layer, _tagITzCROPLAYERENTRY& entry, _tagPTzOFFSET shift, bool shiftFirst);

// Applies the record to the whole picture and turns it into the record of the opposite
// step. The undo order sets the size and moves the selection first and then moves each
// layer before its blocks; the redo order is the reverse. 1, or 0 with the picture and
// the record unchanged.
int ApplyCropRecord(ITzPicture& picture, _tagITzUNDOCROP& record, bool undoOrder);

}  // namespace lumatra
