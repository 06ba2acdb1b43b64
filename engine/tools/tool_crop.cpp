// The crop tool: the crop job, the crop to the selection's bounds, and the replay of
// crop records.
#include "engine/tools/tool_crop.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_convert.h"
#include "engine/tools/tool_crop_record.h"
#include "engine/tools/tool_merge_floating_first.h"

namespace {

// The job behind the handle.
struct CropJob {
    ITzPicture* picture;
    PTzRECT rect;             // inside the picture, not empty
    _tagITzUNDOCROP* record;  // owned until the crop saves it
    bool ran;
    bool failed;
};

void FreeJob(CropJob* job)
{
    lumatra::FreeCropRecord(job->record);
    delete job;
}

struct JobFree {
    void operator()(CropJob* job) const { FreeJob(job); }
};

_tagITzUNDOCROP* CropRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOCROP*>(head);
}

// Cuts one layer into its entry and moves it. False with the layer and entry unchanged.
bool CropLayer(ITzLayerBase* layer, const PTzRECT& rect, _tagITzCROPLAYERENTRY& entry, _tagPTzOFFSET shift)
{
    layer->GetBounds(&entry.bounds);
    if (layer->IsImageLayer()) {
        auto* image = static_cast<ITzLayerImage*>(layer);
        std::unique_ptr<ITzUndoTwoLevelBlockList> blocks(new (std::nothrow)
                                                             ITzUndoTwoLevelBlockList(image->GetBlockType()));
        if (!blocks || !image->Crop(&rect, blocks.get()))
            return false;
        entry.blocks = blocks.release();
    }
    lumatra::ShiftLayer(layer, shift);
    return true;
}

// Every layer cut and moved, or, when one fails, every layer as it was.
bool CropLayers(ITzPicture& picture, const PTzRECT& rect, _tagITzUNDOCROP& record)
{
    const _tagPTzOFFSET shift = {record.shiftX, record.shiftY};
    const _tagPTzOFFSET back = {-record.shiftX, -record.shiftY};
    _tagITzCROPLAYERENTRY* entries = lumatra::CropEntries(&record);
    for (uint16_t index = 0; index < record.layerCount; ++index) {
        if (CropLayer(picture.GetLayerbyIndex(index), rect, entries[index], shift))
            continue;
        while (index-- > 0)
            lumatra::ReplayCropLayer(picture.GetLayerbyIndex(index), entries[index], back, true);
        return false;
    }
    return true;
}

// Layers that are no image layers cannot give up blocks, so they become image layers
// first, as one 'autc' step under the crop's ticket. A layer that has no rendered image
// to give up refuses the crop before anything changes.
bool ConvertLayers(ITzPicture& picture)
{
    const auto allImages = [&] {
        for (uint16_t index = 0, count = picture.GetLayerCount(); index < count; ++index)
            if (!picture.GetLayerbyIndex(index)->IsImageLayer())
                return false;
        return true;
    };
    if (allImages())
        return true;
    for (uint16_t index = 0, count = picture.GetLayerCount(); index < count; ++index) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(index);
        if (!layer->IsImageLayer() && !layer->GetPreviewLayer())
            return false;
    }
    ITzToolAutoConvert convert;
    return ITzToolAutoConvert::ConvertAllLayers(&picture, &convert) && allImages();
}

}  // namespace

ITzToolCrop::ITzToolCrop()
{
    m_toolID = ITzTOOLID_CROP;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolCrop::~ITzToolCrop()
{
    ReleasePendingUndoData();
}

int ITzToolCrop::DoUndo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    if (!picture || !record)
        return 0;
    return lumatra::ApplyCropRecord(*picture, *CropRecord(record), true);
}

int ITzToolCrop::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    if (!picture || !record)
        return 0;
    return lumatra::ApplyCropRecord(*picture, *CropRecord(record), false);
}

int ITzToolCrop::ReleaseUndoData(_tagUNDODATABASE* record)
{
    if (!record)
        return 0;
    lumatra::FreeCropRecord(CropRecord(record));
    return 1;
}

int ITzToolCrop::DoCrop(ITzPicture* picture)
{
    if (!picture)
        return 0;
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture->GetSelectionLayer(0));
    PTzRECT bounds = {0, 0, 0, 0};
    if (selection)
        selection->GetSelectionBounds(&bounds);
    if (PTzRectEmpty(&bounds))
        return 1;
    // Only a crop that takes place converts: a selection outside the picture changes nothing.
    _tagPTzSIZE size = {0, 0};
    picture->GetSize(&size);
    const PTzRECT whole = {0, 0, size.cx, size.cy};
    PTzRECT cut;
    if (!PTzRectIntersect(&bounds, &whole, &cut) || !StartEditing(picture))
        return 0;
    int result = 0;
    if (ConvertLayers(*picture)) {
        if (void* job = CropPictureStart(picture, &cut)) {
            while (CropPicture(job, nullptr)) {
            }
            result = CropPictureEnd(job);
        }
    }
    StopEditing(picture);
    return result;
}

void* ITzToolCrop::CropPictureStart(ITzPicture* picture, const PTzRECT* rect)
{
    _tagPTzSIZE size = {0, 0};
    if (picture)
        picture->GetSize(&size);
    const PTzRECT whole = {0, 0, size.cx, size.cy};
    PTzRECT cut;
    if (!picture || !rect || !PTzRectIntersect(rect, &whole, &cut)) {
        PTzSetLastError(ITzERR_INVALID);
        return nullptr;
    }
    std::unique_ptr<CropJob, JobFree> job(new (std::nothrow) CropJob{picture, cut, nullptr, false, false});
    if (!job)
        return nullptr;
    job->record = lumatra::NewCropRecord(m_toolID, cut, size, picture->GetLayerCount());
    return job->record ? job.release() : nullptr;
}

int ITzToolCrop::CropPicture(void* handle, uint32_t* /*progress*/)
{
    auto* job = static_cast<CropJob*>(handle);
    if (!job || job->ran)
        return 0;
    job->ran = true;
    ITzPicture& picture = *job->picture;
    _tagITzUNDOCROP& record = *job->record;
    // Pixels lifted by a drag would stay behind where the layers move: merged first.
    if (record.layerCount != picture.GetLayerCount() || !lumatra::MergeFloatingFirst(picture) ||
        !CropLayers(picture, job->rect, record)) {
        job->failed = true;
        return 0;
    }
    lumatra::ShiftLayer(picture.GetSelectionLayer(0), {record.shiftX, record.shiftY});
    const _tagPTzSIZE size = {job->rect.right - job->rect.left, job->rect.bottom - job->rect.top};
    picture.SetSize(&size);
    ReleasePendingUndoData();
    m_undoData = &job->record->head;
    job->record = nullptr;
    SaveUndoData(&picture, 1);
    return 0;
}

int ITzToolCrop::CropPictureEnd(void* handle)
{
    auto* job = static_cast<CropJob*>(handle);
    if (!job)
        return 1;
    const bool failed = job->failed;
    FreeJob(job);
    return failed ? 0 : 1;
}

int ITzToolCrop::CropPictureCancel(void* handle)
{
    if (handle)
        FreeJob(static_cast<CropJob*>(handle));
    return 1;
}
