// ITzToolCut: cuts (or deletes) the selected pixels of the active image layer as one
// 'cutp' undo step and hands them back as a new layer of the same kind.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/block_records.h"
#include "engine/tools/tool_base.h"

class ITzLayerImage;
class ITzUndoBlockListBase;

// The undo record of a cut or delete. A PTzPointNew block owned by the tool kind.
struct _tagITzUNDOCUT {
    _tagUNDODATABASE head;
    uint16_t layerIndex;
    PTzRECT bounds;                // the layer's bounds the blocks belong to; swapped by each replay
    _tagITzBLOCKTYPE blockType;    // the layer's, the item kind of `blocks`
    ITzUndoBlockListBase* blocks;  // the layer's blocks the cut replaced; owned
    ITzLayerImage* selection;      // the cut's selection while it is out of the picture; owned
    uint32_t deleteOnly;           // 1: a delete, the selection stayed
};

class LUMATRA_API ITzToolCut : public ITzToolBase {
public:
    // Tool ID 'cutp'.
    ITzToolCut();
    ~ITzToolCut() override;

    // The layer swaps its blocks with the record; a cut also swaps the selection between
    // the picture and the record. Nonzero when the picture changed; 0 and nothing changed
    // for null arguments or a record whose layer is gone or of another kind.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the block list, the selection the record holds and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // The pending record for the layer, made when there is none; null out of memory.
    virtual _tagUNDODATABASE* GetUndoData(ITzLayerImage* layer);

    // Moves the selected pixels of the active image layer into a new layer of its kind
    // (over the layer's bounds cut to the selection's), which goes to the caller, and
    // takes the selection out of the picture into the step. Null, with the picture
    // unchanged, for a null picture, a refused ticket, no selection, an active layer that
    // is no image layer, a selection that misses it, or a failure halfway.
    ITzLayerImage* DoCut(ITzPicture* picture);
    // The same, the selection staying in the picture.
    ITzLayerImage* DoDelete(ITzPicture* picture);

private:
    ITzLayerImage* Cut(ITzPicture* picture, bool deleteOnly);
};
