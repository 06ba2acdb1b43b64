// The image layer's resize job: a new layer of the same kind and properties, sized to
// the zoomed bounds, is filled one destination block at a time by a resampled read of
// this layer, one read step per call. The bilinear reads share the plans of the block
// columns and rows.
#include <cstring>
#include <new>

#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_resample.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/resample_plan.h"
#include "engine/pixels/zoom_terms.h"

namespace {

struct ResizeJob {
    ITzLayerImage* target = nullptr;  // owned until the end hands it over
    _tagITzZOOMLEVEL zoomX = {}, zoomY = {};
    uint32_t type = 0;
    void* setting = nullptr;                // the caller's, or ownTables
    _tagITzRESAMPLESETTING ownTables = {};  // bilinear tables over the layer when none were given
    lumatra::BLPlanCache plans;             // the bilinear reads' plans of the block columns and rows
    uint32_t blocks = 0, done = 0;          // the next block is `done`
    void* read = nullptr;                   // the running read of block `done`, or null
    _tagITzCHANNELBITMAP block = {};        // that block, locked while the read runs
    uint32_t readProgress = 0;
    bool failed = false;
};

void ReportProgress(const ResizeJob& job, uint32_t* progress)
{
    // An empty layer has no blocks: nothing to do is no progress, not a division by 0.
    if (progress)
        *progress = job.blocks ? (job.done * 100 + job.readProgress) / job.blocks : 0;
}

// Fills the whole pages of the block's planes whose bits are set with their values.
void FillPlanes(const _tagITzCHANNELBITMAP& block, uint8_t planes, const uint8_t values[4])
{
    for (int p = 0; p < 4; ++p)
        if (planes >> p & 1)
            std::memset(block.planes[p], values[p], size_t(block.stride) * size_t(block.height));
}

void FreeJob(ResizeJob* job)
{
    ITzResize::ReleaseBLResizetable(job->ownTables.tableX);
    ITzResize::ReleaseBLResizetable(job->ownTables.tableY);
    delete job;
}

}  // namespace

void* ITzLayerImage::ResizeLayerStart(const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                      uint32_t resampleType, void* setting)
{
    lumatra::ZoomTerms terms;
    PTzRECT bounds, dest = {0, 0, 0, 0};
    if (!lumatra::ReadZoom(zoomX, terms) || !lumatra::ReadZoom(zoomY, terms) ||
        (resampleType != ITzRESAMPLE_NEAREST && resampleType != ITzRESAMPLE_BILINEAR) || GetBounds(&bounds) != 0)
        return nullptr;
    if (!PTzRectEmpty(&bounds))
        ITzResize::GetResizeDesRect(&dest, &bounds, zoomX, zoomY, resampleType);
    auto* job = new (std::nothrow) ResizeJob;
    if (!job)
        return nullptr;
    job->zoomX = *zoomX;
    job->zoomY = *zoomY;
    job->type = resampleType;
    job->setting = setting;
    const bool ownTables = resampleType == ITzRESAMPLE_BILINEAR && !setting && !PTzRectEmpty(&dest);
    if (ownTables) {
        job->ownTables = {ITzResize::CreateBLResizetable(bounds.left, bounds.right, zoomX),
                          ITzResize::CreateBLResizetable(bounds.top, bounds.bottom, zoomY)};
        job->setting = &job->ownTables;
    }
    job->target = lumatra::NewTransferTarget(*this, dest);
    if (!job->target || (ownTables && (!job->ownTables.tableX || !job->ownTables.tableY))) {
        lumatra::HandOverTarget(job->target, false);
        FreeJob(job);
        return nullptr;
    }
    job->blocks = PTzRectEmpty(&dest) ? 0 : job->target->GetBlockCount();
    return job;
}

int ITzLayerImage::ResizeLayer(void* handle, uint32_t* progress)
{
    auto* job = static_cast<ResizeJob*>(handle);
    if (!job)
        return 0;
    if (job->failed || job->done >= job->blocks) {
        ReportProgress(*job, progress);
        return 0;
    }
    if (!job->read) {
        // The block's part inside the new layer is read from this layer at the zoom.
        PTzRECT blockRect, bounds, part;
        job->target->GetBlockPictRect(job->done, &blockRect);
        job->target->GetBounds(&bounds);
        // A block the read fills whole is locked without its value written into its
        // pages first; they are filled below unless the read writes every byte.
        uint8_t unfilled = 0, values[4] = {};
        const bool inside = PTzRectIntersect(&blockRect, &bounds, &part) != 0;
        const bool whole = inside && PTzRectEqual(&part, &blockRect);
        if (!inside || !(whole ? job->target->LockBlockToChannelBitmapUnfilled(job->done, &job->block, &unfilled, values)
                               : job->target->LockBlockToChannelBitmap(job->done, &job->block))) {
            job->failed = true;
            return 0;
        }
        PTzRECT inBlock = {part.left - blockRect.left, part.top - blockRect.top, part.right - blockRect.left,
                           part.bottom - blockRect.top};
        _tagITzCHANNELBITMAP view;
        ITzGetSubChannelBitmap(&inBlock, &view, &job->block);
        job->read = job->type == ITzRESAMPLE_BILINEAR
                        ? lumatra::StartBLRead(*this, &view, &part, &job->zoomX, &job->zoomY, job->setting, &job->plans)
                        : ResampleFillChannelBitmapStart(&view, &part, &job->zoomX, &job->zoomY, job->type,
                                                         job->setting);
        if (!job->read || !static_cast<lumatra::ResampleJobHeader*>(job->read)->writesEvery)
            FillPlanes(job->block, unfilled, values);
        PTzRECT source;
        if (!job->read && lumatra::ResampleSourceRect(*this, job->type, part, job->zoomX, job->zoomY,
                                                      static_cast<_tagITzRESAMPLESETTING*>(job->setting), source))
            job->failed = true;  // there was something to read, and the read could not start
    }
    if (job->read && ResampleFillChannelBitmap(job->read, &job->readProgress)) {
        ReportProgress(*job, progress);
        return 1;
    }
    if (job->read && !ResampleFillChannelBitmapEnd(job->read))
        job->failed = true;
    job->read = nullptr;
    job->readProgress = 0;
    if (!job->target->UnlockChannelBitmapToBlock(job->done, &job->block))
        job->failed = true;
    if (job->failed)
        return 0;
    ++job->done;
    ReportProgress(*job, progress);
    return job->done < job->blocks ? 1 : 0;
}

ITzLayerBase* ITzLayerImage::ResizeLayerEnd(void* handle)
{
    auto* job = static_cast<ResizeJob*>(handle);
    if (!job)
        return nullptr;
    if (job->read) {
        ResampleFillChannelBitmapEnd(job->read);
        job->target->UnlockChannelBitmapToBlock(job->done, &job->block);
    }
    ITzLayerImage* layer = lumatra::HandOverTarget(job->target, !job->failed && job->done == job->blocks);
    FreeJob(job);
    return layer;
}

int ITzLayerImage::ResizeLayerCancel(void* handle)
{
    auto* job = static_cast<ResizeJob*>(handle);
    if (!job)
        return 0;
    job->failed = true;
    ResizeLayerEnd(job);
    return 1;
}
