// The ARGB layer's side of the preview cache: reductions by 2^k of the layer's data
// into cache blocks, read through the planar rectangle reads.
#include <algorithm>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_reduce.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_cache_level.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/pixels/tile_walk.h"

using lumatra::FitsTile;
using lumatra::ForEachCacheTile;
using lumatra::ScratchPages;

namespace {

constexpr int32_t kSide = 256;
constexpr uint8_t kMaxLevel = 8;

}  // namespace

int ITzLayerImageARGB::FillChannelMemoryZoomAlpha(const uint8_t* source, uint8_t* target, const PTzRECT* targetRect,
                                                  uint32_t shift)
{
    if (!GetMathMerge())
        return ITzERR_INVALID;
    return ITzReduceChannelPage(source, target, targetRect, shift);
}

int ITzLayerImageARGB::FillBlockMemoryZoom(const _tagITzBLOCKMEMORYARGB* source, _tagITzBLOCKMEMORYARGB* target,
                                           const PTzRECT* targetRect, uint32_t shift)
{
    return ITzReduceBlockMemory(source, target, targetRect, shift);
}

int ITzLayerImageARGB::FillPreviewCacheData(const PTzRECT* rect, _tagITzBLOCKMEMORYARGB* target,
                                            const PTzRECT* targetRect, uint32_t shift, int fill)
{
    PTzRECT layerRect;
    if (!rect || !target || !targetRect || !FitsTile(*rect) || PRECTtoLRECT(rect, &layerRect) != 0)
        return ITzERR_INVALID;
    const ScratchPages pages(4);
    if (!pages.ok())
        return ITzERR_INVALID;
    _tagITzARGBMEMDATA data = {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}, {}, 0, kSide, kSide};
    if (GetRectData_1(&layerRect, &data, fill)) {
        const _tagITzBLOCKMEMORYARGB source = {{data.planes[0], data.planes[1], data.planes[2], data.planes[3]}, {}};
        FillBlockMemoryZoom(&source, target, targetRect, shift);
    }
    return 0;
}

int ITzLayerImageARGB::FillPreviewCacheChannelData(const PTzRECT* rect, uint8_t* target, const PTzRECT* targetRect,
                                                   uint32_t shift, uint8_t)
{
    PTzRECT layerRect;
    if (!rect || !target || !targetRect || !FitsTile(*rect) || PRECTtoLRECT(rect, &layerRect) != 0)
        return ITzERR_INVALID;
    const ScratchPages page(1);
    if (!page.ok())
        return ITzERR_INVALID;
    _tagITzARGBMEMDATA data = {{page.page(0)}, {}, 0, kSide, kSide};
    if (GetRectData_2(&layerRect, &data))
        FillChannelMemoryZoomAlpha(page.page(0), target, targetRect, shift);
    return 0;
}

int ITzLayerImageARGB::FillCacheBlock(_tagITzBLOCKMEMORYARGB* target, const PTzRECT* targetRect,
                                      const PTzRECT* sourceRect, uint8_t level)
{
    if (!target || !targetRect || !sourceRect || level > kMaxLevel)
        return 0;
    const ScratchPages pages(4);
    if (!pages.ok())
        return 0;
    ForEachCacheTile(*sourceRect, *targetRect, level, [&](const PTzRECT& tile, const PTzRECT& square) {
        PTzRECT layerRect;
        PRECTtoLRECT(&tile, &layerRect);
        _tagITzARGBMEMDATA data = {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}, {}, 0, kSide, kSide};
        if (!GetRectData_1(&layerRect, &data, 0))
            return;
        const _tagITzBLOCKMEMORYARGB source = {{data.planes[0], data.planes[1], data.planes[2], data.planes[3]}, {}};
        FillBlockMemoryZoom(&source, target, &square, level);
    });
    return 1;
}

int ITzLayerImageARGB::FillCacheBlockAlpha(_tagITzCHANNELDATA* alpha, const PTzRECT* targetRect,
                                           const PTzRECT* sourceRect, uint8_t level)
{
    if (!alpha || !alpha->data || !targetRect || !sourceRect || level > kMaxLevel)
        return 0;
    const PTzHandleLockGuard target(alpha->data);
    const ScratchPages page(1);
    if (!target || !page.ok())
        return 0;
    ForEachCacheTile(*sourceRect, *targetRect, level, [&](const PTzRECT& tile, const PTzRECT& square) {
        PTzRECT layerRect;
        PRECTtoLRECT(&tile, &layerRect);
        _tagITzARGBMEMDATA data = {{page.page(0)}, {}, 0, kSide, kSide};
        if (GetRectData_2(&layerRect, &data))
            FillChannelMemoryZoomAlpha(page.page(0), target.bytes(), &square, level);
    });
    return 1;
}

ITzLayerImage* ITzLayerImageARGB::CreateCacheLayer(uint32_t level, ITzPreviewCacheLink* manager)
{
    return ITzPreviewCacheARGB::Create(level, manager);
}
