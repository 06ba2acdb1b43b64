// ITzToolRotateSpecial: turns every layer of a picture and its selection by a quarter or
// half turn, one step at a time so that the program can show progress, and makes the
// result one 'rots' undo step.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

// The job runs Start, then the run call until it gives 0, then End; Cancel may come
// instead of End at any point after Start. End and Cancel free the job. The caller holds
// the picture's editing ticket from Start to End or Cancel; the job takes none.
class LUMATRA_API ITzToolRotateSpecial : public ITzToolBase {
public:
    // Tool ID 'rots'.
    ITzToolRotateSpecial();
    ~ITzToolRotateSpecial() override;

    // Undo and redo alike: the layers and the selection exchange places with those the
    // record keeps and the picture takes the record's size, the record the picture's. 1,
    // or 0 with nothing changed when the record's layers do not fit the picture.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Deletes the kept layers and selection and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // A job turning the picture by `type` (a _tagITzROTATSTYPE: 1 a quarter clockwise, 2
    // a quarter counter-clockwise, 3 a half turn); null for a null picture, type 0 or a
    // type above 3, or when memory is short. The picture is
    // not changed before End, but for the floating layers left on its layers: they are
    // merged first, each an 'auto' step of the history.
    void* RotatePictureStart(ITzPicture* picture, uint32_t type);
    // One step: the layers from the bottom up, then the selection. 1 while work remains,
    // 0 when finished or failed (End tells which). The percent done goes to `progress`
    // when given: over the blocks of the image layers and the selection, so it never
    // passes 100; 0 while the picture holds no blocks.
    int RotatePicture(void* job, uint32_t* progress);
    // Finished: the turned layers and selection replace the picture's, the picture takes
    // the turned size and the step is saved: 1. A job that failed or did not finish ends
    // as a cancel, the picture untouched and nothing saved: 0. 1 for a null job.
    int RotatePictureEnd(void* job);
    // Drops the job and everything it made; the picture is untouched. 1.
    int RotatePictureCancel(void* job);
};
