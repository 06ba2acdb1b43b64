// The rotate tool: the stepwise turn of every layer and then the selection into a holder
// picture, the exchange that puts the result in place as one undo step, and its replay.
#include "engine/tools/tool_rotate_special.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/rotate.h"
#include "engine/tools/tool_merge_floating_first.h"
#include "engine/tools/tool_resize_holder.h"
#include "engine/tools/tool_resize_walk.h"

// The job behind the handle.
struct _tagITzROTATEPICTURESINFO {
    bool selectionPhase;  // the layers are done; the selection turns
    ITzPicture* picture;
    ITzPicture* holder;  // collects the turned layers; owned until End gives it away
    uint32_t type;       // a _tagITzROTATSTYPE
    uint16_t layerIndex;  // of the current layer, or the next one to start
    lumatra::LayerWalk walk;
    bool failed;
    bool finished;
};

namespace {

using Job = _tagITzROTATEPICTURESINFO;

constexpr lumatra::LayerJobCalls kRotateCalls = {&ITzLayerBase::RotateSLayer, &ITzLayerBase::RotateSLayerEnd,
                                                 &ITzLayerBase::RotateSLayerCancel};

void FreeJob(Job* job)
{
    lumatra::CancelLayer(job->walk, kRotateCalls);
    ITzPicture::DestoryPicture(job->holder);
    delete job;
}

struct JobFree {
    void operator()(Job* job) const { FreeJob(job); }
};
using JobPointer = std::unique_ptr<Job, JobFree>;

// The next layer to turn: the stack from the bottom up, then the selection; null when
// everything is done.
ITzLayerBase* NextLayer(Job& job)
{
    if (!job.selectionPhase) {
        if (ITzLayerBase* layer = job.picture->GetLayerbyIndex(job.layerIndex))
            return layer;
        job.selectionPhase = true;
        return job.picture->GetSelectionLayer(0);
    }
    return nullptr;
}

int Fail(Job& job)
{
    job.failed = true;
    return 0;
}

int Finish(Job& job)
{
    job.finished = true;
    return 0;
}

// A turned layer goes into the holder at its index, a turned selection as its selection.
bool KeepTurned(Job& job, ITzLayerBase* made)
{
    if (!job.selectionPhase)
        return job.holder->InsertLayer(job.layerIndex++, made) == 0;
    if (!made->IsImageLayer())
        return false;
    ITzLayerBase::DestroyLayer(job.holder->SetSelectLayer(static_cast<ITzLayerImage*>(made)));
    return true;
}

}  // namespace

ITzToolRotateSpecial::ITzToolRotateSpecial()
{
    m_toolID = ITzTOOLID_ROTATE_SPECIAL;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolRotateSpecial::~ITzToolRotateSpecial()
{
    ReleasePendingUndoData();
}

int ITzToolRotateSpecial::DoUndo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return lumatra::ReplayHolderRecord(picture, record, true);
}

int ITzToolRotateSpecial::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

int ITzToolRotateSpecial::ReleaseUndoData(_tagUNDODATABASE* record)
{
    return lumatra::ReleaseHolderRecord(record);
}

void* ITzToolRotateSpecial::RotatePictureStart(ITzPicture* picture, uint32_t type)
{
    _tagPTzSIZE size = {0, 0}, turned;
    if (picture)
        picture->GetSize(&size);
    if (!picture || type == ITzROTATS_NONE || !ITzRotatedSize(&size, type, &turned)) {
        PTzSetLastError(ITzERR_INVALID);
        return nullptr;
    }
    JobPointer job(new (std::nothrow) Job{false, picture, nullptr, type, 0, {}, false, false});
    if (!job)
        return nullptr;
    job->holder = static_cast<ITzPicture*>(ITzPicture::CreatePicture());
    if (!job->holder)
        return nullptr;
    // The selection's blocks count too, so the progress never passes 100.
    // The layers are replaced: pixels a drag lifted go into them first (an 'auto' step).
    if (!lumatra::MergeFloatingFirst(*picture))
        return nullptr;
    job->walk.allBlocks = lumatra::PictureBlocks(*picture) + lumatra::LayerBlocks(picture->GetSelectionLayer(0));
    return job.release();
}

int ITzToolRotateSpecial::RotatePicture(void* handle, uint32_t* progress)
{
    auto* job = static_cast<Job*>(handle);
    if (!job || job->failed || job->finished)
        return 0;
    ITzPicture& picture = *job->picture;
    if (!job->walk.layerJob) {
        ITzLayerBase* layer = NextLayer(*job);
        if (!layer) {
            // Only a picture without layers and selection gets here: nothing to turn.
            if (progress)
                *progress = 0;
            return Finish(*job);
        }
        _tagPTzSIZE size = {0, 0};
        picture.GetSize(&size);
        void* layerJob = layer->RotateSLayerStart(&size, job->type);
        if (!layerJob)
            return Fail(*job);
        lumatra::BeginLayer(job->walk, layer, layerJob);
    }
    ITzLayerBase* made = nullptr;
    switch (lumatra::StepLayer(job->walk, kRotateCalls, &made, progress)) {
    case lumatra::LayerStep::More:
        return 1;
    case lumatra::LayerStep::Failed:
        return Fail(*job);
    case lumatra::LayerStep::Done:
        break;
    }
    if (!KeepTurned(*job, made)) {
        ITzLayerBase::DestroyLayer(made);
        return Fail(*job);
    }
    if (job->selectionPhase || (job->layerIndex >= picture.GetLayerCount() && !picture.GetSelectionLayer(0)))
        return Finish(*job);
    return 1;
}

int ITzToolRotateSpecial::RotatePictureEnd(void* handle)
{
    if (!handle)
        return 1;
    JobPointer job(static_cast<Job*>(handle));
    // Layers turned and layers not turned are no picture: an unfinished job changes nothing.
    if (!job->finished)
        return 0;
    _tagPTzSIZE size = {0, 0}, turned;
    job->picture->GetSize(&size);
    ITzRotatedSize(&size, job->type, &turned);
    _tagUNDODATABASE* record = lumatra::CommitHolder(m_toolID, *job->picture, job->holder, turned, true);
    if (!record)
        return 0;
    job->holder = nullptr;  // the record's now
    ReleasePendingUndoData();
    m_undoData = record;
    SaveUndoData(job->picture, 1);
    return 1;
}

int ITzToolRotateSpecial::RotatePictureCancel(void* handle)
{
    if (handle)
        FreeJob(static_cast<Job*>(handle));
    return 1;
}
