// ITzToolLayerMerge: merges layers of a picture as one undo step headed 'lmeg': the
// active layer down into the one below, all visible layers, or all layers (flatten).
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

class ITzLayerBase;
class ITzLayerBackupList;
class ITzLayerImage;

enum _tagITzLAYERMERGEKIND : int32_t {
    ITzLAYERMERGE_DOWN = 0,
    ITzLAYERMERGE_VISIBLE = 1,
    ITzLAYERMERGE_ALL = 2,
};

// The undo record of a merge. A PTzPointNew block owned by the tool kind. Exactly one
// side of the merge is out of the picture and owned by the record: the merged layer
// (held, after an undo) or the listed layers (merged is null, while the merge is in effect).
struct _tagITzUNDOLAYERMERGE {
    _tagUNDODATABASE head;
    int32_t kind;                 // an _tagITzLAYERMERGEKIND
    ITzLayerBase* merged;         // the merged layer while it is out of the picture, else null
    uint16_t index;               // the merged layer's index in the picture
    ITzLayerBackupList* layers;   // the replaced layers with their indexes, ascending; owned
    uint16_t activeIndex;         // the active index to give back on the next replay
};

// Every merge gives 1 when the picture changed and its step is in the picture's history,
// else 0 with the picture as it was. Each takes the picture's editing ticket.
class LUMATRA_API ITzToolLayerMerge : public ITzToolBase {
public:
    // Tool ID 'lmeg', no pending record.
    ITzToolLayerMerge();
    ~ITzToolLayerMerge() override;

    // Exchanges the merged layer and the listed layers between the picture and the
    // record, and the active index with the recorded one: nonzero when the picture
    // changed, 0 (nothing changed) when the picture does not hold what the record expects.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // The same call as DoUndo.
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the record with the side of the merge it owns: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // Flatten: one new layer holding the picture's composite replaces every layer (the
    // hidden ones too) at index 0 and becomes active. Also for a single layer.
    virtual int MergeLayers(ITzPicture* picture);
    // The active layer merged onto a copy of the one below (with the upper layer's merge
    // type and opacity), which takes the place of both and becomes active. Only when
    // CanMergeDown allows it.
    virtual int MergeLayerDown(ITzPicture* picture);
    // One new layer holding the composite of the visible layers replaces them, above the
    // hidden layers that were below the active layer, and becomes active. Refused without
    // a visible layer.
    virtual int MergeVisible(ITzPicture* picture);

    // The active index is not 0 and the active layer and the one below are visible.
    static int CanMergeDown(ITzPicture* picture);
    // More than one layer is visible.
    static int CanMergeVisible(ITzPicture* picture);
    // More than one layer.
    static int CanMergeLayers(ITzPicture* picture);

private:
    // Replaces the pending record by a new one of the kind holding the merged layer, with
    // an empty list; null when out of memory, and then the merged layer is deleted.
    _tagITzUNDOLAYERMERGE* NewRecord(_tagITzLAYERMERGEKIND kind, ITzLayerImage* merged);
    // Lists the layer with its index in the pending record: false when the list cannot grow.
    bool ListLayer(uint16_t index, ITzLayerBase* layer);
    // Takes the listed layers out (top down), inserts the record's merged layer at its
    // index, makes it active and hands the record to the history: 1. When the history
    // refuses it, the merge is taken back and the record freed with the merged layer: 0.
    int Commit(ITzPicture& picture);
    static int Replay(ITzPicture& picture, _tagITzUNDOLAYERMERGE& record);
};
