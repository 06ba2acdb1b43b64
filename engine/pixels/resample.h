// ITzResize: everything that changes the scale of pixels outside a layer's own jobs: the
// bilinear weight tables, the accumulation buffers, the block-wise resize service, the
// bitmap and brush-tip resizers. The image layer's resize and zoomed reads build on it.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/zoom_level.h"

enum _tagITzRESAMPLETYPE : uint32_t {
    ITzRESAMPLE_NEAREST = 0,
    ITzRESAMPLE_BILINEAR = 1,
    ITzRESAMPLE_RESERVED = 2,  // its start functions give null and its steps 0
};

// One axis of a bilinear resize. Source index s (first <= s < end) feeds the destination
// indices ranges[2k] to ranges[2k + 1] (k = s - first; first > last when it feeds none)
// with the weights weights[k x width ...], one byte per destination index of its range.
struct _tagITzBLRESIZETABLE {
    int32_t firstSource;
    int32_t endSource;
    uint32_t width;          // the most destination indices one source index feeds
    uint32_t weightSumBound; // no destination index receives a larger total weight
    int32_t* ranges;
    uint8_t* weights;
};

// The two tables a bilinear layer read or resize takes as its setting (the resize tool
// makes them over the whole picture): source indices are picture coordinates,
// destination indices zoomed picture coordinates. Without a setting a layer weighs its
// own pixels only.
struct _tagITzRESAMPLESETTING {
    _tagITzBLRESIZETABLE* tableX;
    _tagITzBLRESIZETABLE* tableY;
};

// The block-wise service reads its source through this: fill the channel bitmap with the
// source rectangle (at most 256 x 256); 0 skips the rectangle.
using ITzRESIZEINPUTPROC = int (*)(PTzRECT* sourceRect, _tagITzCHANNELBITMAP* bitmap, void* user);
struct _tagITzRESIZEINPUTPROCINFO {
    ITzRESIZEINPUTPROC callback;
    void* user;
};

// The sums of a bilinear resample, one entry per destination pixel, row-major; every
// array is a run of scratch-pool pages, null when absent. With alpha each source pixel
// of weight w adds w to the weight sum, t = w x alpha to the alpha and colour-weight
// sums and t x c to each colour sum; without alpha t = w x a fixed factor. A record
// starts zeroed: every allocation first gives back what the record holds.
struct _tagITzZOOMBLBUFFERDATA {
    uint64_t* alphaSum;
    uint64_t* colorSums[4];
    uint64_t* colorWeightSum;
    uint32_t* weightSum;
};

class LUMATRA_API ITzResize {
public:
    // Accumulation buffers. The allocations are all or nothing: 1, or 0 with the
    // buffer empty. What the buffer held before is released first.
    static int AllocBLZoomBuffer_Core(const _tagPTzSIZE* size, int alpha, uint8_t colorCount,
                                      _tagITzZOOMBLBUFFERDATA* buffer);
    // Alpha when plane 0 is present, a colour sum for each of planes 1 to 4 present.
    static int AllocBLZoomBuffer(const _tagPTzSIZE* size, const _tagITzCHANNELBITMAP* bitmap,
                                 _tagITzZOOMBLBUFFERDATA* buffer);
    // By the destination's colour mode (1-7); any other mode takes nothing (0).
    static int AllocBLZoomBuffer(const _tagPTzSIZE* size, _tagPTzCOLORMODE mode, _tagITzZOOMBLBUFFERDATA* buffer);
    static int ClearnBLZoomBuffer(uint32_t pixelCount, _tagITzZOOMBLBUFFERDATA* buffer);
    // Gives every array back and clears it: 1, 0 for null.
    static int ReleaseBLZoomBuffer(const _tagPTzSIZE* size, _tagITzZOOMBLBUFFERDATA* buffer);
    // A buffer record of its own with the arrays for the channel bitmap; null when short.
    static _tagITzZOOMBLBUFFERDATA* CreateZoomSettingBuffer(const _tagPTzSIZE* size,
                                                            const _tagITzCHANNELBITMAP* bitmap);
    static int ReleaseZoomSettingBuffer(const _tagPTzSIZE* size, _tagITzZOOMBLBUFFERDATA* record);
    // Divides the sums into the bitmap over the smaller of both sizes: alpha = alpha sum /
    // weight sum into plane 0, colour k = colour sum k / colour-weight sum into plane k
    // (or the mode's bytes); a zero divisor gives 255. 1, 0 for null.
    static int FillChannelBitmapWithBuffer(_tagITzCHANNELBITMAP* bitmap, const _tagITzZOOMBLBUFFERDATA* buffer,
                                           const _tagPTzSIZE* bufferSize);
    static int FillDesBitmapWithBuffer(_tagITzBITMAP* bitmap, const _tagITzZOOMBLBUFFERDATA* buffer,
                                       const _tagPTzSIZE* bufferSize);

    // Weight tables. CreateBLResizetable covers source indices first to end - 1 at the
    // zoom; CreateBL_CResizeTable indices 0 to length - 1 scaled about the centre into
    // GetBL_CResizedSize(length, zoom) indices. Null for a null or too large zoom, an
    // empty range or when memory is short. A zero zoom term counts as 1.
    static _tagITzBLRESIZETABLE* CreateBLResizetable(int32_t first, int32_t end, const _tagITzZOOMLEVEL* zoom);
    static _tagITzBLRESIZETABLE* CreateBL_CResizeTable(uint32_t length, const _tagITzZOOMLEVEL* zoom);
    static uint32_t GetBL_CResizedSize(uint32_t length, const _tagITzZOOMLEVEL* zoom);
    static int ReleaseBLResizetable(_tagITzBLRESIZETABLE* table);
    // 1 and the destination range and weights a source index feeds; 0 when it feeds none.
    static int GetIndexPriListFromBLResizeTable(const _tagITzBLRESIZETABLE* table, int32_t source, int32_t* first,
                                                int32_t* last, const uint8_t** weights);

    // Rectangle mapping by resample type (0 nearest, 1 bilinear): 1, 0 for null or
    // another type.
    static int GetResizeSrcRect(PTzRECT* out, const PTzRECT* in, const _tagITzZOOMLEVEL* zoomX,
                                const _tagITzZOOMLEVEL* zoomY, uint32_t type);
    static int GetResizeDesRect(PTzRECT* out, const PTzRECT* in, const _tagITzZOOMLEVEL* zoomX,
                                const _tagITzZOOMLEVEL* zoomY, uint32_t type);
    // The source indices whose weights reach a destination rectangle, read from the
    // tables: 1, or 0 (out empty) when none does.
    static int GetResizeSrcRectBilinear(PTzRECT* out, const PTzRECT* in, const _tagITzBLRESIZETABLE* tableX,
                                        const _tagITzBLRESIZETABLE* tableY);
    static int GetResizeSrcRectBilinear_C(PTzRECT* out, const PTzRECT* in, const _tagITzBLRESIZETABLE* tableX,
                                          const _tagITzBLRESIZETABLE* tableY);

    // The block-wise service: the source (read through the callback) resized to the
    // destination size. Only type 1 makes a handle.
    static void* ResizeCreateSettingHandle(uint32_t type, const _tagPTzSIZE* source, const _tagPTzSIZE* dest,
                                           const _tagITzRESIZEINPUTPROCINFO* input);
    // Fills the channel bitmap (its corner at the rectangle's corner) tile by tile: 1, or
    // 0 for null, another type, or when the scratch pool cannot lend the buffer or the
    // source pages (the bitmap then as it was for the tile that failed).
    static int ResizeGetBlockData(uint32_t type, void* handle, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap);
    // One tile of at most 256 x 256 destination pixels into the bitmap at (0, 0).
    static int ResizeGetBlockData_BL_S(void* handle, const PTzRECT* tile, _tagITzCHANNELBITMAP* bitmap);
    // Adds a source piece (the bitmap's corner at the rectangle's corner) to the tile's sums.
    static int ResizeGetBlockData_BL_SBuffer(void* handle, const _tagITzCHANNELBITMAP* source,
                                             const PTzRECT* sourceRect, const PTzRECT* tile);
    // One pool page per plane of the destination, 256 x 256, the destination's kind:
    // 1, or 0 with nothing taken.
    static int PrepareSourceChannelBitmapByDes(_tagITzCHANNELBITMAP* source, const _tagITzCHANNELBITMAP* dest);
    static int PrepareSourceChannelBitmapRelease(_tagITzCHANNELBITMAP* source);
    static int ResizeReleaseSettingHandle_BL(void* handle);
    static int ResizeReleaseSettingHandle(uint32_t type, void* handle);

    // Whole interleaved bitmaps of the same colour mode (1-7), bilinear, tile by tile.
    static int ResizeBitmapSimpleBL(_tagITzBITMAP* dest, const _tagITzBITMAP* source);
    static void* ResizeBitmapBLStart(_tagITzBITMAP* dest, const _tagITzBITMAP* source);
    static int ResizeBitmapBL(void* job);
    static int ResizeBitampBLEnd(void* job);
    // The same scaled about the centre at given zooms.
    static int ResizeBitmapSimpleBL_C(_tagITzBITMAP* dest, const _tagITzBITMAP* source,
                                      const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    static void* ResizeBitmapBL_CStart(_tagITzBITMAP* dest, const _tagITzBITMAP* source,
                                       const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    static int ResizeBitmapBL_C(void* job);
    static int ResizeBitmapBL_CEnd(void* job);

    // Brush tips (8-bit bitmaps): the centred tables' weights added into the destination
    // through the product table, saturating at 255.
    static int ResizeBrushSimple(_tagITzBITMAP* dest, const _tagITzBITMAP* source, const _tagITzZOOMLEVEL* zoomX,
                                 const _tagITzZOOMLEVEL* zoomY);
    static void* ResizeBrushStart(_tagITzBITMAP* dest, const _tagITzBITMAP* source, const _tagITzZOOMLEVEL* zoomX,
                                  const _tagITzZOOMLEVEL* zoomY);
    static int ResizeBrush(void* job);
    static int ResizeBrushEnd(void* job);
    // A tip reduced by nearest pixel with error accumulators: 1, 0 for null, bitmaps
    // that are not 8-bit or a destination larger than the source.
    static int ResizeBrushNN(_tagITzBITMAP* dest, const _tagITzBITMAP* source);
};
