// The two records that carry pixels between the engine's tiles and everything else:
// an interleaved bitmap (all bytes of a pixel side by side) and a planar channel
// bitmap (one byte plane per channel), with the functions that make, cut and invert them.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

// Interleaved pixels, rows top-down and `stride` bytes apart (a multiple of 4).
// Byte order inside a pixel by colour mode: 1 red, green, blue; 2 blue, green, red;
// 3 alpha, red, green, blue; 4 four colour bytes; 5 alpha and four colour bytes;
// 6 gray; 7 alpha and gray; 8 two bits per pixel.
struct _tagITzBITMAP {
    int32_t width;
    int32_t height;
    int32_t stride;
    uint16_t bits;       // bits per pixel
    int32_t colorMode;   // a _tagPTzCOLORMODE
    uint8_t* pixels;     // owned once ITzPrepareITzBitmap filled it; views own nothing
};

// One byte plane per channel, rows `stride` bytes apart. `kind` is the colour mode of
// the planes: 3 alpha + red + green + blue, 1 red + green + blue, 6 one gray plane;
// two channel bitmaps exchange pixels only when their kinds are equal. The functions
// that fill a channel bitmap never set its kind.
struct _tagITzCHANNELBITMAP {
    int32_t width;
    int32_t height;
    int32_t stride;
    int32_t kind;
    // 0 alpha (kind 3) or gray (kind 6), 1 red, 2 green, 3 blue, 4 a fifth channel;
    // null where absent.
    uint8_t* planes[5];
};

// Channels of a colour mode (1, 2: 3; 3, 4: 4; 5: 5; 6: 1; 7: 2; other: 0) and those
// of them that are not alpha (1-3: 3; 4, 5: 4; 6, 7: 1; other: 0).
LUMATRA_C uint32_t ITzColorModeGetChannelCount(int32_t colorMode);
LUMATRA_C uint32_t ITzColorModeGetColorChannelCount(int32_t colorMode);

// Fills in width, height, mode, bits and stride and allocates height x stride
// zero-filled bytes: 1, or 0 (record unchanged) for a null argument, a mode outside
// 1-8, a size of 0 or less, a size too large to address, or a failed allocation.
LUMATRA_C int ITzPrepareITzBitmap(_tagITzBITMAP* bitmap, const _tagPTzSIZE* size, int32_t colorMode);
// Frees the pixels of a prepared bitmap and clears the pointer; null is ignored.
LUMATRA_C void ITzReleaseITzBitmap(_tagITzBITMAP* bitmap);

// Bits per pixel (0 for null) and whole bytes per pixel (bits / 8).
LUMATRA_C uint32_t ITzGetITzBitmapPixelbits(const _tagITzBITMAP* bitmap);
LUMATRA_C uint32_t ITzGetITzBitmapPixelByte(const _tagITzBITMAP* bitmap);
inline uint32_t ITzBitmapPixelByte(const _tagITzBITMAP* bitmap)
{
    return bitmap ? bitmap->bits / 8u : 0u;
}

// Replaces every colour byte v by 255 - v and leaves alpha alone: 1, or 0 (nothing
// changed) for a null record, mode 8 or an unknown mode.
LUMATRA_C int InverseITzBitmap(_tagITzBITMAP* bitmap);

// Makes `view` describe a part of `source` without copying. The rectangle is clipped
// to the source and written back; 1, or 0 (view and rectangle unchanged) for a null
// argument or when nothing of the rectangle lies inside the source.
LUMATRA_C int ITzGetSubBitmap(_tagITzBITMAP* view, PTzRECT* rect, const _tagITzBITMAP* source);
// The same for a channel bitmap: the view keeps the source's stride and kind.
LUMATRA_C int ITzGetSubChannelBitmap(PTzRECT* rect, _tagITzCHANNELBITMAP* view,
                                     const _tagITzCHANNELBITMAP* source);

// Copies the pixels of a source rectangle to a destination rectangle of a channel
// bitmap of the same kind, plane by plane (planes absent on either side are skipped).
// Each rectangle is clipped to its own bitmap, moving the other's corner along so the
// pixel pairs stay aligned; the copy is the overlap of both. 1, or 0 (nothing copied)
// for a null argument, different kinds or an empty overlap.
LUMATRA_C int ITzCopyChannelBitmapRect(const PTzRECT* sourceRect, const PTzRECT* destRect,
                                       const _tagITzCHANNELBITMAP* source,
                                       _tagITzCHANNELBITMAP* dest);

// Gives a channel bitmap its planes (stride = width): plane 0 when `extraPlane` is
// nonzero and planes 1 up to `colorPlanes` (at most 4), each width x height zero-filled
// bytes. The kind is left to the caller.
class LUMATRA_API ITzUtilityChannelBitmap {
public:
    virtual ~ITzUtilityChannelBitmap();

    // Planes borrowed from the scratch pool: nonzero when every plane was obtained,
    // otherwise everything obtained is given back, the record is unchanged and 0 returned.
    static int CreateITzBufferBitmap(_tagITzCHANNELBITMAP* bitmap, const _tagPTzSIZE* size,
                                     int extraPlane, uint32_t colorPlanes);
    // Gives every present plane back to the pool (each exactly the pages it was lent)
    // and clears the plane pointers: 1, or 0 for a null record or no pool. The size is
    // not needed; it is kept so that callers pass what they created with.
    static int ReleaseITzBufferBitmap(_tagITzCHANNELBITMAP* bitmap, const _tagPTzSIZE* size);

    // The same planes as fixed memory blocks of their own.
    static int CreateBitmap(_tagITzCHANNELBITMAP* bitmap, const _tagPTzSIZE* size,
                            int extraPlane, uint32_t colorPlanes);
    // Frees every present plane and clears the pointers; always 1.
    static int ReleaseBitmap(_tagITzCHANNELBITMAP* bitmap);
};
