// The brush functions' built-in callbacks: dabs merged into the coverage cache, the
// cache's window placed around the first dab, and every hand-over leaving it empty so
// that no coverage reaches the data callback twice.
#include "engine/tools/brush_functions_cache.h"

#include <cstddef>
#include <cstring>

#include "base/color.h"
#include "base/memory.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/merge_data.h"

namespace lumatra {
namespace {

constexpr int32_t kSide = 256;

// The dab's rectangle in cache coordinates when it lies inside the window (then it lies
// inside the window joined with the coverage too); computed in 64 bits, so a dab far
// from the window is outside it whatever the distance.
bool InWindow(const BrushCache& cache, const PTzRECT& rect, PTzRECT* inCache)
{
    const int64_t left = int64_t(rect.left) - cache.origin.x, top = int64_t(rect.top) - cache.origin.y;
    const int64_t right = int64_t(rect.right) - cache.origin.x, bottom = int64_t(rect.bottom) - cache.origin.y;
    if (left < 0 || top < 0 || right > kSide || bottom > kSide)
        return false;
    *inCache = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    return true;
}

void MergeDab(BrushCache& cache, const PTzRECT& inCache, const _tagITzBITMAP& tip, uint8_t opacity)
{
    const PTzRECT whole = {0, 0, tip.width, tip.height};
    PTzRECT target = inCache;
    const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, opacity};
    CMathMerge::MergeBitmap(GetMathMerge(), &whole, &tip, &cache.cache, &target, &merge);
    PTzRectBounds(&cache.dirty, &inCache, &cache.dirty);
}

void* DabStart(const PTzRECT* rect, const _tagITzBITMAP* tip, uint8_t pressure, void* context)
{
    auto* cache = static_cast<BrushCache*>(context);
    if (!cache || !rect || !tip || !tip->pixels || tip->width < 1 || tip->height < 1)
        return nullptr;
    const uint8_t opacity = cache->opacityFollowsPressure ? pressure : 255;
    const PTzRECT dab = {rect->left, rect->top, rect->left + tip->width, rect->top + tip->height};
    PTzRECT inCache;
    if (cache->inUse && InWindow(*cache, dab, &inCache)) {
        MergeDab(*cache, inCache, *tip, opacity);
        return nullptr;
    }
    HandOverBrushCache(*cache);
    if (tip->width > kSide || tip->height > kSide) {
        if (cache->data.callback) {
            _tagITzBITMAP whole = *tip;
            PTzRECT place = dab;
            cache->data.callback(&whole, &place, cache->data.user);
        }
        return nullptr;
    }
    cache->origin = {dab.left - ((kSide - tip->width) >> 1), dab.top - ((kSide - tip->height) >> 1)};
    cache->inUse = 1;
    InWindow(*cache, dab, &inCache);
    MergeDab(*cache, inCache, *tip, opacity);
    return nullptr;
}

int DabRun(void* /*job*/, void* /*context*/)
{
    return 0;
}

void* FinishStart(void* context)
{
    if (auto* cache = static_cast<BrushCache*>(context))
        HandOverBrushCache(*cache);
    return nullptr;
}

}  // namespace

BrushCache* NewBrushCache()
{
    auto* cache = static_cast<BrushCache*>(PTzPointNew(sizeof(BrushCache)));
    auto* pixels = static_cast<uint8_t*>(PTzPointNew(ITzBLOCK_PAGE_BYTES));
    if (!cache || !pixels) {
        if (cache)
            PTzPointFree(cache);
        if (pixels)
            PTzPointFree(pixels);
        return nullptr;
    }
    // Points come zeroed: the cache starts empty.
    *cache = {{0, 0}, {0, 0, 0, 0}, 0, {kSide, kSide, kSide, 8, int32_t(PTzCOLORMODE_GRAY), pixels}, {}, 0};
    return cache;
}

void FreeBrushCache(BrushCache* cache)
{
    if (!cache)
        return;
    PTzPointFree(cache->cache.pixels);
    PTzPointFree(cache);
}

void HandOverBrushCache(BrushCache& cache)
{
    if (cache.inUse && !PTzRectEmpty(&cache.dirty) && cache.data.callback) {
        _tagITzBITMAP view;
        PTzRECT part = cache.dirty;
        if (ITzGetSubBitmap(&view, &part, &cache.cache)) {
            PTzRECT place = {part.left + cache.origin.x, part.top + cache.origin.y, part.right + cache.origin.x,
                             part.bottom + cache.origin.y};
            cache.data.callback(&view, &place, cache.data.user);
        }
    }
    // Outside the dirty rectangle the cache is zero already.
    for (int32_t y = cache.dirty.top; y < cache.dirty.bottom; ++y)
        std::memset(cache.cache.pixels + ptrdiff_t(y) * cache.cache.stride + cache.dirty.left, 0,
                    size_t(cache.dirty.right - cache.dirty.left));
    cache.dirty = {0, 0, 0, 0};
    cache.inUse = 0;
}

_tagITzBRUSHDOPOINTCALLBACKINFO BrushCacheDabCallbacks(BrushCache* cache)
{
    return {DabStart, DabRun, nullptr, cache};
}

_tagITzBRUSHDOPOINTFINISHCALLBACKINFO BrushCacheFinishCallbacks(BrushCache* cache)
{
    return {FinishStart, nullptr, nullptr, cache};
}

}  // namespace lumatra
