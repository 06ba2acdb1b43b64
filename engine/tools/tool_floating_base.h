// ITzToolFloatingBase: the two-stage edit of the painting tools. A tool paints into the
// floating layer of an image layer, which is then merged through the selection as one undo
// step; its record ('flot', also 'fill' and 'auto') swaps the saved blocks back and forth.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/block_position.h"
#include "engine/pixels/block_records.h"
#include "engine/tools/tool_base.h"

class ITzLayerImage;
class ITzLayerImageARGB;
class ITzUndoBlockListBase;

// The layer index of a record made for the picture's selection layer, which is not one
// of the stack's layers (a stack never holds more than 255).
inline constexpr uint16_t ITzUNDOFLOATING_SELECTION_LAYER = 0xFFFF;

// The undo record of a floating merge. A PTzPointNew block owned by the tool kind.
struct _tagITzUNDOFLOATING {
    _tagUNDODATABASE head;
    uint16_t layerIndex;        // in the picture's stack (0 at the bottom), or the selection
    PTzRECT bounds;             // the layer's bounds (picture coordinates) to swap back to
    _tagITzBLOCKTYPE blockType; // the layer's, and so the item kind of the block list
    ITzUndoBlockListBase* blockList;  // owned; made on first use
    uint32_t spare;             // always 0
    void* userData;             // owned; freed through the tool kind's ReleaseUndoUserData
};

class LUMATRA_API ITzToolFloatingBase : public ITzToolBase {
public:
    // Tool ID 'flot', no pending record.
    ITzToolFloatingBase();
    ~ITzToolFloatingBase() override;

    // The swap: the record's layer takes back the record's bounds and blocks, and the
    // record takes those they replace, so it then describes the opposite step. 1 when the
    // layer swapped (then its layer is made the active one); 0 and nothing changed for
    // null arguments, a record whose layer is gone or is no image layer of the record's
    // block type, or a refused swap.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // The swap again: the record was left ready for the opposite direction.
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the block list, the user data (ReleaseUndoUserData) and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // The active layer's new floating layer (the layer owns it); null when the active
    // layer is no image layer or the layer refuses.
    virtual ITzLayerImage* CreateFloatingLayer(ITzPicture* picture);
    // Merges the active image layer's floating layer into it through the selection and
    // saves one undo step (the caller holds the editing ticket): 1 when merged; 0 when
    // there is nothing to merge or the merge failed, and then the layer keeps its floating
    // layer and no record is left pending.
    virtual int MergeFloatingLayer(ITzPicture* picture);
    // The pending record, made for the layer when there is none; null when it cannot be.
    virtual _tagUNDODATABASE* GetUndoData(ITzLayerImage* layer);
    // Replaces the pending record by an empty one headed by this tool's ID for the layer's
    // block type: 1, or 0 (no record pending) for a null layer or out of memory.
    virtual int InitUndoData(ITzLayerImage* layer);
    // One 256 x 256 channel: a handle's 65,536 bytes into the destination handle (made
    // when there is none), or a uniform value, which frees the destination handle. 1, or
    // 0 for null destinations, out of memory or a handle that cannot be read or written.
    virtual int CopyChannel(void* sourceHandle, uint8_t value, void** destHandle, uint8_t* destValue);
    // Lays a rectangle (block coordinates) of a source block over a block of another
    // layer; both layers must be ARGB layers. The result of FillFloatBlockWithDataARGB.
    virtual int FillFloatBlockWithData(ITzLayerImage* source, _tagITzBLOCKPOSITION* sourcePosition,
                                       PTzRECT* rect, ITzLayerImage* dest, _tagITzBLOCKPOSITION* destPosition);
    // The record's block list, made for its block type on first use; null for a null
    // record or out of memory.
    virtual ITzUndoBlockListBase* GetUndoBlockList(_tagITzUNDOFLOATING* record);
    // The base keeps no user data: 1.
    virtual int ReleaseUndoUserData(void* userData);
    // The whole block is copied channel by channel; a smaller rectangle is merged
    // alpha-over at opacity 255. Both blocks must be present. 1 when the destination
    // block was written, else 0 with it unchanged.
    virtual int FillFloatBlockWithDataARGB(ITzLayerImageARGB* source, _tagITzBLOCKPOSITION* sourcePosition,
                                           PTzRECT* rect, ITzLayerImageARGB* dest,
                                           _tagITzBLOCKPOSITION* destPosition);

protected:
    static _tagITzUNDOFLOATING* FloatingRecord(_tagUNDODATABASE* head)
    {
        return reinterpret_cast<_tagITzUNDOFLOATING*>(head);
    }
    // The merge of one layer of the picture, whose record index is `index`. The detached
    // floating layer goes into the record's user data when `keepFloating`, else it is
    // deleted. The record is handed to the history; 1 when merged, else 0.
    int MergeLayerAt(ITzPicture* picture, ITzLayerImage* layer, uint16_t index, bool keepFloating);
    // MergeLayerAt for the active layer when it is an image layer, else 0.
    int MergeActiveLayer(ITzPicture* picture, bool keepFloating);
    // The swap of DoUndo, which derived tools build on: the record's layer when it
    // swapped, null when nothing changed.
    ITzLayerImage* SwapRecord(ITzPicture* picture, _tagITzUNDOFLOATING* record);
    // Takes the floating layer an edit made off the picture's active image layer and
    // deletes it, after the edit failed: the next edit would otherwise merge it.
    static void DiscardFloatingLayer(ITzPicture* picture);
};
