// The resize tool: the stepwise resampling of every layer into a holder picture, the
// exchange that puts the result in place as one undo step, and the replay of that step.
#include "engine/tools/tool_resize.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
#include "engine/pixels/resample.h"
#include "engine/tools/tool_merge_floating_first.h"
#include "engine/tools/tool_resize_holder.h"
#include "engine/tools/tool_resize_walk.h"

// The job behind the handle.
struct _tagITzRESIZEPICTURE {
    ITzPicture* picture;
    ITzPicture* holder;  // collects the resampled layers; owned until End gives it away
    uint32_t type;       // a _tagITzRESAMPLETYPE
    int32_t width;
    int32_t height;
    uint16_t layerIndex;  // of the current layer, or the next one to start
    lumatra::LayerWalk walk;
    // Bilinear only: the tables over the picture and every layer, so that all layers
    // are weighed on one grid and their edges meet after the resize.
    _tagITzRESAMPLESETTING tables;
    bool failed;
    bool finished;
};

namespace {

using Job = _tagITzRESIZEPICTURE;

constexpr lumatra::LayerJobCalls kResizeCalls = {&ITzLayerBase::ResizeLayer, &ITzLayerBase::ResizeLayerEnd,
                                                 &ITzLayerBase::ResizeLayerCancel};

void FreeJob(Job* job)
{
    lumatra::CancelLayer(job->walk, kResizeCalls);
    ITzResize::ReleaseBLResizetable(job->tables.tableX);
    ITzResize::ReleaseBLResizetable(job->tables.tableY);
    ITzPicture::DestoryPicture(job->holder);
    delete job;
}

struct JobFree {
    void operator()(Job* job) const { FreeJob(job); }
};
using JobPointer = std::unique_ptr<Job, JobFree>;

// The ratios new size / picture size.
void Zooms(const Job& job, _tagITzZOOMLEVEL* zoomX, _tagITzZOOMLEVEL* zoomY)
{
    _tagPTzSIZE size = {0, 0};
    job.picture->GetSize(&size);
    *zoomX = {uint32_t(job.width), uint32_t(size.cx)};
    *zoomY = {uint32_t(job.height), uint32_t(size.cy)};
}

bool MakeTables(Job& job)
{
    _tagPTzSIZE size = {0, 0};
    job.picture->GetSize(&size);
    PTzRECT area = {0, 0, size.cx, size.cy};
    for (uint16_t index = 0, count = job.picture->GetLayerCount(); index < count; ++index) {
        PTzRECT bounds;
        job.picture->GetLayerbyIndex(index)->GetBounds(&bounds);
        PTzRectBounds(&area, &bounds, &area);
    }
    _tagITzZOOMLEVEL zoomX, zoomY;
    Zooms(job, &zoomX, &zoomY);
    job.tables.tableX = ITzResize::CreateBLResizetable(area.left, area.right, &zoomX);
    job.tables.tableY = ITzResize::CreateBLResizetable(area.top, area.bottom, &zoomY);
    return job.tables.tableX && job.tables.tableY;
}

int Fail(Job& job)
{
    job.failed = true;
    return 0;
}

}  // namespace

ITzToolResize::ITzToolResize()
{
    m_toolID = ITzTOOLID_RESIZE;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolResize::~ITzToolResize()
{
    ReleasePendingUndoData();
}

int ITzToolResize::DoUndo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return lumatra::ReplayHolderRecord(picture, record, false);
}

int ITzToolResize::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

int ITzToolResize::ReleaseUndoData(_tagUNDODATABASE* record)
{
    return lumatra::ReleaseHolderRecord(record);
}

void* ITzToolResize::ResizePictureStart(ITzPicture* picture, const _tagPTzSIZE* size, uint32_t type)
{
    _tagPTzSIZE current = {0, 0};
    if (picture)
        picture->GetSize(&current);
    if (!picture || !size || size->cx < 1 || size->cy < 1 || current.cx < 1 || current.cy < 1 ||
        (type != ITzRESAMPLE_NEAREST && type != ITzRESAMPLE_BILINEAR)) {
        PTzSetLastError(ITzERR_INVALID);
        return nullptr;
    }
    JobPointer job(new (std::nothrow) Job{picture, nullptr, type, size->cx, size->cy, 0, {}, {}, false, false});
    if (!job)
        return nullptr;
    job->holder = static_cast<ITzPicture*>(ITzPicture::CreatePicture());
    // The layers are replaced: pixels a drag lifted go into them first (an 'auto' step).
    if (!job->holder || (type == ITzRESAMPLE_BILINEAR && !MakeTables(*job)) || !lumatra::MergeFloatingFirst(*picture))
        return nullptr;
    job->walk.allBlocks = lumatra::PictureBlocks(*picture);
    return job.release();
}

int ITzToolResize::ResizePicture(void* handle, uint32_t* progress)
{
    auto* job = static_cast<Job*>(handle);
    if (!job || job->failed || job->finished)
        return 0;
    ITzPicture& picture = *job->picture;
    if (!job->walk.layerJob) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(job->layerIndex);
        if (!layer) {
            // Only a picture without layers gets here: nothing to resample.
            if (progress)
                *progress = 0;
            job->finished = true;
            return 0;
        }
        _tagITzZOOMLEVEL zoomX, zoomY;
        Zooms(*job, &zoomX, &zoomY);
        void* layerJob = layer->ResizeLayerStart(&zoomX, &zoomY, job->type,
                                                 job->type == ITzRESAMPLE_BILINEAR ? &job->tables : nullptr);
        if (!layerJob)
            return Fail(*job);
        lumatra::BeginLayer(job->walk, layer, layerJob);
    }
    ITzLayerBase* made = nullptr;
    switch (lumatra::StepLayer(job->walk, kResizeCalls, &made, progress)) {
    case lumatra::LayerStep::More:
        return 1;
    case lumatra::LayerStep::Failed:
        return Fail(*job);
    case lumatra::LayerStep::Done:
        break;
    }
    if (job->holder->InsertLayer(job->layerIndex, made) != 0) {
        ITzLayerBase::DestroyLayer(made);
        return Fail(*job);
    }
    if (++job->layerIndex < picture.GetLayerCount())
        return 1;
    job->finished = true;
    return 0;
}

int ITzToolResize::ResizePictureEnd(void* handle)
{
    if (!handle)
        return 1;
    JobPointer job(static_cast<Job*>(handle));
    // Layers at mixed scales are no picture: an unfinished job changes nothing.
    if (!job->finished)
        return 0;
    const _tagPTzSIZE size = {job->width, job->height};
    _tagUNDODATABASE* record = lumatra::CommitHolder(m_toolID, *job->picture, job->holder, size, false);
    if (!record)
        return 0;
    job->holder = nullptr;  // the record's now
    ReleasePendingUndoData();
    m_undoData = record;
    SaveUndoData(job->picture, 1);
    return 1;
}

int ITzToolResize::ResizePictureCancel(void* handle)
{
    if (handle)
        FreeJob(static_cast<Job*>(handle));
    return 1;
}
