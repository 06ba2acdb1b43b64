// ITzToolText: the engine side of the text tool. A click places the caret in the active
// text layer or makes a new text layer at the point; dragging selects; typing, deleting,
// caret keys and font changes edit the active text layer. Every edit takes the editing
// ticket for its call and is one undo step ('ttxt'), except that typing or deleting on
// in one layer extends the step before it.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "base/font.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/picture/layer_text.h"
#include "engine/tools/tool_base.h"

// Kinds of text undo record.
enum ITzTextUndoKind : int32_t {
    ITzTEXTUNDO_NEW_LAYER = 1,
    ITzTEXTUNDO_FONT = 2,
    ITzTEXTUNDO_TYPING = 3,
    ITzTEXTUNDO_DELETION = 4,  // characters deleted at the caret
    ITzTEXTUNDO_REMOVAL = 5,   // a selection removed
};

// The undo record of the text tool. A PTzPointNew block owned by the tool kind.
struct _tagITzUNDOTEXT {
    _tagUNDODATABASE head;
    int32_t kind;  // an ITzTextUndoKind
    uint16_t layerIndex;
    ITzLayerText* layer;        // kind 1: the new layer while it is out of the picture; owned
    _tagITzTEXTUNDOINFO info;   // kinds 2-5; its row is owned
};

// Virtual-key codes the caret keys arrive with.
enum ITzTextCaretKey : uint32_t {
    ITzKEY_END = 0x23,
    ITzKEY_HOME = 0x24,
    ITzKEY_LEFT = 0x25,
    ITzKEY_UP = 0x26,
    ITzKEY_RIGHT = 0x27,
    ITzKEY_DOWN = 0x28,
};

class LUMATRA_API ITzToolText : public ITzToolBase {
public:
    // Tool ID 'ttxt'.
    ITzToolText();
    ~ITzToolText() override;

    // Points are picture pixels. In the active text layer's text the caret goes to the
    // point (`extend`: the selection runs from its anchor to it); anywhere else a new text
    // layer starts at the point, above the active layer, as an undo step (nothing when
    // the stack is full). 1.
    virtual int OnMouseDown(const PTzPOINT* point, ITzPicture* picture, int extend);
    // As a move, then the button is up. 1.
    virtual int OnMouseUp(const PTzPOINT* point, ITzPicture* picture);
    // While the button is down the selection runs from its anchor to the point. 1.
    virtual int OnMouseMove(const PTzPOINT* point, ITzPicture* picture);

    // Inserts the character over the selection in the font and colour: 1 when it was
    // inserted. 8 deletes backwards (DoDelete); other control characters but the row
    // break (13) insert nothing.
    int DoChar(ITzPicture* picture, const _tagPTzFONTDATAINFO* font, uint16_t character,
               const _tagPTzCOLOR* colour);
    // Removes the selection, or deletes one character before (backward) or after the
    // caret. 0.
    int DoDelete(ITzPicture* picture, int backward);
    // Moves the caret by a caret key (End, Home, Up, Right, Down; any other: left),
    // extending the selection when `extend` is nonzero. Records nothing: 0.
    int DoDirectionKey(ITzPicture* picture, uint32_t virtualKey, int extend);
    // Apply that attribute of the record to the selected characters: 1 when they changed.
    int DoSetFontUnderLine(ITzPicture* picture, const _tagPTzFONTDATAINFO* font);
    int DoSetFontSize(ITzPicture* picture, const _tagPTzFONTDATAINFO* font);
    int DoSetFontName(ITzPicture* picture, const _tagPTzFONTDATAINFO* font);
    int DoSetFontStyle(ITzPicture* picture, const _tagPTzFONTDATAINFO* font);
    int DoSetFontColor(ITzPicture* picture, const _tagPTzCOLOR* colour);
    // The caret of the active text layer in picture coordinates: its x, the top of its
    // row and the row's height, 0 on an empty row (the caller then takes its own font's
    // height). 1, or 0 without an active text layer.
    int GetFlashCursorPicturePos(ITzPicture* picture, int32_t* x, int32_t* y, int32_t* height);
    // The active text layer's font and colour at the caret (ITzLayerText): 1, else 0.
    int GetFontSettingInfo(ITzPicture* picture, _tagITzTEXTSETTING* setting);
    // Text input in one call is not taken: 1.
    int DoInput(ITzPicture* picture, const _tagPTzFONTDATAINFO* font, const PTzChar* text, uint32_t count);

    // Typing (or deleting) that goes on where the last step of the same layer ended
    // joins that step while nothing was undone since it; otherwise as the base. A
    // deletion that removed nothing is dropped.
    int SaveUndoData(ITzPicture* picture, int modifies) override;
    // Kind 1 takes the new layer out of the picture or puts it back at its index and
    // makes it active; the other kinds exchange the layer's state with the record. The
    // same call undoes and redoes: nonzero exactly when the picture changed.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the record's row, the layer it holds and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

private:
    // Runs `edit` on the active text layer under the ticket, with a fresh record of the
    // kind; the step is saved when `edit` reports a change (it may change the kind).
    template <typename Edit>
    int EditActiveLayer(ITzPicture* picture, int32_t kind, Edit edit);
    int NewLayer(ITzPicture& picture, const PTzPOINT& point);
    // The selection runs from its anchor to the character under the point.
    void SelectTo(ITzPicture& picture, const PTzPOINT& point);
    // Folds the pending record into the last one: true when it was taken (and freed).
    bool MergeIntoLast(ITzPicture& picture, _tagITzUNDOTEXT& record);

    ITzLayerText* m_layer = nullptr;  // the layer a press started in; not owned
    int m_buttonDown = 0;
};
