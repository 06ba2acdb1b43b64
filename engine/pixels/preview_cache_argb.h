// ITzPreviewCacheARGB: one level of an ARGB layer's preview cache, an ARGB layer in the
// level's coordinates whose missing blocks are built when first read, each pixel the
// 2 x 2 reduction of the next finer level (or of the source layer for level 1).
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_cache_common.h"

class LUMATRA_API ITzPreviewCacheARGB : public ITzLayerImageARGB, public ITzPreviewCacheCommon {
public:
    ITzPreviewCacheARGB(ITzPreviewCacheManager* manager, uint8_t level);
    ~ITzPreviewCacheARGB() override;

    // Level `level` (1 to 8) of the cache behind `manager`, whose source layer must be an
    // ARGB layer; null otherwise or when memory is short.
    static ITzLayerImage* Create(uint32_t level, ITzPreviewCacheLink* manager);

    // Builds the block (whether present or not) from the finer levels: 1 when it was
    // built; 0 when it failed, the block then missing so that a later read tries again.
    int PrepareBlockData(uint32_t index) override;
    // Rebuilds the blocks under a level rectangle (clipped to the layer) straight from
    // the source layer, whose rectangle starts at picture point `source`: type 1 the
    // alpha channel, type 16 all four, any other type nothing. Missing blocks are left to
    // be built when read. The last block's result, 0 when nothing was touched.
    int PreviewUpdateRectDataFromDatalayer(const PTzRECT* rect, const PTzPOINT* source, uint8_t type) override;
    // Flags bit 0: the present block's alpha channel under `inBlock` is rebuilt from the
    // finer levels (PreviewUpdateRectChannel); bit 4: the block is expanded and its
    // channels locked once. `pictureRect`'s corner is the part's first level pixel. 0.
    int PreviewUpdateRectBlock(uint32_t index, const PTzRECT* inBlock, const PTzRECT* pictureRect,
                               uint8_t flags) override;
    // Rebuilds one channel under `inBlock` (its first level pixel at `corner`) from the
    // finer levels' alpha, expanding the channel first: 1, or 0 when it cannot be
    // expanded or locked or a part failed.
    int PreviewUpdateRectChannel(_tagITzCHANNELDATA* channel, const PTzRECT* inBlock, const PTzPOINT* corner,
                                 uint8_t flags) override;
    // Calls the initialiser with this layer, its level, the block and the user value.
    int InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init) override;
    using ITzLayerImageARGB::GetBlockInfo;
    // As the ARGB layer; a missing block read with `fill` nonzero is built first.
    int GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int fill) override;
};
