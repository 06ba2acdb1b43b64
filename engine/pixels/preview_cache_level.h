// ITzPreviewCacheLevel: one level of an image layer's preview cache, an image layer of
// the source's kind in the level's coordinates whose missing blocks are built when first
// read, each pixel the 2 x 2 reduction of the next finer level (or of the source layer
// for level 1). One template over the block record serves both kinds: ITzPreviewCacheARGB
// for ARGB layers, ITzPreviewCacheGray (truncating means) for masks.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/preview_cache_common.h"

namespace lumatra {

// The image layer kind that keeps blocks of a record type.
template <class Record>
struct LayerOfRecord;
template <>
struct LayerOfRecord<_tagITzBLOCKINFOARGB> {
    using type = ITzLayerImageARGB;
};
template <>
struct LayerOfRecord<_tagITzBLOCKINFOGRAY> {
    using type = ITzLayerImageGray;
};

}  // namespace lumatra

template <class Record>
class LUMATRA_API ITzPreviewCacheLevel : public lumatra::LayerOfRecord<Record>::type, public ITzPreviewCacheCommon {
public:
    using Layer = typename lumatra::LayerOfRecord<Record>::type;

    ITzPreviewCacheLevel(ITzPreviewCacheManager* manager, uint8_t level);
    ~ITzPreviewCacheLevel() override;

    // Level `level` (1 to 8) of the cache behind `manager`, whose source layer must be of
    // this level's kind; null otherwise or when memory is short.
    static ITzLayerImage* Create(uint32_t level, ITzPreviewCacheLink* manager);

    // Builds the block (whether present or not) from the finer levels: 1 when it was
    // built; 0 when it failed, the block then missing so that a later read tries again.
    int PrepareBlockData(uint32_t index) override;
    // Rebuilds the present blocks under a level rectangle (clipped to the layer) straight
    // from the source layer, whose rectangle starts at picture point `source`: type 1 the
    // alpha channel (a mask's only channel), type 16 every channel; any other type
    // changes nothing. Missing blocks are left to be built when read. The last block's
    // result, 0 when nothing was touched.
    int PreviewUpdateRectDataFromDatalayer(const PTzRECT* rect, const PTzPOINT* source, uint8_t type) override;
    // Rebuilds part of a present block from the finer levels; `pictureRect`'s corner is
    // the part's first level pixel. An ARGB level rebuilds its alpha channel for flags
    // bit 0 and expands the block and locks its channels once for bit 4; a mask rebuilds
    // its channel whatever the flags. 0.
    int PreviewUpdateRectBlock(uint32_t index, const PTzRECT* inBlock, const PTzRECT* pictureRect,
                               uint8_t flags) override;
    // Rebuilds one channel under `inBlock` (its first level pixel at `corner`) from the
    // finer levels' alpha, expanding the channel first: 1, or 0 when it cannot be
    // expanded or locked or a part failed.
    int PreviewUpdateRectChannel(_tagITzCHANNELDATA* channel, const PTzRECT* inBlock, const PTzPOINT* corner,
                                 uint8_t flags) override;
    // Calls the initialiser with this layer, its level, the block and the user value.
    int InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init) override;
    using Layer::GetBlockInfo;
    // As the layer kind; a missing block read with `fill` nonzero is built first.
    int GetBlockInfo(uint32_t index, Record* out, int fill) override;

private:
    // Stores a changed record; when that fails the handles it added are freed and the
    // layer keeps `old`.
    void StoreOrDrop(uint32_t index, const Record& changed, const Record& old);
};

extern template class LUMATRA_API ITzPreviewCacheLevel<_tagITzBLOCKINFOARGB>;
extern template class LUMATRA_API ITzPreviewCacheLevel<_tagITzBLOCKINFOGRAY>;

using ITzPreviewCacheARGB = ITzPreviewCacheLevel<_tagITzBLOCKINFOARGB>;
using ITzPreviewCacheGray = ITzPreviewCacheLevel<_tagITzBLOCKINFOGRAY>;
