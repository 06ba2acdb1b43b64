// The brush tool's stroke cache: a 256 x 256 byte window of coverage over the picture in
// which dabs gather, and its push into the floating layer as one mask merge.
#include <algorithm>
#include <cstring>
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_brush_base.h"

namespace {

constexpr PTzRECT kWindow = {0, 0, ITzBRUSH_CACHE_SIDE, ITzBRUSH_CACHE_SIDE};

bool Inside(const PTzRECT& rect, const PTzRECT& frame)
{
    return rect.left >= frame.left && rect.top >= frame.top && rect.right <= frame.right &&
           rect.bottom <= frame.bottom;
}

}  // namespace

int ITzToolBrushBase::PrepareCacheBitmap()
{
    if (m_cache.pixels)
        return 1;
    const int32_t stride = ITzBRUSH_CACHE_SIDE << m_cacheSizeShift;
    const uint32_t bytes = ITzBLOCK_PAGE_BYTES << m_cacheSizeShift;
    uint8_t* pixels = nullptr;
    if (!BlockMemoryAlloc(GetBlockMemoryPool(), &pixels, bytes))
        return 0;
    // Pages keep what their last borrower left.
    std::memset(pixels, 0, bytes);
    m_cache = {ITzBRUSH_CACHE_SIDE, ITzBRUSH_CACHE_SIDE, stride, 8, int32_t(PTzCOLORMODE_GRAY), pixels};
    m_cacheEmpty = 1;
    m_dirtyRect = {0, 0, 0, 0};
    return 1;
}

void ITzToolBrushBase::ReleaseChaeBitmap()
{
    if (m_cache.pixels)
        BlockMemoryFree(m_cache.pixels, 0, GetBlockMemoryPool());
    m_cache = {};
    m_cacheEmpty = 1;
    m_dirtyRect = {0, 0, 0, 0};
}

void ITzToolBrushBase::ZeroCache()
{
    // Outside the dirty rectangle the cache is zero already.
    if (m_cache.pixels)
        for (int32_t y = m_dirtyRect.top; y < m_dirtyRect.bottom; ++y)
            std::memset(m_cache.pixels + ptrdiff_t(y) * m_cache.stride + m_dirtyRect.left, 0,
                        size_t(m_dirtyRect.right - m_dirtyRect.left));
    m_dirtyRect = {0, 0, 0, 0};
}

void ITzToolBrushBase::ClearCache()
{
    ZeroCache();
    m_cacheEmpty = 1;
}

bool ITzToolBrushBase::FitsWindow(const PTzRECT& dabRect) const
{
    const PTzRECT inCache = {dabRect.left - m_cacheOrigin.x, dabRect.top - m_cacheOrigin.y,
                             dabRect.right - m_cacheOrigin.x, dabRect.bottom - m_cacheOrigin.y};
    PTzRECT joined;
    PTzRectBounds(&m_dirtyRect, &inCache, &joined);
    return Inside(joined, kWindow);
}

int ITzToolBrushBase::MergeBrush(PTzRECT* dabRect, _tagITzBITMAP* dab, uint8_t strength)
{
    if (!dabRect || !DabHasPixels(dab) || !m_cache.pixels)
        return 0;
    if (m_cacheEmpty) {
        m_cacheOrigin = {dabRect->left - ((ITzBRUSH_CACHE_SIDE - dab->width) >> 1),
                         dabRect->top - ((ITzBRUSH_CACHE_SIDE - dab->height) >> 1)};
        m_dirtyRect = {0, 0, 0, 0};
        m_cacheEmpty = 0;
        PTzRECT window = {m_cacheOrigin.x, m_cacheOrigin.y, m_cacheOrigin.x + ITzBRUSH_CACHE_SIDE,
                          m_cacheOrigin.y + ITzBRUSH_CACHE_SIDE};
        PrepareCacheData(&window);
    }
    PTzRECT cacheRect = {dabRect->left - m_cacheOrigin.x, dabRect->top - m_cacheOrigin.y,
                         dabRect->left - m_cacheOrigin.x + dab->width, dabRect->top - m_cacheOrigin.y + dab->height};
    // Only what lies in the window is merged, so only that can hold paint.
    PTzRECT painted;
    if (PTzRectIntersect(&cacheRect, &kWindow, &painted))
        PTzRectBounds(&m_dirtyRect, &painted, &m_dirtyRect);
    return MergeBrushToCache(&cacheRect, dab, dabRect, strength);
}

int ITzToolBrushBase::MergeBrushToCache(PTzRECT* cacheRect, _tagITzBITMAP* dab, PTzRECT* /*dabRect*/,
                                        uint8_t strength)
{
    if (!cacheRect || !DabHasPixels(dab) || !m_cache.pixels)
        return 0;
    const PTzRECT whole = {0, 0, dab->width, dab->height};
    const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, strength};
    CMathMerge::MergeBitmap(GetMathMerge(), &whole, dab, &m_cache, cacheRect, &merge);
    return 1;
}

int ITzToolBrushBase::PushCache()
{
    _tagITzTOOLBRUSH_DOPUSHCACHEINFO* job = DoPushCacheStart(m_pushPicture);
    if (!job)
        return 0;
    while (DoPushCacheRun(job)) {
    }
    DoPushCacheEnd(job);
    return 1;
}

_tagITzTOOLBRUSH_DOPUSHCACHEINFO* ITzToolBrushBase::DoPushCacheStart(ITzPicture* picture)
{
    if (m_cacheEmpty || !picture)
        return nullptr;
    m_pushPicture = picture;
    PTzRECT rect = {m_dirtyRect.left + m_cacheOrigin.x, m_dirtyRect.top + m_cacheOrigin.y,
                    m_dirtyRect.right + m_cacheOrigin.x, m_dirtyRect.bottom + m_cacheOrigin.y};
    ITzLayerImage* floating = GetPushLayer(picture);
    auto* job = floating ? new (std::nothrow) _tagITzTOOLBRUSH_DOPUSHCACHEINFO{0, floating, rect, {}} : nullptr;
    // Paint that cannot be pushed is dropped: kept, it would stop every later dab.
    if (!job || !GetRectDataReady(floating, &job->rect, nullptr)) {
        delete job;
        ClearCache();
        return nullptr;
    }
    floating->PRECTtoLRECT(&job->rect, &job->layerRect);
    return job;
}

int ITzToolBrushBase::DoPushCacheRun(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job)
{
    if (!job)
        return 0;
    switch (job->state) {
    case 0:
        MergeCacheToImage(job);
        break;
    case 1:
        UpdateCacheDataForDataChange(job->floatingLayer, &job->rect, 1);
        break;
    case 2:
        DataChanged(m_pushPicture, &job->rect);
        break;
    case 3:
        ClearCache();
        job->state = 4;
        return 0;
    default:
        return 0;
    }
    ++job->state;
    return 1;
}

int ITzToolBrushBase::DoPushCacheEnd(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job)
{
    if (!job)
        return 0;
    delete job;
    return 1;
}

bool ITzToolBrushBase::CachePaint(const PTzRECT& pictureRect, _tagITzBITMAP* view) const
{
    PTzRECT part = {pictureRect.left - m_cacheOrigin.x, pictureRect.top - m_cacheOrigin.y,
                    pictureRect.right - m_cacheOrigin.x, pictureRect.bottom - m_cacheOrigin.y};
    return m_cache.pixels && ITzGetSubBitmap(view, &part, &m_cache);
}

int ITzToolBrushBase::MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job)
{
    if (!job || !job->floatingLayer)
        return 0;
    _tagITzBITMAP paint;
    int merged = 0;
    if (CachePaint(job->rect, &paint))
        merged = job->floatingLayer->MergeMask(&paint, &job->layerRect, 255);
    // Zeroed, but marked empty only when the push ends.
    ZeroCache();
    return merged;
}
