// How an image layer exchanges its pixels with a packed DIB, the clipboard's bitmap form.
// The exchange needs the image I/O manager and the BMP plug-in above this folder, so the
// image layer calls up through this link; the image I/O manager connects it.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

class ITzLayerImage;
struct BITMAPINFOHEADER;

// How the caller of a DIB save has its memory block made: allocate a block of size
// bytes, lock it for its bytes, unlock it, free it. Without callbacks the block is one
// of the base library's movable handles.
struct _tagITzMEMHANDLECBS {
    void* (*allocate)(uint32_t size);
    void* (*lock)(void* block);
    int (*unlock)(void* block);
    void* (*free)(void* block);
};

struct ITzLayerDIBExchange {
    // Loads a packed DIB (header, palette or masks, rows; `size` bytes) into a layer
    // outside any picture: 1, or 0 with the last error set.
    int (*load)(const BITMAPINFOHEADER* dib, uint32_t size, ITzLayerImage* layer);
    // A block made through `memory` (a movable handle when null) holding the layer's
    // pixels as a packed DIB, or null with the last error set.
    void* (*save)(ITzLayerImage* layer, _tagITzMEMHANDLECBS* memory);
};

// Connects the exchange image layers use (null disconnects it); the exchange must
// outlive its connection. Until one is connected, RebuildWithDib gives 0 and SavetoDIB
// null, the last error -1001 for both.
LUMATRA_C void ITzSetLayerDIBExchange(const ITzLayerDIBExchange* exchange);
LUMATRA_C const ITzLayerDIBExchange* ITzGetLayerDIBExchange();
