// What an image layer asks of the image I/O manager for the clipboard's packed DIBs.
// The I/O manager implements it and installs its maker; until then DIB exchange fails.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

class ITzLayerImage;
struct BITMAPINFOHEADER;
struct _tagITzMEMHANDLECBS;

class LUMATRA_API ITzLayerDibLink {
public:
    virtual ~ITzLayerDibLink();

    // Loads a packed DIB (header, palette, rows; `size` bytes) into the layer: 1, else 0.
    virtual int LoadDIBToLayer(const BITMAPINFOHEADER* dib, uint32_t size, ITzLayerImage* layer) = 0;
    // A memory block holding the layer as a packed DIB, or null.
    virtual void* SaveLayertoDIB(ITzLayerImage* layer, _tagITzMEMHANDLECBS* memory) = 0;
};

// Makes a temporary link for one exchange; the caller deletes it. Null when it cannot.
using ITzLayerDibLinkMaker = ITzLayerDibLink* (*)();

LUMATRA_C void ITzSetLayerDibLinkMaker(ITzLayerDibLinkMaker maker);
LUMATRA_C ITzLayerDibLinkMaker ITzGetLayerDibLinkMaker();
