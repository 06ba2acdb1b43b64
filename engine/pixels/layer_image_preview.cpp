// The image layer's side of drawing: its preview cache (made through the installed
// maker, the preview-cache manager's unless replaced), coverage tests that let the
// picture skip layers below, and the display reads and merges at a cache level.
#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_walk.h"
#include "engine/pixels/layer_owner.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/preview_cache_link.h"
#include "engine/pixels/preview_cache_manager.h"
#include "engine/pixels/rect_clip.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "engine/pixels/zoom_read_walk.h"

using lumatra::BlockPart;
using lumatra::WalkGridRect;

namespace {

// A constant: nothing runs when the library is loaded.
constinit ITzPreviewCacheMaker g_cacheMaker = &ITzPreviewCacheManager::MakeForLayer;

}  // namespace

ITzPreviewCacheLink::~ITzPreviewCacheLink() = default;

void ITzSetPreviewCacheMaker(ITzPreviewCacheMaker maker)
{
    g_cacheMaker = maker;
}

ITzPreviewCacheMaker ITzGetPreviewCacheMaker()
{
    return g_cacheMaker;
}

ITzPreviewCacheLink* ITzLayerImage::GetCacheManager()
{
    if (!m_cache && g_cacheMaker)
        m_cache = g_cacheMaker(this);
    return m_cache;
}

ITzLayerImage* ITzLayerImage::GetCacheLayer(uint8_t level)
{
    ITzPreviewCacheLink* cache = GetCacheManager();
    return cache ? cache->GetCacheLayer(level) : nullptr;
}

int ITzLayerImage::BlockDataUpdated(uint32_t index)
{
    PTzRECT block;
    if (GetBlockBlockRect(index, &block) != 0)
        return ITzERR_INVALID;
    PTzRECT local;
    BRECTtoLRECT(&block, &local);
    PreviewChanged(&local);
    if (m_cache) {
        PTzRECT picture;
        LRECTtoPRECT(&local, &picture);
        m_cache->BlockDataUpdated(&picture);
    }
    return 0;
}

int ITzLayerImage::RebuildPreview(const PTzRECT* rect, int flag)
{
    return m_cache ? m_cache->RebuildPreview(rect, flag) : 0;
}

int ITzLayerImage::UpdataPreviewForBrush(uint8_t level, const PTzRECT* rect, int flag)
{
    return m_cache ? m_cache->UpdataPreviewForBrush(level, rect, flag) : 0;
}

int ITzLayerImage::InvalideCache(uint8_t level)
{
    ITzLayerImage* cacheLayer = m_cache ? m_cache->GetCacheLayer(level) : nullptr;
    if (!cacheLayer)
        return 0;
    for (uint32_t index = 0, count = cacheLayer->GetBlockCount(); index < count; ++index)
        cacheLayer->BlockDataInvalid(index);
    return 1;
}

uint32_t ITzLayerImage::PreparePreviewCachePriority()
{
    ITzPreviewCacheLink* cache = GetCacheManager();
    return cache ? cache->PreparePreviewCachePriority() : 0;
}

void* ITzLayerImage::PreparePreviewCacheStart()
{
    ITzPreviewCacheLink* cache = GetCacheManager();
    return cache ? cache->PreparePreviewCacheStart() : nullptr;
}

int ITzLayerImage::PreparePreviewCacheRun(void* job, uint32_t* built)
{
    return m_cache ? m_cache->PreparePreviewCacheRun(job, built) : 0;
}

int ITzLayerImage::PreparePreviewCacheEnd(void* job)
{
    return m_cache ? m_cache->PreparePreviewCacheEnd(job) : 0;
}

int ITzLayerImage::SizeChanged(const PTzRECT* oldBounds)
{
    if (!m_cache)
        return 0;
    m_cache->SizeChanged(oldBounds);
    if (oldBounds) {
        PTzRECT old;
        PRECTtoLRECT(oldBounds, &old);
        PreviewChanged(&old);
        const PTzRECT bounds = {0, 0, m_size.cx, m_size.cy};
        PreviewChanged(&bounds);
    }
    return 0;
}

int ITzLayerImage::SizeGrowed(const PTzRECT* /*rect*/, _tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    return m_cache ? m_cache->SizeGrowed(init) : 0;
}

int ITzLayerImage::PreviewUpdateRectData(const PTzRECT* rect, uint8_t flags)
{
    PTzRECT grid;
    if (!rect || !ClipToGrid(*rect, true, grid))
        return 0;
    int result = 0;
    WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        PTzRECT blockRect;
        GetBlockBlockRect(block.index, &blockRect);
        const _tagPTzOFFSET corner = {blockRect.left, blockRect.top};
        PTzRECT picture;
        PTzRectOffset(&block.part, &corner, &picture);
        BRECTtoLRECT(&picture, &picture);
        LRECTtoPRECT(&picture, &picture);
        result = PreviewUpdateRectBlock(block.index, &block.part, &picture, flags);
        return true;
    });
    return result;
}

// Coverage. A wrong 1 leaves the layers below undrawn, so every doubt answers 0.

int ITzLayerImage::PreviewFull(const PTzRECT* rect, uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                               const _tagITzZOOMLEVEL* zoomY)
{
    if (!rect || !zoomX || !zoomY || m_mergeType != ITzMERGE_NORMAL || m_opacity < 255)
        return 0;
    PTzRECT picture;
    const bool enlarges = zoomX->numerator > zoomX->denominator;
    const int mapped = enlarges ? ITzZoomRectEnlarge(zoomY, zoomX, rect, &picture, nullptr, nullptr)
                                : ITzZoomRectReduce(zoomY, zoomX, rect, &picture, nullptr, nullptr);
    if (!mapped)
        return 0;
    if (FloatPreviewFull(&picture, level))
        return 1;
    return AlphaFull(&picture, level) && !FloatPreviewNoAbleFull(&picture, level) ? 1 : 0;
}

int ITzLayerImage::AlphaFull(const PTzRECT* rect, uint8_t level)
{
    if (!rect)
        return 0;
    if (level != 0) {
        ITzLayerImage* cacheLayer = GetCacheLayer(level);
        return cacheLayer ? cacheLayer->AlphaFull(rect, 0) : 0;
    }
    PTzRECT local;
    PRECTtoLRECT(rect, &local);
    return AlphaDataFull(&local);
}

int ITzLayerImage::AlphaEmpty(const PTzRECT* rect, uint8_t level)
{
    if (!rect)
        return 0;
    if (level != 0) {
        ITzLayerImage* cacheLayer = GetCacheLayer(level);
        return cacheLayer ? cacheLayer->AlphaEmpty(rect, 0) : 0;
    }
    PTzRECT local;
    PRECTtoLRECT(rect, &local);
    return AlphaDataEmpty(&local);
}

int ITzLayerImage::FloatPreviewFull(const PTzRECT* rect, uint8_t level)
{
    if (!rect || !m_floating || m_floating->GetOpacity() != 255 ||
        m_floating->GetMergeType() != ITzMERGE_NORMAL || !m_floating->AlphaFull(rect, level))
        return 0;
    ITzLayerImage* selection = m_picture ? m_picture->GetSelectionLayer(0) : nullptr;
    return !selection || selection->AlphaFull(rect, level) ? 1 : 0;
}

int ITzLayerImage::FloatPreviewNoAbleFull(const PTzRECT* rect, uint8_t level)
{
    if (!rect || !m_floating || m_floating->GetOpacity() == 0 || m_floating->GetMergeType() != ITzMERGE_ERASE ||
        m_floating->AlphaEmpty(rect, level))
        return 0;
    // The erase acts only where the selection is nonzero: it spoils the coverage unless
    // the selection is known to be empty over the rectangle.
    ITzLayerImage* selection = m_picture ? m_picture->GetSelectionLayer(0) : nullptr;
    return selection && selection->AlphaEmpty(rect, level) ? 0 : 1;
}

int ITzLayerImage::GetPreviewBounds(PTzRECT* bounds)
{
    if (!bounds)
        return ITzERR_INVALID;
    GetBounds(bounds);
    if (!m_floating)
        return 0;
    PTzRECT floating;
    m_floating->GetBounds(&floating);
    ITzLayerImage* selection = m_picture ? m_picture->GetSelectionLayer(0) : nullptr;
    if (selection) {
        PTzRECT selected;
        selection->GetBounds(&selected);
        PTzRectIntersect(&floating, &selected, &floating);
    }
    PTzRectBounds(bounds, &floating, bounds);
    return 0;
}

// Drawing.

int ITzLayerImage::PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                        const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, int /*forSave*/)
{
    if (!bitmap || !rect)
        return ITzERR_INVALID;
    if (m_floating)
        PreviewMergeToBitmapWithFloating(bitmap, rect, level, zoomX, zoomY);
    else
        PreviewMergeToBitmapNoFloating(bitmap, rect, level, zoomX, zoomY);
    return 0;
}

int ITzLayerImage::PreviewMergeToBitmapNoFloating(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                                  const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (level == 0) {
        MergeToBitmap(bitmap, rect, zoomX, zoomY);
        return 0;
    }
    if (ITzLayerImage* cacheLayer = GetCacheLayer(level))
        cacheLayer->MergeToBitmap(bitmap, rect, zoomX, zoomY);
    return 0;
}

int ITzLayerImage::GetDisplayData(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                  const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (level == 0)
        return GetBitmap(bitmap, rect, zoomX, zoomY);
    ITzLayerImage* cacheLayer = GetCacheLayer(level);
    return cacheLayer ? cacheLayer->GetBitmap(bitmap, rect, zoomX, zoomY) : ITzERR_INVALID;
}

bool ITzLayerImage::PrepareZoomRead(const PTzRECT& rect, const _tagITzZOOMLEVEL& zoomX,
                                    const _tagITzZOOMLEVEL& zoomY, bool enlarge, int32_t width, int32_t height,
                                    lumatra::ZoomReadPlan& plan)
{
    lumatra::ZoomLayerPlace place = {{}, m_position, {m_blockOffset.x, m_blockOffset.y}, m_blockCountX,
                                     m_blockCountY};
    GetAvalibeLBounds(&place.available);
    return plan.Prepare(rect, zoomX, zoomY, enlarge, width, height, place);
}

int ITzLayerImage::GetDisplayChannelData(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                         const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (level == 0)
        return GetChannelBitmap(bitmap, rect, zoomX, zoomY);
    ITzLayerImage* cacheLayer = GetCacheLayer(level);
    return cacheLayer ? cacheLayer->GetChannelBitmap(bitmap, rect, zoomX, zoomY) : ITzERR_INVALID;
}

int ITzLayerImage::PreviewMergeToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                               const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                               int /*noMask*/)
{
    if (!bitmap || !rect || !zoomX || !zoomY || PTzRectEmpty(rect))
        return ITzERR_INVALID;
    // No more than the bitmap at the rectangle's corner can take.
    const PTzRECT placed = ITzRectPlaced(*rect, bitmap->width, bitmap->height);
    const int32_t width = placed.right - placed.left;
    const int32_t height = placed.bottom - placed.top;
    _tagITzCHANNELBITMAP own = {width, height, width, 0, {}};
    if (!LockChannelBitmap(&own))
        return ITzERR_INVALID;
    GetDisplayChannelData(&own, &placed, level, zoomX, zoomY);
    MergeFloatingOnto(&own, placed, level, zoomX, zoomY, true);
    const _tagITzMERGEDATA merge = {m_mergeType, m_opacity};
    const PTzRECT whole = {0, 0, width, height};
    ITzMergeChannelBitmap(&merge, 255, nullptr, bitmap, GetMathMerge(), &whole, &own, &whole, nullptr);
    UnlockChannelBitmap(&own);
    return 0;
}

int ITzLayerImage::PreviewCopyToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                              const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!bitmap || !rect || !zoomX || !zoomY || PTzRectEmpty(rect))
        return ITzERR_INVALID;
    GetDisplayChannelData(bitmap, rect, level, zoomX, zoomY);
    MergeFloatingOnto(bitmap, *rect, level, zoomX, zoomY, true);
    return 0;
}
