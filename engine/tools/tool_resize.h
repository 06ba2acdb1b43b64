// ITzToolResize: resamples every layer of a picture to a new picture size, one step at a
// time so that the program can show progress, and makes the result one 'risz' undo step.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

// The job runs Start, then the run call until it gives 0, then End; Cancel may come
// instead of End at any point after Start. End and Cancel free the job. The caller holds
// the picture's editing ticket from Start to End or Cancel; the job takes none.
class LUMATRA_API ITzToolResize : public ITzToolBase {
public:
    // Tool ID 'risz'.
    ITzToolResize();
    ~ITzToolResize() override;

    // Undo and redo alike: the layers exchange places with those the record keeps and
    // the picture takes the record's size, the record the picture's. 1, or 0 with
    // nothing changed when the record's layers do not fit the picture.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Deletes the kept layers and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // A job resampling the picture to `size` (type 0 nearest, 1 bilinear); null for null
    // arguments, a width or height below 1, a picture without size, another type, or
    // when memory is short. The picture is
    // not changed before End, but for the floating layers left on its layers: they are
    // merged first, each an 'auto' step of the history.
    void* ResizePictureStart(ITzPicture* picture, const _tagPTzSIZE* size, uint32_t type);
    // One step: 1 while work remains, 0 when finished or failed (End tells which). The
    // percent done goes to `progress` when given: 0 while the picture holds no blocks.
    int ResizePicture(void* job, uint32_t* progress);
    // Finished: the resampled layers replace the picture's, the picture takes the new
    // size and the step is saved: 1. A job that failed or did not finish ends as a
    // cancel, the picture untouched and nothing saved: 0. 1 for a null job.
    int ResizePictureEnd(void* job);
    // Drops the job and everything it made; the picture is untouched. 1.
    int ResizePictureCancel(void* job);
};
