// The record a picture-wide resize or rotation leaves ('risz', 'rots'): the picture size
// to go back to and a holder picture that keeps the layers the step replaced. One
// exchange with the holder serves undo and redo. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/tools/tool_base.h"

class ITzPicture;

// A PTzPointNew block owned by the tool kind that heads it.
struct _tagITzUNDOHOLDERPICTURE {
    _tagUNDODATABASE head;
    int32_t width;       // the picture size the next replay sets
    int32_t height;
    ITzPicture* holder;  // owned: the layers (and a rotation's selection) not in the picture
};

namespace lumatra {

// Exchanges the layer at every index of the picture with the holder's (each layer keeps
// its link number), and with `selection` the selection layers too. False, with nothing
// changed, when the two hold different numbers of layers.
bool ExchangeWithHolder(ITzPicture& picture, ITzPicture& holder, bool selection);

// The end of a finished job: a record headed `toolID` that takes the holder, the
// exchange, and the picture at `newSize`. The record, to be saved by the tool; null with
// nothing changed (the holder still the caller's) when it cannot be made.
_tagUNDODATABASE* CommitHolder(uint32_t toolID, ITzPicture& picture, ITzPicture* holder, const _tagPTzSIZE& newSize,
                               bool selection);

// Undo and redo alike: the exchange, then the picture's size and the record's swap. 1,
// or 0 with nothing changed for null arguments or a holder that does not fit.
int ReplayHolderRecord(ITzPicture* picture, _tagUNDODATABASE* record, bool selection);

// Deletes the holder with the layers it keeps, then the record: 1, 0 for null.
int ReleaseHolderRecord(_tagUNDODATABASE* record);

}  // namespace lumatra
