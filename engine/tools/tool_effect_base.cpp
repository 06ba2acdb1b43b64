// The effect's run: the job over the area's blocks, the selection read once per block,
// each block kept before the effect changes it, and the apply or cancel that ends it.
#include "engine/tools/tool_effect_base.h"

#include <memory>
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/selection_block_mask.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_selection_blocks.h"

namespace {

// Frees what the job itself holds, not the effect's data.
void FreeJob(_tagITzEFFECTINFO* job)
{
    if (job->maskPage)
        BlockMemoryFree(job->maskPage, ITzBLOCK_PAGE_BYTES, GetBlockMemoryPool());
    delete job;
}

struct JobFreer {
    void operator()(_tagITzEFFECTINFO* job) const { FreeJob(job); }
};

uint32_t Percent(const _tagITzEFFECTINFO& job, uint32_t jobPercent)
{
    if (job.allBlocks == 0)
        return 100;
    return uint32_t((uint64_t(jobPercent) * job.jobBlocks + uint64_t(job.blocksDone) * 100) / job.allBlocks);
}

bool HoldsBlocks(const _tagITzUNDOEFFECT* record)
{
    return record && record->blockList && record->blockList->GetCount() > 0;
}

}  // namespace

ITzToolEffectBase::ITzToolEffectBase()
{
    m_toolID = ITzTOOLID_EFFECT;
}

ITzToolEffectBase::~ITzToolEffectBase()
{
    if (m_job)
        EffectCancel(m_job);
    ReleasePendingUndoData();
}

_tagITzEFFECTINFO* ITzToolEffectBase::RunningJob(void* handle) const
{
    return handle && handle == m_job ? m_job : nullptr;
}

void* ITzToolEffectBase::EffectStart()
{
    ITzPicture* picture = m_picture;
    if (!picture || m_job || !StartEditing(picture))
        return nullptr;
    const uint16_t index = picture->GetActiveLayerID();
    ITzLayerBase* active = picture->GetLayerbyIndex(index);
    std::unique_ptr<_tagITzEFFECTINFO, JobFreer> job;
    // A floating layer left on the layer is merged first, so the effect sees what is shown.
    if (active && active->IsImageLayer() && picture->ClearFloatingLayer())
        job.reset(new (std::nothrow) _tagITzEFFECTINFO{});
    if (!job) {
        StopEditing(picture);
        return nullptr;
    }
    auto* layer = static_cast<ITzLayerImage*>(active);
    *job = {picture, index, layer, {}, false, nullptr, 0, 0, 0, nullptr, {}, nullptr, nullptr, 255};
    layer->GetBounds(&job->bounds);
    PTzRECT area = job->bounds, selected;
    job->selection = lumatra::SelectedMask(*picture, &selected);
    if (job->selection && !PTzRectIntersect(&job->bounds, &selected, &area))
        area = {0, 0, 0, 0};
    bool ready = true;
    PTzRECT local, grid;
    if (!PTzRectEmpty(&area) && layer->PRECTtoLRECT(&area, &local) == 0 && layer->LRECTtoBRECT(&local, &grid) == 0) {
        ready = ITzBlockEnumFill(&grid, nullptr, &job->blocks) == 0;
        job->blocksLeft = ready;
        job->allBlocks = uint32_t(job->blocks.lastColumn - job->blocks.firstColumn + 1) *
                         uint32_t(job->blocks.lastRow - job->blocks.firstRow + 1);
    }
    if (ready && job->selection)
        ready = BlockMemoryAlloc(GetBlockMemoryPool(), &job->maskPage, ITzBLOCK_PAGE_BYTES) != 0;
    if (!ready || !InitUndoData(layer, index) || !CreateEffectData(job.get())) {
        ReleasePendingUndoData();
        StopEditing(picture);
        return nullptr;
    }
    m_job = job.release();
    return m_job;
}

bool ITzToolEffectBase::ReadBlockSelection(_tagITzEFFECTINFO& job, uint32_t block)
{
    PTzRECT rect;
    if (job.layer->GetBlockPictRect(block, &rect) != 0)
        return false;
    job.blockMask = nullptr;
    // Decided from the selection's block records when they tell; the pixels are read
    // only where the values vary.
    if (lumatra::ProbeBlockMask(job.selection, rect, &job.blockMaskValue))
        return job.blockMaskValue != 0;
    if (!job.maskPage || !lumatra::ReadBlockMask(job.selection, rect, job.maskPage))
        return false;
    if (ITzBytesUniform(job.maskPage, ITzBLOCK_PAGE_BYTES, &job.blockMaskValue))
        return job.blockMaskValue != 0;
    job.blockMask = job.maskPage;
    return true;
}

int ITzToolEffectBase::EffectRun(void* handle, uint32_t* progress)
{
    _tagITzEFFECTINFO* job = RunningJob(handle);
    if (!job)
        return 0;
    int result = 1;
    uint32_t jobPercent = 0;
    if (job->blockJob) {
        if (!DoBlockRun(job, job->blockJob, &jobPercent)) {
            DoBlockEnd(job, job->blockJob);
            job->blockJob = nullptr;
            job->blocksDone += job->jobBlocks;
            job->jobBlocks = 0;
            jobPercent = 0;
        }
    } else {
        PTzRECT part;
        _tagITzBLOCKPOSITION position;
        job->blocksLeft = job->blocksLeft && ITzBlockEnumGetCurrent(&job->blocks, &part, &position, nullptr);
        if (job->blocksLeft) {
            const uint32_t block = job->layer->BlockPosToIndex(&position);
            job->jobBlocks = 1;
            // A missing block holds no pixels; one the selection leaves out is not read;
            // one that cannot be kept is left as it is, so cancel and undo stay exact.
            if (block != ITzBLOCK_INDEX_NONE && job->layer->BlockDataAvailable(block) &&
                ReadBlockSelection(*job, block) && BackupBlock(job, block))
                job->blockJob = DoBlockStart(job, block);
            if (!job->blockJob) {
                job->blocksDone += job->jobBlocks;
                job->jobBlocks = 0;
            }
        } else {
            result = 0;
        }
    }
    if (progress)
        *progress = Percent(*job, jobPercent);
    return result;
}

int ITzToolEffectBase::EffectCancel(void* handle)
{
    _tagITzEFFECTINFO* job = RunningJob(handle);
    if (!job)
        return 0;
    if (job->blockJob)
        DoBlockCancel(job, job->blockJob);
    job->blockJob = nullptr;
    _tagITzUNDOEFFECT* record = EffectRecord(m_undoData);
    if (HoldsBlocks(record)) {
        ITzUndoTwoLevelBlockList replaced(record->blockType);
        // A layer that cannot take its blocks back keeps the effect as an undo step, so
        // the pixels it had are not lost.
        if (job->layer->Undo(&job->bounds, record->blockList, nullptr, &replaced) <= 0)
            SaveUndoData(job->picture, 1);
    }
    ReleasePendingUndoData();
    EndJob();
    return 1;
}

int ITzToolEffectBase::EffectApply(void* handle)
{
    _tagITzEFFECTINFO* job = RunningJob(handle);
    if (!job)
        return 0;
    if (job->blockJob) {
        uint32_t percent = 0;
        while (DoBlockRun(job, job->blockJob, &percent)) {
        }
        DoBlockEnd(job, job->blockJob);
        job->blockJob = nullptr;
    }
    // A step that changed nothing would stop every undo there.
    int saved = 0;
    if (HoldsBlocks(EffectRecord(m_undoData)))
        saved = SaveUndoData(job->picture, 1);
    ReleasePendingUndoData();
    EndJob();
    return saved;
}

void ITzToolEffectBase::EndJob()
{
    ITzPicture* picture = m_job->picture;
    ReleaseEffectHandle(m_job);
    m_job = nullptr;
    StopEditing(picture);
}

int ITzToolEffectBase::ReleaseEffectHandle(void* handle)
{
    if (!handle)
        return 0;
    auto* job = static_cast<_tagITzEFFECTINFO*>(handle);
    ReleaseEffectData(job);
    FreeJob(job);
    return 1;
}

int ITzToolEffectBase::CreateEffectData(_tagITzEFFECTINFO* /*job*/)
{
    return 1;
}

int ITzToolEffectBase::ReleaseEffectData(_tagITzEFFECTINFO* /*job*/)
{
    return 1;
}

void* ITzToolEffectBase::DoBlockStart(_tagITzEFFECTINFO* /*job*/, uint32_t /*block*/)
{
    return nullptr;
}

int ITzToolEffectBase::DoBlockRun(_tagITzEFFECTINFO* /*job*/, void* /*blockJob*/, uint32_t* /*percent*/)
{
    return 0;
}

int ITzToolEffectBase::DoBlockEnd(_tagITzEFFECTINFO* /*job*/, void* /*blockJob*/)
{
    return 1;
}

int ITzToolEffectBase::DoBlockCancel(_tagITzEFFECTINFO* /*job*/, void* /*blockJob*/)
{
    return 1;
}
