// ITzToolMove: moves, by a drag or by arrow keys, the active layer as a whole or the
// selected pixels of the active layer together with the selection; the copy type
// duplicates what it moves and leaves the source in place. One drag or one key step is
// one 'move' undo step.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/block_records.h"
#include "engine/tools/tool_base.h"

class ITzLayerBase;
class ITzLayerImage;
class ITzLayerImageSelect;
class ITzUndoBlockListBase;

enum ITzTOOLMOVETYPE : uint32_t {
    ITzTOOLMOVE_MOVE = 0,
    ITzTOOLMOVE_COPY = 1,
};

// The undo record of a move. A PTzPointNew block owned by the tool kind. Three kinds:
// a plain move (both flags 0) of a layer or of the floating layer it carries; a copy
// move (copyOrLift set) of a layer's duplicate; a floating move (both set) of pixels the
// move lifted out of (or copied from) the layer into its floating layer.
struct _tagITzUNDOMOVE {
    _tagUNDODATABASE head;
    uint32_t floatingMove;          // nonzero for a move of lifted pixels
    uint32_t copyOrLift;            // 0 for a plain move
    uint16_t layerIndex;
    PTzRECT bounds;                 // where the moved layer lay before the step; swapped by each replay
    _tagITzBLOCKTYPE blockType;     // the layer's, the item kind of `layerBlocks`
    ITzUndoBlockListBase* layerBlocks;  // a lift's replaced layer blocks; owned, made on first use
    PTzRECT selectionRect;              // the selection layer's bounds `selectionBlocks` belongs to
    ITzUndoBlockListBase* selectionBlocks;  // the selection's replaced blocks; owned
    ITzLayerBase* held;             // the duplicate or the lifted pixels while out of the picture; owned
};

class LUMATRA_API ITzToolMove : public ITzToolBase {
public:
    // Tool ID 'move', tool type 0.
    ITzToolMove();
    // Ends a running move first (its step is saved).
    ~ITzToolMove() override;

    // A plain move moves the layer (or its floating layer) and the selection back; a copy
    // move takes the duplicate out of the picture or puts it back; a floating move takes
    // the lifted pixels off the layer and gives the layer and the selection their blocks
    // back, or the opposite. Each leaves the record ready for the opposite direction and
    // gives nonzero exactly when the picture changed: 0 for null arguments and for a
    // record whose layer is gone or of another kind.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the block lists, the layer the record holds and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // The pending record, made for the layer when there is none; null when it cannot be.
    virtual _tagUNDODATABASE* GetUndoData(ITzLayerBase* layer);
    // Replaces the pending record by an empty one for the layer's block type (ARGB for
    // a layer that is no image layer): 1, or 0 for a null layer or out of memory.
    virtual int InitUndoData(ITzLayerBase* layer);
    // The record's selection list (gray blocks) and layer list (its block type), each
    // made on first use; null for a null record or out of memory.
    virtual ITzUndoBlockListBase* GetMaskUndoBlockList(_tagITzUNDOMOVE* record);
    virtual ITzUndoBlockListBase* GetUndoBlockList(_tagITzUNDOMOVE* record);
    // A new empty block list of the type; null when out of memory.
    virtual ITzUndoBlockListBase* CreateUndoBackupBlockList(_tagITzBLOCKTYPE type);

    void SetToolType(ITzTOOLMOVETYPE type) { m_type = type; }
    ITzTOOLMOVETYPE GetToolType() const { return m_type; }

    // Starts a drag at a picture point, taking the picture's editing ticket: 1 when it
    // started. What moves: a layer that is no image layer, whole; the floating layer an
    // image layer carries (merged down first with the copy type, so that the next offset
    // lifts a further copy); the selected pixels when the point lies in the selection;
    // else the whole layer. 0 (no ticket held) for null arguments, a picture without
    // layers, a refused ticket, while a move runs, or a selection that misses the layer.
    int StartMove(ITzPicture* picture, const PTzPOINT* point);
    // Moves by the offset, the selection along; the first offset prepares the move (the
    // duplicate or the lift). 1 when moved; 0 when no move runs, the preparation failed
    // (the whole drag then moves and records nothing) or the offset would carry a
    // rectangle out of the coordinate range.
    int MoveOffset(const _tagPTzOFFSET* offset);
    // Saves the step of a prepared move (a click, or a plain drag back to its start,
    // records nothing), gives the ticket back and forgets the picture: 0. A move the
    // history refuses to keep stays as it is, without a step.
    int StopMove();
    // One arrow-key step: starts as a drag does but without a point (a selection, when
    // there is one, moves with the pixels under it, whatever the layer's kind), moves by
    // the offset once and stops. 1 when it could start.
    int KeyMove(ITzPicture* picture, const _tagPTzOFFSET* offset);

private:
    enum class Phase { Idle, Started, Prepared, Failed };

    // Takes the ticket and decides what moves; `point` null decides for a key step.
    int Start(ITzPicture* picture, const PTzPOINT* point);
    bool Prepare();
    bool PrepareLayerMove(ITzLayerBase* layer, uint16_t index);
    bool PrepareSelectionMove(uint16_t index);
    // Lifts the selected pixels of the layer into a new floating layer and cuts the
    // selection to the pixels lifted; all or nothing.
    bool Lift(ITzLayerImage& layer, ITzLayerImageSelect& selection, _tagITzUNDOMOVE& record);
    // Cuts the selection over the lifted area to where the lifted pixels are not
    // transparent, keeping its replaced blocks in the record: false, the selection as it
    // was, when that fails.
    bool CutSelection(ITzLayerImage& lifted, ITzLayerImageSelect& selection, const PTzRECT& area,
                      _tagITzUNDOMOVE& record);
    // Replays of the three record kinds, and the block exchange they share: the layer
    // takes back the list's blocks over `oldBounds` and the list becomes a new one of the
    // blocks they replaced (the layer's bounds before the exchange go to `bounds`).
    int ReplayMove(ITzPicture& picture, _tagITzUNDOMOVE& record);
    int ReplayCopy(ITzPicture& picture, _tagITzUNDOMOVE& record);
    int ReplayLift(ITzPicture& picture, _tagITzUNDOMOVE& record);
    int UndoLift(ITzPicture& picture, ITzLayerImage& layer, ITzLayerImage* selection, _tagITzUNDOMOVE& record);
    int RedoLift(ITzPicture& picture, ITzLayerImage& layer, ITzLayerImage* selection, _tagITzUNDOMOVE& record);
    bool ExchangeBlocks(ITzLayerImage& layer, const PTzRECT& oldBounds, ITzUndoBlockListBase*& blocks,
                        PTzRECT* bounds);
    // The layer the offsets move: the layer, its duplicate or its floating layer.
    ITzLayerBase* MovedLayer();
    void Finish();
    _tagITzUNDOMOVE* Record() { return reinterpret_cast<_tagITzUNDOMOVE*>(m_undoData); }

    ITzPicture* m_picture = nullptr;
    Phase m_phase = Phase::Idle;
    bool m_selectionMove = false;
    ITzTOOLMOVETYPE m_type = ITzTOOLMOVE_MOVE;
};
