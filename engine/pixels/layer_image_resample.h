// What the image layer's resampled reads and its resize and rotation jobs share: the
// record every read job starts with, the source rectangle a read needs, the planes a
// read fills, and the new layer a job builds. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/zoom_level.h"

class ITzLayerImage;
struct _tagITzRESAMPLESETTING;

namespace lumatra {

class BLPlanCache;

// The first member of every read job, so the type-independent slots can dispatch.
struct ResampleJobHeader {
    uint32_t type;  // a _tagITzRESAMPLETYPE
    // The read writes every byte of the planes it fills, so that what they held before
    // does not matter.
    bool writesEvery;
};

// The destination pixels a read of `rect` into `bitmap` covers: the rectangle from its
// corner, no larger than the bitmap.
PTzRECT ResampleArea(const PTzRECT& rect, const _tagITzCHANNELBITMAP& bitmap);

// The picture rectangle a read of the zoomed area walks: clipped to the layer's bounds,
// or for a bilinear read with tables to the tables' sources. False when it holds no
// pixel of the layer.
bool ResampleSourceRect(ITzLayerImage& layer, uint32_t type, const PTzRECT& area, const _tagITzZOOMLEVEL& zoomX,
                        const _tagITzZOOMLEVEL& zoomY, const _tagITzRESAMPLESETTING* setting, PTzRECT& source);

// The bitmap with only the planes the layer has (planes 0 to channel count - 1).
_tagITzCHANNELBITMAP LayerPlanesOf(ITzLayerImage& layer, const _tagITzCHANNELBITMAP& bitmap);

// ITzLayerImage::ResampleFillChannelBitmapBLStart with the plans taken from `plans` and
// kept there for the reads after it (the read's own where null).
void* StartBLRead(ITzLayerImage& layer, _tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                  const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, void* setting, BLPlanCache* plans);

// The new layer of a resize or rotation: of the layer's kind and properties, sized to
// `bounds` with present blocks (none when the bounds are empty); null when it cannot be
// made.
ITzLayerImage* NewTransferTarget(ITzLayerImage& layer, const PTzRECT& bounds);
// The end of a resize or rotation: the new layer when every block was done, else null
// with the new layer destroyed.
ITzLayerImage* HandOverTarget(ITzLayerImage* target, bool complete);

}  // namespace lumatra
