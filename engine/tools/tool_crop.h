// ITzToolCrop: cuts a picture to a rectangle as one 'crop' undo step: every image layer
// drops its blocks outside the rectangle into the record and all layers and the
// selection move so that the rectangle's corner becomes the picture's origin.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

// The job runs Start, then the run call until it gives 0, then End; Cancel may come
// instead of End. End and Cancel free the job. The caller holds the picture's editing
// ticket from Start to End or Cancel; the job takes none.
class LUMATRA_API ITzToolCrop : public ITzToolBase {
public:
    // Tool ID 'crop'.
    ITzToolCrop();
    ~ITzToolCrop() override;

    // Undo and redo apply one rule: the picture takes the size before the step, every
    // layer moves back and takes back the blocks of its entry (the blocks it gives up
    // become the entry), the selection moves back, and the record then describes the
    // opposite step. 1, or 0 with the picture and the record unchanged when the record
    // does not fit the picture's layers or a layer cannot take its blocks back.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the block lists and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // Crops to the bounds of the picture's selection under its own editing ticket, after
    // the layers that are no image layers became image layers (an 'autc' step under the
    // same ticket, made only when the crop takes place). 1 when cropped, and when there
    // is no selection (nothing happens); 0 for a null picture, while another edit runs,
    // a selection wholly outside the picture, a layer that cannot become an image layer
    // (nothing changes) or a failed crop.
    int DoCrop(ITzPicture* picture);

    // A job cropping to the part of `rect` inside the picture; null for null arguments,
    // a rectangle that misses the picture, or when memory is short.
    void* CropPictureStart(ITzPicture* picture, const PTzRECT* rect);
    // Does the whole crop and saves the step, after merging the floating layers left on
    // the layers (each an 'auto' step): 0, the job is finished (End tells whether it
    // succeeded; a failed crop leaves the layers as they were). `progress` is not written.
    int CropPicture(void* job, uint32_t* progress);
    // 1, or 0 when the crop failed.
    int CropPictureEnd(void* job);
    // 1.
    int CropPictureCancel(void* job);
};
