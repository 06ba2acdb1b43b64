// The image layer's bilinear read: the layer's pixels under a zoomed rectangle are
// added tile by tile into an accumulation buffer with the weights of two bilinear
// tables, and the end divides the sums into the caller's channel bitmap.
#include <algorithm>

#include "base/memory.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_resample.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/resample_accumulate.h"
#include "engine/pixels/zoom_terms.h"

namespace {

struct BLReadJob {
    lumatra::ResampleJobHeader header;
    _tagITzCHANNELBITMAP view;  // the caller's bitmap, the layer's planes only
    PTzRECT area;               // the zoomed rectangle the bitmap's corner shows
    _tagITzRESAMPLESETTING tables;
    bool ownTables;  // made for this read when the caller gave none
    _tagITzZOOMBLBUFFERDATA buffer;
    _tagPTzRECTENUM walk;  // picture tiles of the source
    uint32_t tiles, done;
    bool failed;
};

constexpr size_t kRowSumsAt = (sizeof(BLReadJob) + 7) & ~size_t{7};

int32_t Width(const PTzRECT& r)
{
    return r.right - r.left;
}

int32_t Height(const PTzRECT& r)
{
    return r.bottom - r.top;
}

void FreeJob(BLReadJob* job)
{
    const _tagPTzSIZE size = {Width(job->area), Height(job->area)};
    ITzResize::ReleaseBLZoomBuffer(&size, &job->buffer);
    if (job->ownTables) {
        ITzResize::ReleaseBLResizetable(job->tables.tableX);
        ITzResize::ReleaseBLResizetable(job->tables.tableY);
    }
    PTzPointFree(job);
}

bool HasPlanes(const _tagITzCHANNELBITMAP& bitmap)
{
    return std::any_of(bitmap.planes, bitmap.planes + 5, [](const uint8_t* plane) { return plane != nullptr; });
}

}  // namespace

void* ITzLayerImage::ResampleFillChannelBitmapBLStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                      const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                                      void* setting)
{
    lumatra::ZoomTerms terms;
    const auto* given = static_cast<const _tagITzRESAMPLESETTING*>(setting);
    if (!bitmap || !rect || !lumatra::ReadZoom(zoomX, terms) || !lumatra::ReadZoom(zoomY, terms) ||
        (given && (!given->tableX || !given->tableY)))
        return nullptr;
    const PTzRECT area = lumatra::ResampleArea(*rect, *bitmap);
    const _tagITzCHANNELBITMAP view = lumatra::LayerPlanesOf(*this, *bitmap);
    PTzRECT source;
    if (!HasPlanes(view) ||
        !lumatra::ResampleSourceRect(*this, ITzRESAMPLE_BILINEAR, area, *zoomX, *zoomY, given, source))
        return nullptr;
    const uint64_t bytes = kRowSumsAt + lumatra::BLAccumulator::ScratchBytes(Width(area));
    auto* job = bytes <= UINT32_MAX ? static_cast<BLReadJob*>(PTzPointNew(uint32_t(bytes))) : nullptr;
    if (!job)
        return nullptr;
    job->header.type = ITzRESAMPLE_BILINEAR;
    job->view = view;
    job->area = area;
    job->ownTables = given == nullptr;
    // Tables over the source alone weigh every needed pixel as tables over the whole
    // layer would: a destination's neighbours lie inside its source rectangle.
    job->tables = given ? *given
                        : _tagITzRESAMPLESETTING{ITzResize::CreateBLResizetable(source.left, source.right, zoomX),
                                                 ITzResize::CreateBLResizetable(source.top, source.bottom, zoomY)};
    const _tagPTzSIZE size = {Width(area), Height(area)};
    const _tagITzRESAMPLESETTING& tables = job->tables;
    if (!tables.tableX || !tables.tableY || !lumatra::WeightSumsFit(*tables.tableX, *tables.tableY) ||
        !ITzResize::AllocBLZoomBuffer(&size, &job->view, &job->buffer) ||
        PTzRectEnumFill(&source, &job->walk, nullptr) != 0) {
        FreeJob(job);
        return nullptr;
    }
    job->tiles = uint32_t((Width(source) + 255) / 256) * uint32_t((Height(source) + 255) / 256);
    return job;
}

int ITzLayerImage::ResampleFillChannelBitmapBL(void* handle, uint32_t* progress)
{
    auto* job = static_cast<BLReadJob*>(handle);
    PTzRECT tile;
    if (!job || job->failed || !PTzRectEnumGetCurrent(&job->walk, &tile))
        return 0;
    _tagITzCHANNELBITMAP read = {Width(tile), Height(tile), 0, 0, {}};
    bool ok = LockChannelBitmap(&read) != 0;
    if (ok) {
        PTzRECT local;
        ok = PRECTtoLRECT(&tile, &local) == 0 && GetRectChannelData(&read, &local) != 0;
        if (ok) {
            const lumatra::BLTarget target = {&job->buffer, Width(job->area), job->area, 256};
            lumatra::BLAccumulator accumulator(target, *job->tables.tableX, *job->tables.tableY,
                                               reinterpret_cast<uint8_t*>(job) + kRowSumsAt);
            accumulator.Add(lumatra::ChannelPlanes(read), tile);
        }
        UnlockChannelBitmap(&read);
    }
    if (!ok) {
        job->failed = true;
        return 0;
    }
    ++job->done;
    if (progress)
        *progress = job->done * 100 / job->tiles;
    return 1;
}

int ITzLayerImage::ResampleFillChannelBitmapBLEnd(void* handle)
{
    auto* job = static_cast<BLReadJob*>(handle);
    if (!job)
        return 0;
    // Only a complete read is written; a pixel no source reached keeps its value.
    const bool complete = !job->failed && job->done == job->tiles;
    if (complete)
        lumatra::DivideSums(job->buffer, Width(job->area), lumatra::ChannelPlanes(job->view), Width(job->area),
                            Height(job->area), lumatra::ZeroDivisor::Keep);
    FreeJob(job);
    return complete ? 1 : 0;
}
