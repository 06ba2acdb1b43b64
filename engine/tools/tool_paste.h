// ITzToolPaste: records a paste the picture made as a new layer, centred on the
// selection (or the picture), as one 'pate' undo step that also takes the selection.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

class ITzLayerBase;
class ITzLayerImage;
struct BITMAPINFOHEADER;

// The undo record of a paste. A PTzPointNew block owned by the tool kind.
struct _tagITzUNDOPASTE {
    _tagUNDODATABASE head;
    uint16_t layerIndex;
    ITzLayerBase* layer;       // the pasted layer while it is out of the picture; owned
    ITzLayerImage* selection;  // the selection while it is out of the picture; owned
};

class LUMATRA_API ITzToolPaste : public ITzToolBase {
public:
    // Tool ID 'pate'.
    ITzToolPaste();
    ~ITzToolPaste() override;

    // The pasted layer and the selection change places between the picture and the
    // record: nonzero when the picture changed; 0 and nothing changed for null arguments
    // or a record whose place holds no image layer.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the layer and the selection the record holds and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // The pending record, made when there is none; null out of memory.
    virtual _tagUNDODATABASE* GetUndoData();

    // Pastes a copy of the layer (PasteImageLayer) or a packed DIB (PasteDIB) above the
    // active layer, centres it on the selection's bounds (on the picture without a
    // selection) and takes the selection into the step: 1; 0 with the picture unchanged
    // for null arguments, a refused ticket or paste, or a centre out of coordinate range.
    int DoPasteImageLayer(ITzPicture* picture, ITzLayerImage* layer);
    int DoPasteDIB(ITzPicture* picture, const BITMAPINFOHEADER* header, uint32_t size);

private:
    template <typename Paste>
    int PasteAndCentre(ITzPicture* picture, Paste paste);
};
