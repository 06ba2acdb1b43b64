// ITzToolMask: the selection tool. Changes the picture's selection as undoable steps that
// do not count as modifications: a rectangle, an ellipse, a polygon or a magic-wand
// region is drawn into the selection layer's floating layer and merged into the
// selection with one of five operations. Moving the selection is the caller's; the tool
// records the move for undo.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

class ITzLayerImage;
class ITzLayerImageSelect;
class ITzUndoBlockListBase;

// The operations and the merge of the selection's floating layer that carries each out.
enum ITzSELECTIONOPTYPE : int32_t {
    ITzSELECTION_REPLACE = 0,    // replace
    ITzSELECTION_ADD = 1,        // union
    ITzSELECTION_SUBTRACT = 2,   // max(d - s, 0)
    ITzSELECTION_INTERSECT = 3,  // intersect
    ITzSELECTION_INVERT = 4,     // the shape minus the selection: max(s - d, 0)
};

// The kind of a 'mask' record that moved the selection rather than merged a shape.
inline constexpr int32_t ITzUNDOSELECTION_MOVE = 5;

// A 'mask' record, a PTzPointNew block owned by the tool kind.
struct _tagITzUNDOSELECTION {
    _tagUNDODATABASE head;
    int32_t kind;                     // an operation (a merge step) or ITzUNDOSELECTION_MOVE
    PTzRECT bounds;                   // the selection layer's bounds before the step
    ITzUndoBlockListBase* blockList;  // gray blocks, owned; made on first use
    // The whole selection layer while the step leaves the picture without one (the
    // selection became empty); owned exactly while the picture does not hold it.
    ITzLayerImage* keptLayer;
};

class LUMATRA_API ITzToolMask : public ITzToolBase {
public:
    // Tool ID 'mask', no pending record.
    ITzToolMask();
    ~ITzToolMask() override;

    // Replays a record: nonzero exactly when the selection changed. A merge record swaps
    // its blocks with the selection's (putting back a kept layer when the picture has no
    // selection, and taking the layer out again when the selection ends up empty), and
    // is then ready for the opposite step; a move record moves the selection back to
    // its recorded place and takes the present one. A failure leaves picture and record
    // as they were; a null picture or a record of no known kind also stores -1 as the
    // last error.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the saved blocks, the list, a kept selection layer and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;
    // The record's block list, made on first use; null for null or out of memory.
    virtual ITzUndoBlockListBase* GetUndoBlockList(_tagITzUNDOSELECTION* record);

    // The drawing steps: 1 when the selection step was made and saved; 0 for a null
    // picture or shape, while another edit holds the picture, or when a step failed, and
    // then the picture is as it was. Any operation outside 0-4 acts as 0.
    // The rectangle, cut to the picture, filled with `value`.
    int DrawRectSelection(ITzPicture* picture, const PTzRECT* rect, uint8_t value, int32_t op);
    // The ellipse inscribed in the rectangle, with anti-aliased edges, inside the picture.
    int DrawArcSelection(ITzPicture* picture, const PTzRECT* rect, uint8_t value, int32_t op);
    // The polygon (vertices in sixteenths of a pixel) by the even-odd rule.
    int DrawPolygonSelection(ITzPicture* picture, uint32_t count, const PTzPOINT* points, uint8_t unused,
                             int32_t op);
    // The region of the active layer's picture (its preview layer) around the point
    // within the tolerance: 4-connected when `contiguous`, else every matching pixel.
    int CreateMagicSelection(ITzPicture* picture, const PTzPOINT* point, uint32_t tolerance, int32_t op,
                             int contiguous);
    int DoSelectALl(ITzPicture* picture);
    // Every selection value v becomes 255 - v.
    int DoSelectInverse(ITzPicture* picture);
    // Replaces the selection by nothing; without a selection it does nothing and gives 0.
    int ClearSelectioin(ITzPicture* picture);

    // Records, under the editing ticket the caller holds, that the caller has moved the
    // selection layer by `offset`: 1, or 0 without a selection layer or when the record
    // cannot be made or saved.
    int MoveUndoSave(ITzPicture* picture, const _tagPTzOFFSET* offset);
    // The same for an engine picture handle.
    int MoveUndoSave(void* handle, const _tagPTzOFFSET* offset);

private:
    // The course every drawing step follows, `draw(floating layer, picture rectangle)`
    // giving whether the shape was drawn whole.
    template <typename Draw>
    int DrawSelection(ITzPicture* picture, int32_t op, Draw&& draw);
    int MergeStep(ITzPicture* picture, ITzLayerImageSelect* selection, int32_t op);
    int UndoMerge(ITzPicture* picture, _tagITzUNDOSELECTION* record);
    int UndoMove(ITzPicture* picture, _tagITzUNDOSELECTION* record);
    _tagITzUNDOSELECTION* NewRecord(int32_t kind);
};
