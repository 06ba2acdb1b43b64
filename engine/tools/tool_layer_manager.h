// ITzToolLayerManager: makes each change of a picture's layer stack (insert, remove,
// move) and of a layer's properties (opacity, link, visibility, layer info) one undo
// step headed 'lman', and replays those steps.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/layer_base.h"
#include "engine/tools/tool_base.h"

// What a layer-manager record describes. Replaying a record turns it into the record of
// the opposite step, so undo and redo are the same call.
enum _tagITzLAYERMANKIND : int32_t {
    ITzLAYERMAN_INSERTED = 0,    // index, active index before the insertion, layer (not owned),
                                 // its link number before it joined the picture (second index)
    ITzLAYERMAN_REMOVED = 1,     // index, active index, the removed layer (owned, keeping
                                 // its link number so that it goes back into its group)
    ITzLAYERMAN_MOVED = 2,       // from index, to index, active index before the move
    ITzLAYERMAN_OPACITY = 3,     // layer, old opacity (info.opacity)
    ITzLAYERMAN_LINK = 4,        // layer, old link number (second index), active index
    ITzLAYERMAN_VISIBILITY = 5,  // layer, visibility to restore (info.visible)
    ITzLAYERMAN_INFO = 6,        // layer, old layer info
};

// The undo record of the layer manager. A PTzPointNew block owned by the tool kind.
struct _tagITzUNDOLAYERMAN {
    _tagUNDODATABASE head;
    int32_t kind;            // an _tagITzLAYERMANKIND
    uint16_t index;
    uint16_t secondIndex;    // the to index of a move, or the old link number
    uint16_t activeIndex;
    ITzLayerBase* layer;     // owned only by a kind-1 record: the layer is out of the picture
    _tagITzLAYERINFO info;   // kinds 3 and 5 use only the opacity and visible fields
};

// Every operation gives 1 when it changed the picture and its step is in the picture's
// history, else 0 with the picture and the layer as they were. A null picture or layer
// and a layer the picture does not hold are refused. The stack edits and the opacity
// edits take the picture's editing ticket and so are refused while another edit runs.
class LUMATRA_API ITzToolLayerManager : public ITzToolBase {
public:
    // Tool ID 'lman', no pending record.
    ITzToolLayerManager();
    ~ITzToolLayerManager() override;

    // Replays the record and turns it into the record of the opposite step: nonzero when
    // the picture changed, 0 (record and picture unchanged) when the picture no longer
    // holds what the record names.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // The same call as DoUndo.
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the record and, for a kind-1 record, the removed layer it holds: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // Inserts the layer (an index above the count means the top) and makes it active.
    // A layer that was not inserted stays the caller's; an inserted one is the picture's.
    virtual int InsertLayer(ITzPicture* picture, uint16_t index, ITzLayerBase* layer);
    // Takes the layer out; it belongs to the step from then on. The active index keeps
    // its value (pulled into the smaller stack).
    virtual int RemoveLayer(ITzPicture* picture, uint16_t index);
    // Both indexes below the count and different; the moved layer becomes active.
    virtual int MoveLayer(ITzPicture* picture, uint16_t from, uint16_t to);
    // A new opacity, recorded with the old one; the same opacity again records nothing.
    virtual int SetLayerOpacity(ITzPicture* picture, ITzLayerBase* layer, uint8_t opacity);
    // Live feedback while a slider is dragged: sets the opacity without a step. 1 when set.
    virtual int SetLayerOpacity1Temp(ITzPicture* picture, ITzLayerBase* layer, uint8_t opacity);
    // The end of such a drag: the opacity, recorded with the one before the drag; nothing
    // when the two are equal.
    virtual int SetLayerOpacity1Final(ITzPicture* picture, ITzLayerBase* layer, uint8_t opacity,
                                      uint8_t opacityBefore);
    // link 0 unlinks the layer from the active layer, nonzero links it; nothing when the
    // layer is the active one or already in that state.
    virtual int SetLayerLink(ITzPicture* picture, ITzLayerBase* layer, int link);
    virtual int SetLayerVisibility(ITzPicture* picture, ITzLayerBase* layer, int visible);
    // Visibility, opacity, name and merge type, applied in that order; nothing when all
    // four equal the layer's. An unknown merge type is refused.
    virtual int SetLayerInfo(ITzPicture* picture, ITzLayerBase* layer, _tagITzLAYERINFO* info);

private:
    // Replaces the pending record by a new one of the kind for the layer; null when out of memory.
    _tagITzUNDOLAYERMAN* NewRecord(_tagITzLAYERMANKIND kind, ITzLayerBase* layer);
    // Hands the pending record to the history: 1. When the history refuses it, the edit
    // is taken back and the record freed: 0.
    int Commit(ITzPicture* picture, int modifies);
    // DoUndo's work once the arguments are checked.
    static int Replay(ITzPicture& picture, _tagITzUNDOLAYERMAN& record);
    static void ApplyLayerInfo(ITzLayerBase& layer, const _tagITzLAYERINFO& info);
};
