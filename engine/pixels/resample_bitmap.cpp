// Whole interleaved bitmaps resized bilinearly, one 256 x 256 destination tile per step,
// with plain tables (the destination's size over the source's) or centred tables at
// given zooms.
#include <algorithm>

#include "base/memory.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/resample_accumulate.h"
#include "engine/pixels/resample_bitmap_job.h"

namespace lumatra {

BitmapResizeJob* NewBitmapResizeJob(_tagITzBITMAP* dest, const _tagITzBITMAP* source, _tagITzBLRESIZETABLE* tableX,
                                    _tagITzBLRESIZETABLE* tableY)
{
    auto* job = (tableX && tableY) ? static_cast<BitmapResizeJob*>(PTzPointNew(sizeof(BitmapResizeJob))) : nullptr;
    if (!job) {
        ITzResize::ReleaseBLResizetable(tableX);
        ITzResize::ReleaseBLResizetable(tableY);
        return nullptr;
    }
    job->tableX = tableX;
    job->tableY = tableY;
    job->dest = dest;
    job->source = source;
    return job;
}

}  // namespace lumatra

namespace {

constexpr _tagPTzSIZE kTileSize = {256, 256};

bool Resizable(const _tagITzBITMAP* dest, const _tagITzBITMAP* source)
{
    lumatra::PlaneView planes;
    return dest && source && dest->width > 0 && dest->height > 0 && source->width > 0 && source->height > 0 &&
           dest->colorMode == source->colorMode && dest->bits == source->bits &&
           lumatra::BitmapPlanes(*dest, planes) && lumatra::BitmapPlanes(*source, planes);
}

// The tile walk over the whole destination and its buffer: the job, or null (freed).
void* StartBitmapJob(lumatra::BitmapResizeJob* job)
{
    const PTzRECT whole = job ? PTzRECT{0, 0, job->dest->width, job->dest->height} : PTzRECT{};
    if (!job || !lumatra::WeightSumsFit(*job->tableX, *job->tableY) ||
        PTzRectEnumFill(&whole, &job->walk, &kTileSize) != 0 ||
        !ITzResize::AllocBLZoomBuffer(&kTileSize, _tagPTzCOLORMODE(job->dest->colorMode), &job->buffer)) {
        ITzResize::ResizeBitmapBL_CEnd(job);
        return nullptr;
    }
    return job;
}

}  // namespace

void* ITzResize::ResizeBitmapBLStart(_tagITzBITMAP* dest, const _tagITzBITMAP* source)
{
    if (!Resizable(dest, source))
        return nullptr;
    const _tagITzZOOMLEVEL zoomX = {uint32_t(dest->width), uint32_t(source->width)};
    const _tagITzZOOMLEVEL zoomY = {uint32_t(dest->height), uint32_t(source->height)};
    _tagITzBLRESIZETABLE* tableX = CreateBLResizetable(0, source->width, &zoomX);
    _tagITzBLRESIZETABLE* tableY = CreateBLResizetable(0, source->height, &zoomY);
    return StartBitmapJob(lumatra::NewBitmapResizeJob(dest, source, tableX, tableY));
}

void* ITzResize::ResizeBitmapBL_CStart(_tagITzBITMAP* dest, const _tagITzBITMAP* source,
                                       const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!Resizable(dest, source) || !zoomX || !zoomY)
        return nullptr;
    _tagITzBLRESIZETABLE* tableX = CreateBL_CResizeTable(uint32_t(source->width), zoomX);
    _tagITzBLRESIZETABLE* tableY = CreateBL_CResizeTable(uint32_t(source->height), zoomY);
    return StartBitmapJob(lumatra::NewBitmapResizeJob(dest, source, tableX, tableY));
}

int ITzResize::ResizeBitmapBL(void* job)
{
    return ResizeBitmapBL_C(job);
}

// Both table kinds carry their geometry, so one step serves the plain and the centred job.
int ITzResize::ResizeBitmapBL_C(void* handle)
{
    auto* job = static_cast<lumatra::BitmapResizeJob*>(handle);
    PTzRECT tile;
    if (!job || !PTzRectEnumGetCurrent(&job->walk, &tile))
        return 0;
    ClearnBLZoomBuffer(uint32_t(kTileSize.cx * kTileSize.cy), &job->buffer);
    PTzRECT sourceRect;
    lumatra::PlaneView source;
    if (GetResizeSrcRectBilinear_C(&sourceRect, &tile, job->tableX, job->tableY) &&
        lumatra::BitmapPlanes(*job->source, source)) {
        const lumatra::BLTarget target = {&job->buffer, kTileSize.cx, tile, 128};
        lumatra::BLAccumulator accumulator(target, *job->tableX, *job->tableY, job->rowSums);
        accumulator.Add(lumatra::PlanesAt(source, sourceRect.left, sourceRect.top), sourceRect);
    }
    _tagITzBITMAP view;
    if (ITzGetSubBitmap(&view, &tile, job->dest))
        FillDesBitmapWithBuffer(&view, &job->buffer, &kTileSize);
    return 1;
}

int ITzResize::ResizeBitampBLEnd(void* job)
{
    return ResizeBitmapBL_CEnd(job);
}

int ITzResize::ResizeBitmapBL_CEnd(void* handle)
{
    auto* job = static_cast<lumatra::BitmapResizeJob*>(handle);
    if (!job)
        return 0;
    ReleaseBLResizetable(job->tableX);
    ReleaseBLResizetable(job->tableY);
    ReleaseBLZoomBuffer(&kTileSize, &job->buffer);
    if (job->brushColumns)
        PTzPointFree(job->brushColumns);
    PTzPointFree(job);
    return 1;
}

int ITzResize::ResizeBitmapSimpleBL(_tagITzBITMAP* dest, const _tagITzBITMAP* source)
{
    void* job = ResizeBitmapBLStart(dest, source);
    if (!job)
        return 0;
    while (ResizeBitmapBL(job))
        ;
    return ResizeBitampBLEnd(job);
}

int ITzResize::ResizeBitmapSimpleBL_C(_tagITzBITMAP* dest, const _tagITzBITMAP* source,
                                      const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    void* job = ResizeBitmapBL_CStart(dest, source, zoomX, zoomY);
    if (!job)
        return 0;
    while (ResizeBitmapBL_C(job))
        ;
    return ResizeBitmapBL_CEnd(job);
}
