// ITzLayerImageSelect: the picture's selection, a gray mask held beside the layer stack.
// A pixel is selected from 128 up; the layer caches the rectangle of every non-zero value
// and draws its outline for the view as a one-bit bitmap.
#pragma once

#include <cstdint>

#include "engine/pixels/layer_image_gray.h"

class ITzUndoBlockListBase;

// Mask values from this one up are selected.
inline constexpr uint8_t ITzSELECTED_VALUE = 128;
// The outline runs along pixels from this value up that touch a pixel below it.
inline constexpr uint8_t ITzOUTLINE_VALUE = 127;

class LUMATRA_API ITzLayerImageSelect : public ITzLayerImageGray {
public:
    // An empty mask of type 6 drawn as an overlay (merge type 9), with empty bounds.
    ITzLayerImageSelect();
    // The gray part without blocks (CopyLayer copies them, all or none) and the bounds.
    explicit ITzLayerImageSelect(const ITzLayerImageSelect* source);
    ~ITzLayerImageSelect() override;

    // Operations this kind adds, after the gray layer's.
    // Sets (never clears) the bit of every outline pixel of a zoomed display rectangle
    // in a one-bit bitmap whose pixel (0, 0) is the rectangle's corner: 0, also when the
    // display data cannot be read; -1001 for a null rectangle, a target that is not a
    // one-bit bitmap with pixels, or when the scratch buffer cannot be had.
    virtual int GetSelectionBoundary(_tagITzBITMAP* bits, const PTzRECT* rect, uint8_t level,
                                     const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    // The cached bounds in picture coordinates; nothing for null.
    virtual void GetSelectionBounds(PTzRECT* out);
    // Merges the floating layer into the mask (the replaced blocks go to `undo`), detaches
    // it and gives it to the caller; the bounds follow. Null without a floating layer or
    // when the merge fails (the floating layer then stays).
    virtual ITzLayerImage* MergeFlatingLayer(ITzUndoBlockListBase* undo);

    // Overrides. A copy of a selection is a selection, whichever copy is asked for.
    ITzLayerBase* CreateCopyLayer() override;
    ITzLayerImage* CopyLayer() override;
    ITzLayerImage* CreateSameTypeLayer() override;
    // 1 when no block holds a value other than 0, else 0.
    int IsLayerEmpty() override;
    // Announces a changed layer rectangle as 1109 (selection changed), not 1107.
    int PreviewChanged(const PTzRECT* rect) override;
    // The image layer's move, announced also as 1109 for the old and the new bounds: the
    // selection is somewhere else now, and its outline with it.
    int MoveCore(_tagPTzOFFSET* offset) override;
    // The overlay in its default colour.
    int MergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                      const _tagITzZOOMLEVEL* zoomY) override;
    // The image layer's undo; the bounds follow when it changed the mask.
    int Undo(const PTzRECT* oldBounds, ITzUndoBlockListBase* undo, PTzRECT* bounds,
             ITzUndoBlockListBase* redo) override;
    // The mask is never merged through itself as the picture's selection: this is
    // MergeFlatingLayer, so every merge of its floating layer also renews the bounds.
    ITzLayerImage* MergeFloatingLayer(ITzUndoBlockListBase* undo) override;
    // The new mask of a resize or turn, with its bounds found from its blocks.
    ITzLayerBase* ResizeLayerEnd(void* job) override;
    ITzLayerBase* RotateSLayerEnd(void* job) override;

    // 1 when the layer point lies inside the layer and holds 128 or more, else 0.
    int PointInSelection(const PTzPOINT* point);
    // 1 when the picture rectangle lies wholly inside the layer and every value under it
    // is 0; 0 otherwise, also for null.
    int SelectionIsEmpty(const PTzRECT* rect);
    // 0 while a floating layer is attached, else IsLayerEmpty.
    int CanDelete();

private:
    // Recomputes the cached bounds from the blocks.
    void FindSelectionBounds();

    PTzRECT m_selectionBounds = {0, 0, 0, 0};  // layer coordinates; all zero when empty
};
