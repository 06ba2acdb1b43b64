// ITzPreviewCacheGray: one level of a mask's preview cache, a gray layer in the level's
// coordinates whose missing blocks are built when first read, each pixel the 2 x 2
// truncating mean of the next finer level (or of the source mask for level 1).
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/preview_cache_common.h"

class LUMATRA_API ITzPreviewCacheGray : public ITzLayerImageGray, public ITzPreviewCacheCommon {
public:
    ITzPreviewCacheGray(ITzPreviewCacheManager* manager, uint8_t level);
    ~ITzPreviewCacheGray() override;

    // Level `level` (1 to 8) of the cache behind `manager`, whose source layer must be a
    // gray layer; null otherwise or when memory is short.
    static ITzLayerImage* Create(uint32_t level, ITzPreviewCacheLink* manager);

    // Builds the block (whether present or not) from the finer levels: 1 when it was
    // built; 0 when it failed, the block then missing so that a later read tries again.
    int PrepareBlockData(uint32_t index) override;
    // Rebuilds the present blocks under a level rectangle (clipped to the layer) straight
    // from the source mask, whose rectangle starts at picture point `source`, for type 1
    // or 16; any other type changes nothing. The last block's result, 0 when nothing was
    // touched.
    int PreviewUpdateRectDataFromDatalayer(const PTzRECT* rect, const PTzPOINT* source, uint8_t type) override;
    // Rebuilds a present block's channel under `inBlock` from the finer levels, whatever
    // the flags; `pictureRect`'s corner is the part's first level pixel. 0.
    int PreviewUpdateRectBlock(uint32_t index, const PTzRECT* inBlock, const PTzRECT* pictureRect,
                               uint8_t flags) override;
    // Rebuilds the channel under `inBlock` (its first level pixel at `corner`) from the
    // finer levels, expanding it first: 1, or 0 when it cannot be expanded or locked or a
    // part failed.
    int PreviewUpdateRectChannel(_tagITzCHANNELDATA* channel, const PTzRECT* inBlock, const PTzPOINT* corner,
                                 uint8_t flags) override;
    // Calls the initialiser with this layer, its level, the block and the user value.
    int InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init) override;
    using ITzLayerImageGray::GetBlockInfo;
    // As the gray layer; a missing block read with `fill` nonzero is built first.
    int GetBlockInfo(uint32_t index, _tagITzBLOCKINFOGRAY* out, int fill) override;
};
