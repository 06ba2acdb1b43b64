// The block-wise resize service: a source of one size, read through a callback, resized
// bilinearly to a destination size one 256 x 256 tile at a time. The main program's
// resize and print operations drive it.
#include <algorithm>
#include <cstring>

#include "base/memory.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/resample_accumulate.h"

namespace {

constexpr int32_t kTile = 256;
constexpr _tagPTzSIZE kTileSize = {kTile, kTile};

struct BlockService {
    _tagITzBLRESIZETABLE* tableX;
    _tagITzBLRESIZETABLE* tableY;
    _tagPTzSIZE dest;
    _tagPTzSIZE source;
    _tagITzRESIZEINPUTPROCINFO input;
    _tagITzZOOMBLBUFFERDATA* buffer;  // made at the first block, for that block's planes
    uint32_t bufferPlanes;            // bit p: the buffer sums plane p
    alignas(8) uint8_t rowSums[kTile * (5 * sizeof(uint64_t) + sizeof(uint32_t))];
};

uint32_t PlaneBits(const _tagITzCHANNELBITMAP& bitmap)
{
    uint32_t bits = 0;
    for (int p = 0; p < 5; ++p)
        bits |= bitmap.planes[p] ? 1u << p : 0u;
    return bits;
}

// The buffer matching the caller's planes, made on first use (and again only when a
// later call brings other planes).
bool EnsureBuffer(BlockService& service, const _tagITzCHANNELBITMAP& bitmap)
{
    const uint32_t planes = PlaneBits(bitmap);
    if (service.buffer && service.bufferPlanes == planes)
        return true;
    ITzResize::ReleaseZoomSettingBuffer(&kTileSize, service.buffer);
    service.buffer = ITzResize::CreateZoomSettingBuffer(&kTileSize, &bitmap);
    service.bufferPlanes = planes;
    return service.buffer != nullptr;
}

}  // namespace

void* ITzResize::ResizeCreateSettingHandle(uint32_t type, const _tagPTzSIZE* source, const _tagPTzSIZE* dest,
                                           const _tagITzRESIZEINPUTPROCINFO* input)
{
    if (type != ITzRESAMPLE_BILINEAR || !source || !dest || !input || !input->callback || source->cx <= 0 ||
        source->cy <= 0 || dest->cx <= 0 || dest->cy <= 0)
        return nullptr;
    auto* service = static_cast<BlockService*>(PTzPointNew(sizeof(BlockService)));
    if (!service)
        return nullptr;
    const _tagITzZOOMLEVEL zoomX = {uint32_t(dest->cx), uint32_t(source->cx)};
    const _tagITzZOOMLEVEL zoomY = {uint32_t(dest->cy), uint32_t(source->cy)};
    service->tableX = CreateBLResizetable(0, source->cx, &zoomX);
    service->tableY = CreateBLResizetable(0, source->cy, &zoomY);
    service->dest = *dest;
    service->source = *source;
    service->input = *input;
    if (!service->tableX || !service->tableY || !lumatra::WeightSumsFit(*service->tableX, *service->tableY)) {
        ResizeReleaseSettingHandle_BL(service);
        return nullptr;
    }
    return service;
}

int ITzResize::ResizeGetBlockData(uint32_t type, void* handle, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap)
{
    if (type != ITzRESAMPLE_BILINEAR || !handle || !rect || !bitmap)
        return 0;
    auto& service = *static_cast<BlockService*>(handle);
    const PTzRECT area = {rect->left, rect->top,
                          int32_t(std::min<int64_t>(rect->right, int64_t{rect->left} + bitmap->width)),
                          int32_t(std::min<int64_t>(rect->bottom, int64_t{rect->top} + bitmap->height))};
    if (area.left >= area.right || area.top >= area.bottom)
        return 1;
    if (!EnsureBuffer(service, *bitmap))
        return 0;
    _tagPTzRECTENUM walk;
    PTzRECT tile;
    if (PTzRectEnumFill(&area, &walk, &kTileSize) != 0)
        return 0;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        PTzRECT place = {tile.left - area.left, tile.top - area.top, tile.right - area.left, tile.bottom - area.top};
        _tagITzCHANNELBITMAP view;
        if (!ITzGetSubChannelBitmap(&place, &view, bitmap) || !ResizeGetBlockData_BL_S(handle, &tile, &view))
            return 0;
    }
    return 1;
}

int ITzResize::ResizeGetBlockData_BL_S(void* handle, const PTzRECT* tile, _tagITzCHANNELBITMAP* bitmap)
{
    if (!handle || !tile || !bitmap || tile->right - tile->left > kTile || tile->bottom - tile->top > kTile)
        return 0;
    auto& service = *static_cast<BlockService*>(handle);
    if (!EnsureBuffer(service, *bitmap))
        return 0;
    _tagITzCHANNELBITMAP source = {};
    if (!PrepareSourceChannelBitmapByDes(&source, bitmap))
        return 0;
    // Every tile starts from empty sums, so no tile carries into the next.
    ClearnBLZoomBuffer(uint32_t(kTile * kTile), service.buffer);
    PTzRECT sourceRect;
    _tagPTzRECTENUM walk;
    PTzRECT piece;
    if (GetResizeSrcRectBilinear(&sourceRect, tile, service.tableX, service.tableY) &&
        PTzRectEnumFill(&sourceRect, &walk, &kTileSize) == 0) {
        while (PTzRectEnumGetCurrent(&walk, &piece)) {
            source.width = piece.right - piece.left;
            source.height = piece.bottom - piece.top;
            // The callback may merge onto what it finds, so each piece starts transparent.
            for (uint8_t* plane : source.planes)
                if (plane)
                    std::memset(plane, 0, ITzBLOCK_PAGE_BYTES);
            PTzRECT request = piece;  // the callback's to keep or change
            if (service.input.callback(&request, &source, service.input.user))
                ResizeGetBlockData_BL_SBuffer(handle, &source, &piece, tile);
        }
    }
    PrepareSourceChannelBitmapRelease(&source);
    return FillChannelBitmapWithBuffer(bitmap, service.buffer, &kTileSize);
}

int ITzResize::ResizeGetBlockData_BL_SBuffer(void* handle, const _tagITzCHANNELBITMAP* source,
                                             const PTzRECT* sourceRect, const PTzRECT* tile)
{
    if (!handle || !source || !sourceRect || !tile)
        return 0;
    auto& service = *static_cast<BlockService*>(handle);
    if (!service.buffer)
        return 0;
    const lumatra::BLTarget target = {service.buffer, kTile, *tile, 128};
    lumatra::BLAccumulator accumulator(target, *service.tableX, *service.tableY, service.rowSums);
    accumulator.Add(lumatra::ChannelPlanes(*source), *sourceRect);
    return 1;
}

int ITzResize::PrepareSourceChannelBitmapByDes(_tagITzCHANNELBITMAP* source, const _tagITzCHANNELBITMAP* dest)
{
    if (!source || !dest)
        return 0;
    _tagITzCHANNELBITMAP made = {kTile, kTile, kTile, dest->kind, {}};
    for (int p = 0; p < 5; ++p) {
        if (dest->planes[p] && !BlockMemoryAlloc(GetBlockMemoryPool(), &made.planes[p], ITzBLOCK_PAGE_BYTES)) {
            PrepareSourceChannelBitmapRelease(&made);
            return 0;
        }
    }
    *source = made;
    return 1;
}

int ITzResize::PrepareSourceChannelBitmapRelease(_tagITzCHANNELBITMAP* source)
{
    if (!source)
        return 0;
    for (uint8_t*& plane : source->planes) {
        if (plane)
            BlockMemoryFree(plane, ITzBLOCK_PAGE_BYTES, GetBlockMemoryPool());
        plane = nullptr;
    }
    return 1;
}

int ITzResize::ResizeReleaseSettingHandle_BL(void* handle)
{
    if (!handle)
        return 0;
    auto* service = static_cast<BlockService*>(handle);
    ReleaseZoomSettingBuffer(&kTileSize, service->buffer);
    ReleaseBLResizetable(service->tableX);
    ReleaseBLResizetable(service->tableY);
    PTzPointFree(service);
    return 1;
}

int ITzResize::ResizeReleaseSettingHandle(uint32_t type, void* handle)
{
    return type == ITzRESAMPLE_BILINEAR ? ResizeReleaseSettingHandle_BL(handle) : 0;
}
