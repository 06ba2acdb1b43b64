// ITzToolAutoMerge: merges a floating layer that an earlier operation left on a layer, as
// an 'auto' undo step that keeps the floating layer, so that undo gives it back.
#pragma once

#include "engine/lumatra_export.h"
#include "engine/tools/tool_floating_base.h"

class LUMATRA_API ITzToolAutoMerge : public ITzToolFloatingBase {
public:
    // Tool ID 'auto'.
    ITzToolAutoMerge();
    ~ITzToolAutoMerge() override;

    // The swap, then the record's floating layer back onto the layer when the layer has
    // none (else the record keeps it). 1 when the layer swapped, else 0.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // The swap, then the floating layer that the undo gave back goes into the record
    // again, so the merged pixels are never under it. 1 when the layer swapped, else 0.
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // As the base, the detached floating layer kept in the record.
    int MergeFloatingLayer(ITzPicture* picture) override;
    // Deletes the kept floating layer: 1.
    int ReleaseUndoUserData(void* userData) override;

    // Merges the floating layer of a given layer of the picture, a stack layer or the
    // installed selection layer, as one 'auto' step under the ticket the caller holds.
    // 1 when merged (also when the history refused the record); 0 for null arguments, a
    // layer the picture does not hold, no floating layer or a failed merge, and then the
    // layer keeps its floating layer.
    int MergeLayerFloating(ITzPicture* picture, ITzLayerImage* layer);
};
