// The gray layer's side of the preview cache: box-mean reductions by 2^k of the mask into
// cache blocks, read through the rectangle read of the mask.
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/block_reduce.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/pixels/tile_walk.h"

using lumatra::FitsTile;
using lumatra::ScratchPages;

namespace {

constexpr int32_t kSide = 256;
constexpr uint8_t kMaxLevel = 8;

}  // namespace

int ITzLayerImageGray::FillBlockMemoryZoom(const _tagITzBLOCKMEMORYARGB* source, _tagITzBLOCKMEMORYGRAY* target,
                                           const PTzRECT* targetRect, uint32_t shift)
{
    if (!source || !target || !target->plane || !targetRect || shift == 0)
        return ITzERR_INVALID;
    if (source->planes[0])
        return ITzReduceChannelPage(source->planes[0], target->plane, targetRect, shift);
    const PTzRECT page = {0, 0, kSide, kSide};
    PTzRECT inside;
    if (PTzRectIntersect(targetRect, &page, &inside))
        FillBlockChannel(target->plane, &inside, source->constants[0]);
    return 0;
}

int ITzLayerImageGray::FillPreviewCacheData(const PTzRECT* source, _tagITzBLOCKMEMORYGRAY* target,
                                            const PTzRECT* targetRect, uint32_t shift)
{
    PTzRECT layerRect;
    if (!source || !target || !targetRect || !FitsTile(*source) || !GetBlockMemoryPool() ||
        PRECTtoLRECT(source, &layerRect) != 0)
        return ITzERR_INVALID;
    // A failure leaves the cache block missing, so the cache can tell it and retry.
    const ScratchPages page(1);
    if (!page.ok())
        return ITzERR_INVALID;
    _tagITzGRAYMEMDATA data = {page.page(0), 0, 0, kSide, kSide};
    if (!GetRectChannelData(&layerRect, &data))
        return ITzERR_INVALID;
    if (data.uniform)
        std::memset(page.page(0), data.value, ITzBLOCK_PAGE_BYTES);
    const _tagITzBLOCKMEMORYARGB pages = {{page.page(0)}, {}};
    FillBlockMemoryZoom(&pages, target, targetRect, shift);
    return 0;
}

int ITzLayerImageGray::FillCacheBlockAlpha(_tagITzCHANNELDATA* alpha, const PTzRECT* targetRect,
                                           const PTzRECT* sourceRect, uint8_t level)
{
    if (!alpha || !alpha->data || !targetRect || !sourceRect || level > kMaxLevel)
        return 0;
    const PTzHandleLockGuard target(alpha->data);
    const ScratchPages page(1);
    if (!target || !page.ok())
        return 0;
    _tagITzBLOCKMEMORYGRAY targetPage = {target.bytes()};
    lumatra::ForEachCacheTile(*sourceRect, *targetRect, level, [&](const PTzRECT& tile, const PTzRECT& square) {
        PTzRECT layerRect;
        PRECTtoLRECT(&tile, &layerRect);
        _tagITzGRAYMEMDATA data = {page.page(0), 0, 0, kSide, kSide};
        if (!GetRectChannelData(&layerRect, &data))
            return;
        if (data.uniform)
            std::memset(page.page(0), data.value, ITzBLOCK_PAGE_BYTES);
        const _tagITzBLOCKMEMORYARGB pages = {{page.page(0)}, {}};
        FillBlockMemoryZoom(&pages, &targetPage, &square, level);
    });
    return 1;
}
