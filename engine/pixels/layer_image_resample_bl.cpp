// The image layer's bilinear read: the layer's pixels under a zoomed rectangle are read
// a strip of source rows per step and weighed with two bilinear tables, turned round
// once per job into per-destination plans; each destination row is divided into the
// caller's channel bitmap as soon as its strip is summed.
#include <algorithm>
#include <new>

#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_resample.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/resample_strip.h"
#include "engine/pixels/zoom_terms.h"

namespace {

// A strip plane holds up to two pages: tall enough that a reduction's rows of sources
// fit, small enough to stay in cache.
constexpr uint64_t kStripPlaneBytes = 2 * uint64_t{ITzBLOCK_PAGE_BYTES};

struct BLReadJob {
    lumatra::ResampleJobHeader header = {};
    _tagITzCHANNELBITMAP view = {};  // the caller's bitmap, the layer's planes only
    PTzRECT area = {};               // the zoomed rectangle the bitmap's corner shows
    PTzRECT source = {};             // the picture pixels read; the plans count from its corner
    _tagITzRESAMPLESETTING tables = {};
    bool ownTables = false;  // made for this read when the caller gave none
    lumatra::BLPlanCache ownPlans;
    lumatra::BLPlanCache* plans = nullptr;  // ownPlans, or those of the reads this one shares them with
    const lumatra::BLAxisPlan* x = nullptr;
    const lumatra::BLAxisPlan* y = nullptr;
    lumatra::BLStripResampler resampler;
    lumatra::BLStripProgress progress;
    _tagITzCHANNELBITMAP strip = {};  // locked from the layer: up to stripRows source rows
    int32_t stripRows = 0;
    bool stripClean = false;    // the strip is still as the lock left it, all zeros
    uint8_t* scratch = nullptr;  // the resampler's pool pages
    bool failed = false;
};

int32_t Width(const PTzRECT& r)
{
    return r.right - r.left;
}

int32_t Height(const PTzRECT& r)
{
    return r.bottom - r.top;
}

void FreeJob(ITzLayerImage& layer, BLReadJob* job)
{
    if (job->strip.width)
        layer.UnlockChannelBitmap(&job->strip);
    if (job->scratch)
        BlockMemoryFree(job->scratch, 0, GetBlockMemoryPool());
    if (job->ownTables) {
        ITzResize::ReleaseBLResizetable(job->tables.tableX);
        ITzResize::ReleaseBLResizetable(job->tables.tableY);
    }
    delete job;
}

bool HasPlanes(const _tagITzCHANNELBITMAP& bitmap)
{
    return std::any_of(bitmap.planes, bitmap.planes + 5, [](const uint8_t* plane) { return plane != nullptr; });
}

// The plans, the strip and the resampler's scratch of a started job: false when the
// tables or the pool fall short.
bool Prepare(ITzLayerImage& layer, BLReadJob& job)
{
    const _tagITzRESAMPLESETTING& tables = job.tables;
    const PTzRECT& source = job.source;
    if (!tables.tableX || !tables.tableY || !lumatra::WeightSumsFit(*tables.tableX, *tables.tableY))
        return false;
    job.x = job.plans->Find(*tables.tableX, source.left, source.right, job.area.left, job.area.right);
    job.y = job.plans->Find(*tables.tableY, source.top, source.bottom, job.area.top, job.area.bottom);
    if (!job.x || !job.y)
        return false;
    // Alpha where plane 0 is read, and as many colours as the bitmap has colour planes.
    const bool alpha = job.view.planes[0] != nullptr;
    const int colours = int(std::count_if(job.view.planes + 1, job.view.planes + 5,
                                          [](const uint8_t* plane) { return plane != nullptr; }));
    const int32_t width = Width(source);
    job.stripRows = int32_t(std::clamp<uint64_t>(kStripPlaneBytes / uint64_t(width), 1, uint64_t(Height(source))));
    job.resampler = lumatra::MakeStripResampler(*job.x, *job.y, alpha, colours, job.stripRows);
    const uint64_t scratch = lumatra::StripScratchBytes(job.resampler);
    job.strip = {width, job.stripRows, 0, 0, {}};
    if (scratch > UINT32_MAX || !BlockMemoryAlloc(GetBlockMemoryPool(), &job.scratch, uint32_t(scratch))) {
        job.strip = {};
        return false;
    }
    if (!layer.LockChannelBitmap(&job.strip)) {
        job.strip = {};
        return false;
    }
    lumatra::AttachStripScratch(job.resampler, job.scratch);
    job.stripClean = true;
    return true;
}

}  // namespace

void* ITzLayerImage::ResampleFillChannelBitmapBLStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                      const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                                      void* setting)
{
    return lumatra::StartBLRead(*this, bitmap, rect, zoomX, zoomY, setting, nullptr);
}

void* lumatra::StartBLRead(ITzLayerImage& layer, _tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                           const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, void* setting,
                           BLPlanCache* plans)
{
    ZoomTerms terms;
    const auto* given = static_cast<const _tagITzRESAMPLESETTING*>(setting);
    if (!bitmap || !rect || !ReadZoom(zoomX, terms) || !ReadZoom(zoomY, terms) ||
        (given && (!given->tableX || !given->tableY)))
        return nullptr;
    const PTzRECT area = ResampleArea(*rect, *bitmap);
    const _tagITzCHANNELBITMAP view = LayerPlanesOf(layer, *bitmap);
    PTzRECT source;
    if (!HasPlanes(view) || !ResampleSourceRect(layer, ITzRESAMPLE_BILINEAR, area, *zoomX, *zoomY, given, source))
        return nullptr;
    auto* job = new (std::nothrow) BLReadJob;
    if (!job)
        return nullptr;
    job->header.type = ITzRESAMPLE_BILINEAR;
    job->view = view;
    job->area = area;
    job->source = source;
    job->ownTables = given == nullptr;
    job->plans = plans ? plans : &job->ownPlans;
    // Tables over the source alone weigh every needed pixel as tables over the whole
    // layer would: a destination's neighbours lie inside its source rectangle.
    job->tables = given ? *given
                        : _tagITzRESAMPLESETTING{ITzResize::CreateBLResizetable(source.left, source.right, zoomX),
                                                 ITzResize::CreateBLResizetable(source.top, source.bottom, zoomY)};
    if (!Prepare(layer, *job)) {
        FreeJob(layer, job);
        return nullptr;
    }
    // A pixel is left as it was only where its divisor is 0: where no source reaches it,
    // or where every source under it is transparent.
    PTzRECT local;
    job->header.writesEvery =
        job->x->reached && job->y->reached &&
        (!view.planes[0] || (layer.PRECTtoLRECT(&source, &local) == 0 && layer.AlphaDataFull(&local)));
    return job;
}

int ITzLayerImage::ResampleFillChannelBitmapBL(void* handle, uint32_t* progress)
{
    auto* job = static_cast<BLReadJob*>(handle);
    if (!job || job->failed || job->progress.row >= job->y->count)
        return 0;
    // The strip starts at the first source the next destination row still needs.
    const int32_t first = lumatra::NextStripFirst(job->resampler, job->progress);
    const int32_t end = std::min(first + job->stripRows, job->y->sources);
    if (first < end) {
        _tagITzCHANNELBITMAP strip = job->strip;
        strip.height = end - first;
        // Where the layer has no pixels the strip reads transparent.
        if (!job->stripClean)
            for (uint8_t* plane : strip.planes)
                if (plane)
                    std::fill_n(plane, size_t(strip.height) * size_t(strip.stride), uint8_t{0});
        job->stripClean = false;
        const PTzRECT rows = {job->source.left, job->source.top + first, job->source.right, job->source.top + end};
        PTzRECT local;
        if (PRECTtoLRECT(&rows, &local) != 0 || !GetRectChannelData(&strip, &local)) {
            job->failed = true;
            return 0;
        }
        lumatra::ResampleStrip(job->resampler, lumatra::ChannelPlanes(strip), first, end, job->progress,
                               job->y->count, lumatra::ChannelPlanes(job->view), lumatra::ZeroDivisor::Keep);
    } else {
        job->progress = {job->y->count, 0, false};  // no row left has a source
    }
    if (progress)
        *progress = uint32_t(uint64_t(job->progress.row) * 100 / uint64_t(job->y->count));
    return 1;
}

int ITzLayerImage::ResampleFillChannelBitmapBLEnd(void* handle)
{
    auto* job = static_cast<BLReadJob*>(handle);
    if (!job)
        return 0;
    // A pixel no source reached keeps its value.
    const bool complete = !job->failed && job->progress.row >= job->y->count;
    FreeJob(*this, job);
    return complete ? 1 : 0;
}
