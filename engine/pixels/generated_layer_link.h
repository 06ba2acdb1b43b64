// What an ARGB preview layer asks of the generated layer that owns it (a text layer):
// the pixels of a picture rectangle. The generated layer implements it.
#pragma once

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"

class LUMATRA_API ITzGeneratedLayerLink {
public:
    virtual ~ITzGeneratedLayerLink() = default;

    // Renders the picture rectangle into the channel bitmap (kind 3, as large as the
    // rectangle), over what it holds: 0, or -1001 when it cannot.
    virtual int RenderToChannelBitmap(const PTzRECT* pictureRect, _tagITzCHANNELBITMAP* bitmap) = 0;
};
