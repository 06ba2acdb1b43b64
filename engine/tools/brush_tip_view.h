// Views of a brush tip's content (the tip without its one-pixel empty border) and the
// resize of one tip's content into another's, shared by the pyramid and pressure tips.
#pragma once

#include "engine/pixels/bitmap.h"
#include "engine/pixels/zoom_level.h"

namespace lumatra {

// The content of an 8-bit tip as a view without its border: false when the tip has no
// content (a side of 2 pixels or fewer) or no pixels.
bool TipContentView(const _tagITzBITMAP& tip, _tagITzBITMAP& view);

// Resizes the source tip's content bilinearly into the zero-filled destination tip's
// content at the zoom on both axes. A tip without content gives an empty destination
// content, which is not a failure: tiny tips reduce to nothing. False when the resize
// could not run.
bool ResizeTipContent(_tagITzBITMAP* dest, const _tagITzBITMAP* source, const _tagITzZOOMLEVEL* zoom);

}  // namespace lumatra
